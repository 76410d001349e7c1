#include "framework/wnd.h"

#include "framework/win_app.h"

const char* const CWnd::s_szObjectProp = "KestrelWndObject";

namespace {
// When a window is handed back while someone else's procedure sits on top of ours,
// ours cannot be taken out of the chain; the procedure it must forward to stays
// with the window under this property until the window is destroyed.
const char* const kOrphanSuperProp = "KestrelWndSuper";
}  // namespace

CWnd::~CWnd()
{
    if (!m_hWnd || FromHandlePermanent(m_hWnd) != this) return;
    if (m_bCreated) {
        // The window dies with its object; WM_NCDESTROY unhooks it.
        ::DestroyWindow(m_hWnd);
        if (m_hWnd) UnsubclassWindow();
    } else if (m_pfnSuper) {
        UnsubclassWindow();
    } else {
        DetachObject();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    if (!hWnd) return nullptr;
    return static_cast<CWnd*>(::GetPropA(hWnd, s_szObjectProp));
}

BOOL CWnd::AttachObject(HWND hWnd)
{
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
    if (!::SetPropA(hWnd, s_szObjectProp, static_cast<HANDLE>(this))) return FALSE;
    m_hWnd = hWnd;
    return TRUE;
}

void CWnd::DetachObject()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) ::RemovePropA(m_hWnd, s_szObjectProp);
    m_hWnd = nullptr;
}

BOOL CWnd::HookWindowProc(HWND hWnd)
{
    if (!AttachObject(hWnd)) return FALSE;
    WNDPROC old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StdWndProc)));
    if (!old) {
        DetachObject();
        return FALSE;
    }
    m_pfnSuper = old;
    return TRUE;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!hWnd || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
    // The control sees its object before its messages come to us, as the bound
    // object may need to read the item's style and text first.
    m_hWnd = hWnd;
    PreSubclassWindow();
    m_hWnd = nullptr;
    return HookWindowProc(hWnd);
}

BOOL CWnd::SubclassDlgItem(UINT nID, HWND hParent)
{
    return SubclassWindow(::GetDlgItem(hParent, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hWnd = m_hWnd;
    if (!hWnd) return nullptr;
    if (m_pfnSuper) {
        if (::GetWindowLongPtrA(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::StdWndProc)) {
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
        } else {
            ::SetPropA(hWnd, kOrphanSuperProp, reinterpret_cast<HANDLE>(m_pfnSuper));
        }
    }
    m_pfnSuper = nullptr;
    m_bCreated = FALSE;
    DetachObject();
    return hWnd;
}

void CWnd::PreSubclassWindow() {}

BOOL CWnd::CreateEx(DWORD dwExStyle, const char* pszClass, const char* pszName, DWORD dwStyle,
                    int x, int y, int cx, int cy, HWND hParent, HMENU hMenuOrId, LPVOID lpParam)
{
    if (m_hWnd) return FALSE;
    HWND hWnd = ::CreateWindowExA(dwExStyle, pszClass, pszName, dwStyle, x, y, cx, cy, hParent,
                                  hMenuOrId, AfxGetInstanceHandle(), lpParam);
    if (!hWnd) return FALSE;
    if (!HookWindowProc(hWnd)) {
        ::DestroyWindow(hWnd);
        return FALSE;
    }
    m_bCreated = TRUE;
    return TRUE;
}

BOOL CWnd::DestroyWindow()
{
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::ProcessWindowMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&)
{
    return FALSE;
}

BOOL CWnd::ReflectCtlColor(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    if (uMsg < WM_CTLCOLORMSGBOX || uMsg > WM_CTLCOLORSTATIC) return FALSE;
    HWND hChild = reinterpret_cast<HWND>(lParam);
    if (!hChild || hChild == m_hWnd || !FromHandlePermanent(hChild)) return FALSE;
    LRESULT r = ::SendMessageA(hChild, OCM__BASE + uMsg, wParam, lParam);
    if (!r) return FALSE;
    lResult = r;
    return TRUE;
}

LRESULT CWnd::WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (ReflectCtlColor(uMsg, wParam, lParam, lResult)) return lResult;
    if (ProcessWindowMessage(m_hWnd, uMsg, wParam, lParam, lResult)) return lResult;
    // A reflected query nobody answered is not the control's own business: its
    // original procedure would not know the message.
    if (uMsg >= OCM_CTLCOLORMSGBOX && uMsg <= OCM_CTLCOLORSTATIC) return 0;
    return DefWindowProc(uMsg, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, uMsg, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_msgCur.message, m_msgCur.wParam, m_msgCur.lParam);
}

void CWnd::PostNcDestroy() {}

LRESULT CALLBACK CWnd::StdWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd || pWnd->m_hWnd != hWnd || !pWnd->m_pfnSuper) {
        // Still in someone's chain after our object let go: pass straight through.
        WNDPROC pfnSuper = reinterpret_cast<WNDPROC>(::GetPropA(hWnd, kOrphanSuperProp));
        if (!pfnSuper) return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
        if (uMsg == WM_NCDESTROY) ::RemovePropA(hWnd, kOrphanSuperProp);
        return ::CallWindowProcA(pfnSuper, hWnd, uMsg, wParam, lParam);
    }
    CurrentMsg saved = pWnd->m_msgCur;
    pWnd->m_msgCur = CurrentMsg{uMsg, wParam, lParam};
    LRESULT lResult = pWnd->WindowProc(uMsg, wParam, lParam);
    pWnd->m_msgCur = saved;
    if (uMsg == WM_NCDESTROY) pWnd->OnFinalNcDestroy(hWnd);
    return lResult;
}

void CWnd::OnFinalNcDestroy(HWND hWnd)
{
    if (m_hWnd != hWnd) return;
    UnsubclassWindow();
    PostNcDestroy();
}

CWndRef CWnd::GetDlgItem(int nID) const
{
    return CWndRef(::GetDlgItem(m_hWnd, nID));
}

void CWnd::GetWindowText(CString& str) const
{
    // The length query and the text query can disagree for controls that answer
    // WM_GETTEXT themselves, so ask with room to spare.
    int n = ::GetWindowTextLengthA(m_hWnd);
    if (n < 1023) n = 1023;
    char* p = str.GetBuffer(n);
    int got = ::GetWindowTextA(m_hWnd, p, n + 1);
    str.ReleaseBuffer(got > 0 && got <= n ? got : 0);
}

void CWnd::GetDlgItemText(int nID, CString& str) const
{
    CWndRef item = GetDlgItem(nID);
    item->GetWindowText(str);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD dwStyle = GetStyle();
    DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNew) return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(dwNew));
    if (nFlags) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    }
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD dwStyle = GetExStyle();
    DWORD dwNew = (dwStyle & ~dwRemove) | dwAdd;
    if (dwStyle == dwNew) return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(dwNew));
    if (nFlags) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    }
    return TRUE;
}
