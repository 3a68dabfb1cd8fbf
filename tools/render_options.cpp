// SPDX-License-Identifier: GPL-3.0-or-later
#include "render_options.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <functional>
#include <sstream>

namespace render {

namespace {

struct Failure {
    std::string message;
};

std::int32_t parseInteger(const std::string& option, const std::string& text, std::int32_t low,
                          std::int32_t high)
{
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        throw Failure{option + ": '" + text + "' is not a whole number"};
    }
    if (value < low || value > high) {
        throw Failure{option + ": " + text + " is outside " + std::to_string(low) + " .. " +
                      std::to_string(high)};
    }
    return static_cast<std::int32_t>(value);
}

double parseMetres(const std::string& option, const std::string& text)
{
    // Only plain decimal numbers: no locale, no hexadecimal, no "inf".
    const bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) || c == '.';
    });
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (!plain || ec != std::errc() || ptr != end) {
        throw Failure{option + ": '" + text + "' is not a number of metres"};
    }
    if (!(value >= 0.01 && value <= 100.0)) {
        throw Failure{option + ": " + text + " is outside 0.01 .. 100"};
    }
    return value;
}

void parseHideList(const std::string& option, const std::string& text, RenderOptions& o)
{
    std::stringstream items(text);
    std::string item;
    bool any = false;
    while (std::getline(items, item, ',')) {
        any = true;
        o.given.push_back(option + " " + item);
        if (item == "horizontal") {
            o.showHorizontal = false;
        } else if (item == "vertical") {
            o.showVertical = false;
        } else if (item == "resultant") {
            o.showResultant = false;
        } else if (item == "vector") {
            o.showVector = false;
        } else {
            throw Failure{option + ": unknown item '" + item +
                          "' (use horizontal, vertical, resultant, vector)"};
        }
    }
    if (!any) {
        throw Failure{option + ": the list is empty"};
    }
}

common::THandednessConvention parseConvention(const std::string& option, const std::string& text)
{
    std::string name = text;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (name == "optics") {
        return common::THandednessConvention::Optics;
    }
    if (name == "ieee") {
        return common::THandednessConvention::Ieee;
    }
    throw Failure{option + ": unknown convention '" + text + "' (use optics or ieee)"};
}

std::string lowerExtension(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

constexpr std::int32_t MaxPicturePixels = 16384;

output::AnimationMotion parseMotion(const std::string& option, const std::string& text)
{
    if (text == "time") {
        return output::AnimationMotion::Time;
    }
    if (text == "azimuth") {
        return output::AnimationMotion::Azimuth;
    }
    throw Failure{option + ": unknown motion '" + text + "' (use time or azimuth)"};
}

std::string frameCountList(output::AnimationMotion motion)
{
    std::string list;
    for (const std::int32_t n : output::frameCounts(motion)) {
        list += (list.empty() ? "" : ", ") + std::to_string(n);
    }
    return list;
}

// The options of an animation go together, and its file is one of the animation formats.
void checkAnimation(RenderOptions& o, const std::string& extension)
{
    if (!o.animate) {
        for (const char* option : {"--frames", "--fps"}) {
            if (o.wasGiven(option)) {
                throw Failure{std::string(option) + ": only with --animate"};
            }
        }
        return;
    }
    const char* motion = *o.animate == output::AnimationMotion::Time ? "time" : "azimuth";
    if (o.frames == 0) {
        o.frames = output::frameCounts(*o.animate).front();
    } else if (!output::isFrameCount(*o.animate, o.frames)) {
        throw Failure{"--frames: " + std::to_string(o.frames) + " is not one of " +
                      frameCountList(*o.animate) + " for --animate " + motion};
    }
    const std::optional<output::AnimationFormat> format =
        output::animationFormatForExtension(extension);
    if (!format) {
        throw Failure{"OUTPUT: '" + o.output + "' must end in .gif, .webp or .mp4 with --animate"};
    }
    o.animationFormat = *format;
}

}  // namespace

bool RenderOptions::wasGiven(std::string_view option) const
{
    return std::find(given.begin(), given.end(), option) != given.end();
}

