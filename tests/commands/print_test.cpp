// SPDX-License-Identifier: GPL-3.0-or-later
// The print command: the dialog, the orientation it leaves, the page size, and one page at the
// true scale, measured on a PDF printed through Qt's printer.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

#include "commands/printing.h"
#include "commands_fixture.h"

namespace {

using namespace output_test;
using commands::TOutputState;
using platform::TPrinterDeviceValues;

// Paper at 100 dpi without unprintable strips: A4 is 827 x 1169 pixels.
TPrinterDeviceValues paper(std::int32_t w, std::int32_t h, std::int32_t offset = 0)
{
    TPrinterDeviceValues d;
    d.PHYSICALWIDTH = w;
    d.PHYSICALHEIGHT = h;
    d.PHYSICALOFFSETX = offset;
    d.PHYSICALOFFSETY = offset;
    d.HORZRES = w - 2 * offset;
    d.VERTRES = h - 2 * offset;
    d.LOGPIXELSX = 100;
    d.LOGPIXELSY = 100;
    d.HORZSIZE = static_cast<std::int32_t>(std::lround(d.HORZRES * 0.254));
    return d;
}

TEST(PrintDeviceFactor, KeepsTheScaleOfTheScreen)
{
    // 23681.59 printer pixels a metre against 1280 pixels on 0.3 m: 23681.59 / 4266.67 = 5.55.
    EXPECT_NEAR(commands::printDeviceFactor(23681.59, 1280 / 0.3), 5.5504, 0.0001);
}

class PrintCommand : public ::testing::Test {
protected:
    TestScene scene{800, 600, [](scene::SceneState& s) {
                        s.style(scene::TSceneObject::Background).Color = common::rgb(200, 210, 220);
                    }};
    FakeWindow window{scene.s()};
    FakePrintDialogs dialogs;
    FakePrinterDevice* device = nullptr;
    std::unique_ptr<platform::UnitPrinter> printer;

