// The 9x family's path: adapters, targets and INQUIRY through the ASPI layer.
#include <algorithm>

#include "discovery_fakes.h"
#include "scsi/aspi_layout.h"
#include "scsi/scsi_transport.h"

namespace disctest {
namespace {

typedef std::vector<std::pair<int, int>> Probes;

FakeAdapter Adapter(BYTE byMaxTargets, std::map<int, std::vector<BYTE>> units = {}) {
    FakeAdapter a;
    a.abyUnique[3] = byMaxTargets;
    a.units = std::move(units);
    return a;
}

class AspiPathTest : public DiscoveryTest {
protected:
    void SetUp() override {
        DiscoveryTest::SetUp();
        AttachAspi();
    }
};

TEST_F(AspiPathTest, TargetCountZeroProbesExactlyTwoTargets) {
    Aspi().adapters = {Adapter(0), Adapter(3)};
    Scan(0, 0);
    EXPECT_EQ(Aspi().Probes(), (Probes{{0, 0}, {0, 1}, {1, 0}, {1, 1}, {1, 2}}));
    EXPECT_EQ(table.m_nDrives, 0);
}

TEST_F(AspiPathTest, RecordCarriesTheAdaptersLimitsAndReservedFill) {
    FakeAdapter a = Adapter(2, {{1, Inquiry(0x05, "ACME", "FAST-DRIVE", "1.02")}});
    // 16-bit alignment mask 0x0FFF: only its low byte is taken.
    a.abyUnique[0] = 0xFF;
    a.abyUnique[1] = 0x0F;
    a.abyUnique[4] = 0x00;
    a.abyUnique[5] = 0x00;
    a.abyUnique[6] = 0x01;
    a.abyUnique[7] = 0x02;  // 0x02010000, least significant byte first
    Aspi().adapters = {Adapter(1), a};
    Scan(0, 0);

    ASSERT_EQ(table.m_nDrives, 1);
    const DRIVE_INFO& d = *table.m_pDrives[0];
    EXPECT_EQ(d.hDevice, nullptr);
    EXPECT_EQ(d.byHostId, 1);
    EXPECT_EQ(d.byTargetId, 1);
    EXPECT_EQ(d.dwMaxTransfer, 0x02010000u);
    EXPECT_EQ(d.dwAlignMask, 0xFFu);
    EXPECT_TRUE(std::all_of(std::begin(d.abyReserved), std::end(d.abyReserved), [](BYTE b) { return b == 0xFF; }));
    EXPECT_STREQ(d.szModel, "ACME    FAST-DRIVE      ");
    EXPECT_STREQ(d.szRevision, "1.02");
    EXPECT_TRUE(hostseam::OpenAttempts().empty());
}

TEST_F(AspiPathTest, InquiryGoesThroughTheAspiTransportWithThirtySixBytes) {
    Aspi().adapters = {Adapter(1, {{0, CdUnit(0)}})};
    Scan(0, 0);
    ASSERT_EQ(Aspi().Count(SC_EXEC_SCSI_CMD), 1);
    const AspiRequest& inq = *std::find_if(Aspi().requests.begin(), Aspi().requests.end(),
                                           [](const AspiRequest& r) { return r.byCmd == SC_EXEC_SCSI_CMD; });
    EXPECT_EQ(inq.cdb, (std::vector<BYTE>{0x12, 0, 0, 0, 0x24, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(inq.dwBufLen, 36u);
    EXPECT_TRUE(inq.byFlags & SRB_DIR_IN);
    EXPECT_EQ(table.m_nDrives, 1);
}

TEST_F(AspiPathTest, SkipsWhatDoesNotAnswerAsACdDrive) {
    FakeAdapter broken = Adapter(4);
    broken.byStatus = SS_INVALID_HA;
    FakeAdapter mixed = Adapter(4, {{0, Inquiry(0x00, "DISK", "HARD", "1")},  // not type 5: no INQUIRY
                                    {1, CdUnit(1)},                           // INQUIRY fails: record freed
                                    {2, CdUnit(2)}});
    mixed.inquiryFails[1] = true;
    Aspi().adapters = {broken, mixed};
    Scan(0, 0);

    EXPECT_EQ(Aspi().Probes(), (Probes{{1, 0}, {1, 1}, {1, 2}, {1, 3}}));
    EXPECT_EQ(Aspi().Count(SC_EXEC_SCSI_CMD), 2);
    ASSERT_EQ(table.m_nDrives, 1);
    EXPECT_EQ(table.m_pDrives[0]->byTargetId, 2);
    EXPECT_EQ(Models()[0], "VENDOR2 PRODUCT-2       ");
}

TEST_F(AspiPathTest, SupportInfoWithoutSuccessLeavesTheListEmpty) {
    Aspi().adapters = {Adapter(1, {{0, CdUnit(0)}})};
    Aspi().dwSupportStatus = SS_NO_DEVICE;  // "no adapters" as ASPI reports it
    Scan(0, 0);
    EXPECT_EQ(Aspi().nSupportCalls, 1);
    EXPECT_TRUE(Aspi().requests.empty());
    EXPECT_EQ(table.m_nDrives, 0);
    EXPECT_TRUE(hostseam::MessageBoxes().empty());
}

}  // namespace
}  // namespace disctest
