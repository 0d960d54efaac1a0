#include "viewer/imaging/tiff_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "viewer/imaging/page_image.h"

namespace velk::tiffio {
namespace {

// Far above any real strip of a page within the pixel cap, far below harm.
constexpr tmsize_t kMaxSingleAlloc = 128 << 20;

struct Stream {
    std::FILE* file = nullptr;
    const std::uint8_t* data = nullptr;  // memory being read
    std::size_t size = 0;
    std::vector<std::uint8_t>* out = nullptr;  // memory being written
    std::uint64_t pos = 0;

    std::size_t length() const { return out ? out->size() : size; }
    const std::uint8_t* bytes() const { return out ? out->data() : data; }
};

void Record(Diagnostics* d, bool isError, const char* module, const char* fmt, va_list ap) {
    if (!isError && !d->strict) {
        ++d->warnings;
        return;
    }
    ++d->errors;
    if (!d->first.empty()) return;
    char text[512];
    std::vsnprintf(text, sizeof text, fmt, ap);
    d->first = module && *module ? std::string(module) + ": " + text : std::string(text);
}

int OnError(TIFF*, void* user, const char* module, const char* fmt, va_list ap) {
    Record(static_cast<Diagnostics*>(user), true, module, fmt, ap);
    return 1;  // handled: libtiff's default handler would print to stderr
}

int OnWarning(TIFF*, void* user, const char* module, const char* fmt, va_list ap) {
    Record(static_cast<Diagnostics*>(user), false, module, fmt, ap);
    return 1;
}

tmsize_t StreamRead(thandle_t h, void* buf, tmsize_t n) {
    auto* s = static_cast<Stream*>(h);
    if (s->file) return static_cast<tmsize_t>(std::fread(buf, 1, static_cast<std::size_t>(n), s->file));
    if (n <= 0 || s->pos >= s->length()) return 0;
    std::size_t count = std::min<std::uint64_t>(static_cast<std::uint64_t>(n), s->length() - s->pos);
    std::memcpy(buf, s->bytes() + s->pos, count);
    s->pos += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t StreamWrite(thandle_t h, void* buf, tmsize_t n) {
    auto* s = static_cast<Stream*>(h);
    if (!s->out || n < 0) return -1;
    std::size_t end = static_cast<std::size_t>(s->pos) + static_cast<std::size_t>(n);
    if (end > s->out->size()) s->out->resize(end);
    std::memcpy(s->out->data() + s->pos, buf, static_cast<std::size_t>(n));
    s->pos = end;
    return n;
}

toff_t StreamSeek(thandle_t h, toff_t off, int whence) {
    auto* s = static_cast<Stream*>(h);
    if (s->file) {
        if (fseeko(s->file, static_cast<off_t>(off), whence) != 0) return static_cast<toff_t>(-1);
        return static_cast<toff_t>(ftello(s->file));
    }
    std::int64_t base = whence == SEEK_SET   ? 0
                        : whence == SEEK_CUR ? static_cast<std::int64_t>(s->pos)
                                             : static_cast<std::int64_t>(s->length());
    std::int64_t target = base + static_cast<std::int64_t>(off);
    if (target < 0) return static_cast<toff_t>(-1);
    s->pos = static_cast<std::uint64_t>(target);
    return s->pos;
}

toff_t StreamSize(thandle_t h) {
    auto* s = static_cast<Stream*>(h);
    if (s->file) {
        off_t here = ftello(s->file);
        fseeko(s->file, 0, SEEK_END);
        off_t end = ftello(s->file);
        fseeko(s->file, here, SEEK_SET);
        return end < 0 ? 0 : static_cast<toff_t>(end);
    }
    return s->length();
}

int StreamClose(thandle_t) {
    return 0;
}

int StreamMap(thandle_t h, void** base, toff_t* size) {
    auto* s = static_cast<Stream*>(h);
    if (!s->data) return 0;  // files are read, not mapped
    *base = const_cast<std::uint8_t*>(s->data);
    *size = s->size;
    return 1;
}

void StreamUnmap(thandle_t, void*, toff_t) {}

}  // namespace

struct Tiff::State {
    Stream stream;
    Diagnostics diag;
    TIFFOpenOptions* options = nullptr;
    TIFF* tif = nullptr;

    State() {
        options = TIFFOpenOptionsAlloc();
        TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxSingleAlloc);
        TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, &diag);
        TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, &diag);
    }
    ~State() {
        if (tif) TIFFClose(tif);
        if (stream.file) std::fclose(stream.file);
        TIFFOpenOptionsFree(options);
    }
    void open(const char* name, const char* mode) {
        tif = TIFFClientOpenExt(name, mode, &stream, StreamRead, StreamWrite, StreamSeek, StreamClose,
                                StreamSize, StreamMap, StreamUnmap, options);
        if (!tif)
            throw ImageError(kErrInvalidPicture, diag.first.empty() ? "not a readable TIFF" : diag.first);
    }
};

Tiff::Tiff(std::unique_ptr<State> state) : state_(std::move(state)) {}
Tiff::Tiff(Tiff&&) noexcept = default;
Tiff& Tiff::operator=(Tiff&&) noexcept = default;
Tiff::~Tiff() = default;

