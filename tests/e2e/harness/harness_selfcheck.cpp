// The harness judges the program by expectations it works out itself; these
// checks pin those expectations to the cases the program's own rules fix,
// so a wrong expectation cannot pass a wrong program.
#include <gtest/gtest.h>

#include "demo/firmware_gen.h"
#include "emulator/wnaspi32/aspi_config.h"
#include "tests/e2e/harness/dialog_probe.h"
#include "tests/e2e/harness/emulator_setup.h"
#include "tests/e2e/harness/emulator_report.h"
#include "tests/e2e/harness/expected_trace.h"
#include "tests/e2e/harness/intel_hex_reader.h"
#include "tests/e2e/harness/scratch_folder.h"

namespace e2e {
namespace {

std::vector<std::string> Lines(const std::string& text) { return SplitLines(text); }

TEST(ExpectedTrace, BlockLinesAndRetriesAddUp) {
    // One block of 0xFF at offset 32 sums to F000; sent again after a failure
    // it adds once more (E000) and the running total follows (D000).
    std::vector<uint8_t> sent(4096, 0xFF);
    const uint8_t sense[3] = {0x03, 0x0C, 0x00};
    std::vector<std::string> failed = Lines(ExpectedSumTxt({"M(0)", 1, 2, "A049"}, sent, 0, sense));
    ASSERT_EQ(failed.size(), 1u + 6u + 1u + 1u);  // model, six attempts, error, and the empty tail after CR LF
    EXPECT_EQ(failed[0], "Model Name : M(0) HID : 1 TID : 2 Ver.: A049");
    EXPECT_EQ(failed[1], "Address=00000020,_wSecSum=F000,_total=F000");
    EXPECT_EQ(failed[2], "Address=00000020,_wSecSum=E000,_total=D000");
    EXPECT_EQ(failed[7], "Execute command error!!  3/ C/ 0");
    EXPECT_EQ(failed[8], "");

    std::vector<std::string> ok = Lines(ExpectedSumTxt({"M(0)", 0, 0, "A049"}, sent));
    std::vector<std::string> tail(ok.begin() + 2, ok.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"Finished : fgWriteOneFlashCmdData()", "sSendBuf[30]=F0   sSendBuf[31]=0",
                                              "Finished : fgWriteHeader()", "I will in fgTestUnitReadyComplete()",
                                              ""}));
}

TEST(ExpectedTrace, SizesTheProgramSends) {
    // Intel HEX: highest address + 1 with the low 16 bits cleared, plus 64 KB,
    // even when it already is a multiple of 64 KB.
    EXPECT_EQ(SentBytesForHex(std::vector<uint8_t>(0x2000, 1)).size(), 0x10000u);
    EXPECT_EQ(SentBytesForHex(std::vector<uint8_t>(0x10000, 1)).size(), 0x20000u);
    EXPECT_EQ(SentBytesForHex(std::vector<uint8_t>(0x30000 - 15, 1)).size(), 0x30000u);
    // Raw: rounded up to 4 KB, the rest of the last block 0xFF.
    std::vector<uint8_t> raw = SentBytesForRaw(std::vector<uint8_t>(1000000, 0));
    EXPECT_EQ(raw.size(), 245u * 4096u);
    EXPECT_EQ(raw[999999], 0);
    EXPECT_EQ(raw[1000000], 0xFF);
    EXPECT_EQ(raw.back(), 0xFF);
    // The raw check sum covers the whole 1 MB, 0xFF fill included.
    EXPECT_EQ(CheckSumForRaw(std::vector<uint8_t>(0x100000 - 1, 0)), 0xFF);
    EXPECT_EQ(CheckSumForHex(std::vector<uint8_t>(16, 0)), static_cast<uint16_t>(0xFF * (0x10000 - 16)));
}

TEST(IntelHex, ReadsWhatTheGeneratorWritesAndRefusesABadSum) {
    std::vector<uint8_t> body = demo::MakeFirmwareBody(0x1234, demo::kDriveModel, 0x100, 7), image;
    std::string text = demo::ToIntelHex(body);
    ASSERT_TRUE(ReadIntelHex(text, &image));
    EXPECT_TRUE(image == body);
    EXPECT_EQ(text.substr(0, 11), ":10000000" + text.substr(9, 2));  // 16 bytes at 0000, type 00
    text[text.find('\r') - 1] ^= 1;                                    // spoil the first record's checksum
    EXPECT_FALSE(ReadIntelHex(text, &image));
    EXPECT_TRUE(ReadIntelHex(":00000001FF", &image));                 // an end record alone: an empty image
    EXPECT_TRUE(image.empty());
    EXPECT_FALSE(ReadIntelHex(":0000000000", &image));               // no end record
}

