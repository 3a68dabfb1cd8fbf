// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/scene_settings.h"

namespace settings {

void applyLook(scene::SceneState& s, const TSettingsData& data)
{
    s.Proportions = data.Proportions;
    s.Styles = data.Styles;
    s.PropagationAxisLabel = data.App.PropagationAxisLabel;
    s.HorizontalAxisLabel = data.App.HorizontalAxisLabel;
    s.VerticalAxisLabel = data.App.VerticalAxisLabel;
    s.ScreenFontName = data.App.ScreenFontName;
}

void captureLook(const scene::SceneState& s, TSettingsData& data)
{
    data.Proportions = s.Proportions;
    data.Styles = s.Styles;
    data.App.PropagationAxisLabel = s.PropagationAxisLabel;
    data.App.HorizontalAxisLabel = s.HorizontalAxisLabel;
    data.App.VerticalAxisLabel = s.VerticalAxisLabel;
    data.App.ScreenFontName = s.ScreenFontName;
}

void applyShown(scene::SceneState& s, const common::TAppSettings& app)
{
    s.ScreenWidth = app.ScreenWidth;
    s.CoordinateSystemCentered = app.CoordinateSystemCentered;
    s.ShowHorizontalWave = app.ShowHorizontalWave;
    s.ShowVerticalWave = app.ShowVerticalWave;
    s.ShowResultantWave = app.ShowResultantWave;
    s.ShowResultantVector = app.ShowResultantVector;
}

void captureShown(const scene::SceneState& s, common::TAppSettings& app)
{
    app.ScreenWidth = s.ScreenWidth;
    app.CoordinateSystemCentered = s.CoordinateSystemCentered;
    app.ShowHorizontalWave = s.ShowHorizontalWave;
    app.ShowVerticalWave = s.ShowVerticalWave;
    app.ShowResultantWave = s.ShowResultantWave;
    app.ShowResultantVector = s.ShowResultantVector;
}

}  // namespace settings
