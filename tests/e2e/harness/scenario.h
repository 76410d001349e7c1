// What every end-to-end scenario shares: where the program, the emulated
// drive's library, the demo inputs and the artifacts are, laying out a
// scenario's folder, and the main dialog's items.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/harness/emulator_setup.h"
#include "tests/e2e/harness/scratch_folder.h"

namespace e2e {

// Items of the program's main dialog and of its confirmation dialog.
enum : int {
    kIdDrive = 1000,
    kIdProgress = 1011,
    kIdLog = 1012,
    kIdStatus = 1014,
    kIdUpgrade = 1015,
    kIdRevision = 1016,
    kIdClose = IDCANCEL,
    kIdOk = IDOK,
    kIdCancel = IDCANCEL,
};
extern const char kMainTitle[];     // "KESTREL"
extern const char kConfirmTitle[];  // "Firmware upgrade program"

// Set once from the command line (Windows paths).
struct HarnessPaths {
    std::string strKestrelExe;
    std::string strAspiDll;
    std::string strDemoDir;   // the committed demo inputs
    std::string strWorkDir;   // scenario folders go below it
    std::string strArtifacts; // screenshots (BMP; the test step makes PNGs)
};
HarnessPaths& Paths();
// Parses --kestrel= --wnaspi= --demo= --work= --artifacts=; false with a
// message on stderr when one is missing.
bool ParseHarnessArgs(int argc, char** argv);

struct ScenarioFiles {
    bool bIdString = true;
    std::string strIdString;  // empty: the demo's IDString.txt
    EmulatorSetup emulator;
};

// Lays out Work\strName: kestrel.exe, WNASPI32.dll, the emulator's
// configuration, IDString.txt and the demo's two firmware images. Returns
// the folder; its Ok() is false when anything could not be written.
CScratchFolder PrepareScenario(const std::string& strName, const ScenarioFiles& files);

// The demo's committed input strName, read from the demo folder.
std::vector<uint8_t> DemoFile(const std::string& strName);

// The allow-list the demo ships, with the confirmation flag of its last line
// replaced (the last flag decides).
std::string IdStringWithFlag(const std::string& strFlag);

}  // namespace e2e
