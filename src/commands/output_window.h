// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the export and printing commands need from the main window. The application adapts
// TFormMain to it, tests provide their own; so this layer never names the window.

#include <QString>

#include <cstdint>
#include <string>

#include "common/globals.h"
#include "scene/scene.h"

class QWidget;

namespace commands {

// The window's ProgramState values that the commands set; the numbers are the window's.
enum class TOutputState : std::uint8_t {
    Idle = 0,
    Copying = 3,
    Printing = 6,
    Saving = 7,
};

class OutputWindow {
public:
    virtual ~OutputWindow() = default;

    virtual scene::SceneState& scene() = 0;
    virtual void setProgramState(TOutputState state) = 0;
    // The settings record that is written at close: GraphFilePath, GraphFileType and Language
    // live here, and Orientation and the margins.
    virtual common::TAppSettings& appSettings() = 0;
    virtual common::TPrinterSettings& printerSettings() = 0;
    // The full path the drawing is saved to (no setting: it lives for one run).
    virtual std::string graphFileName() const = 0;
    virtual void setGraphFileName(const std::string& path) = 0;
    // SpeedButtonSave: disabled until the first Save As has written its file.
    virtual bool saveEnabled() const = 0;
    virtual void enableSave() = 0;
    // The parent of the dialogs; repainted after the print dialog. May be null.
    virtual QWidget* dialogParent() = 0;
    // The application's standard error message box.
    virtual void showError(const QString& message) = 0;
};

}  // namespace commands
