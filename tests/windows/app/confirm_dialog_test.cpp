// The confirmation dialog: what its labels show, in which font and colour, and
// how it answers.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/app_globals.h"
#include "app/confirm_dlg.h"
#include "app/resource.h"
#include "app_test_support.h"

namespace {

class ConfirmDialog : public ::testing::Test {
protected:
    void SetUp() override {
        InitCommonControls();
        g_strDriveName = "VENDOR  PRODUCT-A       (0)";
        g_strRevision = "A049";
    }
    void TearDown() override {
        g_strDriveName = "";
        g_strRevision = "";
    }
};

TEST_F(ConfirmDialog, LabelsShowTheirTextsFontsAndColours) {
    CConfirmDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    const COLORREF crDefault = GetSysColor(COLOR_WINDOWTEXT);
    struct Case {
        CStyledLabel* pLabel;
        int nID;
        const char* text;
        LONG height;
        LONG weight;
        COLORREF colour;
    };
    const Case cases[] = {
        {&dlg.m_lblCurrentVersion, 1019, "The current version of your", 16, 400, crDefault},
        {&dlg.m_lblFirmwareIs, 1021, "firmware is", 16, 400, crDefault},
        {&dlg.m_lblGreeting, 1018, "Dear customer,\n \nThank you for choosing this product!", 16, 400, crDefault},
        {&dlg.m_lblDriveValue, 1020, "VENDOR  PRODUCT-A       (0)", 12, 700, RGB(0, 0, 255)},
        {&dlg.m_lblRevValue, 1022, "A049", 12, 700, RGB(0, 0, 255)},
        {&dlg.m_lblNotice, 1023,
         "1. We advise you to close any other programs that may be running on your system before starting "
         "this upgrade program.\n2. Please do not upgrade firmware unless you have been specifically "
         "instructed to do so!\n3. Failed firmware updates may render your drive inoperable.\n4. KESTREL "
         "tools are exclusive to the single firmware which is not compatible with\n    miltiple F/W "
         "versions.\n5. Do not use this program in any other way than intended.",
         16, 400, crDefault},
        {&dlg.m_lblQuestion, 1026, "Are you ready to update your firmware ?", 16, 400, crDefault},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nID);
        ASSERT_EQ(c.pLabel->m_hWnd, GetDlgItem(dlg.m_hWnd, c.nID));  // bound to its item
        EXPECT_STREQ(c.pLabel->GetText(), c.text);
        EXPECT_EQ(ItemText(dlg.m_hWnd, c.nID), c.text);
        const LOGFONTA& lf = c.pLabel->GetFontDesc();
        EXPECT_EQ(lf.lfHeight, c.height);
        EXPECT_EQ(lf.lfWeight, c.weight);
        EXPECT_STREQ(lf.lfFaceName, "Times New Roman");
        EXPECT_EQ(c.pLabel->GetTextColorValue(), c.colour);
        // The font in use is the one described.
        LOGFONTA lfUsed{};
        ASSERT_TRUE(GetObjectA(c.pLabel->GetLabelFont(), sizeof lfUsed, &lfUsed));
        EXPECT_EQ(lfUsed.lfHeight, c.height);
        EXPECT_EQ(lfUsed.lfWeight, c.weight);
    }
    // The sunken frame is bound but keeps the label's defaults and no text.
    ASSERT_EQ(dlg.m_lblFrame.m_hWnd, GetDlgItem(dlg.m_hWnd, 1025));
    EXPECT_STREQ(dlg.m_lblFrame.GetText(), "");
    LOGFONTA lfGui{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lfGui, &lfGui);
    EXPECT_STREQ(dlg.m_lblFrame.GetFontDesc().lfFaceName, lfGui.lfFaceName);
    EXPECT_EQ(dlg.m_lblFrame.GetTextColorValue(), crDefault);
    EXPECT_EQ(dlg.m_strDriveName, "VENDOR  PRODUCT-A       (0)");
    EXPECT_EQ(dlg.m_strRevision, "A049");
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDOK), "OK");
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDCANCEL), "Cancel");
    dlg.DestroyWindow();
}

TEST_F(ConfirmDialog, AnswersOkForOkAndCancelForCancelOrTheCloseBox) {
    struct Case { int nItem; UINT msg; INT_PTR answer; };
    const Case cases[] = {{IDOK, BM_CLICK, IDOK}, {IDCANCEL, BM_CLICK, IDCANCEL}, {0, WM_CLOSE, IDCANCEL}};
    for (const Case& c : cases) {
        CConfirmDlg dlg;
        std::thread answer = AnswerDialog("Firmware upgrade program", c.nItem, c.msg);
        EXPECT_EQ(dlg.DoModal(), c.answer) << c.nItem << " " << c.msg;
        answer.join();
    }
}

}  // namespace
