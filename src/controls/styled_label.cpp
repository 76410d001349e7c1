#include "controls/styled_label.h"

#include <shellapi.h>
#include <commctrl.h>

#include <cstring>

#include "controls/label_text_image.h"
#include "framework/memory_dc.h"
#include "framework/paint_dc.h"
#include "framework/select_guard.h"
#include "framework/win_app.h"

namespace {
const UINT_PTR kTextTimer = 1;
const UINT_PTR kBackTimer = 2;
const DWORD kAlignLeft = 0x01, kAlignCenter = 0x02, kAlignRight = 0x04;
const DWORD kAlignTop = 0x08, kAlignVCenter = 0x10, kAlignBottom = 0x20;
}  // namespace

CStyledLabel::CStyledLabel()
    : m_crBack(::GetSysColor(COLOR_BTNFACE)),
      m_crTextBack(::GetSysColor(COLOR_BTNFACE)),
      m_crText(::GetSysColor(COLOR_WINDOWTEXT)),
      m_crHover(::GetSysColor(COLOR_HIGHLIGHT)),
      m_crSavedText(m_crText),
      m_hBackBrush(m_crBack)
{
    std::memset(&m_lf, 0, sizeof(m_lf));
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(m_lf), &m_lf);
    m_font.CreateFontIndirect(&m_lf);
}

CStyledLabel::~CStyledLabel() = default;

// ---- Internal text handling ---------------------------------------------------------

void CStyledLabel::SetTextInternal(const char* psz)
{
    m_bInternalText = TRUE;
    SetWindowText(psz);
    m_bInternalText = FALSE;
}

void CStyledLabel::GetTextInternal(CString& str)
{
    m_bInternalText = TRUE;
    GetWindowText(str);
    m_bInternalText = FALSE;
}

CString CStyledLabel::MakeVerticalText(const char* psz) const
{
    const char* src = psz ? psz : m_strText.GetString();
    CString out;
    for (const char* p = src; *p; ++p) {
        if (p != src) out += '\n';
        out += *p;
    }
    return out;
}

BOOL CStyledLabel::HasNewline(const char* psz)
{
    return psz && std::strchr(psz, '\n') != nullptr;
}

