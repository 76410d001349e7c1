// Host only: the registry behind platform_host.cpp. Tests and the emulated
// drive's in-process face attach drive-letter devices and ASPI libraries here;
// the unchanged transport and discovery code then reaches them through the
// ordinary platform calls. Not thread-safe by design: attach and reset from the
// test's thread before the code under test runs.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace hostseam {

// A device behind a drive letter's handle. IoControl sees exactly the
// buffers the caller passed to PlatDeviceIoControl.
class Device {
public:
    virtual ~Device() = default;
    virtual BOOL IoControl(DWORD dwCode, void* pIn, DWORD cbIn, void* pOut, DWORD cbOut,
                           DWORD* pcbReturned) = 0;
};

// Opening \\.\x: for this letter (either case) yields a handle to pDevice.
// The registry does not own the device. Letters without a device fail to open.
void AttachDevice(char chLetter, Device* pDevice);

// An ASPI library as LoadLibrary would find it. A null entry point makes
// PlatGetProcAddress fail for that name, as a broken library would.
typedef DWORD (*GetSupportInfoFn)();
typedef DWORD (*SendCommandFn)(void* pSrb);
void AttachLibrary(const std::string& strName, GetSupportInfoFn pfnGetSupportInfo,
                   SendCommandFn pfnSendCommand);

// What the code under test did.
struct MessageBoxCall {
    HWND hOwner;
    std::string strText;
    std::string strCaption;
    UINT uType;
};
const std::vector<MessageBoxCall>& MessageBoxes();   // every box shown, in order
const std::vector<char>& OpenAttempts();              // letters asked for, in order (lower case)
int OpenDeviceHandles();                             // device handles open now
int LoadedLibraries();                               // library handles not yet freed
int AllocatedPageBlocks();                           // PlatAllocPages blocks not yet freed

// Failure injection: while set, PlatHeapAlloc answers null / PlatCreateEvent
// answers null, as a system out of memory or handles would.
void FailHeapAlloc(bool bFail);
void FailCreateEvent(bool bFail);

// Forgets every device, library, recorded call and open handle, and removes
// the wait and message-box hooks and the failure injections.
void Reset();

}  // namespace hostseam
