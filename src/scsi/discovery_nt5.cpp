// NT 5 and later: an INQUIRY of our own through each drive letter.
#include <cstddef>
#include <cstring>

#include "platform/platform.h"
#include "scsi/discovery_letter_handle.h"
#include "scsi/discovery_paths.h"
#include "scsi/discovery_record.h"
#include "scsi/pass_through_layout.h"

namespace {

const DWORD kDataBufferSize = 2048;
const BYTE kInquiryAllocation = 127;
const ULONG kTimeOutSeconds = 2;
const UCHAR kSenseInfoLength = 24;
// The letter's device is addressed as itself; whatever adapter lies behind
// it, a 2 KB-aligned buffer satisfies it.
const DWORD kLetterAlignMask = 2047;

// Answers true when the letter's unit reports itself a CD/DVD drive; its
// INQUIRY data is then in abyData.
bool InquireLetter(HANDLE hDevice, BYTE (&abyData)[kDataBufferSize]) {
    // The 0xFF fill makes a command that returned no data fail the type test,
    // so the SCSI status byte need not be examined.
    std::memset(abyData, 0xFF, sizeof(abyData));

    SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER block;
    std::memset(&block, 0, sizeof(block));
    block.sptd.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
    block.sptd.PathId = 0;
    block.sptd.TargetId = 0;
    block.sptd.Lun = 0;
    block.sptd.CdbLength = 6;
    block.sptd.SenseInfoLength = kSenseInfoLength;
    block.sptd.DataIn = SCSI_IOCTL_DATA_IN;
    block.sptd.DataTransferLength = kDataBufferSize;
    block.sptd.TimeOutValue = kTimeOutSeconds;
    block.sptd.DataBuffer = abyData;
    block.sptd.SenseInfoOffset = offsetof(SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER, ucSenseBuf);
    block.sptd.Cdb[0] = 0x12;  // INQUIRY
    block.sptd.Cdb[4] = kInquiryAllocation;

    DWORD cbReturned = 0;
    if (!PlatDeviceIoControl(hDevice, IOCTL_SCSI_PASS_THROUGH_DIRECT_CODE, &block, sizeof(block), &block,
                             sizeof(block), &cbReturned)) {
        return false;
    }
    return abyData[0] == kCdDvdPeripheral;
}

void ScanLetter(DRIVE_TABLE& table, char chLetter) {
    CDiscoveryLetterHandle letter(chLetter);
    if (!letter.IsOpen()) return;

    BYTE abyData[kDataBufferSize];
    if (!InquireLetter(letter.Get(), abyData)) return;

    DRIVE_INFO* pDrive = NewDriveRecord();
    if (!pDrive) return;
    pDrive->hDevice = letter.Get();
    pDrive->byHostId = 0;
    pDrive->byTargetId = 0;
    CopyInquiryIdentity(pDrive, abyData);
    pDrive->dwAlignMask = kLetterAlignMask;
    table.m_pDrives[table.m_nDrives++] = pDrive;
    letter.Keep();
}

}  // namespace

void ScanLettersByInquiry(DRIVE_TABLE& table) {
    for (char chLetter = 'c'; chLetter <= 'z' && !DriveTableFull(table); ++chLetter) {
        ScanLetter(table, chLetter);
    }
}
