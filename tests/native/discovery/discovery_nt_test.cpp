// The NT family's paths: the adapter inquiry list (NT 4) and an INQUIRY of
// our own to every letter (NT 5); which letters they try and which handles
// they keep.
#include <algorithm>
#include <cstring>
#include <memory>

#include "discovery_fakes.h"
#include "scsi/aspi_layout.h"

namespace disctest {
namespace {

class NtPathTest : public DiscoveryTest {
protected:
    FakeLetterDevice& Letter(char ch) {
        devices.push_back(std::make_unique<FakeLetterDevice>());
        hostseam::AttachDevice(ch, devices.back().get());
        return *devices.back();
    }
    std::vector<std::unique_ptr<FakeLetterDevice>> devices;
};

std::string Letters(char chFirst, char chLast) {
    std::string s;
    for (char c = chFirst; c <= chLast; ++c) s += c;
    return s;
}

std::string Attempts() {
    return std::string(hostseam::OpenAttempts().begin(), hostseam::OpenAttempts().end());
}

TEST_F(NtPathTest, Nt4TriesCThroughYAndNeverZ) {
    Letter('z').inquiryList = InquiryList({{{0, 0, CdUnit(0)}}});
    Scan(1, 1);
    EXPECT_EQ(Attempts(), Letters('c', 'y'));
    EXPECT_EQ(table.m_nDrives, 0);
}

TEST_F(NtPathTest, Nt5TriesCThroughZ) {
    Letter('z').inquiry = CdUnit(0);
    Scan(1, 0);
    EXPECT_EQ(Attempts(), Letters('c', 'z'));
    ASSERT_EQ(table.m_nDrives, 1);
    EXPECT_EQ(table.m_pDrives[0]->szModel, std::string("VENDOR0 PRODUCT-0       "));
}

TEST_F(NtPathTest, Nt4RecordsEveryListedDriveOncePerLetterInLetterThenListOrder) {
    // One adapter with two CD drives (and a disk) on two buses, reachable as
    // d: and f:; c: is a disk whose list has no CD drive.
    std::vector<std::vector<ListEntry>> buses = {
        {{0, 0, Inquiry(0x00, "DISK", "SYSTEM", "1")}, {0, 3, CdUnit(1)}},
        {},
        {{2, 1, CdUnit(2)}},
    };
    Letter('c').inquiryList = InquiryList({{{0, 0, Inquiry(0x00, "DISK", "SYSTEM", "1")}}});
    FakeLetterDevice& d = Letter('d');
    d.inquiryList = InquiryList(buses);
    d.dwCapsAlign = 3;
    d.dwCapsMaxTransfer = 0x10000;
    FakeLetterDevice& f = Letter('f');
    f.inquiryList = InquiryList(buses);
    f.dwCapsAlign = 1;
    f.dwCapsMaxTransfer = 0x20000;
    Scan(1, 1);

    ASSERT_EQ(table.m_nDrives, 4);
    EXPECT_EQ(Models(), (std::vector<std::string>{"VENDOR1 PRODUCT-1       ", "VENDOR2 PRODUCT-2       ",
                                                  "VENDOR1 PRODUCT-1       ", "VENDOR2 PRODUCT-2       "}));
    const DRIVE_INFO* r[4] = {table.m_pDrives[0], table.m_pDrives[1], table.m_pDrives[2], table.m_pDrives[3]};
    EXPECT_EQ(r[0]->hDevice, r[1]->hDevice);
    EXPECT_EQ(r[2]->hDevice, r[3]->hDevice);
    EXPECT_NE(r[0]->hDevice, r[2]->hDevice);
    EXPECT_EQ(r[0]->byHostId, 0);
    EXPECT_EQ(r[0]->byTargetId, 3);
    EXPECT_EQ(r[1]->byHostId, 2);
    EXPECT_EQ(r[1]->byTargetId, 1);
    EXPECT_EQ(r[0]->dwAlignMask, 3u);
    EXPECT_EQ(r[0]->dwMaxTransfer, 0x10000u);
    EXPECT_EQ(r[3]->dwAlignMask, 1u);
    EXPECT_EQ(r[3]->dwMaxTransfer, 0x20000u);
    for (const DRIVE_INFO* p : r)
        EXPECT_TRUE(std::all_of(std::begin(p->abyReserved), std::end(p->abyReserved), [](BYTE b) { return b == 0; }));

    // c:'s handle found nothing and is closed at once; d: and f: stay open
    // for the records until teardown, which closes each once.
    EXPECT_EQ(hostseam::OpenDeviceHandles(), 2);
    EXPECT_EQ(fgUnloadAspi(table), 1);
    EXPECT_EQ(hostseam::OpenDeviceHandles(), 0);
    for (const DRIVE_INFO* p : r) EXPECT_EQ(p->hDevice, nullptr);
}

TEST_F(NtPathTest, Nt4FailedCapabilitiesLeaveMaskAndMaxTransferZero) {
    FakeLetterDevice& d = Letter('d');
    d.inquiryList = InquiryList({{{0, 0, CdUnit(0)}}});
    d.bCapabilitiesOk = false;
    d.dwCapsAlign = 3;
    d.dwCapsMaxTransfer = 0x10000;
    Scan(1, 1);
    ASSERT_EQ(table.m_nDrives, 1);
    EXPECT_EQ(table.m_pDrives[0]->dwAlignMask, 0u);
    EXPECT_EQ(table.m_pDrives[0]->dwMaxTransfer, 0u);
    EXPECT_EQ(d.codes, (std::vector<DWORD>{IOCTL_SCSI_GET_INQUIRY_DATA_CODE, IOCTL_SCSI_GET_CAPABILITIES_CODE}));
}

// Offsets written into the list at byte positions, for malformed lists.
void Poke(std::vector<BYTE>& list, size_t at, ULONG v) { std::memcpy(&list[at], &v, sizeof(v)); }

struct MalformedList {
    const char* pszName;
    void (*pfnBreak)(std::vector<BYTE>& list);
    int nRecords;
};

class MalformedListTest : public NtPathTest, public ::testing::WithParamInterface<MalformedList> {};

// A driver's list that points outside the buffer or round in a circle ends
// the walk there; the drives listed before it are still recorded. The
// sanitizer build checks that no byte outside the buffer is read.
TEST_P(MalformedListTest, WalkStaysInsideTheBuffer) {
    std::vector<BYTE> list = InquiryList({{{0, 0, CdUnit(0)}, {0, 1, Inquiry(0x00, "DISK", "X", "1")}}});
    GetParam().pfnBreak(list);
    Letter('d').inquiryList = list;
    Scan(1, 1);
    EXPECT_EQ(table.m_nDrives, GetParam().nRecords);
    EXPECT_EQ(hostseam::OpenDeviceHandles(), GetParam().nRecords ? 1 : 0);
}

// Layout of the one-bus list above: bus data at 4 (its offset field at 8),
// first entry at 12, the second (the disk) at 12 + 112 = 124; an entry's
// next offset lies 8 bytes in.
INSTANTIATE_TEST_SUITE_P(
    Lists, MalformedListTest,
    ::testing::Values(
        MalformedList{"FirstOffsetPastTheEnd", [](std::vector<BYTE>& l) { Poke(l, 8, 0xFFFFFFF0u); }, 0},
        MalformedList{"FirstEntryCutByTheEnd", [](std::vector<BYTE>& l) { Poke(l, 8, 2048 - 20); }, 0},
        MalformedList{"NextOffsetPastTheEnd", [](std::vector<BYTE>& l) { Poke(l, 12 + 8, 2047); }, 1},
        MalformedList{"NextPointsBackToItself", [](std::vector<BYTE>& l) { Poke(l, 124 + 8, 124); }, 1},
        MalformedList{"EveryBusClaimed",
                      [](std::vector<BYTE>& l) {
                          l[0] = 255;  // bus table runs past the buffer's end
                          for (size_t at = 8; at + 4 <= l.size(); at += 8) Poke(l, at, 2040);
                      },
                      0}),
    [](const auto& info) { return std::string(info.param.pszName); });

TEST_F(NtPathTest, Nt5SendsItsOwnInquiryAndRecordsTheLetterAsHostAndTargetZero) {
    FakeLetterDevice& e = Letter('e');
    e.inquiry = CdUnit(5);
    Scan(1, 0);

    ASSERT_EQ(table.m_nDrives, 1);
    const SCSI_PASS_THROUGH_DIRECT& sptd = e.lastBlock.sptd;
    EXPECT_EQ(e.codes, std::vector<DWORD>{IOCTL_SCSI_PASS_THROUGH_DIRECT_CODE});
    EXPECT_EQ(e.cbLastIn, sizeof(SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER));
    EXPECT_EQ(e.cbLastOut, sizeof(SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER));
    EXPECT_EQ(sptd.Length, sizeof(SCSI_PASS_THROUGH_DIRECT));
    EXPECT_EQ(sptd.PathId, 0);
    EXPECT_EQ(sptd.TargetId, 0);
    EXPECT_EQ(sptd.Lun, 0);
    EXPECT_EQ(sptd.CdbLength, 6);
    EXPECT_EQ(sptd.SenseInfoLength, 24);
    EXPECT_EQ(sptd.DataIn, SCSI_IOCTL_DATA_IN);
    EXPECT_EQ(sptd.DataTransferLength, 2048u);
    EXPECT_EQ(sptd.TimeOutValue, 2u);
    EXPECT_EQ(sptd.SenseInfoOffset, offsetof(SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER, ucSenseBuf));
    EXPECT_EQ(std::vector<BYTE>(sptd.Cdb, sptd.Cdb + 16),
              (std::vector<BYTE>{0x12, 0, 0, 0, 0x7F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(e.bBufferAllFfOnArrival);

    const DRIVE_INFO& d = *table.m_pDrives[0];
    EXPECT_NE(d.hDevice, nullptr);
    EXPECT_EQ(d.byHostId, 0);
    EXPECT_EQ(d.byTargetId, 0);
    EXPECT_EQ(d.dwAlignMask, 2047u);
    EXPECT_EQ(d.dwMaxTransfer, 0u);
    EXPECT_TRUE(std::all_of(std::begin(d.abyReserved), std::end(d.abyReserved), [](BYTE b) { return b == 0; }));
    EXPECT_STREQ(d.szRevision, "R5  ");
}

TEST_F(NtPathTest, Nt5ClosesLettersThatYieldNoDrive) {
    Letter('c').inquiry = Inquiry(0x00, "DISK", "SYSTEM", "1");  // a disk
    Letter('d');                                                   // request fails
    FakeLetterDevice& e = Letter('e');
    e.inquiry = CdUnit(0);
    e.bAnswerNoData = true;  // "succeeds" without data: the 0xFF fill fails the type test
    Letter('g').inquiry = CdUnit(7);
    Scan(1, 0);

    ASSERT_EQ(table.m_nDrives, 1);
    EXPECT_EQ(table.m_pDrives[0]->szModel, std::string("VENDOR7 PRODUCT-7       "));
    EXPECT_EQ(hostseam::OpenDeviceHandles(), 1);
    fgUnloadAspi(table);
    EXPECT_EQ(hostseam::OpenDeviceHandles(), 0);
}

}  // namespace
}  // namespace disctest
