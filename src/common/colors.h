// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace common {

// 24-bit RGB packed as 0x00BBGGRR: red in bits 0-7, green 8-15, blue 16-23.
using TColor = std::uint32_t;

// What a canvas without read-back answers: bits 24-31 set, so it equals no colour.
constexpr TColor NoColor = 0xFFFFFFFFu;

constexpr TColor rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    return (red & 0xFFu) | ((green & 0xFFu) << 8) | ((blue & 0xFFu) << 16);
}
constexpr std::uint32_t redOf(TColor c) { return c & 0xFFu; }
constexpr std::uint32_t greenOf(TColor c) { return (c >> 8) & 0xFFu; }
constexpr std::uint32_t blueOf(TColor c) { return (c >> 16) & 0xFFu; }

// Per-channel blend: (c1 * p + c2 * (100 - p)) div 100 with p clamped to 100.
TColor mixColors(std::uint8_t percent, TColor colour1, TColor colour2);

// Pen style codes as stored in the settings file and used by the canvas.
enum class TPenStyle : std::uint8_t {
    Solid = 0,
    Dash = 1,
    Dot = 2,
    DashDot = 3,
    DashDotDot = 4,
    Clear = 5,  // no outline; used for fills
};

}  // namespace common
