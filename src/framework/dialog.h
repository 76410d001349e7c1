// CDialog: a dialog from a dialog template resource of the program's module.
//
// Modal: DoModal() runs DialogBoxParamA with this object as the parameter; the
// dialog procedure keeps the pointer in DWLP_USER. The parent is the one given to
// the constructor, else the application's main window (when it has a window and is
// not this dialog), else none. DoModal answers EndDialog's value, or -1 when the
// dialog could not be created.
// Modeless (tests): Create(pParent) makes the window and answers at once;
// DestroyWindow (or the object's destruction) ends it.
//
// Initialisation: WM_INITDIALOG calls the virtual OnInitDialog; the base version
// calls DoDataExchange (binding the items) and answers TRUE (focus to the first
// tab stop). A derived OnInitDialog calls CDialog::OnInitDialog first.
// IDOK and IDCANCEL (BN_CLICKED, so also Enter and Esc) call the virtual OnOK and
// OnCancel, which end the dialog with IDOK / IDCANCEL.
//
// Message results: a handler's answer becomes the dialog procedure's result
// (DWLP_MSGRESULT, or the value itself for the colour queries and the other messages
// the dialog manager takes directly). Default() inside a dialog's handler asks for
// the dialog manager's default processing, which runs after the handler returns
// (a dialog procedure cannot call it in the middle); it answers 0.
#pragma once

#include "framework/data_exchange.h"
#include "framework/wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    // Modeless creation; FALSE when the window could not be made.
    BOOL Create(CWnd* pParentWnd = nullptr);
    // Modal: ends the dialog's loop with nResult. Modeless: hides the window and
    // records nResult (m_nModalResult).
    void EndDialog(int nResult);
    // Runs DoDataExchange with that direction; TRUE.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* pDX);

    LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    BOOL DestroyWindow() override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    int m_nModalResult = -1;

    BEGIN_MSG_MAP(CDialog, CWnd)
        BN_CLICKED_HANDLER(IDOK, OnOK)
        BN_CLICKED_HANDLER(IDCANCEL, OnCancel)
    END_MSG_MAP()

protected:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    HWND ParentHandle() const;

private:
    BOOL m_bModal = FALSE;
    BOOL m_bDeferDefault = FALSE;  // a handler asked for the dialog manager's default
};
