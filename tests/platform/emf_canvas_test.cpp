// SPDX-License-Identifier: GPL-3.0-or-later
// EmfCanvas: what it writes, read back record by record and played as GDI would play it.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <string>
#include <vector>

#include "emf_player.h"
#include "platform/emf_canvas.h"
#include "recording_canvas.h"
#include "scene/projection.h"
#include "scene/render.h"
#include "scene_fixture.h"

namespace {

using common::TPenStyle;
using emf_test::Drawn;
using emf_test::Played;
using emf_test::Point;
using emf_test::Shape;
using platform::EmfCanvas;
namespace type = emf_test::type;

constexpr std::uint32_t Opaque = 2;
constexpr std::uint32_t Transparent = 1;
constexpr std::uint32_t PsGeometric = 0x10000;

Played played(EmfCanvas& canvas)
{
    Played p = emf_test::play(canvas.bytes());
    for (const std::string& e : p.errors) {
        ADD_FAILURE() << e;
    }
    return p;
}

std::vector<const Drawn*> shapes(const Played& p, Shape shape)
{
    std::vector<const Drawn*> found;
    for (const Drawn& d : p.drawn) {
        if (d.shape == shape) {
            found.push_back(&d);
        }
    }
    return found;
}

std::size_t countOf(const Played& p, std::uint32_t recordType)
{
    std::size_t n = 0;
    for (const emf_test::Record& r : p.records) {
        n += r.type == recordType;
    }
    return n;
}

// ---- header

TEST(EmfCanvas, HeaderStatesThePictureAndItsPhysicalSize)
{
    struct Row {
        std::int32_t width, height, frameWidth, frameHeight;
    };
    const std::vector<Row> rows = {
        {800, 600, 18750, 14062},     // 800 x 600 pixels of a 1280-pixel, 0.3 m desktop
        {6001, 4000, 141134, 94074},  // the tenfold export picture at 108 dots per inch
        {1, 1, 23, 23},               // a single pixel
        {160000, 90, 3763000, 2116},  // wider than any screen
    };
    for (const Row& row : rows) {
        EmfCanvas canvas(row.width, row.height, row.frameWidth, row.frameHeight);
        const Played p = played(canvas);
        const emf_test::Header& h = p.header;
        SCOPED_TRACE(row.width);
        EXPECT_EQ(h.signature, 0x464D4520u);  // " EMF"
        EXPECT_EQ(h.version, 0x10000u);
        EXPECT_EQ(h.bounds, (emf_test::Rect{0, 0, row.width - 1, row.height - 1}));
        EXPECT_EQ(h.frame, (emf_test::Rect{0, 0, row.frameWidth - 1, row.frameHeight - 1}));
        EXPECT_EQ(h.description, std::u16string(u"Ondulix\0\0", 9));
        // The reference device has the picture's pixel pitch, so the frame maps onto the bounds;
        // the whole millimetres carry it to a few parts in a thousand.
        const double pitch = static_cast<double>(row.frameWidth) / row.width;  // 0.01 mm
        EXPECT_NEAR(h.millimetresWidth * 100.0 / h.deviceWidth / pitch, 1.0, 0.005);
        EXPECT_NEAR(h.micrometresWidth / 10.0 / h.deviceWidth / pitch, 1.0, 1e-9);
        const double pitchY = static_cast<double>(row.frameHeight) / row.height;
        EXPECT_NEAR(h.millimetresHeight * 100.0 / h.deviceHeight / pitchY, 1.0, 0.005);
        EXPECT_NEAR(h.micrometresHeight / 10.0 / h.deviceHeight / pitchY, 1.0, 1e-9);
    }
}

TEST(EmfCanvas, FrameLengthFollowsTheResolution)
{
    struct Row {
        std::int32_t units, dpi, expected;
    };
    const std::vector<Row> rows = {
        {6001, 108, 141134},  // 6001 x 2540 div 108
        {6001, 54, 282269},
        {96, 96, 2540},
        {-96, 96, -2540},
        {100, 0, 254000},             // no resolution counts as one dot per inch
        {2000000000, 1, 2147483647},  // saturated, not wrapped
    };
    for (const Row& row : rows) {
        EXPECT_EQ(platform::emfFrameLength(row.units, row.dpi), row.expected)
            << row.units << " at " << row.dpi;
    }
}

// ---- whole scenes: the rules every file must keep

struct SceneCase {
    const char* name;
    double factor;
    std::int32_t scale;  // 1 : N
};

TEST(EmfCanvas, EngineScenesKeepEveryRuleOfTheFormat)
{
    const std::vector<SceneCase> cases = {
        {"screen", 1.0, 40},
        {"tenfold export", 10.0, 40},
        {"zoomed past 16-bit coordinates", 10.0, 1},
    };
    for (const SceneCase& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::SceneFixture fx;
        scene::SceneState& s = fx.s();
        scene::setScaleDenominator(s, c.scale);
        scene::updateScreenScale(s);
        const auto w = static_cast<std::int32_t>(s.DrawWidth * c.factor);
        const auto h = static_cast<std::int32_t>(s.DrawHeight * c.factor);
        scene::projectScene(s, w, h, s.PixelsPerUnit, c.factor);
        EmfCanvas canvas(w, h, w * 2, h * 2, &fx.host.canvas);
        scene::drawScene(s, 0, 0, w, h, canvas, c.factor);
        const Played p = played(canvas);

        // Balanced clips, no object left, none used after deletion: played() fails on each.
        EXPECT_EQ(countOf(p, type::SaveDc), countOf(p, type::RestoreDc));
        EXPECT_EQ(countOf(p, type::SaveDc), 1u);
        // Each pen, brush and font change replaces one object by another in one of two slots.
        EXPECT_LE(p.header.handles, 7);
        EXPECT_GT(p.created, 6u);
        EXPECT_EQ(shapes(p, Shape::Polyline).size(), 4u);  // three waves and the ellipse
        EXPECT_EQ(shapes(p, Shape::Text).size(), 3u);
        EXPECT_EQ(shapes(p, Shape::Ellipse).size(), 3u);  // the dots
        for (const Drawn* line : shapes(p, Shape::Polyline)) {
            EXPECT_EQ(line->clips.size(), 1u);
        }
    }
}

TEST(EmfCanvas, WavesKeepTheirProjectedPoints)
{
    testing_support::SceneFixture fx;
    scene::SceneState& s = fx.s();
    EmfCanvas canvas(800, 600, 18750, 14062, &fx.host.canvas);
    scene::drawScene(s, 0, 0, 800, 600, canvas, 1.0);
    const Played p = played(canvas);
    std::vector<std::vector<Point>> waves;
    for (const Drawn* line : shapes(p, Shape::Polyline)) {
        if (line->points.size() == static_cast<std::size_t>(scene::WaveSampleCount)) {
            waves.push_back(line->points);
        }
    }
    ASSERT_EQ(waves.size(), 3u);
    const std::array<const std::array<scene::PixelPoint, scene::WaveSampleCount>*, 3> expected = {
        &s.Pix.HorizontalWavePix, &s.Pix.VerticalWavePix, &s.Pix.ResultantWavePix};
    for (std::size_t w = 0; w < 3; ++w) {
        for (std::size_t k = 0; k < static_cast<std::size_t>(scene::WaveSampleCount); ++k) {
            ASSERT_EQ(waves[w][k], (Point{(*expected[w])[k].x, (*expected[w])[k].y}))
                << w << " " << k;
        }
    }
}

// ---- pens, brushes, background

TEST(EmfCanvas, PenStylesAndWidthsBecomeGdiPens)
{
    struct Row {
        TPenStyle style;
        std::int32_t width;
        bool geometric;  // EXTCREATEPEN, so that players keep the pattern
        std::uint32_t gdiStyle;
        std::int32_t gdiWidth;
    };
    const std::vector<Row> rows = {
        {TPenStyle::Solid, 1, false, 0, 1},      {TPenStyle::Solid, 20, false, 0, 20},
        {TPenStyle::Dash, 1, false, 1, 1},       {TPenStyle::Dash, 10, true, 1, 10},
        {TPenStyle::Dot, 1, false, 2, 1},        {TPenStyle::Dot, 2, true, 2, 2},
        {TPenStyle::DashDot, 1, false, 3, 1},    {TPenStyle::DashDot, 20, true, 3, 20},
        {TPenStyle::DashDotDot, 1, false, 4, 1}, {TPenStyle::DashDotDot, 10, true, 4, 10},
        {TPenStyle::Solid, 0, false, 0, 1},      {TPenStyle::Dash, -3, false, 1, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.style) * 100 + row.width);
        EmfCanvas canvas(100, 100, 1000, 1000);
        canvas.setPenStyle(row.style);
        canvas.setPenWidth(row.width);
        canvas.setPenColor(common::rgb(10, 20, 30));
        const scene::PixelPoint line[] = {{1, 2}, {50, 60}};
        canvas.polyline(line, 2);
        const Played p = played(canvas);
        const auto drawn = shapes(p, Shape::Polyline);
        ASSERT_EQ(drawn.size(), 1u);
        const emf_test::PenState& pen = drawn[0]->pen;
        EXPECT_EQ(pen.extended, row.geometric);
        EXPECT_EQ(pen.style, row.gdiStyle);
        EXPECT_EQ((pen.fullStyle & PsGeometric) != 0, row.geometric);
        EXPECT_EQ(pen.width, row.gdiWidth);
        EXPECT_EQ(pen.color, common::rgb(10, 20, 30));
        EXPECT_EQ(drawn[0]->points, (std::vector<Point>{{1, 2}, {50, 60}}));
    }
}