bool HasTiffSignature(const unsigned char* b, std::size_t n) {
    if (n < 4) return false;
    const bool little = b[0] == 'I' && b[1] == 'I' && (b[2] == 42 || b[2] == 43) && b[3] == 0;
    const bool big = b[0] == 'M' && b[1] == 'M' && b[2] == 0 && (b[3] == 42 || b[3] == 43);
    return little || big;
}

Tiff Tiff::openFile(const std::filesystem::path& path) {
    auto state = std::make_unique<State>();
    state->stream.file = std::fopen(path.c_str(), "rb");
    if (!state->stream.file) throw ErrorFromErrno(errno);
    // The content decides: a ".BIN" page is a TIFF, anything else is refused before
    // libtiff sees it.
    unsigned char sig[4] = {};
    const std::size_t n = std::fread(sig, 1, sizeof sig, state->stream.file);
    if (!HasTiffSignature(sig, n) || std::fseek(state->stream.file, 0, SEEK_SET) != 0)
        throw ImageError(kErrInvalidFileFormat, path.filename().string() + " is not a TIFF");
    // "m": no memory map, so a vanished volume is a read error, not a crash.
    state->open(path.filename().c_str(), "rm");
    return Tiff(std::move(state));
}

Tiff Tiff::openMemory(const std::uint8_t* data, std::size_t size) {
    auto state = std::make_unique<State>();
    state->stream.data = data;
    state->stream.size = size;
    state->open("memory", "r");
    return Tiff(std::move(state));
}

Tiff Tiff::createMemory(std::vector<std::uint8_t>& out) {
    auto state = std::make_unique<State>();
    out.clear();
    state->stream.out = &out;
    state->open("memory", "w");
    return Tiff(std::move(state));
}

TIFF* Tiff::get() const {
    return state_->tif;
}
Diagnostics& Tiff::diagnostics() {
    return state_->diag;
}

void Tiff::check(const std::string& what) const {
    if (state_->diag.failed()) throw ImageError(kErrInvalidPicture, what + ": " + state_->diag.first);
}

void Tiff::finish() {
    TIFF* tif = state_->tif;
    state_->tif = nullptr;
    TIFFClose(tif);  // writes the pending directory
    check("writing TIFF");
}

std::vector<std::uint8_t> RawStripHeader(int width, int height, int compression, int fillOrder,
                                         std::uint32_t blockLength, double dpi) {
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t value;
    };
    constexpr std::uint16_t kShort = 3, kLong = 4, kRational = 5;
    const bool g4 = compression == COMPRESSION_CCITTFAX4;
    std::vector<Entry> entries = {
        {TIFFTAG_IMAGEWIDTH, kLong, static_cast<std::uint32_t>(width)},
        {TIFFTAG_IMAGELENGTH, kLong, static_cast<std::uint32_t>(height)},
        {TIFFTAG_BITSPERSAMPLE, kShort, 1},
        {TIFFTAG_COMPRESSION, kShort, static_cast<std::uint32_t>(compression)},
        {TIFFTAG_PHOTOMETRIC, kShort, PHOTOMETRIC_MINISWHITE},
        {TIFFTAG_FILLORDER, kShort, static_cast<std::uint32_t>(fillOrder)},
        {TIFFTAG_STRIPOFFSETS, kLong, 0},  // patched below
        {TIFFTAG_SAMPLESPERPIXEL, kShort, 1},
        {TIFFTAG_ROWSPERSTRIP, kLong, static_cast<std::uint32_t>(height)},
        {TIFFTAG_STRIPBYTECOUNTS, kLong, blockLength},
        {TIFFTAG_XRESOLUTION, kRational, 0},
        {TIFFTAG_YRESOLUTION, kRational, 0},
    };
    if (compression == COMPRESSION_CCITTFAX3) entries.push_back({TIFFTAG_GROUP3OPTIONS, kLong, 0});
    if (g4) entries.push_back({TIFFTAG_GROUP4OPTIONS, kLong, 0});
    entries.push_back({TIFFTAG_RESOLUTIONUNIT, kShort, RESUNIT_INCH});

    const std::uint32_t ifdSize = 2 + 12 * static_cast<std::uint32_t>(entries.size()) + 4;
    const std::uint32_t rationalAt = 8 + ifdSize;
    const std::uint32_t dataAt = rationalAt + 8;
    std::vector<std::uint8_t> out;
    auto put16 = [&](std::uint32_t v) {
        out.push_back(v & 0xff);
        out.push_back((v >> 8) & 0xff);
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xffff);
        put16(v >> 16);
    };
    out.insert(out.end(), {'I', 'I', 42, 0});
    put32(8);
    put16(static_cast<std::uint32_t>(entries.size()));
    for (const Entry& e : entries) {
        std::uint32_t value = e.value;
        if (e.tag == TIFFTAG_STRIPOFFSETS) value = dataAt;
        if (e.type == kRational) value = rationalAt;
        put16(e.tag);
        put16(e.type);
        put32(1);
        if (e.type == kShort) {
            put16(value);
            put16(0);
        } else {
            put32(value);
        }
    }
    put32(0);  // no next directory
    // One rational shared by both resolutions, in hundredths of a dot per inch.
    put32(static_cast<std::uint32_t>(std::clamp(dpi, 1.0, 100000.0) * 100 + 0.5));
    put32(100);
    return out;
}

}  // namespace velk::tiffio