    void SetUp() override
    {
        auto fake = std::make_unique<FakePrinterDevice>(paper(827, 1169, 10), paper(1169, 827, 10));
        device = fake.get();
        printer = std::make_unique<platform::UnitPrinter>(std::move(fake));
    }
    bool print() { return commands::SpeedButtonPrintOnClick(window, *printer, dialogs); }
};

TEST_F(PrintCommand, ACancelledDialogPrintsNothingAndChangesNoSetting)
{
    window.printer.Orientation = 0;
    window.printer.MarginLeft = {1, 1};  // inside the strips: would be raised by a printout
    const common::TPrinterSettings before = window.printer;
    dialogs.confirm = false;
    dialogs.chooseOrientation = 1;
    EXPECT_FALSE(print());
    EXPECT_EQ(device->jobs, 0);
    EXPECT_EQ(window.printer.Orientation, before.Orientation);
    EXPECT_EQ(window.printer.MarginLeft, before.MarginLeft);
    // The page size is refreshed for the stored orientation, not the one the dialog showed.
    EXPECT_EQ(printer->pageWidthMm(), 210);
    EXPECT_EQ(printer->pageHeightMm(), 297);
    EXPECT_EQ(window.states, (std::vector{TOutputState::Printing, TOutputState::Idle}));
}

TEST_F(PrintCommand, TheDialogOpensOnTheStoredOrientation)
{
    window.printer.Orientation = 0;
    dialogs.confirm = false;
    print();
    EXPECT_EQ(dialogs.orientationShown, 0);
    window.printer.Orientation = 1;
    print();
    EXPECT_EQ(dialogs.orientationShown, 1);
}

TEST_F(PrintCommand, LandscapeChosenInTheDialogPrintsLandscapeWithItsMargins)
{
    window.printer.Orientation = 0;
    window.printer.MarginLeft = {40, 20};
    window.printer.MarginTop = {40, 30};
    dialogs.chooseOrientation = 1;
    ASSERT_TRUE(print());
    EXPECT_EQ(window.printer.Orientation, 1);
    EXPECT_EQ(printer->pageWidthMm(), 297);
    ASSERT_EQ(device->jobs, 1);
    const QImage& page = device->page;
    ASSERT_EQ(page.size(), QSize(1149, 807));  // the landscape printable area
    // 20 mm left and 30 mm top at 100 dpi are 79 and 118 pixels of paper, less the 10-pixel strip.
    const QRgb background = qRgb(200, 210, 220);
    EXPECT_EQ(page.pixel(68, 120), FakePrinterDevice::Unprinted);
    EXPECT_EQ(page.pixel(69, 120), background);
    EXPECT_EQ(page.pixel(300, 107), FakePrinterDevice::Unprinted);
    EXPECT_EQ(page.pixel(300, 108), background);
    // 15 mm right and bottom are 59 pixels: PrintRect ends at 1169 - 10 - 59 = 1100 and
    // 827 - 10 - 59 = 758, which the scene's rectangle includes.
    EXPECT_EQ(page.pixel(1100, 400), background);
    EXPECT_EQ(page.pixel(1101, 400), FakePrinterDevice::Unprinted);
    EXPECT_EQ(page.pixel(300, 758), background);
    EXPECT_EQ(page.pixel(300, 759), FakePrinterDevice::Unprinted);
    EXPECT_TRUE(window.errors.empty());
    EXPECT_EQ(window.state(), TOutputState::Idle);
}

TEST_F(PrintCommand, RaisesAMarginInsideTheStripAndKeepsIt)
{
    window.printer.Orientation = 1;
    window.printer.MarginLeft = {2, 2};
    ASSERT_TRUE(print());
    // A 10-pixel strip at 100 dpi is 2.54 mm: 3 mm.
    EXPECT_EQ(window.printer.MarginLeft[1], 3);
    EXPECT_EQ(window.printer.MarginLeft[0], 2);
    EXPECT_EQ(device->page.pixel(0, 300), qRgb(200, 210, 220));
}

TEST_F(PrintCommand, AFailedJobIsShownAndTheCommandEnds)
{
    device->error = QStringLiteral("The printer reported an error.");
    EXPECT_FALSE(print());
    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_EQ(window.errors.front(), QStringLiteral("The printer reported an error."));
    EXPECT_EQ(window.state(), TOutputState::Idle);
}

TEST_F(PrintCommand, APrinterWithoutResolutionIsAnErrorNotADivisionByZero)
{
    TPrinterDeviceValues none = paper(827, 1169);
    none.LOGPIXELSX = 0;
    none.LOGPIXELSY = 0;
    none.HORZSIZE = 0;
    printer =
        std::make_unique<platform::UnitPrinter>(std::make_unique<FakePrinterDevice>(none, none));
    window.app.Language = common::TLanguage::German;
    EXPECT_FALSE(print());
    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_EQ(window.errors.front(), QStringLiteral("Der Drucker meldet keine verwendbare Seite."));
    EXPECT_EQ(window.state(), TOutputState::Idle);
}

TEST_F(PrintCommand, LeavesTheWindowsProjectionAsItWas)
{
    const scene::SceneProjection before = scene.s().Pix;
    ASSERT_TRUE(print());
    EXPECT_EQ(scene.s().Pix.ResultantWavePix, before.ResultantWavePix);
    EXPECT_EQ(scene.s().Pix.PropagationLabelBox.left, before.PropagationLabelBox.left);
}

// ---- A PDF through Qt's printer, measured on paper

// The page rendered by poppler at `dpi`, without smoothing so that colours stay exact.
QImage rasterise(const QString& pdf, int dpi)
{
    const QString stem = QFileInfo(pdf).absolutePath() + QStringLiteral("/page");
    QProcess pdftoppm;
    pdftoppm.start(QStringLiteral("pdftoppm"),
                   {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-aa"),
                    QStringLiteral("no"), QStringLiteral("-aaVector"), QStringLiteral("no"),
                    QStringLiteral("-singlefile"), QStringLiteral("-png"), pdf, stem});
    if (!pdftoppm.waitForFinished(60000) || pdftoppm.exitCode() != 0) {
        return {};
    }
    return QImage(stem + QStringLiteral(".png"));
}

bool near(QRgb c, QRgb target)
{
    return std::abs(qRed(c) - qRed(target)) < 40 && std::abs(qGreen(c) - qGreen(target)) < 40 &&
           std::abs(qBlue(c) - qBlue(target)) < 40;
}

// The columns of the crests of a curve drawn in `color`: for every column its topmost pixel of
// that colour; a crest is a run of columns whose top lies within two pixels of the highest.
std::vector<double> crestColumns(const QImage& image, QRgb color)
{
    std::vector<int> top(static_cast<std::size_t>(image.width()), -1);
    int highest = image.height();
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (near(image.pixel(x, y), color)) {
                top[static_cast<std::size_t>(x)] = y;
                highest = std::min(highest, y);
                break;
            }
        }
    }
    std::vector<double> crests;
    int runStart = -1;
    for (int x = 0; x <= image.width(); ++x) {
        const bool inCrest = x < image.width() && top[static_cast<std::size_t>(x)] >= 0 &&
                             top[static_cast<std::size_t>(x)] <= highest + 2;
        if (inCrest && runStart < 0) {
            runStart = x;
        } else if (!inCrest && runStart >= 0) {
            crests.push_back((runStart + x - 1) / 2.0);
            runStart = -1;
        }
    }
    return crests;
}

