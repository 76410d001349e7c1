// The emulated drive's report, as its WNASPI32.DLL writes it: a text file
// listing every command it received and the outcome of the download, and
// beside it (".bin") the image bytes it stored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct EmulatorReport {
    std::vector<std::string> commands;  // "cdb 3B 06 ... | out 4096 | GOOD", in order
    unsigned long ulImageBytes = 0;
    unsigned long ulBlocksReceived = 0;
    unsigned uHeaderSum = 0;
    bool bHeaderReceived = false;
    unsigned uDriveSum = 0;
    std::string strCommit;    // "accepted", "none", "refused (...)"
    std::string strIdentity;  // "vendor|product|revision"
    std::vector<uint8_t> image;

    // How many commands begin with these CDB bytes ("3B 06").
    size_t CountCdb(const std::string& strPrefix) const;
};

// Reads strPath (the text) and its ".bin" companion. False when the text is
// missing or lacks one of the summary lines.
bool ReadEmulatorReport(const std::string& strPath, EmulatorReport* pReport, std::string* pError);

}  // namespace e2e
