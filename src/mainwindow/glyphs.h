// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

#include "scene/scene.h"

namespace mainwindow {

inline constexpr int ToolbarButtonSize = 24;
inline constexpr int GlyphSize = ToolbarButtonSize - 4;

// The pictures of the five toolbar buttons that show scene objects in their current colours:
// 1 horizontal wave, 2 vertical wave, 3 resultant wave, 4 resultant vector, 5 centring.
// GlyphSize square; the bottom row is transparent.
QImage drawGlyph(int number, const scene::TSceneStyles& styles);

}  // namespace mainwindow
