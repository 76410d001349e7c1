// One run of kestrel.exe under Wine, started the way a user would start it:
// from its own folder (which is also its current directory), with the
// Windows version Wine reports to it chosen beforehand. Optionally inside a
// Wine virtual desktop of its own, where Wine draws the window frames itself,
// so screenshots show the title bar (bare Xvfb has no window manager).
//
// The object ends the program (and the virtual desktop's explorer) if it is
// still running when the object goes away, so a failed scenario never leaves
// a process behind for the next one.
#pragma once

#include <windows.h>

#include <string>

#include "tests/e2e/harness/win_handles.h"

namespace e2e {

struct LaunchOptions {
    std::string strWinVer = "win98";  // Wine's value names: win98, nt40, winxp, win10
    bool bVirtualDesktop = false;
};

class CKestrelProcess {
public:
    CKestrelProcess() = default;
    ~CKestrelProcess();
    CKestrelProcess(const CKestrelProcess&) = delete;
    CKestrelProcess& operator=(const CKestrelProcess&) = delete;

    // Starts strFolder\kestrel.exe with strFolder as its current directory.
    // False (and a reason in *pError) when it could not be started.
    bool Start(const std::string& strFolder, const LaunchOptions& options, std::string* pError);

    // The program's top-level dialog ("#32770") captioned strTitle, or null.
    HWND FindDialog(const char* szTitle);
    // Polls FindDialog until the dialog is visible or dwMs have passed.
    HWND WaitDialog(const char* szTitle, DWORD dwMs);

    bool Running() const;
    // Ends the program (and its virtual desktop) if it still runs.
    void Stop();
    // The top-level windows this harness can see where the program runs:
    // class and caption of each, for a failure message.
    std::string DescribeWindows();
    // Waits for the program to end; true with its exit code when it did.
    bool WaitExit(DWORD dwMs, DWORD* pdwExitCode);
    DWORD ProcessId() const { return m_dwPid; }
    // True when the program runs in a virtual desktop of its own.
    bool InVirtualDesktop() const { return m_hDesktop != nullptr; }

private:
    bool AttachToDesktopProcess(HWND hDialog);

    CHandle m_hProcess;
    DWORD m_dwPid = 0;
    CHandle m_hLauncher;            // explorer.exe /desktop=... when in a virtual desktop
    HDESK m_hDesktop = nullptr;     // the virtual desktop, while this thread is attached to it
    HDESK m_hHomeDesktop = nullptr; // this thread's desktop before that
};

// Sets the Windows version Wine reports to every process of that executable
// name (HKCU\Software\Wine\AppDefaults\<exe>\Version).
bool SetWineVersionFor(const char* szExeName, const std::string& strWinVer);

}  // namespace e2e
