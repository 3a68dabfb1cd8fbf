// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the settings dialog's edits take effect while it is open: the scene behind the main
// window. The dialog holds a copy of the settings record, changes the copy and hands it over after
// every change; the window and the dialog meet only here, so neither includes the other.

#include <cstdint>

#include "scene/canvas.h"
#include "scene/extent.h"
#include "settings/settings_file.h"

namespace settings {

// What an edit touched, and so what has to be redone.
enum class TSettingsChange : std::uint8_t {
    Look,      // colours, line styles, bold, the screen font, the captions: drawn again
    Scale,     // an axis label, the screen width: projected and drawn again
    Geometry,  // a proportion: the model rebuilt, projected and drawn again
    Language,  // the windows' texts
    Quiet,     // the timers, auto-repeat, SaveSettings, the printer: nothing to draw
    All,       // everything the dialog edits at once (Cancel puts back the copy of the opening)
};

class LiveSettings {
public:
    virtual ~LiveSettings() = default;

    // The whole record as it stands, as the settings file would get it.
    virtual TSettingsData currentSettings() const = 0;
    // The dialog's part of the record takes effect: the texts, language, screen font and width,
    // timers, auto-repeat, SaveSettings, the handedness convention and the captions of App, the
    // styles, the proportions and the printer settings. The scene values, zoom steps, placements
    // and the toolbar's switches stay.
    virtual void applySettings(const TSettingsData& settings, TSettingsChange change) = 0;
    // OK: the sizes that follow the proportions only from then on.
    virtual void acceptSettings() = 0;
    // The main view projected and drawn again, after the drawing under way if there is one.
    virtual void redrawScene() = 0;
    // The scene on a page of that layout, in a picture of width x height; the main view keeps its
    // projection. False while another drawing is under way: the caller tries again shortly.
    virtual bool drawPagePreview(scene::Canvas& canvas, const scene::PageLayout& page,
                                 std::int32_t width, std::int32_t height) = 0;
};

}  // namespace settings