TEST(EmfCanvas, ClearPenDrawsNoLinesAndOutlinesNothing)
{
    EmfCanvas canvas(100, 100, 1000, 1000);
    canvas.setPenStyle(TPenStyle::Clear);
    const scene::PixelPoint tri[] = {{1, 1}, {20, 1}, {10, 15}};
    canvas.polyline(tri, 3);
    canvas.moveTo({0, 0});
    canvas.lineTo({10, 10});
    canvas.polygon(tri, 3);
    canvas.ellipse(0, 0, 10, 10);
    const Played p = played(canvas);
    EXPECT_TRUE(shapes(p, Shape::Polyline).empty());
    EXPECT_TRUE(shapes(p, Shape::Line).empty());
    ASSERT_EQ(shapes(p, Shape::Polygon).size(), 1u);
    EXPECT_TRUE(shapes(p, Shape::Polygon)[0]->pen.null);
    EXPECT_TRUE(shapes(p, Shape::Ellipse)[0]->pen.null);
    EXPECT_EQ(countOf(p, type::CreatePen) + countOf(p, type::ExtCreatePen), 0u);
}

TEST(EmfCanvas, FillRectCoversExactlyItsPixelsWithoutOutline)
{
    struct Row {
        std::int32_t x1, y1, x2, y2;
        bool solid;
        bool drawn;
    };
    const std::vector<Row> rows = {
        {0, 0, 801, 601, true, true}, {5, 7, 6, 8, true, true},  // one pixel
        {5, 7, 5, 9, true, false},                               // no width
        {5, 9, 8, 7, true, false},                               // inverted
        {0, 0, 10, 10, false, false}, {-70000, 0, 70000, 10, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.x1 * 1000 + row.y2);
        EmfCanvas canvas(100, 100, 1000, 1000);
        canvas.setPenStyle(TPenStyle::Solid);  // fillRect outlines nothing whatever the pen
        canvas.setFillColor(common::rgb(1, 2, 3));
        canvas.setFillSolid(row.solid);
        canvas.fillRect(row.x1, row.y1, row.x2, row.y2);
        const Played p = played(canvas);
        const auto polygons = shapes(p, Shape::Polygon);
        ASSERT_EQ(polygons.size(), row.drawn ? 1u : 0u);
        if (!row.drawn) {
            continue;
        }
        // A polygon fills up to, not including, its right and bottom edges.
        EXPECT_EQ(polygons[0]->points,
                  (std::vector<Point>{
                      {row.x1, row.y1}, {row.x2, row.y1}, {row.x2, row.y2}, {row.x1, row.y2}}));
        EXPECT_TRUE(polygons[0]->pen.null);
        EXPECT_FALSE(polygons[0]->brush.null);
        EXPECT_EQ(polygons[0]->brush.color, common::rgb(1, 2, 3));
    }
}

