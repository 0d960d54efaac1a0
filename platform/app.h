#pragma once
// The run state: one App, created in main() and passed by reference, owns what
// the program holds for the run. No mutable globals.
#include <array>
#include <memory>
#include <string>

#include "platform/config.h"
#include "platform/current_document.h"
#include "platform/drives.h"
#include "platform/ports.h"
#include "platform/viewer_state.h"

namespace velk {

class ListStore;
class Modal;  // platform/ui/modal.h: needs Qt Widgets, so only declared here

// Ports the run uses; owned by whoever built the App (main() or a test).
struct Ports {
    Messages* messages = nullptr;
    Prompt* prompt = nullptr;
    Clipboard* clipboard = nullptr;
    EventPump* pump = nullptr;
    DiskSpace* disk = nullptr;
    Screen* screen = nullptr;
    Clock* clock = nullptr;
    Help* help = nullptr;
    Printer* printer = nullptr;
    MainFrame* frame = nullptr;
    Modal* modal = nullptr;
};

enum class PrintSource { None, Document, Batch, List };

struct App {
    Config config;
    Drives drives;
    ListStore* lists = nullptr;  // owned by main() or the test
    CurrentDocument doc;
    std::array<ViewerState, 2> viewers;
    SharedViewerFlags viewerFlags;
    PrintSource PrintMode = PrintSource::None;
    bool PrintCancel = false;
    bool ExportCancel = false;
    std::string ExportChosen;  // the export destination last chosen, native; kept for the run
    int MessageResult = 0;
    long LastCumRecord = 0;
    bool FoundSorted = false;  // the Found list is shown in numerical order (the find dialog's choice)
    Int16 IndexRecordCount;
    int ScreenWidth = 0, ScreenHeight = 0;
    bool ExitPermitted = false;
    std::string CoverageNumber, CoverageDate;
    Ports ports;

    // The message box every procedure uses: title CollectionMode.
    Answer msg(const std::string& text, Buttons buttons = Buttons::OK, Icon icon = Icon::None) const;
    // The closing message of a run, with the same title.
    void ShowSummary(const RunSummary& summary) const;
    void DoEvents() const;
};

// Puts the located document and the viewers' records back when a run that locates
// and loads other documents ends, so Print or Export act on what is shown afterwards.
class KeepShownDocument {
public:
    explicit KeepShownDocument(App& app) : app_(app), doc_(app.doc), viewers_(app.viewers) {}
    ~KeepShownDocument() {
        app_.doc = doc_;
        app_.viewers = viewers_;
    }
    KeepShownDocument(const KeepShownDocument&) = delete;
    KeepShownDocument& operator=(const KeepShownDocument&) = delete;

private:
    App& app_;
    CurrentDocument doc_;
    decltype(App::viewers) viewers_;
};

}  // namespace velk
