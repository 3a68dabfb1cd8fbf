// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string_view>

#include "common/globals.h"

namespace mainwindow {

// The hint of a track bar standing at `position`: the language's prefix and the value with its
// unit (the elevation bar holds the negated elevation; the time shows in periods).
QString trackBarHint(std::string_view trackBar, int position, common::TLanguage language);

// Hints appear 250 ms after the pointer rests on a control and 10 ms after it moves on to the
// next control while one is showing; each stays up for HintHideMilliseconds. Call once, after
// the application object and before the first window is made.
void installHintTimings();

// How long a hint stays up.
inline constexpr int HintHideMilliseconds = 5000;
// How soon the next control's hint replaces the one showing.
inline constexpr int HintSwitchMilliseconds = 10;

}  // namespace mainwindow
