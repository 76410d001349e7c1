// Whole upgrades through the unchanged transport against the emulated drive.
// The fixture runs each test in a scratch current directory (so sum.txt lands
// there), puts one emulated drive on an adapter reachable both as drive letter
// E: and as ASPI adapter 0, records every callback and every wait, and drives
// the emulated drive's clock from the waits, so no test sleeps.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "emulator/inprocess/aspi_face.h"
#include "emulator/inprocess/inprocess_adapter.h"
#include "engine/flash_engine.h"

// The emulated drive's identity; the job block's name starts with it.
constexpr char kVendor[] = "KESTREL ";                  // 8 characters
constexpr char kProduct[] = "EMU DVD-RW 8X   ";         // 16 characters
constexpr char kModel[] = "KESTREL EMU DVD-RW 8X   ";   // vendor + product, 24 characters
constexpr char kRevision[] = "1.00";
constexpr char kNewRevision[] = "1.10";                 // after a successful commit

enum class Branch { kPassThrough, kAspiImmediate, kAspiPending };
std::string BranchName(const ::testing::TestParamInfo<Branch>& info);

// What the engine showed, in order.
struct Shown {
    std::vector<std::string> messages;
    std::vector<std::string> statuses;
    std::vector<int> progress;
    std::vector<std::string> names;
    std::vector<std::string> revisions;
    std::vector<DWORD> waits;
    int nPolls = 0;    // CBIfTerminated calls
    int nStopAt = 0;   // CBIfTerminated answers 1 on this call (1-based; 0: never)
};

class UpgradeFixture : public ::testing::TestWithParam<Branch> {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the emulated drive (config may be adjusted first through
    // m_config) and the transport's DRIVE_INFO for the test's branch.
    void StartDrive();
    // Drops the current drive (and its registrations) and starts a new one
    // from m_config.
    void RestartDrive();
    // Runs one whole upgrade of strFile; answers nothing, see m_shown.
    void RunUpgrade(const std::string& strFile, bool bHex);
    // sum.txt of the scratch directory ("" when absent).
    std::string SumText() const;
    bool SumExists() const;

    // A raw image of n bytes with the model text and revision inside.
    static std::vector<BYTE> RawImage(size_t n);
    // Writes bytes into the scratch directory.
    void WriteFile(const std::string& strName, const std::vector<BYTE>& bytes) const;
    void WriteText(const std::string& strName, const std::string& strText) const;

    Branch m_eBranch = Branch::kPassThrough;
    emu::DriveConfig m_config;
    std::unique_ptr<emu::CEmulatedDrive> m_pDrive;
    std::unique_ptr<emu::CInProcessAdapter> m_pAdapter;
    DRIVE_INFO m_driveInfo = {};
    std::string m_strDir, m_strOldDir;
    static Shown s_shown;
    static uint64_t s_qwNow;  // the emulated drive's clock, in ms

private:
    static void ShowMessage(const char* p);
    static void ShowStatus(const char* p);
    static void SetProgress(int n);
    static void SetDriveName(const char* p);
    static void SetRevision(const char* p);
    static BYTE IfTerminated();
    static void Wait(DWORD ms);
    void StopDrive();
    HMODULE m_hAspi = nullptr;
};

// The trace lines the engine must write up to the last block attempt: the
// "Model Name" line, then one line per attempt, block b sent attempts[b]
// times (its bytes taken from buffer, the 1 MB image as the loader fills it),
// given _total before the run. *pwSum receives the final _wSecSum.
std::string ExpectedBlockTrace(const std::vector<BYTE>& buffer, const std::vector<int>& attempts, WORD wTotal0,
                               WORD* pwSum);
// The lines of the header step after a successful block loop.
std::string ExpectedHeaderTrace(WORD wSum);
