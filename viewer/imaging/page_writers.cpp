// Writing a page: TIFF through libtiff, BMP and GIF through Leptonica, PCX by hand.
#include <allheaders.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <system_error>

#include "viewer/imaging/page_image.h"
#include "viewer/imaging/pix_bits.h"
#include "viewer/imaging/tiff_io.h"

#include <set>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace velk {
namespace {

std::vector<std::uint8_t> EncodeTiff(Pix* pix, int compression, double dpiX, double dpiY) {
    std::vector<std::uint8_t> out;
    tiffio::Tiff tiff = tiffio::Tiff::createMemory(out);
    TIFF* tif = tiff.get();
    const auto width = static_cast<std::uint32_t>(pixGetWidth(pix));
    const auto height = static_cast<std::uint32_t>(pixGetHeight(pix));
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);  // 1 = black, as faxes store it
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, static_cast<float>(dpiX));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, static_cast<float>(dpiY));
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (compression == COMPRESSION_CCITTFAX3) TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, 0);  // one-dimensional
    // G4 codes each row against the one above: one strip keeps it whole.
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP,
                 compression == COMPRESSION_CCITTFAX4 ? height : TIFFDefaultStripSize(tif, 0));
    tiff.check("TIFF tags");

    const l_uint32* data = pixGetData(pix);
    const int wpl = pixGetWpl(pix);
    const int rowBytes = (static_cast<int>(width) + 7) / 8;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(rowBytes));
    for (std::uint32_t y = 0; y < height; ++y) {
        pixbits::RowToBytes(data + static_cast<std::size_t>(y) * wpl, rowBytes, row.data());
        if (TIFFWriteScanline(tif, row.data(), y, 0) < 0) {
            tiff.check("row " + std::to_string(y));
            throw ImageError(kErrInvalidPicture, "row " + std::to_string(y) + " cannot be written");
        }
    }
    tiff.finish();
    return out;
}

void Put16(std::vector<std::uint8_t>& out, int v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}

// PCX 3.0, one plane of one bit, run-length coded a row at a time. In PCX a set bit is
// palette entry 1, white.
std::vector<std::uint8_t> EncodePcx(Pix* pix, double dpiX, double dpiY) {
    const int width = pixGetWidth(pix), height = pixGetHeight(pix);
    const int bytesPerLine = (width + 15) / 16 * 2;  // PCX rows are a whole number of 16-bit words
    std::vector<std::uint8_t> out;
    out.insert(out.end(), {0x0A, 5, 1, 1});  // maker, version 3.0, RLE, 1 bit per pixel
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, width - 1);
    Put16(out, height - 1);
    Put16(out, static_cast<int>(std::lround(dpiX)));
    Put16(out, static_cast<int>(std::lround(dpiY)));
    std::uint8_t palette[48] = {};
    palette[3] = palette[4] = palette[5] = 255;  // entry 0 black, entry 1 white
    out.insert(out.end(), palette, palette + 48);
    out.push_back(0);  // reserved
    out.push_back(1);  // planes
    Put16(out, bytesPerLine);
    Put16(out, 1);  // palette is colour or black and white
    out.resize(128, 0);

    const l_uint32* data = pixGetData(pix);
    const int wpl = pixGetWpl(pix);
    const int usedBytes = (width + 7) / 8;
    const std::uint8_t lastMask = static_cast<std::uint8_t>(0xff >> (width % 8 ? width % 8 : 8));
    // At worst every byte takes two (a count before it). Left uninitialised: only the
    // coded bytes are touched, a tenth of the bound on a typical page.
    const std::size_t bound = 2 * static_cast<std::size_t>(bytesPerLine) * static_cast<std::size_t>(height);
    const auto coded = std::make_unique_for_overwrite<std::uint8_t[]>(bound);
    std::uint8_t* o = coded.get();
    auto encodeRow = [bytesPerLine](const std::uint8_t* r, std::uint8_t* at) {
        for (int i = 0; i < bytesPerLine;) {
            const std::uint8_t b = r[i];
            if (i + 1 == bytesPerLine || r[i + 1] != b) {
                // A lone byte, as in most of a line of print: no branch on its value.
                const int counted = b >= 0xC0;
                at[0] = 0xC1;
                at[counted] = b;
                at += 1 + counted;
                ++i;
                continue;
            }
            const int limit = std::min(bytesPerLine, i + 63);
            int j = i + 1;
            // Paper comes in long runs: eight bytes a step.
            const std::uint64_t same = 0x0101010101010101ull * b;
            for (std::uint64_t w; j + 8 <= limit && (std::memcpy(&w, r + j, 8), w == same);) j += 8;
            while (j < limit && r[j] == b) ++j;
            *at++ = static_cast<std::uint8_t>(0xC0 | (j - i));  // a run of two or more
            *at++ = b;
            i = j;
        }
        return at;
    };
    // A row of paper alone (margins, line gaps: most rows) is coded once and copied.
    const std::vector<std::uint8_t> paper(static_cast<std::size_t>(bytesPerLine), 0xff);
    std::vector<std::uint8_t> paperCode(2 * paper.size());
    paperCode.resize(static_cast<std::size_t>(encodeRow(paper.data(), paperCode.data()) - paperCode.data()));

    std::vector<std::uint8_t> row(paper);
    std::uint8_t* r = row.data();
    for (int y = 0; y < height; ++y) {
        pixbits::RowToBytes(data + static_cast<std::size_t>(y) * wpl, usedBytes, r);
        for (int i = 0; i < usedBytes; ++i) r[i] = static_cast<std::uint8_t>(~r[i]);
        r[usedBytes - 1] |= lastMask;  // bits past the right edge are paper; the padding stays 0xff
        if (std::memcmp(r, paper.data(), paper.size()) == 0) {
            std::memcpy(o, paperCode.data(), paperCode.size());
            o += paperCode.size();
        } else {
            o = encodeRow(r, o);
        }
    }
    out.insert(out.end(), coded.get(), o);
    return out;
}