TEST(EmfCanvas, BackgroundIsTheSolidFillOrNothing)
{
    EmfCanvas canvas(100, 100, 1000, 1000);
    canvas.setPenStyle(TPenStyle::Dash);
    const scene::PixelPoint line[] = {{0, 0}, {50, 50}};
    canvas.setFillColor(common::rgb(240, 240, 240));
    canvas.setFillSolid(true);
    canvas.polyline(line, 2);
    canvas.setFillColor(common::rgb(255, 255, 255));
    canvas.polygon(line, 2);
    canvas.setFillSolid(false);
    canvas.polyline(line, 2);
    canvas.polygon(line, 2);
    canvas.textOut(0, 0, "c");
    canvas.setFillSolid(true);
    canvas.textOut(0, 0, "c");
    const Played p = played(canvas);
    ASSERT_EQ(p.drawn.size(), 6u);
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected = {
        {Opaque, common::rgb(240, 240, 240)},
        {Opaque, common::rgb(255, 255, 255)},
        {Transparent, 0},
        {Transparent, 0},
        {Transparent, 0},
        {Opaque, common::rgb(255, 255, 255)}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(p.drawn[i].bkMode, expected[i].first) << i;
        if (expected[i].first == Opaque) {
            EXPECT_EQ(p.drawn[i].bkColor, expected[i].second) << i;
        }
    }
    EXPECT_TRUE(p.drawn[3].brush.null);
    EXPECT_FALSE(p.drawn[1].brush.null);
}

