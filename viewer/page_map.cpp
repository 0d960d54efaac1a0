#include "viewer/page_map.h"

#include <algorithm>
#include <array>
#include <exception>
#include <fstream>
#include <optional>
#include <system_error>

#include "common/runtime_error.h"
#include "common/vb_text.h"
#include "index/record_file.h"
#include "platform/app.h"

namespace velk {

namespace fs = std::filesystem;

namespace {

// An image or map file beside the document's image file; nullopt when it is not there.
std::optional<fs::path> OnVolumeDir(const App& app, const std::string& rel) {
    if (app.doc.VolumeDir.empty()) return std::nullopt;
    std::size_t i = 0;
    while (i < rel.size() && (rel[i] == '\\' || rel[i] == '/')) ++i;
    auto p = app.drives.resolve(app.doc.VolumeDir + "\\" + rel.substr(i));
    std::error_code ec;
    if (!p || !fs::is_regular_file(*p, ec)) return std::nullopt;
    return p;
}

struct OpenedFile {
    std::ifstream in;
    std::uint64_t size = 0;
};

OpenedFile OpenRead(const fs::path& p) {
    OpenedFile f;
    f.size = fs::file_size(p);  // throws filesystem_error for what cannot be read
    f.in.open(p, std::ios::in | std::ios::binary);
    if (!f.in) throw RuntimeError(kErrPermissionDenied);
    return f;
}

// The text before the next separator, or "0" when there is none; rest moves past it.
std::string NextField(std::string& rest, char separator) {
    std::size_t pos = rest.find(separator);
    if (pos == std::string::npos) return "0";
    std::string field = rest.substr(0, pos);
    rest.erase(0, pos + 1);
    return field;
}

void ReadTextMap(App& app, const fs::path& file) {
    OpenedFile f = OpenRead(file);
    if (f.size == 0) throw RuntimeError(kErrInputPastEnd);
    std::string line = ReadBytesAt(f.in, f.size, 0, static_cast<std::size_t>(std::min<std::uint64_t>(f.size, kTextMapLimit)));
    line = line.substr(0, line.find('\r'));  // a line ends at CR or CR LF; a lone LF does not end it
    static constexpr std::array<const char*, 5> labels = {"Info.:", "Abstract:", "Drawing(s):", "Description:",
                                                          "Claim(s) :"};
    for (std::size_t s = 0; s < labels.size(); ++s) {
        std::size_t at = line.find(labels[s]);
        if (at == std::string::npos) continue;  // a section the map does not name stays absent
        app.doc.SectionFirstPage[s] = MapPageNumber(std::string_view(line).substr(at + std::string_view(labels[s]).size()));
    }
    app.doc.MapMarker.clear();
}

void ReadEmbeddedMap(App& app, const fs::path& file) {
    OpenedFile f = OpenRead(file);
    if (f.size < kEmbeddedMapOffset + kEmbeddedMapBytes) throw RuntimeError(kErrInputPastEnd);
    std::string text = ReadBytesAt(f.in, f.size, kEmbeddedMapOffset, kEmbeddedMapBytes);
    std::size_t close = text.find(']');
    if (close != std::string::npos) text.erase(0, close + 1);
    for (std::size_t s = 0; s < 5; ++s) app.doc.SectionFirstPage[s] = MapPageNumber(NextField(text, ';'));
    app.doc.MapMarker = NextField(text, ';');
    if (Left(app.doc.MapMarker, 4) != "META") return;

    // "META", a separator, then the block's position counting the first byte as 1.
    long long start = ValInt(Mid(app.doc.MapMarker, 6));
    if (start < 1 || static_cast<std::uint64_t>(start) > f.size) throw RuntimeError(kErrInvalidFileFormat);
    std::uint64_t length = std::min<std::uint64_t>(f.size - static_cast<std::uint64_t>(start) + 1, kMetaBlockLimit);
    std::string block = ReadBytesAt(f.in, f.size, static_cast<std::uint64_t>(start) - 1, static_cast<std::size_t>(length));
    for (int field = 1; field <= 19; ++field) {
        std::string value = NextField(block, ',');
        if (field >= 8) app.doc.SectionPageRange[static_cast<std::size_t>(field - 8)] = value;
    }
}

}  // namespace

Int16 MapPageNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    long long v = 0;
    bool any = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        any = true;
        if (v <= 32767) v = v * 10 + (text[i] - '0');  // past the range it no longer matters how far
    }
    if (!any || v < 1 || v > 32767) return Int16(0);
    return Int16(static_cast<int>(v));
}

Int16 SectionStart(const CurrentDocument& doc, Section s, Int16 pageCount) {
    Int16 first = doc.SectionFirstPage[static_cast<std::size_t>(s)];
    return first > pageCount ? Int16(0) : first;
}

bool ParsePage(App& app) {
    CurrentDocument& doc = app.doc;
    doc.SectionFirstPage.fill(Int16(0));
    doc.MapMarker.clear();
    doc.SectionPageRange.fill(std::string());
    try {
        const std::string p = Trim(doc.LastOpenIdx.ImagePath);
        const long long t = InStr(UCase(p), ".TIF");
        if (t >= 1) {
            const std::string stem = Left(p, t - 1);
            if (auto m = OnVolumeDir(app, stem + ".a1a")) {
                ReadTextMap(app, *m);
                return true;
            }
            auto image = OnVolumeDir(app, stem + ".tif");
            if (!image) return false;
            ReadEmbeddedMap(app, *image);
            return true;
        }
        auto m = OnVolumeDir(app, p + "a");
        if (!m) return false;
        ReadTextMap(app, *m);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace velk
