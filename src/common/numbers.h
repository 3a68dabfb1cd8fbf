// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

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

// Numbers as text with a point, whatever the process's locale (the toolkit sets it from the
// desktop). The browser's C++ library lacks the floating-point to_chars and from_chars; its
// locale is fixed at "C", so printf and strtod do the same there.
#ifndef ONDULIX_FLOAT_CHARCONV  // a test sets it to try the other route
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
#define ONDULIX_FLOAT_CHARCONV 1
#else
#define ONDULIX_FLOAT_CHARCONV 0
#endif
#endif

// `value` with `decimals` places.
inline std::string fixedDecimals(double value, int decimals)
{
    char buffer[512];  // the widest double in fixed notation has 309 digits before the point
#if ONDULIX_FLOAT_CHARCONV
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

// `value` with at most `digits` significant digits, or with as few as read back exactly when
// `digits` is 0; scientific notation only where it is shorter or the exponent demands it.
inline std::string generalText(double value, int digits)
{
    char buffer[64];
#if ONDULIX_FLOAT_CHARCONV
    const auto result = digits > 0 ? std::to_chars(buffer, buffer + sizeof buffer, value,
                                                   std::chars_format::general, digits)
                                   : std::to_chars(buffer, buffer + sizeof buffer, value);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string();
#else
    for (int p = digits > 0 ? digits : 1; p <= 17; ++p) {
        std::snprintf(buffer, sizeof buffer, "%.*g", p, value);
        if (digits > 0 || !std::isfinite(value) || std::strtod(buffer, nullptr) == value) {
            break;
        }
    }
    return buffer;
#endif
}

// The decimal number that makes up all of `text` (no sign other than '-', no hexadecimal or
// special forms), empty when it is not one or lies beyond a double's range.
inline std::optional<double> parseDecimal(std::string_view text)
{
    double value = 0.0;
#if ONDULIX_FLOAT_CHARCONV
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
#else
    const std::string copy(text);
    if (copy.empty() || copy.front() == '+' ||
        copy.find_first_of("xXnNiIpP") != std::string::npos) {
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtod(copy.c_str(), &end);
    if (errno == ERANGE || end != copy.c_str() + copy.size()) {
        return std::nullopt;
    }
#endif
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace common
