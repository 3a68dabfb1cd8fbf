// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// --describe of ondulix-render: the polarisation of the scene as one JSON object, every number
// at full double precision (the shortest text that reads back as the same double).

#include <string>

#include "scene/polarisation.h"

namespace render {

// One line, ending in a newline. For no wave the angles, ratio, Stokes and Jones values are
// null, and psi_deg is null for a circular wave as well.
std::string describeJson(const scene::TPolarisation& polarisation);

}  // namespace render
