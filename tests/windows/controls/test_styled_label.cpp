// The styled label bound to items of a real dialog template: text handling,
// painting (compared pixel for pixel with the text image painted on its own),
// colours, fonts, alignment, bitmap and the reflected colour query.
#include <gtest/gtest.h>

#include "controls/label_text_image.h"
#include "controls/styled_label.h"
#include "framework/dialog.h"
#include "test_resources.h"
#include "test_support.h"

namespace {

class CLabelDlg : public CDialog {
public:
    CLabelDlg() : CDialog(IDD_LABELS) {}
    CStyledLabel m_plain, m_center, m_right, m_centerImage, m_empty;
    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_PLAIN, m_plain);
        DDX_Control(pDX, IDC_CENTER, m_center);
        DDX_Control(pDX, IDC_RIGHT, m_right);
        DDX_Control(pDX, IDC_CENTERIMAGE, m_centerImage);
        DDX_Control(pDX, IDC_EMPTY, m_empty);
    }
};

struct Look {
    const char* text;
    int hAlign = 0, vAlign = 0;
    COLORREF text_colour = GetSysColor(COLOR_WINDOWTEXT);
    BOOL emboss = FALSE;
};

class LabelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dlg.Create());
        m_dlg.ShowWindow(SW_SHOW);
        m_dlg.UpdateWindow();
        PumpMessages();
    }
    void TearDown() override { m_dlg.DestroyWindow(); }

    // What the label shows now.
    std::vector<COLORREF> Shown(CStyledLabel& label) {
        label.RedrawWindow();
        RECT rc;
        label.GetClientRect(&rc);
        DibTarget shot(rc.right, rc.bottom);
        CaptureClient(label.m_hWnd, shot);
        return Pixels(shot);
    }
    // What the text image alone paints for that look, on the face colour.
    std::vector<COLORREF> Expected(CStyledLabel& label, const Look& look) {
        RECT rc;
        label.GetClientRect(&rc);
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        DibTarget ref(rc.right, rc.bottom, face);
        HGDIOBJ old = SelectObject(ref.dc(), label.GetLabelFont());
        CLabelTextImage image(ref.dc(), look.text, look.hAlign, look.vAlign);
        image.SetTextColor(look.text_colour);
        image.SetEmboss(look.emboss);
        image.SetBkColor(face);
        if (image.Render(0)) image.Paint(rc);
        SelectObject(ref.dc(), old);
        return Pixels(ref);
    }
    static std::vector<COLORREF> Pixels(const DibTarget& t) {
        std::vector<COLORREF> px;
        for (int y = 0; y < t.height(); ++y)
            for (int x = 0; x < t.width(); ++x) px.push_back(t.Pixel(x, y));
        return px;
    }
    static int CountColour(const std::vector<COLORREF>& px, COLORREF cr) {
        int n = 0;
        for (COLORREF c : px) n += c == cr;
        return n;
    }

    CLabelDlg m_dlg;
};

}  // namespace

TEST_F(LabelFixture, BindingTakesTextAndAlignmentFromTheItem)
{
    EXPECT_STREQ(m_dlg.m_plain.GetText(), "Static");
    EXPECT_EQ(m_dlg.m_plain.GetAlignment(), 0x09u);
    EXPECT_EQ(m_dlg.m_center.GetAlignment(), 0x0Au);
    EXPECT_EQ(m_dlg.m_right.GetAlignment(), 0x0Cu);
    EXPECT_EQ(m_dlg.m_centerImage.GetAlignment(), 0x11u);
    EXPECT_TRUE(m_dlg.m_plain.GetStyle() & SS_NOTIFY);

    std::vector<COLORREF> shown = Shown(m_dlg.m_plain);
    EXPECT_EQ(shown, Expected(m_dlg.m_plain, Look{"Static"}));
    EXPECT_NE(shown, Expected(m_dlg.m_plain, Look{""})) << "the text is visible";
    EXPECT_EQ(Shown(m_dlg.m_center), Expected(m_dlg.m_center, Look{"Static", 1, 0}));
    EXPECT_EQ(Shown(m_dlg.m_centerImage), Expected(m_dlg.m_centerImage, Look{"Static", 0, 1}));

    // An item without text shows only the background.
    std::vector<COLORREF> empty = Shown(m_dlg.m_empty);
    EXPECT_EQ(CountColour(empty, GetSysColor(COLOR_BTNFACE)), static_cast<int>(empty.size()));
}

