#include "app/upgrade_app.h"

#include "app/upgrade_dlg.h"

CUpgradeApp theApp;

CUpgradeApp::CUpgradeApp() : CWinApp(nullptr) {}

CUpgradeApp::~CUpgradeApp() = default;

BOOL CUpgradeApp::InitInstance() {
    CUpgradeDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow) {
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
