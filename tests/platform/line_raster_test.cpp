// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/line_raster.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
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

// Thin lines come out as Qt draws them, pixel for pixel: staircases between pixel centres as
// the waves are, free points and short steps, lines leaving the picture, closed ones, with and
// without caps, under a clip, on opaque and on premultiplied pictures over any background.
TEST(LineRaster, DrawsThinLinesAsQtDoes)
{
    constexpr int Width = 200;
    constexpr int Height = 150;
    const QRect clip(17, 11, 150, 100);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> anyX(-60, Width + 60);
    std::uniform_real_distribution<double> anyY(-60, Height + 60);
    std::uniform_real_distribution<double> step(-3, 3);
    for (int trial = 0; trial < 300; ++trial) {
        std::vector<QPointF> line;
        double x = anyX(random);
        double y = anyY(random);
        for (int i = 0; i < 2 + trial % 40; ++i) {
            if (trial % 3 == 0) {
                x = std::round(x + step(random));
                y = std::round(y + step(random));
                line.emplace_back(x + 0.5, y + 0.5);
            } else if (trial % 3 == 1) {
                line.emplace_back(anyX(random), anyY(random));
            } else {
                x += 4 * step(random);
                y += 4 * step(random);
                line.emplace_back(x, y);
            }
        }
        if (trial % 7 == 0) {
            line.push_back(line.front());
        }
        const bool premultiplied = trial % 2 == 1;
        const bool clipped = trial % 5 == 0;
        const bool caps = trial % 4 != 0;
        const QRgb color = qRgb(static_cast<int>(random() % 256), static_cast<int>(random() % 256),
                                static_cast<int>(random() % 256));
        QImage qts(Width, Height,
                   premultiplied ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        for (int row = 0; row < Height; ++row) {
            for (int column = 0; column < Width; ++column) {
                const QRgb paper = qRgba(column, row, 99, premultiplied ? (column * 3 + row) % 256 : 255);
                qts.setPixel(column, row, qPremultiply(paper));
            }
        }
        QImage ours = qts;
        {
            QPainter painter(&qts);
            painter.setRenderHint(QPainter::Antialiasing);
            if (clipped) {
                painter.setClipRect(clip);
            }
            QPen pen{QColor(color), 1};
            pen.setCapStyle(caps ? Qt::RoundCap : Qt::FlatCap);
            painter.setPen(pen);
            painter.drawPolyline(line.data(), static_cast<int>(line.size()));
        }
        std::vector<LineRaster::Point> points;
        for (const QPointF& p : line) {
            points.push_back({p.x(), p.y()});
        }
        LineRaster::Target target{reinterpret_cast<std::uint32_t*>(ours.bits()),
                                  ours.bytesPerLine() / 4, 0, 0, Width, Height};
        if (clipped) {
            target = {target.bits, target.wordsPerLine, clip.left(), clip.top(),
                      clip.right() + 1, clip.bottom() + 1};
        }
        LineRaster raster;
        ASSERT_TRUE(raster.strokeThin(target, points, color, {caps, Width, Height}));
        EXPECT_TRUE(ours == qts) << "trial " << trial;
    }
}

}  // namespace