TEST(DemoInputs, AllowListLineLayout) {
    EXPECT_EQ(demo::MakeIdString({{demo::kDriveModel, "A049.hex", "Y"}}),
              "\"KESTREL EMU-DVD 16X     \" \"A049.hex\" \"Y\"\r\n");
    EXPECT_EQ(std::string(demo::kDriveModel).size(), 24u);
}

TEST(EmulatorReport, ReadsTheDrivesReport) {
    const char* text =
        "KESTREL emulated drive report\n"
        "commands: 3\n"
        "1: cdb 12 00 00 00 24 00 | in 36 | GOOD\n"
        "2: cdb 3B 06 00 00 00 20 00 10 00 00 00 00 | out 4096 | CHECK CONDITION 03/0C/00\n"
        "3: cdb 3B 06 00 00 00 20 00 10 00 00 00 00 | out 4096 | GOOD\n"
        "image bytes: 4096\n"
        "blocks received: 2\n"
        "header sum: 0000 (no header received)\n"
        "drive sum: E000\n"
        "commit: none\n"
        "identity: KESTREL |EMU-DVD 16X     |A049\n";
    char szDir[MAX_PATH];
    GetTempPathA(sizeof szDir, szDir);
    std::string path = std::string(szDir) + "e2e_selfcheck_report.txt";
    ASSERT_TRUE(WriteFileText(path, text));
    EmulatorReport r;
    std::string error;
    ASSERT_TRUE(ReadEmulatorReport(path, &r, &error)) << error;
    EXPECT_EQ(r.commands.size(), 3u);
    EXPECT_EQ(r.CountCdb("3B 06"), 2u);
    EXPECT_EQ(r.CountCdb("12"), 1u);
    EXPECT_EQ(r.ulImageBytes, 4096u);
    EXPECT_EQ(r.ulBlocksReceived, 2u);
    EXPECT_FALSE(r.bHeaderReceived);
    EXPECT_EQ(r.uDriveSum, 0xE000u);
    EXPECT_EQ(r.strCommit, "none");
    EXPECT_EQ(r.strIdentity, "KESTREL |EMU-DVD 16X     |A049");
    ASSERT_TRUE(WriteFileText(path, "commands: 0\n"));
    EXPECT_FALSE(ReadEmulatorReport(path, &r, &error));  // summary lines missing
    DeleteFileA(path.c_str());
}

// The configuration the scenarios write is the drive they mean: the
// library's own parser reads it back field for field.
TEST(EmulatorSetup, TheLibraryReadsItAsMeant) {
    EmulatorSetup setup;
    setup.strProduct = "EMU-CDROM 52X";
    setup.uCommandMs = 40;
    BlockFault fault;
    fault.uBlock = 2;
    setup.faults.push_back(fault);
    emu::AspiConfig config;
    std::vector<std::string> errors;
    ASSERT_TRUE(emu::ParseAspiConfig(EmulatorConfigText(setup), "C:\\run\\", config, errors))
        << ::testing::PrintToString(errors);
    ASSERT_EQ(config.drives.size(), 1u);
    const emu::DriveConfig& d = config.drives[0];
    EXPECT_EQ(d.strVendor, "KESTREL ");
    EXPECT_EQ(d.strProduct, "EMU-CDROM 52X   ");
    EXPECT_EQ(d.strRevision, "A049");
    EXPECT_EQ(d.strRevisionAfterCommit, "A050");
    EXPECT_EQ(d.byHostId, 0);
    EXPECT_EQ(d.byTargetId, 0);
    EXPECT_EQ(d.eAspiCompletion, emu::AspiCompletion::kPending);
    EXPECT_EQ(d.dwAspiPendingDelayMs, 40u);
    EXPECT_EQ(d.strReportPath, "C:\\run\\emulator_report.txt");
    ASSERT_EQ(d.faults.size(), 1u);
    EXPECT_EQ(d.faults[0].ePoint, emu::FaultPoint::kBlock);
    EXPECT_EQ(d.faults[0].dwBlock, 2u);
    EXPECT_EQ(d.faults[0].dwFirstAttempt, 1u);
    EXPECT_EQ(d.faults[0].dwAttempts, 6u);
    EXPECT_EQ(d.faults[0].bySenseKey, 0x03);
    EXPECT_EQ(d.faults[0].byAsc, 0x0C);
    EXPECT_EQ(d.faults[0].byAscq, 0x00);
}

TEST(Probe, LogLinesAndPaths) {
    EXPECT_EQ(SplitLines(""), std::vector<std::string>());
    EXPECT_EQ(SplitLines("a\r\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(ToWindowsPath("/work/main/x"), "Z:\\work\\main\\x");
    EXPECT_EQ(ToWindowsPath("C:/x/y"), "C:\\x\\y");
}

}  // namespace
}  // namespace e2e