TEST(EmfCanvas, ObjectsAreReusedAndDeletedSoHandlesStayFew)
{
    EmfCanvas canvas(100, 100, 1000, 1000);
    const scene::PixelPoint line[] = {{0, 0}, {50, 50}};
    for (std::uint32_t i = 0; i < 500; ++i) {
        canvas.setPenColor(i);
        canvas.setFillColor(i);
        canvas.setFontPixelHeight(static_cast<std::int32_t>(10 + i % 7));
        canvas.polygon(line, 2);
        canvas.textOut(0, 0, "x");
    }
    const Played p = played(canvas);
    // Index 0, the three selected objects and the one that is about to replace its forerunner.
    EXPECT_EQ(p.header.handles, 5);
    EXPECT_EQ(countOf(p, type::CreatePen), 500u);
    EXPECT_EQ(countOf(p, type::DeleteObject), p.created);

    // Unchanged state is not written again: each further polygon is one record.
    const auto recordsFor = [&](int polygons) {
        EmfCanvas steady(100, 100, 1000, 1000);
        for (int i = 0; i < polygons; ++i) {
            steady.polygon(line, 2);
        }
        return played(steady).records.size();
    };
    EXPECT_EQ(recordsFor(100), recordsFor(1) + 99);
}

// ---- clipping

