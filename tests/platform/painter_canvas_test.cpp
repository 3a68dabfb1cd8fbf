// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/painter_canvas.h"

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>
#include <QSvgGenerator>

#include <gtest/gtest.h>

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace {

using common::rgb;
using common::TColor;
using common::TPenStyle;
using platform::PainterCanvas;
using scene::PixelPoint;

constexpr TColor White = rgb(255, 255, 255);
constexpr TColor Black = rgb(0, 0, 0);
constexpr TColor Red = rgb(255, 0, 0);
constexpr TColor Blue = rgb(0, 0, 255);

QImage paper(int w, int h, TColor colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(qRgb(int(common::redOf(colour)), int(common::greenOf(colour)),
                    int(common::blueOf(colour))));
    return image;
}

// A picture and a canvas painting on it.
struct Sheet {
    QImage image;
    PainterCanvas canvas;

    Sheet(int w, int h, TColor colour = White) : image(paper(w, h, colour)), canvas(image) {}
    TColor at(int x, int y) const
    {
        const QRgb c = image.pixel(x, y);
        return rgb(std::uint32_t(qRed(c)), std::uint32_t(qGreen(c)), std::uint32_t(qBlue(c)));
    }
    // More than half covered by any of the inks used here on white (none has green), and by a
    // dark one (black or blue, no red) over white or red.
    bool covered(int x, int y) const { return qGreen(image.pixel(x, y)) < 128; }
    bool dark(int x, int y) const { return qRed(image.pixel(x, y)) < 128; }
    void pen(TColor colour, TPenStyle style, int width = 1)
    {
        canvas.setPenColor(colour);
        canvas.setPenStyle(style);
        canvas.setPenWidth(width);
    }
};

TEST(PainterCanvas, FillRectCoversExactlyItsPixels)
{
    struct Case {
        int x1, y1, x2, y2;
        bool solid;
    };
    const Case cases[] = {{3, 4, 10, 8, true}, {5, 5, 6, 6, true},   {10, 8, 3, 4, true},
                          {3, 4, 3, 8, true},  {3, 4, 10, 8, false}, {-5, -5, 4, 30, true}};
    for (const Case& c : cases) {
        Sheet s(20, 20);
        s.canvas.setFillColor(Red);
        s.canvas.setFillSolid(c.solid);
        s.canvas.fillRect(c.x1, c.y1, c.x2, c.y2);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                const bool in = c.solid && x >= c.x1 && x < c.x2 && y >= c.y1 && y < c.y2;
                ASSERT_EQ(s.at(x, y), in ? Red : White)
                    << c.x1 << "," << c.y1 << " " << x << "," << y;
            }
        }
    }
}

TEST(PainterCanvas, SolidLinesCoverWholePixelRowsAndColumns)
{
    // width -> first and last row (and column) covered by a line along 10
    const std::pair<int, std::pair<int, int>> cases[] = {
        {0, {10, 10}}, {1, {10, 10}}, {2, {9, 10}}, {3, {9, 11}}, {4, {8, 11}}};
    for (const auto& [width, rows] : cases) {
        Sheet s(40, 40);
        s.pen(Black, TPenStyle::Solid, width);
        s.canvas.moveTo({3, 10});
        s.canvas.lineTo({35, 10});
        const PixelPoint vertical[] = {{10, 3}, {10, 35}};
        s.canvas.polyline(vertical, 2);
        for (int i = 0; i < 20; ++i) {
            const TColor expected = i >= rows.first && i <= rows.second ? Black : White;
            EXPECT_EQ(s.at(25, i), expected) << "width " << width << " row " << i;
            EXPECT_EQ(s.at(i, 25), expected) << "width " << width << " column " << i;
        }
    }
}

