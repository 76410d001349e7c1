// Whole upgrades, on both transport branches, against the emulated drive.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>

#include "platform/host_seam.h"
#include "upgrade_fixture.h"

namespace {

using Strings = std::vector<std::string>;

// ---- Intel HEX text --------------------------------------------------------

std::string HexRecord(BYTE byType, WORD wAddress, const std::vector<BYTE>& data) {
    std::vector<BYTE> rec = {static_cast<BYTE>(data.size()), static_cast<BYTE>(wAddress >> 8),
                             static_cast<BYTE>(wAddress), byType};
    rec.insert(rec.end(), data.begin(), data.end());
    BYTE bySum = 0;
    for (BYTE b : rec) bySum = static_cast<BYTE>(bySum + b);
    rec.push_back(static_cast<BYTE>(0x100 - bySum));
    std::string s = ":";
    char sz[3];
    for (BYTE b : rec) {
        std::snprintf(sz, sizeof sz, "%02X", b);
        s += sz;
    }
    return s + "\r\n";
}

// An Intel HEX image: 16 bytes at the start of every segment, the model text
// in segment 0, nSegments segment advances, and a last record of nLastLen
// bytes at wLastAddress of the last segment. *pBuffer receives the 1 MB
// image as the loader fills it.
std::string HexImage(int nSegments, WORD wLastAddress, BYTE nLastLen, std::vector<BYTE>* pBuffer) {
    std::vector<BYTE>& buf = *pBuffer;
    buf.assign(0x100000, 0xFF);
    std::string text;
    std::vector<BYTE> model(kModel, kModel + 24);
    text += HexRecord(0x00, 0x0100, model);
    std::memcpy(&buf[0x100], kModel, 24);
    for (int seg = 0; seg <= nSegments; ++seg) {
        if (seg) text += HexRecord(0x55, 0, {});
        std::vector<BYTE> head(16);
        for (int i = 0; i < 16; ++i) head[i] = static_cast<BYTE>(seg * 16 + i);
        text += HexRecord(0x00, 0x0000, head);
        std::memcpy(&buf[seg * 0x10000], head.data(), 16);
    }
    std::vector<BYTE> last(nLastLen);
    for (int i = 0; i < nLastLen; ++i) last[i] = static_cast<BYTE>(0xA0 + i);
    text += HexRecord(0x00, wLastAddress, last);
    std::memcpy(&buf[nSegments * 0x10000 + wLastAddress], last.data(), nLastLen);
    return text + HexRecord(0x01, 0, {});
}

std::vector<int> Once(DWORD nBlocks) { return std::vector<int>(nBlocks, 1); }

WORD Sum16(const std::vector<BYTE>& buf, size_t n) {
    WORD w = 0;
    for (size_t i = 0; i < n; ++i) w = static_cast<WORD>(w + buf[i]);
    return w;
}

std::string CheckSumLine(WORD w) {
    char sz[32];
    std::snprintf(sz, sizeof sz, "Check Sum : %X", w);
    return sz;
}

std::vector<int> SuccessProgress(DWORD nBlocks, DWORD nUnits) {
    std::vector<int> v = {0};
    for (DWORD i = 0; i < nBlocks; ++i) {
        v.push_back(5);
        v.push_back(10);
    }
    v.push_back(15);
    for (DWORD i = 0; i < nUnits; ++i) v.push_back(static_cast<int>(20 + 3 * i));
    v.push_back(90);
    v.push_back(100);
    return v;
}

std::vector<DWORD> SettleWaits(DWORD nUnits) {
    std::vector<DWORD> v(nUnits, 6000);
    v.push_back(7000);
    v.push_back(1000);
    return v;
}

class UpgradeTest : public UpgradeFixture {
protected:
    // Everything a successful run must show, for an image whose loaded
    // buffer is `buffer`, sent as nBlocks blocks, with nUnits 6-second waits.
    void ExpectSuccess(const std::vector<BYTE>& buffer, DWORD nBlocks, DWORD nUnits, WORD wCheckSum,
                       WORD wTotal0) {
        // The drive received exactly the image, checked the header and took it.
        std::vector<BYTE> sent(buffer.begin(), buffer.begin() + nBlocks * 4096);
        EXPECT_EQ(nBlocks, m_pDrive->BlocksReceived());
        EXPECT_TRUE(m_pDrive->ReceivedImage() == sent);
        WORD wSum = 0;
        std::string strTrace = ExpectedBlockTrace(buffer, Once(nBlocks), wTotal0, &wSum);
        EXPECT_TRUE(m_pDrive->HeaderReceived());
        EXPECT_EQ(wSum, m_pDrive->HeaderSum());
        EXPECT_EQ(wSum, m_pDrive->DriveSum());
        EXPECT_EQ(emu::CommitResult::kAccepted, m_pDrive->LastCommit());
        EXPECT_EQ(kNewRevision, m_pDrive->Revision());

        EXPECT_EQ(strTrace + ExpectedHeaderTrace(wSum) + "I will in fgTestUnitReadyComplete()\n", SumText());
        EXPECT_EQ((Strings{CheckSumLine(wCheckSum), "Please wait a minute.....", "Please Restart Your Computer."}),
                  s_shown.messages);
        EXPECT_EQ((Strings{"Updating.....", ""}), s_shown.statuses);
        EXPECT_EQ(SuccessProgress(nBlocks, nUnits), s_shown.progress);
        EXPECT_EQ(SettleWaits(nUnits), s_shown.waits);
        EXPECT_EQ(Strings{kModel}, s_shown.names);
        EXPECT_EQ(Strings{kNewRevision}, s_shown.revisions);
        EXPECT_EQ(0, hostseam::AllocatedPageBlocks());
        // Vendor query, the blocks, header, commit, the refresh INQUIRY.
        const auto& cmds = m_pDrive->Commands();
        ASSERT_EQ(nBlocks + 4, cmds.size());
        EXPECT_EQ(0x95, cmds.front().abyCdb[0]);
        EXPECT_EQ(0x22, cmds.front().abyCdb[1]);
        EXPECT_EQ(0x12, cmds.back().abyCdb[0]);
        EXPECT_EQ(36, cmds.back().abyCdb[4]);
    }
};

TEST_P(UpgradeTest, RawImageOfAMillionBytes) {
    std::vector<BYTE> file = RawImage(1000000);
    WriteFile("fw.bin", file);
    std::vector<BYTE> buffer(0x100000, 0xFF);
    std::memcpy(buffer.data(), file.data(), file.size());
    const WORD wTotal0 = CFlashEngine::_total;
    RunUpgrade("fw.bin", false);
    // 245 blocks, the last one completed with 3,520 bytes of the 0xFF fill.
    ExpectSuccess(buffer, 245, 15, Sum16(buffer, buffer.size()), wTotal0);
    std::vector<BYTE> image = m_pDrive->ReceivedImage();
    ASSERT_EQ(245u * 4096, image.size());
    EXPECT_EQ(std::vector<BYTE>(3520, 0xFF), std::vector<BYTE>(image.begin() + 1000000, image.end()));
}

struct HexCase {
    const char* pszName;
    int nSegments;
    WORD wLastAddress;
    BYTE nLastLen;
    DWORD nBlocks;
    DWORD nUnits;
};

TEST_P(UpgradeTest, IntelHexImagesAreSentUpToTheNext64KUnit) {
    const HexCase cases[] = {
        // Highest address 0x3FFFF: validated over 256 KB, sent as 320 KB.
        {"highest 0x3FFFF", 3, 0xFFF0, 16, 80, 5},
        // Highest address + 1 lies 16 bytes below 192 KB: sent as 192 KB.
        {"16 below 192K", 2, 0xFFE0, 16, 48, 3},
    };
    for (const HexCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        std::remove("sum.txt");
        s_shown = Shown();
        std::vector<BYTE> buffer;
        WriteText("fw.hex", HexImage(c.nSegments, c.wLastAddress, c.nLastLen, &buffer));
        const WORD wTotal0 = CFlashEngine::_total;
        RestartDrive();
        RunUpgrade("fw.hex", true);
        ExpectSuccess(buffer, c.nBlocks, c.nUnits, Sum16(buffer, (c.nSegments + 1) * 0x10000), wTotal0);
    }
}

TEST_P(UpgradeTest, ImageThatDoesNotNameTheDriveIsNeverSent) {
    struct Case {
        const char* pszName;
        bool bHex;
        std::string strBytes;
    };
    std::vector<BYTE> noModel = RawImage(20000);
    std::memset(&noModel[10000], 'x', 24);  // the model text is gone
    std::vector<BYTE> noRevision = RawImage(20000);
    std::memset(&noRevision[10000 + 24], 'x', 4);
    const Case cases[] = {
        {"raw without model", false, std::string(noModel.begin(), noModel.end())},
        {"raw without revision", false, std::string(noRevision.begin(), noRevision.end())},
        {"hex without model", true, HexRecord(0, 0, {1, 2, 3}) + HexRecord(1, 0, {})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        s_shown = Shown();
        RestartDrive();
        WriteText("sum.txt", "an earlier section\n");
        WriteText("fw.img", c.strBytes);
        RunUpgrade("fw.img", c.bHex);
        ASSERT_EQ(1u, m_pDrive->Commands().size());  // the vendor query alone
        EXPECT_EQ("an earlier section\n", SumText());
        EXPECT_EQ((Strings{"It is an incorrect firmware version!", "Flashing is incorrect!!"}), s_shown.messages);
        EXPECT_EQ(Strings{""}, s_shown.statuses);
        EXPECT_TRUE(s_shown.progress.empty());
        EXPECT_EQ(0, hostseam::AllocatedPageBlocks());
    }
}

TEST_P(UpgradeTest, BlockThatFailsFiveTimesThenSucceedsIsTracedSixTimes) {
    m_config.faults.push_back({emu::FaultPoint::kBlock, 1, 1, 5, 0x03, 0x0C, 0x00});
    std::vector<BYTE> file = RawImage(10000);  // three blocks
    WriteFile("fw.bin", file);
    std::vector<BYTE> buffer(0x100000, 0xFF);
    std::memcpy(buffer.data(), file.data(), file.size());
    const WORD wTotal0 = CFlashEngine::_total;
    RunUpgrade("fw.bin", false);

    WORD wSum = 0;
    std::string strTrace = ExpectedBlockTrace(buffer, {1, 6, 1}, wTotal0, &wSum);
    EXPECT_EQ(strTrace + ExpectedHeaderTrace(wSum) + "I will in fgTestUnitReadyComplete()\n", SumText());
    // Both sides counted the repeats, so the drive accepted the header.
    EXPECT_EQ(wSum, m_pDrive->DriveSum());
    EXPECT_EQ(emu::CommitResult::kAccepted, m_pDrive->LastCommit());
    EXPECT_EQ("Please Restart Your Computer.", s_shown.messages.back());
}

enum class TraceUpTo { kBlocks, kHeaderLine, kHeader };

struct FailureCase {
    const char* pszName;
    emu::Fault fault;
    TraceUpTo eUpTo;            // how far sum.txt got before the error line
    const char* pszTraceError;  // its last line (the commit's has no line end)
    const char* pszLog;         // the procedure's own error line
};

TEST_P(UpgradeTest, FailuresEndTheRunWithTheirLines) {
    const FailureCase cases[] = {
        {"block fails six times", {emu::FaultPoint::kBlock, 1, 1, emu::Fault::kEveryAttempt, 0x03, 0x0C, 0x00},
         TraceUpTo::kBlocks, "Execute command error!!  3/ C/ 0\n", "Execute command errorA!!  3/ C/ 0"},
        {"header fails", {emu::FaultPoint::kHeader, 0, 1, 1, 0x04, 0x44, 0x00}, TraceUpTo::kHeaderLine,
         "Execute command error!!  4/44/ 0\n", "Execute command errorB!!  4/44/ 0"},
        {"commit fails", {emu::FaultPoint::kCommit, 0, 1, 1, 0x05, 0x26, 0x01}, TraceUpTo::kHeader,
         "Execute command error!!  5/26/ 1", "Execute command errorC!!  5/26/ 1"},
    };
    std::vector<BYTE> file = RawImage(10000);
    std::vector<BYTE> buffer(0x100000, 0xFF);
    std::memcpy(buffer.data(), file.data(), file.size());
    WriteFile("fw.bin", file);
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        std::remove("sum.txt");
        s_shown = Shown();
        m_config.faults = {c.fault};
        RestartDrive();
        const WORD wTotal0 = CFlashEngine::_total;
        RunUpgrade("fw.bin", false);

        WORD wSum = 0;
        std::string strExpected = ExpectedBlockTrace(
            buffer, c.eUpTo == TraceUpTo::kBlocks ? std::vector<int>{1, 6} : Once(3), wTotal0, &wSum);
        std::string strHeader = ExpectedHeaderTrace(wSum);
        if (c.eUpTo == TraceUpTo::kHeaderLine)
            strExpected += strHeader.substr(0, strHeader.find("Finished : fgWriteHeader()"));
        else if (c.eUpTo == TraceUpTo::kHeader)
            strExpected += strHeader;
        EXPECT_EQ(strExpected + c.pszTraceError, SumText());
        ASSERT_GE(s_shown.messages.size(), 2u);
        EXPECT_EQ(c.pszLog, s_shown.messages[s_shown.messages.size() - 2]);
        EXPECT_EQ("Flashing is incorrect!!", s_shown.messages.back());
        EXPECT_EQ((Strings{"Updating.....", ""}), s_shown.statuses);
        EXPECT_TRUE(s_shown.waits.empty());
        EXPECT_EQ(0, hostseam::AllocatedPageBlocks());
    }
}

TEST_P(UpgradeTest, CommitFailureLineIsContinuedByTheNextSection) {
    m_config.faults = {{emu::FaultPoint::kCommit, 0, 1, 1, 0x05, 0x26, 0x01}};
    WriteFile("fw.bin", RawImage(10000));
    RunUpgrade("fw.bin", false);
    RunUpgrade("fw.bin", false);  // the drive takes the second download
    EXPECT_NE(std::string::npos, SumText().find("Execute command error!!  5/26/ 1Model Name : " + std::string(kModel)));
    EXPECT_EQ(emu::CommitResult::kAccepted, m_pDrive->LastCommit());
    EXPECT_EQ("Please Restart Your Computer.", s_shown.messages.back());
}

TEST_P(UpgradeTest, StopRequests) {
    WriteFile("fw.bin", RawImage(10000));  // three blocks; a raw load polls nothing
    struct Case {
        int nStopAt;
        const char* pszTraceEnd;
        const char* pszLast;
    } cases[] = {
        {2, "CBIfTerminated failed!!\n", "Flashing is incorrect!!"},       // before block 2
        {4, "2: CBIfTerminated()\n", "Please Restart Your Computer."},     // after the waits: still a success
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nStopAt);
        std::remove("sum.txt");
        s_shown = Shown();
        s_shown.nStopAt = c.nStopAt;
        RestartDrive();  // a fresh drive: the stopped download stays in the old one's sum
        RunUpgrade("fw.bin", false);
        const std::string strSum = SumText();
        const std::string strEnd = c.pszTraceEnd;
        ASSERT_GE(strSum.size(), strEnd.size());
        EXPECT_EQ(strEnd, strSum.substr(strSum.size() - strEnd.size()));
        ASSERT_GE(s_shown.messages.size(), 2u);
        EXPECT_EQ("ERR: terminate upgrade/backup flash!", s_shown.messages[s_shown.messages.size() - 2]);
        EXPECT_EQ(c.pszLast, s_shown.messages.back());
        EXPECT_EQ("", s_shown.statuses.back());
    }
}

