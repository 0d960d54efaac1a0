#include "viewer/imaging/page_image.h"

#include <allheaders.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "viewer/imaging/pix_bits.h"
#include "viewer/imaging/tiff_io.h"

namespace velk {

ImageError::ImageError(int number, std::string detail) : RuntimeError(number), detail_(std::move(detail)) {}

void PageImage::PixDeleter::operator()(Pix* pix) const {
    pixDestroy(&pix);
}

PageImage::PageImage() = default;
PageImage::~PageImage() = default;
PageImage::PageImage(PageImage&&) noexcept = default;
PageImage& PageImage::operator=(PageImage&&) noexcept = default;

namespace {

void CheckSize(std::int64_t width, std::int64_t height) {
    if (width < 1 || height < 1 || width > ImageLimits::kMaxSide || height > ImageLimits::kMaxSide ||
        width * height > ImageLimits::kMaxPixels) {
        throw ImageError(kErrInvalidPicture, "page size " + std::to_string(width) + " x " +
                                                 std::to_string(height) + " outside limits");
    }
}

double SaneDpi(double dpi) {
    return std::isfinite(dpi) && dpi >= 10 && dpi <= 10000 ? dpi : 300;
}

// calloc, not Leptonica's malloc and memset: a large page comes as untouched zero pages,
// so memory is spent only on the rows actually decoded and a file that claims a huge
// page but breaks off after a few rows costs next to nothing.
Pix* NewPix(int width, int height) {
    Pix* pix = pixCreateHeader(width, height, 1);
    void* data = pix ? std::calloc(static_cast<std::size_t>(pixGetWpl(pix)) * 4, static_cast<std::size_t>(height))
                     : nullptr;
    if (data) {
        pixSetData(pix, static_cast<l_uint32*>(data));
    } else if (pix) {
        pixDestroy(&pix);
    }
    if (!pix)
        throw ImageError(kErrOutOfMemory, "no memory for a " + std::to_string(width) + " x " +
                                              std::to_string(height) + " page");
    return pix;
}

std::FILE* OpenForReading(const std::filesystem::path& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw ErrorFromErrno(errno);
    return f;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

Pix* QuarterTurn1Bit(Pix* src, bool clockwise);

int CountDirectories(tiffio::Tiff& tiff) {
    tdir_t n = TIFFNumberOfDirectories(tiff.get());
    return static_cast<int>(std::min<tdir_t>(n, ImageLimits::kMaxPages));
}

}  // namespace

// Turns one TIFF directory into a page.
struct PageDecoder {
    static PageImage decode(tiffio::Tiff& tiff, int page, int pageCount) {
        TIFF* tif = tiff.get();
        if (page < 1 || page > pageCount)
            throw ImageError(kErrInvalidPicture, "page " + std::to_string(page) + " of " +
                                                     std::to_string(pageCount) + " requested");
        if (page > 1 || TIFFCurrentDirectory(tif) != 0) {
            if (!TIFFSetDirectory(tif, static_cast<tdir_t>(page - 1)))
                throw ImageError(kErrInvalidPicture, "page " + std::to_string(page) + " cannot be read");
        }
        std::uint32_t width = 0, height = 0;
        std::uint16_t bps = 1, spp = 1, photometric = PHOTOMETRIC_MINISWHITE, compression = COMPRESSION_NONE,
                      orientation = ORIENTATION_TOPLEFT;
        TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
        TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bps);
        TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
        TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
        if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric)) photometric = PHOTOMETRIC_MINISWHITE;
        TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &orientation);
        CheckSize(width, height);

        PageImage out;
        out.pix_.reset(NewPix(static_cast<int>(width), static_cast<int>(height)));
        tiff.diagnostics().strict = true;
        bool bilevel = bps == 1 && spp == 1 && !TIFFIsTiled(tif) &&
                       (photometric == PHOTOMETRIC_MINISWHITE || photometric == PHOTOMETRIC_MINISBLACK);
        if (bilevel) {
            readBilevel(tiff, out.pix_.get(), photometric == PHOTOMETRIC_MINISBLACK);
        } else {
            readThresholded(tiff, out.pix_.get());
        }
        tiff.diagnostics().strict = false;
        tiff.check("page " + std::to_string(page));
        readResolution(tif, out);
        orient(out, orientation);
        out.pageCount_ = pageCount;
        out.pageNumber_ = page;
        out.compression_ = compression;
        out.source_ = PageSource::Tiff;
        return out;
    }

    static void readBilevel(tiffio::Tiff& tiff, Pix* pix, bool minIsBlack) {
        TIFF* tif = tiff.get();
        const int height = pixGetHeight(pix);
        const int wpl = pixGetWpl(pix);
        if (TIFFScanlineSize(tif) > static_cast<tmsize_t>(wpl) * 4)
            throw ImageError(kErrInvalidPicture, "scan line longer than the page");
        l_uint32* data = pixGetData(pix);
        for (int row = 0; row < height; ++row) {
            if (TIFFReadScanline(tif, data + static_cast<std::size_t>(row) * wpl,
                                 static_cast<std::uint32_t>(row)) < 0 ||
                tiff.diagnostics().failed()) {
                tiff.check("row " + std::to_string(row));
                throw ImageError(kErrInvalidPicture, "row " + std::to_string(row) + " cannot be decoded");
            }
        }
        pixEndianByteSwap(pix);  // libtiff wrote bytes; Leptonica reads native words
        if (minIsBlack) pixInvert(pix, pix);
        pixSetPadBits(pix, 0);
    }

    // Grey, colour, palette and tiled pages through libtiff's RGBA reader, in bands so
    // the colour buffer stays small, then a threshold at mid-grey.
    static void readThresholded(tiffio::Tiff& tiff, Pix* pix) {
        TIFF* tif = tiff.get();
        char message[1024] = {};
        if (!TIFFRGBAImageOK(tif, message)) throw ImageError(kErrInvalidPicture, message);
        TIFFRGBAImage img;
        if (!TIFFRGBAImageBegin(&img, tif, 0, message)) throw ImageError(kErrInvalidPicture, message);
        struct End {
            TIFFRGBAImage* img;
            ~End() { TIFFRGBAImageEnd(img); }
        } end{&img};
        img.req_orientation = img.orientation;  // rows as stored: orient() turns them as the 1-bit path
        const int width = pixGetWidth(pix), height = pixGetHeight(pix), wpl = pixGetWpl(pix);
        const int band = std::max(1, std::min(height, (4 << 20) / width));
        std::vector<std::uint32_t> raster(static_cast<std::size_t>(width) * band);
        l_uint32* data = pixGetData(pix);
        for (int y = 0; y < height; y += band) {
            int rows = std::min(band, height - y);
            img.row_offset = y;
            img.col_offset = 0;
            if (!TIFFRGBAImageGet(&img, raster.data(), static_cast<std::uint32_t>(width),
                                  static_cast<std::uint32_t>(rows)) ||
                tiff.diagnostics().failed()) {
                tiff.check("rows from " + std::to_string(y));
                throw ImageError(kErrInvalidPicture, "rows from " + std::to_string(y) + " cannot be decoded");
            }
            for (int r = 0; r < rows; ++r) {
                l_uint32* line = data + static_cast<std::size_t>(y + r) * wpl;
                const std::uint32_t* src = raster.data() + static_cast<std::size_t>(r) * width;
                for (int x = 0; x < width; ++x) {
                    std::uint32_t p = src[x];
                    int grey = (TIFFGetR(p) * 299 + TIFFGetG(p) * 587 + TIFFGetB(p) * 114) / 1000;
                    if (grey < 128) SET_DATA_BIT(line, x);
                }
            }
        }
    }

    // Rows are read as stored; the Orientation tag says where the first row and column
    // belong. libtiff's own reader only flips, so the quarter turns are ours.
    static void orient(PageImage& out, int orientation) {
        Pix* pix = out.pix_.get();
        switch (orientation) {
            case ORIENTATION_TOPRIGHT:
                pixFlipLR(pix, pix);
                return;
            case ORIENTATION_BOTRIGHT:
                pixRotate180(pix, pix);
                return;
            case ORIENTATION_BOTLEFT:
                pixFlipTB(pix, pix);
                return;
            case ORIENTATION_LEFTTOP:
            case ORIENTATION_RIGHTTOP:
            case ORIENTATION_RIGHTBOT:
            case ORIENTATION_LEFTBOT:
                break;
            default:
                return;  // 1, or a value that means nothing
        }
        Pix* turned = QuarterTurn1Bit(pix, orientation != ORIENTATION_LEFTBOT);
        if (!turned) throw ImageError(kErrOutOfMemory, "no memory to turn the page");
        if (orientation == ORIENTATION_LEFTTOP) pixFlipLR(turned, turned);   // the transpose
        if (orientation == ORIENTATION_RIGHTBOT) pixFlipTB(turned, turned);  // the other diagonal
        out.pix_.reset(turned);
        std::swap(out.dpiX_, out.dpiY_);
    }

    static void readResolution(TIFF* tif, PageImage& out) {
        float x = 0, y = 0;
        std::uint16_t unit = RESUNIT_INCH;
        TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
        double perInch = unit == RESUNIT_CENTIMETER ? 2.54 : 1.0;
        bool known = unit != RESUNIT_NONE;
        out.dpiX_ = known && TIFFGetField(tif, TIFFTAG_XRESOLUTION, &x) ? SaneDpi(x * perInch) : 300;
        out.dpiY_ = known && TIFFGetField(tif, TIFFTAG_YRESOLUTION, &y) ? SaneDpi(y * perInch) : out.dpiX_;
    }
};

