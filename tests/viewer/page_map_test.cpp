#include "viewer/page_map.h"

#include <gtest/gtest.h>

#include <array>

#include "platform/app.h"
#include "tests/index/index_fixtures.h"

namespace velk {
namespace {

using test::TempTree;
using Sections = std::array<Int16, 5>;
using Parsed = std::pair<bool, Sections>;  // whether a map was read, and the first pages

struct MapApp {
    TempTree tree{"map"};
    App app;
    MapApp() {
        app.config.CollectionMode = kModePatents;
        app.doc.VolumeDir = tree.dir("vol").string();
    }
    Parsed parse(const std::string& imagePath) {
        app.doc.LastOpenIdx.ImagePath = FixedWidth(imagePath, 37);
        const bool read = ParsePage(app);
        return {read, app.doc.SectionFirstPage};
    }
};

TEST(ParsePage, TextMapsBesideTheImageAndTheirNumbers) {
    MapApp m;
    m.tree.write("vol/DOCS/5123456.a1a",
                 "Claim(s) : 9  Info.: 1 Abstract:2  Drawing(s):   3  Description: 5x\r\nInfo.: 7\r\n");
    m.tree.write("vol/DOCS/5123456.tif", "the image");
    EXPECT_EQ(m.parse("\\DOCS\\5123456.TIF"), Parsed(true, {1, 2, 3, 5, 9}));
    EXPECT_EQ(m.app.doc.MapMarker, "");

    // No ".TIF": the image path with "a" appended, in loose letter case.
    m.tree.write("vol/maps/re12345a", "Info.: 1  Abstract: 0  Drawing(s): 0  Description: 2  Claim(s) : 4\r\n");
    EXPECT_EQ(m.parse("\\MAPS\\RE12345"), Parsed(true, {1, 0, 0, 2, 4}));
    m.tree.write("vol/DOCS/D345678.BINa", "Info.: 1  Drawing(s): 2\r\n");
    EXPECT_EQ(m.parse("\\DOCS\\D345678.BIN"), Parsed(true, {1, 0, 2, 0, 0}));

    // Labels are case-sensitive; numbers are digits only and 1..32767.
    m.tree.write("vol/DOCS/1.BINa", "info.: 4 ABSTRACT: 5 Drawing(s): 6 Description:+7 Claim(s) :1e3\r\n");
    EXPECT_EQ(m.parse("\\DOCS\\1.BIN"), Parsed(true, {0, 0, 6, 0, 1}));
    m.tree.write("vol/DOCS/2.BINa",
                 "Info.: 99999  Abstract: -7  Drawing(s): 40000  Description: 32768  Claim(s) : 32767\r\n");
    EXPECT_EQ(m.parse("\\DOCS\\2.BIN"), Parsed(true, {0, 0, 0, 0, 32767}));

    // An empty map cannot be read; a missing one leaves nothing of the last document.
    m.tree.write("vol/DOCS/3.BINa", "");
    EXPECT_FALSE(m.parse("\\DOCS\\3.BIN").first);
    EXPECT_EQ(m.parse("\\DOCS\\4.BIN"), Parsed(false, {0, 0, 0, 0, 0}));

    // A number is leading digits after blanks; a section past the last page is none.
    for (auto [text, page] :
         {std::pair{"  12abc", 12}, {"\t3;", 3}, {"", 0}, {"x5", 0}, {"0", 0}, {"32767", 32767}})
        EXPECT_EQ(MapPageNumber(text), page) << text;
    EXPECT_EQ(MapPageNumber("99999999999999999999999"), 0);

    CurrentDocument doc;
    doc.SectionFirstPage = {Int16(1), Int16(0), Int16(4), Int16(9), Int16(12)};
    EXPECT_EQ(SectionStart(doc, SecDrawings, Int16(9)), 4);
    EXPECT_EQ(SectionStart(doc, SecDescription, Int16(9)), 9);
    EXPECT_EQ(SectionStart(doc, SecClaims, Int16(9)), 0);  // past the last page
    EXPECT_EQ(SectionStart(doc, SecAbstract, Int16(9)), 0);
}

}  // namespace
}  // namespace velk
