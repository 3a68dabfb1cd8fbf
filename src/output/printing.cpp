#include "output/printing.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPrinter>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

#include "common/numbers.h"
#include "platform/painter_canvas.h"
#include "scene/projection.h"
#include "scene/render.h"

namespace output {

namespace {

// Round(units x multiplier / divisor) where multiplier / divisor is 25.4 or 1 / 25.4, formed in
// extended precision.
std::int32_t roundedProduct(std::int64_t units, long double factor)
{
    return common::roundToInt(static_cast<long double>(units) * factor);
}

// Ceil(pixels x 25.4 / dotsPerInch) as exact integers: 25.4 has no exact binary form, and a
// strip of exactly n millimetres must not become n + 1.
std::int32_t ceilMillimetres(std::int32_t pixels, std::int32_t dotsPerInch)
{
    const std::int64_t numerator = std::int64_t{pixels} * 254;
    const std::int64_t denominator = std::int64_t{std::max(dotsPerInch, 1)} * 10;
    std::int64_t quotient = numerator / denominator;
    if (numerator % denominator != 0 && numerator > 0) {
        ++quotient;
    }
    return common::saturate32(quotient);
}

std::size_t orientationIndex(std::uint8_t orientation)
{
    return orientation == 0 ? 0 : 1;
}

// The printer pixels of a margin: the integer product of millimetres and pixels per inch,
// divided by 25.4.
std::int32_t marginPixels(std::int32_t millimetres, std::int32_t dotsPerInch)
{
    return common::roundToInt(static_cast<long double>(std::int64_t{millimetres} * dotsPerInch) /
                              25.4L);
}

}  // namespace

TPageSize pageSizeOf(const TPrinterDeviceValues& d)
{
    if (d.LOGPIXELSX < 1 || d.LOGPIXELSY < 1) {
        return {};
    }
    return {roundedProduct(d.PHYSICALWIDTH, 25.4L / d.LOGPIXELSX),
            roundedProduct(d.PHYSICALHEIGHT, 25.4L / d.LOGPIXELSY)};
}

TMarginGeometry marginGeometry(const TPrinterDeviceValues& d, const TMargins& margins)
{
    const std::int32_t dpiX = std::max(d.LOGPIXELSX, 1);
    const std::int32_t dpiY = std::max(d.LOGPIXELSY, 1);
    const std::int32_t rightStrip =
        common::saturate32(std::int64_t{d.PHYSICALWIDTH} - d.HORZRES - d.PHYSICALOFFSETX);
    const std::int32_t bottomStrip =
        common::saturate32(std::int64_t{d.PHYSICALHEIGHT} - d.VERTRES - d.PHYSICALOFFSETY);

    TMarginGeometry g;
    g.Margins = margins;
    std::int32_t left = marginPixels(margins.Left, dpiX);
    std::int32_t right = marginPixels(margins.Right, dpiX);
    std::int32_t top = marginPixels(margins.Top, dpiY);
    std::int32_t bottom = marginPixels(margins.Bottom, dpiY);
    const auto widen = [&g](std::int32_t& pixels, std::int32_t strip, std::int32_t& setting,
                            std::int32_t dpi) {
        if (pixels < strip) {
            pixels = strip;
            setting = ceilMillimetres(strip, dpi);
            g.Raised = true;
        }
    };
    widen(left, d.PHYSICALOFFSETX, g.Margins.Left, dpiX);
    widen(right, rightStrip, g.Margins.Right, dpiX);
    widen(top, d.PHYSICALOFFSETY, g.Margins.Top, dpiY);
    widen(bottom, bottomStrip, g.Margins.Bottom, dpiY);

    g.PrintRect.left = common::saturate32(std::int64_t{left} - d.PHYSICALOFFSETX);
    g.PrintRect.top = common::saturate32(std::int64_t{top} - d.PHYSICALOFFSETY);
    g.PrintRect.right =
        common::saturate32(std::int64_t{d.PHYSICALWIDTH} - d.PHYSICALOFFSETX - right);
    g.PrintRect.bottom =
        common::saturate32(std::int64_t{d.PHYSICALHEIGHT} - d.PHYSICALOFFSETY - bottom);
    g.PrinterPixelsPerMetre = d.HORZRES * 1000.0 / std::max(d.HORZSIZE, 1);
    return g;
}

double printDeviceFactor(double printerPixelsPerMetre, double screenPixelsPerMetre)
{
    return printerPixelsPerMetre / screenPixelsPerMetre;
}

// ---- QtPrinterDevice

std::uint8_t QtPrinterDevice::orientation() const
{
    return m_printer.pageLayout().orientation() == QPageLayout::Landscape ? 1 : 0;
}

void QtPrinterDevice::setOrientation(std::uint8_t orientation)
{
    m_printer.setPageOrientation(orientation == 0 ? QPageLayout::Portrait : QPageLayout::Landscape);
}

TPrinterDeviceValues QtPrinterDevice::deviceValues() const
{
    const QRectF paper = m_printer.paperRect(QPrinter::DevicePixel);
    const QRectF page = m_printer.pageRect(QPrinter::DevicePixel);
    TPrinterDeviceValues d;
    d.PHYSICALWIDTH = qRound(paper.width());
    d.PHYSICALHEIGHT = qRound(paper.height());
    d.HORZRES = qRound(page.width());
    d.VERTRES = qRound(page.height());
    d.PHYSICALOFFSETX = qRound(page.left() - paper.left());
    d.PHYSICALOFFSETY = qRound(page.top() - paper.top());
    d.LOGPIXELSX = m_printer.resolution();
    d.LOGPIXELSY = m_printer.resolution();
    // Rounded, not truncated: the whole millimetre nearest the printable width keeps the scale
    // closest to true.
    d.HORZSIZE = d.LOGPIXELSX > 0 ? roundedProduct(d.HORZRES, 25.4L / d.LOGPIXELSX) : 0;
    return d;
}

QPaintDevice& QtPrinterDevice::paintDevice()
{
    return m_printer;
}

QString QtPrinterDevice::jobError() const
{
    switch (m_printer.printerState()) {
        case QPrinter::Error:
            return QStringLiteral("The printer reported an error.");
        case QPrinter::Aborted:
            return QStringLiteral("The print job was aborted.");
        default:
            return {};
    }
}

// ---- UnitPrinter

UnitPrinter::UnitPrinter() : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    m_device = std::make_unique<QtPrinterDevice>(*m_printer);
}

