// Every writer's output read back by a reader that is not ours.
#include <gtest/gtest.h>

#include <QImageReader>
#include <cstdlib>

#include "tests/imaging/imaging_fixtures.h"
#include "viewer/imaging/page_image.h"

namespace velk {
namespace {

using test::TempDir;

// 301 wide: a partial last byte, and a PCX row padded to a whole word.
QImage Sample() {
    return test::DrawTextPage(301, 211, 8);
}

TEST(PageWriters, TiffVariantsReadBackByLibtiff) {
    TempDir dir;
    const QImage src = Sample();
    PageImage page = PageImage::fromQImage(src, 300, 200);
    const struct {
        SaveFormat format;
        int compression;
    } cases[] = {{SaveFormat::TiffG4, COMPRESSION_CCITTFAX4},
                 {SaveFormat::TiffG3, COMPRESSION_CCITTFAX3},
                 {SaveFormat::TiffUncompressed, COMPRESSION_NONE}};
    for (const auto& c : cases) {
        const auto path = dir / ("page" + std::to_string(c.compression) + ".tif");
        page.save(path, c.format);
        TIFF* tif = TIFFOpen(path.c_str(), "r");
        ASSERT_TRUE(tif);
        std::uint32_t w = 0, h = 0;
        std::uint16_t compression = 0, bps = 0, photometric = 9, unit = 0;
        std::uint32_t g3 = 99;
        float xres = 0, yres = 0;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
        TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
        TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bps);
        TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
        TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xres);
        TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yres);
        TIFFGetField(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
        EXPECT_EQ(w, 301u);
        EXPECT_EQ(h, 211u);
        EXPECT_EQ(compression, c.compression);
        EXPECT_EQ(bps, 1);
        EXPECT_EQ(photometric, PHOTOMETRIC_MINISWHITE);
        EXPECT_FLOAT_EQ(xres, 300);
        EXPECT_FLOAT_EQ(yres, 200);
        EXPECT_EQ(unit, RESUNIT_INCH);
        if (c.compression == COMPRESSION_CCITTFAX3) {
            TIFFGetField(tif, TIFFTAG_GROUP3OPTIONS, &g3);
            EXPECT_EQ(g3 & GROUP3OPT_2DENCODING, 0u);  // one-dimensional
        }
        const std::vector<std::uint8_t> expected = test::PackedRows(src);
        std::vector<std::uint8_t> row(static_cast<std::size_t>(TIFFScanlineSize(tif)));
        for (std::uint32_t y = 0; y < h; ++y) {
            ASSERT_EQ(TIFFReadScanline(tif, row.data(), y, 0), 1);
            ASSERT_EQ(std::memcmp(row.data(), expected.data() + y * 38, 38), 0) << "row " << y;
        }
        TIFFClose(tif);
        if (std::system("command -v tiffinfo >/dev/null 2>&1") == 0) {
            const std::string out = (dir / "info.txt").string();
            ASSERT_EQ(std::system(("tiffinfo '" + path.string() + "' >'" + out + "' 2>&1").c_str()), 0);
            const std::string info = test::ReadAll(out);
            const char* scheme = c.compression == COMPRESSION_CCITTFAX4   ? "CCITT Group 4"
                                 : c.compression == COMPRESSION_CCITTFAX3 ? "CCITT Group 3"
                                                                          : "None";
            EXPECT_NE(info.find(std::string("Compression Scheme: ") + scheme), std::string::npos) << info;
        }
    }
}

