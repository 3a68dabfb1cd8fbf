#pragma once

#include <QTimer>

#include <cstdint>
#include <memory>
#include <vector>

#include "scene/scene.h"

namespace mainwindow {

// The scene behind the main window, without any widget: its state, the engine steps that follow
// a change of the view, the amplitudes, the phase shift or the time, the zoom steps, and the
// drawing into the host's picture, deferred while a drawing is under way. The window's controls
// show its values and hand it the user's changes.
class SceneController {
public:
    SceneController();
    SceneController(const SceneController&) = delete;
    SceneController& operator=(const SceneController&) = delete;

    scene::SceneState& scene() { return *m_scene; }
    const scene::SceneState& scene() const { return *m_scene; }

    // The five values and the time, each followed by its engine steps, a projection and a
    // drawing. drawDirectly draws even over a drawing under way (the rotation and the running
    // time do: their next step comes soon), otherwise the drawing waits for it.
    void setAzimuth(int degrees, bool drawDirectly);
    void setElevation(int degrees, bool drawDirectly);
    void setAmplitude(bool horizontal, int percent);
    void setPhaseShift(int degrees);
    void setTime(int step, bool drawDirectly);

    // The zoom steps of the settings: slot 0 is none. A denominator between the steps is used as
    // it is; zooming goes on from the nearest step (the smaller denominator on a tie).
    void setUpScale(const std::vector<std::int32_t>& scales, std::int32_t denominator);
    int scaleIndex() const { return m_scaleIndex; }
    int scaleCount() const { return static_cast<int>(m_scales.size()) - 1; }
    // Each true when the scale changed, which is then applied and drawn.
    bool zoomIn();
    bool zoomOut();
    bool setScaleIndex(int index);
    // The scale denominator in force: the projection and the labels follow it.
    void applyScale();

    void reproject();
    void redraw();
    void redrawOrDefer(bool drawDirectly);
    QTimer& timerRedraw() { return m_timerRedraw; }
    void TimerRedrawOnTimer();

private:
    void takeScaleStep(int index);

    std::unique_ptr<scene::SceneState> m_scene;
    std::vector<std::int32_t> m_scales{1};
    int m_scaleIndex = 1;
    QTimer m_timerRedraw;
};

}  // namespace mainwindow
