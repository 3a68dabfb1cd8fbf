// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/extent.h"

#include <algorithm>

#include "common/numbers.h"
#include "scene/projection.h"
#include "scene/render.h"

namespace scene {

using common::addSaturated;
using common::roundToInt;
using common::saturate32;

namespace {

struct Bounds {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;

    void include(PixelPoint p)
    {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    template <std::size_t N>
    void include(const std::array<PixelPoint, N>& points)
    {
        for (const PixelPoint& p : points) {
            include(p);
        }
    }
};

std::int32_t span(std::int32_t low, std::int32_t high)
{
    return saturate32(static_cast<std::int64_t>(high) - low + 1);
}

void shift(PixelPoint& p, std::int32_t dx, std::int32_t dy)
{
    p.x = addSaturated(p.x, dx);
    p.y = addSaturated(p.y, dy);
}

template <std::size_t N>
void shift(std::array<PixelPoint, N>& points, std::int32_t dx, std::int32_t dy)
{
    for (PixelPoint& p : points) {
        shift(p, dx, dy);
    }
}

void shift(LabelBox& box, std::int32_t dx, std::int32_t dy)
{
    box.left = addSaturated(box.left, dx);
    box.right = addSaturated(box.right, dx);
    box.top = addSaturated(box.top, dy);
    box.bottom = addSaturated(box.bottom, dy);
}

}  // namespace

Extent computeDrawingExtent(const SceneState& s)
{
    const SceneProjection& pix = s.Pix;
    // The vertical label counts with its height only: it is centred on its axis.
    Bounds b{std::min(pix.PropagationLabelBox.left, pix.HorizontalLabelBox.left),
             std::min({pix.PropagationLabelBox.top, pix.HorizontalLabelBox.top,
                       pix.VerticalLabelBox.top}),
             std::max(pix.PropagationLabelBox.right, pix.HorizontalLabelBox.right),
             std::max({pix.PropagationLabelBox.bottom, pix.HorizontalLabelBox.bottom,
                       pix.VerticalLabelBox.bottom})};
    b.include(pix.ReferenceRectPix);
    b.include(pix.PropagationAxisPix);
    b.include(pix.HorizontalAxisPix);
    b.include(pix.VerticalAxisPix);
    b.include(pix.PropagationArrowPix);
    b.include(pix.HorizontalAxisArrowPix);
    b.include(pix.VerticalAxisArrowPix);
    if (s.ShowHorizontalWave) {
        b.include(pix.HorizontalWavePix);
    }
    if (s.ShowVerticalWave) {
        b.include(pix.VerticalWavePix);
    }
    if (s.ShowResultantWave) {
        b.include(pix.ResultantWavePix);
        b.include(pix.EllipsePix);
    }
    if (s.ShowResultantVector) {
        b.include(pix.ResultantVectorPix);
        b.include(pix.ResultantVectorArrowPix);
    }

    const long double margin = s.Proportions.GraphicMarginFactor;
    const std::int32_t mx = roundToInt(span(b.left, b.right) * margin);
    const std::int32_t my = roundToInt(span(b.top, b.bottom) * margin);
    Extent e;
    e.left = addSaturated(b.left, -static_cast<std::int64_t>(mx));
    e.right = addSaturated(b.right, mx);
    e.top = addSaturated(b.top, -static_cast<std::int64_t>(my));
    e.bottom = addSaturated(b.bottom, my);
    e.width = span(e.left, e.right);
    e.height = span(e.top, e.bottom);
    return e;
}

void translateScene(SceneState& s, std::int32_t dx, std::int32_t dy)
{
    SceneProjection& pix = s.Pix;
    shift(pix.ReferenceRectPix, dx, dy);
    shift(pix.PropagationAxisPix, dx, dy);
    shift(pix.HiddenAxisSegment, dx, dy);
    shift(pix.HorizontalAxisPix, dx, dy);
    shift(pix.VerticalAxisPix, dx, dy);
    shift(pix.PropagationLabelAnchorPix, dx, dy);
    shift(pix.HorizontalLabelAnchorPix, dx, dy);
    shift(pix.VerticalLabelAnchorPix, dx, dy);
    shift(pix.PropagationArrowPix, dx, dy);
    shift(pix.HorizontalAxisArrowPix, dx, dy);
    shift(pix.VerticalAxisArrowPix, dx, dy);
    shift(pix.HorizontalWavePix, dx, dy);
    shift(pix.VerticalWavePix, dx, dy);
    shift(pix.ResultantWavePix, dx, dy);
    shift(pix.EllipsePix, dx, dy);
    shift(pix.ResultantVectorPix, dx, dy);
    shift(pix.ResultantVectorArrowPix, dx, dy);
    shift(pix.PropagationLabelBox, dx, dy);
    shift(pix.HorizontalLabelBox, dx, dy);
    shift(pix.VerticalLabelBox, dx, dy);
}

void rescaleAndRedraw(SceneState& s)
{
    updateScreenScale(s);
    updateLabelFontMetrics(s);
    projectScene(s, s.DrawWidth, s.DrawHeight, s.PixelsPerUnit, 1.0);
    if (s.Host != nullptr) {
        drawScene(s, 0, 0, s.DrawWidth, s.DrawHeight, s.Host->screenCanvas(), 1.0);
        s.Host->screenCanvasDrawn();
    }
}

void drawPagePreview(SceneState& s, const PageLayout& page, std::int32_t w, std::int32_t h,
                     Canvas& canvas)
{
    updateScreenScale(s);
    updateLabelFontMetrics(s);

    canvas.setFillColor(common::rgb(255, 255, 255));
    canvas.setFillSolid(true);
    canvas.setPenStyle(TPenStyle::Clear);
    canvas.setPenWidth(1);
    if (page.pageWidthMm <= 0 || page.pageHeightMm <= 0 || s.ScreenPixelsPerMetre <= 0.0) {
        // No paper to scale to: show a blank page rather than divide by zero.
        canvas.fillRect(0, 0, addSaturated(w, 1), addSaturated(h, 1));
        return;
    }

    const long double metresPerMm = 0.001L;
    const double f = page.orientation == 0
        ? static_cast<double>(h / (page.pageHeightMm * static_cast<long double>(s.ScreenPixelsPerMetre) * metresPerMm))
        : static_cast<double>(w / (page.pageWidthMm * static_cast<long double>(s.ScreenPixelsPerMetre) * metresPerMm));

    const auto scaled = [](std::int32_t mm, std::int32_t pageMm, std::int32_t pixels) {
        return roundToInt(static_cast<long double>(mm) / pageMm * pixels);
    };
    const std::int32_t ml = scaled(page.marginLeftMm, page.pageWidthMm, w);
    const std::int32_t mr = scaled(page.marginRightMm, page.pageWidthMm, w);
    const std::int32_t mt = scaled(page.marginTopMm, page.pageHeightMm, h);
    const std::int32_t mb = scaled(page.marginBottomMm, page.pageHeightMm, h);
    const std::int32_t iw = saturate32(static_cast<std::int64_t>(w) - (static_cast<std::int64_t>(ml) + mr));
    const std::int32_t ih = saturate32(static_cast<std::int64_t>(h) - (static_cast<std::int64_t>(mt) + mb));

    projectScene(s, iw, ih, s.PixelsPerUnit, f);
    translateScene(s, ml, mt);

    const std::int32_t right = addSaturated(w, 1);
    const std::int32_t bottom = addSaturated(h, 1);
    const std::int32_t innerBottom = saturate32(static_cast<std::int64_t>(h) - mb + 1);
    canvas.fillRect(0, 0, right, addSaturated(mt, 1));
    canvas.fillRect(0, mt, addSaturated(ml, 1), innerBottom);
    canvas.fillRect(saturate32(static_cast<std::int64_t>(w) - mr), mt, right, innerBottom);
    canvas.fillRect(0, saturate32(static_cast<std::int64_t>(h) - mb), right, bottom);

    drawScene(s, ml, mt, iw, ih, canvas, f);
}

}  // namespace scene
