// The seam between the portable core (engine, transport, discovery) and the
// operating system. One header, one implementation per target, chosen by the
// build: platform_win32.cpp is a thin pass-through to Win32; platform_host.cpp
// is an in-process stand-in with real memory calls, a replaceable wait and a
// registry of devices and ASPI libraries (see host_seam.h) through which the
// unchanged core talks to the emulated drive.
//
// Only what the core calls lives here.
#pragma once

#include <cstddef>

#include "platform/win_types.h"

// ---- Page memory -----------------------------------------------------------
// Committed read/write pages of at least cb bytes, or null. Release with
// PlatFreePages; never with the heap.
void* PlatAllocPages(size_t cb);
// Locks / unlocks [p, p + cb) into physical memory. Nonzero on success.
BOOL PlatLockPages(void* p, size_t cb);
BOOL PlatUnlockPages(void* p, size_t cb);
// Releases a block from PlatAllocPages. Null is ignored.
void PlatFreePages(void* p);

// ---- Process heap ----------------------------------------------------------
// cb bytes from the process heap, zero-filled when bZero; null on failure.
void* PlatHeapAlloc(size_t cb, BOOL bZero);
// Null is ignored.
void PlatHeapFree(void* p);

// ---- Waiting ---------------------------------------------------------------
// Blocks the calling thread for ms milliseconds. When a wait hook is
// installed the hook is called instead and nothing sleeps: tests use this to
// record the waits the program asks for without spending them.
void PlatSleep(DWORD ms);
typedef void (*PlatWaitHook)(DWORD ms);
// Installs hook (null restores real sleeping); answers the previous hook.
PlatWaitHook PlatSetWaitHook(PlatWaitHook hook);

// ---- Drive devices ---------------------------------------------------------
// Opens \\.\x: (x = chLetter in lower case) for reading and writing, shared
// for reading and writing, OPEN_EXISTING. INVALID_HANDLE_VALUE on failure.
HANDLE PlatOpenDrive(char chLetter);
// DeviceIoControl on a handle from PlatOpenDrive, synchronous, no overlapped
// structure. Nonzero on success; *pcbReturned receives the output length.
BOOL PlatDeviceIoControl(HANDLE h, DWORD dwCode, void* pIn, DWORD cbIn,
                         void* pOut, DWORD cbOut, DWORD* pcbReturned);
// Closes a device or event handle.
BOOL PlatCloseHandle(HANDLE h);

// ---- Events ----------------------------------------------------------------
// Unnamed event, default security. Null on failure.
HANDLE PlatCreateEvent(BOOL bManualReset, BOOL bInitialState);
BOOL PlatSetEvent(HANDLE h);
BOOL PlatResetEvent(HANDLE h);
// WAIT_OBJECT_0 when signalled, WAIT_TIMEOUT after ms (INFINITE: no limit).
DWORD PlatWaitForEvent(HANDLE h, DWORD ms);

// ---- Run-time libraries ----------------------------------------------------
// LoadLibraryA / GetProcAddress / FreeLibrary.
HMODULE PlatLoadLibrary(const char* pszName);
void* PlatGetProcAddress(HMODULE hModule, const char* pszName);
BOOL PlatFreeLibrary(HMODULE hModule);

// ---- Message boxes ---------------------------------------------------------
// MessageBoxA owned by hOwner; answers the button pressed (IDOK, IDCANCEL...).
int PlatMessageBox(HWND hOwner, const char* pszText, const char* pszCaption, UINT uType);
// When a message box hook is installed it is called instead of showing a box,
// and its answer is returned. Tests install one to see text, caption and
// flags without a window; null restores real boxes. Answers the previous hook.
typedef int (*PlatMessageBoxHook)(HWND hOwner, const char* pszText, const char* pszCaption, UINT uType);
PlatMessageBoxHook PlatSetMessageBoxHook(PlatMessageBoxHook hook);
