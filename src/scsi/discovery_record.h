// Pieces every discovery path shares: a new drive record, the identity copy
// out of standard INQUIRY data, and the table's capacity.
#pragma once

#include "platform/win_types.h"
#include "scsi/drive_discovery.h"
#include "scsi/drive_info.h"

// Byte 0 of INQUIRY data for a CD/DVD unit: qualifier 0, device type 05h.
// Compared as a whole byte, so a unit with a non-zero qualifier is not a drive.
enum : BYTE { kCdDvdPeripheral = 0x05 };

// Standard INQUIRY data bytes this program reads: 0 (peripheral), 8..31
// (vendor and product), 32..35 (revision).
enum : DWORD { kInquiryIdentityLength = 36 };

// A zero-filled record from the process heap, or null. Released with
// PlatHeapFree.
DRIVE_INFO* NewDriveRecord();

// szModel = pInquiry[8..31], szRevision = pInquiry[32..35], each stopping at
// the first zero byte and NUL-terminated; trailing blanks are kept.
// pInquiry must hold kInquiryIdentityLength bytes.
void CopyInquiryIdentity(DRIVE_INFO* pDrive, const BYTE* pInquiry);

// True when the table holds DRIVE_TABLE::kMaxDrives records: every path stops
// recording there, so the drive box and the upgrade command see the same list.
bool DriveTableFull(const DRIVE_TABLE& table);
