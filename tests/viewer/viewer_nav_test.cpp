// The navigation and zoom rules, and the prefetch and thumbnail workers on their own.
#include "viewer/viewer_nav.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <mutex>

#include "tests/index/index_fixtures.h"
#include "viewer/page_prefetch.h"
#include "viewer/thumbnails.h"

namespace velk {
namespace {

TEST(ViewerNav, ZoomStepsPagesAndDocumentsByPosition) {
    // 3000: a wheel zoom beyond the cap comes back to it.
    for (auto [from, to] : {std::pair{100, 125}, {1590, 1600}, {1600, 1600}, {3000, 1600}})
        EXPECT_EQ(ZoomInLevel(from), to) << from;
    for (auto [from, to] : {std::pair{100, 75}, {40, 25}, {25, 25}, {12, 12}})
        EXPECT_EQ(ZoomOutLevel(from), to) << from;

    EXPECT_EQ(PageTarget(PageMove::Next, 3, 3), 0);
    EXPECT_EQ(PageTarget(PageMove::Next, 2, 3), 3);
    EXPECT_EQ(PageTarget(PageMove::Previous, 1, 3), 0);
    EXPECT_EQ(PageTarget(PageMove::Last, 1, 12), 12);
    EXPECT_EQ(PageTarget(PageMove::First, 5, 0), 0);  // no document
    EXPECT_EQ(PageButtons(1, 1), (NavButtons{false, false, false, false}));
    EXPECT_EQ(PageButtons(2, 3), (NavButtons{true, true, true, true}));
    EXPECT_EQ(DocumentButtons(1, 1), (NavButtons{}));
    EXPECT_EQ(DocumentButtons(3, 3), (NavButtons{true, true, false, false}));

    EXPECT_EQ(DocumentTarget(DocMove::Next, 2, 0, 5), 3);
    EXPECT_EQ(DocumentTarget(DocMove::Next, 2, 4, 5), 5);  // the chosen position wins
    EXPECT_EQ(DocumentTarget(DocMove::Previous, 1, 0, 5), 0);
    EXPECT_EQ(DocumentTarget(DocMove::Last, 0, 0, 5), 5);
    EXPECT_EQ(DocumentTarget(DocMove::First, 3, 0, 0), 0);
    EXPECT_EQ(DocumentOnward(DocMove::First, 1, 3), 2);
    EXPECT_EQ(DocumentOnward(DocMove::Last, 3, 3), 2);
    EXPECT_EQ(DocumentOnward(DocMove::Next, 3, 3), 0);
    EXPECT_EQ(DocumentOnward(DocMove::Previous, 1, 3), 0);

    EXPECT_EQ(FoundEntryDocNo("5123456  QUOR_0001"), "5123456");
    EXPECT_EQ(FoundEntryDocNo("D345678  QUOR_0002 extra"), "D345678");
    // A trademark number taken from its file name is 8 characters: the volume still
    // starts at column 10.
    EXPECT_EQ(EntryText("1234567 ", "TOV_0001"), "1234567  TOV_0001");
    EXPECT_EQ(EntryText("12340567", "ASN_0001").substr(9), "ASN_0001");
    EXPECT_EQ(TrademarkDocNo("/srv/TOV_0001/IMG/1234567.TIF"), "1234567 ");

    // The zoom box: fits by name, numbers held to 10 % and the zoom rule's 1600 %; -1: refused.
    EXPECT_EQ(ParseZoomText("fit PAGE").value().mode, ViewMode::FitPage);
    EXPECT_EQ(ParseZoomText(" Fit width ").value().mode, ViewMode::FitWidth);
    const std::pair<const char*, int> numbers[] = {{"150", 150},    {"75 %", 75},       {"3%", 10},
                                                   {"99999", 1600}, {"", -1},           {"1.5", -1},
                                                   {"-20", -1},     {"12345678901", -1}};
    for (auto [typed, percent] : numbers) {
        const std::optional<TypedView> v = ParseZoomText(typed);
        EXPECT_EQ(v ? std::pair(v->mode, v->percent) : std::pair(ViewMode::Zoom, -1),
                  std::pair(ViewMode::Zoom, percent))
            << typed;
    }
    EXPECT_EQ(ZoomText(ViewMode::Zoom, 150), "150 %");
    EXPECT_EQ(ZoomText(ViewMode::FitWidth, 150), "Fit width");
}

// Page files 1 to 3 of 200 x 300 pixels, page k with k black bars; no file for any other page.
struct BarPages {
    test::TempTree tree{"pages"};
    BarPages() {
        for (int k = 1; k <= 3; ++k) {
            QImage img(200, 300, QImage::Format_Grayscale8);
            img.fill(255);
            QPainter p(&img);
            for (int b = 0; b < k; ++b) p.fillRect(10, 10 + b * 20, 150, 8, Qt::black);
            p.end();
            PageImage::fromQImage(img).save(req(k).path, SaveFormat::TiffG4);
        }
    }
    PageRequest req(int k) const {
        PageRequest r;
        r.path = (tree.root() / ("p" + std::to_string(k) + ".tif")).string();
        return r;
    }
};

// The prefetch worker hands over only the requested finished page; the thumbnailer makes the
// asked-for pages first, within its budget, and nothing of an old document.
TEST(Workers, PrefetchHandsOverOnlyTheRequestedPageAndThumbnailsFollowTheAskedFor) {
    BarPages files;
    auto req = [&](int k) { return files.req(k); };
    PagePrefetch prefetch;
    prefetch.request(req(2));
    prefetch.waitIdle();
    EXPECT_EQ(prefetch.decoded(), 1);
    EXPECT_FALSE(prefetch.take(req(3)).has_value());  // another page: dropped
    EXPECT_FALSE(prefetch.take(req(2)).has_value());  // ... and so is what was held

    prefetch.request(req(3));
    prefetch.request(req(3));  // asked again while it is decoded, and once it is done: once
    prefetch.waitIdle();
    prefetch.request(req(3));
    EXPECT_EQ(prefetch.decoded(), 2);
    std::optional<PrefetchedPage> page = prefetch.take(req(3));
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(page->page.blackCount(), DecodePage(req(3)).blackCount());
    EXPECT_TRUE(page->tiles.empty());  // no view asked for

    // With a view: the first screen's tiles, as the control would render them itself.
    PageRequest viewed = req(2);
    PrefetchView v;
    v.fit = 2;
    v.room = v.view = QSize(100, 120);
    v.tile = 64;
    viewed.view = v;
    prefetch.request(viewed);
    prefetch.waitIdle();
    page = prefetch.take(req(2));  // the view is no part of which page it is
    ASSERT_TRUE(page.has_value());
    const PageImage direct = DecodePage(req(2));
    EXPECT_DOUBLE_EQ(page->zoom, FitZoom(v.room, direct.size()));
    ASSERT_FALSE(page->tiles.empty());
    for (const auto& [key, image] : page->tiles) {
        const int column = static_cast<int>(key >> 32), row = static_cast<int>(key & 0xffffffffu);
        EXPECT_EQ(image, RenderTile(direct, column, row, 64, page->zoom, true)) << column << "," << row;
    }

    // Cleared after the request: a result from before is stale.
    prefetch.request(req(1));
    prefetch.clear();
    prefetch.waitIdle();
    EXPECT_FALSE(prefetch.take(req(1)).has_value());
    // Asked for another page while one is decoded: the later one is what is held.
    prefetch.request(req(1));
    prefetch.request(req(2));
    prefetch.waitIdle();
    EXPECT_TRUE(prefetch.take(req(2)).has_value());

    // A file that does not decode gives nothing; the caller decodes and reports.
    const PageRequest bad = req(9);
    prefetch.request(bad);
    prefetch.waitIdle();
    EXPECT_FALSE(prefetch.take(bad).has_value());

    for (const auto& [pageWidth, width, factor] :
         {std::tuple{2550, 96, 16}, {2550, 192, 8}, {2550, 400, 6}, {1000, 96, 8}, {255, 96, 2}, {255, 200, 1}})
        EXPECT_EQ(ThumbnailFactor(pageWidth, width), factor) << pageWidth << " to " << width;
    const Thumbnailer::Source source = req;
    std::mutex m;
    std::vector<int> order;
    Thumbnailer t([&](std::uint64_t, int made) {
        std::lock_guard lock(m);
        order.push_back(made);
    });
    t.pause();
    t.setDocument(source, 4, 50);
    t.prioritise({3});
    t.waitIdle();
    EXPECT_EQ(t.made(), 0);  // paused: nothing starts
    t.resume();
    t.waitIdle();
    {
        std::lock_guard lock(m);
        EXPECT_EQ(order, (std::vector{3, 1, 2, 4}));
    }
    const QImage three = t.get(3)->image;
    EXPECT_EQ(three.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(three, DecodePage(files.req(3)).renderAll(1.0 / 4));  // 200 pixels by 4: 50
    const Thumbnail missing = *t.get(4);  // no file: a placeholder that says why
    EXPECT_TRUE(missing.image.isNull());
    EXPECT_FALSE(missing.error.empty());

    t.setDocument(source, 2, 50);  // another document: nothing of the last one
    EXPECT_FALSE(t.get(3).has_value());
    t.waitIdle();
    EXPECT_EQ(t.made(), 2);

    // Room for one thumbnail: the background stops after one; an asked-for page still
    // comes, and the page farthest from it goes.
    Thumbnailer small({}, static_cast<std::size_t>(three.sizeInBytes()));
    small.setDocument(source, 3, 50);
    small.waitIdle();
    EXPECT_EQ(small.made(), 1);
    EXPECT_TRUE(small.get(1).has_value());
    small.prioritise({3});
    small.waitIdle();
    EXPECT_TRUE(small.get(3).has_value());
    EXPECT_FALSE(small.get(1).has_value());
    EXPECT_LE(small.bytes(), static_cast<std::size_t>(three.sizeInBytes()));
}

}  // namespace
}  // namespace velk
