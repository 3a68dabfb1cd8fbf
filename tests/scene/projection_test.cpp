// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "scene/extent.h"
#include "scene/geometry.h"
#include "scene/projection.h"
#include "scene_fixture.h"

namespace {

using scene::ModelPoint;
using scene::PixelPoint;
using testing_support::RecordingCanvas;
using testing_support::SceneFixture;

void view(scene::SceneState& s, int azimuth, int elevation)
{
    scene::setAzimuth(s, azimuth);
    scene::setElevation(s, elevation);
    scene::updateViewMatrix(s);
    scene::projectScene(s, s.DrawWidth, s.DrawHeight, s.PixelsPerUnit, 1.0);
}

TEST(ProjectScene, DefaultSceneLandsWhereHandComputed)
{
    SceneFixture f;
    EXPECT_NEAR(f.s().PixelsPerUnit, 106.6666666, 1e-6);
    EXPECT_EQ(f.s().Pix.PropagationAxisPix[1], (PixelPoint{762, 119}));
    EXPECT_EQ(f.s().Pix.OriginPix, (PixelPoint{513, 243}));
    // Surface corners: upper -Y, upper +Y, lower +Y, lower -Y.
    EXPECT_EQ(f.s().Pix.ReferenceRectPix[0], (PixelPoint{604, 178}));
    EXPECT_EQ(f.s().Pix.ReferenceRectPix[3], (PixelPoint{604, 400}));
}

TEST(ProjectScene, NotCentredDrawsTheMiddleOfThePropagationAxisAtTheAreaCentre)
{
    SceneFixture f;
    const auto context = scene::makeProjectionContext(f.s(), 800, 600, f.s().PixelsPerUnit, 1.0);
    EXPECT_EQ(scene::projectPoint({-1.5, 0, 0}, context), (PixelPoint{400, 300}));
    f.s().CoordinateSystemCentered = true;
    scene::computeSceneCentre(f.s());
    scene::projectScene(f.s(), 800, 600, f.s().PixelsPerUnit, 1.0);
    EXPECT_EQ(f.s().Pix.OriginPix, (PixelPoint{400, 300}));
}

TEST(ProjectScene, CentreOfAnOddAreaIsRoundedDown)
{
    SceneFixture f;
    f.s().CoordinateSystemCentered = true;
    scene::computeSceneCentre(f.s());
    scene::projectScene(f.s(), 11, 7, f.s().PixelsPerUnit, 1.0);
    EXPECT_EQ(f.s().Pix.OriginPix, (PixelPoint{5, 3}));
}

TEST(ProjectScene, ChangingTheWavelengthKeepsTheOldCentreUntilRecomputed)
{
    SceneFixture f;
    f.s().Proportions.Wavelength = 5.0;
    scene::buildModel(f.s());
    scene::setWaveAbscissae(f.s(), 5.0);
    EXPECT_DOUBLE_EQ(f.s().SceneCentre.X, -1.5);
    scene::computeSceneCentre(f.s());
    EXPECT_DOUBLE_EQ(f.s().SceneCentre.X, -2.5);
}

// An independent route to the same picture: turn the model by -azimuth about Z, then tilt it by
// the elevation about the new horizontal axis; screen x is the first coordinate, screen up the
// third.
PixelPoint rotatedProjection(const ModelPoint& p, const ModelPoint& centre, int azimuth,
                             int elevation, double scale, int cx, int cy)
{
    const double a = -azimuth * M_PI / 180;
    const double e = elevation * M_PI / 180;
    const double rz[3][3] = {{std::cos(a), -std::sin(a), 0}, {std::sin(a), std::cos(a), 0}, {0, 0, 1}};
    const double rx[3][3] = {{1, 0, 0}, {0, std::cos(e), -std::sin(e)}, {0, std::sin(e), std::cos(e)}};
    double m[3][3] = {};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            for (int k = 0; k < 3; ++k) {
                m[i][j] += rx[i][k] * rz[k][j];
            }
        }
    }
    const double d[3] = {p.X - centre.X, p.Y - centre.Y, p.Z - centre.Z};
    const double screenX = m[0][0] * d[0] + m[0][1] * d[1] + m[0][2] * d[2];
    const double screenUp = m[2][0] * d[0] + m[2][1] * d[1] + m[2][2] * d[2];
    return {static_cast<int>(std::nearbyint(screenX * scale)) + cx,
            cy - static_cast<int>(std::nearbyint(screenUp * scale))};
}

