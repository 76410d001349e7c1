#include "tests/e2e/harness/scenario.h"

#include <cstdio>
#include <cstring>

#include "demo/firmware_gen.h"

namespace e2e {

const char kMainTitle[] = "KESTREL";
const char kConfirmTitle[] = "Firmware upgrade program";

HarnessPaths& Paths() {
    static HarnessPaths s_paths;
    return s_paths;
}

bool ParseHarnessArgs(int argc, char** argv) {
    struct Option {
        const char* szName;
        std::string* pValue;
    } options[] = {
        {"--kestrel=", &Paths().strKestrelExe}, {"--wnaspi=", &Paths().strAspiDll},
        {"--demo=", &Paths().strDemoDir},       {"--work=", &Paths().strWorkDir},
        {"--artifacts=", &Paths().strArtifacts},
    };
    for (int i = 1; i < argc; ++i)
        for (Option& o : options)
            if (std::strncmp(argv[i], o.szName, std::strlen(o.szName)) == 0)
                *o.pValue = ToWindowsPath(argv[i] + std::strlen(o.szName));
    bool ok = true;
    for (Option& o : options)
        if (o.pValue->empty()) {
            std::fprintf(stderr, "missing %sPATH\n", o.szName);
            ok = false;
        }
    if (ok && !MakeFolders(Paths().strArtifacts)) {
        std::fprintf(stderr, "cannot create %s\n", Paths().strArtifacts.c_str());
        ok = false;
    }
    return ok;
}

std::vector<uint8_t> DemoFile(const std::string& strName) {
    std::vector<uint8_t> bytes;
    ReadFileBytes(Paths().strDemoDir + "\\" + strName, &bytes);
    return bytes;
}

std::string IdStringWithFlag(const std::string& strFlag) {
    return demo::MakeIdString({{demo::kDriveModel, "A049.hex", "Y"}, {demo::kDriveModel, "A050.bin", strFlag}});
}

CScratchFolder PrepareScenario(const std::string& strName, const ScenarioFiles& files) {
    CScratchFolder folder(Paths().strWorkDir + "\\" + strName);
    if (!folder.Ok()) return folder;
    bool ok = folder.CopyIn(Paths().strKestrelExe, "kestrel.exe") &&
              folder.CopyIn(Paths().strAspiDll, "WNASPI32.dll") &&
              folder.Put(kEmulatorConfigName, EmulatorConfigText(files.emulator)) &&
              folder.Put("A049.hex", DemoFile("A049.hex")) && folder.Put("A050.bin", DemoFile("A050.bin"));
    if (ok && files.bIdString)
        ok = files.strIdString.empty() ? folder.Put("IDString.txt", DemoFile("IDString.txt"))
                                       : folder.Put("IDString.txt", files.strIdString);
    if (!ok) folder.MarkFailed();
    return folder;
}

}  // namespace e2e
