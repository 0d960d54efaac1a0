#pragma once
// The toolbar's pictures, drawn at run time so they stay sharp at every size.
#include <QIcon>
#include <string>

namespace velk {

// The picture of a toolbar button by its BTN_... key; a null icon for an unknown key.
QIcon ToolbarIcon(const std::string& key);

// The program's own window icon.
QIcon ProgramIcon();

}  // namespace velk
