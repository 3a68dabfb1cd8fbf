// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace mainwindow {

// Hints appear 250 ms after the pointer rests on a control and 10 ms after it moves on to the
// next control while one is showing; each stays up for HintHideMilliseconds. Call once, after
// the application object and before the first window is made.
void installHintTimings();

// How long a hint stays up.
inline constexpr int HintHideMilliseconds = 5000;
// How soon the next control's hint replaces the one showing.
inline constexpr int HintSwitchMilliseconds = 10;

}  // namespace mainwindow
