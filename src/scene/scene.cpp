// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/scene.h"

#include "common/colors.h"
#include "common/numbers.h"
#include "scene/geometry.h"
#include "scene/projection.h"
#include "scene/render.h"

namespace scene {

TSceneStyles defaultStyles()
{
    using common::rgb;
    TSceneStyles styles{};
    const auto set = [&styles](TSceneObject object, TColor color, bool bold, TPenStyle pen) {
        styles[static_cast<std::size_t>(object)] = {color, bold, pen};
    };
    set(TSceneObject::Background, rgb(255, 255, 255), false, TPenStyle::Solid);
    set(TSceneObject::Text, 0, true, TPenStyle::Solid);
    set(TSceneObject::CoordinateSystem, 0, false, TPenStyle::Solid);
    set(TSceneObject::ReferenceSurface, rgb(240, 240, 240), false, TPenStyle::Solid);
    set(TSceneObject::HorizontalWave, rgb(0, 0, 255), true, TPenStyle::Solid);
    set(TSceneObject::VerticalWave, rgb(255, 0, 0), true, TPenStyle::Solid);
    set(TSceneObject::ResultantWave, 0, false, TPenStyle::Solid);
    set(TSceneObject::ResultantVector, rgb(128, 0, 255), true, TPenStyle::Solid);
    set(TSceneObject::ResultantVectorEllipse, 0, false, TPenStyle::Dot);
    return styles;
}

void setAzimuth(SceneState& s, std::int32_t degrees)
{
    s.Params.Azimuth = degrees;
    s.Params.AzimuthRad = common::degreesToRadians(degrees);
}

void setElevation(SceneState& s, std::int32_t degrees)
{
    s.Params.Elevation = degrees;
    s.Params.ElevationRad = common::degreesToRadians(degrees);
}

void setPhaseShift(SceneState& s, std::int32_t degrees)
{
    s.Params.PhaseShift = degrees;
    s.Params.PhaseStep = degrees * StepsPerPeriod / 360;  // truncates toward zero
}

void setScaleDenominator(SceneState& s, std::int32_t denominator)
{
    s.ScaleDenominator = denominator < 1 ? 1 : denominator;
    updateScreenScale(s);
}

void updateScreenScale(SceneState& s)
{
    s.ScaleFactor = 1.0 / s.ScaleDenominator;
    s.ScreenPixelsPerMetre = s.DesktopWidthPixels / s.ScreenWidth;
    s.PixelsPerUnit = s.ScaleFactor * s.ScreenPixelsPerMetre;
}

void updateHiddenColors(SceneState& s)
{
    const TColor surface = s.style(TSceneObject::ReferenceSurface).Color;
    s.HiddenAxisColor = common::mixColors(50, surface, s.style(TSceneObject::CoordinateSystem).Color);
    s.HiddenTextColor = common::mixColors(50, surface, s.style(TSceneObject::Text).Color);
}

void updateLabelFontMetrics(SceneState& s)
{
    if (s.Host == nullptr) {
        return;
    }
    Canvas& screen = s.Host->screenCanvas();
    screen.setFontName(s.ScreenFontName);
    screen.setFontBold(s.style(TSceneObject::Text).Bold);
    screen.setFontPixelHeight(common::roundToInt(static_cast<long double>(s.PixelsPerUnit) *
                                                 s.Proportions.AxisLabelHeight));
    s.LabelCharWidth = screen.textWidth("X");
    s.LabelCharHeight = screen.textHeight("X");
    s.LabelHalfCharWidth = s.LabelCharWidth / 2;
    s.LabelHalfCharHeight = s.LabelCharHeight / 2;
}

void startScene(SceneState& s)
{
    updateScreenScale(s);
    updateLabelFontMetrics(s);
    buildModel(s);
    buildCosTable(s);
    s.Params.TimeStep = 0;
    setWaveAbscissae(s, s.Proportions.Wavelength);
    computeWaveSamples(s, 0, s.Params.PhaseStep);
    updateHiddenColors(s);
    computeSceneCentre(s);
    setAzimuth(s, s.Params.Azimuth);
    setElevation(s, s.Params.Elevation);
    s.DrawingInProgress = false;
    s.SceneReady = true;
    updateViewMatrix(s);
    projectScene(s, s.DrawWidth, s.DrawHeight, s.PixelsPerUnit, 1.0);
    if (s.Host != nullptr) {
        drawScene(s, 0, 0, s.DrawWidth, s.DrawHeight, s.Host->screenCanvas(), 1.0);
        s.Host->screenCanvasDrawn();
    }
}

}  // namespace scene
