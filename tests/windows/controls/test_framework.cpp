// The window framework: message map dispatch and chaining, dialogs, binding by
// subclassing, reflection of the colour query, CString and AfxBeginThread.
#include <gtest/gtest.h>

#include "framework/afx.h"
#include "test_resources.h"
#include "test_support.h"

namespace {

// A control that answers the reflected colour query with its own brush, or NULL.
class CColourStatic : public CStatic {
public:
    CBrush m_brush{RGB(1, 2, 3)};
    BOOL m_bAnswer = TRUE;
    int m_nQueries = 0;
    UINT m_nLastKind = 99;
    HBRUSH OnCtlColor(HDC, UINT nCtlColor) {
        ++m_nQueries;
        m_nLastKind = nCtlColor;
        return m_bAnswer ? static_cast<HBRUSH>(m_brush) : nullptr;
    }
    BEGIN_MSG_MAP(CColourStatic, CStatic)
        MSG_OCM_CTLCOLOR(OnCtlColor)
    END_MSG_MAP()
};

class CMapDlg : public CDialog {
public:
    CMapDlg() : CDialog(IDD_LABELS) {}
    CColourStatic m_other;
    int m_nClicked = 0, m_nSelEndOk = 0, m_nTimer = 0, m_nCancel = 0, m_nPaint = 0, m_nInit = 0;
    UINT_PTR m_nLastTimer = 0;
    LONG_PTR m_userAtInit = 0;

    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_OTHER, m_other);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        ++m_nInit;
        m_userAtInit = GetWindowLongPtrA(m_hWnd, DWLP_USER);
        return TRUE;
    }
    void OnCancel() override {
        ++m_nCancel;
        CDialog::OnCancel();
    }
    void OnClicked() { ++m_nClicked; }
    void OnSelEndOk() { ++m_nSelEndOk; }
    void OnTimer(UINT_PTR id) {
        ++m_nTimer;
        m_nLastTimer = id;
    }
    void OnPaint() {
        ++m_nPaint;
        Default();  // the dialog manager paints (and validates) afterwards
    }

    BEGIN_MSG_MAP(CMapDlg, CDialog)
        BN_CLICKED_HANDLER(IDC_BUTTON, OnClicked)
        CBN_SELENDOK_HANDLER(IDC_COMBO, OnSelEndOk)
        MSG_WM_TIMER(OnTimer)
        MSG_WM_PAINT(OnPaint)
    END_MSG_MAP()
};

}  // namespace

TEST(Framework, MessageMapDispatchesAndChainsToBase)
{
    CMapDlg dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.m_nInit, 1);
    EXPECT_EQ(dlg.m_userAtInit, reinterpret_cast<LONG_PTR>(&dlg)) << "this in DWLP_USER";
    EXPECT_EQ(CWnd::FromHandlePermanent(dlg.m_hWnd), &dlg);

    HWND hButton = GetDlgItem(dlg.m_hWnd, IDC_BUTTON);
    HWND hCombo = GetDlgItem(dlg.m_hWnd, IDC_COMBO);
    SendMessageA(hButton, BM_CLICK, 0, 0);
    EXPECT_EQ(dlg.m_nClicked, 1);
    // Same item, other notification; other item, same notification: not ours.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BUTTON, BN_DOUBLECLICKED), reinterpret_cast<LPARAM>(hButton));
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_COMBO, BN_CLICKED), reinterpret_cast<LPARAM>(hCombo));
    EXPECT_EQ(dlg.m_nClicked, 1);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_COMBO, CBN_SELENDOK), reinterpret_cast<LPARAM>(hCombo));
    EXPECT_EQ(dlg.m_nSelEndOk, 1);
    dlg.SendMessage(WM_TIMER, 7);
    EXPECT_EQ(dlg.m_nTimer, 1);
    EXPECT_EQ(dlg.m_nLastTimer, 7u);

    // IDCANCEL reaches the base map, which calls the overridden OnCancel.
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(dlg.m_nCancel, 1);
    EXPECT_EQ(dlg.m_nModalResult, IDCANCEL);

    // A handler that asks for the default: the dialog manager validates after it.
    dlg.ShowWindow(SW_SHOW);
    dlg.Invalidate();
    dlg.UpdateWindow();
    EXPECT_GE(dlg.m_nPaint, 1);
    EXPECT_FALSE(GetUpdateRect(dlg.m_hWnd, nullptr, FALSE));
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_EQ(dlg.m_hWnd, nullptr);
}

