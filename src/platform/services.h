// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The desktop services the export and printing commands use, each behind a small interface so
// that tests replace them with fakes. qt_services.h has the real ones.

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/colors.h"
#include "common/globals.h"

class QMimeData;
class QWidget;

namespace platform {

class PrinterDevice;

class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    // Replaces the clipboard's content with `data`, all its formats at once.
    virtual void setMimeData(std::unique_ptr<QMimeData> data) = 0;
};

// What SaveDialog shows when it opens.
struct SaveDialogRequest {
    QString title;
    QString folder;          // the folder it opens in
    QString fileName;        // the proposed file, a full path or a bare name
    QStringList filters;     // "Enhanced Metafile (*.emf)", ... type k is filters[k - 1]
    QStringList extensions;  // "emf", ... in the same order
    int type = 1;            // 1-based
};

struct SaveDialogChoice {
    QString path;  // the chosen file, absolute
    int type = 1;  // the chosen name filter, 1-based
};

class SaveDialogService {
public:
    virtual ~SaveDialogService() = default;
    // Empty when the user cancels.
    virtual std::optional<SaveDialogChoice> run(const SaveDialogRequest& request,
                                                QWidget* parent) = 0;
};

class PrintDialogService {
public:
    virtual ~PrintDialogService() = default;
    // The print dialog on the device's printer; true when the user confirms. The dialog may
    // change the printer, its orientation and its output file.
    virtual bool print(PrinterDevice& device, QWidget* parent) = 0;
    // The printer setup dialog ("Printer configuration"); true when confirmed.
    virtual bool pageSetup(PrinterDevice& device, QWidget* parent) = 0;
};

// The program's one way of alerting the user: the beep and the message boxes.
class AlertService {
public:
    virtual ~AlertService() = default;
    // The system's default beep.
    virtual void beep() = 0;
    // The error and warning message boxes over `parent`, titled as its window; each stays until
    // the user dismisses it. `parent` may be null.
    virtual void showError(QWidget* parent, const QString& message) = 0;
    virtual void showWarning(QWidget* parent, const QString& message) = 0;
};

using TCustomColors = std::array<std::optional<common::TColor>, common::CustomColorCount>;

// The colour chooser with its 16 custom slots.
class ColorChooser {
public:
    virtual ~ColorChooser() = default;
    virtual void setCustomColors(const TCustomColors& colors) = 0;
    virtual TCustomColors customColors() const = 0;
    // Opens the chooser preset to `initial`; the colour the user confirmed, none when cancelled.
    virtual std::optional<common::TColor> choose(common::TColor initial, QWidget* parent) = 0;
};

// What the display reports about its own size.
class DisplayService {
public:
    virtual ~DisplayService() = default;
    // The physical width in whole millimetres of the screen `window` is on (the primary screen
    // when `window` is null), if the display reports a plausible one.
    virtual std::optional<int> physicalWidthMm(const QWidget* window) const = 0;
};

}  // namespace platform
