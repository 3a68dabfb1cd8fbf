// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/polarisation.h"

#include <cmath>
#include <cstdlib>

#include "common/numbers.h"

namespace scene {

namespace {

constexpr long double Pi = 3.141592653589793238462643383279502884L;

struct CosSin {
    long double Cos;
    long double Sin;
};

std::int32_t gridResidue(std::int32_t steps)
{
    return ((steps % StepsPerPeriod) + StepsPerPeriod) % StepsPerPeriod;
}

// cos and sin of a whole number of steps of 2 pi / 512. The angle is brought into the first
// quadrant in whole steps before anything is rounded, so the quarter turns give exact zeros and
// ones: a circular wave has S1 = S2 = 0 exactly, not 6e-17.
CosSin gridCosSin(std::int32_t steps)
{
    const std::int32_t quarter = StepsPerPeriod / 4;
    const std::int32_t residue = gridResidue(steps);
    const long double angle = static_cast<long double>(residue % quarter) * (2.0L * Pi / 512.0L);
    const long double c = std::cos(angle);
    const long double s = std::sin(angle);
    switch (residue / quarter) {
        case 0:
            return {c, s};
        case 1:
            return {-s, c};
        case 2:
            return {-c, -s};
        default:
            return {s, -c};
    }
}

// Adding +0 turns -0 into +0 and leaves every other value as it is: no "-0" reaches a reader.
double stored(long double value)
{
    return static_cast<double>(value + 0.0L);
}

long double degrees(long double radians)
{
    return radians * (180.0L / Pi);
}

}  // namespace

TPolarisationInput polarisationInput(const TSceneParameters& params)
{
    return {common::roundToInt(static_cast<long double>(params.HorizontalAmplitude) * 100.0L),
            common::roundToInt(static_cast<long double>(params.VerticalAmplitude) * 100.0L),
            params.PhaseStep, params.TimeStep};
}

std::array<double, 2> fieldOf(const TPolarisationInput& input)
{
    const long double aH = static_cast<long double>(input.HorizontalPercent) / 100.0L;
    const long double aV = static_cast<long double>(input.VerticalPercent) / 100.0L;
    return {stored(aH * gridCosSin(input.TimeStep).Cos),
            stored(aV * gridCosSin(input.TimeStep + input.PhaseStep).Cos)};
}

TPolarisation polarisationOf(const TPolarisationInput& input, THandednessConvention convention)
{
    TPolarisation p;
    p.Convention = convention == THandednessConvention::Ieee ? THandednessConvention::Ieee
                                                             : THandednessConvention::Optics;
    const std::int64_t h = input.HorizontalPercent;
    const std::int64_t v = input.VerticalPercent;
    p.Field = fieldOf(input);
    if (h == 0 && v == 0) {
        return p;
    }

    // The decisions are taken on the whole numbers, never on rounded values.
    const std::int32_t residue = gridResidue(input.PhaseStep);
    const std::int32_t half = StepsPerPeriod / 2;
    const int sinSign = residue == 0 || residue == half ? 0 : (residue < half ? 1 : -1);
    const bool linear = h == 0 || v == 0 || sinSign == 0;
    const bool circular = !linear && h == v && (residue == half / 2 || residue == 3 * half / 2);
    p.State = linear     ? TPolarisationState::Linear
              : circular ? TPolarisationState::Circular
                         : TPolarisationState::Elliptical;

    // (E x dE/dt) . k = aH aV w sin(phi), and eH x eV = -k: a positive sine turns the tip
    // counter-clockwise for an observer facing the oncoming wave.
    const bool counterClockwise = sinSign > 0;
    int rightSign = 0;
    if (!linear) {
        const bool right =
            p.Convention == THandednessConvention::Ieee ? counterClockwise : !counterClockwise;
        p.Handedness = right ? THandedness::Right : THandedness::Left;
        rightSign = right ? 1 : -1;
    }

    const CosSin phi = gridCosSin(input.PhaseStep);
    const auto intensity = static_cast<long double>(h * h + v * v);
    const long double s1 = static_cast<long double>(h * h - v * v) / intensity;
    const long double cross = 2.0L * static_cast<long double>(h * v) / intensity;
    const long double s2 = cross * phi.Cos;
    const long double s3 = rightSign * cross * std::fabs(phi.Sin);
    p.Stokes = std::array<double, 4>{1.0, stored(s1), stored(s2), stored(s3)};

    if (!circular) {
        // 2 psi = atan2(S2, S1) lies in (-180, 180]; S2 = +0 keeps a vertical axis at +90.
        p.PsiDegrees = stored(degrees(std::atan2(s2 + 0.0L, s1)) / 2.0L);
    }
    const long double chi = std::atan2(s3, std::hypot(s1, s2)) / 2.0L;
    p.ChiDegrees = stored(degrees(chi));
    p.AxialRatio = stored(std::tan(std::fabs(chi)));

    // E_V = aV cos(wt + phi) = Re[aV e^(-i phi) e^(-iwt)].
    const long double norm = std::sqrt(intensity);
    const long double jv = static_cast<long double>(v) / norm;
    p.Jones = std::array<std::complex<double>, 2>{
        std::complex<double>(stored(static_cast<long double>(h) / norm), 0.0),
        std::complex<double>(stored(jv * phi.Cos), stored(-jv * phi.Sin))};
    return p;
}

TPresetValues presetValues(TPreset preset, THandednessConvention convention)
{
    const std::size_t column = convention == THandednessConvention::Ieee ? 1 : 0;
    for (const TPresetRow& row : PresetTable) {
        if (row.Preset == preset) {
            return {row.HorizontalAmplitude, row.VerticalAmplitude, row.PhaseShift[column]};
        }
    }
    return {};
}

}  // namespace scene