TEST_P(UpgradeTest, LoaderFailuresReleaseOnlyWhatWasAllocated) {
    // No file: nothing allocated, so nothing is released (a release of an
    // unknown block would abort the host seam).
    RunUpgrade("missing.bin", false);
    EXPECT_EQ((Strings{"ERR: fail to open input file!", "ERR: fail to read input file!", "Flashing is incorrect!!"}),
              s_shown.messages);
    EXPECT_EQ(Strings{""}, s_shown.statuses);
    EXPECT_EQ(0, hostseam::AllocatedPageBlocks());
    EXPECT_FALSE(SumExists());

    // A format error after the buffer was allocated: released once, by Run.
    s_shown = Shown();
    WriteText("bad.hex", HexRecord(0x04, 0, {0, 1}) + HexRecord(1, 0, {}));
    RunUpgrade("bad.hex", true);
    EXPECT_EQ((Strings{"ERR: input file format mismatched!", "Flashing is incorrect!!"}), s_shown.messages);
    EXPECT_EQ(0, hostseam::AllocatedPageBlocks());
    EXPECT_EQ(2u, m_pDrive->Commands().size());  // one vendor query per run, nothing else
    EXPECT_FALSE(SumExists());
}

TEST_P(UpgradeTest, UnwritableTraceIsReportedAndTheUpgradeGoesOn) {
    ASSERT_EQ(0, mkdir("sum.txt", 0700));  // fopen for appending fails on a directory
    WriteFile("fw.bin", RawImage(10000));
    RunUpgrade("fw.bin", false);
    ASSERT_GE(s_shown.messages.size(), 3u);
    EXPECT_EQ("ERR: fail to open output file!", s_shown.messages[2]);
    EXPECT_EQ("Please Restart Your Computer.", s_shown.messages.back());
    EXPECT_EQ(emu::CommitResult::kAccepted, m_pDrive->LastCommit());
}

