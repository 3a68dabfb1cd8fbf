// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/geometry.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#if LDBL_MANT_DIG != 64
#include "common/extended80.h"
#endif

namespace scene {

namespace {
#if LDBL_MANT_DIG != 64
constexpr std::uint64_t Pi80Mantissa = 0xC90FDAA22168C235U;  // pi * 2^62 rounded to nearest
#else
constexpr long double Pi = 3.141592653589793238462643383279502884L;
#endif
}

void buildModel(SceneState& s)
{
    const TProportions& p = s.Proportions;
    SceneModel& m = s.Model;
    s.ArrowHalfWidth = 0.25 * p.ArrowLength;
    s.TwoWavelengths = 2.0 * p.Wavelength;

    const double r = p.ReferenceRectHalfWidth;
    const double a = p.AxisHalfLength;
    const double spacing = p.AxisLabelSpacing;
    const double l = p.ArrowLength;
    const double w = s.ArrowHalfWidth;
    const double front = 1.1 * p.Wavelength;

    m.ReferenceRect = {{{0, -r, r}, {0, r, r}, {0, r, -r}, {0, -r, -r}}};
    m.PropagationAxis = {{{-2.1 * p.Wavelength, 0, 0}, {front, 0, 0}}};
    m.HorizontalAxis = {{{0, a, 0}, {0, -a, 0}}};
    m.VerticalAxis = {{{0, 0, -a}, {0, 0, a}}};
    m.PropagationArrowFlat = {{{front + l, 0, 0}, {front, w, 0}, {front, -w, 0}, {front + l, 0, 0}}};
    m.PropagationArrowUpright = {
        {{front + l, 0, 0}, {front, 0, w}, {front, 0, -w}, {front + l, 0, 0}}};
    m.HorizontalAxisArrow = {{{0, -a - l, 0}, {0, -a, w}, {0, -a, -w}, {0, -a - l, 0}}};
    m.VerticalAxisArrow = {{{0, 0, a + l}, {0, w, a}, {0, -w, a}, {0, 0, a + l}}};
    m.PropagationLabelAnchor = {front + l + spacing, 0, 0};
    m.HorizontalLabelAnchor = {0, -a - l - spacing, 0};
    m.VerticalLabelAnchor = {0, 0, a + l + spacing};
}

void buildCosTable(SceneState& s)
{
    for (std::int32_t k = -CosTableReach; k <= CosTableReach; ++k) {
#if LDBL_MANT_DIG != 64
        // The angle and its cosine rounded as on x87, so that the table is the desktop's.
        using X = common::Extended80;
        const X angle = X::fromDouble(k) * X::fromParts(false, Pi80Mantissa, -62 - 8);
        s.CosTable[static_cast<std::size_t>(k + CosTableReach)] =
            X::fromLongDouble(std::cos(angle.toLongDouble())).toDouble();
#else
        const long double angle = static_cast<long double>(k) * (Pi / 256.0L);
        s.CosTable[static_cast<std::size_t>(k + CosTableReach)] = static_cast<double>(std::cos(angle));
#endif
    }
}

void setWaveAbscissae(SceneState& s, double wavelength)
{
    SceneModel& m = s.Model;
    for (std::int32_t i = 0; i <= 512; ++i) {
        const double x = static_cast<double>(static_cast<long double>(i) * wavelength / 512.0L);
        for (auto* wave : {&m.HorizontalWave, &m.VerticalWave, &m.ResultantWave}) {
            (*wave)[static_cast<std::size_t>(1024 + i)].X = x;
            (*wave)[static_cast<std::size_t>(i)].X = x - s.TwoWavelengths;
            (*wave)[static_cast<std::size_t>(512 + i)].X = x - wavelength;
        }
        // The coordinates the component waves never leave; computeWaveSamples skips them.
        for (const std::size_t k : {std::size_t{0}, std::size_t{512}, std::size_t{1024}}) {
            m.HorizontalWave[k + static_cast<std::size_t>(i)].Z = 0.0;
            m.VerticalWave[k + static_cast<std::size_t>(i)].Y = 0.0;
        }
        m.Ellipse[static_cast<std::size_t>(i)].X = 0.0;
    }
    m.ResultantVector[0] = {0.0, 0.0, 0.0};
}

namespace {

// Sample 1024 + i of a wave is computed; samples i and 512 + i repeat it one and two wavelengths
// back. Samples 512 and 1024 are written twice; the later write (i = 512) stays. A component wave
// stores only its own coordinate: the other stays 0 from setWaveAbscissae.
template <bool Horizontal, bool Vertical>
void fillWave(std::array<ModelPoint, WaveSampleCount>& wave, const SceneState& s, std::int32_t t,
              std::int32_t p)
{
    const double aH = s.Params.HorizontalAmplitude;
    const double aV = s.Params.VerticalAmplitude;
    for (std::int32_t i = 0; i <= 512; ++i) {
        ModelPoint* sample = &wave[static_cast<std::size_t>(i)];
        if constexpr (Horizontal && Vertical) {
            // Y and Z are neighbours: one 16-byte store each instead of two.
            const double yz[2] = {(-aH) * s.cosAt(i - t), aV * s.cosAt(i - t - p)};
            std::memcpy(&sample[0].Y, yz, sizeof yz);
            std::memcpy(&sample[512].Y, yz, sizeof yz);
            std::memcpy(&sample[1024].Y, yz, sizeof yz);
        } else if constexpr (Horizontal) {
            const double y = (-aH) * s.cosAt(i - t);
            sample[0].Y = y;
            sample[512].Y = y;
            sample[1024].Y = y;
        } else {
            const double z = aV * s.cosAt(i - t - p);
            sample[0].Z = z;
            sample[512].Z = z;
            sample[1024].Z = z;
        }
    }
}

}  // namespace

void computeWaveSamples(SceneState& s, std::int32_t t, std::int32_t p)
{
    SceneModel& m = s.Model;
    // One wave at a time, which keeps the stores sequential.
    fillWave<true, false>(m.HorizontalWave, s, t, p);
    fillWave<false, true>(m.VerticalWave, s, t, p);
    fillWave<true, true>(m.ResultantWave, s, t, p);
    for (std::int32_t j = 0; j <= 512; ++j) {
        const ModelPoint& source = m.ResultantWave[static_cast<std::size_t>(512 + t + j)];
        std::memcpy(&m.Ellipse[static_cast<std::size_t>(j)].Y, &source.Y, 2 * sizeof(double));
    }
    buildResultantVector(s);
}

void buildResultantVector(SceneState& s)
{
    SceneModel& m = s.Model;
    const ModelPoint tip = m.ResultantWave[ObservationSample];
    m.ResultantVector[1] = tip;
    const double alpha = safeArcTan2(tip.Z, tip.Y);
    const double c = std::cos(alpha);
    const double sn = std::sin(alpha);
    const double l = s.Proportions.ArrowLength;
    const double w = s.ArrowHalfWidth;
    m.ResultantVectorArrow[0] = tip;
    m.ResultantVectorArrow[1] = {tip.X, tip.Y - c * l - sn * w, tip.Z - sn * l + c * w};
    m.ResultantVectorArrow[2] = {tip.X, tip.Y - c * l + sn * w, tip.Z - sn * l - c * w};
    m.ResultantVectorArrow[3] = tip;
}

double safeArcTan2(double y, double x)
{
    constexpr double halfPi = 1.57079632679489661923;
    if (x != 0.0) {
        return std::atan2(y, x);
    }
    if (y == 0.0) {
        return 0.0;
    }
    return y > 0.0 ? halfPi : -halfPi;
}

}  // namespace scene
