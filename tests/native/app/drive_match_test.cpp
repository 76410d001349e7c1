// Model agreement, the start-up pair test and the firmware choice by revision.
#include <gtest/gtest.h>

#include "app/logic/drive_match.h"

namespace {

const char kDrive[] = "VENDOR  PRODUCT-A       (0)";  // 24 characters and the list suffix
const char kModel[] = "VENDOR  PRODUCT-A       ";

TEST(DriveMatch, ModelAgreementOverTheFirst24Characters) {
    EXPECT_TRUE(ModelsAgree(kDrive, kModel));
    EXPECT_TRUE(ModelsAgree(kDrive, "VENDOR  PRODUCT-A       (9) anything"));
    EXPECT_FALSE(ModelsAgree(kDrive, "VENDOR  PRODUCT-A"));  // written without trailing blanks
    EXPECT_FALSE(ModelsAgree(kDrive, ""));
    EXPECT_FALSE(ModelsAgree(kDrive, "vendor  PRODUCT-A       "));
    EXPECT_TRUE(ModelsAgree("SHORT", "SHORT"));  // both end at the same place
    EXPECT_FALSE(ModelsAgree("SHORT", "SHORTER"));
}

TEST(DriveMatch, StartUpPairTestComparesRevisionAndFileNameFirstCharacters) {
    EXPECT_TRUE(DriveMatchesIdEntry(kDrive, "A049", kModel, "A049FW.hex"));
    EXPECT_FALSE(DriveMatchesIdEntry(kDrive, "A049", kModel, "B049FW.hex"));
    EXPECT_TRUE(DriveMatchesIdEntry(kDrive, "", kModel, ""));  // two empty texts are equal
    EXPECT_FALSE(DriveMatchesIdEntry(kDrive, "", kModel, "A.hex"));
    EXPECT_FALSE(DriveMatchesIdEntry(kDrive, "A049", "OTHER", "A049FW.hex"));
}

TEST(DriveMatch, FindAgreeingEntryTakesTheFirst) {
    const char models[10][25] = {"OTHER", "VENDOR  PRODUCT-A       ", "VENDOR  PRODUCT-A       "};
    EXPECT_EQ(FindAgreeingIdEntry(kDrive, models, 3), 1);
    EXPECT_EQ(FindAgreeingIdEntry(kDrive, models, 1), -1);
    EXPECT_EQ(FindAgreeingIdEntry(kDrive, models, 0), -1);
}

TEST(DriveMatch, FirmwareChoiceByRevision) {
    struct Case { const char* rev; int entry; };
    const Case cases[] = {
        {"A049", 0}, {"A0491", 0}, {"A054", 0}, {"A056", 0}, {"A04", 1},
        {"00", 0},   {"0012", 0},  {"AA", 0},   {"AAB3", 0}, {"A050", 1},
        {"AB12", 1}, {"0A12", 1},  {"", 1},     {"A", 1},    {"0", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(ChooseFirmwareEntry(c.rev), c.entry) << '"' << c.rev << '"';
}

TEST(DriveMatch, EntryOneAgreeingWithRevisionA054GetsEntryZerosFile) {
    // The agreeing entry only confirms the drive is listed; the revision
    // alone picks between the first two entries' files.
    const char models[10][25] = {"OTHER MODEL", "VENDOR  PRODUCT-A       "};
    ASSERT_EQ(FindAgreeingIdEntry(kDrive, models, 2), 1);
    EXPECT_EQ(ChooseFirmwareEntry("A054"), 0);
}

}  // namespace
