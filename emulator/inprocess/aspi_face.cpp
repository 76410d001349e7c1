#include "emulator/inprocess/aspi_face.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "scsi/aspi_layout.h"
#include "scsi/scsi_transport.h"

namespace emu {

namespace {

constexpr BYTE kNoAdapters = 0xE8;
constexpr BYTE kHostScsiId = 7;

// The current adapter set and the thread completing a pending command.
struct AspiState {
    std::vector<CInProcessAdapter*> adapters;
    std::thread pending;
};

AspiState& State() {
    static AspiState s;
    return s;
}

void JoinPending() {
    if (State().pending.joinable()) State().pending.join();
}

void CopyName(BYTE* pDst, const char* pszSrc) {
    std::memset(pDst, ' ', 16);
    std::memcpy(pDst, pszSrc, std::min<size_t>(16, std::strlen(pszSrc)));
}

DWORD HaInquiry(SRB_HAInquiry* pSrb) {
    const auto& adapters = State().adapters;
    if (pSrb->SRB_HaId >= adapters.size()) return pSrb->SRB_Status = SS_INVALID_HA;
    const AdapterConfig& cfg = adapters[pSrb->SRB_HaId]->Config();
    pSrb->HA_Count = static_cast<BYTE>(adapters.size());
    pSrb->HA_SCSI_ID = kHostScsiId;
    CopyName(pSrb->HA_ManagerId, "ASPI for WIN32");
    CopyName(pSrb->HA_Identifier, "KESTREL EMU");
    std::memset(pSrb->HA_Unique, 0, sizeof pSrb->HA_Unique);
    pSrb->HA_Unique[0] = static_cast<BYTE>(cfg.wAlignMask);
    pSrb->HA_Unique[1] = static_cast<BYTE>(cfg.wAlignMask >> 8);
    pSrb->HA_Unique[3] = cfg.byMaxTargets;
    for (int i = 0; i < 4; ++i) pSrb->HA_Unique[4 + i] = static_cast<BYTE>(cfg.dwMaxTransfer >> (8 * i));
    return pSrb->SRB_Status = SS_COMP;
}

CEmulatedDrive* FindDrive(BYTE byHaId, BYTE byTarget, BYTE byLun) {
    const auto& adapters = State().adapters;
    if (byHaId >= adapters.size() || byLun != 0) return nullptr;
    return adapters[byHaId]->FindTarget(byTarget);
}

DWORD GetDevType(SRB_GDEVBlock* pSrb) {
    if (pSrb->SRB_HaId >= State().adapters.size()) return pSrb->SRB_Status = SS_INVALID_HA;
    CEmulatedDrive* pDrive = FindDrive(pSrb->SRB_HaId, pSrb->SRB_Target, pSrb->SRB_Lun);
    if (!pDrive) return pSrb->SRB_Status = SS_NO_DEVICE;
    pSrb->SRB_DeviceType = pDrive->Config().byPeripheral & 0x1F;
    return pSrb->SRB_Status = SS_COMP;
}

// Runs the command and fills in the request's outcome; the event last.
void Complete(CEmulatedDrive* pDrive, SRB_ExecSCSICmd* pSrb) {
    DataDirection eDir = DataDirection::kNone;
    if (pSrb->SRB_BufLen) eDir = (pSrb->SRB_Flags & SRB_DIR_OUT) ? DataDirection::kOut : DataDirection::kIn;
    BYTE byCdbLen = std::min<BYTE>(pSrb->SRB_CDBLen, sizeof pSrb->CDBByte);
    CommandOutcome out = pDrive->Execute(pSrb->CDBByte, byCdbLen, eDir, pSrb->SRB_BufPointer, pSrb->SRB_BufLen);
    pSrb->SRB_HaStat = 0;
    pSrb->SRB_TargStat = out.byStatus;
    if (out.byStatus != 0) {
        size_t n = std::min<size_t>(pSrb->SRB_SenseLen, sizeof pSrb->SenseArea);
        std::memcpy(pSrb->SenseArea, out.abySense, n);
    }
    const bool bNotify = (pSrb->SRB_Flags & SRB_EVENT_NOTIFY) != 0;
    HANDLE hEvent = pSrb->SRB_PostProc;
    // After the status is written the caller may return and drop the request,
    // so nothing of it is touched afterwards.
    pSrb->SRB_Status = out.byStatus == 0 ? SS_COMP : SS_ERR;
    if (bNotify && hEvent) PlatSetEvent(hEvent);
}

DWORD ExecScsiCmd(SRB_ExecSCSICmd* pSrb) {
    if (pSrb->SRB_HaId >= State().adapters.size()) return pSrb->SRB_Status = SS_INVALID_HA;
    CEmulatedDrive* pDrive = FindDrive(pSrb->SRB_HaId, pSrb->SRB_Target, pSrb->SRB_Lun);
    if (!pDrive) return pSrb->SRB_Status = SS_NO_DEVICE;
    if (pDrive->Config().eAspiCompletion == AspiCompletion::kImmediate) {
        Complete(pDrive, pSrb);
        return pSrb->SRB_Status;
    }
    pSrb->SRB_Status = SS_PENDING;
    const DWORD dwDelay = pDrive->Config().dwAspiPendingDelayMs;
    State().pending = std::thread([pDrive, pSrb, dwDelay] {
        if (dwDelay) std::this_thread::sleep_for(std::chrono::milliseconds(dwDelay));
        Complete(pDrive, pSrb);
    });
    return SS_PENDING;
}

DWORD GetSupportInfo() {
    const size_t n = State().adapters.size();
    if (n == 0) return DWORD(kNoAdapters) << 8;
    return (DWORD(SS_COMP) << 8) | static_cast<BYTE>(n);
}

DWORD SendCommand(void* pRequest) {
    if (!pRequest) return SS_INVALID_CMD;
    JoinPending();  // the previous command has completed; its thread is finishing
    auto* pHeader = static_cast<SRB_Header*>(pRequest);
    switch (pHeader->SRB_Cmd) {
        case SC_HA_INQUIRY: return HaInquiry(static_cast<SRB_HAInquiry*>(pRequest));
        case SC_GET_DEV_TYPE: return GetDevType(static_cast<SRB_GDEVBlock*>(pRequest));
        case SC_EXEC_SCSI_CMD: return ExecScsiCmd(static_cast<SRB_ExecSCSICmd*>(pRequest));
        default: return pHeader->SRB_Status = SS_INVALID_CMD;
    }
}

}  // namespace

void InstallAspi(const std::vector<CInProcessAdapter*>& adapters) {
    JoinPending();
    State().adapters = adapters;
    hostseam::AttachLibrary("WNASPI32", GetSupportInfo, SendCommand);
}

void UninstallAspi() {
    JoinPending();
    State().adapters.clear();
}

}  // namespace emu
