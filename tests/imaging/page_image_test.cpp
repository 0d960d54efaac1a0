// Decoding pages of every kind, and the hostile files that must fail cleanly.
#include "viewer/imaging/page_image.h"

#include <gtest/gtest.h>

#include "tests/imaging/imaging_fixtures.h"

namespace velk {
namespace {

using test::TempDir;

// Pixel-exact comparison with the picture the page was made from.
::testing::AssertionResult SameBits(const PageImage& page, const QImage& source) {
    if (page.width() != source.width() || page.height() != source.height())
        return ::testing::AssertionFailure() << "size " << page.width() << "x" << page.height() << " vs "
                                             << source.width() << "x" << source.height();
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            if (page.isBlack(x, y) != test::IsBlack(source, x, y))
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " differs";
    return ::testing::AssertionSuccess();
}

int ErrorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

QImage Checks(int w, int h) {
    return test::PatternPage(w, h, [](int x, int y) { return ((x / 7) + (y / 5)) % 2 == 0 || x == y; });
}

TEST(PageImage, DecodesEveryPageOfAMultiPageTiffExactly) {
    TempDir dir;
    const QImage text = test::DrawTextPage(850, 1100, 3);
    const QImage checks = Checks(301, 157);  // odd width: a partial last byte
    const QImage ragged = test::PatternPage(33, 2, [](int x, int) { return x % 3 == 0; });
    test::WriteTiff(dir / "doc.tif", {{text, COMPRESSION_CCITTFAX4, PHOTOMETRIC_MINISWHITE, 300},
                                      {checks, COMPRESSION_CCITTFAX3, PHOTOMETRIC_MINISWHITE, 200},
                                      {ragged, COMPRESSION_NONE, PHOTOMETRIC_MINISBLACK, 400},
                                      {checks, COMPRESSION_LZW, PHOTOMETRIC_MINISBLACK, 72}});
    EXPECT_EQ(PageImage::pageCount(dir / "doc.tif"), 4);

    PageImage p1 = PageImage::load(dir / "doc.tif", 1);
    EXPECT_TRUE(SameBits(p1, text));
    EXPECT_EQ(p1.pageCount(), 4);
    EXPECT_EQ(p1.compression(), COMPRESSION_CCITTFAX4);
    EXPECT_DOUBLE_EQ(p1.dpiX(), 300);
    EXPECT_EQ(p1.blackCount(), test::BlackCount(text));

    PageImage p2 = PageImage::load(dir / "doc.tif", 2);
    EXPECT_TRUE(SameBits(p2, checks));
    EXPECT_DOUBLE_EQ(p2.dpiY(), 200);
    EXPECT_EQ(p2.pageNumber(), 2);
    EXPECT_TRUE(SameBits(PageImage::load(dir / "doc.tif", 3), ragged));  // min-is-black inverted
    EXPECT_TRUE(SameBits(PageImage::load(dir / "doc.tif", 4), checks));

    EXPECT_EQ(ErrorNumber([&] { PageImage::load(dir / "doc.tif", 5); }), kErrInvalidPicture);
    EXPECT_EQ(ErrorNumber([&] { PageImage::load(dir / "doc.tif", 0); }), kErrInvalidPicture);
    EXPECT_EQ(ErrorNumber([&] { PageImage::load(dir / "missing.tif"); }), kErrFileNotFound);

    // The same bytes from memory.
    const std::string bytes = test::ReadAll(dir / "doc.tif");
    EXPECT_TRUE(SameBits(PageImage::loadMemory(bytes.data(), bytes.size(), 2), checks));
}

TEST(PageImage, GreyAndColourPagesAreThresholded) {
    TempDir dir;
    QImage grey(40, 10, QImage::Format_Grayscale8);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 40; ++x) grey.scanLine(y)[x] = static_cast<uchar>(x < 20 ? 30 : 220);
    TIFF* tif = TIFFOpen((dir / "grey.tif").c_str(), "w");
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 40);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 10);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16);  // tiled, too: no scan-line reading
    TIFFSetField(tif, TIFFTAG_TILELENGTH, 16);
    std::vector<uchar> tile(256);
    for (int tx = 0; tx < 48; tx += 16) {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                tile[y * 16 + x] = y < 10 && tx + x < 40 ? grey.scanLine(y)[tx + x] : 0;
        TIFFWriteTile(tif, tile.data(), tx, 0, 0, 0);
    }
    TIFFClose(tif);
    try {
        EXPECT_TRUE(SameBits(PageImage::load(dir / "grey.tif"), grey));
    } catch (const ImageError& e) {
        ADD_FAILURE() << e.detail();
    }
}

