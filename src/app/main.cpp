// Ondulix: how two perpendicular component waves add up to a polarised wave.

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "mainwindow/form_main.h"
#include "mainwindow/hint_style.h"
#include "output/printer_check.h"
#include "platform/unix_signals.h"

namespace {

mainwindow::TFormMainEnvironment readEnvironment(int argc)
{
    mainwindow::TFormMainEnvironment environment;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        environment.desktopWidth = screen->virtualGeometry().width();
        environment.desktopHeight = screen->virtualGeometry().height();
        environment.workAreaWidth = screen->availableGeometry().width();
        environment.workAreaHeight = screen->availableGeometry().height();
    }
    environment.executablePath = QCoreApplication::applicationFilePath();
    environment.hasArguments = argc > 1;
    return environment;
}

}  // namespace

int main(int argc, char** argv)
{
    // Answered before the toolkit starts, so that it needs no display.
    if (std::any_of(argv + 1, argv + argc,
                    [](const char* argument) { return std::strcmp(argument, "--version") == 0; })) {
        std::printf("ondulix %s\n", ONDULIX_VERSION);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(ONDULIX_VERSION));
    // Wayland desktops find the icon by the desktop entry's name; on X11 the windows carry it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.orvantic.ondulix"));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("ondulix"), QIcon(QStringLiteral(":/app/ondulix.svg"))));

    // Checks that run before any window; one of them may ask the program to end.
    const bool terminationRequested = false;
    const bool printerAvailable = output::checkPrinterAvailable();
    if (terminationRequested) {
        return 1;
    }

    mainwindow::installHintTimings();
    mainwindow::TFormMainEnvironment environment = readEnvironment(argc);
    environment.printerAvailable = printerAvailable;
    mainwindow::TFormMain form(environment);
    platform::routeTerminationSignals([&form] { form.close(); });
    form.show();
    return QApplication::exec();
}
