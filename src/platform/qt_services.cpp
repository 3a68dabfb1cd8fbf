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

std::optional<int> plausibleDisplayWidthMm(double widthMm, double heightMm)
{
    if (!std::isfinite(widthMm) || widthMm < MinPlausibleDisplayWidthMm ||
        widthMm > MaxPlausibleDisplayWidthMm) {
        return std::nullopt;
    }
    const long width = std::lround(widthMm);
    const long height = std::isfinite(heightMm) ? std::lround(heightMm) : 0;
    if (width == 160 && (height == 90 || height == 100)) {
        return std::nullopt;  // 16:9 or 16:10, no size
    }
    return static_cast<int>(width);
}

std::optional<int> QtDisplay::physicalWidthMm(const QWidget* window) const
{
    const QScreen* screen = window != nullptr ? window->screen() : nullptr;
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return std::nullopt;
    }
    const QSizeF size = screen->physicalSize();
    return plausibleDisplayWidthMm(size.width(), size.height());
}

std::vector<std::string> screenFontNames()
{
    return sortedFontNames(QFontDatabase::families());
}

}  // namespace platform
