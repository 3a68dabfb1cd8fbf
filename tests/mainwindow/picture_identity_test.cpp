// SPDX-License-Identifier: GPL-3.0-or-later
// What the window shows of the scene, pixel for pixel the picture drawn from scratch: while the
// time runs, while the view turns, and after each kind of change. The window may keep parts of
// its picture from one step to the next and repaint only what moved; none of that may show.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <memory>

#include "mainwindow/drawing_area.h"
#include "mainwindow/form_main.h"
#include "platform/painter_canvas.h"
#include "scene/render.h"

namespace {

using mainwindow::TFormMain;

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

class PictureIdentityTest : public ::testing::Test {
protected:
    std::unique_ptr<TFormMain> form;
    int compared = 0;

    void SetUp() override
    {
        form = std::make_unique<TFormMain>(environment(), mainwindow::defaultFormMainSettings());
        // Small enough that a whole period of steps stays quick, large enough for every object.
        form->resize(640, 480);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        // Steps are taken by hand; the timers must not add their own.
        form->timerTime().setInterval(1000000);
        form->timerRotateAzimuth().setInterval(1000000);
        QApplication::processEvents();
        // On X11 the picture goes to the screen from shared memory; that way is checked there.
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            ASSERT_TRUE(area()->showsDirectly());
        }
    }

    mainwindow::DrawingArea* area() const
    {
        return form->control<mainwindow::DrawingArea>("Image");
    }
    QToolButton* button(const char* name) const { return form->control<QToolButton>(name); }

    // What the window shows in the drawing area, read from the window's own surface once every
    // pending repaint has gone out.
    QImage shown() const
    {
        QApplication::processEvents();
        const QPoint at = area()->mapTo(form.get(), QPoint(0, 0));
        const QPixmap grab = form->screen()->grabWindow(form->winId(), at.x(), at.y(),
                                                        area()->width(), area()->height());
        return grab.toImage().convertToFormat(QImage::Format_RGB32);
    }

    // The scene as it stands, drawn on a new picture by a new canvas.
    QImage fromScratch() const
    {
        scene::SceneState& s = form->scene();
        QImage picture(s.DrawWidth, s.DrawHeight, QImage::Format_RGB32);
        picture.fill(Qt::white);
        {
            platform::PainterCanvas canvas(picture);
            scene::drawScene(s, 0, 0, s.DrawWidth, s.DrawHeight, canvas, 1.0);
        }
        return picture;
    }

    // Counts the differing pixels, so that a failure says how much went wrong.
    void expectIdentical(const char* what, int step) { expectIdentical(what, step, shown()); }
    void expectIdentical(const char* what, int step, const QImage& window)
    {
        const QImage scratch = fromScratch();
        ASSERT_EQ(window.size(), scratch.size()) << what << " " << step;
        int differing = 0;
        QPoint first(-1, -1);
        for (int y = 0; y < window.height(); ++y) {
            const auto* a = reinterpret_cast<const QRgb*>(window.constScanLine(y));
            const auto* b = reinterpret_cast<const QRgb*>(scratch.constScanLine(y));
            for (int x = 0; x < window.width(); ++x) {
                if ((a[x] & 0xFFFFFFu) != (b[x] & 0xFFFFFFu)) {
                    if (differing++ == 0) {
                        first = QPoint(x, y);
                    }
                }
            }
        }
        EXPECT_EQ(differing, 0) << what << " at step " << step << ", first at " << first.x() << ","
                                << first.y();
        ++compared;
    }

    void runTime(const char* what, int steps)
    {
        for (int i = 0; i < steps; ++i) {
            form->TimerTimeOnTimer();
            expectIdentical(what, i);
            if (HasFailure()) {
                return;
            }
        }
    }
};

TEST_F(PictureIdentityTest, OverAPeriodOfTheAnimation)
{
    button("SpeedButtonStart")->click();
    ASSERT_TRUE(form->animationRunning());
    runTime("time", mainwindow::SceneController::TimeSteps);
    EXPECT_EQ(compared, mainwindow::SceneController::TimeSteps);
}

