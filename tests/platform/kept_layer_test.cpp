// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/kept_layer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

using platform::KeptLayer;

constexpr int Width = 61;  // rows end within a run, within loose pixels and on a run's end
constexpr int Height = 7;
constexpr int Stride = 64;  // wider than a row: what lies beyond must stay as it is

std::vector<std::uint32_t> pictureOfEveryKind()
{
    std::vector<std::uint32_t> p(static_cast<std::size_t>(Stride * Height), 0xDEADBEEFu);
    std::mt19937 random(7);
    for (int y = 0; y < Height; ++y) {
        std::uint32_t* row = p.data() + y * Stride;
        for (int x = 0; x < Width; ++x) {
            switch (y) {
                case 0:
                    row[x] = 0xFFFFFFu;
                    break;  // one colour
                case 1:
                    row[x] = static_cast<std::uint32_t>(random());
                    break;  // no run at all
                case 2:
                    row[x] = x < 8 ? 1u : x < 15 ? 2u : x < 40 ? 3u : 4u;
                    break;  // 8, 7, 25, 21
                case 3:
                    row[x] = x % 9 == 0 ? 5u : 6u;
                    break;  // runs of 8 between single pixels
                case 4:
                    row[x] = x < 30 ? static_cast<std::uint32_t>(x) : 7u;
                    break;
                case 5:
                    row[x] = x < 50 ? 8u : static_cast<std::uint32_t>(random());
                    break;
                default:
                    row[x] = x == 0 ? 9u : 10u;
                    break;
            }
        }
    }
    return p;
}

// Whatever part is put back, it is the kept pixels there and nothing changes elsewhere.
TEST(KeptLayer, PutsBackExactlyTheKeptPixelsOfAnyRectangle)
{
    const std::vector<std::uint32_t> original = pictureOfEveryKind();
    KeptLayer layer;
    layer.keep(original.data(), Width, Height, Stride);
    ASSERT_EQ(layer.width(), Width);
    ASSERT_EQ(layer.height(), Height);
    struct Part {
        int left, top, right, bottom;
    };
    const Part parts[] = {{0, 0, Width, Height}, {0, 0, 1, 1},   {Width - 1, 0, Width, Height},
                          {7, 2, 9, 3},          {14, 2, 16, 3}, {3, 1, 40, 6},
                          {29, 4, 31, 5},        {49, 5, 52, 6}, {20, 3, 20, 5},
                          {53, 5, 58, 6},        {9, 3, 12, 4}};
    for (const Part& part : parts) {
        std::vector<std::uint32_t> picture(original.size());
        for (std::size_t i = 0; i < picture.size(); ++i) {
            picture[i] = ~original[i];
        }
        layer.putBack(picture.data(), Stride, part.left, part.top, part.right, part.bottom);
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < Stride; ++x) {
                const std::size_t i = static_cast<std::size_t>(y * Stride + x);
                const bool inside =
                    x >= part.left && x < part.right && y >= part.top && y < part.bottom;
                ASSERT_EQ(picture[i], inside ? original[i] : ~original[i])
                    << "part " << part.left << "," << part.top << " .. " << part.right << ","
                    << part.bottom << " at " << x << "," << y;
            }
        }
    }
}

// The point of keeping runs: a plain picture with a few lines across it takes little memory,
// and keeping another picture forgets the first.
TEST(KeptLayer, APlainPictureTakesAFractionOfItsWords)
{
    constexpr int w = 800;
    constexpr int h = 600;
    std::vector<std::uint32_t> plain(static_cast<std::size_t>(w * h), 0xFFFFFFu);
    for (int y = 0; y < h; ++y) {
        plain[static_cast<std::size_t>(y * w + y * w / h)] = 0x000000u;  // a slanting line
        plain[static_cast<std::size_t>(y * w + 400)] = 0x808080u;        // an upright one
    }
    KeptLayer layer;
    layer.keep(plain.data(), w, h, w);
    EXPECT_LT(layer.storedWords(), plain.size() / 20);

    const std::vector<std::uint32_t> other = pictureOfEveryKind();
    layer.keep(other.data(), Width, Height, Stride);
    std::vector<std::uint32_t> picture(other.size(), 0);
    layer.putBack(picture.data(), Stride, 0, 0, Width, Height);
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const auto i = static_cast<std::size_t>(y * Stride + x);
            ASSERT_EQ(picture[i], other[i]) << x << "," << y;
        }
    }
    layer.clear();
    EXPECT_TRUE(layer.isEmpty());
}

}  // namespace
