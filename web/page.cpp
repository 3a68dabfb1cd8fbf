// SPDX-License-Identifier: GPL-3.0-or-later
#include "page.h"

#include <emscripten/bind.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "common/readout_texts.h"
#include "common/texts.h"
#include "scene/extent.h"
#include "scene/geometry.h"
#include "scene/polarisation.h"
#include "scene/projection.h"
#include "scene/readout.h"
#include "scene/render.h"
#include "scene/steps.h"
#include "settings/ini_file.h"
#include "settings/scene_settings.h"

namespace web {

namespace {

using settings::TSettingsSection;

// What a browser can use of the settings file: the view, the parts shown, the timers, the
// language, the convention and the scale. The look (colours, styles, proportions, the label
// font) comes from the defaults, which the page has no dialog to change.
constexpr std::array<std::string_view, 18> StoredGeneralKeys = {
    "Language",
    "ScreenWidth",
    "AutoRepeat",
    "AnimationTimeInterval",
    "RotateAzimuthTimeInterval",
    "CoordinateSystemCentered",
    "ShowHorizontalWave",
    "ShowVerticalWave",
    "ShowResultantWave",
    "ShowResultantVector",
    "Azimuth",
    "Elevation",
    "HorizontalAmplitude",
    "VerticalAmplitude",
    "PhaseShift",
    "HandednessConvention",
    "ShowReadout",
    "ShowCaptions",
};

struct ValueRange {
    std::string_view name;
    std::int32_t minimum;
    std::int32_t maximum;
    std::int32_t pageStep;  // as the desktop's track bars page
};
constexpr std::array<ValueRange, 6> ValueRanges = {{
    {"Azimuth", -180, 180, 10},
    {"Elevation", -90, 90, 10},
    {"HorizontalAmplitude", 0, 100, 10},
    {"VerticalAmplitude", 0, 100, 10},
    {"PhaseShift", -180, 180, 15},
    {"Time", 0, scene::StepsPerPeriod, 32},
}};

const ValueRange* rangeOf(std::string_view name)
{
    for (const ValueRange& range : ValueRanges) {
        if (range.name == name) {
            return &range;
        }
    }
    return nullptr;
}

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                break;  // the desktop's hints break lines with CR LF
            case '\n':
                out += "\\n";
                break;
            default:
                out += c;
        }
    }
    return out + "\"";
}

const char* propertyName(common::TTextProperty property)
{
    switch (property) {
        case common::TTextProperty::Hint:
            return "Hint";
        case common::TTextProperty::Caption:
            return "Caption";
        case common::TTextProperty::Title:
            return "Title";
        case common::TTextProperty::Item0:
            return "Item0";
        case common::TTextProperty::Item1:
            return "Item1";
    }
    return "";
}

}  // namespace

Page::Page() : m_scene(std::make_unique<scene::SceneState>())
{
    m_scene->Host = this;
    applySettings(settings::defaultSettingsData(""));
}

std::string Page::loadSettings(const std::string& iniText)
{
    settings::TReadContext context;
    context.WorkArea = {1 << 20, 1 << 20};  // the window's placement is not the page's
    const settings::TSettingsRead read =
        settings::ReadSettings(settings::IniFile(iniText), context);
    m_screenWidthGiven =
        read.ScreenWidthStored &&
        std::none_of(read.Problems.begin(), read.Problems.end(),
                     [](const settings::TSettingsProblem& p) { return p.Key == "ScreenWidth"; });
    applySettings(read.Data);
    std::string problems;
    for (const settings::TSettingsProblem& problem : read.Problems) {
        problems += problem.message(read.Data.App.Language) + "\n";
    }
    return problems;
}