void CStyledLabel::Redraw()
{
    // Without a window RedrawWindow(NULL) would repaint the whole desktop.
    if (m_hWnd) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// ---- Text ----------------------------------------------------------------------------

CStyledLabel& CStyledLabel::SetText(const char* psz)
{
    m_strText = psz;
    if (m_bVertical) {
        SetTextInternal(MakeVerticalText(m_strText));
    } else {
        SetTextInternal(m_strText);
    }
    Redraw();
    return *this;
}

CStyledLabel& CStyledLabel::SetVertical(BOOL bVertical)
{
    if (bVertical && !m_bVertical) {
        SetTextInternal(MakeVerticalText(m_strText));
    } else if (!bVertical && m_bVertical) {
        SetTextInternal(m_strText);
    }
    m_bVertical = bVertical;
    Redraw();
    return *this;
}

CStyledLabel& CStyledLabel::SetLowerCase(BOOL bLower)
{
    m_bLowerCase = bLower;
    m_bUpperCase = FALSE;
    Redraw();
    return *this;
}

CStyledLabel& CStyledLabel::SetUpperCase(BOOL bUpper)
{
    m_bUpperCase = bUpper;
    m_bLowerCase = FALSE;
    Redraw();
    return *this;
}

// ---- Colours -------------------------------------------------------------------------

void CStyledLabel::RemakeBackBrush()
{
    m_hBackBrush.CreateSolidBrush(m_crBack);
}

CStyledLabel& CStyledLabel::SetTextColor(COLORREF cr)
{
    m_bSysText = FALSE;
    m_crText = cr;
    Redraw();
    return *this;
}

CStyledLabel& CStyledLabel::ResetTextColor()
{
    m_bSysText = TRUE;
    m_crText = ::GetSysColor(COLOR_WINDOWTEXT);
    Redraw();
    return *this;
}

CStyledLabel& CStyledLabel::SetBkColor(COLORREF cr)
{
    m_bSysBack = FALSE;
    m_crBack = cr;
    RemakeBackBrush();
    Redraw();
    return *this;
}

CStyledLabel& CStyledLabel::ResetBkColor()
{
    m_bSysBack = TRUE;
    m_crBack = ::GetSysColor(COLOR_BTNFACE);
    RemakeBackBrush();
    Redraw();
    return *this;
}

CStyledLabel& CStyledLabel::SetTextBkColor(COLORREF cr)
{
    m_bTextBackFollows = FALSE;
    m_crTextBack = cr;
    Redraw();
    return *this;
}

CStyledLabel& CStyledLabel::ResetTextBkColor()
{
    m_bTextBackFollows = TRUE;
    m_crTextBack = ::GetSysColor(COLOR_BTNFACE);
    Redraw();
    return *this;
}

CStyledLabel& CStyledLabel::SetHoverColor(COLORREF cr)
{
    m_crHover = cr;
    Redraw();
    return *this;
}

CStyledLabel& CStyledLabel::SetHoverColoring(BOOL bOn)
{
    m_bHoverColoring = bOn;
    if (!bOn) SetTextColor(m_crSavedText);
    return *this;
}

CStyledLabel& CStyledLabel::SetHoverNeedsTip(BOOL bOn)
{
    m_bHoverNeedsTip = bOn;
    return *this;
}

// ---- Font ----------------------------------------------------------------------------

void CStyledLabel::RecreateFont()
{
    m_font.CreateFontIndirect(&m_lf);
    Redraw();
}

CStyledLabel& CStyledLabel::SetFontHeight(int nHeight)
{
    m_lf.lfHeight = nHeight;
    RecreateFont();
    return *this;
}

CStyledLabel& CStyledLabel::SetFontBold(BOOL bBold)
{
    m_lf.lfWeight = bBold ? FW_BOLD : FW_NORMAL;
    RecreateFont();
    return *this;
}

CStyledLabel& CStyledLabel::SetFontItalic(BYTE bItalic)
{
    m_lf.lfItalic = bItalic;
    RecreateFont();
    return *this;
}

CStyledLabel& CStyledLabel::SetFontUnderline(BYTE bUnderline)
{
    m_lf.lfUnderline = bUnderline;
    RecreateFont();
    return *this;
}

CStyledLabel& CStyledLabel::SetFontName(const char* pszName)
{
    // A longer name is cut rather than allowed to run past the face-name field.
    ::lstrcpynA(m_lf.lfFaceName, pszName ? pszName : "", LF_FACESIZE);
    RecreateFont();
    return *this;
}

// ---- Layout and look -----------------------------------------------------------------

CStyledLabel& CStyledLabel::SetAlignment(DWORD dwAlign)
{
    DWORD dwAdd = 0;
    DWORD dwRemove = 0;
    if (dwAlign & kAlignRight) {
        m_dwAlign = kAlignRight;
        dwAdd = SS_RIGHT;
        dwRemove = SS_CENTER;
    }
    if (dwAlign & kAlignCenter) {
        m_dwAlign = kAlignCenter;
        dwAdd = SS_CENTER;
        dwRemove = SS_RIGHT;
    }
    if (dwAlign & kAlignLeft) {
        m_dwAlign = kAlignLeft;
        dwAdd = 0;
        dwRemove = SS_CENTER | SS_RIGHT;
    }
    if (m_hWnd) ModifyStyle(dwRemove, dwAdd, 0);

    DWORD dwVertical = 0;
    if (dwAlign & kAlignBottom) dwVertical = kAlignBottom;
    else if (dwAlign & kAlignVCenter) dwVertical = kAlignVCenter;
    else if (dwAlign & kAlignTop) dwVertical = kAlignTop;
    m_dwAlign |= dwVertical;
    Redraw();
    return *this;
}

DWORD CStyledLabel::GetHAlign() const
{
    if (m_dwAlign & kAlignLeft) return kAlignLeft;
    if (m_dwAlign & kAlignCenter) return kAlignCenter;
    if (m_dwAlign & kAlignRight) return kAlignRight;
    return 0;
}

DWORD CStyledLabel::GetVAlign() const
{
    if (m_dwAlign & kAlignTop) return kAlignTop;
    if (m_dwAlign & kAlignVCenter) return kAlignVCenter;
    if (m_dwAlign & kAlignBottom) return kAlignBottom;
    return 0;
}

CStyledLabel& CStyledLabel::SetAngle(int nAngle)
{
    m_nAngle = nAngle;
    Redraw();
    return *this;
}

CStyledLabel& CStyledLabel::SetBorder(BOOL bOn)
{
    if (m_hWnd) ModifyStyle(bOn ? 0 : WS_BORDER, bOn ? WS_BORDER : 0, SWP_FRAMECHANGED);
    Redraw();
    return *this;
}

BOOL CStyledLabel::IsBorder() const
{
    return m_hWnd && (GetStyle() & WS_BORDER) != 0;
}

CStyledLabel& CStyledLabel::SetSunken(BOOL bOn)
{
    if (m_hWnd) {
        ModifyStyleEx(bOn ? 0 : WS_EX_STATICEDGE, bOn ? WS_EX_STATICEDGE : 0, SWP_FRAMECHANGED);
    }
    Redraw();
    return *this;
}

CStyledLabel& CStyledLabel::SetDisabled(BOOL bOn)
{
    if (m_hWnd) ModifyStyle(bOn ? 0 : WS_DISABLED, bOn ? WS_DISABLED : 0, 0);
    Redraw();
    return *this;
}

CStyledLabel& CStyledLabel::SetEtched(BOOL bOn)
{
    m_bEtched = bOn;
    Redraw();
    return *this;
}

CStyledLabel& CStyledLabel::SetBitmap(UINT nID)
{
    m_hBitmap.DeleteObject();
    if (nID != 0xFFFFFFFFu) {
        m_hBitmap.Attach(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(LOWORD(nID))));
    }
    if (m_hWnd) InvalidateRect(nullptr, TRUE);
    return *this;
}

