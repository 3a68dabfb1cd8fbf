// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "common/colors.h"
#include "common/numbers.h"

namespace {

using common::rgb;
using common::roundToInt;

TEST(RoundToInt, HalvesGoToTheEvenNeighbour)
{
    struct Row {
        long double value;
        std::int32_t expected;
    };
    const Row rows[] = {
        {0.5L, 0},   {1.5L, 2},   {2.5L, 2},    {3.5L, 4},    {-0.5L, 0},      {-1.5L, -2},
        {-2.5L, -2}, {6.01L, 6},  {0.49999L, 0}, {-0.50001L, -1}, {362.04L, 362}, {1e-30L, 0},
        {2147483646.5L, 2147483646}, {-2147483647.5L, -2147483648LL},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(roundToInt(row.value), row.expected) << static_cast<double>(row.value);
    }
}

TEST(RoundToInt, SaturatesAndMapsNaNToZero)
{
    constexpr auto max = std::numeric_limits<std::int32_t>::max();
    constexpr auto min = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(roundToInt(2147483647.4L), max);
    EXPECT_EQ(roundToInt(1e300L), max);
    EXPECT_EQ(roundToInt(std::numeric_limits<long double>::infinity()), max);
    EXPECT_EQ(roundToInt(-1e300L), min);
    EXPECT_EQ(roundToInt(-std::numeric_limits<long double>::infinity()), min);
    EXPECT_EQ(roundToInt(std::numeric_limits<long double>::quiet_NaN()), 0);
}

TEST(RoundToInt, AgreesWithTheLibraryOverTheWholeRange)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> spread(-3e9, 3e9);
    for (int i = 0; i < 100000; ++i) {
        // Values near halves are the interesting ones: snap half of them onto x.5.
        long double v = spread(random);
        if (i % 2 == 0) {
            v = std::floor(v) + 0.5L;
        }
        const long double r = std::nearbyintl(v);
        const std::int32_t expected = r > 2147483647.0L    ? std::numeric_limits<std::int32_t>::max()
                                      : r < -2147483648.0L ? std::numeric_limits<std::int32_t>::min()
                                                           : static_cast<std::int32_t>(r);
        ASSERT_EQ(roundToInt(v), expected) << static_cast<double>(v);
    }
}

TEST(MixColors, BlendsEachChannelWithTruncation)
{
    const common::TColor black = 0;
    const common::TColor white = rgb(255, 255, 255);
    EXPECT_EQ(common::mixColors(50, black, white), rgb(127, 127, 127));
    EXPECT_EQ(common::mixColors(50, rgb(0, 0, 255), white), rgb(127, 127, 255));
    EXPECT_EQ(common::mixColors(50, rgb(240, 240, 240), black), rgb(120, 120, 120));
    EXPECT_EQ(common::mixColors(0, rgb(10, 20, 30), rgb(200, 100, 50)), rgb(200, 100, 50));
    EXPECT_EQ(common::mixColors(25, rgb(100, 0, 0), rgb(0, 100, 0)), rgb(25, 75, 0));
    // Channels must not leak into each other or into bits 24-31.
    EXPECT_EQ(common::mixColors(99, rgb(255, 255, 255), rgb(255, 255, 255)) >> 24, 0u);
}

TEST(MixColors, PercentAboveHundredCountsAsHundred)
{
    const common::TColor c1 = rgb(12, 34, 56);
    const common::TColor c2 = rgb(200, 150, 100);
    EXPECT_EQ(common::mixColors(150, c1, c2), c1);
    EXPECT_EQ(common::mixColors(255, c1, c2), common::mixColors(100, c1, c2));
}

}  // namespace
