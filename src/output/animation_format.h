// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What an animation file holds, free of the toolkit so that a command line can check it: the
// formats and their extensions, what moves and in how many frames, the frame rate and the size,
// and what each format makes of such a request (whole hundredths of a second for GIF, even
// sides for MP4).

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/globals.h"

namespace output {

enum class AnimationFormat : std::uint8_t { Gif, WebP, Mp4 };

// "gif", "webp", "mp4": the extension of the format's files, without the dot.
std::string_view extensionOf(AnimationFormat format);
// The format of files ending in `extension` (no dot), whatever its letter case.
std::optional<AnimationFormat> animationFormatForExtension(std::string_view extension);

enum class AnimationMotion : std::uint8_t {
    Time,     // one period at the view's azimuth
    Azimuth,  // one turn of the view at the scene's time
};

// The frame counts of a motion, the finest first: every step of the period (512) or every 2nd,
// 4th, 8th one; every degree of the turn (360) or every 2nd, 3rd, 4th one.
std::span<const std::int32_t> frameCounts(AnimationMotion motion);
bool isFrameCount(AnimationMotion motion, std::int32_t frames);

inline constexpr std::int32_t MinFramesPerSecond = 1;
inline constexpr std::int32_t MaxFramesPerSecond = 100;
inline constexpr std::int32_t MaxAnimationSide = 16384;

// The rate of the window's animation timer: 1000 / interval, rounded, within the rates a file
// can have. 20 ms gives 50.
std::int32_t framesPerSecondOf(std::int32_t intervalMs);

struct AnimationDescription {
    AnimationMotion motion = AnimationMotion::Time;
    std::int32_t frames = 512;
    std::int32_t framesPerSecond = 50;
    std::int32_t width = 800;  // pixels
    std::int32_t height = 600;
};

// Empty when a file can be made of `d`; otherwise why not, as a clause in the language.
std::string descriptionProblem(const AnimationDescription& d, common::TLanguage language);

// The time step (0 .. 511) that frame k of a Time animation shows.
std::int32_t frameTimeStep(const AnimationDescription& d, std::int32_t k);
// The azimuth that frame k of an Azimuth animation shows, turning up from `start` as the
// window turns the view: beyond 180 degrees it goes on from -179.
std::int32_t frameAzimuth(const AnimationDescription& d, std::int32_t start, std::int32_t k);

// A request as a format writes it.
struct AnimationPlan {
    AnimationFormat format = AnimationFormat::Gif;
    AnimationDescription requested;
    AnimationDescription written;  // MP4: the sides rounded up to even numbers
    // GIF: how long each frame shows, in hundredths of a second; 0 for the other formats.
    std::int32_t delayHundredths = 0;
    // The rate the file plays at: the requested one, or what the GIF's delay gives.
    double playedFramesPerSecond = 0.0;

    bool sizeChanged() const;
    bool rateChanged() const;
};

AnimationPlan planAnimation(AnimationFormat format, const AnimationDescription& d);

// What the user should know about a plan that differs from its request, a sentence each, in
// the language; empty when the file is as requested.
std::vector<std::string> planNotes(const AnimationPlan& plan, common::TLanguage language);

// Frame k's start in milliseconds at `framesPerSecond`, rounded: at a rate that divides no
// second evenly the frames' lengths differ by 1 ms at most, and the whole keeps its length.
std::int32_t frameStartMs(std::int32_t k, std::int32_t framesPerSecond);

}  // namespace output
