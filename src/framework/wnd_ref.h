// CWndRef: a borrowed view of some window (what CWnd::GetDlgItem answers). It does
// not own, subclass or destroy the window; it lives as long as the expression or
// variable holding it. Use it as GetDlgItem(1015)->EnableWindow(FALSE), or keep the
// HWND. Safe from any thread (each call makes its own view).
#pragma once

#include "framework/wnd.h"

class CWndRef {
public:
    explicit CWndRef(HWND hWnd) { m_wnd.m_hWnd = hWnd; }
    ~CWndRef() { m_wnd.m_hWnd = nullptr; }
    CWndRef(const CWndRef&) = delete;
    CWndRef& operator=(const CWndRef&) = delete;

    CWnd* operator->() { return &m_wnd; }
    CWnd& operator*() { return m_wnd; }
    operator HWND() const { return m_wnd.m_hWnd; }

private:
    CWnd m_wnd;
};