TEST_P(UpgradeTest, RefreshAsksAgainOnceASecondForTenSeconds) {
    struct Case {
        DWORD dwNotReadyMs;
        DWORD nRetries;
        const char* pszName;
        const char* pszRevision;
    } cases[] = {
        {0, 0, kModel, kNewRevision},
        {12000, 4, kModel, kNewRevision},   // 8 s of settle waits, then 4 more
        {60000, 10, "", ""},                // never answers: empty displays
    };
    WriteFile("fw.bin", RawImage(10000));  // under 64 KB: no 6-second waits
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dwNotReadyMs);
        s_shown = Shown();
        m_config.dwNotReadyMs = c.dwNotReadyMs;
        RestartDrive();
        RunUpgrade("fw.bin", false);
        std::vector<DWORD> waits = SettleWaits(0);
        waits.insert(waits.end(), c.nRetries, 1000);
        EXPECT_EQ(waits, s_shown.waits);
        EXPECT_EQ(Strings{c.pszName}, s_shown.names);
        EXPECT_EQ(Strings{c.pszRevision}, s_shown.revisions);
        EXPECT_EQ("Please Restart Your Computer.", s_shown.messages.back());
    }
}

INSTANTIATE_TEST_SUITE_P(Branches, UpgradeTest,
                         ::testing::Values(Branch::kPassThrough, Branch::kAspiImmediate, Branch::kAspiPending),
                         BranchName);

}  // namespace
