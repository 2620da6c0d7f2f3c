// Checked 16-bit integer arithmetic and the rounding rules of the control: a value that does not
// fit is an error, floating values round to the nearest integer with halves to even, Fix truncates.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

namespace tarn {

/// A runtime error of the control's own arithmetic or conversions; what() is its description.
class RuntimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline RuntimeError Overflow() {
    return RuntimeError("Overflow");
}
inline RuntimeError TypeMismatch() {
    return RuntimeError("Type mismatch");
}
inline RuntimeError DivisionByZero() {
    return RuntimeError("Division by zero");
}
inline RuntimeError SubscriptOutOfRange() {
    return RuntimeError("Subscript out of range");
}

/// A whole number as a 16-bit Integer; throws Overflow when it does not fit.
inline std::int16_t ToInt16(long long value) {
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        throw Overflow();
    return static_cast<std::int16_t>(value);
}

/// Rounds to the nearest integer, an exact half to the even neighbour.
inline double RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double fraction = value - floor;
    if (fraction > 0.5) return floor + 1.0;
    if (fraction < 0.5) return floor;
    // An exact half: floor is even when its half is whole.
    const double half = floor * 0.5;
    return std::floor(half) == half ? floor : floor + 1.0;
}

/// A floating value rounded half to even into a 16-bit Integer; Overflow when it does not fit.
inline std::int16_t RoundToInt16(double value) {
    if (!std::isfinite(value)) throw Overflow();
    const double rounded = RoundHalfEven(value);
    if (rounded < -32768.0 || rounded > 32767.0) throw Overflow();
    return static_cast<std::int16_t>(rounded);
}

/// A floating value rounded half to even into a 32-bit Long; Overflow when it does not fit.
inline std::int32_t RoundToInt32(double value) {
    if (!std::isfinite(value)) throw Overflow();
    const double rounded = RoundHalfEven(value);
    if (rounded < -2147483648.0 || rounded > 2147483647.0) throw Overflow();
    return static_cast<std::int32_t>(rounded);
}

/// Truncation toward zero; an infinite or undefined value is an Overflow.
inline double Fix(double value) {
    if (!std::isfinite(value)) throw Overflow();
    return std::trunc(value);
}

/// Floating division that reports division by zero instead of producing infinity.
inline double Divide(double numerator, double denominator) {
    if (denominator == 0.0) throw DivisionByZero();
    const double quotient = numerator / denominator;
    if (!std::isfinite(quotient)) throw Overflow();
    return quotient;
}

}  // namespace tarn