TEST(ProjectScene, MatchesARotationOfTheModelAtManyObserverAngles)
{
    SceneFixture f;
    f.s().Params.PhaseShift = 37;
    scene::computeWaveSamples(f.s(), 99, 53);
    int compared = 0;
    int offByOne = 0;
    for (int azimuth = -180; azimuth <= 180; azimuth += 7) {
        for (int elevation = -90; elevation <= 90; elevation += 9) {
            view(f.s(), azimuth, elevation);
            const auto& m = f.s().Model;
            const auto& pix = f.s().Pix;
            const auto check = [&](const ModelPoint& model, PixelPoint actual) {
                const PixelPoint expected = rotatedProjection(model, f.s().SceneCentre, azimuth,
                                                              elevation, f.s().PixelsPerUnit, 400, 300);
                const int dx = std::abs(expected.x - actual.x);
                const int dy = std::abs(expected.y - actual.y);
                ASSERT_LE(dx, 1) << azimuth << "/" << elevation;
                ASSERT_LE(dy, 1) << azimuth << "/" << elevation;
                offByOne += dx + dy;
                ++compared;
            };
            for (int k = 0; k < scene::WaveSampleCount; k += 31) {
                check(m.ResultantWave[k], pix.ResultantWavePix[k]);
                check(m.VerticalWave[k], pix.VerticalWavePix[k]);
            }
            for (int i = 0; i < 4; ++i) {
                check(m.ReferenceRect[i], pix.ReferenceRectPix[i]);
                check(m.VerticalAxisArrow[i], pix.VerticalAxisArrowPix[i]);
            }
            check(m.PropagationAxis[0], pix.PropagationAxisPix[0]);
            check(m.HorizontalLabelAnchor, pix.HorizontalLabelAnchorPix);
            check(m.Ellipse[200], pix.EllipsePix[200]);
            check(m.ResultantVector[1], pix.ResultantVectorPix[1]);
        }
    }
    // Only values within a rounding error of a half may land on the other pixel.
    EXPECT_LT(offByOne, compared / 1000 + 1);
}

TEST(ProjectScene, TenfoldDeviceFactorMovesEverythingTenTimesFartherOut)
{
    SceneFixture f;
    scene::projectScene(f.s(), 800, 600, f.s().PixelsPerUnit, 1.0);
    const auto small = f.s().Pix;
    scene::projectScene(f.s(), 800, 600, f.s().PixelsPerUnit, 10.0);
    const auto& large = f.s().Pix;
    for (int k = 0; k < scene::WaveSampleCount; k += 97) {
        EXPECT_NEAR(large.ResultantWavePix[k].x - 400, 10 * (small.ResultantWavePix[k].x - 400), 5);
        EXPECT_NEAR(large.ResultantWavePix[k].y - 300, 10 * (small.ResultantWavePix[k].y - 300), 5);
    }
    const auto height = [](const scene::LabelBox& b) { return b.bottom - b.top; };
    const auto width = [](const scene::LabelBox& b) { return b.right - b.left; };
    EXPECT_EQ(height(large.VerticalLabelBox), 10 * height(small.VerticalLabelBox));
    EXPECT_EQ(width(large.PropagationLabelBox), 10 * width(small.PropagationLabelBox));
}

TEST(ProjectScene, DoesNothingBeforeTheSceneIsReady)
{
    SceneFixture f(false);
    f.s().Pix.OriginPix = {-7, -7};
    f.s().Pix.PropagationLabelBox.left = 99;
    scene::projectScene(f.s(), 800, 600, 100.0, 1.0);
    EXPECT_EQ(f.s().Pix.OriginPix, (PixelPoint{-7, -7}));
    EXPECT_EQ(f.s().Pix.PropagationLabelBox.left, 99);
    EXPECT_TRUE(f.host.canvas.calls.empty());
}

