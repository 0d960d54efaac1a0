#include "index/import_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/index/import_fixture.h"

namespace velk {
namespace {

using test::Entries;
using test::Strings;

Strings Read(const std::string& text, const char* mode = kModePatents) {
    std::istringstream in(text);
    ImportTable t;
    EXPECT_TRUE(ReadImportStream(in, mode, t));
    return Entries(t);
}

Strings Line(std::string_view line, const char* mode = kModePatents) {
    ImportTable t;
    ImportLineNumbers(line, mode, t);
    return Entries(t);
}

TEST(ImportFile, TokensOfALineByCollection) {
    // Two numbers and a design number on one line; commas and doubled spaces fall away.
    EXPECT_EQ(Line("5123456 6,234,567  D345678"), (Strings{"5123456", "6234567", "D345678"}));
    // Six or eight characters, lower-case kind letters, letters in the middle: dropped.
    EXPECT_EQ(Line("512345 51234567 d345678 51A3456 RE12345 H000123"), (Strings{"RE12345", "H000123"}));
    // Trademarks take numbers only; assignments nothing at all.
    EXPECT_EQ(Line("D345678 1253106 T123456", kModeTrademarks), (Strings{"1253106"}));
    EXPECT_EQ(Line("1253106 D345678", kModeAssignments), Strings{});
    EXPECT_EQ(Line("   "), Strings{});
}

TEST(ImportFile, TabsSemicolonsAndCommasSeparateButThousandsDoNot) {
    // A spreadsheet row or column as pasted, a list with commas, digit groups.
    for (auto [line, want] : std::initializer_list<std::pair<const char*, Strings>>{
             {"5123456\t6234567", {"5123456", "6234567"}},
             {"5123456;6234567 ;D345678", {"5123456", "6234567", "D345678"}},
             {"5123456,6234567, D345678", {"5123456", "6234567", "D345678"}},
             {"5,123,456,6234567", {"5123456", "6234567"}},
             {"5,123,456;6,234,567", {"5123456", "6234567"}},
             {"D345,678 D,345678", {"D345678"}},  // a design number's group; no digit before the comma
             {"5123,4567", {}},                   // four digits after: two tokens, neither of 7
             {"512,3456,D345678", {"D345678"}}}) {
        EXPECT_EQ(Line(line), want) << line;
    }
    // What is not taken but holds a digit is counted, the first few kept as read.
    ImportTable t;
    ImportLineNumbers("junk US5123456 123,456 d345678 5123456 x1 x2 x3 x4", kModePatents, t);
    EXPECT_EQ(Entries(t), (Strings{"5123456"}));
    EXPECT_EQ(t.ignored, 7);
    EXPECT_EQ(t.ignoredFirst, (Strings{"US5123456", "123,456", "d345678", "x1", "x2"}));
}

TEST(ImportFile, EveryLineEndTheLastLineWithoutOneAndTheRowLimit) {
    const Strings want{"5123456", "6234567", "7345678", "D345678"};
    for (const char* text : {"5123456\r\n6234567\r\n7345678\r\nD345678\r\n",
                             "5123456\n6234567\n\n7345678\nD345678", "5123456\r6234567\r7345678\rD345678"})
        EXPECT_EQ(Read(text), want);
    EXPECT_EQ(Read(""), Strings{});
    // Bytes above 127 are text in some encoding; a stray control byte does not spoil a list.
    EXPECT_EQ(Read("\xEF\xBB\xBF\xff\xfe 5123456\x01\x1a\f\n"), (Strings{"5123456"}));

    std::string text;
    for (std::size_t i = 0; i + 1 < kImportRowLimit; ++i) text += "5123456\n";
    text += "6234567 7345678 D345678\n8456789\n";  // reaches the limit: taken whole; the next is not read
    Strings got = Read(text);
    ASSERT_EQ(got.size(), kImportRowLimit + 2);
    EXPECT_EQ(got.back(), "D345678");
}

TEST(ImportFile, UnreadableSourcesLeaveNothing) {
    test::TempTree tree("import");
    // Missing, a directory, no name, a line without end longer than any list line.
    const auto huge = tree.write("huge.txt", "5123456\n" + std::string(kImportLineLimit + 10, '7'));
    for (const std::string& path : {tree.str() + "/missing.txt", tree.str(), std::string(), huge.string()}) {
        ImportTable t;
        t.add("stale");
        EXPECT_FALSE(ReadImportFile(path, kModePatents, t)) << path;
        EXPECT_TRUE(t.rows.empty()) << path;
    }
    // Not text: a NUL byte (a program, a picture), or mostly control bytes.
    for (const std::string& bytes :
         {std::string("5123456\n\0\n6234567\n", 18), std::string(4000, '\x01') + "\n5123456\n"}) {
        ImportTable t;
        ImportReadStatus status;
        EXPECT_FALSE(ReadImportFile(tree.write("bin", bytes).string(), kModePatents, t, status, {}));
        EXPECT_EQ(status.failure, ImportReadStatus::NotText);
        EXPECT_TRUE(t.rows.empty());
    }
    ImportTable t;
    const auto list = tree.write("list.txt", "5123456 6234567\r\n1253106\r\n");
    ASSERT_TRUE(ReadImportFile(list.string(), kModeTrademarks, t));
    EXPECT_EQ(Entries(t), (Strings{"5123456", "6234567", "1253106"}));
    EXPECT_EQ(t.rows[0].Found, "");
}

}  // namespace
}  // namespace velk
