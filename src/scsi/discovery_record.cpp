#include "scsi/discovery_record.h"

#include "platform/platform.h"

namespace {

// Copies at most cchMax characters, stopping at a zero byte, then a NUL.
void CopyField(char* pszDest, const BYTE* pSrc, int cchMax) {
    int i = 0;
    for (; i < cchMax && pSrc[i] != 0; ++i) pszDest[i] = static_cast<char>(pSrc[i]);
    pszDest[i] = '\0';
}

}  // namespace

DRIVE_INFO* NewDriveRecord() {
    return static_cast<DRIVE_INFO*>(PlatHeapAlloc(sizeof(DRIVE_INFO), TRUE));
}

void CopyInquiryIdentity(DRIVE_INFO* pDrive, const BYTE* pInquiry) {
    // 24 and 4 characters leave room in the 32- and 12-byte fields for the
    // NUL and for the "(%d)" list suffix the main dialog appends.
    CopyField(pDrive->szModel, pInquiry + 8, 24);
    CopyField(pDrive->szRevision, pInquiry + 32, 4);
}

bool DriveTableFull(const DRIVE_TABLE& table) {
    return table.m_nDrives >= DRIVE_TABLE::kMaxDrives;
}
