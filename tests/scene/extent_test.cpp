// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>

#include "common/numbers.h"
#include "scene/extent.h"
#include "scene/projection.h"
#include "scene_fixture.h"

namespace {

using scene::PixelPoint;
using testing_support::Op;
using testing_support::RecordingCanvas;
using testing_support::SceneFixture;

// Fills every projected point and box with one position, so that single points can then stake
// out the extent.
void collapse(scene::SceneState& s, PixelPoint p)
{
    auto& pix = s.Pix;
    for (auto* set : {&pix.HorizontalWavePix, &pix.VerticalWavePix, &pix.ResultantWavePix}) {
        set->fill(p);
    }
    pix.EllipsePix.fill(p);
    for (auto* set : {&pix.ReferenceRectPix, &pix.PropagationArrowPix, &pix.HorizontalAxisArrowPix,
                      &pix.VerticalAxisArrowPix, &pix.ResultantVectorArrowPix}) {
        set->fill(p);
    }
    for (auto* set : {&pix.PropagationAxisPix, &pix.HorizontalAxisPix, &pix.VerticalAxisPix,
                      &pix.ResultantVectorPix, &pix.HiddenAxisSegment}) {
        set->fill(p);
    }
    for (auto* box : {&pix.PropagationLabelBox, &pix.HorizontalLabelBox, &pix.VerticalLabelBox}) {
        *box = {p.x, p.x, p.y, p.y};
    }
}

TEST(DrawingExtent, AddsTheMarginAsAFractionOfTheExtent)
{
    SceneFixture f;
    collapse(f.s(), {100, 100});
    f.s().Pix.ReferenceRectPix[0] = {0, 0};
    f.s().Pix.ReferenceRectPix[2] = {600, 200};  // 601 x 201 pixels
    const scene::Extent e = scene::computeDrawingExtent(f.s());
    // Round(6.01) = 6 and Round(2.01) = 2 on each side.
    EXPECT_EQ(e.left, -6);
    EXPECT_EQ(e.right, 606);
    EXPECT_EQ(e.width, 613);
    EXPECT_EQ(e.top, -2);
    EXPECT_EQ(e.bottom, 202);
    EXPECT_EQ(e.height, 205);

    f.s().Proportions.GraphicMarginFactor = 0.0;
    const scene::Extent bare = scene::computeDrawingExtent(f.s());
    EXPECT_EQ(bare.width, 601);
    EXPECT_EQ(bare.left, 0);
}

TEST(DrawingExtent, CountsOnlyTheObjectsThatAreShown)
{
    SceneFixture f;
    f.s().Proportions.GraphicMarginFactor = 0.0;
    struct Row {
        const char* what;
        std::function<void(scene::SceneState&)> place;
        std::function<void(scene::SceneState&, bool)> show;
    };
    const Row rows[] = {
        {"horizontal wave", [](auto& s) { s.Pix.HorizontalWavePix[700] = {900, 100}; },
         [](auto& s, bool on) { s.ShowHorizontalWave = on; }},
        {"vertical wave", [](auto& s) { s.Pix.VerticalWavePix[0] = {900, 100}; },
         [](auto& s, bool on) { s.ShowVerticalWave = on; }},
        {"resultant wave", [](auto& s) { s.Pix.ResultantWavePix[1536] = {900, 100}; },
         [](auto& s, bool on) { s.ShowResultantWave = on; }},
        {"ellipse", [](auto& s) { s.Pix.EllipsePix[256] = {900, 100}; },
         [](auto& s, bool on) { s.ShowResultantWave = on; }},
        {"vector", [](auto& s) { s.Pix.ResultantVectorPix[1] = {900, 100}; },
         [](auto& s, bool on) { s.ShowResultantVector = on; }},
        {"vector arrow", [](auto& s) { s.Pix.ResultantVectorArrowPix[2] = {900, 100}; },
         [](auto& s, bool on) { s.ShowResultantVector = on; }},
    };
    for (const Row& row : rows) {
        collapse(f.s(), {100, 100});
        row.place(f.s());
        row.show(f.s(), true);
        EXPECT_EQ(scene::computeDrawingExtent(f.s()).right, 900) << row.what;
        row.show(f.s(), false);
        EXPECT_EQ(scene::computeDrawingExtent(f.s()).right, 100) << row.what;
        row.show(f.s(), true);
    }
    // Axes, surface and axis arrowheads count even when nothing else is shown.
    f.s().ShowHorizontalWave = f.s().ShowVerticalWave = false;
    f.s().ShowResultantWave = f.s().ShowResultantVector = false;
    collapse(f.s(), {100, 100});
    f.s().Pix.VerticalAxisArrowPix[0] = {100, -50};
    f.s().Pix.PropagationAxisPix[0] = {-20, 100};
    const scene::Extent e = scene::computeDrawingExtent(f.s());
    EXPECT_EQ(e.top, -50);
    EXPECT_EQ(e.left, -20);
}

TEST(DrawingExtent, VerticalLabelCountsWithItsHeightOnly)
{
    SceneFixture f;
    f.s().Proportions.GraphicMarginFactor = 0.0;
    collapse(f.s(), {100, 100});
    f.s().Pix.VerticalLabelBox = {-500, 700, 20, 130};  // a long label
    const scene::Extent e = scene::computeDrawingExtent(f.s());
    EXPECT_EQ(e.left, 100);
    EXPECT_EQ(e.right, 100);
    EXPECT_EQ(e.top, 20);
    EXPECT_EQ(e.bottom, 130);
}

TEST(TranslateScene, ShiftsEveryProjectedPointAndBox)
{
    SceneFixture f;
    const scene::SceneProjection before = f.s().Pix;
    scene::translateScene(f.s(), 0, 0);
    EXPECT_EQ(f.s().Pix.ResultantWavePix, before.ResultantWavePix);
    scene::translateScene(f.s(), 17, -9);
    const auto& after = f.s().Pix;
    const auto shifted = [](PixelPoint p) { return PixelPoint{p.x + 17, p.y - 9}; };
    for (int k = 0; k < scene::WaveSampleCount; ++k) {
        ASSERT_EQ(after.HorizontalWavePix[k], shifted(before.HorizontalWavePix[k]));
        ASSERT_EQ(after.VerticalWavePix[k], shifted(before.VerticalWavePix[k]));
        ASSERT_EQ(after.ResultantWavePix[k], shifted(before.ResultantWavePix[k]));
    }
    EXPECT_EQ(after.EllipsePix[512], shifted(before.EllipsePix[512]));
    EXPECT_EQ(after.HiddenAxisSegment[0], shifted(before.HiddenAxisSegment[0]));
    EXPECT_EQ(after.HiddenAxisSegment[1], shifted(before.HiddenAxisSegment[1]));
    EXPECT_EQ(after.PropagationLabelAnchorPix, shifted(before.PropagationLabelAnchorPix));
    EXPECT_EQ(after.VerticalAxisArrowPix[3], shifted(before.VerticalAxisArrowPix[3]));
    EXPECT_EQ(after.ResultantVectorArrowPix[1], shifted(before.ResultantVectorArrowPix[1]));
    EXPECT_EQ(after.ReferenceRectPix[2], shifted(before.ReferenceRectPix[2]));
    EXPECT_EQ(after.HorizontalLabelBox.right, before.HorizontalLabelBox.right + 17);
    EXPECT_EQ(after.VerticalLabelBox.bottom, before.VerticalLabelBox.bottom - 9);
    // The extent moves with the points.
    const scene::Extent e = scene::computeDrawingExtent(f.s());
    EXPECT_EQ(e.width, [&] {
        scene::translateScene(f.s(), -17, 9);
        return scene::computeDrawingExtent(f.s()).width;
    }());
}

TEST(RescaleAndRedraw, TakesTheNewScreenWidthAndRedrawsTheMainArea)
{
    SceneFixture f;
    f.s().ScreenWidth = 0.6;
    scene::rescaleAndRedraw(f.s());
    EXPECT_NEAR(f.s().PixelsPerUnit, 1280 / 0.6 / 40, 1e-9);
    EXPECT_EQ(f.s().LabelCharHeight, 8);  // Round(53.33 * 0.15)
    EXPECT_FALSE(f.host.canvas.of(Op::Polyline).empty());
    EXPECT_EQ(f.host.drawnNotices, 1);
    // Half the pixels per unit: the front end is half as far from the centre.
    EXPECT_EQ(f.s().Pix.PropagationAxisPix[1], (PixelPoint{400 + 181, 300 - 91}));
}

TEST(PagePreview, LaysOutMarginsAndScalesLikeThePaper)
{
    SceneFixture f;
    RecordingCanvas canvas;
    const scene::PageLayout landscape{1, 297, 210, 20, 15, 20, 15};
    scene::drawPagePreview(f.s(), landscape, 300, 212, canvas);
    // ml = Round(20/297*300) = 20, mr = Round(15.15) = 15, mt = Round(20/210*212) = 20,
    // mb = Round(15.14) = 15.
    const auto fills = canvas.of(Op::FillRect);
    ASSERT_GE(fills.size(), 5u);
    const std::vector<std::vector<PixelPoint>> strips = {
        {{0, 0}, {301, 21}}, {{0, 20}, {21, 198}}, {{285, 20}, {301, 198}}, {{0, 197}, {301, 213}}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(fills[i]->points, strips[i]) << i;
        EXPECT_EQ(fills[i]->fill.color, common::rgb(255, 255, 255));
    }
    // The scene in the inner rectangle, 265 x 177 from (20, 20).
    EXPECT_EQ(fills[4]->points, (std::vector<PixelPoint>{{20, 20}, {286, 198}}));
    // f = 300 / (297 mm at 4266.67 px/m) = 0.2367: the scene is centred at (20 + 132, 20 + 88).
    const double factor = 300.0 / (297 * (1280 / 0.3) * 0.001);
    const auto& origin = f.s().Pix.HiddenAxisSegment[0];
    EXPECT_NEAR(origin.x, 152 + 1.06066 * f.s().PixelsPerUnit * factor, 1.0);
    // Portrait scales by the height instead.
    canvas.calls.clear();
    const scene::PageLayout portrait{0, 210, 297, 15, 15, 20, 15};
    scene::drawPagePreview(f.s(), portrait, 212, 300, canvas);
    const auto texts = canvas.of(Op::TextOut);
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0]->font.pixelHeight,
              common::roundToInt(f.s().PixelsPerUnit * (300.0 / (297 * (1280 / 0.3) * 0.001)) * 0.15));
}

TEST(PagePreview, MarginsWiderThanThePageDrawOnlyMargins)
{
    SceneFixture f;
    RecordingCanvas canvas;
    const scene::PageLayout page{1, 297, 210, 200, 200, 20, 15};
    scene::drawPagePreview(f.s(), page, 300, 212, canvas);
    const auto clips = canvas.of(Op::SetClip);
    ASSERT_EQ(clips.size(), 1u);
    // Inner width 300 - 404 < 0: the clip rectangle is inverted, nothing of the scene shows.
    EXPECT_LT(clips[0]->points[1].x, clips[0]->points[0].x);

    canvas.calls.clear();
    scene::drawPagePreview(f.s(), scene::PageLayout{1, 0, 0, 15, 15, 20, 15}, 300, 212, canvas);
    ASSERT_EQ(canvas.calls.size(), 1u);  // a blank page, no division by zero
    EXPECT_EQ(canvas.calls[0].op, Op::FillRect);
}

}  // namespace