void Page::applySettings(const settings::TSettingsData& data)
{
    scene::SceneState& s = *m_scene;
    m_settings = data;
    settings::TSceneValues values = data.Scene;
    settings::clampToTrackBars(values);
    const common::TAppSettings& app = data.App;
    settings::applyLook(s, data);
    settings::applyShown(s, app);
    scene::setAzimuth(s, values.Azimuth);
    scene::setElevation(s, values.Elevation);
    scene::setPhaseShift(s, values.PhaseShift);
    m_horizontalPercent = values.HorizontalAmplitude;
    m_verticalPercent = values.VerticalAmplitude;
    s.Params.HorizontalAmplitude = m_horizontalPercent / 100.0;
    s.Params.VerticalAmplitude = m_verticalPercent / 100.0;

    m_scales.assign(1, 1);
    for (std::size_t k = 1; k < data.Scales.size(); ++k) {
        m_scales.push_back(std::max<std::int32_t>(1, data.Scales[k]));
    }
    const auto [low, high] = std::minmax_element(m_scales.begin(), m_scales.end());
    s.ScaleDenominator = std::clamp(data.Scale, *low, *high);
    m_scaleIndex = scene::nearestScaleStep(m_scales, s.ScaleDenominator);
    s.SceneReady = false;
    scene::startScene(s);  // draws once the area has a size
}

std::string Page::storedKeys()
{
    std::string keys;
    const std::string general(settings::sectionName(TSettingsSection::General));
    for (const std::string_view key : StoredGeneralKeys) {
        keys += general + "/" + std::string(key) + "\n";
    }
    return keys + std::string(settings::sectionName(TSettingsSection::Scales)) + "/Scale\n";
}

std::string Page::storedValues() const
{
    settings::TSettingsData data = m_settings;
    const scene::SceneState& s = *m_scene;
    settings::captureLook(s, data);
    settings::captureShown(s, data.App);
    data.Scene.Azimuth = s.Params.Azimuth;
    data.Scene.Elevation = s.Params.Elevation;
    data.Scene.HorizontalAmplitude = m_horizontalPercent;
    data.Scene.VerticalAmplitude = m_verticalPercent;
    data.Scene.PhaseShift = s.Params.PhaseShift;
    data.Scale = s.ScaleDenominator;
    settings::IniFile ini;
    settings::WriteSettings(ini, data, settings::TNumberFormat{});
    std::string values;
    const std::string_view general = settings::sectionName(TSettingsSection::General);
    for (const std::string_view key : StoredGeneralKeys) {
        // A width never given stays unstored, so that the page goes on asking for it.
        const bool unknown = key == "ScreenWidth" && !m_screenWidthGiven;
        values += (unknown ? std::string() : ini.value(general, key).value_or("")) + "\n";
    }
    return values + std::to_string(s.ScaleDenominator) + "\n";
}

void Page::resize(std::int32_t width, std::int32_t height, std::int32_t screenPixels, double ratio)
{
    scene::SceneState& s = *m_scene;
    m_ratio = std::isfinite(ratio) ? std::clamp(ratio, 0.25, 8.0) : 1.0;
    s.DrawWidth = std::max(1, width);
    s.DrawHeight = std::max(1, height);
    s.DesktopWidthPixels = std::max(1, screenPixels);
    scene::updateScreenScale(s);
    scene::updateLabelFontMetrics(s);
    reproject();
    draw();
}

bool Page::setScreenWidth(double millimetres)
{
    const double metres = millimetres / 1000.0;
    if (!std::isfinite(metres) || metres < settings::MinScreenWidth ||
        metres > settings::MaxScreenWidth) {
        return false;
    }
    scene::SceneState& s = *m_scene;
    s.ScreenWidth = metres;
    m_settings.App.ScreenWidth = metres;
    m_screenWidthGiven = true;
    scene::updateScreenScale(s);
    scene::updateLabelFontMetrics(s);
    reproject();
    draw();
    return true;
}

double Page::screenWidthMillimetres() const
{
    return m_scene->ScreenWidth * 1000.0;
}

