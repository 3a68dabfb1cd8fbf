// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <optional>
#include <random>

#include "scene/geometry.h"
#include "scene/polarisation.h"
#include "scene_fixture.h"

namespace {

using common::THandednessConvention;
using scene::THandedness;
using scene::TPolarisation;
using scene::TPolarisationState;
using scene::TPreset;
using testing_support::SceneFixture;

constexpr double Tolerance = 1e-12;
constexpr auto Optics = THandednessConvention::Optics;
constexpr auto Ieee = THandednessConvention::Ieee;
const double Pi = std::acos(-1.0);
const double Half = std::sqrt(0.5);

// The values as the window's track bars set them: percent, degrees through the scene's own step.
scene::TPolarisationInput drawn(int horizontal, int vertical, int degrees, int timeStep = 0)
{
    SceneFixture f(false);
    f.s().Params.HorizontalAmplitude = horizontal / 100.0;
    f.s().Params.VerticalAmplitude = vertical / 100.0;
    scene::setPhaseShift(f.s(), degrees);
    f.s().Params.TimeStep = timeStep;
    return scene::polarisationInput(f.s().Params);
}

struct Expected {
    TPolarisationState state;
    THandedness handedness;
    std::optional<double> psi;
    std::optional<double> chi;
    std::optional<double> ratio;
    std::array<double, 3> stokes;  // S1 .. S3; unused without a wave
    std::complex<double> jh, jv;
    std::array<double, 2> field;
};

struct Drawn {
    int horizontal, vertical, degrees, timeStep;
};

struct Row {
    const char* name;
    Drawn drawn;
    THandednessConvention convention;
    Expected expected;
};

void expectOptional(const std::optional<double>& actual, const std::optional<double>& expected,
                    const char* what, const char* row)
{
    ASSERT_EQ(actual.has_value(), expected.has_value()) << row << " " << what;
    if (expected) {
        EXPECT_NEAR(*actual, *expected, Tolerance) << row << " " << what;
    }
}

TEST(Polarisation, HandComputedStates)
{
    constexpr auto None = TPolarisationState::None;
    constexpr auto Linear = TPolarisationState::Linear;
    constexpr auto Circular = TPolarisationState::Circular;
    constexpr auto Elliptical = TPolarisationState::Elliptical;
    constexpr auto Right = THandedness::Right;
    constexpr auto Left = THandedness::Left;
    constexpr auto Neither = THandedness::None;
    const std::nullopt_t undefined = std::nullopt;
    const double atanHalf = std::atan(0.5) * 180.0 / Pi;  // 26.565...: aV / aH = 1/2
    const double fifth = 1.0 / std::sqrt(1.25);           // 100 % and 50 % normalised
    const double d = 0.703125 * Pi / 180.0;               // one grid step of 2 pi / 512
    const double phi100 = 99.84375 * Pi / 180.0;
    // clang-format off
    const std::vector<Row> rows = {
        // The default scene: the vertical wave lags by a quarter period.
        {"default optics", {100, 100, -90, 0}, Optics,
         {Circular, Right, undefined, 45.0, 1.0, {0, 0, 1}, Half, {0, Half}, {1, 0}}},
        {"default IEEE", {100, 100, -90, 0}, Ieee,
         {Circular, Left, undefined, -45.0, 1.0, {0, 0, -1}, Half, {0, Half}, {1, 0}}},
        {"+90 optics", {100, 100, 90, 0}, Optics,
         {Circular, Left, undefined, -45.0, 1.0, {0, 0, -1}, Half, {0, -Half}, {1, 0}}},
        {"+90 IEEE", {100, 100, 90, 0}, Ieee,
         {Circular, Right, undefined, 45.0, 1.0, {0, 0, 1}, Half, {0, -Half}, {1, 0}}},
        {"phase 0", {100, 100, 0, 0}, Optics,
         {Linear, Neither, 45.0, 0.0, 0.0, {0, 1, 0}, Half, {Half, 0}, {1, 1}}},
        {"phase 180", {100, 100, 180, 0}, Optics,
         {Linear, Neither, -45.0, 0.0, 0.0, {0, -1, 0}, Half, {-Half, 0}, {1, -1}}},
        {"phase -180", {100, 100, -180, 0}, Ieee,
         {Linear, Neither, -45.0, 0.0, 0.0, {0, -1, 0}, Half, {-Half, 0}, {1, -1}}},
        {"horizontal only", {100, 0, 0, 0}, Optics,
         {Linear, Neither, 0.0, 0.0, 0.0, {1, 0, 0}, 1.0, {0, 0}, {1, 0}}},
        {"horizontal only, phase -90", {100, 0, -90, 0}, Optics,
         {Linear, Neither, 0.0, 0.0, 0.0, {1, 0, 0}, 1.0, {0, 0}, {1, 0}}},
        {"vertical only", {0, 100, 0, 0}, Optics,
         {Linear, Neither, 90.0, 0.0, 0.0, {-1, 0, 0}, 0.0, {1, 0}, {0, 1}}},
        // cos 180 deg makes S2 a negative zero; the axis is still +90, not -90.
        {"vertical only, phase 180", {0, 100, 180, 0}, Optics,
         {Linear, Neither, 90.0, 0.0, 0.0, {-1, 0, 0}, 0.0, {-1, 0}, {0, -1}}},
        {"no wave", {0, 0, -90, 0}, Optics,
         {None, Neither, undefined, undefined, undefined, {}, 0.0, {0, 0}, {0, 0}}},
        {"100 and 50 in phase", {100, 50, 0, 0}, Optics,
         {Linear, Neither, atanHalf, 0.0, 0.0, {0.6, 0.8, 0}, fifth, {fifth / 2, 0}, {1, 0.5}}},
        {"100 and 50, -90", {100, 50, -90, 0}, Optics,
         {Elliptical, Right, 0.0, atanHalf, 0.5, {0.6, 0, 0.8}, fifth, {0, fifth / 2}, {1, 0}}},
        {"50 and 100, +90, IEEE", {50, 100, 90, 0}, Ieee,
         {Elliptical, Right, 90.0, atanHalf, 0.5, {-0.6, 0, 0.8}, fifth / 2, {0, -fifth}, {0.5, 0}}},
        // Equal amplitudes but one grid step past a quarter turn (d = 0.703125 degrees):
        // elliptical, not circular.
        {"equal, 91 degrees", {100, 100, 91, 0}, Optics,
         {Elliptical, Left, -45.0, -44.6484375, std::tan(44.6484375 * Pi / 180.0),
          {0, -std::sin(d), -std::cos(d)}, Half, {-Half * std::sin(d), -Half * std::cos(d)},
          {1, -std::sin(d)}}},
        {"99 and 100, -90", {99, 100, -90, 0}, Optics,
         {Elliptical, Right, 90.0, std::atan(0.99) * 180.0 / Pi, 0.99,
          {-199.0 / 19801.0, 0, 19800.0 / 19801.0}, 99.0 / std::sqrt(19801.0),
          {0, 100.0 / std::sqrt(19801.0)}, {0.99, 0}}},
        {"45 degrees", {100, 100, 45, 0}, Optics,
         {Elliptical, Left, 45.0, -22.5, std::sqrt(2.0) - 1.0, {0, Half, -Half}, Half,
          {0.5, -0.5}, {1, Half}}},
        // 100 degrees are grid step 142, 99.84375 degrees (phi100): the phase that is drawn.
        {"60 and 80, 100 degrees, IEEE", {60, 80, 100, 0}, Ieee,
         {Elliptical, Right, -74.81154250648284, 35.53066599651892, 0.7141009132986728,
          {-0.28, -0.16412341320988919, 0.9458665366933835}, 0.6,
          {0.8 * std::cos(phi100), -0.8 * std::sin(phi100)}, {0.6, 0.8 * std::cos(phi100)}}},
        // The field at other times: a quarter, an eighth and half the period.
        {"default at T/4", {100, 100, -90, 128}, Optics,
         {Circular, Right, undefined, 45.0, 1.0, {0, 0, 1}, Half, {0, Half}, {0, 1}}},
        {"default at T/8", {100, 100, -90, 64}, Optics,
         {Circular, Right, undefined, 45.0, 1.0, {0, 0, 1}, Half, {0, Half}, {Half, Half}}},
        {"100 and 50, -90, at T/2", {100, 50, -90, 256}, Optics,
         {Elliptical, Right, 0.0, atanHalf, 0.5, {0.6, 0, 0.8}, fifth, {0, fifth / 2}, {-1, 0}}},
    };
    // clang-format on
    for (const Row& row : rows) {
        const TPolarisation p = scene::polarisationOf(
            drawn(row.drawn.horizontal, row.drawn.vertical, row.drawn.degrees, row.drawn.timeStep),
            row.convention);
        const Expected& e = row.expected;
        EXPECT_EQ(p.State, e.state) << row.name;
        EXPECT_EQ(p.Handedness, e.handedness) << row.name;
        EXPECT_EQ(p.Convention, row.convention) << row.name;
        expectOptional(p.PsiDegrees, e.psi, "psi", row.name);
        expectOptional(p.ChiDegrees, e.chi, "chi", row.name);
        expectOptional(p.AxialRatio, e.ratio, "ratio", row.name);
        EXPECT_NEAR(p.Field[0], e.field[0], Tolerance) << row.name;
        EXPECT_NEAR(p.Field[1], e.field[1], Tolerance) << row.name;
        ASSERT_EQ(p.Stokes.has_value(), e.state != TPolarisationState::None) << row.name;
        ASSERT_EQ(p.Jones.has_value(), e.state != TPolarisationState::None) << row.name;
        if (e.state == TPolarisationState::None) {
            continue;
        }
        EXPECT_EQ((*p.Stokes)[0], 1.0) << row.name;
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR((*p.Stokes)[i + 1], e.stokes[i], Tolerance) << row.name << " S" << i + 1;
        }
        const auto& j = *p.Jones;
        EXPECT_NEAR(j[0].real(), e.jh.real(), Tolerance) << row.name;
        EXPECT_EQ(j[0].imag(), 0.0) << row.name;
        EXPECT_NEAR(j[1].real(), e.jv.real(), Tolerance) << row.name;
        EXPECT_NEAR(j[1].imag(), e.jv.imag(), Tolerance) << row.name;
    }
}

