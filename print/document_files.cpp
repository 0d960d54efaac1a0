#include "print/document_files.h"

#include <fstream>

#include "platform/app.h"
#include "print/print_engine.h"
#include "viewer/imaging/page_image.h"
#include "viewer/page_loading.h"

namespace velk {
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

// A container page: its block from behind its header to its end, as GetPage found them.
std::optional<G4Strip> ContainerStrip(const App& app, const std::string& path, int page) {
    const PageFileInfo& info = app.doc.Page;
    const RawPageSpec block = RawPageOf(info);
    if (!block.length || page < 1 || page > info.FilePages.value()) return std::nullopt;
    G4Strip strip;
    strip.width = block.width;
    strip.height = block.height;
    if (strip.width < 1 || strip.height < 1 || strip.width > ImageLimits::kMaxSide ||
        strip.height > ImageLimits::kMaxSide)
        return std::nullopt;
    strip.data = ReadBytes(path, static_cast<std::int64_t>(block.offset), static_cast<std::int64_t>(*block.length));
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