CStyledLabel& CStyledLabel::SetStretchBitmap(BOOL bStretch)
{
    m_bStretch = bStretch;
    if (m_hBitmap.GetSafeHandle()) Redraw();
    return *this;
}

BOOL CStyledLabel::SetNativePaint(BOOL bNative)
{
    m_bNativePaint = bNative;
    if (!m_hWnd) return FALSE;
    return RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

// ---- Behaviour -----------------------------------------------------------------------

CStyledLabel& CStyledLabel::SetLink(BOOL bLink)
{
    m_bLink = bLink;
    return *this;
}

CStyledLabel& CStyledLabel::SetCursor(HCURSOR hCursor)
{
    m_hCursor = hCursor;
    return *this;
}

CStyledLabel& CStyledLabel::SetCursor(UINT nID)
{
    m_hCursor = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(LOWORD(nID)));
    return *this;
}

CStyledLabel& CStyledLabel::FlashText(BOOL bOn, UINT nPeriod)
{
    if (m_bFlashText) {
        SetTextInternal(m_strText);
        KillTimer(kTextTimer);
    }
    if (bOn) {
        SetTimer(kTextTimer, nPeriod);
    } else if (m_hWnd) {
        InvalidateRect(nullptr, FALSE);
    }
    m_bFlashText = bOn;
    return *this;
}

CStyledLabel& CStyledLabel::FlashBackground(BOOL bOn, UINT nPeriod)
{
    if (m_bFlashBack) KillTimer(kBackTimer);
    if (bOn) {
        SetTimer(kBackTimer, nPeriod);
    } else if (m_hWnd) {
        InvalidateRect(nullptr, FALSE);
    }
    m_bFlashBack = bOn;
    return *this;
}

// ---- Tooltip -------------------------------------------------------------------------

CStyledLabel& CStyledLabel::EnableTip(BOOL bOn)
{
    m_bTipOn = bOn;
    if (bOn) {
        m_tip.CreateTip(this);
    } else {
        m_tip.DestroyTip();
    }
    return *this;
}

CStyledLabel& CStyledLabel::SetTipText(const char* psz)
{
    m_tip.SetText(psz);
    return *this;
}

CStyledLabel& CStyledLabel::SetTipPlacement(int nPlacement)
{
    m_tip.SetPlacement(nPlacement);
    return *this;
}

CStyledLabel& CStyledLabel::SetTipOnButton(BOOL bOn)
{
    m_tip.SetOnButton(bOn);
    return *this;
}

CStyledLabel& CStyledLabel::SetTipLeftButton(BOOL bLeft)
{
    m_tip.SetLeftButton(bLeft);
    return *this;
}

// ---- Binding and the window procedure ------------------------------------------------

