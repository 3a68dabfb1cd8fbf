// SPDX-License-Identifier: GPL-3.0-or-later
// The running animation in the real main window on a real display (Xvfb in scripts/bench): the
// program's CPU per time step, and how many of the steps reached the screen.
//
//   ondulix-window-bench [WIDTH HEIGHT [SECONDS]]   (default 1024 768 10)

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "mainwindow/drawing_area.h"
#include "mainwindow/form_main.h"

namespace {

double processCpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Counts the pictures of the drawing area that went to the screen with a new time step drawn in
// them: a step that met a drawing under way is not drawn, and the picture shown is then still
// the one before.
class ShownSteps : public QObject {
public:
    ShownSteps(mainwindow::TFormMain& form) : m_form(form) {}
    int shown = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const int step = m_form.controller().drawnTimeStep();
            if (step != m_last) {
                ++shown;
                m_last = step;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    mainwindow::TFormMain& m_form;
    int m_last = -1;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int width = argc > 2 ? std::atoi(argv[1]) : 1024;
    const int height = argc > 2 ? std::atoi(argv[2]) : 768;
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 10;

    mainwindow::TFormMainEnvironment environment;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        environment.desktopWidth = screen->virtualGeometry().width();
        environment.desktopHeight = screen->virtualGeometry().height();
        environment.workAreaWidth = screen->availableGeometry().width();
        environment.workAreaHeight = screen->availableGeometry().height();
    }
    environment.executablePath = QCoreApplication::applicationFilePath();
    mainwindow::TFormMain form(environment, mainwindow::defaultFormMainSettings());
    form.setGeometry(0, 0, width, height);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::fprintf(stderr, "the window did not appear\n");
        return 1;
    }
    QTest::qWait(500);  // the first pictures and the fonts settle

    ShownSteps shown(form);
    form.control<QWidget>("Image")->installEventFilter(&shown);
    int ticks = 0;
    QObject::connect(&form.timerTime(), &QTimer::timeout, [&ticks] { ++ticks; });

    const double cpuBefore = processCpuMilliseconds();
    QElapsedTimer clock;
    clock.start();
    form.control<QToolButton>("SpeedButtonStart")->click();
    double wall = 0.0;
    QTimer::singleShot(seconds * 1000, Qt::PreciseTimer, &app, [&form, &app, &clock, &wall] {
        wall = static_cast<double>(clock.elapsed());
        form.control<QToolButton>("SpeedButtonPause")->click();
        // Quitting closes the windows. The deadline can come while the last step's drawing lets
        // events run, before that step is shown: quitting at once lost it from the count.
        QTimer::singleShot(100, &app, &QCoreApplication::quit);
    });
    QApplication::exec();
    const double cpu = processCpuMilliseconds() - cpuBefore;

    const QSize area = form.control<QWidget>("Image")->size();
    const int expected = seconds * 1000 / form.timerTime().interval();
    std::printf(
        "window %dx%d (drawing area %dx%d), %.1f s: %d steps taken of %d due, %d shown; "
        "CPU %.0f ms = %.1f %% of a core, %.2f ms per step\n",
        width, height, area.width(), area.height(), wall / 1000.0, ticks, expected, shown.shown,
        cpu, 100.0 * cpu / wall, ticks > 0 ? cpu / ticks : 0.0);
    return 0;
}