ParseResult parseRenderOptions(const std::vector<std::string>& arguments)
{
    ParseResult result;
    RenderOptions& o = result.options;
    using Setter = std::function<void(const std::string& option, const std::string& value)>;
    const std::vector<std::pair<std::string, Setter>> valued = {
        {"--azimuth", [&](auto& n, auto& v) { o.azimuth = parseInteger(n, v, -180, 180); }},
        {"--elevation", [&](auto& n, auto& v) { o.elevation = parseInteger(n, v, -90, 90); }},
        {"--horizontal-amplitude",
         [&](auto& n, auto& v) { o.horizontalAmplitude = parseInteger(n, v, 0, 100); }},
        {"--vertical-amplitude",
         [&](auto& n, auto& v) { o.verticalAmplitude = parseInteger(n, v, 0, 100); }},
        {"--phase-shift", [&](auto& n, auto& v) { o.phaseShift = parseInteger(n, v, -180, 180); }},
        {"--time", [&](auto& n, auto& v) { o.timeStep = parseInteger(n, v, 0, 512); }},
        {"--width", [&](auto& n, auto& v) { o.width = parseInteger(n, v, 1, MaxPicturePixels); }},
        {"--height", [&](auto& n, auto& v) { o.height = parseInteger(n, v, 1, MaxPicturePixels); }},
        {"--scale", [&](auto& n, auto& v) { o.scale = parseInteger(n, v, 1, 1000000); }},
        {"--screen-width", [&](auto& n, auto& v) { o.screenWidth = parseMetres(n, v); }},
        {"--desktop-width",
         [&](auto& n, auto& v) { o.desktopWidth = parseInteger(n, v, 1, 1000000); }},
        {"--hide", [&](auto& n, auto& v) { parseHideList(n, v, o); }},
        {"--convention", [&](auto& n, auto& v) { o.convention = parseConvention(n, v); }},
        {"--animate", [&](auto& n, auto& v) { o.animate = parseMotion(n, v); }},
        {"--frames", [&](auto& n, auto& v) { o.frames = parseInteger(n, v, 1, 100000); }},
        {"--fps",
         [&](auto& n, auto& v) {
             o.framesPerSecond =
                 parseInteger(n, v, output::MinFramesPerSecond, output::MaxFramesPerSecond);
         }},
        {"--settings",
         [&](auto& n, auto& v) {
             if (v.empty()) {
                 throw Failure{n + ": the file name is empty"};
             }
             o.settingsFile = v;
         }},
    };

    // Help and version answer whatever else the line holds.
    for (const std::string& arg : arguments) {
        if (arg == "--") {
            break;
        }
        if (arg == "--help" || arg == "-h") {
            result.action = ParseResult::Action::Help;
            return result;
        }
        if (arg == "--version") {
            result.action = ParseResult::Action::Version;
            return result;
        }
    }

    try {
        std::vector<std::string> positional;
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            const std::string& arg = arguments[i];
            if (arg == "--centered" || arg == "--describe") {
                (arg == "--centered" ? o.centered : o.describe) = true;
                o.given.push_back(arg);
                continue;
            }
            if (arg == "--") {
                positional.insert(positional.end(),
                                  arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                  arguments.end());
                break;
            }
            if (arg.size() > 1 && arg[0] == '-') {
                const auto equals = arg.find('=');
                const std::string name = arg.substr(0, equals);
                const auto found =
                    std::find_if(valued.begin(), valued.end(),
                                 [&](const auto& entry) { return entry.first == name; });
                if (found == valued.end()) {
                    throw Failure{name + ": unknown option (see --help)"};
                }
                std::string value;
                if (equals != std::string::npos) {
                    value = arg.substr(equals + 1);
                } else if (i + 1 < arguments.size()) {
                    value = arguments[++i];
                } else {
                    throw Failure{name + ": a value is missing"};
                }
                found->second(name, value);
                o.given.push_back(name);
                continue;
            }
            positional.push_back(arg);
        }
        if (o.describe) {
            if (o.animate) {
                throw Failure{"--animate: --describe draws nothing"};
            }
            if (!positional.empty()) {
                throw Failure{"OUTPUT: --describe writes no picture; leave out '" +
                              positional.front() + "'"};
            }
            return result;
        }
        if (positional.empty()) {
            throw Failure{"OUTPUT: no output file given (see --help)"};
        }
        if (positional.size() > 1) {
            throw Failure{"OUTPUT: only one output file, got '" + positional[1] + "' as well"};
        }
        o.output = positional.front();
        checkAnimation(o, lowerExtension(o.output));
        // A bitmap file is the window's alone: worksheets take the PNG.
        const std::optional<output::PictureFormat> format =
            output::formatForExtension(lowerExtension(o.output));
        if (!o.animate && (!format || *format == output::PictureFormat::Bmp)) {
            throw Failure{"OUTPUT: '" + o.output +
                          "' must end in .png, .svg, .emf or .pdf (.gif, .webp or .mp4 with "
                          "--animate)"};
        }
        o.format = format.value_or(o.format);
    } catch (const Failure& failure) {
        result.action = ParseResult::Action::Error;
        result.error = failure.message;
    }
    return result;
}