void CStyledLabel::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    // Mouse messages are needed for the link, the cursor and hovering.
    ModifyStyle(0, SS_NOTIFY, 0);
    DWORD dwStyle = GetStyle();
    if (dwStyle & SS_CENTER) m_dwAlign = GetVAlign() | kAlignCenter;
    if (dwStyle & SS_RIGHT) m_dwAlign = GetVAlign() | kAlignRight;
    if (dwStyle & SS_CENTERIMAGE) m_dwAlign = GetHAlign() | kAlignVCenter;
    GetTextInternal(m_strText);
}

BOOL CStyledLabel::DestroyWindow()
{
    return CStatic::DestroyWindow();
}

LRESULT CStyledLabel::CopyStoredText(char* pszBuf, int nMax) const
{
    if (!pszBuf || nMax <= 0) return 0;
    int n = m_strText.GetLength();
    if (n > nMax - 1) n = nMax - 1;
    std::memcpy(pszBuf, m_strText.GetString(), static_cast<size_t>(n));
    std::memset(pszBuf + n, 0, static_cast<size_t>(nMax - n));
    return n;
}

LRESULT CStyledLabel::WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    switch (uMsg) {
    case WM_SETTEXT:
        if (!m_bInternalText) m_strText = reinterpret_cast<const char*>(lParam);
        break;
    case WM_GETTEXT:
        if (!m_bInternalText) {
            return CopyStoredText(reinterpret_cast<char*>(lParam), static_cast<int>(wParam));
        }
        break;
    case WM_MOUSEHOVER:
        OnMouseHover();
        break;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        break;
    default:
        break;
    }
    return CStatic::WindowProc(uMsg, wParam, lParam);
}

void CStyledLabel::OnMouseHover()
{
    if (!m_bHoverColoring) return;
    m_crSavedText = m_crText;
    if (!m_bHoverNeedsTip || (m_bTipOn && !m_tip.GetText().IsEmpty())) SetTextColor(m_crHover);
}

void CStyledLabel::OnMouseLeave()
{
    m_bTracking = FALSE;
    if (m_bHoverColoring) SetTextColor(m_crSavedText);
}

// ---- Handlers ------------------------------------------------------------------------

void CStyledLabel::OnEnable(BOOL)
{
    // The static would repaint itself in its own way; hold that back and paint ours.
    SendMessage(WM_SETREDRAW, FALSE);
    Default();
    SendMessage(WM_SETREDRAW, TRUE);
    InvalidateRect(nullptr, TRUE);
}

BOOL CStyledLabel::OnEraseBkgnd(HDC)
{
    return static_cast<BOOL>(Default());
}

void CStyledLabel::OnLButtonDown(UINT, CPoint)
{
    if (m_bLink) ::ShellExecuteA(nullptr, "open", m_strText, nullptr, nullptr, SW_SHOWNORMAL);
    Default();
}

void CStyledLabel::OnMouseMove(UINT, CPoint)
{
    if (!m_bTracking) {
        m_bTracking = TRUE;
        TRACKMOUSEEVENT tme;
        tme.cbSize = sizeof(tme);
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = m_hWnd;
        tme.dwHoverTime = 50;
        ::_TrackMouseEvent(&tme);
    }
    Default();
}

BOOL CStyledLabel::OnSetCursor(HWND, UINT, UINT)
{
    if (m_hCursor) {
        ::SetCursor(m_hCursor);
        return TRUE;
    }
    return static_cast<BOOL>(Default());
}

void CStyledLabel::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kTextTimer && m_bFlashText) {
        m_bTextPhase = !m_bTextPhase;
        SetTextInternal(m_bTextPhase ? "" : m_strText.GetString());
        if (!m_bTextPhase) InvalidateRect(nullptr, FALSE);
        if (!m_bSysBack && ::GetSysColor(COLOR_BTNFACE) != m_crBack) InvalidateRect(nullptr, FALSE);
    } else if (nIDEvent == kBackTimer && m_bFlashBack) {
        m_bBackPhase = !m_bBackPhase;
        InvalidateRect(nullptr, TRUE);
    }
    Default();
}

HBRUSH CStyledLabel::CtlColor(HDC hdc, UINT nCtlColor)
{
    if (!m_bNativePaint) return nullptr;
    if (nCtlColor == CTLCOLOR_STATIC) {
        // The colour query's contract: the DC is the static's own for this paint,
        // set up here for the static's drawing; the static releases it.
        ::SelectObject(hdc, m_font);
        ::SetTextColor(hdc, m_bSysText ? ::GetSysColor(COLOR_WINDOWTEXT) : m_crText);
        ::SetBkMode(hdc, TRANSPARENT);
    }
    return m_hBackBrush;
}

