// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace common {

enum class TLanguage : std::uint8_t { English = 0, German = 1 };

// Also the base names of the help pages.
inline constexpr std::array<const char*, 2> LanguageNames = {"English", "German"};

// Which turn of the field is called right-handed: optics, clockwise as seen facing the oncoming
// wave; IEEE, counter-clockwise for that observer (thumb along the propagation).
enum class THandednessConvention : std::uint8_t { Optics = 0, Ieee = 1 };

// The general settings other than the scene parameters and proportions.
struct TAppSettings {
    TLanguage Language = TLanguage::English;
    double ScreenWidth = 0.3;  // metres
    std::string ScreenFontName = "Arial";
    bool SaveSettings = true;
    bool AutoRepeat = true;
    std::int32_t AnimationTimeInterval = 20;      // ms
    std::int32_t RotateAzimuthTimeInterval = 50;  // ms
    std::string GraphFilePath;                    // empty until the documents folder is known
    std::int32_t GraphFileType = 1;
    std::string PropagationAxisLabel = "c";
    std::string HorizontalAxisLabel = "H";
    std::string VerticalAxisLabel = "V";
    bool ShowHorizontalWave = true;
    bool ShowVerticalWave = true;
    bool ShowResultantWave = true;
    bool ShowResultantVector = true;
    bool CoordinateSystemCentered = false;
    bool ShowCaptions = true;  // the track bars' captions
    THandednessConvention HandednessConvention = THandednessConvention::Optics;
    bool ShowReadout = true;  // the polarisation readout beside the drawing
};

// Page layout; the margin arrays are indexed by orientation (0 portrait, 1 landscape).
struct TPrinterSettings {
    std::uint8_t Orientation = 1;
    std::string FontName = "Arial";
    std::int32_t FontSize = 10;  // points
    std::array<std::int32_t, 2> MarginLeft = {15, 15};
    std::array<std::int32_t, 2> MarginRight = {15, 15};
    std::array<std::int32_t, 2> MarginTop = {20, 20};
    std::array<std::int32_t, 2> MarginBottom = {15, 15};
};

inline constexpr std::size_t CustomColorCount = 16;  // slots A to P of the colour chooser

// Defaults of the scene parameters (degrees and percent, as the track bars hold them).
inline constexpr std::int32_t DefaultAzimuth = -45;
inline constexpr std::int32_t DefaultElevation = 30;
inline constexpr std::int32_t DefaultHorizontalAmplitude = 100;
inline constexpr std::int32_t DefaultVerticalAmplitude = 100;
inline constexpr std::int32_t DefaultPhaseShift = -90;
inline constexpr std::int32_t DefaultScale = 40;

}  // namespace common
