#include "tools/mksample/g4_tiff.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace velk::mksample {
namespace {

// A growable in-memory file for TIFFClientOpen.
struct MemFile {
    std::string data;
    std::uint64_t pos = 0;
};

MemFile& Mem(thandle_t h) {
    return *static_cast<MemFile*>(h);
}

tmsize_t ReadProc(thandle_t h, void* buf, tmsize_t n) {
    MemFile& m = Mem(h);
    if (n <= 0 || m.pos >= m.data.size()) return 0;
    auto count = std::min<std::uint64_t>(static_cast<std::uint64_t>(n), m.data.size() - m.pos);
    std::memcpy(buf, m.data.data() + m.pos, count);
    m.pos += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t WriteProc(thandle_t h, void* buf, tmsize_t n) {
    MemFile& m = Mem(h);
    if (n <= 0) return 0;
    auto end = m.pos + static_cast<std::uint64_t>(n);
    if (end > m.data.size()) m.data.resize(end, '\0');
    std::memcpy(m.data.data() + m.pos, buf, static_cast<std::size_t>(n));
    m.pos = end;
    return n;
}

toff_t SeekProc(thandle_t h, toff_t off, int whence) {
    MemFile& m = Mem(h);
    std::uint64_t base = whence == SEEK_CUR ? m.pos : whence == SEEK_END ? m.data.size() : 0;
    m.pos = base + off;  // libtiff passes toff_t; a seek before 0 does not happen here
    return m.pos;
}

int CloseProc(thandle_t) {
    return 0;
}
toff_t SizeProc(thandle_t h) {
    return Mem(h).data.size();
}
int MapProc(thandle_t, void**, toff_t*) {
    return 0;
}
void UnmapProc(thandle_t, void*, toff_t) {}

struct TiffCloser {
    void operator()(TIFF* t) const {
        if (t) TIFFClose(t);
    }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

TiffPtr Open(MemFile& m, const char* mode) {
    TIFF* t = TIFFClientOpen("memory", mode, &m, ReadProc, WriteProc, SeekProc, CloseProc, SizeProc, MapProc,
                             UnmapProc);
    if (!t) throw std::runtime_error("libtiff could not open an in-memory TIFF");
    return TiffPtr(t);
}

void SetG4Fields(TIFF* t, std::uint32_t width, std::uint32_t height, int dpi) {
    TIFFSetField(t, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(t, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, height);
    TIFFSetField(t, TIFFTAG_XRESOLUTION, static_cast<float>(dpi));
    TIFFSetField(t, TIFFTAG_YRESOLUTION, static_cast<float>(dpi));
    TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
}

void CheckPage(const BitPage& p) {
    if (p.width <= 0 || p.height <= 0 || p.bits.size() != p.stride() * static_cast<std::size_t>(p.height))
        throw std::invalid_argument("bitonal page with inconsistent size");
}

}  // namespace

std::string WriteG4Tiff(const std::vector<BitPage>& pages, std::size_t reserve) {
    if (pages.empty()) throw std::invalid_argument("a TIFF needs at least one page");
    MemFile m;
    // libtiff writes its 8-byte header at 0 and appends everything else at the end
    // of the file, so bytes already there stay free for the caller.
    m.data.assign(std::max<std::size_t>(reserve, 8), '\0');
    TiffPtr t = Open(m, "wl");
    const auto n = static_cast<std::uint16_t>(pages.size());
    for (std::uint16_t i = 0; i < n; ++i) {
        const BitPage& p = pages[i];
        CheckPage(p);
        SetG4Fields(t.get(), static_cast<std::uint32_t>(p.width), static_cast<std::uint32_t>(p.height),
                    p.dpi);
        if (n > 1) TIFFSetField(t.get(), TIFFTAG_PAGENUMBER, i, n);
        std::vector<std::uint8_t> copy = p.bits;  // the encoder may scribble on its input
        if (TIFFWriteEncodedStrip(t.get(), 0, copy.data(), static_cast<tmsize_t>(copy.size())) < 0 ||
            !TIFFWriteDirectory(t.get()))
            throw std::runtime_error("libtiff failed to encode a G4 page");
    }
    t.reset();
    return std::move(m.data);
}

std::string EncodeG4Raw(const BitPage& page) {
    MemFile m;
    m.data = WriteG4Tiff({page});
    TiffPtr t = Open(m, "rm");
    std::uint64_t* offsets = nullptr;
    std::uint64_t* counts = nullptr;
    if (!TIFFGetField(t.get(), TIFFTAG_STRIPOFFSETS, &offsets) ||
        !TIFFGetField(t.get(), TIFFTAG_STRIPBYTECOUNTS, &counts) || !offsets || !counts ||
        offsets[0] + counts[0] > m.data.size())
        throw std::runtime_error("libtiff wrote no readable G4 strip");
    return m.data.substr(offsets[0], counts[0]);
}

std::string WriteClaimingTiff(std::uint32_t width, std::uint32_t height, const std::string& strip) {
    MemFile m;
    TiffPtr t = Open(m, "wl");
    SetG4Fields(t.get(), width, height, 300);
    std::string copy = strip;
    if (TIFFWriteRawStrip(t.get(), 0, copy.data(), static_cast<tmsize_t>(copy.size())) < 0 ||
        !TIFFWriteDirectory(t.get()))
        throw std::runtime_error("libtiff failed to write a raw strip");
    t.reset();
    return std::move(m.data);
}

}  // namespace velk::mksample
