// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/printing.h"

#include <QCoreApplication>
#include <QPrinter>
#include <QWidget>

#include <algorithm>

#include "common/numbers.h"
#include "common/texts.h"
#include "platform/painter_canvas.h"
#include "scene/projection.h"
#include "scene/render.h"

namespace commands {

namespace {

std::size_t orientationIndex(std::uint8_t orientation)
{
    return orientation == 0 ? 0 : 1;
}

}  // namespace

double printDeviceFactor(double printerPixelsPerMetre, double screenPixelsPerMetre)
{
    return printerPixelsPerMetre / screenPixelsPerMetre;
}

// ---- The page

namespace {

// Measures labels on the window's screen canvas; between the page and its end lets timers and
// repaints run but no user input, which could start a second command inside this one.
class PrintHost : public scene::SceneHost {
public:
    explicit PrintHost(scene::SceneHost* screen) : m_screen(screen) {}
    scene::Canvas& screenCanvas() override { return m_screen->screenCanvas(); }
    void processPendingEvents() override
    {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

private:
    scene::SceneHost* m_screen;
};

}  // namespace

bool printPage(const scene::SceneState& s, platform::PrinterDevice& device,
               const platform::TPrintRect& rect, double f, common::TLanguage language,
               QString& error)
{
    const auto text = [language](common::TMessage message,
                                 std::initializer_list<std::string_view> values = {}) {
        return QString::fromStdString(common::messageText(message, language, values));
    };
    PrintHost host(s.Host);
    auto page = std::make_unique<scene::SceneState>(s);
    page->Host = s.Host != nullptr ? &host : nullptr;
    page->DrawingInProgress = false;
    const std::int32_t width = common::saturate32(std::int64_t{rect.right} - rect.left);
    const std::int32_t height = common::saturate32(std::int64_t{rect.bottom} - rect.top);
    scene::projectScene(*page, width, height, s.PixelsPerUnit, f);
    scene::translateScene(*page, rect.left, rect.top);

    platform::PainterCanvas canvas(device.paintDevice());
    if (!canvas.isActive()) {
        const QPrinter* printer = device.printer();
        if (printer != nullptr && printer->outputFormat() == QPrinter::PdfFormat) {
            error = printer->outputFileName().isEmpty()
                        ? text(common::TMessage::PrintNoFileChosen)
                        : text(common::TMessage::PrintFileNotWritable,
                               {printer->outputFileName().toStdString()});
        } else {
            error = text(common::TMessage::PrintJobNotStarted);
        }
        return false;
    }
    scene::drawScene(*page, rect.left, rect.top, width, height, canvas, f);
    canvas.finish();
    error = device.jobError(language);
    return error.isEmpty();
}

bool SpeedButtonPrintOnClick(OutputWindow& window, platform::Printer& printer,
                             platform::PrintDialogService& dialogs)
{
    window.setProgramState(TOutputState::Printing);
    common::TPrinterSettings& settings = window.printerSettings();
    settings.Orientation = static_cast<std::uint8_t>(orientationIndex(settings.Orientation));
    platform::PrinterDevice& device = printer.device();
    device.setOrientation(settings.Orientation);

    QWidget* parent = window.dialogParent();
    const bool confirmed = dialogs.print(device, parent);
    if (parent != nullptr) {
        parent->update();
    }
    if (confirmed) {
        settings.Orientation = device.orientation();
    }
    // The page size for the orientation in force, which the settings dialog shows too.
    printer.setOrientation(settings.Orientation);
    printer.pageSizeMm();
    if (!confirmed) {
        window.setProgramState(TOutputState::Idle);
        return false;
    }

    bool printed = false;
    const platform::TPrinterDeviceValues values = device.deviceValues();
    if (values.LOGPIXELSX < 1 || values.LOGPIXELSY < 1 || values.HORZRES < 1 ||
        values.HORZSIZE < 1) {
        window.showError(QString::fromStdString(common::messageText(
            common::TMessage::PrinterNoUsablePage, window.appSettings().Language)));
    } else {
        const platform::TMarginGeometry g =
            platform::applyMarginGeometry(device, settings.Orientation, settings);
        const scene::SceneState& s = window.scene();
        const double f = printDeviceFactor(g.PrinterPixelsPerMetre, s.ScreenPixelsPerMetre);
        QString error;
        printed = printPage(s, device, g.PrintRect, f, window.appSettings().Language, error);
        if (!printed) {
            window.showError(error);
        }
    }
    window.setProgramState(TOutputState::Idle);
    return printed;
}

}  // namespace commands
