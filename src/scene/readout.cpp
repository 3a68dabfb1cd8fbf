// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/readout.h"

#include <cmath>
#include <string_view>

#include "common/numbers.h"
#include "common/readout_texts.h"

namespace scene {

namespace {

using common::readoutText;
using common::TLanguage;
using common::TReadoutText;

// A fixed number of decimals, the language alone choosing the separator. A value that rounds
// to zero has no sign, and `plus` marks the positive ones.
std::string fixed(double value, int decimals, TLanguage language, bool plus = false)
{
    std::string text = common::fixedDecimals(value, decimals);
    const bool zero = text.find_first_of("123456789") == std::string::npos;
    if (zero && !text.empty() && text.front() == '-') {
        text.erase(0, 1);
    }
    if (plus && !zero && text.front() != '-') {
        text.insert(0, 1, '+');
    }
    for (char& c : text) {
        if (c == '.') {
            c = common::readoutDecimalSeparator(language);
        }
    }
    return text;
}

std::string complexText(std::complex<double> value, TLanguage language)
{
    const std::string imaginary = fixed(value.imag(), 3, language, true);
    const bool negative = imaginary.front() == '-';
    const std::string_view magnitude =
        std::string_view(imaginary).substr(imaginary.front() == '-' || imaginary.front() == '+');
    return fixed(value.real(), 3, language) + (negative ? " - " : " + ") + std::string(magnitude) +
           "i";
}

TReadoutText stateText(const TPolarisation& p)
{
    const bool right = p.Handedness == THandedness::Right;
    switch (p.State) {
        case TPolarisationState::None:
            return TReadoutText::NoWave;
        case TPolarisationState::Linear:
            return TReadoutText::Linear;
        case TPolarisationState::Circular:
            return right ? TReadoutText::RightCircular : TReadoutText::LeftCircular;
        case TPolarisationState::Elliptical:
            break;
    }
    return right ? TReadoutText::RightElliptical : TReadoutText::LeftElliptical;
}

// Whether the tip turns clockwise for an observer facing the oncoming wave; the conventions
// call that turn right-handed (optics) and left-handed (IEEE).
bool clockwise(const TPolarisation& p)
{
    const bool right = p.Handedness == THandedness::Right;
    return p.Convention == common::THandednessConvention::Ieee ? !right : right;
}

}  // namespace

TReadoutLines readoutLines(const TPolarisation& p, TLanguage language)
{
    TReadoutLines lines;
    const auto line = [&lines](TReadoutLine which) -> std::string& {
        return lines[static_cast<std::size_t>(which)];
    };

    const std::string state = readoutText(stateText(p), language);
    if (p.Handedness == THandedness::None) {
        line(TReadoutLine::State) = state;
    } else {
        const TReadoutText handed = p.Convention == common::THandednessConvention::Ieee
                                        ? TReadoutText::HandedIeee
                                        : TReadoutText::HandedOptics;
        line(TReadoutLine::State) = readoutText(handed, language, {state});
    }
    TReadoutText turn = TReadoutText::TurnNoField;
    if (p.State == TPolarisationState::Linear) {
        turn = TReadoutText::TurnAlongALine;
    } else if (p.Handedness != THandedness::None) {
        turn = clockwise(p) ? TReadoutText::TurnClockwise : TReadoutText::TurnCounterClockwise;
    }
    line(TReadoutLine::Turn) = readoutText(turn, language);

    line(TReadoutLine::Psi) =
        p.PsiDegrees ? readoutText(TReadoutText::Psi, language, {fixed(*p.PsiDegrees, 1, language)})
                     : readoutText(TReadoutText::PsiUndefined, language);
    line(TReadoutLine::Chi) =
        p.ChiDegrees ? readoutText(TReadoutText::Chi, language, {fixed(*p.ChiDegrees, 1, language)})
                     : readoutText(TReadoutText::ChiUndefined, language);
    line(TReadoutLine::AxialRatio) =
        p.AxialRatio
            ? readoutText(TReadoutText::AxialRatio, language, {fixed(*p.AxialRatio, 3, language)})
            : readoutText(TReadoutText::AxialRatioUndefined, language);
    if (p.Stokes) {
        const std::array<double, 4>& s = *p.Stokes;
        line(TReadoutLine::Stokes) =
            readoutText(TReadoutText::Stokes, language,
                        {fixed(s[1], 3, language, true), fixed(s[2], 3, language, true),
                         fixed(s[3], 3, language, true)});
    } else {
        line(TReadoutLine::Stokes) = readoutText(TReadoutText::StokesUndefined, language);
    }
    if (p.Jones) {
        const std::array<std::complex<double>, 2>& j = *p.Jones;
        line(TReadoutLine::Jones) =
            readoutText(TReadoutText::Jones, language,
                        {fixed(j[0].real(), 3, language), complexText(j[1], language)});
    } else {
        line(TReadoutLine::Jones) = readoutText(TReadoutText::JonesUndefined, language);
    }
    line(TReadoutLine::Field) = fieldLine(p.Field, language);
    return lines;
}

std::string fieldLine(const std::array<double, 2>& field, TLanguage language)
{
    return readoutText(TReadoutText::Field, language,
                       {fixed(field[0], 3, language), fixed(field[1], 3, language)});
}

std::string readoutTitle(TLanguage language)
{
    return readoutText(TReadoutText::Title, language);
}

std::string presetName(TPreset preset, TLanguage language, common::THandednessConvention convention)
{
    const bool ieee = convention == common::THandednessConvention::Ieee;
    switch (preset) {
        case TPreset::Horizontal:
            return readoutText(TReadoutText::PresetHorizontal, language);
        case TPreset::Vertical:
            return readoutText(TReadoutText::PresetVertical, language);
        case TPreset::Plus45:
            return readoutText(TReadoutText::PresetPlus45, language);
        case TPreset::Minus45:
            return readoutText(TReadoutText::PresetMinus45, language);
        case TPreset::RightCircular:
            return readoutText(ieee ? TReadoutText::PresetRightCircularIeee
                                    : TReadoutText::PresetRightCircularOptics,
                               language);
        case TPreset::LeftCircular:
            return readoutText(ieee ? TReadoutText::PresetLeftCircularIeee
                                    : TReadoutText::PresetLeftCircularOptics,
                               language);
    }
    return {};
}

std::string conventionName(common::THandednessConvention convention, TLanguage language)
{
    return readoutText(convention == common::THandednessConvention::Ieee
                           ? TReadoutText::ConventionIeee
                           : TReadoutText::ConventionOptics,
                       language);
}

}  // namespace scene