void CStyledLabel::DrawPlainText(HDC hdc, const char* psz, RECT rc, DWORD dwAlign)
{
    UINT nFormat = DT_LEFT;
    if (dwAlign & kAlignCenter) nFormat = DT_CENTER;
    if (dwAlign & kAlignRight) nFormat = DT_RIGHT;
    RECT rcTarget = rc;
    if (dwAlign & kAlignVCenter) nFormat |= DT_VCENTER | DT_SINGLELINE;
    if (dwAlign & kAlignBottom) {
        SIZE sz{0, 0};
        ::GetTextExtentPoint32A(hdc, psz, static_cast<int>(std::strlen(psz)), &sz);
        rcTarget.top += (rc.bottom - rc.top) - sz.cy;
    }
    ::DrawTextA(hdc, psz, -1, &rcTarget, nFormat);
}

void CStyledLabel::OnPaint()
{
    if (m_bNativePaint) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);

    CString text = m_bVertical ? MakeVerticalText(m_strText) : m_strText;
    if (m_bLowerCase) text.MakeLower();
    if (m_bUpperCase) text.MakeUpper();

    CRect rc;
    GetClientRect(&rc);
    const int W = rc.Width();
    const int H = rc.Height();

    int nHAlign = 0;
    if (m_dwAlign & kAlignCenter) nHAlign = 1;
    if (m_dwAlign & kAlignRight) nHAlign = 2;
    int nVAlign = 0;
    if (m_dwAlign & kAlignVCenter) nVAlign = 1;
    if (m_dwAlign & kAlignBottom) nVAlign = 2;

    CSelectGuard font(dc, m_font);
    int nOldMode = dc.SetBkMode(TRANSPARENT);

    const COLORREF crFace = ::GetSysColor(COLOR_BTNFACE);
    CLabelTextImage image(dc, text, nHAlign, nVAlign);
    image.SetTextColor(m_crText);
    image.SetEmboss((GetStyle() & WS_DISABLED) != 0);
    image.SetEtched(m_bEtched);
    COLORREF crImageBack = !m_bTextBackFollows ? m_crTextBack : (m_bSysBack ? crFace : m_crBack);
    COLORREF crFill = m_bSysBack ? crFace : m_crBack;
    if (m_bFlashBack && m_bBackPhase) {
        // Half the brightness of each channel of the face colour; masking keeps one
        // channel's low bit from spilling into the next channel's top bit.
        COLORREF crFlash = m_bSysBack ? ((m_crBack >> 1) & 0x007F7F7Fu) : crFace;
        crFill = crFlash;
        crImageBack = crFlash;
    }
    image.SetBkColor(crImageBack);
    {
        CBrush fill(crFill);
        ::FillRect(dc, &rc, fill);
    }

    if (m_hBitmap.GetSafeHandle()) {
        SIZE bm = m_hBitmap.GetSize();
        CMemoryDC mem(dc);
        CSelectGuard sel(mem, m_hBitmap);
        if (m_bStretch) {
            ::StretchBlt(dc, 0, 0, W, H, mem, 0, 0, bm.cx, bm.cy, SRCCOPY);
        } else {
            // Centred; a bitmap larger than the client area shows its middle part,
            // cut at the client area's edges.
            int x = (W - bm.cx) / 2, xSrc = 0, cx = bm.cx;
            if (bm.cx > W) { x = 0; xSrc = (bm.cx - W) / 2; cx = W; }
            int y = (H - bm.cy) / 2, ySrc = 0, cy = bm.cy;
            if (bm.cy > H) { y = 0; ySrc = (bm.cy - H) / 2; cy = H; }
            ::BitBlt(dc, x, y, cx, cy, mem, xSrc, ySrc, SRCCOPY);
        }
    }

    const bool bPlain = m_hBitmap.GetSafeHandle() && m_nAngle == 0 &&
                        (!HasNewline(text) || (m_dwAlign & kAlignTop));
    if (bPlain) {
        dc.SetTextColor(m_bSysText ? ::GetSysColor(COLOR_WINDOWTEXT) : m_crText);
        DrawPlainText(dc, text, rc, m_dwAlign);
    } else if (image.Render(m_nAngle)) {
        image.Paint(rc);
    }
    dc.SetBkMode(nOldMode);
}
