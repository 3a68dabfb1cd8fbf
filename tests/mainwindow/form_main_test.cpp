// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven as a user drives it: keys to the focused control, mouse on the
// drawing, clicks on the buttons, timer steps called directly.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

#include <memory>
#include <set>

#include "mainwindow/drawing_area.h"
#include "mainwindow/form_main.h"
#include "mainwindow/glyphs.h"
#include "mainwindow/shortcuts.h"
#include "mainwindow/track_bar.h"
#include "mainwindow/up_down.h"
#include "platform/aux_files.h"

namespace {

using mainwindow::TFormMain;
using mainwindow::TTrackBar;

mainwindow::TFormMainEnvironment environment()
{
    mainwindow::TFormMainEnvironment e;
    e.desktopWidth = 1280;
    e.desktopHeight = 1024;
    e.workAreaWidth = 1280;
    e.workAreaHeight = 1000;
    e.executablePath = QStringLiteral("/opt/bin/ondulix");
    return e;
}

class FormMainTest : public ::testing::Test {
protected:
    std::unique_ptr<TFormMain> form;

    void start(const settings::TSettingsData& settings = mainwindow::defaultFormMainSettings())
    {
        form = std::make_unique<TFormMain>(environment(), settings);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void SetUp() override { start(); }

    TTrackBar* bar(const char* name) const { return form->control<TTrackBar>(name); }
    QToolButton* button(const char* name) const { return form->control<QToolButton>(name); }
    QString panelScale() const { return form->control<QLabel>("PanelScale")->text(); }

    // A key as the keyboard delivers it: to the control that has the focus.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {})
    {
        QWidget* target =
            QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : form.get();
        QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(target, &up);
    }
    void focus(const char* name)
    {
        bar(name)->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), bar(name));
    }
};

TEST_F(FormMainTest, FirstStartShowsTheDefaultScene)
{
    const scene::SceneState& s = form->scene();
    EXPECT_EQ(panelScale(), QStringLiteral("1 : 40"));
    EXPECT_EQ(form->scaleIndex(), 14);
    EXPECT_EQ(s.Params.Azimuth, -45);
    EXPECT_EQ(s.Params.Elevation, 30);
    EXPECT_EQ(bar("TrackBarElevation")->value(), -30);
    EXPECT_DOUBLE_EQ(s.Params.HorizontalAmplitude, 1.0);
    EXPECT_DOUBLE_EQ(s.Params.VerticalAmplitude, 1.0);
    EXPECT_EQ(s.Params.PhaseStep, -128);
    EXPECT_EQ(form->size(), QSize(1024, 768));
    EXPECT_EQ(form->windowTitle(), QStringLiteral(" ondulix"));
    EXPECT_TRUE(s.SceneReady);
    EXPECT_EQ(form->programState(), mainwindow::TProgramState::Idle);
    EXPECT_TRUE(button("SpeedButtonPause")->isChecked());
    EXPECT_FALSE(button("SpeedButtonSave")->isEnabled());
    // The drawing area's picture shows the scene at its size.
    const auto* image = form->control<mainwindow::DrawingArea>("Image");
    EXPECT_EQ(image->picture().size(), image->size());
    EXPECT_EQ(s.DrawWidth, image->width());
    EXPECT_NE(image->picture().pixelColor(image->width() / 2, image->height() / 2), QColor());
}

TEST_F(FormMainTest, LoadedValuesGoThroughTheTrackBars)
{
    settings::TSettingsData settings = mainwindow::defaultFormMainSettings();
    settings.Scene.HorizontalAmplitude =
        50;  // the bar's initial position: its handler must still run
    settings.Scene.VerticalAmplitude = 250;  // clamped by the bar
    settings.Scene.Azimuth = 500;
    settings.Scene.Elevation = -120;
    settings.FormMain.Left = -5000;
    settings.FormMain.Width = 800;
    settings.FormMain.Top = 5000;
    start(settings);
    const scene::SceneState& s = form->scene();
    EXPECT_DOUBLE_EQ(s.Params.HorizontalAmplitude, 0.5);
    EXPECT_DOUBLE_EQ(s.Params.VerticalAmplitude, 1.0);
    EXPECT_EQ(s.Params.Azimuth, 180);
    EXPECT_EQ(s.Params.Elevation, -90);
    EXPECT_EQ(form->pos(), QPoint(-768, 1000 - 32));
}

