// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the engine's projection of reference views, and of points placed next to the halves
// where the rounding is decided, one line per point. Built for the desktop and for the browser;
// the two outputs must be the same, line for line.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "scene/geometry.h"
#include "scene/projection.h"
#include "scene/scene.h"

namespace {

struct View {
    std::int32_t width, height, azimuth, elevation, scale, horizontal, vertical, phase, time;
    bool centred;
    double screenWidth;
};

// The default view and its neighbours: every quadrant of the azimuth, both sides of the
// elevation, the ends of the ranges, odd area sizes, other scales and screens.
constexpr View Views[] = {
    {800, 600, -45, 30, 40, 100, 100, -90, 0, false, 0.3},
    {1024, 768, -45, 30, 40, 100, 100, -90, 100, false, 0.3},
    {1280, 720, 0, 0, 40, 100, 0, 0, 0, false, 0.3},
    {1280, 720, 90, 90, 40, 0, 100, 0, 0, true, 0.3},
    {801, 599, 180, -90, 25, 37, 81, 45, 311, false, 0.3},
    {801, 599, -180, -30, 60, 100, 100, 180, 511, true, 0.3},
    {640, 480, 135, 60, 10, 55, 100, -135, 256, false, 0.53},
    {1920, 1080, -91, 17, 40, 100, 75, 7, 77, false, 0.6},
    {333, 222, 13, -71, 100, 100, 100, -17, 400, true, 0.25},
    {1280, 720, -45, 30, 1, 100, 100, -90, 0, false, 0.3},
};

void printPoints(const scene::PixelPoint* points, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        std::printf("%d %d\n", static_cast<int>(points[i].x), static_cast<int>(points[i].y));
    }
}

template <typename Array>
void print(const Array& points)
{
    printPoints(points.data(), points.size());
}

void printView(scene::SceneState& s, const View& v)
{
    s.DrawWidth = v.width;
    s.DrawHeight = v.height;
    s.ScreenWidth = v.screenWidth;
    s.ScaleDenominator = v.scale;
    s.CoordinateSystemCentered = v.centred;
    s.Params.HorizontalAmplitude = v.horizontal / 100.0;
    s.Params.VerticalAmplitude = v.vertical / 100.0;
    scene::setAzimuth(s, v.azimuth);
    scene::setElevation(s, v.elevation);
    scene::setPhaseShift(s, v.phase);
    s.SceneReady = false;
    scene::startScene(s);
    s.Params.TimeStep = v.time;
    scene::computeWaveSamples(s, v.time, s.Params.PhaseStep);
    scene::projectScene(s, s.DrawWidth, s.DrawHeight, s.PixelsPerUnit, 1.0);
    const scene::SceneProjection& p = s.Pix;
    print(p.ReferenceRectPix);
    print(p.PropagationAxisPix);
    print(p.HorizontalAxisPix);
    print(p.VerticalAxisPix);
    printPoints(&p.OriginPix, 1);
    print(p.HiddenAxisSegment);
    print(p.PropagationArrowPix);
    print(p.HorizontalAxisArrowPix);
    print(p.VerticalAxisArrowPix);
    print(p.HorizontalWavePix);
    print(p.VerticalWavePix);
    print(p.ResultantWavePix);
    print(p.EllipsePix);
    print(p.ResultantVectorPix);
    print(p.ResultantVectorArrowPix);
}

// A reproducible stream of doubles, the same on every target.
class Stream {
public:
    double next(double low, double high)
    {
        m_state += 0x9E3779B97F4A7C15U;
        std::uint64_t z = m_state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9U;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBU;
        z ^= z >> 31;
        return low + (high - low) * static_cast<double>(z >> 11) * 0x1p-53;
    }

private:
    std::uint64_t m_state = 17;
};

// Points whose screen x lies on a half, give or take an ulp or two, at many views and scales:
// there the double-precision shortcut hands over to the extended formula.
void printNearHalves(scene::SceneState& s)
{
    Stream random;
    for (int round = 0; round < 200; ++round) {
        scene::setAzimuth(s, static_cast<std::int32_t>(random.next(-180.0, 180.0)));
        scene::setElevation(s, static_cast<std::int32_t>(random.next(-90.0, 90.0)));
        scene::updateViewMatrix(s);
        const scene::ProjectionContext c =
            scene::makeProjectionContext(s, 801, 600, random.next(0.5, 5000.0), 1.0 + round % 3);
        const double scale = c.pixelsPerUnit * c.deviceFactor;
        for (int i = 0; i < 200; ++i) {
            scene::ModelPoint p{random.next(-8.0, 8.0), random.next(-8.0, 8.0),
                                random.next(-8.0, 8.0)};
            const auto& h = c.rowH;
            if (i % 2 == 0 && std::fabs(h[0]) > 0.1) {
                const double at = (h[0] * (p.X - c.centre.X) + h[1] * (p.Y - c.centre.Y)) * scale;
                p.X += (std::floor(at) + 0.5 - at) / (scale * h[0]);
            }
            const scene::PixelPoint fast = scene::projectPoint(p, c);
            const scene::PixelPoint exact = scene::projectPointExtended(p, c);
            printPoints(&fast, 1);
            printPoints(&exact, 1);
        }
    }
}

}  // namespace

int main()
{
    auto state = std::make_unique<scene::SceneState>();
    scene::SceneState& s = *state;
    s.DesktopWidthPixels = 1280;
    for (const View& view : Views) {
        printView(s, view);
    }
    printNearHalves(s);
    return 0;
}
