// The emulated drive's own behaviour, and its in-process face's adapter
// answers, where the whole-upgrade tests do not reach.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "emulator/inprocess/aspi_face.h"
#include "emulator/inprocess/inprocess_adapter.h"
#include "emulator/model/emulated_drive.h"
#include "platform/host_seam.h"
#include "scsi/aspi_layout.h"
#include "scsi/pass_through_layout.h"

namespace {

using emu::CEmulatedDrive;
using emu::CommandOutcome;
using emu::DataDirection;

struct Cdb {
    BYTE b[12] = {};
};
Cdb WriteBuffer(BYTE byMode, DWORD dwOffset, DWORD dwLen) {
    Cdb c;
    c.b[0] = 0x3B;
    c.b[1] = byMode;
    c.b[3] = static_cast<BYTE>(dwOffset >> 16);
    c.b[4] = static_cast<BYTE>(dwOffset >> 8);
    c.b[5] = static_cast<BYTE>(dwOffset);
    c.b[6] = static_cast<BYTE>(dwLen >> 16);
    c.b[7] = static_cast<BYTE>(dwLen >> 8);
    c.b[8] = static_cast<BYTE>(dwLen);
    return c;
}

void ExpectSense(const CommandOutcome& o, BYTE byKey, BYTE byAsc, BYTE byAscq) {
    EXPECT_EQ(2, o.byStatus);
    EXPECT_EQ(0x70, o.abySense[0]);
    EXPECT_EQ(byKey, o.abySense[2]);
    EXPECT_EQ(byAsc, o.abySense[12]);
    EXPECT_EQ(byAscq, o.abySense[13]);
}

TEST(EmulatedDrive, InquiryAnswersUpToTheAllocationLength) {
    emu::DriveConfig cfg;
    cfg.byPeripheral = 0x25;  // qualifier 1: not a usable CD/DVD unit
    cfg.strVendor = "ABC";
    cfg.strProduct = "A PRODUCT NAME THAT IS TOO LONG";
    cfg.strRevision = "2.3";
    CEmulatedDrive drive(cfg);
    for (BYTE byAlloc : {36, 127}) {
        std::vector<BYTE> data(200, 0xEE);
        Cdb c;
        c.b[0] = 0x12;
        c.b[4] = byAlloc;
        CommandOutcome o = drive.Execute(c.b, 12, DataDirection::kIn, data.data(), 200);
        EXPECT_EQ(0, o.byStatus);
        const DWORD dwExpect = byAlloc < 96 ? byAlloc : 96;
        EXPECT_EQ(dwExpect, o.dwDataTransferred);
        EXPECT_EQ(0x25, data[0]);
        EXPECT_EQ("ABC     A PRODUCT NAME T2.3 ", std::string(data.begin() + 8, data.begin() + 36));
        EXPECT_EQ(0xEE, data[dwExpect]);
    }
}

TEST(EmulatedDrive, RefusesWhatItDoesNotKnowOrCannotHold) {
    emu::DriveConfig cfg;
    cfg.dwBufferSize = 32 + 8192;
    CEmulatedDrive drive(cfg);
    std::vector<BYTE> block(4096, 1);
    Cdb c = WriteBuffer(6, 32 + 8192 - 4095, 4096);  // one byte past the end
    ExpectSense(drive.Execute(c.b, 12, DataDirection::kOut, block.data(), 4096), 0x05, 0x24, 0x00);
    EXPECT_EQ(0u, drive.BlocksReceived());
    EXPECT_EQ(0, drive.DriveSum());
    Cdb unknown;
    unknown.b[0] = 0xA8;
    ExpectSense(drive.Execute(unknown.b, 12, DataDirection::kIn, nullptr, 0), 0x05, 0x20, 0x00);
    Cdb tur;
    EXPECT_EQ(0, drive.Execute(tur.b, 12, DataDirection::kNone, nullptr, 0).byStatus);
}

TEST(EmulatedDrive, CommitChecksTheHeaderSumThenIsNotReadyForAWhile) {
    emu::DriveConfig cfg;
    cfg.dwNotReadyMs = 5000;
    cfg.strRevisionAfterCommit = "9.99";
    CEmulatedDrive drive(cfg);
    uint64_t now = 100;
    drive.SetClock([&now] { return now; });

    std::vector<BYTE> block(4096, 0x01);  // sums to 0x1000; sent twice
    Cdb w = WriteBuffer(6, 32, 4096);
    drive.Execute(w.b, 12, DataDirection::kOut, block.data(), 4096);
    drive.Execute(w.b, 12, DataDirection::kOut, block.data(), 4096);
    EXPECT_EQ(0x2000, drive.DriveSum());

    std::vector<BYTE> header(32, 0);
    header[30] = 0x10;  // wrong: only one block counted
    Cdb h = WriteBuffer(6, 0, 32);
    EXPECT_EQ(0, drive.Execute(h.b, 12, DataDirection::kOut, header.data(), 32).byStatus);
    Cdb commit = WriteBuffer(7, 0, 0);
    ExpectSense(drive.Execute(commit.b, 12, DataDirection::kIn, nullptr, 0), 0x05, 0x26, 0x00);
    EXPECT_EQ(emu::CommitResult::kSumMismatch, drive.LastCommit());
    EXPECT_EQ("1.00", drive.Revision());

    // A fresh download with the right sum is taken.
    drive.Execute(w.b, 12, DataDirection::kOut, block.data(), 4096);
    header[30] = 0x10;
    drive.Execute(h.b, 12, DataDirection::kOut, header.data(), 32);
    EXPECT_EQ(0, drive.Execute(commit.b, 12, DataDirection::kIn, nullptr, 0).byStatus);
    EXPECT_EQ(emu::CommitResult::kAccepted, drive.LastCommit());
    EXPECT_EQ(block, drive.Firmware());
    EXPECT_EQ("9.99", drive.Revision());

    Cdb tur;
    now += 4999;
    ExpectSense(drive.Execute(tur.b, 12, DataDirection::kNone, nullptr, 0), 0x02, 0x04, 0x01);
    now += 1;
    EXPECT_EQ(0, drive.Execute(tur.b, 12, DataDirection::kNone, nullptr, 0).byStatus);
}

TEST(EmulatedDrive, FaultsHitTheChosenAttemptsOnly) {
    emu::DriveConfig cfg;
    cfg.faults = {{emu::FaultPoint::kBlock, 2, 2, 2, 0x04, 0x44, 0x00},
                  {emu::FaultPoint::kInquiry, 0, 1, 1, 0x02, 0x3A, 0x00}};
    CEmulatedDrive drive(cfg);
    std::vector<BYTE> block(4096, 0);
    Cdb b0 = WriteBuffer(6, 32, 4096), b2 = WriteBuffer(6, 32 + 2 * 4096, 4096);
    EXPECT_EQ(0, drive.Execute(b0.b, 12, DataDirection::kOut, block.data(), 4096).byStatus);
    EXPECT_EQ(0, drive.Execute(b2.b, 12, DataDirection::kOut, block.data(), 4096).byStatus);   // attempt 1
    ExpectSense(drive.Execute(b2.b, 12, DataDirection::kOut, block.data(), 4096), 4, 0x44, 0);  // 2
    ExpectSense(drive.Execute(b2.b, 12, DataDirection::kOut, block.data(), 4096), 4, 0x44, 0);  // 3
    EXPECT_EQ(0, drive.Execute(b2.b, 12, DataDirection::kOut, block.data(), 4096).byStatus);   // 4
    Cdb inq;
    inq.b[0] = 0x12;
    inq.b[4] = 36;
    BYTE data[36];
    ExpectSense(drive.Execute(inq.b, 12, DataDirection::kIn, data, 36), 2, 0x3A, 0);
    EXPECT_EQ(0, drive.Execute(inq.b, 12, DataDirection::kIn, data, 36).byStatus);
}

TEST(EmulatedDrive, ReportListsCommandsAndKeepsTheImageBeside) {
    char szDir[] = "/tmp/kestrel-report-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(szDir));
    const std::string strReport = std::string(szDir) + "/drive.txt";
    {
        emu::DriveConfig cfg;
        cfg.strReportPath = strReport;
        CEmulatedDrive drive(cfg);
        std::vector<BYTE> block(4096, 0x02);
        Cdb w = WriteBuffer(6, 32, 4096);
        drive.Execute(w.b, 12, DataDirection::kOut, block.data(), 4096);
        std::vector<BYTE> header(32, 0);
        header[30] = 0x20;
        Cdb h = WriteBuffer(6, 0, 32);
        drive.Execute(h.b, 12, DataDirection::kOut, header.data(), 32);
        Cdb commit = WriteBuffer(7, 0, 0);
        drive.Execute(commit.b, 12, DataDirection::kIn, nullptr, 0);
    }  // destruction writes the final report
    std::ifstream in(strReport);
    std::stringstream ss;
    ss << in.rdbuf();
    const std::string strText = ss.str();
    EXPECT_NE(std::string::npos, strText.find("1: cdb 3B 06 00 00 00 20 00 10 00 00 00 00 | out 4096 | GOOD\n"));
    EXPECT_NE(std::string::npos, strText.find("3: cdb 3B 07 00 00 00 00 00 00 00 00 00 00 | in 0 | GOOD\n"));
    EXPECT_NE(std::string::npos, strText.find("image bytes: 4096\n"));
    EXPECT_NE(std::string::npos, strText.find("header sum: 2000\n"));
    EXPECT_NE(std::string::npos, strText.find("commit: accepted\n"));
    std::ifstream bin(std::string(szDir) + "/drive.bin", std::ios::binary);
    std::vector<char> image((std::istreambuf_iterator<char>(bin)), std::istreambuf_iterator<char>());
    EXPECT_EQ(std::vector<char>(4096, 0x02), image);
    std::remove(strReport.c_str());
    std::remove((std::string(szDir) + "/drive.bin").c_str());
    rmdir(szDir);
}

TEST(InProcessFace, AdapterListsEveryDriveAndItsLimits) {
    hostseam::Reset();
    emu::DriveConfig a, b;
    a.byTargetId = 0;
    b.byTargetId = 1;
    b.strProduct = "SECOND";
    CEmulatedDrive driveA(a), driveB(b);
    emu::AdapterConfig ac;
    ac.byPathId = 2;
    ac.wAlignMask = 1;
    ac.byMaxTargets = 0;
    ac.dwMaxTransfer = 0x20000;
    emu::CInProcessAdapter adapter(ac);
    adapter.AddDrive(&driveA);
    adapter.AddDrive(&driveB);
    adapter.AttachLetter('f', &driveA);
    adapter.AttachLetter('g', &driveB);

    HANDLE h = PlatOpenDrive('g');
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    std::vector<BYTE> buf(2048, 0);
    DWORD cb = 0;
    ASSERT_TRUE(PlatDeviceIoControl(h, IOCTL_SCSI_GET_INQUIRY_DATA_CODE, nullptr, 0, buf.data(), 2048, &cb));
    auto* pInfo = reinterpret_cast<SCSI_ADAPTER_BUS_INFO*>(buf.data());
    ASSERT_EQ(1, pInfo->NumberOfBuses);
    DWORD dwAt = pInfo->BusData[0].InquiryDataOffset;
    std::vector<std::pair<int, std::string>> units;
    while (dwAt) {
        auto* p = reinterpret_cast<SCSI_INQUIRY_DATA*>(buf.data() + dwAt);
        EXPECT_EQ(2, p->PathId);
        units.push_back({p->TargetId, std::string(reinterpret_cast<char*>(p->InquiryData) + 16, 6)});
        dwAt = p->NextInquiryDataOffset;
    }
    EXPECT_EQ((std::vector<std::pair<int, std::string>>{{0, "EMU DV"}, {1, "SECOND"}}), units);
    EXPECT_FALSE(PlatDeviceIoControl(h, IOCTL_SCSI_GET_INQUIRY_DATA_CODE, nullptr, 0, buf.data(), 40, &cb));

    IO_SCSI_CAPABILITIES caps = {};
    ASSERT_TRUE(PlatDeviceIoControl(h, IOCTL_SCSI_GET_CAPABILITIES_CODE, nullptr, 0, &caps, sizeof caps, &cb));
    EXPECT_EQ(1u, caps.AlignmentMask);
    EXPECT_EQ(0x20000u, caps.MaximumTransferLength);

    // ASPI sees the same adapter.
    emu::InstallAspi({&adapter});
    HMODULE hm = PlatLoadLibrary("wnaspi32");
    auto pfnInfo = reinterpret_cast<PFN_GetASPI32SupportInfo>(PlatGetProcAddress(hm, "GetASPI32SupportInfo"));
    auto pfnSend = reinterpret_cast<PFN_SendASPI32Command>(PlatGetProcAddress(hm, "SendASPI32Command"));
    EXPECT_EQ(0x0101u, pfnInfo());
    SRB_HAInquiry ha = {};
    ha.SRB_Cmd = SC_HA_INQUIRY;
    EXPECT_EQ(SS_COMP, pfnSend(&ha));
    EXPECT_EQ(1, ha.HA_Unique[0]);
    EXPECT_EQ(0, ha.HA_Unique[3]);
    EXPECT_EQ(0x02, ha.HA_Unique[6]);
    SRB_GDEVBlock dev = {};
    dev.SRB_Cmd = SC_GET_DEV_TYPE;
    dev.SRB_Target = 1;
    EXPECT_EQ(SS_COMP, pfnSend(&dev));
    EXPECT_EQ(5, dev.SRB_DeviceType);
    dev.SRB_Target = 2;
    EXPECT_EQ(SS_NO_DEVICE, pfnSend(&dev));
    emu::UninstallAspi();
    PlatFreeLibrary(hm);
    PlatCloseHandle(h);
    hostseam::Reset();
}

}  // namespace
