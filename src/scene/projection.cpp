// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/projection.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cfloat>
#include <cstdlib>

#include "common/numbers.h"
#if LDBL_MANT_DIG != 64
#include "common/extended80.h"
#endif

namespace scene {

using common::roundToInt;
using common::saturate32;

namespace {

// Two points at a time, both screen coordinates of each: lanes 0 and 2 are row H, 1 and 3 row V.
// Written for four lanes, so that processors with AVX2 take two points per instruction; the
// other build of the same code takes them in halves.
using Lanes = double __attribute__((vector_size(32)));
using Bits = long long __attribute__((vector_size(32)));
using IntLanes = std::int32_t __attribute__((vector_size(16)));

// (row . d) * scale rounded half to even in double precision, for both rows. The double result
// lies within 2^-51 * sum|terms| * scale of the exact value (the scale's own rounding to double
// included), so unless it is that close to a half both precisions round alike. The rare points
// that close to a half, near the 32-bit limits or NaN take the extended route instead.
// Extended precision on x87 costs several times as much per point.
#if defined(__x86_64__)
#define ONDULIX_AVX2_CLONE __attribute__((target_clones("avx2", "default")))
#else
#define ONDULIX_AVX2_CLONE
#endif
ONDULIX_AVX2_CLONE void projectPoints(const ModelPoint* model, PixelPoint* pix, std::size_t count,
                                      const ProjectionContext& c)
{
    const double sc = static_cast<double>(c.scale);
    const Lanes scale = {sc, sc, sc, sc};
    // A power of two: the bound is the same as scaling by it after the scale.
    const Lanes boundScale = scale * 0x1p-48;
    const Lanes row0 = {c.rowH[0], c.rowV[0], c.rowH[0], c.rowV[0]};
    const Lanes row1 = {c.rowH[1], c.rowV[1], c.rowH[1], c.rowV[1]};
    const Lanes row2 = {c.rowH[2], c.rowV[2], c.rowH[2], c.rowV[2]};
    const double m = 6755399441055744.0;  // 1.5 * 2^52
    const Lanes magic = {m, m, m, m};
    const double cx = c.cx;
    const double cy = c.cy;
    const Lanes centre = {cx, cy, cx, cy};
    const Lanes orientation = {1.0, -1.0, 1.0, -1.0};
    const long long n = 0x7FFFFFFFFFFFFFFFLL;
    const Bits noSign = {n, n, n, n};
#define ONDULIX_ABS(x) ((Lanes)((Bits)(x)&noSign))
    for (std::size_t i = 0; i < count; i += 2) {
        // An odd last point is taken twice and stored once.
        const ModelPoint& a = model[i];
        const ModelPoint& b = model[i + 1 < count ? i + 1 : i];
        const double ax = a.X - c.centre.X;
        const double ay = a.Y - c.centre.Y;
        const double az = a.Z - c.centre.Z;
        const double bx = b.X - c.centre.X;
        const double by = b.Y - c.centre.Y;
        const double bz = b.Z - c.centre.Z;
        const Lanes t0 = row0 * Lanes{ax, ax, bx, bx};
        const Lanes t1 = row1 * Lanes{ay, ay, by, by};
        const Lanes t2 = row2 * Lanes{az, az, bz, bz};
        const Lanes value = (t0 + t1 + t2) * scale;
        const Lanes rounded = (value + magic) - magic;
        const Lanes bound = (ONDULIX_ABS(t0) + ONDULIX_ABS(t1) + ONDULIX_ABS(t2)) * boundScale;
        const Lanes fraction = ONDULIX_ABS(value - rounded);
        // Doubtful where the fraction is within the bound of a half, or the value is too large
        // or NaN (the comparison is then false).
        const Bits fine =
            (ONDULIX_ABS(fraction - 0.5) > bound) & (ONDULIX_ABS(value) < 1073741824.0);
        // Both offsets are below 2^30 and so are the centre's coordinates (half a 32-bit size):
        // the sums fit without saturating.
        const Lanes placed = centre + rounded * orientation;
        const IntLanes pixel = __builtin_convertvector(placed, IntLanes);
        if ((fine[0] & fine[1]) != 0) {
            pix[i] = {pixel[0], pixel[1]};
        } else {
            pix[i] = projectPointExtended(a, c);
        }
        if (i + 1 < count) {
            if ((fine[2] & fine[3]) != 0) {
                pix[i + 1] = {pixel[2], pixel[3]};
            } else {
                pix[i + 1] = projectPointExtended(b, c);
            }
        }
    }
#undef ONDULIX_ABS
}

constexpr long double Pi = 3.141592653589793238462643383279502884L;

template <std::size_t N>
void projectAll(const std::array<ModelPoint, N>& model, std::array<PixelPoint, N>& pix,
                const ProjectionContext& context)
{
    projectPoints(model.data(), pix.data(), N, context);
}

// Where the propagation axis, seen from the observer, leaves the projected reference surface on
// its far side. It lies on the line from the origin O toward the far end B of the axis.
PixelPoint exitPoint(const SceneState& s)
{
    const SceneProjection& pix = s.Pix;
    const std::int32_t azimuth = s.Params.Azimuth;
    const std::int32_t elevation = s.Params.Elevation;
    const PixelPoint o = pix.OriginPix;
    if (azimuth == -180 || azimuth == 0 || azimuth == 180 || elevation == -90 || elevation == 90) {
        return o;
    }
    const auto& q = pix.ReferenceRectPix;  // q[0], q[1] upper; q[0], q[3] at Y = -R
    // Seen from -X the front half is the far one, from +X the back half.
    const PixelPoint b = azimuth < 0 ? pix.PropagationAxisPix[1] : pix.PropagationAxisPix[0];

    // Side edge: a vertical pixel column, since row H has no Z component.
    std::int32_t ex = 0;
    std::int32_t y1 = 0;
    std::int32_t y2 = 0;
    if (azimuth < 0) {
        if (o.x < b.x) {
            ex = std::min(q[0].x, b.x);
            y1 = q[0].y;
            y2 = q[3].y;
        } else {
            ex = std::max(q[1].x, b.x);
            y1 = q[1].y;
            y2 = q[2].y;
        }
    } else {
        if (o.x > b.x) {
            ex = std::max(q[0].x, b.x);
            y1 = q[0].y;
            y2 = q[3].y;
        } else {
            ex = std::min(q[1].x, b.x);
            y1 = q[1].y;
            y2 = q[2].y;
        }
    }
    std::int32_t ey = 0;
    if (b.x != o.x) {
        const long double run = static_cast<long double>(ex) - o.x;
        const long double rise = static_cast<long double>(b.y) - o.y;
        ey = roundToInt(static_cast<long double>(o.y) +
                        run * rise / (static_cast<long double>(b.x) - o.x));
    } else {
        ex = b.x;
        ey = b.y;
    }
    if (y1 <= ey && ey <= y2) {
        return {ex, ey};
    }

    // Upper edge when looking from above, lower edge from below.
    if (elevation == 0) {
        return o;
    }
    const PixelPoint f = elevation > 0 ? q[1] : q[2];
    const PixelPoint g = elevation > 0 ? q[0] : q[3];
    if (b.x == o.x) {
        return {o.x, saturate32((static_cast<std::int64_t>(f.y) + g.y) / 2)};
    }
    if (g.x == f.x) {
        return o;
    }
    const double k1 = static_cast<double>((static_cast<long double>(b.y) - o.y) /
                                          (static_cast<long double>(b.x) - o.x));
    const double k2 = static_cast<double>((static_cast<long double>(g.y) - f.y) /
                                          (static_cast<long double>(g.x) - f.x));
    if (k1 == k2) {
        // Parallel only through pixel rounding at tiny scales: stay on the segment O-B.
        return o;
    }
    const long double k1l = k1;
    const long double k2l = k2;
    const std::int32_t crossX =
        roundToInt((static_cast<long double>(o.x) * k1l + (static_cast<long double>(f.y) - o.y) -
                    static_cast<long double>(f.x) * k2l) /
                   (k1l - k2l));
    const std::int32_t crossY =
        common::addSaturated(roundToInt((static_cast<long double>(crossX) - o.x) * k1l), o.y);
    return {crossX, crossY};
}

// left = a.x + hw - w when the anchor lies left of the reference point, else a.x - hw.
LabelBox sideLabelBox(PixelPoint anchor, std::int32_t referenceX, std::int32_t hw, std::int32_t hh,
                      std::int32_t ch, std::int32_t textWidth)
{
    LabelBox box;
    box.left = anchor.x < referenceX
                   ? saturate32(static_cast<std::int64_t>(anchor.x) + hw - textWidth)
                   : saturate32(static_cast<std::int64_t>(anchor.x) - hw);
    box.right = common::addSaturated(box.left, textWidth);
    box.top = saturate32(static_cast<std::int64_t>(anchor.y) - hh);
    box.bottom = common::addSaturated(box.top, ch);
    return box;
}

void placeLabelBoxes(SceneState& s, double f)
{
    Canvas* screen = s.Host != nullptr ? &s.Host->screenCanvas() : nullptr;
    std::int32_t widthP = 0;
    std::int32_t widthH = 0;
    std::int32_t widthV = 0;
    if (screen != nullptr) {
        screen->setFontName(s.ScreenFontName);
        screen->setFontBold(s.style(TSceneObject::Text).Bold);
        screen->setFontPixelHeight(
            roundToInt(static_cast<long double>(s.PixelsPerUnit) * s.Proportions.AxisLabelHeight));
        widthP = screen->textWidth(s.PropagationAxisLabel);
        widthH = screen->textWidth(s.HorizontalAxisLabel);
        widthV = screen->textWidth(s.VerticalAxisLabel);
    }
    const long double lf = f;
    const std::int32_t hw = roundToInt(s.LabelHalfCharWidth * lf);
    const std::int32_t hh = roundToInt(s.LabelHalfCharHeight * lf);
    const std::int32_t ch = roundToInt(s.LabelCharHeight * lf);
    const std::int32_t wP = roundToInt(widthP * lf);
    const std::int32_t wH = roundToInt(widthH * lf);
    const std::int32_t wV = roundToInt(widthV * lf);

    SceneProjection& pix = s.Pix;
    pix.PropagationLabelBox =
        sideLabelBox(pix.PropagationLabelAnchorPix, pix.PropagationAxisPix[1].x, hw, hh, ch, wP);
    pix.HorizontalLabelBox =
        sideLabelBox(pix.HorizontalLabelAnchorPix, pix.HorizontalAxisPix[1].x, hw, hh, ch, wH);
    LabelBox& v = pix.VerticalLabelBox;
    v.left = saturate32(static_cast<std::int64_t>(pix.VerticalLabelAnchorPix.x) - wV / 2);
    v.right = common::addSaturated(v.left, wV);
    v.top = saturate32(static_cast<std::int64_t>(pix.VerticalLabelAnchorPix.y) - hh);
    v.bottom = common::addSaturated(v.top, ch);
}

}  // namespace

void updateViewMatrix(SceneState& s)
{
    const double ca = std::cos(s.Params.AzimuthRad);
    const double sa = std::sin(s.Params.AzimuthRad);
    const double ce = std::cos(s.Params.ElevationRad);
    const double se = std::sin(s.Params.ElevationRad);
    s.ViewRowH = {ca, sa, 0.0};
    s.ViewRowV = {-se * sa, se * ca, ce};
}

void computeSceneCentre(SceneState& s)
{
    if (s.CoordinateSystemCentered) {
        s.SceneCentre = {0.0, 0.0, 0.0};
        return;
    }
    const SceneModel& m = s.Model;
    s.SceneCentre = {(m.PropagationAxis[0].X + m.PropagationAxis[1].X) / 2.0,
                     (m.HorizontalAxis[0].Y + m.HorizontalAxis[1].Y) / 2.0,
                     (m.VerticalAxis[0].Z + m.VerticalAxis[1].Z) / 2.0};
}

ProjectionContext makeProjectionContext(const SceneState& s, std::int32_t width,
                                        std::int32_t height, double pixelsPerUnit,
                                        double deviceFactor)
{
    ProjectionContext context;
    context.centre = s.SceneCentre;
    context.rowH = s.ViewRowH;
    context.rowV = s.ViewRowV;
    context.scale = static_cast<long double>(pixelsPerUnit) * deviceFactor;
    context.pixelsPerUnit = pixelsPerUnit;
    context.deviceFactor = deviceFactor;
    context.cx = width / 2;
    context.cy = height / 2;
    return context;
}

#if LDBL_MANT_DIG != 64
namespace {

// projectPointExtended where long double is not the x87 format: the same operations in the
// same order, each rounded as x87 rounds it.
PixelPoint projectPointEmulated(const ModelPoint& p, const ProjectionContext& c)
{
    using X = common::Extended80;
    const X dx = X::fromDouble(p.X - c.centre.X);
    const X dy = X::fromDouble(p.Y - c.centre.Y);
    const X dz = X::fromDouble(p.Z - c.centre.Z);
    const X scale = X::fromDouble(c.pixelsPerUnit) * X::fromDouble(c.deviceFactor);
    const auto dot = [&](const std::array<double, 3>& row) {
        return X::fromDouble(row[0]) * dx + X::fromDouble(row[1]) * dy +
               X::fromDouble(row[2]) * dz;
    };
    return {common::addSaturated((dot(c.rowH) * scale).roundToInt(), c.cx),
            saturate32(static_cast<std::int64_t>(c.cy) - (dot(c.rowV) * scale).roundToInt())};
}

}  // namespace
#endif

PixelPoint projectPointExtended(const ModelPoint& p, const ProjectionContext& c)
{
#if LDBL_MANT_DIG != 64
    return projectPointEmulated(p, c);
#endif
    const double dx = p.X - c.centre.X;
    const double dy = p.Y - c.centre.Y;
    const double dz = p.Z - c.centre.Z;
    const long double h = static_cast<long double>(c.rowH[0]) * dx +
                          static_cast<long double>(c.rowH[1]) * dy +
                          static_cast<long double>(c.rowH[2]) * dz;
    const long double v = static_cast<long double>(c.rowV[0]) * dx +
                          static_cast<long double>(c.rowV[1]) * dy +
                          static_cast<long double>(c.rowV[2]) * dz;
    return {common::addSaturated(roundToInt(h * c.scale), c.cx),
            saturate32(static_cast<std::int64_t>(c.cy) - roundToInt(v * c.scale))};
}

PixelPoint projectPoint(const ModelPoint& p, const ProjectionContext& c)
{
    const ModelPoint one[1] = {p};
    PixelPoint out[1];
    projectPoints(one, out, 1, c);
    return out[0];
}

void projectScene(SceneState& s, std::int32_t width, std::int32_t height, double pixelsPerUnit,
                  double deviceFactor)
{
    if (!s.SceneReady) {
        return;
    }
    const ProjectionContext context =
        makeProjectionContext(s, width, height, pixelsPerUnit, deviceFactor);
    const SceneModel& m = s.Model;
    SceneProjection& pix = s.Pix;

    projectAll(m.ReferenceRect, pix.ReferenceRectPix, context);
    projectAll(m.PropagationAxis, pix.PropagationAxisPix, context);
    projectAll(m.HorizontalAxis, pix.HorizontalAxisPix, context);
    projectAll(m.VerticalAxis, pix.VerticalAxisPix, context);
    pix.OriginPix = projectPoint({0.0, 0.0, 0.0}, context);

    pix.HiddenAxisSegment[0] = pix.OriginPix;
    pix.HiddenAxisSegment[1] = exitPoint(s);

    pix.PropagationLabelAnchorPix = projectPoint(m.PropagationLabelAnchor, context);
    pix.HorizontalLabelAnchorPix = projectPoint(m.HorizontalLabelAnchor, context);
    pix.VerticalLabelAnchorPix = projectPoint(m.VerticalLabelAnchor, context);

    // Barbs in the vertical plane unless the observer looks along them or steeply from above
    // or below; then the flat pair shows the arrowhead better.
    const double el = std::fabs(s.Params.ElevationRad);
    const double az = std::fabs(s.Params.AzimuthRad);
    const bool upright = el <= Pi / 4.0L && std::fabs(Pi / 2.0L - az) >= el;
    projectAll(upright ? m.PropagationArrowUpright : m.PropagationArrowFlat,
               pix.PropagationArrowPix, context);

    projectAll(m.HorizontalAxisArrow, pix.HorizontalAxisArrowPix, context);
    projectAll(m.VerticalAxisArrow, pix.VerticalAxisArrowPix, context);
    projectAll(m.HorizontalWave, pix.HorizontalWavePix, context);
    projectAll(m.VerticalWave, pix.VerticalWavePix, context);
    projectAll(m.ResultantWave, pix.ResultantWavePix, context);
    projectAll(m.Ellipse, pix.EllipsePix, context);
    projectAll(m.ResultantVector, pix.ResultantVectorPix, context);
    projectAll(m.ResultantVectorArrow, pix.ResultantVectorArrowPix, context);

    placeLabelBoxes(s, deviceFactor);
}

}  // namespace scene
