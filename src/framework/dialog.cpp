#include "framework/dialog.h"

#include "framework/win_app.h"

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    // A modeless dialog still open ends with its object.
    if (m_hWnd && !m_bModal && FromHandlePermanent(m_hWnd) == this) ::DestroyWindow(m_hWnd);
}

HWND CDialog::ParentHandle() const
{
    if (m_pParentWnd) return m_pParentWnd->m_hWnd;
    CWinApp* pApp = AfxGetApp();
    if (pApp && pApp->m_pMainWnd && pApp->m_pMainWnd != this) return pApp->m_pMainWnd->m_hWnd;
    return nullptr;
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd) return -1;
    m_bModal = TRUE;
    m_nModalResult = -1;
    INT_PTR r = ::DialogBoxParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                  ParentHandle(), &CDialog::DialogProc,
                                  reinterpret_cast<LPARAM>(this));
    m_bModal = FALSE;
    return r;
}

BOOL CDialog::Create(CWnd* pParentWnd)
{
    if (m_hWnd) return FALSE;
    if (pParentWnd) m_pParentWnd = pParentWnd;
    m_bModal = FALSE;
    m_nModalResult = -1;
    HWND hWnd = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                     ParentHandle(), &CDialog::DialogProc,
                                     reinterpret_cast<LPARAM>(this));
    return hWnd != nullptr;
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (!m_hWnd) return;
    if (m_bModal) {
        ::EndDialog(m_hWnd, nResult);
    } else {
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

LRESULT CDialog::DefWindowProc(UINT, WPARAM, LPARAM)
{
    // The dialog manager's own processing runs when DialogProc answers FALSE.
    m_bDeferDefault = TRUE;
    return 0;
}

BOOL CDialog::DestroyWindow()
{
    return CWnd::DestroyWindow();
}

namespace {

// Messages whose answer the dialog manager takes from the dialog procedure's
// return value instead of DWLP_MSGRESULT.
bool AnswersDirectly(UINT uMsg)
{
    switch (uMsg) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

}  // namespace

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CDialog* pDlg = nullptr;
    if (uMsg == WM_INITDIALOG) {
        pDlg = reinterpret_cast<CDialog*>(lParam);
        if (!pDlg) return FALSE;
        ::SetWindowLongPtrA(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(pDlg));
        pDlg->AttachObject(hWnd);
        CurrentMsg saved = pDlg->m_msgCur;
        pDlg->m_msgCur = CurrentMsg{uMsg, wParam, lParam};
        BOOL bFocus = pDlg->OnInitDialog();
        pDlg->m_msgCur = saved;
        return bFocus;
    }
    pDlg = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (!pDlg || pDlg->m_hWnd != hWnd) return FALSE;  // before WM_INITDIALOG (WM_SETFONT)

    CurrentMsg saved = pDlg->m_msgCur;
    BOOL bSavedDefer = pDlg->m_bDeferDefault;
    pDlg->m_msgCur = CurrentMsg{uMsg, wParam, lParam};
    pDlg->m_bDeferDefault = FALSE;
    LRESULT lResult = pDlg->WindowProc(uMsg, wParam, lParam);
    BOOL bDefault = pDlg->m_bDeferDefault;
    pDlg->m_msgCur = saved;
    pDlg->m_bDeferDefault = bSavedDefer;

    if (uMsg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
        pDlg->DetachObject();
        pDlg->PostNcDestroy();
        return FALSE;
    }
    if (bDefault) return FALSE;
    if (AnswersDirectly(uMsg)) return static_cast<INT_PTR>(lResult);
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
}