TEST_F(FormMainTest, TrackBarHintsReadAsTheUserExpects)
{
    struct Row {
        const char* bar;
        int position;
        const char* hint;
    };
    const Row rows[] = {
        {"TrackBarTime", 128, "Time = 0.250 · T"},
        {"TrackBarTime", 512, "Time = 1.000 · T"},
        {"TrackBarTime", 0, "Time = 0.000 · T"},
        {"TrackBarElevation", -90, "Elevation angle of the observer = 90°"},
        {"TrackBarElevation", 45, "Elevation angle of the observer = -45°"},
        {"TrackBarAzimuth", -45, "Azimuth angle of the observer = -45°"},
        {"TrackBarPhaseShift", -180, "Phase shift = -180°"},
        {"TrackBarPhaseShift", 0, "Phase shift = 0°"},
        {"TrackBarPhaseShift", 90, "Phase shift = +90°"},
        {"TrackBarHorizontalAmplitude", 37, "Horizontal amplitude = 37 %"},
        {"TrackBarVerticalAmplitude", 0, "Vertical amplitude = 0 %"},
    };
    for (const Row& row : rows) {
        bar(row.bar)->setValue(row.position);
        EXPECT_EQ(bar(row.bar)->toolTip(), QString::fromUtf8(row.hint));
    }
    EXPECT_EQ(form->scene().Params.PhaseStep, 128);
    EXPECT_EQ(form->scene().Params.Elevation, -45);
    EXPECT_DOUBLE_EQ(form->scene().Params.VerticalAmplitude, 0.0);
    EXPECT_EQ(button("SpeedButtonCopy")->toolTip(),
              QStringLiteral("Copy graphic to clipboard (Ctrl+C)"));
    EXPECT_EQ(form->control<mainwindow::TUpDown>("UpDownScale")->toolTip(),
              QStringLiteral("Increase/decrease scale\r\n(keys + and -  or  Ctrl+mouse wheel)"));
    EXPECT_EQ(form->findChild<QAction*>(QStringLiteral("PopupMenuImageSettings"))->text(),
              QStringLiteral("Settings\tCtrl+E"));
}

TEST_F(FormMainTest, AzimuthWrapsAroundAtItsEnds)
{
    focus("TrackBarAzimuth");
    struct Row {
        int from, key, to;
    };
    const Row rows[] = {{-180, Qt::Key_Left, 179},     {180, Qt::Key_Right, -179},
                        {175, Qt::Key_Right, 176},     {-180, Qt::Key_PageUp, 170},
                        {180, Qt::Key_PageDown, -170}, {0, Qt::Key_PageUp, -10},
                        {-179, Qt::Key_Left, -180}};
    for (const Row& row : rows) {
        bar("TrackBarAzimuth")->setValue(row.from);
        press(row.key);
        EXPECT_EQ(bar("TrackBarAzimuth")->value(), row.to) << row.from << " key " << row.key;
    }
    EXPECT_EQ(form->scene().Params.Azimuth, -180);
}

TEST_F(FormMainTest, TimeWrapsWhilePausedAndArrowsTurnTheViewWhileRunning)
{
    focus("TrackBarTime");
    struct Row {
        int from, key, to;
    };
    for (const Row& row :
         {Row{0, Qt::Key_PageUp, 480}, Row{512, Qt::Key_PageDown, 32}, Row{0, Qt::Key_Left, 511},
          Row{512, Qt::Key_Right, 1}, Row{200, Qt::Key_Right, 201}}) {
        bar("TrackBarTime")->setValue(row.from);
        press(row.key);
        EXPECT_EQ(bar("TrackBarTime")->value(), row.to) << row.from;
    }
    button("SpeedButtonStart")->click();
    ASSERT_TRUE(form->animationRunning());
    // Running, but no step may come between reading the time and the key on a busy machine.
    form->timerTime().stop();
    focus("TrackBarTime");
    const int time = bar("TrackBarTime")->value();
    press(Qt::Key_Left);
    EXPECT_EQ(bar("TrackBarTime")->value(), time);
    EXPECT_EQ(bar("TrackBarAzimuth")->value(), -46);
    EXPECT_EQ(QApplication::focusWidget(), bar("TrackBarAzimuth"));
}

TEST_F(FormMainTest, ArrowKeysSteerTheObserverFromAnyTrackBar)
{
    focus("TrackBarPhaseShift");
    press(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), bar("TrackBarElevation"));
    EXPECT_EQ(form->scene().Params.Elevation, 31);
    EXPECT_EQ(bar("TrackBarPhaseShift")->value(), -90);
    // With the elevation focused, Up and Down go to the bar itself; Left and Right to the azimuth.
    press(Qt::Key_Down);
    EXPECT_EQ(form->scene().Params.Elevation, 30);
    press(Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), bar("TrackBarAzimuth"));
    EXPECT_EQ(form->scene().Params.Azimuth, -44);
    EXPECT_EQ(form->scene().Params.Elevation, 30);
}

