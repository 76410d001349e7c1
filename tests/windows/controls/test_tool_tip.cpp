// The tooltip popup: class registration, measuring, placement, showing and hiding.
#include <gtest/gtest.h>

#include <string>

#include "controls/control_tool_tip.h"
#include "framework/dialog.h"
#include "framework/static.h"
#include "test_resources.h"
#include "test_support.h"

namespace {

SIZE GuiExtent(const char* text)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE sz{0, 0};
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &sz);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return sz;
}

// A shown dialog whose "Other" item is the tip's owner.
class TipFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dlg.Create());
        m_dlg.ShowWindow(SW_SHOW);
        ASSERT_TRUE(m_owner.SubclassWindow(GetDlgItem(m_dlg.m_hWnd, IDC_OTHER)));
        SetForegroundWindow(m_dlg.m_hWnd);
        SetFocus(GetDlgItem(m_dlg.m_hWnd, IDC_BUTTON));
        PumpMessages();
    }
    void TearDown() override {
        m_tip.DestroyTip();
        m_dlg.DestroyWindow();
    }
    CDialog m_dlg{IDD_LABELS};
    CStatic m_owner;
    CControlToolTip m_tip;
};

}  // namespace

TEST(ControlToolTip, ClassRegisteredOnceWithItsLook)
{
    CControlToolTip a, b;  // the second construction finds the class
    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "ControlToolTip", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_DBLCLKS | CS_SAVEBITS));
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_INFOBK + 1)));
    EXPECT_TRUE(CControlToolTip::RegisterWindowClass());
}

TEST_F(TipFixture, CreateMakesHiddenToolWindowAndTwiceDestroysTheFirst)
{
    ASSERT_TRUE(m_tip.CreateTip(&m_owner));
    HWND first = m_tip.m_hWnd;
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(IsWindowVisible(first));
    EXPECT_EQ(GetWindowLongA(first, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              WS_EX_TOOLWINDOW | WS_EX_TOPMOST);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(first, GWL_STYLE)) & (WS_POPUP | WS_BORDER),
              static_cast<DWORD>(WS_POPUP | WS_BORDER));
    ASSERT_TRUE(m_tip.CreateTip(&m_owner));
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(m_tip.m_hWnd));
    EXPECT_EQ(m_tip.GetOwner(), &m_owner);
    EXPECT_TRUE(m_tip.DestroyTip());
    EXPECT_EQ(m_tip.GetOwner(), nullptr);
    EXPECT_EQ(m_tip.m_hWnd, nullptr);
    EXPECT_TRUE(m_tip.DestroyTip()) << "nothing to destroy";
}

TEST_F(TipFixture, EmptyTextHides)
{
    ASSERT_TRUE(m_tip.CreateTip(&m_owner));
    m_tip.SetText("tip");
    m_tip.ShowTip();
    EXPECT_TRUE(m_tip.IsWindowVisible());
    m_tip.SetText("");
    m_tip.ShowTip();
    EXPECT_FALSE(m_tip.IsWindowVisible());
}

TEST_F(TipFixture, MultiLineSizes)
{
    ASSERT_TRUE(m_tip.CreateTip(&m_owner));
    SIZE whole = GuiExtent("a\nbc");
    m_tip.SetText("a\nbc");
    EXPECT_EQ(m_tip.GetTipRect(), CRect(0, 0, GuiExtent("bc").cx + 4, 2 * whole.cy + 4));
    m_tip.ShowTip();
    RECT rcWnd;
    GetWindowRect(m_tip.m_hWnd, &rcWnd);
    EXPECT_EQ(rcWnd.right - rcWnd.left, GuiExtent("bc").cx + 4);
    EXPECT_EQ(rcWnd.bottom - rcWnd.top, 2 * whole.cy + 4);

    m_tip.SetText("a\n\nb");
    EXPECT_EQ(m_tip.CountLines(), 3);
    EXPECT_EQ(m_tip.GetTipRect().Height(), 3 * GuiExtent("a\n\nb").cy + 4);

    // Longer than any fixed work buffer: the widest piece lies past 1024 characters.
    std::string longText;
    for (int i = 0; i < 100; ++i) longText += "short line\n";
    std::string widest(60, 'W');
    longText += widest;
    ASSERT_GT(longText.size(), 1024u);
    m_tip.SetText(longText.c_str());
    EXPECT_EQ(m_tip.GetTipRect().Width(), GuiExtent(widest.c_str()).cx + 4);
    EXPECT_EQ(m_tip.CountLines(), 101);
}