TEST(PainterCanvas, PenStylesShowTheirPattern)
{
    const std::pair<TPenStyle, std::vector<int>> cases[] = {
        {TPenStyle::Solid, {}},
        {TPenStyle::Dash, {18, 6}},
        {TPenStyle::Dot, {3, 3}},
        {TPenStyle::DashDot, {9, 6, 3, 6}},
        {TPenStyle::DashDotDot, {9, 3, 3, 3, 3, 3}}};
    for (const auto& [style, onOff] : cases) {
        for (const int width : {1, 2, 3}) {
            Sheet s(700, 20);
            s.canvas.setFillSolid(false);
            s.pen(Black, style, width);
            s.canvas.moveTo({10, 10});
            s.canvas.lineTo({690, 10});
            // Runs of dark and light pixels, the partly covered ends left out.
            std::vector<std::pair<bool, int>> runs;
            for (int x = 11; x < 690; ++x) {
                ASSERT_TRUE(s.at(x, 10) == Black || s.at(x, 10) == White) << "blurred at " << x;
                if (runs.empty() || runs.back().first != (s.at(x, 10) == Black)) {
                    runs.emplace_back(s.at(x, 10) == Black, 0);
                }
                ++runs.back().second;
            }
            // The line opens with a dash, so the later runs follow the pattern from its first
            // gap on, scaled by the width.
            ASSERT_GE(runs.size(), onOff.empty() ? 1u : onOff.size() + 2) << int(style);
            EXPECT_TRUE(runs[0].first);
            for (std::size_t i = 1; i + 1 < runs.size(); ++i) {
                EXPECT_EQ(runs[i].second, width * onOff[i % onOff.size()])
                    << "style " << int(style) << " width " << width << " run " << i;
            }
        }
    }
}

TEST(PainterCanvas, GapsShowTheFillWhileItIsSolid)
{
    for (const bool solid : {true, false}) {
        for (const bool asPolyline : {true, false}) {
            Sheet s(100, 20, Blue);
            s.canvas.setFillColor(Red);
            s.canvas.setFillSolid(solid);
            s.pen(Black, TPenStyle::Dash);
            const PixelPoint line[] = {{10, 10}, {90, 10}};
            if (asPolyline) {
                s.canvas.polyline(line, 2);
            } else {
                s.canvas.moveTo(line[0]);
                s.canvas.lineTo(line[1]);
            }
            EXPECT_EQ(s.at(20, 10), Black);
            EXPECT_EQ(s.at(31, 10), solid ? Red : Blue) << "polyline " << asPolyline;
            EXPECT_EQ(s.at(31, 11), Blue);
        }
    }
}

TEST(PainterCanvas, PolygonIsClosedAndFilledPolylineIsOpen)
{
    const std::pair<TPenStyle, bool> cases[] = {
        {TPenStyle::Solid, true}, {TPenStyle::Clear, true}, {TPenStyle::Solid, false}};
    for (const auto& [style, closed] : cases) {
        Sheet s(60, 60);
        s.canvas.setFillColor(Red);
        s.pen(Black, style);
        const PixelPoint triangle[] = {{10, 10}, {50, 10}, {50, 50}};
        closed ? s.canvas.polygon(triangle, 3) : s.canvas.polyline(triangle, 3);
        const bool outlined = style != TPenStyle::Clear;
        EXPECT_EQ(s.at(30, 10) == Black, outlined);
        EXPECT_EQ(s.at(45, 20), closed ? Red : White);
        EXPECT_EQ(s.dark(30, 30), closed && outlined) << "closing edge";
    }
}

TEST(PainterCanvas, EllipseFillsItsBoxCentredOnItsMiddlePixel)
{
    // ellipse(c - dx, c - dy, c + dx + 1, c + dy + 1) spans 2 dx + 1 by 2 dy + 1 pixels; the
    // engine's dots have dx = dy.
    struct Case {
        int dx, dy;
        TPenStyle style;
        int width;
    };
    const Case cases[] = {
        {0, 0, TPenStyle::Solid, 1},   {1, 1, TPenStyle::Solid, 1},   {3, 3, TPenStyle::Solid, 1},
        {6, 6, TPenStyle::Solid, 1},   {0, 0, TPenStyle::Clear, 1},   {6, 6, TPenStyle::Clear, 1},
        {20, 10, TPenStyle::Solid, 1}, {20, 10, TPenStyle::Solid, 3}, {1, 1, TPenStyle::Solid, 3}};
    const int c = 25;
    for (const Case& k : cases) {
        Sheet s(51, 51);
        s.canvas.setFillColor(Red);
        s.pen(Blue, k.style, k.width);
        s.canvas.ellipse(c - k.dx, c - k.dy, c + k.dx + 1, c + k.dy + 1);
        for (int i = 0; i < 51; ++i) {
            EXPECT_EQ(s.covered(i, c), std::abs(i - c) <= k.dx) << k.dx << " x " << i;
            EXPECT_EQ(s.covered(c, i), std::abs(i - c) <= k.dy) << k.dy << " y " << i;
            // The outline lies inside the box, its full width from the box's edge.
            const int fromEdge = k.dx - std::abs(i - c);
            if (fromEdge >= 0 && k.dx > k.width) {
                const bool outlined = k.style != TPenStyle::Clear && fromEdge < k.width;
                EXPECT_EQ(s.dark(i, c), outlined) << k.dx << " x " << i;
            }
        }
    }
}

