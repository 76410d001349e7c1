// The firmware image loader: Intel HEX (with the private segment-advance
// record 55) or a raw binary image, into the engine's banked 1 MB buffer.
#include <cstdio>
#include <cstring>

#include "engine/byte_sum.h"
#include "engine/error_messages.h"
#include "engine/flash_engine.h"
#include "platform/platform.h"

namespace {

// Image addresses the loader may store Intel HEX data at: [0, kHexLimit).
// A byte at 0xFFFFF would make the procedure's size (the highest 64 KB unit
// plus 64 KB) run past the 1 MB buffer, so that address is refused as well.
const DWORD kHexLimit = 0xFFFFF;
// A 16th segment advance would point the procedure's validation pass past
// the last bank.
const DWORD kMaxSegments = 15;

// One character from the firmware file. The reader takes every character
// through stdio's own buffer; where the C library offers it, the unlocked
// form spares a lock per character (only this thread reads the file).
inline int ReadChar(FILE* fp) {
#if defined(_WIN32)
    return std::getc(fp);
#else
    return getc_unlocked(fp);
#endif
}

// Value of a hexadecimal digit for the low 7 bits of a character, else -1.
struct HexDigitTable {
    signed char v[128];
    constexpr HexDigitTable() : v() {
        for (int i = 0; i < 128; ++i) v[i] = -1;
        for (int i = 0; i < 10; ++i) v['0' + i] = static_cast<signed char>(i);
        for (int i = 0; i < 6; ++i) {
            v['A' + i] = static_cast<signed char>(10 + i);
            v['a' + i] = static_cast<signed char>(10 + i);
        }
    }
};
constexpr HexDigitTable kHexDigit;

// One signature search over the image: a counter into the text that advances
// on a matching byte and falls back to 0 on any other byte, which is then not
// compared again with the first character. The text is compared as 7-bit
// ASCII: a text character above 0x7F never matches. Answers 1 when nLen
// consecutive characters were matched.
BYTE FindSignature(const BYTE* pImage, size_t cbImage, const char* pszText, size_t nLen) {
    const BYTE* p = pImage;
    const BYTE* const pEnd = pImage + cbImage;
    const BYTE byFirst = static_cast<BYTE>(pszText[0]);
    if (byFirst > 0x7F) return 0;
    while (p < pEnd) {
        // At counter 0 only the first character can advance the counter, and
        // every other byte leaves it at 0: jump straight to the next candidate.
        const void* pHit = std::memchr(p, byFirst, static_cast<size_t>(pEnd - p));
        if (!pHit) return 0;
        p = static_cast<const BYTE*>(pHit) + 1;
        size_t j = 1;
        while (j < nLen && p < pEnd) {
            const BYTE byText = static_cast<BYTE>(pszText[j]);
            if (byText > 0x7F || *p != byText) break;
            ++j;
            ++p;
        }
        if (j == nLen) return 1;
        // The mismatching byte (if any) is consumed by the fall back to 0.
        if (p < pEnd) ++p;
    }
    return 0;
}

// Reports a reader error; kept out of the per-character path.
#if defined(__GNUC__)
__attribute__((noinline, cold))
#endif
int ReaderError(CFlashEngine& e, int nIndex) {
    e.ReportError(nIndex);
    return -1;
}

// The digit step: poll, read one character, take its value. -1 after
// reporting a stop, the end of the file or a character that is not a digit.
inline int ReadDigit(CFlashEngine& e) {
    if (e.CBIfTerminated()) return ReaderError(e, ERR_TERMINATED);
    const int ch = ReadChar(e._fpInput);
    const int v = ch == EOF ? -1 : kHexDigit.v[ch & 0x7F];
    if (v < 0) return ReaderError(e, ERR_FORMAT);
    return v;
}

// Allocates the 1 MB block and points the banks at it. False after reporting.
bool AllocateImage(CFlashEngine& e) {
    BYTE* pBlock = static_cast<BYTE*>(PlatAllocPages(CFlashEngine::kImageSize));
    if (!pBlock) {
        e.ReportError(ERR_ALLOC);
        return false;
    }
    for (DWORD i = 0; i < CFlashEngine::kBankCount; ++i)
        e._pBank[i] = pBlock + i * CFlashEngine::kBankSize;
    return true;
}

// Every byte the file does not supply reads 0xFF.
void FillImage(CFlashEngine& e, DWORD dwFrom) {
    std::memset(e._pBank[0] + dwFrom, 0xFF, CFlashEngine::kImageSize - dwFrom);
}

// Every way out after the buffer exists: lock a good image for the rest of
// the run, and close the file unless ReportError already did.
int Finish(CFlashEngine& e, int nResult) {
    if (nResult == 1) PlatLockPages(e._pBank[0], CFlashEngine::kImageSize);
    if (e._fpInput) {
        std::fclose(e._fpInput);
        e._fpInput = nullptr;
    }
    return nResult;
}

// The record loop over an open Intel HEX file and an allocated buffer.
//
// -1 covers every way the file can be refused. An error inside a reader step
// (end of file, a non-hex character, a stop) has already been reported by the
// step. A file the buffer cannot hold is refused here without a line of its
// own: the procedure reports every -1 as "input file format mismatched!", and
// a line from here as well would show the same message twice.
int ReadHexRecords(CFlashEngine& e) {
    CFlashEngine::_dwSegment = 0;
    for (;;) {
        e._byRecordSum = 0;
        if (!e.SkipToChar(':')) return -1;
        const int n = e.ReadHexByte();
        if (n < 0) return -1;
        const int hi = e.ReadHexByte();
        if (hi < 0) return -1;
        const int lo = e.ReadHexByte();
        if (lo < 0) return -1;
        const int type = e.ReadHexByte();
        if (type < 0) return -1;
        DWORD dwAddress = static_cast<DWORD>(hi * 256 + lo) + CFlashEngine::_dwSegment * 0x10000;

        if (type == 0x00) {
            // Bounds are checked for the whole record before its first byte
            // is stored; nothing lands outside the buffer.
            if (n > 0 && dwAddress + static_cast<DWORD>(n) - 1 >= kHexLimit) return -1;
            for (int k = 0; k < n; ++k) {
                e._byBank = static_cast<BYTE>(dwAddress >> 15);
                e._wBankOffset = static_cast<WORD>(dwAddress & (CFlashEngine::kBankSize - 1));
                const int v = e.ReadHexByte();
                if (v < 0) return -1;
                e._pBank[e._byBank][e._wBankOffset] = static_cast<BYTE>(v);
                ++dwAddress;  // counts on past 0xFFFF instead of wrapping
                if (dwAddress > e._dwImageSize) e._dwImageSize = dwAddress;
            }
            if (e.ReadHexByte() < 0) return -1;
            if (e._byRecordSum != 0) return -1;  // the bytes stay stored
        } else if (type == 0x01) {
            if (e.ReadHexByte() < 0) return -1;
            return n == 0 && e._byRecordSum == 0 ? 1 : -1;
        } else if (type == 0x55) {
            if (e.ReadHexByte() < 0) return -1;
            if (n != 0 || e._byRecordSum != 0) return -1;
            if (CFlashEngine::_dwSegment >= kMaxSegments) return -1;
            ++CFlashEngine::_dwSegment;
        } else {
            return -1;  // the rest of the record is not read
        }
    }
}

// Reads an open raw image into the allocated banks: 1 when the file ended
// within 1 MB, 0 when all 32 banks were filled, -2 on a read error.
int ReadRawBanks(CFlashEngine& e) {
    e._byBank = 0;
    e._dwImageSize = 0;
    while (e._byBank < CFlashEngine::kBankCount) {
        const size_t cbRead =
            std::fread(e._pBank[e._byBank], 1, CFlashEngine::kBankSize, e._fpInput);
        ++e._byBank;
        e._dwImageSize += static_cast<DWORD>(cbRead);
        // A short read is the end of the image unless the stream failed; a
        // failed read is never taken for the end, even when it read nothing.
        if (cbRead < CFlashEngine::kBankSize) return std::ferror(e._fpInput) ? -2 : 1;
    }
    return 0;  // 1 MB or more: the first 1 MB is the image
}

}  // namespace

