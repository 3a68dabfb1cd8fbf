// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scene/scene.h"

namespace scene {

// Inclusive pixel bounds of what is drawn, widened by the margin factor.
struct Extent {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// From the projected sets and label boxes of the last projectScene (shifted ones included).
Extent computeDrawingExtent(const SceneState& s);
// Shifts every projected point and label box by (dx, dy).
void translateScene(SceneState& s, std::int32_t dx, std::int32_t dy);
// Screen scale and label metrics anew, then projects and draws the main drawing area.
void rescaleAndRedraw(SceneState& s);

// The page as the printer will lay it out; sizes in millimetres for the current orientation.
struct PageLayout {
    std::uint8_t orientation = 1;  // 0 portrait, 1 landscape
    std::int32_t pageWidthMm = 297;
    std::int32_t pageHeightMm = 210;
    std::int32_t marginLeftMm = 15;
    std::int32_t marginRightMm = 15;
    std::int32_t marginTopMm = 20;
    std::int32_t marginBottomMm = 15;
};

// A width x height picture of the printed page: white margins and the scene at the size it will
// have on paper, reduced like the paper.
void drawPagePreview(SceneState& s, const PageLayout& page, std::int32_t width,
                     std::int32_t height, Canvas& canvas);

}  // namespace scene
