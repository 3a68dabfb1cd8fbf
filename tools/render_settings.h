// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// --settings FILE of ondulix-render: a settings file of the main program gives the picture its
// colours, line styles, proportions, labels, font, scale and scene; what the command line sets
// itself stays. Free of the toolkit, like the command line.

#include <string>
#include <vector>

#include "render_options.h"
#include "scene/scene.h"
#include "settings/settings_file.h"

namespace render {

struct SettingsFileRead {
    bool ok = false;
    std::string error;  // why the file could not be read, when !ok
    settings::TSettingsData data;
    // Values the file holds but that cannot be used; they have their defaults.
    std::vector<std::string> warnings;
};

// The file as the main program reads it at start, values it could not use made usable.
SettingsFileRead readSettingsFile(const std::string& path, const settings::TNumberFormat& format);

// The file's scale, screen width, show switches, centring, scene values (clamped as the track
// bars clamp them) and handedness convention into `options`, wherever the command line gave none.
void mergeSettings(RenderOptions& options, const settings::TSettingsData& data);

}  // namespace render
