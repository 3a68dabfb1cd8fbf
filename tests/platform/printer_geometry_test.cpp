// SPDX-License-Identifier: GPL-3.0-or-later
// The printer's page size and the margin geometry on the printer's own numbers, and its fonts.

#include <gtest/gtest.h>

#include <QStringList>

#include <string>
#include <vector>

#include "fake_printer_device.h"
#include "platform/printer.h"

namespace {

using platform::TMargins;
using platform::TPrinterDeviceValues;

// Paper of w x h pixels at dpi, printable area inset by the given strips.
TPrinterDeviceValues device(std::int32_t w, std::int32_t h, std::int32_t dpi, std::int32_t left = 0,
                            std::int32_t top = 0, std::int32_t right = 0, std::int32_t bottom = 0,
                            std::int32_t horzSize = 0)
{
    TPrinterDeviceValues d;
    d.PHYSICALWIDTH = w;
    d.PHYSICALHEIGHT = h;
    d.PHYSICALOFFSETX = left;
    d.PHYSICALOFFSETY = top;
    d.HORZRES = w - left - right;
    d.VERTRES = h - top - bottom;
    d.LOGPIXELSX = dpi;
    d.LOGPIXELSY = dpi;
    d.HORZSIZE = horzSize;
    return d;
}

struct PageRow {
    const char* name;
    TPrinterDeviceValues device;
    std::int32_t widthMm;
    std::int32_t heightMm;
};

class PageSize : public ::testing::TestWithParam<PageRow> {};

TEST_P(PageSize, IsThePaperInWholeMillimetres)
{
    const platform::TPageSizeMm size = platform::pageSizeOf(GetParam().device);
    EXPECT_EQ(size.Width, GetParam().widthMm);
    EXPECT_EQ(size.Height, GetParam().heightMm);
}

INSTANTIATE_TEST_SUITE_P(Rows, PageSize,
                         ::testing::Values(
                             // Round(209.97...) = 210, Round(297.01...) = 297
                             PageRow{"A4PortraitAt600", device(4960, 7016, 600), 210, 297},
                             PageRow{"A4LandscapeAt600", device(7016, 4960, 600), 297, 210},
                             // Qt's A4 in points at 1200 dpi: 209.9 x 297.03 mm
                             PageRow{"A4PdfAt1200", device(9917, 14033, 1200), 210, 297},
                             // Round(215.9) = 216, Round(279.4) = 279
                             PageRow{"LetterAt300", device(2550, 3300, 300), 216, 279},
                             // The strips do not count: the paper does.
                             PageRow{"WithStrips", device(4960, 7016, 600, 150, 100, 120, 200), 210,
                                     297},
                             PageRow{"NoResolution", device(4960, 7016, 0), 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct MarginRow {
    const char* name;
    TPrinterDeviceValues device;
    TMargins margins;
    platform::TPrintRect rect;
    TMargins settings;  // after raising
    bool raised;
};

class MarginGeometry : public ::testing::TestWithParam<MarginRow> {};

TEST_P(MarginGeometry, GivesThePrintRectAndRaisesMarginsInsideTheStrips)
{
    const MarginRow& row = GetParam();
    const platform::TMarginGeometry g = platform::marginGeometry(row.device, row.margins);
    EXPECT_EQ(g.PrintRect.left, row.rect.left);
    EXPECT_EQ(g.PrintRect.top, row.rect.top);
    EXPECT_EQ(g.PrintRect.right, row.rect.right);
    EXPECT_EQ(g.PrintRect.bottom, row.rect.bottom);
    EXPECT_EQ(g.Margins.Left, row.settings.Left);
    EXPECT_EQ(g.Margins.Right, row.settings.Right);
    EXPECT_EQ(g.Margins.Top, row.settings.Top);
    EXPECT_EQ(g.Margins.Bottom, row.settings.Bottom);
    EXPECT_EQ(g.Raised, row.raised);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MarginGeometry,
    ::testing::Values(
        // 15 mm at 600 dpi is Round(354.33) = 354 pixels, 20 mm Round(472.44) = 472.
        MarginRow{"DefaultsOnA4At600",
                  device(4960, 7016, 600),
                  {15, 15, 20, 15},
                  {354, 472, 4960 - 354, 7016 - 354},
                  {15, 15, 20, 15},
                  false},
        // Left 5 mm inside a 150-pixel strip: 150 pixels, PrintRect.left 0, Ceil(6.35) = 7 mm.
        MarginRow{"LeftRaisedTo7",
                  device(4960, 7016, 600, 150),
                  {5, 15, 20, 15},
                  {0, 472, 4960 - 150 - 354, 7016 - 354},
                  {7, 15, 20, 15},
                  true},
        // Strips of 100 at the right and 200 at the bottom: Ceil(4.23) = 5, Ceil(8.47) = 9.
        MarginRow{"RightAndBottomRaised",
                  device(4960, 7016, 600, 0, 0, 100, 200),
                  {15, 0, 20, 2},
                  {354, 472, 4960 - 100, 7016 - 200},
                  {15, 5, 20, 9},
                  true},
        // A strip of exactly 30 mm (300 pixels at 254 dpi) needs 30 mm, not 31.
        MarginRow{"ExactStripIsNotRoundedUp",
                  device(2100, 2970, 254, 300, 300),
                  {10, 10, 10, 10},
                  {0, 0, 2100 - 300 - 100, 2970 - 300 - 100},
                  {30, 10, 30, 10},
                  true},
        // Margins as wide as the strips stay.
        MarginRow{"MarginOnTheStrip",
                  device(4960, 7016, 600, 354, 472),
                  {15, 15, 20, 15},
                  {0, 0, 4960 - 354 - 354, 7016 - 472 - 354},
                  {15, 15, 20, 15},
                  false},
        // A negative margin from a hand-edited file becomes the strip, here none.
        MarginRow{"NegativeMarginBecomesTheStrip",
                  device(4960, 7016, 600),
                  {-5, 15, 20, 15},
                  {0, 472, 4960 - 354, 7016 - 354},
                  {0, 15, 20, 15},
                  true},
        // Different resolutions across and down.
        MarginRow{"ResolutionPerAxis",
                  [] {
                      TPrinterDeviceValues d = device(2480, 7016, 300);
                      d.LOGPIXELSY = 600;
                      return d;
                  }(),
                  {10, 10, 10, 10},
                  {118, 236, 2480 - 118, 7016 - 236},
                  {10, 10, 10, 10},
                  false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PrinterPixelsPerMetre, IsThePrintableWidthOverItsMillimetres)
{
    // HORZRES 4760 and HORZSIZE 201: 23681.59 pixels a metre.
    const TPrinterDeviceValues d = device(4960, 7016, 600, 100, 100, 100, 100, 201);
    const platform::TMarginGeometry g = platform::marginGeometry(d, {15, 15, 20, 15});
    EXPECT_NEAR(g.PrinterPixelsPerMetre, 23681.59, 0.01);
}

TEST(UnitPrinter, WritesRaisedMarginsIntoTheirOrientationOnly)
{
    // Portrait with a 150-pixel left strip, landscape without strips.
    platform::UnitPrinter printer(std::make_unique<output_test::FakePrinterDevice>(
        device(4960, 7016, 600, 150), device(7016, 4960, 600)));
    common::TPrinterSettings settings;
    settings.MarginLeft = {5, 5};
    const platform::TMarginGeometry g = printer.applyMarginGeometry(0, settings);
    EXPECT_EQ(g.PrintRect.left, 0);
    EXPECT_EQ(settings.MarginLeft[0], 7);
    EXPECT_EQ(settings.MarginLeft[1], 5);
    EXPECT_EQ(printer.device().orientation(), 0);

    printer.applyMarginGeometry(1, settings);
    EXPECT_EQ(settings.MarginLeft[1], 5);
}

TEST(UnitPrinter, PageSizeQueryFollowsTheOrientation)
{
    platform::UnitPrinter printer(std::make_unique<output_test::FakePrinterDevice>(
        device(4960, 7016, 600), device(7016, 4960, 600)));
    printer.queryPageSize(0);
    EXPECT_EQ(printer.pageWidthMm(), 210);
    EXPECT_EQ(printer.pageHeightMm(), 297);
    printer.queryPageSize(1);
    EXPECT_EQ(printer.pageWidthMm(), 297);
    EXPECT_EQ(printer.pageHeightMm(), 210);

    common::TPrinterSettings settings;
    settings.Orientation = 1;
    settings.MarginLeft = {11, 12};
    settings.MarginTop = {21, 22};
    const scene::PageLayout page = printer.pageLayout(settings);
    EXPECT_EQ(page.orientation, 1);
    EXPECT_EQ(page.pageWidthMm, 297);
    EXPECT_EQ(page.marginLeftMm, 12);
    EXPECT_EQ(page.marginTopMm, 22);
}

TEST(Fonts, SortedWithoutRegardToCase)
{
    const std::vector<std::string> sorted = platform::sortedFontNames(
        {QStringLiteral("courier"), QStringLiteral("Arial"), QStringLiteral("Bitstream"),
         QStringLiteral("arial"), QStringLiteral("Arial")});
    EXPECT_EQ(sorted, (std::vector<std::string>{"Arial", "arial", "Bitstream", "courier"}));
}

}  // namespace
