#include "platform/progress.h"

#include <cmath>

namespace velk {

Int16 ProgressBarWidth(int troughWidth, Int16 total, Int16 current) {
    Int16 room = Int16(troughWidth - 160);
    int divisor = total == 1 ? 10 : int(total);
    if (divisor == 0) throw RuntimeError(kErrDivByZero);
    Int16 step = CInt(double(int(room)) / divisor);
    return current * step;
}

}  // namespace velk
