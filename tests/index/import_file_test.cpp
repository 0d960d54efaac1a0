#include "index/import_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/index/import_fixture.h"

namespace velk {
namespace {

using test::Entries;
using test::Strings;

ImportTable Read(const std::string& text, const char* mode = kModePatents) {
    std::istringstream in(text);
    ImportTable t;
    EXPECT_TRUE(ReadImportStream(in, mode, t)) << text;
    return t;
}

TEST(ImportFile, NumbersOfAListAsPastedOrSaved) {
    struct Case {
        std::string text;
        Strings want;
        const char* mode = kModePatents;
    };
    for (const Case& c : std::initializer_list<Case>{
             // Commas and doubled spaces fall away; six or eight characters, lower-case kind letters
             // and letters in the middle are dropped.
             {"5123456 6,234,567  D345678", {"5123456", "6234567", "D345678"}},
             {"512345 51234567 d345678 51A3456 RE12345 H000123", {"RE12345", "H000123"}},
             // Trademarks take numbers only; assignments nothing at all.
             {"D345678 1253106 T123456", {"1253106"}, kModeTrademarks},
             {"1253106 D345678", {}, kModeAssignments},
             // Lists with semicolons or commas, digit groups.
             {"5123456;6234567 ;D345678", {"5123456", "6234567", "D345678"}},
             {"5123456,6234567, D345678", {"5123456", "6234567", "D345678"}},
             {"5,123,456,6234567", {"5123456", "6234567"}},
             {"5,123,456;6,234,567", {"5123456", "6234567"}},
             {"D345,678 D,345678", {"D345678"}},  // a design number's group; no digit before the comma
             {"5123,4567", {}},                   // four digits after: two tokens, neither of 7
             {"512,3456,D345678", {"D345678"}},
             // Every line end, a blank line, the last line without an end.
             {"5123456\r\n6234567\r7345678\n\nD345678", {"5123456", "6234567", "7345678", "D345678"}},
             {"   ", {}},
             // Bytes above 127 are text in some encoding; a stray control byte does not spoil a list.
             {"\xEF\xBB\xBF\xff\xfe 5123456\x01\x1a\f\n", {"5123456"}}})
        EXPECT_EQ(Entries(Read(c.text, c.mode)), c.want) << c.text;

    // What is not taken but holds a digit is counted, the first few kept as read.
    ImportTable t = Read("junk US5123456 123,456 d345678 5123456 x1 x2 x3 x4");
    EXPECT_EQ(Entries(t), (Strings{"5123456"}));
    EXPECT_EQ(t.ignored, 7);
    EXPECT_EQ(t.ignoredFirst, (Strings{"US5123456", "123,456", "d345678", "x1", "x2"}));

    std::string text;
    for (std::size_t i = 0; i + 1 < kImportRowLimit; ++i) text += "5123456\n";
    text += "6234567 7345678 D345678\n8456789\n";  // reaches the limit: taken whole; the next is not read
    Strings got = Entries(Read(text));
    ASSERT_EQ(got.size(), kImportRowLimit + 2);
    EXPECT_EQ(got.back(), "D345678");
}

TEST(ImportFile, UnreadableSourcesLeaveNothing) {
    test::TempTree tree("import");
    using Status = ImportReadStatus;
    const auto huge = tree.write("huge.txt", "5123456\n" + std::string(kImportLineLimit + 10, '7'));
    // Missing, a directory, no name, a line without end longer than any list line; not text: a NUL byte
    // (a program, a picture), or mostly control bytes.
    for (auto [path, failure] : std::initializer_list<std::pair<std::string, Status::Failure>>{
             {tree.str() + "/missing.txt", Status::Unopenable},
             {tree.str(), Status::Unopenable},
             {"", Status::Unopenable},
             {huge.string(), Status::LineTooLong},
             {tree.write("nul", std::string("5123456\n\0\n6234567\n", 18)).string(), Status::NotText},
             {tree.write("ctl", std::string(4000, '\x01') + "\n5123456\n").string(), Status::NotText}}) {
        ImportTable t;
        t.add("stale");
        Status status;
        EXPECT_FALSE(ReadImportFile(path, kModePatents, t, status, {})) << path;
        EXPECT_EQ(status.failure, failure) << path;
        EXPECT_TRUE(t.rows.empty()) << path;
    }
    ImportTable t;
    const auto list = tree.write("list.txt", "5123456 6234567\r\n1253106\r\n");
    ASSERT_TRUE(ReadImportFile(list.string(), kModeTrademarks, t));
    EXPECT_EQ(Entries(t), (Strings{"5123456", "6234567", "1253106"}));
}

}  // namespace
}  // namespace velk
