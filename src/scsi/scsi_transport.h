// The single SCSI command transport: one CDB, at most one data transfer, over
// the NT pass-through interface of the drive's handle or over ASPI.
#pragma once

#include "platform/win_types.h"
#include "scsi/drive_info.h"

// Direction flags, with the values of the ASPI request flags, on both transports.
#ifndef SRB_DIR_IN
#define SRB_DIR_IN 0x08
#endif
#ifndef SRB_DIR_OUT
#define SRB_DIR_OUT 0x10
#endif

// Sends one command and waits for it to complete.
//   pDrive          read only: hDevice, byHostId, byTargetId, dwAlignMask
//   byDirection     SRB_DIR_IN (also for no data) or SRB_DIR_OUT
//   dwDataLen/pData caller's buffer; pData may be null when the length is 0
//   byCdbLen/pCdb   at most 16 CDB bytes
//   bUsePassThrough nonzero: NT pass-through; 0: ASPI (needs fgLoadAspi first)
//   pSense          32 bytes; the first 16 are cleared on entry, and a failed
//                   command leaves the drive's fixed-format sense data there
// Answers 1 on success (data in copied to pData), 0 on failure.
int fgExecScsiCmd(const DRIVE_INFO* pDrive, BYTE byDirection, DWORD dwDataLen, BYTE* pData,
                  BYTE byCdbLen, const BYTE* pCdb, BYTE bUsePassThrough, BYTE* pSense);
