// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/line_raster.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

using platform::LineRaster;

constexpr std::uint32_t White = 0xFFFFFFFFu;
constexpr std::uint32_t Blue = 0xFF0000FFu;
constexpr int W = 40;
constexpr int H = 30;

struct Paper {
    std::vector<std::uint32_t> words = std::vector<std::uint32_t>(W * H, White);
    LineRaster::Target target(int left, int top, int right, int bottom)
    {
        return {words.data(), W, left, top, right, bottom};
    }
    std::uint32_t at(int x, int y) const { return words[static_cast<std::size_t>(y * W + x)]; }
};

// A line's pixels take the colour by their centre's distance from its axis, full within half
// the width less half a pixel, mixed over the next pixel, and the picture outside the target's
// rectangle is never touched, however far the line runs beyond it.
TEST(LineRaster, CoversByDistanceWithinTheTarget)
{
    Paper paper;
    LineRaster raster;
    const LineRaster::Point across[] = {{-1000, 10.5}, {1000, 10.5}};
    ASSERT_TRUE(raster.stroke(paper.target(5, 0, 30, H), across, 2.0, Blue));
    for (int x = 0; x < W; ++x) {
        const bool inside = x >= 5 && x < 30;
        EXPECT_EQ(paper.at(x, 10), inside ? Blue : White) << x;
        // One pixel from the axis: half covered, white and blue mixed half and half.
        EXPECT_EQ(paper.at(x, 9), inside ? 0xFF7F7FFFu : White) << x;
        EXPECT_EQ(paper.at(x, 11), paper.at(x, 9)) << x;
        EXPECT_EQ(paper.at(x, 8), White) << x;
        EXPECT_EQ(paper.at(x, 12), White) << x;
    }

    // A segment's round end, and a single point's round dot, alike on every side.
    Paper dots;
    const LineRaster::Point dot[] = {{20, 15}, {20, 15}};
    ASSERT_TRUE(raster.stroke(dots.target(0, 0, W, H), dot, 5.0, Blue));
    int covered = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            const std::uint32_t c = dots.at(x, y);
            EXPECT_EQ(c, dots.at(39 - x, y)) << x << "," << y;
            EXPECT_EQ(c, dots.at(x, 29 - y)) << x << "," << y;
            if (x >= 5 && x - 5 < H && y + 5 < W) {
                EXPECT_EQ(c, dots.at(y + 5, x - 5)) << x << "," << y;  // turned a quarter
            }
            covered += c != White ? 1 : 0;
        }
    }
    EXPECT_EQ(dots.at(20, 15), Blue);
    EXPECT_GE(covered, 21);  // about pi * 2.5^2, with the rim
    EXPECT_LE(covered, 40);
}

// Coordinates beyond what the raster takes, or not numbers, draw nothing and say so, so that the
// caller can take its other route; an opaque premultiplied picture stays opaque.
TEST(LineRaster, RefusesWhatItCannotDrawAndKeepsAlphaOpaque)
{
    LineRaster raster;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const LineRaster::Point far[] = {{0, 0}, {LineRaster::CoordinateLimit * 2, 5}};
    const LineRaster::Point notNumber[] = {{0, 0}, {nan, 5}};
    const LineRaster::Point fine[] = {{0, 5}, {39, 20}};
    Paper paper;
    EXPECT_FALSE(raster.stroke(paper.target(0, 0, W, H), far, 2.0, Blue));
    EXPECT_FALSE(raster.stroke(paper.target(0, 0, W, H), notNumber, 2.0, Blue));
    EXPECT_FALSE(raster.stroke(paper.target(0, 0, W, H), fine, 0.0, Blue));
    EXPECT_EQ(paper.words, Paper().words);

    EXPECT_TRUE(raster.stroke(paper.target(0, 0, W, H), fine, 3.0, 0x00FF0000u));
    bool mixed = false;
    for (const std::uint32_t c : paper.words) {
        EXPECT_EQ(c >> 24, 0xFFu);
        mixed = mixed || (c != White && c != 0xFFFF0000u);
    }
    EXPECT_TRUE(mixed);  // the rim is antialiased
}

// On an opaque picture the coverage is gathered in the words' unused top byte: the same pixels
// come out as with a buffer of its own, over a coloured background, where the line crosses
// itself and doubles back, and with the top byte 0xFF again everywhere.
TEST(LineRaster, GathersCoverageInTheAlphaByteAlike)
{
    const LineRaster::Point zigzag[] = {{2, 3},   {30, 8},  {4, 12},  {36, 20}, {20, 2},
                                        {20, 28}, {21, 28}, {22, 28}, {8, 25}};
    for (const double width : {2.0, 3.0, 5.5}) {
        Paper buffered;
        Paper inAlpha;
        for (std::size_t i = 0; i < buffered.words.size(); ++i) {
            buffered.words[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
        }
        inAlpha.words = buffered.words;
        const std::vector<std::uint32_t> background = buffered.words;
        LineRaster raster;
        LineRaster::Target target = inAlpha.target(3, 1, 37, 29);
        target.alphaUnused = true;
        ASSERT_TRUE(raster.stroke(buffered.target(3, 1, 37, 29), zigzag, width, Blue));
        ASSERT_TRUE(raster.stroke(target, zigzag, width, Blue));
        EXPECT_EQ(inAlpha.words, buffered.words) << width;
        EXPECT_NE(inAlpha.words, background);
    }
}

}  // namespace