PageImage PageImage::load(const std::filesystem::path& path, int page, int knownPages) {
    tiffio::Tiff tiff = tiffio::Tiff::openFile(path);
    const int pages = knownPages > 0 ? std::min(knownPages, ImageLimits::kMaxPages) : CountDirectories(tiff);
    return PageDecoder::decode(tiff, page, pages);
}

PageImage PageImage::loadMemory(const void* data, std::size_t size, int page) {
    if (!tiffio::HasTiffSignature(static_cast<const unsigned char*>(data), size))
        throw ImageError(kErrInvalidFileFormat, "not a TIFF");
    tiffio::Tiff tiff = tiffio::Tiff::openMemory(static_cast<const std::uint8_t*>(data), size);
    return PageDecoder::decode(tiff, page, CountDirectories(tiff));
}

int PageImage::pageCount(const std::filesystem::path& path) {
    tiffio::Tiff tiff = tiffio::Tiff::openFile(path);
    return CountDirectories(tiff);
}

PageImage PageImage::loadRaw(const std::filesystem::path& path, const RawPageSpec& spec) {
    CheckSize(spec.width, spec.height);
    if (spec.fillOrder != FILLORDER_MSB2LSB && spec.fillOrder != FILLORDER_LSB2MSB)
        throw ImageError(kErrInvalidPicture, "fill order " + std::to_string(spec.fillOrder));
    int compression = spec.ccittType == 4   ? COMPRESSION_CCITTFAX4
                      : spec.ccittType == 3 ? COMPRESSION_CCITTFAX3
                      : spec.ccittType == 2 ? COMPRESSION_CCITTRLE
                                            : 0;
    if (!compression) throw ImageError(kErrInvalidPicture, "CCITT type " + std::to_string(spec.ccittType));

    File f(OpenForReading(path));
    if (fseeko(f.get(), 0, SEEK_END) != 0) throw ErrorFromErrno(errno);
    const off_t fileSize = ftello(f.get());
    if (fileSize < 0) throw ErrorFromErrno(errno);
    const auto size = static_cast<std::uint64_t>(fileSize);
    if (spec.offset >= size)
        throw ImageError(kErrInputPastEnd, "offset " + std::to_string(spec.offset) +
                                               " at or past the end of a " + std::to_string(size) +
                                               "-byte file");
    // Even pathological G4 data stays within a few bits per pixel; a larger claim is not
    // worth reading.
    const std::uint64_t rawBytes = static_cast<std::uint64_t>(spec.width + 7) / 8 * spec.height;
    const std::uint64_t cap = std::min<std::uint64_t>(rawBytes * 8 + 65536, 256u << 20);
    std::uint64_t length = std::min(spec.length.value_or(size - spec.offset), size - spec.offset);
    length = std::min(length, cap);
    if (length == 0) throw ImageError(kErrInputPastEnd, "no compressed data");

    std::vector<std::uint8_t> bytes = tiffio::RawStripHeader(
        spec.width, spec.height, compression, spec.fillOrder, static_cast<std::uint32_t>(length), spec.dpi);
    const std::size_t headerSize = bytes.size();
    bytes.resize(headerSize + length);
    if (fseeko(f.get(), static_cast<off_t>(spec.offset), SEEK_SET) != 0 ||
        std::fread(bytes.data() + headerSize, 1, length, f.get()) != length) {
        throw RuntimeError(std::ferror(f.get()) ? kErrDeviceIO : kErrInputPastEnd);
    }
    f.reset();

    tiffio::Tiff tiff = tiffio::Tiff::openMemory(bytes.data(), bytes.size());
    PageImage out = PageDecoder::decode(tiff, 1, 1);
    out.dpiX_ = out.dpiY_ = SaneDpi(spec.dpi);
    out.source_ = PageSource::Raw;
    return out;
}

