// SPDX-License-Identifier: GPL-3.0-or-later
// What the display reports about its size, on screens of the offscreen platform, which have the
// sizes of 100 dots per inch: a desk monitor, a wall of screens and a small panel.

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
        double width, height;
        std::optional<int> expected;
    };
    const Row rows[] = {
        {0, 0, std::nullopt},  // no report
        {149.6, 100, std::nullopt},
        {150, 100, 150},
        {344.4, 193.5, 344},
        {527.5, 296.5, 528},
        {2000, 1125, 2000},
        {2000.4, 1125, std::nullopt},
        {-500, 300, std::nullopt},
        {nan, 300, std::nullopt},
        {std::numeric_limits<double>::infinity(), 300, std::nullopt},
        {160, 90, std::nullopt},  // an aspect ratio, not a size
        {160, 100, std::nullopt},
        {160, 120, 160},
        {344, nan, 344},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(plausibleDisplayWidthMm(row.width, row.height), row.expected)
            << row.width << " x " << row.height;
    }
}

TEST(DisplayWidth, TheWindowsScreenAnswersAndWithoutAWindowThePrimary)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 3) << "the offscreen platform did not take the screens";
    const platform::QtDisplay display;
    EXPECT_EQ(display.physicalWidthMm(nullptr), 325);  // 1280 pixels at 100 per inch
    struct Row {
        int screen;
        std::optional<int> expected;
    };
    const Row rows[] = {{0, 325}, {1, std::nullopt}, {2, std::nullopt}};
    for (const Row& row : rows) {
        QWidget window;
        window.setScreen(screens.at(row.screen));
        EXPECT_EQ(display.physicalWidthMm(&window), row.expected) << row.screen;
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
