// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <optional>
#include <type_traits>
#include <utility>

#include "common/texts.h"
#include "settings/charset.h"

namespace settings {

using common::messageText;
using common::TMessage;

namespace {

using common::TColor;
using common::THandednessConvention;
using common::TLanguage;
using common::TPenStyle;
using scene::TSceneObject;
using D = TSettingsData;

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

template <TSceneObject Object>
TColor& colorOf(D& d)
{
    return d.Styles[static_cast<std::size_t>(Object)].Color;
}
template <TSceneObject Object>
bool& boldOf(D& d)
{
    return d.Styles[static_cast<std::size_t>(Object)].Bold;
}
template <TSceneObject Object>
TPenStyle& penStyleOf(D& d)
{
    return d.Styles[static_cast<std::size_t>(Object)].PenStyle;
}
template <std::size_t Orientation>
std::int32_t& marginLeft(D& d)
{
    return d.Printer.MarginLeft[Orientation];
}
template <std::size_t Orientation>
std::int32_t& marginRight(D& d)
{
    return d.Printer.MarginRight[Orientation];
}
template <std::size_t Orientation>
std::int32_t& marginTop(D& d)
{
    return d.Printer.MarginTop[Orientation];
}
template <std::size_t Orientation>
std::int32_t& marginBottom(D& d)
{
    return d.Printer.MarginBottom[Orientation];
}
template <std::size_t Slot>
std::string& customColor(D& d)
{
    return d.FormSettings.CustomColors[Slot];
}

constexpr auto General = TSettingsSection::General;
constexpr auto Scales = TSettingsSection::Scales;
constexpr auto Colors = TSettingsSection::Colors;
constexpr auto LineStyles = TSettingsSection::LineStyles;
constexpr auto FormMain = TSettingsSection::FormMain;
constexpr auto Printer = TSettingsSection::Printer;
constexpr auto FormSettings = TSettingsSection::FormSettings;
constexpr auto Main = TKeyGroup::Main;
constexpr auto Dialog = TKeyGroup::DialogState;
constexpr auto None = TBound::None;

std::vector<TSettingsKey> buildSettingsKeys()
{
    using O = TSceneObject;
    // Write order; the number is the read position.
    return {
        {General, "SaveSettings", Main, 2, None, 0,
         +[](D& d) -> bool& { return d.App.SaveSettings; }},
        {General, "Language", Main, 11, None, 0,
         +[](D& d) -> TLanguage& { return d.App.Language; }},
        {General, "ScreenWidth", Main, 1, None, 0,
         +[](D& d) -> double& { return d.App.ScreenWidth; }},
        {General, "ScreenFontName", Main, 12, None, 0,
         +[](D& d) -> std::string& { return d.App.ScreenFontName; }},
        {General, "GraphFilePath", Main, 13, None, 0,
         +[](D& d) -> std::string& { return d.App.GraphFilePath; }},
        {General, "GraphFileType", Main, 14, None, 0,
         +[](D& d) -> std::int32_t& { return d.App.GraphFileType; }},
        {General, "CoordinateSystemCentered", Main, 3, None, 0,
         +[](D& d) -> bool& { return d.App.CoordinateSystemCentered; }},
        {General, "ShowHorizontalWave", Main, 4, None, 0,
         +[](D& d) -> bool& { return d.App.ShowHorizontalWave; }},
        {General, "ShowVerticalWave", Main, 5, None, 0,
         +[](D& d) -> bool& { return d.App.ShowVerticalWave; }},
        {General, "ShowResultantWave", Main, 6, None, 0,
         +[](D& d) -> bool& { return d.App.ShowResultantWave; }},
        {General, "ShowResultantVector", Main, 7, None, 0,
         +[](D& d) -> bool& { return d.App.ShowResultantVector; }},
        {General, "Azimuth", Main, 27, None, 0,
         +[](D& d) -> std::int32_t& { return d.Scene.Azimuth; }},
        {General, "Elevation", Main, 28, None, 0,
         +[](D& d) -> std::int32_t& { return d.Scene.Elevation; }},
        {General, "HorizontalAmplitude", Main, 29, None, 0,
         +[](D& d) -> std::int32_t& { return d.Scene.HorizontalAmplitude; }},
        {General, "VerticalAmplitude", Main, 30, None, 0,
         +[](D& d) -> std::int32_t& { return d.Scene.VerticalAmplitude; }},
        {General, "PhaseShift", Main, 31, None, 0,
         +[](D& d) -> std::int32_t& { return d.Scene.PhaseShift; }},
        {General, "PropagationAxisLabel", Main, 24, None, 0,
         +[](D& d) -> std::string& { return d.App.PropagationAxisLabel; }},
        {General, "HorizontalAxisLabel", Main, 25, None, 0,
         +[](D& d) -> std::string& { return d.App.HorizontalAxisLabel; }},
        {General, "VerticalAxisLabel", Main, 26, None, 0,
         +[](D& d) -> std::string& { return d.App.VerticalAxisLabel; }},
        {General, "AnimationTimeInterval", Main, 9, None, 0,
         +[](D& d) -> std::int32_t& { return d.App.AnimationTimeInterval; }},
        {General, "RotateAzimuthTimeInterval", Main, 10, None, 0,
         +[](D& d) -> std::int32_t& { return d.App.RotateAzimuthTimeInterval; }},
        {General, "AutoRepeat", Main, 8, None, 0, +[](D& d) -> bool& { return d.App.AutoRepeat; }},
        {General, "ReferenceRectHalfWidth", Main, 15, None, 0,
         +[](D& d) -> double& { return d.Proportions.ReferenceRectHalfWidth; }},
        {General, "AxisHalfLength", Main, 16, None, 0,
         +[](D& d) -> double& { return d.Proportions.AxisHalfLength; }},
        {General, "AxisLabelSpacing", Main, 17, None, 0,
         +[](D& d) -> double& { return d.Proportions.AxisLabelSpacing; }},
        {General, "AxisLabelHeight", Main, 18, None, 0,
         +[](D& d) -> double& { return d.Proportions.AxisLabelHeight; }},
        {General, "ArrowLength", Main, 19, None, 0,
         +[](D& d) -> double& { return d.Proportions.ArrowLength; }},
        {General, "DotRadius", Main, 20, None, 0,
         +[](D& d) -> double& { return d.Proportions.DotRadius; }},
        {General, "Wavelength", Main, 21, None, 0,
         +[](D& d) -> double& { return d.Proportions.Wavelength; }},
        {General, "GraphicMarginFactor", Main, 22, None, 0,
         +[](D& d) -> double& { return d.Proportions.GraphicMarginFactor; }},
        {General, "ClipboardBugfixScalingFactor", Main, 23, None, 0,
         +[](D& d) -> double& { return d.Proportions.ClipboardBugfixScalingFactor; }},
        {General, "HandednessConvention", Main, 32, None, 0,
         +[](D& d) -> THandednessConvention& { return d.App.HandednessConvention; }},
        {General, "ShowReadout", Main, 33, None, 0,
         +[](D& d) -> bool& { return d.App.ShowReadout; }},
        {General, "ShowCaptions", Main, 34, None, 0,
         +[](D& d) -> bool& { return d.App.ShowCaptions; }},

        {Scales, "Scale", Main, 40, None, 0,
         +[](D& d) -> std::vector<std::int32_t>& { return d.Scales; }},
        {Scales, "Scale", Main, 41, None, 0, +[](D& d) -> std::int32_t& { return d.Scale; }},

        {Colors, "BackgroundColor", Main, 50, None, 0, &colorOf<O::Background>},
        {Colors, "TextColor", Main, 52, None, 0, &colorOf<O::Text>},
        {Colors, "CoordinateSystemColor", Main, 53, None, 0, &colorOf<O::CoordinateSystem>},
        {Colors, "ReferenceSurfaceColor", Main, 51, None, 0, &colorOf<O::ReferenceSurface>},
        {Colors, "HorizontalWaveColor", Main, 54, None, 0, &colorOf<O::HorizontalWave>},
        {Colors, "VerticalWaveColor", Main, 55, None, 0, &colorOf<O::VerticalWave>},
        {Colors, "ResultantWaveColor", Main, 56, None, 0, &colorOf<O::ResultantWave>},
        {Colors, "ResultantVectorColor", Main, 57, None, 0, &colorOf<O::ResultantVector>},
        {Colors, "ResultantVectorEllipseColor", Main, 58, None, 0,
         &colorOf<O::ResultantVectorEllipse>},

        {LineStyles, "TextBold", Main, 60, None, 0, &boldOf<O::Text>},
        {LineStyles, "CoordinateSystemBold", Main, 61, None, 0, &boldOf<O::CoordinateSystem>},
        {LineStyles, "ReferenceSurfaceBold", Main, 62, None, 0, &boldOf<O::ReferenceSurface>},
        {LineStyles, "HorizontalWaveBold", Main, 63, None, 0, &boldOf<O::HorizontalWave>},
        {LineStyles, "VerticalWaveBold", Main, 64, None, 0, &boldOf<O::VerticalWave>},
        {LineStyles, "ResultantWaveBold", Main, 65, None, 0, &boldOf<O::ResultantWave>},
        {LineStyles, "ResultantVectorBold", Main, 66, None, 0, &boldOf<O::ResultantVector>},
        {LineStyles, "ResultantVectorEllipseBold", Main, 67, None, 0,
         &boldOf<O::ResultantVectorEllipse>},
        {LineStyles, "PenStyleCoordinateSystem", Main, 68, None, 0,
         &penStyleOf<O::CoordinateSystem>},
        {LineStyles, "PenStyleReferenceSurface", Main, 69, None, 0,
         &penStyleOf<O::ReferenceSurface>},
        {LineStyles, "PenStyleHorizontalWave", Main, 70, None, 0, &penStyleOf<O::HorizontalWave>},
        {LineStyles, "PenStyleVerticalWave", Main, 71, None, 0, &penStyleOf<O::VerticalWave>},
        {LineStyles, "PenStyleResultantWave", Main, 72, None, 0, &penStyleOf<O::ResultantWave>},
        {LineStyles, "PenStyleResultantVector", Main, 73, None, 0, &penStyleOf<O::ResultantVector>},
        {LineStyles, "PenStyleResultantVectorEllipse", Main, 74, None, 0,
         &penStyleOf<O::ResultantVectorEllipse>},

        {FormMain, "WindowState", Main, 82, None, 0,
         +[](D& d) -> std::uint8_t& { return d.FormMain.WindowState; }},
        {FormMain, "Left", Main, 83, TBound::AtMostWorkAreaWidthLess32, 0,
         +[](D& d) -> std::int32_t& { return d.FormMain.Left; }},
        {FormMain, "Top", Main, 84, TBound::AtMostWorkAreaHeightLess32, 0,
         +[](D& d) -> std::int32_t& { return d.FormMain.Top; }},
        {FormMain, "Width", Main, 80, TBound::AtMostWorkAreaWidth, 0,
         +[](D& d) -> std::int32_t& { return d.FormMain.Width; }},
        {FormMain, "Height", Main, 81, TBound::AtMostWorkAreaHeight, 0,
         +[](D& d) -> std::int32_t& { return d.FormMain.Height; }},

        {Printer, "Orientation", Main, 90, None, 0,
         +[](D& d) -> std::uint8_t& { return d.Printer.Orientation; }},
        {Printer, "FontName", Main, 91, None, 0,
         +[](D& d) -> std::string& { return d.Printer.FontName; }},
        {Printer, "FontSize", Main, 92, None, 0,
         +[](D& d) -> std::int32_t& { return d.Printer.FontSize; }},
        {Printer, "MarginLeft0", Main, 93, None, 0, &marginLeft<0>},
        {Printer, "MarginRight0", Main, 94, None, 0, &marginRight<0>},
        {Printer, "MarginTop0", Main, 95, None, 0, &marginTop<0>},
        {Printer, "MarginBottom0", Main, 96, None, 0, &marginBottom<0>},
        {Printer, "MarginLeft1", Main, 97, None, 0, &marginLeft<1>},
        {Printer, "MarginRight1", Main, 98, None, 0, &marginRight<1>},
        {Printer, "MarginTop1", Main, 99, None, 0, &marginTop<1>},
        {Printer, "MarginBottom1", Main, 100, None, 0, &marginBottom<1>},

        {FormSettings, "Left", Dialog, 1, TBound::DialogLeft, 0,
         +[](D& d) -> std::int32_t& { return d.FormSettings.Left; }},
        {FormSettings, "Top", Dialog, 2, TBound::DialogTop, 0,
         +[](D& d) -> std::int32_t& { return d.FormSettings.Top; }},
        {FormSettings, "ActiveTabSheetIndex", Dialog, 3, None, 0,
         +[](D& d) -> std::int32_t& { return d.FormSettings.ActiveTabSheetIndex; }},
        {Colors, "ColorA", Dialog, 4, None, 8, &customColor<0>},
        {Colors, "ColorB", Dialog, 5, None, 8, &customColor<1>},
        {Colors, "ColorC", Dialog, 6, None, 8, &customColor<2>},
        {Colors, "ColorD", Dialog, 7, None, 8, &customColor<3>},
        {Colors, "ColorE", Dialog, 8, None, 8, &customColor<4>},
        {Colors, "ColorF", Dialog, 9, None, 8, &customColor<5>},
        {Colors, "ColorG", Dialog, 10, None, 8, &customColor<6>},
        {Colors, "ColorH", Dialog, 11, None, 8, &customColor<7>},
        {Colors, "ColorI", Dialog, 12, None, 8, &customColor<8>},
        {Colors, "ColorJ", Dialog, 13, None, 8, &customColor<9>},
        {Colors, "ColorK", Dialog, 14, None, 8, &customColor<10>},
        {Colors, "ColorL", Dialog, 15, None, 8, &customColor<11>},
        {Colors, "ColorM", Dialog, 16, None, 8, &customColor<12>},
        {Colors, "ColorN", Dialog, 17, None, 8, &customColor<13>},
        {Colors, "ColorO", Dialog, 18, None, 8, &customColor<14>},
        {Colors, "ColorP", Dialog, 19, None, 8, &customColor<15>},
    };
}

std::int32_t applyBound(TBound bound, std::int32_t value, TWorkArea area)
{
    const std::int64_t v = value;
    const std::int64_t w = area.Width;
    const std::int64_t h = area.Height;
    std::int64_t r = v;
    switch (bound) {
        case TBound::None:
            break;
        case TBound::AtMostWorkAreaWidth:
            r = std::min(v, w);
            break;
        case TBound::AtMostWorkAreaHeight:
            r = std::min(v, h);
            break;
        case TBound::AtMostWorkAreaWidthLess32:
            r = std::min(v, w - 32);
            break;
        case TBound::AtMostWorkAreaHeightLess32:
            r = std::min(v, h - 32);
            break;
        case TBound::DialogLeft:
            r = std::min(std::max<std::int64_t>(v, 0), w - 32);
            break;
        case TBound::DialogTop:
            r = std::min(std::max<std::int64_t>(v, 0), h - 32);
            break;
    }
    // Only a work area narrower than 32 pixels near the 32-bit minimum could leave the range.
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        r, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// The rows of a group in their read order.
std::vector<const TSettingsKey*> readOrder(TKeyGroup group)
{
    std::vector<const TSettingsKey*> rows;
    for (const TSettingsKey& row : SettingsKeys()) {
        if (row.Group == group) {
            rows.push_back(&row);
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const TSettingsKey* a, const TSettingsKey* b) {
        return a->ReadPosition < b->ReadPosition;
    });
    return rows;
}

std::string stepKey(const char* prefix, std::size_t step)
{
    return prefix + std::to_string(step);
}

// HandednessConvention is stored by name, which a teacher can read and edit in the file.
constexpr std::array<std::pair<THandednessConvention, std::string_view>, 2> ConventionNames = {{
    {THandednessConvention::Optics, "Optics"},
    {THandednessConvention::Ieee, "IEEE"},
}};

std::string_view conventionName(THandednessConvention convention)
{
    for (const auto& [value, name] : ConventionNames) {
        if (value == convention) {
            return name;
        }
    }
    return ConventionNames[0].second;
}

std::optional<THandednessConvention> parseConvention(std::string_view text)
{
    for (const auto& [value, name] : ConventionNames) {
        if (std::equal(text.begin(), text.end(), name.begin(), name.end(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) ==
                       std::tolower(static_cast<unsigned char>(b));
            })) {
            return value;
        }
    }
    return std::nullopt;
}

// One value of the file, named with its text and the value used in its place.
TSettingsProblem valueProblem(TMessage message, std::string_view section, const std::string& key,
                              const std::string& text, const std::string& used)
{
    const std::string name(section);
    return {name, key, text, messageText(message, TLanguage::English, {name, key, text, used}),
            messageText(message, TLanguage::German, {name, key, text, used})};
}

void readRow(const IniFile& ini, const TSettingsKey& row, const TReadContext& context,
             TSettingsData& data, std::vector<TSettingsProblem>& problems)
{
    // data holds the defaults when a row is read, so the current value is the default.
    const std::string_view section = sectionName(row.Section);
    const char* key = row.Key;
    std::visit(
        Overloaded{
            [&](std::int32_t& (*ref)(D&)) {
                std::int32_t& v = ref(data);
                v = applyBound(row.Bound, ini.readInteger(section, key, v), context.WorkArea);
            },
            [&](bool& (*ref)(D&)) { ref(data) = ini.readBool(section, key, ref(data)); },
            [&](double& (*ref)(D&)) {
                const TFloatRead read =
                    ReadFloatKey(ini, section, key, ref(data), context.NumberFormat);
                if (!read.Ok) {
                    problems.push_back(
                        valueProblem(TMessage::MalformedNumber, section, key, read.Text,
                                     formatIniFloat(ref(data), context.NumberFormat)));
                }
                ref(data) = read.Value;
            },
            [&](std::string& (*ref)(D&)) { ref(data) = ini.readString(section, key, ref(data)); },
            [&](TColor& (*ref)(D&)) {
                TColor& v = ref(data);
                v = static_cast<TColor>(
                    ini.readInteger(section, key, static_cast<std::int32_t>(v)));
            },
            [&](std::uint8_t& (*ref)(D&)) { ref(data) = ini.readByte(section, key, ref(data)); },
            [&](TLanguage& (*ref)(D&)) {
                TLanguage& v = ref(data);
                v = static_cast<TLanguage>(
                    ini.readByte(section, key, static_cast<std::uint8_t>(v)));
            },
            [&](TPenStyle& (*ref)(D&)) {
                TPenStyle& v = ref(data);
                v = static_cast<TPenStyle>(
                    ini.readByte(section, key, static_cast<std::uint8_t>(v)));
            },
            [&](THandednessConvention& (*ref)(D&)) {
                THandednessConvention& v = ref(data);
                if (!ini.valueExists(section, key)) {
                    return;
                }
                const std::string text = ini.readString(section, key, "");
                const std::optional<THandednessConvention> named = parseConvention(text);
                if (!named) {
                    problems.push_back(valueProblem(TMessage::UnusableValue, section, key, text,
                                                    std::string(conventionName(v))));
                }
                v = named.value_or(v);
            },
            [&](std::vector<std::int32_t>& (*ref)(D&)) {
                // Steps: the consecutive keys Scale1, Scale2, ... present, but at least 28.
                std::size_t count = 0;
                while (ini.valueExists(section, stepKey(key, count + 1))) {
                    ++count;
                }
                count = std::max(count, BuiltInScaleCount);
                std::vector<std::int32_t>& slots = ref(data);
                slots.assign(count + 1, 1);
                for (std::size_t k = 1; k <= count; ++k) {
                    const std::int32_t builtIn =
                        k <= BuiltInScaleCount ? BuiltInScales[k - 1] : BuiltInScales.back();
                    slots[k] = ini.readInteger(section, stepKey(key, k), builtIn);
                }
            },
        },
        row.Field);
}

void writeRow(IniFile& ini, const TSettingsKey& row, TSettingsData& data,
              const TNumberFormat& format)
{
    const std::string_view section = sectionName(row.Section);
    const char* key = row.Key;
    std::visit(
        Overloaded{
            [&](std::int32_t& (*ref)(D&)) { ini.writeInteger(section, key, ref(data)); },
            [&](bool& (*ref)(D&)) { ini.writeBool(section, key, ref(data)); },
            [&](double& (*ref)(D&)) {
                ini.writeString(section, key, formatIniFloat(ref(data), format));
            },
            [&](std::string& (*ref)(D&)) {
                const std::string& v = ref(data);
                ini.writeString(section, key,
                                row.MaxWrittenChars > 0 ? utf8Prefix(v, row.MaxWrittenChars) : v);
            },
            [&](TColor& (*ref)(D&)) {
                ini.writeInteger(section, key, static_cast<std::int32_t>(ref(data)));
            },
            [&](std::uint8_t& (*ref)(D&)) { ini.writeInteger(section, key, ref(data)); },
            [&](TLanguage& (*ref)(D&)) {
                ini.writeInteger(section, key, static_cast<std::uint8_t>(ref(data)));
            },
            [&](TPenStyle& (*ref)(D&)) {
                ini.writeInteger(section, key, static_cast<std::uint8_t>(ref(data)));
            },
            [&](THandednessConvention& (*ref)(D&)) {
                ini.writeString(section, key, conventionName(ref(data)));
            },
            [&](std::vector<std::int32_t>& (*ref)(D&)) {
                const std::vector<std::int32_t>& slots = ref(data);
                for (std::size_t k = 1; k < slots.size(); ++k) {
                    ini.writeInteger(section, stepKey(key, k), slots[k]);
                }
                // A step key after the last written one would be read as a step of its
                // own, the file's stray keys becoming steps once those before them exist.
                for (std::size_t k = slots.size(); ini.valueExists(section, stepKey(key, k)); ++k) {
                    ini.removeKey(section, stepKey(key, k));
                }
            },
        },
        row.Field);
}

std::vector<TSettingsProblem> fileProblem(const TFileResult& result)
{
    if (result.Ok) {
        return {};
    }
    return {{"", "", "",
             messageText(TMessage::SettingsFileNotUsed, TLanguage::English, {result.Error}),
             messageText(TMessage::SettingsFileNotUsed, TLanguage::German, {result.GermanError})}};
}

// Reads the file for an update; a file that exists but cannot be read, or is no regular file,
// must not be replaced.
std::optional<IniFile> openForUpdate(const std::string& fileName, TFileResult& failure)
{
    const TFileContent content = readWholeFile(fileName);
    if (!content.Result.Ok) {
        const TFileResult& r = content.Result;
        failure = {false, messageText(TMessage::SettingsNotSaved, TLanguage::English, {r.Error}),
                   messageText(TMessage::SettingsNotSaved, TLanguage::German, {r.GermanError}),
                   r.Reason};
        return std::nullopt;
    }
    return IniFile::fromFileBytes(content.Bytes);
}

// A value replaced because the engine cannot use it: its row, or its zoom step, and the value put
// in its place as the file would state it.
struct TReplacement {
    const TSettingsKey* Row = nullptr;
    std::size_t Step = 0;  // of the zoom step list; 0 for any other row
    std::string Used;
};

// The row whose accessor gives this field of data.
const TSettingsKey* rowOf(D& data, const void* field)
{
    for (const TSettingsKey& row : SettingsKeys()) {
        const void* at =
            std::visit([&data](auto ref) -> const void* { return &ref(data); }, row.Field);
        if (at == field && row.form() != TValueForm::ScaleList) {
            return &row;
        }
    }
    return nullptr;
}

const TSettingsKey* stepListRow()
{
    for (const TSettingsKey& row : SettingsKeys()) {
        if (row.form() == TValueForm::ScaleList) {
            return &row;
        }
    }
    return nullptr;
}

// What sanitizeSettings does, saying what it replaced.
std::vector<TReplacement> replaceUnusable(TSettingsData& data, const TNumberFormat& format)
{
    std::vector<TReplacement> replaced;
    const auto replace = [&](auto& field, auto usable) {
        field = usable;
        if (const TSettingsKey* row = rowOf(data, &field)) {
            if constexpr (std::is_same_v<decltype(usable), double>) {
                replaced.push_back({row, 0, formatIniFloat(usable, format)});
            } else {
                replaced.push_back({row, 0, std::to_string(static_cast<std::int64_t>(usable))});
            }
        }
    };
    const TSettingsData defaults;
    common::TAppSettings& app = data.App;
    if (!(app.ScreenWidth >= MinScreenWidth && app.ScreenWidth <= MaxScreenWidth)) {
        replace(app.ScreenWidth, defaults.App.ScreenWidth);
    }
    if (app.AnimationTimeInterval < 1) {
        replace(app.AnimationTimeInterval, 1);
    }
    if (app.RotateAzimuthTimeInterval < 1) {
        replace(app.RotateAzimuthTimeInterval, 1);
    }
    if (static_cast<std::uint8_t>(app.Language) > 1) {
        replace(app.Language, TLanguage::English);
    }
    if (data.Scales.empty()) {
        data.Scales = builtInScaleSlots();
    }
    data.Scales[0] = 1;  // no key: slot 0 is never a step
    for (std::size_t k = 1; k < data.Scales.size(); ++k) {
        if (data.Scales[k] < 1) {
            data.Scales[k] = 1;
            replaced.push_back({stepListRow(), k, "1"});
        }
    }
    if (data.Scale < 1) {
        replace(data.Scale, 1);
    }

    const auto finiteOr = [&](double& value, double fallback) {
        if (!std::isfinite(value)) {
            replace(value, fallback);
        }
    };
    scene::TProportions& p = data.Proportions;
    const scene::TProportions& dp = defaults.Proportions;
    finiteOr(p.ReferenceRectHalfWidth, dp.ReferenceRectHalfWidth);
    finiteOr(p.AxisHalfLength, dp.AxisHalfLength);
    finiteOr(p.AxisLabelSpacing, dp.AxisLabelSpacing);
    finiteOr(p.AxisLabelHeight, dp.AxisLabelHeight);
    finiteOr(p.ArrowLength, dp.ArrowLength);
    finiteOr(p.DotRadius, dp.DotRadius);
    finiteOr(p.Wavelength, dp.Wavelength);
    finiteOr(p.GraphicMarginFactor, dp.GraphicMarginFactor);
    finiteOr(p.ClipboardBugfixScalingFactor, dp.ClipboardBugfixScalingFactor);

    for (scene::TObjectStyle& style : data.Styles) {
        if (static_cast<std::uint8_t>(style.PenStyle) >
            static_cast<std::uint8_t>(TPenStyle::Clear)) {
            replace(style.PenStyle, TPenStyle::Solid);
        }
    }
    if (data.Printer.Orientation > 1) {
        replace(data.Printer.Orientation, defaults.Printer.Orientation);
    }
    if (data.FormMain.WindowState > 2) {
        replace(data.FormMain.WindowState, std::uint8_t{0});
    }
    return replaced;
}

}  // namespace

std::vector<std::int32_t> builtInScaleSlots()
{
    std::vector<std::int32_t> slots{1};
    slots.insert(slots.end(), BuiltInScales.begin(), BuiltInScales.end());
    return slots;
}

TSettingsData defaultSettingsData(const std::string& personalFolder)
{
    TSettingsData data;
    data.App.GraphFilePath = personalFolder;
    return data;
}

std::string_view sectionName(TSettingsSection section)
{
    switch (section) {
        case TSettingsSection::General:
            return "General";
        case TSettingsSection::Scales:
            return "Scales";
        case TSettingsSection::Colors:
            return "Colors";
        case TSettingsSection::LineStyles:
            return "LineStyles";
        case TSettingsSection::FormMain:
            return "FormMain";
        case TSettingsSection::Printer:
            return "Printer";
        case TSettingsSection::FormSettings:
            return "FormSettings";
    }
    return "";
}

TValueForm TSettingsKey::form() const
{
    constexpr std::array<TValueForm, std::variant_size_v<TSettingsField>> forms = {
        TValueForm::Integer,   TValueForm::Boolean, TValueForm::Float, TValueForm::String,
        TValueForm::Colour,    TValueForm::Byte,    TValueForm::Byte,  TValueForm::Byte,
        TValueForm::ScaleList, TValueForm::String};
    return forms[Field.index()];
}

const std::vector<TSettingsKey>& SettingsKeys()
{
    static const std::vector<TSettingsKey> keys = buildSettingsKeys();
    return keys;
}

void clampToTrackBars(TSceneValues& values)
{
    std::int32_t* const fields[] = {&values.Azimuth, &values.Elevation, &values.HorizontalAmplitude,
                                    &values.VerticalAmplitude, &values.PhaseShift};
    for (std::size_t i = 0; i < SceneTrackBars.size(); ++i) {
        *fields[i] = std::clamp(*fields[i], SceneTrackBars[i].Min, SceneTrackBars[i].Max);
    }
}

const std::string& TSettingsProblem::message(TLanguage language) const
{
    return language == TLanguage::German && !GermanMessage.empty() ? GermanMessage : Message;
}

std::string problemsMessage(const std::vector<TSettingsProblem>& problems)
{
    return problemsMessage(problems, TLanguage::English);
}

std::string problemsMessage(const std::vector<TSettingsProblem>& problems, TLanguage language)
{
    std::string text;
    if (problems.empty()) {
        return text;
    }
    text = messageText(TMessage::SettingsProblemsHeading, language);
    for (const TSettingsProblem& problem : problems) {
        text += "\n";
        text += problem.message(language);
    }
    return text;
}

TFloatRead ReadFloatKey(const IniFile& ini, std::string_view section, std::string_view key,
                        double defaultValue, const TNumberFormat& format)
{
    TFloatRead read;
    read.Text = ini.readString(section, key, formatIniFloat(defaultValue, format));
    const std::optional<double> value = parseIniFloat(read.Text, format);
    read.Ok = value.has_value();
    read.Value = value.value_or(defaultValue);
    return read;
}

TSettingsRead ReadSettings(const IniFile& ini, const TReadContext& context)
{
    TSettingsRead read;
    read.Data = defaultSettingsData(context.PersonalFolder);
    read.ScreenWidthStored = ini.valueExists(sectionName(TSettingsSection::General), "ScreenWidth");
    for (const TSettingsKey* row : readOrder(TKeyGroup::Main)) {
        readRow(ini, *row, context, read.Data, read.Problems);
    }
    // Only a key that is present can hold an unusable value: every default is usable.
    for (const TReplacement& r : replaceUnusable(read.Data, context.NumberFormat)) {
        const std::string_view section = sectionName(r.Row->Section);
        const std::string key = r.Step > 0 ? stepKey(r.Row->Key, r.Step) : std::string(r.Row->Key);
        read.Problems.push_back(valueProblem(TMessage::UnusableValue, section, key,
                                             ini.readString(section, key, ""), r.Used));
    }
    return read;
}

TSettingsRead ReadSettings(const std::string& fileName, const TReadContext& context)
{
    const TFileContent content = readWholeFile(fileName);
    TSettingsRead read = ReadSettings(IniFile::fromFileBytes(content.Bytes), context);
    for (TSettingsProblem& problem : fileProblem(content.Result)) {
        read.Problems.push_back(std::move(problem));
    }
    read.FileExists = content.Exists;
    read.File = content.Result;
    return read;
}

void WriteSettings(IniFile& ini, const TSettingsData& data, const TNumberFormat& format)
{
    TSettingsData values = data;  // the table's accessors take a modifiable record
    for (const TSettingsKey& row : SettingsKeys()) {
        if (row.Group != TKeyGroup::Main) {
            continue;
        }
        writeRow(ini, row, values, format);
        if (!values.App.SaveSettings) {
            break;  // SaveSettings is the first row: with false nothing else is written
        }
    }
}

TFileResult WriteSettings(const std::string& fileName, const TSettingsData& data,
                          const TNumberFormat& format)
{
    TFileResult result;
    std::optional<IniFile> ini = openForUpdate(fileName, result);
    if (!ini) {
        return result;
    }
    WriteSettings(*ini, data, format);
    return writeFileAtomically(fileName, ini->fileBytes());
}

TDialogState ReadDialogState(const IniFile& ini, TWorkArea workArea, bool printerAvailable)
{
    TSettingsData data;
    std::vector<TSettingsProblem> problems;  // the dialog state has no float keys
    const TReadContext context{"", workArea, {}};
    for (const TSettingsKey* row : readOrder(TKeyGroup::DialogState)) {
        readRow(ini, *row, context, data, problems);
    }
    std::int32_t& tab = data.FormSettings.ActiveTabSheetIndex;
    if (tab < 0 || tab > 3 || (tab == 3 && !printerAvailable)) {
        tab = 0;
    }
    return data.FormSettings;
}

TDialogStateRead ReadDialogState(const std::string& fileName, TWorkArea workArea,
                                 bool printerAvailable)
{
    const TFileContent content = readWholeFile(fileName);
    return {ReadDialogState(IniFile::fromFileBytes(content.Bytes), workArea, printerAvailable),
            fileProblem(content.Result)};
}

void WriteDialogState(IniFile& ini, const TDialogState& state)
{
    TSettingsData values;
    values.FormSettings = state;
    for (const TSettingsKey& row : SettingsKeys()) {
        if (row.Group == TKeyGroup::DialogState) {
            writeRow(ini, row, values, {});
        }
    }
}

TFileResult WriteDialogState(const std::string& fileName, const TDialogState& state)
{
    TFileResult result;
    std::optional<IniFile> ini = openForUpdate(fileName, result);
    if (!ini) {
        return result;
    }
    WriteDialogState(*ini, state);
    return writeFileAtomically(fileName, ini->fileBytes());
}

void sanitizeSettings(TSettingsData& data)
{
    replaceUnusable(data, {});
}

std::optional<TColor> parseCustomColor(std::string_view text)
{
    if (text.empty() || text.size() > 6) {
        return std::nullopt;
    }
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'))) {
            return std::nullopt;
        }
    }
    return static_cast<TColor>(parseIniInteger("$" + std::string(text)).value_or(0));
}

std::string formatCustomColor(std::optional<TColor> color)
{
    if (!color) {
        return "FFFFFFFF";
    }
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text(6, '0');
    for (int i = 5; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = digits[(*color >> (4 * (5 - i))) & 0xFu];
    }
    return text;
}

}  // namespace settings
