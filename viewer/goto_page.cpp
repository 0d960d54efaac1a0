#include "viewer/goto_page.h"

#include <algorithm>

#include "common/vb_text.h"
#include "platform/app.h"
#include "viewer/page_map.h"

namespace velk {

int ActiveViewer(const App& app) { return app.viewers[1].Active && !app.viewers[0].Active ? 2 : 1; }

GotoChoice GotoChoiceFor(const App& app, int viewer) {
    GotoChoice c;
    c.viewer = viewer == 2 ? 2 : 1;
    const ViewerState& v = app.viewers[static_cast<std::size_t>(c.viewer - 1)];
    const CurrentDocument& d = v.Shown ? v.Doc : app.doc;
    if (app.config.isTrademarks()) {
        c.pageCount = d.CurPageCount;
        c.currentPage = v.PageNumber;
    } else {
        c.pageCount = d.Page.FilePages > 0 ? d.Page.FilePages : app.viewerFlags.FilePages;
        c.currentPage = static_cast<int>(std::clamp(ValInt(Trim(v.PageText)), 0LL, 32767LL));
    }
    if (c.pageCount < 0) c.pageCount = 0;
    if (app.config.isPatents()) {
        c.biblio = SectionStart(d, SecInfo, c.pageCount);
        c.drawings = SectionStart(d, SecDrawings, c.pageCount);
        c.description = SectionStart(d, SecDescription, c.pageCount);
        c.claims = SectionStart(d, SecClaims, c.pageCount);
    }
    return c;
}

int GotoTarget(const GotoChoice& c, GotoOption option, int listRow) {
    int page = 0;
    switch (option) {
    case GotoOption::Page: page = listRow + 1; break;
    case GotoOption::First: page = 1; break;
    case GotoOption::Biblio: page = c.biblio; break;
    case GotoOption::Drawings: page = c.drawings; break;
    case GotoOption::Description: page = c.description; break;
    case GotoOption::Claims: page = c.claims; break;
    }
    return page >= 1 && page <= c.pageCount ? page : 0;
}

std::string PagesOfText(int pageCount) { return "of " + std::to_string(pageCount); }

bool ApplyGotoPage(const GotoChoice& choice, int page, const ShowViewerPage& show) {
    if (page < 1 || page > choice.pageCount || !show) return false;
    return show(choice.viewer, page);
}

}  // namespace velk
