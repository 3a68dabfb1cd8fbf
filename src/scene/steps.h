// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The steps that the window's controls and timers take, shared by every front end: the zoom
// steps of the scale, the time through a period and the turning view.

#include <cstdint>
#include <vector>

#include "scene/scene.h"

namespace scene {

// The zoom steps as the settings list them: slot 0 is never a step; every step is at least 1.
// The slot of the step nearest to `denominator`, the smaller denominator on a tie and the first
// slot of an exact match; 1 when there are no steps.
int nearestScaleStep(const std::vector<std::int32_t>& steps, std::int32_t denominator);

// The slot of the smallest denominator among the steps at which the whole drawing extent lies
// inside the drawing area, the largest step when none does; 0 when there are no steps or no
// area. Trying the steps leaves the scale, label metrics and projection of the last one tried
// in the state, so the caller applies the chosen step afterwards.
int fittingScaleStep(SceneState& s, const std::vector<std::int32_t>& steps);

// The time step after `step` (0 .. StepsPerPeriod): with auto-repeat it starts over after T-1,
// without it it stops at T; -1 when the animation is to stop.
std::int32_t nextTimeStep(std::int32_t step, bool autoRepeat);

// The azimuth a degree further, through both ends of -180 .. 180.
std::int32_t nextAzimuthStep(std::int32_t degrees);

}  // namespace scene
