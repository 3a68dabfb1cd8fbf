// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The settings file: every key of every section, declared once in SettingsKeys (section, key,
// form, bound, read position; the row order is the write order) and read and written by the same
// table. The values travel in one plain record, TSettingsData, which the main window fills before
// writing and applies after reading; defaults are the record's initial values.
//
// Typical use by the main window:
//   TReadContext context{personalFolder, {workAreaWidth, workAreaHeight},
//                        TNumberFormat::forDecimalSeparator(decimalPoint)};
//   removeLeftoverTemporaryFiles(settingsFileName);   // of writes that were killed
//   TSettingsRead read = ReadSettings(settingsFileName, context);
//   sanitizeSettings(read.Data);   // values the engine cannot use (already done by reading)
//   if (!read.Problems.empty())
//       showError(problemsMessage(read.Problems, read.Data.App.Language));
//   ... apply read.Data (scene values through the track bars, which clamp them) ...
// and at close, unless started with arguments:
//   TFileResult r = WriteSettings(settingsFileName, data, context.NumberFormat);
//   if (!r.Ok) showError(r.Error);

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "common/colors.h"
#include "common/globals.h"
#include "scene/scene.h"
#include "settings/ini_file.h"
#include "settings/settings_io.h"

namespace settings {

// The five scene values as the file stores them, before the track bars clamp them: Elevation is
// the elevation itself, not the (negated) track-bar position.
struct TSceneValues {
    std::int32_t Azimuth = common::DefaultAzimuth;
    std::int32_t Elevation = common::DefaultElevation;
    std::int32_t HorizontalAmplitude = common::DefaultHorizontalAmplitude;
    std::int32_t VerticalAmplitude = common::DefaultVerticalAmplitude;
    std::int32_t PhaseShift = common::DefaultPhaseShift;
};

// The main window's normal-state bounds and its state (0 normal, 1 minimised, 2 maximised).
struct TWindowPlacement {
    std::uint8_t WindowState = 0;
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Width = 1024;
    std::int32_t Height = 768;
};

using common::CustomColorCount;

struct TDialogState {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t ActiveTabSheetIndex = 0;  // 0 General, 1 Colors and line styles, 2 Proportions, 3 Printer
    // The values of ColorA .. ColorP as stored: six hexadecimal digits of 0x00BBGGRR, "FFFFFFFF"
    // for an unused slot, empty when the chooser was never confirmed. Written with at most 8
    // characters.
    std::array<std::string, CustomColorCount> CustomColors{};
};

inline constexpr std::size_t BuiltInScaleCount = 28;
inline constexpr std::array<std::int32_t, BuiltInScaleCount> BuiltInScales = {
    1,  2,  3,  4,  5,   6,   8,   10,  12,  15,  20,  25,  30,  40,
    50, 60, 80, 100, 125, 150, 200, 250, 300, 400, 500, 600, 800, 1000};

// Slot 0 is 1 and never a step; slots 1 .. 28 are the built-in steps.
std::vector<std::int32_t> builtInScaleSlots();

struct TSettingsData {
    common::TAppSettings App;
    common::TPrinterSettings Printer;
    scene::TProportions Proportions;
    scene::TSceneStyles Styles = scene::defaultStyles();
    TSceneValues Scene;
    // The zoom steps: slot 0 is 1 and not a step, slot k (k >= 1) is step k, at least 28 steps.
    std::vector<std::int32_t> Scales = builtInScaleSlots();
    std::int32_t Scale = common::DefaultScale;  // ScaleDenominator
    TWindowPlacement FormMain;
    TDialogState FormSettings;
};

// Every default, with the documents folder as the default of GraphFilePath.
TSettingsData defaultSettingsData(const std::string& personalFolder);

// ---- The table ----

enum class TSettingsSection : std::uint8_t {
    General,
    Scales,
    Colors,
    LineStyles,
    FormMain,
    Printer,
    FormSettings
};
std::string_view sectionName(TSettingsSection section);

enum class TValueForm : std::uint8_t { Integer, Boolean, Float, String, Colour, Byte, ScaleList };

// Which operation reads and writes the key.
enum class TKeyGroup : std::uint8_t { Main, DialogState };

enum class TBound : std::uint8_t {
    None,
    AtMostWorkAreaWidth,        // min(value, WorkAreaWidth)
    AtMostWorkAreaHeight,       // min(value, WorkAreaHeight)
    AtMostWorkAreaWidthLess32,  // min(value, WorkAreaWidth - 32)
    AtMostWorkAreaHeightLess32,
    DialogLeft,  // raised to 0 if negative, then at most WorkAreaWidth - 32
    DialogTop,   // raised to 0 if negative, then at most WorkAreaHeight - 32
};

// Where a row's value lives in TSettingsData; the alternative also gives the value's form.
using TSettingsField = std::variant<std::int32_t& (*)(TSettingsData&),
                                    bool& (*)(TSettingsData&),
                                    double& (*)(TSettingsData&),
                                    std::string& (*)(TSettingsData&),
                                    common::TColor& (*)(TSettingsData&),
                                    std::uint8_t& (*)(TSettingsData&),
                                    common::TLanguage& (*)(TSettingsData&),
                                    common::TPenStyle& (*)(TSettingsData&),
                                    std::vector<std::int32_t>& (*)(TSettingsData&),
                                    common::THandednessConvention& (*)(TSettingsData&)>;

struct TSettingsKey {
    TSettingsSection Section;
    // The key; for the step list the prefix "Scale" of Scale1 .. Scalen.
    const char* Key;
    TKeyGroup Group;
    int ReadPosition;  // keys of a group are read in ascending ReadPosition
    TBound Bound;
    std::size_t MaxWrittenChars;  // 0: no limit
    TSettingsField Field;

