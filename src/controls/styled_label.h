// CStyledLabel: a static label that paints itself.
//
// A dialog binds it to a static item of its template with DDX_Control. From then
// on the label keeps its own copy of the text (m_strText), its own colours and its
// own font, and paints the text through CLabelTextImage: lines broken at line
// feeds, aligned, cut at the client area, embossed while disabled, optionally
// rotated by 90, 180 or 270 degrees. It also offers etched rules, a background
// bitmap, a click that opens the text with the shell, a cursor of its own, a hover
// colour, flashing of text or background, and a tooltip popup.
//
// Texts: the item's window text and m_strText are separate. Text set from outside
// (SetWindowText / WM_SETTEXT) goes to both; a text query from outside (WM_GETTEXT)
// is answered from m_strText, cut to the caller's buffer less one character and
// terminated. The label's own changes of the window text (blanking for flashing,
// the one-character-per-line form) go through SetTextInternal and leave m_strText
// alone. WM_GETTEXTLENGTH reports the real window text's length.
//
// Setters answer the label itself so calls chain; "redraw" below means
// RedrawWindow(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW): the label is painted
// again before the setter returns. Everything that touches the window needs the
// label to be bound first (after the dialog's base OnInitDialog); before that the
// setters only record their values.
//
// Alignment flags (m_dwAlign): 0x01 left, 0x02 centre, 0x04 right; 0x08 top,
// 0x10 vertical centre, 0x20 bottom.
#pragma once

#include "controls/control_tool_tip.h"
#include "framework/afx_string.h"
#include "framework/bitmap.h"
#include "framework/brush.h"
#include "framework/font.h"
#include "framework/static.h"

class CStyledLabel : public CStatic {
public:
    CStyledLabel();
    ~CStyledLabel() override;

    // ---- Text ----
    // m_strText := psz; the window text := its vertical form in vertical mode, else
    // psz itself. Redraws.
    CStyledLabel& SetText(const char* psz);
    CString GetText() const { return m_strText; }
    // One character per line. Switching changes the window text accordingly. Redraws.
    CStyledLabel& SetVertical(BOOL bVertical);
    // Painted in lower / upper case (each clears the other). Redraw.
    CStyledLabel& SetLowerCase(BOOL bLower);
    CStyledLabel& SetUpperCase(BOOL bUpper);

    // ---- Colours (all redraw except SetHoverNeedsTip) ----
    CStyledLabel& SetTextColor(COLORREF cr);       // fixed text colour
    CStyledLabel& ResetTextColor();                // back to the system window-text colour
    CStyledLabel& SetBkColor(COLORREF cr);         // fixed background, brush made again
    CStyledLabel& ResetBkColor();                  // back to the face colour
    CStyledLabel& SetTextBkColor(COLORREF cr);     // colour behind the text image
    CStyledLabel& ResetTextBkColor();              // the text image follows the background
    CStyledLabel& SetHoverColor(COLORREF cr);
    // Off puts the saved text colour back (SetTextColor).
    CStyledLabel& SetHoverColoring(BOOL bOn);
    // The hover colour applies only while the tooltip is on and has text.
    CStyledLabel& SetHoverNeedsTip(BOOL bOn);

    // ---- Font (each changes m_lf, makes the font again and redraws) ----
    CStyledLabel& SetFontHeight(int nHeight);      // lfHeight as given
    CStyledLabel& SetFontBold(BOOL bBold);         // 700 / 400
    CStyledLabel& SetFontItalic(BYTE bItalic);
    CStyledLabel& SetFontUnderline(BYTE bUnderline);
    CStyledLabel& SetFontName(const char* pszName);  // at most 31 characters are kept

    // ---- Layout and look ----
    // Left over centre over right; no horizontal bit keeps the current horizontal
    // bits; the strongest vertical bit (bottom, centre, top) is added. Redraws.
    CStyledLabel& SetAlignment(DWORD dwAlign);
    DWORD GetHAlign() const;   // first of 0x01, 0x02, 0x04 set, else 0
    DWORD GetVAlign() const;   // first of 0x08, 0x10, 0x20 set, else 0
    CStyledLabel& SetAngle(int nAngle);  // 90, 180, 270 rotate; others draw upright
    CStyledLabel& SetBorder(BOOL bOn);   // WS_BORDER, frame changed
    BOOL IsBorder() const;
    CStyledLabel& SetSunken(BOOL bOn);   // WS_EX_STATICEDGE, frame changed
    CStyledLabel& SetDisabled(BOOL bOn); // WS_DISABLED style bit only: embossed look
    CStyledLabel& SetEtched(BOOL bOn);
    // Bitmap resource LOWORD(nID) of the module as background; 0xFFFFFFFF removes
    // it. Invalidates (no immediate repaint).
    CStyledLabel& SetBitmap(UINT nID);
    CStyledLabel& SetStretchBitmap(BOOL bStretch);  // redraws only with a bitmap
    // TRUE: the static's own painting runs and the reflected colour query supplies
    // font, text colour and brush. Answers the redraw's result.
    BOOL SetNativePaint(BOOL bNative);

