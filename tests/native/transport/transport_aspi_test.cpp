// The ASPI branch against a SendASPI32Command that captures the request block
// and completes it at once or later from another thread.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/host_seam.h"
#include "scsi/aspi_layout.h"
#include "scsi/scsi_transport.h"

namespace {

enum class Mode { kImmediate, kPending };

// The fake ASPI layer's state; its entry point is a plain function.
struct FakeAspi {
    Mode eMode = Mode::kImmediate;
    BYTE byStatus = SS_COMP;
    BYTE abySense[16] = {};
    int nCalls = 0;
    SRB_ExecSCSICmd seen = {};
    DWORD dwEventStateAtSend = 0;  // PlatWaitForEvent(h, 0) when the request arrived
    std::thread completer;
};
FakeAspi* g_pFake = nullptr;

void Finish(SRB_ExecSCSICmd* pSrb) {
    if (g_pFake->byStatus != SS_COMP) std::memcpy(pSrb->SenseArea, g_pFake->abySense, 16);
    if (pSrb->SRB_BufLen && !(pSrb->SRB_Flags & SRB_DIR_OUT)) std::memset(pSrb->SRB_BufPointer, 0x3C, pSrb->SRB_BufLen);
    HANDLE h = pSrb->SRB_PostProc;
    pSrb->SRB_Status = g_pFake->byStatus;
    PlatSetEvent(h);
}

DWORD FakeSend(void* p) {
    auto* pSrb = static_cast<SRB_ExecSCSICmd*>(p);
    ++g_pFake->nCalls;
    g_pFake->seen = *pSrb;
    g_pFake->dwEventStateAtSend = PlatWaitForEvent(pSrb->SRB_PostProc, 0);
    if (g_pFake->eMode == Mode::kImmediate) {
        if (g_pFake->byStatus != SS_COMP) std::memcpy(pSrb->SenseArea, g_pFake->abySense, 16);
        pSrb->SRB_Status = g_pFake->byStatus;  // done, no event
        return pSrb->SRB_Status;
    }
    g_pFake->completer = std::thread([pSrb] {
        // Late enough that a transport which did not wait would have
        // returned already and read SS_PENDING.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Finish(pSrb);
    });
    return SS_PENDING;
}

class AspiTransportTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostseam::Reset();
        g_pFake = &fake;
        g_pfnSendASPI32Command = FakeSend;
        drive.byHostId = 1;
        drive.byTargetId = 4;
        drive.dwAlignMask = 2047;  // ignored on ASPI: the caller's buffer goes down
    }
    void TearDown() override {
        if (fake.completer.joinable()) fake.completer.join();
        g_pfnSendASPI32Command = nullptr;
        g_pFake = nullptr;
        hostseam::Reset();
    }
    int Exec(BYTE byDir, DWORD dwLen, BYTE* pData) {
        return fgExecScsiCmd(&drive, byDir, dwLen, pData, 12, cdb, 0, sense);
    }

    FakeAspi fake;
    DRIVE_INFO drive = {};
    BYTE cdb[12] = {0x12, 0, 0, 0, 0x24};
    BYTE sense[32];
};

TEST_F(AspiTransportTest, BuildsTheRequestBlock) {
    BYTE data[36] = {};
    ASSERT_EQ(1, Exec(SRB_DIR_IN, sizeof data, data));
    const SRB_ExecSCSICmd& s = fake.seen;
    EXPECT_EQ(SC_EXEC_SCSI_CMD, s.SRB_Cmd);
    EXPECT_EQ(1, s.SRB_HaId);
    EXPECT_EQ(4, s.SRB_Target);
    EXPECT_EQ(0, s.SRB_Lun);
    EXPECT_EQ(SRB_DIR_IN | SRB_EVENT_NOTIFY, s.SRB_Flags);
    // The block is byte packed: copy its wider fields out before comparing.
    const DWORD dwBufLen = s.SRB_BufLen;
    BYTE* const pBuf = s.SRB_BufPointer;
    void* const pPostProc = s.SRB_PostProc;
    EXPECT_EQ(36u, dwBufLen);
    EXPECT_EQ(data, pBuf);
    EXPECT_EQ(14, s.SRB_SenseLen);
    EXPECT_EQ(12, s.SRB_CDBLen);
    EXPECT_EQ(0, std::memcmp(s.CDBByte, cdb, 12));
    EXPECT_NE(nullptr, pPostProc);
    EXPECT_EQ(WAIT_TIMEOUT, fake.dwEventStateAtSend);  // created unsignalled (and reset)
}

TEST_F(AspiTransportTest, BothDirectionBitsPassUnchanged) {
    BYTE data[4] = {};
    ASSERT_EQ(1, Exec(SRB_DIR_IN | SRB_DIR_OUT, sizeof data, data));
    EXPECT_EQ(SRB_DIR_IN | SRB_DIR_OUT | SRB_EVENT_NOTIFY, fake.seen.SRB_Flags);
}

TEST_F(AspiTransportTest, ImmediateAndPendingCompletion) {
    for (Mode m : {Mode::kImmediate, Mode::kPending}) {
        fake.eMode = m;
        fake.byStatus = SS_COMP;
        BYTE data[36] = {};
        // Immediate: not waited for (the event is never set, so a wait would
        // hang). Pending: the result is the one written after the return.
        EXPECT_EQ(1, Exec(SRB_DIR_IN, sizeof data, data)) << int(m);
        if (fake.completer.joinable()) fake.completer.join();
    }
    EXPECT_EQ(2, fake.nCalls);
}

TEST_F(AspiTransportTest, FailureCopiesTheRequestSenseArea) {
    for (Mode m : {Mode::kImmediate, Mode::kPending}) {
        fake.eMode = m;
        fake.byStatus = SS_ERR;
        std::memset(fake.abySense, 0xAB, sizeof fake.abySense);
        fake.abySense[2] = 0x03;
        fake.abySense[12] = 0x0C;
        fake.abySense[13] = 0x02;
        std::memset(sense, 0x77, sizeof sense);
        BYTE data[4] = {1, 2, 3, 4};
        EXPECT_EQ(0, Exec(SRB_DIR_OUT, sizeof data, data));
        if (fake.completer.joinable()) fake.completer.join();
        EXPECT_EQ(0x03, sense[2]);
        EXPECT_EQ(0x0C, sense[12]);
        EXPECT_EQ(0x02, sense[13]);
        // Fourteen bytes come back; the rest of the cleared half stays clear.
        EXPECT_EQ(0, sense[14]);
        EXPECT_EQ(0, sense[15]);
        EXPECT_EQ(0x77, sense[16]);
    }
}

TEST_F(AspiTransportTest, NoEventMeansNothingIsSent) {
    hostseam::FailCreateEvent(true);
    BYTE data[36] = {};
    EXPECT_EQ(0, Exec(SRB_DIR_IN, sizeof data, data));
    EXPECT_EQ(0, fake.nCalls);
}

TEST_F(AspiTransportTest, NoAspiLayerFailsInsteadOfCallingThrough) {
    g_pfnSendASPI32Command = nullptr;
    BYTE data[36] = {};
    EXPECT_EQ(0, Exec(SRB_DIR_IN, sizeof data, data));
}

}  // namespace
