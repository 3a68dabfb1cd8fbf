// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of one animation tick: the engine's share, and the whole tick with the drawing.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "platform/line_raster.h"
#include "platform/painter_canvas.h"
#include "scene/geometry.h"
#include "scene/projection.h"
#include "scene/render.h"
#include "scene/scene.h"

// Every heap allocation of the process is counted, so the benchmarks can report how many one
// tick makes.
namespace {
std::atomic<long long> g_allocations{0};
}

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

// The main window's arrangement: the scene drawn into the picture of the drawing area.
class ImageHost : public scene::SceneHost {
public:
    ImageHost(int width, int height)
        : m_image(width, height, QImage::Format_RGB32), m_canvas(m_image)
    {
        m_canvas.setKeepsLayers(true);
    }
    scene::Canvas& screenCanvas() override { return m_canvas; }
    void processPendingEvents() override {}

private:
    QImage m_image;
    platform::PainterCanvas m_canvas;
};

struct Scene {
    std::unique_ptr<scene::SceneState> state = std::make_unique<scene::SceneState>();
    ImageHost host;

    Scene(int width, int height) : host(width, height)
    {
        scene::SceneState& s = *state;
        s.Host = &host;
        s.DrawWidth = width;
        s.DrawHeight = height;
        scene::setAzimuth(s, -45);
        scene::setElevation(s, 30);
        scene::setPhaseShift(s, -90);
        scene::startScene(s);
    }

    void step()
    {
        scene::SceneState& s = *state;
        s.Params.TimeStep = (s.Params.TimeStep + 1) % 513;
        scene::computeWaveSamples(s, s.Params.TimeStep, s.Params.PhaseStep);
        scene::projectScene(s, s.DrawWidth, s.DrawHeight, s.PixelsPerUnit, 1.0);
    }
};

void reportAllocations(benchmark::State& state, long long before)
{
    const long long made = g_allocations.load() - before;
    state.counters["allocs_per_step"] =
        benchmark::Counter(static_cast<double>(made) / static_cast<double>(state.iterations()));
}

void EngineStep(benchmark::State& state)
{
    Scene scene(800, 600);
    scene.step();  // warm the canvas's caches
    const long long before = g_allocations.load();
    for (auto _ : state) {
        scene.step();
        benchmark::DoNotOptimize(scene.state->Pix.ResultantWavePix.data());
    }
    reportAllocations(state, before);
}
BENCHMARK(EngineStep);

// The two halves of the engine step on their own.
void WaveSamples(benchmark::State& state)
{
    Scene scene(800, 600);
    scene::SceneState& s = *scene.state;
    for (auto _ : state) {
        s.Params.TimeStep = (s.Params.TimeStep + 1) % 513;
        scene::computeWaveSamples(s, s.Params.TimeStep, s.Params.PhaseStep);
        benchmark::DoNotOptimize(s.Model.ResultantWave.data());
    }
}
BENCHMARK(WaveSamples);

void Projection(benchmark::State& state)
{
    Scene scene(800, 600);
    scene::SceneState& s = *scene.state;
    for (auto _ : state) {
        scene::projectScene(s, s.DrawWidth, s.DrawHeight, s.PixelsPerUnit, 1.0);
        benchmark::DoNotOptimize(s.Pix.ResultantWavePix.data());
    }
}
BENCHMARK(Projection);

// The scene's drawing area as an opaque white picture, and the raster's target on all of it.
QImage whitePicture(const scene::SceneState& s)
{
    QImage picture(s.DrawWidth, s.DrawHeight, QImage::Format_RGB32);
    picture.fill(Qt::white);
    return picture;
}

platform::LineRaster::Target wholeTarget(QImage& picture)
{
    platform::LineRaster::Target target;
    target.bits = reinterpret_cast<std::uint32_t*>(picture.bits());
    target.wordsPerLine = picture.bytesPerLine() / 4;
    target.right = picture.width();
    target.bottom = picture.height();
    return target;
}

// One bold wave of the scene through the raster for wide lines, the largest share of a tick.
void WideWave(benchmark::State& state)
{
    Scene scene(1920, 1080);
    const scene::SceneState& s = *scene.state;
    std::vector<platform::LineRaster::Point> points;
    for (const scene::PixelPoint& p : s.Pix.HorizontalWavePix) {
        points.push_back({p.x + 0.5, p.y + 0.5});
    }
    QImage picture = whitePicture(s);
    platform::LineRaster raster;
    platform::LineRaster::Target target = wholeTarget(picture);
    target.alphaUnused = true;
    for (auto _ : state) {
        raster.stroke(target, points, 2.0, 0x0000FFu);
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.counters["points"] = static_cast<double>(points.size());
}
BENCHMARK(WideWave);

// The thin resultant wave, by the raster's thin lines (1) and by Qt's own (0), which draw the
// same pixels.
void ThinWave(benchmark::State& state)
{
    Scene scene(1920, 1080);
    const scene::SceneState& s = *scene.state;
    std::vector<platform::LineRaster::Point> points;
    std::vector<QPointF> qtPoints;
    for (const scene::PixelPoint& p : s.Pix.ResultantWavePix) {
        points.push_back({p.x + 0.5, p.y + 0.5});
        qtPoints.emplace_back(p.x + 0.5, p.y + 0.5);
    }
    QImage picture = whitePicture(s);
    platform::LineRaster raster;
    const platform::LineRaster::Target target = wholeTarget(picture);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0, 0, 255), 1);
    pen.setCapStyle(Qt::RoundCap);
    painter.setPen(pen);
    const bool ours = state.range(0) == 1;
    for (auto _ : state) {
        if (ours) {
            raster.strokeThin(target, points, 0x0000FFu, {true, picture.width(), picture.height()});
        } else {
            painter.drawPolyline(qtPoints.data(), static_cast<int>(qtPoints.size()));
        }
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.counters["points"] = static_cast<double>(points.size());
}
BENCHMARK(ThinWave)->Arg(0)->Arg(1);

void FullTick(benchmark::State& state)
{
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    Scene scene(width, height);
    scene::Canvas& canvas = scene.host.screenCanvas();
    scene.step();
    scene::drawScene(*scene.state, 0, 0, width, height, canvas, 1.0);
    const long long before = g_allocations.load();
    for (auto _ : state) {
        scene.step();
        scene::drawScene(*scene.state, 0, 0, width, height, canvas, 1.0);
    }
    reportAllocations(state, before);
}
BENCHMARK(FullTick)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
