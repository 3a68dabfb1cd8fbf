// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Connects the main window's Copy, Save, Save As and Print hooks to the export and printing
// commands, through an adapter that lends the commands what they need of TFormMain.

#include <cstdint>

#include "commands/animation_export_command.h"
#include "commands/graphic_export.h"
#include "commands/output_window.h"
#include "commands/printing.h"
#include "mainwindow/form_main.h"
#include "platform/printer.h"
#include "platform/services.h"

namespace app {

class FormMainOutputWindow : public commands::OutputWindow {
public:
    FormMainOutputWindow(mainwindow::TFormMain& form, platform::AlertService& alerts)
        : m_form(form), m_alerts(alerts)
    {
    }

    scene::SceneState& scene() override { return m_form.scene(); }
    void setProgramState(commands::TOutputState state) override;
    common::TAppSettings& appSettings() override { return m_form.appSettings(); }
    common::TPrinterSettings& printerSettings() override { return m_form.printerSettings(); }
    std::string graphFileName() const override { return m_form.graphFileName(); }
    void setGraphFileName(const std::string& path) override { m_form.setGraphFileName(path); }
    bool saveEnabled() const override;
    void enableSave() override;
    QWidget* dialogParent() override { return &m_form; }
    void showError(const QString& message) override;

private:
    mainwindow::TFormMain& m_form;
    platform::AlertService& m_alerts;
};

struct OutputServices {
    platform::ClipboardService& clipboard;
    platform::SaveDialogService& saveDialog;
    platform::AlertService& alerts;
    platform::PrintDialogService& printDialogs;
};

// Installs onCopy, onSave, onSaveAs and onPrint on `form` and, when a printer is available,
// queries the page size for the stored orientation. Must outlive the form's use of the hooks.
class OutputWiring {
public:
    // primaryScreenWidthPixels: QGuiApplication::primaryScreen()->geometry().width().
    OutputWiring(mainwindow::TFormMain& form, const OutputServices& services,
                 platform::Printer& printer, std::int32_t primaryScreenWidthPixels);
    ~OutputWiring();
    OutputWiring(const OutputWiring&) = delete;
    OutputWiring& operator=(const OutputWiring&) = delete;

    commands::GraphicExport& graphicExport() { return m_export; }

private:
    mainwindow::TFormMain& m_form;
    FormMainOutputWindow m_window;
    commands::GraphicExport m_export;
};

}  // namespace app
