// Decoding pages of every kind, the hostile files that must fail cleanly, and quarter turns.
#include "viewer/imaging/page_image.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <random>

#include "tests/imaging/imaging_fixtures.h"
#include "tests/support/bytes_read.h"

namespace velk {
namespace {

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

// Every page of a multi-page TIFF, a tiled grey page with no resolution tags, ".BIN" files
// by their content; and a page turn in a long TIFF opens the file once and, with the page
// count known from the page before, does not walk all its directories again to count them.
TEST(PageImage, DecodesEveryPageExactlyAndATurnReadsLittle) {
    test::ScratchDir dir{"imaging"};
    const QImage checks = Checks(301, 157);  // odd width: a partial last byte
    // The third page min-is-black, inverted on reading.
    const std::vector<test::TiffPage> pages = {
        {test::DrawTextPage(850, 1100, 3), COMPRESSION_CCITTFAX4, PHOTOMETRIC_MINISWHITE, 300},
        {checks, COMPRESSION_CCITTFAX3, PHOTOMETRIC_MINISWHITE, 200},
        {test::PatternPage(33, 2, [](int x, int) { return x % 3 == 0; }), COMPRESSION_NONE,
         PHOTOMETRIC_MINISBLACK, 400},
        {checks, COMPRESSION_LZW, PHOTOMETRIC_MINISBLACK, 72}};
    test::WriteTiff(dir / "doc.tif", pages);
    EXPECT_EQ(PageImage::pageCount(dir / "doc.tif"), 4);
    const std::string bytes = dir.read("doc.tif");  // the same bytes from memory
    for (int n = 1; n <= 4; ++n) {
        const test::TiffPage& want = pages[static_cast<std::size_t>(n - 1)];
        const PageImage p = PageImage::load(dir / "doc.tif", n);
        EXPECT_TRUE(SameBits(p, want.image)) << n;
        EXPECT_TRUE(SameBits(PageImage::loadMemory(bytes.data(), bytes.size(), n), want.image)) << n;
        EXPECT_EQ(
            std::tuple(p.pageNumber(), p.pageCount(), p.compression(), p.dpiX(), p.dpiY(), p.blackCount()),
            std::tuple(n, 4, want.compression, double(want.dpi), double(want.dpi),
                       test::BlackCount(want.image)));
    }
    EXPECT_EQ(ErrorNumber([&] { PageImage::load(dir / "doc.tif", 5); }), kErrInvalidPicture);
    EXPECT_EQ(ErrorNumber([&] { PageImage::load(dir / "doc.tif", 0); }), kErrInvalidPicture);
    // Bytes cut short in memory: nothing read past their end.
    for (auto [cut, error] : {std::pair{std::size_t{0}, kErrInvalidFileFormat}, {std::size_t{4}, kErrInvalidPicture},
                              {bytes.size() / 2, kErrInvalidPicture}})
        EXPECT_EQ(ErrorNumber([&] { PageImage::loadMemory(bytes.data(), cut, 4); }), error) << cut;
    EXPECT_EQ(ErrorNumber([&] { PageImage::load(dir / "missing.tif"); }), kErrFileNotFound);

    // A ".BIN" file is whatever its content says.
    test::WriteTiff(dir / "00000001.BIN", {{checks}});
    EXPECT_TRUE(SameBits(PageImage::load(dir / "00000001.BIN"), checks));
    dir.write("text.BIN", "This is not a picture at all.\r\n");
    dir.write("empty.BIN", "");
    dir.write("png.BIN", "\x89PNG\r\n\x1a\n0000");
    for (const char* name : {"text.BIN", "empty.BIN", "png.BIN"}) {
        EXPECT_EQ(ErrorNumber([&] { PageImage::load(dir / name); }), kErrInvalidFileFormat) << name;
        EXPECT_EQ(ErrorNumber([&] { PageImage::pageCount(dir / name); }), kErrInvalidFileFormat) << name;
    }

    // A grey page, thresholded.
    QImage grey(40, 10, QImage::Format_Grayscale8);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 40; ++x) grey.scanLine(y)[x] = static_cast<uchar>(x < 20 ? 30 : 220);
    TIFF* tif = TIFFOpen((dir / "grey.tif").c_str(), "w");
    test::SetPageFields(tif, 40, 10, 8, COMPRESSION_ADOBE_DEFLATE, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16);  // tiled, too: no scan-line reading
    TIFFSetField(tif, TIFFTAG_TILELENGTH, 16);
    std::vector<uchar> tile(256);
    for (int tx = 0; tx < 48; tx += 16) {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) tile[y * 16 + x] = y < 10 && tx + x < 40 ? grey.scanLine(y)[tx + x] : 0;
        TIFFWriteTile(tif, tile.data(), tx, 0, 0, 0);
    }
    TIFFClose(tif);
    const PageImage page = PageImage::load(dir / "grey.tif");
    EXPECT_TRUE(SameBits(page, grey));
    EXPECT_DOUBLE_EQ(page.dpiY(), 300);  // no resolution tags: the usual scan's

