// The main dialog from its real template: start-up, allow-list and matching,
// the drive list, the log append, the system menu and icons.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "app/app_globals.h"
#include "app/resource.h"
#include "app_test_support.h"

namespace {

const char kModelA[] = "VENDOR  PRODUCT-A       ";
const char kModelB[] = "VENDOR  PRODUCT-B       ";

std::string IdLine(const std::string& model, const std::string& file, const char* flag) {
    return "\"" + model + "\" \"" + file + "\" \"" + flag + "\"\r\n";
}

std::vector<std::string> LogLines(HWND hDlg) {
    std::vector<std::string> lines;
    const std::string text = ItemText(hDlg, IDC_EDIT_LOG);
    size_t start = 0;
    for (size_t pos; (pos = text.find("\r\n", start)) != std::string::npos; start = pos + 2) {
        lines.push_back(text.substr(start, pos - start));
    }
    if (!text.empty()) lines.push_back(text.substr(start));
    return lines;
}

class MainDialog : public ::testing::Test {
protected:
    void SetUp() override { InitCommonControls(); }
    bool Create() { return dlg.Create(nullptr) != FALSE; }
    bool Enabled(int nID) { return IsWindowEnabled(GetDlgItem(dlg.m_hWnd, nID)) != FALSE; }
    void SelectListEntry(int nIndex) {
        dlg.m_cboDrive.SetCurSel(nIndex);
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CBO_DRIVE, CBN_SELENDOK),
                        reinterpret_cast<LPARAM>(dlg.m_cboDrive.m_hWnd));
    }

    ScratchDir dir;
    TestUpgradeDlg dlg;
};

TEST_F(MainDialog, TwoIdenticalDrivesBothListedWithSuffixesAndEachShowsItsOwnRevision) {
    dir.Write("IDString.txt", IdLine(kModelA, "A049FW.hex", "N") + IdLine(kModelB, "FW2.bin", "N"));
    dlg.m_records = {MakeDrive(kModelA, "A049"), MakeDrive(kModelA, "A054")};
    ASSERT_TRUE(Create());

    EXPECT_EQ(g_pMainDlg, &dlg);
    EXPECT_STREQ(dlg.m_records[0].szModel, "VENDOR  PRODUCT-A       (0)");
    EXPECT_STREQ(dlg.m_records[1].szModel, "VENDOR  PRODUCT-A       (1)");
    ASSERT_EQ(dlg.m_cboDrive.GetCount(), 2);
    CString entry;
    dlg.m_cboDrive.GetLBText(0, entry);
    EXPECT_STREQ(entry, "VENDOR  PRODUCT-A       (0)");
    // Both drives match the first entry; the field shows the last one that did.
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_CBO_DRIVE), "VENDOR  PRODUCT-A       (1)");
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_REVISION), "A054");
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_STATUS), "");
    EXPECT_EQ(dlg.SendDlgItemMessage(IDC_PROGRESS, PBM_GETPOS), 0);
    EXPECT_TRUE(Enabled(IDC_BTN_UPGRADE));
    EXPECT_TRUE(Enabled(IDC_REVISION));

    const std::vector<std::string> expected = {
        "This firmware can be used on below drives  :",
        "(1) VENDOR  PRODUCT-A         A049FW.hex",
        "(2) VENDOR  PRODUCT-B         FW2.bin",
    };
    EXPECT_EQ(LogLines(dlg.m_hWnd), expected);
    EXPECT_EQ(dlg.m_nIdCount, 2);
    EXPECT_EQ(dlg.m_bConfirm, 0);

    SelectListEntry(0);
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_REVISION), "A049");
    SelectListEntry(1);
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_REVISION), "A054");
    // An entry no record carries leaves four blanks.
    dlg.m_cboDrive.AddString("SOMETHING ELSE");
    SelectListEntry(dlg.m_cboDrive.FindStringExact(-1, "SOMETHING ELSE"));
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_REVISION), "    ");

    dlg.DestroyWindow();
    EXPECT_EQ(dlg.m_nUnloads, 1);
}

TEST_F(MainDialog, NoDriveOnTheListDisablesUpgrade) {
    // The model agrees but the revision's first character differs from the
    // file name's: not a match at start-up.
    dir.Write("IDString.txt", IdLine(kModelA, "BFW.hex", "Y") + IdLine(kModelB, "x.hex", "N"));
    dlg.m_records = {MakeDrive(kModelA, "A049"), MakeDrive("OTHER   DRIVE           ", "1.00")};
    ASSERT_TRUE(Create());
    const std::vector<std::string> lines = LogLines(dlg.m_hWnd);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines.back(), "CD-ROM drive model doesn't match!!");
    EXPECT_FALSE(Enabled(IDC_BTN_UPGRADE));
    // The field keeps showing the last drive discovered.
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_CBO_DRIVE), "OTHER   DRIVE           (1)");
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_REVISION), "1.00");
    EXPECT_EQ(dlg.m_bConfirm, 0);  // the last line with a flag decides
}

