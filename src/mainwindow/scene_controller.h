// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "scene/scene.h"
#include "settings/live_settings.h"
#include "settings/settings_file.h"

namespace mainwindow {

// The scene behind the main window, without any widget: its state, the engine steps that follow
// a change of the view, the amplitudes, the phase shift or the time, the zoom steps, and the
// drawing into the host's picture, deferred while a drawing is under way; and the settings record
// beside the scene, which the settings dialog edits through LiveSettings. The window's controls
// show its values and hand it the user's changes.
class SceneController : public settings::LiveSettings {
public:
    SceneController();
    SceneController(const SceneController&) = delete;
    SceneController& operator=(const SceneController&) = delete;

    scene::SceneState& scene() { return *m_scene; }
    const scene::SceneState& scene() const { return *m_scene; }

    // A settings record at start: kept, and its look, the parts shown and the timers' intervals
    // applied; the scene values and the scale go through their own setters.
    void applyLook(const settings::TSettingsData& settings);
    // The record kept beside the scene (language, printer, the files' folder and type, ...).
    common::TAppSettings& appSettings() { return m_settings.App; }
    const common::TAppSettings& appSettings() const { return m_settings.App; }
    common::TPrinterSettings& printerSettings() { return m_settings.Printer; }

    // LiveSettings: the settings dialog's edits.
    settings::TSettingsData currentSettings() const override;
    void applySettings(const settings::TSettingsData& settings,
                       settings::TSettingsChange change) override;
    void acceptSettings() override;
    void redrawScene() override;
    bool drawPagePreview(scene::Canvas& canvas, const scene::PageLayout& page, std::int32_t width,
                         std::int32_t height) override;
    // After an edit has taken effect: the window follows the language and the colours.
    std::function<void(settings::TSettingsChange change)> onSettingsApplied;
    // The model and the tables, once the look is applied: the scene is ready to be drawn.
    void startScene();

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
    // The smallest denominator of the steps at which the whole drawing extent lies inside the
    // drawing area (the largest step when none does); true when the scale changed.
    bool fitToArea();
    // The scale denominator in force: the projection and the labels follow it.
    void applyScale();

    void reproject();
    void redraw();
    // The time step of the last drawing that was made on the host's picture; -1 before any.
    int drawnTimeStep() const { return m_drawnTimeStep; }
    void redrawOrDefer(bool drawDirectly);
    QTimer& timerRedraw() { return m_timerRedraw; }
    void TimerRedrawOnTimer();

    // The time through one period, step by step on its timer; with auto-repeat it starts over
    // after T-1, without it stops one step after T.
    void startAnimation();
    void pauseAnimation();
    void rewind();  // pauses and draws the time 0 at once
    bool animationRunning() const { return m_animationRunning; }
    bool autoRepeat() const { return m_autoRepeat; }
    void setAutoRepeat(bool on) { m_autoRepeat = on; }
    QTimer& timerTime() { return m_timerTime; }
    const QTimer& timerTime() const { return m_timerTime; }
    void TimerTimeOnTimer();

    // The view turning in azimuth by a degree per step, through both ends.
    void setRotating(bool on);
    bool rotating() const { return m_timerRotateAzimuth.isActive(); }
    QTimer& timerRotateAzimuth() { return m_timerRotateAzimuth; }
    const QTimer& timerRotateAzimuth() const { return m_timerRotateAzimuth; }
    void TimerRotateAzimuthOnTimer();

    // A drawing or a timer step is under way, either of which may let queued events run: what
    // would open a dialog must wait for the event loop.
    bool busy() const { return m_scene->DrawingInProgress || m_stepDepth > 0; }

    // What the window shows of the steps the timers take.
    std::function<void(int step)> onTimeStep;
    std::function<void(int degrees)> onAzimuthStep;
    std::function<void()> onAnimationStopped;  // at T without auto-repeat
    std::function<void()> onStep;              // after every step of the time and of the rotation

    static constexpr int TimeSteps = 512;  // one period
    static constexpr int AzimuthMinimum = -180;
    static constexpr int AzimuthMaximum = 180;

private:
    void takeScaleStep(int index);
    void moveTime(int step);
    void setTimerIntervals(const common::TAppSettings& app);
    void rebuildGeometry();

    std::unique_ptr<scene::SceneState> m_scene;
    settings::TSettingsData m_settings;  // what the scene state does not hold
    std::vector<std::int32_t> m_scales{1};
    int m_scaleIndex = 1;
    QTimer m_timerRedraw;
    QTimer m_timerTime;
    QTimer m_timerRotateAzimuth;
    int m_stepDepth = 0;
    int m_drawnTimeStep = -1;
    bool m_animationRunning = false;
    bool m_autoRepeat = true;
    int m_horizontalPercent = 100;
    int m_verticalPercent = 100;
};

}  // namespace mainwindow
