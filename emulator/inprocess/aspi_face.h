// The emulated drives as an ASPI library (host only). ASPI's entry points are
// plain functions, so the adapters they serve are a process-wide "current
// adapter set" of this face: a test seam, installed and removed by the test's
// thread while no command is in flight.
#pragma once

#include <vector>

#include "emulator/inprocess/inprocess_adapter.h"

namespace emu {

// Registers "WNASPI32" with the host seam (hostseam::AttachLibrary) serving
// these adapters; ASPI adapter number i is adapters[i]. Not owned. The entry
// points answer:
//   GetASPI32SupportInfo  (SS_COMP << 8) | adapter count; SS_NO_ADAPTERS
//                         (E8h) << 8 when there are none.
//   SC_HA_INQUIRY         HA_Count, HA_SCSI_ID 7, manager and adapter names,
//                         HA_Unique: 0-1 alignment mask, 3 maximum targets,
//                         4-7 maximum transfer (little-endian).
//   SC_GET_DEV_TYPE       the drive's peripheral byte & 1Fh; SS_NO_DEVICE when
//                         no drive answers at that target / LUN 0.
//   SC_EXEC_SCSI_CMD      the drive runs CDBByte with SRB_BufPointer /
//                         SRB_BufLen (direction: SRB_DIR_OUT bit = out, else
//                         in); SRB_TargStat = SCSI status; SS_COMP, or SS_ERR
//                         with min(SRB_SenseLen, 16) sense bytes in SenseArea.
//                         With SRB_EVENT_NOTIFY the event in SRB_PostProc is
//                         set on completion. The drive's eAspiCompletion
//                         decides: kImmediate completes inside the call;
//                         kPending returns SS_PENDING and completes on another
//                         thread after dwAspiPendingDelayMs of real time.
// Replaces any previously installed set.
void InstallAspi(const std::vector<CInProcessAdapter*>& adapters);

// Waits for a pending command's thread and forgets the adapter set. Safe to
// call when nothing is installed. Does not detach the library from the seam
// (hostseam::Reset does that).
void UninstallAspi();

}  // namespace emu
