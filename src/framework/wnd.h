// CWnd: a C++ object tied to one window.
//
// Tying. An object gets its window in one of three ways, and the window's messages
// then reach the object's WindowProc and message map:
//   - SubclassWindow(hWnd) (DDX_Control does this for dialog items): PreSubclassWindow
//     runs first, then GWLP_WNDPROC is replaced by the framework's procedure and the
//     old one kept as the default processing. The object pointer lives in a window
//     property of the window, so no global map and no thunk are needed.
//   - CreateEx(...): creates a window of any class and subclasses it the same way
//     (the class's own procedure, for instance DefWindowProcA, stays the default).
//   - CDialog: the dialog manager's DialogProc finds the object in DWLP_USER (and in
//     the same window property, so children can find their dialog and vice versa).
// At WM_NCDESTROY the framework puts the old procedure back only if the window's
// procedure is still ours (someone may have subclassed on top of us), removes the
// property and sets m_hWnd to NULL; then PostNcDestroy runs.
// Destroying the object while its window lives: a window it created is destroyed,
// a window it subclassed is handed back (UnsubclassWindow).
//
// Messages. WindowProc(msg) first hands a colour query (WM_CTLCOLOR*) about a bound
// child back to that child as OCM_CTLCOLOR* (the child's map answers with a brush,
// or NULL to let this window colour it as usual), then asks ProcessWindowMessage
// (the message map), then calls DefWindowProc. Default() runs the default processing
// of the message being handled. Derived classes may override WindowProc to look at
// messages before the map and then call the base's WindowProc.
//
// Threads: every call that sends a message may be made from any thread (the message
// is then handled on the window's thread); binding and creating are for the
// window's own thread.
#pragma once

#include <windows.h>

#include "framework/afx_string.h"
#include "framework/msg_map.h"
#include "framework/rect.h"

