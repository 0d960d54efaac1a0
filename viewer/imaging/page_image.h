#pragma once
// One decoded facsimile page, kept 1-bit from decode to the last step of a render.
// Decodes TIFF pages (also ".BIN" files, which are TIFF inside) and raw CCITT blocks of a
// page container through libtiff; turns, renders and writes with Leptonica and libtiff.
// No Qt Widgets: the viewer widget, print and export and velkcmd share this code, and a
// worker thread may decode the next page while the GUI thread shows this one.
#include <QImage>
#include <QRect>
#include <QSize>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/runtime_error.h"
#include "viewer/imaging/zoom_rule.h"

struct Pix;

namespace velk {

// A load, render or save failure: the run-time error the caller reports, plus what went
// wrong in words for logs and velkcmd.
class ImageError : public RuntimeError {
public:
    ImageError(int number, std::string detail);
    const std::string& detail() const noexcept { return detail_; }

private:
    std::string detail_;
};

// Limits on numbers read from untrusted files, checked before anything is allocated.
struct ImageLimits {
    static constexpr int kMaxSide = 32000;                        // pixels, either way
    static constexpr std::int64_t kMaxPixels = 200'000'000;       // a page, 25 MB at 1 bit
    static constexpr std::int64_t kMaxRenderPixels = 64'000'000;  // one rendered image
    static constexpr int kMaxPages = 32767;                       // page numbers are 16-bit
};

// One CCITT-compressed bitmap at an offset of a file (a page container's block).
struct RawPageSpec {
    std::uint64_t offset = 0;  // first byte of the compressed data
    int width = 0;
    int height = 0;
    int fillOrder = 1;  // 1: most significant bit first, 2: least significant first
    int ccittType = 4;  // 4: Group 4 (T.6), 3: Group 3 one-dimensional, 2: modified Huffman
    // Bytes of compressed data; when unset, up to the end of the file (capped by the size).
    std::optional<std::uint64_t> length;
    double dpi = 300;  // the container records none; its pages are 300 dpi
};

enum class SaveFormat { TiffG4, TiffG3, TiffUncompressed, Pcx, Bmp, Gif };

enum class PageSource { Tiff, Raw, Picture };

class PageImage {
public:
    PageImage();
    ~PageImage();
    PageImage(PageImage&&) noexcept;
    PageImage& operator=(PageImage&&) noexcept;
    PageImage(const PageImage&) = delete;
    PageImage& operator=(const PageImage&) = delete;
    PageImage clone() const;

    // Page `page` (1-based) of a TIFF file, or of a ".BIN" file: the content decides, by
    // its TIFF signature; anything else is "Invalid file format" (321). Throws ImageError.
    // knownPages: the file's page count when the caller has it from an earlier page (a
    // page turn), so the directories after the page are not walked to count them.
    static PageImage load(const std::filesystem::path& path, int page = 1, int knownPages = 0);
    static PageImage loadMemory(const void* data, std::size_t size, int page = 1);
    // A raw CCITT block; reads only that block of the file.
    static PageImage loadRaw(const std::filesystem::path& path, const RawPageSpec& spec);
    // Any picture, thresholded to black and white (tests, pasted images).
    static PageImage fromQImage(const QImage& image, double dpiX = 300, double dpiY = 300);
    // Pages of a TIFF or ".BIN" file without decoding any.
    static int pageCount(const std::filesystem::path& path);

    bool isNull() const { return pix_ == nullptr; }
    int width() const;
    int height() const;
    QSize size() const { return {width(), height()}; }
    double dpiX() const { return dpiX_; }
    double dpiY() const { return dpiY_; }
    int pageCount() const { return pageCount_; }  // of the file the page came from
    int pageNumber() const { return pageNumber_; }
    PageSource source() const { return source_; }
    int compression() const { return compression_; }  // the TIFF compression code it was stored with
    int rotation() const { return rotation_; }        // degrees turned clockwise since load
    std::size_t byteSize() const;                     // decoded bits held
    bool isBlack(int x, int y) const;
    std::int64_t blackCount() const;

    // Turns the page clockwise by quarter turns (negative: anticlockwise).
    void rotate(int quarterTurns);

    // The page's size when shown at zoom (1.0 = 100%): never empty.
    QSize scaledSize(double zoom) const;
    // The part `target` (in the coordinates of the whole page scaled by zoom) of the page
    // shown at zoom. Below 100% with smoothing: grey, every black pixel counted (thin lines
    // turn grey instead of vanishing). Otherwise nearest-neighbour, 1-bit. A pixel's value
    // depends only on its position, so tiles rendered apart join without seams.
    QImage render(const QRect& target, double zoom, bool smooth = true) const;
    QImage renderAll(double zoom, bool smooth = true) const;

    // The whole page at full resolution, 1-bit (printing, clipboard).
    QImage toQImage() const;

    // The page as the bytes of a file in that format.
    std::vector<std::uint8_t> encode(SaveFormat format) const;
    // Writes through a temporary file beside `path`, renamed over it when complete, so a
    // failed write never leaves a half-written file. Throws ImageError / RuntimeError.
    void save(const std::filesystem::path& path, SaveFormat format) const;

private:
    struct PixDeleter {
        void operator()(Pix* pix) const;
    };
    using PixPtr = std::unique_ptr<Pix, PixDeleter>;
    friend struct PageDecoder;

    QImage renderGrey(const QRect& target, double zoom) const;
    QImage renderNearest(const QRect& target, double zoom) const;

    PixPtr pix_;
    double dpiX_ = 300, dpiY_ = 300;
    int pageCount_ = 1;
    int pageNumber_ = 1;
    int rotation_ = 0;
    int compression_ = 1;
    PageSource source_ = PageSource::Picture;
};

// The zoom that fits a page of size `page` into `room`, within the zoom rule of the viewers.
double FitZoom(QSize room, QSize page);
// The zoom that fits the page's width into `room`; when the page is then taller than the
// room, the width left beside a vertical scroll bar `bar` pixels wide.
double FitWidthZoom(QSize room, QSize page, int bar);

// Replaces `path` with `bytes` through a temporary file in the same directory. Synced:
// on the disk before the rename. Deferred: the caller syncs a whole set of files at once
// with SyncFiles (one journal commit for a document instead of one per page).
enum class Durability { Synced, Deferred };
void WriteFileReplacing(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                        Durability durability = Durability::Synced);
// Puts the data of `files` and the directories holding them on the disk. Throws
// RuntimeError (a disk full or failing only now, with delayed allocation).
void SyncFiles(const std::vector<std::filesystem::path>& files);

}  // namespace velk
