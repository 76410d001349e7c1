// Builds the demo's inputs: the allow-list and a firmware image in each of the
// two formats the program loads. Portable, so the end-to-end harness builds its
// test images with the same code that made the committed demo files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "emulator/wnaspi32/default_drive.h"

namespace demo {

// The emulated drive's identity as INQUIRY reports it: vendor (8) and product
// (16), trailing blanks included ("KESTREL EMU-DVD 16X     "). This is what
// the allow-list and the images must carry.
constexpr const char* kDriveModel = emu::kDefaultModelText;

// A firmware body of nSize bytes: deterministic pseudo-random filler
// (the same bytes on every machine), with strTag copied in at nTagOffset. The tag is how an
// image names its drive: the 24 model characters, optionally followed by a
// revision.
std::vector<uint8_t> MakeFirmwareBody(size_t nSize, const std::string& strTag, size_t nTagOffset,
                                      uint32_t uSeed);

// Intel HEX text of image bytes placed at address 0: 16-byte data records
// (type 00), each line ended with CR LF, and the end record. Addresses must
// stay below 64 KB (the program's segment-advance record is not needed here).
std::string ToIntelHex(const std::vector<uint8_t>& image);

// One allow-list line: the three quoted fields separated by a blank.
struct IdEntry {
    std::string strModel;
    std::string strFile;
    std::string strFlag;
};
std::string MakeIdString(const std::vector<IdEntry>& entries);

// The committed demo set, as file name and contents.
struct DemoFile {
    std::string strName;
    std::vector<uint8_t> bytes;
};
// IDString.txt (entry 0 "A049.hex" for revisions A049/A054/A056/00../AA..,
// entry 1 "A050.bin" for the rest, confirmation "Y"), A049.hex (8 KB of data,
// sent as one 64 KB unit, naming the drive and revision A050) and A050.bin
// (64 KB raw, naming the drive and revision A051).
std::vector<DemoFile> MakeDemoFiles();

}  // namespace demo
