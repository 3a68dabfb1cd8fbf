// SPDX-License-Identifier: GPL-3.0-or-later
#include "scene/projection.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/numbers.h"
#if LDBL_MANT_DIG != 64
#include "common/extended80.h"
#endif

namespace scene {

using common::roundToInt;
using common::saturate32;

namespace {

// N points at a time, one quantity of all N per vector, N being the lanes of the widest vector
// the processor has: 8 with AVX-512, 4 with AVX2, else 2. GCC breaks comparisons of vectors wider
// than the target's own into single lanes passed through the stack, which cost more than all the
// rest of a block; so each build of the code takes blocks of its own width.
template <std::size_t N>
struct Vectors;
template <>
struct Vectors<2> {
    using Lanes = double __attribute__((vector_size(16)));
    using Bits = long long __attribute__((vector_size(16)));
};
template <>
struct Vectors<4> {
    using Lanes = double __attribute__((vector_size(32)));
    using Bits = long long __attribute__((vector_size(32)));
};
template <>
struct Vectors<8> {
    using Lanes = double __attribute__((vector_size(64)));
    using Bits = long long __attribute__((vector_size(64)));
};
static_assert(sizeof(ModelPoint) == 3 * sizeof(double) && sizeof(PixelPoint) == 8,
              "a block is read as 3 N doubles and written as N packed pixel pairs");

// (row . d) * scale rounded half to even in double precision, for both rows. The double result
// lies within 2^-51 * sum|terms| * scale of the exact value (the scale's own rounding to double
// included), so unless it is that close to a half both precisions round alike. The rare points
// that close to a half, near the 32-bit limits or NaN take the extended route instead.
// Extended precision on x87 costs several times as much per point.
//
// Bounding every point on its own would cost more than the arithmetic. The first pass bounds
// the whole array at once instead: no coordinate exceeds the sum of all their magnitudes, which
// over a few thousand points still leaves the bound far below a pixel's rounding. It gathers the
// largest fraction and that sum, and answers false unless every point is clear of a half by
// twice that bound. The repair pass then bounds each point and redoes the doubtful ones.
template <std::size_t N, bool Repair>
[[gnu::always_inline]] inline bool projectBlocksPass(const ModelPoint* model, PixelPoint* pix,
                                                     std::size_t blocks, const ProjectionContext& c)
{
    using Lanes = typename Vectors<N>::Lanes;
    using Bits = typename Vectors<N>::Bits;
    const double sc = static_cast<double>(c.scale);
    // A power of two: the bound is the same as scaling by it after the scale.
    const double boundScale = std::fabs(sc) * 0x1p-48;
    const double h0 = c.rowH[0];
    const double h1 = c.rowH[1];
    const double h2 = c.rowH[2];
    // Row V negated, which is exact: the rounding then yields cy - Round(V . D * scale) directly.
    const double v0 = -c.rowV[0];
    const double v1 = -c.rowV[1];
    const double v2 = -c.rowV[2];
    // One bound for both rows: each term is at most |d| times the sum of the rows' entries, so
    // the bound is never below either row's own, and a NaN entry makes it NaN.
    const double r0 = std::fabs(h0) + std::fabs(v0);
    const double r1 = std::fabs(h1) + std::fabs(v1);
    const double r2 = std::fabs(h2) + std::fabs(v2);
    // 1.5 * 2^52 plus the centre: adding it rounds to an integer held in the low mantissa bits,
    // the centre's coordinate already added. That equals Round(value) + centre except at an
    // exact half, and halves are doubtful anyway.
    const double magicX = 6755399441055744.0 + c.cx;
    const double magicY = 6755399441055744.0 + c.cy;
    const Bits noSign = Bits{} + 0x7FFFFFFFFFFFFFFFLL;
    // Held here: the stores to the pixels might alias the context, which would have it read
    // again for every block.
    const double centreX = c.centre.X;
    const double centreY = c.centre.Y;
    const double centreZ = c.centre.Z;
    Lanes largestFraction = {};
    Lanes magnitudes = {};
#define ONDULIX_ABS(x) ((Lanes)((Bits)(x)&noSign))
    for (std::size_t b = 0; b < blocks; ++b) {
        const ModelPoint* points = model + b * N;
        const auto* raw = reinterpret_cast<const unsigned char*>(points);
        Lanes p0;
        Lanes p1;
        Lanes p2;
        if constexpr (N == 4) {
            // Each half from a pair of points, X0 Y0 X2 Y2 | Z0 X1 Z2 X3 | Y1 Z1 Y3 Z3: then each
            // coordinate is one blend or shuffle within the halves, which are cheap, instead of
            // the moves across halves, which are not.
            using Half = typename Vectors<2>::Lanes;
            const auto halves = [raw](Lanes& to, std::size_t word) {
                Half low;
                Half high;
                std::memcpy(&low, raw + word * sizeof(double), sizeof low);
                std::memcpy(&high, raw + (word + 6) * sizeof(double), sizeof high);
                to = __builtin_shufflevector(low, high, 0, 1, 2, 3);
            };
            halves(p0, 0);
            halves(p1, 2);
            halves(p2, 4);
        } else {
            std::memcpy(&p0, raw, sizeof p0);
            std::memcpy(&p1, raw + sizeof p0, sizeof p1);
            std::memcpy(&p2, raw + 2 * sizeof p0, sizeof p2);
        }
        Lanes x;
        Lanes y;
        Lanes z;
        if constexpr (N == 2) {
            // X0 Y0 | Z0 X1 | Y1 Z1
            x = __builtin_shufflevector(p0, p1, 0, 3);
            y = __builtin_shufflevector(p0, p2, 1, 2);
            z = __builtin_shufflevector(p1, p2, 0, 3);
        } else if constexpr (N == 4) {
            x = __builtin_shufflevector(p0, p1, 0, 5, 2, 7);
            y = __builtin_shufflevector(p0, p2, 1, 4, 3, 6);
            z = __builtin_shufflevector(p1, p2, 0, 5, 2, 7);
        } else {
            // X0 Y0 Z0 X1 Y1 Z1 X2 Y2 | Z2 X3 Y3 Z3 X4 Y4 Z4 X5 | Y5 Z5 X6 Y6 Z6 X7 Y7 Z7
            x = __builtin_shufflevector(__builtin_shufflevector(p0, p1, 0, 3, 6, 9, 12, 15, 0, 0),
                                        p2, 0, 1, 2, 3, 4, 5, 10, 13);
            y = __builtin_shufflevector(__builtin_shufflevector(p0, p1, 1, 4, 7, 10, 13, 0, 0, 0),
                                        p2, 0, 1, 2, 3, 4, 8, 11, 14);
            z = __builtin_shufflevector(__builtin_shufflevector(p0, p1, 2, 5, 8, 11, 14, 0, 0, 0),
                                        p2, 0, 1, 2, 3, 4, 9, 12, 15);
        }
        const Lanes dx = x - centreX;
        const Lanes dy = y - centreY;
        const Lanes dz = z - centreZ;
        const Lanes h = (h0 * dx + h1 * dy + h2 * dz) * sc;
        const Lanes v = (v0 * dx + v1 * dy + v2 * dz) * sc;
        const Lanes hPlaced = h + magicX;
        const Lanes vPlaced = v + magicY;
        const Lanes hFraction = ONDULIX_ABS(h - (hPlaced - magicX));
        const Lanes vFraction = ONDULIX_ABS(v - (vPlaced - magicY));
        const Bits packed = ((Bits)hPlaced & 0xFFFFFFFFLL) | ((Bits)vPlaced << 32);
        PixelPoint* out = pix + b * N;
        // Trivially copyable; only the default member values make the warning think otherwise.
        std::memcpy(static_cast<void*>(out), &packed, sizeof packed);
        if constexpr (Repair) {
            const Lanes bound =
                (r0 * ONDULIX_ABS(dx) + r1 * ONDULIX_ABS(dy) + r2 * ONDULIX_ABS(dz)) * boundScale;
            // Fine where both margins to a half exceed the bound and the bound is below 2^-19,
            // so that the values are below 2^30. A bound that small also means finite values,
            // hence margins that are not NaN; a NaN bound becomes 1, which fails. Then both
            // offsets and the centre's coordinates (half a 32-bit size) fit in 32 bits. Each
            // select keeps its second operand on NaN.
            const Lanes safeBound = bound < 1.0 ? bound : 1.0;
            const Lanes hMargin = 0.5 - hFraction;
            const Lanes vMargin = 0.5 - vFraction;
            const Lanes smaller = hMargin < vMargin ? hMargin : vMargin;
            const Lanes margin = smaller < 0x1p-19 ? smaller : 0x1p-19;
            // Negative exactly where the point is fine: neither operand is ever NaN or -0.
            const Bits verdict = (Bits)(safeBound - margin);
            for (std::size_t i = 0; i < N; ++i) {
                if (verdict[i] >= 0) {
                    out[i] = projectPointExtended(points[i], c);
                }
            }
        } else {
            // NaN fractions may be lost here; the sum of magnitudes is then infinite or NaN.
            const Lanes larger = hFraction > vFraction ? hFraction : vFraction;
            largestFraction = larger > largestFraction ? larger : largestFraction;
            magnitudes += ONDULIX_ABS(p0) + ONDULIX_ABS(p1) + ONDULIX_ABS(p2);
        }
    }
#undef ONDULIX_ABS
    if constexpr (Repair) {
        return true;
    } else {
        double fraction = 0.0;
        double sum = std::fabs(c.centre.X) + std::fabs(c.centre.Y) + std::fabs(c.centre.Z);
        for (std::size_t i = 0; i < N; ++i) {
            fraction = std::max(fraction, largestFraction[i]);
            sum += magnitudes[i];
        }
        // Each |d| is at most the sum, each term at most its row entries' sum times that; twice
        // the result covers the roundings of this bound and of each point's own.
        const double bound = 2.0 * ((r0 + r1 + r2) * sum) * boundScale;
        return bound < 0x1p-19 && 0.5 - fraction > bound;
    }
}

template <std::size_t N>
[[gnu::always_inline]] inline void projectPointsIn(const ModelPoint* model, PixelPoint* pix,
                                                   std::size_t count, const ProjectionContext& c)
{
    const std::size_t whole = count / N;
    if (!projectBlocksPass<N, false>(model, pix, whole, c)) {
        projectBlocksPass<N, true>(model, pix, whole, c);
    }
    const std::size_t done = whole * N;
    if (done == count) {
        return;
    }
    // The last points through the same block, padded with copies of the last one.
    ModelPoint rest[N];
    PixelPoint restPix[N];
    for (std::size_t i = 0; i < N; ++i) {
        rest[i] = model[std::min(done + i, count - 1)];
    }
    projectBlocksPass<N, true>(rest, restPix, 1, c);
    std::copy(restPix, restPix + (count - done), pix + done);
}

void projectPoints2(const ModelPoint* model, PixelPoint* pix, std::size_t count,
                    const ProjectionContext& c)
{
    projectPointsIn<2>(model, pix, count, c);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] void projectPoints4(const ModelPoint* model, PixelPoint* pix,
                                            std::size_t count, const ProjectionContext& c)
{
    projectPointsIn<4>(model, pix, count, c);
}

[[gnu::target("avx512f")]] void projectPoints8(const ModelPoint* model, PixelPoint* pix,
                                               std::size_t count, const ProjectionContext& c)
{
    projectPointsIn<8>(model, pix, count, c);
}
#endif

using PointsProjector = void (*)(const ModelPoint*, PixelPoint*, std::size_t,
                                 const ProjectionContext&);

PointsProjector projectorFor(std::size_t lanes)
{
    switch (lanes) {
        case 2:
            return projectPoints2;
#if defined(__x86_64__)
        case 4:
            return __builtin_cpu_supports("avx2") ? projectPoints4 : nullptr;
        case 8:
            return __builtin_cpu_supports("avx512f") ? projectPoints8 : nullptr;
#endif
        default:
            return nullptr;
    }
}

void projectPoints(const ModelPoint* model, PixelPoint* pix, std::size_t count,
                   const ProjectionContext& c)
{
    static const PointsProjector widest = [] {
        for (const std::size_t lanes : {8, 4}) {
            if (const PointsProjector p = projectorFor(lanes)) {
                return p;
            }
        }
        return projectorFor(2);
    }();
    widest(model, pix, count, c);
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
        return X::fromDouble(row[0]) * dx + X::fromDouble(row[1]) * dy + X::fromDouble(row[2]) * dz;
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

bool projectPointsWithLanes(std::size_t lanes, const ModelPoint* model, PixelPoint* pix,
                            std::size_t count, const ProjectionContext& context)
{
    const PointsProjector projector = projectorFor(lanes);
    if (projector == nullptr) {
        return false;
    }
    projector(model, pix, count, context);
    return true;
}

PixelPoint projectPoint(const ModelPoint& p, const ProjectionContext& c)
{
    const ModelPoint one[1] = {p};
    PixelPoint out[1];
    projectPoints(one, out, 1, c);
    return out[0];
}

namespace {

// The kept pixels of model when neither it nor the context changed, else those projected now.
template <std::size_t N>
const std::array<PixelPoint, N>& keptOrProjected(const std::array<ModelPoint, N>& model,
                                                 std::array<ModelPoint, N>& keptModel,
                                                 std::array<PixelPoint, N>& keptPix,
                                                 bool sameContext, const ProjectionContext& context)
{
    if (!sameContext || std::memcmp(model.data(), keptModel.data(), sizeof model) != 0) {
        projectPoints(model.data(), keptPix.data(), N, context);
        keptModel = model;
    }
    return keptPix;
}

template <std::size_t N, std::size_t M>
std::size_t put(std::array<ModelPoint, M>& into, std::size_t at,
                const std::array<ModelPoint, N>& part)
{
    std::copy(part.begin(), part.end(), into.begin() + static_cast<std::ptrdiff_t>(at));
    return at + N;
}

template <std::size_t N, std::size_t M>
std::size_t take(std::array<PixelPoint, N>& part, const std::array<PixelPoint, M>& from,
                 std::size_t at)
{
    std::copy_n(from.begin() + static_cast<std::ptrdiff_t>(at), N, part.begin());
    return at + N;
}

}  // namespace

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

    // The context as kept, compared byte for byte: it has no padding.
    static_assert(sizeof(KeptProjection::Context) ==
                  11 * sizeof(double) + 2 * sizeof(std::int32_t));
    KeptProjection& kept = s.KeptPix;
    KeptProjection::Context now;
    now.centre = context.centre;
    now.rowH = context.rowH;
    now.rowV = context.rowV;
    now.pixelsPerUnit = pixelsPerUnit;
    now.deviceFactor = deviceFactor;
    now.cx = context.cx;
    now.cy = context.cy;
    const bool sameContext = kept.valid && std::memcmp(&now, &kept.context, sizeof now) == 0;

    std::array<ModelPoint, KeptProjection::FramePoints> frame;
    std::size_t at = 0;
    at = put(frame, at, m.ReferenceRect);
    at = put(frame, at, m.PropagationAxis);
    at = put(frame, at, m.HorizontalAxis);
    at = put(frame, at, m.VerticalAxis);
    at = put(frame, at, m.PropagationArrowFlat);
    at = put(frame, at, m.PropagationArrowUpright);
    at = put(frame, at, m.HorizontalAxisArrow);
    at = put(frame, at, m.VerticalAxisArrow);
    frame[at++] = m.PropagationLabelAnchor;
    frame[at++] = m.HorizontalLabelAnchor;
    frame[at++] = m.VerticalLabelAnchor;
    frame[at++] = {0.0, 0.0, 0.0};
    const auto& framePix =
        keptOrProjected(frame, kept.frameModel, kept.framePix, sameContext, context);
    pix.EllipsePix =
        keptOrProjected(m.Ellipse, kept.ellipseModel, kept.ellipsePix, sameContext, context);
    kept.context = now;
    kept.valid = true;

    // Barbs in the vertical plane unless the observer looks along them or steeply from above
    // or below; then the flat pair shows the arrowhead better.
    const double el = std::fabs(s.Params.ElevationRad);
    const double az = std::fabs(s.Params.AzimuthRad);
    const bool upright = el <= Pi / 4.0L && std::fabs(Pi / 2.0L - az) >= el;
    at = 0;
    at = take(pix.ReferenceRectPix, framePix, at);
    at = take(pix.PropagationAxisPix, framePix, at);
    at = take(pix.HorizontalAxisPix, framePix, at);
    at = take(pix.VerticalAxisPix, framePix, at);
    take(pix.PropagationArrowPix, framePix, upright ? at + 4 : at);
    at += 8;
    at = take(pix.HorizontalAxisArrowPix, framePix, at);
    at = take(pix.VerticalAxisArrowPix, framePix, at);
    pix.PropagationLabelAnchorPix = framePix[at++];
    pix.HorizontalLabelAnchorPix = framePix[at++];
    pix.VerticalLabelAnchorPix = framePix[at++];
    pix.OriginPix = framePix[at++];
    static_assert(KeptProjection::FramePoints == 4 * 6 + 2 * 3 + 3);

    pix.HiddenAxisSegment[0] = pix.OriginPix;
    pix.HiddenAxisSegment[1] = exitPoint(s);

    projectAll(m.HorizontalWave, pix.HorizontalWavePix, context);
    projectAll(m.VerticalWave, pix.VerticalWavePix, context);
    projectAll(m.ResultantWave, pix.ResultantWavePix, context);
    // The vector moves at every time step; one call for it and its arrowhead.
    std::array<ModelPoint, 6> vector;
    put(vector, put(vector, 0, m.ResultantVector), m.ResultantVectorArrow);
    std::array<PixelPoint, 6> vectorPix;
    projectPoints(vector.data(), vectorPix.data(), vector.size(), context);
    take(pix.ResultantVectorArrowPix, vectorPix, take(pix.ResultantVectorPix, vectorPix, 0));

    placeLabelBoxes(s, deviceFactor);
}

}  // namespace scene
