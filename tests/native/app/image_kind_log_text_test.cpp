// The extension rule and the log append text rule.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/logic/image_kind.h"
#include "app/logic/log_text.h"

namespace {

TEST(ImageKind, ExtensionRule) {
    struct Case { const char* path; int kind; const char* after; };
    const Case cases[] = {
        {"C:\\dir\\FW.HEX", kImageHex, "C:\\dir\\FW.hex"},
        {"C:\\dir\\fw.Bin", kImageBin, "C:\\dir\\fw.bin"},
        {"C:\\DIR\\fw.hex", kImageHex, "C:\\DIR\\fw.hex"},  // only the extension is lowered
        {"C:\\dir\\fw.hex.old", kImageRefused, "C:\\dir\\fw.hex.old"},
        {"C:\\dir\\", kImageRefused, "C:\\dir\\"},  // entry 1 empty: the path ends in a backslash
        {"C:\\my.dir\\", kImageRefused, "C:\\my.dir\\"},
        {"C:\\dir\\fw.HEXX", kImageRefused, "C:\\dir\\fw.hexx"},
        {"", kImageRefused, ""},
    };
    for (const Case& c : cases) {
        char path[512];
        strcpy(path, c.path);
        EXPECT_EQ(ClassifyImagePath(path), c.kind) << c.path;
        EXPECT_STREQ(path, c.after) << c.path;
    }
}

TEST(LogText, EmptyLogStartsWithoutALineBreak) {
    std::vector<char> t = ComposeLogText("", "first");
    EXPECT_STREQ(t.data(), "first");
    t = ComposeLogText("first", "second");
    EXPECT_STREQ(t.data(), "first\r\nsecond");
}

TEST(LogText, PastTheLimitOnlyTheOpeningAndTheNewestMessageRemain) {
    const std::string old(600, 'x');
    const std::string msg(1000, 'm');  // longer than the kept text itself
    std::vector<char> t = ComposeLogText(old.c_str(), msg.c_str());
    EXPECT_EQ(t.size(), 511u + 2 + msg.size() + 1);
    EXPECT_EQ(std::string(t.data()), old.substr(0, 511) + "\r\n" + msg);

    const std::string exact(511, 'y');
    t = ComposeLogText(exact.c_str(), "new");
    EXPECT_EQ(std::string(t.data()), exact + "\r\nnew");
}

}  // namespace