TEST_F(MainDialog, BlankFirstLineGivesAnEmptyListAndNoDriveAtAll) {
    dir.Write("IDString.txt", " " + IdLine(kModelA, "A.hex", "Y"));
    ASSERT_TRUE(Create());
    const std::vector<std::string> expected = {"This firmware can be used on below drives  :",
                                               "CD-ROM drive model doesn't match!!"};
    EXPECT_EQ(LogLines(dlg.m_hWnd), expected);
    EXPECT_EQ(dlg.m_cboDrive.GetCount(), 0);
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_REVISION), "");
    EXPECT_FALSE(Enabled(IDC_BTN_UPGRADE));
}

TEST_F(MainDialog, MissingAllowListShowsItsMessageAndLogsNothing) {
    dlg.m_records = {MakeDrive(kModelA, "A049")};
    ASSERT_TRUE(Create());
    ASSERT_EQ(MessageBoxes().size(), 1u);
    EXPECT_EQ(MessageBoxes()[0].strText, "The IDString.txt doesn't exist!!");
    EXPECT_EQ(MessageBoxes()[0].strCaption, "Error!!");
    EXPECT_EQ(MessageBoxes()[0].uType, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(MessageBoxes()[0].hOwner, dlg.m_hWnd);
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_EDIT_LOG), "");
    EXPECT_EQ(dlg.m_nIdCount, 0);
    // No matching ran: Upgrade is left as discovery left it.
    EXPECT_TRUE(Enabled(IDC_BTN_UPGRADE));
}

TEST_F(MainDialog, AspiLoadFailureDisablesUpgradeAndRevisionButStillReadsTheList) {
    dir.Write("IDString.txt", IdLine(kModelA, "A.hex", "N"));
    dlg.m_byLoadResult = 0;
    dlg.m_records = {MakeDrive(kModelA, "A049")};
    ASSERT_TRUE(Create());
    EXPECT_EQ(dlg.m_DriveTable.m_nDrives, 0);  // no discovery ran
    EXPECT_EQ(dlg.m_cboDrive.GetCount(), 0);
    EXPECT_FALSE(Enabled(IDC_BTN_UPGRADE));
    EXPECT_FALSE(Enabled(IDC_REVISION));
    EXPECT_EQ(LogLines(dlg.m_hWnd).back(), "CD-ROM drive model doesn't match!!");
}

TEST_F(MainDialog, LogAppendKeepsTheFirst511CharactersAndTheNewestMessage) {
    dir.Write("IDString.txt", "");
    ASSERT_TRUE(Create());
    dlg.m_editLog.SetWindowText("");  // the user may empty the box
    CBShowMessage("first");
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_EDIT_LOG), "first");
    CBShowMessage("second");
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_EDIT_LOG), "first\r\nsecond");

    const std::string opening(600, 'o');
    dlg.m_editLog.SetWindowText(opening.c_str());
    CBShowMessage("newer");
    CBShowMessage("newest");
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_EDIT_LOG), opening.substr(0, 511) + "\r\nnewest");
}

TEST_F(MainDialog, SystemMenuIconsAndDragIcon) {
    dir.Write("IDString.txt", "");
    ASSERT_TRUE(Create());
    HMENU hSys = GetSystemMenu(dlg.m_hWnd, FALSE);
    ASSERT_NE(hSys, nullptr);
    const int n = GetMenuItemCount(hSys);
    ASSERT_GE(n, 2);
    EXPECT_EQ(GetMenuItemID(hSys, n - 1), static_cast<UINT>(IDM_ABOUTBOX));
    char sz[64] = "";
    GetMenuStringA(hSys, n - 1, sz, sizeof sz, MF_BYPOSITION);
    EXPECT_STREQ(sz, "&About KESTREL...");
    EXPECT_NE(GetMenuState(hSys, n - 2, MF_BYPOSITION) & MF_SEPARATOR, 0u);

    ASSERT_NE(dlg.m_hIcon, nullptr);
    EXPECT_EQ(dlg.SendMessage(WM_GETICON, ICON_BIG), reinterpret_cast<LRESULT>(dlg.m_hIcon));
    EXPECT_EQ(dlg.SendMessage(WM_GETICON, ICON_SMALL), reinterpret_cast<LRESULT>(dlg.m_hIcon));
    EXPECT_EQ(dlg.SendMessage(WM_QUERYDRAGICON), reinterpret_cast<LRESULT>(dlg.m_hIcon));
}

TEST_F(MainDialog, AboutBoxOpensFromTheSystemMenuAndCloses) {
    dir.Write("IDString.txt", "");
    ASSERT_TRUE(Create());
    std::thread answer = AnswerDialog("KESTREL", IDOK, BM_CLICK);
    // The main dialog is hidden (modeless, never shown), so the visible
    // "KESTREL" dialog the helper finds is the About box.
    dlg.SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    answer.join();
    EXPECT_TRUE(dlg.IsWindow());
}

}  // namespace
