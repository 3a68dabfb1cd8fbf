// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The animation exporters, a file each with the library it uses; animationExporters() lists
// them.

#include <memory>

#include "output/animation_export.h"

namespace output {

std::unique_ptr<AnimationExporter> makeGifExporter();
std::unique_ptr<AnimationExporter> makeWebPExporter();
std::unique_ptr<AnimationExporter> makeMp4Exporter();

}  // namespace output
