#include "platform/help_file.h"

#include <gtest/gtest.h>

#include "tests/platform/scratch_dir.h"

using namespace velk;
using velk::test::ScratchDir;
namespace fs = std::filesystem;

namespace {

const char* kSmall =
    "velk-help 1\r\n"
    "Notes for whoever edits this file; not a topic.\r\n"
    "@topic 0 Contents\r\n"
    "<h1>Contents</h1><p><a href=\"topic:2\">Finding</a></p>\r\n"
    "@topic 2 Finding documents\r\n"
    "<p>Type a number &amp; press <b>Find</b>.</p>\r\n"
    "@topicx 7 not a heading\r\n"
    "@topic abc neither\r\n"
    "@topic 1234567890 too many digits\r\n"
    "@topic   21    The document lists  \r\n"
    "<p>Copy, print or save a list of documents.</p>\r\n"
    "@topic 2 A second topic 2 is ignored\r\n"
    "<p>ignored body</p>\r\n"
    "@topic 9\r\n"
    "<p>Batch print and export: find this.</p>\r\n";

TEST(HelpFile, TopicsByContextNumberSearchAndAbout) {
    HelpFile f = HelpFile::Parse(kSmall, "velkwp.hlp");
    ASSERT_TRUE(f.ok()) << f.problem();
    ASSERT_EQ(f.topics().size(), 4u);
    EXPECT_EQ(f.topics()[0].context, 0);
    EXPECT_EQ(f.find(2)->title, "Finding documents");
    // Malformed headings are body text of the topic before them.
    const std::string& body2 = f.find(2)->html;
    EXPECT_NE(body2.find("@topicx 7"), std::string::npos);
    EXPECT_NE(body2.find("@topic 1234567890"), std::string::npos);
    EXPECT_EQ(body2.find("ignored body"), std::string::npos) << "the first topic of a number wins";
    EXPECT_EQ(body2.find('\r'), std::string::npos);
    EXPECT_EQ(f.find(21)->title, "The document lists");
    EXPECT_EQ(f.find(9)->title, "Topic 9");
    EXPECT_EQ(f.find(7), nullptr);
    // A missing context falls back to the contents, the file's own here.
    EXPECT_EQ(&f.topicFor(5), &f.contents());
    EXPECT_EQ(f.contents().title, "Contents");
    EXPECT_NE(f.contents().html.find("topic:2"), std::string::npos);
    EXPECT_EQ(&f.topicFor(21), f.find(21));

    auto contexts = [&](const std::string& q) {
        std::vector<long> out;
        for (const HelpTopic* t : f.search(q)) out.push_back(t->context);
        return out;
    };
    EXPECT_EQ(contexts("PRINT"), (std::vector<long>{21, 9}));       // body of 21, body of 9
    EXPECT_EQ(contexts("lists print"), (std::vector<long>{21}));    // every word; a title word first
    EXPECT_EQ(contexts("finding"), (std::vector<long>{2, 0}));      // the title hit first
    EXPECT_EQ(contexts("number & press"), (std::vector<long>{2}));  // entities are decoded
    for (const char* q : {"href", "   ", "print zebra"}) EXPECT_TRUE(contexts(q).empty()) << q;  // tags: no text

    // About names the program, the collection, its coverage and the libraries, then the file's own topic.
    std::string h = AboutHtml("0.1.0", {"ASSIGN", " 12340567 ", "March 1998 "},
                              {{"Qt", "6.4.2"}, {"lib<b>", "1 & 2"}}, f.find(21));
    for (const char* part :
         {"0.1.0", "<b>Assignments</b>", "through 12340567 (March 1998)", "<td>Qt</td><td>6.4.2</td>",
          "lib&lt;b&gt;</td><td>1 &amp; 2", "Copy, print or save a list of documents."})
        EXPECT_NE(h.find(part), std::string::npos) << part << " in " << h;
    std::string bare = AboutHtml("0.1.0", {"Tovrin", "", ""}, {}, nullptr);
    EXPECT_NE(bare.find("<b>Tovrin</b>"), std::string::npos);
    EXPECT_EQ(bare.find("Coverage"), std::string::npos);
    EXPECT_EQ(bare.find("Libraries"), std::string::npos);
}

// Contents are made when the file has none; Windows-1252 from an old editor becomes UTF-8; a long
// title is cut without splitting a character; a file cut off inside a body keeps what is there.
TEST(HelpFile, MadeContentsOtherEncodingsLongTitlesAndACutOffBody) {
    HelpFile f =
        HelpFile::Parse("\xEF\xBB\xBFvelk-help 1\n@topic 4 Printing <&>\nx\n@topic 5 Export\ny", "h");
    ASSERT_TRUE(f.ok()) << f.problem();
    EXPECT_EQ(f.find(0), nullptr);
    const std::string& c = f.contents().html;
    EXPECT_NE(c.find("<a href=\"topic:4\">Printing &lt;&amp;&gt;</a>"), std::string::npos) << c;
    EXPECT_NE(c.find("<a href=\"topic:5\">Export</a>"), std::string::npos) << c;
    EXPECT_EQ(f.find(5)->html, "y\n");

    HelpFile cp = HelpFile::Parse("velk-help 1\n@topic 3 Caf\xE9\n<p>na\xEFve</p>\n", "h");
    ASSERT_TRUE(cp.ok());
    EXPECT_EQ(cp.find(3)->title, "Caf\xC3\xA9");

    std::string title;
    for (int i = 0; i < 100; ++i) title += "\xC3\xA9";
    HelpFile g =
        HelpFile::Parse("velk-help 1\n@topic 3 " + title + "\nbody\n@topic 6 Import\n<p>From a fi", "h");
    ASSERT_TRUE(g.ok());
    EXPECT_LE(g.find(3)->title.size(), kMaxHelpTitleBytes);
    EXPECT_EQ(g.find(3)->title.size() % 2, 0u);
    EXPECT_EQ(g.find(3)->title.substr(0, 2), "\xC3\xA9");
    EXPECT_EQ(g.find(6)->html, "<p>From a fi\n");
}

TEST(HelpFile, RefusesWhatIsNotAHelpFile) {
    struct Case {
        std::string bytes, says;
    };
    const Case cases[] = {
        {std::string("\x3F\x5F\x03\x00\x10\x00\x00\x00", 8) + std::string(200, '\0'),
         "old binary help format"},
        {"", "is empty"},
        {" \r\n\t\n", "is empty"},
        {"velk-help 2\n@topic 1 X\n", "first line must be \"velk-help 1\""},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "first line must be"},
        {"@topic 1 Title\nno header line\n", "first line must be"},
        {"velk-help 1", "holds no topics"},
        {"velk-help 1\nonly notes\n@topic", "holds no topics"},  // cut off in a heading
    };
    for (const Case& c : cases) {
        HelpFile f = HelpFile::Parse(c.bytes, "/inst/velkwp.hlp");
        EXPECT_FALSE(f.ok());
        EXPECT_NE(f.problem().find(c.says), std::string::npos) << f.problem();
        EXPECT_NE(f.problem().find("/inst/velkwp.hlp"), std::string::npos) << f.problem();
        EXPECT_TRUE(f.topics().empty());
        EXPECT_EQ(&f.topicFor(2), &f.contents());
    }
}