// Exact values where the grid gives them: a reader sees 45 and 1, not 44.99999999999999, and no
// negative zero.
TEST(Polarisation, QuarterTurnsAreExact)
{
    const TPolarisation circular = scene::polarisationOf(drawn(100, 100, -90), Optics);
    EXPECT_EQ(*circular.ChiDegrees, 45.0);
    EXPECT_EQ(*circular.AxialRatio, 1.0);
    EXPECT_EQ(*circular.Stokes, (std::array<double, 4>{1.0, 0.0, 0.0, 1.0}));
    EXPECT_FALSE(std::signbit((*circular.Stokes)[2]));
    EXPECT_EQ(circular.Field, (std::array<double, 2>{1.0, 0.0}));
    EXPECT_FALSE(std::signbit(circular.Field[1]));

    const TPolarisation vertical = scene::polarisationOf(drawn(0, 100, 180), Ieee);
    EXPECT_EQ(*vertical.PsiDegrees, 90.0);
    EXPECT_FALSE(std::signbit(*vertical.ChiDegrees));
    EXPECT_FALSE(std::signbit((*vertical.Stokes)[2]));
    EXPECT_FALSE(std::signbit((*vertical.Jones)[1].imag()));
    EXPECT_EQ(*scene::polarisationOf(drawn(100, 100, 0), Optics).PsiDegrees, 45.0);
}

