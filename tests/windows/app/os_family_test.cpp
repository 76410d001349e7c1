// The OS family the main dialog records, under the Windows version Wine is
// told to report (ctest runs this binary once per version, see CMakeLists.txt).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "app_test_support.h"

namespace {

TEST(OsFamily, RecordedFromTheVersionQuery) {
    const char* pszExpect = getenv("KESTREL_EXPECT_OS");
    ASSERT_NE(pszExpect, nullptr) << "run through ctest, which names the expected family";
    const std::string expect = pszExpect;
    InitCommonControls();
    ScratchDir dir;
    dir.Write("IDString.txt", "");
    TestUpgradeDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    if (expect == "9x") {
        EXPECT_EQ(dlg.m_DriveTable.m_bNT, 0);
        EXPECT_EQ(dlg.m_DriveTable.m_bNT4, 0);  // untouched on the 9x family
    } else if (expect == "nt4") {
        EXPECT_EQ(dlg.m_DriveTable.m_bNT, 1);
        EXPECT_EQ(dlg.m_DriveTable.m_bNT4, 1);
    } else {
        EXPECT_EQ(dlg.m_DriveTable.m_bNT, 1);
        EXPECT_EQ(dlg.m_DriveTable.m_bNT4, 0);
    }
}

}  // namespace
