// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/render.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <span>
#include <utility>
#include <vector>

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
    const std::int32_t d =
        roundToInt(static_cast<long double>(s.PixelsPerUnit) * f * s.Proportions.DotRadius);
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
    canvas.setFontPixelHeight(
        roundToInt(static_cast<long double>(s.PixelsPerUnit) * f * s.Proportions.AxisLabelHeight));
    if (s.Params.Azimuth < 0 && isBehindSurface(s, canvas, pix.PropagationLabelAnchorPix)) {
        canvas.setFontColor(s.HiddenTextColor);
    }
    canvas.textOut(pix.PropagationLabelBox.left, pix.PropagationLabelBox.top,
                   s.PropagationAxisLabel);
    canvas.setFontColor(textColor);
    canvas.textOut(pix.HorizontalLabelBox.left, pix.HorizontalLabelBox.top, s.HorizontalAxisLabel);
    canvas.textOut(pix.VerticalLabelBox.left, pix.VerticalLabelBox.top, s.VerticalAxisLabel);
}

// The state every drawing command depends on, from one canvas to another.
void copyState(const Canvas& from, Canvas& to)
{
    to.setPenColor(from.pen().color);
    to.setPenStyle(from.pen().style);
    to.setPenWidth(from.pen().width);
    to.setFillColor(from.fill().color);
    to.setFillSolid(from.fill().solid);
    to.setFontName(from.font().name);
    to.setFontColor(from.font().color);
    to.setFontBold(from.font().bold);
    to.setFontPixelHeight(from.font().pixelHeight);
}

enum class ScriptOp : std::int32_t {
    FillRect,
    Polygon,
    Polyline,
    MoveTo,
    LineTo,
    Ellipse,
    SetClip,
    RestoreClip
};

// Writes down the drawing commands it is given, each with the pen and fill it is drawn with,
// and draws nothing: the script both names a layer and draws it. Text and reading back are not
// scripted; a part that needs them is drawn as usual.
class ScriptCanvas final : public Canvas {
public:
    ScriptCanvas(std::vector<std::int32_t>& script, const Canvas& start) : m_script(script)
    {
        m_script.clear();
        copyState(start, *this);
    }
    bool complete() const { return m_complete; }

