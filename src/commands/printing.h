// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The print command of the main window (SpeedButtonPrint, Ctrl+P): one page at the true scale on
// the program's one printer (platform/printer.h).
//
//   form.onPrint = [&] { commands::SpeedButtonPrintOnClick(window, printer, dialogs); };

#include <QString>

#include "commands/output_window.h"
#include "platform/printer.h"
#include "platform/services.h"
#include "scene/scene.h"

namespace commands {

// f = PrinterPixelsPerMetre / ScreenPixelsPerMetre: one metre on the calibrated screen is one
// metre on paper, so the printout keeps 1 : N.
double printDeviceFactor(double printerPixelsPerMetre, double screenPixelsPerMetre);

// Draws the scene centred in `rect` of the device at factor f and sends the page; the scene is
// projected on a private copy. Lets pending events other than user input run before the page
// is ended. False with a reason in the language when the job could not be started or failed.
bool printPage(const scene::SceneState& s, platform::PrinterDevice& device,
               const platform::TPrintRect& rect, double f, common::TLanguage language,
               QString& error);

// The print command: the print dialog, the page size for the orientation then in force, and,
// when confirmed, one page at the true scale. Errors are shown; ProgramState ends Idle.
// True when a page was sent.
bool SpeedButtonPrintOnClick(OutputWindow& window, platform::Printer& printer,
                             platform::PrintDialogService& dialogs);

}  // namespace commands
