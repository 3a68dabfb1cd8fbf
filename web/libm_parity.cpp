// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's C library rounds sin, cos and atan2 correctly for the engine's angles; this one's
// are off by one unit in the last place now and then, which moves a pixel. These replace them
// for the page's engine: the wide long double functions rounded once to double.
#include <cmath>

extern "C" {

double sin(double x)
{
    return static_cast<double>(sinl(x));
}

double cos(double x)
{
    return static_cast<double>(cosl(x));
}

double atan2(double y, double x)
{
    return static_cast<double>(atan2l(y, x));
}

}  // extern "C"