TEST(ExitPoint, CollapsesOntoTheOriginWhenLookingAlongOrAcrossTheAxis)
{
    SceneFixture f;
    for (auto [azimuth, elevation] :
         {std::pair{0, 30}, {180, -20}, {-180, 45}, {-45, 90}, {120, -90}, {0, 0}}) {
        view(f.s(), azimuth, elevation);
        EXPECT_EQ(f.s().Pix.HiddenAxisSegment[0], f.s().Pix.OriginPix);
        EXPECT_EQ(f.s().Pix.HiddenAxisSegment[1], f.s().Pix.OriginPix) << azimuth << "/" << elevation;
    }
}

TEST(ExitPoint, DefaultViewLeavesThroughTheSideEdgeTowardTheFrontEnd)
{
    SceneFixture f;
    // O (513, 243) toward B (762, 119) meets the column x = 604 at 243 - 91 * 124/249 = 197.7.
    EXPECT_EQ(f.s().Pix.HiddenAxisSegment[1], (PixelPoint{604, 198}));
}

TEST(ExitPoint, SideViewFromAboveUsesTheUpperEdgeOrTheFarEnd)
{
    SceneFixture f;
    // Azimuth -90: the axis is the vertical line x = 400 through O (400, 220). At elevation 30
    // the front end (y 44) is above the surface's upper edge (y 109).
    view(f.s(), -90, 30);
    EXPECT_EQ(f.s().Pix.OriginPix, (PixelPoint{400, 220}));
    EXPECT_EQ(f.s().Pix.HiddenAxisSegment[1], (PixelPoint{400, 109}));
    // At elevation 5 the front end (y 255) is seen within the surface.
    view(f.s(), -90, 5);
    EXPECT_EQ(f.s().Pix.HiddenAxisSegment[1], f.s().Pix.PropagationAxisPix[1]);
}

TEST(ExitPoint, LiesOnTheSurfaceBorderOnTheLineTowardTheFarEnd)
{
    SceneFixture f;
    for (int azimuth = -175; azimuth <= 175; azimuth += 10) {
        for (int elevation = -85; elevation <= 85; elevation += 10) {
            view(f.s(), azimuth, elevation);
            const auto& pix = f.s().Pix;
            const PixelPoint o = pix.OriginPix;
            const PixelPoint b = azimuth < 0 ? pix.PropagationAxisPix[1] : pix.PropagationAxisPix[0];
            const PixelPoint e = pix.HiddenAxisSegment[1];
            // On the segment O-B, within a pixel of rounding.
            const double cross = static_cast<double>(b.x - o.x) * (e.y - o.y) -
                                 static_cast<double>(b.y - o.y) * (e.x - o.x);
            const double length = std::hypot(b.x - o.x, b.y - o.y);
            ASSERT_LE(std::fabs(cross) / length, 1.5) << azimuth << "/" << elevation;
            ASSERT_LE(std::min(o.x, b.x) - 1, e.x);
            ASSERT_LE(e.x, std::max(o.x, b.x) + 1);
            // Never outside the projected surface's bounding box.
            const auto& q = pix.ReferenceRectPix;
            ASSERT_GE(e.x, std::min({q[0].x, q[1].x, q[2].x, q[3].x}) - 1) << azimuth << "/" << elevation;
            ASSERT_LE(e.x, std::max({q[0].x, q[1].x, q[2].x, q[3].x}) + 1) << azimuth << "/" << elevation;
            ASSERT_GE(e.y, std::min({q[0].y, q[1].y}) - 1) << azimuth << "/" << elevation;
            ASSERT_LE(e.y, std::max({q[2].y, q[3].y}) + 1) << azimuth << "/" << elevation;
        }
    }
}

