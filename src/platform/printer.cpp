// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/printer.h"

#include "common/texts.h"

#include <QFontDatabase>
#include <QPageLayout>
#include <QPrinter>

#include <algorithm>
#include <cstdlib>

#include "common/numbers.h"
#include "platform/services.h"

namespace platform {

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

TPageSizeMm pageSizeOf(const TPrinterDeviceValues& d)
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

QString QtPrinterDevice::jobError(common::TLanguage language) const
{
    switch (m_printer.printerState()) {
        case QPrinter::Error:
            return QString::fromStdString(
                common::messageText(common::TMessage::PrinterReportedError, language));
        case QPrinter::Aborted:
            return QString::fromStdString(
                common::messageText(common::TMessage::PrintJobAborted, language));
        default:
            return {};
    }
}

// ---- UnitPrinter

UnitPrinter::UnitPrinter(PrintDialogService* dialogs)
    : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)), m_dialogs(dialogs)
{
    m_device = std::make_unique<QtPrinterDevice>(*m_printer);
}

UnitPrinter::UnitPrinter(std::unique_ptr<PrinterDevice> device, PrintDialogService* dialogs)
    : m_device(std::move(device)), m_dialogs(dialogs)
{
}

UnitPrinter::~UnitPrinter() = default;

TPageSizeMm UnitPrinter::queryPageSize(std::uint8_t orientation)
{
    m_device->setOrientation(orientation);
    m_pageSize = pageSizeOf(m_device->deviceValues());
    return m_pageSize;
}

scene::PageLayout pageLayoutOf(const common::TPrinterSettings& settings, TPageSizeMm size)
{
    const std::size_t o = orientationIndex(settings.Orientation);
    scene::PageLayout page;
    page.orientation = static_cast<std::uint8_t>(o);
    page.pageWidthMm = size.Width;
    page.pageHeightMm = size.Height;
    page.marginLeftMm = settings.MarginLeft[o];
    page.marginRightMm = settings.MarginRight[o];
    page.marginTopMm = settings.MarginTop[o];
    page.marginBottomMm = settings.MarginBottom[o];
    return page;
}

scene::PageLayout UnitPrinter::pageLayout(const common::TPrinterSettings& settings) const
{
    return pageLayoutOf(settings, m_pageSize);
}

TMarginGeometry applyMarginGeometry(PrinterDevice& device, std::uint8_t orientation,
                                    common::TPrinterSettings& settings)
{
    const std::size_t o = orientationIndex(orientation);
    device.setOrientation(static_cast<std::uint8_t>(o));
    const TMargins margins{settings.MarginLeft[o], settings.MarginRight[o], settings.MarginTop[o],
                           settings.MarginBottom[o]};
    const TMarginGeometry g = marginGeometry(device.deviceValues(), margins);
    settings.MarginLeft[o] = g.Margins.Left;
    settings.MarginRight[o] = g.Margins.Right;
    settings.MarginTop[o] = g.Margins.Top;
    settings.MarginBottom[o] = g.Margins.Bottom;
    return g;
}

std::uint8_t UnitPrinter::orientation() const
{
    return m_device->orientation() == 0 ? 0 : 1;
}

void UnitPrinter::setOrientation(std::uint8_t orientation)
{
    m_device->setOrientation(orientation == 0 ? 0 : 1);
}

TPageSizeMm UnitPrinter::pageSizeMm()
{
    return queryPageSize(m_device->orientation());
}

std::vector<std::string> UnitPrinter::fontNames() const
{
    return sortedFontNames(QFontDatabase::families());
}

bool UnitPrinter::showPageSetup(QWidget* parent)
{
    return m_dialogs != nullptr && m_dialogs->pageSetup(*m_device, parent);
}

std::vector<std::string> sortedFontNames(const QStringList& families)
{
    QStringList sorted = families;
    sorted.removeDuplicates();
    std::sort(sorted.begin(), sorted.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(sorted.size()));
    for (const QString& family : sorted) {
        names.push_back(family.toStdString());
    }
    return names;
}

}  // namespace platform
