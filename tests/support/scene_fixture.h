// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A ready scene with the program's default values on an 800 x 600 area of a 1280-pixel desktop
// 0.3 m wide at 1 : 40, drawn on a recording canvas.

#include <memory>

#include "recording_canvas.h"
#include "scene/scene.h"

namespace testing_support {

class RecordingHost : public scene::SceneHost {
public:
    RecordingCanvas canvas;
    std::function<void()> onEvents;
    int eventRuns = 0;
    int drawnNotices = 0;

    scene::Canvas& screenCanvas() override { return canvas; }
    void processPendingEvents() override
    {
        ++eventRuns;
        if (onEvents) {
            onEvents();
        }
    }
    void screenCanvasDrawn() override { ++drawnNotices; }
};

struct SceneFixture {
    std::unique_ptr<scene::SceneState> state = std::make_unique<scene::SceneState>();
    RecordingHost host;

    explicit SceneFixture(bool start = true)
    {
        scene::SceneState& s = *state;
        s.Host = &host;
        s.DesktopWidthPixels = 1280;
        s.ScreenWidth = 0.3;
        s.ScaleDenominator = 40;
        s.DrawWidth = 800;
        s.DrawHeight = 600;
        scene::setAzimuth(s, -45);
        scene::setElevation(s, 30);
        scene::setPhaseShift(s, -90);
        if (start) {
            scene::startScene(s);
            host.canvas.calls.clear();
            host.eventRuns = 0;
            host.drawnNotices = 0;
        }
    }
    scene::SceneState& s() { return *state; }
};

}  // namespace testing_support