TEST(PropagationArrow, UprightUnlessSteepOrLookingAlongTheBarbs)
{
    SceneFixture f;
    struct Row {
        int azimuth, elevation;
        bool upright;
    };
    const Row rows[] = {{-45, 30, true}, {-45, 45, true},  {-45, 46, false}, {-80, 30, false},
                        {-80, 10, true}, {90, 0, true},    {30, -46, false}, {150, -40, true},
                        {-90, 1, false}, {0, -45, true},   {0, -46, false}};
    for (const Row& r : rows) {
        view(f.s(), r.azimuth, r.elevation);
        const auto context = scene::makeProjectionContext(f.s(), 800, 600, f.s().PixelsPerUnit, 1.0);
        const auto& model = r.upright ? f.s().Model.PropagationArrowUpright : f.s().Model.PropagationArrowFlat;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(f.s().Pix.PropagationArrowPix[i], scene::projectPoint(model[i], context))
                << r.azimuth << "/" << r.elevation;
        }
    }
}

TEST(LabelBoxes, SitBesideTheirAnchorsAndAreCentredVertically)
{
    SceneFixture f;
    f.s().PropagationAxisLabel = "cc";
    f.s().VerticalAxisLabel = "Vert";
    scene::projectScene(f.s(), 800, 600, f.s().PixelsPerUnit, 1.0);
    const auto& pix = f.s().Pix;
    // Label font 16 px (Round(106.67 * 0.15)); the recording canvas makes "X" 9 x 16.
    ASSERT_EQ(f.s().LabelCharWidth, 9);
    ASSERT_EQ(f.s().LabelCharHeight, 16);
    const int hw = 4;
    const int hh = 8;
    const PixelPoint p = pix.PropagationLabelAnchorPix;
    // The anchor lies right of the front end, so the label starts half a character left of it.
    ASSERT_GT(p.x, pix.PropagationAxisPix[1].x);
    EXPECT_EQ(pix.PropagationLabelBox.left, p.x - hw);
    EXPECT_EQ(pix.PropagationLabelBox.right, p.x - hw + 19);
    EXPECT_EQ(pix.PropagationLabelBox.top, p.y - hh);
    EXPECT_EQ(pix.PropagationLabelBox.bottom, p.y - hh + 16);
    // The horizontal axis points to the right and down here too.
    const PixelPoint h = pix.HorizontalLabelAnchorPix;
    ASSERT_GT(h.x, pix.HorizontalAxisPix[1].x);
    EXPECT_EQ(pix.HorizontalLabelBox.left, h.x - hw);
    const PixelPoint v = pix.VerticalLabelAnchorPix;
    EXPECT_EQ(pix.VerticalLabelBox.left, v.x - 38 / 2);
    EXPECT_EQ(pix.VerticalLabelBox.right, v.x - 19 + 38);
    EXPECT_EQ(pix.VerticalLabelBox.top, v.y - hh);

    // Seen from the other side the anchors lie left of their tips: the labels end there.
    view(f.s(), 135, 30);
    const PixelPoint p2 = pix.PropagationLabelAnchorPix;
    ASSERT_LT(p2.x, pix.PropagationAxisPix[1].x);
    EXPECT_EQ(pix.PropagationLabelBox.left, p2.x + hw - 19);
    EXPECT_EQ(pix.PropagationLabelBox.right, p2.x + hw);
    const PixelPoint h2 = pix.HorizontalLabelAnchorPix;
    ASSERT_LT(h2.x, pix.HorizontalAxisPix[1].x);
    EXPECT_EQ(pix.HorizontalLabelBox.right, h2.x + hw);
}

