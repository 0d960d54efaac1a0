#include "viewer/page_loading.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>

#include "common/runtime_error.h"
#include "common/vb_text.h"
#include "index/record_file.h"
#include "platform/app.h"
#include "viewer/imaging/page_image.h"

namespace velk {

namespace fs = std::filesystem;

namespace {

std::int32_t LE32(const unsigned char* b) {
    return static_cast<std::int32_t>(std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
                                     std::uint32_t{b[3]} << 24);
}

Int16 LE16(const unsigned char* b) {
    return Int16(static_cast<std::int16_t>(static_cast<std::uint16_t>(b[0] | b[1] << 8)));
}

void ReadExactly(std::ifstream& in, std::uint64_t size, std::uint64_t offset, unsigned char* out, std::size_t n) {
    std::string bytes = ReadBytesAt(in, size, offset, n);
    std::copy(bytes.begin(), bytes.end(), out);
}

// Three small reads: the header, the page's table entry with the next one, the page header.
void ReadContainerPage(PageFileInfo& info, const std::string& path, Int16 page) {
    std::error_code ec;
    const std::uint64_t size = fs::file_size(path, ec);
    if (ec) throw RuntimeError(kErrFileNotFound);
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in) throw RuntimeError(kErrFileNotFound);

    unsigned char header[kContainerHeaderBytes];
    ReadExactly(in, size, 0, header, sizeof header);
    info.FileTag.assign(reinterpret_cast<const char*>(header), 8);
    info.FileDocNo.assign(reinterpret_cast<const char*>(header) + 8, 10);
    info.FilePages = LE16(header + 18);
    if (info.FilePages < 1 || page > info.FilePages) throw RuntimeError(kErrSubscript);

    const bool last = page == info.FilePages;
    unsigned char entry[8];
    ReadExactly(in, size, 16 + 4 * static_cast<std::uint64_t>(page.value()), entry, last ? 4 : 8);
    info.PageOffset = LE32(entry);
    // The block lies after the header and holds its page header and some data.
    if (info.PageOffset < kContainerHeaderBytes ||
        static_cast<std::uint64_t>(info.PageOffset) + kPageHeaderBytes >= size)
        throw RuntimeError(kErrInvalidFileFormat);
    // It ends where the next one begins; the last block, or one whose successor lies
    // elsewhere, runs to the end of the file.
    const std::int64_t next = last ? 0 : LE32(entry + 4);
    info.PageEnd = next > PageDataOffset(info) && static_cast<std::uint64_t>(next) <= size
                       ? next
                       : static_cast<std::int64_t>(size);

    ReadExactly(in, size, static_cast<std::uint64_t>(info.PageOffset), info.PageHeader.data(), kPageHeaderBytes);
    info.XSize = LE16(info.PageHeader.data() + 6);
    info.YSize = LE16(info.PageHeader.data() + 8);
    if (info.XSize < 1 || info.YSize < 1) throw RuntimeError(kErrInvalidFileFormat);
}

}  // namespace

const char* PageFileKindName(PageFileKind kind) {
    switch (kind) {
    case PageFileKind::Tiff: return "tiff";
    case PageFileKind::Bin: return "bin";
    case PageFileKind::Container: return "container";
    }
    return "";
}

RawPageSpec RawPageOf(const PageFileInfo& info) {
    RawPageSpec spec;
    spec.offset = static_cast<std::uint64_t>(PageDataOffset(info));
    spec.width = info.XSize.value();
    spec.height = info.YSize.value();
    if (info.PageEnd > PageDataOffset(info))
        spec.length = static_cast<std::uint64_t>(info.PageEnd - PageDataOffset(info));
    return spec;
}

PageFileKind PageFileKindOf(const std::string& path) {
    const std::string name = UCase(fs::path(path).filename().string());
    if (InStr(name, ".TIF") > 0) return PageFileKind::Tiff;
    if (InStr(name, ".BIN") > 0) return PageFileKind::Bin;
    return PageFileKind::Container;
}

PageFileInfo ReadPageInfo(const PageFileInfo& base, const std::string& path, const std::string& docNo, Int16 page) {
    if (page < 1) throw RuntimeError(kErrSubscript);
    PageFileInfo info = base;
    // The whole path, never cut: a native path is longer than any fixed field.
    info.PagePath = path;
    info.PageText = std::to_string(page.value());
    switch (PageFileKindOf(path)) {
    case PageFileKind::Tiff: info.FileDocNo = docNo; break;
    case PageFileKind::Bin:
        info.FileDocNo = docNo;
        info.FilePages = page;  // the loader puts the file's page count here
        break;
    case PageFileKind::Container: ReadContainerPage(info, path, page); break;
    }
    return info;
}

bool GetPage(App& app, const std::string& path, const std::string& docNo, Int16 page) {
    try {
        app.doc.Page = ReadPageInfo(app.doc.Page, path, docNo, page);
        return true;
    } catch (const std::exception&) {
        app.msg(kGetPageErrorText);
        return false;
    }
}

std::string ViewCaptionText(const App& app, const std::string& viewNo) {
    const PageFileInfo& p = app.doc.Page;
    const std::string d = Left(KeepAlnum(Trim(p.FileDocNo)), 8);
    const std::string number = FormatText(d, app.config.isAssignments() ? "####/####" : "###,###,###");
    return number + "  - View " + viewNo + "  - Page " + Trim(p.PageText) + "/" +
           std::to_string(p.FilePages.value());
}

std::string ViewerWindowCaption(const App& app, const std::string& viewCaption) {
    return viewCaption + "         CD Volume " + Trim(app.doc.CurVolume);
}

std::string WindowListEntry(const std::string& viewNo, const std::string& viewCaption) {
    return (viewNo == "1" ? "&1 " : "&2 ") + viewCaption;
}

void StoreViewCaption(App& app, const std::string& viewNo, const std::string& viewCaption) {
    app.viewerFlags.ViewCaption = viewCaption;
    if (viewNo == "1")
        app.viewerFlags.View1Caption = viewCaption;
    else
        app.viewerFlags.View2Caption = viewCaption;
}

int DocumentFilePages(App& app) {
    const std::string& path = app.doc.CurImagePath;
    try {
        if (PageFileKindOf(path) == PageFileKind::Container)
            return GetPage(app, path, app.doc.CurDocNo, Int16(1)) ? app.doc.Page.FilePages.value() : 0;
        return PageImage::pageCount(path);
    } catch (const std::exception&) {
        app.msg(kGetPageErrorText);
        return 0;
    }
}

int DocumentPageCount(App& app) {
    return app.config.isAssignments() ? DocumentFilePages(app) : app.doc.CurPageCount.value();
}

}  // namespace velk
