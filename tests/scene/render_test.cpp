// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "common/colors.h"
#include "scene/geometry.h"
#include "scene/projection.h"
#include "scene/render.h"
#include "scene_fixture.h"

namespace {

using common::rgb;
using common::TPenStyle;
using scene::PixelPoint;
using scene::TSceneObject;
using testing_support::Call;
using testing_support::Op;
using testing_support::RecordingCanvas;
using testing_support::SceneFixture;

constexpr scene::TColor Blue = rgb(0, 0, 255);
constexpr scene::TColor Red = rgb(255, 0, 0);
constexpr scene::TColor Violet = rgb(128, 0, 255);
constexpr scene::TColor Surface = rgb(240, 240, 240);
constexpr scene::TColor Hidden = rgb(120, 120, 120);

RecordingCanvas draw(SceneFixture& f, double factor = 1.0)
{
    RecordingCanvas canvas;
    scene::drawScene(f.s(), 0, 0, 800, 600, canvas, factor);
    return canvas;
}

// The calls that draw something, as (operation, pen colour) in order.
std::vector<std::pair<Op, scene::TColor>> strokes(const RecordingCanvas& canvas)
{
    std::vector<std::pair<Op, scene::TColor>> out;
    for (const Call& c : canvas.calls) {
        if (c.op == Op::Polyline || c.op == Op::Polygon || c.op == Op::LineTo || c.op == Op::Ellipse) {
            out.emplace_back(c.op, c.pen.color);
        } else if (c.op == Op::TextOut) {
            out.emplace_back(c.op, c.font.color);
        }
    }
    return out;
}

TEST(DrawScene, PaintsTheDefaultSceneBackToFront)
{
    SceneFixture f;
    const RecordingCanvas canvas = draw(f);
    const std::vector<std::pair<Op, scene::TColor>> expected = {
        {Op::Polygon, 0},          // reference surface, outlined in the axis colour
        {Op::Polyline, 0},         // ellipse
        {Op::LineTo, 0},           // back end to origin
        {Op::LineTo, Hidden},      // origin to the exit point, behind the surface
        {Op::LineTo, 0},           // exit point to front end
        {Op::LineTo, 0},           // horizontal axis
        {Op::LineTo, 0},           // vertical axis
        {Op::Polygon, 0},          // propagation arrowhead, in front of the surface here
        {Op::Polygon, 0},          // horizontal arrowhead
        {Op::Polygon, 0},          // vertical arrowhead
        {Op::Polyline, Blue},      // horizontal wave
        {Op::Polyline, Red},       // vertical wave
        {Op::Polyline, 0},         // resultant wave
        {Op::LineTo, Violet},      // resultant vector
        {Op::Polygon, Violet},     // its arrowhead
        {Op::Ellipse, 0},          // dots: horizontal, vertical, vector tip
        {Op::Ellipse, 0},
        {Op::Ellipse, 0},
        {Op::TextOut, 0},          // "c", "H", "V"
        {Op::TextOut, 0},
        {Op::TextOut, 0},
    };
    EXPECT_EQ(strokes(canvas), expected);

    ASSERT_FALSE(canvas.calls.empty());
    const Call& background = canvas.calls.front();
    EXPECT_EQ(background.op, Op::FillRect);
    EXPECT_EQ(background.fill.color, rgb(255, 255, 255));
    EXPECT_EQ(background.points, (std::vector<PixelPoint>{{0, 0}, {801, 601}}));
    EXPECT_EQ(canvas.calls[1].op, Op::SetClip);
    EXPECT_EQ(canvas.calls[1].points, background.points);
    EXPECT_EQ(canvas.calls.back().op, Op::RestoreClip);

    const auto polylines = canvas.of(Op::Polyline);
    EXPECT_EQ(polylines[0]->points.size(), 513u);
    EXPECT_EQ(polylines[0]->fill.color, Surface);  // dotted ellipse gaps show the surface
    EXPECT_EQ(polylines[0]->pen.style, TPenStyle::Dot);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(polylines[i]->points.size(), 1537u);
        EXPECT_EQ(polylines[i]->fill.color, rgb(255, 255, 255));
    }
    const auto texts = canvas.of(Op::TextOut);
    EXPECT_EQ(texts[0]->text, "c");
    EXPECT_EQ(texts[1]->text, "H");
    EXPECT_EQ(texts[2]->text, "V");
    EXPECT_FALSE(texts[0]->fill.solid);
    EXPECT_TRUE(texts[0]->font.bold);
    EXPECT_EQ(texts[0]->font.pixelHeight, 16);
    EXPECT_EQ(texts[0]->points[0],
              (PixelPoint{f.s().Pix.PropagationLabelBox.left, f.s().Pix.PropagationLabelBox.top}));
}

