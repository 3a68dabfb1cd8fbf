// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

#include <cstdint>

#include "settings/settings_file.h"

class QWidget;

namespace mainwindow {

// The main window's place on the desktop: the stored bounds brought onto the work area at start,
// the bounds of the normal state followed through minimising and maximising, and captured again
// for the settings file.
class WindowPlacement {
public:
    // positionKnown: false where the display server keeps the window's position to itself
    // (Wayland); the stored Left and Top are then written back as they were read.
    WindowPlacement(QWidget& window, bool positionKnown);

    // Bounds and state as stored, kept reachable: at least 32 pixels on the work area.
    void restore(const settings::TWindowPlacement& stored, int workAreaWidth, int workAreaHeight);
    // The window's changeEvent for a WindowStateChange; starting while the window is being built.
    void windowStateChanged(bool starting);
    // The bounds of the normal state, whatever state the window is in now, and the state
    // (1 when minimised, 2 when maximised).
    void captureInto(settings::TWindowPlacement& placement) const;

private:
    void ApplicationOnMinimize(bool starting);
    void ApplicationOnRestore();

    QWidget& m_window;
    bool m_positionKnown;
    bool m_minimized = false;
    bool m_maximized = false;
    std::uint8_t m_restoreState = 0;
    QRect m_normalGeometry;
};

}  // namespace mainwindow
