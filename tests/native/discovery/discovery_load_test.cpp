// Loading and unloading the ASPI library, and what the user sees when it is
// missing or broken.
#include "discovery_fakes.h"
#include "platform/platform.h"
#include "scsi/aspi_layout.h"

namespace disctest {
namespace {

HWND Owner() { return reinterpret_cast<HWND>(0x1234); }

TEST_F(DiscoveryTest, NineXWithoutLibraryTellsTheUserAndSendsNothing) {
    table.m_bNT = 0;
    EXPECT_EQ(fgLoadAspi(table, Owner()), 0);

    ASSERT_EQ(hostseam::MessageBoxes().size(), 1u);
    const hostseam::MessageBoxCall& box = hostseam::MessageBoxes()[0];
    EXPECT_EQ(box.hOwner, Owner());
    EXPECT_EQ(box.strText, "No find the dynamic library!!");
    EXPECT_EQ(box.strCaption, "Error!!");
    EXPECT_EQ(box.uType, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(table.m_hAspiDll, nullptr);
    EXPECT_EQ(g_pfnSendASPI32Command, nullptr);

    // Even a scan called regardless finds no ASPI layer to talk to.
    ScanDrives(table);
    EXPECT_EQ(table.m_nDrives, 0);
    EXPECT_EQ(Aspi().nSupportCalls, 0);
    EXPECT_TRUE(Aspi().requests.empty());
    EXPECT_TRUE(hostseam::OpenAttempts().empty());
}

struct MissingEntry {
    const char* pszName;
    bool bSupport, bSend;
};

class MissingEntryTest : public DiscoveryTest, public ::testing::WithParamInterface<MissingEntry> {};

TEST_P(MissingEntryTest, TellsTheUserKeepsTheLibraryUntilTeardown) {
    AttachAspi(GetParam().bSupport ? FakeGetSupportInfo : nullptr, GetParam().bSend ? FakeSendCommand : nullptr);
    table.m_bNT = 0;
    EXPECT_EQ(fgLoadAspi(table, Owner()), 0);

    ASSERT_EQ(hostseam::MessageBoxes().size(), 1u);
    const hostseam::MessageBoxCall& box = hostseam::MessageBoxes()[0];
    EXPECT_EQ(box.hOwner, Owner());
    EXPECT_EQ(box.strText, "Cannot Load Dynamic Library!!!");
    EXPECT_EQ(box.strCaption, "Error!");
    EXPECT_EQ(box.uType, MB_OKCANCEL);
    // Neither half of a broken pair is kept.
    EXPECT_EQ(g_pfnGetASPI32SupportInfo, nullptr);
    EXPECT_EQ(g_pfnSendASPI32Command, nullptr);

    EXPECT_NE(table.m_hAspiDll, nullptr);
    EXPECT_EQ(hostseam::LoadedLibraries(), 1);
    EXPECT_EQ(fgUnloadAspi(table), 1);
    EXPECT_EQ(hostseam::LoadedLibraries(), 0);
    EXPECT_EQ(table.m_hAspiDll, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Entries, MissingEntryTest,
                         ::testing::Values(MissingEntry{"NoSupportInfo", false, true},
                                           MissingEntry{"NoSendCommand", true, false},
                                           MissingEntry{"Neither", false, false}),
                         [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(DiscoveryTest, NineXLoadsBothEntryPointsAndTeardownFreesTheLibrary) {
    AttachAspi();
    table.m_bNT = 0;
    EXPECT_EQ(fgLoadAspi(table, Owner()), 1);
    EXPECT_TRUE(hostseam::MessageBoxes().empty());
    EXPECT_EQ(g_pfnGetASPI32SupportInfo, &FakeGetSupportInfo);
    EXPECT_EQ(g_pfnSendASPI32Command, &FakeSendCommand);
    EXPECT_EQ(hostseam::LoadedLibraries(), 1);

    EXPECT_EQ(fgUnloadAspi(table), 1);
    EXPECT_EQ(hostseam::LoadedLibraries(), 0);
    EXPECT_EQ(g_pfnSendASPI32Command, nullptr);
    EXPECT_EQ(fgUnloadAspi(table), 1);  // a second teardown is harmless
}

TEST_F(DiscoveryTest, NtFamilyLoadsNothing) {
    AttachAspi();
    table.m_bNT = 1;
    EXPECT_EQ(fgLoadAspi(table, Owner()), 1);
    EXPECT_EQ(table.m_hAspiDll, nullptr);
    EXPECT_EQ(hostseam::LoadedLibraries(), 0);
    EXPECT_TRUE(hostseam::MessageBoxes().empty());
    EXPECT_EQ(fgUnloadAspi(table), 1);
}

}  // namespace
}  // namespace disctest