TEST_F(TipFixture, PlacementsAndIgnoredValues)
{
    ASSERT_TRUE(m_tip.CreateTip(&m_owner));
    m_tip.SetText("placed");
    RECT rcOwner;
    GetClientRect(m_owner.m_hWnd, &rcOwner);
    POINT origin{0, 0};
    ClientToScreen(m_owner.m_hWnd, &origin);
    struct Case {
        int placement;
        int dy;
    } cases[] = {{0, 0}, {1, rcOwner.bottom}, {2, -m_tip.GetTipRect().Height()}};
    for (const Case& c : cases) {
        m_tip.SetPlacement(c.placement);
        m_tip.ShowTip();
        RECT rc;
        GetWindowRect(m_tip.m_hWnd, &rc);
        EXPECT_EQ(rc.left, origin.x) << c.placement;
        EXPECT_EQ(rc.top, origin.y + c.dy) << c.placement;
    }
    RECT before;
    GetWindowRect(m_tip.m_hWnd, &before);
    m_tip.SetPlacement(3);
    m_tip.SetPlacement(-1);
    EXPECT_EQ(m_tip.GetPlacement(), 2);
    RECT after;
    GetWindowRect(m_tip.m_hWnd, &after);
    EXPECT_EQ(CRect(before), after);
}

TEST_F(TipFixture, CursorOnRightOrBottomEdgeIsOverOwner)
{
    ASSERT_TRUE(m_tip.CreateTip(&m_owner));
    RECT rc;
    GetWindowRect(m_owner.m_hWnd, &rc);
    struct Case {
        int x, y;
        BOOL over;
    } cases[] = {
        {rc.right, rc.bottom, TRUE}, {rc.left, rc.top, TRUE}, {rc.right, rc.top + 1, TRUE},
        {rc.right + 1, rc.bottom, FALSE}, {rc.left, rc.bottom + 1, FALSE}, {rc.left - 1, rc.top, FALSE},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(SetCursorPos(c.x, c.y));
        POINT pt;
        GetCursorPos(&pt);
        ASSERT_EQ(pt.x, c.x) << "the cursor did not move";
        EXPECT_EQ(m_tip.IsCursorOverOwner(), c.over) << c.x << "," << c.y;
    }
}

TEST_F(TipFixture, TimerShowsOverOwnerAndHidesElsewhere)
{
    ASSERT_TRUE(m_tip.CreateTip(&m_owner));
    m_tip.SetText("tip");
    ASSERT_EQ(GetParent(GetFocus()), m_dlg.m_hWnd) << "focus in the owner's dialog";
    RECT rc;
    GetWindowRect(m_owner.m_hWnd, &rc);
    SetCursorPos(rc.left + 2, rc.top + 2);

    // Initial settings: only while the left button is down (it is not).
    m_tip.OnTimer(1);
    EXPECT_FALSE(m_tip.IsWindowVisible());
    m_tip.SetOnButton(FALSE);
    m_tip.OnTimer(1);
    EXPECT_TRUE(m_tip.IsWindowVisible());
    m_tip.OnTimer(2);  // another timer id changes nothing
    EXPECT_TRUE(m_tip.IsWindowVisible());
    SetCursorPos(rc.right + 20, rc.bottom + 20);
    m_tip.OnTimer(1);
    EXPECT_FALSE(m_tip.IsWindowVisible());

    // Focus outside the owner's dialog: no tip, and a shown one goes at the next tick.
    SetCursorPos(rc.left + 2, rc.top + 2);
    m_tip.ShowTip();
    SetFocus(nullptr);
    m_tip.OnTimer(1);
    EXPECT_FALSE(m_tip.IsWindowVisible());
    m_tip.OnTimer(1);
    EXPECT_FALSE(m_tip.IsWindowVisible());
}