TEST(PainterCanvas, ClipsNestAndRestore)
{
    Sheet s(60, 60);
    const auto fill = [&](TColor colour, int x2) {
        s.canvas.setFillColor(colour);
        s.canvas.fillRect(0, 0, x2, 60);
    };
    s.canvas.restoreClip();  // unbalanced: ignored
    s.canvas.setClip(10, 10, 50, 50);
    fill(Blue, 60);
    s.canvas.setClip(30, 0, 60, 60);
    fill(Red, 60);
    s.canvas.restoreClip();
    fill(Black, 20);  // back to the outer clip
    s.canvas.restoreClip();
    s.canvas.setClip(0, 0, 60, 5);
    s.canvas.setClip(40, 40, 30, 30);  // empty: nothing shows
    fill(Black, 60);
    s.canvas.restoreClip();
    s.canvas.restoreClip();
    s.canvas.fillRect(55, 55, 60, 60);  // no clip left
    const std::pair<PixelPoint, TColor> expected[] = {
        {{30, 10}, Red},   {{49, 49}, Red},   {{29, 10}, Blue},  {{20, 49}, Blue},
        {{10, 10}, Black}, {{19, 49}, Black}, {{5, 30}, White},  {{15, 9}, White},
        {{30, 9}, White},  {{50, 30}, White}, {{30, 50}, White}, {{2, 2}, White},
        {{54, 54}, White}, {{55, 55}, Black}, {{59, 59}, Black},
    };
    for (const auto& [p, colour] : expected) {
        EXPECT_EQ(s.at(p.x, p.y), colour) << p.x << "," << p.y;
    }
}

TEST(PainterCanvas, FontCellHeightIsTheRequestedPixelHeight)
{
    Sheet s(10, 10);
    s.canvas.setFontName("Arial");
    for (const int height : {10, 16, 33, 100}) {
        s.canvas.setFontBold(false);
        s.canvas.setFontPixelHeight(height);
        EXPECT_EQ(s.canvas.textHeight("Ag"), height);
        const int regular = s.canvas.textWidth("Ondulix");
        s.canvas.setFontBold(true);
        EXPECT_EQ(s.canvas.textHeight("Ag"), height) << "bold";
        EXPECT_GT(s.canvas.textWidth("Ondulix"), regular) << "height " << height;
    }
    // Decoded as UTF-8, "\u00c4" is one letter as wide as "A", not two Latin-1 letters.
    EXPECT_EQ(s.canvas.textWidth("\u00c4"), s.canvas.textWidth("A"));
}

TEST(PainterCanvas, TextCellTopLeftIsAtThePoint)
{
    Sheet s(120, 100, Blue);
    s.canvas.setFillSolid(false);
    s.canvas.setFontName("Arial");
    s.canvas.setFontColor(Red);
    s.canvas.setFontPixelHeight(33);
    const int x = 20, y = 30, cell = s.canvas.textHeight("H");
    s.canvas.textOut(x, y, "H");
    int top = 100, left = 120, bottom = -1;
    bool fullInk = false;
    for (int j = 0; j < 100; ++j) {
        for (int i = 0; i < 120; ++i) {
            if (s.at(i, j) != Blue) {
                top = std::min(top, j);
                left = std::min(left, i);
                bottom = std::max(bottom, j);
                fullInk = fullInk || s.at(i, j) == Red;
            }
        }
    }
    EXPECT_GE(top, y);
    EXPECT_LE(top, y + cell / 4);
    EXPECT_GE(left, x);
    EXPECT_LE(left, x + cell / 8);
    EXPECT_LE(bottom, y + cell - 4);  // "H" rests on the baseline, the descent stays empty
    EXPECT_TRUE(fullInk);
}

