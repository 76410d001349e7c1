// Building Intel HEX text for the loader's tests.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/win_types.h"

namespace hextext {

// Bytes b0, b0+1, ... (wrapping), n of them.
inline std::vector<BYTE> Bytes(BYTE b0, int n) {
    std::vector<BYTE> v;
    for (int k = 0; k < n; ++k) v.push_back(static_cast<BYTE>(b0 + k));
    return v;
}

// One record ":" count address type data checksum, no line end. nCount
// overrides the byte count field; nSumDelta spoils the checksum.
inline std::string Rec(int nType, unsigned uAddress, const std::vector<BYTE>& data = {},
                       int nCount = -1, int nSumDelta = 0, bool bLower = false) {
    const int n = nCount < 0 ? static_cast<int>(data.size()) : nCount;
    std::vector<BYTE> all = {static_cast<BYTE>(n), static_cast<BYTE>(uAddress >> 8),
                             static_cast<BYTE>(uAddress), static_cast<BYTE>(nType)};
    all.insert(all.end(), data.begin(), data.end());
    unsigned uSum = 0;
    for (BYTE b : all) uSum += b;
    all.push_back(static_cast<BYTE>(0x100 - (uSum & 0xFF) + nSumDelta));
    std::string s = ":";
    char sz[3];
    for (BYTE b : all) {
        std::snprintf(sz, sizeof sz, bLower ? "%02x" : "%02X", b);
        s += sz;
    }
    return s;
}

inline std::string Data(unsigned uAddress, const std::vector<BYTE>& data) { return Rec(0x00, uAddress, data); }
inline std::string End() { return Rec(0x01, 0); }
inline std::string Advance() { return Rec(0x55, 0); }
inline std::string Advances(int n) {
    std::string s;
    for (int k = 0; k < n; ++k) s += Advance() + "\r\n";
    return s;
}

}  // namespace hextext
