// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "scene/readout.h"

namespace {

using common::THandednessConvention;
using common::TLanguage;
using scene::TReadoutLines;

constexpr auto Optics = THandednessConvention::Optics;
constexpr auto Ieee = THandednessConvention::Ieee;

struct Row {
    const char* name;
    scene::TPolarisationInput input;  // percent, percent, phase step, time step
    THandednessConvention convention;
    TLanguage language;
    TReadoutLines lines;
};

TEST(Readout, TheLinesFollowTheSceneTheConventionAndTheLanguage)
{
    // clang-format off
    const std::vector<Row> rows = {
        {"default scene", {100, 100, -128, 0}, Optics, TLanguage::English,
         {"Right-handed circular, seen facing the oncoming wave (optics)",
          "The tip turns clockwise, seen facing the oncoming wave",
          "Orientation ψ: undefined",
          "Ellipticity χ = 45.0°",
          "Axial ratio = 1.000",
          "Stokes S1 = 0.000, S2 = 0.000, S3 = +1.000",
          "Jones vector = (0.707, 0.000 + 0.707i)",
          "Field E_H = 1.000, E_V = 0.000"}},
        // The same turn, called left-handed under IEEE; German numbers have a decimal comma.
        {"default scene, IEEE, German, at T/8", {100, 100, -128, 64}, Ieee, TLanguage::German,
         {"Linkszirkular, Daumen in Ausbreitungsrichtung (IEEE)",
          "Die Spitze dreht sich im Uhrzeigersinn, mit Blick auf die ankommende Welle",
          "Orientierung ψ: nicht definiert",
          "Elliptizität χ = -45,0°",
          "Achsenverhältnis = 1,000",
          "Stokes S1 = 0,000; S2 = 0,000; S3 = -1,000",
          "Jones-Vektor = (0,707; 0,000 + 0,707i)",
          "Feld E_H = 0,707; E_V = 0,707"}},
        // 100 degrees as drawn: step 142.
        {"elliptical", {60, 80, 142, 0}, Optics, TLanguage::English,
         {"Left-handed elliptical, seen facing the oncoming wave (optics)",
          "The tip turns counter-clockwise, seen facing the oncoming wave",
          "Orientation ψ = -74.8°",
          "Ellipticity χ = -35.5°",
          "Axial ratio = 0.714",
          "Stokes S1 = -0.280, S2 = -0.164, S3 = -0.946",
          "Jones vector = (0.600, -0.137 - 0.788i)",
          "Field E_H = 0.600, E_V = -0.137"}},
        {"vertical, 180 degrees", {0, 100, 256, 0}, Ieee, TLanguage::English,
         {"Linear",
          "The tip swings to and fro along a line",
          "Orientation ψ = 90.0°",
          "Ellipticity χ = 0.0°",
          "Axial ratio = 0.000",
          "Stokes S1 = -1.000, S2 = 0.000, S3 = 0.000",
          "Jones vector = (0.000, -1.000 + 0.000i)",
          "Field E_H = 0.000, E_V = -1.000"}},
        {"no wave", {0, 0, -128, 10}, Optics, TLanguage::German,
         {"Keine Welle: beide Amplituden sind 0",
          "Das Feld ist null",
          "Orientierung ψ: nicht definiert",
          "Elliptizität χ: nicht definiert",
          "Achsenverhältnis: nicht definiert",
          "Stokes-Parameter: nicht definiert",
          "Jones-Vektor: nicht definiert",
          "Feld E_H = 0,000; E_V = 0,000"}},
        // E_V = -0.00012 is shown without a sign once rounded to 0.000.
        {"a value that rounds to zero", {100, 1, 0, 129}, Optics, TLanguage::English,
         {"Linear",
          "The tip swings to and fro along a line",
          "Orientation ψ = 0.6°",
          "Ellipticity χ = 0.0°",
          "Axial ratio = 0.000",
          "Stokes S1 = +1.000, S2 = +0.020, S3 = 0.000",
          "Jones vector = (1.000, 0.010 + 0.000i)",
          "Field E_H = -0.012, E_V = 0.000"}},
    };
    // clang-format on
    for (const Row& row : rows) {
        const TReadoutLines lines =
            scene::readoutLines(scene::polarisationOf(row.input, row.convention), row.language);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(lines[i], row.lines[i]) << row.name << ", line " << i;
        }
    }
}

TEST(Readout, PresetNamesFollowTheConventionAndTheLanguage)
{
    using scene::TPreset;
    EXPECT_EQ(scene::presetName(TPreset::RightCircular, TLanguage::English, Optics),
              "Right-handed circular (optics)");
    EXPECT_EQ(scene::presetName(TPreset::RightCircular, TLanguage::English, Ieee),
              "Right-handed circular (IEEE)");
    EXPECT_EQ(scene::presetName(TPreset::LeftCircular, TLanguage::German, Optics),
              "Linkszirkular (Optik)");
    EXPECT_EQ(scene::presetName(TPreset::Vertical, TLanguage::German, Ieee), "Vertikal linear");
    EXPECT_EQ(scene::presetName(TPreset::Minus45, TLanguage::English, Ieee), "-45° linear");
    EXPECT_EQ(scene::conventionName(Ieee, TLanguage::German), "IEEE");
    EXPECT_EQ(scene::conventionName(Optics, TLanguage::German), "Optik");
    EXPECT_EQ(scene::readoutTitle(TLanguage::English), "Polarisation");

    // Every preset and both conventions have a name of their own in each language.
    for (const TLanguage language : {TLanguage::English, TLanguage::German}) {
        std::set<std::string> names;
        for (const THandednessConvention convention : {Optics, Ieee}) {
            for (const scene::TPresetRow& row : scene::PresetTable) {
                names.insert(scene::presetName(row.Preset, language, convention));
            }
        }
        EXPECT_EQ(names.size(), scene::PresetTable.size() + 2);
        EXPECT_EQ(names.count(""), 0u);
    }
}

}  // namespace
