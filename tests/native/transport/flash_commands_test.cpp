// The four download commands: their exact command blocks, data, running sums
// and trace lines, sent through the pass-through transport to a recorder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/flash_engine.h"
#include "platform/host_seam.h"
#include "scsi/pass_through_layout.h"

namespace {

struct Sent {
    std::vector<BYTE> cdb;
    UCHAR byDataIn;
    DWORD dwLen;
    std::vector<BYTE> data;
};

class Recorder : public hostseam::Device {
public:
    std::vector<Sent> sent;
    int nFailFirst = 0;  // CHECK CONDITION for the first n commands

    BOOL IoControl(DWORD, void* pIn, DWORD, void*, DWORD, DWORD*) override {
        auto* p = static_cast<SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER*>(pIn);
        const BYTE* pData = static_cast<const BYTE*>(p->sptd.DataBuffer);
        sent.push_back({std::vector<BYTE>(p->sptd.Cdb, p->sptd.Cdb + p->sptd.CdbLength), p->sptd.DataIn,
                        p->sptd.DataTransferLength,
                        p->sptd.DataIn == SCSI_IOCTL_DATA_OUT
                            ? std::vector<BYTE>(pData, pData + p->sptd.DataTransferLength)
                            : std::vector<BYTE>()});
        if (static_cast<int>(sent.size()) <= nFailFirst) {
            p->sptd.ScsiStatus = 2;
            p->ucSenseBuf[2] = 0x03;
        }
        return TRUE;
    }
};

void Ignore(const char*) {}
void IgnoreProgress(int) {}
BYTE NeverStop() { return 0; }

class FlashCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostseam::Reset();
        hostseam::AttachDevice('q', &rec);
        FLASH_PARAM param = {};
        param.drive.hDevice = PlatOpenDrive('q');
        param.CBSetRevision = param.CBSetDriveName = param.CBShowMessage = param.CBShowStatus = Ignore;
        param.CBSetProgress = IgnoreProgress;
        param.CBIfTerminated = NeverStop;
        param.bUsePassThrough = 1;
        engine.reset(new CFlashEngine(param));
        pImage = static_cast<BYTE*>(PlatAllocPages(CFlashEngine::kImageSize));
        std::memset(pImage, 0xFF, CFlashEngine::kImageSize);
        for (DWORD i = 0; i < CFlashEngine::kBankCount; ++i) engine->_pBank[i] = pImage + i * CFlashEngine::kBankSize;
        engine->_fpLog = std::tmpfile();
        CFlashEngine::_total = 0;
    }
    void TearDown() override {
        if (engine->_fpLog) std::fclose(engine->_fpLog);
        PlatCloseHandle(engine->drive.hDevice);
        PlatFreePages(pImage);
        hostseam::Reset();
    }
    std::string Trace() {
        std::fflush(engine->_fpLog);
        std::rewind(engine->_fpLog);
        std::string s;
        int c;
        while ((c = std::fgetc(engine->_fpLog)) != EOF) s += static_cast<char>(c);
        return s;
    }

    Recorder rec;
    std::unique_ptr<CFlashEngine> engine;
    BYTE* pImage = nullptr;
    BYTE sense[32] = {};
};

TEST_F(FlashCommandsTest, BlockCommandCarriesTheLow24BitsOfTheOffset) {
    struct Case {
        DWORD dwOffset;
        BYTE b3, b4, b5;
    } cases[] = {
        {0x00000020, 0x00, 0x00, 0x20},
        {32 + 31 * 4096, 0x01, 0xF0, 0x20},
        {0x12345678, 0x34, 0x56, 0x78},
    };
    for (const Case& c : cases) {
        rec.sent.clear();
        ASSERT_EQ(1, engine->fgWriteOneFlashCmdData(c.dwOffset, sense));
        ASSERT_EQ(1u, rec.sent.size());
        EXPECT_EQ((std::vector<BYTE>{0x3B, 0x06, 0x00, c.b3, c.b4, c.b5, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00}),
                  rec.sent[0].cdb);
        EXPECT_EQ(SCSI_IOCTL_DATA_OUT, rec.sent[0].byDataIn);
        EXPECT_EQ(4096u, rec.sent[0].dwLen);
    }
}

