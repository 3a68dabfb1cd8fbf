// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The scene engine's state: one object owned by whoever shows the scene, passed to the plain
// functions of geometry.h, projection.h, render.h and extent.h. Every point set has a fixed size,
// so nothing is allocated while animating.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/colors.h"
#include "common/globals.h"
#include "scene/canvas.h"

namespace scene {

using common::TColor;
using common::TPenStyle;

inline constexpr std::int32_t WaveSampleCount = 1537;  // three wavelengths, 512 steps each
inline constexpr std::int32_t EllipsePointCount = 513;
inline constexpr std::int32_t CosTableReach = 1024;  // CosTable covers k = -1024 .. 1024
inline constexpr std::int32_t StepsPerPeriod = 512;
// The wave sample that lies in the observation plane X = 0.
inline constexpr std::int32_t ObservationSample = 1024;

// Model units: the largest wave amplitude is 1. X runs along the propagation axis, Z up, the
// horizontal component toward -Y.
struct ModelPoint {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};
static_assert(offsetof(ModelPoint, Z) == offsetof(ModelPoint, Y) + sizeof(double),
              "the wave loop stores Y and Z together");

struct TSceneParameters {
    std::int32_t Azimuth = common::DefaultAzimuth;      // degrees, -180 .. 180
    std::int32_t Elevation = common::DefaultElevation;  // degrees, -90 .. 90; positive = above
    double AzimuthRad = 0.0;
    double ElevationRad = 0.0;
    double HorizontalAmplitude = common::DefaultHorizontalAmplitude / 100.0;  // 0 .. 1
    double VerticalAmplitude = common::DefaultVerticalAmplitude / 100.0;      // 0 .. 1
    std::int32_t PhaseShift = common::DefaultPhaseShift;  // degrees, vertical against horizontal
    std::int32_t PhaseStep = common::DefaultPhaseShift * 512 / 360;  // PhaseShift * 512 div 360
    std::int32_t TimeStep = 0;                                       // 0 .. 512 steps of T/512
};

// Sizes in model units unless said otherwise.
struct TProportions {
    double ReferenceRectHalfWidth = 1.2;
    double AxisHalfLength = 1.5;
    double AxisLabelSpacing = 0.15;
    double AxisLabelHeight = 0.15;
    double ArrowLength = 0.15;
    double DotRadius = 0.015;
    double Wavelength = 3.0;
    double GraphicMarginFactor = 0.01;          // a fraction of the drawing extent
    double ClipboardBugfixScalingFactor = 1.0;  // read by the export only
};

enum class TSceneObject : std::uint8_t {
    Background = 1,
    Text = 2,
    CoordinateSystem = 3,
    ReferenceSurface = 4,
    HorizontalWave = 5,
    VerticalWave = 6,
    ResultantWave = 7,
    ResultantVector = 8,
    ResultantVectorEllipse = 9,
};
inline constexpr std::int32_t SceneObjectCount = 9;

struct TObjectStyle {
    TColor Color = 0;
    bool Bold = false;                      // unused by Background
    TPenStyle PenStyle = TPenStyle::Solid;  // unused by Background and Text
};

// Index 0 is unused so that the objects keep the numbers the settings dialog tags them with.
using TSceneStyles = std::array<TObjectStyle, SceneObjectCount + 1>;

TSceneStyles defaultStyles();

// A pixel-space box; left and top are where a label's text is drawn.
struct LabelBox {
    std::int32_t left = 0;
    std::int32_t right = 0;
    std::int32_t top = 0;
    std::int32_t bottom = 0;
};

struct SceneModel {
    std::array<ModelPoint, 4> ReferenceRect{};    // upper -Y, upper +Y, lower +Y, lower -Y
    std::array<ModelPoint, 2> PropagationAxis{};  // back end, front end
    std::array<ModelPoint, 2> HorizontalAxis{};   // +Y end, -Y end (arrow side)
    std::array<ModelPoint, 2> VerticalAxis{};     // bottom, top (arrow side)
    std::array<ModelPoint, 4> PropagationArrowFlat{};
    std::array<ModelPoint, 4> PropagationArrowUpright{};
    std::array<ModelPoint, 4> HorizontalAxisArrow{};
    std::array<ModelPoint, 4> VerticalAxisArrow{};
    ModelPoint PropagationLabelAnchor;
    ModelPoint HorizontalLabelAnchor;
    ModelPoint VerticalLabelAnchor;
    std::array<ModelPoint, WaveSampleCount> HorizontalWave{};
    std::array<ModelPoint, WaveSampleCount> VerticalWave{};
    std::array<ModelPoint, WaveSampleCount> ResultantWave{};
    std::array<ModelPoint, EllipsePointCount> Ellipse{};
    std::array<ModelPoint, 2> ResultantVector{};  // origin, tip
    std::array<ModelPoint, 4> ResultantVectorArrow{};
};

struct SceneProjection {
    std::array<PixelPoint, 4> ReferenceRectPix{};
    std::array<PixelPoint, 2> PropagationAxisPix{};
    std::array<PixelPoint, 2> HorizontalAxisPix{};
    std::array<PixelPoint, 2> VerticalAxisPix{};
    PixelPoint OriginPix;
    // [0] the origin, [1] the exit point E where the axis leaves the surface on its far side.
    std::array<PixelPoint, 2> HiddenAxisSegment{};
    std::array<PixelPoint, 4> PropagationArrowPix{};
    std::array<PixelPoint, 4> HorizontalAxisArrowPix{};
    std::array<PixelPoint, 4> VerticalAxisArrowPix{};
    PixelPoint PropagationLabelAnchorPix;
    PixelPoint HorizontalLabelAnchorPix;
    PixelPoint VerticalLabelAnchorPix;
    std::array<PixelPoint, WaveSampleCount> HorizontalWavePix{};
    std::array<PixelPoint, WaveSampleCount> VerticalWavePix{};
    std::array<PixelPoint, WaveSampleCount> ResultantWavePix{};
    std::array<PixelPoint, EllipsePointCount> EllipsePix{};
    std::array<PixelPoint, 2> ResultantVectorPix{};
    std::array<PixelPoint, 4> ResultantVectorArrowPix{};
    LabelBox PropagationLabelBox;
    LabelBox HorizontalLabelBox;
    LabelBox VerticalLabelBox;
};

// What projectScene keeps of its last call, so that point sets which have not changed are copied
// instead of projected again: the context, and each kept set's model points with their pixels.
// A set is reused only when its points and the context are the same to the bit. The waves change
// at every time step and are not kept.
struct KeptProjection {
    struct Context {
        ModelPoint centre;
        std::array<double, 3> rowH{};
        std::array<double, 3> rowV{};
        double pixelsPerUnit = 0.0;
        double deviceFactor = 0.0;
        std::int32_t cx = 0;
        std::int32_t cy = 0;
    };
    // The surface, the axes, their arrowheads (both propagation ones), the three label anchors
    // and the origin.
    static constexpr std::size_t FramePoints = 33;

