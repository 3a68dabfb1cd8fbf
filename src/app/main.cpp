// SPDX-License-Identifier: GPL-3.0-or-later
// Ondulix: how two perpendicular component waves add up to a polarised wave.

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QLocale>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/output_wiring.h"
#include "app/program_end.h"
#include "app/screen_width.h"
#include "mainwindow/form_main.h"
#include "mainwindow/hint_style.h"
#include "platform/aux_files.h"
#include "platform/printer.h"
#include "platform/printer_check.h"
#include "platform/qt_services.h"
#include "platform/qt_system.h"
#include "platform/qt_translations.h"
#include "platform/unix_signals.h"
#include "settings/settings_file.h"
#include "settings/settings_io.h"
#include "settingsdialog/form_settings.h"

namespace {

mainwindow::TFormMainEnvironment readEnvironment(int argc)
{
    mainwindow::TFormMainEnvironment environment;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        environment.desktopWidth = screen->virtualGeometry().width();
        environment.desktopHeight = screen->virtualGeometry().height();
        environment.workAreaWidth = screen->availableGeometry().width();
        environment.workAreaHeight = screen->availableGeometry().height();
    }
    environment.executablePath = QCoreApplication::applicationFilePath();
    environment.hasArguments = argc > 1;
    environment.windowPositionKnown =
        !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return environment;
}

}  // namespace

int main(int argc, char** argv)
{
    // Answered before the toolkit starts, so that it needs no display.
    if (std::any_of(argv + 1, argv + argc,
                    [](const char* argument) { return std::strcmp(argument, "--version") == 0; })) {
        std::printf("ondulix %s\n", ONDULIX_VERSION);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(ONDULIX_VERSION));
    // Wayland desktops find the icon by the desktop entry's name; on X11 the windows carry it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvantic.ondulix"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("ondulix"), QIcon(QStringLiteral(":/app/ondulix.svg"))));

    // Settled once, before any window exists.
    const bool printerAvailable = platform::checkPrinterAvailable();

    mainwindow::installHintTimings();
    mainwindow::TFormMainEnvironment environment = readEnvironment(argc);
    environment.printerAvailable = printerAvailable;

    // Where the settings and the user's pictures live, and what the settings say.
    platform::QtSystemEnvironment system;
    const std::string exePath = environment.executablePath.toStdString();
    const platform::TExecutablePath exe = platform::splitExecutablePath(exePath);
    environment.settingsFileName =
        platform::resolveSettingsFileName(system, platform::MakerFolderName, exePath, false);
    environment.personalFolder = platform::resolvePersonalFolder(system, exe.Folder);
    environment.numberFormat = settings::TNumberFormat::forDecimalSeparator(
        QLocale::system().decimalPoint().toStdString());
    const settings::TReadContext context{environment.personalFolder,
                                         {environment.workAreaWidth, environment.workAreaHeight},
                                         environment.numberFormat};
    // What writes of an earlier run left when they were killed halfway.
    settings::removeLeftoverTemporaryFiles(environment.settingsFileName);
    settings::TSettingsRead read = settings::ReadSettings(environment.settingsFileName, context);
    settings::sanitizeSettings(read.Data);
    // A stored width stays; without one, the display's own report makes the scale true from the
    // first start on.
    environment.screenWidthSource =
        app::takeScreenWidth(read, platform::QtDisplay().physicalWidthMm(nullptr));
    // Qt's dialogs and key names in the program's language from the first window on.
    platform::QtTranslations qtTexts;
    qtTexts.setLanguage(read.Data.App.Language);
    environment.helpOpenCommand = platform::helpOpenCommand(system);
    environment.exeFolder = exe.Folder;

    mainwindow::TFormMain form(environment, read.Data);
    platform::QtProcessLauncher helpLauncher;
    form.setHelpLauncher(&helpLauncher);
    // Copy, Save, Save As and Print on the desktop's clipboard, dialogs and printer. The metafile's
    // resolution rests on the primary display alone, not on the whole desktop.
    platform::QtClipboard clipboard;
    platform::QtSaveDialog saveDialog;
    platform::QtAlerts alerts;
    platform::QtPrintDialogs printDialogs;
    platform::UnitPrinter printer(&printDialogs);
    const QScreen* primary = QGuiApplication::primaryScreen();
    app::OutputWiring outputCommands(
        form, {clipboard, saveDialog, alerts, printDialogs}, printer,
        primary != nullptr ? primary->geometry().width() : environment.desktopWidth);
    // Created once, hidden until called; it edits the settings of the scene behind the window,
    // shares the print command's printer and keeps its state in the settings file.
    settingsdialog::TFormSettingsEnvironment dialogEnvironment;
    dialogEnvironment.exeBaseName = form.exeBaseName();
    dialogEnvironment.printerAvailable = printerAvailable;
    dialogEnvironment.workArea = {environment.workAreaWidth, environment.workAreaHeight};
    dialogEnvironment.stateFileName = environment.settingsFileName;
    settingsdialog::TFormSettingsServices dialogServices;
    dialogServices.printer = std::make_unique<platform::SharedPrinter>(printer);
    settingsdialog::TFormSettings formSettings(form.controller(), dialogEnvironment,
                                               std::move(dialogServices), &form);
    form.onSettings = [&formSettings] { formSettings.SpeedButtonSettingsOnClick(); };
    form.onAnimationStep = [&formSettings] { formSettings.RefreshPrintPreview(); };
    form.onLanguageChanged = [&qtTexts](common::TLanguage language) {
        qtTexts.setLanguage(language);
    };
    // The program ends when the main window has closed and every report is dismissed, not when
    // the last window goes: a failure's message box would be that last window.
    QApplication::setQuitOnLastWindowClosed(false);
    app::ProgramEnd programEnd(form, formSettings, app::ProgramEnd::desktopServices(form));
    platform::routeTerminationSignals([&programEnd] { programEnd.endBySignal(); });
    form.show();
    if (!read.Problems.empty()) {
        // Once, for all values that could not be used; they got their defaults. Shown from the
        // event loop, so that a signal that comes meanwhile ends the program as any other time.
        QTimer::singleShot(0, &form, [&form, &read, &alerts] {
            alerts.showWarning(&form, QString::fromStdString(settings::problemsMessage(
                                          read.Problems, read.Data.App.Language)));
        });
    }
    return QApplication::exec();
}
