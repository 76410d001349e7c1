// 9x family: drives found through the ASPI layer.
#include <cstring>

#include "platform/platform.h"
#include "scsi/aspi_layout.h"
#include "scsi/discovery_paths.h"
#include "scsi/discovery_record.h"
#include "scsi/scsi_transport.h"

namespace {

const BYTE kInquiryOpcode = 0x12;
const BYTE kCdbLength = 12;  // the ATAPI packet size, also for six-byte commands

// ASPI answers "0 targets" for adapters that do not say; probing 8 would
// waste time on buses that are almost always two-device ATAPI channels.
const int kTargetsWhenUnreported = 2;

// HA_Unique: bytes 0-1 alignment mask, 3 maximum targets, 4-7 maximum transfer.
DWORD MaxTransferOf(const SRB_HAInquiry& ha) {
    return static_cast<DWORD>(ha.HA_Unique[4]) | (static_cast<DWORD>(ha.HA_Unique[5]) << 8) |
           (static_cast<DWORD>(ha.HA_Unique[6]) << 16) | (static_cast<DWORD>(ha.HA_Unique[7]) << 24);
}

bool IsCdDvdTarget(BYTE byHost, BYTE byTarget) {
    SRB_GDEVBlock dev;
    std::memset(&dev, 0, sizeof(dev));
    dev.SRB_Cmd = SC_GET_DEV_TYPE;
    dev.SRB_HaId = byHost;
    dev.SRB_Target = byTarget;
    dev.SRB_Lun = 0;
    g_pfnSendASPI32Command(&dev);
    return dev.SRB_Status == SS_COMP && dev.SRB_DeviceType == kCdDvdPeripheral;
}

// The record for one CD/DVD target, or null when it cannot be made or the
// unit does not answer INQUIRY as a CD/DVD drive.
DRIVE_INFO* RecordTarget(const DRIVE_TABLE& table, const SRB_HAInquiry& ha, BYTE byHost, BYTE byTarget) {
    DRIVE_INFO* pDrive = NewDriveRecord();
    if (!pDrive) return nullptr;
    pDrive->hDevice = nullptr;
    pDrive->byHostId = byHost;
    pDrive->byTargetId = byTarget;
    pDrive->dwMaxTransfer = MaxTransferOf(ha);
    // Only the low byte of the adapter's 16-bit mask is taken.
    pDrive->dwAlignMask = ha.HA_Unique[0];
    std::memset(pDrive->abyReserved, 0xFF, sizeof(pDrive->abyReserved));

    BYTE abyCdb[kCdbLength] = {kInquiryOpcode, 0, 0, 0, static_cast<BYTE>(kInquiryIdentityLength)};
    BYTE abyData[kInquiryIdentityLength] = {};
    BYTE abySense[32] = {};
    if (!fgExecScsiCmd(pDrive, SRB_DIR_IN, kInquiryIdentityLength, abyData, kCdbLength, abyCdb,
                       table.m_bNT, abySense) ||
        abyData[0] != kCdDvdPeripheral) {
        PlatHeapFree(pDrive);
        return nullptr;
    }
    CopyInquiryIdentity(pDrive, abyData);
    return pDrive;
}

}  // namespace

void ScanAspiAdapters(DRIVE_TABLE& table) {
    // Without both entry points (fgLoadAspi not called, or it failed) there
    // is no ASPI layer to ask.
    if (!g_pfnGetASPI32SupportInfo || !g_pfnSendASPI32Command) return;

    DWORD dwSupport = g_pfnGetASPI32SupportInfo();
    if (((dwSupport >> 8) & 0xFF) != SS_COMP) return;
    int nAdapters = static_cast<int>(dwSupport & 0xFF);

    for (int nHost = 0; nHost < nAdapters && !DriveTableFull(table); ++nHost) {
        SRB_HAInquiry ha;
        std::memset(&ha, 0, sizeof(ha));
        ha.SRB_Cmd = SC_HA_INQUIRY;
        ha.SRB_HaId = static_cast<BYTE>(nHost);
        g_pfnSendASPI32Command(&ha);
        if (ha.SRB_Status != SS_COMP) continue;

        int nTargets = ha.HA_Unique[3] ? ha.HA_Unique[3] : kTargetsWhenUnreported;
        for (int nTarget = 0; nTarget < nTargets && !DriveTableFull(table); ++nTarget) {
            BYTE byHost = static_cast<BYTE>(nHost);
            BYTE byTarget = static_cast<BYTE>(nTarget);
            if (!IsCdDvdTarget(byHost, byTarget)) continue;
            DRIVE_INFO* pDrive = RecordTarget(table, ha, byHost, byTarget);
            if (!pDrive) continue;
            table.m_pDrives[table.m_nDrives++] = pDrive;
        }
    }
}
