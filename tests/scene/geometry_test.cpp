// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "scene/geometry.h"
#include "scene_fixture.h"

namespace {

using scene::ModelPoint;
using testing_support::SceneFixture;

constexpr double Tolerance = 1e-12;

void expectPoint(const ModelPoint& actual, const ModelPoint& expected, const char* what)
{
    EXPECT_NEAR(actual.X, expected.X, Tolerance) << what;
    EXPECT_NEAR(actual.Y, expected.Y, Tolerance) << what;
    EXPECT_NEAR(actual.Z, expected.Z, Tolerance) << what;
}

TEST(PhaseStep, IsDegreesTimes512Div360TowardZero)
{
    SceneFixture f(false);
    const std::pair<int, int> rows[] = {{90, 128}, {-180, -256}, {180, 256}, {1, 1},
                                        {-1, -1},  {0, 0},       {-90, -128}, {45, 64},
                                        {-100, -142}, {100, 142}};
    for (auto [degrees, step] : rows) {
        scene::setPhaseShift(f.s(), degrees);
        EXPECT_EQ(f.s().Params.PhaseStep, step) << degrees;
    }
}

TEST(BuildModel, PlacesFixedPointsFromProportions)
{
    SceneFixture f(false);
    auto& p = f.s().Proportions;
    p.ReferenceRectHalfWidth = 1.0;
    p.AxisHalfLength = 2.0;
    p.AxisLabelSpacing = 0.5;
    p.ArrowLength = 0.4;
    p.Wavelength = 10.0;
    scene::buildModel(f.s());
    const auto& m = f.s().Model;
    EXPECT_DOUBLE_EQ(f.s().ArrowHalfWidth, 0.1);
    EXPECT_DOUBLE_EQ(f.s().TwoWavelengths, 20.0);
    expectPoint(m.ReferenceRect[0], {0, -1, 1}, "surface upper -Y");
    expectPoint(m.ReferenceRect[2], {0, 1, -1}, "surface lower +Y");
    expectPoint(m.PropagationAxis[0], {-21, 0, 0}, "back end");
    expectPoint(m.PropagationAxis[1], {11, 0, 0}, "front end");
    expectPoint(m.HorizontalAxis[1], {0, -2, 0}, "horizontal arrow end");
    expectPoint(m.VerticalAxis[1], {0, 0, 2}, "vertical arrow end");
    expectPoint(m.PropagationArrowFlat[0], {11.4, 0, 0}, "flat tip");
    expectPoint(m.PropagationArrowFlat[1], {11, 0.1, 0}, "flat barb");
    expectPoint(m.PropagationArrowUpright[2], {11, 0, -0.1}, "upright barb");
    expectPoint(m.HorizontalAxisArrow[0], {0, -2.4, 0}, "horizontal tip");
    expectPoint(m.HorizontalAxisArrow[1], {0, -2, 0.1}, "horizontal barb");
    expectPoint(m.VerticalAxisArrow[2], {0, -0.1, 2}, "vertical barb");
    expectPoint(m.PropagationLabelAnchor, {11.9, 0, 0}, "propagation label");
    expectPoint(m.HorizontalLabelAnchor, {0, -2.9, 0}, "horizontal label");
    expectPoint(m.VerticalLabelAnchor, {0, 0, 2.9}, "vertical label");
    for (const auto* arrow : {&m.PropagationArrowFlat, &m.HorizontalAxisArrow, &m.VerticalAxisArrow}) {
        expectPoint((*arrow)[3], (*arrow)[0], "arrowheads are closed");
    }
}

TEST(WaveSamples, CoverThreeWavelengthsWithTheObservationPlaneAtSample1024)
{
    SceneFixture f;
    const auto& wave = f.s().Model.ResultantWave;
    for (int k : {0, 1, 511, 512, 700, 1024, 1300, 1536}) {
        EXPECT_NEAR(wave[k].X, (k - 1024) * 3.0 / 512, 1e-12) << k;
    }
    EXPECT_EQ(wave[1024].X, 0.0);
    for (const auto& e : f.s().Model.Ellipse) {
        EXPECT_EQ(e.X, 0.0);
    }
}

// Closed form: the horizontal displacement along -Y is aH cos θ, the vertical along +Z
// aV cos(θ - φ), θ = 2π (i - t)/512, φ = 2π p/512.
TEST(WaveSamples, FollowTheClosedFormAtEveryStep)
{
    SceneFixture f;
    struct Row {
        double aH, aV;
        int t, p;
    };
    const Row rows[] = {{1.0, 1.0, 0, -128}, {0.3, 0.8, 100, 64}, {0.5, 0.0, 511, 256},
                        {0.7, 0.2, 512, -256}, {1.0, 0.6, 37, 1}};
    for (const Row& r : rows) {
        f.s().Params.HorizontalAmplitude = r.aH;
        f.s().Params.VerticalAmplitude = r.aV;
        scene::computeWaveSamples(f.s(), r.t, r.p);
        const auto& m = f.s().Model;
        for (int k = 0; k < scene::WaveSampleCount; ++k) {
            const int i = k % 512 + (k == 1536 ? 512 : 0);
            const double theta = 2 * M_PI * (i - r.t) / 512;
            const double phi = 2 * M_PI * r.p / 512;
            ASSERT_NEAR(m.HorizontalWave[k].Y, -r.aH * std::cos(theta), 1e-12) << k;
            ASSERT_EQ(m.HorizontalWave[k].Z, 0.0);
            ASSERT_EQ(m.VerticalWave[k].Y, 0.0);
            ASSERT_NEAR(m.VerticalWave[k].Z, r.aV * std::cos(theta - phi), 1e-12) << k;
            ASSERT_EQ(m.ResultantWave[k].Y, m.HorizontalWave[k].Y);
            ASSERT_EQ(m.ResultantWave[k].Z, m.VerticalWave[k].Z);
        }
    }
}

TEST(WaveSamples, TimeStep512ShowsTheSameStateAsZero)
{
    SceneFixture f;
    scene::computeWaveSamples(f.s(), 0, 77);
    const auto first = f.s().Model.ResultantWave;
    const auto firstTip = f.s().Model.ResultantVector[1];
    scene::computeWaveSamples(f.s(), 512, 77);
    for (int k = 0; k < scene::WaveSampleCount; ++k) {
        EXPECT_NEAR(f.s().Model.ResultantWave[k].Y, first[k].Y, 1e-15);
        EXPECT_NEAR(f.s().Model.ResultantWave[k].Z, first[k].Z, 1e-15);
    }
    expectPoint(f.s().Model.ResultantVector[1], firstTip, "tip");
}

TEST(Ellipse, IsTheSameCurveForEveryTimeAndStartsAtPhaseZero)
{
    SceneFixture f;
    f.s().Params.HorizontalAmplitude = 0.9;
    f.s().Params.VerticalAmplitude = 0.4;
    scene::computeWaveSamples(f.s(), 0, 50);
    const auto reference = f.s().Model.Ellipse;
    EXPECT_NEAR(reference[0].Y, -0.9, 1e-15);
    EXPECT_NEAR(reference[0].Z, 0.4 * std::cos(2 * M_PI * 50 / 512), 1e-15);
    expectPoint(reference[512], reference[0], "closed");
    for (int t : {1, 100, 255, 511, 512}) {
        scene::computeWaveSamples(f.s(), t, 50);
        for (int j = 0; j < scene::EllipsePointCount; ++j) {
            ASSERT_NEAR(f.s().Model.Ellipse[j].Y, reference[j].Y, 1e-12) << t << " " << j;
            ASSERT_NEAR(f.s().Model.Ellipse[j].Z, reference[j].Z, 1e-12) << t << " " << j;
        }
    }
}

TEST(Ellipse, QuarterPhaseGivesACircleAndHalfOrNoPhaseALine)
{
    SceneFixture f;
    f.s().Params.HorizontalAmplitude = 0.8;
    f.s().Params.VerticalAmplitude = 0.8;
    scene::computeWaveSamples(f.s(), 0, 128);
    for (const auto& e : f.s().Model.Ellipse) {
        EXPECT_NEAR(std::hypot(e.Y, e.Z), 0.8, 1e-12);
    }
    for (int p : {0, 256, -256}) {
        scene::computeWaveSamples(f.s(), 0, p);
        const double slope = p == 0 ? -1.0 : 1.0;  // Z = aV cos θ against Y = -aH cos θ
        for (const auto& e : f.s().Model.Ellipse) {
            EXPECT_NEAR(e.Z, slope * e.Y, 1e-12) << p;
        }
    }
}

TEST(ResultantVector, BarbsSitArrowLengthBackAndHalfWidthAside)
{
    SceneFixture f;
    f.s().Params.HorizontalAmplitude = 0.6;
    f.s().Params.VerticalAmplitude = 0.8;
    scene::computeWaveSamples(f.s(), 0, 0);  // tip at (0, -0.6, 0.8), length 1
    const auto& m = f.s().Model;
    expectPoint(m.ResultantVector[0], {0, 0, 0}, "origin");
    expectPoint(m.ResultantVector[1], {0, -0.6, 0.8}, "tip");
    const double l = 0.15;
    const double w = 0.0375;
    const ModelPoint base{0, -0.6 * (1 - l), 0.8 * (1 - l)};
    // The vector's direction is (-0.6, 0.8) in (Y, Z); barb 1 lies on the side (-0.8, -0.6).
    expectPoint(m.ResultantVectorArrow[1], {0, base.Y - 0.8 * w, base.Z - 0.6 * w}, "barb 1");
    expectPoint(m.ResultantVectorArrow[2], {0, base.Y + 0.8 * w, base.Z + 0.6 * w}, "barb 2");
    expectPoint(m.ResultantVectorArrow[3], m.ResultantVector[1], "closed");
}

TEST(ResultantVector, ZeroAmplitudesLeaveTheTipAtTheOriginPointingAlongY)
{
    SceneFixture f;
    f.s().Params.HorizontalAmplitude = 0.0;
    f.s().Params.VerticalAmplitude = 0.0;
    scene::computeWaveSamples(f.s(), 17, -40);
    const auto& m = f.s().Model;
    expectPoint(m.ResultantVector[1], {0, 0, 0}, "tip");
    for (const auto& sample : m.ResultantWave) {
        EXPECT_EQ(sample.Y, 0.0);
        EXPECT_EQ(sample.Z, 0.0);
    }
    // α = 0, so the barbs lie ArrowLength toward -Y and half a width to either side.
    expectPoint(m.ResultantVectorArrow[1], {0, -0.15, 0.0375}, "barb 1");
    expectPoint(m.ResultantVectorArrow[2], {0, -0.15, -0.0375}, "barb 2");
}

TEST(ResultantVector, LongArrowOnShortVectorReachesBeyondTheOrigin)
{
    SceneFixture f;
    f.s().Proportions.ArrowLength = 0.5;
    scene::buildModel(f.s());
    f.s().Params.HorizontalAmplitude = 0.1;
    f.s().Params.VerticalAmplitude = 0.0;
    scene::computeWaveSamples(f.s(), 0, 0);  // tip (0, -0.1, 0): points along -Y
    EXPECT_NEAR(f.s().Model.ResultantVectorArrow[1].Y, 0.4, 1e-12);
    EXPECT_NEAR(f.s().Model.ResultantVectorArrow[2].Y, 0.4, 1e-12);
}

TEST(SafeArcTan2, AnswersOnTheYAxisWithoutAtan2)
{
    EXPECT_EQ(scene::safeArcTan2(0.0, 0.0), 0.0);
    EXPECT_DOUBLE_EQ(scene::safeArcTan2(2.0, 0.0), M_PI / 2);
    EXPECT_DOUBLE_EQ(scene::safeArcTan2(-2.0, 0.0), -M_PI / 2);
    EXPECT_DOUBLE_EQ(scene::safeArcTan2(1.0, -1.0), 3 * M_PI / 4);
    EXPECT_DOUBLE_EQ(scene::safeArcTan2(-0.0, -1.0), std::atan2(-0.0, -1.0));
}

TEST(WaveSamples, ZeroWavelengthCollapsesOntoTheObservationPlane)
{
    SceneFixture f;
    f.s().Proportions.Wavelength = 0.0;
    scene::buildModel(f.s());
    scene::setWaveAbscissae(f.s(), 0.0);
    for (const auto& sample : f.s().Model.HorizontalWave) {
        EXPECT_EQ(sample.X, 0.0);
    }
    EXPECT_EQ(f.s().Model.PropagationArrowFlat[1].X, 0.0);
    EXPECT_EQ(f.s().Model.PropagationArrowUpright[1].X, 0.0);
}

}  // namespace