TEST_F(FormMainTest, ShortcutsToggleButtonsOnlyWithExactlyTheirModifier)
{
    focus("TrackBarTime");
    QToolButton* horizontal = button("SpeedButtonShowHorizontalWave");
    press(Qt::Key_H, Qt::ControlModifier);
    EXPECT_FALSE(horizontal->isChecked());
    EXPECT_FALSE(form->scene().ShowHorizontalWave);
    press(Qt::Key_H, Qt::ControlModifier);
    EXPECT_TRUE(horizontal->isChecked());
    EXPECT_TRUE(form->scene().ShowHorizontalWave);

    // Other combinations do nothing of the tables.
    press(Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
    press(Qt::Key_V, Qt::AltModifier | Qt::ControlModifier);
    press(Qt::Key_R, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_TRUE(form->scene().ShowHorizontalWave);
    EXPECT_TRUE(form->scene().ShowResultantVector);
    EXPECT_FALSE(form->timerRotateAzimuth().isActive());
    int copies = 0;
    form->onCopy = [&copies] { ++copies; };
    press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(copies, 0);
    press(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copies, 1);

    press(Qt::Key_V, Qt::AltModifier);
    EXPECT_FALSE(form->scene().ShowResultantVector);
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(form->scene().CoordinateSystemCentered);
    EXPECT_DOUBLE_EQ(form->scene().SceneCentre.X, 0.0);
    press(Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(form->timerRotateAzimuth().isActive());
    press(Qt::Key_Escape);
    EXPECT_FALSE(form->timerRotateAzimuth().isActive());
    EXPECT_FALSE(button("SpeedButtonRotateAzimuth")->isChecked());
}

TEST(Shortcuts, EachKeyIsDeclaredOnceAndEveryCommandHasOne)
{
    std::set<std::pair<int, int>> keys;
    std::set<mainwindow::TCommand> commands;
    for (const mainwindow::TShortcut& s : mainwindow::shortcuts()) {
        EXPECT_TRUE(keys.insert({s.key, s.modifiers.toInt()}).second) << s.key;
        commands.insert(s.command);
    }
    EXPECT_EQ(commands.size(), static_cast<std::size_t>(mainwindow::TCommand::Preset6) + 1);
    // Where the keyboard puts "+" behind Shift, and on the keypad.
    using mainwindow::findShortcut;
    ASSERT_NE(findShortcut(Qt::Key_Plus, Qt::ShiftModifier | Qt::KeypadModifier), nullptr);
    EXPECT_EQ(findShortcut(Qt::Key_Plus, Qt::ShiftModifier)->command, mainwindow::TCommand::ZoomIn);
    EXPECT_EQ(findShortcut(Qt::Key_Plus, Qt::ControlModifier), nullptr);
    EXPECT_EQ(findShortcut(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier), nullptr);
}

TEST_F(FormMainTest, SpaceBackspacePlusAndMinusDriveAnimationAndZoom)
{
    focus("TrackBarAzimuth");
    press(Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_TRUE(form->animationRunning());
    EXPECT_TRUE(button("SpeedButtonStart")->isChecked());
    press(Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    EXPECT_FALSE(form->animationRunning());
    EXPECT_TRUE(button("SpeedButtonPause")->isChecked());

    bar("TrackBarTime")->setValue(300);
    press(Qt::Key_Backspace, Qt::NoModifier, QStringLiteral("\b"));
    EXPECT_EQ(bar("TrackBarTime")->value(), 0);

    press(Qt::Key_Plus, Qt::NoModifier, QStringLiteral("+"));
    EXPECT_EQ(panelScale(), QStringLiteral("1 : 30"));
    press(Qt::Key_Minus, Qt::NoModifier, QStringLiteral("-"));
    press(Qt::Key_Minus, Qt::NoModifier, QStringLiteral("-"));
    EXPECT_EQ(panelScale(), QStringLiteral("1 : 50"));
    EXPECT_NEAR(form->scene().PixelsPerUnit, 1280 / 0.3 / 50, 1e-9);
}

TEST_F(FormMainTest, ZoomStopsAtBothEndsOfTheList)
{
    for (int i = 0; i < 40; ++i) {
        form->ZoomIn();
    }
    EXPECT_EQ(panelScale(), QStringLiteral("1 : 1"));
    EXPECT_EQ(form->scaleIndex(), 1);
    // Ctrl with the wheel turned away from the user zooms in: nothing left to do.
    QWheelEvent away(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, 120), Qt::NoButton,
                     Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form->control<QWidget>("Image"), &away);
    EXPECT_EQ(panelScale(), QStringLiteral("1 : 1"));
    QWheelEvent toward(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, -120), Qt::NoButton,
                       Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(form->control<QWidget>("Image"), &toward);
    EXPECT_EQ(panelScale(), QStringLiteral("1 : 2"));
    for (int i = 0; i < 40; ++i) {
        form->ZoomOut();
    }
    EXPECT_EQ(panelScale(), QStringLiteral("1 : 1000"));
    EXPECT_EQ(form->scaleIndex(), 28);
    auto* upDown = form->control<mainwindow::TUpDown>("UpDownScale");
    upDown->clickUp();
    EXPECT_EQ(panelScale(), QStringLiteral("1 : 1000"));
    upDown->clickDown();
    EXPECT_EQ(panelScale(), QStringLiteral("1 : 800"));
}

TEST_F(FormMainTest, LoadedScalesOutsideOrBetweenTheStepsStayUsable)
{
    struct Row {
        int loaded;
        const char* shown;
        int index;
        const char* afterZoomOut;
    };
    const Row rows[] = {{5000, "1 : 1000", 28, "1 : 1000"},
                        {0, "1 : 1", 1, "1 : 2"},
                        {7, "1 : 7", 6, "1 : 8"},  // 6 and 8 are equally near: the smaller wins
                        {45, "1 : 45", 14, "1 : 50"}};
    for (const Row& row : rows) {
        settings::TSettingsData settings = mainwindow::defaultFormMainSettings();
        settings.Scale = row.loaded;
        start(settings);
        EXPECT_EQ(panelScale(), QString::fromLatin1(row.shown)) << row.loaded;
        EXPECT_EQ(form->scaleIndex(), row.index) << row.loaded;
        form->ZoomOut();
        EXPECT_EQ(panelScale(), QString::fromLatin1(row.afterZoomOut)) << row.loaded;
    }
}

TEST_F(FormMainTest, DraggingTurnsTheViewInWholeSteps)
{
    // An area 1440 pixels wide, whatever the window's margins and the panel's frame take.
    form->resize(1500, 900);
    QApplication::processEvents();
    form->resize(1500 + 1440 - form->scene().DrawWidth, 900);
    QApplication::processEvents();
    auto* image = form->control<QWidget>("Image");
    ASSERT_EQ(form->scene().DrawWidth, 1440);
    const auto send = [image](QEvent::Type type, QPoint at, Qt::MouseButton button,
                              Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(at), image->mapToGlobal(QPointF(at)), button, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(image, &event);
    };
    send(QEvent::MouseButtonPress, {700, 300}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(image->cursor().shape(), Qt::ClosedHandCursor);
    send(QEvent::MouseMove, {680, 300}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(form->scene().Params.Azimuth, -35);
    send(QEvent::MouseMove, {679, 300}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(form->scene().Params.Azimuth, -35);
    send(QEvent::MouseMove, {678, 300}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(form->scene().Params.Azimuth, -34);
    // Moving up raises the elevation bar's position, which lowers the observer.
    const int height = form->scene().DrawHeight;
    const int rows = height / (180 * 2) + 1;  // enough for one step
    send(QEvent::MouseMove, {678, 300 - rows}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(form->scene().Params.Elevation, 30 - rows * 360 / height);
    send(QEvent::MouseButtonRelease, {678, 300 - rows}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(image->cursor().shape(), Qt::OpenHandCursor);
    // Without the button held nothing turns.
    send(QEvent::MouseMove, {100, 100}, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(form->scene().Params.Azimuth, -34);
}

TEST_F(FormMainTest, AnimationRepeatsOrStopsAtTheEndOfThePeriod)
{
    TTrackBar* time = bar("TrackBarTime");
    // Steps are called by hand; the real timer must not add its own while a drawing lets
    // events run.
    form->timerTime().setInterval(1000000);
    button("SpeedButtonStart")->click();
    EXPECT_TRUE(form->timerTime().isActive());
    time->setValue(510);
    form->TimerTimeOnTimer();
    EXPECT_EQ(time->value(), 511);
    form->TimerTimeOnTimer();
    EXPECT_EQ(time->value(), 0);  // 512 equals 0 and is skipped
    time->setValue(512);          // set by hand while running
    form->TimerTimeOnTimer();
    EXPECT_EQ(time->value(), 0);

    settings::TSettingsData once = mainwindow::defaultFormMainSettings();
    once.App.AutoRepeat = false;
    start(once);
    form->timerTime().setInterval(1000000);
    time = bar("TrackBarTime");
    button("SpeedButtonStart")->click();
    time->setValue(511);
    form->TimerTimeOnTimer();
    EXPECT_EQ(time->value(), 512);
    EXPECT_TRUE(form->animationRunning());
    form->TimerTimeOnTimer();  // T was shown: now the animation stops
    EXPECT_EQ(time->value(), 512);
    EXPECT_FALSE(form->animationRunning());
    EXPECT_FALSE(form->timerTime().isActive());
    EXPECT_TRUE(button("SpeedButtonPause")->isChecked());
    // Starting again at T begins the period anew; starting at 300 goes on from there.
    button("SpeedButtonStart")->click();
    EXPECT_EQ(time->value(), 0);
    time->setValue(300);
    button("SpeedButtonPause")->click();
    button("SpeedButtonStart")->click();
    EXPECT_EQ(time->value(), 300);
    // Rewind while running pauses at 0.
    button("BitBtnRewind")->click();
    EXPECT_EQ(time->value(), 0);
    EXPECT_FALSE(form->animationRunning());
    EXPECT_TRUE(button("SpeedButtonPause")->isChecked());
}

// Every step shows the hint of the control under the pointer with the step's value, wherever
// the pointer has gone since the last step.
TEST_F(FormMainTest, TheHintNearThePointerFollowsTheStepsAndThePointer)
{
    form->timerTime().setInterval(1000000);
    form->timerRotateAzimuth().setInterval(1000000);
    // On the offscreen platform's screen, where the pointer can go.
    form->setGeometry(0, 0, 790, 760);
    QTest::qWait(50);
    button("SpeedButtonStart")->click();
    const auto pointAt = [](QWidget* control) {
        QCursor::setPos(control->mapToGlobal(control->rect().center()));
        QApplication::processEvents();
    };
    const auto hintShown = [](const QString& text) {
        return QToolTip::isVisible() && QToolTip::text() == text;
    };
    TTrackBar* time = bar("TrackBarTime");
    TTrackBar* azimuth = bar("TrackBarAzimuth");

    pointAt(time);
    for (int step = 1; step <= 3; ++step) {
        form->TimerTimeOnTimer();
        ASSERT_EQ(time->value(), step);
        EXPECT_TRUE(hintShown(time->toolTip())) << step << ": " << QToolTip::text().toStdString();
    }
    pointAt(azimuth);
    form->TimerTimeOnTimer();
    EXPECT_TRUE(hintShown(azimuth->toolTip())) << QToolTip::text().toStdString();

    // The view turning: the azimuth's own hint follows its steps.
    button("SpeedButtonRotateAzimuth")->click();
    form->TimerRotateAzimuthOnTimer();
    EXPECT_TRUE(azimuth->toolTip().contains(QString::number(azimuth->value())));
    EXPECT_TRUE(hintShown(azimuth->toolTip())) << QToolTip::text().toStdString();

    // Away from the window no hint comes up.
    QCursor::setPos(form->geometry().bottomRight() + QPoint(200, 200));
    QApplication::processEvents();
    QToolTip::hideText();
    ASSERT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
    form->TimerTimeOnTimer();
    form->TimerRotateAzimuthOnTimer();
    EXPECT_FALSE(QToolTip::isVisible()) << QToolTip::text().toStdString();
}

// While the time runs, a step that meets a drawing under way is not drawn: the picture keeps
// the step before, and the next step draws again.
TEST_F(FormMainTest, AStepDuringADrawingIsNotDrawn)
{
    form->timerTime().setInterval(1000000);
    button("SpeedButtonStart")->click();
    form->TimerTimeOnTimer();
    EXPECT_EQ(form->controller().drawnTimeStep(), 1);
    form->scene().DrawingInProgress = true;
    form->TimerTimeOnTimer();
    EXPECT_EQ(bar("TrackBarTime")->value(), 2);
    EXPECT_EQ(form->controller().drawnTimeStep(), 1);
    EXPECT_FALSE(form->timerRedraw().isActive());
    form->scene().DrawingInProgress = false;
    form->TimerTimeOnTimer();
    EXPECT_EQ(form->controller().drawnTimeStep(), 3);
}

TEST_F(FormMainTest, RotationStepsThroughBothEnds)
{
    TTrackBar* azimuth = bar("TrackBarAzimuth");
    form->timerRotateAzimuth().setInterval(1000000);
    button("SpeedButtonRotateAzimuth")->click();
    EXPECT_TRUE(form->timerRotateAzimuth().isActive());
    azimuth->setValue(179);
    form->TimerRotateAzimuthOnTimer();
    EXPECT_EQ(azimuth->value(), 180);
    form->TimerRotateAzimuthOnTimer();
    EXPECT_EQ(azimuth->value(), -180);
    form->TimerRotateAzimuthOnTimer();
    EXPECT_EQ(azimuth->value(), -179);
    button("SpeedButtonRotateAzimuth")->click();
    EXPECT_FALSE(form->timerRotateAzimuth().isActive());
}

TEST_F(FormMainTest, ChangesDuringADrawingAreDrawnOnceLater)
{
    scene::SceneState& s = form->scene();
    s.DrawingInProgress = true;
    bar("TrackBarHorizontalAmplitude")->setValue(20);
    bar("TrackBarPhaseShift")->setValue(45);
    EXPECT_TRUE(form->timerRedraw().isActive());
    form->TimerRedrawOnTimer();  // still drawing: try again later
    EXPECT_TRUE(form->timerRedraw().isActive());
    s.DrawingInProgress = false;
    form->TimerRedrawOnTimer();
    EXPECT_FALSE(form->timerRedraw().isActive());
    EXPECT_FALSE(s.DrawingInProgress);
    EXPECT_EQ(s.Params.PhaseStep, 64);
}

TEST_F(FormMainTest, LayoutFollowsTheWindow)
{
    const int clientHeight = form->height();
    const int clientWidth = form->width();
    const int labelHeight = form->labelHeight();
    // With the captions (on by default) under the bottom row's labels.
    EXPECT_EQ(form->bottomRowTop(), clientHeight - 2 * labelHeight - 32);
    const QRect horizontal = bar("TrackBarHorizontalAmplitude")->geometry();
    const QRect vertical = bar("TrackBarVerticalAmplitude")->geometry();
    const QRect phase = bar("TrackBarPhaseShift")->geometry();
    // The bars keep their lengths and order; the start buttons follow the phase bar.
    EXPECT_EQ(horizontal.size(), QSize(123, 32));
    EXPECT_GE(horizontal.left(), 0);
    EXPECT_EQ(vertical.size(), QSize(123, 32));
    EXPECT_GT(vertical.left(), horizontal.right());
    EXPECT_EQ(phase.size(), QSize(383, 32));
    EXPECT_GT(phase.left(), vertical.right());
    EXPECT_EQ(button("SpeedButtonStart")->geometry().left(), phase.right() + 1 + 4);
    EXPECT_EQ(button("BitBtnRewind")->geometry().left(), phase.right() + 1 + 4 + 64);
    const QRect time = bar("TrackBarTime")->geometry();
    EXPECT_GE(time.left(), phase.right() + 1 + 4 + 96);
    EXPECT_LE(time.right(), clientWidth - 1);
    const QRect panel = form->control<QWidget>("PanelImage")->geometry();
    EXPECT_EQ(panel.top(), 29);
    EXPECT_EQ(bar("TrackBarAzimuth")->x(), panel.left() - 7);
    EXPECT_LE(bar("TrackBarAzimuth")->geometry().right(), clientWidth - 1);
    EXPECT_EQ(form->control<QWidget>("PanelScale")->geometry(), QRect(292, 2, 85, 24));
    EXPECT_EQ(button("SpeedButtonHelp")->geometry(), QRect(264, 2, 24, 24));

    // Tick labels stand centred under their values, the 0° ones two pixels right.
    const auto labelCentre = [this](const char* text) {
        for (QLabel* label : form->findChildren<QLabel*>()) {
            if (label->text() == QString::fromUtf8(text) && label->parentWidget() == form.get() &&
                label->y() < form->bottomRowTop()) {
                return label->x() + label->width() / 2;
            }
        }
        return -1;
    };
    TTrackBar* azimuth = bar("TrackBarAzimuth");
    EXPECT_NEAR(labelCentre("+90°"), azimuth->x() + azimuth->valuePixel(90), 1);
    EXPECT_NEAR(labelCentre("0°"), azimuth->x() + azimuth->valuePixel(0) + 2, 1);
    // Wider: the azimuth and time bars stretch and their labels move along.
    const int ninety = labelCentre("+90°");
    form->resize(clientWidth + 200, clientHeight);
    QApplication::processEvents();
    EXPECT_EQ(bar("TrackBarTime")->geometry().right(), time.right() + 200);
    EXPECT_GT(labelCentre("+90°"), ninety + 50);
}

TEST_F(FormMainTest, GlyphsShowTheObjectsInTheirColours)
{
    scene::TSceneStyles styles = scene::defaultStyles();
    const QImage wave = mainwindow::drawGlyph(1, styles);
    ASSERT_EQ(wave.size(), QSize(20, 20));
    const int m = 9;
    EXPECT_EQ(wave.pixelColor(0, m), QColor(0, 0, 0));         // the axis
    EXPECT_EQ(wave.pixelColor(1, m - 2), QColor(0, 0, 255));   // x 1: rows m-2 .. m
    EXPECT_EQ(wave.pixelColor(5, m - 7), QColor(0, 0, 255));   // x 4-6: row m-7
    EXPECT_EQ(wave.pixelColor(14, m + 7), QColor(0, 0, 255));  // x 13-15: row m+7
    EXPECT_EQ(wave.pixelColor(5, m - 6), QColor(255, 255, 255));
    EXPECT_EQ(wave.pixelColor(19, m), QColor(0, 0, 0));
    EXPECT_EQ(wave.pixelColor(3, 19).alpha(), 0);  // the bottom row is transparent

    styles[static_cast<std::size_t>(scene::TSceneObject::VerticalWave)].Color =
        common::rgb(0, 160, 0);
    EXPECT_EQ(mainwindow::drawGlyph(2, styles).pixelColor(9, m - 1), QColor(0, 160, 0));

    const QImage vector = mainwindow::drawGlyph(4, styles);
    EXPECT_EQ(vector.pixelColor(0, 0), QColor(240, 240, 240));
    EXPECT_EQ(vector.pixelColor(2, 17), QColor(128, 0, 255));  // the shaft starts here
    EXPECT_EQ(vector.pixelColor(10, 9), QColor(128, 0, 255));
    EXPECT_EQ(vector.pixelColor(15, 5), QColor(128, 0, 255));  // inside the head
    const QImage centring = mainwindow::drawGlyph(5, styles);
    EXPECT_EQ(centring.pixelColor(0, 0), QColor(128, 0, 0));
    EXPECT_EQ(centring.pixelColor(3, 1), QColor(128, 0, 0));
    EXPECT_EQ(centring.pixelColor(4, 4), QColor(255, 255, 255));  // the end pixel stays out
    EXPECT_EQ(centring.pixelColor(8, 8), QColor(240, 240, 240));  // the surface
    EXPECT_EQ(centring.pixelColor(1, 13), QColor(0, 0, 0));       // the axis starts here
}

TEST_F(FormMainTest, TheSettingsAsTheyStandGoThroughTheFileAndBack)
{
    QTemporaryDir dir;
    mainwindow::TFormMainEnvironment e = environment();
    e.settingsFileName = dir.filePath(QStringLiteral("ondulix.ini")).toStdString();
    form = std::make_unique<TFormMain>(e, mainwindow::defaultFormMainSettings());
    form->show();
    bar("TrackBarAzimuth")->setValue(60);
    bar("TrackBarElevation")->setValue(-12);  // elevation 12
    bar("TrackBarPhaseShift")->setValue(45);
    form->ZoomOut();
    button("SpeedButtonShowResultantWave")->click();
    ASSERT_TRUE(
        settings::WriteSettings(e.settingsFileName, form->currentSettings(), e.numberFormat).Ok);
    QFile file(QString::fromStdString(e.settingsFileName));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(file.readAll());
    for (const char* entry : {"Azimuth=60\r\n", "Elevation=12\r\n", "PhaseShift=45\r\n",
                              "Scale=50\r\n", "ShowResultantWave=0\r\n", "Width=1024\r\n"}) {
        EXPECT_TRUE(text.contains(QString::fromLatin1(entry))) << entry;
    }
    // The next start takes it all back.
    const settings::TReadContext context{"", {1280, 1000}, e.numberFormat};
    const settings::TSettingsRead read = settings::ReadSettings(e.settingsFileName, context);
    start(read.Data);
    EXPECT_EQ(form->scene().Params.Azimuth, 60);
    EXPECT_EQ(form->scene().Params.Elevation, 12);
    EXPECT_EQ(form->scene().Params.PhaseStep, 64);
    EXPECT_EQ(panelScale(), QStringLiteral("1 : 50"));
    EXPECT_FALSE(button("SpeedButtonShowResultantWave")->isChecked());
    EXPECT_FALSE(form->scene().ShowResultantWave);
}

TEST_F(FormMainTest, WhereThePositionIsUnknownThePlacementReadKeepsItsLeftAndTop)
{
    settings::TSettingsData settings = mainwindow::defaultFormMainSettings();
    settings.FormMain.Left = 123;
    settings.FormMain.Top = 77;
    for (const bool known : {true, false}) {
        mainwindow::TFormMainEnvironment e = environment();
        e.windowPositionKnown = known;
        form = std::make_unique<TFormMain>(e, settings);
        form->show();
        form->move(300, 200);
        form->resize(800, 600);
        const settings::TWindowPlacement written = form->currentSettings().FormMain;
        EXPECT_EQ(written.Left, known ? 300 : 123) << known;
        EXPECT_EQ(written.Top, known ? 200 : 77) << known;
        EXPECT_EQ(written.Width, 800) << known;
        EXPECT_EQ(written.Height, 600) << known;
    }
}

TEST_F(FormMainTest, GermanTextsReplaceTheEnglishAtOnce)
{
    form->setLanguage(common::TLanguage::German);
    EXPECT_EQ(button("SpeedButtonHelp")->toolTip(), QStringLiteral("Hilfe (F1)"));
    EXPECT_EQ(bar("TrackBarTime")->toolTip(), QString::fromUtf8("Zeit = 0.000 · T"));
    EXPECT_EQ(bar("TrackBarAzimuth")->toolTip(),
              QString::fromUtf8("Azimutwinkel des Beobachters = -45°"));
    EXPECT_EQ(form->findChild<QAction*>(QStringLiteral("PopupMenuImageCopy"))->text(),
              QStringLiteral("Kopieren\tStrg+C"));
    form->setLanguage(common::TLanguage::English);
    EXPECT_EQ(button("SpeedButtonHelp")->toolTip(), QStringLiteral("Help (F1)"));
}

TEST_F(FormMainTest, TheHelpCommandFollowsTheLanguage)
{
    mainwindow::TFormMainEnvironment e = environment();
    e.helpOpenCommand = "viewer %1";
    e.exeFolder = "/opt/ondulix dir/";
    form = std::make_unique<TFormMain>(e, mainwindow::defaultFormMainSettings());
    EXPECT_EQ(form->helpCommand(), "viewer \"/opt/ondulix dir/English.html\"");
    form->setLanguage(common::TLanguage::German);
    EXPECT_EQ(form->helpCommand(), "viewer \"/opt/ondulix dir/German.html\"");
    e.helpOpenCommand.clear();
    form = std::make_unique<TFormMain>(e, mainwindow::defaultFormMainSettings());
    EXPECT_TRUE(form->helpCommand().empty());
}

TEST_F(FormMainTest, F1AndTheHelpButtonStartTheViewerOncePerPress)
{
    struct Launcher : platform::ProcessLauncher {
        QStringList started;
        bool startDetached(const QString& program, const QStringList& arguments) override
        {
            started.append(program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')));
            return true;
        }
    } launcher;
    mainwindow::TFormMainEnvironment e = environment();
    e.helpOpenCommand = "viewer %1";
    e.exeFolder = "/opt/ondulix/";
    form = std::make_unique<TFormMain>(e, mainwindow::defaultFormMainSettings());
    form->setHelpLauncher(&launcher);
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    focus("TrackBarPhaseShift");
    press(Qt::Key_F1);
    button("SpeedButtonHelp")->click();
    EXPECT_EQ(launcher.started, QStringList({QStringLiteral("viewer /opt/ondulix/English.html"),
                                             QStringLiteral("viewer /opt/ondulix/English.html")}));
}

TEST_F(FormMainTest, ButtonsWithoutTheirFeatureYetDoNothing)
{
    // Copy, save as, print, settings and help run what the application installs.
    int settingsRuns = 0;
    form->onSettings = [&settingsRuns] { ++settingsRuns; };
    button("SpeedButtonSettings")->click();
    form->findChild<QAction*>(QStringLiteral("PopupMenuImageSettings"))->trigger();
    focus("TrackBarTime");
    press(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(settingsRuns, 3);
    button("SpeedButtonCopy")->click();  // nothing installed: no crash
}

}  // namespace

int main(int argc, char** argv)
{
    // The picture's way to the screen is also checked on X11, where it takes another route.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