void Page::setValue(const std::string& name, std::int32_t value)
{
    const ValueRange* range = rangeOf(name);
    if (range == nullptr) {
        return;
    }
    value = std::clamp(value, range->minimum, range->maximum);
    scene::SceneState& s = *m_scene;
    if (name == "Azimuth" || name == "Elevation") {
        (name == "Azimuth" ? scene::setAzimuth : scene::setElevation)(s, value);
        scene::updateViewMatrix(s);
    } else if (name == "PhaseShift") {
        scene::setPhaseShift(s, value);
    } else if (name == "Time") {
        s.Params.TimeStep = value;
    } else {
        const bool horizontal = name == "HorizontalAmplitude";
        (horizontal ? m_horizontalPercent : m_verticalPercent) = value;
        (horizontal ? s.Params.HorizontalAmplitude : s.Params.VerticalAmplitude) = value / 100.0;
    }
    if (name != "Azimuth" && name != "Elevation") {
        scene::computeWaveSamples(s, s.Params.TimeStep, s.Params.PhaseStep);
    }
    reproject();
    draw();
}

std::int32_t Page::value(const std::string& name) const
{
    const scene::TSceneParameters& p = m_scene->Params;
    if (name == "Azimuth") {
        return p.Azimuth;
    }
    if (name == "Elevation") {
        return p.Elevation;
    }
    if (name == "HorizontalAmplitude") {
        return m_horizontalPercent;
    }
    if (name == "VerticalAmplitude") {
        return m_verticalPercent;
    }
    if (name == "PhaseShift") {
        return p.PhaseShift;
    }
    return name == "Time" ? p.TimeStep : 0;
}

std::string Page::hint(const std::string& name) const
{
    if (rangeOf(name) == nullptr) {
        return "";
    }
    // The elevation's bar holds the negated elevation.
    const std::int32_t position = name == "Elevation" ? -value(name) : value(name);
    return common::trackBarHintText("TrackBar" + name, position, m_settings.App.Language);
}

std::string Page::valueRange(const std::string& name)
{
    const ValueRange* range = rangeOf(name);
    if (range == nullptr) {
        return "";
    }
    return std::to_string(range->minimum) + " " + std::to_string(range->maximum) + " " +
           std::to_string(range->pageStep);
}

void Page::setSwitch(const std::string& name, bool on)
{
    scene::SceneState& s = *m_scene;
    common::TAppSettings& app = m_settings.App;
    if (name == "ShowHorizontalWave") {
        s.ShowHorizontalWave = on;
    } else if (name == "ShowVerticalWave") {
        s.ShowVerticalWave = on;
    } else if (name == "ShowResultantWave") {
        s.ShowResultantWave = on;
    } else if (name == "ShowResultantVector") {
        s.ShowResultantVector = on;
    } else if (name == "CoordinateSystemCentered") {
        s.CoordinateSystemCentered = on;
        scene::computeSceneCentre(s);
        reproject();
    } else if (name == "ShowReadout") {
        app.ShowReadout = on;
        return;
    } else if (name == "ShowCaptions") {
        app.ShowCaptions = on;
        return;
    } else if (name == "AutoRepeat") {
        app.AutoRepeat = on;
        return;
    } else {
        return;
    }
    draw();
}

bool Page::switchOn(const std::string& name) const
{
    const scene::SceneState& s = *m_scene;
    const common::TAppSettings& app = m_settings.App;
    if (name == "ShowHorizontalWave") {
        return s.ShowHorizontalWave;
    }
    if (name == "ShowVerticalWave") {
        return s.ShowVerticalWave;
    }
    if (name == "ShowResultantWave") {
        return s.ShowResultantWave;
    }
    if (name == "ShowResultantVector") {
        return s.ShowResultantVector;
    }
    if (name == "CoordinateSystemCentered") {
        return s.CoordinateSystemCentered;
    }
    if (name == "ShowReadout") {
        return app.ShowReadout;
    }
    if (name == "ShowCaptions") {
        return app.ShowCaptions;
    }
    return name == "AutoRepeat" && app.AutoRepeat;
}

