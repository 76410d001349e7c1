// Discovery and a whole download through the real Windows loader and our
// WNASPI32.DLL, under Wine. The binary runs twice (see CMakeLists.txt): with
// Windows 98 reported, the Win98 suites load the DLL from this folder and
// talk to its emulated drives over ASPI; with Windows 10 reported, the Win10
// suite takes the NT 5 path, which must find nothing and survive it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "emulator/wnaspi32/default_drive.h"
#include "engine/flash_engine.h"
#include "platform/platform.h"
#include "scsi/drive_discovery.h"
#include "scsi/scsi_transport.h"

namespace {

// The folder of this executable, which is also WNASPI32.DLL's.
std::string ExeFolder() {
    char sz[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, sz, MAX_PATH);
    std::string s(sz, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

void WriteText(const std::string& strPath, const std::string& strText) {
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    out << strText;
}

// The file's text with Windows line ends turned into '\n'.
std::string ReadText(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string s = ss.str();
    s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
    return s;
}

// The OS flags exactly as the main dialog derives them.
void OsFlags(DRIVE_TABLE& table) {
    OSVERSIONINFOA vi = {};
    vi.dwOSVersionInfoSize = sizeof(vi);
    ASSERT_TRUE(GetVersionExA(&vi));
    table.m_bNT = vi.dwPlatformId == VER_PLATFORM_WIN32_NT;
    table.m_bNT4 = table.m_bNT && vi.dwMajorVersion <= 4;
}

// Everything the program would show, recorded instead.
struct Screen {
    std::vector<std::string> log;
    std::string strRevision, strDriveName;
    std::vector<DWORD> waits;
};
Screen g_screen;
void CBShowMessage(const char* psz) { g_screen.log.push_back(psz); }
void CBSetRevision(const char* psz) { g_screen.strRevision = psz; }
void CBSetDriveName(const char* psz) { g_screen.strDriveName = psz; }
void CBShowStatus(const char*) {}
void CBSetProgress(int) {}
BYTE CBIfTerminated() { return 0; }
void RecordWait(DWORD ms) { g_screen.waits.push_back(ms); }

// A drive set on two adapters: adapter 0 reports 0 targets, so only
// targets 0 and 1 are probed and the drive at target 2 stays hidden; the
// disk and the unit with a non-zero qualifier are no CD/DVD drives.
const char kTwoAdapterConfig[] =
    "# written by aspi_discovery_test\n"
    "[adapter 0]\n"
    "max_targets = 0\n"
    "alignment_mask = 0x0103\n"
    "max_transfer = 0x20000\n"
    "\n"
    "[drive]\n"
    "adapter = 0\n"
    "target = 0\n"
    "peripheral = 0x00\n"
    "vendor = DISK\n"
    "product = SYSTEM\n"
    "\n"
    "[drive]\n"
    "adapter = 0\n"
    "target = 1\n"
    "vendor = \"KESTREL \"\n"
    "product = \"EMU-DVD 16X     \"\n"
    "revision = A049\n"
    "revision_after_commit = A050\n"
    "completion = pending\n"
    "pending_delay_ms = 2\n"
    "report = aspi-test-report.txt\n"
    "\n"
    "[drive]\n"
    "adapter = 0\n"
    "target = 2\n"
    "product = HIDDEN\n"
    "\n"
    "[drive]\n"
    "adapter = 1\n"
    "target = 0\n"
    "peripheral = 0x25\n"
    "product = QUALIFIED\n"
    "\n"
    "[drive]\n"
    "adapter = 1\n"
    "target = 3\n"
    "vendor = ACME\n"
    "product = TWIN DRIVE\n"
    "revision = B7\n"
    "completion = immediate\n";

class Win98Aspi : public ::testing::Test {
protected:
    void SetUp() override {
        OsFlags(table);
        ASSERT_EQ(table.m_bNT, 0) << "run with KESTREL_WINVER=win98";
        for (const char* psz : {"WNASPI32.cfg", "WNASPI32.log", "aspi-test-report.txt", "aspi-test-report.bin",
                                "wnaspi32-report-0-0.txt", "wnaspi32-report-0-0.bin"})
            std::remove((ExeFolder() + psz).c_str());
        g_screen = Screen();
    }
    void TearDown() override {
        EXPECT_EQ(fgUnloadAspi(table), 1);
        // A pending command's worker holds the DLL until it has returned from
        // signalling, which may be a moment after the program's wait ended.
        for (int i = 0; i < 2000 && GetModuleHandleA("WNASPI32"); ++i) Sleep(1);
        EXPECT_EQ(GetModuleHandleA("WNASPI32"), nullptr) << "teardown leaves the library loaded";
        for (int i = 0; i < table.m_nDrives; ++i) PlatHeapFree(table.m_pDrives[i]);
        std::remove((ExeFolder() + "WNASPI32.cfg").c_str());
        PlatSetWaitHook(nullptr);
    }

    void LoadAndScan() {
        ASSERT_EQ(fgLoadAspi(table, nullptr), 1);
        ASSERT_NE(table.m_hAspiDll, nullptr);
        ScanDrives(table);
    }

    DRIVE_TABLE table{};
};

TEST_F(Win98Aspi, DiscoveryThroughTheLoaderFindsTheConfiguredCdDrives) {
    WriteText(ExeFolder() + "WNASPI32.cfg", kTwoAdapterConfig);
    LoadAndScan();

    ASSERT_EQ(table.m_nDrives, 2);
    const DRIVE_INFO& first = *table.m_pDrives[0];
    EXPECT_STREQ(first.szModel, emu::kDefaultModelText);
    EXPECT_STREQ(first.szRevision, "A049");
    EXPECT_EQ(first.byHostId, 0);
    EXPECT_EQ(first.byTargetId, 1);
    EXPECT_EQ(first.dwMaxTransfer, 0x20000u);
    EXPECT_EQ(first.dwAlignMask, 0x03u);  // low byte of the adapter's mask
    EXPECT_EQ(first.hDevice, nullptr);
    const DRIVE_INFO& second = *table.m_pDrives[1];
    EXPECT_STREQ(second.szModel, "ACME    TWIN DRIVE      ");
    EXPECT_STREQ(second.szRevision, "B7  ");
    EXPECT_EQ(second.byHostId, 1);
    EXPECT_EQ(second.byTargetId, 3);
}

TEST_F(Win98Aspi, InquiryAndAWholeDownloadReachThePendingDrive) {
    WriteText(ExeFolder() + "WNASPI32.cfg", kTwoAdapterConfig);
    LoadAndScan();
    ASSERT_GE(table.m_nDrives, 1);
    const DRIVE_INFO& drive = *table.m_pDrives[0];

    // INQUIRY through the transport's ASPI branch: the drive answers pending
    // and signals the request's event from its worker.
    BYTE cdb[12] = {0x12, 0, 0, 0, 36};
    BYTE data[36] = {};
    BYTE sense[32] = {};
    ASSERT_EQ(fgExecScsiCmd(&drive, SRB_DIR_IN, sizeof(data), data, sizeof(cdb), cdb, table.m_bNT, sense), 1);
    EXPECT_EQ(data[0], 0x05);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data + 8), 24), emu::kDefaultModelText);