TEST_F(LabelFixture, OutsideTextChangesWhatItShowsAndQueriesAreCut)
{
    CStyledLabel& label = m_dlg.m_plain;
    SetWindowTextA(label.m_hWnd, "Hello");
    EXPECT_STREQ(label.GetText(), "Hello");
    EXPECT_EQ(Shown(label), Expected(label, Look{"Hello"}));

    label.SetText("0123456789");
    char buf[8];
    memset(buf, 'x', sizeof(buf));
    LRESULT n = SendMessageA(label.m_hWnd, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf));
    EXPECT_EQ(n, 7);
    EXPECT_STREQ(buf, "0123456");
    char one[1] = {'x'};
    EXPECT_EQ(SendMessageA(label.m_hWnd, WM_GETTEXT, 1, reinterpret_cast<LPARAM>(one)), 0);
    EXPECT_EQ(one[0], '\0');
}

TEST_F(LabelFixture, DisablingRepaintsEmbossed)
{
    CStyledLabel& label = m_dlg.m_plain;
    label.EnableWindow(FALSE);
    PumpMessages();
    std::vector<COLORREF> shown = Shown(label);
    EXPECT_EQ(shown, Expected(label, Look{"Static", 0, 0, 0, TRUE}));
    EXPECT_GT(CountColour(shown, GetSysColor(COLOR_BTNSHADOW)), 0);
    EXPECT_GT(CountColour(shown, GetSysColor(COLOR_BTNHIGHLIGHT)), 0);
    label.EnableWindow(TRUE);
    PumpMessages();
    EXPECT_EQ(Shown(label), Expected(label, Look{"Static"}));
}

TEST_F(LabelFixture, TextColourSetAndReset)
{
    CStyledLabel& label = m_dlg.m_plain;
    const COLORREF red = RGB(255, 0, 0);
    label.SetTextColor(red);
    EXPECT_FALSE(label.IsSysTextColor());
    std::vector<COLORREF> shown = Shown(label);
    EXPECT_EQ(shown, Expected(label, Look{"Static", 0, 0, red}));
    EXPECT_GT(CountColour(shown, red), 0);
    label.ResetTextColor();
    EXPECT_TRUE(label.IsSysTextColor());
    EXPECT_EQ(label.GetTextColorValue(), GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(CountColour(Shown(label), red), 0);

    label.SetBkColor(RGB(0, 128, 0));
    LOGBRUSH lb;
    GetObjectA(label.GetBackBrush(), sizeof(lb), &lb);
    EXPECT_EQ(lb.lbColor, RGB(0, 128, 0));
    label.ResetBkColor();
    GetObjectA(label.GetBackBrush(), sizeof(lb), &lb);
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_BTNFACE));
}

TEST_F(LabelFixture, FontSetters)
{
    CStyledLabel& label = m_dlg.m_plain;
    LOGFONTA lf;
    label.SetFontBold(TRUE);
    GetObjectA(label.GetLabelFont(), sizeof(lf), &lf);
    EXPECT_EQ(label.GetFontDesc().lfWeight, 700);
    EXPECT_EQ(lf.lfWeight, 700);
    label.SetFontBold(FALSE);
    GetObjectA(label.GetLabelFont(), sizeof(lf), &lf);
    EXPECT_EQ(lf.lfWeight, 400);
    label.SetFontHeight(16).SetFontName("Courier New").SetFontItalic(1);
    GetObjectA(label.GetLabelFont(), sizeof(lf), &lf);
    EXPECT_EQ(lf.lfHeight, 16);
    EXPECT_STREQ(lf.lfFaceName, "Courier New");
    EXPECT_EQ(lf.lfItalic, 1);
    // The painting uses the new font.
    EXPECT_EQ(Shown(label), Expected(label, Look{"Static"}));
    // Names longer than the field are cut, never overrun.
    std::string longName(60, 'F');
    label.SetFontName(longName.c_str());
    EXPECT_EQ(lstrlenA(label.GetFontDesc().lfFaceName), LF_FACESIZE - 1);
}