// Leptonica's writers with an explicit white/black palette, so no reader guesses.
std::vector<std::uint8_t> EncodeLeptonica(Pix* pix, int format, double dpiX, double dpiY) {
    Pix* copy = pixCopy(nullptr, pix);
    if (!copy) throw ImageError(kErrOutOfMemory, "no memory to write the page");
    PixColormap* map = pixcmapCreate(1);
    pixcmapAddColor(map, 255, 255, 255);
    pixcmapAddColor(map, 0, 0, 0);
    pixSetColormap(copy, map);
    pixSetResolution(copy, static_cast<l_int32>(std::lround(dpiX)), static_cast<l_int32>(std::lround(dpiY)));
    l_uint8* bytes = nullptr;
    size_t size = 0;
    l_ok failed = pixWriteMem(&bytes, &size, copy, format);
    pixDestroy(&copy);
    if (failed || !bytes) {
        lept_free(bytes);
        throw ImageError(kErrInvalidPicture,
                         format == IFF_GIF ? "GIF cannot be written" : "BMP cannot be written");
    }
    std::vector<std::uint8_t> out(bytes, bytes + size);
    lept_free(bytes);
    return out;
}

std::atomic<unsigned> tempCounter{0};

}  // namespace

std::vector<std::uint8_t> PageImage::encode(SaveFormat format) const {
    if (!pix_) throw ImageError(kErrInvalidPicture, "no page loaded");
    switch (format) {
        case SaveFormat::TiffG4:
            return EncodeTiff(pix_.get(), COMPRESSION_CCITTFAX4, dpiX_, dpiY_);
        case SaveFormat::TiffG3:
            return EncodeTiff(pix_.get(), COMPRESSION_CCITTFAX3, dpiX_, dpiY_);
        case SaveFormat::TiffUncompressed:
            return EncodeTiff(pix_.get(), COMPRESSION_NONE, dpiX_, dpiY_);
        case SaveFormat::Pcx:
            return EncodePcx(pix_.get(), dpiX_, dpiY_);
        case SaveFormat::Bmp:
            return EncodeLeptonica(pix_.get(), IFF_BMP, dpiX_, dpiY_);
        case SaveFormat::Gif:
            return EncodeLeptonica(pix_.get(), IFF_GIF, dpiX_, dpiY_);
    }
    throw ImageError(kErrInvalidCall, "unknown format");
}

void PageImage::save(const std::filesystem::path& path, SaveFormat format) const {
    WriteFileReplacing(path, encode(format));
}

void WriteFileReplacing(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                        Durability durability) {
    std::random_device seed;
    std::filesystem::path temp = path;
    temp += ".~" + std::to_string(seed() % 100000) + "-" + std::to_string(tempCounter++) + ".tmp";
    std::FILE* f = std::fopen(temp.c_str(), "wbx");
    if (!f) throw ErrorFromErrno(errno);
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
    int err = errno;
#ifndef _WIN32
    if (ok && durability == Durability::Synced && fsync(fileno(f)) != 0) ok = false, err = errno;
#endif
    if (std::fclose(f) != 0 && ok) ok = false, err = errno;
    if (ok) {
        std::error_code ec;
        std::filesystem::rename(temp, path, ec);
        if (!ec) return;
        err = ec.value();
    }
    std::remove(temp.c_str());
    throw ErrorFromErrno(err ? err : EIO);
}

void SyncFiles(const std::vector<std::filesystem::path>& files) {
#ifndef _WIN32
    std::set<std::filesystem::path> dirs;
    auto syncOne = [](const std::filesystem::path& p, int flags) {
        const int fd = ::open(p.c_str(), flags | O_CLOEXEC);
        if (fd < 0) throw ErrorFromErrno(errno);
        const int rc = ::fsync(fd);
        const int err = errno;
        ::close(fd);
        if (rc != 0) throw ErrorFromErrno(err);
    };
    for (const auto& f : files) {
        syncOne(f, O_RDONLY);
        dirs.insert(f.parent_path().empty() ? std::filesystem::path(".") : f.parent_path());
    }
    for (const auto& d : dirs) syncOne(d, O_RDONLY | O_DIRECTORY);  // the renames
#else
    (void)files;
#endif
}

}  // namespace velk
