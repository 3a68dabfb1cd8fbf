// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The real desktop services: the application's clipboard, QFileDialog, QPrintDialog and
// QPageSetupDialog, QApplication::beep and QMessageBox, the screens' reported sizes.

#include "platform/services.h"

class QFileDialog;
class QScreen;

namespace platform {

class QtClipboard : public ClipboardService {
public:
    void setMimeData(std::unique_ptr<QMimeData> data) override;
};

// Qt's own file dialog rather than the desktop's: only it lets SaveDialogOnTypeChange follow
// the chosen type while the dialog is open, and it asks before overwriting a file.
class QtSaveDialog : public SaveDialogService {
public:
    std::optional<SaveDialogChoice> run(const SaveDialogRequest& request, QWidget* parent) override;
};

// Sets up `dialog` as SaveDialog for `request`, with SaveDialogOnTypeChange connected; run()
// uses it, and tests drive the dialog it prepares.
void prepareSaveDialog(QFileDialog& dialog, const SaveDialogRequest& request);
// The type (1-based) of the dialog's chosen name filter; 0 when it is none of the request's.
int chosenType(const QFileDialog& dialog, const SaveDialogRequest& request);

// `fileName` with its extension replaced by `extension` (no dot), or the extension appended
// when it has none; folders and the rest of the name stay. A leading dot of the name is not an
// extension.
QString changeExtension(const QString& fileName, const QString& extension);

class QtPrintDialogs : public PrintDialogService {
public:
    bool print(PrinterDevice& device, QWidget* parent) override;
    bool pageSetup(PrinterDevice& device, QWidget* parent) override;
};

class QtAlerts : public AlertService {
public:
    void beep() override;
    void showError(QWidget* parent, const QString& message) override;
    void showWarning(QWidget* parent, const QString& message) override;
};

// QColorDialog. Its custom slots are the toolkit's, shared by every colour dialog of the process.
class QtColorChooser : public ColorChooser {
public:
    void setCustomColors(const TCustomColors& colors) override;
    TCustomColors customColors() const override;
    std::optional<common::TColor> choose(common::TColor initial, QWidget* parent) override;

private:
    // The toolkit has no empty slot; slots set empty show white and read back empty while they
    // still hold it.
    std::array<bool, common::CustomColorCount> m_empty{};
};

// What a screen tells about its size: the physical size and the size in device pixels.
struct TScreenReport {
    double widthMm = 0.0;
    double heightMm = 0.0;
    int widthPixels = 0;
    int heightPixels = 0;
};

// The widths a display's report of its size is believed within. Many displays report none, and
// projectors and televisions often their aspect ratio in centimetres (160 x 90).
inline constexpr int MinPlausibleDisplayWidthMm = 150;
inline constexpr int MaxPlausibleDisplayWidthMm = 2000;
// The reported width rounded to whole millimetres, if it is plausible. A size that is just the
// pixels at 96 or 100 per inch, or one millimetre a pixel, is a window system's stand-in for a
// display that reported none (X11, Qt, headless compositors), and no report.
std::optional<int> plausibleDisplayWidthMm(const TScreenReport& report);

// The screen `window` is on; the primary screen when `window` is null. Null without screens.
QScreen* screenOf(const QWidget* window);

// QScreen::physicalSize of the window's screen.
class QtDisplay : public DisplayService {
public:
    std::optional<int> physicalWidthMm(const QWidget* window) const override;
};

// The installed screen fonts, sorted.
std::vector<std::string> screenFontNames();

}  // namespace platform
