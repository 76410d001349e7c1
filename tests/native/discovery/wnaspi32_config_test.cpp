// WNASPI32.DLL's configuration file and its ASPI request dispatcher, tested
// natively: what the file accepts and refuses, and what the request blocks
// come back with.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "emulator/wnaspi32/aspi_config.h"
#include "emulator/wnaspi32/aspi_layer.h"
#include "emulator/wnaspi32/default_drive.h"
#include "scsi/scsi_transport.h"

namespace emu {
namespace {

const char kBase[] = "/dll/";

TEST(AspiConfigTest, DefaultIsTheDemoDrive) {
    AspiConfig config = DefaultAspiConfig(kBase);
    ASSERT_EQ(config.adapters.size(), 1u);
    ASSERT_EQ(config.drives.size(), 1u);
    const DriveConfig& d = config.drives[0];
    EXPECT_EQ(d.strVendor + d.strProduct, kDefaultModelText);
    EXPECT_EQ(d.strRevision, kDefaultRevision);
    EXPECT_EQ(d.strRevisionAfterCommit, kDefaultRevisionAfterCommit);
    EXPECT_EQ(d.byPeripheral, 0x05);
    EXPECT_EQ(d.strReportPath, "/dll/wnaspi32-report-0-0.txt");
}

TEST(AspiConfigTest, ReadsEveryKey) {
    const char* pszText =
        "# comment\n"
        "; another\n"
        "[adapter 2]\r\n"
        "max_targets = 0\n"
        "alignment_mask = 0x0FFF\n"
        "max_transfer = 131072\n"
        "[drive]\n"
        "adapter = 2\n"
        "target = 5\n"
        "peripheral = 0x25\n"
        "vendor = \"AB      \"\n"
        "product = WRITER\n"
        "revision = 1.0\n"
        "revision_after_commit = 2.0\n"
        "buffer_size = 0x10020\n"
        "not_ready_ms = 1500\n"
        "completion = Immediate\n"
        "pending_delay_ms = 7\n"
        "report = C:\\out\\r.txt\n"
        "fault = block 3 attempt 2 count 4 sense 03/0C/01\n"
        "fault = commit count every\n"
        "fault = inquiry\n"
        "fault = block block 9\n"
        "[drive]\n"
        "target = 1\n";
    AspiConfig config;
    std::vector<std::string> errors;
    ASSERT_TRUE(ParseAspiConfig(pszText, kBase, config, errors)) << errors[0];

    ASSERT_EQ(config.adapters.size(), 3u);  // up to the highest adapter named
    EXPECT_EQ(config.adapters[2].byMaxTargets, 0);
    EXPECT_EQ(config.adapters[2].wAlignMask, 0x0FFF);
    EXPECT_EQ(config.adapters[2].dwMaxTransfer, 131072u);
    EXPECT_EQ(config.adapters[0].byMaxTargets, AspiAdapterConfig().byMaxTargets);

    ASSERT_EQ(config.drives.size(), 2u);
    const DriveConfig& d = config.drives[0];
    EXPECT_EQ(d.byHostId, 2);
    EXPECT_EQ(d.byTargetId, 5);
    EXPECT_EQ(d.byPeripheral, 0x25);
    EXPECT_EQ(d.strVendor, "AB      ");
    EXPECT_EQ(d.strProduct, "WRITER");
    EXPECT_EQ(d.strRevision, "1.0");
    EXPECT_EQ(d.strRevisionAfterCommit, "2.0");
    EXPECT_EQ(d.dwBufferSize, 0x10020u);
    EXPECT_EQ(d.dwNotReadyMs, 1500u);
    EXPECT_EQ(d.eAspiCompletion, AspiCompletion::kImmediate);
    EXPECT_EQ(d.dwAspiPendingDelayMs, 7u);
    EXPECT_EQ(d.strReportPath, "C:\\out\\r.txt");
    ASSERT_EQ(d.faults.size(), 4u);
    EXPECT_EQ(d.faults[0].ePoint, FaultPoint::kBlock);
    EXPECT_EQ(d.faults[0].dwBlock, 3u);
    EXPECT_EQ(d.faults[0].dwFirstAttempt, 2u);
    EXPECT_EQ(d.faults[0].dwAttempts, 4u);
    EXPECT_EQ(d.faults[0].bySenseKey, 0x03);
    EXPECT_EQ(d.faults[0].byAsc, 0x0C);
    EXPECT_EQ(d.faults[0].byAscq, 0x01);
    EXPECT_EQ(d.faults[1].ePoint, FaultPoint::kCommit);
    EXPECT_EQ(d.faults[1].dwAttempts, Fault::kEveryAttempt);
    EXPECT_EQ(d.faults[2].ePoint, FaultPoint::kInquiry);
    EXPECT_EQ(d.faults[3].ePoint, FaultPoint::kBlock);  // the first version's form
    EXPECT_EQ(d.faults[3].dwBlock, 9u);

    // A drive that names nothing else is the demo drive, reported beside the DLL.
    const DriveConfig& e = config.drives[1];
    EXPECT_EQ(e.strVendor + e.strProduct, kDefaultModelText);
    EXPECT_EQ(e.eAspiCompletion, AspiCompletion::kPending);
    EXPECT_EQ(e.strReportPath, "/dll/wnaspi32-report-0-1.txt");
}

// The example in README.md is a working file.
TEST(AspiConfigTest, ReadmeExampleParses) {
    std::ifstream in(KESTREL_WNASPI32_README);
    ASSERT_TRUE(in.good());
    std::string strLine, strExample;
    bool bIn = false;
    while (std::getline(in, strLine)) {
        if (strLine == "    # WNASPI32.cfg") bIn = true;
        else if (bIn && !strLine.empty() && strLine.compare(0, 4, "    ") != 0) break;
        if (bIn) strExample += (strLine.empty() ? strLine : strLine.substr(4)) + "\n";
    }
    AspiConfig config;
    std::vector<std::string> errors;
    ASSERT_TRUE(ParseAspiConfig(strExample, kBase, config, errors)) << errors[0];
    ASSERT_EQ(config.drives.size(), 2u);
    EXPECT_EQ(config.drives[0].faults.size(), 1u);
    EXPECT_EQ(config.drives[0].strReportPath, "/dll/demo-drive.txt");
    EXPECT_EQ(config.drives[1].strRevisionAfterCommit, "");
    EXPECT_EQ(config.adapters.size(), 2u);
    EXPECT_EQ(config.adapters[1].byMaxTargets, 0);
}

struct BadConfig {
    const char* pszText;
    const char* pszError;
};

TEST(AspiConfigTest, RefusesWhatItCannotServeExactly) {
    const BadConfig kCases[] = {
        {"vendor = X\n", "line 1: 'vendor' outside a [drive] or [adapter N] section"},
        {"[drive]\nvendor = NINECHARS\n", "line 2: vendor is longer than 8"},
        {"[drive]\nproduct = SEVENTEEN-CHARS-X\n", "line 2: product is longer than 16"},
        {"[drive]\nrevision = 12345\n", "line 2: revision is longer than 4"},
        {"[drive]\nvendr = X\n", "line 2: bad drive setting 'vendr = X'"},
        {"[drive]\ntarget = 16\n", "line 2: bad drive setting 'target = 16'"},
        {"[drive]\nadapter = -1\n", "line 2: bad drive setting 'adapter = -1'"},
        {"[drive]\nperipheral = 0x100\n", "line 2: bad drive setting 'peripheral = 0x100'"},
        {"[drive]\ncompletion = later\n", "line 2: bad drive setting 'completion = later'"},
        {"[drive]\nnot_ready_ms = 99999999999\n", "line 2: bad drive setting 'not_ready_ms = 99999999999'"},
        {"[drive]\nfault = block\n", "line 2: a block fault needs the block number: 'block N ...'"},
        {"[drive]\nfault = block attempt 2\n", "line 2: a block fault needs the block number: 'block N ...'"},
        {"[drive]\nfault = header sense 3/zz/0\n", "line 2: bad fault option 'sense 3/zz/0'"},
        {"[drive]\nfault = header attempt\n", "line 2: fault option 'attempt' needs a value"},
        {"[drive]\nfault = everything\n", "line 2: fault point must be block, header, commit or inquiry"},
        {"[adapter 8]\n", "line 1: unknown section '[adapter 8]' (expected [drive] or [adapter N], N below 8)"},
        {"[adapter 0]\nmax_targets = 17\n", "line 2: bad adapter setting 'max_targets = 17'"},
        {"[drive\n", "line 1: unclosed section header"},
        {"[drive]\njust words\n", "line 2: expected 'key = value' or a [section]"},
        {"[drive]\n[drive]\n", "two drives at adapter 0 target 0"},
    };
    for (const BadConfig& c : kCases) {
        SCOPED_TRACE(c.pszText);
        AspiConfig config;
        std::vector<std::string> errors;
        EXPECT_FALSE(ParseAspiConfig(c.pszText, kBase, config, errors));
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors[0], c.pszError);
    }
}

// ---- the dispatcher --------------------------------------------------------

class AspiLayerTest : public ::testing::Test {
protected:
    AspiLayerTest() {
        AspiConfig config;
        std::vector<std::string> errors;
        EXPECT_TRUE(ParseAspiConfig("[adapter 0]\nmax_targets = 4\nalignment_mask = 0x0201\nmax_transfer = 0x01020304\n"
                                    "[drive]\ntarget = 2\nvendor = V\nproduct = P\nrevision = R\n"
                                    "fault = inquiry sense 05/24/00\n",
                                    "", config, errors));
        config.drives[0].strReportPath.clear();  // no files from these tests
        layer.reset(new CAspiLayer(config));
    }
    SRB_ExecSCSICmd Inquiry(BYTE byTarget, BYTE* pData, DWORD cb) {
        SRB_ExecSCSICmd srb;
        std::memset(&srb, 0, sizeof(srb));
        srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
        srb.SRB_Target = byTarget;
        srb.SRB_Flags = SRB_DIR_IN | SRB_EVENT_NOTIFY;
        srb.SRB_BufLen = cb;
        srb.SRB_BufPointer = pData;
        srb.SRB_SenseLen = 14;
        srb.SRB_CDBLen = 12;
        srb.CDBByte[0] = 0x12;
        srb.CDBByte[4] = static_cast<BYTE>(cb);
        return srb;
    }
    std::unique_ptr<CAspiLayer> layer;
};

TEST_F(AspiLayerTest, AdapterInquiryReportsTheConfiguredLimits) {
    EXPECT_EQ(layer->SupportInfo(), 0x0101u);
    SRB_HAInquiry ha;
    std::memset(&ha, 0, sizeof(ha));
    EXPECT_EQ(layer->HostAdapterInquiry(&ha), SS_COMP);
    EXPECT_EQ(ha.HA_Count, 1);
    EXPECT_EQ(std::vector<BYTE>(ha.HA_Unique, ha.HA_Unique + 8), (std::vector<BYTE>{0x01, 0x02, 0, 4, 4, 3, 2, 1}));
    ha.SRB_HaId = 1;
    EXPECT_EQ(layer->HostAdapterInquiry(&ha), SS_INVALID_HA);

    EXPECT_EQ(CAspiLayer(AspiConfig()).SupportInfo(), static_cast<DWORD>(kSsNoAdapters) << 8);
}

TEST_F(AspiLayerTest, DeviceTypeOnlyWhereADriveIs) {
    SRB_GDEVBlock dev;
    std::memset(&dev, 0, sizeof(dev));
    dev.SRB_Target = 2;
    EXPECT_EQ(layer->GetDeviceType(&dev), SS_COMP);
    EXPECT_EQ(dev.SRB_DeviceType, 5);
    dev.SRB_Lun = 1;
    EXPECT_EQ(layer->GetDeviceType(&dev), SS_NO_DEVICE);
    dev.SRB_Lun = 0;
    dev.SRB_Target = 1;
    EXPECT_EQ(layer->GetDeviceType(&dev), SS_NO_DEVICE);
    dev.SRB_HaId = 3;
    EXPECT_EQ(layer->GetDeviceType(&dev), SS_INVALID_HA);
}

TEST_F(AspiLayerTest, ExecutionFillsDataOrSenseAndRefusesMalformedBlocks) {
    BYTE data[36] = {};
    SRB_ExecSCSICmd srb = Inquiry(2, data, sizeof(data));
    CEmulatedDrive* pDrive = layer->Target(&srb);
    ASSERT_NE(pDrive, nullptr);
    // The configured fault fails the first INQUIRY with its sense.
    EXPECT_EQ(CAspiLayer::Execute(pDrive, &srb), SS_ERR);
    EXPECT_EQ(srb.SRB_TargStat, kTargetStatusCheckCondition);
    EXPECT_EQ(srb.SenseArea[2], 0x05);
    EXPECT_EQ(srb.SenseArea[12], 0x24);
    srb = Inquiry(2, data, sizeof(data));
    EXPECT_EQ(CAspiLayer::Execute(pDrive, &srb), SS_COMP);
    EXPECT_EQ(srb.SRB_TargStat, 0);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data + 8), 28), "V       P               R   ");

    srb = Inquiry(1, data, sizeof(data));
    EXPECT_EQ(layer->Target(&srb), nullptr);
    EXPECT_EQ(srb.SRB_Status, SS_NO_DEVICE);
    srb = Inquiry(2, nullptr, sizeof(data));
    EXPECT_EQ(layer->Target(&srb), nullptr);
    EXPECT_EQ(srb.SRB_Status, kSsInvalidSrb);
    srb = Inquiry(2, data, sizeof(data));
    srb.SRB_CDBLen = 17;
    EXPECT_EQ(layer->Target(&srb), nullptr);
    EXPECT_EQ(srb.SRB_Status, kSsInvalidSrb);
}

}  // namespace
}  // namespace emu
