// SPDX-License-Identifier: GPL-3.0-or-later
// Hint timings with the program's hint handling installed, the pointer moved as the offscreen
// platform moves it: how soon a hint comes, how long it stays, how soon the next control's hint
// replaces it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QLabel>
#include <QSpinBox>
#include <QTest>
#include <QToolTip>

#include <functional>
#include <memory>

#include "mainwindow/form_main.h"
#include "mainwindow/hint_style.h"
#include "mainwindow/track_bar.h"

namespace {

bool hintHidden()
{
    return !QToolTip::isVisible();
}

bool hintShows(const QString& text)
{
    return QToolTip::isVisible() && QToolTip::text() == text;
}

// Waits until the hint is gone, the pointer away from every window.
void noHint()
{
    QCursor::setPos(790, 590);
    QToolTip::hideText();
    ASSERT_TRUE(QTest::qWaitFor(hintHidden, 2000));
}

// From a hint that has just appeared: still up after 4 s, gone by 5.6 s.
void expectHiddenAfterFiveSeconds(const QString& text)
{
    QElapsedTimer shown;
    shown.start();
    EXPECT_FALSE(QTest::qWaitFor(hintHidden, 4000)) << "hidden after " << shown.elapsed() << " ms";
    EXPECT_TRUE(hintShows(text));
    EXPECT_TRUE(QTest::qWaitFor(hintHidden, 1600)) << "still up after " << shown.elapsed() << " ms";
}

class HintTimingTest : public ::testing::Test {
protected:
    QWidget window;
    QLabel* left = label("Left hint", 20);
    QLabel* right = label("Right hint", 150);
    QSpinBox* spin = new QSpinBox(&window);

    void SetUp() override
    {
        noHint();
        spin->setGeometry(280, 20, 100, 30);
        spin->setToolTip(QStringLiteral("Spin hint"));
        window.setGeometry(40, 40, 420, 100);
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void TearDown() override { noHint(); }

    QLabel* label(const char* hint, int x)
    {
        auto* text = new QLabel(QStringLiteral("text"), &window);
        text->setGeometry(x, 20, 100, 30);
        text->setToolTip(QString::fromLatin1(hint));
        return text;
    }
    // Rests the pointer on the middle of `target` and waits for `hint`; the time it took.
    qint64 hover(QWidget* target, const QString& hint, int timeout)
    {
        QElapsedTimer since;
        since.start();
        QTest::mouseMove(target, target->rect().center());
        return QTest::qWaitFor([&] { return hintShows(hint); }, timeout) ? since.elapsed() : -1;
    }
};

TEST_F(HintTimingTest, FirstHintWaitsItsDelayAndStaysFiveSeconds)
{
    const qint64 delay = hover(left, QStringLiteral("Left hint"), 2000);
    ASSERT_GE(delay, 0) << "no hint";
    EXPECT_GE(delay, 200);
    expectHiddenAfterFiveSeconds(QStringLiteral("Left hint"));
}

TEST_F(HintTimingTest, NextControlsHintReplacesTheShowingOneAtOnce)
{
    struct Row {
        QWidget* from;
        QWidget* to;
        const char* hint;
    };
    // The spin box's hint comes from its text field, which the pointer enters.
    for (const Row& row : {Row{left, right, "Right hint"}, Row{right, left, "Left hint"},
                           Row{left, spin, "Spin hint"}}) {
        ASSERT_GE(hover(row.from, row.from->toolTip(), 2000), 0) << "no hint to start from";
        QTest::qWait(300);  // read for a moment, as the user does
        const qint64 switched = hover(row.to, QString::fromLatin1(row.hint), 150);
        EXPECT_GE(switched, 0) << row.hint << " not within 150 ms";
        noHint();
    }
}

TEST(TrackBarHint, StaysFiveSeconds)
{
    noHint();
    mainwindow::TFormMainEnvironment e;
    e.desktopWidth = 1280;
    e.desktopHeight = 1024;
    e.workAreaWidth = 1280;
    e.workAreaHeight = 1000;
    e.executablePath = QStringLiteral("/opt/bin/ondulix");
    auto form = std::make_unique<mainwindow::TFormMain>(e, mainwindow::defaultFormMainSettings());
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto* bar = form->control<mainwindow::TTrackBar>("TrackBarHorizontalAmplitude");
    ASSERT_NE(bar, nullptr);
    // Moved at once, before resting on the bar would bring its hint anyway.
    QTest::mouseMove(bar, bar->rect().center());
    bar->setValue(bar->value() - 1);
    ASSERT_TRUE(hintShows(bar->toolTip()));
    expectHiddenAfterFiveSeconds(bar->toolTip());
    form.reset();
    noHint();
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    mainwindow::installHintTimings();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