    bool valid = false;
    Context context;
    std::array<ModelPoint, FramePoints> frameModel{};
    std::array<PixelPoint, FramePoints> framePix{};
    std::array<ModelPoint, EllipsePointCount> ellipseModel{};
    std::array<PixelPoint, EllipsePointCount> ellipsePix{};
};

// What the owner of the scene provides: the main drawing area and the event pump.
class SceneHost {
public:
    virtual ~SceneHost() = default;
    // The picture of the main drawing area. Label sizes are measured on it as well.
    virtual Canvas& screenCanvas() = 0;
    // Lets pending user-interface events run; called at the end of every drawing.
    virtual void processPendingEvents() = 0;
    // The main drawing area's picture has been redrawn and may be shown.
    virtual void screenCanvasDrawn() {}
};

struct SceneState {
    TSceneParameters Params;
    TProportions Proportions;
    double ArrowHalfWidth = 0.0;  // 0.25 * ArrowLength
    double TwoWavelengths = 0.0;  // 2 * Wavelength

    TSceneStyles Styles = defaultStyles();
    TColor HiddenAxisColor = 0;  // propagation axis behind the surface
    TColor HiddenTextColor = 0;  // propagation label behind the surface

    bool ShowHorizontalWave = true;
    bool ShowVerticalWave = true;
    bool ShowResultantWave = true;  // also the ellipse and the dot at the vector tip
    bool ShowResultantVector = true;
    bool CoordinateSystemCentered = false;

    std::string PropagationAxisLabel = "c";
    std::string HorizontalAxisLabel = "H";
    std::string VerticalAxisLabel = "V";
    std::string ScreenFontName = "Arial";

    std::int32_t ScaleDenominator = 40;
    double ScaleFactor = 1.0 / 40.0;
    std::int32_t DesktopWidthPixels = 1280;
    double ScreenWidth = 0.3;  // metres
    double ScreenPixelsPerMetre = 0.0;
    double PixelsPerUnit = 0.0;

    std::int32_t LabelCharWidth = 0;
    std::int32_t LabelCharHeight = 0;
    std::int32_t LabelHalfCharWidth = 0;
    std::int32_t LabelHalfCharHeight = 0;

    ModelPoint SceneCentre;
    // Rows of the parallel projection: H the horizontal, V the upward screen direction.
    std::array<double, 3> ViewRowH{};
    std::array<double, 3> ViewRowV{};

    std::int32_t DrawWidth = 0;
    std::int32_t DrawHeight = 0;

    bool SceneReady = false;
    bool DrawingInProgress = false;

    std::array<double, 2 * CosTableReach + 1> CosTable{};  // cos(k * pi/256), index k + 1024
    SceneModel Model;
    SceneProjection Pix;
    KeptProjection KeptPix;

    SceneHost* Host = nullptr;

    // The drawing commands of the parts that stay while the time runs, this drawing's and the
    // last one's: a layer is kept once they repeat and put back while they do. Reused, so that
    // animating allocates nothing.
    std::vector<std::int32_t> LayerScript;
    std::vector<std::int32_t> LastLayerScript;
    std::vector<PixelPoint> LayerPoints;  // a polyline of the script, as it is drawn again

    TObjectStyle& style(TSceneObject object) { return Styles[static_cast<std::size_t>(object)]; }
    const TObjectStyle& style(TSceneObject object) const
    {
        return Styles[static_cast<std::size_t>(object)];
    }
    double cosAt(std::int32_t k) const
    {
        return CosTable[static_cast<std::size_t>(k + CosTableReach)];
    }
};

// Setters that keep the values derived from a parameter in step with it.
void setAzimuth(SceneState& s, std::int32_t degrees);
void setElevation(SceneState& s, std::int32_t degrees);
void setPhaseShift(SceneState& s, std::int32_t degrees);
void setScaleDenominator(SceneState& s, std::int32_t denominator);

// ScaleFactor, ScreenPixelsPerMetre and PixelsPerUnit from the denominator and the screen.
void updateScreenScale(SceneState& s);
// HiddenAxisColor and HiddenTextColor: the surface colour half mixed into axis and text.
void updateHiddenColors(SceneState& s);
// LabelCharWidth/Height and their halves, measured on the host's screen canvas in the label font.
void updateLabelFontMetrics(SceneState& s);

// The whole start-up sequence, from the scale to the first picture; the state's parameters,
// proportions, styles and host must be set before. Ends with SceneReady true.
void startScene(SceneState& s);

}  // namespace scene
