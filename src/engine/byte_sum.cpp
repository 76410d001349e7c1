#include "engine/byte_sum.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Where SSE2 is there (every x86-64), the sum of absolute differences against
// zero adds 16 bytes in one instruction; widening bytes to 32-bit lanes, which
// is what the compiler makes of the plain loop, costs several. The 32-bit
// program for older processors keeps the plain loop.

DWORD SumBytes(const BYTE* p, size_t cb) {
    size_t i = 0;
    uint64_t qwSum = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i acc = zero;
    for (; i + 16 <= cb; i += 16)
        acc = _mm_add_epi64(acc, _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i)), zero));
    uint64_t lanes[2];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), acc);
    qwSum = lanes[0] + lanes[1];
#endif
    for (; i < cb; ++i) qwSum += p[i];
    return static_cast<DWORD>(qwSum);
}

DWORD CopyAndSumBytes(BYTE* pDst, const BYTE* pSrc, size_t cb) {
    size_t i = 0;
    uint64_t qwSum = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    __m128i acc = zero;
    for (; i + 16 <= cb; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSrc + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + i), v);
        acc = _mm_add_epi64(acc, _mm_sad_epu8(v, zero));
    }
    uint64_t lanes[2];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lanes), acc);
    qwSum = lanes[0] + lanes[1];
#endif
    for (; i < cb; ++i) {
        pDst[i] = pSrc[i];
        qwSum += pSrc[i];
    }
    return static_cast<DWORD>(qwSum);
}
