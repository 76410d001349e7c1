#include "tests/e2e/harness/run_watch.h"

#include <algorithm>
#include <cstdio>

#include "tests/e2e/harness/dialog_probe.h"
#include "tests/e2e/harness/scenario.h"

namespace e2e {

std::string RunWatch::Summary() const {
    char sz[256];
    std::snprintf(sz, sizeof sz,
                  "worst round trip of WM_NULL to the main dialog: %.1f ms while blocks were sent (%d samples), "
                  "%.1f ms over the whole run (%d samples, %d unanswered); run took %lu ms",
                  dWorstBlockMs, nBlockSamples, dWorstMs, nSamples, nUnanswered, dwElapsedMs);
    return sz;
}

RunWatch WatchRun(HWND hMain, DWORD dwTimeoutMs, const std::function<void()>& onBlocks) {
    RunWatch w;
    bool bBlocksSeen = false;
    const DWORD dwStart = GetTickCount();
    while (GetTickCount() - dwStart < dwTimeoutMs && IsWindow(hMain)) {
        double ms = RoundTripMs(hMain, 5000);
        int pos = ProgressPos(hMain, kIdProgress);
        std::string status = ItemText(hMain, kIdStatus);
        ++w.nSamples;
        if (ms < 0) {
            ++w.nUnanswered;
            ms = 5000;
        }
        w.dWorstMs = std::max(w.dWorstMs, ms);
        if (pos >= 0 && (w.progress.empty() || w.progress.back() != pos)) w.progress.push_back(pos);
        if (status == "Updating....." && pos >= 0 && pos < 20) {
            ++w.nBlockSamples;
            w.dWorstBlockMs = std::max(w.dWorstBlockMs, ms);
            if (!bBlocksSeen && onBlocks) onBlocks();
            bBlocksSeen = true;
        }
        std::vector<std::string> lines = SplitLines(ItemText(hMain, kIdLog));
        if (!lines.empty() && (lines.back() == "Please Restart Your Computer." ||
                               lines.back() == "Flashing is incorrect!!")) {
            // The worker enables Close right after the engine's last line.
            if (WaitUntil([&] { return ItemEnabled(hMain, kIdClose); }, 5000)) {
                w.bFinished = true;
                w.strVerdict = lines.back();
                break;
            }
        }
        Sleep(10);
    }
    w.dwElapsedMs = GetTickCount() - dwStart;
    return w;
}

}  // namespace e2e
