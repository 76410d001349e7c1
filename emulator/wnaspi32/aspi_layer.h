// The ASPI layer WNASPI32.DLL presents: host adapters with emulated drives on
// their targets, answering the request blocks of aspi_layout.h. Portable and
// synchronous; the DLL face adds pending completion on a worker thread and
// event signalling, which need Windows.
#pragma once

#include <memory>
#include <vector>

#include "emulator/model/emulated_drive.h"
#include "emulator/wnaspi32/aspi_config.h"
#include "scsi/aspi_layout.h"

namespace emu {

// ASPI status values beyond those the program itself uses.
enum : BYTE {
    kSsInvalidSrb = 0xE0,   // SS_INVALID_SRB: a malformed request block
    kSsNoAdapters = 0xE8,   // SS_NO_ADAPTERS: GetASPI32SupportInfo with nothing to serve
};
// Host adapter status and target status reported with SS_ERR.
enum : BYTE { kTargetStatusCheckCondition = 0x02 };

class CAspiLayer {
public:
    explicit CAspiLayer(const AspiConfig& config);

    CAspiLayer(const CAspiLayer&) = delete;
    CAspiLayer& operator=(const CAspiLayer&) = delete;

    // GetASPI32SupportInfo: SS_COMP and the adapter count, or SS_NO_ADAPTERS.
    DWORD SupportInfo() const;

    // SC_HA_INQUIRY and SC_GET_DEV_TYPE: answered at once; set SRB_Status
    // and return it.
    DWORD HostAdapterInquiry(SRB_HAInquiry* pSrb) const;
    DWORD GetDeviceType(SRB_GDEVBlock* pSrb) const;

    // Checks an SC_EXEC_SCSI_CMD block before it is carried out: the drive it
    // addresses, or null with SRB_Status set to the refusal (SS_INVALID_HA,
    // SS_NO_DEVICE, SS_INVALID_SRB).
    CEmulatedDrive* Target(SRB_ExecSCSICmd* pSrb);
    // Carries out a checked block on its drive: data through SRB_BufPointer,
    // SRB_Status SS_COMP or SS_ERR (with SRB_TargStat and SenseArea on CHECK
    // CONDITION). Returns SRB_Status. Not thread-safe: the caller serialises.
    static DWORD Execute(CEmulatedDrive* pDrive, SRB_ExecSCSICmd* pSrb);

    size_t DriveCount() const { return m_drives.size(); }
    CEmulatedDrive& Drive(size_t i) { return *m_drives[i]; }

private:
    CEmulatedDrive* Find(BYTE byHaId, BYTE byTarget, BYTE byLun) const;

    std::vector<AspiAdapterConfig> m_adapters;
    std::vector<std::unique_ptr<CEmulatedDrive>> m_drives;
};

}  // namespace emu