TEST(Polarisation, PresetsGiveTheirStateInEitherConvention)
{
    struct PresetRow {
        TPreset preset;
        TPolarisationState state;
        THandedness handedness;  // in the convention in force
        std::optional<double> psi;
    };
    const std::vector<PresetRow> rows = {
        {TPreset::Horizontal, TPolarisationState::Linear, THandedness::None, 0.0},
        {TPreset::Vertical, TPolarisationState::Linear, THandedness::None, 90.0},
        {TPreset::Plus45, TPolarisationState::Linear, THandedness::None, 45.0},
        {TPreset::Minus45, TPolarisationState::Linear, THandedness::None, -45.0},
        {TPreset::RightCircular, TPolarisationState::Circular, THandedness::Right, std::nullopt},
        {TPreset::LeftCircular, TPolarisationState::Circular, THandedness::Left, std::nullopt},
    };
    ASSERT_EQ(rows.size(), scene::PresetTable.size());
    for (const THandednessConvention convention : {Optics, Ieee}) {
        for (const PresetRow& row : rows) {
            const scene::TPresetValues v = scene::presetValues(row.preset, convention);
            EXPECT_GE(v.PhaseShift, -180);
            EXPECT_LE(v.PhaseShift, 180);
            const TPolarisation p = scene::polarisationOf(
                drawn(v.HorizontalAmplitude, v.VerticalAmplitude, v.PhaseShift), convention);
            const int id = static_cast<int>(row.preset);
            EXPECT_EQ(p.State, row.state) << id;
            EXPECT_EQ(p.Handedness, row.handedness) << id;
            expectOptional(p.PsiDegrees, row.psi, "psi", "preset");
        }
    }
    // Right-handed in optics is the default scene, and left-handed in IEEE.
    const scene::TPresetValues right = scene::presetValues(TPreset::RightCircular, Optics);
    EXPECT_EQ(right.PhaseShift, common::DefaultPhaseShift);
    EXPECT_EQ(scene::presetValues(TPreset::LeftCircular, Ieee).PhaseShift, right.PhaseShift);
}

