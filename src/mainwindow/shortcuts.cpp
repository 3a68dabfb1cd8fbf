// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/shortcuts.h"

#include <array>

namespace mainwindow {

namespace {

constexpr Qt::KeyboardModifiers None = Qt::NoModifier;
constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers Alt = Qt::AltModifier;

const TShortcut Table[] = {
    {Qt::Key_C, Ctrl, TCommand::Copy},
    {Qt::Key_S, Ctrl, TCommand::Save},
    {Qt::Key_U, Ctrl, TCommand::SaveAs},
    {Qt::Key_P, Ctrl, TCommand::Print},
    {Qt::Key_E, Ctrl, TCommand::Settings},
    {Qt::Key_F1, None, TCommand::Help},
    {Qt::Key_H, Ctrl, TCommand::ShowHorizontalWave},
    {Qt::Key_V, Ctrl, TCommand::ShowVerticalWave},
    {Qt::Key_R, Ctrl, TCommand::ShowResultantWave},
    {Qt::Key_V, Alt, TCommand::ShowResultantVector},
    {Qt::Key_Z, Ctrl, TCommand::CoordinateSystemCentered},
    {Qt::Key_R, Alt, TCommand::RotateAzimuth},
    {Qt::Key_Escape, None, TCommand::StopMotion, false},
    {Qt::Key_Space, None, TCommand::StartOrPause},
    {Qt::Key_Space, Qt::ShiftModifier, TCommand::StartOrPause},
    {Qt::Key_Backspace, None, TCommand::Rewind},
    {Qt::Key_Backspace, Qt::ShiftModifier, TCommand::Rewind},
    {Qt::Key_Plus, None, TCommand::ZoomIn},
    {Qt::Key_Minus, None, TCommand::ZoomOut},
    {Qt::Key_F, Ctrl, TCommand::Fit},
    {Qt::Key_I, Ctrl, TCommand::ShowReadout},
    {Qt::Key_M, Ctrl, TCommand::ExportAnimation},
    {Qt::Key_1, Alt, TCommand::Preset1},
    {Qt::Key_2, Alt, TCommand::Preset2},
    {Qt::Key_3, Alt, TCommand::Preset3},
    {Qt::Key_4, Alt, TCommand::Preset4},
    {Qt::Key_5, Alt, TCommand::Preset5},
    {Qt::Key_6, Alt, TCommand::Preset6},
};

}  // namespace

std::span<const TShortcut> shortcuts()
{
    return Table;
}

Qt::KeyboardModifiers significantModifiers(Qt::KeyboardModifiers modifiers)
{
    return modifiers &
           (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

const TShortcut* findShortcut(int key, Qt::KeyboardModifiers modifiers)
{
    Qt::KeyboardModifiers mods = significantModifiers(modifiers);
    if (key == Qt::Key_Plus || key == Qt::Key_Minus) {
        mods &= ~Qt::ShiftModifier;
    }
    for (const TShortcut& shortcut : Table) {
        if (shortcut.key == key && shortcut.modifiers == mods) {
            return &shortcut;
        }
    }
    return nullptr;
}

}  // namespace mainwindow
