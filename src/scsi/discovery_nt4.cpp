// NT 4 and older: each drive letter's adapter inquiry list.
#include <cstddef>
#include <cstring>

#include "platform/platform.h"
#include "scsi/discovery_letter_handle.h"
#include "scsi/discovery_paths.h"
#include "scsi/discovery_record.h"
#include "scsi/pass_through_layout.h"

namespace {

const DWORD kInquiryListSize = 2048;

// Offsets come from the driver; a malformed list must not lead the walk
// outside the buffer or round in circles. No list of this size can hold more
// entries than this, so a longer walk is a cycle.
const int kMaxEntriesPerBus = kInquiryListSize / offsetof(SCSI_INQUIRY_DATA, InquiryData);

// Fields are read by copying from byte offsets: the list's offsets need not
// be aligned.
ULONG ReadUlong(const BYTE* p) {
    ULONG v;
    std::memcpy(&v, p, sizeof(v));
    return v;
}

// True when [dwOffset, dwOffset + cb) lies inside the list buffer.
bool InList(DWORD dwOffset, DWORD cb) {
    return dwOffset <= kInquiryListSize && cb <= kInquiryListSize - dwOffset;
}

void RecordCapabilities(HANDLE hDevice, DRIVE_INFO* pDrive) {
    IO_SCSI_CAPABILITIES caps;
    std::memset(&caps, 0, sizeof(caps));
    DWORD cbReturned = 0;
    if (PlatDeviceIoControl(hDevice, IOCTL_SCSI_GET_CAPABILITIES_CODE, nullptr, 0, &caps, sizeof(caps),
                            &cbReturned)) {
        pDrive->dwAlignMask = caps.AlignmentMask;
        pDrive->dwMaxTransfer = caps.MaximumTransferLength;
    }
    // Otherwise both stay 0: the transport then uses its buffer unaligned.
}

// Records every CD/DVD unit of one bus's inquiry chain.
void ScanBusChain(DRIVE_TABLE& table, CDiscoveryLetterHandle& letter, const BYTE* pList, DWORD dwOffset) {
    const DWORD cbEntry = offsetof(SCSI_INQUIRY_DATA, InquiryData) + kInquiryIdentityLength;
    for (int nSteps = 0; dwOffset != 0 && nSteps < kMaxEntriesPerBus && !DriveTableFull(table); ++nSteps) {
        if (!InList(dwOffset, cbEntry)) break;
        const BYTE* pEntry = pList + dwOffset;
        const BYTE* pInquiry = pEntry + offsetof(SCSI_INQUIRY_DATA, InquiryData);
        DWORD dwNext = ReadUlong(pEntry + offsetof(SCSI_INQUIRY_DATA, NextInquiryDataOffset));

        if (pInquiry[0] == kCdDvdPeripheral) {
            DRIVE_INFO* pDrive = NewDriveRecord();
            if (pDrive) {
                pDrive->hDevice = letter.Get();
                pDrive->byHostId = pEntry[offsetof(SCSI_INQUIRY_DATA, PathId)];
                pDrive->byTargetId = pEntry[offsetof(SCSI_INQUIRY_DATA, TargetId)];
                CopyInquiryIdentity(pDrive, pInquiry);
                RecordCapabilities(letter.Get(), pDrive);
                table.m_pDrives[table.m_nDrives++] = pDrive;
                letter.Keep();
            }
        }
        dwOffset = dwNext;
    }
}

void ScanLetter(DRIVE_TABLE& table, char chLetter) {
    CDiscoveryLetterHandle letter(chLetter);
    if (!letter.IsOpen()) return;

    // DWORD-aligned storage for the list; cleared so a short answer reads as
    // an empty list rather than stale bytes.
    DWORD adwList[kInquiryListSize / sizeof(DWORD)] = {};
    BYTE* pList = reinterpret_cast<BYTE*>(adwList);
    DWORD cbReturned = 0;
    if (!PlatDeviceIoControl(letter.Get(), IOCTL_SCSI_GET_INQUIRY_DATA_CODE, nullptr, 0, pList,
                             kInquiryListSize, &cbReturned)) {
        return;
    }

    int nBuses = pList[offsetof(SCSI_ADAPTER_BUS_INFO, NumberOfBuses)];
    for (int nBus = 0; nBus < nBuses && !DriveTableFull(table); ++nBus) {
        DWORD dwBus = offsetof(SCSI_ADAPTER_BUS_INFO, BusData) + nBus * sizeof(SCSI_BUS_DATA);
        if (!InList(dwBus, sizeof(SCSI_BUS_DATA))) break;
        DWORD dwFirst = ReadUlong(pList + dwBus + offsetof(SCSI_BUS_DATA, InquiryDataOffset));
        if (dwFirst == 0) continue;
        ScanBusChain(table, letter, pList, dwFirst);
    }
}

}  // namespace

void ScanAdapterInquiryLists(DRIVE_TABLE& table) {
    // z is not tried on this path.
    for (char chLetter = 'c'; chLetter <= 'y' && !DriveTableFull(table); ++chLetter) {
        ScanLetter(table, chLetter);
    }
}
