#include <gtest/gtest.h>

#include <QImage>
#include <random>

#include "tests/imaging/imaging_fixtures.h"
#include "viewer/imaging/page_image.h"

namespace velk {
namespace {

QImage Noise(int w, int h, unsigned seed) {
    QImage img(w, h, QImage::Format_Mono);
    img.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, rng() % 3 == 0 ? 1 : 0);
    return img;
}

// Sizes on and off the 8-pixel blocks and the 32-bit words, both ways round.
TEST(PageImage, QuarterTurnsOfOneBitPagesMoveEveryPixel) {
    for (QSize size : {QSize(1, 1), QSize(9, 1), QSize(1, 17), QSize(64, 64), QSize(65, 3), QSize(333, 127)}) {
        const QImage src = Noise(size.width(), size.height(), static_cast<unsigned>(size.width() * 31 + size.height()));
        const int w = src.width(), h = src.height();
        PageImage right = PageImage::fromQImage(src, 300, 200);
        right.rotate(1);
        PageImage left = PageImage::fromQImage(src, 300, 200);
        left.rotate(3);
        ASSERT_EQ(right.size(), QSize(h, w));
        ASSERT_EQ(left.size(), QSize(h, w));
        EXPECT_DOUBLE_EQ(left.dpiX(), 200);
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const bool black = test::IsBlack(src, x, y);
                wrong += right.isBlack(h - 1 - y, x) != black;
                wrong += left.isBlack(y, w - 1 - x) != black;
            }
        EXPECT_EQ(wrong, 0) << w << " x " << h;
        // Turned back, nothing was lost or added, padding bits included.
        right.rotate(-1);
        EXPECT_EQ(right.blackCount(), PageImage::fromQImage(src).blackCount());
        EXPECT_EQ(right.toQImage().convertToFormat(QImage::Format_Mono), src.convertToFormat(QImage::Format_Mono))
            << w << " x " << h;
    }
}

}  // namespace
}  // namespace velk