class CWndRef;

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    // ---- Binding ----------------------------------------------------------------
    // The object bound to hWnd by this framework (subclassed, created or a dialog);
    // NULL for any other window.
    static CWnd* FromHandlePermanent(HWND hWnd);
    // Binds this object to an existing window; FALSE when hWnd is NULL, this object
    // already has a window, or the window is already bound to an object.
    BOOL SubclassWindow(HWND hWnd);
    // SubclassWindow of the parent's item nID.
    BOOL SubclassDlgItem(UINT nID, HWND hParent);
    // Hands the window back (old procedure restored if still ours) and returns it.
    HWND UnsubclassWindow();
    // Called by SubclassWindow before the window procedure is replaced; m_hWnd is
    // set already. The base does nothing.
    virtual void PreSubclassWindow();
    // CreateWindowExA, then binds the new window to this object. FALSE on failure.
    BOOL CreateEx(DWORD dwExStyle, const char* pszClass, const char* pszName, DWORD dwStyle,
                  int x, int y, int cx, int cy, HWND hParent, HMENU hMenuOrId,
                  LPVOID lpParam = nullptr);
    // ::DestroyWindow; FALSE without a window.
    virtual BOOL DestroyWindow();

    // ---- Message processing -------------------------------------------------------
    // The message map (see msg_map.h); the base handles nothing.
    virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                      LRESULT& lResult);
    virtual LRESULT WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam);
    // Default processing of a message: the old procedure of a subclassed or created
    // window, DefWindowProcA otherwise. CDialog overrides it.
    virtual LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam);
    // Default processing of the message now being handled.
    LRESULT Default();
    // After the window is gone (m_hWnd is NULL by then). The base does nothing.
    virtual void PostNcDestroy();

    // ---- Window operations (thin wrappers; meaning as the Win32 call named) --------
    CWndRef GetDlgItem(int nID) const;         // a borrowed view of the item
    HWND GetParent() const { return ::GetParent(m_hWnd); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    BOOL IsWindow() const { return m_hWnd && ::IsWindow(m_hWnd); }

    void SetWindowText(const char* psz) { ::SetWindowTextA(m_hWnd, psz); }
    // Whole window text (through WM_GETTEXT, so a control that answers it itself
    // gives its own answer).
    void GetWindowText(CString& str) const;
    int GetWindowText(char* pszBuf, int nMaxCount) const { return ::GetWindowTextA(m_hWnd, pszBuf, nMaxCount); }
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }
    void SetDlgItemText(int nID, const char* psz) { ::SetDlgItemTextA(m_hWnd, nID, psz); }
    void GetDlgItemText(int nID, CString& str) const;

    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }

    LRESULT SendMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, uMsg, wParam, lParam);
    }
    BOOL PostMessage(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageA(m_hWnd, uMsg, wParam, lParam);
    }
    LRESULT SendDlgItemMessage(int nID, UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendDlgItemMessageA(m_hWnd, nID, uMsg, wParam, lParam);
    }

    HMENU GetSystemMenu(BOOL bRevert) const { return ::GetSystemMenu(m_hWnd, bRevert); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon) {
        return reinterpret_cast<HICON>(SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                                   reinterpret_cast<LPARAM>(hIcon)));
    }
    void SetFont(HFONT hFont, BOOL bRedraw = TRUE) {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(hFont), bRedraw);
    }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }

    void GetClientRect(RECT* prc) const { ::GetClientRect(m_hWnd, prc); }
    void GetWindowRect(RECT* prc) const { ::GetWindowRect(m_hWnd, prc); }
    void ClientToScreen(POINT* ppt) const { ::ClientToScreen(m_hWnd, ppt); }
    void ScreenToClient(POINT* ppt) const { ::ScreenToClient(m_hWnd, ppt); }
    BOOL SetWindowPos(HWND hAfter, int x, int y, int cx, int cy, UINT nFlags) {
        return ::SetWindowPos(m_hWnd, hAfter, x, y, cx, cy, nFlags);
    }
    BOOL MoveWindow(int x, int y, int cx, int cy, BOOL bRepaint = TRUE) {
        return ::MoveWindow(m_hWnd, x, y, cx, cy, bRepaint);
    }

    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
    // Removes dwRemove and adds dwAdd to the style; when nFlags is not 0, SetWindowPos
    // with those flags (plus no size/move/z-order/activate) follows, for instance
    // SWP_FRAMECHANGED. TRUE when the style changed.
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);

    BOOL RedrawWindow(const RECT* prcUpdate = nullptr, HRGN hrgnUpdate = nullptr,
                      UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) {
        return ::RedrawWindow(m_hWnd, prcUpdate, hrgnUpdate, flags);
    }
    void InvalidateRect(const RECT* prc, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, prc, bErase); }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }

    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse) { return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr); }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }

    int MessageBox(const char* pszText, const char* pszCaption = nullptr, UINT nType = MB_OK) {
        return ::MessageBoxA(m_hWnd, pszText, pszCaption, nType);
    }

protected:
    // The framework's window procedure for subclassed and created windows.
    static LRESULT CALLBACK StdWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    // Hands a WM_CTLCOLOR* about a bound child back to the child (OCM_CTLCOLOR*).
    // TRUE, with the child's brush in lResult, when the child answered non-NULL.
    BOOL ReflectCtlColor(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult);
    // The message being handled, for Default().
    struct CurrentMsg {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMsg m_msgCur{0, 0, 0};
    // Window property naming the bound object.
    static const char* const s_szObjectProp;
    // Ties this object and hWnd together (property); no procedure replaced.
    BOOL AttachObject(HWND hWnd);
    // Removes the property and forgets the window.
    void DetachObject();

private:
    BOOL HookWindowProc(HWND hWnd);
    void OnFinalNcDestroy(HWND hWnd);

    WNDPROC m_pfnSuper = nullptr;  // the window's procedure before ours
    BOOL m_bCreated = FALSE;       // CreateEx made the window
};

#include "framework/wnd_ref.h"
