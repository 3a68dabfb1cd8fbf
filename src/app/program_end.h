// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

#include "settings/settings_io.h"

class QWidget;

namespace mainwindow {
class TFormMain;
}
namespace settingsdialog {
class TFormSettings;
}

namespace app {

// What ending the program reaches outside the windows; tests replace each part.
struct ProgramEndServices {
    std::function<void(const QString& message)> alert;       // stays until the user dismisses it
    std::function<void(const QString& message)> printError;  // standard error
    std::function<void()> closeModalWindows;                 // every message box and dialog
    std::function<void()> quit;                              // ends every event loop
};

// The one way the program ends. The main window's close writes the settings, then the settings
// dialog's state (position, tab, custom colours) when SaveSettings is on, and only after both, and
// after every failure was shown and dismissed, do the event loops end; so a report can neither be
// skipped nor closed by the end itself. A termination signal ends the program the same way from
// under any modal window, reporting failures on standard error instead of waiting for someone to
// read them.
class ProgramEnd {
public:
    ProgramEnd(mainwindow::TFormMain& form, settingsdialog::TFormSettings& dialog,
               ProgramEndServices services);
    ProgramEnd(const ProgramEnd&) = delete;
    ProgramEnd& operator=(const ProgramEnd&) = delete;
    ~ProgramEnd();

    void endBySignal();
    bool endedBySignal() const { return m_bySignal; }

    // Message boxes over `window`, standard error, Qt's modal windows and event loops.
    static ProgramEndServices desktopServices(QWidget& window);

private:
    void end();
    void reportFailure(const settings::TFileResult& written);
    void report(const QString& message);

    mainwindow::TFormMain& m_form;
    settingsdialog::TFormSettings& m_dialog;
    ProgramEndServices m_services;
    bool m_bySignal = false;
};

}  // namespace app