TEST(Framework, ColourQueryIsReflectedToTheBoundChild)
{
    CMapDlg dlg;
    ASSERT_TRUE(dlg.Create());
    HWND hOther = GetDlgItem(dlg.m_hWnd, IDC_OTHER);
    ASSERT_EQ(dlg.m_other.m_hWnd, hOther);
    HDC dc = GetDC(hOther);
    LRESULT r = dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hOther));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(r), static_cast<HBRUSH>(dlg.m_other.m_brush));
    EXPECT_EQ(dlg.m_other.m_nLastKind, static_cast<UINT>(CTLCOLOR_STATIC));

    // NULL from the child: the dialog colours it as usual (some brush, not the child's).
    dlg.m_other.m_bAnswer = FALSE;
    r = dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hOther));
    EXPECT_NE(r, 0);
    EXPECT_NE(reinterpret_cast<HBRUSH>(r), static_cast<HBRUSH>(dlg.m_other.m_brush));
    EXPECT_EQ(dlg.m_other.m_nQueries, 2);

    // An unbound item is never asked.
    HWND hPlain = GetDlgItem(dlg.m_hWnd, IDC_PLAIN);
    dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hPlain));
    EXPECT_EQ(dlg.m_other.m_nQueries, 2);
    ReleaseDC(hOther, dc);
}

namespace {
LRESULT CALLBACK ForeignProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    WNDPROC next = reinterpret_cast<WNDPROC>(GetPropA(h, "TestNext"));
    return CallWindowProcA(next, h, m, w, l);
}
}  // namespace

TEST(Framework, SubclassAndUnsubclass)
{
    CMapDlg dlg;
    ASSERT_TRUE(dlg.Create());
    HWND hItem = GetDlgItem(dlg.m_hWnd, IDC_PLAIN);
    LONG_PTR original = GetWindowLongPtrA(hItem, GWLP_WNDPROC);
    {
        CStatic label;
        ASSERT_TRUE(label.SubclassWindow(hItem));
        EXPECT_NE(GetWindowLongPtrA(hItem, GWLP_WNDPROC), original);
        EXPECT_EQ(CWnd::FromHandlePermanent(hItem), &label);
        CStatic second;
        EXPECT_FALSE(second.SubclassWindow(hItem)) << "one object per window";
        // The object ends while its window lives: the window is handed back.
    }
    EXPECT_EQ(GetWindowLongPtrA(hItem, GWLP_WNDPROC), original);
    EXPECT_EQ(CWnd::FromHandlePermanent(hItem), nullptr);

    // Someone subclassed on top of us: unbinding must not cut them off.
    CStatic label;
    ASSERT_TRUE(label.SubclassWindow(hItem));
    LONG_PTR ours = GetWindowLongPtrA(hItem, GWLP_WNDPROC);
    SetPropA(hItem, "TestNext", reinterpret_cast<HANDLE>(ours));
    SetWindowLongPtrA(hItem, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ForeignProc));
    EXPECT_EQ(label.UnsubclassWindow(), hItem);
    EXPECT_EQ(GetWindowLongPtrA(hItem, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&ForeignProc));
    EXPECT_EQ(label.m_hWnd, nullptr);
    // Messages passing through our leftover procedure still reach the static's own:
    // a static without SS_NOTIFY is transparent to hit tests (DefWindowProc is not).
    RECT rcItem;
    GetWindowRect(hItem, &rcItem);
    EXPECT_EQ(SendMessageA(hItem, WM_NCHITTEST, 0, MAKELPARAM(rcItem.left + 1, rcItem.top + 1)),
              HTTRANSPARENT);
    RemovePropA(hItem, "TestNext");
    SetWindowLongPtrA(hItem, GWLP_WNDPROC, original);

    // Bound items let go at WM_NCDESTROY.
    HWND hOther = dlg.m_other.m_hWnd;
    ASSERT_NE(hOther, nullptr);
    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_other.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(hOther));
}

