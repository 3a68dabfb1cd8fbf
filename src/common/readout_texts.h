// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The wording of the polarisation readout and of the presets in both languages, UTF-8. The
// readout (scene/readout.h) puts the numbers into the placeholders.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "common/globals.h"

namespace common {

// Each text has placeholders %1, %2, ... for the values named here, in this order.
enum class TReadoutText : std::uint8_t {
    Title,
    NoWave,
    Linear,
    RightCircular,
    LeftCircular,
    RightElliptical,
    LeftElliptical,
    HandedOptics,  // state with handedness, optics convention
    HandedIeee,    // state with handedness, IEEE convention
    TurnClockwise,
    TurnCounterClockwise,
    TurnAlongALine,
    TurnNoField,
    Psi,  // degrees
    PsiUndefined,
    Chi,  // degrees
    ChiUndefined,
    AxialRatio,  // ratio
    AxialRatioUndefined,
    Stokes,  // S1, S2, S3
    StokesUndefined,
    Jones,  // JH, JV
    JonesUndefined,
    Field,  // E_H, E_V
    ConventionOptics,
    ConventionIeee,
    PresetHorizontal,
    PresetVertical,
    PresetPlus45,
    PresetMinus45,
    PresetRightCircularOptics,
    PresetLeftCircularOptics,
    PresetRightCircularIeee,
    PresetLeftCircularIeee,
};
inline constexpr std::size_t ReadoutTextCount =
    static_cast<std::size_t>(TReadoutText::PresetLeftCircularIeee) + 1;

struct TReadoutTextRow {
    TReadoutText Text;
    const char* English;
    const char* German;
};
std::span<const TReadoutTextRow> readoutTexts();

// The text in the language, each placeholder %1 .. %9 replaced by its value as it is; a
// placeholder without a value stays. A language other than German reads as English.
std::string readoutText(TReadoutText text, TLanguage language,
                        std::initializer_list<std::string_view> values = {});

// The decimal separator of numbers in the readout: a comma in German.
char readoutDecimalSeparator(TLanguage language);

}  // namespace common
