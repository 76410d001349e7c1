// One reachable CD/DVD drive, as discovery records it and as every command is
// addressed to it. Field order and array sizes are part of the program's
// contract: the job block carries a byte-for-byte copy.
#pragma once

#include "platform/win_types.h"

struct DRIVE_INFO {
    HANDLE hDevice;        // \\.\X: handle the drive was found through; 0 on ASPI
    BYTE byHostId;         // ASPI adapter number or SCSI path id
    BYTE byTargetId;       // SCSI target id; the LUN is always 0
    DWORD dwMaxTransfer;   // as the adapter reports it; recorded only
    DWORD dwAlignMask;     // 2^k - 1; the pass-through bounce buffer is aligned to it
    BYTE abyReserved[32];  // 0xFF from the ASPI path, 0 from the NT paths; unread
    char szModel[32];      // INQUIRY bytes 8..31, then the "(%d)" list suffix
    char szRevision[12];   // INQUIRY bytes 32..35
};

#if defined(_WIN32) && !defined(_WIN64)
#include <cstddef>
static_assert(offsetof(DRIVE_INFO, hDevice) == 0, "hDevice at 0");
static_assert(offsetof(DRIVE_INFO, byHostId) == 4, "byHostId at 4");
static_assert(offsetof(DRIVE_INFO, byTargetId) == 5, "byTargetId at 5");
static_assert(offsetof(DRIVE_INFO, dwMaxTransfer) == 8, "dwMaxTransfer at 8");
static_assert(offsetof(DRIVE_INFO, dwAlignMask) == 12, "dwAlignMask at 12");
static_assert(offsetof(DRIVE_INFO, abyReserved) == 16, "abyReserved at 16");
static_assert(offsetof(DRIVE_INFO, szModel) == 48, "szModel at 48");
static_assert(offsetof(DRIVE_INFO, szRevision) == 80, "szRevision at 80");
static_assert(sizeof(DRIVE_INFO) == 92, "DRIVE_INFO is 92 bytes");
#endif
