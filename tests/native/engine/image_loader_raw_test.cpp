// Raw binary loads: sizes and result codes, the fill, the 16-bit sum over the
// whole 1 MB and the search for the model text and revision prefix.
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "engine_fixture.h"

namespace {

const DWORD kMB = CFlashEngine::kImageSize;
const char kModel[] = "VENDORX PRODUCT-NAME-1234";  // 24 characters matter: "VENDORX PRODUCT-NAME-123"

// Deterministic bytes that contain no printable text runs by accident.
std::string Noise(size_t cb, unsigned uSeed) {
    std::string s(cb, '\0');
    unsigned x = uSeed * 2654435761u + 1;
    for (size_t k = 0; k < cb; ++k) {
        x = x * 1103515245u + 12345u;
        s[k] = static_cast<char>((x >> 16) | 0x80);
    }
    return s;
}

struct SizeCase {
    const char* pszName;
    size_t cbFile;
    int nResult;
    DWORD dwImageSize;
};

// Test names say which case failed; the bytes of the record would not.
void PrintTo(const SizeCase& tc, std::ostream* os) { *os << tc.pszName; }

class RawSize : public EngineFixture, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(RawSize, KeepsTheFirstMegabyteFillsTheRestAndSumsIt) {
    const SizeCase& tc = GetParam();
    const std::string strFile = Noise(tc.cbFile, static_cast<unsigned>(tc.cbFile));
    CFlashEngine& e = MakeEngine(WriteFile("image.bin", strFile), false);
    e._wSecSum = 0x1234;  // a load starts the sum afresh

    EXPECT_EQ(e.LoadImage(), tc.nResult);
    EXPECT_EQ(e._dwImageSize, tc.dwImageSize);
    EXPECT_TRUE(s_messages.empty());
    EXPECT_EQ(e._fpInput, nullptr);

