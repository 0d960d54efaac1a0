// Every writer's output read back by a reader that is not ours.
#include <gtest/gtest.h>

#include <QImageReader>
#include <cstring>

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
        auto tag = [&](ttag_t t, auto v) {
            TIFFGetField(tif, t, &v);
            return v;
        };
        EXPECT_EQ(tag(TIFFTAG_IMAGEWIDTH, std::uint32_t{0}), 301u);
        EXPECT_EQ(tag(TIFFTAG_IMAGELENGTH, std::uint32_t{0}), 211u);
        EXPECT_EQ(tag(TIFFTAG_COMPRESSION, std::uint16_t{0}), c.compression);
        EXPECT_EQ(tag(TIFFTAG_BITSPERSAMPLE, std::uint16_t{0}), 1);
        EXPECT_EQ(tag(TIFFTAG_PHOTOMETRIC, std::uint16_t{9}), PHOTOMETRIC_MINISWHITE);
        EXPECT_FLOAT_EQ(tag(TIFFTAG_XRESOLUTION, 0.0f), 300);
        EXPECT_FLOAT_EQ(tag(TIFFTAG_YRESOLUTION, 0.0f), 200);
        EXPECT_EQ(tag(TIFFTAG_RESOLUTIONUNIT, std::uint16_t{0}), RESUNIT_INCH);
        if (c.compression == COMPRESSION_CCITTFAX3) {  // one-dimensional
            EXPECT_EQ(tag(TIFFTAG_GROUP3OPTIONS, std::uint32_t{99}) & GROUP3OPT_2DENCODING, 0u);
        }
        const std::vector<std::uint8_t> expected = test::PackedRows(src);
        std::vector<std::uint8_t> row(static_cast<std::size_t>(TIFFScanlineSize(tif)));
        for (std::uint32_t y = 0; y < 211; ++y) {
            ASSERT_EQ(TIFFReadScanline(tif, row.data(), y, 0), 1);
            ASSERT_EQ(std::memcmp(row.data(), expected.data() + y * 38, 38), 0) << "row " << y;
        }
        TIFFClose(tif);
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

    // Decoded by the format's rules: a count byte (top two bits set) and the byte it repeats.
    auto check = [](const QImage& img, const std::vector<std::uint8_t>& code, int perLine) {
        std::vector<std::uint8_t> plain;
        for (std::size_t i = 128; i < code.size();) {
            std::uint8_t b = code[i++];
            int run = 1;
            if ((b & 0xC0) == 0xC0) {
                run = b & 0x3F;
                ASSERT_LT(i, code.size());
                b = code[i++];
            }
            plain.insert(plain.end(), static_cast<std::size_t>(run), b);
        }
        ASSERT_EQ(plain.size(), static_cast<std::size_t>(perLine) * img.height());
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const bool white = (plain[y * perLine + x / 8] >> (7 - x % 8)) & 1;
                ASSERT_EQ(!white, test::IsBlack(img, x, y)) << x << "," << y;
            }
    };
    check(src, pcx, bytesPerLine);
    // Rows longer than the longest run (63 bytes), blank ones among them, and a page
    // edge that ends a word: runs must be split, not wrapped into the count bits.
    const QImage wide = test::DrawTextPage(1024, 60, 3);
    check(wide, PageImage::fromQImage(wide).encode(SaveFormat::Pcx), 128);
    // A blank row is a few bytes, not 38.
    PageImage blank = PageImage::fromQImage(test::PatternPage(301, 10, [](int, int) { return false; }));
    EXPECT_LE(blank.encode(SaveFormat::Pcx).size(), 128u + 10 * 2);
}

TEST(PageWriters, AFailedWriteLeavesNothingBehind) {
    TempDir dir;
    PageImage page = PageImage::fromQImage(Sample());
    const auto target = dir / "page.tif";
    dir.write("page.tif", "old contents");
    page.save(target, SaveFormat::TiffG4);  // replaces
    EXPECT_EQ(PageImage::load(target).size(), QSize(301, 211));

    dir.write("plain-file", "x");
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
