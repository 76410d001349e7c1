// The pass-through branch against a device that captures the exact request
// block and answers as a driver would.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/host_seam.h"
#include "scsi/pass_through_layout.h"
#include "scsi/scsi_transport.h"

namespace {

class CaptureDevice : public hostseam::Device {
public:
    // What the driver saw.
    int nCalls = 0;
    DWORD dwCode = 0, cbIn = 0, cbOut = 0;
    bool bSameBlock = false;
    SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER block = {};
    std::vector<BYTE> dataSeen;  // the data buffer's bytes when the request arrived
    // How it answers.
    BOOL bResult = TRUE;
    UCHAR byStatus = 0;
    BYTE abySense[32] = {};
    std::vector<BYTE> dataIn;    // written to the data buffer for a data-in request

    BOOL IoControl(DWORD code, void* pIn, DWORD in, void* pOut, DWORD out, DWORD* pcb) override {
        ++nCalls;
        dwCode = code;
        cbIn = in;
        cbOut = out;
        bSameBlock = pIn == pOut;
        std::memcpy(&block, pIn, sizeof block);
        auto* pReq = static_cast<SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER*>(pOut);
        BYTE* pData = static_cast<BYTE*>(pReq->sptd.DataBuffer);
        dataSeen.assign(pData, pData + pReq->sptd.DataTransferLength);
        // The driver may use every byte of the transfer length.
        if (pReq->sptd.DataIn == SCSI_IOCTL_DATA_IN)
            for (DWORD i = 0; i < pReq->sptd.DataTransferLength; ++i)
                pData[i] = i < dataIn.size() ? dataIn[i] : 0xEE;
        pReq->sptd.ScsiStatus = byStatus;
        if (byStatus) std::memcpy(pReq->ucSenseBuf, abySense, sizeof abySense);
        *pcb = out;
        return bResult;
    }
};

class PassThroughTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostseam::Reset();
        hostseam::AttachDevice('k', &dev);
        drive.hDevice = PlatOpenDrive('k');
        drive.byHostId = 3;
        drive.byTargetId = 5;
    }
    void TearDown() override {
        PlatCloseHandle(drive.hDevice);
        hostseam::Reset();
    }
    int Exec(BYTE byDir, DWORD dwLen, BYTE* pData, BYTE byCdbLen = 12) {
        return fgExecScsiCmd(&drive, byDir, dwLen, pData, byCdbLen, cdb, 1, sense);
    }

    CaptureDevice dev;
    DRIVE_INFO drive = {};
    BYTE cdb[16] = {0x3B, 0x06, 0x00, 0x01, 0xF0, 0x20, 0x00, 0x10, 0x00, 0x00, 0x00, 0x00,
                    0xAA, 0xBB, 0xCC, 0xDD};
    BYTE sense[32];
};

TEST_F(PassThroughTest, BuildsTheRequestBlock) {
    std::vector<BYTE> data(4096, 0x5A);
    std::memset(sense, 0x77, sizeof sense);
    ASSERT_EQ(1, Exec(SRB_DIR_OUT, 4096, data.data()));

    ASSERT_EQ(1, dev.nCalls);
    EXPECT_EQ(IOCTL_SCSI_PASS_THROUGH_DIRECT_CODE, dev.dwCode);
    EXPECT_EQ(sizeof(SCSI_PASS_THROUGH_DIRECT), dev.cbIn);
    EXPECT_EQ(sizeof(SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER), dev.cbOut);
    EXPECT_TRUE(dev.bSameBlock);
    const SCSI_PASS_THROUGH_DIRECT& s = dev.block.sptd;
    EXPECT_EQ(sizeof(SCSI_PASS_THROUGH_DIRECT), s.Length);
    EXPECT_EQ(3, s.PathId);
    EXPECT_EQ(5, s.TargetId);
    EXPECT_EQ(0, s.Lun);
    EXPECT_EQ(12, s.CdbLength);
    EXPECT_EQ(24, s.SenseInfoLength);
    EXPECT_EQ(offsetof(SCSI_PASS_THROUGH_DIRECT_WITH_BUFFER, ucSenseBuf), s.SenseInfoOffset);
    EXPECT_EQ(0xFFFFu, s.TimeOutValue);
    EXPECT_EQ(4096u, s.DataTransferLength);
    EXPECT_EQ(0u, dev.block.Filler);
    // Only the CDB's own bytes are copied; the rest of the field stays clear.
    EXPECT_EQ(0, std::memcmp(s.Cdb, cdb, 12));
    for (int i = 12; i < 16; ++i) EXPECT_EQ(0, s.Cdb[i]) << i;
    // A bounce buffer, not the caller's, holding the caller's bytes.
    EXPECT_NE(static_cast<void*>(data.data()), s.DataBuffer);
    EXPECT_EQ(data, dev.dataSeen);
    // Entry clears the first 16 sense bytes; success leaves the rest alone.
    for (int i = 0; i < 16; ++i) EXPECT_EQ(0, sense[i]) << i;
    for (int i = 16; i < 32; ++i) EXPECT_EQ(0x77, sense[i]) << i;
}