// On a picture the canvas keeps the labels' glyphs from frame to frame; what it draws must stay
// what QPainter::drawText draws on any other device, fallback fonts and a cache overrun included.
TEST(PainterCanvas, KeptGlyphsDrawWhatDrawTextDraws)
{
    const char* texts[] = {"E\u2093", "Ondulix", "H\u00fc\u20ac\U0001D11E", "\u03c6 = 90\u00b0",
                           "Ag"};
    // Rows found again, a bold row after the same size, and one after the kept ones ran over.
    const std::pair<int, bool> rows[] = {{11, false}, {11, false}, {17, false},
                                         {17, true},  {26, false}, {11, false}};
    QImage kept = paper(320, 230, White);
    QImage plain = kept;
    PainterCanvas keeping(kept);
    PainterCanvas drawing(static_cast<QPaintDevice&>(plain));
    for (PainterCanvas* canvas : {&keeping, &drawing}) {
        canvas->setFillSolid(false);
        canvas->setFontName("Arial");
        canvas->setFontColor(Blue);
        int y = 2;
        for (const auto& [height, bold] : rows) {
            canvas->setFontPixelHeight(height);
            canvas->setFontBold(bold);
            int x = 2;
            for (const char* text : texts) {
                canvas->textOut(x, y, text);
                x += 63;
            }
            y += height + 10;
        }
    }
    keeping.finish();
    drawing.finish();
    EXPECT_NE(kept, paper(320, 230, White));
    EXPECT_EQ(kept, plain);
}

TEST(PainterCanvas, ReadsPixelsBackFromImages)
{
    Sheet s(20, 10);
    s.canvas.setFillColor(rgb(10, 20, 30));
    s.canvas.fillRect(0, 0, 20, 10);
    EXPECT_EQ(s.canvas.readPixel(0, 0), 0x1E140Au);
    EXPECT_EQ(s.canvas.readPixel(19, 9), 0x1E140Au);
    const int outside[][2] = {
        {-1, 0}, {0, -1}, {20, 0}, {0, 10}, {std::numeric_limits<int>::min(), 0}};
    for (const auto& p : outside) {
        EXPECT_EQ(s.canvas.readPixel(p[0], p[1]), common::NoColor);
    }
}