// Projecting again must give what projecting a copy of the state from scratch gives, whatever
// changed in between: what is kept of the last projection must never outlive its inputs.
TEST(ProjectScene, AgainGivesWhatAFreshStateGivesAfterAnyChange)
{
    SceneFixture f;
    scene::SceneState& s = f.s();
    int w = 800;
    int h = 600;
    double ppu = s.PixelsPerUnit;
    double factor = 1.0;
    const auto projectAndCompare = [&](const char* change) {
        scene::projectScene(s, w, h, ppu, factor);
        auto fresh = std::make_unique<scene::SceneState>(s);
        fresh->KeptPix = {};
        fresh->Pix = {};
        scene::projectScene(*fresh, w, h, ppu, factor);
        const scene::SceneProjection& a = s.Pix;
        const scene::SceneProjection& b = fresh->Pix;
        EXPECT_EQ(a.ReferenceRectPix, b.ReferenceRectPix) << change;
        EXPECT_EQ(a.PropagationAxisPix, b.PropagationAxisPix) << change;
        EXPECT_EQ(a.HorizontalAxisPix, b.HorizontalAxisPix) << change;
        EXPECT_EQ(a.VerticalAxisPix, b.VerticalAxisPix) << change;
        EXPECT_EQ(a.OriginPix, b.OriginPix) << change;
        EXPECT_EQ(a.HiddenAxisSegment, b.HiddenAxisSegment) << change;
        EXPECT_EQ(a.PropagationArrowPix, b.PropagationArrowPix) << change;
        EXPECT_EQ(a.HorizontalAxisArrowPix, b.HorizontalAxisArrowPix) << change;
        EXPECT_EQ(a.VerticalAxisArrowPix, b.VerticalAxisArrowPix) << change;
        EXPECT_EQ(a.PropagationLabelAnchorPix, b.PropagationLabelAnchorPix) << change;
        EXPECT_EQ(a.HorizontalLabelAnchorPix, b.HorizontalLabelAnchorPix) << change;
        EXPECT_EQ(a.VerticalLabelAnchorPix, b.VerticalLabelAnchorPix) << change;
        EXPECT_EQ(a.HorizontalWavePix, b.HorizontalWavePix) << change;
        EXPECT_EQ(a.VerticalWavePix, b.VerticalWavePix) << change;
        EXPECT_EQ(a.ResultantWavePix, b.ResultantWavePix) << change;
        EXPECT_EQ(a.EllipsePix, b.EllipsePix) << change;
        EXPECT_EQ(a.ResultantVectorPix, b.ResultantVectorPix) << change;
        EXPECT_EQ(a.ResultantVectorArrowPix, b.ResultantVectorArrowPix) << change;
        const auto box = [](const scene::LabelBox& l) { return std::array{l.left, l.right, l.top, l.bottom}; };
        EXPECT_EQ(box(a.PropagationLabelBox), box(b.PropagationLabelBox)) << change;
        EXPECT_EQ(box(a.HorizontalLabelBox), box(b.HorizontalLabelBox)) << change;
        EXPECT_EQ(box(a.VerticalLabelBox), box(b.VerticalLabelBox)) << change;
    };
    projectAndCompare("nothing");
    for (int t = 1; t <= 520; t += 13) {
        scene::computeWaveSamples(s, t % 513, s.Params.PhaseStep);
        projectAndCompare("time step");
    }
    scene::translateScene(s, 17, -5);
    projectAndCompare("pixels shifted after projecting");
    scene::setAzimuth(s, 100);
    scene::updateViewMatrix(s);
    projectAndCompare("azimuth");
    scene::setElevation(s, -60);
    scene::updateViewMatrix(s);
    projectAndCompare("elevation, now with the flat arrowhead");
    ppu *= 1.25;
    projectAndCompare("scale");
    factor = 10.0;
    projectAndCompare("device factor");
    w = 1001;
    projectAndCompare("width");
    h = 7;
    projectAndCompare("height");
    s.Params.VerticalAmplitude = 0.3;
    scene::computeWaveSamples(s, 40, s.Params.PhaseStep);
    projectAndCompare("amplitude");
    scene::setPhaseShift(s, 45);
    scene::computeWaveSamples(s, 40, s.Params.PhaseStep);
    projectAndCompare("phase");
    s.CoordinateSystemCentered = true;
    scene::computeSceneCentre(s);
    projectAndCompare("centre");
    s.Proportions.ArrowLength = 0.4;
    scene::buildModel(s);
    projectAndCompare("model rebuilt");
    s.Model.Ellipse[512].Y = -s.Model.Ellipse[512].Y - 0.5;
    projectAndCompare("one ellipse point");
    s.Model.VerticalLabelAnchor.Z += 1.0;
    projectAndCompare("one anchor");
}

