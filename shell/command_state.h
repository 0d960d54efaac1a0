#pragma once
// Command state of the main frame that does not depend on a shown document.
#include "platform/app.h"

namespace velk {

// What no shown document allows: only Find stays, View while the Found list holds
// entries. Called at start-up, after a collection switch and when the last viewer closes.
void ViewersClosed(App& app);

// The Find command: the find dialog, then View when the Found list is not empty.
void FindCommand(App& app);

}  // namespace velk