TEST(EmfCanvas, ClipsNestAndRestoreTheObjectsOfTheirTime)
{
    EmfCanvas canvas(100, 100, 1000, 1000);
    const scene::PixelPoint line[] = {{0, 0}, {50, 50}};
    canvas.setPenColor(common::rgb(255, 0, 0));
    canvas.polyline(line, 2);  // the red pen is selected when the clip saves the state
    canvas.setClip(0, 0, 80, 70);
    canvas.setPenColor(common::rgb(0, 0, 255));
    canvas.setFillColor(common::rgb(200, 200, 200));  // the background of the dashes from here on
    canvas.polyline(line, 2);
    canvas.setClip(10, 10, 5, 90);  // inverted: nothing shows
    canvas.setPenColor(common::rgb(0, 255, 0));
    canvas.polyline(line, 2);
    canvas.restoreClip();
    canvas.polyline(line, 2);
    canvas.restoreClip();
    canvas.restoreClip();  // one too many: ignored
    canvas.setPenColor(common::rgb(255, 0, 0));
    canvas.polyline(line, 2);
    canvas.setPenColor(common::rgb(0, 0, 255));
    canvas.polyline(line, 2);
    canvas.setClip(1, 2, 3, 4);  // left open: finishing closes it
    const Played p = played(canvas);
    const auto lines = shapes(p, Shape::Polyline);
    ASSERT_EQ(lines.size(), 6u);
    const std::vector<std::uint32_t> colours = {common::rgb(255, 0, 0), common::rgb(0, 0, 255),
                                                common::rgb(0, 255, 0), common::rgb(0, 255, 0),
                                                common::rgb(255, 0, 0), common::rgb(0, 0, 255)};
    const std::vector<std::size_t> depths = {0, 1, 2, 1, 0, 0};
    // A reader that takes back only the clip sees the same lines: each object is selected again
    // after a RestoreDC.
    const Played clipOnly = emf_test::play(canvas.bytes(), emf_test::Restore::ClipOnly);
    const auto linesSeen = shapes(clipOnly, Shape::Polyline);
    ASSERT_EQ(linesSeen.size(), 6u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::uint32_t background =
            i == 0 ? common::rgb(255, 255, 255) : common::rgb(200, 200, 200);
        EXPECT_EQ(lines[i]->bkColor, background) << i;
        EXPECT_EQ(linesSeen[i]->bkColor, background) << i;
        EXPECT_EQ(lines[i]->pen.color, colours[i]) << i;
        EXPECT_EQ(linesSeen[i]->pen.color, colours[i]) << i;
        EXPECT_EQ(lines[i]->clips.size(), depths[i]) << i;
        EXPECT_EQ(linesSeen[i]->clips.size(), depths[i]) << i;
    }
    EXPECT_EQ(lines[1]->clips[0], (emf_test::Rect{0, 0, 80, 70}));
    const emf_test::Rect inverted = lines[2]->clips[1];
    EXPECT_TRUE(inverted.right <= inverted.left || inverted.bottom <= inverted.top);
    EXPECT_EQ(countOf(p, type::SaveDc), 3u);
    EXPECT_EQ(countOf(p, type::RestoreDc), 3u);
}

// ---- lines

TEST(EmfCanvas, LinesStartAtTheCurrentPosition)
{
    EmfCanvas canvas(100, 100, 1000, 1000);
    canvas.moveTo({1, 1});
    canvas.lineTo({2, 2});
    canvas.lineTo({3, 5});  // goes on from where it is: no MoveTo
    canvas.setPenColor(common::rgb(9, 9, 9));
    canvas.lineTo({4, 4});  // after a pen change
    canvas.setPenStyle(TPenStyle::Clear);
    canvas.lineTo({8, 8});  // invisible, but the position moves
    canvas.setPenStyle(TPenStyle::Solid);
    canvas.lineTo({9, 1});
    const Played p = played(canvas);
    const auto lines = shapes(p, Shape::Line);
    ASSERT_EQ(lines.size(), 4u);
    const std::vector<std::vector<Point>> expected = {
        {{1, 1}, {2, 2}}, {{2, 2}, {3, 5}}, {{3, 5}, {4, 4}}, {{8, 8}, {9, 1}}};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i]->points, expected[i]) << i;
    }
    EXPECT_EQ(lines[2]->pen.color, common::rgb(9, 9, 9));
    EXPECT_EQ(countOf(p, type::MoveToEx), 3u);
}