    // A 10 KB raw image that names the drive and its revision family.
    std::vector<char> image(10 * 1024);
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>(i * 7 + 3);
    std::string strModel = emu::kDefaultModelText;
    std::copy(strModel.begin(), strModel.end(), image.begin() + 0x100);
    image[0x200] = 'A';
    image[0x201] = '0';
    std::string strImagePath = ExeFolder() + "aspi-test-image.bin";
    WriteText(strImagePath, std::string(image.begin(), image.end()));

    FLASH_PARAM param = {};
    param.drive = drive;
    std::snprintf(param.sImagePath, sizeof(param.sImagePath), "%s", strImagePath.c_str());
    std::snprintf(param.sDriveName, sizeof(param.sDriveName), "%s(0)", drive.szModel);
    std::snprintf(param.sRevision, sizeof(param.sRevision), "%s", drive.szRevision);
    param.bHexImage = 0;
    param.CBSetRevision = CBSetRevision;
    param.CBSetDriveName = CBSetDriveName;
    param.CBShowMessage = CBShowMessage;
    param.CBShowStatus = CBShowStatus;
    param.CBSetProgress = CBSetProgress;
    param.CBIfTerminated = CBIfTerminated;
    param.bUsePassThrough = table.m_bNT;
    PlatSetWaitHook(RecordWait);
    {
        CFlashEngine engine(param);
        engine.Run();
    }
    std::remove(strImagePath.c_str());

