// SPDX-License-Identifier: GPL-3.0-or-later
// What the display reports about its size: the reports believed, and the screen asked, on screens
// of the offscreen platform, whose sizes are the stand-ins of 100 pixels per inch.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>

#include <cmath>
#include <limits>
#include <optional>

#include "platform/qt_services.h"

namespace {

using platform::plausibleDisplayWidthMm;

TEST(DisplayWidth, OnlyAPlausibleReportCounts)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Row {
        platform::TScreenReport report;
        std::optional<int> expected;
    };
    const Row rows[] = {
        {{0, 0, 1920, 1080}, std::nullopt},  // no report
        {{149.6, 100, 1280, 1024}, std::nullopt},
        {{150, 100, 1280, 1024}, 150},
        {{344.4, 193.5, 1920, 1080}, 344},
        {{527.5, 296.5, 1920, 1080}, 528},
        {{2000, 1125, 3840, 2160}, 2000},
        {{2000.4, 1125, 3840, 2160}, std::nullopt},
        {{-500, 300, 1920, 1080}, std::nullopt},
        {{nan, 300, 1920, 1080}, std::nullopt},
        {{std::numeric_limits<double>::infinity(), 300, 1920, 1080}, std::nullopt},
        {{344, nan, 1920, 1080}, 344},
        // An aspect ratio, not a size.
        {{160, 90, 1920, 1080}, std::nullopt},
        {{160, 100, 1280, 800}, std::nullopt},
        {{160, 120, 1024, 768}, 160},
        // The pixels at 96 or 100 per inch or a millimetre each: a stand-in for no report.
        {{508, 286, 1920, 1080}, std::nullopt},
        {{325.12, 260.096, 1280, 1024}, std::nullopt},
        {{1280, 1024, 1280, 1024}, std::nullopt},
        {{508, 300, 1920, 1080}, 508},
    };
    for (const Row& row : rows) {
        const platform::TScreenReport& r = row.report;
        EXPECT_EQ(plausibleDisplayWidthMm(r), row.expected)
            << r.widthMm << " x " << r.heightMm << " mm, " << r.widthPixels << " x "
            << r.heightPixels;
    }
}

TEST(DisplayWidth, TheWindowsScreenIsAskedAndWithoutAWindowThePrimary)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 3) << "the offscreen platform did not take the screens";
    EXPECT_EQ(platform::screenOf(nullptr), QGuiApplication::primaryScreen());
    const platform::QtDisplay display;
    EXPECT_EQ(display.physicalWidthMm(nullptr), std::nullopt);
    for (QScreen* screen : screens) {
        QWidget window;
        window.setScreen(screen);
        EXPECT_EQ(platform::screenOf(&window), screen) << screen->name().toStdString();
        // Each has the stand-in size of its pixels, which is no report.
        EXPECT_EQ(display.physicalWidthMm(&window), std::nullopt) << screen->name().toStdString();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("screens.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)) {
        return 2;
    }
    file.write(R"({"screens": [
        {"name": "Desk", "x": 0, "y": 0, "width": 1280, "height": 1024},
        {"name": "Wall", "x": 1280, "y": 0, "width": 8000, "height": 1000},
        {"name": "Panel", "x": 9280, "y": 0, "width": 500, "height": 400}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen:configfile=") + config.toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