int CFlashEngine::SkipToChar(int c) {
    for (;;) {
        const int ch = ReadChar(_fpInput);
        if (ch == EOF || ch == 0xFF) {
            ReportError(ERR_FORMAT);
            return 0;
        }
        if (CBIfTerminated()) {
            ReportError(ERR_TERMINATED);
            return 0;
        }
        if ((ch & 0x7F) == c) return 1;
    }
}

int CFlashEngine::ReadHexDigit() { return ReadDigit(*this); }

int CFlashEngine::ReadHexByte() {
    // The digit step inlined twice: this runs for every byte of the file.
    const int hi = ReadDigit(*this);
    if (hi < 0) return -1;
    const int lo = ReadDigit(*this);
    if (lo < 0) return -1;
    const BYTE v = static_cast<BYTE>(hi * 16 + lo);
    _byRecordSum = static_cast<BYTE>(_byRecordSum + v);
    return v;
}

int CFlashEngine::LoadImage() {
    _dwImageSize = 0;

    if (bHexImage) {
        // Text mode: on Windows CR LF line ends arrive as LF; the reader skips
        // them either way.
        _fpInput = std::fopen(sImagePath, "r");
        if (!_fpInput) {
            ReportError(ERR_OPEN_INPUT);
            return -2;
        }
        if (!AllocateImage(*this)) return -3;
        FillImage(*this, 0);
        return Finish(*this, ReadHexRecords(*this));
    }

    _fpInput = std::fopen(sImagePath, "rb");
    if (!_fpInput) {
        ReportError(ERR_OPEN_INPUT);
        return -2;
    }
    // An empty file has no line of the loader's own: the procedure reports
    // -2 as "fail to read input file!". The file is closed here all the same,
    // so the loader never returns with it open. A length the C library
    // cannot tell (beyond its long) is left to the reads.
    const long nLength = std::fseek(_fpInput, 0, SEEK_END) == 0 ? std::ftell(_fpInput) : -1L;
    if (nLength == 0) {
        std::fclose(_fpInput);
        _fpInput = nullptr;
        return -2;
    }
    if (!AllocateImage(*this)) return -3;
    _wSecSum = 0;
    const int nResult = std::fseek(_fpInput, 0, SEEK_SET) == 0 ? ReadRawBanks(*this) : -2;
    // The reads go straight into the banks, so only what they did not cover
    // needs the fill: the same image as filling first, one pass fewer.
    FillImage(*this, _dwImageSize);

    // The whole 1 MB, fill included, whatever the reads gave.
    _bModelFound = 0;
    _bRevFound = 0;
    _wSecSum = static_cast<WORD>(_wSecSum + SumBytes(_pBank[0], kImageSize));
    if (FindSignature(_pBank[0], kImageSize, sDriveName, 24)) _bModelFound = 1;
    if (FindSignature(_pBank[0], kImageSize, sRevision, 2)) _bRevFound = 1;
    return Finish(*this, nResult);
}
