#include "engine_fixture.h"

#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/host_seam.h"

std::vector<std::string> EngineFixture::s_messages;
int EngineFixture::s_nPolls = 0;
int EngineFixture::s_nStopAt = 0;

void EngineFixture::ShowMessage(const char* pszText) { s_messages.push_back(pszText); }
void EngineFixture::IgnoreText(const char*) {}
void EngineFixture::IgnoreProgress(int) {}
BYTE EngineFixture::IfTerminated() {
    ++s_nPolls;
    // Only the low 8 bits count: a stop is any nonzero byte.
    return (s_nStopAt != 0 && s_nPolls >= s_nStopAt) ? 0x80 : 0;
}

void EngineFixture::SetUp() {
    s_messages.clear();
    s_nPolls = 0;
    s_nStopAt = 0;
    std::string strTemplate =
        (std::filesystem::temp_directory_path() / "kestrel-engine-XXXXXX").string();
    ASSERT_NE(mkdtemp(strTemplate.data()), nullptr);
    m_strDir = strTemplate;
}

void EngineFixture::TearDown() {
    if (m_pEngine) {
        EXPECT_EQ(m_pEngine->_fpInput, nullptr) << "the firmware file was left open";
    }
    ReleaseImage();
    m_pEngine.reset();
    EXPECT_EQ(hostseam::AllocatedPageBlocks(), 0) << "an image buffer was allocated twice";
    std::error_code ec;
    std::filesystem::remove_all(m_strDir, ec);
}

std::string EngineFixture::WriteFile(const std::string& strName, const std::string& strBytes) {
    const std::string strPath = m_strDir + "/" + strName;
    FILE* fp = std::fopen(strPath.c_str(), "wb");
    EXPECT_NE(fp, nullptr);
    if (fp) {
        EXPECT_EQ(std::fwrite(strBytes.data(), 1, strBytes.size(), fp), strBytes.size());
        std::fclose(fp);
    }
    return strPath;
}

CFlashEngine& EngineFixture::MakeEngine(const std::string& strPath, bool bHex,
                                        const std::string& strDriveName,
                                        const std::string& strRevision) {
    ReleaseImage();
    FLASH_PARAM param;
    std::memset(&param, 0, sizeof param);
    std::snprintf(param.sImagePath, sizeof param.sImagePath, "%s", strPath.c_str());
    std::snprintf(param.sDriveName, sizeof param.sDriveName, "%s", strDriveName.c_str());
    std::snprintf(param.sRevision, sizeof param.sRevision, "%s", strRevision.c_str());
    param.bHexImage = bHex ? 1 : 0;
    param.CBSetRevision = IgnoreText;
    param.CBSetDriveName = IgnoreText;
    param.CBShowMessage = ShowMessage;
    param.CBShowStatus = IgnoreText;
    param.CBSetProgress = IgnoreProgress;
    param.CBIfTerminated = IfTerminated;
    m_pEngine = std::make_unique<CFlashEngine>(param);
    return *m_pEngine;
}

void EngineFixture::ReleaseImage() {
    if (!m_pEngine || !m_pEngine->_pBank[0]) return;
    PlatUnlockPages(m_pEngine->_pBank[0], CFlashEngine::kImageSize);
    PlatFreePages(m_pEngine->_pBank[0]);
    for (BYTE*& p : m_pEngine->_pBank) p = nullptr;
}

BYTE EngineFixture::ImageByte(DWORD dwAddress) const {
    return m_pEngine->_pBank[dwAddress >> 15][dwAddress & 0x7FFF];
}