TEST(PrintToPdf, KeepsTheScaleOneToFortyOnPaper)
{
    QTemporaryDir folder;
    // The vertical wave alone, seen from the side: its crests lie a wavelength apart on paper.
    TestScene t(800, 600, [](scene::SceneState& s) {
        scene::setAzimuth(s, 0);
        scene::setElevation(s, 0);
        s.ShowHorizontalWave = false;
        s.ShowResultantWave = false;
        s.ShowResultantVector = false;
        s.style(scene::TSceneObject::Background).Color = common::rgb(200, 200, 200);
    });
    FakeWindow window(t.s());
    window.printer.Orientation = 1;
    platform::UnitPrinter printer;  // Qt's printer at high resolution
    QPrinter* qprinter = printer.device().printer();
    ASSERT_NE(qprinter, nullptr);
    qprinter->setOutputFormat(QPrinter::PdfFormat);
    const QString pdf = folder.filePath(QStringLiteral("print.pdf"));
    qprinter->setOutputFileName(pdf);
    FakePrintDialogs dialogs;

    ASSERT_TRUE(commands::SpeedButtonPrintOnClick(window, printer, dialogs));
    ASSERT_TRUE(window.errors.empty()) << window.errors.front().toStdString();
    EXPECT_EQ(printer.pageWidthMm(), 297);
    EXPECT_EQ(printer.pageHeightMm(), 210);

    constexpr int dpi = 300;
    const QImage page = rasterise(pdf, dpi);
    ASSERT_FALSE(page.isNull()) << "pdftoppm (poppler-utils) is needed";
    const double mmPerPixel = 25.4 / dpi;
    EXPECT_NEAR(page.width() * mmPerPixel, 297.0, 1.0);

    // Three wavelengths, three or four crests; 3 model units at 1 : 40 are 75 mm.
    const std::vector<double> crests = crestColumns(page, qRgb(255, 0, 0));
    ASSERT_GE(crests.size(), 3u);
    const double wavelength =
        (crests.back() - crests.front()) / static_cast<double>(crests.size() - 1);
    EXPECT_NEAR(wavelength * mmPerPixel, 75.0, 0.5);

    // The background starts at the margins: 15 mm left, 20 mm top (the defaults).
    const int middleRow = page.height() / 2;
    int left = 0;
    while (left < page.width() && !near(page.pixel(left, middleRow), qRgb(200, 200, 200))) {
        ++left;
    }
    int top = 0;
    while (top < page.height() && !near(page.pixel(page.width() / 4, top), qRgb(200, 200, 200))) {
        ++top;
    }
    EXPECT_NEAR(left * mmPerPixel, 15.0, 0.5);
    EXPECT_NEAR(top * mmPerPixel, 20.0, 0.5);
}

TEST(PrintToPdf, AFileThatCannotBeWrittenIsShown)
{
    TestScene t;
    FakeWindow window(t.s());
    platform::UnitPrinter printer;
    QPrinter* qprinter = printer.device().printer();
    qprinter->setOutputFormat(QPrinter::PdfFormat);
    qprinter->setOutputFileName(QStringLiteral("/nonexistent-folder/print.pdf"));
    FakePrintDialogs dialogs;
    window.app.Language = common::TLanguage::German;
    EXPECT_FALSE(commands::SpeedButtonPrintOnClick(window, printer, dialogs));
    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_EQ(window.errors.front(),
              QStringLiteral("Die Datei „/nonexistent-folder/print.pdf“ kann nicht geschrieben "
                             "werden."));
    EXPECT_EQ(window.state(), TOutputState::Idle);
}

}  // namespace
