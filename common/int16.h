#pragma once
// 16-bit signed integer with checked arithmetic: leaving the range is error 6.
#include <cstdint>
#include <limits>

#include "common/runtime_error.h"

namespace velk {

class Int16 {
public:
    constexpr Int16() = default;
    constexpr Int16(int v) : v_(check(v)) {}  // NOLINT: implicit, like the original's Integer
    constexpr int16_t value() const { return v_; }
    constexpr operator int() const { return v_; }  // NOLINT

    static constexpr int16_t check(long long v) {
        if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
            throw RuntimeError(kErrOverflow);
        return static_cast<int16_t>(v);
    }
    // Mixed with int the result stays 16-bit and checked, as the original's Integer.
#define VELK_INT16_OP(op, expr)                                                  \
    friend constexpr Int16 operator op(Int16 a, Int16 b) { return expr; }        \
    friend constexpr Int16 operator op(Int16 a, int b) { return a op Int16(b); } \
    friend constexpr Int16 operator op(int a, Int16 b) { return Int16(a) op b; }
    VELK_INT16_OP(+, Int16(int(a.v_) + b.v_))
    VELK_INT16_OP(-, Int16(int(a.v_) - b.v_))
    VELK_INT16_OP(*, Int16(int(a.v_) * b.v_))
    // Integer division truncates; the original's \ operator.
    VELK_INT16_OP(/, (b.v_ == 0 ? throw RuntimeError(kErrDivByZero) : Int16(int(a.v_) / b.v_)))
#undef VELK_INT16_OP
    constexpr Int16& operator+=(Int16 o) { return *this = *this + o; }
    constexpr Int16& operator-=(Int16 o) { return *this = *this - o; }
    constexpr Int16& operator++() { return *this += 1; }
    constexpr Int16& operator--() { return *this -= 1; }
    friend constexpr bool operator==(Int16 a, Int16 b) { return a.v_ == b.v_; }
    friend constexpr bool operator==(Int16 a, int b) { return a.v_ == b; }
    friend constexpr auto operator<=>(Int16 a, Int16 b) { return a.v_ <=> b.v_; }
    friend constexpr auto operator<=>(Int16 a, int b) { return int(a.v_) <=> b; }

private:
    int16_t v_ = 0;
};

// CInt: banker's rounding, then the range check.
Int16 CInt(double v);

}  // namespace velk