    TValueForm form() const;
};

// All keys in write order.
const std::vector<TSettingsKey>& SettingsKeys();

// ---- The five scene values and their track bars ----

// ReadSettings leaves the scene values as stored; the main window sets them as the positions of
// these track bars, which clamp them to Min .. Max (the elevation track bar holds the negated
// elevation, and its range is symmetric, so clamping the elevation itself gives the same result).
struct TTrackBarRange {
    const char* Key;
    const char* TrackBar;
    std::int32_t Min;
    std::int32_t Max;
};
inline constexpr std::array<TTrackBarRange, 5> SceneTrackBars = {{
    {"Azimuth", "TrackBarAzimuth", -180, 180},
    {"Elevation", "TrackBarElevation", -90, 90},
    {"HorizontalAmplitude", "TrackBarHorizontalAmplitude", 0, 100},
    {"VerticalAmplitude", "TrackBarVerticalAmplitude", 0, 100},
    {"PhaseShift", "TrackBarPhaseShift", -180, 180},
}};
// What the track bars do to the values: each clamped to its range.
void clampToTrackBars(TSceneValues& values);

// ---- Reading and writing ----

struct TWorkArea {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

struct TReadContext {
    std::string PersonalFolder;  // default of GraphFilePath, ending in a separator
    TWorkArea WorkArea;
    TNumberFormat NumberFormat;
};

// A value the reader could not use, or a file it could not read. The key got its default, or the
// usable value that the message names.
struct TSettingsProblem {
    std::string Section;  // empty for a problem with the whole file
    std::string Key;
    std::string Text;     // the offending value as it stands in the file
    std::string Message;  // one sentence for the user, quoting key and text
    std::string GermanMessage;  // the same in German

