// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Which polarisation the scene shows, in numbers: the state and its handedness under a chosen
// convention, the ellipse's orientation and ellipticity, the normalised Stokes parameters, the
// Jones vector and the field at the current time. Everything follows from the values as drawn:
// the amplitudes in whole percent and the phase on the 512-step grid of the waves.
//
// Axes: eH is the horizontal axis arrow (model -Y), eV the vertical one (model +Z), and the wave
// travels along +X. The drawn field at the origin is
//   E(t) = aH cos(wt) eH + aV cos(wt + phi) eV,  wt = 2 pi t / 512,  phi = 2 pi PhaseStep / 512.

#include <array>
#include <complex>
#include <cstdint>
#include <optional>

#include "common/globals.h"
#include "scene/scene.h"

namespace scene {

using common::THandednessConvention;

enum class TPolarisationState : std::uint8_t { None, Linear, Circular, Elliptical };
enum class THandedness : std::uint8_t { None, Right, Left };

struct TPolarisationInput {
    std::int32_t HorizontalPercent = 0;  // 0 .. 100
    std::int32_t VerticalPercent = 0;    // 0 .. 100
    std::int32_t PhaseStep = 0;          // steps of 2 pi / 512, as TSceneParameters::PhaseStep
    std::int32_t TimeStep = 0;           // steps of T / 512
};

// The drawn values of a scene. The amplitudes are held as percent / 100, which gives the whole
// percent back exactly.
TPolarisationInput polarisationInput(const TSceneParameters& params);

struct TPolarisation {
    TPolarisationState State = TPolarisationState::None;
    THandedness Handedness = THandedness::None;  // None unless circular or elliptical
    THandednessConvention Convention = THandednessConvention::Optics;
    // The major axis' azimuth from eH toward eV, in (-90, 90]; none for a circular or no wave.
    std::optional<double> PsiDegrees;
    // Ellipticity angle in [-45, 45], positive when right-handed; none without a wave. The same
    // holds for the ratio, Stokes and Jones values below.
    std::optional<double> ChiDegrees;
    std::optional<double> AxialRatio;  // minor / major = tan |chi|
    // S0 .. S3, normalised: S0 = 1, and S3 > 0 when right-handed.
    std::optional<std::array<double, 4>> Stokes;
    // (JH, JV), of norm 1, JH real and >= 0, with E(t) proportional to Re[(JH eH + JV eV)
    // e^(-iwt)].
    std::optional<std::array<std::complex<double>, 2>> Jones;
    // E_H, E_V at the time step, in units of the largest amplitude.
    std::array<double, 2> Field{};
};

TPolarisation polarisationOf(const TPolarisationInput& input, THandednessConvention convention);
// TPolarisation::Field alone, for a time step, which changes nothing else.
std::array<double, 2> fieldOf(const TPolarisationInput& input);

// ---- Presets ----

enum class TPreset : std::uint8_t {
    Horizontal,
    Vertical,
    Plus45,
    Minus45,
    RightCircular,  // right-handed in the convention in force
    LeftCircular,
};

// What a preset puts onto the track bars: the amplitudes in percent and the phase in degrees.
struct TPresetValues {
    std::int32_t HorizontalAmplitude = 0;
    std::int32_t VerticalAmplitude = 0;
    std::int32_t PhaseShift = 0;
};

struct TPresetRow {
    TPreset Preset;
    std::int32_t HorizontalAmplitude;
    std::int32_t VerticalAmplitude;
    // Indexed by THandednessConvention: a circular preset turns the other way under IEEE.
    std::array<std::int32_t, 2> PhaseShift;
};

// In the order of the drop-down and of the keys Alt+1 .. Alt+6.
inline constexpr std::array<TPresetRow, 6> PresetTable = {{
    {TPreset::Horizontal, 100, 0, {0, 0}},
    {TPreset::Vertical, 0, 100, {0, 0}},
    {TPreset::Plus45, 100, 100, {0, 0}},
    {TPreset::Minus45, 100, 100, {180, 180}},
    {TPreset::RightCircular, 100, 100, {-90, 90}},
    {TPreset::LeftCircular, 100, 100, {90, -90}},
}};

TPresetValues presetValues(TPreset preset, THandednessConvention convention);

}  // namespace scene
