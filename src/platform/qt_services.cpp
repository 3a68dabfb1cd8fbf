// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_services.h"

#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QScreen>
#include <QWidget>

#include <cmath>

#include "platform/painter_canvas.h"
#include "platform/printer.h"

namespace platform {

void QtClipboard::setMimeData(std::unique_ptr<QMimeData> data)
{
    // The clipboard takes the data over; its previous content goes once, with all formats.
    QGuiApplication::clipboard()->setMimeData(data.release());
}

namespace {

// SaveDialogOnTypeChange: the name in the dialog takes the extension of the chosen type.
void SaveDialogOnTypeChange(QFileDialog& dialog, const SaveDialogRequest& request)
{
    const int type = chosenType(dialog, request);
    if (type < 1) {
        return;
    }
    const QString extension = request.extensions.at(type - 1);
    dialog.setDefaultSuffix(extension);
    const QStringList selected = dialog.selectedFiles();
    if (selected.isEmpty()) {
        return;
    }
    const QFileInfo current(selected.front());
    if (current.fileName().isEmpty()) {
        return;  // no name typed yet
    }
    dialog.selectFile(changeExtension(current.fileName(), extension));
}

}  // namespace

int chosenType(const QFileDialog& dialog, const SaveDialogRequest& request)
{
    const qsizetype index = request.filters.indexOf(dialog.selectedNameFilter());
    return index < 0 ? 0 : static_cast<int>(index) + 1;
}

void prepareSaveDialog(QFileDialog& dialog, const SaveDialogRequest& request)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setSizeGripEnabled(true);
    dialog.setWindowTitle(request.title);
    dialog.setNameFilters(request.filters);
    const int type = request.type >= 1 && request.type <= request.filters.size() ? request.type : 1;
    if (!request.filters.isEmpty()) {
        dialog.selectNameFilter(request.filters.at(type - 1));
    }
    if (type <= request.extensions.size()) {
        dialog.setDefaultSuffix(request.extensions.at(type - 1));
    }
    if (!request.folder.isEmpty()) {
        dialog.setDirectory(request.folder);
    }
    dialog.selectFile(QFileInfo(request.fileName).fileName());
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog, request](const QString&) { SaveDialogOnTypeChange(dialog, request); });
}

std::optional<SaveDialogChoice> QtSaveDialog::run(const SaveDialogRequest& request, QWidget* parent)
{
    QFileDialog dialog(parent);
    prepareSaveDialog(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const int type = chosenType(dialog, request);
    return SaveDialogChoice{dialog.selectedFiles().front(), type < 1 ? 1 : type};
}

bool QtPrintDialogs::print(PrinterDevice& device, QWidget* parent)
{
    QPrinter* printer = device.printer();
    if (printer == nullptr) {
        return false;
    }
    QPrintDialog dialog(printer, parent);
    // One page: no ranges, copies of a selection or current page to choose.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPrintDialogs::pageSetup(PrinterDevice& device, QWidget* parent)
{
    QPrinter* printer = device.printer();
    if (printer == nullptr) {
        return false;
    }
    QPageSetupDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

QString changeExtension(const QString& fileName, const QString& extension)
{
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype nameStart = slash + 1;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > nameStart ? fileName.left(dot) : fileName;
    return stem + QLatin1Char('.') + extension;
}

void QtAlerts::beep()
{
    QApplication::beep();
}

void QtAlerts::showError(QWidget* parent, const QString& message)
{
    QMessageBox::critical(parent, parent != nullptr ? parent->windowTitle() : QString(), message);
}

void QtAlerts::showWarning(QWidget* parent, const QString& message)
{
    QMessageBox::warning(parent, parent != nullptr ? parent->windowTitle() : QString(), message);
}

namespace {

const QColor EmptySlot = Qt::white;

}  // namespace

void QtColorChooser::setCustomColors(const TCustomColors& colors)
{
    for (std::size_t i = 0; i < common::CustomColorCount; ++i) {
        m_empty[i] = !colors[i].has_value();
        QColorDialog::setCustomColor(static_cast<int>(i),
                                     colors[i] ? toQColor(*colors[i]) : EmptySlot);
    }
}

TCustomColors QtColorChooser::customColors() const
{
    TCustomColors colors;
    for (std::size_t i = 0; i < common::CustomColorCount; ++i) {
        const QColor c = QColorDialog::customColor(static_cast<int>(i));
        if (!(m_empty[i] && c == EmptySlot) && c.isValid()) {
            colors[i] = fromQColor(c);
        }
    }
    return colors;
}

std::optional<common::TColor> QtColorChooser::choose(common::TColor initial, QWidget* parent)
{
    const QColor chosen = QColorDialog::getColor(toQColor(initial), parent);
    if (!chosen.isValid()) {
        return std::nullopt;
    }
    return fromQColor(chosen);
}

std::optional<int> plausibleDisplayWidthMm(const TScreenReport& report)
{
    const double width = report.widthMm;
    if (!std::isfinite(width) || width < MinPlausibleDisplayWidthMm ||
        width > MaxPlausibleDisplayWidthMm) {
        return std::nullopt;
    }
    const double height = std::isfinite(report.heightMm) ? report.heightMm : 0.0;
    if (std::lround(width) == 160 && (std::lround(height) == 90 || std::lround(height) == 100)) {
        return std::nullopt;  // 16:9 or 16:10, no size
    }
    for (const double mmPerPixel : {25.4 / 96.0, 25.4 / 100.0, 1.0}) {
        if (std::abs(width - report.widthPixels * mmPerPixel) < 1.0 &&
            std::abs(height - report.heightPixels * mmPerPixel) < 1.0) {
            return std::nullopt;
        }
    }
    return static_cast<int>(std::lround(width));
}

QScreen* screenOf(const QWidget* window)
{
    QScreen* screen = window != nullptr ? window->screen() : nullptr;
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}

std::optional<int> QtDisplay::physicalWidthMm(const QWidget* window) const
{
    const QScreen* screen = screenOf(window);
    if (screen == nullptr) {
        return std::nullopt;
    }
    // The window system derives a stand-in size from the device pixels, not the logical ones.
    const QSizeF pixels = QSizeF(screen->geometry().size()) * screen->devicePixelRatio();
    const QSizeF size = screen->physicalSize();
    return plausibleDisplayWidthMm({size.width(), size.height(),
                                    static_cast<int>(std::lround(pixels.width())),
                                    static_cast<int>(std::lround(pixels.height()))});
}

std::vector<std::string> screenFontNames()
{
    return sortedFontNames(QFontDatabase::families());
}

}  // namespace platform