TEST_F(LabelFixture, VerticalModePaintsOneCharacterPerLine)
{
    CStyledLabel& label = m_dlg.m_plain;
    label.SetVertical(TRUE);
    label.SetText("abc");
    EXPECT_EQ(Shown(label), Expected(label, Look{"a\nb\nc"}));
    EXPECT_EQ(GetWindowTextLengthA(label.m_hWnd), 5) << "the window text has the line form";
    char buf[16];
    SendMessageA(label.m_hWnd, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf));
    EXPECT_STREQ(buf, "abc");
    label.SetVertical(FALSE);
    EXPECT_EQ(GetWindowTextLengthA(label.m_hWnd), 3);
    EXPECT_STREQ(label.MakeVerticalText("xy\nz"), "x\ny\n\n\nz");
}

TEST_F(LabelFixture, UpperCaseAfterLowerCase)
{
    CStyledLabel& label = m_dlg.m_plain;
    label.SetText("MiXed");
    label.SetLowerCase(TRUE);
    EXPECT_EQ(Shown(label), Expected(label, Look{"mixed"}));
    label.SetUpperCase(TRUE);
    EXPECT_TRUE(label.IsUpperCase());
    EXPECT_FALSE(label.IsLowerCase());
    EXPECT_EQ(Shown(label), Expected(label, Look{"MIXED"}));
    EXPECT_STREQ(label.GetText(), "MiXed");
}

TEST_F(LabelFixture, NativePaintAndReflectedColourQuery)
{
    CStyledLabel& label = m_dlg.m_plain;
    HDC dc = GetDC(label.m_hWnd);
    LRESULT r = m_dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                  reinterpret_cast<LPARAM>(label.m_hWnd));
    EXPECT_NE(reinterpret_cast<HBRUSH>(r), label.GetBackBrush()) << "own painting: the parent colours";

    const COLORREF green = RGB(0, 160, 0);
    label.SetBkColor(green);
    label.SetTextColor(RGB(255, 0, 0));
    EXPECT_TRUE(label.SetNativePaint(TRUE));
    r = m_dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(label.m_hWnd));
    EXPECT_EQ(reinterpret_cast<HBRUSH>(r), label.GetBackBrush());
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), label.GetLabelFont());
    ReleaseDC(label.m_hWnd, dc);

    // The static paints itself, with the label's brush behind its text.
    std::vector<COLORREF> shown = Shown(label);
    EXPECT_GT(CountColour(shown, green), static_cast<int>(shown.size()) / 2);
    EXPECT_NE(shown, Expected(label, Look{"Static"}));
}

TEST_F(LabelFixture, SetAlignmentChoosesOneHorizontalBit)
{
    CStyledLabel& label = m_dlg.m_plain;
    struct Case {
        DWORD request, result;
        DWORD style;  // SS_CENTER / SS_RIGHT bits afterwards
    } cases[] = {
        {0x04 | 0x20, 0x24, SS_RIGHT},
        {0x06 | 0x18, 0x12, SS_CENTER},
        {0x07 | 0x08, 0x09, 0},
        {0x02, 0x02, SS_CENTER},
    };
    for (const Case& c : cases) {
        label.SetAlignment(c.request);
        EXPECT_EQ(label.GetAlignment(), c.result) << std::hex << c.request;
        EXPECT_EQ(label.GetStyle() & (SS_CENTER | SS_RIGHT), c.style) << std::hex << c.request;
    }
    // No horizontal bit: the current bits stay and the vertical bit is added.
    label.SetAlignment(0x01 | 0x08);
    label.SetAlignment(0x20);
    EXPECT_EQ(label.GetAlignment(), 0x29u);
    EXPECT_EQ(label.GetHAlign(), 0x01u);
    EXPECT_EQ(label.GetVAlign(), 0x08u);
    label.SetAlignment(0x04 | 0x20);
    EXPECT_EQ(Shown(label), Expected(label, Look{"Static", 2, 2}));
}

