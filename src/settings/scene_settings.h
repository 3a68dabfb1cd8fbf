// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one mapping between a settings record and the scene's look, used by the main window's
// scene controller and by ondulix-render alike.

#include "scene/scene.h"
#include "settings/settings_file.h"

namespace settings {

// The proportions, styles, axis labels and screen font of the record onto the scene.
void applyLook(scene::SceneState& s, const TSettingsData& data);
// The same values back from the scene into the record.
void captureLook(const scene::SceneState& s, TSettingsData& data);

// The screen's width, the parts shown and the centring of the record onto the scene, and back.
void applyShown(scene::SceneState& s, const common::TAppSettings& app);
void captureShown(const scene::SceneState& s, common::TAppSettings& app);

}  // namespace settings
