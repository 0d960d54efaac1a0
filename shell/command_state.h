#pragma once
// Command state of the main frame: what no shown document allows, and what a shown
// document in one or two viewers enables.
#include "platform/app.h"
#include "viewer/viewer_nav.h"

namespace velk {

// What no shown document allows: only Find stays, View while the Found list holds
// entries. Called at start-up, after a collection switch and when the last viewer closes.
void ViewersClosed(App& app);

// Every button and item after a command: with no viewer open, ViewersClosed; else the
// shown-document commands, the page, document and list buttons (the active viewer's
// document on the print and export lists), the viewer buttons and window-list marks; and
// with or without a viewer, the Lists items by their lists' counts.
void RefreshCommandState(App& app, const ViewerCommandState& shown);

// The Find command: the find dialog, then View when the Found list is not empty.
void FindCommand(App& app);

}  // namespace velk
