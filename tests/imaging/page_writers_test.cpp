// PCX read back by the format's own rules, and a failed write that leaves nothing behind
// (the other formats are read back by the export tests).
#include <gtest/gtest.h>

#include "tests/imaging/imaging_fixtures.h"
#include "viewer/imaging/page_image.h"

namespace velk {
namespace {

// PCX decoded here by the format's own rules, against the source bits; a failed write
// leaves nothing behind.
TEST(PageWriters, PcxIsOneBitRunLengthCodedAndAFailedWriteLeavesNothing) {
    // 301 wide: a partial last byte, and a PCX row padded to a whole word.
    const QImage src = test::DrawTextPage(301, 211, 8);
    PageImage page = PageImage::fromQImage(src, 300, 200);
    const std::vector<std::uint8_t> pcx = page.encode(SaveFormat::Pcx);
    ASSERT_GT(pcx.size(), 128u);
    auto u16 = [&](std::size_t at) { return pcx[at] | (pcx[at + 1] << 8); };
    // The maker's mark, run-length coding, one bit, one plane; palette entry 0 black, entry 1 white.
    for (auto [at, value] : {std::pair{0, 0x0A}, {2, 1}, {3, 1}, {65, 1}, {16, 0}, {19, 255}})
        EXPECT_EQ(pcx[at], value) << "byte " << at;
    EXPECT_EQ(u16(8) - u16(4) + 1, 301);
    EXPECT_EQ(u16(10) - u16(6) + 1, 211);
    // The resolution; 301 bits a row round up to 19 sixteen-bit words.
    for (auto [at, value] : {std::pair{12, 300}, {14, 200}, {66, 38}})
        EXPECT_EQ(u16(at), value) << "word " << at;
    const int bytesPerLine = 38;

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

    test::ScratchDir dir{"imaging"};
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
