#include "framework/win_app.h"

#include <commctrl.h>

namespace {
// The one application object; the framework's only process-wide value.
CWinApp* g_pApp = nullptr;
}  // namespace

CWinApp::CWinApp(const char* pszAppName) : m_pszAppName(pszAppName)
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this) g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

int CWinApp::Run()
{
    MSG msg;
    int nCode = 0;
    for (;;) {
        BOOL r = ::GetMessageA(&msg, nullptr, 0, 0);
        if (r == 0) {
            nCode = static_cast<int>(msg.wParam);
            break;
        }
        if (r == -1) break;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    int nExit = ExitInstance();
    return nCode ? nCode : nExit;
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    if (g_pApp && g_pApp->m_hInstance) return g_pApp->m_hInstance;
    return ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    return RunApplication(hInstance);
}

int RunApplication(HINSTANCE hInstance)
{
    CWinApp* pApp = AfxGetApp();
    if (!pApp) return -1;
    pApp->m_hInstance = hInstance ? hInstance : ::GetModuleHandleA(nullptr);
    // The progress bar lives in the common controls library.
    ::InitCommonControls();
    if (!pApp->InitInstance()) return pApp->ExitInstance();
    return pApp->Run();
}
