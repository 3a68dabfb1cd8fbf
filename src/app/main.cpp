// Ondulix: how two perpendicular component waves add up to a polarised wave.

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

#include <memory>

#include "mainwindow/drawing_area.h"
#include "scene/scene.h"

namespace {

// The width of all screens together, in device-independent pixels.
int desktopWidthPixels()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->virtualGeometry().width() : 1280;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString exeBaseName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QApplication::setApplicationName(exeBaseName);
    QApplication::setApplicationVersion(QStringLiteral(ONDULIX_VERSION));

    auto state = std::make_unique<scene::SceneState>();
    scene::SceneState& s = *state;
    mainwindow::DrawingArea area(s);
    s.Host = &area;
    s.DesktopWidthPixels = desktopWidthPixels();
    scene::setAzimuth(s, s.Params.Azimuth);
    scene::setElevation(s, s.Params.Elevation);
    scene::setPhaseShift(s, s.Params.PhaseShift);

    area.setWindowTitle(QStringLiteral(" ") + exeBaseName);
    area.setMinimumSize(364, 240);
    area.resize(1024, 768);
    scene::startScene(s);
    area.show();
    return QApplication::exec();
}
