#include "tests/e2e/harness/intel_hex_reader.h"

#include <cstdlib>

namespace e2e {

namespace {
int Byte(const std::string& s, size_t at) {
    if (at + 2 > s.size()) return -1;
    char sz[3] = {s[at], s[at + 1], 0};
    char* end = nullptr;
    long v = std::strtol(sz, &end, 16);
    return *end ? -1 : static_cast<int>(v);
}
}  // namespace

bool ReadIntelHex(const std::string& strText, std::vector<uint8_t>* pImage) {
    pImage->clear();
    size_t at = 0;
    while ((at = strText.find(':', at)) != std::string::npos) {
        int n = Byte(strText, at + 1), hi = Byte(strText, at + 3), lo = Byte(strText, at + 5),
            type = Byte(strText, at + 7);
        if (n < 0 || hi < 0 || lo < 0 || type < 0) return false;
        unsigned sum = n + hi + lo + type;
        size_t address = hi * 256u + lo;
        for (int i = 0; i <= n; ++i) {  // the data bytes, then the checksum
            int b = Byte(strText, at + 9 + 2 * i);
            if (b < 0) return false;
            sum += b;
            if (i == n || type != 0) continue;
            if (pImage->size() <= address + i) pImage->resize(address + i + 1, 0xFF);
            (*pImage)[address + i] = static_cast<uint8_t>(b);
        }
        if ((sum & 0xFF) != 0) return false;
        if (type == 1) return true;
        if (type != 0) return false;
        at += 11 + 2 * n;
    }
    return false;  // no end record
}

}  // namespace e2e