PageImage PageImage::fromQImage(const QImage& image, double dpiX, double dpiY) {
    CheckSize(image.width(), image.height());
    QImage mono = image.format() == QImage::Format_Mono
                      ? image
                      : image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither | Qt::AvoidDither);
    const bool oneIsBlack = mono.colorCount() < 2 || qGray(mono.color(1)) < qGray(mono.color(0));
    PageImage out;
    out.pix_.reset(NewPix(mono.width(), mono.height()));
    Pix* pix = out.pix_.get();
    const int wpl = pixGetWpl(pix);
    const int rowBytes = (mono.width() + 7) / 8;
    for (int y = 0; y < mono.height(); ++y)
        pixbits::BytesToRow(mono.constScanLine(y), rowBytes,
                            pixGetData(pix) + static_cast<std::size_t>(y) * wpl, wpl);
    if (!oneIsBlack) pixInvert(pix, pix);
    pixSetPadBits(pix, 0);
    out.dpiX_ = SaneDpi(dpiX);
    out.dpiY_ = SaneDpi(dpiY);
    return out;
}

PageImage PageImage::clone() const {
    PageImage out;
    if (pix_) out.pix_.reset(pixCopy(nullptr, pix_.get()));
    out.dpiX_ = dpiX_;
    out.dpiY_ = dpiY_;
    out.pageCount_ = pageCount_;
    out.pageNumber_ = pageNumber_;
    out.rotation_ = rotation_;
    out.compression_ = compression_;
    out.source_ = source_;
    return out;
}

