// What a run must leave behind, worked out independently of the program from
// the firmware file alone: the bytes the drive must receive, the checksum the
// log announces, and the exact text of sum.txt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// The 4 KB blocks' payload: the 1 MB buffer filled with 0xFF, the image at
// address 0, cut to the size the program sends.
//   Intel HEX: (highest address + 1) with the low 16 bits cleared, plus 64 KB.
//   Raw binary: the file's length rounded up to 4 KB.
std::vector<uint8_t> SentBytesForHex(const std::vector<uint8_t>& image);
std::vector<uint8_t> SentBytesForRaw(const std::vector<uint8_t>& file);

// The "Check Sum : %X" value: the 16-bit sum over the first 64 KB units that
// the HEX check covers (no segment advances: 64 KB), or over the whole 1 MB
// buffer for a raw image.
uint16_t CheckSumForHex(const std::vector<uint8_t>& image);
uint16_t CheckSumForRaw(const std::vector<uint8_t>& file);

uint16_t Sum16(const std::vector<uint8_t>& bytes);

struct TraceDrive {
    std::string strModel;   // the record's model text with its list suffix, "....(0)"
    int nHostId = 0;
    int nTargetId = 0;
    std::string strRevision;
};

// sum.txt of a fresh program's only run. nFailingBlock < 0: every block
// succeeds at once and the run completes; otherwise that block fails all six
// attempts with the sense bytes given and the section ends there. Lines end
// in CR LF, as the program writes text files on Windows.
std::string ExpectedSumTxt(const TraceDrive& drive, const std::vector<uint8_t>& sent, int nFailingBlock = -1,
                           const uint8_t abySense[3] = nullptr);

}  // namespace e2e
