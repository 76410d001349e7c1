// CControlToolTip: a small bordered popup showing a short, possibly multi-line
// text beside one control, its owner, while the mouse rests on that control.
// It polls rather than hooking the owner's mouse messages: a 100 ms timer on the
// popup compares the cursor position with the owner's window rectangle and shows
// or hides the popup.
//
// Lifecycle: constructed (window class "ControlToolTip" registered once per
// process), no window; CreateTip(owner) makes the hidden popup and starts the
// timer; DestroyTip (or the destructor) removes it again. The text may be set at
// any time; with a window it is measured at once and the popup resized.
// User-interface thread only.
#pragma once

#include "framework/afx_string.h"
#include "framework/rect.h"
#include "framework/size.h"
#include "framework/wnd.h"

class CControlToolTip : public CWnd {
public:
    CControlToolTip();
    ~CControlToolTip() override;

    // Creates the popup for pOwner (destroying an existing one first) and starts
    // timer 1 (100 ms). FALSE when the old window cannot be destroyed (the tip is
    // then left without an owner) or the new one cannot be made (the owner stays
    // recorded, no timer runs).
    BOOL CreateTip(CWnd* pOwner);
    // Hides and destroys the popup, stops the timer and forgets the owner; TRUE
    // without a popup, else the result of destroying it.
    BOOL DestroyTip();
    // Stores the text (line feeds separate lines); with a popup, measures it with
    // DEFAULT_GUI_FONT, sets m_rcTip to the text size plus 4 each way and, when the
    // popup is visible, places it again.
    void SetText(const char* pszText);
    CString GetText() const { return m_strText; }
    // 0: over the owner's client area; 1: below it; 2: above it. Other values are
    // ignored. Places a visible popup again.
    void SetPlacement(int nPlacement);
    // TRUE (default): shown only while the chosen mouse button is held down.
    void SetOnButton(BOOL bOnButton) { m_bOnButton = bOnButton; }
    // With SetOnButton(TRUE): TRUE (default) the left button, FALSE the right one.
    void SetLeftButton(BOOL bLeftButton) { m_bLeftButton = bLeftButton; }
    // bFill TRUE: paint the background with cr and the text with the text colour;
    // FALSE: the class background and the DC's default text colour.
    void SetBkColor(BOOL bFill, COLORREF cr);
    void SetTextColor(COLORREF cr);

    // Internal steps, public for tests.
    void ShowTip();                        // place and show; hides for an empty text
    BOOL IsCursorOverOwner() const;        // all four edges of the owner count as over it
    CSize MeasureText(HDC hdc, const char* pszText) const;
    int CountLines(const char* pszText = nullptr) const;  // 1 + line feeds (NULL: m_strText)
    static BOOL RegisterWindowClass();     // TRUE when the class is (now) registered

    // Read-only views for tests.
    CWnd* GetOwner() const { return m_pOwner; }
    CRect GetTipRect() const { return m_rcTip; }
    int GetPlacement() const { return m_nPlacement; }

    void OnTimer(UINT_PTR nIDEvent);
    void OnPaint();

    BEGIN_MSG_MAP(CControlToolTip, CWnd)
        MSG_WM_TIMER(OnTimer)
        MSG_WM_PAINT(OnPaint)
    END_MSG_MAP()

private:
    CWnd* m_pOwner = nullptr;
    CString m_strText;
    CRect m_rcTip;
    int m_nPlacement = 0;
    COLORREF m_crText;
    COLORREF m_crBack;
    BOOL m_bFillBack = FALSE;
    BOOL m_bOnButton = TRUE;
    BOOL m_bLeftButton = TRUE;
};