TEST(PageImage, BinFilesAreRecognisedByContent) {
    TempDir dir;
    const QImage checks = Checks(64, 48);
    test::WriteTiff(dir / "00000001.BIN", {{checks}});
    EXPECT_TRUE(SameBits(PageImage::load(dir / "00000001.BIN"), checks));

    test::WriteAll(dir / "text.BIN", "This is not a picture at all.\r\n");
    test::WriteAll(dir / "empty.BIN", "");
    test::WriteAll(dir / "png.BIN", "\x89PNG\r\n\x1a\n0000");
    for (const char* name : {"text.BIN", "empty.BIN", "png.BIN"}) {
        EXPECT_EQ(ErrorNumber([&] { PageImage::load(dir / name); }), kErrInvalidFileFormat) << name;
        EXPECT_EQ(ErrorNumber([&] { PageImage::pageCount(dir / name); }), kErrInvalidFileFormat) << name;
    }
}

// A page container as the volumes hold it: header, offset table, blocks of a 12-byte
// page header followed by the G4 data.
struct Container {
    std::string bytes;
    std::vector<std::uint64_t> dataAt;
};

Container MakeContainer(const std::vector<std::string>& strips, const std::vector<QSize>& sizes,
                        std::size_t firstBlock) {
    Container c;
    c.bytes = "TAG45678" + std::string("5123456   ") + std::string(2, '\0');
    c.bytes[18] = static_cast<char>(strips.size());
    c.bytes.resize(20 + 4 * strips.size());
    std::size_t at = firstBlock;
    for (std::size_t i = 0; i < strips.size(); ++i) {
        if (c.bytes.size() < at) c.bytes.resize(at, 'x');
        for (int b = 0; b < 4; ++b) c.bytes[20 + 4 * i + b] = static_cast<char>((at >> (8 * b)) & 0xff);
        std::string header(12, '\0');
        header[6] = static_cast<char>(sizes[i].width() & 0xff);
        header[7] = static_cast<char>(sizes[i].width() >> 8);
        header[8] = static_cast<char>(sizes[i].height() & 0xff);
        header[9] = static_cast<char>(sizes[i].height() >> 8);
        c.bytes += header + strips[i];
        c.dataAt.push_back(at + 12);
        at = c.bytes.size() + 3;
    }
    return c;
}

std::string ReverseBits(std::string s) {
    for (char& ch : s) {
        auto b = static_cast<unsigned char>(ch), r = static_cast<unsigned char>(0);
        for (int i = 0; i < 8; ++i) r = static_cast<unsigned char>(r | (((b >> i) & 1) << (7 - i)));
        ch = static_cast<char>(r);
    }
    return s;
}

TEST(PageImage, DecodesRawG4BlocksAtTheirOffsets) {
    TempDir dir;
    const QImage a = test::DrawTextPage(640, 480, 7), b = Checks(211, 95);
    test::WriteTiff(dir / "a.tif", {{a}});
    test::WriteTiff(dir / "b.tif", {{b}});
    const std::string stripA = test::RawStrip(dir / "a.tif"), stripB = test::RawStrip(dir / "b.tif");
    Container c = MakeContainer({stripA, stripB}, {a.size(), b.size()}, 1000);
    test::WriteAll(dir / "doc.pg", c.bytes);
    ASSERT_EQ(c.dataAt[0], 1012u);  // a block at 1000 has its data at 1012

    RawPageSpec spec;
    spec.offset = c.dataAt[0];
    spec.width = a.width();
    spec.height = a.height();
    PageImage first = PageImage::loadRaw(dir / "doc.pg", spec);  // reads on into page 2: harmless
    EXPECT_TRUE(SameBits(first, a));
    EXPECT_EQ(first.source(), PageSource::Raw);
    EXPECT_EQ(first.pageCount(), 1);
    spec.length = stripA.size();
    EXPECT_TRUE(SameBits(PageImage::loadRaw(dir / "doc.pg", spec), a));

    RawPageSpec last{c.dataAt[1], b.width(), b.height()};  // the last block runs to the end of the file
    EXPECT_TRUE(SameBits(PageImage::loadRaw(dir / "doc.pg", last), b));

    // Least significant bit first.
    test::WriteAll(dir / "lsb.pg", std::string(20, ' ') + ReverseBits(stripB));
    RawPageSpec lsb{20, b.width(), b.height(), 2};
    EXPECT_TRUE(SameBits(PageImage::loadRaw(dir / "lsb.pg", lsb), b));
}