TEST(PainterCanvas, SvgKeepsPixelCoordinatesAndCannotBeRead)
{
    QBuffer buffer;
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(QSize(200, 100));
    svg.setViewBox(QRect(0, 0, 200, 100));
    PainterCanvas canvas(svg);
    canvas.moveTo({10, 20});
    canvas.lineTo({110, 20});
    EXPECT_EQ(canvas.readPixel(10, 20), common::NoColor);
    canvas.finish();
    EXPECT_FALSE(canvas.isActive());
    const QString text = QString::fromUtf8(buffer.data());
    EXPECT_TRUE(text.contains(R"(viewBox="0 0 200 100")"));
    EXPECT_TRUE(text.contains(QRegularExpression(R"([M"]10(\.5)?,20(\.5)? L?110(\.5)?,20(\.5)?)")))
        << text.toStdString();
}

TEST(PainterCanvas, StateChangesTakeEffectAndFinishStopsDrawing)
{
    Sheet s(60, 60);
    s.canvas.setFillColor(Red);
    s.pen(Blue, TPenStyle::Solid, 3);
    s.canvas.ellipse(4, 4, 7, 7);  // the pen covers the whole dot
    s.canvas.setPenWidth(1);
    const PixelPoint square[] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
    s.canvas.polygon(square, 4);  // filled with the fill, not with the dot's pen colour
    s.canvas.setFillSolid(false);
    s.canvas.setFontColor(Black);
    s.canvas.textOut(30, 0, "x");
    s.canvas.moveTo({0, 30});
    s.canvas.lineTo({59, 30});  // in the pen colour again, not the text's
    s.canvas.finish();
    s.canvas.fillRect(0, 0, 60, 60);
    s.canvas.lineTo({0, 59});
    EXPECT_EQ(s.at(5, 5), Blue);
    EXPECT_EQ(s.at(15, 15), Red);
    EXPECT_EQ(s.at(15, 10), Blue);
    EXPECT_EQ(s.at(40, 30), Blue);
    EXPECT_EQ(s.at(2, 50), White);
}

TEST(PainterCanvas, SaturatedCoordinatesDrawTheVisiblePart)
{
    constexpr int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    Sheet s(40, 40);
    s.canvas.setClip(lo, lo, hi, 20);
    s.canvas.setFillColor(Red);
    s.canvas.fillRect(lo, lo, hi, hi);
    s.canvas.restoreClip();
    s.pen(Black, TPenStyle::Solid);
    s.canvas.moveTo({lo, 30});
    s.canvas.lineTo({hi, 30});
    for (int x = 0; x < 40; ++x) {
        EXPECT_EQ(s.at(x, 19), Red);
        EXPECT_EQ(s.at(x, 20), White);
        EXPECT_EQ(s.at(x, 30), Black);
    }
}

}  // namespace

namespace {

// A high-density picture: the engine's pixels are larger than the device's.
TEST(PainterCanvasDensity, ReadsBackInTheEnginesPixels)
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::white);
    {
        platform::PainterCanvas canvas(image);
        canvas.setFillColor(common::rgb(10, 20, 30));
        canvas.setFillSolid(true);
        canvas.setPenStyle(common::TPenStyle::Clear);
        canvas.fillRect(5, 5, 10, 10);  // device pixels 10 .. 19
        EXPECT_EQ(canvas.readPixel(5, 5), common::rgb(10, 20, 30));
        EXPECT_EQ(canvas.readPixel(9, 9), common::rgb(10, 20, 30));
        EXPECT_EQ(canvas.readPixel(10, 10), common::rgb(255, 255, 255));
        EXPECT_EQ(canvas.readPixel(19, 19), common::rgb(255, 255, 255));
        EXPECT_EQ(canvas.readPixel(20, 5), common::NoColor);  // outside the 20 x 20 picture
    }
    EXPECT_EQ(image.pixelColor(19, 19), QColor(10, 20, 30));
}

}  // namespace