TEST(DrawScene, HiddenStretchRunsFromTheOriginToTheExitPoint)
{
    SceneFixture f;
    const RecordingCanvas canvas = draw(f);
    const auto& pix = f.s().Pix;
    const auto moves = canvas.of(Op::MoveTo);
    const auto lines = canvas.of(Op::LineTo);
    EXPECT_EQ(moves[0]->points[0], pix.PropagationAxisPix[0]);
    EXPECT_EQ(lines[0]->points[0], pix.OriginPix);
    EXPECT_EQ(lines[1]->points[0], (PixelPoint{604, 198}));
    EXPECT_EQ(lines[2]->points[0], pix.PropagationAxisPix[1]);

    // Seen from +X the back half is the far one: back end, exit point, origin, front end.
    scene::setAzimuth(f.s(), 60);
    scene::updateViewMatrix(f.s());
    scene::projectScene(f.s(), 800, 600, f.s().PixelsPerUnit, 1.0);
    const RecordingCanvas other = draw(f);
    const auto otherLines = other.of(Op::LineTo);
    EXPECT_EQ(otherLines[0]->points[0], pix.HiddenAxisSegment[1]);
    EXPECT_EQ(otherLines[0]->pen.color, 0u);
    EXPECT_EQ(otherLines[1]->points[0], pix.OriginPix);
    EXPECT_EQ(otherLines[1]->pen.color, Hidden);
}

TEST(DrawScene, PropagationArrowAndLabelDimOnlyWhenSeenThroughTheSurface)
{
    SceneFixture f;
    RecordingCanvas canvas;
    const PixelPoint tip = f.s().Pix.PropagationArrowPix[0];
    const PixelPoint anchor = f.s().Pix.PropagationLabelAnchorPix;
    // Read-back says the arrow tip and the label anchor lie on the surface.
    canvas.pixel = [&](std::int32_t x, std::int32_t y) {
        return (PixelPoint{x, y} == tip || PixelPoint{x, y} == anchor) ? Surface : rgb(255, 255, 255);
    };
    scene::drawScene(f.s(), 0, 0, 800, 600, canvas, 1.0);
    const auto polygons = canvas.of(Op::Polygon);
    EXPECT_EQ(polygons[1]->pen.color, Hidden);
    EXPECT_EQ(polygons[1]->fill.color, Hidden);
    EXPECT_EQ(polygons[2]->fill.color, 0u);  // the horizontal arrowhead never dims
    const auto texts = canvas.of(Op::TextOut);
    EXPECT_EQ(texts[0]->font.color, common::mixColors(50, Surface, 0));
    EXPECT_EQ(texts[1]->font.color, 0u);

    // From the +X side nothing is tested or dimmed, whatever the pixels say.
    scene::setAzimuth(f.s(), 45);
    scene::updateViewMatrix(f.s());
    scene::projectScene(f.s(), 800, 600, f.s().PixelsPerUnit, 1.0);
    int reads = 0;
    canvas.calls.clear();
    canvas.pixel = [&](std::int32_t, std::int32_t) {
        ++reads;
        return Surface;
    };
    scene::drawScene(f.s(), 0, 0, 800, 600, canvas, 1.0);
    EXPECT_EQ(reads, 0);
    EXPECT_EQ(canvas.of(Op::Polygon)[1]->fill.color, 0u);
}

TEST(IsBehindSurface, FallsBackToTheSurfaceRectangleWithoutReadBack)
{
    SceneFixture f;
    RecordingCanvas canvas;  // answers NoColor
    const auto& q = f.s().Pix.ReferenceRectPix;  // (604,178) upper -Y, lower (604,400)
    const int left = std::min(q[0].x, q[1].x);
    const int right = std::max(q[0].x, q[1].x);
    const int top = std::max(q[0].y, q[1].y);
    const int bottom = std::min(q[2].y, q[3].y);
    EXPECT_TRUE(scene::isBehindSurface(f.s(), canvas, {left + 1, top + 1}));
    EXPECT_TRUE(scene::isBehindSurface(f.s(), canvas, {right - 1, bottom - 1}));
    EXPECT_FALSE(scene::isBehindSurface(f.s(), canvas, {left, top + 1}));  // bounds are strict
    EXPECT_FALSE(scene::isBehindSurface(f.s(), canvas, {left + 1, bottom}));
    EXPECT_FALSE(scene::isBehindSurface(f.s(), canvas, {right + 5, top + 5}));
    canvas.pixel = [](std::int32_t, std::int32_t) { return Surface; };
    EXPECT_TRUE(scene::isBehindSurface(f.s(), canvas, {right + 5, top + 5}));
}