int PageImage::width() const {
    return pix_ ? pixGetWidth(pix_.get()) : 0;
}
int PageImage::height() const {
    return pix_ ? pixGetHeight(pix_.get()) : 0;
}

std::size_t PageImage::byteSize() const {
    return pix_ ? static_cast<std::size_t>(pixGetWpl(pix_.get())) * 4 * pixGetHeight(pix_.get()) : 0;
}

bool PageImage::isBlack(int x, int y) const {
    if (!pix_ || x < 0 || y < 0 || x >= width() || y >= height()) return false;
    return pixbits::Bit(pixGetData(pix_.get()) + static_cast<std::size_t>(y) * pixGetWpl(pix_.get()), x);
}

std::int64_t PageImage::blackCount() const {
    l_int32 count = 0;
    if (pix_) pixCountPixels(pix_.get(), &count, nullptr);
    return count;
}

namespace {

// Transposes an 8 x 8 bit block: row r, bit 7 - c becomes row c, bit 7 - r.
inline std::uint64_t Transpose8(std::uint64_t x) {
    std::uint64_t t;
    t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull, x ^= t ^ (t << 7);
    t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull, x ^= t ^ (t << 14);
    t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull, x ^= t ^ (t << 28);
    return x;
}

// A quarter turn of a 1-bit page, 8 x 8 blocks at a time: Leptonica turns 1-bit
// pages pixel by pixel, which costs as much as decoding the page.
Pix* QuarterTurn1Bit(Pix* src, bool clockwise) {
    const int w = static_cast<int>(pixGetWidth(src)), h = static_cast<int>(pixGetHeight(src));
    Pix* dst = pixCreate(h, w, 1);
    if (!dst) return nullptr;
    l_int32 xres = 0, yres = 0;
    pixGetResolution(src, &xres, &yres);
    pixSetResolution(dst, yres, xres);
    const l_uint32* in = pixGetData(src);
    l_uint32* out = pixGetData(dst);
    const int wplIn = pixGetWpl(src), wplOut = pixGetWpl(dst);
    const int srcBytes = (w + 7) / 8, dstBytes = (h + 7) / 8;
    for (int dbx = 0; dbx < dstBytes; ++dbx) {
        // The eight source rows that make destination byte column dbx, first pixel first.
        const l_uint32* rows[8];
        for (int r = 0; r < 8; ++r) {
            const int y = clockwise ? h - 1 - (8 * dbx + r) : 8 * dbx + r;
            rows[r] = y >= 0 && y < h ? in + static_cast<std::size_t>(y) * wplIn : nullptr;
        }
        const int shift = 24 - 8 * (dbx & 3);
        for (int bx = 0; bx < srcBytes; ++bx) {
            std::uint64_t block = 0;
            for (int r = 0; r < 8; ++r)
                block = (block << 8) | (rows[r] ? pixbits::RowByte(rows[r], bx) : 0u);
            if (!block) continue;  // the page starts white
            const std::uint64_t t = Transpose8(block);
            for (int c = 0; c < 8; ++c) {
                const int x = 8 * bx + c;
                if (x >= w) break;
                const int y = clockwise ? x : w - 1 - x;
                const auto byte = static_cast<l_uint32>((t >> (8 * (7 - c))) & 0xff);
                out[static_cast<std::size_t>(y) * wplOut + (dbx >> 2)] |= byte << shift;
            }
        }
    }
    return dst;
}

}  // namespace

