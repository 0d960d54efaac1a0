#pragma once
// Where a page of a located document lies (PageFileInfo) and the captions of the
// viewer that shows it. TIFF and ".BIN" files are paged by the imaging code itself;
// a page container is read here: a 20-byte header (tag 8, document number 10, page
// count 16-bit), a table of 32-bit page offsets from byte 20, and at each offset a
// 12-byte page header (width at 6, height at 8) followed by the raw CCITT G4 data.
// All integers are little-endian.
#include <cstdint>
#include <string>

#include "common/int16.h"
#include "platform/current_document.h"
#include "viewer/imaging/page_image.h"

namespace velk {

struct App;

inline constexpr const char* kGetPageErrorText = "Error at function GetPage";
inline constexpr int kContainerHeaderBytes = 20;
inline constexpr int kPageHeaderBytes = 12;

enum class PageFileKind { Tiff, Bin, Container };
const char* PageFileKindName(PageFileKind kind);  // "tiff", "bin", "container"

// Decided by the image file's own name (".TIF", then ".BIN", in any case), so a
// viewer's stored document keeps its kind whatever was located since.
PageFileKind PageFileKindOf(const std::string& path);

// Fills App::doc.Page for page `page` of the image file at path (native) of
// document docNo. Any error (missing or short file, a page or offset out of range)
// shows "Error at function GetPage", leaves the page record as it was and gives false.
bool GetPage(App& app, const std::string& path, const std::string& docNo, Int16 page);
// The same record without messages or the run state: base with page `page` filled in.
// Throws RuntimeError. The viewers use it to find the next page before prefetching it.
PageFileInfo ReadPageInfo(const PageFileInfo& base, const std::string& path, const std::string& docNo, Int16 page);

// Pages in the located document's own image file (the container header's count or
// the TIFF's pages); 0 after an error, which has been shown.
int DocumentFilePages(App& app);
// Pages in the located document: the count the locator found, or for assignments
// (whose index count says nothing) the pages of its own file.
int DocumentPageCount(App& app);

// First byte of a container page's CCITT data.
inline std::int64_t PageDataOffset(const PageFileInfo& info) {
    return std::int64_t{info.PageOffset} + kPageHeaderBytes;
}

// The raw G4 block of the container page `info` describes: its data only, up to its end.
RawPageSpec RawPageOf(const PageFileInfo& info);

// The caption of viewer viewNo ("1" or "2") for the page in App::doc.Page: the
// document number (patents and trademarks "###,###,###", assignments "####/####",
// unchanged when not a number), "  - View ", viewNo, "  - Page ", page "/" pages.
std::string ViewCaptionText(const App& app, const std::string& viewNo);
// The viewer window's caption: the view caption, "         CD Volume ", CurVolume.
std::string ViewerWindowCaption(const App& app, const std::string& viewCaption);
// The window-list menu entry: "&1 " or "&2 " & the view caption.
std::string WindowListEntry(const std::string& viewNo, const std::string& viewCaption);
// Keeps the caption as ViewCaption and as View1Caption or View2Caption.
void StoreViewCaption(App& app, const std::string& viewNo, const std::string& viewCaption);

}  // namespace velk