std::string renderUsage(const std::string& program)
{
    // The defaults in brackets are the options' own, so the text cannot drift from them.
    const RenderOptions d;
    const auto n = [](std::int32_t value) { return std::to_string(value); };
    const auto shortest = [](double value) {
        std::array<char, 32> text{};
        const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
        return std::string(text.data(), end);
    };
    return "Usage: " + program + " [OPTIONS] OUTPUT\n" + "       " + program +
           " --animate time|azimuth [--frames N] [--fps F] [OPTIONS] OUTPUT\n" + "       " +
           program +
           " --describe [OPTIONS]\n"
           "Draws the polarisation scene without a window, as the main window would show it.\n"
           "The format follows OUTPUT's extension: .png, .svg (one SVG unit per pixel),\n"
           ".emf (an enhanced metafile, one device unit per pixel) or .pdf (one page).\n"
           "SVG, EMF and PDF state the physical size that keeps the scale true on paper.\n"
           "With --animate the scene moves, and OUTPUT is an animation that loops: .gif (each\n"
           "frame shown for whole hundredths of a second), .webp (lossless) or .mp4 (H.264;\n"
           "an odd width or height is rounded up to an even one). Frame K of --animate time\n"
           "is the picture of --time K x 512 / N.\n"
           "\n"
           "Options (defaults in brackets):\n"
           "  --azimuth DEG                 observer azimuth, -180 .. 180 [" +
           n(d.azimuth) +
           "]\n"
           "  --elevation DEG               observer elevation, -90 .. 90 [" +
           n(d.elevation) +
           "]\n"
           "  --horizontal-amplitude PCT    horizontal amplitude, 0 .. 100 [" +
           n(d.horizontalAmplitude) +
           "]\n"
           "  --vertical-amplitude PCT      vertical amplitude, 0 .. 100 [" +
           n(d.verticalAmplitude) +
           "]\n"
           "  --phase-shift DEG             phase shift of the vertical wave, -180 .. 180 [" +
           n(d.phaseShift) +
           "]\n"
           "  --time STEP                   time within the period in T/512, 0 .. 512 [" +
           n(d.timeStep) +
           "]\n"
           "  --width PX, --height PX       size of the picture [" +
           n(d.width) + " x " + n(d.height) +
           "]\n"
           "  --scale N                     scale 1 : N [" +
           n(d.scale) +
           "]\n"
           "  --screen-width METRES         physical width of the desktop [" +
           shortest(d.screenWidth) +
           "]\n"
           "  --desktop-width PX            width of the desktop in pixels [" +
           n(d.desktopWidth) +
           "]\n"
           "  --centered                    centre the drawing on the coordinate system\n"
           "  --hide LIST                   comma-separated: horizontal,vertical,resultant,vector\n"
           "  --settings FILE               colours, line styles, proportions, labels, scale,\n"
           "                                scene and handedness convention of an ondulix\n"
           "                                settings file; the options given win over the file\n"
           "  --describe                    print the scene's polarisation as one JSON object\n"
           "                                on standard output instead of drawing; no OUTPUT\n"
           "  --convention optics|ieee      what --describe calls right-handed: optics, clockwise\n"
           "                                seen facing the oncoming wave; ieee, the opposite\n"
           "                                [optics]\n"
           "  --animate time|azimuth        an animation: the time through one period, or the\n"
           "                                view turning once around at --time\n"
           "  --frames N                    number of frames: 512, 256, 128 or 64 for time\n"
           "                                [512]; 360, 180, 120 or 90 for azimuth [360]\n"
           "  --fps F                       frames per second, 1 .. 100 [" +
           n(d.framesPerSecond) +
           ", or the settings\n"
           "                                file's animation interval]\n"
           "  --help                        show this text\n"
           "  --version                     show the version\n"
           "\n"
           "Progress of an animation goes to standard error when it is a terminal.\n"
           "\n"
           "Exit status: 0 written, 1 the settings file could not be read or the picture,\n"
           "animation or description could not be written (an existing OUTPUT stays as it\n"
           "was, and no file is left behind), 2 bad command line, or a size on paper that\n"
           "the format cannot state.\n";
}

output::AnimationDescription animationOf(const RenderOptions& o)
{
    output::AnimationDescription d;
    d.motion = o.animate.value_or(output::AnimationMotion::Time);
    d.frames = o.frames != 0 ? o.frames : output::frameCounts(d.motion).front();
    d.framesPerSecond = o.framesPerSecond;
    d.width = o.width;
    d.height = o.height;
    return d;
}

std::string oneLine(std::string_view text)
{
    static constexpr char Hex[] = "0123456789abcdef";
    std::string line;
    line.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            line += "\\x";
            line += Hex[byte >> 4];
            line += Hex[byte & 0xf];
        } else {
            line += c;
        }
    }
    return line;
}

}  // namespace render
