// The demo's one upgrade, for a machine without a display: starts kestrel.exe
// in the demo folder (inside a Wine virtual desktop, so the window has its
// frame), presses Upgrade, agrees in the confirmation dialog, follows the run
// to its end, prints the log and saves screenshots (BMP) of the main dialog
// before and after and of the confirmation.
//   kestrel_demo_run --folder=DIR --shots=DIR
// Exit code 0 when the upgrade completed ("Please Restart Your Computer.").
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/e2e/harness/dialog_probe.h"
#include "tests/e2e/harness/kestrel_process.h"
#include "tests/e2e/harness/run_watch.h"
#include "tests/e2e/harness/scenario.h"
#include "tests/e2e/harness/scratch_folder.h"
#include "tests/e2e/harness/screen_capture.h"

using namespace e2e;

namespace {

std::string Arg(int argc, char** argv, const char* szName) {
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], szName, std::strlen(szName)) == 0) return ToWindowsPath(argv[i] + std::strlen(szName));
    return "";
}

void Shoot(HWND hwnd, const std::string& strDir, const char* szName) {
    std::string path = strDir + "\\" + szName + ".bmp";
    if (SaveWindowShot(hwnd, path))
        std::printf("saved %s\n", path.c_str());
    else
        std::printf("could not save %s\n", path.c_str());
}

void PrintLog(HWND hMain) {
    std::printf("---- log ----\n");
    for (const std::string& line : SplitLines(ItemText(hMain, kIdLog))) std::printf("%s\n", line.c_str());
    std::printf("-------------\n");
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IONBF, 0);
    std::string folder = Arg(argc, argv, "--folder="), shots = Arg(argc, argv, "--shots=");
    if (folder.empty() || shots.empty()) {
        std::fprintf(stderr, "usage: kestrel_demo_run --folder=DIR --shots=DIR\n");
        return 2;
    }
    CKestrelProcess process;
    LaunchOptions options;
    options.bVirtualDesktop = true;
    std::string error;
    if (!process.Start(folder, options, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    HWND hMain = process.WaitDialog(kMainTitle, 30000);
    if (!hMain) {
        std::fprintf(stderr, "kestrel.exe showed no main dialog\n");
        return 1;
    }
    std::printf("drive: \"%s\"  revision: \"%s\"\n", ItemText(hMain, kIdDrive).c_str(),
                ItemText(hMain, kIdRevision).c_str());
    Shoot(hMain, shots, "demo_before");
    if (!ItemEnabled(hMain, kIdUpgrade)) {
        PrintLog(hMain);
        std::fprintf(stderr, "Upgrade is disabled: the drive is not on the allow-list\n");
        return 1;
    }
    std::printf("pressing Upgrade\n");
    PressButton(hMain, kIdUpgrade);
    if (HWND hConfirm = process.WaitDialog(kConfirmTitle, 5000)) {
        Shoot(hConfirm, shots, "demo_confirmation");
        std::printf("confirming\n");
        PressButton(hConfirm, kIdOk);
    }
    std::printf("upgrading (the drive takes about 6 s per 64 KB plus 8 s to settle)...\n");
    RunWatch watch = WatchRun(hMain, 120000);
    PrintLog(hMain);
    std::printf("%s\n", watch.Summary().c_str());
    Shoot(hMain, shots, "demo_after");
    SaveScreenShot(shots + "\\demo_desktop.bmp");
    std::printf("drive now: \"%s\"  revision: \"%s\"\n", ItemText(hMain, kIdDrive).c_str(),
                ItemText(hMain, kIdRevision).c_str());
    bool ok = watch.bFinished && watch.strVerdict == "Please Restart Your Computer.";
    PressButton(hMain, kIdClose);
    DWORD dwCode = 0;
    process.WaitExit(10000, &dwCode);
    return ok ? 0 : 1;
}
