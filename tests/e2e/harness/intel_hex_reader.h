// A plain Intel HEX reader for the harness's own expectations: data (00) and
// end (01) records at addresses below 64 KB, which is all the demo images use.
// Kept apart from the program's loader on purpose: the test must not derive
// what the drive should receive from the code under test.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// The image from address 0 up to the highest address written, unwritten
// bytes 0xFF. False on a malformed record or another record type.
bool ReadIntelHex(const std::string& strText, std::vector<uint8_t>* pImage);

}  // namespace e2e
