// The job block the main dialog fills and the engine copies once.
#pragma once

#include "platform/win_types.h"
#include "scsi/drive_info.h"

// Callbacks the engine reports through, always all six set. They are called
// on the worker thread; a text is valid only for the duration of the call.
typedef void (*PFN_CB_TEXT)(const char* pszText);
typedef void (*PFN_CB_PROGRESS)(int nPos);
typedef BYTE (*PFN_CB_TERMINATED)(void);

struct FLASH_PARAM {
    DRIVE_INFO drive;                // copy of the selected drive's record
    char sImagePath[512];            // full path of the firmware file
    char sDriveName[512];            // displayed name; its first 24 characters must be in the image
    char sRevision[8];               // displayed revision
    BYTE bHexImage;                  // 1 Intel HEX, 0 raw binary
    PFN_CB_TEXT CBSetRevision;       // replaces the displayed revision
    PFN_CB_TEXT CBSetDriveName;      // replaces the displayed drive name
    PFN_CB_TEXT CBShowMessage;       // appends one log line
    PFN_CB_TEXT CBShowStatus;        // replaces the status line
    PFN_CB_PROGRESS CBSetProgress;   // progress bar, 0..100
    PFN_CB_TERMINATED CBIfTerminated;// nonzero (low 8 bits) asks the engine to stop
    BYTE bUsePassThrough;            // handed to fgExecScsiCmd: nonzero NT pass-through, 0 ASPI
};

#if defined(_WIN32) && !defined(_WIN64)
#include <cstddef>
static_assert(offsetof(FLASH_PARAM, drive) == 0, "drive at 0");
static_assert(offsetof(FLASH_PARAM, sImagePath) == 92, "sImagePath at 92");
static_assert(offsetof(FLASH_PARAM, sDriveName) == 604, "sDriveName at 604");
static_assert(offsetof(FLASH_PARAM, sRevision) == 1116, "sRevision at 1116");
static_assert(offsetof(FLASH_PARAM, bHexImage) == 1124, "bHexImage at 1124");
static_assert(offsetof(FLASH_PARAM, CBSetRevision) == 1128, "CBSetRevision at 1128");
static_assert(offsetof(FLASH_PARAM, CBSetDriveName) == 1132, "CBSetDriveName at 1132");
static_assert(offsetof(FLASH_PARAM, CBShowMessage) == 1136, "CBShowMessage at 1136");
static_assert(offsetof(FLASH_PARAM, CBShowStatus) == 1140, "CBShowStatus at 1140");
static_assert(offsetof(FLASH_PARAM, CBSetProgress) == 1144, "CBSetProgress at 1144");
static_assert(offsetof(FLASH_PARAM, CBIfTerminated) == 1148, "CBIfTerminated at 1148");
static_assert(offsetof(FLASH_PARAM, bUsePassThrough) == 1152, "bUsePassThrough at 1152");
static_assert(sizeof(FLASH_PARAM) == 1156, "FLASH_PARAM is 1156 bytes");
#endif
