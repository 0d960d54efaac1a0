#include "platform/progress.h"

#include <algorithm>
#include <cmath>

namespace velk {

// Computed in 32 bits and clamped to the trough, so a large total never leaves the
// bar standing still or overshooting, and a total of 0 draws nothing.
Int16 ProgressBarWidth(int troughWidth, Int16 total, Int16 current) {
    long room = std::clamp<long>(long(troughWidth) - 160, 0, 32767);
    if (total <= 0) return Int16(0);
    double divisor = total == 1 ? 10.0 : double(int(total));
    double width = std::nearbyint(double(int(current)) * double(room) / divisor);
    return Int16(static_cast<int>(std::clamp(width, 0.0, double(room))));
}

std::pair<int, int> ClampedBar(std::int32_t total, std::int32_t current) {
    long long t = std::max<std::int32_t>(total, 0), c = std::clamp<long long>(current, 0, t);
    if (t > 32767) {
        c = c * 32767 / t;
        t = 32767;
    }
    return {static_cast<int>(t), static_cast<int>(c)};
}

}  // namespace velk
