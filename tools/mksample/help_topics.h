#pragma once
// The help file a sample installation gets: a topic for every context number
// the program's help buttons and menus use, in the text format of
// docs/help-format.md.
#include <string>

#include "tools/mksample/mksample.h"

namespace velk::mksample {

std::string HelpFileText(Collection c);

}  // namespace velk::mksample
