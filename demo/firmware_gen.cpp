#include "demo/firmware_gen.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace demo {


std::vector<uint8_t> MakeFirmwareBody(size_t nSize, const std::string& strTag, size_t nTagOffset,
                                      uint32_t uSeed) {
    std::vector<uint8_t> body(nSize);
    uint32_t x = uSeed;
    for (uint8_t& b : body) {
        x = x * 1103515245u + 12345u;  // fixed arithmetic, so the bytes never depend on the C library
        b = static_cast<uint8_t>(x >> 23);
    }
    if (nTagOffset < nSize) {
        size_t n = std::min(strTag.size(), nSize - nTagOffset);
        std::memcpy(&body[nTagOffset], strTag.data(), n);
    }
    return body;
}

static void AppendRecord(std::string& out, uint8_t byType, uint16_t wAddress, const uint8_t* pData,
                         size_t n) {
    uint8_t sum = static_cast<uint8_t>(n + (wAddress >> 8) + (wAddress & 0xFF) + byType);
    char sz[16];
    std::snprintf(sz, sizeof sz, ":%02X%04X%02X", static_cast<unsigned>(n), wAddress, byType);
    out += sz;
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(sz, sizeof sz, "%02X", pData[i]);
        out += sz;
        sum = static_cast<uint8_t>(sum + pData[i]);
    }
    std::snprintf(sz, sizeof sz, "%02X\r\n", static_cast<uint8_t>(0x100 - sum) & 0xFF);
    out += sz;
}

std::string ToIntelHex(const std::vector<uint8_t>& image) {
    std::string out;
    for (size_t a = 0; a < image.size() && a < 0x10000; a += 16) {
        size_t n = std::min<size_t>(16, image.size() - a);
        AppendRecord(out, 0x00, static_cast<uint16_t>(a), &image[a], n);
    }
    AppendRecord(out, 0x01, 0, nullptr, 0);
    return out;
}

std::string MakeIdString(const std::vector<IdEntry>& entries) {
    std::string out;
    for (const IdEntry& e : entries)
        out += "\"" + e.strModel + "\" \"" + e.strFile + "\" \"" + e.strFlag + "\"\r\n";
    return out;
}

std::vector<DemoFile> MakeDemoFiles() {
    const std::string model = kDriveModel;
    std::vector<DemoFile> files;

    std::string id = MakeIdString({{model, "A049.hex", "Y"}, {model, "A050.bin", "Y"}});
    files.push_back({"IDString.txt", std::vector<uint8_t>(id.begin(), id.end())});

    // 8 KB of data below 64 KB: the program sends it as one 64 KB unit.
    std::string hex = ToIntelHex(MakeFirmwareBody(0x2000, model + "A050", 0x0200, 0x4B455354u));
    files.push_back({"A049.hex", std::vector<uint8_t>(hex.begin(), hex.end())});

    // Exactly 64 KB: sixteen 4 KB blocks and one 6 s wait after the commit.
    files.push_back({"A050.bin", MakeFirmwareBody(0x10000, model + "A051", 0x0200, 0x52454C31u)});
    return files;
}

}  // namespace demo
