// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/colors.h"

namespace common {

TColor mixColors(std::uint8_t percent, TColor colour1, TColor colour2)
{
    const std::uint32_t p = percent > 100 ? 100u : percent;
    const std::uint32_t q = 100u - p;
    const auto mix = [p, q](std::uint32_t a, std::uint32_t b) { return (a * p + b * q) / 100u; };
    return rgb(mix(redOf(colour1), redOf(colour2)), mix(greenOf(colour1), greenOf(colour2)),
               mix(blueOf(colour1), blueOf(colour2)));
}

}  // namespace common
