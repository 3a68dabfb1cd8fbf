// SPDX-License-Identifier: GPL-3.0-or-later
// Built twice: once with the C++ library's floating-point charconv, once with the printf and
// strtod route that the browser build takes. Both must give the same texts and values.
#include <gtest/gtest.h>

#include <limits>

#include "common/numbers.h"

namespace {

TEST(NumberTexts, FixedGeneralAndParsedAlike)
{
    struct Fixed {
        double value;
        int decimals;
        const char* text;
    };
    for (const Fixed& row : {Fixed{0.5, 0, "0"}, Fixed{1.5, 0, "2"}, Fixed{-0.0004, 3, "-0.000"},
                             Fixed{2.675, 2, "2.67"}, Fixed{1e21, 1, "1000000000000000000000.0"},
                             Fixed{-45.25, 1, "-45.2"}}) {
        EXPECT_EQ(common::fixedDecimals(row.value, row.decimals), row.text) << row.value;
    }

    struct General {
        double value;
        int digits;
        const char* text;
    };
    for (const General& row :
         {General{0.3, 15, "0.3"}, General{0.1 + 0.2, 15, "0.3"},
          General{0.1 + 0.2, 0, "0.30000000000000004"}, General{1.0 / 3.0, 15, "0.333333333333333"},
          General{1e-7, 15, "1e-07"}, General{123456.0, 0, "123456"}, General{-2.5, 0, "-2.5"},
          General{std::numeric_limits<double>::max(), 0, "1.7976931348623157e+308"}}) {
        EXPECT_EQ(common::generalText(row.value, row.digits), row.text) << row.value;
    }

    EXPECT_EQ(common::parseDecimal("0.25"), 0.25);
    EXPECT_EQ(common::parseDecimal("-1e3"), -1000.0);
    EXPECT_EQ(common::parseDecimal("2."), 2.0);
    EXPECT_EQ(common::parseDecimal("1.7976931348623157e308"), std::numeric_limits<double>::max());
    for (const char* bad : {"", "1e999", "0x10", "nan", "inf", "1,5", "2 ", "+1"}) {
        EXPECT_FALSE(common::parseDecimal(bad).has_value()) << bad;
    }
}

}  // namespace
