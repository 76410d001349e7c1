// CWinApp: the application object. The program defines exactly one object of a
// class derived from CWinApp at namespace scope (its constructor registers it as
// AfxGetApp()), and a WinMain that calls AfxWinMain:
//
//   CUpgradeApp theApp;
//   int WINAPI WinMain(HINSTANCE h, HINSTANCE p, LPSTR cmd, int show)
//   { return AfxWinMain(h, p, cmd, show); }
//
// AfxWinMain records the module instance, initialises the common controls
// (progress bar), and calls InitInstance. When InitInstance answers FALSE (a
// dialog program that ran its dialog inside InitInstance), ExitInstance's answer
// is the exit code; otherwise Run() pumps messages until WM_QUIT.
#pragma once

#include <windows.h>

class CWnd;

class CWinApp {
public:
    explicit CWinApp(const char* pszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();  // answers 0
    virtual int Run();           // message loop; WM_QUIT's code, after ExitInstance

    const char* m_pszAppName;
    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;  // the main window (a dialog's parent by default)
};

// The application object, or NULL when there is none (tests).
CWinApp* AfxGetApp();
// The module the resources (dialogs, icons, bitmaps, strings) come from: the
// application's instance, else the executable's module.
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
// The program's entry, see above.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow);
// The same without the unused WinMain arguments.
int RunApplication(HINSTANCE hInstance);