TEST(EmfCanvas, PointsBeyondSixteenBitsAreWrittenInFull)
{
    struct Row {
        std::vector<scene::PixelPoint> points;
        bool wide;
    };
    const std::vector<Row> rows = {
        {{{-32768, 32767}, {0, 0}, {5, 7}}, false},
        {{{-32769, 0}, {0, 0}}, true},
        {{{0, 0}, {0, 2147483647}}, true},
    };
    for (const Row& row : rows) {
        EmfCanvas canvas(100, 100, 1000, 1000);
        canvas.polyline(row.points.data(), static_cast<std::int32_t>(row.points.size()));
        canvas.polygon(row.points.data(), static_cast<std::int32_t>(row.points.size()));
        const Played p = played(canvas);
        ASSERT_EQ(p.drawn.size(), 2u);
        for (const Drawn& d : p.drawn) {
            EXPECT_EQ(d.wide, row.wide);
            ASSERT_EQ(d.points.size(), row.points.size());
            for (std::size_t i = 0; i < row.points.size(); ++i) {
                EXPECT_EQ(d.points[i], (Point{row.points[i].x, row.points[i].y}));
            }
        }
    }
}

TEST(EmfCanvas, EllipseKeepsItsBox)
{
    EmfCanvas canvas(100, 100, 1000, 1000);
    canvas.setFillColor(common::rgb(0, 0, 0));
    canvas.ellipse(10, 20, 15, 25);
    canvas.ellipse(15, 25, 10, 20);  // corners given the other way round
    canvas.ellipse(10, 20, 10, 30);  // no width: nothing
    const Played p = played(canvas);
    const auto ellipses = shapes(p, Shape::Ellipse);
    ASSERT_EQ(ellipses.size(), 2u);
    for (const Drawn* e : ellipses) {
        EXPECT_EQ(e->points, (std::vector<Point>{{10, 20}, {15, 25}}));
        EXPECT_EQ(e->brush.color, common::rgb(0, 0, 0));
    }
}

// ---- text

TEST(EmfCanvas, TextIsUtf16AtItsTopLeftInTheCellHeightFont)
{
    testing_support::RecordingCanvas screen;
    screen.setFontName("Screen");
    screen.setFontPixelHeight(7);
    EmfCanvas canvas(100, 100, 1000, 1000, &screen);
    canvas.setFontName("Liberation Sans");
    canvas.setFontBold(true);
    canvas.setFontPixelHeight(150);
    canvas.setFontColor(common::rgb(1, 2, 3));
    canvas.setFillSolid(false);
    canvas.textOut(40, 50, "Hü€𝄞");
    EXPECT_EQ(canvas.textWidth("Hü€𝄞"), 900);
    EXPECT_EQ(canvas.textHeight("Hü€𝄞"), 150);
    canvas.setFontBold(false);
    canvas.setFontName("A font name longer than thirty-one characters");
    canvas.setFontPixelHeight(0);
    canvas.textOut(-5, 7, "x");
    const Played p = played(canvas);
    const auto texts = shapes(p, Shape::Text);
    ASSERT_EQ(texts.size(), 2u);
    const Drawn& t = *texts[0];
    EXPECT_EQ(t.text, u"Hü€𝄞");
    EXPECT_EQ(t.reference, (Point{40, 50}));
    EXPECT_EQ(t.textAlign, 0u);  // TA_TOP | TA_LEFT
    EXPECT_EQ(t.textColor, common::rgb(1, 2, 3));
    EXPECT_EQ(t.bkMode, Transparent);
    EXPECT_EQ(t.font.face, u"Liberation Sans");
    EXPECT_EQ(t.font.height, 150);  // positive: the cell height
    EXPECT_EQ(t.font.weight, 700);
    // Advances from the measuring canvas (6/10 of the cell per UTF-8 byte there), one per UTF-16
    // unit, adding up to the width of the whole text.
    const std::vector<std::int32_t> dx = {90, 180, 270, 360, 0};
    EXPECT_EQ(t.dx, dx);
    EXPECT_EQ(screen.font().name, "Screen");  // measuring leaves the screen's font alone
    EXPECT_EQ(screen.font().pixelHeight, 7);

    const Drawn& small = *texts[1];
    EXPECT_EQ(small.font.face, u"A font name longer than thirty-");
    EXPECT_EQ(small.font.height, 1);
    EXPECT_EQ(small.font.weight, 400);
    EXPECT_EQ(small.reference, (Point{-5, 7}));
}