    const QImage squares = Checks(256, 256);
    test::WriteTiff(dir / "long.tif",
                    std::vector<test::TiffPage>(40, {squares, COMPRESSION_NONE}));  // 8 KB a page
    const int watch = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    // Closes too: the kernel folds an event into an identical one still unread.
    ASSERT_GE(inotify_add_watch(watch, (dir / "long.tif").c_str(), IN_OPEN | IN_CLOSE_NOWRITE), 0);
    const std::uint64_t before = test::BytesRead();
    const PageImage turned = PageImage::load(dir / "long.tif", 2, 40);
    const std::uint64_t read = test::BytesRead() - before;
    alignas(inotify_event) char events[4096];
    int opens = 0;
    for (ssize_t n; (n = ::read(watch, events, sizeof events)) > 0;)
        for (char* e = events; e < events + n;
             e += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(e)->len)
            opens += (reinterpret_cast<inotify_event*>(e)->mask & IN_OPEN) != 0;
    ::close(watch);
    EXPECT_EQ(opens, 1);
    EXPECT_LT(read, 64u << 10) << "of a " << std::filesystem::file_size(dir / "long.tif") << "-byte file";
    EXPECT_TRUE(SameBits(turned, squares));
    EXPECT_EQ(turned.pageCount(), 40);
    EXPECT_EQ(PageImage::load(dir / "long.tif", 40).pageCount(), 40);  // not known: counted
}

// Every Orientation value over one asymmetric page, stored as the tag says, shows that
// page upright: bilevel G4 through the 1-bit path, min-is-black, and a grey page through
// the colour path. The resolution follows a quarter turn.
TEST(PageImage, OrientationTagShowsThePageUpright) {
    test::ScratchDir dir{"imaging"};
    const QImage upright = test::AsymmetricPage();
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE("Orientation " + std::to_string(o));
        const QImage stored = test::StoredFor(upright, o);
        test::WriteTiff(dir / "o.tif", {{stored, COMPRESSION_CCITTFAX4, PHOTOMETRIC_MINISWHITE, 300, o},
                                        {stored, COMPRESSION_NONE, PHOTOMETRIC_MINISBLACK, 300, o}});
        for (int n : {1, 2}) EXPECT_TRUE(SameBits(PageImage::load(dir / "o.tif", n), upright)) << n;

        TIFF* tif = TIFFOpen((dir / "grey.tif").c_str(), "w");
        test::SetPageFields(tif, stored.width(), stored.height(), 8, COMPRESSION_LZW, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tif, TIFFTAG_ORIENTATION, o);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 8);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, 200.f);  // a fax's fine mode: across 200, down 100
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, 100.f);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        std::vector<uchar> row(static_cast<std::size_t>(stored.width()));
        for (int y = 0; y < stored.height(); ++y) {
            for (int x = 0; x < stored.width(); ++x)
                row[static_cast<std::size_t>(x)] = test::IsBlack(stored, x, y) ? 20 : 235;
            TIFFWriteScanline(tif, row.data(), static_cast<std::uint32_t>(y), 0);
        }
        TIFFClose(tif);
        const PageImage grey = PageImage::load(dir / "grey.tif");
        EXPECT_TRUE(SameBits(grey, upright));
        EXPECT_DOUBLE_EQ(grey.dpiX(), o >= 5 ? 100 : 200);
        EXPECT_EQ(grey.rotation(), 0);  // as the file means it, not turned since
    }
}

