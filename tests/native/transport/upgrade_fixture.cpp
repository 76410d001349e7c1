#include "upgrade_fixture.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/host_seam.h"
#include "scsi/aspi_layout.h"


Shown UpgradeFixture::s_shown;
uint64_t UpgradeFixture::s_qwNow = 0;

std::string BranchName(const ::testing::TestParamInfo<Branch>& info) {
    switch (info.param) {
        case Branch::kPassThrough: return "PassThrough";
        case Branch::kAspiImmediate: return "AspiImmediate";
        default: return "AspiPending";
    }
}

void UpgradeFixture::SetUp() {
    hostseam::Reset();
    s_shown = Shown();
    s_qwNow = 1000000;
    PlatSetWaitHook(Wait);
    m_eBranch = GetParam();

    char szTemplate[] = "/tmp/kestrel-upgrade-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(szTemplate));
    m_strDir = szTemplate;
    char szOld[4096];
    ASSERT_NE(nullptr, getcwd(szOld, sizeof szOld));
    m_strOldDir = szOld;
    ASSERT_EQ(0, chdir(m_strDir.c_str()));

    m_config.strVendor = kVendor;
    m_config.strProduct = kProduct;
    m_config.strRevision = kRevision;
    m_config.strRevisionAfterCommit = kNewRevision;
    m_config.byTargetId = 0;
    m_config.eAspiCompletion =
        m_eBranch == Branch::kAspiPending ? emu::AspiCompletion::kPending : emu::AspiCompletion::kImmediate;
}

void UpgradeFixture::StopDrive() {
    emu::UninstallAspi();
    g_pfnSendASPI32Command = nullptr;
    if (m_hAspi) PlatFreeLibrary(m_hAspi);
    m_hAspi = nullptr;
    if (m_driveInfo.hDevice) PlatCloseHandle(m_driveInfo.hDevice);
    m_driveInfo.hDevice = nullptr;
    m_pAdapter.reset();
    m_pDrive.reset();
}

void UpgradeFixture::RestartDrive() {
    StopDrive();
    StartDrive();
}

void UpgradeFixture::TearDown() {
    StopDrive();
    hostseam::Reset();
    if (!m_strOldDir.empty()) {
        EXPECT_EQ(0, chdir(m_strOldDir.c_str()));
    }
    if (!m_strDir.empty()) {
        std::string cmd = "rm -rf '" + m_strDir + "'";
        EXPECT_EQ(0, std::system(cmd.c_str()));
    }
}

void UpgradeFixture::StartDrive() {
    m_pDrive = std::make_unique<emu::CEmulatedDrive>(m_config);
    m_pDrive->SetClock([] { return s_qwNow; });
    emu::AdapterConfig adapter;
    adapter.wAlignMask = 2047;
    m_pAdapter = std::make_unique<emu::CInProcessAdapter>(adapter);
    m_pAdapter->AddDrive(m_pDrive.get());
    m_pAdapter->AttachLetter('e', m_pDrive.get());
    emu::InstallAspi({m_pAdapter.get()});

    m_driveInfo = DRIVE_INFO();
    std::snprintf(m_driveInfo.szModel, sizeof m_driveInfo.szModel, "%s(0)", kModel);
    std::snprintf(m_driveInfo.szRevision, sizeof m_driveInfo.szRevision, "%s", kRevision);
    if (m_eBranch == Branch::kPassThrough) {
        // As the NT 5 path records it.
        m_driveInfo.hDevice = PlatOpenDrive('e');
        ASSERT_NE(INVALID_HANDLE_VALUE, m_driveInfo.hDevice);
        m_driveInfo.dwAlignMask = 2047;
    } else {
        m_hAspi = PlatLoadLibrary("WNASPI32");
        ASSERT_NE(nullptr, m_hAspi);
        g_pfnSendASPI32Command =
            reinterpret_cast<PFN_SendASPI32Command>(PlatGetProcAddress(m_hAspi, "SendASPI32Command"));
        ASSERT_NE(nullptr, g_pfnSendASPI32Command);
        m_driveInfo.dwAlignMask = 0xFF;
        std::memset(m_driveInfo.abyReserved, 0xFF, sizeof m_driveInfo.abyReserved);
    }
}

