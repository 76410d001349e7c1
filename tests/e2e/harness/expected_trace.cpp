#include "tests/e2e/harness/expected_trace.h"

#include <cstdio>

namespace e2e {

namespace {
const size_t kBuffer = 0x100000;
const size_t kBlock = 4096;

std::string Format(const char* szFormat, unsigned a, unsigned b, unsigned c) {
    char sz[128];
    std::snprintf(sz, sizeof sz, szFormat, a, b, c);
    return sz;
}
}  // namespace

uint16_t Sum16(const std::vector<uint8_t>& bytes) {
    uint16_t s = 0;
    for (uint8_t b : bytes) s = static_cast<uint16_t>(s + b);
    return s;
}

std::vector<uint8_t> SentBytesForHex(const std::vector<uint8_t>& image) {
    size_t size = (image.size() & ~static_cast<size_t>(0xFFFF)) + 0x10000;
    std::vector<uint8_t> sent(size, 0xFF);
    for (size_t i = 0; i < image.size() && i < size; ++i) sent[i] = image[i];
    return sent;
}

std::vector<uint8_t> SentBytesForRaw(const std::vector<uint8_t>& file) {
    size_t size = (file.size() + kBlock - 1) / kBlock * kBlock;
    std::vector<uint8_t> sent(size, 0xFF);
    for (size_t i = 0; i < file.size(); ++i) sent[i] = file[i];
    return sent;
}

uint16_t CheckSumForHex(const std::vector<uint8_t>& image) {
    std::vector<uint8_t> first(0x10000, 0xFF);
    for (size_t i = 0; i < image.size() && i < first.size(); ++i) first[i] = image[i];
    return Sum16(first);
}

uint16_t CheckSumForRaw(const std::vector<uint8_t>& file) {
    uint16_t s = Sum16(file);
    return static_cast<uint16_t>(s + 0xFF * (kBuffer - file.size()));
}

std::string ExpectedSumTxt(const TraceDrive& drive, const std::vector<uint8_t>& sent, int nFailingBlock,
                           const uint8_t abySense[3]) {
    char sz[640];
    std::snprintf(sz, sizeof sz, "Model Name : %s HID : %d TID : %d Ver.: %s\r\n", drive.strModel.c_str(),
                  drive.nHostId, drive.nTargetId, drive.strRevision.c_str());
    std::string out = sz;
    uint16_t wSecSum = 0, wTotal = 0;
    const size_t nBlocks = sent.size() / kBlock;
    for (size_t k = 0; k < nBlocks; ++k) {
        const int nAttempts = static_cast<int>(k) == nFailingBlock ? 6 : 1;
        for (int a = 0; a < nAttempts; ++a) {
            for (size_t i = 0; i < kBlock; ++i) wSecSum = static_cast<uint16_t>(wSecSum + sent[k * kBlock + i]);
            wTotal = static_cast<uint16_t>(wTotal + wSecSum);
            out += Format("Address=%.8X,_wSecSum=%.4X,_total=%.4X\r\n", static_cast<unsigned>(32 + k * kBlock),
                          wSecSum, wTotal);
        }
        if (static_cast<int>(k) == nFailingBlock) {
            return out + Format("Execute command error!! %2X/%2X/%2X\r\n", abySense[0], abySense[1], abySense[2]);
        }
    }
    out += "Finished : fgWriteOneFlashCmdData()\r\n";
    out += Format("sSendBuf[30]=%X   sSendBuf[31]=%X\r\n", wSecSum >> 8, wSecSum & 0xFF, 0);
    out += "Finished : fgWriteHeader()\r\n";
    out += "I will in fgTestUnitReadyComplete()\r\n";
    return out;
}

}  // namespace e2e