TEST_F(PictureIdentityTest, OverATurnOfTheView)
{
    button("SpeedButtonStart")->click();
    button("SpeedButtonRotateAzimuth")->click();
    ASSERT_TRUE(form->controller().rotating());
    // The rotation and the time take turns, as their timers do.
    for (int degree = 0; degree < 361; ++degree) {
        form->TimerRotateAzimuthOnTimer();
        expectIdentical("turn", degree);
        if (degree % 45 == 0) {
            form->TimerTimeOnTimer();
            expectIdentical("turn, time", degree);
        }
        if (HasFailure()) {
            return;
        }
    }
}

TEST_F(PictureIdentityTest, AfterEveryKindOfChange)
{
    // Room around the waves: what is put back then reaches beyond what is drawn anew.
    form->resize(1200, 850);
    QApplication::processEvents();
    button("SpeedButtonStart")->click();
    runTime("start", 3);
    struct Row {
        const char* what;
        std::function<void(TFormMain&)> change;
    };
    const Row rows[] = {
        {"colour",
         [](TFormMain& f) {
             settings::TSettingsData d = f.controller().currentSettings();
             d.Styles[static_cast<std::size_t>(scene::TSceneObject::Background)].Color =
                 common::rgb(255, 255, 200);
             d.Styles[static_cast<std::size_t>(scene::TSceneObject::HorizontalWave)].Color =
                 common::rgb(0, 140, 0);
             f.controller().applySettings(d, settings::TSettingsChange::Look);
         }},
        {"surface colour",
         [](TFormMain& f) {
             settings::TSettingsData d = f.controller().currentSettings();
             d.Styles[static_cast<std::size_t>(scene::TSceneObject::ReferenceSurface)].Color =
                 common::rgb(200, 220, 255);
             f.controller().applySettings(d, settings::TSettingsChange::Look);
         }},
        {"resultant wave hidden",
         [](TFormMain& f) { f.control<QToolButton>("SpeedButtonShowResultantWave")->click(); }},
        {"resultant wave shown",
         [](TFormMain& f) { f.control<QToolButton>("SpeedButtonShowResultantWave")->click(); }},
        {"vector hidden",
         [](TFormMain& f) { f.control<QToolButton>("SpeedButtonShowResultantVector")->click(); }},
        {"horizontal wave hidden",
         [](TFormMain& f) { f.control<QToolButton>("SpeedButtonShowHorizontalWave")->click(); }},
        {"vertical wave hidden",
         [](TFormMain& f) { f.control<QToolButton>("SpeedButtonShowVerticalWave")->click(); }},
        {"resultant wave hidden too",
         [](TFormMain& f) { f.control<QToolButton>("SpeedButtonShowResultantWave")->click(); }},
        {"centred",
         [](TFormMain& f) {
             f.control<QToolButton>("SpeedButtonCoordinateSystemCentered")->click();
         }},
        {"zoom in", [](TFormMain& f) { f.ZoomIn(); }},
        {"zoom out twice",
         [](TFormMain& f) {
             f.ZoomOut();
             f.ZoomOut();
         }},
        {"wider", [](TFormMain& f) { f.resize(760, 480); }},
        {"lower", [](TFormMain& f) { f.resize(760, 420); }},
        {"from below", [](TFormMain& f) { f.controller().setElevation(-35, false); }},
        {"phase", [](TFormMain& f) { f.controller().setPhaseShift(45); }},
        {"amplitude", [](TFormMain& f) { f.controller().setAmplitude(false, 40); }},
    };
    for (const Row& row : rows) {
        row.change(*form);
        QApplication::processEvents();
        expectIdentical(row.what, 0);
        runTime(row.what, 4);
        if (HasFailure()) {
            return;
        }
    }
    // Paused: a change still shows at once.
    button("SpeedButtonPause")->click();
    form->controller().setTime(100, false);
    expectIdentical("paused at 100", 0);
    // A picture of the window that the toolkit renders itself holds the drawing too.
    const QRect place(area()->mapTo(form.get(), QPoint(0, 0)), area()->size());
    expectIdentical("grabbed", 0,
                    form->grab(place).toImage().convertToFormat(QImage::Format_RGB32));
}

}  // namespace
