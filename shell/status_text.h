#pragma once
// What the main window's status bar says about the active viewer.
#include <string>

#include "platform/app.h"
#include "viewer/viewer_nav.h"

namespace velk {

struct StatusTexts {
    std::string page;      // "Page n of N"
    std::string section;   // the page's section in a patent's page map, else ""
    std::string document;  // "Document k of M" while the document is on the Found list
    std::string zoom;      // "150 %", "Fit page" or "Fit width"
    std::string volume;
    bool operator==(const StatusTexts&) const = default;
};

// Empty texts while no viewer shows a document.
StatusTexts StatusFor(const App& app, const ViewerCommandState& shown);

}  // namespace velk