TEST(PageWriters, BmpAndGifReadBackByQt) {
    TempDir dir;
    const QImage src = Sample();
    PageImage page = PageImage::fromQImage(src, 300, 300);
    for (auto [format, name] :
         {std::pair{SaveFormat::Bmp, "page.bmp"}, std::pair{SaveFormat::Gif, "page.gif"}}) {
        page.save(dir / name, format);
        QImageReader reader(QString::fromStdString((dir / name).string()));
        QImage back = reader.read();
        ASSERT_FALSE(back.isNull()) << name << ": " << reader.errorString().toStdString();
        ASSERT_EQ(back.size(), src.size()) << name;
        for (int y = 0; y < src.height(); ++y)
            for (int x = 0; x < src.width(); ++x)
                ASSERT_EQ(test::IsBlack(back, x, y), test::IsBlack(src, x, y))
                    << name << " " << x << "," << y;
    }
}

// PCX decoded here by the format's own rules, against the source bits.
TEST(PageWriters, PcxIsOneBitRunLengthCoded) {
    const QImage src = Sample();
    PageImage page = PageImage::fromQImage(src, 300, 200);
    const std::vector<std::uint8_t> pcx = page.encode(SaveFormat::Pcx);
    ASSERT_GT(pcx.size(), 128u);
    auto u16 = [&](std::size_t at) { return pcx[at] | (pcx[at + 1] << 8); };
    EXPECT_EQ(pcx[0], 0x0A);
    EXPECT_EQ(pcx[2], 1);  // run-length coded
    EXPECT_EQ(pcx[3], 1);  // one bit
    EXPECT_EQ(u16(8) - u16(4) + 1, 301);
    EXPECT_EQ(u16(10) - u16(6) + 1, 211);
    EXPECT_EQ(u16(12), 300);
    EXPECT_EQ(u16(14), 200);
    EXPECT_EQ(pcx[65], 1);  // planes
    const int bytesPerLine = u16(66);
    EXPECT_EQ(bytesPerLine, 38);  // 301 bits round up to 19 sixteen-bit words
    EXPECT_EQ(pcx[16], 0);        // palette entry 0 black,
    EXPECT_EQ(pcx[19], 255);      // entry 1 white

    std::vector<std::uint8_t> plain;
    for (std::size_t i = 128; i < pcx.size();) {
        std::uint8_t b = pcx[i++];
        int run = 1;
        if ((b & 0xC0) == 0xC0) {
            run = b & 0x3F;
            ASSERT_LT(i, pcx.size());
            b = pcx[i++];
        }
        plain.insert(plain.end(), static_cast<std::size_t>(run), b);
    }
    ASSERT_EQ(plain.size(), static_cast<std::size_t>(bytesPerLine) * 211);
    for (int y = 0; y < 211; ++y)
        for (int x = 0; x < 301; ++x) {
            const bool white = (plain[y * bytesPerLine + x / 8] >> (7 - x % 8)) & 1;
            ASSERT_EQ(!white, test::IsBlack(src, x, y)) << x << "," << y;
        }
    // A blank row is a few bytes, not 38.
    PageImage blank = PageImage::fromQImage(test::PatternPage(301, 10, [](int, int) { return false; }));
    EXPECT_LE(blank.encode(SaveFormat::Pcx).size(), 128u + 10 * 2);
}

TEST(PageWriters, AFailedWriteLeavesNothingBehind) {
    TempDir dir;
    PageImage page = PageImage::fromQImage(Sample());
    const auto target = dir / "page.tif";
    test::WriteAll(target, "old contents");
    page.save(target, SaveFormat::TiffG4);  // replaces
    EXPECT_EQ(PageImage::load(target).size(), QSize(301, 211));

    test::WriteAll(dir / "plain-file", "x");
    try {
        page.save(dir / "plain-file" / "page.tif", SaveFormat::TiffG4);
        ADD_FAILURE() << "saved below a file";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), kErrPathNotFound);
    }
    EXPECT_THROW(PageImage().save(dir / "none.tif", SaveFormat::Pcx), RuntimeError);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        ++files;
        EXPECT_EQ(entry.path().extension(), entry.path().filename() == "plain-file" ? "" : ".tif");
    }
    EXPECT_EQ(files, 2);  // no temporary left
}

}  // namespace
}  // namespace velk