TEST(ProjectScene, HugeScalesSaturateInsteadOfOverflowing)
{
    SceneFixture f;
    scene::projectScene(f.s(), 800, 600, 1e12, 1.0);
    // The rounded offset saturates, and adding the centre saturates again.
    EXPECT_EQ(f.s().Pix.PropagationAxisPix[1].x, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(f.s().Pix.PropagationAxisPix[0].x, std::numeric_limits<std::int32_t>::min() + 400);
    EXPECT_EQ(f.s().Pix.VerticalAxisPix[1].y, 300 - std::numeric_limits<std::int32_t>::max());
}

}  // namespace

namespace {

// The projection takes a double-precision shortcut wherever it provably rounds like the
// extended-precision formula; both must agree everywhere, above all next to halves.
TEST(ProjectPoint, ShortcutAgreesWithExtendedPrecision)
{
    SceneFixture f;
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> coordinate(-8.0, 8.0);
    std::uniform_int_distribution<int> azimuth(-180, 180);
    std::uniform_int_distribution<int> elevation(-90, 90);
    std::uniform_real_distribution<double> scale(0.5, 5000.0);
    int nearHalf = 0;
    int widthsRun = 0;
    auto& wave = f.s().Model.ResultantWave;
    for (int round = 0; round < 400; ++round) {
        scene::setAzimuth(f.s(), azimuth(random));
        scene::setElevation(f.s(), elevation(random));
        scene::updateViewMatrix(f.s());
        const double pixelsPerUnit = scale(random);
        const double deviceFactor = 1.0 + round % 3;
        const auto context = scene::makeProjectionContext(f.s(), 801, 600, pixelsPerUnit, deviceFactor);
        for (int i = 0; i < 500; ++i) {
            ModelPoint p{coordinate(random), coordinate(random), coordinate(random)};
            if (i % 2 == 0) {
                // Move the point so that its screen x lands on a half, give or take an ulp or two.
                const auto& h = context.rowH;
                const long double at = (h[0] * (p.X - context.centre.X) + h[1] * (p.Y - context.centre.Y)) *
                                       context.scale;
                const long double target = std::floor(at) + 0.5L;
                if (std::fabs(h[0]) > 0.1) {
                    p.X += static_cast<double>((target - at) / (context.scale * h[0]));
                    ++nearHalf;
                }
            }
            const PixelPoint fast = scene::projectPoint(p, context);
            const PixelPoint exact = scene::projectPointExtended(p, context);
            ASSERT_EQ(fast, exact) << p.X << " " << p.Y << " " << p.Z;
            // Whole arrays take a shortcut of their own: some rounds put a few points near a half
            // among ordinary ones, others a crowd of them.
            if (round % 2 == 0 ? i < 250 : i % 100 == 0) {
                wave[static_cast<std::size_t>(3 * i + round % 3)] = p;
            }
        }
        scene::projectScene(f.s(), 801, 600, pixelsPerUnit, deviceFactor);
        for (std::size_t k = 0; k < wave.size(); ++k) {
            ASSERT_EQ(f.s().Pix.ResultantWavePix[k], scene::projectPointExtended(wave[k], context)) << k;
        }
        // Every width of the vector code this processor runs, not only the widest the scene
        // takes; the odd count leaves a last, padded block for each.
        for (const std::size_t lanes : {2, 4, 8}) {
            std::array<PixelPoint, scene::WaveSampleCount> pix;
            if (scene::projectPointsWithLanes(lanes, wave.data(), pix.data(), wave.size(), context)) {
                ++widthsRun;
                ASSERT_EQ(pix, f.s().Pix.ResultantWavePix) << lanes << " lanes";
            }
        }
    }
    EXPECT_GT(nearHalf, 10000);
    EXPECT_GE(widthsRun, 400);
    // Far outside the 32-bit range both saturate alike.
    const auto wide = scene::makeProjectionContext(f.s(), 800, 600, 1e15, 1.0);
    EXPECT_EQ(scene::projectPoint({5, 5, 5}, wide), scene::projectPointExtended({5, 5, 5}, wide));
    const ModelPoint nan{std::nan(""), 0, 0};
    EXPECT_EQ(scene::projectPoint(nan, wide), scene::projectPointExtended(nan, wide));
}

}  // namespace
