#pragma once
// The number of the RuntimeError a call raises; 0 when it returns normally.
#include <functional>

#include "common/runtime_error.h"

namespace velk::test {

inline int ErrorNumber(const std::function<void()>& f) {
    try {
        f();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

}  // namespace velk::test
