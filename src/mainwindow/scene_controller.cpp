// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/scene_controller.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdlib>

#include "scene/extent.h"
#include "scene/geometry.h"
#include "scene/projection.h"
#include "scene/render.h"
#include "scene/steps.h"
#include "settings/scene_settings.h"

namespace mainwindow {

namespace {
// How long a change waits for a drawing under way to end.
constexpr int RedrawInterval = 20;

// Counts the timer steps under way.
class StepGuard {
public:
    explicit StepGuard(int& depth) : m_depth(depth) { ++m_depth; }
    StepGuard(const StepGuard&) = delete;
    StepGuard& operator=(const StepGuard&) = delete;
    ~StepGuard() { --m_depth; }

private:
    int& m_depth;
};

void notify(const std::function<void()>& observer)
{
    if (observer) {
        observer();
    }
}

}  // namespace

SceneController::SceneController() : m_scene(std::make_unique<scene::SceneState>())
{
    m_timerRedraw.setInterval(RedrawInterval);
    m_timerTime.setTimerType(Qt::PreciseTimer);
    m_timerRotateAzimuth.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timerRedraw, &QTimer::timeout, [this] {
        const StepGuard step(m_stepDepth);
        TimerRedrawOnTimer();
    });
    QObject::connect(&m_timerTime, &QTimer::timeout, [this] { TimerTimeOnTimer(); });
    QObject::connect(&m_timerRotateAzimuth, &QTimer::timeout,
                     [this] { TimerRotateAzimuthOnTimer(); });
}

void SceneController::setAzimuth(int degrees, bool drawDirectly)
{
    scene::SceneState& s = *m_scene;
    scene::setAzimuth(s, degrees);
    scene::updateViewMatrix(s);
    reproject();
    redrawOrDefer(drawDirectly);
}

void SceneController::setElevation(int degrees, bool drawDirectly)
{
    scene::SceneState& s = *m_scene;
    scene::setElevation(s, degrees);
    scene::updateViewMatrix(s);
    reproject();
    redrawOrDefer(drawDirectly);
}

void SceneController::setAmplitude(bool horizontal, int percent)
{
    scene::SceneState& s = *m_scene;
    (horizontal ? m_horizontalPercent : m_verticalPercent) = percent;
    (horizontal ? s.Params.HorizontalAmplitude : s.Params.VerticalAmplitude) = percent / 100.0;
    scene::computeWaveSamples(s, s.Params.TimeStep, s.Params.PhaseStep);
    reproject();
    redrawOrDefer(false);
}

void SceneController::setPhaseShift(int degrees)
{
    scene::SceneState& s = *m_scene;
    scene::setPhaseShift(s, degrees);
    scene::computeWaveSamples(s, s.Params.TimeStep, s.Params.PhaseStep);
    reproject();
    redrawOrDefer(false);
}

void SceneController::setTime(int step, bool drawDirectly)
{
    moveTime(step);
    redrawOrDefer(drawDirectly);
}

void SceneController::moveTime(int step)
{
    scene::SceneState& s = *m_scene;
    s.Params.TimeStep = step;
    scene::computeWaveSamples(s, step, s.Params.PhaseStep);
    reproject();
}

void SceneController::startAnimation()
{
    if (m_scene->Params.TimeStep == TimeSteps) {
        setTime(0, false);
        if (onTimeStep) {
            onTimeStep(0);
        }
    }
    m_animationRunning = true;
    m_timerTime.start();
}

void SceneController::pauseAnimation()
{
    m_animationRunning = false;
    m_timerTime.stop();
}

void SceneController::rewind()
{
    pauseAnimation();
    moveTime(0);
    if (onTimeStep) {
        onTimeStep(0);
    }
    m_scene->DrawingInProgress = false;
    redraw();
}

void SceneController::TimerTimeOnTimer()
{
    const StepGuard step(m_stepDepth);
    const int next = scene::nextTimeStep(m_scene->Params.TimeStep, m_autoRepeat);
    if (next >= 0) {
        // While the time runs a step that meets a drawing is dropped; the next step draws.
        setTime(next, m_animationRunning);
        if (onTimeStep) {
            onTimeStep(next);
        }
    } else {
        // T was drawn by the previous step: stop one interval after it.
        pauseAnimation();
        notify(onAnimationStopped);
        m_scene->DrawingInProgress = false;
        redraw();
    }
    notify(onStep);
}

void SceneController::setRotating(bool on)
{
    if (on) {
        m_timerRotateAzimuth.start();
    } else {
        m_timerRotateAzimuth.stop();
    }
}

