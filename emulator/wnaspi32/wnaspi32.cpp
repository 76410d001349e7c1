// WNASPI32.DLL: the emulated drives as an ASPI for Win32 library. Loaded by
// the program on the 9x family (and under Wine with the version set to
// win98) in place of the system's ASPI layer. The configuration file and the
// reports live in the DLL's own folder.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "emulator/wnaspi32/aspi_config.h"
#include "emulator/wnaspi32/aspi_layer.h"

extern "C" {
DWORD __cdecl GetASPI32SupportInfo(void);
DWORD __cdecl SendASPI32Command(void* pSrb);
}

namespace {

HMODULE g_hModule = nullptr;
// Serialises everything that touches the layer: its creation, and every
// command (the model is not thread-safe, and pending commands complete on
// worker threads).
CRITICAL_SECTION g_csLayer;
// Created on first use, not in DllMain, so reading the configuration never
// runs under the loader lock. Destroyed at unload, which writes the reports.
emu::CAspiLayer* g_pLayer = nullptr;

class CLayerLock {
public:
    CLayerLock() { EnterCriticalSection(&g_csLayer); }
    ~CLayerLock() { LeaveCriticalSection(&g_csLayer); }
    CLayerLock(const CLayerLock&) = delete;
    CLayerLock& operator=(const CLayerLock&) = delete;
};

std::string ModulePath() {
    char sz[MAX_PATH];
    DWORD n = GetModuleFileNameA(g_hModule, sz, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return std::string();
    return std::string(sz, n);
}

// The DLL's folder with a trailing separator ("" when it cannot be found,
// which makes every file relative to the current directory).
std::string ModuleFolder() {
    std::string s = ModulePath();
    size_t p = s.find_last_of("\\/");
    return p == std::string::npos ? std::string() : s.substr(0, p + 1);
}

bool ReadWholeFile(const std::string& strPath, std::string& strText) {
    FILE* fp = std::fopen(strPath.c_str(), "rb");
    if (!fp) return false;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), fp)) > 0) strText.append(buf, n);
    std::fclose(fp);
    return true;
}

// A configuration that cannot be read serves no drive at all (rather than a
// guess), and says why in WNASPI32.log beside the DLL.
void WriteConfigErrors(const std::string& strFolder, const std::vector<std::string>& errors) {
    FILE* fp = std::fopen((strFolder + "WNASPI32.log").c_str(), "w");
    if (!fp) return;
    std::fprintf(fp, "%s: not used, no drive is served\n", emu::kAspiConfigFileName);
    for (const std::string& e : errors) std::fprintf(fp, "%s\n", e.c_str());
    std::fclose(fp);
}

// Caller holds the lock.
emu::CAspiLayer& Layer() {
    if (!g_pLayer) {
        std::string strFolder = ModuleFolder();
        std::string strText;
        emu::AspiConfig config;
        if (!ReadWholeFile(strFolder + emu::kAspiConfigFileName, strText)) {
            config = emu::DefaultAspiConfig(strFolder);
        } else {
            std::vector<std::string> errors;
            if (!emu::ParseAspiConfig(strText, strFolder, config, errors)) {
                WriteConfigErrors(strFolder, errors);
                config = emu::AspiConfig();
            }
        }
        g_pLayer = new emu::CAspiLayer(config);
    }
    return *g_pLayer;
}

// Completion notice as the request asked for it: an event to set, or a
// routine to call.
typedef void(__cdecl* PostRoutine)(void* pSrb);
void NotifyCompletion(SRB_ExecSCSICmd* pSrb) {
    if (!pSrb->SRB_PostProc) return;
    if (pSrb->SRB_Flags & SRB_EVENT_NOTIFY) {
        SetEvent(static_cast<HANDLE>(pSrb->SRB_PostProc));
    } else if (pSrb->SRB_Flags & SRB_POSTING) {
        reinterpret_cast<PostRoutine>(pSrb->SRB_PostProc)(pSrb);
    }
}

