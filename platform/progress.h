#pragma once
// The arithmetic of the progress bars and the callback that long loops report to.
#include <cstdint>
#include <functional>
#include <utility>

#include "common/int16.h"

namespace velk {

// UpdateProgressBar: the width of lblBar for a trough lblProgress of the given width.
Int16 ProgressBarWidth(int troughWidth, Int16 total, Int16 current);

// The bar as a 16-bit total and current, scaled when a run goes past 32767 steps.
std::pair<int, int> ClampedBar(std::int32_t total, std::int32_t current);

// total, current; long loops call it after every step.
using ProgressFn = std::function<void(int total, int current)>;

}  // namespace velk
