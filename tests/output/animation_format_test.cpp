// SPDX-License-Identifier: GPL-3.0-or-later
// What an animation file holds, before anything is drawn.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/animation_format.h"

namespace {

using output::AnimationDescription;
using output::AnimationFormat;
using output::AnimationMotion;

AnimationDescription described(AnimationMotion motion, std::int32_t frames)
{
    AnimationDescription d;
    d.motion = motion;
    d.frames = frames;
    return d;
}

TEST(AnimationFormat, FramesShowEveryNthStepOfThePeriod)
{
    struct Row {
        std::int32_t frames;
        std::int32_t k;
        std::int32_t step;
    };
    const Row rows[] = {{512, 0, 0}, {512, 511, 511}, {256, 255, 510}, {64, 1, 8}, {64, 63, 504}};
    for (const Row& row : rows) {
        EXPECT_EQ(output::frameTimeStep(described(AnimationMotion::Time, row.frames), row.k),
                  row.step)
            << row.frames << " frames, frame " << row.k;
    }
}

// Up from where the view stands, as the window turns it, each degree value once.
TEST(AnimationFormat, TheViewTurnsOnceAroundFromItsAzimuth)
{
    struct Row {
        std::int32_t frames;
        std::int32_t start;
        std::int32_t k;
        std::int32_t azimuth;
    };
    const Row rows[] = {
        {360, -45, 0, -45}, {360, -45, 225, 180}, {360, -45, 226, -179}, {360, -45, 359, -46},
        {90, 180, 0, 180},  {90, 180, 1, -176},   {120, -180, 119, 177}, {180, 0, 90, 180},
    };
    for (const Row& row : rows) {
        const AnimationDescription d = described(AnimationMotion::Azimuth, row.frames);
        EXPECT_EQ(output::frameAzimuth(d, row.start, row.k), row.azimuth)
            << row.frames << " frames from " << row.start << ", frame " << row.k;
    }
}

TEST(AnimationFormat, WhatCannotBeMadeIsSaidInBothLanguages)
{
    struct Row {
        AnimationDescription d;
        const char* english;
        const char* german;
    };
    const auto with = [](auto change) {
        AnimationDescription d;
        change(d);
        return d;
    };
    const Row rows[] = {
        {with([](auto& d) { d.frames = 360; }), "360 frames are not possible (512, 256, 128, 64)",
         "360 Bilder sind nicht möglich (512, 256, 128, 64)"},
        {with([](auto& d) {
             d.motion = AnimationMotion::Azimuth;
             d.frames = 512;
         }),
         "512 frames are not possible (360, 180, 120, 90)",
         "512 Bilder sind nicht möglich (360, 180, 120, 90)"},
        {with([](auto& d) { d.framesPerSecond = 0; }), "0 frames per second are outside 1 .. 100",
         "0 Bilder je Sekunde liegen außerhalb von 1 .. 100"},
        {with([](auto& d) { d.framesPerSecond = 101; }),
         "101 frames per second are outside 1 .. 100",
         "101 Bilder je Sekunde liegen außerhalb von 1 .. 100"},
        {with([](auto& d) { d.width = 0; }),
         "a size of 0 x 600 pixels is outside 1 .. 16384 a side",
         "eine Größe von 0 x 600 Pixeln liegt außerhalb von 1 .. 16384 je Seite"},
        {with([](auto& d) { d.height = 16385; }),
         "a size of 800 x 16385 pixels is outside 1 .. 16384 a side",
         "eine Größe von 800 x 16385 Pixeln liegt außerhalb von 1 .. 16384 je Seite"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(output::descriptionProblem(row.d, common::TLanguage::English), row.english);
        EXPECT_EQ(output::descriptionProblem(row.d, common::TLanguage::German), row.german);
    }
    EXPECT_EQ(output::descriptionProblem(described(AnimationMotion::Azimuth, 90),
                                         common::TLanguage::English),
              "");
}

TEST(AnimationFormat, TheWindowsIntervalGivesTheRate)
{
    const std::pair<std::int32_t, std::int32_t> rows[] = {{20, 50}, {33, 30},  {10, 100}, {1, 100},
                                                          {0, 100}, {1000, 1}, {5000, 1}};
    for (const auto& [interval, rate] : rows) {
        EXPECT_EQ(output::framesPerSecondOf(interval), rate) << interval << " ms";
    }
}

// Each format says what it makes of a request it cannot store as it is.
TEST(AnimationFormat, APlanSaysWhatTheFormatChanges)
{
    struct Row {
        AnimationFormat format;
        std::int32_t framesPerSecond;
        std::int32_t width;
        std::int32_t height;
        std::int32_t delay;
        double played;
        std::int32_t writtenWidth;
        std::int32_t writtenHeight;
        std::vector<std::string> english;
        std::vector<std::string> german;
    };
    const std::string gif30 =
        "GIF delays are whole hundredths of a second: each frame shows for 3/100 s, 33.33 frames "
        "per second";
    const std::string gif30de =
        "GIF-Verzögerungen sind ganze Hundertstelsekunden: jedes Bild steht 3/100 s, 33,33 Bilder "
        "je Sekunde";
    const Row rows[] = {
        {AnimationFormat::Gif, 50, 161, 121, 2, 50.0, 161, 121, {}, {}},
        {AnimationFormat::Gif, 1, 160, 120, 100, 1.0, 160, 120, {}, {}},
        {AnimationFormat::Gif, 30, 160, 120, 3, 100.0 / 3.0, 160, 120, {gif30}, {gif30de}},
        // Browsers slow a shorter delay down to a tenth of a second.
        {AnimationFormat::Gif,
         100,
         160,
         120,
         2,
         50.0,
         160,
         120,
         {"GIF delays are whole hundredths of a second: each frame shows for 2/100 s, 50 frames "
          "per second"},
         {"GIF-Verzögerungen sind ganze Hundertstelsekunden: jedes Bild steht 2/100 s, 50 Bilder "
          "je Sekunde"}},
        {AnimationFormat::WebP, 30, 161, 121, 0, 30.0, 161, 121, {}, {}},
        {AnimationFormat::Mp4, 30, 160, 120, 0, 30.0, 160, 120, {}, {}},
        {AnimationFormat::Mp4,
         50,
         161,
         121,
         0,
         50.0,
         162,
         122,
         {"MP4 needs even sides: 161 x 121 pixels are written as 162 x 122"},
         {"MP4 braucht gerade Seitenlängen: 161 x 121 Pixel werden als 162 x 122 geschrieben"}},
        {AnimationFormat::Mp4,
         50,
         160,
         1,
         0,
         50.0,
         160,
         2,
         {"MP4 needs even sides: 160 x 1 pixels are written as 160 x 2"},
         {"MP4 braucht gerade Seitenlängen: 160 x 1 Pixel werden als 160 x 2 geschrieben"}},
    };
    for (const Row& row : rows) {
        AnimationDescription d;
        d.framesPerSecond = row.framesPerSecond;
        d.width = row.width;
        d.height = row.height;
        const output::AnimationPlan plan = output::planAnimation(row.format, d);
        const std::string name(output::extensionOf(row.format));
        EXPECT_EQ(plan.delayHundredths, row.delay) << name << " " << row.framesPerSecond;
        EXPECT_DOUBLE_EQ(plan.playedFramesPerSecond, row.played) << name;
        EXPECT_EQ(plan.written.width, row.writtenWidth) << name;
        EXPECT_EQ(plan.written.height, row.writtenHeight) << name;
        EXPECT_EQ(plan.written.frames, d.frames) << name;
        EXPECT_EQ(output::planNotes(plan, common::TLanguage::English), row.english) << name;
        EXPECT_EQ(output::planNotes(plan, common::TLanguage::German), row.german) << name;
    }
}

// Rounded, so that the whole lasts frames / rate seconds however the rate divides a second.
TEST(AnimationFormat, FrameStartsInMilliseconds)
{
    struct Row {
        std::int32_t k;
        std::int32_t rate;
        std::int32_t ms;
    };
    const Row rows[] = {{1, 50, 20},    {1, 30, 33},   {2, 30, 67},
                        {30, 30, 1000}, {64, 7, 9143}, {512, 50, 10240}};
    for (const Row& row : rows) {
        EXPECT_EQ(output::frameStartMs(row.k, row.rate), row.ms) << row.k << " at " << row.rate;
    }
}

}  // namespace