struct PendingRequest {
    emu::CEmulatedDrive* pDrive;
    SRB_ExecSCSICmd* pSrb;
    DWORD dwDelayMs;
};

// Worker for a request answered SS_PENDING: carries it out after the
// configured delay, then signals. The thread holds its own reference to the
// DLL, so an unload right after the caller's wait ends cannot pull the code
// from under it.
DWORD WINAPI CompleteLater(LPVOID pParam) {
    std::unique_ptr<PendingRequest> req(static_cast<PendingRequest*>(pParam));
    if (req->dwDelayMs) Sleep(req->dwDelayMs);
    {
        CLayerLock lock;
        emu::CAspiLayer::Execute(req->pDrive, req->pSrb);
    }
    NotifyCompletion(req->pSrb);
    req.reset();
    FreeLibraryAndExitThread(g_hModule, 0);
    return 0;
}

// Starts the worker; false when it could not be started (the caller then
// completes the request itself).
bool StartPending(emu::CEmulatedDrive* pDrive, SRB_ExecSCSICmd* pSrb) {
    HMODULE hSelf = LoadLibraryA(ModulePath().c_str());
    if (!hSelf) return false;
    auto* pReq = new PendingRequest{pDrive, pSrb, pDrive->Config().dwAspiPendingDelayMs};
    DWORD dwThreadId = 0;
    HANDLE hThread = CreateThread(nullptr, 0, CompleteLater, pReq, 0, &dwThreadId);
    if (!hThread) {
        delete pReq;
        FreeLibrary(hSelf);
        return false;
    }
    CloseHandle(hThread);
    return true;
}

DWORD ExecScsiCommand(SRB_ExecSCSICmd* pSrb) {
    CLayerLock lock;
    emu::CEmulatedDrive* pDrive = Layer().Target(pSrb);
    if (!pDrive) return pSrb->SRB_Status;  // refused before anything was started
    if (pDrive->Config().eAspiCompletion == emu::AspiCompletion::kPending) {
        pSrb->SRB_Status = SS_PENDING;
        if (StartPending(pDrive, pSrb)) return SS_PENDING;
    }
    DWORD dwStatus = emu::CAspiLayer::Execute(pDrive, pSrb);
    NotifyCompletion(pSrb);
    return dwStatus;
}

}  // namespace

extern "C" DWORD __cdecl GetASPI32SupportInfo(void) {
    CLayerLock lock;
    return Layer().SupportInfo();
}

extern "C" DWORD __cdecl SendASPI32Command(void* pSrb) {
    if (!pSrb) return emu::kSsInvalidSrb;
    auto* pHeader = static_cast<SRB_Header*>(pSrb);
    switch (pHeader->SRB_Cmd) {
    case SC_HA_INQUIRY: {
        CLayerLock lock;
        return Layer().HostAdapterInquiry(static_cast<SRB_HAInquiry*>(pSrb));
    }
    case SC_GET_DEV_TYPE: {
        CLayerLock lock;
        return Layer().GetDeviceType(static_cast<SRB_GDEVBlock*>(pSrb));
    }
    case SC_EXEC_SCSI_CMD:
        return ExecScsiCommand(static_cast<SRB_ExecSCSICmd*>(pSrb));
    default:
        return pHeader->SRB_Status = SS_INVALID_CMD;
    }
}

BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID) {
    switch (dwReason) {
    case DLL_PROCESS_ATTACH:
        g_hModule = hInstance;
        InitializeCriticalSection(&g_csLayer);
        DisableThreadLibraryCalls(hInstance);
        break;
    case DLL_PROCESS_DETACH:
        // Every pending worker holds a reference, so none runs now; the
        // drives write their final reports as they go.
        delete g_pLayer;
        g_pLayer = nullptr;
        DeleteCriticalSection(&g_csLayer);
        break;
    }
    return TRUE;
}
