// Rendering at a zoom: sizes, grey levels against an area-average oracle,
// and tiles that join without seams.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/imaging/imaging_fixtures.h"
#include "viewer/imaging/page_image.h"

namespace velk {
namespace {

TEST(PageRender, SizesKindsGreyLevelsAndTilesAtEachZoom) {
    const QImage text = test::DrawTextPage(850, 1100, 9);
    const PageImage page = PageImage::fromQImage(text);
    struct Case {
        double zoom;
        QSize size;
        QImage::Format format;
    } cases[] = {{0.25, {213, 275}, QImage::Format_Grayscale8}, {0.5, {425, 550}, QImage::Format_Grayscale8},
                 {0.39, {332, 429}, QImage::Format_Grayscale8}, {0.8, {680, 880}, QImage::Format_Grayscale8},
                 {1.0, {850, 1100}, QImage::Format_Mono},       {2.0, {1700, 2200}, QImage::Format_Mono}};
    for (const Case& c : cases) {
        QImage img = page.renderAll(c.zoom);
        EXPECT_EQ(page.scaledSize(c.zoom), c.size) << c.zoom;
        EXPECT_EQ(img.size(), c.size) << c.zoom;
        EXPECT_EQ(img.format(), c.format) << c.zoom;
    }
    EXPECT_EQ(page.renderAll(0.5, false).format(), QImage::Format_Mono);  // smoothing off
    // Outside the page: nothing; across its edge: the part on the page.
    EXPECT_TRUE(page.render(QRect(900, 0, 50, 50), 1.0).isNull());
    EXPECT_EQ(page.render(QRect(800, 1000, 100, 200), 1.0).size(), QSize(50, 100));
    EXPECT_THROW(page.render(QRect(0, 0, 10, 10), 0.0), RuntimeError);
    EXPECT_THROW(page.render(QRect(0, 0, 10, 10), std::nan("")), RuntimeError);

    // Scale-to-gray against the area average computed directly from the bits, over factors
    // that take each path: exact integer reductions and the finishing resample. Tiles (97
    // wide: not byte aligned) are cut from the whole page, and at 1:1 and 2:1 the whole page
    // is the source's bits exactly.
    std::mt19937 rng(11);
    std::vector<bool> bits(480 * 360);
    for (std::size_t i = 0; i < bits.size(); ++i) bits[i] = (rng() % 100) < ((i / 480) % 100);
    const QImage src = test::PatternPage(480, 360, [&](int x, int y) { return bits[y * 480 + x]; });
    const PageImage noise = PageImage::fromQImage(src);
    for (int factor : {2, 3, 4, 6, 8, 16}) {
        const QImage img = noise.renderAll(1.0 / factor);
        for (int y = 0; (y + 1) * factor <= 360; y += 3)
            for (int x = 0; (x + 1) * factor <= 480; x += 3) {
                int black = 0;
                for (int dy = 0; dy < factor; ++dy)
                    for (int dx = 0; dx < factor; ++dx)
                        black += bits[(y * factor + dy) * 480 + x * factor + dx];
                const double expected = 255.0 * (1 - double(black) / (factor * factor));
                ASSERT_NEAR(qGray(img.pixel(x, y)), expected, 1.5)
                    << "1/" << factor << " at " << x << "," << y;
            }
    }

    for (double zoom : {0.2, 0.39, 0.5, 0.77, 1.0, 1.5, 2.0, 3.0}) {
        const QImage whole = page.renderAll(zoom);
        const QSize size = page.scaledSize(zoom);
        const int tile = 97;
        for (int ty = 0; ty < size.height(); ty += tile)
            for (int tx = 0; tx < size.width(); tx += tile) {
                const QRect r(tx, ty, tile, tile);
                const QImage part = page.render(r, zoom);
                const QRect on = r & QRect(QPoint(0, 0), size);
                ASSERT_EQ(part.size(), on.size());
                ASSERT_EQ(part, whole.copy(on)) << zoom << " tile at " << tx << "," << ty;
            }
        if (zoom != 1.0 && zoom != 2.0) continue;
        const int k = static_cast<int>(zoom);
        for (int y = 0; y < text.height(); ++y)
            for (int x = 0; x < text.width(); ++x)
                ASSERT_EQ(test::IsBlack(whole, k * x + k - 1, k * y), test::IsBlack(text, x, y)) << zoom;
    }
}

}  // namespace
}  // namespace velk