TEST_F(FlashCommandsTest, BlockDataComesFromTheCurrentBankPosition) {
    for (DWORD i = 0; i < 4096; ++i) pImage[3 * CFlashEngine::kBankSize + 8192 + i] = static_cast<BYTE>(i * 7);
    engine->_byBank = 3;
    engine->_wBankOffset = 8192;
    engine->_wSecSum = 0;
    ASSERT_EQ(1, engine->fgWriteOneFlashCmdData(0x20, sense));
    EXPECT_EQ(0, std::memcmp(rec.sent[0].data.data(), pImage + 3 * CFlashEngine::kBankSize + 8192, 4096));
    WORD w = 0;
    for (DWORD i = 0; i < 4096; ++i) w = static_cast<WORD>(w + static_cast<BYTE>(i * 7));
    EXPECT_EQ(w, engine->_wSecSum);
}

TEST_F(FlashCommandsTest, RepeatedBlockCountsTwiceAndTracesEveryAttempt) {
    rec.nFailFirst = 1;
    engine->_wSecSum = 0;
    EXPECT_EQ(0, engine->fgWriteOneFlashCmdData(0x20, sense));
    EXPECT_EQ(1, engine->fgWriteOneFlashCmdData(0x20, sense));
    EXPECT_EQ(0xE000, engine->_wSecSum);
    EXPECT_EQ(0xD000, CFlashEngine::_total);
    EXPECT_EQ("Address=00000020,_wSecSum=F000,_total=F000\n"
              "Address=00000020,_wSecSum=E000,_total=D000\n",
              Trace());
}

TEST_F(FlashCommandsTest, TraceIsSkippedWithoutAnOpenFile) {
    std::fclose(engine->_fpLog);
    engine->_fpLog = nullptr;
    EXPECT_EQ(1, engine->fgWriteOneFlashCmdData(0x20, sense));
    EXPECT_EQ(1, engine->fgWriteHeader(0, sense));
    EXPECT_EQ(2u, rec.sent.size());
}

TEST_F(FlashCommandsTest, HeaderCarriesTheSumHighByteFirst) {
    struct Case {
        WORD wSum;
        const char* pszTrace;
    } cases[] = {
        {0x1234, "sSendBuf[30]=12   sSendBuf[31]=34\n"},
        {0x0A05, "sSendBuf[30]=A   sSendBuf[31]=5\n"},
    };
    for (const Case& c : cases) {
        rec.sent.clear();
        std::fclose(engine->_fpLog);
        engine->_fpLog = std::tmpfile();
        engine->_wSecSum = c.wSum;
        ASSERT_EQ(1, engine->fgWriteHeader(0, sense));
        ASSERT_EQ(1u, rec.sent.size());
        EXPECT_EQ((std::vector<BYTE>{0x3B, 0x06, 0, 0, 0, 0, 0, 0, 0x20, 0, 0, 0}), rec.sent[0].cdb);
        std::vector<BYTE> header(32, 0);
        header[30] = static_cast<BYTE>(c.wSum >> 8);
        header[31] = static_cast<BYTE>(c.wSum);
        EXPECT_EQ(header, rec.sent[0].data);
        EXPECT_EQ(c.pszTrace, Trace());
    }
}

TEST_F(FlashCommandsTest, CommitAndQueryBlocks) {
    EXPECT_EQ(1, engine->fgCommitFlash(sense));
    engine->fgQueryDrive(sense);
    ASSERT_EQ(2u, rec.sent.size());
    // The commit asks for no data yet goes down as data in with 4 KB.
    EXPECT_EQ((std::vector<BYTE>{0x3B, 0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), rec.sent[0].cdb);
    EXPECT_EQ(SCSI_IOCTL_DATA_IN, rec.sent[0].byDataIn);
    EXPECT_EQ(4096u, rec.sent[0].dwLen);
    EXPECT_EQ((std::vector<BYTE>{0x95, 0x22, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), rec.sent[1].cdb);
    EXPECT_EQ(SCSI_IOCTL_DATA_IN, rec.sent[1].byDataIn);
    EXPECT_EQ(32u, rec.sent[1].dwLen);
    EXPECT_EQ("", Trace());
}

TEST_F(FlashCommandsTest, FailedWritesAnswerZero) {
    rec.nFailFirst = 3;
    EXPECT_EQ(0, engine->fgWriteOneFlashCmdData(0x20, sense));
    EXPECT_EQ(0, engine->fgWriteHeader(0, sense));
    EXPECT_EQ(0, engine->fgCommitFlash(sense));
    EXPECT_EQ(0x03, sense[2]);
}

}  // namespace
