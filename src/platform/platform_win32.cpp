// Windows implementation of the platform seam: a thin pass-through to Win32.
#include "platform/platform.h"

namespace {
// Test seams; both stay null in the shipped program's normal run.
PlatWaitHook g_pfnWaitHook = nullptr;
PlatMessageBoxHook g_pfnMessageBoxHook = nullptr;
}  // namespace

void* PlatAllocPages(size_t cb) {
    return VirtualAlloc(nullptr, cb, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

BOOL PlatLockPages(void* p, size_t cb) { return VirtualLock(p, cb); }

BOOL PlatUnlockPages(void* p, size_t cb) { return VirtualUnlock(p, cb); }

void PlatFreePages(void* p) {
    if (p) VirtualFree(p, 0, MEM_RELEASE);
}

void* PlatHeapAlloc(size_t cb, BOOL bZero) {
    return HeapAlloc(GetProcessHeap(), bZero ? HEAP_ZERO_MEMORY : 0, cb);
}

void PlatHeapFree(void* p) {
    if (p) HeapFree(GetProcessHeap(), 0, p);
}

void PlatSleep(DWORD ms) {
    if (g_pfnWaitHook) {
        g_pfnWaitHook(ms);
        return;
    }
    Sleep(ms);
}

PlatWaitHook PlatSetWaitHook(PlatWaitHook hook) {
    PlatWaitHook old = g_pfnWaitHook;
    g_pfnWaitHook = hook;
    return old;
}

HANDLE PlatOpenDrive(char chLetter) {
    char szPath[] = "\\\\.\\c:";
    szPath[4] = (chLetter >= 'A' && chLetter <= 'Z') ? static_cast<char>(chLetter - 'A' + 'a') : chLetter;
    return CreateFileA(szPath, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
}

BOOL PlatDeviceIoControl(HANDLE h, DWORD dwCode, void* pIn, DWORD cbIn, void* pOut, DWORD cbOut,
                         DWORD* pcbReturned) {
    DWORD cbDummy = 0;
    return DeviceIoControl(h, dwCode, pIn, cbIn, pOut, cbOut, pcbReturned ? pcbReturned : &cbDummy,
                           nullptr);
}

BOOL PlatCloseHandle(HANDLE h) { return CloseHandle(h); }

HANDLE PlatCreateEvent(BOOL bManualReset, BOOL bInitialState) {
    return CreateEventA(nullptr, bManualReset, bInitialState, nullptr);
}

BOOL PlatSetEvent(HANDLE h) { return SetEvent(h); }

BOOL PlatResetEvent(HANDLE h) { return ResetEvent(h); }

DWORD PlatWaitForEvent(HANDLE h, DWORD ms) { return WaitForSingleObject(h, ms); }

HMODULE PlatLoadLibrary(const char* pszName) { return LoadLibraryA(pszName); }

void* PlatGetProcAddress(HMODULE hModule, const char* pszName) {
    return reinterpret_cast<void*>(GetProcAddress(hModule, pszName));
}

BOOL PlatFreeLibrary(HMODULE hModule) { return FreeLibrary(hModule); }

int PlatMessageBox(HWND hOwner, const char* pszText, const char* pszCaption, UINT uType) {
    if (g_pfnMessageBoxHook) return g_pfnMessageBoxHook(hOwner, pszText, pszCaption, uType);
    return MessageBoxA(hOwner, pszText, pszCaption, uType);
}

PlatMessageBoxHook PlatSetMessageBoxHook(PlatMessageBoxHook hook) {
    PlatMessageBoxHook old = g_pfnMessageBoxHook;
    g_pfnMessageBoxHook = hook;
    return old;
}
