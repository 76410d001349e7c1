// Discovery against the emulated drive's in-process face: the same drives
// found on every path, and the records address them for the transport.
#include <gtest/gtest.h>

#include "emulator/inprocess/aspi_face.h"
#include "emulator/inprocess/inprocess_adapter.h"
#include "platform/host_seam.h"
#include "platform/platform.h"
#include "scsi/aspi_layout.h"
#include "scsi/drive_discovery.h"
#include "scsi/scsi_transport.h"

namespace {

enum class Path { kAspi, kNt4, kNt5 };

class EmulatedDiscoveryTest : public ::testing::TestWithParam<Path> {
protected:
    EmulatedDiscoveryTest() : adapter(AdapterConfig()), writer(Drive(1, 0x05, "WRITER")), other(Drive(3, 0x25, "OTHER")) {}

    static emu::AdapterConfig AdapterConfig() {
        emu::AdapterConfig a;
        a.byPathId = 2;
        a.byMaxTargets = 4;
        a.wAlignMask = 0x0001;
        a.dwMaxTransfer = 0x20000;
        return a;
    }
    static emu::DriveConfig Drive(BYTE byTarget, BYTE byPeripheral, const char* pszProduct) {
        emu::DriveConfig d;
        d.byTargetId = byTarget;
        d.byPeripheral = byPeripheral;
        d.strVendor = "EMU";
        d.strProduct = pszProduct;
        d.strRevision = "1.05";
        return d;
    }

    void SetUp() override {
        hostseam::Reset();
        adapter.AddDrive(&writer);
        adapter.AddDrive(&other);
        switch (GetParam()) {
        case Path::kAspi: emu::InstallAspi({&adapter}); break;
        case Path::kNt4:
        case Path::kNt5:
            adapter.AttachLetter('e', &writer);
            adapter.AttachLetter('f', &other);
            break;
        }
        table.m_bNT = GetParam() != Path::kAspi;
        table.m_bNT4 = GetParam() == Path::kNt4;
        ASSERT_EQ(fgLoadAspi(table, nullptr), 1);
        ScanDrives(table);
    }
    void TearDown() override {
        fgUnloadAspi(table);
        EXPECT_EQ(hostseam::OpenDeviceHandles(), 0);
        for (int i = 0; i < table.m_nDrives; ++i) PlatHeapFree(table.m_pDrives[i]);
        emu::UninstallAspi();
        hostseam::Reset();
    }

    emu::CInProcessAdapter adapter;
    emu::CEmulatedDrive writer, other;
    DRIVE_TABLE table{};
};

TEST_P(EmulatedDiscoveryTest, FindsTheCdDriveAndItsRecordReachesIt) {
    // NT 4 lists the adapter's units behind each letter: f: leads to the
    // writer too, since both letters share the adapter.
    int nExpected = GetParam() == Path::kNt4 ? 2 : 1;
    ASSERT_EQ(table.m_nDrives, nExpected);
    for (int i = 0; i < table.m_nDrives; ++i) {
        const DRIVE_INFO& d = *table.m_pDrives[i];
        EXPECT_STREQ(d.szModel, "EMU     WRITER          ");
        EXPECT_STREQ(d.szRevision, "1.05");
        switch (GetParam()) {
        case Path::kAspi:
            EXPECT_EQ(d.byHostId, 0);
            EXPECT_EQ(d.byTargetId, 1);
            EXPECT_EQ(d.dwAlignMask, 1u);
            EXPECT_EQ(d.dwMaxTransfer, 0x20000u);
            break;
        case Path::kNt4:
            EXPECT_EQ(d.byHostId, 2);
            EXPECT_EQ(d.byTargetId, 1);
            EXPECT_EQ(d.dwAlignMask, 1u);
            EXPECT_EQ(d.dwMaxTransfer, 0x20000u);
            break;
        case Path::kNt5:
            EXPECT_EQ(d.byHostId, 0);
            EXPECT_EQ(d.byTargetId, 0);
            EXPECT_EQ(d.dwAlignMask, 2047u);
            break;
        }
    }

    // A TEST UNIT READY through the record lands on the writer.
    size_t nBefore = writer.Commands().size();
    BYTE cdb[12] = {};
    BYTE sense[32] = {};
    EXPECT_EQ(fgExecScsiCmd(table.m_pDrives[0], SRB_DIR_IN, 0, nullptr, sizeof(cdb), cdb, table.m_bNT, sense), 1);
    ASSERT_EQ(writer.Commands().size(), nBefore + 1);
    EXPECT_EQ(writer.Commands().back().abyCdb[0], 0x00);
}

INSTANTIATE_TEST_SUITE_P(Paths, EmulatedDiscoveryTest, ::testing::Values(Path::kAspi, Path::kNt4, Path::kNt5),
                         [](const auto& info) {
                             return std::string(info.param == Path::kAspi ? "Aspi"
                                                : info.param == Path::kNt4 ? "Nt4"
                                                                           : "Nt5");
                         });

}  // namespace
