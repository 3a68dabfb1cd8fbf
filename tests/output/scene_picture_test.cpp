// SPDX-License-Identifier: GPL-3.0-or-later
// The picture description of a scene without a window, the pictures the exporters take from it,
// and the file formats by extension.

#include <gtest/gtest.h>

#include <QImage>

#include "output/export_formats.h"
#include "output/picture_format.h"
#include "output/scene_picture.h"
#include "output_fixture.h"

namespace {

struct ScreenSizedRow {
    const char* name;
    std::int32_t width;
    std::int32_t height;
    double pixelsPerMetre;
    double widthMm;
    std::int32_t frameWidth;
    std::int32_t frameHeight;
};

class ScreenSizedPicture : public ::testing::TestWithParam<ScreenSizedRow> {};

TEST_P(ScreenSizedPicture, StatesThePixelPitchAndKeepsTheFrameWithinItsField)
{
    const ScreenSizedRow& row = GetParam();
    scene::SceneState s;
    s.ScreenPixelsPerMetre = row.pixelsPerMetre;
    const output::PictureDescription d = output::screenSizedPicture(s, row.width, row.height);
    EXPECT_EQ(d.width, row.width);
    EXPECT_EQ(d.height, row.height);
    EXPECT_DOUBLE_EQ(d.deviceFactor, 1.0);
    EXPECT_NEAR(d.widthMm, row.widthMm, 1e-9 * row.widthMm);
    EXPECT_EQ(d.frameWidth, row.frameWidth);
    EXPECT_EQ(d.frameHeight, row.frameHeight);
    EXPECT_DOUBLE_EQ(d.pixelsPerMetre, row.pixelsPerMetre);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ScreenSizedPicture,
    ::testing::Values(
        // 1280 pixels on 0.3 m: 800 pixels are 187.5 mm.
        ScreenSizedRow{"Defaults", 800, 600, 1280 / 0.3, 187.5, 18750, 14063},
        // A pixel of a micrometre covers no hundredth of a millimetre; the frame keeps one.
        ScreenSizedRow{"TinyPixels", 1, 1, 1e6, 0.001, 1, 1},
        // Pixels of a kilometre exceed the 32-bit field; the frame stops at its end.
        ScreenSizedRow{"HugePixels", 16384, 2, 1e-3, 16384e6, 2147483647, 200000000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HostedPicture, StatesTheFrameForEmfAndRecordsThePitchInTheBitmap)
{
    output_test::TestScene scene(80, 60);
    output::PictureHost host(80, 60);
    scene.s().Host = &host;
    output::PictureDescription d = output::screenSizedPicture(scene.s(), 80, 60);
    d.pixelsPerMetre = 3937.4;  // 100 dpi
    const output::HostedPicture picture(scene.s(), host, d, QStringLiteral("test"));

    const output::PhysicalSize emf = picture.statedSize(output::PictureFormat::Emf);
    EXPECT_DOUBLE_EQ(emf.widthMm, d.frameWidth / 100.0);
    EXPECT_DOUBLE_EQ(emf.heightMm, d.frameHeight / 100.0);
    const output::PhysicalSize png = picture.statedSize(output::PictureFormat::Png);
    EXPECT_DOUBLE_EQ(png.widthMm, d.widthMm);
    EXPECT_DOUBLE_EQ(png.pixelsPerMetre, 3937.4);

    const QImage& bitmap = picture.bitmap();
    EXPECT_EQ(bitmap.size(), QSize(80, 60));
    EXPECT_EQ(bitmap.dotsPerMeterX(), 3937);
    EXPECT_EQ(bitmap.dotsPerMeterY(), 3937);
    EXPECT_EQ(picture.vectorPicture().creator, QStringLiteral("test"));
}

TEST(PictureFormat, EachFormatIsFoundByItsExtensionInAnyLetterCase)
{
    for (const auto& exporter : output::graphicExporters()) {
        const output::PictureFormat format = exporter->format();
        EXPECT_EQ(&output::exporterFor(format), exporter.get());
        const QString extension = exporter->extension();
        EXPECT_EQ(output::formatForExtension(extension.toStdString()), format);
        EXPECT_EQ(output::formatForExtension(extension.toUpper().toStdString()), format);
    }
    for (const char* other : {"", "jpg", "png ", "pn", "emff", ".pdf"}) {
        EXPECT_FALSE(output::formatForExtension(other).has_value()) << other;
    }
}

}  // namespace
