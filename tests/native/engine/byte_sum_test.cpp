// The wide sums must agree with a byte-by-byte sum at every length and
// alignment, tails included, and the copy must be exact.
#include <gtest/gtest.h>

#include <vector>

#include "engine/byte_sum.h"

namespace {

TEST(ByteSum, AgreesWithPlainSumAtEveryLengthAndOffset) {
    std::vector<BYTE> src(4096 + 64);
    for (size_t i = 0; i < src.size(); ++i) src[i] = static_cast<BYTE>(i * 37 + 0xA5);
    for (size_t off : {0u, 1u, 7u, 15u}) {
        for (size_t cb : {0u, 1u, 15u, 16u, 17u, 31u, 33u, 4095u, 4096u}) {
            DWORD expect = 0;
            for (size_t i = 0; i < cb; ++i) expect += src[off + i];
            EXPECT_EQ(expect, SumBytes(&src[off], cb)) << off << "+" << cb;
            std::vector<BYTE> dst(cb + 1, 0x5A);
            EXPECT_EQ(expect, CopyAndSumBytes(dst.data(), &src[off], cb)) << off << "+" << cb;
            EXPECT_TRUE(std::equal(dst.begin(), dst.begin() + cb, src.begin() + off)) << off << "+" << cb;
            EXPECT_EQ(0x5A, dst[cb]) << "wrote past the copy";
        }
    }
}

TEST(ByteSum, WholeImageOfFillKeepsItsLow16Bits) {
    std::vector<BYTE> image(0x100000, 0xFF);
    // 1,048,576 x 255 = 0x0FF00000: the 16-bit sum of a blank image is 0.
    EXPECT_EQ(0x0FF00000u, SumBytes(image.data(), image.size()));
}

}  // namespace
