// SPDX-License-Identifier: GPL-3.0-or-later
#include "render_settings.h"

namespace render {

SettingsFileRead readSettingsFile(const std::string& path, const settings::TNumberFormat& format)
{
    SettingsFileRead result;
    // The window's bounds do not matter to a picture: any work area will do.
    const settings::TReadContext context{std::string(), {1 << 20, 1 << 20}, format};
    settings::TSettingsRead read = settings::ReadSettings(path, context);
    // The program reads a missing file as all defaults; asked for by name, it is a mistake. A
    // file that is no regular file (a FIFO, a device) is refused by the reader, which says why.
    if (!read.FileExists || !read.File.Ok) {
        result.error = read.FileExists ? read.File.Reason : std::string("no such file");
        return result;
    }
    for (const settings::TSettingsProblem& problem : read.Problems) {
        result.warnings.push_back(problem.Message);
    }
    settings::sanitizeSettings(read.Data);
    result.data = std::move(read.Data);
    result.ok = true;
    return result;
}

void mergeSettings(RenderOptions& o, const settings::TSettingsData& data)
{
    settings::TSceneValues scene = data.Scene;
    settings::clampToTrackBars(scene);
    const auto take = [&o](const char* option, auto& target, auto value) {
        if (!o.wasGiven(option)) {
            target = value;
        }
    };
    take("--azimuth", o.azimuth, scene.Azimuth);
    take("--elevation", o.elevation, scene.Elevation);
    take("--horizontal-amplitude", o.horizontalAmplitude, scene.HorizontalAmplitude);
    take("--vertical-amplitude", o.verticalAmplitude, scene.VerticalAmplitude);
    take("--phase-shift", o.phaseShift, scene.PhaseShift);
    take("--scale", o.scale, data.Scale);
    take("--screen-width", o.screenWidth, data.App.ScreenWidth);
    take("--centered", o.centered, data.App.CoordinateSystemCentered);
    take("--hide horizontal", o.showHorizontal, data.App.ShowHorizontalWave);
    take("--hide vertical", o.showVertical, data.App.ShowVerticalWave);
    take("--hide resultant", o.showResultant, data.App.ShowResultantWave);
    take("--hide vector", o.showVector, data.App.ShowResultantVector);
    take("--convention", o.convention, data.App.HandednessConvention);
    take("--fps", o.framesPerSecond, output::framesPerSecondOf(data.App.AnimationTimeInterval));
}

}  // namespace render
