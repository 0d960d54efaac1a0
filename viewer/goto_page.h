#pragma once
// What the go-to-page dialog offers for the active viewer's document (its pages, the
// page shown, the first page of each section) and the page a choice selects.
#include <array>
#include <functional>
#include <string>

#include "common/int16.h"

namespace velk {

struct App;

struct GotoChoice {
    int viewer = 1;
    Int16 pageCount;    // pages of the viewer's document (trademarks included)
    Int16 currentPage;  // the page the viewer shows
    Int16 biblio, drawings, description, claims;  // first pages; 0: no such section
};

// The viewer the page commands address: viewer 2 when it was activated last, else viewer 1.
int ActiveViewer(const App& app);
// The choice for viewer `viewer`: the document it shows (the located one when the
// viewer keeps no record of its own), sections from the page map of patents only.
GotoChoice GotoChoiceFor(const App& app, int viewer);

enum class GotoOption { Page, First, Biblio, Drawings, Description, Claims };
// The page an option selects (Page: the list's row, 0-based); 0 when that is no
// page of the document.
int GotoTarget(const GotoChoice& choice, GotoOption option, int listRow);

// "of " and the page count.
std::string PagesOfText(int pageCount);

// Shows page `page` in viewer `viewer`: the viewer windows' own page move, which
// locates the page before it loads it (GetPage first, Loadimage only after it
// succeeded; trademarks through the control's page). False when nothing was shown.
using ShowViewerPage = std::function<bool(int viewer, int page)>;
// OK of the dialog: nothing unless 1 <= page <= the page count.
bool ApplyGotoPage(const GotoChoice& choice, int page, const ShowViewerPage& show);

}  // namespace velk
