// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scene/scene.h"

namespace scene {

// Paints the projected scene into the rectangle (left, top) .. (left + width, top + height), both
// ends included, back to front: background, surface, ellipse, axes, arrowheads, the three
// waves, the vector, the dots, the labels. Lets pending events run at its end; a call made
// meanwhile, or before the scene is ready, returns at once.
void drawScene(SceneState& s, std::int32_t left, std::int32_t top, std::int32_t width,
               std::int32_t height, Canvas& canvas, double deviceFactor);

// Whether a point of the propagation arrow or label is seen through the reference surface:
// by the surface's colour where the canvas can read back, else by the surface's rectangle.
bool isBehindSurface(const SceneState& s, Canvas& canvas, PixelPoint p);

}  // namespace scene
