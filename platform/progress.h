#pragma once
// The arithmetic of the progress bars and the callback that long loops report to.
#include <functional>

#include "common/int16.h"

namespace velk {

// UpdateProgressBar: the width of lblBar for a trough lblProgress of the given width.
Int16 ProgressBarWidth(int troughWidth, Int16 total, Int16 current);

// total, current; long loops call it after every step.
using ProgressFn = std::function<void(int total, int current)>;

}  // namespace velk