TEST(HelpFile, CountsAndSizesAreBoundedAndLoadSaysWhyAFileCannotBeShown) {
    std::string many = "velk-help 1\n";
    for (std::size_t i = 0; i < kMaxHelpTopics + 50; ++i) many += "@topic " + std::to_string(i) + " T\nb\n";
    HelpFile f = HelpFile::Parse(many, "h");
    ASSERT_TRUE(f.ok());
    EXPECT_EQ(f.topics().size(), kMaxHelpTopics);
    EXPECT_EQ(f.find(static_cast<long>(kMaxHelpTopics)), nullptr);

    ScratchDir dir("help");
    // A sparse file over the cap is refused before anything is read.
    fs::path big = dir.write("big.hlp", "velk-help 1\n@topic 1 T\n");
    fs::resize_file(big, kMaxHelpFileBytes + 1);
    HelpFile b = HelpFile::Load(big);
    EXPECT_FALSE(b.ok());
    EXPECT_NE(b.problem().find("larger than 4 MB"), std::string::npos) << b.problem();
    fs::resize_file(big, kMaxHelpFileBytes);  // at the cap: read (NUL padding is body text)
    EXPECT_TRUE(HelpFile::Load(big).ok()) << HelpFile::Load(big).problem();

    // Load says why a file cannot be shown.
    HelpFile missing = HelpFile::Load(dir / "velkwm.hlp");
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.problem().find("velkwm.hlp was not found"), std::string::npos) << missing.problem();
    fs::create_directories(dir / "folder.hlp");
    EXPECT_NE(HelpFile::Load(dir / "folder.hlp").problem().find("is not a file"), std::string::npos);
    EXPECT_NE(HelpFile::Load("/dev/zero").problem().find("is not a file"), std::string::npos);
    EXPECT_NE(HelpFile::Load("").problem().find("No help file"), std::string::npos);
    HelpFile good = HelpFile::Load(dir.write("velkwp.hlp", kSmall));
    ASSERT_TRUE(good.ok()) << good.problem();
    EXPECT_EQ(good.topics().size(), 4u);
}

}  // namespace
