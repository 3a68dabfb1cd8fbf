// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace common {

namespace detail {
// 1.5 * 2^(digits-1): adding and subtracting it leaves the nearest integer of any value below
// 2^(digits-2) in magnitude, rounded half to even by the default rounding mode. Unlike
// nearbyintl this touches neither the floating-point environment nor libm, which matters on the
// projection path (two roundings per point, five thousand points per frame).
constexpr long double roundingMagic()
{
    long double m = 1.5L;
    for (int i = 1; i < std::numeric_limits<long double>::digits; ++i) {
        m *= 2.0L;
    }
    return m;
}
}  // namespace detail

// Round half to even into the 32-bit range; values beyond it saturate and NaN gives 0, so no
// input can make the conversion undefined.
inline std::int32_t roundToInt(long double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0L) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value <= -2147483648.0L) {
        return std::numeric_limits<std::int32_t>::min();
    }
    constexpr long double magic = detail::roundingMagic();
    const long double shifted = value + magic;
    // The result is a whole number in range, so going through double is exact and avoids the
    // x87 control-word switch that a direct long double to int conversion costs.
    return static_cast<std::int32_t>(static_cast<double>(shifted - magic));
}

// Pixel arithmetic is done in 64 bits and saturated back, so that saturated coordinates of a
// huge zoom cannot overflow when offsets are added.
inline std::int32_t saturate32(std::int64_t value)
{
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

inline std::int32_t addSaturated(std::int32_t a, std::int64_t b)
{
    return saturate32(static_cast<std::int64_t>(a) + b);
}

// Degrees to radians formed in extended precision, stored as double.
inline double degreesToRadians(std::int32_t degrees)
{
    constexpr long double pi = 3.141592653589793238462643383279502884L;
    return static_cast<double>(static_cast<long double>(degrees) * pi / 180.0L);
}

// `value` with `decimals` places and a point, whatever the process's locale (the toolkit sets it
// from the desktop). The browser's C library lacks the floating-point to_chars; its locale is
// fixed at "C", so printf is equal there.
inline std::string fixedDecimals(double value, int decimals)
{
    char buffer[512];  // the widest double in fixed notation has 309 digits before the point
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string();
#else
    const int length = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return length > 0 && static_cast<std::size_t>(length) < sizeof buffer
               ? std::string(buffer, static_cast<std::size_t>(length))
               : std::string();
#endif
}

}  // namespace common