void PageImage::rotate(int quarterTurns) {
    const int quads = ((quarterTurns % 4) + 4) % 4;
    if (!pix_ || quads == 0) return;
    Pix* turned = quads % 2 && pixGetDepth(pix_.get()) == 1 && !pixGetColormap(pix_.get())
                      ? QuarterTurn1Bit(pix_.get(), quads == 1)
                      : pixRotateOrth(pix_.get(), quads);
    if (!turned) throw ImageError(kErrOutOfMemory, "no memory to turn the page");
    pix_.reset(turned);
    rotation_ = (rotation_ + 90 * quads) % 360;
    if (quads % 2) std::swap(dpiX_, dpiY_);
}

QImage PageImage::toQImage() const {
    if (!pix_) return {};
    QImage out(width(), height(), QImage::Format_Mono);
    if (out.isNull()) throw ImageError(kErrOutOfMemory, "no memory for the page picture");
    out.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const l_uint32* data = pixGetData(pix_.get());
    const int wpl = pixGetWpl(pix_.get());
    const int rowBytes = (width() + 7) / 8;
    for (int y = 0; y < height(); ++y)
        pixbits::RowToBytes(data + static_cast<std::size_t>(y) * wpl, rowBytes, out.scanLine(y));
    out.setDotsPerMeterX(static_cast<int>(std::lround(dpiX_ / 0.0254)));
    out.setDotsPerMeterY(static_cast<int>(std::lround(dpiY_ / 0.0254)));
    return out;
}

}  // namespace velk