// Raw G4 blocks as a page container holds them: each at its offset, with other bytes around;
// hostile numbers and data fail before anything is allocated.
TEST(PageImage, DecodesRawG4BlocksAtTheirOffsetsAndRefusesHostileOnes) {
    test::ScratchDir dir{"imaging"};
    const QImage a = test::DrawTextPage(640, 480, 7), b = Checks(211, 95);
    test::WriteTiff(dir / "a.tif", {{a}});
    test::WriteTiff(dir / "b.tif", {{b}});
    const std::string stripA = test::RawStrip(dir / "a.tif"), stripB = test::RawStrip(dir / "b.tif");
    const std::uint64_t atB = 1012 + stripA.size() + 15;
    dir.write("doc.pg", std::string(1012, 'x') + stripA + std::string(15, 'x') + stripB);

    RawPageSpec spec{1012, a.width(), a.height()};
    PageImage first = PageImage::loadRaw(dir / "doc.pg", spec);  // reads on into page 2: harmless
    EXPECT_TRUE(SameBits(first, a));
    EXPECT_EQ(first.source(), PageSource::Raw);
    EXPECT_EQ(first.pageCount(), 1);
    spec.length = stripA.size();
    EXPECT_TRUE(SameBits(PageImage::loadRaw(dir / "doc.pg", spec), a));
    RawPageSpec last{atB, b.width(), b.height()};  // the last block runs to the end of the file
    EXPECT_TRUE(SameBits(PageImage::loadRaw(dir / "doc.pg", last), b));

    // Least significant bit first.
    std::string reversed = stripB;
    TIFFReverseBits(reinterpret_cast<std::uint8_t*>(reversed.data()), static_cast<tmsize_t>(reversed.size()));
    dir.write("lsb.pg", std::string(20, ' ') + reversed);
    RawPageSpec lsb{20, b.width(), b.height(), 2};
    EXPECT_TRUE(SameBits(PageImage::loadRaw(dir / "lsb.pg", lsb), b));

    // Page b's block at 32, alone in the file; its size is right in every row but those that say otherwise.
    const std::string& strip = stripB;
    dir.write("doc.pg", std::string(32, '\0') + strip);
    dir.write("short.pg", std::string(32, '\0') + strip.substr(0, strip.size() / 2));
    std::mt19937 rng(5);
    std::string noise(4000, '\0');
    for (char& ch : noise) ch = static_cast<char>(rng());
    dir.write("noise.pg", noise);
    auto refusal = [&](const char* file, RawPageSpec raw) {
        return ErrorNumber([&] { PageImage::loadRaw(dir / file, raw); });
    };
    // Sizes zero, negative or over the pixel cap (32767 square fits 16 bits), no such fill order;
    // and data that decodes short or wrong (cut short, taller than the data, noise): libtiff only
    // complains, we refuse the page.
    const std::pair<RawPageSpec, const char*> invalid[] = {
        {{32, 0, 95}, "doc.pg"},         {{32, 211, 0}, "doc.pg"},    {{32, -5, 95}, "doc.pg"},
        {{32, 32767, 32767}, "doc.pg"},  {{32, 40000, 10}, "doc.pg"}, {{32, 211, 95, 3}, "doc.pg"},
        {{32, 211, 95, 1, 5}, "doc.pg"}, {{32, 211, 95}, "short.pg"}, {{32, 211, 400}, "doc.pg"},
        {{0, 211, 95}, "noise.pg"}};
    testing::internal::CaptureStderr();
    for (const auto& [raw, file] : invalid)
        EXPECT_EQ(refusal(file, raw), kErrInvalidPicture) << file << " " << raw.width << "x" << raw.height;
    EXPECT_EQ(refusal("doc.pg", {100000, 211, 95}), kErrInputPastEnd);
    EXPECT_EQ(refusal("doc.pg", {32 + strip.size(), 211, 95}), kErrInputPastEnd);
    EXPECT_EQ(refusal("absent.pg", {32, 211, 95}), kErrFileNotFound);

    // A small TIFF that claims an enormous page.
    TIFF* tif = TIFFOpen((dir / "huge.tif").c_str(), "w");
    test::SetPageFields(tif, 100000, 100000, 1, COMPRESSION_CCITTFAX4, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 100000);
    TIFFWriteRawStrip(tif, 0, const_cast<char*>(strip.data()), static_cast<tmsize_t>(strip.size()));
    TIFFClose(tif);
    EXPECT_EQ(ErrorNumber([&] { PageImage::load(dir / "huge.tif"); }), kErrInvalidPicture);

    // Cut short in the middle of its data, and in its directory.
    test::WriteTiff(dir / "text.tif", {{test::DrawTextPage(400, 300, 2)}});
    const std::string whole = dir.read("text.tif");
    dir.write("cut.tif", whole.substr(0, whole.size() / 3));
    EXPECT_EQ(ErrorNumber([&] { PageImage::load(dir / "cut.tif"); }), kErrInvalidPicture);
    dir.write("header.tif", whole.substr(0, 12));
    EXPECT_EQ(ErrorNumber([&] { PageImage::load(dir / "header.tif"); }), kErrInvalidPicture);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // libtiff's complaints stay with us

    try {
        PageImage::load(dir / "huge.tif");
        ADD_FAILURE() << "a 100000 x 100000 page was loaded";
    } catch (const ImageError& e) {
        EXPECT_NE(e.detail().find("100000 x 100000"), std::string::npos) << e.detail();
        EXPECT_EQ(e.report(), "Invalid picture 481");
    }
}

