// SPDX-License-Identifier: GPL-3.0-or-later
// The two pictures of an export: the metafile resolution, the physical size, and the cut to the
// drawing's extent with its margin but never beyond the drawing area.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QRegularExpression>

#include <cmath>
#include <cstdlib>

#include "output/export_pictures.h"
#include "output_fixture.h"
#include "platform/emf_canvas.h"
#include "scene/extent.h"

namespace {

using output::ExportPictures;
using output_test::le32;
using output_test::TestScene;

struct DotsPerInchRow {
    const char* name;
    std::int32_t primaryWidth;
    double screenWidth;
    double factor;
    std::int32_t expected;
};

class MetafileDotsPerInch : public ::testing::TestWithParam<DotsPerInchRow> {};

TEST_P(MetafileDotsPerInch, FromThePrimaryScreenAndTheScalingFactor)
{
    const DotsPerInchRow& row = GetParam();
    EXPECT_EQ(output::metafileDotsPerInch(row.primaryWidth, row.screenWidth, row.factor),
              row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MetafileDotsPerInch,
    ::testing::Values(
        // Round(108.373...) = 108
        DotsPerInchRow{"Screen1280On0_3m", 1280, 0.3, 1.0, 108},
        // Round(54.19...) = 54
        DotsPerInchRow{"FactorTwoHalves", 1280, 0.3, 2.0, 54},
        // 1920 / 0.52 x 0.0254 = 93.78...
        DotsPerInchRow{"Screen1920On0_52m", 1920, 0.52, 1.0, 94},
        // 1280 / 0.3 x 0.0254 / 0.25 = 433.49...
        DotsPerInchRow{"SmallFactorRaises", 1280, 0.3, 0.25, 433},
        // A factor that would divide by zero or turn the size negative: one dot per inch.
        DotsPerInchRow{"FactorZeroIsTheFloor", 1280, 0.3, 0.0, 1},
        DotsPerInchRow{"NegativeFactorIsTheFloor", 1280, 0.3, -2.0, 1},
        // 108.37 / 1000 rounds to 0.
        DotsPerInchRow{"RoundingToZeroIsTheFloor", 1280, 0.3, 1000.0, 1},
        DotsPerInchRow{"NotANumberIsTheFloor", 1280, 0.3, std::nan(""), 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct FrameRow {
    std::int32_t units;
    std::int32_t dotsPerInch;
    std::int32_t expected;  // hundredths of a millimetre
};

class PhysicalSize : public ::testing::TestWithParam<FrameRow> {};

TEST_P(PhysicalSize, IsUnitsTimes2540DivDotsPerInch)
{
    EXPECT_EQ(platform::emfFrameLength(GetParam().units, GetParam().dotsPerInch),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, PhysicalSize,
                         ::testing::Values(FrameRow{6001, 108, 141134}, FrameRow{8000, 108, 188148},
                                           FrameRow{8000, 54, 376296},
                                           FrameRow{6000, 108, 141111}));

// The inclusive bounds and frame of the metafile's header, as a player reads them.
struct EmfHeader {
    std::int32_t boundsRight, boundsBottom, frameRight, frameBottom;
};
EmfHeader header(const QByteArray& emf)
{
    return {le32(emf, 16), le32(emf, 20), le32(emf, 32), le32(emf, 36)};
}

// Round half to even, as the margin of the extent is rounded.
std::int32_t margin(std::int32_t length, double factor)
{
    return static_cast<std::int32_t>(std::nearbyint(length * factor));
}

// The bare extent of the scene projected for an area at factor f, on a copy of the scene.
scene::Extent bareExtent(const scene::SceneState& s, std::int32_t width, std::int32_t height,
                         double f)
{
    auto copy = std::make_unique<scene::SceneState>(s);
    copy->Proportions.GraphicMarginFactor = 0.0;
    scene::projectScene(*copy, width, height, s.PixelsPerUnit, f);
    return scene::computeDrawingExtent(*copy);
}

// The same drawing pixel for pixel, but for the smoothing of slanted edges, which may differ a
// little with the position in the picture; a shift by one pixel changes whole edges.
bool sameDrawing(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    for (int row = 0; row < x.height(); ++row) {
        for (int column = 0; column < x.width(); ++column) {
            const QRgb p = x.pixel(column, row);
            const QRgb q = y.pixel(column, row);
            if (std::abs(qRed(p) - qRed(q)) > 16 || std::abs(qGreen(p) - qGreen(q)) > 16 ||
                std::abs(qBlue(p) - qBlue(q)) > 16) {
                return false;
            }
        }
    }
    return true;
}

TEST(ExportPictures, StateThePhysicalSizeOfTheirDeviceUnits)
{
    // Zoomed beyond the area, so the vector picture is exactly ten times the area.
    TestScene t(600, 400, [](scene::SceneState& s) { s.ScaleDenominator = 4; });
    for (const double factor : {1.0, 2.0}) {
        t.s().Proportions.ClipboardBugfixScalingFactor = factor;
        const ExportPictures pictures(t.s(), 1280);
        const std::int32_t dpi = factor == 1.0 ? 108 : 54;
        EXPECT_EQ(pictures.vectorSize().dotsPerInch, dpi);
        EXPECT_EQ(pictures.vectorSize().width, 6000);
        EXPECT_EQ(pictures.vectorSize().frameWidth, 6000 * 2540 / dpi);
        EXPECT_EQ(pictures.vectorSize().frameHeight, 4000 * 2540 / dpi);
        const EmfHeader h = header(pictures.emf());
        EXPECT_EQ(h.boundsRight, 5999);
        EXPECT_EQ(h.boundsBottom, 3999);
        EXPECT_EQ(h.frameRight, 6000 * 2540 / dpi - 1);
        EXPECT_EQ(h.frameBottom, 4000 * 2540 / dpi - 1);
    }
}

// The page's size in points from the PDF's media box.
QSizeF mediaBox(const QByteArray& pdf)
{
    static const QRegularExpression box(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"));
    const QRegularExpressionMatch m = box.match(QString::fromLatin1(pdf));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

TEST(ExportPictures, SvgAndPdfStateTheTrueSizeOfTheDrawing)
{
    // The whole area, 600 x 400 pixels of a 1280-pixel desktop 0.3 m wide: 140.625 x 93.75 mm,
    // whatever the metafile's scaling factor makes of its frame.
    TestScene t(600, 400, [](scene::SceneState& s) { s.ScaleDenominator = 4; });
    for (const double factor : {1.0, 2.0}) {
        t.s().Proportions.ClipboardBugfixScalingFactor = factor;
        const ExportPictures pictures(t.s(), 1280);
        const QRegularExpressionMatch svg =
            QRegularExpression(QStringLiteral("<svg width=\"([0-9.]+)mm\" height=\"([0-9.]+)mm\""))
                .match(QString::fromUtf8(pictures.svg()));
        ASSERT_TRUE(svg.hasMatch());
        EXPECT_NEAR(svg.captured(1).toDouble(), 140.625, 0.01);
        EXPECT_NEAR(svg.captured(2).toDouble(), 93.75, 0.01);

        QByteArray pdf;
        QString error;
        ASSERT_TRUE(pictures.pdf(pdf, error)) << error.toStdString();
        const QSizeF page = mediaBox(pdf);
        EXPECT_NEAR(page.width() / 72 * 25.4, 140.625, 0.01);
        EXPECT_NEAR(page.height() / 72 * 25.4, 93.75, 0.01);
    }
}

TEST(ExportPictures, OfASmallDrawingAreTheDrawingAndItsMargins)
{
    TestScene t(800, 600, [](scene::SceneState& s) { s.ScaleDenominator = 200; });
    scene::SceneState& s = t.s();
    const QImage window = t.host.picture();
    const ExportPictures pictures(s, 1280);

    const scene::Extent screen = bareExtent(s, 800, 600, 1.0);
    ASSERT_GT(screen.left, 20);  // the drawing is well inside the area
    ASSERT_LT(screen.width, 400);
    const std::int32_t mx = margin(screen.width, 0.01);
    const std::int32_t my = margin(screen.height, 0.01);
    ASSERT_GT(mx, 0);
    EXPECT_EQ(pictures.bitmap().width(), screen.width + 2 * mx);
    EXPECT_EQ(pictures.bitmap().height(), screen.height + 2 * my);
    // The bitmap is the window's picture cut out around the drawing, pixel for pixel.
    const QImage cut = window.copy(screen.left - mx, screen.top - my, pictures.bitmap().width(),
                                   pictures.bitmap().height());
    EXPECT_TRUE(sameDrawing(cut, pictures.bitmap()));

    const scene::Extent tenfold = bareExtent(s, 8000, 6000, 10.0);
    EXPECT_EQ(pictures.vectorSize().width, tenfold.width + 2 * margin(tenfold.width, 0.01));
    EXPECT_EQ(pictures.vectorSize().height, tenfold.height + 2 * margin(tenfold.height, 0.01));
    const EmfHeader h = header(pictures.emf());
    EXPECT_EQ(h.boundsRight, pictures.vectorSize().width - 1);
    EXPECT_EQ(h.boundsBottom, pictures.vectorSize().height - 1);
}

TEST(ExportPictures, OfAZoomedDrawingAreTheWholeArea)
{
    TestScene t(800, 600, [](scene::SceneState& s) { s.ScaleDenominator = 4; });
    const QImage window = t.host.picture();
    const ExportPictures pictures(t.s(), 1280);
    EXPECT_EQ(pictures.bitmap().size(), QSize(800, 600));
    EXPECT_EQ(pictures.vectorSize().width, 8000);
    EXPECT_EQ(pictures.vectorSize().height, 6000);
    // The drawing reaches beyond the left and top edge: the picture starts at the edge.
    EXPECT_TRUE(sameDrawing(window, pictures.bitmap()));
}

TEST(ExportPictures, BeginWithTheBackgroundColour)
{
    TestScene t(800, 600, [](scene::SceneState& s) {
        s.style(scene::TSceneObject::Background).Color = common::rgb(10, 200, 30);
    });
    const ExportPictures pictures(t.s(), 1280);
    EXPECT_EQ(pictures.bitmap().pixel(0, 0), qRgb(10, 200, 30));
    EXPECT_EQ(
        pictures.bitmap().pixel(pictures.bitmap().width() - 1, pictures.bitmap().height() - 1),
        qRgb(10, 200, 30));
    EXPECT_TRUE(pictures.svg().contains("#0ac81e"));
}

TEST(ExportPictures, LeaveTheWindowsProjectionAsItWas)
{
    TestScene t;
    scene::SceneState& s = t.s();
    const scene::SceneProjection before = s.Pix;
    const ExportPictures pictures(s, 1280);
    (void)pictures.emf();
    EXPECT_EQ(s.Pix.ResultantWavePix, before.ResultantWavePix);
    EXPECT_EQ(s.Pix.ReferenceRectPix, before.ReferenceRectPix);
    EXPECT_EQ(s.Pix.VerticalLabelBox.left, before.VerticalLabelBox.left);
    // No queued event ran while the pictures were made.
    EXPECT_EQ(t.host.eventRuns, 1);  // the first picture's, at start
}

TEST(ExportPictures, AreMadeAlsoWhileTheWindowIsDrawing)
{
    // A shortcut handled inside the window's event pump finds its drawing still in progress.
    TestScene t;
    t.s().DrawingInProgress = true;
    const ExportPictures pictures(t.s(), 1280);
    t.s().DrawingInProgress = false;
    TestScene reference;
    const ExportPictures expected(reference.s(), 1280);
    EXPECT_TRUE(pictures.bitmap() == expected.bitmap());
    EXPECT_EQ(pictures.emf(), expected.emf());
}

}  // namespace
