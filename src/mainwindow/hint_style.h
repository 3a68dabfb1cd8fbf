#pragma once

namespace mainwindow {

// Hints appear 250 ms after the pointer rests on a control and at once when it moves on to the
// next control while one is showing. Call once, before the first window is made.
void installHintTimings();

// How long a hint stays up.
inline constexpr int HintHideMilliseconds = 5000;

}  // namespace mainwindow