    void fillRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override
    {
        command(ScriptOp::FillRect);
        put({x1, y1, x2, y2});
    }
    void polygon(const PixelPoint* points, std::int32_t count) override
    {
        command(ScriptOp::Polygon);
        putPoints(points, count);
    }
    void polyline(const PixelPoint* points, std::int32_t count) override
    {
        command(ScriptOp::Polyline);
        putPoints(points, count);
    }
    void moveTo(PixelPoint p) override
    {
        m_script.push_back(static_cast<std::int32_t>(ScriptOp::MoveTo));
        put({p.x, p.y});
    }
    void lineTo(PixelPoint p) override
    {
        command(ScriptOp::LineTo);
        put({p.x, p.y});
    }
    void ellipse(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override
    {
        command(ScriptOp::Ellipse);
        put({x1, y1, x2, y2});
    }
    void setClip(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override
    {
        m_script.push_back(static_cast<std::int32_t>(ScriptOp::SetClip));
        put({x1, y1, x2, y2});
    }
    void restoreClip() override
    {
        m_script.push_back(static_cast<std::int32_t>(ScriptOp::RestoreClip));
    }
    void textOut(std::int32_t, std::int32_t, std::string_view) override { m_complete = false; }
    std::int32_t textWidth(std::string_view) override
    {
        m_complete = false;
        return 0;
    }
    std::int32_t textHeight(std::string_view) override
    {
        m_complete = false;
        return 0;
    }
    TColor readPixel(std::int32_t, std::int32_t) override
    {
        m_complete = false;
        return common::NoColor;
    }

private:
    void put(std::initializer_list<std::int32_t> values)
    {
        m_script.insert(m_script.end(), values.begin(), values.end());
    }
    // A drawing command with the state it is drawn in.
    void command(ScriptOp op)
    {
        put({static_cast<std::int32_t>(op), static_cast<std::int32_t>(pen().color),
             static_cast<std::int32_t>(pen().style), pen().width,
             static_cast<std::int32_t>(fill().color), fill().solid ? 1 : 0});
    }
    void putPoints(const PixelPoint* points, std::int32_t count)
    {
        m_script.push_back(count);
        for (std::int32_t i = 0; i < count; ++i) {
            put({points[i].x, points[i].y});
        }
    }

    std::vector<std::int32_t>& m_script;
    bool m_complete = true;
};

// Draws a script on a canvas; with drawing false only what sets the canvas's state (the clip,
// the current point) is carried out, as after its picture has been put back.
void playScript(std::span<const std::int32_t> script, Canvas& canvas, bool drawing,
                std::vector<PixelPoint>& points)
{
    std::size_t at = 0;
    const auto next = [&script, &at] { return script[at++]; };
    const auto state = [&canvas, &next, drawing] {
        const auto color = static_cast<TColor>(next());
        const auto style = static_cast<TPenStyle>(next());
        const std::int32_t width = next();
        const auto fillColor = static_cast<TColor>(next());
        const bool solid = next() != 0;
        if (drawing) {
            canvas.setPenColor(color);
            canvas.setPenStyle(style);
            canvas.setPenWidth(width);
            canvas.setFillColor(fillColor);
            canvas.setFillSolid(solid);
        }
    };
    const auto readPoints = [&points, &next] {
        const std::int32_t count = next();
        points.resize(static_cast<std::size_t>(count));
        for (PixelPoint& p : points) {
            p.x = next();
            p.y = next();
        }
    };
    while (at < script.size()) {
        switch (static_cast<ScriptOp>(next())) {
            case ScriptOp::FillRect:
            case ScriptOp::Ellipse: {
                const bool rect = static_cast<ScriptOp>(script[at - 1]) == ScriptOp::FillRect;
                state();
                const std::int32_t x1 = next();
                const std::int32_t y1 = next();
                const std::int32_t x2 = next();
                const std::int32_t y2 = next();
                if (drawing) {
                    rect ? canvas.fillRect(x1, y1, x2, y2) : canvas.ellipse(x1, y1, x2, y2);
                }
                break;
            }
            case ScriptOp::Polygon:
            case ScriptOp::Polyline: {
                const bool closed = static_cast<ScriptOp>(script[at - 1]) == ScriptOp::Polygon;
                state();
                readPoints();
                if (drawing) {
                    const auto count = static_cast<std::int32_t>(points.size());
                    closed ? canvas.polygon(points.data(), count)
                           : canvas.polyline(points.data(), count);
                }
                break;
            }
            case ScriptOp::MoveTo: {
                const std::int32_t x = next();
                canvas.moveTo({x, next()});
                break;
            }
            case ScriptOp::LineTo: {
                state();
                const std::int32_t x = next();
                const PixelPoint p{x, next()};
                drawing ? canvas.lineTo(p) : canvas.moveTo(p);
                break;
            }
            case ScriptOp::SetClip: {
                const std::int32_t x1 = next();
                const std::int32_t y1 = next();
                const std::int32_t x2 = next();
                canvas.setClip(x1, y1, x2, next());
                break;
            }
            case ScriptOp::RestoreClip:
                canvas.restoreClip();
                break;
        }
    }
}

// The background and what does not move while the time runs: the surface, the ellipse (its
// points are the same at every time step) and the axes. It leaves the drawing clipped.
void drawFixedParts(SceneState& s, Canvas& canvas, const LineWidths& widths, std::int32_t left,
                    std::int32_t top, std::int32_t right, std::int32_t bottom)
{
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
}

// The fixed parts through a layer of the canvas: scripted first, then put back where the same
// script was drawn before, else drawn; a layer is kept once a script repeats, which is when the
// time runs, and not while every drawing differs, as when the view turns.
void drawFixedPartsThroughLayer(SceneState& s, Canvas& canvas, const LineWidths& widths,
                                std::int32_t left, std::int32_t top, std::int32_t right,
                                std::int32_t bottom)
{
    ScriptCanvas script(s.LayerScript, canvas);
    drawFixedParts(s, script, widths, left, top, right, bottom);
    const std::span<const std::int32_t> commands(s.LayerScript);
    const std::span<const std::byte> key = std::as_bytes(commands);
    if (!script.complete()) {
        s.LastLayerScript.clear();
        drawFixedParts(s, canvas, widths, left, top, right, bottom);
        return;
    }
    if (canvas.restoreLayer(key)) {
        playScript(commands, canvas, false, s.LayerPoints);
    } else {
        playScript(commands, canvas, true, s.LayerPoints);
        if (s.LayerScript == s.LastLayerScript) {
            canvas.keepLayer(key);
        }
    }
    copyState(script, canvas);
    std::swap(s.LayerScript, s.LastLayerScript);
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

    if (canvas.keepsLayers()) {
        drawFixedPartsThroughLayer(s, canvas, widths, left, top, right, bottom);
    } else {
        drawFixedParts(s, canvas, widths, left, top, right, bottom);
    }

    const TProportions& p = s.Proportions;
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
