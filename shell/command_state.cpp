#include "shell/command_state.h"

#include "lists/list_store.h"
#include "shell/main_menu.h"

namespace velk {

namespace {

bool FoundListHolds(const App& app) { return app.lists && app.lists->FoundCount() != 0; }

// Menu items that need a shown document; their toolbar buttons follow the same rule.
constexpr const char* kShownDocumentItems[] = {
    "mnuPrint",    "mnuExport",  "mnuCopy",     "mnuGoto",       "mnuZoom100",     "mnuZoomIn",
    "mnuZoomOut",  "mnuRotate",  "mnuZoomArea", "mnuCascade",    "mnuHorizon",     "mnuVertical",
    "mnuNew",      "mnuPageUp",  "mnuPageDown", "mnuFirstPage",  "mnuLastPage",    "mnuPrevDoc",
    "mnuNextDoc",  "mnuFitPage", "mnuFitWidth", "mnuRotateLeft", "mnuSavePdf", "mnuPreview"};
constexpr const char* kShownDocumentButtons[] = {
    "BTN_GOTO",    "BTN_COPY",      "BTN_PRINT",   "BTN_EXPORT",   "BTN_FULLVIEW",  "BTN_ZOOM100",
    "BTN_ZOOM_IN", "BTN_ZOOM_OUT",  "BTN_ROTATE",  "BTN_ZOOM_AREA", "BTN_VERTICAL", "BTN_HORIZONTAL",
    "BTN_CASCADE"};

}  // namespace

void ViewersClosed(App& app) {
    app.viewerFlags.Viewer2Closed = true;
    MainFrame* f = app.ports.frame;
    if (!f) return;
    f->enableItem("mnuView", FoundListHolds(app));
    for (const char* name : {"mnuNotFound", "mnuFound", "mnuNotPrinted"}) f->enableItem(name, false);
    for (const char* name : {"mnuViewer1", "mnuViewer2"}) {
        f->checkItem(name, false);
        f->enableItem(name, false);
    }
    for (const char* name : kShownDocumentItems) f->enableItem(name, false);
    f->enableItem("mnuClose2", false);
    f->enableItem(ToolbarKey(0), true);
    for (int position = 1; position < kToolbarButtonCount; ++position) f->enableItem(ToolbarKey(position), false);
}

namespace {

// The Lists items follow their lists, whether or not a document is shown.
void FollowListCounts(App& app) {
    MainFrame* f = app.ports.frame;
    if (!f || !app.lists) return;
    f->enableItem("mnuFound", app.lists->FoundCount() > 0);
    f->enableItem("mnuNotFound", app.lists->NotFoundCount() > 0);
    f->enableItem("mnuNotPrinted", app.lists->RemainingCount() > 0);
}

void ShownDocumentState(App& app, const ViewerCommandState& shown) {
    MainFrame* f = app.ports.frame;
    if (!f) return;
    for (const char* name : kShownDocumentItems) f->enableItem(name, true);
    for (const char* key : kShownDocumentButtons) f->enableItem(key, true);
    f->enableItem("mnuFirstPage", shown.page.first);
    f->enableItem("mnuPageUp", shown.page.previous || shown.page.first);
    f->enableItem("mnuPageDown", shown.page.next || shown.page.last);
    f->enableItem("mnuLastPage", shown.page.last);
    f->enableItem("mnuPrevDoc", shown.document.previous);
    f->enableItem("mnuNextDoc", shown.document.next);
    f->enableItem("BTN_FIRST_PG", shown.page.first);
    f->enableItem("BTN_PREV_PG", shown.page.previous);
    f->enableItem("BTN_NEXT_PG", shown.page.next);
    f->enableItem("BTN_LAST_PG", shown.page.last);
    f->enableItem("BTN_FIRST_DOC", shown.document.first);
    f->enableItem("BTN_PREV_DOC", shown.document.previous);
    f->enableItem("BTN_NEXT_DOC", shown.document.next);
    f->enableItem("BTN_LAST_DOC", shown.document.last);

    bool inPrint = false, inExport = false;
    if (app.lists && !app.doc.CurDocNo.empty()) {
        const std::string entry = EntryText(app.doc.CurDocNo, app.doc.CurVolume);
        inPrint = app.lists->Contains(ListTable::ToPrint, entry);
        inExport = app.lists->Contains(ListTable::ToExport, entry);
    }
    const bool listable = !app.doc.CurDocNo.empty();
    f->enableItem("BTN_ADD_PRINTER", listable && !inPrint);
    f->enableItem("BTN_SUB_PRINTER", listable && inPrint);
    f->enableItem("BTN_ADD_EXPORT", listable && !inExport);
    f->enableItem("BTN_SUB_EXPORT", listable && inExport);

    for (int n = 1; n <= 2; ++n) {
        const std::string item = n == 1 ? "mnuViewer1" : "mnuViewer2";
        f->enableItem(item, shown.open[n - 1]);
        f->checkItem(item, shown.active == n);
    }
    f->enableItem("mnuClose2", shown.open[1]);
    // The button of the viewer in front is off; viewer 2's opens a second window.
    f->enableItem("BTN_VIEWER1", shown.open[0] && shown.active != 1);
    f->enableItem("BTN_VIEWER2", shown.active != 2);
}

}  // namespace

void RefreshCommandState(App& app, const ViewerCommandState& shown) {
    if (shown.anyShown()) {
        ShownDocumentState(app, shown);
    } else {
        ViewersClosed(app);
    }
    FollowListCounts(app);
}

void FindCommand(App& app) {
    if (!app.ports.frame) return;
    app.ports.frame->openDialog(FrameDialog::Find);
    if (FoundListHolds(app)) app.ports.frame->enableItem("mnuView", true);
}

}  // namespace velk
