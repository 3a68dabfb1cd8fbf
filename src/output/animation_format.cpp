// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/animation_format.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "common/animation_texts.h"

namespace output {

namespace {

using common::animationText;
using common::TAnimationText;

constexpr std::array<std::pair<AnimationFormat, std::string_view>, 3> Extensions{{
    {AnimationFormat::Gif, "gif"},
    {AnimationFormat::WebP, "webp"},
    {AnimationFormat::Mp4, "mp4"},
}};

constexpr std::array<std::int32_t, 4> TimeFrames{512, 256, 128, 64};
constexpr std::array<std::int32_t, 4> AzimuthFrames{360, 180, 120, 90};

constexpr std::int32_t StepsPerPeriod = 512;
constexpr std::int32_t DegreesPerTurn = 360;

// Browsers show a GIF frame of less than 2/100 s for a tenth of a second, which would make the
// fastest rates the slowest.
constexpr std::int32_t ShortestGifDelay = 2;

bool sameLetters(std::string_view a, std::string_view b)
{
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

std::string countList(AnimationMotion motion)
{
    std::string list;
    for (const std::int32_t n : frameCounts(motion)) {
        list += (list.empty() ? "" : ", ") + std::to_string(n);
    }
    return list;
}

std::int32_t roundedUpToEven(std::int32_t side)
{
    return side % 2 == 0 ? side : side + 1;
}

}  // namespace

std::string_view extensionOf(AnimationFormat format)
{
    for (const auto& [f, extension] : Extensions) {
        if (f == format) {
            return extension;
        }
    }
    return {};
}

std::optional<AnimationFormat> animationFormatForExtension(std::string_view extension)
{
    for (const auto& [format, known] : Extensions) {
        if (sameLetters(extension, known)) {
            return format;
        }
    }
    return std::nullopt;
}

std::span<const std::int32_t> frameCounts(AnimationMotion motion)
{
    return motion == AnimationMotion::Time ? std::span<const std::int32_t>(TimeFrames)
                                           : std::span<const std::int32_t>(AzimuthFrames);
}

bool isFrameCount(AnimationMotion motion, std::int32_t frames)
{
    const auto counts = frameCounts(motion);
    return std::find(counts.begin(), counts.end(), frames) != counts.end();
}

std::int32_t framesPerSecondOf(std::int32_t intervalMs)
{
    if (intervalMs < 1) {
        return MaxFramesPerSecond;
    }
    const auto rate = static_cast<std::int32_t>(std::lround(1000.0 / intervalMs));
    return std::clamp(rate, MinFramesPerSecond, MaxFramesPerSecond);
}

std::string descriptionProblem(const AnimationDescription& d, common::TLanguage language)
{
    if (!isFrameCount(d.motion, d.frames)) {
        return animationText(TAnimationText::FrameCountNotPossible, language,
                             {std::to_string(d.frames), countList(d.motion)});
    }
    if (d.framesPerSecond < MinFramesPerSecond || d.framesPerSecond > MaxFramesPerSecond) {
        return animationText(TAnimationText::FrameRateOutOfRange, language,
                             {std::to_string(d.framesPerSecond), std::to_string(MinFramesPerSecond),
                              std::to_string(MaxFramesPerSecond)});
    }
    if (d.width < 1 || d.height < 1 || d.width > MaxAnimationSide || d.height > MaxAnimationSide) {
        return animationText(
            TAnimationText::SizeOutOfRange, language,
            {std::to_string(d.width), std::to_string(d.height), std::to_string(MaxAnimationSide)});
    }
    return {};
}

std::int32_t frameTimeStep(const AnimationDescription& d, std::int32_t k)
{
    return static_cast<std::int32_t>(static_cast<std::int64_t>(k) * StepsPerPeriod /
                                     std::max(d.frames, 1));
}

std::int32_t frameAzimuth(const AnimationDescription& d, std::int32_t start, std::int32_t k)
{
    const std::int64_t turned =
        start + static_cast<std::int64_t>(k) * DegreesPerTurn / std::max(d.frames, 1);
    return static_cast<std::int32_t>(turned > 180 ? turned - DegreesPerTurn : turned);
}

bool AnimationPlan::sizeChanged() const
{
    return written.width != requested.width || written.height != requested.height;
}

bool AnimationPlan::rateChanged() const
{
    return std::abs(playedFramesPerSecond - requested.framesPerSecond) > 1e-9;
}

AnimationPlan planAnimation(AnimationFormat format, const AnimationDescription& d)
{
    AnimationPlan plan;
    plan.format = format;
    plan.requested = d;
    plan.written = d;
    plan.playedFramesPerSecond = d.framesPerSecond;
    switch (format) {
        case AnimationFormat::Gif: {
            const auto delay =
                static_cast<std::int32_t>(std::lround(100.0 / std::max(d.framesPerSecond, 1)));
            plan.delayHundredths = std::max(delay, ShortestGifDelay);
            plan.playedFramesPerSecond = 100.0 / plan.delayHundredths;
            break;
        }
        case AnimationFormat::Mp4:
            // 4:2:0 colour covers two by two pixels.
            plan.written.width = roundedUpToEven(d.width);
            plan.written.height = roundedUpToEven(d.height);
            break;
        case AnimationFormat::WebP:
            break;
    }
    return plan;
}

std::vector<std::string> planNotes(const AnimationPlan& plan, common::TLanguage language)
{
    std::vector<std::string> notes;
    if (plan.sizeChanged()) {
        notes.push_back(animationText(
            TAnimationText::SizeRoundedUp, language,
            {std::to_string(plan.requested.width), std::to_string(plan.requested.height),
             std::to_string(plan.written.width), std::to_string(plan.written.height)}));
    }
    if (plan.format == AnimationFormat::Gif && plan.rateChanged()) {
        notes.push_back(animationText(TAnimationText::GifDelay, language,
                                      {std::to_string(plan.delayHundredths),
                                       common::decimalText(plan.playedFramesPerSecond, language)}));
    }
    return notes;
}

std::int32_t frameStartMs(std::int32_t k, std::int32_t framesPerSecond)
{
    return static_cast<std::int32_t>(
        std::llround(static_cast<double>(k) * 1000.0 / std::max(framesPerSecond, 1)));
}

}  // namespace output