TEST(DrawScene, AzimuthZeroDrawsTheWholeAxisInTheAxisColour)
{
    SceneFixture f;
    scene::setAzimuth(f.s(), 0);
    scene::updateViewMatrix(f.s());
    scene::projectScene(f.s(), 800, 600, f.s().PixelsPerUnit, 1.0);
    const RecordingCanvas canvas = draw(f);
    const auto lines = canvas.of(Op::LineTo);
    // The hidden stretch is a single point: origin to origin.
    EXPECT_EQ(lines[0]->points[0], f.s().Pix.OriginPix);
    EXPECT_EQ(lines[1]->points[0], f.s().Pix.OriginPix);
    EXPECT_EQ(lines[2]->points[0], f.s().Pix.PropagationAxisPix[1]);
}

TEST(DrawScene, LineWidthsFollowTheDeviceFactorAndStyle)
{
    SceneFixture f;
    f.s().style(TSceneObject::CoordinateSystem).PenStyle = TPenStyle::Dash;
    f.s().style(TSceneObject::VerticalWave).PenStyle = TPenStyle::DashDot;
    f.s().style(TSceneObject::VerticalWave).Bold = false;
    f.s().style(TSceneObject::ResultantWave).PenStyle = TPenStyle::Dash;
    f.s().style(TSceneObject::ResultantWave).Bold = true;
    struct Row {
        double factor;
        int thin, bold;
    };
    for (const Row& r : {Row{1.0, 1, 2}, Row{10.0, 10, 20}, Row{2.5, 2, 5}}) {
        scene::projectScene(f.s(), 800, 600, f.s().PixelsPerUnit, r.factor);
        const RecordingCanvas canvas = draw(f, r.factor);
        const auto polylines = canvas.of(Op::Polyline);
        const auto lines = canvas.of(Op::LineTo);
        EXPECT_EQ(polylines[0]->pen.width, 1) << "thin dotted ellipse stays one pixel";
        EXPECT_EQ(polylines[1]->pen.width, r.bold) << "bold horizontal wave";
        EXPECT_EQ(polylines[2]->pen.width, r.thin) << "thin dash-dot vertical wave keeps the device width";
        EXPECT_EQ(polylines[2]->pen.style, TPenStyle::DashDot);
        EXPECT_EQ(polylines[3]->pen.width, r.bold) << "bold dashed resultant wave";
        EXPECT_EQ(lines[0]->pen.width, 1) << "thin dashed axis";
        EXPECT_EQ(lines.back()->pen.width, r.bold) << "bold vector";
        EXPECT_EQ(canvas.of(Op::Polygon)[0]->pen.width, r.thin) << "solid surface outline";
        EXPECT_EQ(canvas.of(Op::Polygon)[1]->pen.width, 1) << "arrowheads";
        EXPECT_EQ(canvas.of(Op::Polygon)[1]->pen.style, TPenStyle::Solid);
    }
}

TEST(DrawScene, ZeroHorizontalAmplitudeKeepsItsLineButDropsTheResultant)
{
    SceneFixture f;
    f.s().Params.HorizontalAmplitude = 0.0;
    scene::computeWaveSamples(f.s(), 0, f.s().Params.PhaseStep);
    scene::projectScene(f.s(), 800, 600, f.s().PixelsPerUnit, 1.0);
    const RecordingCanvas canvas = draw(f);
    const auto polylines = canvas.of(Op::Polyline);
    ASSERT_EQ(polylines.size(), 2u);  // no ellipse, no resultant wave
    EXPECT_EQ(polylines[0]->pen.color, Blue);
    EXPECT_EQ(polylines[1]->pen.color, Red);
    const auto dots = canvas.of(Op::Ellipse);
    ASSERT_EQ(dots.size(), 1u);  // the vertical wave's only
    const PixelPoint c = f.s().Pix.VerticalWavePix[1024];
    EXPECT_EQ(dots[0]->points, (std::vector<PixelPoint>{{c.x - 2, c.y - 2}, {c.x + 3, c.y + 3}}));
}

TEST(DrawScene, ZeroAmplitudesLeaveOnlySurfaceAxesAndLabels)
{
    SceneFixture f;
    f.s().Params.HorizontalAmplitude = 0.0;
    f.s().Params.VerticalAmplitude = 0.0;
    scene::computeWaveSamples(f.s(), 0, 0);
    scene::projectScene(f.s(), 800, 600, f.s().PixelsPerUnit, 1.0);
    const RecordingCanvas canvas = draw(f);
    EXPECT_TRUE(canvas.of(Op::Polyline).empty());
    EXPECT_TRUE(canvas.of(Op::Ellipse).empty());
    EXPECT_EQ(canvas.of(Op::Polygon).size(), 4u);  // surface and three axis arrowheads
    EXPECT_EQ(canvas.of(Op::LineTo).size(), 5u);   // three axis stretches, two axes
    EXPECT_EQ(canvas.of(Op::TextOut).size(), 3u);
}