// Sizes on and off the 8-pixel blocks and the 32-bit words, both ways round; turned back,
// nothing was lost or added, padding bits included, and the picture is one bit at full size.
TEST(PageImage, QuarterTurnsMoveEveryPixel) {
    for (QSize size : {QSize(1, 1), QSize(9, 1), QSize(1, 17), QSize(64, 64), QSize(65, 3), QSize(333, 127)}) {
        std::mt19937 rng(static_cast<unsigned>(size.width() * 31 + size.height()));
        const QImage src = test::PatternPage(size.width(), size.height(), [&](int, int) { return rng() % 3 == 0; });
        const int w = src.width(), h = src.height();
        SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
        PageImage right = PageImage::fromQImage(src, 300, 200);
        PageImage left = right.clone(), half = right.clone();  // each owns its own bits
        right.rotate(1);
        left.rotate(3);
        half.rotate(2);
        ASSERT_EQ(right.size(), QSize(h, w));
        ASSERT_EQ(left.size(), QSize(h, w));
        ASSERT_EQ(half.size(), QSize(w, h));
        EXPECT_DOUBLE_EQ(left.dpiX(), 200);
        EXPECT_EQ(std::pair(right.rotation(), left.rotation()), std::pair(90, 270));
        int wrong = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const bool black = test::IsBlack(src, x, y);
                wrong += right.isBlack(h - 1 - y, x) != black;
                wrong += left.isBlack(y, w - 1 - x) != black;
                wrong += half.isBlack(w - 1 - x, h - 1 - y) != black;
            }
        EXPECT_EQ(wrong, 0);
        right.rotate(-1);
        half.rotate(1);
        half.rotate(1);
        EXPECT_EQ(std::pair(right.rotation(), half.rotation()), std::pair(0, 0));
        EXPECT_TRUE(SameBits(half, src));
        EXPECT_EQ(right.blackCount(), test::BlackCount(src));
        const QImage out = right.toQImage();
        EXPECT_EQ(out.format(), QImage::Format_Mono);
        EXPECT_EQ(out.dotsPerMeterX(), 11811);
        EXPECT_EQ(out, src.convertToFormat(QImage::Format_Mono));
    }
    EXPECT_EQ(ErrorNumber([] { PageImage::fromQImage(QImage()); }), kErrInvalidPicture);
}

}  // namespace
}  // namespace velk
