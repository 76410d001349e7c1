// Byte sums over the image: the loader's sum of the whole 1 MB, the
// validation's sum of each bank, and the block command's sum of each block
// as it is copied out. Only the low 16 bits are ever used, so a 32-bit total
// is returned and the callers let it wrap.
#pragma once

#include <cstddef>

#include "platform/win_types.h"

// Sum of cb bytes at p.
DWORD SumBytes(const BYTE* p, size_t cb);

// Copies cb bytes from pSrc to pDst (not overlapping) and answers their sum.
DWORD CopyAndSumBytes(BYTE* pDst, const BYTE* pSrc, size_t cb);
