// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/output_wiring.h"

#include <QToolButton>

namespace app {

static_assert(static_cast<int>(commands::TOutputState::Copying) ==
                      static_cast<int>(mainwindow::TProgramState::Copying) &&
                  static_cast<int>(commands::TOutputState::Printing) ==
                      static_cast<int>(mainwindow::TProgramState::Printing) &&
                  static_cast<int>(commands::TOutputState::Saving) ==
                      static_cast<int>(mainwindow::TProgramState::Saving) &&
                  static_cast<int>(commands::TOutputState::Idle) ==
                      static_cast<int>(mainwindow::TProgramState::Idle),
              "the commands' states are the window's ProgramState values");

void FormMainOutputWindow::setProgramState(commands::TOutputState state)
{
    m_form.setProgramState(static_cast<mainwindow::TProgramState>(state));
}

bool FormMainOutputWindow::saveEnabled() const
{
    const auto* button = m_form.control<QToolButton>("SpeedButtonSave");
    return button != nullptr && button->isEnabled();
}

void FormMainOutputWindow::enableSave()
{
    if (auto* button = m_form.control<QToolButton>("SpeedButtonSave")) {
        button->setEnabled(true);
    }
}

void FormMainOutputWindow::showError(const QString& message)
{
    m_alerts.showError(&m_form, message);
}

OutputWiring::OutputWiring(mainwindow::TFormMain& form, const OutputServices& services,
                           platform::Printer& printer, std::int32_t primaryScreenWidthPixels)
    : m_form(form),
      m_window(form, services.alerts),
      m_export(m_window, services.clipboard, services.saveDialog, services.alerts,
               primaryScreenWidthPixels)
{
    form.onCopy = [this] { m_export.SpeedButtonCopyOnClick(commands::ExportSender::Copy); };
    form.onSave = [this] { m_export.SpeedButtonSaveOnClick(); };
    form.onSaveAs = [this] { m_export.SpeedButtonSaveAsOnClick(); };
    platform::SaveDialogService& saveDialog = services.saveDialog;
    form.onExportAnimation = [this, &saveDialog] {
        const auto ask = [this, &saveDialog](const commands::AnimationDefaults& defaults)
            -> std::optional<commands::AnimationChoice> {
            commands::TFormExportAnimation dialog(defaults, saveDialog, &m_form);
            if (dialog.exec() != QDialog::Accepted) {
                return std::nullopt;
            }
            return dialog.choice();
        };
        commands::DialogExportProgress progress;
        commands::SpeedButtonExportAnimationOnClick(m_window, ask, progress);
    };
    if (form.environment().printerAvailable) {
        printer.setOrientation(form.printerSettings().Orientation);
        printer.pageSizeMm();
        platform::PrintDialogService& dialogs = services.printDialogs;
        form.onPrint = [this, &printer, &dialogs] {
            commands::SpeedButtonPrintOnClick(m_window, printer, dialogs);
        };
    }
}

OutputWiring::~OutputWiring()
{
    m_form.onCopy = nullptr;
    m_form.onSave = nullptr;
    m_form.onSaveAs = nullptr;
    m_form.onExportAnimation = nullptr;
    m_form.onPrint = nullptr;
}

}  // namespace app