bool Page::timeStep()
{
    const std::int32_t next =
        scene::nextTimeStep(m_scene->Params.TimeStep, m_settings.App.AutoRepeat);
    if (next < 0) {
        return false;
    }
    setValue("Time", next);
    return true;
}

void Page::rewind()
{
    setValue("Time", 0);
}

void Page::azimuthStep()
{
    setValue("Azimuth", scene::nextAzimuthStep(m_scene->Params.Azimuth));
}

bool Page::zoomIn()
{
    if (m_scaleIndex <= 1) {
        return false;
    }
    --m_scaleIndex;
    m_scene->ScaleDenominator = m_scales[static_cast<std::size_t>(m_scaleIndex)];
    resize(m_scene->DrawWidth, m_scene->DrawHeight, m_scene->DesktopWidthPixels, m_ratio);
    return true;
}

bool Page::zoomOut()
{
    if (m_scaleIndex >= static_cast<int>(m_scales.size()) - 1) {
        return false;
    }
    ++m_scaleIndex;
    m_scene->ScaleDenominator = m_scales[static_cast<std::size_t>(m_scaleIndex)];
    resize(m_scene->DrawWidth, m_scene->DrawHeight, m_scene->DesktopWidthPixels, m_ratio);
    return true;
}

bool Page::fit()
{
    scene::SceneState& s = *m_scene;
    const std::int32_t before = s.ScaleDenominator;
    const int chosen = scene::fittingScaleStep(s, m_scales);
    if (chosen < 1) {
        return false;
    }
    m_scaleIndex = chosen;
    s.ScaleDenominator = m_scales[static_cast<std::size_t>(chosen)];
    resize(s.DrawWidth, s.DrawHeight, s.DesktopWidthPixels, m_ratio);
    return s.ScaleDenominator != before;
}

void Page::setLanguage(std::int32_t language)
{
    m_settings.App.Language =
        language == 1 ? common::TLanguage::German : common::TLanguage::English;
}

void Page::setConvention(std::int32_t convention)
{
    m_settings.App.HandednessConvention = convention == 1 ? common::THandednessConvention::Ieee
                                                          : common::THandednessConvention::Optics;
}

void Page::applyPreset(std::int32_t index)
{
    if (index < 0 || index >= static_cast<std::int32_t>(scene::PresetTable.size())) {
        return;
    }
    const scene::TPresetValues values =
        scene::presetValues(scene::PresetTable[static_cast<std::size_t>(index)].Preset,
                            m_settings.App.HandednessConvention);
    scene::SceneState& s = *m_scene;
    m_horizontalPercent = values.HorizontalAmplitude;
    m_verticalPercent = values.VerticalAmplitude;
    s.Params.HorizontalAmplitude = m_horizontalPercent / 100.0;
    s.Params.VerticalAmplitude = m_verticalPercent / 100.0;
    setValue("PhaseShift", values.PhaseShift);  // computes the waves, projects and draws
}

std::string Page::presetNames() const
{
    std::string names;
    for (const scene::TPresetRow& row : scene::PresetTable) {
        names += scene::presetName(row.Preset, m_settings.App.Language,
                                   m_settings.App.HandednessConvention) +
                 "\n";
    }
    return names;
}

std::string Page::conventionNames() const
{
    return scene::conventionName(common::THandednessConvention::Optics, m_settings.App.Language) +
           "\n" +
           scene::conventionName(common::THandednessConvention::Ieee, m_settings.App.Language) +
           "\n";
}

std::string Page::documentName() const
{
    return std::string(common::defaultDocumentName(m_settings.App.Language));
}

std::string Page::readout() const
{
    const common::TLanguage language = m_settings.App.Language;
    std::string text = scene::readoutTitle(language) + "\n";
    const scene::TPolarisation polarisation = scene::polarisationOf(
        scene::polarisationInput(m_scene->Params), m_settings.App.HandednessConvention);
    for (const std::string& line : scene::readoutLines(polarisation, language)) {
        text += line + "\n";
    }
    return text;
}

