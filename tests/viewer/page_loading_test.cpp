#include "viewer/page_loading.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/app.h"
#include "tests/index/index_fixtures.h"
#include "tests/support/fakes.h"

namespace velk {
namespace {

using test::TempTree;

void PutLE(std::string& b, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b[at + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xff);
}

struct Block {
    std::uint32_t offset;
    int width, height;
};

// A page container: header, offset table, and at each offset a page header and some data.
std::string Container(const std::string& docNo, const std::vector<Block>& pages, std::size_t size) {
    std::string b(size, '\0');
    b.replace(0, 8, "VELKPAGE");
    b.replace(8, 10, FixedWidth(docNo, 10));
    PutLE(b, 18, static_cast<std::uint32_t>(pages.size()), 2);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        PutLE(b, 20 + 4 * p, pages[p].offset, 4);
        if (pages[p].offset + 12 <= size) {
            PutLE(b, pages[p].offset + 6, static_cast<std::uint32_t>(pages[p].width), 2);
            PutLE(b, pages[p].offset + 8, static_cast<std::uint32_t>(pages[p].height), 2);
        }
    }
    return b;
}

struct LoadApp {
    TempTree tree{"page"};
    test::FakePorts ports;
    App app;
    LoadApp() {
        app.config.CollectionMode = kModePatents;
        ports.wire(app.ports);
    }
};

// The tables of a container give each page's offset, size and data; a page or offset
// outside the file is refused with the message, and what was recorded stays.
TEST(GetPage, ReadsTheContainerTablesAndRefusesWhatLiesOutsideTheFile) {
    LoadApp t;
    std::vector<Block> pages;
    for (int p = 1; p <= 6; ++p) pages.push_back({static_cast<std::uint32_t>(100 + 100 * p), 2000 + p, 3000 + p});
    pages.push_back({1000, 1700, 2200});
    const std::string path = t.tree.write("DOCS/5123456", Container("5123456", pages, 1400)).string();
    App& app = t.app;
    const PageFileInfo& p = app.doc.Page;
    // What was recorded of page n: its offset, where its G4 data starts and how long it is, size and text.
    auto page = [&](int n) {
        EXPECT_TRUE(GetPage(app, path, "5123456", Int16(n))) << n;
        return std::tuple(p.PageOffset, PageDataOffset(p), RawPageOf(p).offset, RawPageOf(p).length,
                          int(p.XSize), int(p.YSize), p.PageText);
    };
    // Page 1's entry at byte 20; its data from behind its page header to the next block, nothing further.
    EXPECT_EQ(page(1), std::tuple(200, 212, 212u, 88u, 2001, 3001, "1"));
    EXPECT_EQ(p.FileTag, "VELKPAGE");
    EXPECT_EQ(p.FileDocNo, "5123456   ");
    EXPECT_EQ(p.FilePages, 7);
    EXPECT_EQ(p.PagePath, path);
    // Page 7's entry at byte 44; the last block runs to the end of the file.
    EXPECT_EQ(page(7), std::tuple(1000, 1012, 1012u, 1400u - 1012u, 1700, 2200, "7"));
    EXPECT_TRUE(t.ports.messages.shown.empty());

    struct Case {
        std::string name, bytes;
        int page;
    };
    std::string tooMany = Container("1000002", {{40, 100, 200}}, 200);
    PutLE(tooMany, 18, 40000, 2);  // a negative page count
    const std::vector<Case> cases = {
        {"page past the count", Container("1000002", {{40, 100, 200}}, 200), 2},
        {"page 0", Container("1000002", {{40, 100, 200}}, 200), 0},
        {"offset past the end", Container("1000002", {{40, 100, 200}, {4096, 100, 200}}, 200), 2},
        {"offset into the header", Container("1000002", {{8, 100, 200}}, 200), 1},
        {"zero size", Container("1000002", {{40, 0, 0}}, 200), 1},
        {"negative page count", tooMany, 1},
        {"short header", "VELKPAGE12", 1},
        {"table cut short", Container("1000002", {{40, 100, 200}, {60, 100, 200}}, 200).substr(0, 26), 2},
    };
    for (const Case& c : cases) {
        t.ports.messages.shown.clear();
        const std::string bad = t.tree.write(c.name, c.bytes).string();
        EXPECT_FALSE(GetPage(app, bad, "1000002", Int16(c.page))) << c.name;
        EXPECT_EQ(t.ports.messages.last(), "Error at function GetPage") << c.name;
        EXPECT_EQ(std::tuple(p.PagePath, p.PageOffset, p.FileDocNo), std::tuple(path, 1000, "5123456   "))
            << c.name;
    }
    EXPECT_FALSE(GetPage(app, (t.tree.root() / "missing").string(), "1000002", Int16(1)));
}

}  // namespace
}  // namespace velk
