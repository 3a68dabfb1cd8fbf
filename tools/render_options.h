// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Command line of ondulix-render, kept free of the toolkit so that it can be tested on its own.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/globals.h"
#include "output/animation_format.h"
#include "output/picture_format.h"

namespace render {

struct RenderOptions {
    // The scene of a first start of the program.
    std::int32_t azimuth = common::DefaultAzimuth;                          // degrees
    std::int32_t elevation = common::DefaultElevation;                      // degrees
    std::int32_t horizontalAmplitude = common::DefaultHorizontalAmplitude;  // percent
    std::int32_t verticalAmplitude = common::DefaultVerticalAmplitude;      // percent
    std::int32_t phaseShift = common::DefaultPhaseShift;                    // degrees
    std::int32_t timeStep = 0;  // 0 .. 512 steps of T/512
    std::int32_t width = 800;
    std::int32_t height = 600;
    std::int32_t scale = common::DefaultScale;                // the N of 1 : N
    double screenWidth = common::TAppSettings{}.ScreenWidth;  // metres
    std::int32_t desktopWidth = 1280;
    bool centered = false;
    bool showHorizontal = true;
    bool showVertical = true;
    bool showResultant = true;
    bool showVector = true;
    std::string output;  // empty with --describe
    output::PictureFormat format = output::PictureFormat::Png;
    // --describe: the polarisation of the scene as JSON on standard output, and no picture.
    bool describe = false;
    common::THandednessConvention convention = common::THandednessConvention::Optics;
    // --settings FILE: the look and the scene of a settings file of ondulix; empty for none.
    std::string settingsFile;
    // --animate time|azimuth: an animation file of OUTPUT's format instead of a picture, in
    // `frames` frames (0: the motion's finest) at `framesPerSecond`, by default the window's.
    std::optional<output::AnimationMotion> animate;
    output::AnimationFormat animationFormat = output::AnimationFormat::Gif;
    std::int32_t frames = 0;
    std::int32_t framesPerSecond =
        output::framesPerSecondOf(common::TAppSettings{}.AnimationTimeInterval);
    // What the command line set itself, so that a settings file does not override it: the
    // option names ("--azimuth", "--centered", "--convention") and "--hide ITEM" for each part
    // hidden.
    std::vector<std::string> given;

    bool wasGiven(std::string_view option) const;
};

struct ParseResult {
    enum class Action { Render, Help, Version, Error };
    Action action = Action::Render;
    RenderOptions options;
    std::string error;  // one line naming the option, for Action::Error
};

ParseResult parseRenderOptions(const std::vector<std::string>& arguments);

// The animation that `o` asks for, its frame count given.
output::AnimationDescription animationOf(const RenderOptions& o);

std::string renderUsage(const std::string& program);

// `text` as one line that nothing cuts short: each control character (a NUL or a line break
// from a settings file's value among them) written as \xNN.
std::string oneLine(std::string_view text);

}  // namespace render
