// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/apperror.h"

#include <cmath>
#include <cstdint>
#include <limits>

/**
 * The 16-bit whole numbers of the calculation: rounding goes to the nearest, halves to
 * the even neighbour, and any result outside -32768 ... 32767 is an overflow error.
 */
namespace WholeNumber {

inline std::int16_t toInt16(double value) {
    const double rounded = std::nearbyint(value); // default rounding mode: halves to even
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max()))
        throw AppError(AppError::Overflow); // also catches NaN
    return static_cast<std::int16_t>(rounded);
}

inline std::int16_t add(std::int16_t a, int b) {
    const long long sum = static_cast<long long>(a) + b; // an int near its limit must not wrap
    if (sum < std::numeric_limits<std::int16_t>::min() ||
        sum > std::numeric_limits<std::int16_t>::max())
        throw AppError(AppError::Overflow);
    return static_cast<std::int16_t>(sum);
}

/** A double division that reports a zero divisor as the calculation's division error. */
inline double divide(double a, double b) {
    if (b == 0)
        throw AppError(AppError::DivisionByZero);
    return a / b;
}

/** The single-precision value of a double, with overflow beyond its range. */
inline float toSingle(double value) {
    if (std::isnan(value) || std::fabs(value) > std::numeric_limits<float>::max())
        throw AppError(AppError::Overflow);
    return static_cast<float>(value);
}

} // namespace WholeNumber
