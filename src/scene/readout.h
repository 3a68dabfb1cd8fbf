// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The polarisation readout as the panel beside the drawing shows it: one finished line of text
// per label, in the language, with the numbers rounded for reading and the units attached.

#include <array>
#include <cstdint>
#include <string>

#include "common/globals.h"
#include "scene/polarisation.h"

namespace scene {

enum class TReadoutLine : std::uint8_t {
    State,  // the state in words, its handedness and the convention
    Turn,   // the sense of the turn, whatever the convention
    Psi,
    Chi,
    AxialRatio,
    Stokes,
    Jones,
    Field,
};
inline constexpr std::size_t ReadoutLineCount = static_cast<std::size_t>(TReadoutLine::Field) + 1;

using TReadoutLines = std::array<std::string, ReadoutLineCount>;

// In the order of TReadoutLine. Angles to 0.1 degree, the other values to three decimals.
TReadoutLines readoutLines(const TPolarisation& polarisation, common::TLanguage language);

// The field's line alone, as readoutLines has it.
std::string fieldLine(const std::array<double, 2>& field, common::TLanguage language);

// The panel's heading.
std::string readoutTitle(common::TLanguage language);

// The name of a preset in the drop-down; the circular ones name the convention they follow.
std::string presetName(TPreset preset, common::TLanguage language,
                       common::THandednessConvention convention);

// The name of a convention, for the settings dialog's choice.
std::string conventionName(common::THandednessConvention convention, common::TLanguage language);

}  // namespace scene
