// The allow-list reader over the file's bytes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/logic/id_string_list.h"

namespace {

struct IdList {
    char szModel[kIdMaxEntries][kIdModelLen + 1];
    char szFile[kIdMaxEntries][kIdFileLen + 1];
    int bConfirm = 0;
    int nCount = -1;

    IdList() {
        // Garbage in every slot: the reader must clear what it does not fill.
        memset(szModel, '#', sizeof szModel);
        memset(szFile, '#', sizeof szFile);
    }
    ID_STRING_SINK Sink() { return ID_STRING_SINK{szModel, szFile, &bConfirm}; }
    void Parse(const std::string& text) {
        nCount = ParseIdStringList(reinterpret_cast<const unsigned char*>(text.data()), text.size(), Sink());
    }
};

const char kModelA[] = "VENDOR  PRODUCT-A       ";  // 24 characters
const char kModelB[] = "VENDOR  PRODUCT-B       ";

std::string Line(const std::string& model, const std::string& file, const char* flag = nullptr) {
    std::string s = "\"" + model + "\" \"" + file + "\"";
    if (flag) s += std::string(" \"") + flag + "\"";
    return s + "\n";
}

TEST(IdStringList, TypicalLinesInFileOrderAndUnusedSlotsEmpty) {
    IdList l;
    l.Parse(Line(kModelA, "FWA.hex", "Y") + Line(kModelB, "FWB.bin", "N"));
    ASSERT_EQ(l.nCount, 2);
    EXPECT_STREQ(l.szModel[0], kModelA);
    EXPECT_STREQ(l.szFile[0], "FWA.hex");
    EXPECT_STREQ(l.szModel[1], kModelB);
    EXPECT_STREQ(l.szFile[1], "FWB.bin");
    EXPECT_EQ(l.bConfirm, 0);  // the last line with a flag decides
    for (int i = 2; i < kIdMaxEntries; ++i) {
        EXPECT_STREQ(l.szModel[i], "");
        EXPECT_STREQ(l.szFile[i], "");
    }
}

TEST(IdStringList, ListEndsAtFirstLineNotOpeningWithAQuote) {
    struct Case { const char* name; std::string text; int nCount; };
    const Case cases[] = {
        {"blank first line", " " + Line(kModelA, "a.hex"), 0},
        {"empty file", "", 0},
        {"empty line ends the list", Line(kModelA, "a.hex") + "\n" + Line(kModelB, "b.hex"), 1},
        {"comment line ends the list", Line(kModelA, "a.hex") + "#x\n" + Line(kModelB, "b.hex"), 1},
        {"last line without LF", Line(kModelA, "a.hex") + "\"" + kModelB + "\" \"b.hex\"", 2},
    };
    for (const Case& c : cases) {
        IdList l;
        l.Parse(c.text);
        EXPECT_EQ(l.nCount, c.nCount) << c.name;
        if (c.nCount < 2) {
            EXPECT_STREQ(l.szModel[1], "") << c.name;
        }
    }
}

TEST(IdStringList, ModelIsStoredAtQuote3AndCutTo24) {
    IdList l;
    l.Parse(Line("VENDOR  PRODUCT-A", "a.hex") +                        // no trailing blanks
            Line(std::string(kModelA) + "EXTRA", "b.hex") +              // longer than 24
            "\"" + kModelA + "\"\n" +                                   // model field only
            "\"" + kModelA + "\" \"c.hex\n");                          // file name unclosed
    ASSERT_EQ(l.nCount, 4);
    EXPECT_STREQ(l.szModel[0], "VENDOR  PRODUCT-A");
    EXPECT_STREQ(l.szModel[1], kModelA);
    EXPECT_STREQ(l.szModel[2], "");  // fewer than three quotes stores no model
    EXPECT_STREQ(l.szFile[2], "");
    EXPECT_STREQ(l.szModel[3], kModelA);
    EXPECT_STREQ(l.szFile[3], "");   // fewer than four quotes stores no file name
}

TEST(IdStringList, ConfirmationFlagRule) {
    struct Case { const char* name; std::string text; int bStart; int bConfirm; };
    const Case cases[] = {
        {"Y", Line(kModelA, "a.hex", "Y"), 0, 1},
        {"y", Line(kModelA, "a.hex", "y"), 0, 1},
        {"N", Line(kModelA, "a.hex", "N"), 1, 0},
        {"empty field", Line(kModelA, "a.hex", ""), 1, 0},
        {"Yes: last letter decides", Line(kModelA, "a.hex", "Yes"), 1, 0},
        {"sY: last letter decides", Line(kModelA, "a.hex", "sY"), 0, 1},
        {"no flag field keeps the previous line's",
         Line(kModelA, "a.hex", "Y") + Line(kModelB, "b.hex"), 0, 1},
        {"no flag field at all keeps the start value", Line(kModelA, "a.hex"), 1, 1},
        {"unclosed flag field: the line feed clears it", "\"" + std::string(kModelA) + "\" \"a.hex\" \"Y\n", 1, 0},
        {"unclosed flag field at the end of the file", "\"" + std::string(kModelA) + "\" \"a.hex\" \"Y", 1, 0},
        {"quotes after the sixth are ignored", "\"m\" \"f\" \"Y\" \"N\"\n", 0, 1},
        {"the last line with a flag decides", Line(kModelA, "a", "Y") + Line(kModelB, "b", "N") + Line(kModelA, "c"), 1, 0},
    };
    for (const Case& c : cases) {
        IdList l;
        l.bConfirm = c.bStart;
        l.Parse(c.text);
        EXPECT_EQ(l.bConfirm, c.bConfirm) << c.name;
    }
}

TEST(IdStringList, CrLfReadsLikeLf) {
    IdList lf, crlf;
    lf.Parse(Line(kModelA, "a.hex", "Y") + Line(kModelB, "b.bin", "y") + "\n" + Line(kModelA, "c.hex"));
    crlf.Parse("\"" + std::string(kModelA) + "\" \"a.hex\" \"Y\"\r\n\"" + kModelB + "\" \"b.bin\" \"y\"\r\n\r\n" +
               Line(kModelA, "c.hex"));
    ASSERT_EQ(lf.nCount, 2);
    ASSERT_EQ(crlf.nCount, 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_STREQ(crlf.szModel[i], lf.szModel[i]);
        EXPECT_STREQ(crlf.szFile[i], lf.szFile[i]);
    }
    EXPECT_EQ(crlf.bConfirm, 1);  // the CR is not the flag field's last character
    // A lone CR is an ordinary character.
    IdList lone;
    lone.Parse("\"m\" \"a\rb.hex\"\n");
    EXPECT_STREQ(lone.szFile[0], "a\rb.hex");
}

TEST(IdStringList, ByteFFEndsTheLineOrTheList) {
    IdList inside;
    // 0xFF inside the file-name field ends the line there; the next byte
    // starts a new line, here a new entry.
    inside.Parse("\"" + std::string(kModelA) + "\" \"a.h\xFF\"" + kModelB + "\" \"b.hex\"\n");
    ASSERT_EQ(inside.nCount, 2);
    EXPECT_STREQ(inside.szModel[0], kModelA);
    EXPECT_STREQ(inside.szFile[0], "");
    EXPECT_STREQ(inside.szModel[1], kModelB);
    EXPECT_STREQ(inside.szFile[1], "b.hex");

    IdList start;
    start.Parse(Line(kModelA, "a.hex") + "\xFF" + Line(kModelB, "b.hex"));
    EXPECT_EQ(start.nCount, 1);
    EXPECT_STREQ(start.szModel[1], "");
}

TEST(IdStringList, LimitsNeverWritePastTheSlots) {
    // Eleven entries: the eleventh is ignored, flag included.
    std::string text;
    for (int i = 0; i < 10; ++i) text += Line(kModelA, "f" + std::to_string(i) + ".hex", "N");
    text += Line(kModelB, "eleven.hex", "Y");
    IdList many;
    many.Parse(text);
    EXPECT_EQ(many.nCount, 10);
    EXPECT_STREQ(many.szFile[9], "f9.hex");
    EXPECT_EQ(many.bConfirm, 0);

    // A file name longer than 59 characters is cut to 59.
    IdList longName;
    const std::string name(70, 'n');
    longName.Parse("\"m\"\"" + name + "\"\n");
    EXPECT_EQ(std::string(longName.szFile[0]), name.substr(0, 59));

    // A line longer than 80 characters after its opening quote: only the first
    // 80 count, the rest is read to the line's end and ignored, and the next
    // line is read normally.
    const std::string pad(50, ' ');
    IdList longLine;
    longLine.bConfirm = 1;
    longLine.Parse("\"" + std::string(kModelA) + "\"" + pad + "\"late.hex\" \"Y\"\n" + Line(kModelB, "b.hex"));
    ASSERT_EQ(longLine.nCount, 2);
    EXPECT_STREQ(longLine.szModel[0], kModelA);  // quote 3 is the 76th character,
    EXPECT_STREQ(longLine.szFile[0], "");        // quote 4 the 85th: never seen
    EXPECT_EQ(longLine.bConfirm, 1);             // nor the flag field after it
    EXPECT_STREQ(longLine.szFile[1], "b.hex");
}

TEST(IdStringList, ReadsFromAFileLikeFromMemory) {
    FILE* fp = tmpfile();
    ASSERT_NE(fp, nullptr);
    const std::string text = "\"" + std::string(kModelA) + "\" \"a.hex\" \"y\"\r\n" + Line(kModelB, "b.bin");
    fwrite(text.data(), 1, text.size(), fp);
    rewind(fp);
    IdList f;
    f.nCount = ReadIdStringList(fp, f.Sink());
    fclose(fp);
    ASSERT_EQ(f.nCount, 2);
    EXPECT_STREQ(f.szModel[0], kModelA);
    EXPECT_STREQ(f.szFile[1], "b.bin");
    EXPECT_EQ(f.bConfirm, 1);
}

}  // namespace
