#include "tests/e2e/harness/emulator_setup.h"

#include <cstdio>

#include "emulator/wnaspi32/aspi_config.h"

namespace e2e {

const char* const kEmulatorConfigName = emu::kAspiConfigFileName;

namespace {
std::string Padded(std::string s, size_t n) {
    s.resize(n, ' ');
    return "\"" + s + "\"";
}
}  // namespace

std::string EmulatorConfigText(const EmulatorSetup& s) {
    char sz[160];
    std::string out = "# The emulated drive of one end-to-end scenario.\n[drive]\n";
    out += "vendor = " + Padded(s.strVendor, 8) + "\n";
    out += "product = " + Padded(s.strProduct, 16) + "\n";
    out += "revision = " + Padded(s.strRevision, 4) + "\n";
    if (!s.strRevisionAfterCommit.empty()) out += "revision_after_commit = " + Padded(s.strRevisionAfterCommit, 4) + "\n";
    std::snprintf(sz, sizeof sz, "adapter = %u\ntarget = %u\ncompletion = pending\npending_delay_ms = %u\n", s.uHostId,
                  s.uTargetId, s.uCommandMs);
    out += sz;
    out += "report = " + s.strReportName + "\n";
    for (const BlockFault& f : s.faults) {
        std::snprintf(sz, sizeof sz, "fault = block %u attempt 1 count %u sense %02X/%02X/%02X\n", f.uBlock,
                      f.uAttempts, f.uSenseKey, f.uAsc, f.uAscq);
        out += sz;
    }
    return out;
}

}  // namespace e2e
