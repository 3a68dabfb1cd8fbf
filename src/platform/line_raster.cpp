// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/line_raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

// ink * coverage + paper * (255 - coverage), over 255 and rounded, for each channel: two
// channels at a time, each in its own 16 bits.
std::uint32_t mix(std::uint32_t ink, std::uint32_t paper, std::uint32_t coverage)
{
    const std::uint32_t rest = 255 - coverage;
    const auto pair = [coverage, rest](std::uint32_t s, std::uint32_t d) {
        std::uint32_t v = s * coverage + d * rest + 0x00800080u;
        return ((v + ((v >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    };
    return pair(ink & 0x00FF00FFu, paper & 0x00FF00FFu) |
           (pair((ink >> 8) & 0x00FF00FFu, (paper >> 8) & 0x00FF00FFu) << 8);
}

// Within int, without the library call floor and ceil are on processors before SSE4.1.
int floorToInt(double v)
{
    const int i = static_cast<int>(v);
    return v < i ? i - 1 : i;
}

int ceilToInt(double v)
{
    const int i = static_cast<int>(v);
    return v > i ? i + 1 : i;
}

using Floats = float __attribute__((vector_size(16)));
using Indices = std::int32_t __attribute__((vector_size(16)));
using Words = std::uint32_t __attribute__((vector_size(16)));
using Halves = std::uint16_t __attribute__((vector_size(16)));
constexpr int Lanes = 4;

// mix() for four words of an opaque picture whose top byte holds what is left uncovered. Each
// product of a channel and a coverage fits in 16 bits, so the pairs multiply as 16-bit lanes.
// A coverage of 0 gives the paper and of 255 the ink, exactly, as mix() does.
Words mixLanes(Words ink, Words paper)
{
    const Words coverage = 255u - (paper >> 24);
    const Words both = coverage | (coverage << 16);
    const Words rest = 0x00FF00FFu - both;
    const auto pair = [both, rest](Words s, Words d) {
        const Words v =
            (Words)((Halves)s * (Halves)both) + (Words)((Halves)d * (Halves)rest) + 0x00800080u;
        return ((v + ((v >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
    };
    paper |= 0xFF000000u;
    return pair(ink & 0x00FF00FFu, paper & 0x00FF00FFu) |
           (pair((ink >> 8) & 0x00FF00FFu, (paper >> 8) & 0x00FF00FFu) << 8);
}

// channel * a / 255 for each channel of a word, rounded as Qt's raster engine rounds.
std::uint32_t byteMul(std::uint32_t word, std::uint32_t a)
{
    std::uint32_t low = (word & 0x00FF00FFu) * a;
    low = ((low + ((low >> 8) & 0x00FF00FFu) + 0x00800080u) >> 8) & 0x00FF00FFu;
    std::uint32_t high = ((word >> 8) & 0x00FF00FFu) * a;
    high = (high + ((high >> 8) & 0x00FF00FFu) + 0x00800080u) & 0xFF00FF00u;
    return high | low;
}

// One segment of a thin line on the target, in Qt's fixed point: coordinates in 64ths of a
// pixel, the slope and the minor coordinate in 65536ths.
class ThinSegment {
public:
    static constexpr int CapBegin = 1;
    static constexpr int CapEnd = 2;

    // Segments are clipped to a pixel beyond the device's picture, as Qt clips them.
    ThinSegment(const LineRaster::Target& target, std::uint32_t ink, int deviceWidth,
                int deviceHeight)
        : m_target(target), m_ink(ink), m_xmax(deviceWidth + 1), m_ymax(deviceHeight + 1)
    {
    }

    void draw(double x1, double y1, double x2, double y2, int caps)
    {
        // Roughly, in floating point, so that the fixed point cannot overflow.
        if (!clipAxis(x1, y1, x2, y2, -1, m_xmax) || !clipAxis(y1, x1, y2, x2, -1, m_ymax)) {
            return;
        }
        const auto fixed = [](double v) { return static_cast<int>(v * 64.); };
        int a1 = fixed(x1);
        int b1 = fixed(y1);
        int a2 = fixed(x2);
        int b2 = fixed(y2);
        const bool steep = std::abs(a2 - a1) < std::abs(b2 - b1);
        if (steep) {
            std::swap(a1, b1);
            std::swap(a2, b2);
        }
        // a is now the major axis, b the minor one.
        const int da = a2 - a1;
        if (da == 0) {
            return;
        }
        const std::int64_t slope = (static_cast<std::int64_t>(b2 - b1) * 65536) / da;
        if (a1 > a2) {
            std::swap(a1, a2);
            std::swap(b1, b2);
            caps = ((caps & CapBegin) << 1) | ((caps & CapEnd) >> 1);
        }
        // The minor coordinate at the first column's centre, less half a pixel.
        std::int64_t b = static_cast<std::int64_t>(b1 - 32) * 1024;
        b -= (((a1 & 63) - 32) * slope) >> 6;
        if ((caps & CapBegin) != 0) {
            a1 -= 32;
            b -= slope >> 1;
        }
        if ((caps & CapEnd) != 0) {
            a2 += 32;
        }
        int a = a1 >> 6;
        const int last = a2 >> 6;
        const int startShare = a == last ? a2 - a1 : 64 - (a1 & 63);
        const int endShare = a == last ? 0 : a2 & 63;
        const auto column = [&](int share) {
            const auto fraction = static_cast<std::uint32_t>((b >> 8) & 0xFF);
            const auto minor = static_cast<int>(b >> 16);
            const auto near = static_cast<std::uint32_t>((255 - fraction) * share >> 6);
            const auto far = static_cast<std::uint32_t>(fraction * share >> 6);
            if (steep) {
                blend(minor, a, near);
                blend(minor + 1, a, far);
            } else {
                blend(a, minor, near);
                blend(a, minor + 1, far);
            }
        };
        column(startShare);
        b += slope;
        for (++a; a < last; ++a) {
            column(64);
            b += slope;
        }
        if (endShare != 0) {
            column(endShare);
        }
    }

private:
    // Clips the segment to min .. max along one axis, moving the other coordinate with it;
    // false where nothing of it is within.
    static bool clipAxis(double& u1, double& v1, double& u2, double& v2, double min, double max)
    {
        if (u1 < min) {
            if (u2 <= min) {
                return false;
            }
            v1 += (v2 - v1) / (u2 - u1) * (min - u1);
            u1 = min;
        } else if (u1 > max) {
            if (u2 >= max) {
                return false;
            }
            v1 += (v2 - v1) / (u2 - u1) * (max - u1);
            u1 = max;
        }
        if (u2 < min) {
            v2 += (v2 - v1) / (u2 - u1) * (min - u2);
            u2 = min;
        } else if (u2 > max) {
            v2 += (v2 - v1) / (u2 - u1) * (max - u2);
            u2 = max;
        }
        return true;
    }

    void blend(int x, int y, std::uint32_t coverage)
    {
        if (x < m_target.left || x >= m_target.right || y < m_target.top ||
            y >= m_target.bottom) {
            return;
        }
        std::uint32_t& word = m_target.bits[y * m_target.wordsPerLine + x];
        const std::uint32_t ink = byteMul(m_ink, coverage);
        word = ink + byteMul(word, 255 - (ink >> 24));
    }

    const LineRaster::Target& m_target;
    std::uint32_t m_ink;
    double m_xmax;
    double m_ymax;
};

}  // namespace

bool LineRaster::strokeThin(const Target& target, std::span<const Point> points,
                            std::uint32_t color, const ThinLine& line)
{
    for (const Point& p : points) {
        if (!(std::abs(p.x) < CoordinateLimit && std::abs(p.y) < CoordinateLimit)) {
            return false;
        }
    }
    if (points.size() < 2 || target.right <= target.left || target.bottom <= target.top) {
        return true;
    }
    ThinSegment segment(target, color | 0xFF000000u, line.deviceWidth, line.deviceHeight);
    const Point& first = points.front();
    const Point& end = points.back();
    const bool closed = first.x == end.x && first.y == end.y;
    const bool caps = line.caps && !closed;
    for (std::size_t i = 1; i < points.size(); ++i) {
        int ends = 0;
        if (caps && i == 1) {
            ends |= ThinSegment::CapBegin;
        }
        if (caps && i + 1 == points.size()) {
            ends |= ThinSegment::CapEnd;
        }
        segment.draw(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, ends);
    }
    return true;
}

bool LineRaster::stroke(const Target& target, std::span<const Point> points, double width,
                        std::uint32_t color)
{
    if (!(width > 0 && width < CoordinateLimit)) {
        return false;
    }
    for (const Point& p : points) {
        if (!(std::abs(p.x) < CoordinateLimit && std::abs(p.y) < CoordinateLimit)) {
            return false;
        }
    }
    if (points.empty() || target.right <= target.left || target.bottom <= target.top) {
        return true;
    }
    m_target = target;
    if (m_halfWidth != width / 2 || m_table.empty()) {
        m_halfWidth = width / 2;
        makeTable();
    }
    const double reach = m_halfWidth + 0.5;

    double minX = points[0].x;
    double maxX = minX;
    double minY = points[0].y;
    double maxY = minY;
    for (const Point& p : points) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    // The pixels whose centres may lie within reach of the line, on the target.
    m_boxLeft = std::max(target.left, static_cast<int>(std::floor(minX - reach)));
    m_boxTop = std::max(target.top, static_cast<int>(std::floor(minY - reach)));
    const int right = std::min(target.right, static_cast<int>(std::ceil(maxX + reach)) + 1);
    const int bottom = std::min(target.bottom, static_cast<int>(std::ceil(maxY + reach)) + 1);
    if (right <= m_boxLeft || bottom <= m_boxTop) {
        return true;
    }
    m_boxWidth = right - m_boxLeft;
    m_boxHeight = bottom - m_boxTop;
    const auto area = static_cast<std::size_t>(m_boxWidth) * static_cast<std::size_t>(m_boxHeight);
    if (!target.alphaUnused && m_coverage.size() < area) {
        m_coverage.resize(area);  // zeros; blend() leaves them so
    }
    m_runs.clear();
    m_lastRun.assign(static_cast<std::size_t>(m_boxHeight), -1);

    const auto cover = [this, &target](Point from, Point to) {
        target.alphaUnused ? coverSegment<true>(from, to) : coverSegment<false>(from, to);
    };
    // Segments that carry on in the same direction are one: the waves' pixel steps repeat, and
    // each segment costs its whole reach around it.
    Point a = points[0];
    Point b = a;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const Point& p = points[i];
        if (p.x == b.x && p.y == b.y) {
            continue;
        }
        if (a.x != b.x || a.y != b.y) {
            const double ux = b.x - a.x;
            const double uy = b.y - a.y;
            const double vx = p.x - b.x;
            const double vy = p.y - b.y;
            if (ux * vy == uy * vx && ux * vx + uy * vy > 0) {
                b = p;
                continue;
            }
            cover(a, b);
            a = b;
        }
        b = p;
    }
    cover(a, b);  // of a single point, a round dot
    target.alphaUnused ? blend<true>(color) : blend<false>(color);
    return true;
}

// The coverage of a pixel falls from full to none over the pixel's distance from the line's edge:
// a square root per pixel of that rim, taken from a table of the squared distances instead.
void LineRaster::makeTable()
{
    const double inner = std::max(0.0, m_halfWidth - 0.5);
    const double outer = m_halfWidth + 0.5;
    m_tableStart = inner * inner;
    m_tableScale = TableSteps / (outer * outer - m_tableStart);
    m_table.resize(TableSteps + 1);
    for (int i = 0; i <= TableSteps; ++i) {
        const double distance = std::sqrt(m_tableStart + i / m_tableScale);
        const double covered = std::clamp(outer - distance, 0.0, 1.0);
        m_table[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(covered * 255 + 0.5);
    }
    m_table[TableSteps] = 0;
}

template <bool InAlpha>
void LineRaster::coverSegment(Point a, Point b)
{
    // Pixels whose centres lie closer to the segment than this get some coverage.
    const double reach = m_halfWidth + 0.5 - 1.0 / 512;
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    const double inverseLength2 = length2 > 0 ? 1 / length2 : 0.0;
    const int firstRow = std::max(m_boxTop, ceilToInt(std::min(a.y, b.y) - reach - 0.5));
    const int endRow =
        std::min(m_boxTop + m_boxHeight, floorToInt(std::max(a.y, b.y) + reach - 0.5) + 1);
    const int boxRight = m_boxLeft + m_boxWidth;
    // The waves' segments are a pixel or two long: their box is hardly larger than their reach.
    // Of a longer one each row takes only the columns near its stretch.
    const bool slanting = dy != 0 && length2 > 16;
    const double inverseDy = dy != 0 ? 1 / dy : 0.0;
    // Four pixels of a row at a time, in single precision: the offsets are from the segment's
    // start, and along a line of a few thousand pixels their error stays far below 1/255.
    const auto fdx = static_cast<float>(dx);
    const auto fdy = static_cast<float>(dy);
    const auto perColumn = static_cast<float>(dx * inverseLength2);
    const auto tableStart = static_cast<float>(m_tableStart);
    const auto tableScale = static_cast<float>(m_tableScale);
    int firstColumn = std::max(m_boxLeft, ceilToInt(std::min(a.x, b.x) - reach - 0.5));
    int endColumn = std::min(boxRight, floorToInt(std::max(a.x, b.x) + reach - 0.5) + 1);
    for (int y = firstRow; y < endRow; ++y) {
        const double centreY = y + 0.5;
        if (slanting) {
            // A pixel within reach is within reach of a point of the segment less than the
            // reach above or below its row: the columns of that stretch, widened by the reach.
            double from = (centreY - reach - a.y) * inverseDy;
            double to = (centreY + reach - a.y) * inverseDy;
            if (from > to) {
                std::swap(from, to);
            }
            from = std::max(from, 0.0);
            to = std::min(to, 1.0);
            const double x1 = a.x + from * dx;
            const double x2 = a.x + to * dx;
            firstColumn = std::max(m_boxLeft, ceilToInt(std::min(x1, x2) - reach - 0.5));
            endColumn = std::min(boxRight, floorToInt(std::max(x1, x2) + reach - 0.5) + 1);
        }
        if (endColumn <= firstColumn) {
            continue;
        }
        std::uint8_t* coverage = InAlpha ? nullptr
                                         : m_coverage.data() +
                                               static_cast<std::size_t>(y - m_boxTop) * m_boxWidth -
                                               m_boxLeft;
        std::uint32_t* line = m_target.bits + y * m_target.wordsPerLine;
        const auto qy = static_cast<float>(centreY - a.y);
        const auto along = static_cast<float>((centreY - a.y) * dy * inverseLength2);
        Floats qx = static_cast<float>(firstColumn + 0.5 - a.x) + Floats{0, 1, 2, 3};
        for (int x = firstColumn; x < endColumn; x += Lanes, qx += static_cast<float>(Lanes)) {
            Floats t = qx * perColumn + along;
            t = t < 0.0f ? 0.0f : t;
            t = t > 1.0f ? 1.0f : t;
            const Floats ex = qx - t * fdx;
            const Floats ey = qy - t * fdy;
            Floats step = (ex * ex + ey * ey - tableStart) * tableScale + 0.5f;
            step = step < 0.0f ? 0.0f : step;
            step = step > static_cast<float>(TableSteps) ? static_cast<float>(TableSteps) : step;
            const Indices index = __builtin_convertvector(step, Indices);
            const int lanes = std::min(Lanes, endColumn - x);
            if constexpr (InAlpha) {
                if (lanes == Lanes) {
                    // The alpha byte holds what is left uncovered, 255 where nothing is.
                    const Words left = {255u - m_table[static_cast<std::size_t>(index[0])],
                                        255u - m_table[static_cast<std::size_t>(index[1])],
                                        255u - m_table[static_cast<std::size_t>(index[2])],
                                        255u - m_table[static_cast<std::size_t>(index[3])]};
                    Words words;
                    std::memcpy(&words, line + x, sizeof words);
                    const Words kept = words >> 24;
                    words = (words & 0x00FFFFFFu) | ((left < kept ? left : kept) << 24);
                    std::memcpy(line + x, &words, sizeof words);
                    continue;
                }
            }
            for (int i = 0; i < lanes; ++i) {
                const std::uint8_t value = m_table[static_cast<std::size_t>(index[i])];
                if constexpr (InAlpha) {
                    const std::uint32_t word = line[x + i];
                    const std::uint32_t left = 255u - value;
                    if (left < (word >> 24)) {
                        line[x + i] = (word & 0x00FFFFFFu) | (left << 24);
                    }
                } else {
                    coverage[x + i] = std::max(coverage[x + i], value);
                }
            }
        }
        int& last = m_lastRun[static_cast<std::size_t>(y - m_boxTop)];
        if (last >= 0 && firstColumn <= m_runs[static_cast<std::size_t>(last)].right &&
            endColumn >= m_runs[static_cast<std::size_t>(last)].left) {
            Run& run = m_runs[static_cast<std::size_t>(last)];
            run.left = std::min(run.left, firstColumn);
            run.right = std::max(run.right, endColumn);
        } else {
            last = static_cast<int>(m_runs.size());
            m_runs.push_back(Run{y - m_boxTop, firstColumn, endColumn});
        }
    }
}

template <bool InAlpha>
void LineRaster::blend(std::uint32_t color)
{
    const std::uint32_t ink = color | 0xFF000000u;
    // Runs of a row may overlap: a pixel is blended once, as its coverage is cleared.
    for (const Run& run : m_runs) {
        std::uint8_t* coverage =
            InAlpha
                ? nullptr
                : m_coverage.data() + static_cast<std::size_t>(run.row) * m_boxWidth - m_boxLeft;
        std::uint32_t* line = m_target.bits + (m_boxTop + run.row) * m_target.wordsPerLine;
        int x = run.left;
        if constexpr (InAlpha) {
            const Words inks = Words{} + ink;
            for (; x + Lanes <= run.right; x += Lanes) {
                Words words;
                std::memcpy(&words, line + x, sizeof words);
                words = mixLanes(inks, words);
                std::memcpy(line + x, &words, sizeof words);
            }
        }
        for (; x < run.right; ++x) {
            std::uint32_t c = 0;
            if constexpr (InAlpha) {
                c = 255u - (line[x] >> 24);
            } else {
                c = coverage[x];
                coverage[x] = 0;
            }
            if (c == 255) {
                line[x] = ink;
            } else if (c != 0) {
                line[x] = mix(ink, line[x] | 0xFF000000u, c);
            }
        }
    }
}

}  // namespace platform
