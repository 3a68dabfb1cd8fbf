// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/readout_texts.h"

#include "common/texts.h"

namespace common {

namespace {

using R = TReadoutText;

// clang-format off
constexpr TReadoutTextRow ReadoutTexts[] = {
    {R::Title, "Polarisation", "Polarisation"},
    {R::NoWave, "No wave: both amplitudes are 0", "Keine Welle: beide Amplituden sind 0"},
    {R::Linear, "Linear", "Linear"},
    {R::RightCircular, "Right-handed circular", "Rechtszirkular"},
    {R::LeftCircular, "Left-handed circular", "Linkszirkular"},
    {R::RightElliptical, "Right-handed elliptical", "Rechtselliptisch"},
    {R::LeftElliptical, "Left-handed elliptical", "Linkselliptisch"},
    {R::HandedOptics, "%1, seen facing the oncoming wave (optics)", "%1, mit Blick auf die ankommende Welle (Optik)"},
    {R::HandedIeee, "%1, thumb along the propagation (IEEE)", "%1, Daumen in Ausbreitungsrichtung (IEEE)"},
    {R::TurnClockwise, "The tip turns clockwise, seen facing the oncoming wave", "Die Spitze dreht sich im Uhrzeigersinn, mit Blick auf die ankommende Welle"},
    {R::TurnCounterClockwise, "The tip turns counter-clockwise, seen facing the oncoming wave", "Die Spitze dreht sich gegen den Uhrzeigersinn, mit Blick auf die ankommende Welle"},
    {R::TurnAlongALine, "The tip swings to and fro along a line", "Die Spitze schwingt auf einer Geraden hin und her"},
    {R::TurnNoField, "The field is zero", "Das Feld ist null"},
    {R::Psi, "Orientation ψ = %1°", "Orientierung ψ = %1°"},
    {R::PsiUndefined, "Orientation ψ: undefined", "Orientierung ψ: nicht definiert"},
    {R::Chi, "Ellipticity χ = %1°", "Elliptizität χ = %1°"},
    {R::ChiUndefined, "Ellipticity χ: undefined", "Elliptizität χ: nicht definiert"},
    {R::AxialRatio, "Axial ratio = %1", "Achsenverhältnis = %1"},
    {R::AxialRatioUndefined, "Axial ratio: undefined", "Achsenverhältnis: nicht definiert"},
    {R::Stokes, "Stokes S1 = %1, S2 = %2, S3 = %3", "Stokes S1 = %1; S2 = %2; S3 = %3"},
    {R::StokesUndefined, "Stokes parameters: undefined", "Stokes-Parameter: nicht definiert"},
    {R::Jones, "Jones vector = (%1, %2)", "Jones-Vektor = (%1; %2)"},
    {R::JonesUndefined, "Jones vector: undefined", "Jones-Vektor: nicht definiert"},
    {R::Field, "Field E_H = %1, E_V = %2", "Feld E_H = %1; E_V = %2"},
    {R::ConventionOptics, "Optics", "Optik"},
    {R::ConventionIeee, "IEEE", "IEEE"},
    {R::PresetHorizontal, "Horizontal linear", "Horizontal linear"},
    {R::PresetVertical, "Vertical linear", "Vertikal linear"},
    {R::PresetPlus45, "+45° linear", "+45° linear"},
    {R::PresetMinus45, "-45° linear", "-45° linear"},
    {R::PresetRightCircularOptics, "Right-handed circular (optics)", "Rechtszirkular (Optik)"},
    {R::PresetLeftCircularOptics, "Left-handed circular (optics)", "Linkszirkular (Optik)"},
    {R::PresetRightCircularIeee, "Right-handed circular (IEEE)", "Rechtszirkular (IEEE)"},
    {R::PresetLeftCircularIeee, "Left-handed circular (IEEE)", "Linkszirkular (IEEE)"},
};
// clang-format on

static_assert(std::size(ReadoutTexts) == ReadoutTextCount, "one row for every readout text");

}  // namespace

std::span<const TReadoutTextRow> readoutTexts()
{
    return ReadoutTexts;
}

std::string readoutText(TReadoutText text, TLanguage language,
                        std::initializer_list<std::string_view> values)
{
    return tableText(readoutTexts(), &TReadoutTextRow::Text, text, language, values);
}

char readoutDecimalSeparator(TLanguage language)
{
    return language == TLanguage::German ? ',' : '.';
}

}  // namespace common
