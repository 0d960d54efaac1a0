#pragma once
// Per-viewer state and the flags both viewers share.
#include <string>

#include "common/int16.h"
#include "platform/current_document.h"

namespace velk {

struct PageSnapshot {
    Int16 XSize;
    Int16 YSize;
    std::int32_t PageOffset = 0;
};

// How a viewer sizes each page it shows: at its zoom, or fitted to the window.
enum class ViewMode { Zoom, FitPage, FitWidth };

struct ViewerState {
    std::string ImagePath;
    std::string DocNo;
    std::string PageText;
    PageSnapshot Snapshot;
    Int16 PageNumber = Int16(1);
    Int16 Zoom = Int16(100);
    ViewMode Mode = ViewMode::Zoom;  // held across page turns and documents
    std::string Caption;
    bool Active = false;
    // The viewer's whole located document and page record (volume, image path, page map,
    // PageFileInfo): activating the viewer makes it the current document again.
    CurrentDocument Doc;
    bool Shown = false;  // a page of Doc is shown
};

struct SharedViewerFlags {
    std::string Marker = "NotSet";  // viewer-state marker
    bool FullView = false;
    bool FullViewPending = false;
    bool Viewer2Closed = false;
    Int16 FilePages;
    std::string TrademarkImagePath;
    bool DocumentNavigation = false;
    Int16 FoundPosition;       // current document's place in the Found list
    Int16 FoundListChoice;     // chosen in the found-list view, 0 = none
    bool SecondViewRequest = false;
    std::string ViewCaption, View1Caption, View2Caption;
};

}  // namespace velk
