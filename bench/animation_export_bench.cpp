// SPDX-License-Identifier: GPL-3.0-or-later
// Animation export: one period of 512 frames at 1280 x 720 in each format, drawn and encoded in
// this process, and the peak memory of ondulix-render writing one at 1920 x 1080.

#include <benchmark/benchmark.h>

#include <QImage>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "output/animation_export.h"
#include "output/scene_picture.h"
#include "scene/scene.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

fs::path benchFolder()
{
    const fs::path folder =
        fs::temp_directory_path() / ("ondulix-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

std::string fileFor(output::AnimationFormat format)
{
    return (benchFolder() / ("period." + std::string(output::extensionOf(format)))).string();
}

void ExportPeriod(benchmark::State& state)
{
    const auto format = static_cast<output::AnimationFormat>(state.range(0));
    output::PictureHost host(1, 1);
    scene::SceneState s;
    s.Host = &host;
    s.DrawWidth = 1280;
    s.DrawHeight = 720;
    scene::setAzimuth(s, -45);
    scene::setElevation(s, 30);
    scene::setPhaseShift(s, -90);
    scene::startScene(s);
    output::AnimationDescription d;
    d.width = 1280;
    d.height = 720;
    const std::string file = fileFor(format);
    for (auto _ : state) {
        const output::AnimationResult result = output::exportAnimation(
            output::animationExporterFor(format), s, d, file, common::TLanguage::English);
        if (!result.ok()) {
            state.SkipWithError(result.error.toStdString().c_str());
            break;
        }
    }
    std::error_code ec;
    state.counters["file_MB"] = static_cast<double>(fs::file_size(file, ec)) / (1 << 20);
    fs::remove(file, ec);
    fs::remove(benchFolder(), ec);
}
BENCHMARK(ExportPeriod)
    ->ArgName("gif_webp_mp4")
    ->DenseRange(0, 2)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// The peak resident size of a running process in MiB, 0 once it has gone.
double peakMegabytes(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;  // kB
        }
    }
    return 0.0;
}

// A process of its own, so that its peak is the export's alone. Its peak is watched while it
// runs: what wait4 reports would include this process's, whose memory the child starts with.
void PeakMemory1080p(benchmark::State& state)
{
    const auto format = static_cast<output::AnimationFormat>(state.range(0));
    const std::string file = fileFor(format);
    std::vector<std::string> words{ONDULIX_RENDER_PATH, "--animate", "time", "--width", "1920",
                                   "--height",          "1080",      file};
    std::vector<char*> argv;
    for (std::string& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pid_t child = 0;
        int status = 0;
        double peak = 0.0;
        if (::posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("ondulix-render cannot be started");
            break;
        }
        while (::waitpid(child, &status, WNOHANG) == 0) {
            peak = std::max(peak, peakMegabytes(child));
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("ondulix-render failed");
            break;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.counters["peak_MB"] = peak;
    }
    std::error_code ec;
    fs::remove(file, ec);
    fs::remove(benchFolder(), ec);
}
BENCHMARK(PeakMemory1080p)
    ->ArgName("gif_webp_mp4")
    ->DenseRange(0, 2)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace
