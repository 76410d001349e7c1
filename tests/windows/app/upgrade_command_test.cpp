// The Upgrade command: the job block it fills, every refusal and the enabled
// states, the confirmation step, the guard against ending the program during a
// run, and one real worker run that fails cleanly without a drive.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "app/app_globals.h"
#include "app/resource.h"
#include "app_test_support.h"
#include "platform/platform.h"

namespace {

const char kModelA[] = "VENDOR  PRODUCT-A       ";
const char kModelB[] = "VENDOR  PRODUCT-B       ";

std::string IdLine(const std::string& model, const std::string& file, const char* flag = nullptr) {
    std::string s = "\"" + model + "\" \"" + file + "\"";
    if (flag) s += std::string(" \"") + flag + "\"";
    return s + "\n";
}

void NoWait(DWORD) {}

class UpgradeCommand : public ::testing::Test {
protected:
    void SetUp() override { InitCommonControls(); }
    void Start(const std::string& idString, std::vector<DRIVE_INFO> drives) {
        dir.Write("IDString.txt", idString);
        dlg.m_records = std::move(drives);
        ASSERT_TRUE(dlg.Create(nullptr));
        ClearMessageBoxes();
    }
    void PressUpgrade() {
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BTN_UPGRADE, BN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(dlg.m_hWnd, IDC_BTN_UPGRADE)));
    }
    bool Enabled(int nID) { return IsWindowEnabled(GetDlgItem(dlg.m_hWnd, nID)) != FALSE; }
    std::string LastLogLine() {
        const std::string log = ItemText(dlg.m_hWnd, IDC_EDIT_LOG);
        const size_t pos = log.rfind("\r\n");
        return pos == std::string::npos ? log : log.substr(pos + 2);
    }

    ScratchDir dir;
    TestUpgradeDlg dlg;
};

TEST_F(UpgradeCommand, FillsTheJobBlockAndStartsOneWorker) {
    Start(IdLine(kModelA, "FW0.HEX", "N") + IdLine(kModelA, "fw1.Bin", "N"),
          {MakeDrive(kModelB, "F100", 3, 4), MakeDrive(kModelA, "F054", 1, 2)});
    // Choose the second record; its revision lies outside the entry-0 prefixes.
    dlg.m_cboDrive.SetWindowText("VENDOR  PRODUCT-A       (1)");
    dlg.m_lblRevision.SetWindowText("A054XYZW");  // eight characters: seven are kept
    PressUpgrade();

    ASSERT_EQ(dlg.m_nThreadStarts, 1);
    const FLASH_PARAM& p = dlg.m_started;
    EXPECT_EQ(memcmp(&p.drive, &dlg.m_records[1], sizeof(DRIVE_INFO)), 0);
    EXPECT_STREQ(p.sDriveName, "VENDOR  PRODUCT-A       (1)");
    EXPECT_STREQ(p.sRevision, "A054XYZ");
    EXPECT_EQ(std::string(p.sImagePath), dir.Path() + "\\FW0.hex");  // only the extension is lowered
    EXPECT_EQ(p.bHexImage, 1);
    EXPECT_EQ(p.CBSetRevision, &CBSetRevision);
    EXPECT_EQ(p.CBSetDriveName, &CBSetDriveName);
    EXPECT_EQ(p.CBShowMessage, &CBShowMessage);
    EXPECT_EQ(p.CBShowStatus, &CBShowStatus);
    EXPECT_EQ(p.CBSetProgress, &CBSetProgress);
    EXPECT_EQ(p.CBIfTerminated, &CBIfTerminated);
    EXPECT_EQ(p.bUsePassThrough, dlg.m_DriveTable.m_bNT);
    EXPECT_EQ(g_strDriveName, "VENDOR  PRODUCT-A       (1)");
    EXPECT_EQ(g_strRevision, "A054XYZW");
    EXPECT_TRUE(MessageBoxes().empty());

    // Both buttons are off before the worker exists, and nothing ends the
    // program while the run is on: neither a second press, Esc / Close, nor a
    // shutdown.
    EXPECT_FALSE(Enabled(IDC_BTN_UPGRADE));
    EXPECT_FALSE(Enabled(IDCANCEL));
    EXPECT_TRUE(dlg.IsUpgradeRunning());
    PressUpgrade();
    EXPECT_EQ(dlg.m_nThreadStarts, 1);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    dlg.SendMessage(WM_CLOSE);
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(dlg.m_nModalResult, -1);
    EXPECT_EQ(dlg.SendMessage(WM_QUERYENDSESSION, 0, 0), FALSE);

    // Once the run is over the program may end again, but Upgrade stays off
    // and a click sent to it starts nothing.
    dlg.m_lUpgradeRunning = 0;
    PressUpgrade();
    EXPECT_EQ(dlg.m_nThreadStarts, 1);
    EXPECT_NE(dlg.SendMessage(WM_QUERYENDSESSION, 0, 0), FALSE);
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(dlg.m_nModalResult, IDCANCEL);
}

