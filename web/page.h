// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The page's scene: the engine, the settings kept in the browser's storage and the readout,
// behind the calls that the page's script makes. The script owns the controls and the timers;
// every value it hands over is clamped here as the desktop's track bars clamp it.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "canvas2d.h"
#include "scene/scene.h"
#include "settings/settings_file.h"

namespace web {

class Page : public scene::SceneHost {
public:
    Page();
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    scene::Canvas& screenCanvas() override { return m_canvas; }
    void processPendingEvents() override {}

    // The stored settings as the lines of a settings file ("[General]", "Azimuth=-45", ...):
    // read as the desktop reads its file, every unusable value replaced by its default. Answers
    // the problems found, one per line, in the language read (empty when there are none).
    std::string loadSettings(const std::string& iniText);
    // The keys the page keeps, as "Section/Key", one per line; and their values now, in the
    // same order, in the settings file's notation; empty for a key that is not to be kept.
    static std::string storedKeys();
    std::string storedValues() const;
    // Whether the stored settings gave the screen's width.
    bool screenWidthGiven() const { return m_screenWidthGiven; }

    // The drawing area and the screen's width in CSS pixels, and the device pixels per CSS
    // pixel, at which the canvas is drawn (as the desktop draws for a printer); draws.
    void resize(std::int32_t width, std::int32_t height, std::int32_t screenPixels, double ratio);
    // In millimetres; false (and nothing changed) unless it is a plausible width above 0.
    bool setScreenWidth(double millimetres);
    double screenWidthMillimetres() const;

    // Azimuth, Elevation, HorizontalAmplitude, VerticalAmplitude, PhaseShift, Time: the values
    // as the desktop's track bars hold them (the elevation not negated). Draws.
    void setValue(const std::string& name, std::int32_t value);
    std::int32_t value(const std::string& name) const;
    // The value's hint as the desktop's track bar shows it ("Azimuth angle of the observer =
    // -45°").
    std::string hint(const std::string& name) const;
    // "minimum maximum pageStep" of a value's control.
    static std::string valueRange(const std::string& name);

    // ShowHorizontalWave, ShowVerticalWave, ShowResultantWave, ShowResultantVector,
    // CoordinateSystemCentered, ShowReadout, ShowCaptions, AutoRepeat. Draws.
    void setSwitch(const std::string& name, bool on);
    bool switchOn(const std::string& name) const;

    // One step of the time; false when it stopped at T (without auto-repeat). Draws.
    bool timeStep();
    void rewind();
    // A degree further in azimuth. Draws.
    void azimuthStep();
    std::int32_t animationInterval() const { return m_settings.App.AnimationTimeInterval; }
    std::int32_t rotationInterval() const { return m_settings.App.RotateAzimuthTimeInterval; }

    bool zoomIn();
    bool zoomOut();
    bool fit();
    std::int32_t scaleDenominator() const { return m_scene->ScaleDenominator; }

    // 0 English, 1 German; and the handedness convention, 0 optics, 1 IEEE.
    void setLanguage(std::int32_t language);
    std::int32_t language() const { return static_cast<std::int32_t>(m_settings.App.Language); }
    void setConvention(std::int32_t convention);
    std::int32_t convention() const
    {
        return static_cast<std::int32_t>(m_settings.App.HandednessConvention);
    }

    // Preset 0 .. 5 as the desktop's drop-down lists them. Draws.
    void applyPreset(std::int32_t index);
    // The presets' names, one per line, in the language and convention in force.
    std::string presetNames() const;
    // The conventions' names, optics first, in the language in force.
    std::string conventionNames() const;
    // The name a saved picture gets, in the language in force.
    std::string documentName() const;
    // The readout's heading and lines, one per line.
    std::string readout() const;
    // Every text of the page in the language in force, as a JSON object keyed "Control.Property".
    std::string texts() const;

    void draw();
    // The drawing as an SVG document, drawn by the engine as on the canvas.
    std::string svg();

private:
    void applySettings(const settings::TSettingsData& data);
    void reproject();
    std::int32_t deviceWidth() const;
    std::int32_t deviceHeight() const;

    std::unique_ptr<scene::SceneState> m_scene;
    HtmlCanvas m_canvas;
    settings::TSettingsData m_settings;
    std::vector<std::int32_t> m_scales{1};
    int m_scaleIndex = 1;
    std::int32_t m_horizontalPercent = common::DefaultHorizontalAmplitude;
    std::int32_t m_verticalPercent = common::DefaultVerticalAmplitude;
    bool m_screenWidthGiven = false;
    double m_ratio = 1.0;
};

}  // namespace web