TEST(PageImage, HostileNumbersFailBeforeAnythingIsAllocated) {
    TempDir dir;
    const QImage b = Checks(211, 95);
    test::WriteTiff(dir / "b.tif", {{b}});
    const std::string strip = test::RawStrip(dir / "b.tif");
    test::WriteAll(dir / "doc.pg", std::string(32, '\0') + strip);
    auto raw = [&](RawPageSpec spec, const char* file = "doc.pg") {
        return ErrorNumber([&] { PageImage::loadRaw(dir / file, spec); });
    };
    testing::internal::CaptureStderr();
    EXPECT_EQ(raw({32, 0, 95}), kErrInvalidPicture);
    EXPECT_EQ(raw({32, 211, 0}), kErrInvalidPicture);
    EXPECT_EQ(raw({32, -5, 95}), kErrInvalidPicture);
    EXPECT_EQ(raw({32, 32767, 32767}), kErrInvalidPicture);  // fits 16 bits, far over the pixel cap
    EXPECT_EQ(raw({32, 40000, 10}), kErrInvalidPicture);
    EXPECT_EQ(raw({32, 211, 95, 3}), kErrInvalidPicture);  // no such fill order
    EXPECT_EQ(raw({32, 211, 95, 1, 5}), kErrInvalidPicture);
    EXPECT_EQ(raw({100000, 211, 95}), kErrInputPastEnd);
    EXPECT_EQ(raw({32 + strip.size(), 211, 95}), kErrInputPastEnd);
    EXPECT_EQ(raw({32, 211, 95}, "absent.pg"), kErrFileNotFound);

    // Data that decodes short or wrong: libtiff only complains, we refuse the page.
    test::WriteAll(dir / "short.pg", std::string(32, '\0') + strip.substr(0, strip.size() / 2));
    EXPECT_EQ(raw({32, 211, 95}, "short.pg"), kErrInvalidPicture);
    EXPECT_EQ(raw({32, 211, 400}), kErrInvalidPicture);  // taller than the data
    std::mt19937 rng(5);
    std::string noise(4000, '\0');
    for (char& ch : noise) ch = static_cast<char>(rng());
    test::WriteAll(dir / "noise.pg", noise);
    EXPECT_EQ(raw({0, 211, 95}, "noise.pg"), kErrInvalidPicture);

    // A small TIFF that claims an enormous page.
    TIFF* tif = TIFFOpen((dir / "huge.tif").c_str(), "w");
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 100000);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 100000);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 100000);
    TIFFWriteRawStrip(tif, 0, const_cast<char*>(strip.data()), static_cast<tmsize_t>(strip.size()));
    TIFFClose(tif);
    EXPECT_EQ(ErrorNumber([&] { PageImage::load(dir / "huge.tif"); }), kErrInvalidPicture);

    // Cut short in the middle of its data, and in its directory.
    test::WriteTiff(dir / "text.tif", {{test::DrawTextPage(400, 300, 2)}});
    const std::string whole = test::ReadAll(dir / "text.tif");
    test::WriteAll(dir / "cut.tif", whole.substr(0, whole.size() / 3));
    EXPECT_EQ(ErrorNumber([&] { PageImage::load(dir / "cut.tif"); }), kErrInvalidPicture);
    test::WriteAll(dir / "header.tif", whole.substr(0, 12));
    EXPECT_EQ(ErrorNumber([&] { PageImage::load(dir / "header.tif"); }), kErrInvalidPicture);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // libtiff's complaints stay with us

    try {
        PageImage::load(dir / "huge.tif");
    } catch (const ImageError& e) {
        EXPECT_NE(e.detail().find("100000 x 100000"), std::string::npos) << e.detail();
        EXPECT_EQ(e.report(), "Invalid picture 481");
    }
}

TEST(PageImage, QuarterTurns) {
    const QImage src = Checks(37, 21);
    PageImage page = PageImage::fromQImage(src, 300, 200);
    page.rotate(1);
    ASSERT_EQ(page.size(), QSize(21, 37));
    EXPECT_DOUBLE_EQ(page.dpiX(), 200);
    EXPECT_EQ(page.rotation(), 90);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x)
            ASSERT_EQ(page.isBlack(src.height() - 1 - y, x), test::IsBlack(src, x, y)) << x << "," << y;
    page.rotate(-1);
    EXPECT_TRUE(SameBits(page, src));
    page.rotate(2);
    EXPECT_EQ(page.isBlack(36, 20), test::IsBlack(src, 0, 0));
    page.rotate(1);
    page.rotate(1);
    EXPECT_EQ(page.rotation(), 0);
    EXPECT_TRUE(SameBits(page, src));
    PageImage copy = page.clone();
    copy.rotate(3);
    EXPECT_EQ(copy.size(), QSize(21, 37));
    EXPECT_EQ(page.size(), QSize(37, 21));  // the clone owns its own bits
}

TEST(PageImage, ConvertsToAOneBitPictureAtFullResolution) {
    const QImage src = test::DrawTextPage(300, 200, 4);
    PageImage page = PageImage::fromQImage(src, 300, 300);
    QImage out = page.toQImage();
    EXPECT_EQ(out.format(), QImage::Format_Mono);
    EXPECT_EQ(out.size(), src.size());
    EXPECT_EQ(out.dotsPerMeterX(), 11811);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) ASSERT_EQ(test::IsBlack(out, x, y), test::IsBlack(src, x, y));
    EXPECT_EQ(ErrorNumber([] { PageImage::fromQImage(QImage()); }), kErrInvalidPicture);
}

}  // namespace
}  // namespace velk
