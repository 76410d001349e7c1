#include "app/app_globals.h"

#include <commctrl.h>

#include <vector>

#include "app/logic/log_text.h"
#include "app/resource.h"
#include "app/upgrade_dlg.h"

CUpgradeDlg* g_pMainDlg = nullptr;
BYTE g_bTerminate = 0;
CString g_strDriveName;
CString g_strRevision;

namespace {

// Sent, not posted: the caller's text must reach the control before we return.
LRESULT SendToItem(int nID, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (!g_pMainDlg) return 0;
    return ::SendMessageA(::GetDlgItem(g_pMainDlg->m_hWnd, nID), uMsg, wParam, lParam);
}

void SetItemText(int nID, const char* pszText) {
    SendToItem(nID, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pszText));
}

}  // namespace

void CBSetRevision(const char* pszText) { SetItemText(IDC_REVISION, pszText); }

void CBSetDriveName(const char* pszText) { SetItemText(IDC_CBO_DRIVE, pszText); }

void CBShowStatus(const char* pszText) { SetItemText(IDC_STATUS, pszText); }

void CBSetProgress(int nPos) { SendToItem(IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(nPos), 0); }

BYTE CBIfTerminated() { return g_bTerminate; }

void CBShowMessage(const char* pszText) {
    if (!g_pMainDlg) return;
    char szOld[kLogKeptChars + 1] = "";
    SendToItem(IDC_EDIT_LOG, WM_GETTEXT, sizeof szOld, reinterpret_cast<LPARAM>(szOld));
    const std::vector<char> text = ComposeLogText(szOld, pszText);
    SendToItem(IDC_EDIT_LOG, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
    const LRESULT nLines = SendToItem(IDC_EDIT_LOG, EM_GETLINECOUNT, 0, 0);
    SendToItem(IDC_EDIT_LOG, EM_LINESCROLL, 0, nLines);
}
