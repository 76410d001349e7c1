// Intel HEX loads: what lands in the image, the result code, the lines shown,
// and the files the 1 MB buffer cannot hold.
#include <sys/mman.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "engine_fixture.h"
#include "hex_text.h"

using namespace hextext;

namespace {

const char kFormatLine[] = "ERR: input file format mismatched!";
const char kStopLine[] = "ERR: terminate upgrade/backup flash!";

struct Stored {
    DWORD dwAddress;
    std::vector<BYTE> bytes;
};

struct HexCase {
    const char* pszName;
    std::string strText;
    int nResult;
    DWORD dwImageSize;
    DWORD dwSegments;
    std::vector<Stored> stored;          // everything else must still be 0xFF
    std::vector<std::string> messages;   // lines shown by the loader
};

std::string SetBit7(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = static_cast<char>(c | 0x80);
    return r;
}

std::vector<HexCase> HexCases() {
    const auto a = Bytes(0x10, 16), b = Bytes(0xA0, 16), c32 = Bytes(0x40, 32);
    const auto f15 = Bytes(0xC0, 15), f16 = Bytes(0xC0, 16);
    return {
        {"CrLfAndLowerCaseDigits",
         Rec(0, 0x0100, a, -1, 0, true) + "\r\n" + Rec(0, 0x0200, b, -1, 0, true) + "\r\n" +
             Rec(1, 0, {}, -1, 0, true) + "\r\n",
         1, 0x210, 0, {{0x100, a}, {0x200, b}}, {}},
        {"TextBeforeAndBetweenRecordsIsSkipped",
         "firmware image\r\n\r\n  -- text --\n" + Data(0x0000, a) + "\r\n\r\nnotes here; 0123\n" +
             Data(0x0010, b) + " trailing\r\n" + End() + "\r\nafter the end: not hex \x01",
         1, 0x20, 0, {{0x00, a}, {0x10, b}}, {}},
        {"Bit7OfEveryCharacterIsIgnored",
         SetBit7("junk " + Data(0x0040, a) + "\r\n" + End() + "\r\n"),
         1, 0x50, 0, {{0x40, a}}, {}},
        {"RecordCrossing0xFFFFCountsOn",
         Data(0xFFF0, c32) + "\n" + End() + "\n",
         1, 0x10010, 0, {{0xFFF0, c32}}, {}},
        {"OneSegmentAdvance",
         Data(0x0000, a) + "\n" + Advance() + "\n" + Data(0x0000, b) + "\n" + End() + "\n",
         1, 0x10010, 1, {{0x0, a}, {0x10000, b}}, {}},
        {"TwoSegmentAdvances",
         Advances(2) + Data(0x0000, b) + "\n" + End() + "\n",
         1, 0x20010, 2, {{0x20000, b}}, {}},
        {"ExtendedAddressRecordRefused",
         Data(0x0000, a) + "\n" + Rec(0x04, 0, {0x00, 0x01}) + "\n" + Data(0x0000, b) + "\n" + End(),
         -1, 0x10, 0, {{0x0, a}}, {}},
        {"EndRecordWithByteCountRefused",
         Data(0x0000, a) + "\n" + Rec(0x01, 0, {0x00}) + "\n",
         -1, 0x10, 0, {{0x0, a}}, {}},
        {"EndRecordWithWrongChecksumRefused",
         Data(0x0000, a) + "\n" + Rec(0x01, 0, {}, -1, 1) + "\n",
         -1, 0x10, 0, {{0x0, a}}, {}},
        {"SegmentAdvanceWithByteCountRefused",
         Rec(0x55, 0, {0x00}) + "\n" + Data(0x0000, a) + "\n" + End(),
         -1, 0, 0, {}, {}},
        {"SegmentAdvanceWithWrongChecksumRefused",
         Rec(0x55, 0, {}, -1, 1) + "\n" + Data(0x0000, a) + "\n" + End(),
         -1, 0, 0, {}, {}},
        {"WrongChecksumAfterBytesStored",
         Data(0x0000, a) + "\n" + Rec(0x00, 0x0100, b, -1, 1) + "\n" + End(),
         -1, 0x110, 0, {{0x0, a}, {0x100, b}}, {}},
        {"FileEndsWithoutEndRecord",
         Data(0x0000, a) + "\r\n",
         -1, 0x10, 0, {{0x0, a}}, {kFormatLine}},
        {"FileEndsInsideRecord",
         Data(0x0000, a) + "\r\n" + Data(0x0010, b).substr(0, 20),
         -1, 0x15, 0, {{0x0, a}, {0x10, Bytes(0xA0, 5)}}, {kFormatLine}},
        {"NonHexCharacterInRecord",
         Data(0x0000, a).substr(0, 13) + "G" + Data(0x0000, a).substr(14) + "\n" + End(),
         -1, 0x2, 0, {{0x0, Bytes(0x10, 2)}}, {kFormatLine}},
        {"SeparatorInsideRecord",
         ":10 000000" + Data(0x0000, a).substr(9) + "\n" + End(),
         -1, 0, 0, {}, {kFormatLine}},
        {"Byte0xFFEndsTheFile",
         Data(0x0000, a) + "\n\xff" + Data(0x0010, b) + "\n" + End(),
         -1, 0x10, 0, {{0x0, a}}, {kFormatLine}},
        {"LastByteAt0xFFFFEAccepted",
         Advances(15) + Data(0xFFF0, f15) + "\n" + End(),
         1, 0xFFFFF, 15, {{0xFFFF0, f15}}, {}},
        {"LastByteAt0xFFFFFRefused",
         Advances(15) + Data(0x0000, a) + "\n" + Data(0xFFF0, f16) + "\n" + End(),
         -1, 0xF0010, 15, {{0xF0000, a}}, {}},
        {"DataAt0x100000Refused",
         Advances(15) + Data(0xFFF8, f16) + "\n" + End(),
         -1, 0, 15, {}, {}},
        {"SixteenSegmentAdvancesRefused",
         Advances(16) + Data(0x0000, a) + "\n" + End(),
         -1, 0, 15, {}, {}},
    };
}

// Test names say which case failed; the bytes of the record would not.
void PrintTo(const HexCase& tc, std::ostream* os) { *os << tc.pszName; }

class HexLoad : public EngineFixture, public ::testing::WithParamInterface<HexCase> {};

TEST_P(HexLoad, StoresWhatTheRecordsSayAndAnswers) {
    const HexCase& tc = GetParam();
    CFlashEngine::_dwSegment = 7;  // left over from an earlier load
    CFlashEngine& e = MakeEngine(WriteFile("image.hex", tc.strText), true);

    EXPECT_EQ(e.LoadImage(), tc.nResult);
    EXPECT_EQ(e._dwImageSize, tc.dwImageSize);
    EXPECT_EQ(CFlashEngine::_dwSegment, tc.dwSegments);
    EXPECT_EQ(s_messages, tc.messages);
    EXPECT_EQ(e._fpInput, nullptr);

    ASSERT_NE(e._pBank[0], nullptr);
    for (DWORD i = 1; i < CFlashEngine::kBankCount; ++i)
        ASSERT_EQ(e._pBank[i], e._pBank[0] + i * CFlashEngine::kBankSize);
    std::vector<BYTE> expected(CFlashEngine::kImageSize, 0xFF);
    for (const Stored& s : tc.stored)
        std::memcpy(&expected[s.dwAddress], s.bytes.data(), s.bytes.size());
    for (DWORD a = 0; a < CFlashEngine::kImageSize; ++a) {
        if (ImageByte(a) != expected[a]) {
            ADD_FAILURE() << "image byte " << std::hex << a << " is " << int(ImageByte(a))
                          << ", expected " << int(expected[a]);
            break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, HexLoad, ::testing::ValuesIn(HexCases()),
                         [](const ::testing::TestParamInfo<HexCase>& info) {
                             return std::string(info.param.pszName);
                         });

// Every character read is one poll, nothing after the end record is read.
TEST_F(EngineFixture, HexPollsOncePerCharacterRead) {
    const std::string strImage = "header\r\n" + Data(0x0000, Bytes(0, 16)) + "\r\n" + End();
    CFlashEngine& e = MakeEngine(WriteFile("image.hex", strImage + "\r\nnot read"), true);
    EXPECT_EQ(e.LoadImage(), 1);
    EXPECT_EQ(s_nPolls, static_cast<int>(strImage.size()));
    EXPECT_TRUE(s_messages.empty());
}

// A stop ends the load at the poll that asked for it, whether the reader was
// looking for a start code or reading digits, with the stop line only.
TEST_F(EngineFixture, HexStopEndsTheLoadAtOnce) {
    const std::string strText = "xx" + Data(0x0000, Bytes(0x30, 16)) + "\n" + End() + "\n";
    const std::string strPath = WriteFile("image.hex", strText);
    for (int nStopAt : {1, 2, 3, 4, 12, 30, static_cast<int>(strText.size()) - 2}) {
        SCOPED_TRACE(nStopAt);
        s_messages.clear();
        s_nPolls = 0;
        s_nStopAt = nStopAt;
        CFlashEngine& e = MakeEngine(strPath, true);
        EXPECT_EQ(e.LoadImage(), -1);
        EXPECT_EQ(s_nPolls, nStopAt);
        EXPECT_EQ(s_messages, std::vector<std::string>{kStopLine});
        EXPECT_EQ(e._fpInput, nullptr);
    }
}

// Where the file ends, the order of poll and read decides which line shows:
// looking for a start code the end is met before the poll, reading a digit
// the poll comes first.
TEST_F(EngineFixture, HexPollOrderAtTheEndOfTheFile) {
    const struct {
        const char* pszText;
        int nStopAt;
        int nPolls;
        const char* pszLine;
    } cases[] = {
        {"xx", 3, 2, kFormatLine},  // SkipToChar: end of file, no third poll
        {":10", 4, 4, kStopLine},   // ReadHexDigit: the fourth poll stops first
        {":10", 0, 4, kFormatLine}, // ... and without a stop meets the end
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.pszText);
        s_messages.clear();
        s_nPolls = 0;
        s_nStopAt = tc.nStopAt;
        CFlashEngine& e = MakeEngine(WriteFile("image.hex", tc.pszText), true);
        EXPECT_EQ(e.LoadImage(), -1);
        EXPECT_EQ(s_nPolls, tc.nPolls);
        EXPECT_EQ(s_messages, std::vector<std::string>{tc.pszLine});
    }
}

TEST_F(EngineFixture, MissingFileIsReportedWithoutABuffer) {
    for (bool bHex : {true, false}) {
        SCOPED_TRACE(bHex ? "hex" : "raw");
        s_messages.clear();
        CFlashEngine& e = MakeEngine(m_strDir + "/absent.bin", bHex);
        EXPECT_EQ(e.LoadImage(), -2);
        EXPECT_EQ(s_messages, std::vector<std::string>{"ERR: fail to open input file!"});
        EXPECT_EQ(e._pBank[0], nullptr);
    }
}

// kB of this process's memory locked into RAM, -1 when the system does not say.
long LockedKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string strLine;
    while (std::getline(status, strLine)) {
        long n = 0;
        if (std::sscanf(strLine.c_str(), "VmLck: %ld kB", &n) == 1) return n;
    }
    return -1;
}

// Only an image that loaded with result 1 is locked for the rest of the run.
TEST_F(EngineFixture, LocksOnlyAnImageThatLoaded) {
    // The sanitizers turn mlock into a no-op; see whether a lock shows at all.
    const long nBefore = LockedKilobytes();
    {
        std::vector<char> probe(1 << 16, 1);
        const bool bShows = nBefore >= 0 && mlock(probe.data(), probe.size()) == 0 &&
                            LockedKilobytes() > nBefore;
        munlock(probe.data(), probe.size());
        if (!bShows) GTEST_SKIP() << "locked memory does not show in /proc/self/status here";
    }
    struct {
        const char* pszName;
        bool bHex;
        std::string strBytes;
        int nResult;
    } cases[] = {
        {"hex loaded", true, Data(0, Bytes(0, 16)) + "\n" + End(), 1},
        {"hex refused", true, Rec(0x04, 0, {0, 1}), -1},
        {"raw loaded", false, std::string(1000, 'x'), 1},
        {"raw of 1 MB", false, std::string(CFlashEngine::kImageSize, 'x'), 0},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.pszName);
        CFlashEngine& e = MakeEngine(WriteFile("image", tc.strBytes), tc.bHex);
        ASSERT_EQ(e.LoadImage(), tc.nResult);
        const long nLocked = LockedKilobytes() - nBefore;
        if (tc.nResult == 1)
            EXPECT_GE(nLocked, 1024);
        else
            EXPECT_EQ(nLocked, 0);
        ReleaseImage();
    }
}

}  // namespace
