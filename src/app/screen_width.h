// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The screen width a start uses. The scale 1 : N is true only with the screen's real width: a
// width stored in the settings file always wins; without one, the width the display reports
// replaces the assumed default.

#include <optional>

#include "mainwindow/form_main.h"
#include "settings/settings_file.h"

namespace app {

// Sets read.Data.App.ScreenWidth to `displayWidthMm` (whole millimetres, already found
// plausible) when the file holds no ScreenWidth, and says where the width came from. A stored
// width that could not be used keeps the default the reading reported.
mainwindow::TScreenWidthSource takeScreenWidth(settings::TSettingsRead& read,
                                               std::optional<int> displayWidthMm);

}  // namespace app
