// What every path must agree on: the whole-byte type test, the identity
// texts, and the table's capacity.
#include <memory>

#include "discovery_fakes.h"

namespace disctest {
namespace {

enum class Path { kAspi, kNt4, kNt5 };

const char* PathName(Path e) {
    switch (e) {
    case Path::kAspi: return "Aspi";
    case Path::kNt4: return "Nt4";
    default: return "Nt5";
    }
}

// Puts the units where the path will find them, in this order: one ASPI
// adapter's targets, one letter's adapter list, or one letter each.
class EveryPathTest : public DiscoveryTest, public ::testing::WithParamInterface<Path> {
protected:
    void Present(const std::vector<std::vector<BYTE>>& units) {
        switch (GetParam()) {
        case Path::kAspi: {
            FakeAdapter a;
            a.abyUnique[3] = static_cast<BYTE>(units.size());
            for (size_t i = 0; i < units.size(); ++i) a.units[static_cast<int>(i)] = units[i];
            Aspi().adapters = {a};
            AttachAspi();
            break;
        }
        case Path::kNt4: {
            std::vector<ListEntry> bus;
            for (size_t i = 0; i < units.size(); ++i) bus.push_back({0, static_cast<BYTE>(i), units[i]});
            devices.push_back(std::make_unique<FakeLetterDevice>());
            // Trimmed to the 36 bytes discovery reads, so nine fit the buffer.
            for (ListEntry& e : bus) e.inquiry.resize(36);
            devices.back()->inquiryList = InquiryList({bus});
            hostseam::AttachDevice('d', devices.back().get());
            break;
        }
        case Path::kNt5:
            for (size_t i = 0; i < units.size(); ++i) {
                devices.push_back(std::make_unique<FakeLetterDevice>());
                devices.back()->inquiry = units[i];
                hostseam::AttachDevice(static_cast<char>('d' + i), devices.back().get());
            }
            break;
        }
    }
    void ScanPath() {
        Path e = GetParam();
        Scan(e == Path::kAspi ? 0 : 1, e == Path::kNt4 ? 1 : 0);
    }
    std::vector<std::unique_ptr<FakeLetterDevice>> devices;
};

TEST_P(EveryPathTest, OnlyPeripheralByteFiveIsACdDrive) {
    Present({Inquiry(0x25, "QUAL", "NONZERO", "1"), Inquiry(0x05, "PLAIN", "CD", "2"),
             Inquiry(0x65, "QUAL", "THREE", "3"), Inquiry(0x04, "WORM", "DRIVE", "4")});
    ScanPath();
    EXPECT_EQ(Models(), std::vector<std::string>{"PLAIN   CD              "});
}

struct IdentityCase {
    const char* pszName;
    std::string strVendor, strProduct, strRevision;
    const char* pszModel;
    const char* pszRevision;
};

const IdentityCase kIdentityCases[] = {
    {"VendorBlanksKept", "ABC", "DRIVE", "1.0", "ABC     DRIVE           ", "1.0 "},
    {"ZeroEndsModel", "ABC", std::string("DR\0VE", 5), "1.0", "ABC     DR", "1.0 "},
    {"ZeroInVendor", std::string("AB\0", 3), "DRIVE", "1.0", "AB", "1.0 "},
    {"ZeroEndsRevision", "ABC", "DRIVE", std::string("1\0", 2), "ABC     DRIVE           ", "1"},
    {"FullWidth", "VVVVVVVV", "PPPPPPPPPPPPPPPP", "RRRR", "VVVVVVVVPPPPPPPPPPPPPPPP", "RRRR"},
};

TEST_P(EveryPathTest, IdentityTextsCopyTheInquiryFieldsUpToAZeroByte) {
    for (const IdentityCase& c : kIdentityCases) {
        SCOPED_TRACE(c.pszName);
        TearDown();
        SetUp();
        devices.clear();
        Present({Inquiry(0x05, c.strVendor, c.strProduct, c.strRevision)});
        ScanPath();
        ASSERT_EQ(table.m_nDrives, 1);
        EXPECT_STREQ(table.m_pDrives[0]->szModel, c.pszModel);
        EXPECT_STREQ(table.m_pDrives[0]->szRevision, c.pszRevision);
    }
}

TEST_P(EveryPathTest, NineDrivesGiveEightRecords) {
    std::vector<std::vector<BYTE>> units;
    for (int i = 0; i < 9; ++i) units.push_back(CdUnit(i));
    Present(units);
    ScanPath();
    ASSERT_EQ(table.m_nDrives, 8);
    EXPECT_EQ(Models().back(), "VENDOR7 PRODUCT-7       ");
    // The ninth drive's letter is not even opened on NT 5; nothing is left
    // open after teardown on any path.
    EXPECT_EQ(hostseam::OpenDeviceHandles(), GetParam() == Path::kNt5 ? 8 : GetParam() == Path::kNt4 ? 1 : 0);
    fgUnloadAspi(table);
    EXPECT_EQ(hostseam::OpenDeviceHandles(), 0);
    EXPECT_EQ(hostseam::LoadedLibraries(), 0);
}

INSTANTIATE_TEST_SUITE_P(Paths, EveryPathTest, ::testing::Values(Path::kAspi, Path::kNt4, Path::kNt5),
                         [](const auto& info) { return std::string(PathName(info.param)); });

}  // namespace
}  // namespace disctest