UnitPrinter::UnitPrinter(std::unique_ptr<PrinterDevice> device) : m_device(std::move(device)) {}

UnitPrinter::~UnitPrinter() = default;

TPageSize UnitPrinter::queryPageSize(std::uint8_t orientation)
{
    m_device->setOrientation(orientation);
    m_pageSize = pageSizeOf(m_device->deviceValues());
    return m_pageSize;
}

scene::PageLayout UnitPrinter::pageLayout(const common::TPrinterSettings& settings) const
{
    const std::size_t o = orientationIndex(settings.Orientation);
    scene::PageLayout page;
    page.orientation = static_cast<std::uint8_t>(o);
    page.pageWidthMm = m_pageSize.PageWidthMm;
    page.pageHeightMm = m_pageSize.PageHeightMm;
    page.marginLeftMm = settings.MarginLeft[o];
    page.marginRightMm = settings.MarginRight[o];
    page.marginTopMm = settings.MarginTop[o];
    page.marginBottomMm = settings.MarginBottom[o];
    return page;
}

TMarginGeometry UnitPrinter::applyMarginGeometry(std::uint8_t orientation,
                                                 common::TPrinterSettings& settings)
{
    const std::size_t o = orientationIndex(orientation);
    m_device->setOrientation(static_cast<std::uint8_t>(o));
    const TMargins margins{settings.MarginLeft[o], settings.MarginRight[o], settings.MarginTop[o],
                           settings.MarginBottom[o]};
    const TMarginGeometry g = marginGeometry(m_device->deviceValues(), margins);
    settings.MarginLeft[o] = g.Margins.Left;
    settings.MarginRight[o] = g.Margins.Right;
    settings.MarginTop[o] = g.Margins.Top;
    settings.MarginBottom[o] = g.Margins.Bottom;
    return g;
}

QStringList UnitPrinter::fontNames() const
{
    return QFontDatabase::families();
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

bool printPage(const scene::SceneState& s, PrinterDevice& device, const TPrintRect& rect, double f,
               QString& error)
{
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
                        ? QStringLiteral("No file to print to was chosen.")
                        : QStringLiteral("The file \"%1\" cannot be written.")
                              .arg(printer->outputFileName());
        } else {
            error = QStringLiteral("The print job could not be started.");
        }
        return false;
    }
    scene::drawScene(*page, rect.left, rect.top, width, height, canvas, f);
    canvas.finish();
    error = device.jobError();
    return error.isEmpty();
}

bool SpeedButtonPrintOnClick(OutputWindow& window, UnitPrinter& printer,
                             PrintDialogService& dialogs)
{
    window.setProgramState(TOutputState::Printing);
    common::TPrinterSettings& settings = window.printerSettings();
    settings.Orientation = static_cast<std::uint8_t>(orientationIndex(settings.Orientation));
    PrinterDevice& device = printer.device();
    device.setOrientation(settings.Orientation);

    QWidget* parent = window.dialogParent();
    const bool confirmed = dialogs.print(device, parent);
    if (parent != nullptr) {
        parent->update();
    }
    if (confirmed) {
        settings.Orientation = device.orientation();
    }
    printer.queryPageSize(settings.Orientation);
    if (!confirmed) {
        window.setProgramState(TOutputState::Idle);
        return false;
    }

    bool printed = false;
    const TPrinterDeviceValues values = device.deviceValues();
    if (values.LOGPIXELSX < 1 || values.LOGPIXELSY < 1 || values.HORZRES < 1 ||
        values.HORZSIZE < 1) {
        window.showError(QStringLiteral("The printer reports no usable page."));
    } else {
        const TMarginGeometry g = printer.applyMarginGeometry(settings.Orientation, settings);
        const scene::SceneState& s = window.scene();
        const double f = printDeviceFactor(g.PrinterPixelsPerMetre, s.ScreenPixelsPerMetre);
        QString error;
        printed = printPage(s, device, g.PrintRect, f, error);
        if (!printed) {
            window.showError(error);
        }
    }
    window.setProgramState(TOutputState::Idle);
    return printed;
}

}  // namespace output
