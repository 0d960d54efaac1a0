#include "platform/profile_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <optional>
#include <vector>

#include "tests/common/error_number.h"
#include "tests/platform/scratch_dir.h"

namespace fs = std::filesystem;
using namespace velk;
using velk::test::ErrorNumber;
using velk::test::InChild;
using velk::test::ScratchDir;
using namespace std::string_literals;

namespace {

bool Write(const ScratchDir& d, const std::string& section, const std::string& key, const std::string& value,
           int* err = nullptr) {
    return WritePrivateProfileString(section, key, value, (d / "t.ini").string(), err);
}

std::size_t Entries(const fs::path& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
    return n;
}

}  // namespace

// Each case: the file before (none: no file yet), the writes in order, the file after.
TEST(ProfileWriter, EditsInPlaceAndKeepsEveryUntouchedByte) {
    const std::string junk = "junk\0before\x01sections\n"s;
    struct Case {
        const char* what;
        std::optional<std::string> before;
        std::vector<std::array<std::string, 3>> writes;
        std::string after;
    } cases[] = {
        {"the platform's own result for this file and these calls, byte for byte",
         "; app\r\n[Main]\r\nName = Alpha\r\ncount=3\r\n;-- end\r\n\r\n[Other]\r\nx=1\r\n",
         {{"MAIN", "Count", "4"}, {"Main", "New", " v "}, {"Third", "k", "v"}},
         "; app\r\n[Main]\r\nName = Alpha\r\ncount=4\r\nNew= v \r\n;-- end\r\n\r\n[Other]\r\nx=1\r\n"
         "[Third]\r\nk=v\r\n"},
        {"hand-edited: a key before any section, another section's, a comment never match; a new key "
         "follows the last key line, in the file's line ends",
         junk + "CD_DRIVE=Z\n[Other]\nCD_DRIVE=Y\n  [ data ]  trailing\n; CD_DRIVE=comment\n"
                "INSTALLATION_TYPE = OPEN\n\tcd_drive  =\t E:\\ \nno equals sign\n\n"
                "[DATA]\nCD_DRIVE=second section\n[Last]\nx=1",
         {{" DATA ", "CD_DRIVE ", "F:"}, {"data", "PAGE_TYPE", "A4"}, {"Last", "x", "2"}},
         junk + "CD_DRIVE=Z\n[Other]\nCD_DRIVE=Y\n  [ data ]  trailing\n; CD_DRIVE=comment\n"
                "INSTALLATION_TYPE = OPEN\n\tcd_drive  =\t F:\nPAGE_TYPE=A4\nno equals sign\n\n"
                "[DATA]\nCD_DRIVE=second section\n[Last]\nx=2\n"},
        {"a new file", std::nullopt, {{"DATA", "PAGE_TYPE", "LETTER"}}, "[DATA]\r\nPAGE_TYPE=LETTER\r\n"},
        {"a header with no keys takes the key right below it; a line break before an appended section",
         "[DATA]\r\n[X]\r\ny=1", {{"DATA", "A", ""}, {"New", "b", "2"}},
         "[DATA]\r\nA=\r\n[X]\r\ny=1\r\n[New]\r\nb=2\r\n"},
        {"lone CR ends", "[DATA]\rk=1\r", {{"DATA", "k", "2"}, {"DATA", "m", "3"}}, "[DATA]\rk=2\rm=3\r"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir d("ini");
        if (c.before) d.write("t.ini", *c.before);
        for (const auto& [section, key, value] : c.writes) ASSERT_TRUE(Write(d, section, key, value));
        EXPECT_EQ(d.read("t.ini"), c.after);
        // A value with a line break would inject a line; names need a key.
        int err = 0;
        EXPECT_FALSE(Write(d, "DATA", "k", "x\r\nINSTALLATION_TYPE=OPEN", &err));
        EXPECT_EQ(err, EINVAL);
        EXPECT_FALSE(Write(d, "DATA", "  ", "x"));
        EXPECT_EQ(d.read("t.ini"), c.after);
        // Missing directory: nothing is created.
        EXPECT_FALSE(WritePrivateProfileString("DATA", "k", "v", (d / "no/such/t.ini").string(), &err));
        EXPECT_EQ(err, ENOENT);
        EXPECT_FALSE(fs::exists(d / "no"));
    }
}

TEST(ProfileWriter, EncodingsAreKeptAsReadAndReadsAreBounded) {
    ScratchDir d("ini");
    // Windows-1252 with an unassigned byte (0x81): kept exactly; a new value in its code page.
    d.write("t.ini", "[DATA]\r\n; caf\xE9 \x81\r\nEXPORT_PATH=C:\\old\r\n");
    ASSERT_TRUE(Write(d, "DATA", "EXPORT_PATH", "C:\\caf\xC3\xA9\xE2\x82\xAC\xE4\xB8\xAD"));  // café€中
    EXPECT_EQ(d.read("t.ini"), "[DATA]\r\n; caf\xE9 \x81\r\nEXPORT_PATH=C:\\caf\xE9\x80?\r\n");
    TextEncoding enc{};
    EXPECT_EQ(ReadTextFile((d / "t.ini").string(), &enc),
              "[DATA]\r\n; caf\xC3\xA9 \xC2\x81\r\nEXPORT_PATH=C:\\caf\xC3\xA9\xE2\x82\xAC?\r\n");
    EXPECT_EQ(enc, TextEncoding::Cp1252);

    // UTF-8 with a byte-order mark: the header on the first line is found, the mark kept.
    d.write("t.ini", "\xEF\xBB\xBF[DATA]\nk=\xC3\xA9\n");
    ASSERT_TRUE(Write(d, "DATA", "k", "\xE4\xB8\xAD"));
    EXPECT_EQ(d.read("t.ini"), "\xEF\xBB\xBF[DATA]\nk=\xE4\xB8\xAD\n");
    EXPECT_EQ(ReadTextFile((d / "t.ini").string(), &enc), "[DATA]\nk=\xE4\xB8\xAD\n");
    EXPECT_EQ(enc, TextEncoding::Utf8);

    // UTF-16LE stays UTF-16LE.
    const auto u16 = test::Utf16LE;
    d.write("t.ini", "\xFF\xFE" + u16("[DATA]\r\nk=1\r\n"));
    ASSERT_TRUE(Write(d, "DATA", "k", "\xC3\xA9"));
    EXPECT_EQ(d.read("t.ini"), "\xFF\xFE" + u16("[DATA]\r\nk=") + std::string("\xE9\0", 2) + u16("\r\n"));
    EXPECT_EQ(ReadTextFile((d / "t.ini").string(), &enc), "[DATA]\r\nk=\xC3\xA9\r\n");
    EXPECT_EQ(enc, TextEncoding::Utf16LE);
    // An odd byte count cannot be kept byte for byte: refused, file untouched.
    d.write("t.ini", "\xFF\xFE" + u16("[DATA]") + "x");
    EXPECT_FALSE(Write(d, "DATA", "k", "v"));
    EXPECT_EQ(d.read("t.ini"), "\xFF\xFE" + u16("[DATA]") + "x");

    // Reading: missing, over the size allowed, at it, a directory.
    EXPECT_EQ(ErrorNumber([&] { ReadTextFile((d / "missing.ini").string()); }), 53);
    d.write("big.txt", std::string(4096, 'x'));
    EXPECT_EQ(ErrorNumber([&] { ReadTextFile((d / "big.txt").string(), nullptr, 4095); }), 321);
    EXPECT_EQ(ReadTextFile((d / "big.txt").string(), nullptr, 4096).size(), 4096u);
    EXPECT_NE(ErrorNumber([&] { ReadTextFile(d.str()); }), 0);  // a directory
}

// A write follows a link, keeps the mode and leaves no temporary; as a user without rights (a full disk
// is faults/full_disk_test's) a failed one leaves the old file.
TEST(ProfileWriter, AtomicWriteFollowsLinksKeepsModeAndFailsLeavingTheOldFile) {
    ScratchDir d("atomic");
    const std::string path = d.write("real/t.ini", "[DATA]\r\nk=1\r\n").string();
    ::chmod(path.c_str(), 0640);
    fs::create_symlink("real/t.ini", d / "t.ini");
    ASSERT_TRUE(Write(d, "DATA", "k", "2"));
    EXPECT_TRUE(fs::is_symlink(d / "t.ini"));
    EXPECT_EQ(d.read("real/t.ini"), "[DATA]\r\nk=2\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(Entries(d / "real"), 1u);
    EXPECT_EQ(Entries(d.path()), 2u);

    // 1 when the write succeeded, 0 when it failed.
    auto asUser = [](const std::string& file, const char* value) {
        return InChild([&] { return WritePrivateProfileString("DATA", "k", value, file) ? 1 : 0; });
    };
    // A read-only file is not overruled by renaming over it.
    ::chmod((d / "real").c_str(), 0777);
    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(asUser(path, "3"), 0);
    EXPECT_EQ(d.read("real/t.ini"), "[DATA]\r\nk=2\r\n");
    // A read-only directory with a writable file: rewritten in place.
    ::chmod(path.c_str(), 0666);
    ::chmod((d / "real").c_str(), 0555);
    EXPECT_EQ(asUser(path, "22"), 1);
    EXPECT_EQ(d.read("real/t.ini"), "[DATA]\r\nk=22\r\n");
    EXPECT_EQ(asUser(path, "3"), 1);
    EXPECT_EQ(d.read("real/t.ini"), "[DATA]\r\nk=3\r\n");  // shorter: the tail is cut
    // ...but a new file cannot be made there.
    EXPECT_EQ(asUser((d / "real/n.ini").string(), "3"), 0);
    ::chmod((d / "real").c_str(), 0777);
    EXPECT_FALSE(fs::exists(d / "real/n.ini"));
}