// Over random drawn values: the Stokes vector is on the sphere, psi and chi are its angles, the
// Jones vector gives back the field, and the handedness is the sense in which the engine's own
// resultant vector turns from one time step to the next.
TEST(Polarisation, AgreesWithTheEngineAndWithItself)
{
    SceneFixture f(false);
    scene::SceneState& s = f.s();
    scene::buildModel(s);
    scene::buildCosTable(s);
    scene::setWaveAbscissae(s, s.Proportions.Wavelength);

    std::mt19937 random(20240612);
    std::uniform_int_distribution<int> percent(0, 100);
    std::uniform_int_distribution<int> degrees(-180, 180);
    std::uniform_int_distribution<int> time(0, scene::StepsPerPeriod - 1);
    int handed = 0;
    for (int n = 0; n < 4000; ++n) {
        // Every fourth case a special one: equal amplitudes, or a phase on a quarter turn.
        int h = percent(random);
        int v = n % 4 == 1 ? h : percent(random);
        const int d = n % 4 == 2 ? 90 * (degrees(random) / 90) : degrees(random);
        const int t = time(random);
        s.Params.HorizontalAmplitude = h / 100.0;
        s.Params.VerticalAmplitude = v / 100.0;
        scene::setPhaseShift(s, d);
        scene::computeWaveSamples(s, t, s.Params.PhaseStep);
        const scene::ModelPoint now = s.Model.ResultantVector[1];
        scene::computeWaveSamples(s, t + 1, s.Params.PhaseStep);
        const scene::ModelPoint next = s.Model.ResultantVector[1];
        // (E(t) x E(t + 1)) . k, with k = +X.
        const double turn = now.Y * next.Z - now.Z * next.Y;
        s.Params.TimeStep = t;
        const scene::TPolarisationInput input = scene::polarisationInput(s.Params);
        ASSERT_EQ(input.HorizontalPercent, h);
        ASSERT_EQ(input.VerticalPercent, v);

        for (const THandednessConvention convention : {Optics, Ieee}) {
            const TPolarisation p = scene::polarisationOf(input, convention);
            const std::string where = std::to_string(h) + " " + std::to_string(v) + " " +
                                      std::to_string(d) + " t " + std::to_string(t);
            // E_H along eH = -Y, E_V along eV = +Z.
            EXPECT_NEAR(p.Field[0], -now.Y, 1e-15) << where;
            EXPECT_NEAR(p.Field[1], now.Z, 1e-15) << where;
            if (h == 0 && v == 0) {
                EXPECT_EQ(p.State, TPolarisationState::None) << where;
                continue;
            }
            if (p.Handedness == THandedness::None) {
                EXPECT_LT(std::fabs(turn), 1e-15) << where;
            } else {
                ++handed;
                const bool counterClockwise = turn > 0.0;
                EXPECT_GT(std::fabs(turn), 1e-9) << where;
                EXPECT_EQ(p.Handedness == THandedness::Right,
                          convention == Ieee ? counterClockwise : !counterClockwise)
                    << where;
            }
            const auto& st = *p.Stokes;
            EXPECT_NEAR(st[1] * st[1] + st[2] * st[2] + st[3] * st[3], 1.0, Tolerance) << where;
            const double chi = *p.ChiDegrees * Pi / 180.0;
            EXPECT_NEAR(std::sin(2.0 * chi), st[3], Tolerance) << where;
            EXPECT_GE(*p.ChiDegrees, -45.0);
            EXPECT_LE(*p.ChiDegrees, 45.0);
            EXPECT_EQ(st[3] > 0.0, p.Handedness == THandedness::Right) << where;
            EXPECT_NEAR(*p.AxialRatio, std::tan(std::fabs(chi)), Tolerance) << where;
            if (p.State == TPolarisationState::Circular) {
                EXPECT_FALSE(p.PsiDegrees.has_value()) << where;
            } else {
                // tan 2psi = S2 / S1, multiplied out so that S1 = 0 needs no division; 2psi
                // points the way of (S1, S2).
                const double psi2 = 2.0 * *p.PsiDegrees * Pi / 180.0;
                EXPECT_NEAR(st[1] * std::sin(psi2) - st[2] * std::cos(psi2), 0.0, Tolerance)
                    << where;
                EXPECT_GE(st[1] * std::cos(psi2) + st[2] * std::sin(psi2), 0.0) << where;
                EXPECT_GT(*p.PsiDegrees, -90.0) << where;
                EXPECT_LE(*p.PsiDegrees, 90.0) << where;
            }
            // Re[(JH eH + JV eV) e^(-iwt)], scaled by the amplitudes' norm, is the field.
            const auto& j = *p.Jones;
            EXPECT_EQ(j[0].imag(), 0.0);
            EXPECT_GE(j[0].real(), 0.0);
            EXPECT_NEAR(std::norm(j[0]) + std::norm(j[1]), 1.0, Tolerance) << where;
            const double norm = std::hypot(h / 100.0, v / 100.0);
            const std::complex<double> rotation = std::polar(1.0, -2.0 * Pi * t / 512.0);
            EXPECT_NEAR((j[0] * rotation).real() * norm, p.Field[0], Tolerance) << where;
            EXPECT_NEAR((j[1] * rotation).real() * norm, p.Field[1], Tolerance) << where;
        }
    }
    EXPECT_GT(handed, 2000);  // most cases turn one way or the other
}

}  // namespace
