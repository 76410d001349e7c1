#include "tests/e2e/harness/kestrel_process.h"

#include <cstdio>
#include <cstring>

namespace e2e {

namespace {

struct DialogSearch {
    DWORD dwPid;  // 0: any process (the virtual desktop holds only our program)
    const char* szTitle;
    HWND hFound;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM lParam) {
    DialogSearch* p = reinterpret_cast<DialogSearch*>(lParam);
    DWORD dwPid = 0;
    GetWindowThreadProcessId(hwnd, &dwPid);
    if (p->dwPid && dwPid != p->dwPid) return TRUE;
    char szClass[32] = {}, szTitle[256] = {};
    GetClassNameA(hwnd, szClass, sizeof szClass);
    GetWindowTextA(hwnd, szTitle, sizeof szTitle);
    if (std::strcmp(szClass, "#32770") != 0 || std::strcmp(szTitle, p->szTitle) != 0) return TRUE;
    p->hFound = hwnd;
    return FALSE;
}

// A name no earlier run of this harness used, so each virtual desktop starts empty.
std::string NewDesktopName() {
    static int s_nRuns = 0;
    char sz[64];
    std::snprintf(sz, sizeof sz, "kestrel-%lu-%d", GetCurrentProcessId(), ++s_nRuns);
    return sz;
}

}  // namespace

bool SetWineVersionFor(const char* szExeName, const std::string& strWinVer) {
    std::string key = std::string("Software\\Wine\\AppDefaults\\") + szExeName;
    CRegKey hKey;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, hKey.Out(),
                        nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExA(hKey.Get(), "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(strWinVer.c_str()),
                          static_cast<DWORD>(strWinVer.size() + 1)) == ERROR_SUCCESS;
}

CKestrelProcess::~CKestrelProcess() { Stop(); }

bool CKestrelProcess::Start(const std::string& strFolder, const LaunchOptions& options, std::string* pError) {
    if (!SetWineVersionFor("kestrel.exe", options.strWinVer)) {
        *pError = "cannot set the Windows version for kestrel.exe";
        return false;
    }
    std::string exe = strFolder + "\\kestrel.exe";
    std::string desktop;
    std::string cmd = "\"" + exe + "\"";
    if (options.bVirtualDesktop) {
        desktop = NewDesktopName();
        cmd = "explorer.exe /desktop=" + desktop + ",800x600 " + cmd;
    }
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string mutableCmd = cmd;  // CreateProcessA may write into its command line
    if (!CreateProcessA(nullptr, &mutableCmd[0], nullptr, nullptr, FALSE, 0, nullptr, strFolder.c_str(), &si,
                        &pi)) {
        *pError = "CreateProcessA failed (" + std::to_string(GetLastError()) + "): " + cmd;
        return false;
    }
    CloseHandle(pi.hThread);
    if (!options.bVirtualDesktop) {
        m_hProcess.Reset(pi.hProcess);
        m_dwPid = pi.dwProcessId;
        return true;
    }
    m_hLauncher.Reset(pi.hProcess);
    // The desktop appears once explorer has created it; this thread then joins
    // it so that window searches, messages and screen reads see the program.
    HDESK hDesk = nullptr;
    for (int i = 0; i < 200 && !hDesk; ++i) {
        hDesk = OpenDesktopA(desktop.c_str(), 0, FALSE, GENERIC_ALL);
        if (!hDesk) Sleep(50);
    }
    if (!hDesk) {
        *pError = "the virtual desktop " + desktop + " did not appear";
        return false;
    }
    m_hHomeDesktop = GetThreadDesktop(GetCurrentThreadId());
    if (!SetThreadDesktop(hDesk)) {
        CloseDesktop(hDesk);
        *pError = "cannot attach to the virtual desktop";
        return false;
    }
    m_hDesktop = hDesk;
    return true;
}

bool CKestrelProcess::AttachToDesktopProcess(HWND hDialog) {
    DWORD dwPid = 0;
    GetWindowThreadProcessId(hDialog, &dwPid);
    HANDLE h = OpenProcess(PROCESS_ALL_ACCESS, FALSE, dwPid);
    if (!h) return false;
    m_hProcess.Reset(h);
    m_dwPid = dwPid;
    return true;
}

HWND CKestrelProcess::FindDialog(const char* szTitle) {
    DialogSearch search = {m_dwPid, szTitle, nullptr};
    if (m_hDesktop)
        EnumDesktopWindows(m_hDesktop, MatchDialog, reinterpret_cast<LPARAM>(&search));
    else if (m_dwPid)
        EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    if (search.hFound && !m_dwPid) AttachToDesktopProcess(search.hFound);
    return search.hFound;
}

HWND CKestrelProcess::WaitDialog(const char* szTitle, DWORD dwMs) {
    DWORD dwStart = GetTickCount();
    for (;;) {
        HWND h = FindDialog(szTitle);
        if (h && IsWindowVisible(h)) return h;
        if (GetTickCount() - dwStart >= dwMs) return nullptr;
        if (m_hProcess && WaitForSingleObject(m_hProcess.Get(), 0) == WAIT_OBJECT_0) return nullptr;
        Sleep(50);
    }
}

namespace {
BOOL CALLBACK DescribeWindow(HWND hwnd, LPARAM lParam) {
    std::string* p = reinterpret_cast<std::string*>(lParam);
    char szClass[64] = {}, szTitle[128] = {};
    GetClassNameA(hwnd, szClass, sizeof szClass);
    GetWindowTextA(hwnd, szTitle, sizeof szTitle);
    *p += std::string(p->empty() ? "" : ", ") + szClass + " \"" + szTitle + "\"" +
          (IsWindowVisible(hwnd) ? "" : " (hidden)");
    return TRUE;
}
}  // namespace

std::string CKestrelProcess::DescribeWindows() {
    std::string s;
    if (m_hDesktop)
        EnumDesktopWindows(m_hDesktop, DescribeWindow, reinterpret_cast<LPARAM>(&s));
    else
        EnumWindows(DescribeWindow, reinterpret_cast<LPARAM>(&s));
    return s.empty() ? "no windows" : s;
}

bool CKestrelProcess::Running() const {
    return m_hProcess && WaitForSingleObject(m_hProcess.Get(), 0) == WAIT_TIMEOUT;
}

bool CKestrelProcess::WaitExit(DWORD dwMs, DWORD* pdwExitCode) {
    if (!m_hProcess || WaitForSingleObject(m_hProcess.Get(), dwMs) != WAIT_OBJECT_0) return false;
    return GetExitCodeProcess(m_hProcess.Get(), pdwExitCode) != 0;
}

void CKestrelProcess::Stop() {
    if (Running()) {
        TerminateProcess(m_hProcess.Get(), 1);
        WaitForSingleObject(m_hProcess.Get(), 5000);
    }
    if (m_hLauncher && WaitForSingleObject(m_hLauncher.Get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_hLauncher.Get(), 0);
        WaitForSingleObject(m_hLauncher.Get(), 5000);
    }
    if (m_hDesktop) {
        SetThreadDesktop(m_hHomeDesktop);
        CloseDesktop(m_hDesktop);
        m_hDesktop = nullptr;
    }
    m_hProcess.Reset(nullptr);
    m_hLauncher.Reset(nullptr);
    m_dwPid = 0;
}

}  // namespace e2e
