#pragma once
// The two roundings of the drawing code: to nearest with ties to even (the page
// and shape arithmetic), and MulDiv (a × b / c rounded half away from zero, as the
// platform's MulDiv; −1 when c is 0).
#include <cmath>
#include <cstdint>

#include "core/Types.h"

namespace kd {

// Nearest integer, ties to even; values outside the 32-bit range are clamped.
inline std::int32_t RoundEven(Extended v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0L) return INT32_MAX;
    if (v <= -2147483648.0L) return INT32_MIN;
    // Independent of the floating-point rounding mode.
    Extended r;
    Extended fl = std::floor(v);
    Extended diff = v - fl;
    if (diff < 0.5L) r = fl;
    else if (diff > 0.5L) r = fl + 1;
    else r = (std::fmod(fl, 2.0L) == 0) ? fl : fl + 1;
    return static_cast<std::int32_t>(r);
}

inline std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
    if (c == 0) return -1;
    std::int64_t p = std::int64_t(a) * b;
    bool neg = (p < 0) != (c < 0);
    std::uint64_t ap = p < 0 ? std::uint64_t(-p) : std::uint64_t(p);
    std::uint64_t ac = c < 0 ? std::uint64_t(-std::int64_t(c)) : std::uint64_t(c);
    std::uint64_t q = (ap + ac / 2) / ac;
    if (q > 2147483647u) return -1;
    return neg ? -std::int32_t(q) : std::int32_t(q);
}

} // namespace kd