TEST(DrawScene, NoLabelHeightDropsAxisArrowheadsButNotTheVectorArrowhead)
{
    SceneFixture f;
    f.s().Proportions.AxisLabelHeight = 0.0;
    const RecordingCanvas canvas = draw(f);
    EXPECT_TRUE(canvas.of(Op::TextOut).empty());
    const auto polygons = canvas.of(Op::Polygon);
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[1]->fill.color, Violet);
}

TEST(DrawScene, HiddenObjectsAndTinyDotsAreLeftOut)
{
    SceneFixture f;
    f.s().ShowHorizontalWave = false;
    f.s().ShowResultantWave = false;
    f.s().ShowResultantVector = false;
    RecordingCanvas canvas = draw(f);
    ASSERT_EQ(canvas.of(Op::Polyline).size(), 1u);
    EXPECT_EQ(canvas.of(Op::Polyline)[0]->pen.color, Red);
    EXPECT_EQ(canvas.of(Op::Ellipse).size(), 1u);
    EXPECT_EQ(canvas.of(Op::Polygon).size(), 4u);

    // Radius 106.67 * 0.0046 = 0.49 pixels rounds to nothing.
    f.s().ShowResultantWave = true;
    f.s().Proportions.DotRadius = 0.0046;
    canvas = draw(f);
    EXPECT_TRUE(canvas.of(Op::Ellipse).empty());
    // At ten times the size the same radius is 5 pixels.
    canvas = draw(f, 10.0);
    ASSERT_EQ(canvas.of(Op::Ellipse).size(), 2u);
    const auto& rect = canvas.of(Op::Ellipse)[0]->points;
    EXPECT_EQ(rect[1].x - rect[0].x, 11);
}

TEST(DrawScene, DrawsIntoItsOwnRectangleOnly)
{
    SceneFixture f;
    RecordingCanvas canvas;
    scene::drawScene(f.s(), 30, 40, 100, 50, canvas, 1.0);
    const std::vector<PixelPoint> rect{{30, 40}, {131, 91}};
    EXPECT_EQ(canvas.calls[0].points, rect);
    EXPECT_EQ(canvas.calls[1].op, Op::SetClip);
    EXPECT_EQ(canvas.calls[1].points, rect);
}

TEST(DrawScene, IgnoresACallFromInsideItsOwnEventPump)
{
    SceneFixture f;
    RecordingCanvas inner;
    bool flagSeen = false;
    f.host.onEvents = [&] {
        flagSeen = f.s().DrawingInProgress;
        scene::drawScene(f.s(), 0, 0, 800, 600, inner, 1.0);
    };
    const RecordingCanvas outer = draw(f);
    EXPECT_TRUE(flagSeen);
    EXPECT_TRUE(inner.calls.empty());
    EXPECT_FALSE(outer.calls.empty());
    EXPECT_EQ(f.host.eventRuns, 1);
    EXPECT_FALSE(f.s().DrawingInProgress);
    // And the next drawing works again.
    f.host.onEvents = nullptr;
    scene::drawScene(f.s(), 0, 0, 800, 600, inner, 1.0);
    EXPECT_FALSE(inner.calls.empty());
}

TEST(DrawScene, DrawsNothingBeforeTheSceneIsReady)
{
    SceneFixture f(false);
    RecordingCanvas canvas;
    scene::drawScene(f.s(), 0, 0, 800, 600, canvas, 1.0);
    EXPECT_TRUE(canvas.calls.empty());
    EXPECT_EQ(f.host.eventRuns, 0);
    EXPECT_FALSE(f.s().DrawingInProgress);
}

TEST(StartScene, DrawsTheFirstPictureOnTheScreenCanvasAndSetsHiddenColours)
{
    SceneFixture f(false);
    f.s().style(TSceneObject::Text).Color = rgb(0, 100, 200);
    scene::startScene(f.s());
    EXPECT_TRUE(f.s().SceneReady);
    EXPECT_EQ(f.host.drawnNotices, 1);
    EXPECT_EQ(f.host.eventRuns, 1);
    EXPECT_FALSE(f.host.canvas.of(Op::Polyline).empty());
    EXPECT_EQ(f.s().HiddenAxisColor, Hidden);
    EXPECT_EQ(f.s().HiddenTextColor, rgb(120, 170, 220));
    EXPECT_EQ(f.s().Params.PhaseStep, -128);
}

}  // namespace