void UpgradeFixture::RunUpgrade(const std::string& strFile, bool bHex) {
    if (!m_pDrive) StartDrive();
    FLASH_PARAM param = {};
    param.drive = m_driveInfo;
    std::snprintf(param.sImagePath, sizeof param.sImagePath, "%s/%s", m_strDir.c_str(), strFile.c_str());
    std::snprintf(param.sDriveName, sizeof param.sDriveName, "%s", m_driveInfo.szModel);
    std::snprintf(param.sRevision, sizeof param.sRevision, "%.7s", m_driveInfo.szRevision);
    param.bHexImage = bHex ? 1 : 0;
    param.CBSetRevision = SetRevision;
    param.CBSetDriveName = SetDriveName;
    param.CBShowMessage = ShowMessage;
    param.CBShowStatus = ShowStatus;
    param.CBSetProgress = SetProgress;
    param.CBIfTerminated = IfTerminated;
    param.bUsePassThrough = m_eBranch == Branch::kPassThrough ? 1 : 0;
    CFlashEngine engine(param);
    engine.Run();
}

std::string UpgradeFixture::SumText() const {
    std::ifstream in("sum.txt", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool UpgradeFixture::SumExists() const { return access("sum.txt", F_OK) == 0; }

std::vector<BYTE> UpgradeFixture::RawImage(size_t n) {
    std::vector<BYTE> image(n);
    uint32_t x = 12345;
    for (size_t i = 0; i < n; ++i) {
        x = x * 1103515245u + 12345u;
        image[i] = static_cast<BYTE>(x >> 16);
    }
    const size_t at = n / 2;
    std::memcpy(&image[at], kModel, 24);
    std::memcpy(&image[at + 24], kRevision, 4);
    return image;
}

void UpgradeFixture::WriteFile(const std::string& strName, const std::vector<BYTE>& bytes) const {
    std::ofstream out(strName, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void UpgradeFixture::WriteText(const std::string& strName, const std::string& strText) const {
    std::ofstream out(strName, std::ios::binary);
    out << strText;
}

void UpgradeFixture::ShowMessage(const char* p) { s_shown.messages.push_back(p); }
void UpgradeFixture::ShowStatus(const char* p) { s_shown.statuses.push_back(p); }
void UpgradeFixture::SetProgress(int n) { s_shown.progress.push_back(n); }
void UpgradeFixture::SetDriveName(const char* p) { s_shown.names.push_back(p); }
void UpgradeFixture::SetRevision(const char* p) { s_shown.revisions.push_back(p); }
BYTE UpgradeFixture::IfTerminated() {
    ++s_shown.nPolls;
    // Only the low 8 bits count: 0x100 would read as "go on".
    return s_shown.nPolls == s_shown.nStopAt ? 1 : 0;
}
void UpgradeFixture::Wait(DWORD ms) {
    s_shown.waits.push_back(ms);
    s_qwNow += ms;
}

std::string ExpectedBlockTrace(const std::vector<BYTE>& buffer, const std::vector<int>& attempts, WORD wTotal0,
                               WORD* pwSum) {
    std::string s;
    char sz[128];
    std::snprintf(sz, sizeof sz, "Model Name : %s(0) HID : 0 TID : 0 Ver.: %s\n", kModel, kRevision);
    s += sz;
    WORD wSum = 0, wTotal = wTotal0;
    for (size_t b = 0; b < attempts.size(); ++b) {
        for (int a = 0; a < attempts[b]; ++a) {
            for (DWORD i = 0; i < 4096; ++i) wSum = static_cast<WORD>(wSum + buffer[b * 4096 + i]);
            wTotal = static_cast<WORD>(wTotal + wSum);
            std::snprintf(sz, sizeof sz, "Address=%.8X,_wSecSum=%.4X,_total=%.4X\n",
                          static_cast<unsigned>(32 + b * 4096), wSum, wTotal);
            s += sz;
        }
    }
    *pwSum = wSum;
    return s;
}

std::string ExpectedHeaderTrace(WORD wSum) {
    char sz[64];
    std::snprintf(sz, sizeof sz, "sSendBuf[30]=%X   sSendBuf[31]=%X\n", wSum >> 8, wSum & 0xFF);
    return std::string("Finished : fgWriteOneFlashCmdData()\n") + sz + "Finished : fgWriteHeader()\n";
}