namespace {

// Wide solid polylines on pictures are drawn by the canvas's own raster. They must look as Qt's
// stroke with round joins and caps does, whatever the shape: waves steep and flat, spikes, runs
// along one row or column, repeated points, lines leaving the picture, a clip, a dense picture;
// the antialiased rim may differ by about half a pixel's coverage (Qt takes the exact area, the
// raster the distance), the ink in all by 3 % (tight zigzags), and nothing may be drawn outside
// the clip.
TEST(PainterCanvasWideLines, LookAsQtsRoundStrokes)
{
    struct Row {
        const char* shape;
        int width;
        double density;
        bool clipped;
    };
    const Row rows[] = {
        {"wave", 2, 1.0, false},    {"steep wave", 2, 1.0, false}, {"spikes", 2, 1.0, false},
        {"spikes", 3, 1.0, false},  {"flat", 4, 1.0, false},       {"repeats", 2, 1.0, false},
        {"outside", 2, 1.0, false}, {"wave", 2, 1.0, true},        {"steep wave", 2, 2.0, false},
        {"spikes", 2, 2.0, true},   {"wave", 5, 1.5, false},
    };
    const auto shape = [](const std::string& name) {
        std::vector<PixelPoint> points;
        for (int i = 0; i < 900; ++i) {
            const double t = i / 900.0;
            int x = 20 + static_cast<int>(360 * t);
            int y = 150;
            if (name == "wave") {
                y += static_cast<int>(std::lround(90 * std::sin(t * 19.0)));
            } else if (name == "steep wave") {
                x = 20 + static_cast<int>(40 * t) +
                    static_cast<int>(std::lround(25 * std::sin(t * 31)));
                y = 10 + static_cast<int>(280 * t);
            } else if (name == "spikes") {
                y += (i % 7 == 0) ? 120 - (i % 5) * 9 : -(i % 3) * 4;
            } else if (name == "flat") {
                y += (i / 150) * 20;
            } else if (name == "repeats") {
                x = 20 + (i / 4) * 1;
                y += static_cast<int>(std::lround(60 * std::sin((i / 4) * 0.2)));
            } else if (name == "outside") {
                x = -500 + i * 2;
                y = -200 + static_cast<int>(std::lround(900 * std::sin(t * 9.0)));
            }
            points.push_back({x, y});
        }
        return points;
    };
    const QRect clip(35, 40, 295, 211);
    for (const Row& row : rows) {
        const std::vector<PixelPoint> points = shape(row.shape);
        const auto picture = [&row] {
            QImage image(static_cast<int>(400 * row.density), static_cast<int>(300 * row.density),
                         QImage::Format_RGB32);
            image.setDevicePixelRatio(row.density);
            image.fill(Qt::white);
            return image;
        };
        QImage ours = picture();
        {
            PainterCanvas canvas(ours);
            if (row.clipped) {
                canvas.setClip(clip.left(), clip.top(), clip.right() + 1, clip.bottom() + 1);
            }
            canvas.setPenColor(Blue);
            canvas.setPenWidth(row.width);
            canvas.polyline(points.data(), static_cast<std::int32_t>(points.size()));
        }
        QImage qts = picture();
        {
            QPainter painter(&qts);
            painter.setRenderHints(QPainter::Antialiasing);
            if (row.clipped) {
                painter.setClipRect(clip);
            }
            QPen pen(QColor(0, 0, 255));
            pen.setWidth(row.width);
            pen.setCapStyle(Qt::RoundCap);
            pen.setJoinStyle(Qt::RoundJoin);
            painter.setPen(pen);
            const qreal offset = row.width % 2 == 1 ? 0.5 : 0.0;
            std::vector<QPointF> stroke;
            for (const PixelPoint& p : points) {
                stroke.emplace_back(p.x + offset, p.y + offset);
            }
            painter.drawPolyline(stroke.data(), static_cast<int>(stroke.size()));
        }
        // Blue ink on white leaves the blue channel full and takes red as it covers.
        long long inkOurs = 0;
        long long inkQts = 0;
        int worst = 0;
        bool outside = false;
        const QRect deviceClip(
            QRectF(QPointF(clip.topLeft()) * row.density, QSizeF(clip.size()) * row.density)
                .toRect());
        for (int y = 0; y < ours.height(); ++y) {
            for (int x = 0; x < ours.width(); ++x) {
                const int a = 255 - qRed(ours.pixel(x, y));
                const int b = 255 - qRed(qts.pixel(x, y));
                inkOurs += a;
                inkQts += b;
                worst = std::max(worst, std::abs(a - b));
                outside = outside || (row.clipped && a != 0 && !deviceClip.contains(x, y));
            }
        }
        const std::string what = std::string(row.shape) + " width " + std::to_string(row.width) +
                                 " density " + std::to_string(row.density) +
                                 (row.clipped ? " clipped" : "");
        EXPECT_GT(inkQts, 0) << what;
        EXPECT_NEAR(static_cast<double>(inkOurs), static_cast<double>(inkQts),
                    0.03 * static_cast<double>(inkQts))
            << what;
        EXPECT_LE(worst, 135) << what;
        EXPECT_FALSE(outside) << what;
    }
}

}  // namespace

