#include "emulator/wnaspi32/aspi_layer.h"

#include <algorithm>
#include <cstring>

#include "scsi/scsi_transport.h"

namespace emu {

namespace {

void PutText(BYTE* pDest, size_t cch, const char* pszText) {
    size_t n = std::strlen(pszText);
    for (size_t i = 0; i < cch; ++i) pDest[i] = i < n ? static_cast<BYTE>(pszText[i]) : ' ';
}

DataDirection DirectionOf(const SRB_ExecSCSICmd& srb) {
    if (srb.SRB_BufLen == 0) return DataDirection::kNone;
    if (srb.SRB_Flags & SRB_DIR_OUT) return DataDirection::kOut;
    if (srb.SRB_Flags & SRB_DIR_IN) return DataDirection::kIn;
    return DataDirection::kNone;
}

}  // namespace

CAspiLayer::CAspiLayer(const AspiConfig& config) : m_adapters(config.adapters) {
    for (const DriveConfig& d : config.drives) m_drives.push_back(std::make_unique<CEmulatedDrive>(d));
}

DWORD CAspiLayer::SupportInfo() const {
    if (m_adapters.empty()) return static_cast<DWORD>(kSsNoAdapters) << 8;
    return (static_cast<DWORD>(SS_COMP) << 8) | static_cast<DWORD>(m_adapters.size());
}

DWORD CAspiLayer::HostAdapterInquiry(SRB_HAInquiry* pSrb) const {
    if (pSrb->SRB_HaId >= m_adapters.size()) return pSrb->SRB_Status = SS_INVALID_HA;
    const AspiAdapterConfig& a = m_adapters[pSrb->SRB_HaId];
    pSrb->HA_Count = static_cast<BYTE>(m_adapters.size());
    pSrb->HA_SCSI_ID = 7;  // the host adapter's own id, as on a real bus
    PutText(pSrb->HA_ManagerId, sizeof(pSrb->HA_ManagerId), "ASPI for WIN32");
    PutText(pSrb->HA_Identifier, sizeof(pSrb->HA_Identifier), "KESTREL EMU");
    std::memset(pSrb->HA_Unique, 0, sizeof(pSrb->HA_Unique));
    pSrb->HA_Unique[0] = static_cast<BYTE>(a.wAlignMask & 0xFF);
    pSrb->HA_Unique[1] = static_cast<BYTE>(a.wAlignMask >> 8);
    pSrb->HA_Unique[3] = a.byMaxTargets;
    for (int i = 0; i < 4; ++i) pSrb->HA_Unique[4 + i] = static_cast<BYTE>(a.dwMaxTransfer >> (8 * i));
    return pSrb->SRB_Status = SS_COMP;
}

DWORD CAspiLayer::GetDeviceType(SRB_GDEVBlock* pSrb) const {
    if (pSrb->SRB_HaId >= m_adapters.size()) return pSrb->SRB_Status = SS_INVALID_HA;
    CEmulatedDrive* pDrive = Find(pSrb->SRB_HaId, pSrb->SRB_Target, pSrb->SRB_Lun);
    if (!pDrive) return pSrb->SRB_Status = SS_NO_DEVICE;
    // ASPI reports the device type alone, without the qualifier bits.
    pSrb->SRB_DeviceType = pDrive->Config().byPeripheral & 0x1F;
    return pSrb->SRB_Status = SS_COMP;
}

CEmulatedDrive* CAspiLayer::Target(SRB_ExecSCSICmd* pSrb) {
    if (pSrb->SRB_HaId >= m_adapters.size()) {
        pSrb->SRB_Status = SS_INVALID_HA;
        return nullptr;
    }
    CEmulatedDrive* pDrive = Find(pSrb->SRB_HaId, pSrb->SRB_Target, pSrb->SRB_Lun);
    if (!pDrive) {
        pSrb->SRB_Status = SS_NO_DEVICE;
        return nullptr;
    }
    if (pSrb->SRB_CDBLen == 0 || pSrb->SRB_CDBLen > sizeof(pSrb->CDBByte) ||
        (pSrb->SRB_BufLen != 0 && !pSrb->SRB_BufPointer)) {
        pSrb->SRB_Status = kSsInvalidSrb;
        return nullptr;
    }
    return pDrive;
}

DWORD CAspiLayer::Execute(CEmulatedDrive* pDrive, SRB_ExecSCSICmd* pSrb) {
    CommandOutcome outcome = pDrive->Execute(pSrb->CDBByte, pSrb->SRB_CDBLen, DirectionOf(*pSrb),
                                             pSrb->SRB_BufPointer, pSrb->SRB_BufLen);
    pSrb->SRB_HaStat = 0;
    pSrb->SRB_TargStat = outcome.byStatus;
    if (outcome.byStatus == 0) return pSrb->SRB_Status = SS_COMP;
    // The request's own sense area holds SRB_SenseLen bytes, at most what
    // the block has room for.
    size_t cbSense = std::min<size_t>({pSrb->SRB_SenseLen, sizeof(pSrb->SenseArea), sizeof(outcome.abySense)});
    std::memcpy(pSrb->SenseArea, outcome.abySense, cbSense);
    return pSrb->SRB_Status = SS_ERR;
}

CEmulatedDrive* CAspiLayer::Find(BYTE byHaId, BYTE byTarget, BYTE byLun) const {
    if (byLun != 0) return nullptr;
    for (const auto& p : m_drives)
        if (p->Config().byHostId == byHaId && p->Config().byTargetId == byTarget) return p.get();
    return nullptr;
}

}  // namespace emu