    ASSERT_FALSE(g_screen.log.empty());
    EXPECT_EQ(g_screen.log.back(), "Please Restart Your Computer.");
    EXPECT_EQ(g_screen.strRevision, "A050");  // the drive took the firmware
    EXPECT_FALSE(g_screen.waits.empty());

    std::string strReport = ReadText(ExeFolder() + "aspi-test-report.txt");
    EXPECT_NE(strReport.find("blocks received: 3\n"), std::string::npos) << strReport;
    EXPECT_NE(strReport.find("commit: accepted\n"), std::string::npos) << strReport;
    EXPECT_NE(strReport.find("identity: KESTREL |EMU-DVD 16X     |A050\n"), std::string::npos) << strReport;
    // The header's sum is the drive's own sum: that is what "accepted" means.
    size_t at = strReport.find("header sum: ");
    ASSERT_NE(at, std::string::npos);
    std::string strHeaderSum = strReport.substr(at + 12, 4);
    EXPECT_NE(strReport.find("drive sum: " + strHeaderSum + "\n"), std::string::npos) << strReport;
}

TEST_F(Win98Aspi, AFailingInquiryDropsTheDriveAndItsSenseComesBack) {
    // Pending completion carries the failure, the target status and the
    // sense bytes back through the request block.
    WriteText(ExeFolder() + "WNASPI32.cfg",
              "[drive]\n"
              "completion = pending\n"
              "fault = inquiry count every sense 05/24/00\n"
              "report = aspi-test-report.txt\n");
    LoadAndScan();
    EXPECT_EQ(table.m_nDrives, 0);

    DRIVE_INFO drive = {};
    BYTE cdb[12] = {0x12, 0, 0, 0, 36};
    BYTE data[36] = {};
    BYTE sense[32] = {};
    EXPECT_EQ(fgExecScsiCmd(&drive, SRB_DIR_IN, sizeof(data), data, sizeof(cdb), cdb, table.m_bNT, sense), 0);
    EXPECT_EQ(sense[2], 0x05);
    EXPECT_EQ(sense[12], 0x24);
    EXPECT_EQ(sense[13], 0x00);
}

TEST_F(Win98Aspi, WithoutAConfigurationTheDemoDriveIsServed) {
    LoadAndScan();
    ASSERT_EQ(table.m_nDrives, 1);
    EXPECT_STREQ(table.m_pDrives[0]->szModel, emu::kDefaultModelText);
    EXPECT_STREQ(table.m_pDrives[0]->szRevision, emu::kDefaultRevision);
}

TEST_F(Win98Aspi, ABrokenConfigurationServesNoDriveAndSaysWhy) {
    WriteText(ExeFolder() + "WNASPI32.cfg", "[drive]\nvendor = FAR TOO LONG\n");
    LoadAndScan();
    EXPECT_EQ(table.m_nDrives, 0);
    std::string strLog = ReadText(ExeFolder() + "WNASPI32.log");
    EXPECT_NE(strLog.find("line 2: vendor is longer than 8"), std::string::npos) << strLog;
}

TEST(Win10PassThrough, NtFivePathOpensTheLettersAndFindsNoDrive) {
    DRIVE_TABLE table{};
    OsFlags(table);
    ASSERT_EQ(table.m_bNT, 1) << "run with KESTREL_WINVER=win10";
    ASSERT_EQ(table.m_bNT4, 0);
    EXPECT_EQ(fgLoadAspi(table, nullptr), 1);
    EXPECT_EQ(GetModuleHandleA("WNASPI32"), nullptr);  // nothing is loaded on the NT family
    // The prefix has drive letters the scan can open (c: at least), so the
    // scan really sends its INQUIRY to devices that do not answer it.
    int nOpenable = 0;
    for (char ch = 'c'; ch <= 'z'; ++ch) {
        HANDLE h = PlatOpenDrive(ch);
        if (h == INVALID_HANDLE_VALUE) continue;
        ++nOpenable;
        PlatCloseHandle(h);
    }
    EXPECT_GE(nOpenable, 1);
    ScanDrives(table);
    EXPECT_EQ(table.m_nDrives, 0);
    EXPECT_EQ(fgUnloadAspi(table), 1);
}

}  // namespace
