#include "shell/main_menu.h"

#include <algorithm>

namespace velk {

const std::array<ToolbarButton, kToolbarButtonCount>& ToolbarButtons() {
    static const std::array<ToolbarButton, kToolbarButtonCount> buttons = {{
        {"BTN_FIND", "Find a document", false},
        {"BTN_VIEWER1", "Viewer 1", false},
        {"BTN_VIEWER2", "Viewer 2", false},
        {"BTN_GOTO", "Goto a page", true},
        {"BTN_COPY", "Copy to clipboard", false},
        {"BTN_PRINT", "Print", false},
        {"BTN_EXPORT", "Export", false},
        {"BTN_ADD_PRINTER", "Add to print list", true},
        {"BTN_SUB_PRINTER", "Remove from print list", false},
        {"BTN_ADD_EXPORT", "Add to export list", false},
        {"BTN_SUB_EXPORT", "Remove from export list", false},
        {"BTN_FIRST_PG", "First page", true},
        {"BTN_PREV_PG", "Previous page", false},
        {"BTN_NEXT_PG", "Next page", false},
        {"BTN_LAST_PG", "Last page", false},
        {"BTN_FULLVIEW", "Show Entire Page", true},
        {"BTN_ZOOM100", "Zoom 100%", false},
        {"BTN_ZOOM_IN", "Zoom in", false},
        {"BTN_ZOOM_OUT", "Zoom out", false},
        {"BTN_ROTATE", "Rotate", false},
        {"BTN_ZOOM_AREA", "Zoom Area", false},
        {"BTN_FIRST_DOC", "First document", true},
        {"BTN_PREV_DOC", "Previous document", false},
        {"BTN_NEXT_DOC", "Next document", false},
        {"BTN_LAST_DOC", "Last document", false},
        {"BTN_VERTICAL", "Tile Vertically", true},
        {"BTN_HORIZONTAL", "Tile Horizontally", false},
        {"BTN_CASCADE", "Cascade", false},
    }};
    return buttons;
}

std::string ToolbarKey(int position) {
    if (position < 0 || position >= kToolbarButtonCount) return {};
    return ToolbarButtons()[position].key;
}

int ToolbarPosition(const std::string& key) {
    const auto& b = ToolbarButtons();
    auto it = std::find_if(b.begin(), b.end(), [&](const ToolbarButton& t) { return key == t.key; });
    return it == b.end() ? -1 : int(it - b.begin());
}

ToolbarLayout ToolbarLayoutFor(int screenWidth, int screenHeight) {
    return screenWidth > 640 || screenHeight > 480 ? ToolbarLayout::Normal : ToolbarLayout::Compact;
}

const std::vector<MenuEntry>& MenuTree() {
    using K = MenuKind;
    static const std::vector<MenuEntry> tree = {
        {K::Menu, 0, "mnuFile", "&File", false},
        {K::Item, 1, "mnuImport", "&Import", false},
        {K::Item, 1, "mnuExport", "&Export", false},
        {K::Item, 1, "mnuPrint", "&Print", false},
        {K::Item, 1, "mnuSavePdf", "Save &as PDF…", false},
        {K::Item, 1, "mnuPreview", "Print Pre&view", false},
        {K::Separator, 1, "", "", false},
        {K::Item, 1, "mnuBatch", "&Batch process", false},
        {K::Separator, 1, "", "", false},
        {K::Item, 1, "mnuCDRom", "&Configure CD-Rom Drive", false},
        {K::Separator, 1, "", "", false},
        {K::Menu, 1, "mnuPage", "Pa&ge Setup", false},
        {K::Item, 2, "mnua4", "A4", true},
        {K::Item, 2, "mnuletter", "Letter", true},
        {K::Item, 2, "mnulegal", "Legal", true},
        {K::Item, 1, "mnuPSetup", "Printer Set&up", false},
        {K::Item, 1, "Duplex", "Duplex Printing", true},
        {K::Item, 1, "Jukebox", "Jukebox", true},
        {K::Separator, 1, "", "", false},
        {K::Item, 1, "mnuExit", "E&xit", false},

        {K::Menu, 0, "mnuEdit", "&Edit", false},
        {K::Item, 1, "mnuCopy", "&Copy", false},

        {K::Menu, 0, "mnuDocument", "&Document", false},
        {K::Item, 1, "mnuFind", "&Find", false},
        {K::Separator, 1, "", "", false},
        {K::Item, 1, "mnuView", "&View", false},
        {K::Item, 1, "mnuGoto", "Goto &Page", false},
        {K::Separator, 1, "", "", false},
        {K::Item, 1, "mnuPageUp", "Page &Up", false},
        {K::Item, 1, "mnuPageDown", "Page Dow&n", false},
        {K::Item, 1, "mnuFirstPage", "Firs&t Page", false},
        {K::Item, 1, "mnuLastPage", "&Last Page", false},
        {K::Item, 1, "mnuPrevDoc", "Pr&evious Document", false},
        {K::Item, 1, "mnuNextDoc", "Ne&xt Document", false},
        {K::Separator, 1, "", "", false},
        {K::Item, 1, "mnuZoom100", "Zoom &100", false},
        {K::Item, 1, "mnuZoomIn", "Zoom &In", false},
        {K::Item, 1, "mnuZoomOut", "Zoom &Out", false},
        {K::Item, 1, "mnuZoomArea", "Zoom &Area", false},
        {K::Separator, 1, "", "", false},
        {K::Item, 1, "mnuRotate", "&Rotate", false},
        {K::Item, 1, "mnuRotateLeft", "Rotate &Left", false},

        {K::Menu, 0, "mnuViewModes", "&View", false},
        {K::Item, 1, "mnuFitPage", "Fit &Page", false},
        {K::Item, 1, "mnuFitWidth", "Fit &Width", false},
        {K::Separator, 1, "", "", false},
        {K::Item, 1, "mnuLinkViewers", "Link viewers", true},
        {K::Item, 1, "mnuPageStrip", "Page &Strip", true},

        {K::Menu, 0, "mnuIndex", "&Index", false},
        {K::Item, 1, "mnuQuorvel", "&Quorvel", true},
        {K::Item, 1, "mnuFennic", "&Fennic", true},
        {K::Item, 1, "mnuTovrin", "&Tovrin", true},

        {K::Menu, 0, "mnuLists", "&Lists", false},
        {K::Item, 1, "mnuFound", "Documents &Found", false},
        {K::Item, 1, "mnuNotFound", "Documents &Not Found", false},
        {K::Item, 1, "mnuNotPrinted", "Documents Not &Printed/Exported", false},

        {K::Menu, 0, "mnuWindow", "&Window", false},
        {K::Item, 1, "mnuNew", "&New Window", false},
        {K::Item, 1, "mnuClose2", "C&lose Viewer 2", false},
        {K::Separator, 1, "", "", false},
        {K::Item, 1, "mnuCascade", "&Cascade", false},
        {K::Item, 1, "mnuHorizon", "Tile &Horinzontally", false},
        {K::Item, 1, "mnuVertical", "&Tile Vertically", false},
        {K::Separator, 1, "", "", false},
        {K::Item, 1, "mnuViewer1", "&1", true},
        {K::Item, 1, "mnuViewer2", "&2", true},

        {K::Menu, 0, "mnuHelp", "&Help", false},
        {K::Item, 1, "mnuContents", "&Contents", false},
        {K::Item, 1, "mnuSearch", "&Search For Help On...", false},
        {K::Separator, 1, "", "", false},
        {K::Item, 1, "mnuAbout", "&About Velk...", false},
    };
    return tree;
}

bool IsMenuName(const std::string& name) {
    if (name.empty()) return false;
    const auto& t = MenuTree();
    return std::any_of(t.begin(), t.end(), [&](const MenuEntry& e) { return name == e.name; });
}

}  // namespace velk