namespace {
class CAutoOkDlg : public CDialog {
public:
    CAutoOkDlg() : CDialog(IDD_LABELS) {}
    int m_nOk = 0;
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return TRUE;
    }
    void OnOK() override {
        ++m_nOk;
        CDialog::OnOK();
    }
};
}  // namespace

TEST(Framework, DoModalAnswersEndDialogValue)
{
    CAutoOkDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_nOk, 1);
    EXPECT_EQ(dlg.m_hWnd, nullptr);
    CDialog missing(4242);
    EXPECT_EQ(missing.DoModal(), -1);
}

TEST(Framework, GetDlgItemGivesABorrowedView)
{
    CMapDlg dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.GetDlgItem(IDC_BUTTON)->EnableWindow(FALSE);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg.m_hWnd, IDC_BUTTON)));
    dlg.GetDlgItem(IDC_OTHER)->SetWindowText("changed");
    CString text;
    dlg.GetDlgItemText(IDC_OTHER, text);
    EXPECT_STREQ(text, "changed");
    // The view never unbinds the item's object.
    { CWndRef view = dlg.GetDlgItem(IDC_OTHER); }
    EXPECT_EQ(CWnd::FromHandlePermanent(GetDlgItem(dlg.m_hWnd, IDC_OTHER)), &dlg.m_other);
}

TEST(Framework, CStringOperations)
{
    CString s("abc");
    s += s;  // appending itself
    EXPECT_STREQ(s, "abcabc");
    s = s.GetString() + 3;  // assigning a part of itself
    EXPECT_STREQ(s, "abc");

    CString big;
    std::string expected(3000, 'x');
    big.Format("%s|%d", expected.c_str(), 42);
    EXPECT_EQ(big.GetLength(), 3003) << "formatting is never cut";

    CString mixed("Caf\xe9 Ab");  // e-acute in the ANSI code page
    EXPECT_STREQ(CString(mixed).MakeUpper(), "CAF\xc9 AB");
    EXPECT_STREQ(CString(mixed).MakeLower(), "caf\xe9 ab");

    CString path("C:\\dir.x\\FILE.HEX");
    EXPECT_EQ(path.ReverseFind('.'), 13);
    EXPECT_STREQ(path.Mid(13), ".HEX");
    EXPECT_STREQ(path.Left(100), path);
    EXPECT_STREQ(path.Right(3), "HEX");
    EXPECT_STREQ(path.Mid(50), "");
    EXPECT_EQ(path.Find("dir"), 3);
    EXPECT_EQ(path.Find('Q'), -1);

    CString buf;
    char* p = buf.GetBuffer(10);
    lstrcpyA(p, "hi");
    buf.ReleaseBuffer();
    EXPECT_EQ(buf.GetLength(), 2);
    EXPECT_TRUE(CString().IsEmpty());
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_EQ(CString("b").Compare("a") > 0, true);
    EXPECT_EQ(CString("ABC").CompareNoCase("abc"), 0);
}

namespace {
struct ThreadProbe {
    HANDLE done;
    DWORD threadId;
    int priority;
};
UINT __cdecl ProbeProc(LPVOID p)
{
    auto* probe = static_cast<ThreadProbe*>(p);
    probe->threadId = GetCurrentThreadId();
    probe->priority = GetThreadPriority(GetCurrentThread());
    SetEvent(probe->done);
    return 0;
}
}  // namespace

TEST(Framework, AfxBeginThreadRunsTheFunctionOnANewThread)
{
    ThreadProbe probe{CreateEventA(nullptr, TRUE, FALSE, nullptr), 0, 99};
    CWinThread* thread = AfxBeginThread(ProbeProc, &probe, THREAD_PRIORITY_BELOW_NORMAL, 0,
                                        CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    // Still suspended once: the suspend count before resuming is 1. From here on
    // the thread owns (and deletes) the object.
    EXPECT_EQ(thread->ResumeThread(), 1u);
    ASSERT_EQ(WaitForSingleObject(probe.done, 5000), WAIT_OBJECT_0);
    EXPECT_NE(probe.threadId, GetCurrentThreadId());
    EXPECT_EQ(probe.priority, THREAD_PRIORITY_BELOW_NORMAL);
    CloseHandle(probe.done);
}
