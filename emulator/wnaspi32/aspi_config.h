// WNASPI32.DLL's configuration: which emulated drives it serves, on which
// adapters, and how they behave. Read from a "key = value" text file beside
// the DLL (README.md documents the format); without the file one default
// drive is served. Portable, so the parser is tested natively.
#pragma once

#include <string>
#include <vector>

#include "emulator/model/emulated_drive.h"
#include "platform/win_types.h"

namespace emu {

// The file's name, looked up in the DLL's own folder.
constexpr char kAspiConfigFileName[] = "WNASPI32.cfg";

// What SC_HA_INQUIRY reports for one adapter.
struct AspiAdapterConfig {
    BYTE byMaxTargets = 8;        // HA_Unique byte 3; 0 = "not reported"
    WORD wAlignMask = 0;          // HA_Unique bytes 0-1
    DWORD dwMaxTransfer = 0x10000;// HA_Unique bytes 4-7
};

struct AspiConfig {
    // Index = adapter number; at least as many as the drives address.
    std::vector<AspiAdapterConfig> adapters;
    std::vector<DriveConfig> drives;
};

// The configuration without a file: one adapter, the default drive at
// target 0 with the identity of default_drive.h, completing requests as
// pending, its report beside the DLL. strBaseDir ends with a separator.
AspiConfig DefaultAspiConfig(const std::string& strBaseDir);

// Parses the file's text. Relative report paths are taken from strBaseDir
// (which ends with a separator). On error answers false with one message per
// bad line in errors ("line 3: unknown key 'vendr'"); config is then unusable.
bool ParseAspiConfig(const std::string& strText, const std::string& strBaseDir, AspiConfig& config,
                     std::vector<std::string>& errors);

// The default report file of the drive at (adapter, target), in strBaseDir.
std::string DefaultReportPath(const std::string& strBaseDir, BYTE byHostId, BYTE byTargetId);

}  // namespace emu
