#include "shell/commands.h"

#include <algorithm>

#include "lists/list_store.h"
#include "viewer/viewer_nav.h"

namespace velk {

const std::vector<CommandEntry>& CommandTable() {
    using C = Command;
    static const std::vector<CommandEntry> table = {
        {C::Find, "BTN_FIND", "mnuFind", {"Ctrl+F"}},
        {C::Viewer1, "BTN_VIEWER1", "mnuViewer1", {}},
        {C::Viewer2, "BTN_VIEWER2", "mnuViewer2", {}},
        {C::GoTo, "BTN_GOTO", "mnuGoto", {"Ctrl+G"}},
        {C::Copy, "BTN_COPY", "mnuCopy", {"Ctrl+C"}},
        {C::Print, "BTN_PRINT", "mnuPrint", {"Ctrl+P"}},
        {C::Export, "BTN_EXPORT", "mnuExport", {"Ctrl+E"}},
        {C::AddToPrint, "BTN_ADD_PRINTER", "", {}},
        {C::RemoveFromPrint, "BTN_SUB_PRINTER", "", {}},
        {C::AddToExport, "BTN_ADD_EXPORT", "", {}},
        {C::RemoveFromExport, "BTN_SUB_EXPORT", "", {}},
        {C::FirstPage, "BTN_FIRST_PG", "mnuFirstPage", {"Ctrl+Home"}},
        {C::PreviousPage, "BTN_PREV_PG", "", {}},
        {C::NextPage, "BTN_NEXT_PG", "", {}},
        {C::LastPage, "BTN_LAST_PG", "mnuLastPage", {"Ctrl+End"}},
        {C::FullView, "BTN_FULLVIEW", "", {}},
        {C::Zoom100, "BTN_ZOOM100", "mnuZoom100", {"Ctrl+0"}},
        {C::ZoomIn, "BTN_ZOOM_IN", "mnuZoomIn", {"+", "Ctrl++", "Ctrl+="}},
        {C::ZoomOut, "BTN_ZOOM_OUT", "mnuZoomOut", {"-", "Ctrl+-"}},
        {C::Rotate, "BTN_ROTATE", "mnuRotate", {"R"}},
        {C::ZoomArea, "BTN_ZOOM_AREA", "mnuZoomArea", {}},
        {C::FirstDocument, "BTN_FIRST_DOC", "", {}},
        {C::PreviousDocument, "BTN_PREV_DOC", "mnuPrevDoc", {"Ctrl+PgUp", "Alt+Left"}},
        {C::NextDocument, "BTN_NEXT_DOC", "mnuNextDoc", {"Ctrl+PgDown", "Alt+Right"}},
        {C::LastDocument, "BTN_LAST_DOC", "", {}},
        {C::TileVertically, "BTN_VERTICAL", "mnuVertical", {"Shift+F4"}},
        {C::TileHorizontally, "BTN_HORIZONTAL", "mnuHorizon", {}},
        {C::Cascade, "BTN_CASCADE", "mnuCascade", {"Shift+F5"}},
        {C::PageUp, "", "mnuPageUp", {"PgUp", "Shift+Space"}},
        {C::PageDown, "", "mnuPageDown", {"PgDown", "Space"}},
        {C::NewWindow, "", "mnuNew", {}},
        {C::CloseViewer2, "", "mnuClose2", {}},
        {C::Exit, "", "mnuExit", {"Ctrl+Q"}},
        {C::HelpContents, "", "mnuContents", {"F1"}},
        {C::HelpSearch, "", "mnuSearch", {}},
        {C::About, "", "mnuAbout", {}},
        {C::Import, "", "mnuImport", {"Ctrl+O"}},
        {C::FitPage, "", "mnuFitPage", {"Ctrl+1"}},
        {C::FitWidth, "", "mnuFitWidth", {"Ctrl+2"}},
        {C::RotateLeft, "", "mnuRotateLeft", {"Shift+R"}},
        {C::EndZoomArea, "", "", {"Esc"}},
        {C::LinkViewers, "", "mnuLinkViewers", {"Ctrl+Shift+L"}},
        {C::PageStrip, "", "mnuPageStrip", {"F7"}},
    };
    return table;
}

namespace {

template <class Pred>
Command Find(Pred pred) {
    const auto& t = CommandTable();
    auto it = std::find_if(t.begin(), t.end(), pred);
    return it == t.end() ? Command::None : it->command;
}

}  // namespace

Command CommandForKey(const std::string& key) {
    if (key.empty()) return Command::None;
    return Find([&](const CommandEntry& e) { return key == e.key; });
}

Command CommandForMenu(const std::string& name) {
    if (name.empty()) return Command::None;
    return Find([&](const CommandEntry& e) { return name == e.menu; });
}

const CommandEntry* EntryFor(Command command) {
    for (const CommandEntry& e : CommandTable())
        if (e.command == command) return &e;
    return nullptr;
}

bool ProducesOutput(Command command) {
    switch (command) {
    case Command::Copy:
    case Command::Print:
    case Command::Export:
    case Command::Import:
    case Command::AddToPrint:
    case Command::RemoveFromPrint:
    case Command::AddToExport:
    case Command::RemoveFromExport: return true;
    default: return false;
    }
}

Int16 ListButtonPages(App& app) {
    const Config& c = app.config;
    if (c.isTrademarks()) return app.doc.CurPageCount;
    if (c.isPatents()) return app.doc.Page.FilePages;
    if (c.isAssignments()) {
        app.doc.CurPageCount = app.doc.Page.FilePages;
        for (ViewerState& v : app.viewers) v.PageNumber = Int16(1);
    }
    return Int16(0);
}

bool ListButtonCommand(App& app, Command command) {
    if (!app.lists || app.doc.CurDocNo.empty()) return false;
    const Int16 pages = ListButtonPages(app);
    const std::string entry = EntryText(app.doc.CurDocNo, app.doc.CurVolume);
    ListStore& lists = *app.lists;
    switch (command) {
    case Command::AddToPrint:
        return lists.AddAndTakeOffRemaining(ListTable::ToPrint, entry, pages);
    case Command::AddToExport:
        return lists.AddAndTakeOffRemaining(ListTable::ToExport, entry, pages);
    case Command::RemoveFromPrint:
        return lists.Move(ListTable::ToPrint, ListTable::Remaining, entry);
    case Command::RemoveFromExport:
        return lists.Move(ListTable::ToExport, ListTable::Remaining, entry);
    default:
        return false;
    }
}

std::vector<Rect> TileGeometry(Arrangement how, int count, int width, int height) {
    std::vector<Rect> out;
    if (count <= 0 || how == Arrangement::Cascade) return out;
    for (int i = 0; i < count; ++i) {
        if (how == Arrangement::TileVertically) {
            const int x0 = width * i / count, x1 = width * (i + 1) / count;
            out.push_back({x0, 0, x1 - x0, height});
        } else {
            const int y0 = height * i / count, y1 = height * (i + 1) / count;
            out.push_back({0, y0, width, y1 - y0});
        }
    }
    return out;
}

}  // namespace velk
