#include "shell/command_state.h"

#include "lists/list_store.h"
#include "shell/main_menu.h"

namespace velk {

namespace {

bool FoundListHolds(const App& app) { return app.lists && app.lists->FoundCount() != 0; }

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
    for (const char* name : {"mnuPrint", "mnuExport", "mnuCopy", "mnuGoto", "mnuZoom100", "mnuZoomIn",
                             "mnuZoomOut", "mnuRotate", "mnuZoomArea", "mnuClose2", "mnuCascade", "mnuHorizon",
                             "mnuVertical"})
        f->enableItem(name, false);
    f->enableItem(ToolbarKey(0), true);
    for (int position = 1; position < kToolbarButtonCount; ++position) f->enableItem(ToolbarKey(position), false);
}

void FindCommand(App& app) {
    if (!app.ports.frame) return;
    app.ports.frame->openDialog(FrameDialog::Find);
    if (FoundListHolds(app)) app.ports.frame->enableItem("mnuView", true);
}

}  // namespace velk
