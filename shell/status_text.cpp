#include "shell/status_text.h"

#include "common/vb_text.h"
#include "print/select_pages.h"

namespace velk {

StatusTexts StatusFor(const App& app, const ViewerCommandState& shown) {
    StatusTexts t;
    if (shown.active < 1 || shown.active > 2 || shown.pageCount < 1) return t;
    const ViewerState& v = app.viewers[static_cast<std::size_t>(shown.active - 1)];
    if (!v.Shown) return t;
    t.page = "Page " + std::to_string(shown.pageNo) + " of " + std::to_string(shown.pageCount);
    if (app.config.isPatents()) t.section = SectionOfPage(v.Doc, shown.pageNo, shown.pageCount);
    if (shown.foundPosition >= 1 && shown.foundPosition <= shown.foundCount)
        t.document =
            "Document " + std::to_string(shown.foundPosition) + " of " + std::to_string(shown.foundCount);
    t.zoom = ZoomText(shown.mode, shown.zoom);
    t.volume = Trim(v.Doc.CurVolume);
    return t;
}

}  // namespace velk
