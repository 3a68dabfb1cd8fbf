// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing rules of the dialog's own controls, checked on the pixels they produce.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QTest>

#include <cmath>
#include <limits>

#include "platform/painter_canvas.h"
#include "settingsdialog/settings_controls.h"

namespace {

using common::rgb;
using settingsdialog::lineStyleEntryPicture;

constexpr common::TColor Background = rgb(250, 240, 200);
constexpr common::TColor Pen = rgb(20, 40, 160);

QColor colour(common::TColor c)
{
    return platform::toQColor(c);
}

// Rows of a column that show the pen colour.
int penRows(const QImage& picture, int x)
{
    int rows = 0;
    for (int y = 0; y < picture.height(); ++y) {
        rows += picture.pixelColor(x, y) == colour(Pen) ? 1 : 0;
    }
    return rows;
}

// Columns of a row that show the pen colour.
int penColumns(const QImage& picture, int y)
{
    int columns = 0;
    for (int x = 0; x < picture.width(); ++x) {
        columns += picture.pixelColor(x, y) == colour(Pen) ? 1 : 0;
    }
    return columns;
}

// A comma box of 0 .. 30 with the focus, and a neighbour to take the focus away.
struct CommaBox {
    QWidget window;
    settingsdialog::TSpinEdit* box = new settingsdialog::TSpinEdit(0, 30, 1, &window);
    settingsdialog::TSpinEdit* other = new settingsdialog::TSpinEdit(0, 30, 2, &window);
    int changes = 0;