    // ---- Behaviour ----
    CStyledLabel& SetLink(BOOL bLink);        // left click: ShellExecute "open" of the text
    CStyledLabel& SetCursor(HCURSOR hCursor); // not owned; NULL: default cursor
    CStyledLabel& SetCursor(UINT nID);        // cursor resource LOWORD(nID) of the module
    CStyledLabel& FlashText(BOOL bOn, UINT nPeriod);        // timer 1
    CStyledLabel& FlashBackground(BOOL bOn, UINT nPeriod);  // timer 2

    // ---- Tooltip (forwarded to m_tip, no redraw) ----
    CStyledLabel& EnableTip(BOOL bOn);
    CStyledLabel& SetTipText(const char* psz);
    CStyledLabel& SetTipPlacement(int nPlacement);
    CStyledLabel& SetTipOnButton(BOOL bOn);
    CStyledLabel& SetTipLeftButton(BOOL bLeft);

    // ---- Read-only views for tests ----
    const LOGFONTA& GetFontDesc() const { return m_lf; }
    HFONT GetLabelFont() const { return m_font; }
    COLORREF GetTextColorValue() const { return m_crText; }
    BOOL IsSysTextColor() const { return m_bSysText; }
    COLORREF GetBkColorValue() const { return m_crBack; }
    HBRUSH GetBackBrush() const { return m_hBackBrush; }
    DWORD GetAlignment() const { return m_dwAlign; }
    BOOL IsLowerCase() const { return m_bLowerCase; }
    BOOL IsUpperCase() const { return m_bUpperCase; }
    CControlToolTip& GetTip() { return m_tip; }

    // ---- Internal operations ----
    void SetTextInternal(const char* psz);
    void GetTextInternal(CString& str);
    // The characters of psz (m_strText when NULL), byte by byte, with one line feed
    // between each two.
    CString MakeVerticalText(const char* psz = nullptr) const;
    static BOOL HasNewline(const char* psz);
    static void DrawPlainText(HDC hdc, const char* psz, RECT rc, DWORD dwAlign);

    // ---- Framework overrides and handlers ----
    void PreSubclassWindow() override;
    BOOL DestroyWindow() override;
    LRESULT WindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

    void OnEnable(BOOL bEnable);
    BOOL OnEraseBkgnd(HDC hdc);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnPaint();
    BOOL OnSetCursor(HWND hWnd, UINT nHitTest, UINT message);
    void OnTimer(UINT_PTR nIDEvent);
    HBRUSH CtlColor(HDC hdc, UINT nCtlColor);  // reflected colour query

    BEGIN_MSG_MAP(CStyledLabel, CStatic)
        MSG_WM_ENABLE(OnEnable)
        MSG_WM_ERASEBKGND(OnEraseBkgnd)
        MSG_WM_LBUTTONDOWN(OnLButtonDown)
        MSG_WM_MOUSEMOVE(OnMouseMove)
        MSG_WM_PAINT(OnPaint)
        MSG_WM_SETCURSOR(OnSetCursor)
        MSG_WM_TIMER(OnTimer)
        MSG_OCM_CTLCOLOR(CtlColor)
    END_MSG_MAP()

private:
    void Redraw();
    void RecreateFont();
    void RemakeBackBrush();
    LRESULT CopyStoredText(char* pszBuf, int nMax) const;
    void OnMouseHover();
    void OnMouseLeave();

    COLORREF m_crBack;
    COLORREF m_crTextBack;
    COLORREF m_crText;
    COLORREF m_crHover;
    COLORREF m_crSavedText;
    CBrush m_hBackBrush;
    BOOL m_bNativePaint = FALSE;
    BOOL m_bSysBack = TRUE;
    BOOL m_bTextBackFollows = TRUE;
    BOOL m_bSysText = TRUE;
    BOOL m_bLink = FALSE;
    BOOL m_bEtched = FALSE;
    BOOL m_bHoverColoring = FALSE;
    BOOL m_bVertical = FALSE;
    BOOL m_bTracking = FALSE;
    BOOL m_bFlashText = FALSE;
    BOOL m_bFlashBack = FALSE;
    BOOL m_bTextPhase = FALSE;
    BOOL m_bBackPhase = FALSE;
    BOOL m_bTipOn = FALSE;
    BOOL m_bHoverNeedsTip = FALSE;
    BOOL m_bInternalText = FALSE;
    BOOL m_bLowerCase = FALSE;
    BOOL m_bUpperCase = FALSE;
    BOOL m_bStretch = FALSE;
    LOGFONTA m_lf;
    CFont m_font;
    HCURSOR m_hCursor = nullptr;
    CBitmap m_hBitmap;
    DWORD m_dwAlign = 0x09;
    int m_nAngle = 0;
    CString m_strText;
    CControlToolTip m_tip;
};
