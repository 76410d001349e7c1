// A CFlashEngine built from a job block whose callbacks record what the
// engine shows, in a scratch directory of the test's own. The image buffer a
// test's load allocated is released at the end of the test, as Run would.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/flash_engine.h"

class EngineFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes bytes to a file of the scratch directory; answers its path.
    std::string WriteFile(const std::string& strName, const std::string& strBytes);
    // An engine for this image file, Intel HEX or raw, with the displayed
    // drive name and revision. Replaces (and releases) any earlier one.
    CFlashEngine& MakeEngine(const std::string& strPath, bool bHex,
                             const std::string& strDriveName = "VENDORX PRODUCT-NAME-1234",
                             const std::string& strRevision = "1.05");
    // Unlocks and frees the image buffer of the current engine, if any.
    void ReleaseImage();
    // Image byte at address a of the current engine's buffer.
    BYTE ImageByte(DWORD dwAddress) const;

    std::unique_ptr<CFlashEngine> m_pEngine;
    std::string m_strDir;

    // Filled by the callbacks.
    static std::vector<std::string> s_messages;
    static int s_nPolls;   // CBIfTerminated calls
    static int s_nStopAt;  // CBIfTerminated answers 1 from this call on (0: never)

private:
    static void ShowMessage(const char* pszText);
    static void IgnoreText(const char* pszText);
    static void IgnoreProgress(int nPos);
    static BYTE IfTerminated();
};
