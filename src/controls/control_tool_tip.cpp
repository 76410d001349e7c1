#include "controls/control_tool_tip.h"

#include <cstring>
#include <vector>

#include "controls/text_lines.h"
#include "framework/client_dc.h"
#include "framework/paint_dc.h"
#include "framework/save_dc_guard.h"
#include "framework/select_guard.h"
#include "framework/win_app.h"

namespace {
const char kClassName[] = "ControlToolTip";
const UINT_PTR kTimerId = 1;
const UINT kTimerPeriod = 100;
const UINT kRedrawFlags = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;
}  // namespace

CControlToolTip::CControlToolTip()
    : m_crText(::GetSysColor(COLOR_INFOTEXT)), m_crBack(::GetSysColor(COLOR_INFOBK))
{
    // A failed registration shows later: CreateTip then cannot make its window.
    RegisterWindowClass();
}

CControlToolTip::~CControlToolTip()
{
    DestroyTip();
}

BOOL CControlToolTip::RegisterWindowClass()
{
    HINSTANCE hInst = AfxGetInstanceHandle();
    WNDCLASSA wc;
    if (::GetClassInfoA(hInst, kClassName, &wc)) return TRUE;
    std::memset(&wc, 0, sizeof(wc));
    wc.style = CS_DBLCLKS | CS_SAVEBITS;
    wc.lpfnWndProc = ::DefWindowProcA;  // the framework routes the messages to our map
    wc.hInstance = hInst;
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_INFOBK + 1));
    wc.lpszClassName = kClassName;
    return ::RegisterClassA(&wc) != 0;
}

BOOL CControlToolTip::CreateTip(CWnd* pOwner)
{
    if (m_hWnd && !DestroyTip()) return FALSE;
    m_pOwner = pOwner;
    if (!CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, nullptr, WS_POPUP | WS_BORDER, 0,
                  0, 0, 0, nullptr, nullptr)) {
        return FALSE;
    }
    SetText(CString(m_strText));
    SetTimer(kTimerId, kTimerPeriod);
    return TRUE;
}

BOOL CControlToolTip::DestroyTip()
{
    if (!m_hWnd) return TRUE;
    ShowWindow(SW_HIDE);
    KillTimer(kTimerId);
    m_pOwner = nullptr;
    return DestroyWindow();
}

void CControlToolTip::SetText(const char* pszText)
{
    m_strText = pszText;
    if (!m_hWnd) return;
    CSize sz;
    {
        CClientDC dc(m_hWnd);
        CSaveDCGuard saved(dc);
        ::SelectObject(dc, ::GetStockObject(DEFAULT_GUI_FONT));
        sz = MeasureText(dc, m_strText);
    }
    m_rcTip.SetRect(0, 0, sz.cx + 4, sz.cy + 4);
    if (IsWindowVisible()) ShowTip();
}

int CControlToolTip::CountLines(const char* pszText) const
{
    const char* p = pszText ? pszText : m_strText.GetString();
    int n = 1;
    for (; *p; ++p) {
        if (*p == '\n') ++n;
    }
    return n;
}

CSize CControlToolTip::MeasureText(HDC hdc, const char* pszText) const
{
    if (!pszText) pszText = "";
    SIZE whole{0, 0};
    ::GetTextExtentPoint32A(hdc, pszText, static_cast<int>(std::strlen(pszText)), &whole);
    int nLines = CountLines(pszText);
    if (nLines == 1) return CSize(whole);

    // The pieces are taken from the whole text, however long: nothing is cut.
    std::vector<CString> pieces;
    SplitTextLines(pszText, pieces);
    int cx = 0;
    for (const CString& piece : pieces) {
        SIZE sz{0, 0};
        if (::GetTextExtentPoint32A(hdc, piece, piece.GetLength(), &sz) && sz.cx > cx) cx = sz.cx;
    }
    return CSize(cx, whole.cy * nLines);
}

BOOL CControlToolTip::IsCursorOverOwner() const
{
    if (!m_pOwner) return FALSE;
    RECT rc;
    m_pOwner->GetWindowRect(&rc);
    POINT pt;
    if (!::GetCursorPos(&pt)) return FALSE;
    return rc.left <= pt.x && pt.x <= rc.right && rc.top <= pt.y && pt.y <= rc.bottom;
}

void CControlToolTip::ShowTip()
{
    if (!m_hWnd) return;
    if (m_strText.IsEmpty()) {
        ShowWindow(SW_HIDE);
        return;
    }
    if (!m_pOwner) return;
    POINT pt{0, 0};
    if (m_nPlacement == 1) {
        RECT rcOwner;
        m_pOwner->GetClientRect(&rcOwner);
        pt.y = rcOwner.bottom - rcOwner.top;
    } else if (m_nPlacement == 2) {
        pt.y = -m_rcTip.Height();
    }
    m_pOwner->ClientToScreen(&pt);
    SetWindowPos(HWND_TOP, pt.x, pt.y, m_rcTip.Width(), m_rcTip.Height(),
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    RedrawWindow(nullptr, nullptr, kRedrawFlags);
}

void CControlToolTip::SetPlacement(int nPlacement)
{
    if (nPlacement < 0 || nPlacement > 2) return;
    m_nPlacement = nPlacement;
    if (m_hWnd && IsWindowVisible()) ShowTip();
}

void CControlToolTip::SetBkColor(BOOL bFill, COLORREF cr)
{
    m_bFillBack = bFill;
    if (bFill) m_crBack = cr;
    if (m_hWnd && IsWindowVisible()) RedrawWindow(nullptr, nullptr, kRedrawFlags);
}

void CControlToolTip::SetTextColor(COLORREF cr)
{
    m_crText = cr;
    if (m_hWnd && IsWindowVisible() && m_bFillBack) RedrawWindow(nullptr, nullptr, kRedrawFlags);
}

void CControlToolTip::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kTimerId && m_pOwner) {
        HWND hFocus = ::GetFocus();
        HWND hFocusParent = hFocus ? ::GetParent(hFocus) : nullptr;
        BOOL bButton = TRUE;
        if (m_bOnButton) {
            // Only the "held down" bit counts, not the toggle bit.
            bButton = (::GetKeyState(m_bLeftButton ? VK_LBUTTON : VK_RBUTTON) & 0x8000) != 0;
        }
        HWND hOwnerParent = m_pOwner->GetParent();
        if (IsCursorOverOwner() && bButton) {
            if (!IsWindowVisible() && hOwnerParent == hFocusParent) ShowTip();
            if (IsWindowVisible() && hOwnerParent != hFocusParent) ShowWindow(SW_HIDE);
        } else if (IsWindowVisible()) {
            ShowWindow(SW_HIDE);
        }
    }
    Default();
}

void CControlToolTip::OnPaint()
{
    CPaintDC dc(m_hWnd);
    CSelectGuard font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    int nOldMode = dc.SetBkMode(TRANSPARENT);
    COLORREF crOld = ::GetTextColor(dc);
    RECT rc = m_rcTip;
    if (m_bFillBack) {
        dc.FillSolidRect(rc, m_crBack);
        dc.SetTextColor(m_crText);
    }
    dc.DrawText(m_strText, -1, &rc, 0);
    dc.SetTextColor(crOld);
    dc.SetBkMode(nOldMode);
}
