// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scene/scene.h"

namespace scene {

// Rows H = (cos az, sin az, 0) and V = (-sin el sin az, sin el cos az, cos el).
void updateViewMatrix(SceneState& s);
// The origin when the coordinate system is centred, else the middle of the three axes.
void computeSceneCentre(SceneState& s);

struct ProjectionContext {
    ModelPoint centre;
    std::array<double, 3> rowH{};
    std::array<double, 3> rowV{};
    long double scale = 0.0L;  // pixels per model unit on the target
    // Its factors, from which targets without x87 arithmetic form the scale as x87 rounds it.
    double pixelsPerUnit = 0.0;
    double deviceFactor = 1.0;
    std::int32_t cx = 0;
    std::int32_t cy = 0;
};

ProjectionContext makeProjectionContext(const SceneState& s, std::int32_t width,
                                        std::int32_t height, double pixelsPerUnit,
                                        double deviceFactor);
// x = Round((H . D) * scale) + cx, y = cy - Round((V . D) * scale) with D = p - centre, the dot
// products and the scaling in extended precision.
PixelPoint projectPoint(const ModelPoint& p, const ProjectionContext& context);
// The same, always computed in extended precision; projectPoint gives identical results faster.
PixelPoint projectPointExtended(const ModelPoint& p, const ProjectionContext& context);

// Projects count points as projectScene does, through the vector code for blocks of the given
// number of lanes (2, 4 or 8); false when this processor cannot run that width. projectScene
// takes the widest there is; all give the same pixels.
bool projectPointsWithLanes(std::size_t lanes, const ModelPoint* model, PixelPoint* pix,
                            std::size_t count, const ProjectionContext& context);

// Projects every model point for an area of width x height pixels, chooses the propagation
// arrowhead, finds the exit point of the hidden axis stretch and places the label boxes.
// Does nothing until the scene is ready.
void projectScene(SceneState& s, std::int32_t width, std::int32_t height, double pixelsPerUnit,
                  double deviceFactor);

}  // namespace scene