TEST_F(PassThroughTest, DirectionOutBitIsTestedFirst) {
    struct Case {
        BYTE byDir;
        UCHAR byDataIn;
    } cases[] = {
        {SRB_DIR_IN, SCSI_IOCTL_DATA_IN},
        {SRB_DIR_OUT, SCSI_IOCTL_DATA_OUT},
        {SRB_DIR_IN | SRB_DIR_OUT, SCSI_IOCTL_DATA_OUT},
        {0, 0},
    };
    for (const Case& c : cases) {
        BYTE data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
        ASSERT_EQ(1, Exec(c.byDir, sizeof data, data)) << int(c.byDir);
        EXPECT_EQ(c.byDataIn, dev.block.sptd.DataIn) << int(c.byDir);
        // Data goes down only when writing; comes back only when reading.
        if (c.byDataIn == SCSI_IOCTL_DATA_OUT && c.byDir) {
            EXPECT_EQ(std::vector<BYTE>(data, data + 8), dev.dataSeen);
        }
        const BYTE byExpect = c.byDataIn == SCSI_IOCTL_DATA_IN ? 0xEE : 1;
        EXPECT_EQ(byExpect, data[0]) << int(c.byDir);
    }
}

TEST_F(PassThroughTest, BounceBufferIsAlignedToTheAdapterMask) {
    for (DWORD dwMask : {0u, 1u, 3u, 511u, 2047u}) {
        for (DWORD dwLen : {1u, 36u, 4096u}) {
            drive.dwAlignMask = dwMask;
            std::vector<BYTE> data(dwLen, 0);
            dev.dataIn.assign(dwLen, 0x42);
            ASSERT_EQ(1, Exec(SRB_DIR_IN, dwLen, data.data()));
            auto addr = reinterpret_cast<uintptr_t>(dev.block.sptd.DataBuffer);
            EXPECT_EQ(0u, addr & dwMask) << dwMask;
            // The whole transfer length was usable (the sanitizer build
            // checks the device's writes) and came back to the caller.
            EXPECT_EQ(std::vector<BYTE>(dwLen, 0x42), data) << dwMask;
        }
    }
    drive.dwAlignMask = 2047;
    BYTE b = 0;
    ASSERT_EQ(1, Exec(SRB_DIR_IN, 1, &b));
    EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(dev.block.sptd.DataBuffer) % 2048);
}

TEST_F(PassThroughTest, CheckConditionLeavesSenseAndCallerBufferAlone) {
    dev.byStatus = 0x02;
    dev.abySense[0] = 0x70;
    dev.abySense[2] = 0x05;
    dev.abySense[12] = 0x24;
    dev.abySense[13] = 0x01;
    dev.abySense[31] = 0x99;
    dev.dataIn.assign(36, 0x11);
    std::vector<BYTE> data(36, 0xCD);
    EXPECT_EQ(0, Exec(SRB_DIR_IN, 36, data.data()));
    EXPECT_EQ(0, std::memcmp(sense, dev.abySense, 32));
    EXPECT_EQ(0x05, sense[2]);
    EXPECT_EQ(0x24, sense[12]);
    EXPECT_EQ(0x01, sense[13]);
    EXPECT_EQ(std::vector<BYTE>(36, 0xCD), data);
}

TEST_F(PassThroughTest, FailedIoControlFailsWithTheBlockSenseArea) {
    dev.bResult = FALSE;
    std::vector<BYTE> data(36, 0xCD);
    std::memset(sense, 0x77, sizeof sense);
    EXPECT_EQ(0, Exec(SRB_DIR_IN, 36, data.data()));
    // The driver wrote no sense: the cleared area comes back, all 32 bytes.
    for (int i = 0; i < 32; ++i) EXPECT_EQ(0, sense[i]) << i;
    EXPECT_EQ(std::vector<BYTE>(36, 0xCD), data);
}

TEST_F(PassThroughTest, CommandWithoutDataSucceeds) {
    BYTE tur[12] = {};
    std::memcpy(cdb, tur, sizeof tur);
    EXPECT_EQ(1, fgExecScsiCmd(&drive, SRB_DIR_IN, 0, nullptr, 12, cdb, 1, sense));
    EXPECT_EQ(0u, dev.block.sptd.DataTransferLength);
    EXPECT_EQ(SCSI_IOCTL_DATA_IN, dev.block.sptd.DataIn);
}

TEST_F(PassThroughTest, NoBounceBufferSendsNothing) {
    hostseam::FailHeapAlloc(true);
    std::vector<BYTE> data(4096, 0x5A);
    EXPECT_EQ(0, Exec(SRB_DIR_OUT, 4096, data.data()));
    EXPECT_EQ(0, dev.nCalls);
    hostseam::FailHeapAlloc(false);
}

}  // namespace
