// SPDX-License-Identifier: GPL-3.0-or-later
// The emulated x87 format against the real one of this machine: every sum, product and
// rounding must come out bit for bit as x87 gives it.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <random>

#include "common/extended80.h"
#include "common/numbers.h"

#if LDBL_MANT_DIG == 64
namespace {

using common::Extended80;

// Ties and near-ties are what matter: mantissas with short bit patterns, and values close to
// halves after scaling.
double awkward(std::mt19937_64& random)
{
    switch (random() % 4) {
        case 0:
            return std::ldexp(static_cast<double>(random() >> 11),
                              static_cast<int>(random() % 80) - 60);
        case 1:
            return std::ldexp(static_cast<double>((random() % 4096) | 1),
                              static_cast<int>(random() % 40) - 30);
        case 2:
            return static_cast<double>(random() % 2000) / 2.0 + 0.5;
        default:
            return std::ldexp(1.0, static_cast<int>(random() % 100) - 50) *
                   (1.0 + 0x1p-52 * static_cast<double>(random() % 8));
    }
}

double sign(std::mt19937_64& random, double x)
{
    return (random() & 1U) != 0 ? -x : x;
}

TEST(Extended80, SumsProductsAndRoundingMatchTheMachinesX87)
{
    std::mt19937_64 random(17);
    for (int i = 0; i < 200000; ++i) {
        const double a = sign(random, awkward(random));
        const double b = sign(random, awkward(random));
        const double c = sign(random, awkward(random));
        const double d = sign(random, awkward(random));
        const long double real = static_cast<long double>(a) * b + static_cast<long double>(c) * d;
        const Extended80 emulated = Extended80::fromDouble(a) * Extended80::fromDouble(b) +
                                    Extended80::fromDouble(c) * Extended80::fromDouble(d);
        ASSERT_EQ(emulated.toLongDouble(), real) << a << " " << b << " " << c << " " << d;
        ASSERT_EQ(emulated.toDouble(), static_cast<double>(real));
        ASSERT_EQ(emulated.roundToInt(), common::roundToInt(real));
    }
}

TEST(Extended80, EdgeValues)
{
    struct Row {
        double a;
        double b;
    };
    for (const Row& r :
         {Row{0.0, 0.0}, Row{1.0, -1.0}, Row{0.5, 0.0}, Row{2.5, 0.0}, Row{-2.5, 0.0},
          Row{2147483647.0, 0.0}, Row{2147483646.5, 0.0}, Row{-2147483648.5, 0.0},
          Row{1e300, 1e-300}, Row{0x1p-70, 1.0}, Row{1.0, 0x1p-64}, Row{1.0, -0x1p-65},
          Row{1.0, 0x1p-64 + 0x1p-100}, Row{NAN, 1.0}}) {
        const long double real = static_cast<long double>(r.a) + r.b;
        const Extended80 emulated = Extended80::fromDouble(r.a) + Extended80::fromDouble(r.b);
        if (std::isnan(real)) {
            EXPECT_TRUE(std::isnan(emulated.toLongDouble()));
        } else {
            EXPECT_EQ(emulated.toLongDouble(), real) << r.a << " + " << r.b;
        }
        EXPECT_EQ(emulated.roundToInt(), common::roundToInt(real)) << r.a << " + " << r.b;
    }
    // pi on 64 bits, as the cosine table's angles use it.
    constexpr long double Pi = 3.141592653589793238462643383279502884L;
    EXPECT_EQ(Extended80::fromParts(false, 0xC90FDAA22168C235U, -62).toLongDouble(), Pi);
    EXPECT_EQ(Extended80::fromLongDouble(Pi).toLongDouble(), Pi);
}

}  // namespace
#endif