    const std::string& message(common::TLanguage language) const;
};

// All problems of one read in one text, for one message box, in English or in the language.
std::string problemsMessage(const std::vector<TSettingsProblem>& problems);
std::string problemsMessage(const std::vector<TSettingsProblem>& problems,
                            common::TLanguage language);

struct TSettingsRead {
    TSettingsData Data;
    std::vector<TSettingsProblem> Problems;
    bool FileExists = false;  // reading a file: false when it is missing, which is no problem
    TFileResult File;  // reading a file: not Ok when it exists but was not read; Reason says why
    bool ScreenWidthStored = false;  // [General] ScreenWidth is present, usable or not
};

struct TFloatRead {
    double Value = 0.0;
    bool Ok = true;    // false: the text is not a number; Value is then the default
    std::string Text;  // the text that was converted
};

// One float key: a missing key gives the default; a present one must be a number with either
// decimal separator.
TFloatRead ReadFloatKey(const IniFile& ini, std::string_view section, std::string_view key,
                        double defaultValue, const TNumberFormat& format);

// [General], [Scales], [Colors] (the nine object colours), [LineStyles], [FormMain] and [Printer].
// A malformed float is reported and gets its default; reading goes on with the next key.
// [FormMain] is bounded by the work area. FormSettings keeps its defaults. The values that
// sanitizeSettings replaces are replaced, each reported with the text found and the value used.
TSettingsRead ReadSettings(const IniFile& ini, const TReadContext& context);
// A missing file reads as empty; a file that exists but is not read (see readWholeFile) is
// reported and all defaults apply.
TSettingsRead ReadSettings(const std::string& fileName, const TReadContext& context);

// SaveSettings always; everything else only when data.App.SaveSettings is true. The caller puts
// the window's normal-state bounds into data.FormMain and WindowState 1 when it is minimised.
// The main window does not call this when the program was started with command-line arguments.
void WriteSettings(IniFile& ini, const TSettingsData& data, const TNumberFormat& format);
// Opens the file, updates it and stores it atomically. When the existing file cannot be read, or
// is no regular file, it is not written (its unknown keys would be lost) and the failure is
// returned.
TFileResult WriteSettings(const std::string& fileName, const TSettingsData& data,
                          const TNumberFormat& format);

struct TDialogStateRead {
    TDialogState State;
    std::vector<TSettingsProblem> Problems;
};

// [FormSettings] and ColorA .. ColorP of [Colors]. The dialog's position is kept on the work area
// (raised to 0, at most the work area less 32); a tab index outside 0 .. 3, or 3 (the Printer tab)
// without a printer, gives 0.
TDialogState ReadDialogState(const IniFile& ini, TWorkArea workArea, bool printerAvailable);
TDialogStateRead ReadDialogState(const std::string& fileName, TWorkArea workArea,
                                 bool printerAvailable);
// Called when the dialog is destroyed, if SaveSettings is true; independent of the command line.
void WriteDialogState(IniFile& ini, const TDialogState& state);
TFileResult WriteDialogState(const std::string& fileName, const TDialogState& state);

// ---- Values the engine cannot use ----

// The desktop's physical width in metres that a picture can be made for.
inline constexpr double MinScreenWidth = 0.01;
inline constexpr double MaxScreenWidth = 100.0;

// The file takes values as they stand; these are the ones that would make the program divide by
// zero, overflow or index outside a table. Each becomes a usable value: ScreenWidth outside
// MinScreenWidth .. MaxScreenWidth -> 0.3; a zoom step or Scale below 1 -> 1; a proportion that is
// not finite -> its default; a timer interval below 1 ms -> 1; a pen style outside 0 .. 5 -> solid;
// a Language other than 0 and 1 -> English; an Orientation other than 0 and 1 -> landscape (it
// indexes the margin arrays); a WindowState above 2 -> normal. Merely unusual values (an interval
// of 500, a margin of 300) stay as they are and are written back unchanged.
void sanitizeSettings(TSettingsData& data);

// A custom colour slot's stored text: six hexadecimal digits give the colour, "FFFFFFFF" and
// anything else give no colour.
std::optional<common::TColor> parseCustomColor(std::string_view text);
// Six upper-case hexadecimal digits, or "FFFFFFFF" for a slot without a colour.
std::string formatCustomColor(std::optional<common::TColor> color);

}  // namespace settings
