#include "print/document_files.h"

#include <filesystem>
#include <fstream>

#include "platform/app.h"
#include "print/print_engine.h"
#include "viewer/imaging/page_image.h"
#include "viewer/page_loading.h"

namespace velk {
namespace fs = std::filesystem;

namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& path, std::int64_t offset, std::int64_t length) {
    std::vector<std::uint8_t> out;
    std::ifstream in(path, std::ios::binary);
    if (!in || length <= 0) return out;
    in.seekg(offset);
    out.resize(static_cast<std::size_t>(length));
    if (!in.read(reinterpret_cast<char*>(out.data()), length)) out.clear();
    return out;
}

// A container page: its block runs from behind its header to the next page's offset
// (or the end of the file).
std::optional<G4Strip> ContainerStrip(const App& app, const std::string& path, int page) {
    const PageFileInfo& info = app.doc.Page;
    std::error_code ec;
    const auto fileSize = fs::file_size(path, ec);
    if (ec) return std::nullopt;
    const auto size = static_cast<std::int64_t>(fileSize);
    const std::int64_t start = PageDataOffset(info);
    const int pages = info.FilePages.value();
    if (start <= 0 || start >= size || page < 1 || page > pages) return std::nullopt;
    std::int64_t end = size;
    if (page < pages) {
        const auto next = ReadBytes(path, kContainerHeaderBytes + 4 * std::int64_t{page}, 4);
        if (next.size() != 4) return std::nullopt;
        const std::int64_t n = next[0] | (next[1] << 8) | (next[2] << 16) | (std::int64_t{next[3]} << 24);
        if (n > start && n <= size) end = n;
    }
    G4Strip strip;
    strip.width = info.XSize.value();
    strip.height = info.YSize.value();
    if (strip.width < 1 || strip.height < 1 || strip.width > ImageLimits::kMaxSide ||
        strip.height > ImageLimits::kMaxSide)
        return std::nullopt;
    strip.data = ReadBytes(path, start, end - start);
    if (strip.data.empty()) return std::nullopt;
    return strip;  // containers record no resolution: their pages are 300 dpi
}

}  // namespace

std::optional<G4Strip> StoredG4Strip(const App& app, const std::string& path, Int16 page) {
    if (PageFileKindOf(path) == PageFileKind::Container) return ContainerStrip(app, path, page.value());
    return ReadG4Strip(path, page.value());
}

G4Strip RecordedG4Strip(const App& app, const std::string& path, Int16 page) {
    if (std::optional<G4Strip> stored = StoredG4Strip(app, path, page)) return std::move(*stored);
    return G4Strip::fromPage(LoadRecordedPage(app, path, page));
}

const char* DocumentFileExtension(DocumentFileFormat format) {
    return format == DocumentFileFormat::Pdf ? ".pdf" : ".tif";
}

std::vector<std::uint8_t> DocumentFileBytes(const std::vector<G4Strip>& pages, DocumentFileFormat format) {
    return format == DocumentFileFormat::Pdf ? G4PdfFile(pages) : G4TiffFile(pages);
}

}  // namespace velk
