// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "render_options.h"

namespace {

using render::ParseResult;

ParseResult parse(std::vector<std::string> args)
{
    return render::parseRenderOptions(args);
}

TEST(RenderOptions, DefaultsAreTheProgramsDefaultScene)
{
    const ParseResult r = parse({"out.png"});
    ASSERT_EQ(r.action, ParseResult::Action::Render);
    const auto& o = r.options;
    EXPECT_EQ(o.azimuth, -45);
    EXPECT_EQ(o.elevation, 30);
    EXPECT_EQ(o.horizontalAmplitude, 100);
    EXPECT_EQ(o.verticalAmplitude, 100);
    EXPECT_EQ(o.phaseShift, -90);
    EXPECT_EQ(o.timeStep, 0);
    EXPECT_EQ(o.width, 800);
    EXPECT_EQ(o.height, 600);
    EXPECT_EQ(o.scale, 40);
    EXPECT_DOUBLE_EQ(o.screenWidth, 0.3);
    EXPECT_EQ(o.desktopWidth, 1280);
    EXPECT_FALSE(o.centered);
    EXPECT_TRUE(o.showHorizontal && o.showVertical && o.showResultant && o.showVector);
    EXPECT_EQ(o.output, "out.png");
    EXPECT_EQ(o.format, output::PictureFormat::Png);
}

TEST(RenderOptions, TakesEveryValueInBothSpellings)
{
    const ParseResult r = parse({"--azimuth",
                                 "-180",
                                 "--elevation=-90",
                                 "--horizontal-amplitude",
                                 "0",
                                 "--vertical-amplitude=55",
                                 "--phase-shift",
                                 "180",
                                 "--time",
                                 "512",
                                 "--width",
                                 "1920",
                                 "--height=1080",
                                 "--scale",
                                 "1",
                                 "--screen-width",
                                 "0.52",
                                 "--desktop-width",
                                 "3840",
                                 "--centered",
                                 "--hide",
                                 "vector,horizontal",
                                 "pictures/Figure.SVG"});
    ASSERT_EQ(r.action, ParseResult::Action::Render) << r.error;
    const auto& o = r.options;
    EXPECT_EQ(o.azimuth, -180);
    EXPECT_EQ(o.elevation, -90);
    EXPECT_EQ(o.horizontalAmplitude, 0);
    EXPECT_EQ(o.verticalAmplitude, 55);
    EXPECT_EQ(o.phaseShift, 180);
    EXPECT_EQ(o.timeStep, 512);
    EXPECT_EQ(o.width, 1920);
    EXPECT_EQ(o.height, 1080);
    EXPECT_EQ(o.scale, 1);
    EXPECT_DOUBLE_EQ(o.screenWidth, 0.52);
    EXPECT_EQ(o.desktopWidth, 3840);
    EXPECT_TRUE(o.centered);
    EXPECT_FALSE(o.showVector);
    EXPECT_FALSE(o.showHorizontal);
    EXPECT_TRUE(o.showVertical && o.showResultant);
    EXPECT_EQ(o.format, output::PictureFormat::Svg);
}

TEST(RenderOptions, RejectsBadInputWithALineNamingTheOption)
{
    struct Row {
        std::vector<std::string> args;
        std::string named;
    };
    const std::vector<Row> rows = {
        {{"--azimuth", "181", "a.png"}, "--azimuth"},
        {{"--elevation", "-91", "a.png"}, "--elevation"},
        {{"--horizontal-amplitude", "101", "a.png"}, "--horizontal-amplitude"},
        {{"--vertical-amplitude", "-1", "a.png"}, "--vertical-amplitude"},
        {{"--phase-shift", "12.5", "a.png"}, "--phase-shift"},
        {{"--time", "513", "a.png"}, "--time"},
        {{"--width", "0", "a.png"}, "--width"},
        {{"--height", "99999999999", "a.png"}, "--height"},
        {{"--scale", "0", "a.png"}, "--scale"},
        {{"--screen-width", "0", "a.png"}, "--screen-width"},
        {{"--screen-width", "nan", "a.png"}, "--screen-width"},
        {{"--screen-width", "0,3", "a.png"}, "--screen-width"},
        {{"--desktop-width", "wide", "a.png"}, "--desktop-width"},
        {{"--hide", "horizontal,sideways", "a.png"}, "--hide"},
        {{"--hide", "", "a.png"}, "--hide"},
        {{"--colour", "red", "a.png"}, "--colour"},
        {{"a.png", "--azimuth"}, "--azimuth"},
        {{}, "OUTPUT"},
        {{"a.png", "b.png"}, "OUTPUT"},
        {{"a.jpg"}, "OUTPUT"},
        {{"noextension"}, "OUTPUT"},
        {{"folder.png/picture"}, "OUTPUT"},
        {{"--describe", "a.png"}, "OUTPUT"},
        {{"--describe", "--convention", "clockwise"}, "--convention"},
        {{"--describe", "--convention"}, "--convention"},
    };
    for (const Row& row : rows) {
        const ParseResult r = parse(row.args);
        EXPECT_EQ(r.action, ParseResult::Action::Error) << row.named;
        EXPECT_EQ(r.error.rfind(row.named, 0), 0u) << r.error;
        EXPECT_EQ(r.error.find('\n'), std::string::npos) << r.error;
    }
}

TEST(RenderOptions, HelpAndVersionWinOverEverythingElse)
{
    EXPECT_EQ(parse({"--azimuth", "999", "--help"}).action, ParseResult::Action::Help);
    EXPECT_EQ(parse({"--", "--help"}).action, ParseResult::Action::Error);  // a file name then
    EXPECT_EQ(parse({"--help", "--azimuth", "999"}).action, ParseResult::Action::Help);
    EXPECT_EQ(parse({"--version"}).action, ParseResult::Action::Version);
    const std::string usage = render::renderUsage("ondulix-render");
    for (const char* option :
         {"--azimuth", "--elevation", "--horizontal-amplitude", "--vertical-amplitude",
          "--phase-shift", "--time", "--width", "--height", "--scale", "--screen-width",
          "--desktop-width", "--centered", "--hide", "--describe", "--convention"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
}

TEST(RenderOptions, TheExtensionChoosesTheFormat)
{
    struct Row {
        std::string output;
        output::PictureFormat format;
    };
    const std::vector<Row> rows = {
        {"a.png", output::PictureFormat::Png},
        {"a.svg", output::PictureFormat::Svg},
        {"a.emf", output::PictureFormat::Emf},
        {"a.pdf", output::PictureFormat::Pdf},
        {"Figure.EMF", output::PictureFormat::Emf},
        {"dir.svg/Figure.Pdf", output::PictureFormat::Pdf},
    };
    for (const Row& row : rows) {
        const ParseResult r = parse({row.output});
        ASSERT_EQ(r.action, ParseResult::Action::Render) << row.output << ": " << r.error;
        EXPECT_EQ(r.options.format, row.format) << row.output;
    }
    for (const char* bad : {"a.wmf", "a.emf+", "a.pdfx", "emf", "a.ps"}) {
        const ParseResult r = parse({bad});
        EXPECT_EQ(r.action, ParseResult::Action::Error) << bad;
        for (const char* listed : {".png", ".svg", ".emf", ".pdf"}) {
            EXPECT_NE(r.error.find(listed), std::string::npos) << r.error;
        }
    }
    const std::string usage = render::renderUsage("ondulix-render");
    EXPECT_NE(usage.find(".emf"), std::string::npos);
    EXPECT_NE(usage.find(".pdf"), std::string::npos);
}

TEST(RenderOptions, DescribeWantsNoOutputAndTakesAConvention)
{
    using common::THandednessConvention;
    struct Row {
        std::vector<std::string> args;
        THandednessConvention convention;
        bool given;  // so that a settings file does not override it
    };
    const std::vector<Row> rows = {
        {{"--describe"}, THandednessConvention::Optics, false},
        {{"--describe", "--convention", "ieee"}, THandednessConvention::Ieee, true},
        {{"--convention=IEEE", "--describe", "--phase-shift", "90"},
         THandednessConvention::Ieee,
         true},
        {{"--describe", "--convention", "Optics"}, THandednessConvention::Optics, true},
    };
    for (const Row& row : rows) {
        const ParseResult r = parse(row.args);
        ASSERT_EQ(r.action, ParseResult::Action::Render) << r.error;
        EXPECT_TRUE(r.options.describe);
        EXPECT_EQ(r.options.convention, row.convention) << row.args.back();
        EXPECT_EQ(r.options.wasGiven("--convention"), row.given) << row.args.back();
        EXPECT_EQ(r.options.output, "");
    }
    EXPECT_FALSE(parse({"a.png"}).options.describe);
}

TEST(RenderOptions, ANegativeValueIsTakenAsTheValue)
{
    const ParseResult r = parse({"--phase-shift", "-1", "--", "-odd-name.png"});
    ASSERT_EQ(r.action, ParseResult::Action::Render) << r.error;
    EXPECT_EQ(r.options.phaseShift, -1);
    EXPECT_EQ(r.options.output, "-odd-name.png");
}

TEST(RenderOptions, AnAnimationTakesItsMotionFramesAndRate)
{
    struct Row {
        std::vector<std::string> args;
        output::AnimationMotion motion;
        std::int32_t frames;
        std::int32_t framesPerSecond;
        output::AnimationFormat format;
    };
    using output::AnimationFormat;
    using output::AnimationMotion;
    const std::vector<Row> rows = {
        {{"--animate", "time", "a.gif"}, AnimationMotion::Time, 512, 50, AnimationFormat::Gif},
        {{"--animate=azimuth", "a.mp4"}, AnimationMotion::Azimuth, 360, 50, AnimationFormat::Mp4},
        {{"--animate", "azimuth", "--frames", "90", "--fps=12", "Turn.WEBP"},
         AnimationMotion::Azimuth,
         90,
         12,
         AnimationFormat::WebP},
        {{"--fps", "100", "--frames=64", "--animate", "time", "a.gif"},
         AnimationMotion::Time,
         64,
         100,
         AnimationFormat::Gif},
    };
    for (const Row& row : rows) {
        const ParseResult r = parse(row.args);
        ASSERT_EQ(r.action, ParseResult::Action::Render) << r.error;
        const render::RenderOptions& o = r.options;
        EXPECT_EQ(o.animationFormat, row.format) << o.output;
        const output::AnimationDescription d = render::animationOf(o);
        EXPECT_EQ(d.motion, row.motion) << o.output;
        EXPECT_EQ(d.frames, row.frames) << o.output;
        EXPECT_EQ(d.framesPerSecond, row.framesPerSecond) << o.output;
        EXPECT_EQ(d.width, 800);
        EXPECT_EQ(d.height, 600);
    }
    EXPECT_FALSE(parse({"a.png"}).options.animate);
}

TEST(RenderOptions, AnAnimationsBadOptionsAreOneLineNamingTheOption)
{
    struct Row {
        std::vector<std::string> args;
        std::string error;
    };
    const std::vector<Row> rows = {
        {{"--animate", "spin", "a.gif"}, "--animate: unknown motion 'spin' (use time or azimuth)"},
        {{"--animate", "time", "--frames", "360", "a.gif"},
         "--frames: 360 is not one of 512, 256, 128, 64 for --animate time"},
        {{"--animate", "azimuth", "--frames", "64", "a.gif"},
         "--frames: 64 is not one of 360, 180, 120, 90 for --animate azimuth"},
        {{"--animate", "time", "--fps", "0", "a.gif"}, "--fps: 0 is outside 1 .. 100"},
        {{"--animate", "time", "--fps", "101", "a.gif"}, "--fps: 101 is outside 1 .. 100"},
        {{"--animate", "time", "--fps", "12.5", "a.gif"}, "--fps: '12.5' is not a whole number"},
        {{"--frames", "64", "a.png"}, "--frames: only with --animate"},
        {{"--fps", "10", "a.png"}, "--fps: only with --animate"},
        {{"--animate", "time", "a.png"},
         "OUTPUT: 'a.png' must end in .gif, .webp or .mp4 with --animate"},
        {{"a.gif"},
         "OUTPUT: 'a.gif' must end in .png, .svg, .emf or .pdf (.gif, .webp or .mp4 with "
         "--animate)"},
    };
    for (const Row& row : rows) {
        const ParseResult r = parse(row.args);
        EXPECT_EQ(r.action, ParseResult::Action::Error) << row.error;
        EXPECT_EQ(r.error, row.error);
    }
    const std::string usage = render::renderUsage("ondulix-render");
    for (const char* option : {"--animate time|azimuth", "--frames N", "--fps F"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
    }
}

}  // namespace