void SceneController::TimerRotateAzimuthOnTimer()
{
    const StepGuard step(m_stepDepth);
    const int next = scene::nextAzimuthStep(m_scene->Params.Azimuth);
    setAzimuth(next, rotating());
    if (onAzimuthStep) {
        onAzimuthStep(next);
    }
    QCoreApplication::processEvents();
    notify(onStep);
}

void SceneController::applyLook(const settings::TSettingsData& settings)
{
    scene::SceneState& s = *m_scene;
    m_settings = settings;
    const common::TAppSettings& app = settings.App;
    settings::applyLook(s, settings);
    settings::applyShown(s, app);
    m_autoRepeat = app.AutoRepeat;
    setTimerIntervals(app);
}

void SceneController::setTimerIntervals(const common::TAppSettings& app)
{
    m_timerTime.setInterval(std::max(1, app.AnimationTimeInterval));
    m_timerRotateAzimuth.setInterval(std::max(1, app.RotateAzimuthTimeInterval));
}

settings::TSettingsData SceneController::currentSettings() const
{
    const scene::SceneState& s = *m_scene;
    settings::TSettingsData settings = m_settings;
    common::TAppSettings& app = settings.App;
    settings::captureLook(s, settings);
    settings::captureShown(s, app);
    app.AutoRepeat = m_autoRepeat;
    app.AnimationTimeInterval = m_timerTime.interval();
    app.RotateAzimuthTimeInterval = m_timerRotateAzimuth.interval();
    settings.Scene.Azimuth = s.Params.Azimuth;
    settings.Scene.Elevation = s.Params.Elevation;
    settings.Scene.HorizontalAmplitude = m_horizontalPercent;
    settings.Scene.VerticalAmplitude = m_verticalPercent;
    settings.Scene.PhaseShift = s.Params.PhaseShift;
    settings.Scale = s.ScaleDenominator;
    return settings;
}

void SceneController::applySettings(const settings::TSettingsData& settings,
                                    settings::TSettingsChange change)
{
    using settings::TSettingsChange;
    scene::SceneState& s = *m_scene;
    const common::TAppSettings& app = settings.App;
    m_settings.App.Language = app.Language;
    m_settings.App.SaveSettings = app.SaveSettings;
    m_settings.App.HandednessConvention = app.HandednessConvention;
    m_settings.App.ShowCaptions = app.ShowCaptions;
    // The record stays what the timers do, for the commands that read it.
    m_settings.App.AutoRepeat = app.AutoRepeat;
    m_settings.App.AnimationTimeInterval = app.AnimationTimeInterval;
    m_settings.App.RotateAzimuthTimeInterval = app.RotateAzimuthTimeInterval;
    m_settings.Printer = settings.Printer;
    settings::applyLook(s, settings);
    s.ScreenWidth = app.ScreenWidth;
    m_autoRepeat = app.AutoRepeat;
    setTimerIntervals(app);
    switch (change) {
        case TSettingsChange::Look:
            scene::updateHiddenColors(s);
            redrawOrDefer(false);
            break;
        case TSettingsChange::Scale:
            redrawScene();
            break;
        case TSettingsChange::Geometry:
            rebuildGeometry();
            redrawScene();
            break;
        case TSettingsChange::All:
            // The closing dialog projects and draws once itself.
            scene::updateHiddenColors(s);
            rebuildGeometry();
            break;
        case TSettingsChange::Language:
        case TSettingsChange::Quiet:
            break;
    }
    if (onSettingsApplied) {
        onSettingsApplied(change);
    }
}

void SceneController::acceptSettings()
{
    scene::SceneState& s = *m_scene;
    s.ArrowHalfWidth = 0.25 * s.Proportions.ArrowLength;
    s.TwoWavelengths = 2.0 * s.Proportions.Wavelength;
}

void SceneController::rebuildGeometry()
{
    scene::SceneState& s = *m_scene;
    scene::buildModel(s);
    scene::setWaveAbscissae(s, s.Proportions.Wavelength);
    scene::buildResultantVector(s);
}

void SceneController::redrawScene()
{
    scene::SceneState& s = *m_scene;
    const bool deferred = s.DrawingInProgress;
    scene::rescaleAndRedraw(s);  // projects; the drawing itself does nothing during another
    if (deferred) {
        m_timerRedraw.start();
    }
}

