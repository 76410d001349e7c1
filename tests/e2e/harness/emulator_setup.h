// The emulated drive a scenario runs against, written as the configuration
// file that its WNASPI32.DLL reads from beside itself.
#pragma once

#include <string>
#include <vector>

namespace e2e {

struct BlockFault {
    unsigned uBlock = 0;        // 4 KB block index of the image
    unsigned uAttempts = 6;     // fails attempts 1 .. uAttempts
    unsigned uSenseKey = 0x03;  // MEDIUM ERROR
    unsigned uAsc = 0x0C;       // WRITE ERROR
    unsigned uAscq = 0x00;
};

struct EmulatorSetup {
    std::string strVendor = "KESTREL";
    std::string strProduct = "EMU-DVD 16X";
    std::string strRevision = "A049";
    std::string strRevisionAfterCommit = "A050";
    unsigned uHostId = 0;
    unsigned uTargetId = 0;
    // Each ASPI command completes after this many milliseconds (pending, with
    // the request's event set from another thread), as a real drive takes
    // time per block; 0 completes at once.
    unsigned uCommandMs = 0;
    std::vector<BlockFault> faults;
    std::string strReportName = "emulator_report.txt";  // in the program's folder
};

// The configuration file's name and text for that drive.
extern const char* const kEmulatorConfigName;  // "WNASPI32.cfg", beside the library
std::string EmulatorConfigText(const EmulatorSetup& setup);

}  // namespace e2e