    CommaBox()
    {
        box->setCommaFractions(true);
        other->move(0, 40);
        box->onChange = [this](settingsdialog::TSpinEdit*) { ++changes; };
        window.show();
        QApplication::setActiveWindow(&window);
        box->setFocus();
    }
    void type(const char* keys)
    {
        box->selectAll();
        QTest::keyClicks(box, QString::fromLatin1(keys));
    }
};

TEST(SpinEditCommaFractions, TypingKeepsTheFractionAndSteppingGoesToWholeNumbers)
{
    struct Row {
        const char* typed;
        Qt::Key key;  // pressed after typing; Key_unknown: none
        const char* focused;
        const char* unfocused;
        double number;
    };
    const Row rows[] = {
        {"2,5", Qt::Key_unknown, "2,5", "2,5", 2.5},
        {"007,50", Qt::Key_unknown, "007,50", "7,5", 7.5},
        {"12,", Qt::Key_unknown, "12,", "12", 12.0},
        {"1,1234567", Qt::Key_unknown, "1,123456", "1,123456", 1.123456},  // six places
        {"30,5", Qt::Key_unknown, "30,", "30", 30.0},                      // past the maximum
        {"2,,5.+", Qt::Key_unknown, "2,5", "2,5", 2.5},
        {"2,5", Qt::Key_Up, "3", "3", 3.0},
        {"2,5", Qt::Key_Down, "2", "2", 2.0},
        {"29,5", Qt::Key_Up, "30", "30", 30.0},  // nearest whole is already the maximum
        {"0,5", Qt::Key_Down, "0", "0", 0.0},    // nearest whole is already the minimum
        {"3", Qt::Key_Up, "4", "4", 4.0},
    };
    for (const Row& row : rows) {
        CommaBox c;
        c.type(row.typed);
        if (row.key != Qt::Key_unknown) {
            QTest::keyClick(c.box, row.key);
        }
        EXPECT_EQ(c.box->text(), QString::fromLatin1(row.focused)) << row.typed;
        c.other->setFocus();
        EXPECT_EQ(c.box->text(), QString::fromLatin1(row.unfocused)) << row.typed;
        EXPECT_EQ(c.box->decimalValue(), row.number) << row.typed;
        EXPECT_EQ(c.box->value(), static_cast<int>(std::nearbyint(row.number))) << row.typed;
    }
}

TEST(SpinEditCommaFractions, EveryChangeOfTheNumberIsReportedOnce)
{
    CommaBox c;
    c.type("2");
    EXPECT_EQ(c.changes, 1);
    QTest::keyClicks(c.box, QStringLiteral(",4"));  // "2," is still 2; the whole part stays
    EXPECT_EQ(c.changes, 2);
    EXPECT_EQ(c.box->decimalValue(2), 0.024);
    c.box->setValue(2);  // the same whole number, without the fraction
    EXPECT_EQ(c.changes, 3);
    EXPECT_EQ(c.box->text(), QStringLiteral("2"));
}

TEST(SpinEditCommaFractions, SetDecimalValueShowsSixPlacesWithinTheRange)
{
    struct Row {
        double number;
        const char* shown;
    };
    const Row rows[] = {
        {0.1234 * 100, "12,34"},  // 12.340000000000002 as a double
        {0.3 * 100, "30"},
        {0.1234567, "0,123457"},
        {99.5, "30"},
        {-1.5, "0"},
        {std::numeric_limits<double>::quiet_NaN(), "0"},
    };
    for (const Row& row : rows) {
        CommaBox c;
        c.box->setValue(5);
        c.box->setDecimalValue(row.number);
        EXPECT_EQ(c.box->text(), QString::fromLatin1(row.shown)) << row.number;
    }
}

TEST(LineStyleEntry, WidthFollowsTheBoldFlag)
{
    struct Row {
        bool bold;
        int rows;
    };
    for (const Row& row : {Row{false, 1}, Row{true, 2}}) {
        const QImage picture = lineStyleEntryPicture(100, 7, Background, Pen, row.bold, 0);
        EXPECT_EQ(penRows(picture, 50), row.rows) << "bold " << row.bold;
    }
}

TEST(LineStyleEntry, SolidLineRunsAtTheMiddleTwoPixelsInsideBothEdges)
{
    const QImage picture = lineStyleEntryPicture(100, 7, Background, Pen, false, 0);
    // (0 + 7) / 2 = 3
    EXPECT_EQ(picture.pixelColor(50, 3), colour(Pen));
    EXPECT_EQ(picture.pixelColor(2, 3), colour(Pen));
    EXPECT_EQ(picture.pixelColor(97, 3), colour(Pen));
    for (int x : {0, 1, 98, 99}) {
        EXPECT_EQ(picture.pixelColor(x, 3), colour(Background)) << "x " << x;
    }
    EXPECT_EQ(picture.pixelColor(50, 0), colour(Background));
    EXPECT_EQ(picture.pixelColor(50, 6), colour(Background));
}

TEST(LineStyleEntry, EachStyleLeavesItsOwnGaps)
{
    // Styles 1 to 4 break the line: some of the 96 pixels show the background between dashes.
    const int solid = penColumns(lineStyleEntryPicture(100, 7, Background, Pen, false, 0), 3);
    EXPECT_EQ(solid, 96);
    for (int style = 1; style <= 4; ++style) {
        const int columns =
            penColumns(lineStyleEntryPicture(100, 7, Background, Pen, false, style), 3);
        EXPECT_GT(columns, 0) << "style " << style;
        EXPECT_LT(columns, solid) << "style " << style;
    }
    // Invisible: the background only.
    EXPECT_EQ(penColumns(lineStyleEntryPicture(100, 7, Background, Pen, false, 5), 3), 0);
    EXPECT_EQ(penColumns(lineStyleEntryPicture(100, 7, Background, Pen, true, 5), 4), 0);
}

TEST(Flags, GermanFlagHasItsStripesAndTheGoldRule)
{
    const QImage flag = settingsdialog::flagPicture(1);
    ASSERT_EQ(flag.size(), QSize(16, 16));
    const QColor key = flag.pixelColor(0, 15);
    for (int x = 0; x < 16; ++x) {
        for (int y = 0; y <= 4; ++y) {
            EXPECT_EQ(flag.pixelColor(x, y), QColor(0, 0, 0)) << x << "," << y;
        }
        for (int y = 5; y <= 9; ++y) {
            const QColor c = flag.pixelColor(x, y);
            EXPECT_TRUE(c.red() > 150 && c.green() == 0 && c.blue() == 0) << x << "," << y;
        }
        for (int y = 10; y <= 14; ++y) {
            EXPECT_EQ(flag.pixelColor(x, y), QColor(255, 224, 0)) << x << "," << y;
        }
        EXPECT_EQ(flag.pixelColor(x, 15), key);
    }
    EXPECT_NE(key, QColor(0, 0, 0));
}

TEST(Flags, EnglishFlagShowsBetweenTwoKeyRows)
{
    const QImage flag = settingsdialog::flagPicture(0);
    ASSERT_EQ(flag.size(), QSize(16, 16));
    const QColor key = flag.pixelColor(0, 15);
    for (int x = 0; x < 16; ++x) {
        EXPECT_EQ(flag.pixelColor(x, 0), key);
        EXPECT_EQ(flag.pixelColor(x, 15), key);
        for (int y = 1; y <= 14; ++y) {
            EXPECT_NE(flag.pixelColor(x, y), key) << x << "," << y;
        }
    }
}

TEST(Flags, LanguageEntryReplacesTheKeyByTheBackground)
{
    const QColor background(10, 120, 230);
    struct Row {
        int height;
        int flagTop;  // (top + bottom - 16) / 2
    };
    for (const Row& row : {Row{16, 0}, Row{21, 2}, Row{24, 4}}) {
        QImage picture(120, row.height, QImage::Format_RGB32);
        picture.fill(Qt::black);
        const QImage flag = settingsdialog::flagPicture(1);
        {
            QPainter painter(&picture);
            settingsdialog::drawLanguageEntry(painter, picture.rect(), &flag,
                                              QStringLiteral("Deutsch"), background, Qt::white);
        }
        EXPECT_EQ(picture.pixelColor(0, 0), background);
        EXPECT_EQ(picture.pixelColor(1, row.flagTop), background);
        // The flag 2 pixels from the left: black stripe on top, gold above the key row, which
        // shows the background.
        EXPECT_EQ(picture.pixelColor(2, row.flagTop), QColor(0, 0, 0)) << "height " << row.height;
        EXPECT_EQ(picture.pixelColor(17, row.flagTop + 14), QColor(255, 224, 0))
            << "height " << row.height;
        EXPECT_EQ(picture.pixelColor(10, row.flagTop + 15), background) << "height " << row.height;
        EXPECT_EQ(picture.pixelColor(18, row.flagTop + 5), background) << "height " << row.height;
    }
}

}  // namespace
