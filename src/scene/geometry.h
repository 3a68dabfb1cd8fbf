// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "scene/scene.h"

namespace scene {

// ArrowHalfWidth, TwoWavelengths and every fixed model point: surface, axes, arrowheads, anchors.
void buildModel(SceneState& s);
// CosTable[k] = cos(k * pi/256), k = -1024 .. 1024.
void buildCosTable(SceneState& s);
// X of the three waves (512 samples per wavelength, X = -2λ .. λ), the ellipse and the vector origin.
void setWaveAbscissae(SceneState& s, double wavelength);
// Y and Z of the waves and the ellipse for time step t (0 .. 512) and phase step p (-256 .. 256),
// then the resultant vector.
void computeWaveSamples(SceneState& s, std::int32_t timeStep, std::int32_t phaseStep);
// The vector tip from the resultant wave in the observation plane, and its arrowhead.
void buildResultantVector(SceneState& s);
// atan2 that answers 0, +π/2 or -π/2 on the y axis instead of relying on atan2(0, 0).
double safeArcTan2(double y, double x);

}  // namespace scene
