#pragma once
// Pages drawn with QPainter and files written with libtiff directly, so the decoder is
// checked against bits it did not produce.
#include <tiffio.h>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/platform/scratch_dir.h"

namespace velk::test {

// A page of dense text with a few rules: what a facsimile reader looks at all day.
inline QImage DrawTextPage(int width = 2550, int height = 3300, unsigned seed = 1) {
    QImage canvas(width, height, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter p(&canvas);
    p.setPen(Qt::black);
    QFont font("DejaVu Serif");
    font.setPixelSize(std::max(8, height / 90));
    p.setFont(font);
    std::mt19937 rng(seed);
    const int line = font.pixelSize() * 3 / 2;
    const int margin = width / 12;
    for (int y = margin + line; y < height - margin; y += line) {
        QString text;
        while (text.size() < 200) {
            int word = 2 + static_cast<int>(rng() % 9);
            for (int i = 0; i < word; ++i) text += QChar('a' + static_cast<int>(rng() % 26));
            text += ' ';
        }
        p.drawText(QRect(margin, y - line, width - 2 * margin, line), Qt::AlignLeft | Qt::AlignVCenter, text);
        if (rng() % 17 == 0) p.drawLine(margin, y + 2, width - margin, y + 2);
    }
    p.end();
    return canvas.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
}

// A black pattern defined per pixel, for exact expectations.
template <class F>
QImage PatternPage(int width, int height, F black) {
    QImage img(width, height, QImage::Format_Mono);
    img.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) img.setPixel(x, y, black(x, y) ? 1 : 0);
    return img;
}

inline bool IsBlack(const QImage& img, int x, int y) {
    return qGray(img.pixel(x, y)) < 128;
}

inline std::int64_t BlackCount(const QImage& img) {
    std::int64_t n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += IsBlack(img, x, y);
    return n;
}

struct TiffPage {
    QImage image;
    int compression = COMPRESSION_CCITTFAX4;
    int photometric = PHOTOMETRIC_MINISWHITE;
    float dpi = 300;
    int orientation = ORIENTATION_TOPLEFT;
};

// The fields of a one-sample page, one strip of it.
inline void SetPageFields(TIFF* tif, int width, int height, int bits, int compression, int photometric) {
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
}

// Row y packed most significant bit first, with 1 for black or for white.
inline std::vector<std::uint8_t> PackedRow(const QImage& img, int y, bool oneIsBlack) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(img.width() + 7) / 8);
    for (int x = 0; x < img.width(); ++x)
        if (IsBlack(img, x, y) == oneIsBlack) row[static_cast<std::size_t>(x / 8)] |= 0x80 >> (x % 8);
    return row;
}

// A multi-page TIFF at path, one strip a page, written by libtiff itself.
inline void WriteTiff(const std::filesystem::path& path, const std::vector<TiffPage>& pages) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif) throw std::runtime_error("cannot create " + path.string());
    for (const TiffPage& page : pages) {
        const QImage& img = page.image;
        SetPageFields(tif, img.width(), img.height(), 1, page.compression, page.photometric);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, img.height());
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, page.dpi);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, page.dpi);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        if (page.orientation != ORIENTATION_TOPLEFT) TIFFSetField(tif, TIFFTAG_ORIENTATION, page.orientation);
        const bool oneIsBlack = page.photometric == PHOTOMETRIC_MINISWHITE;
        for (int y = 0; y < img.height(); ++y)
            TIFFWriteScanline(tif, PackedRow(img, y, oneIsBlack).data(), y, 0);
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
}

// The raster that, stored with TIFF Orientation o, shows as `upright`: its row 0 is the top
// (1-4) or a side (5-8) of the page, its column 0 the left or right (1-4), the top or bottom (5-8).
inline QImage StoredFor(const QImage& upright, int o) {
    const bool across = o >= 5;
    const int w = across ? upright.height() : upright.width(),
              h = across ? upright.width() : upright.height();
    const bool backC = o == 2 || o == 3 || o == 7 || o == 8, backR = o == 3 || o == 4 || o == 6 || o == 7;
    return PatternPage(w, h, [&](int c, int r) {
        const int cc = backC ? w - 1 - c : c, rr = backR ? h - 1 - r : r;
        return across ? IsBlack(upright, rr, cc) : IsBlack(upright, cc, rr);
    });
}

// No quarter turn or flip maps it onto itself: a wrong orientation cannot pass.
inline QImage AsymmetricPage(int width = 61, int height = 37) {
    return PatternPage(width, height, [=](int x, int y) {
        return (x < width / 3 && y < height / 4) || x == 2 * y || (y % 7 == 3 && x > width / 2);
    });
}

// The compressed strip of page 1 of a one-strip TIFF: a raw CCITT block.
inline std::string RawStrip(const std::filesystem::path& tiffPath) {
    TIFF* tif = TIFFOpen(tiffPath.c_str(), "r");
    if (!tif) throw std::runtime_error("cannot open " + tiffPath.string());
    std::uint64_t* counts = nullptr;
    TIFFGetField(tif, TIFFTAG_STRIPBYTECOUNTS, &counts);
    std::string strip(static_cast<std::size_t>(counts[0]), '\0');
    TIFFReadRawStrip(tif, 0, strip.data(), static_cast<tmsize_t>(strip.size()));
    TIFFClose(tif);
    return strip;
}

}  // namespace velk::test