bool SceneController::drawPagePreview(scene::Canvas& canvas, const scene::PageLayout& page,
                                      std::int32_t width, std::int32_t height)
{
    scene::SceneState& s = *m_scene;
    if (s.DrawingInProgress) {
        return false;
    }
    scene::drawPagePreview(s, page, width, height, canvas);
    // The preview leaves its own projection in the state; the main view's redraws that do not
    // project (colours, styles, the deferred redraw) must find the main view's again.
    scene::projectScene(s, s.DrawWidth, s.DrawHeight, s.PixelsPerUnit, 1.0);
    return true;
}

void SceneController::startScene()
{
    scene::SceneState& s = *m_scene;
    scene::buildModel(s);
    scene::buildCosTable(s);
    s.Params.TimeStep = 0;
    scene::setWaveAbscissae(s, s.Proportions.Wavelength);
    scene::computeWaveSamples(s, 0, s.Params.PhaseStep);
    scene::updateHiddenColors(s);
    scene::computeSceneCentre(s);
    s.DrawingInProgress = false;
    s.SceneReady = true;
}

void SceneController::setUpScale(const std::vector<std::int32_t>& scales, std::int32_t denominator)
{
    scene::SceneState& s = *m_scene;
    m_scales.assign(1, 1);  // slot 0 is never a step
    for (std::size_t k = 1; k < scales.size(); ++k) {
        m_scales.push_back(std::max<std::int32_t>(1, scales[k]));
    }
    const auto [low, high] = std::minmax_element(m_scales.begin(), m_scales.end());
    denominator = std::clamp(denominator, *low, *high);
    s.ScaleDenominator = denominator;
    m_scaleIndex = scene::nearestScaleStep(m_scales, denominator);
    scene::updateScreenScale(s);
    scene::updateLabelFontMetrics(s);
}

bool SceneController::zoomIn()
{
    if (m_scaleIndex <= 1) {
        return false;
    }
    takeScaleStep(m_scaleIndex - 1);
    return true;
}

bool SceneController::zoomOut()
{
    if (m_scaleIndex >= scaleCount()) {
        return false;
    }
    takeScaleStep(m_scaleIndex + 1);
    return true;
}

bool SceneController::setScaleIndex(int index)
{
    m_scaleIndex = index;
    if (scaleCount() < 1) {
        return false;
    }
    takeScaleStep(index);
    return true;
}

bool SceneController::fitToArea()
{
    scene::SceneState& s = *m_scene;
    if (scaleCount() < 1 || s.DrawWidth <= 0 || s.DrawHeight <= 0) {
        return false;
    }
    const std::int32_t before = s.ScaleDenominator;
    const int chosen = scene::fittingScaleStep(s, m_scales);
    const bool changed =
        m_scales[static_cast<std::size_t>(chosen)] != before || chosen != m_scaleIndex;
    takeScaleStep(chosen);  // applied and drawn, changed or not: the trials moved the projection
    return changed;
}

void SceneController::takeScaleStep(int index)
{
    m_scaleIndex = index;
    m_scene->ScaleDenominator = m_scales[static_cast<std::size_t>(index)];
    applyScale();
}

void SceneController::applyScale()
{
    scene::SceneState& s = *m_scene;
    s.ScaleFactor = 1.0 / s.ScaleDenominator;
    s.PixelsPerUnit = s.ScaleFactor * s.ScreenPixelsPerMetre;
    scene::updateLabelFontMetrics(s);
    reproject();
    redraw();
}

void SceneController::reproject()
{
    scene::SceneState& s = *m_scene;
    scene::projectScene(s, s.DrawWidth, s.DrawHeight, s.PixelsPerUnit, 1.0);
}

void SceneController::redraw()
{
    scene::SceneState& s = *m_scene;
    if (s.Host == nullptr) {
        return;
    }
    // A call during another drawing draws nothing; the step is taken before events can move it.
    const bool draws = s.SceneReady && !s.DrawingInProgress;
    const int step = s.Params.TimeStep;
    scene::drawScene(s, 0, 0, s.DrawWidth, s.DrawHeight, s.Host->screenCanvas(), 1.0);
    if (draws) {
        m_drawnTimeStep = step;
    }
    s.Host->screenCanvasDrawn();
}

void SceneController::redrawOrDefer(bool drawDirectly)
{
    if (m_scene->DrawingInProgress && !drawDirectly) {
        m_timerRedraw.start();
    } else {
        redraw();
    }
}

void SceneController::TimerRedrawOnTimer()
{
    if (m_scene->DrawingInProgress) {
        return;
    }
    redraw();
    m_timerRedraw.stop();
}

}  // namespace mainwindow
