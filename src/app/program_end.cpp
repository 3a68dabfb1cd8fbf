// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_end.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

#include <cstdio>

#include "mainwindow/form_main.h"
#include "platform/qt_services.h"
#include "settingsdialog/form_settings.h"

namespace app {

ProgramEnd::ProgramEnd(mainwindow::TFormMain& form, settingsdialog::TFormSettings& dialog,
                       ProgramEndServices services)
    : m_form(form), m_dialog(dialog), m_services(std::move(services))
{
    m_form.onClosed = [this] { end(); };
}

void ProgramEnd::end()
{
    const mainwindow::TFormMainEnvironment& environment = m_form.environment();
    // Started with arguments (a presentation set up by a script, say): leave the file alone.
    if (!environment.hasArguments && !environment.settingsFileName.empty()) {
        reportFailure(settings::WriteSettings(environment.settingsFileName,
                                              m_form.currentSettings(), environment.numberFormat));
    }
    // Independent of the command line: only SaveSettings decides.
    if (m_form.saveSettings() && !environment.settingsFileName.empty()) {
        reportFailure(
            settings::WriteDialogState(environment.settingsFileName, m_dialog.dialogState()));
    }
    m_services.quit();
}

void ProgramEnd::reportFailure(const settings::TFileResult& written)
{
    if (!written.Ok) {
        const bool german =
            m_form.language() == common::TLanguage::German && !written.GermanError.empty();
        report(QString::fromStdString(german ? written.GermanError : written.Error));
    }
}

ProgramEnd::~ProgramEnd()
{
    m_form.onClosed = nullptr;
}

void ProgramEnd::report(const QString& message)
{
    if (m_bySignal) {
        m_services.printError(message);
    } else {
        m_services.alert(message);
    }
}

void ProgramEnd::endBySignal()
{
    if (m_bySignal) {
        return;  // a second signal while the first one ends the program
    }
    m_bySignal = true;
    m_services.closeModalWindows();
    if (m_form.isVisible()) {
        m_form.close();
    } else {
        m_form.onClosed();
    }
}

ProgramEndServices ProgramEnd::desktopServices(QWidget& window)
{
    ProgramEndServices services;
    services.alert = [&window](const QString& message) {
        platform::QtAlerts().showError(&window, message);
    };
    services.printError = [](const QString& message) {
        const QByteArray text = message.toUtf8();
        std::fprintf(stderr, "ondulix: %s\n", text.constData());
    };
    services.closeModalWindows = [] {
        // Innermost first; a window that refuses to go must not keep this loop running.
        for (int tries = 0; tries < 32; ++tries) {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) {
                break;
            }
            if (auto* dialog = qobject_cast<QDialog*>(modal)) {
                dialog->reject();
            } else {
                modal->close();
            }
            modal->hide();
        }
    };
    // exit() ends the nested loops of dialogs too, not only the main one.
    services.quit = [] { QCoreApplication::exit(0); };
    return services;
}

}  // namespace app