std::string Page::texts() const
{
    const common::TLanguage language = m_settings.App.Language;
    std::string json = "{";
    const auto add = [&json](std::string_view key, std::string_view text) {
        if (json.size() > 1) {
            json += ",";
        }
        json += jsonString(key) + ":" + jsonString(text);
    };
    for (const auto table :
         {common::formMainTexts(), common::formSettingsTexts(), common::webPageTexts()}) {
        for (const common::TControlText& row : table) {
            add(std::string(row.Control) + "." + propertyName(row.Property), row.text(language));
        }
    }
    for (const common::THintPrefix& row : common::hintPrefixes()) {
        add(std::string(row.TrackBar) + ".Prefix", common::hintPrefix(row.TrackBar, language));
    }
    return json + "}";
}

// The scene's area stays in CSS pixels, so that the fit and the scale are the desktop's; the
// projection for the canvas is in device pixels.
std::int32_t Page::deviceWidth() const
{
    return static_cast<std::int32_t>(std::lround(m_scene->DrawWidth * m_ratio));
}

std::int32_t Page::deviceHeight() const
{
    return static_cast<std::int32_t>(std::lround(m_scene->DrawHeight * m_ratio));
}

void Page::reproject()
{
    scene::SceneState& s = *m_scene;
    scene::projectScene(s, deviceWidth(), deviceHeight(), s.PixelsPerUnit, m_ratio);
}

void Page::draw()
{
    scene::SceneState& s = *m_scene;
    if (s.DrawWidth <= 0 || s.DrawHeight <= 0) {
        return;
    }
    scene::drawScene(s, 0, 0, deviceWidth(), deviceHeight(), m_canvas, m_ratio);
}

std::string Page::svg()
{
    // One SVG unit per CSS pixel, as the desktop's SVG has one per pixel.
    scene::SceneState& s = *m_scene;
    scene::projectScene(s, s.DrawWidth, s.DrawHeight, s.PixelsPerUnit, 1.0);
    SvgCanvas canvas(s.DrawWidth, s.DrawHeight);
    scene::drawScene(s, 0, 0, s.DrawWidth, s.DrawHeight, canvas, 1.0);
    reproject();
    return canvas.finish();
}

}  // namespace web

EMSCRIPTEN_BINDINGS(ondulix_page)
{
    using web::Page;
    emscripten::class_<Page>("Page")
        .constructor<>()
        .function("loadSettings", &Page::loadSettings)
        .class_function("storedKeys", &Page::storedKeys)
        .function("storedValues", &Page::storedValues)
        .function("screenWidthGiven", &Page::screenWidthGiven)
        .function("resize", &Page::resize)
        .function("setScreenWidth", &Page::setScreenWidth)
        .function("screenWidthMillimetres", &Page::screenWidthMillimetres)
        .function("setValue", &Page::setValue)
        .function("value", &Page::value)
        .function("hint", &Page::hint)
        .class_function("valueRange", &Page::valueRange)
        .function("setSwitch", &Page::setSwitch)
        .function("switchOn", &Page::switchOn)
        .function("timeStep", &Page::timeStep)
        .function("rewind", &Page::rewind)
        .function("azimuthStep", &Page::azimuthStep)
        .function("animationInterval", &Page::animationInterval)
        .function("rotationInterval", &Page::rotationInterval)
        .function("zoomIn", &Page::zoomIn)
        .function("zoomOut", &Page::zoomOut)
        .function("fit", &Page::fit)
        .function("scaleDenominator", &Page::scaleDenominator)
        .function("setLanguage", &Page::setLanguage)
        .function("language", &Page::language)
        .function("setConvention", &Page::setConvention)
        .function("convention", &Page::convention)
        .function("applyPreset", &Page::applyPreset)
        .function("presetNames", &Page::presetNames)
        .function("conventionNames", &Page::conventionNames)
        .function("documentName", &Page::documentName)
        .function("readout", &Page::readout)
        .function("texts", &Page::texts)
        .function("draw", &Page::draw)
        .function("svg", &Page::svg);
}
