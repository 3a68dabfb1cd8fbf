// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/render.h"

#include <algorithm>
#include <cmath>

#include "common/numbers.h"

namespace scene {

using common::roundToInt;

namespace {

struct LineWidths {
    std::int32_t thin = 1;
    std::int32_t bold = 2;
};

// Bold lines are twice as wide; thin non-solid lines stay one pixel so their pattern shows.
void setLineWidth(Canvas& canvas, const LineWidths& widths, bool bold)
{
    if (bold) {
        canvas.setPenWidth(widths.bold);
    } else if (canvas.pen().style == TPenStyle::Solid) {
        canvas.setPenWidth(widths.thin);
    } else {
        canvas.setPenWidth(1);
    }
}

void setPen(Canvas& canvas, const LineWidths& widths, const TObjectStyle& style, TColor color)
{
    canvas.setPenColor(color);
    canvas.setPenStyle(style.PenStyle);
    setLineWidth(canvas, widths, style.Bold);
}

template <std::size_t N>
void polygon(Canvas& canvas, const std::array<PixelPoint, N>& points)
{
    canvas.polygon(points.data(), static_cast<std::int32_t>(N));
}

template <std::size_t N>
void polyline(Canvas& canvas, const std::array<PixelPoint, N>& points)
{
    canvas.polyline(points.data(), static_cast<std::int32_t>(N));
}

void dot(Canvas& canvas, PixelPoint c, std::int32_t d)
{
    using common::addSaturated;
    canvas.ellipse(addSaturated(c.x, -static_cast<std::int64_t>(d)),
                   addSaturated(c.y, -static_cast<std::int64_t>(d)),
                   addSaturated(c.x, static_cast<std::int64_t>(d) + 1),
                   addSaturated(c.y, static_cast<std::int64_t>(d) + 1));
}

void drawAxes(SceneState& s, Canvas& canvas, const LineWidths& widths)
{
    const SceneProjection& pix = s.Pix;
    const TColor axisColor = s.style(TSceneObject::CoordinateSystem).Color;
    setPen(canvas, widths, s.style(TSceneObject::CoordinateSystem), axisColor);
    if (s.Proportions.Wavelength > 0.0) {
        // One path from the back end to the front end; the stretch between the origin and the
        // exit point lies behind the surface.
        const PixelPoint o = pix.HiddenAxisSegment[0];
        const PixelPoint e = pix.HiddenAxisSegment[1];
        const bool seenFromFront = s.Params.Azimuth > 0;
        canvas.moveTo(pix.PropagationAxisPix[0]);
        canvas.lineTo(seenFromFront ? e : o);
        canvas.setPenColor(s.HiddenAxisColor);
        canvas.lineTo(seenFromFront ? o : e);
        canvas.setPenColor(axisColor);
        canvas.lineTo(pix.PropagationAxisPix[1]);
    }
    if (s.Proportions.AxisHalfLength > 0.0) {
        canvas.moveTo(pix.HorizontalAxisPix[0]);
        canvas.lineTo(pix.HorizontalAxisPix[1]);
        canvas.moveTo(pix.VerticalAxisPix[0]);
        canvas.lineTo(pix.VerticalAxisPix[1]);
    }
}

void drawAxisArrowheads(SceneState& s, Canvas& canvas)
{
    const TColor axisColor = s.style(TSceneObject::CoordinateSystem).Color;
    canvas.setFillColor(axisColor);
    canvas.setPenStyle(TPenStyle::Solid);
    canvas.setPenWidth(1);
    if (s.Params.Azimuth < 0 && isBehindSurface(s, canvas, s.Pix.PropagationArrowPix[0])) {
        canvas.setPenColor(s.HiddenAxisColor);
        canvas.setFillColor(s.HiddenAxisColor);
    }
    polygon(canvas, s.Pix.PropagationArrowPix);
    canvas.setFillColor(axisColor);
    canvas.setPenColor(axisColor);
    polygon(canvas, s.Pix.HorizontalAxisArrowPix);
    polygon(canvas, s.Pix.VerticalAxisArrowPix);
}

void drawWavesAndVector(SceneState& s, Canvas& canvas, const LineWidths& widths)
{
    const SceneProjection& pix = s.Pix;
    const double aH = s.Params.HorizontalAmplitude;
    const double aV = s.Params.VerticalAmplitude;
    const bool anyAmplitude = aH > 0.0 || aV > 0.0;
    const bool bothAmplitudes = aH > 0.0 && aV > 0.0;
    if (anyAmplitude) {
        canvas.setFillColor(s.style(TSceneObject::Background).Color);
    }
    if (s.ShowHorizontalWave && anyAmplitude) {
        const TObjectStyle& style = s.style(TSceneObject::HorizontalWave);
        setPen(canvas, widths, style, style.Color);
        polyline(canvas, pix.HorizontalWavePix);
    }
    if (s.ShowVerticalWave && anyAmplitude) {
        // Unlike the other lines, a non-solid vertical wave keeps the device's thin width.
        const TObjectStyle& style = s.style(TSceneObject::VerticalWave);
        canvas.setPenWidth(style.Bold ? widths.bold : widths.thin);
        canvas.setPenStyle(style.PenStyle);
        canvas.setPenColor(style.Color);
        polyline(canvas, pix.VerticalWavePix);
    }
    if (s.ShowResultantWave && bothAmplitudes) {
        const TObjectStyle& style = s.style(TSceneObject::ResultantWave);
        setPen(canvas, widths, style, style.Color);
        polyline(canvas, pix.ResultantWavePix);
    }
    const ModelPoint& tip = s.Model.ResultantVector[1];
    if (s.ShowResultantVector && (std::fabs(tip.Y) > 1e-9 || std::fabs(tip.Z) > 1e-9)) {
        const TObjectStyle& style = s.style(TSceneObject::ResultantVector);
        setPen(canvas, widths, style, style.Color);
        canvas.moveTo(pix.ResultantVectorPix[0]);
        canvas.lineTo(pix.ResultantVectorPix[1]);
        if (s.Proportions.ArrowLength > 0.0) {
            canvas.setFillColor(style.Color);
            canvas.setPenStyle(TPenStyle::Solid);
            canvas.setPenWidth(1);
            polygon(canvas, pix.ResultantVectorArrowPix);
        }
    }
}

void drawDots(SceneState& s, Canvas& canvas, double f)
{
    const std::int32_t d = roundToInt(static_cast<long double>(s.PixelsPerUnit) * f *
                                      s.Proportions.DotRadius);
    if (d <= 0) {
        return;
    }
    const TColor color = s.style(TSceneObject::ResultantVectorEllipse).Color;
    canvas.setFillColor(color);
    canvas.setPenColor(color);
    const double aH = s.Params.HorizontalAmplitude;
    const double aV = s.Params.VerticalAmplitude;
    if (s.ShowHorizontalWave && aH > 0.0) {
        dot(canvas, s.Pix.HorizontalWavePix[ObservationSample], d);
    }
    if (s.ShowVerticalWave && aV > 0.0) {
        dot(canvas, s.Pix.VerticalWavePix[ObservationSample], d);
    }
    if (s.ShowResultantWave && aH > 0.0 && aV > 0.0) {
        dot(canvas, s.Pix.ResultantVectorPix[1], d);
    }
}

void drawLabels(SceneState& s, Canvas& canvas, double f)
{
    const SceneProjection& pix = s.Pix;
    const TColor textColor = s.style(TSceneObject::Text).Color;
    canvas.setFillSolid(false);
    canvas.setFontName(s.ScreenFontName);
    canvas.setFontColor(textColor);
    canvas.setFontBold(s.style(TSceneObject::Text).Bold);
    canvas.setFontPixelHeight(roundToInt(static_cast<long double>(s.PixelsPerUnit) * f *
                                         s.Proportions.AxisLabelHeight));
    if (s.Params.Azimuth < 0 && isBehindSurface(s, canvas, pix.PropagationLabelAnchorPix)) {
        canvas.setFontColor(s.HiddenTextColor);
    }
    canvas.textOut(pix.PropagationLabelBox.left, pix.PropagationLabelBox.top,
                   s.PropagationAxisLabel);
    canvas.setFontColor(textColor);
    canvas.textOut(pix.HorizontalLabelBox.left, pix.HorizontalLabelBox.top, s.HorizontalAxisLabel);
    canvas.textOut(pix.VerticalLabelBox.left, pix.VerticalLabelBox.top, s.VerticalAxisLabel);
}

}  // namespace

bool isBehindSurface(const SceneState& s, Canvas& canvas, PixelPoint p)
{
    if (canvas.readPixel(p.x, p.y) == s.style(TSceneObject::ReferenceSurface).Color) {
        return true;
    }
    const auto& q = s.Pix.ReferenceRectPix;
    return std::min(q[0].x, q[1].x) < p.x && p.x < std::max(q[0].x, q[1].x) &&
           std::max(q[0].y, q[1].y) < p.y && p.y < std::min(q[2].y, q[3].y);
}

void drawScene(SceneState& s, std::int32_t left, std::int32_t top, std::int32_t width,
               std::int32_t height, Canvas& canvas, double deviceFactor)
{
    if (s.DrawingInProgress || !s.SceneReady) {
        return;
    }
    s.DrawingInProgress = true;

    const LineWidths widths{roundToInt(deviceFactor), roundToInt(deviceFactor * 2.0L)};
    const std::int32_t right = common::saturate32(static_cast<std::int64_t>(left) + width + 1);
    const std::int32_t bottom = common::saturate32(static_cast<std::int64_t>(top) + height + 1);

    canvas.setFillColor(s.style(TSceneObject::Background).Color);
    canvas.setFillSolid(true);
    canvas.setPenStyle(TPenStyle::Clear);
    canvas.setPenWidth(1);
    canvas.fillRect(left, top, right, bottom);
    canvas.setClip(left, top, right, bottom);

    const TProportions& p = s.Proportions;
    if (p.ReferenceRectHalfWidth > 0.0) {
        canvas.setFillColor(s.style(TSceneObject::ReferenceSurface).Color);
        const TObjectStyle& outline = s.style(TSceneObject::ReferenceSurface);
        setPen(canvas, widths, outline, s.style(TSceneObject::CoordinateSystem).Color);
        polygon(canvas, s.Pix.ReferenceRectPix);
    }
    if (s.ShowResultantWave && s.Params.HorizontalAmplitude > 0.0 &&
        s.Params.VerticalAmplitude > 0.0) {
        const TObjectStyle& style = s.style(TSceneObject::ResultantVectorEllipse);
        setPen(canvas, widths, style, style.Color);
        polyline(canvas, s.Pix.EllipsePix);
    }
    if (p.AxisHalfLength > 0.0 || p.Wavelength > 0.0) {
        drawAxes(s, canvas, widths);
    }
    // Keyed to the label height on purpose: the arrowheads and the labels come and go together.
    if (p.AxisLabelHeight > 0.0 && p.AxisHalfLength > 0.0) {
        drawAxisArrowheads(s, canvas);
    }
    if (p.Wavelength > 0.0) {
        drawWavesAndVector(s, canvas, widths);
    }
    drawDots(s, canvas, deviceFactor);
    if (p.AxisLabelHeight > 0.0) {
        drawLabels(s, canvas, deviceFactor);
    }
    canvas.restoreClip();

    if (s.Host != nullptr) {
        s.Host->processPendingEvents();
    }
    s.DrawingInProgress = false;
}

}  // namespace scene
