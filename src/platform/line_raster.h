// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platform {

// Solid polylines on a 32-bit picture (0xAARRGGBB words, opaque or premultiplied). Wide ones
// (stroke) are drawn by the distance of each pixel's centre from the line: round joins and caps,
// antialiased over one pixel, and where segments overlap (every joint, a line crossing itself)
// covered once.
// A general stroker builds the outline of the whole line and fills it, which on the waves'
// thousand short segments costs many times the pixels themselves; here each segment visits only
// the few pixels within its reach.
class LineRaster {
public:
    struct Point {
        double x = 0;
        double y = 0;
    };
    // The picture's words and the rectangle that may be drawn on (right and bottom exclusive),
    // both in device pixels; the rectangle must lie within the picture.
    struct Target {
        std::uint32_t* bits = nullptr;
        std::ptrdiff_t wordsPerLine = 0;
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        // The words' top byte means nothing (an opaque picture): coverage is gathered there, in
        // the picture's own lines, instead of in a buffer of its own, and the byte is left 0xFF.
        bool alphaUnused = false;
    };

    // Coordinates up to this far off the picture are drawn; a caller takes another route beyond.
    static constexpr double CoordinateLimit = 1 << 20;

    // Pixel (x, y) spans x .. x+1, y .. y+1; its centre lies at x + 0.5, y + 0.5. False, drawing
    // nothing, where a coordinate is beyond the limit or not a number, or the width not positive.
    bool stroke(const Target& target, std::span<const Point> points, double width,
                std::uint32_t color);

    // A polyline of one device pixel as Qt draws its antialiased thin lines on pictures, pixel
    // for pixel: along each segment's major axis two pixels share a pixel's worth of ink by the
    // line's place between their centres, a segment's end pixels take the share of the pixel
    // it spans, and each segment blends on its own, so a joint between two segments from
    // pixel centre to pixel centre is inked twice at half. With caps (Qt's round and square
    // ones) an open line reaches half a pixel beyond its ends. The segments are clipped as Qt
    // clips them, to a pixel beyond the picture of `deviceWidth` x `deviceHeight`.
    struct ThinLine {
        bool caps = true;
        int deviceWidth = 0;
        int deviceHeight = 0;
    };
    bool strokeThin(const Target& target, std::span<const Point> points, std::uint32_t color,
                    const ThinLine& line);

private:
    // Columns of one row a segment covered. The runs of neighbouring segments overlap and are
    // joined; a row of a wave holds several far apart, and the pixels between are never visited.
    struct Run {
        int row = 0;
        int left = 0;
        int right = 0;  // exclusive
    };
    void makeTable();
    template <bool InAlpha>
    void coverSegment(Point a, Point b);
    template <bool InAlpha>
    void blend(std::uint32_t color);

    // The coverage of the line's box, kept at its largest size so that frames do not allocate.
    std::vector<std::uint8_t> m_coverage;
    std::vector<Run> m_runs;
    std::vector<int> m_lastRun;  // by row of the box: its latest run, or -1
    Target m_target;
    int m_boxLeft = 0;
    int m_boxTop = 0;
    int m_boxWidth = 0;
    int m_boxHeight = 0;
    double m_halfWidth = 0;
    // Coverage by squared distance from the axis, over the rim where it is partial.
    static constexpr int TableSteps = 4096;
    std::vector<std::uint8_t> m_table;
    double m_tableStart = 0;
    double m_tableScale = 0;
};

}  // namespace platform