TEST_F(UpgradeCommand, RevisionPicksEntryOneRawImage) {
    Start(IdLine(kModelA, "FW0.HEX", "N") + IdLine(kModelB, "fw1.Bin", "N"), {MakeDrive(kModelA, "A050")});
    PressUpgrade();
    ASSERT_EQ(dlg.m_nThreadStarts, 1);
    EXPECT_EQ(std::string(dlg.m_started.sImagePath), dir.Path() + "\\fw1.bin");
    EXPECT_EQ(dlg.m_started.bHexImage, 0);
}

TEST_F(UpgradeCommand, RefusalsEndTheCommandWithCloseEnabledAgain) {
    struct Case {
        const char* name;
        std::string idString;
        const char* driveText;  // typed into the combo box's field; null keeps the discovered one
        const char* logLine;    // expected last log line, or null
        const char* boxText;    // expected message box, or null
    };
    const Case cases[] = {
        {"model not on the list", IdLine(kModelB, "FW.hex"), nullptr, "Drive model doesn't match!", nullptr},
        {"one entry and a revision outside the prefixes: empty entry 1 file",
         IdLine(kModelA, "FW.hex"), nullptr, nullptr, "Input file format mismatched."},
        {"unknown extension", IdLine(kModelA, "FW.hex") + IdLine(kModelA, "FW.hex.old"), nullptr, nullptr,
         "Input file format mismatched."},
        // A typed text no record carries: the job block's drive stays empty
        // (with host and target 0xFF), which agrees with entry 0's empty model;
        // the text itself agrees with entry 1, whose file the revision picks.
        {"no drive record for the typed text", "\"" + std::string(kModelA) + "\"\n" + IdLine(kModelA, "FW1.hex"),
         "VENDOR  PRODUCT-A       (5)", nullptr, "No Target Drive."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir caseDir;
        TestUpgradeDlg caseDlg;
        caseDir.Write("IDString.txt", c.idString);
        caseDlg.m_records = {MakeDrive(kModelA, "B123")};
        ASSERT_TRUE(caseDlg.Create(nullptr));
        ClearMessageBoxes();
        if (c.driveText) caseDlg.m_cboDrive.SetWindowText(c.driveText);
        const BOOL bUpgradeBefore = IsWindowEnabled(GetDlgItem(caseDlg.m_hWnd, IDC_BTN_UPGRADE));
        caseDlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_BTN_UPGRADE, BN_CLICKED), 0);

        EXPECT_EQ(caseDlg.m_nThreadStarts, 0);
        EXPECT_FALSE(caseDlg.IsUpgradeRunning());
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(caseDlg.m_hWnd, IDCANCEL)));
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(caseDlg.m_hWnd, IDC_BTN_UPGRADE)), bUpgradeBefore);
        if (c.logLine) {
            const std::string log = ItemText(caseDlg.m_hWnd, IDC_EDIT_LOG);
            EXPECT_EQ(log.substr(log.rfind("\r\n") + 2), c.logLine);
        }
        if (c.boxText) {
            ASSERT_EQ(MessageBoxes().size(), 1u);
            EXPECT_EQ(MessageBoxes()[0].strText, c.boxText);
            EXPECT_EQ(MessageBoxes()[0].strCaption, "Error!!");
            EXPECT_EQ(MessageBoxes()[0].uType, static_cast<UINT>(MB_OK | MB_ICONERROR));
            EXPECT_EQ(MessageBoxes()[0].hOwner, caseDlg.m_hWnd);
        } else {
            EXPECT_TRUE(MessageBoxes().empty());
        }
        caseDlg.DestroyWindow();
    }
}

