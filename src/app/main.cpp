// Ondulix: how two perpendicular component waves add up to a polarised wave.

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

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
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QStringLiteral(ONDULIX_VERSION));

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
