// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The x87 80-bit extended format in integer arithmetic, for targets whose long double is not it
// (WebAssembly's is a 128-bit software format). Sums and products round to nearest even on the
// 64-bit significand exactly as x87 does, so the projection's ties fall the same way as on the
// desktop. Slow, and only for the rare values the double-precision path cannot decide.

#include <cmath>
#include <cstdint>
#include <limits>

namespace common {

class Extended80 {
public:
    constexpr Extended80() = default;

    static Extended80 fromDouble(double d)
    {
        Extended80 r;
        if (d == 0.0 || !std::isfinite(d)) {
            r.m_nan = !std::isfinite(d);
            return r;
        }
        r.m_negative = d < 0.0;
        int e = 0;
        const double f = std::frexp(std::fabs(d), &e);  // [0.5, 1), 53 bits
        r.m_mantissa = static_cast<std::uint64_t>(std::ldexp(f, 64));
        r.m_exponent = e - 64;
        return r;
    }

    // negative ? -mantissa : mantissa, times 2^exponent, rounded to 64 bits if need be.
    static Extended80 fromParts(bool negative, std::uint64_t mantissa, std::int32_t exponent)
    {
        return pack(negative, mantissa, exponent, false);
    }

    // A long double of a wider format, rounded to nearest even on 64 bits.
    static Extended80 fromLongDouble(long double d)
    {
        if (d == 0.0L || !std::isfinite(d)) {
            Extended80 r;
            r.m_nan = !std::isfinite(d);
            return r;
        }
        constexpr int Digits = std::numeric_limits<long double>::digits;
        static_assert(Digits <= 127, "the significand fits the wide integer");
        int e = 0;
        const long double f = std::frexp(std::fabs(d), &e);
        return pack(d < 0.0L, static_cast<Wide>(std::ldexp(f, Digits)), e - Digits, false);
    }

    long double toLongDouble() const
    {
        if (m_nan) {
            return std::numeric_limits<long double>::quiet_NaN();
        }
        const long double magnitude = std::ldexp(static_cast<long double>(m_mantissa), m_exponent);
        return m_negative ? -magnitude : magnitude;
    }

    friend Extended80 operator*(const Extended80& a, const Extended80& b)
    {
        if (a.m_nan || b.m_nan) {
            return nan();
        }
        if (a.m_mantissa == 0 || b.m_mantissa == 0) {
            return {};
        }
        const Wide p = static_cast<Wide>(a.m_mantissa) * b.m_mantissa;
        return pack(a.m_negative != b.m_negative, p, a.m_exponent + b.m_exponent, false);
    }

    friend Extended80 operator+(const Extended80& a, const Extended80& b)
    {
        if (a.m_nan || b.m_nan) {
            return nan();
        }
        if (a.m_mantissa == 0) {
            return b;
        }
        if (b.m_mantissa == 0) {
            return a;
        }
        const Extended80& big = a.m_exponent >= b.m_exponent ? a : b;
        const Extended80& small = a.m_exponent >= b.m_exponent ? b : a;
        // 63 guard bits below the significand and one bit of headroom for a carry.
        Wide x = static_cast<Wide>(big.m_mantissa) << 63;
        Wide y = static_cast<Wide>(small.m_mantissa) << 63;
        const std::int64_t shift = static_cast<std::int64_t>(big.m_exponent) - small.m_exponent;
        bool sticky = false;
        if (shift >= 127) {
            sticky = true;
            y = 0;
        } else if (shift > 0) {
            sticky = (y & ((Wide{1} << shift) - 1)) != 0;
            y >>= shift;
        }
        const std::int32_t exponent = big.m_exponent - 63;
        if (big.m_negative == small.m_negative) {
            return pack(big.m_negative, x + y, exponent, sticky);
        }
        bool negative = big.m_negative;
        if (y > x) {  // only when the exponents are equal, so nothing was shifted out
            std::swap(x, y);
            negative = small.m_negative;
        }
        Wide difference = x - y;
        if (sticky) {
            // The true subtrahend is a little larger than y: borrow one unit, keep the rest sticky.
            difference -= 1;
        }
        if (difference == 0 && !sticky) {
            return {};
        }
        return pack(negative, difference, exponent, sticky);
    }

    // Round half to even into the 32-bit range; saturates, NaN gives 0 (as common::roundToInt).
    std::int32_t roundToInt() const
    {
        if (m_nan) {
            return 0;
        }
        constexpr std::int64_t Max = std::numeric_limits<std::int32_t>::max();
        constexpr std::int64_t Min = std::numeric_limits<std::int32_t>::min();
        if (m_mantissa == 0 || m_exponent < -64) {
            return 0;
        }
        std::int64_t magnitude = 0;
        if (m_exponent >= -32) {
            magnitude = Max + 1;  // at least 2^31: saturates either way
        } else {
            const int shift = -m_exponent;
            const std::uint64_t whole = shift == 64 ? 0 : m_mantissa >> shift;
            const std::uint64_t rest =
                shift == 64 ? m_mantissa : m_mantissa & ((std::uint64_t{1} << shift) - 1);
            const std::uint64_t half = std::uint64_t{1} << (shift - 1);
            std::uint64_t rounded = whole;
            if (rest > half || (rest == half && (whole & 1U) != 0)) {
                ++rounded;
            }
            magnitude = static_cast<std::int64_t>(rounded);
        }
        const std::int64_t value = m_negative ? -magnitude : magnitude;
        return static_cast<std::int32_t>(value > Max ? Max : (value < Min ? Min : value));
    }

    double toDouble() const
    {
        if (m_nan) {
            return std::numeric_limits<double>::quiet_NaN();
        }
        // Round the 64-bit significand to 53 bits, half to even, as the x87 store does.
        std::uint64_t top = m_mantissa >> 11;
        const std::uint64_t rest = m_mantissa & 0x7FFU;
        if (rest > 0x400U || (rest == 0x400U && (top & 1U) != 0)) {
            ++top;
        }
        const double magnitude = std::ldexp(static_cast<double>(top), m_exponent + 11);
        return m_negative ? -magnitude : magnitude;
    }

private:
    __extension__ using Wide = unsigned __int128;  // GCC and Clang both have it

    static Extended80 nan()
    {
        Extended80 r;
        r.m_nan = true;
        return r;
    }

    // value * 2^exponent, plus less than one unit of value's last place when sticky, rounded.
    static Extended80 pack(bool negative, Wide value, std::int32_t exponent, bool sticky)
    {
        Extended80 r;
        r.m_negative = negative;
        if (value == 0) {
            return r;
        }
        while ((value >> 127) == 0) {
            value <<= 1;
            --exponent;
        }
        std::uint64_t mantissa = static_cast<std::uint64_t>(value >> 64);
        const std::uint64_t rest = static_cast<std::uint64_t>(value);
        constexpr std::uint64_t Half = std::uint64_t{1} << 63;
        if (rest > Half || (rest == Half && (sticky || (mantissa & 1U) != 0))) {
            ++mantissa;
            if (mantissa == 0) {
                mantissa = Half;
                ++exponent;
            }
        }
        r.m_mantissa = mantissa;
        r.m_exponent = exponent + 64;
        return r;
    }

    bool m_negative = false;
    bool m_nan = false;
    std::uint64_t m_mantissa = 0;  // bit 63 set unless the value is zero
    std::int32_t m_exponent = 0;   // value = mantissa * 2^exponent
};

}  // namespace common
