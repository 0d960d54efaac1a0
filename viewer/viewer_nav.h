#pragma once
// The rules of page and document navigation and of the zoom steps, apart from the
// windows, so they are tested on their own.
#include <optional>
#include <string>

#include "common/int16.h"
#include "platform/viewer_state.h"
#include "viewer/imaging/zoom_rule.h"

namespace velk {

inline constexpr int kZoomStep = 25;
inline constexpr int kZoomMin = 25;
inline constexpr int kZoomMax = static_cast<int>(kMaxViewZoom * 100);

// Zoom in stops at the zoom rule's 1600%; zoom out never enlarges (at or below 25% it stays).
int ZoomInLevel(int zoom);
int ZoomOutLevel(int zoom);

inline constexpr int kTypedZoomMin = 10;
inline constexpr const char* kFitPageText = "Fit page";
inline constexpr const char* kFitWidthText = "Fit width";

// The imaging control's fit method for a view mode (0 for a zoom).
int FitMethodFor(ViewMode mode);
// What the zoom box shows: "Fit page", "Fit width" or the zoom as "150 %".
std::string ZoomText(ViewMode mode, int percent);
// What was typed into the zoom box: a fit by its name, or a number with or without "%",
// held to 10 % and the zoom rule's upper limit. Nothing for any other text.
struct TypedView {
    ViewMode mode = ViewMode::Zoom;
    int percent = 100;
};
std::optional<TypedView> ParseZoomText(const std::string& text);

enum class PageMove { First, Previous, Next, Last };
enum class DocMove { First, Previous, Next, Last };

// The page a page command shows, or 0 when it does nothing (next on the last page).
int PageTarget(PageMove move, int page, int pageCount);

struct NavButtons {
    bool first = false, previous = false, next = false, last = false;
    bool operator==(const NavButtons&) const = default;
};
// What the command state of the main frame needs to know after a command.
struct ViewerCommandState {
    bool open[2] = {false, false};  // viewer 1, viewer 2
    int active = 0;                 // 1, 2, or 0 with no viewer open
    NavButtons page;                // of the active viewer
    NavButtons document;            // over the Found list
    bool fullView = false;
    bool zoomArea = false;
    int zoom = 100;  // the active viewer's
    ViewMode mode = ViewMode::Zoom;
    int pageNo = 0, pageCount = 0;  // of the active viewer's document
    int foundPosition = 0, foundCount = 0;
    bool anyShown() const { return open[0] || open[1]; }
};

// First and previous when page > 1, next and last when page < pageCount.
NavButtons PageButtons(int page, int pageCount);
// All off for a list of one (or none); otherwise by the position in the list.
NavButtons DocumentButtons(int position, int count);

// The Found-list position a document command reads (1-based), from the position shown
// and the position chosen in the found-list view (0 = none); 0 when there is none.
int DocumentTarget(DocMove move, int shown, int chosen, int count);

// Where document navigation goes on after an entry at `tried` did not open: further in
// the command's own direction (first and next forward, previous and last backward).
// 0 when the list ends there.
int DocumentOnward(DocMove move, int tried, int count);

// A list entry's document number: its first 9 characters, trimmed.
std::string FoundEntryDocNo(const std::string& entry);
// The entry text of a document: the number left-aligned in 9 columns, then the volume.
std::string EntryText(const std::string& docNo, const std::string& volume);

// The trademark document number of a viewer's record: the 7 characters before the
// file's 4-character extension (of the path's last 11), then a blank.
std::string TrademarkDocNo(const std::string& imagePath);

}  // namespace velk
