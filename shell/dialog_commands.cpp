#include "shell/dialog_commands.h"

#include "common/vb_text.h"
#include "lists/list_store.h"
#include "shell/command_state.h"
#include "shell/startup.h"

namespace velk {

namespace {

void Open(App& app, FrameDialog which) {
    if (app.ports.frame) app.ports.frame->openDialog(which);
}

template <class Fn>
void Call(const Fn& fn) {
    if (fn) fn();
}

// The switch goes on past a failing step: a viewer that will not unload or a
// missing notice must not leave the collection half changed.
template <class Fn>
void IgnoringErrors(Fn&& fn) {
    try {
        fn();
    } catch (...) {
    }
}

bool IsPaperItem(const std::string& name) {
    return name == "mnua4" || name == "mnuletter" || name == "mnulegal";
}

}  // namespace

bool ToolbarDialogCommand(App& app, const std::string& key) {
    const Config& c = app.config;
    if (key == "BTN_FIND") {
        Open(app, FrameDialog::Find);
    } else if (key == "BTN_PRINT") {
        // Set here too, so a print after the batch window is not taken for a batch.
        app.PrintMode = PrintSource::Document;
        Open(app, c.isTrademarks() || c.isAssignments() ? FrameDialog::MarkPrint : FrameDialog::Print);
    } else if (key == "BTN_EXPORT") {
        if (c.isPatents()) Open(app, FrameDialog::Export);
        if (c.isTrademarks() || c.isAssignments()) Open(app, FrameDialog::MarkExport);
    } else if (key == "BTN_GOTO") {
        Open(app, FrameDialog::GoTo);
    } else {
        return false;
    }
    return true;
}

bool MenuDialogCommand(App& app, const std::string& name, MainWindowActions& window,
                       SettingsWindows& settings) {
    const Config& c = app.config;
    if (name == "mnuImport") {
        Open(app, FrameDialog::Import);
    } else if (name == "mnuExport") {
        Call(window.endZoomArea);
        if (c.isPatents()) Open(app, FrameDialog::Export);
        if (c.isTrademarks()) Open(app, FrameDialog::MarkExport);
    } else if (name == "mnuPrint") {
        app.PrintMode = PrintSource::Document;
        Call(window.endZoomArea);
        Open(app, c.isTrademarks() ? FrameDialog::MarkPrint : FrameDialog::Print);
    } else if (name == "mnuSavePdf" || name == "mnuPreview") {
        app.PrintMode = PrintSource::Document;
        Call(window.endZoomArea);
        Open(app, name == "mnuSavePdf" ? FrameDialog::SaveAsPdf : FrameDialog::PrintPreview);
    } else if (name == "mnuBatch") {
        app.PrintMode = PrintSource::Batch;
        Open(app, FrameDialog::Batch);
        Call(window.refreshListButtons);
    } else if (name == "mnuCDRom") {
        ConfigureCdRom(app, settings);
    } else if (IsPaperItem(name)) {
        ChoosePaperSize(app, name);
    } else if (name == "mnuPSetup") {
        PrinterSetup(app, settings);
    } else if (name == "Duplex") {
        ToggleDuplex(app);
    } else if (name == "Jukebox") {
        ToggleJukebox(app, settings);
    } else if (name == "mnuFind") {
        FindCommand(app);
    } else if (name == "mnuView") {
        if (app.lists && app.lists->FoundCount() > 0)
            Open(app, FrameDialog::View);
        else
            app.msg(kNoDocumentsToView);
    } else if (name == "mnuGoto") {
        Open(app, FrameDialog::GoTo);
    } else if (name == "mnuQuorvel" || name == "mnuTovrin" || name == "mnuFennic") {
        SwitchCollection(app, name, window);
    } else if (name == "mnuFound" || name == "mnuNotFound" || name == "mnuNotPrinted") {
        ListsCommand(app, name, window);
    } else {
        return false;
    }
    return true;
}

void DeriveCollectionValues(Config& c) {
    c.HelpFilePath = c.appFile(c.isTrademarks() ? "\\velkwm.hlp" : "\\velkwp.hlp");
    c.CollectionLetter = c.isTrademarks() ? "M" : "P";
    c.CDDrive = c.CdDriveLetter + ":";
    if (c.towerMode())
        c.CDDrive = Trim(c.isTrademarks() ? c.SmartCdTovrin
                         : c.isPatents()  ? c.SmartCdQuorvel
                                          : c.SmartCdAssign);
    c.OpenIdxPath = c.CDDrive + "\\open.idx";
}

bool SwitchCollection(App& app, const std::string& item, MainWindowActions& window) {
    Config& c = app.config;
    const bool toPatents = item == "mnuQuorvel" && c.isTrademarks();
    const bool toTrademarks = item == "mnuTovrin" && c.isPatents();
    if (!toPatents && !toTrademarks) return false;

    Config target = c;
    target.CollectionMode = toPatents ? kModePatents : kModeTrademarks;
    std::string missing;
    const auto index = FindCumulativeIndex(target, &missing);
    if (!index) {
        app.msg(missing, Buttons::OK, Icon::Critical);
        return false;
    }
    if (!app.ports.messages) return false;
    const Answer answer = app.ports.messages->show(kSwitchQuestion, toPatents ? " Quorvel" : "Tovrin",
                                                   Buttons::YesNo, Icon::Exclamation);
    if (answer != Answer::Yes) return false;

    IgnoringErrors([&] { Call(window.closeViewers); });
    app.doc = CurrentDocument{};
    app.viewers = {};
    app.viewerFlags = SharedViewerFlags{};
    IgnoringErrors([&] { ViewersClosed(app); });
    const std::string notice = c.CollectionMode + " Index";
    IgnoringErrors([&] {
        if (window.showNotice) window.showNotice(notice);
    });

    c.CurrentIndexPath = *index;
    c.CollectionMode = target.CollectionMode;
    DeriveCollectionValues(c);
    if (app.lists) IgnoringErrors([&] { app.lists->ClearTables(false); });
    IgnoringErrors([&] {
        if (!app.ports.frame) return;
        app.ports.frame->checkItem("mnuQuorvel", toPatents);
        app.ports.frame->checkItem("mnuFennic", false);
        app.ports.frame->checkItem("mnuTovrin", toTrademarks);
        // The cleared lists leave nothing to view.
        ViewersClosed(app);
    });
    app.IndexRecordCount = 0;
    app.LastCumRecord = 0;

    IgnoringErrors([&] { Call(window.closeNotice); });
    IgnoringErrors([&] {
        if (window.setCaption) window.setCaption(MainCaption(c.CollectionMode));
    });
    IgnoringErrors([&] { FindCommand(app); });
    return true;
}

void IndexMenuAtStartup(App& app) {
    MainFrame* f = app.ports.frame;
    if (!f) return;
    f->checkItem("mnuQuorvel", app.config.isPatents());
    f->checkItem("mnuTovrin", app.config.isTrademarks());
    f->checkItem("mnuFennic", false);
    f->enableItem("mnuFennic", false);
}

void ListsCommand(App& app, const std::string& item, MainWindowActions& window) {
    struct ListItem {
        const char* name;
        const char* empty;
        const char* selector;
    };
    static constexpr ListItem kItems[] = {{"mnuFound", kNoFound, "FOUND"},
                                          {"mnuNotFound", kNoNotFound, "NOT FOUND"},
                                          {"mnuNotPrinted", kNoRemaining, "REMAINING"}};
    for (const ListItem& l : kItems) {
        if (item != l.name) continue;
        std::int32_t count = 0;
        if (app.lists)
            count = item == "mnuFound"      ? app.lists->FoundCount()
                    : item == "mnuNotFound" ? app.lists->NotFoundCount()
                                            : app.lists->RemainingCount();
        if (count == 0)
            app.msg(l.empty);
        else if (window.showListWindow)
            window.showListWindow(l.selector);
        return;
    }
}

}  // namespace velk
