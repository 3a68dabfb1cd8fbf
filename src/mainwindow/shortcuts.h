// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qt>

#include <cstdint>
#include <span>

namespace mainwindow {

// What a key of the main window does, whatever control has the focus.
enum class TCommand : std::uint8_t {
    Copy,
    Save,
    SaveAs,
    Print,
    Settings,
    Help,
    ShowHorizontalWave,
    ShowVerticalWave,
    ShowResultantWave,
    ShowResultantVector,
    CoordinateSystemCentered,
    RotateAzimuth,
    StopMotion,  // stop the rotation and pause the animation
    StartOrPause,
    Rewind,
    ZoomIn,
    ZoomOut,
    Fit,  // the largest zoom step at which the drawing fits
    ShowReadout,
    ExportAnimation,
    Preset1,  // the presets in the order of scene::PresetTable
    Preset2,
    Preset3,
    Preset4,
    Preset5,
    Preset6,
};

struct TShortcut {
    int key;
    Qt::KeyboardModifiers modifiers;  // exactly these of Shift, Ctrl, Alt and Meta
    TCommand command;
    // A consumed key goes no further. Every command key is, but Esc: it travels on, so that it
    // also ends what the focused control is doing.
    bool consumed = true;
};

// Each key of the window, declared once.
std::span<const TShortcut> shortcuts();

// The shortcut of that key with those modifiers (keypad and other flags are ignored); null for a
// key that is none. "+" and "-" count with or without Shift, as keyboards differ in where they put
// them.
const TShortcut* findShortcut(int key, Qt::KeyboardModifiers modifiers);

// Shift, Ctrl, Alt and Meta of `modifiers`, the ones a shortcut is told apart by.
Qt::KeyboardModifiers significantModifiers(Qt::KeyboardModifiers modifiers);

}  // namespace mainwindow