TEST_F(UpgradeCommand, ConfirmationCancelStopsAndOkGoesOn) {
    Start(IdLine(kModelA, "AFW0.hex", "y"), {MakeDrive(kModelA, "A049")});
    ASSERT_NE(dlg.m_bConfirm, 0);
    ASSERT_TRUE(Enabled(IDC_BTN_UPGRADE));

    std::thread cancel = AnswerDialog("Firmware upgrade program", IDCANCEL, BM_CLICK);
    PressUpgrade();
    cancel.join();
    EXPECT_EQ(dlg.m_nThreadStarts, 0);
    EXPECT_TRUE(Enabled(IDCANCEL));
    EXPECT_TRUE(Enabled(IDC_BTN_UPGRADE));

    std::thread ok = AnswerDialog("Firmware upgrade program", IDOK, BM_CLICK);
    PressUpgrade();
    ok.join();
    EXPECT_EQ(dlg.m_nThreadStarts, 1);
    EXPECT_EQ(std::string(dlg.m_started.sImagePath), dir.Path() + "\\AFW0.hex");
}

TEST_F(UpgradeCommand, RealWorkerRunEndsWithUpgradeOffAndCloseOn) {
    // The drive record leads nowhere (invalid device handle), so the engine
    // fails and reports it; the worker still restores the buttons.
    Start(IdLine(kModelA, "FW0.hex", "N"), {MakeDrive(kModelA, "A049")});
    PlatWaitHook oldHook = PlatSetWaitHook(NoWait);
    dlg.m_DriveTable.m_bNT = 1;  // pass-through on the invalid handle, never ASPI
    dlg.m_bRealThread = true;
    g_bTerminate = 1;  // the worker clears it after the run
    PressUpgrade();
    ASSERT_EQ(dlg.m_nThreadStarts, 1);
    ASSERT_TRUE(PumpUntil([&] { return !dlg.IsUpgradeRunning() && Enabled(IDCANCEL); }));
    PumpUntil([] { return false; }, 200);  // let the worker finish returning
    PlatSetWaitHook(oldHook);

    EXPECT_FALSE(Enabled(IDC_BTN_UPGRADE));
    EXPECT_TRUE(Enabled(IDCANCEL));
    EXPECT_EQ(g_bTerminate, 0);
    EXPECT_EQ(LastLogLine(), "Flashing is incorrect!!");
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_STATUS), "");
}

TEST(Callbacks, ReachTheMainDialogsControls) {
    InitCommonControls();
    ScratchDir dir;
    dir.Write("IDString.txt", "");
    TestUpgradeDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    // From a second thread, as the engine calls them.
    std::thread worker([] {
        CBSetRevision("R123");
        CBSetDriveName("NEW NAME");
        CBShowStatus("Writing");
        CBSetProgress(42);
    });
    ASSERT_TRUE(PumpUntil([&] { return ItemText(dlg.m_hWnd, IDC_PROGRESS) == "" &&
                                        dlg.SendDlgItemMessage(IDC_PROGRESS, PBM_GETPOS) == 42; }));
    worker.join();
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_REVISION), "R123");
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_CBO_DRIVE), "NEW NAME");
    EXPECT_EQ(ItemText(dlg.m_hWnd, IDC_STATUS), "Writing");
    g_bTerminate = 0;
    EXPECT_EQ(CBIfTerminated(), 0);
}

}  // namespace