TEST_F(LabelFixture, LargeBitmapIsCutToTheClientAreaCentred)
{
    CStyledLabel& label = m_dlg.m_empty;
    label.SetText("");
    label.SetBitmap(IDB_GRADIENT);
    RECT rc;
    label.GetClientRect(&rc);
    ASSERT_LT(rc.right, 160);
    ASSERT_LT(rc.bottom, 120);
    std::vector<COLORREF> shown = Shown(label);
    const int dx = (160 - rc.right) / 2, dy = (120 - rc.bottom) / 2;
    for (int y = 0; y < rc.bottom; ++y)
        for (int x = 0; x < rc.right; ++x)
            ASSERT_EQ(shown[static_cast<size_t>(y * rc.right + x)], RGB(x + dx, (2 * (y + dy)) % 256, 128))
                << x << "," << y;

    label.SetBitmap(0xFFFFFFFFu);
    shown = Shown(label);
    EXPECT_EQ(CountColour(shown, GetSysColor(COLOR_BTNFACE)), static_cast<int>(shown.size()));
}

TEST_F(LabelFixture, BitmapWithTextTakesThePlainPath)
{
    CStyledLabel& label = m_dlg.m_empty;
    label.SetBitmap(IDB_GRADIENT);
    label.SetText("W");
    label.SetTextColor(RGB(255, 0, 0));
    std::vector<COLORREF> shown = Shown(label);
    // Letters only: no opaque face-coloured rectangle behind them.
    EXPECT_EQ(CountColour(shown, GetSysColor(COLOR_BTNFACE)), 0);
    EXPECT_GT(CountColour(shown, RGB(255, 0, 0)), 0);
    // A rotated text takes the image path, with its opaque background.
    label.SetAngle(90);
    EXPECT_GT(CountColour(Shown(label), GetSysColor(COLOR_BTNFACE)), 0);
}

TEST_F(LabelFixture, HoverFlashingCursorAndTip)
{
    CStyledLabel& label = m_dlg.m_plain;
    const COLORREF hover = RGB(0, 0, 200), fixed = RGB(90, 0, 0);

    // Hover colouring: the hover colour while the mouse rests, the saved one after.
    label.SetTextColor(fixed).SetHoverColor(hover).SetHoverColoring(TRUE);
    label.SendMessage(WM_MOUSEHOVER);
    EXPECT_EQ(label.GetTextColorValue(), hover);
    EXPECT_GT(CountColour(Shown(label), hover), 0);
    label.SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(label.GetTextColorValue(), fixed);
    // Only with a tip that has text, when asked so.
    label.SetHoverNeedsTip(TRUE);
    label.SendMessage(WM_MOUSEHOVER);
    EXPECT_EQ(label.GetTextColorValue(), fixed);
    label.EnableTip(TRUE).SetTipText("tip");
    EXPECT_NE(label.GetTip().m_hWnd, nullptr);
    EXPECT_EQ(label.GetTip().GetOwner(), &label);
    label.SendMessage(WM_MOUSEHOVER);
    EXPECT_EQ(label.GetTextColorValue(), hover);
    label.SendMessage(WM_MOUSELEAVE);
    label.EnableTip(FALSE);
    EXPECT_EQ(label.GetTip().m_hWnd, nullptr);

    // Text flashing blanks only the window text; the stored text stays and comes back.
    label.SetText("Flash");
    label.FlashText(TRUE, 10000);
    label.SendMessage(WM_TIMER, 1);
    EXPECT_EQ(GetWindowTextLengthA(label.m_hWnd), 0);
    EXPECT_STREQ(label.GetText(), "Flash");
    label.FlashText(FALSE, 0);
    EXPECT_EQ(GetWindowTextLengthA(label.m_hWnd), 5);

    // Background flashing: every other tick the fill is half the face colour.
    label.FlashBackground(TRUE, 10000);
    label.SendMessage(WM_TIMER, 2);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF half = RGB(GetRValue(face) / 2, GetGValue(face) / 2, GetBValue(face) / 2);
    std::vector<COLORREF> shown = Shown(label);
    EXPECT_GT(CountColour(shown, half), static_cast<int>(shown.size()) / 2);
    label.SendMessage(WM_TIMER, 2);
    EXPECT_EQ(CountColour(Shown(label), half), 0);
    label.FlashBackground(FALSE, 0);

    // Own cursor: WM_SETCURSOR is answered.
    EXPECT_EQ(label.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(label.m_hWnd), HTCLIENT), 0);
    label.SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649)));  // IDC_HAND
    EXPECT_EQ(label.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(label.m_hWnd), HTCLIENT), TRUE);
}
