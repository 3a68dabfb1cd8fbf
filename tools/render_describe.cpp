// SPDX-License-Identifier: GPL-3.0-or-later
#include "render_describe.h"

#include <charconv>
#include <cmath>

namespace render {

namespace {

// The shortest round-trip text, which always reads as a number in JSON ("45.0", not "45").
std::string number(double value)
{
    if (!std::isfinite(value)) {
        return "null";
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".e") == std::string::npos) {
        text += ".0";
    }
    return text;
}

std::string number(const std::optional<double>& value)
{
    return value ? number(*value) : std::string("null");
}

const char* stateName(scene::TPolarisationState state)
{
    switch (state) {
        case scene::TPolarisationState::None:
            return "none";
        case scene::TPolarisationState::Linear:
            return "linear";
        case scene::TPolarisationState::Circular:
            return "circular";
        case scene::TPolarisationState::Elliptical:
            return "elliptical";
    }
    return "none";
}

const char* handednessName(scene::THandedness handedness)
{
    switch (handedness) {
        case scene::THandedness::Right:
            return "right";
        case scene::THandedness::Left:
            return "left";
        case scene::THandedness::None:
            break;
    }
    return "none";
}

}  // namespace

std::string describeJson(const scene::TPolarisation& p)
{
    std::string stokes = "null";
    if (p.Stokes) {
        const std::array<double, 4>& s = *p.Stokes;
        stokes = "[" + number(s[0]) + ", " + number(s[1]) + ", " + number(s[2]) + ", " +
                 number(s[3]) + "]";
    }
    std::string jones = "null";
    if (p.Jones) {
        const std::array<std::complex<double>, 2>& j = *p.Jones;
        jones = "[[" + number(j[0].real()) + ", " + number(j[0].imag()) + "], [" +
                number(j[1].real()) + ", " + number(j[1].imag()) + "]]";
    }
    const char* convention =
        p.Convention == common::THandednessConvention::Ieee ? "ieee" : "optics";
    return std::string("{\"state\": \"") + stateName(p.State) + "\", \"handedness\": \"" +
           handednessName(p.Handedness) + "\", \"convention\": \"" + convention +
           "\", \"psi_deg\": " + number(p.PsiDegrees) + ", \"chi_deg\": " + number(p.ChiDegrees) +
           ", \"ratio\": " + number(p.AxialRatio) + ", \"stokes\": " + stokes +
           ", \"jones\": " + jones + ", \"field\": [" + number(p.Field[0]) + ", " +
           number(p.Field[1]) + "]}\n";
}

}  // namespace render
