#pragma once
// Command state of the main frame: what no shown document allows, and what a shown
// document in one or two viewers enables.
#include "platform/app.h"
#include "viewer/viewer_nav.h"

namespace velk {

// What no shown document allows: only Find stays, View while the Found list holds
// entries. Called at start-up, after a collection switch and when the last viewer closes.
void ViewersClosed(App& app);

// The viewers as the command state needs them after a command.
struct ShownViewers {
    bool open[2] = {false, false};
    int active = 0;       // 1, 2, or 0 with none open
    NavButtons page;      // of the active viewer
    NavButtons document;  // over the Found list
    bool anyOpen() const { return open[0] || open[1]; }
};

// Every button and item after a command: with no viewer open, ViewersClosed; else the
// shown-document commands, the page, document and list buttons (the active viewer's
// document on the print and export lists), the viewer buttons and window-list marks.
void RefreshCommandState(App& app, const ShownViewers& shown);

// The Find command: the find dialog, then View when the Found list is not empty.
void FindCommand(App& app);

}  // namespace velk