    std::string strExpected = strFile.substr(0, kMB);
    strExpected.resize(kMB, '\xFF');
    ASSERT_NE(e._pBank[0], nullptr);
    EXPECT_EQ(std::memcmp(e._pBank[0], strExpected.data(), kMB), 0);
    unsigned uSum = 0;
    for (char c : strExpected) uSum += static_cast<BYTE>(c);
    EXPECT_EQ(e._wSecSum, static_cast<WORD>(uSum));
}

INSTANTIATE_TEST_SUITE_P(Cases, RawSize,
                         ::testing::Values(SizeCase{"OneByte", 1, 1, 1},
                                           SizeCase{"ExactlyOneBank", 32768, 1, 32768},
                                           SizeCase{"MillionBytes", 1000000, 1, 1000000},
                                           SizeCase{"ExactlyOneMegabyte", kMB, 0, kMB},
                                           SizeCase{"LongerThanOneMegabyte", kMB + 70000, 0, kMB}),
                         [](const ::testing::TestParamInfo<SizeCase>& info) {
                             return std::string(info.param.pszName);
                         });

// The million-byte image: the fill of 48,576 bytes of 0xFF counts in the sum.
TEST_F(EngineFixture, RawMillionBytesOfZeroSumToTheFillOnly) {
    CFlashEngine& e = MakeEngine(WriteFile("image.bin", std::string(1000000, '\0')), false);
    EXPECT_EQ(e.LoadImage(), 1);
    EXPECT_EQ(e._wSecSum, static_cast<WORD>(48576u * 0xFF));
}

TEST_F(EngineFixture, RawEmptyFileAnswersMinus2WithoutALine) {
    CFlashEngine& e = MakeEngine(WriteFile("image.bin", ""), false);
    EXPECT_EQ(e.LoadImage(), -2);
    EXPECT_TRUE(s_messages.empty());
    EXPECT_EQ(e._fpInput, nullptr);
}

// A read that fails is not the end of the image, even when nothing was read.
TEST_F(EngineFixture, RawReadErrorAnswersMinus2) {
    CFlashEngine& e = MakeEngine(m_strDir, false);  // a directory opens, but cannot be read
    EXPECT_EQ(e.LoadImage(), -2);
    EXPECT_TRUE(s_messages.empty());
    EXPECT_EQ(e._fpInput, nullptr);
}

struct SignatureCase {
    const char* pszName;
    std::vector<std::pair<size_t, std::string>> placed;  // text at file offset, in noise
    size_t cbFile;
    std::string strDriveName;
    std::string strRevision;
    BYTE bModelFound;
    BYTE bRevFound;
};

std::vector<SignatureCase> SignatureCases() {
    const std::string strModel24(kModel, 24);
    return {
        {"ModelAndRevisionFound", {{100, strModel24}, {5000, "1."}}, 8192, kModel, "1.05", 1, 1},
        {"ModelPrecededByItsFirstCharacter", {{100, "V" + strModel24}, {5000, "1."}}, 8192, kModel, "1.05", 0, 1},
        {"RevisionPrecededByItsFirstCharacter", {{100, strModel24}, {5000, "11."}}, 8192, kModel, "1.05", 1, 0},
        {"ModelFoundRevisionNot", {{100, strModel24}, {5000, "1"}, {6000, ".05"}}, 8192, kModel, "1.05", 1, 0},
        {"PartialModelThenWholeModel", {{100, strModel24.substr(0, 20) + "?" + strModel24}}, 8192, kModel, "1.05", 1, 0},
        {"ModelCrossingABankBoundary", {{32760, strModel24}}, 40000, kModel, "1.05", 1, 0},
        {"ModelEndingAtTheLastImageByte", {{kMB - 24, strModel24}}, kMB, kModel, "1.05", 1, 0},
        {"ModelBeyondTheFirstMegabyteIgnored", {{kMB - 23, strModel24}}, kMB + 100, kModel, "1.05", 0, 0},
        {"TextCharacterAbove0x7FNeverMatches",
         {{100, "VEN\xC9ORX PRODUCT-NAME-123"}}, 8192, "VEN\xC9ORX PRODUCT-NAME-1234", "1.05", 0, 0},
        {"ShortNameComparedWithItsNulBytes",
         {{100, std::string("SHORT") + std::string(19, '\0')}}, 8192, "SHORT", "1.05", 1, 0},
        {"ShortNameWithoutNulBytesNotFound", {{100, "SHORT"}}, 8192, "SHORT", "1.05", 0, 0},
        {"RevisionInTheFillNotFound", {}, 100, kModel, "\xFF\xFF", 0, 0},
    };
}

// Test names say which case failed; the bytes of the record would not.
void PrintTo(const SignatureCase& tc, std::ostream* os) { *os << tc.pszName; }

class RawSignature : public EngineFixture, public ::testing::WithParamInterface<SignatureCase> {};

TEST_P(RawSignature, FindsTheTextsByTheMatchingRule) {
    const SignatureCase& tc = GetParam();
    std::string strFile = Noise(tc.cbFile, 7);
    for (const auto& [cbOffset, strText] : tc.placed) strFile.replace(cbOffset, strText.size(), strText);
    // Flags left set by an earlier scan must not survive into this one.
    CFlashEngine::_bModelFound = 1;
    CFlashEngine::_bRevFound = 1;
    CFlashEngine& e = MakeEngine(WriteFile("image.bin", strFile), false, tc.strDriveName, tc.strRevision);

    EXPECT_GE(e.LoadImage(), 0);
    EXPECT_EQ(CFlashEngine::_bModelFound, tc.bModelFound);
    EXPECT_EQ(CFlashEngine::_bRevFound, tc.bRevFound);
}

INSTANTIATE_TEST_SUITE_P(Cases, RawSignature, ::testing::ValuesIn(SignatureCases()),
                         [](const ::testing::TestParamInfo<SignatureCase>& info) {
                             return std::string(info.param.pszName);
                         });

}  // namespace