TEST(EmfCanvas, WithoutAMeasuringCanvasSizesAreEstimatedAndPixelsUnknown)
{
    EmfCanvas canvas(100, 100, 1000, 1000);
    canvas.setFontPixelHeight(20);
    EXPECT_EQ(canvas.textHeight("Hg"), 20);
    EXPECT_EQ(canvas.textWidth(""), 0);
    // Grows with the characters, not with the bytes of their encoding.
    EXPECT_EQ(canvas.textWidth("üü"), canvas.textWidth("uu"));
    EXPECT_GT(canvas.textWidth("uuu"), canvas.textWidth("uu"));
    EXPECT_EQ(canvas.readPixel(5, 5), common::NoColor);
}

TEST(EmfCanvas, Utf8BecomesUtf16AndMalformedBytesAReplacement)
{
    struct Row {
        std::string utf8;
        std::u16string utf16;
    };
    const std::vector<Row> rows = {
        {"", u""},
        {"Hc", u"Hc"},
        {"\xC3\xBC", u"ü"},
        {"\xE2\x82\xAC", u"€"},
        {"\xF0\x9D\x84\x9E", u"\U0001D11E"},
        {"a\xFF"
         "b",
         u"a\uFFFDb"},
        {"\xC3", u"\uFFFD"},                                // cut short
        {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // a surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // past U+10FFFF
        {"\xE2\x82"
         "A",
         u"\uFFFD\uFFFDA"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(platform::utf8ToUtf16(row.utf8), row.utf16) << row.utf8;
    }
}

// ---- after the end, and files

TEST(EmfCanvas, DrawingAfterTheEndChangesNothing)
{
    EmfCanvas canvas(100, 100, 1000, 1000);
    const std::vector<std::uint8_t> finished = canvas.bytes();
    const scene::PixelPoint line[] = {{0, 0}, {50, 50}};
    canvas.polyline(line, 2);
    canvas.fillRect(0, 0, 5, 5);
    canvas.textOut(0, 0, "x");
    canvas.setClip(0, 0, 5, 5);
    canvas.finish();
    EXPECT_EQ(canvas.bytes(), finished);
    EXPECT_TRUE(canvas.isFinished());
}

TEST(EmfCanvas, SaveWritesTheBytesOrLeavesTheOldFile)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("picture.emf")).toStdString();
    EmfCanvas canvas(100, 100, 1000, 1000);
    const scene::PixelPoint line[] = {{0, 0}, {50, 50}};
    canvas.polyline(line, 2);
    std::string error;
    ASSERT_TRUE(canvas.save(path, error)) << error;
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray written = file.readAll();
    file.close();
    EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.end()), canvas.bytes());

    const std::string missing = dir.filePath(QStringLiteral("no/such/folder/a.emf")).toStdString();
    EXPECT_FALSE(canvas.save(missing, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{QStringLiteral("picture.emf")});
}

}  // namespace