namespace {

// Lines of one pixel on pictures go by the canvas's own raster too, which must leave exactly
// what Qt draws on any other device: the waves' staircases, a line to a point, under a clip.
TEST(PainterCanvasThinLines, AreQtsOwnPixels)
{
    std::vector<PixelPoint> wave;
    for (int i = 0; i < 700; ++i) {
        wave.push_back({20 + i / 2, 150 + static_cast<int>(std::lround(90 * std::sin(i / 40.0)))});
    }
    for (const bool clipped : {false, true}) {
        QImage ours = paper(400, 300, White);
        QImage qts = ours;
        PainterCanvas picture(ours);
        PainterCanvas device(static_cast<QPaintDevice&>(qts));
        for (PainterCanvas* canvas : {&picture, &device}) {
            if (clipped) {
                canvas->setClip(35, 40, 330, 251);
            }
            canvas->setPenColor(Blue);
            canvas->setPenWidth(1);
            canvas->polyline(wave.data(), static_cast<std::int32_t>(wave.size()));
            canvas->moveTo({5, 290});
            canvas->lineTo({390, 12});
        }
        picture.finish();
        device.finish();
        EXPECT_NE(ours, paper(400, 300, White));
        EXPECT_TRUE(ours == qts) << (clipped ? "clipped" : "whole");
    }
}

}  // namespace

namespace {

// A kept layer comes back exactly, wherever anything was drawn over it, and what a window must
// show again covers every pixel that changed; on dense pictures as well, and never under
// another key or on a canvas that was not asked to keep layers.
TEST(PainterCanvasLayers, PutBackExactlyWhatWasKeptAndReportWhatChanged)
{
    const std::byte keyA[] = {std::byte{1}, std::byte{2}};
    const std::byte keyB[] = {std::byte{1}, std::byte{3}};
    for (const double density : {1.0, 2.0}) {
        QImage image(static_cast<int>(200 * density), static_cast<int>(120 * density),
                     QImage::Format_RGB32);
        image.setDevicePixelRatio(density);
        image.fill(Qt::white);
        PainterCanvas canvas(image);
        canvas.setKeepsLayers(true);
        canvas.setFillColor(Red);
        canvas.fillRect(20, 20, 120, 90);
        ASSERT_TRUE(canvas.keepLayer(keyA));
        const QImage kept = image.copy();
        canvas.takeChanged();

        // What moves: a wide line, a dot, a label.
        std::vector<PixelPoint> wave;
        for (int x = 10; x < 190; x += 2) {
            wave.push_back({x, 60 + static_cast<int>(std::lround(30 * std::sin(x / 9.0)))});
        }
        canvas.setPenColor(Blue);
        canvas.setPenWidth(2);
        canvas.polyline(wave.data(), static_cast<std::int32_t>(wave.size()));
        canvas.ellipse(150, 10, 160, 20);
        canvas.setFontPixelHeight(14);
        canvas.setFillSolid(false);
        canvas.textOut(160, 95, "Wq");
        const QRegion changed = canvas.takeChanged();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != kept.pixel(x, y)) {
                    ASSERT_TRUE(changed.contains(
                        QPoint(static_cast<int>(x / density), static_cast<int>(y / density))))
                        << density << ": " << x << "," << y << " changed outside";
                }
            }
        }
        EXPECT_FALSE(canvas.restoreLayer(keyB)) << density;
        EXPECT_NE(image, kept);
        EXPECT_TRUE(canvas.restoreLayer(keyA)) << density;
        EXPECT_EQ(image, kept) << density;
        EXPECT_FALSE(canvas.takeChanged().isEmpty());  // the window shows the put-back part
    }
    // A slanting line: what changed follows it, far less than its bounding box, and still holds
    // every changed pixel.
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        PainterCanvas canvas(image);
        canvas.setKeepsLayers(true);
        const QImage before = image.copy();
        std::vector<PixelPoint> line;
        for (int i = 0; i <= 100; ++i) {
            line.push_back({4 * i - 10, 3 * i + ((i % 2) != 0 ? 2 : 0)});
        }
        canvas.setPenColor(Blue);
        canvas.setPenWidth(2);
        canvas.polyline(line.data(), static_cast<std::int32_t>(line.size()));
        const QRegion changed = canvas.takeChanged();
        long long area = 0;
        for (const QRect& r : changed) {
            area += static_cast<long long>(r.width()) * r.height();
        }
        const QRect box = changed.boundingRect();
        EXPECT_LT(area * 4, static_cast<long long>(box.width()) * box.height()) << area;
        EXPECT_TRUE(QRect(0, 0, 400, 300).contains(box));
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != before.pixel(x, y)) {
                    ASSERT_TRUE(changed.contains(QPoint(x, y))) << x << "," << y;
                }
            }
        }
        EXPECT_TRUE(canvas.takeChanged().isEmpty());
    }
    PainterCanvas plain(image);
    EXPECT_FALSE(plain.keepsLayers());
    EXPECT_FALSE(plain.keepLayer(keyA));
    EXPECT_FALSE(plain.restoreLayer(keyA));
}

}  // namespace

