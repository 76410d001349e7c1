// Follows one upgrade from the outside until the program says it is over,
// timing how long the main dialog's thread takes to answer a message all the
// while: the user-interface thread must never wait on the drive.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

struct RunWatch {
    bool bFinished = false;          // the log's last line is the run's verdict and Close is enabled again
    std::string strVerdict;          // "Please Restart Your Computer." or "Flashing is incorrect!!"
    double dWorstMs = 0;             // worst WM_NULL round trip over the whole run
    double dWorstBlockMs = 0;        // ... while blocks were being sent (status "Updating.....", progress < 20)
    int nSamples = 0, nBlockSamples = 0;
    int nUnanswered = 0;             // round trips that timed out (a blocked UI thread)
    std::vector<int> progress;       // distinct progress positions, in the order seen
    DWORD dwElapsedMs = 0;
    std::string Summary() const;
};

// Samples the dialog every few milliseconds for up to dwTimeoutMs. onBlocks,
// when given, runs once, the first time a sample falls in the block phase.
RunWatch WatchRun(HWND hMain, DWORD dwTimeoutMs, const std::function<void()>& onBlocks = {});

}  // namespace e2e