namespace {

// Tiles hold only what was added since they were cleared, however the additions lie; tiles
// between changed ones are taken in only up to the gap asked for.
TEST(ChangedTiles, HoldWhatWasAddedSinceTheyWereCleared)
{
    using platform::ChangedTiles;
    constexpr int T = ChangedTiles::TileSize;
    struct Row {
        const char* what;
        std::vector<QRect> before;  // added, then cleared
        std::vector<QRect> added;
        QRegion expected;  // without gaps
        QRegion withGaps;  // gaps of up to 2 tiles taken in
    };
    const QRegion far = QRegion(0, 0, T, T) + QRegion(4 * T, 0, T, T);
    const Row rows[] = {
        {"one rectangle", {}, {QRect(5, 3, 10, 4)}, QRegion(0, 0, T, T), QRegion(0, 0, T, T)},
        {"across tiles and bands",
         {},
         {QRect(T - 1, T - 1, 2, 2)},
         QRegion(0, 0, 2 * T, 2 * T),
         QRegion(0, 0, 2 * T, 2 * T)},
        {"two in a band, apart", {}, {QRect(0, 0, 4, 4), QRect(4 * T + 1, 2, 3, 3)}, far, far},
        {"a gap taken in",
         {},
         {QRect(0, 0, 4, 4), QRect(3 * T, 2, 3, 3)},
         QRegion(0, 0, T, T) + QRegion(3 * T, 0, T, T),
         QRegion(0, 0, 4 * T, T)},
        {"upward after downward, far right",
         {},
         {QRect(200 * T, 3 * T, 10, 4), QRect(5, 0, 10, 4)},
         QRegion(0, 0, T, T) + QRegion(200 * T, 3 * T, T, T),
         QRegion(0, 0, T, T) + QRegion(200 * T, 3 * T, T, T)},
        {"after clearing",
         {QRect(0, 0, 300 * T, 5 * T)},
         {QRect(70 * T, 3 * T, 10, 4)},
         QRegion(70 * T, 3 * T, T, T),
         QRegion(70 * T, 3 * T, T, T)},
        {"across words of tiles, one of them whole",
         {},
         {QRect(62 * T, 0, 4 * T, 1), QRect(T + 3, 2 * T, 130 * T, 1)},
         QRegion(62 * T, 0, 4 * T, T) + QRegion(T, 2 * T, 131 * T, T),
         QRegion(62 * T, 0, 4 * T, T) + QRegion(T, 2 * T, 131 * T, T)},
        {"empty and off the picture",
         {},
         {QRect(5, 5, 0, 3), QRect(-4, 2, 3, 3)},
         QRegion(),
         QRegion()},
    };
    for (const Row& row : rows) {
        ChangedTiles changed;
        for (const QRect& r : row.before) {
            changed.add(r);
        }
        changed.clear();
        EXPECT_TRUE(changed.isEmpty()) << row.what;
        for (const QRect& r : row.added) {
            changed.add(r);
        }
        // The same area, however QRegion splits it into rectangles.
        EXPECT_TRUE(changed.region(0).xored(row.expected).isEmpty()) << row.what;
        EXPECT_TRUE(changed.region(2).xored(row.withGaps).isEmpty()) << row.what;
        ChangedTiles copy;
        copy.add(QRect(0, 10 * T, 1, 1));
        copy.unite(changed);
        EXPECT_TRUE(copy.region(0).xored(row.expected + QRegion(0, 10 * T, T, T)).isEmpty())
            << row.what;
    }
}

}  // namespace
