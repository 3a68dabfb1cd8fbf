// ondulix-render: draws the scene without a window, for worksheets and figures.

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/painter_canvas.h"
#include "render_options.h"
#include "scene/geometry.h"
#include "scene/projection.h"
#include "scene/render.h"
#include "scene/scene.h"

namespace {

// The picture of the drawing area; labels are measured on it as the window measures them.
class ImageHost : public scene::SceneHost {
public:
    ImageHost(std::int32_t width, std::int32_t height)
        : m_image(width, height, QImage::Format_RGB32), m_canvas(m_image)
    {
    }
    scene::Canvas& screenCanvas() override { return m_canvas; }
    void processPendingEvents() override {}
    QImage& image()
    {
        m_canvas.finish();
        return m_image;
    }

private:
    QImage m_image;
    platform::PainterCanvas m_canvas;
};

void configure(scene::SceneState& s, const render::RenderOptions& o)
{
    s.DesktopWidthPixels = o.desktopWidth;
    s.ScreenWidth = o.screenWidth;
    s.ScaleDenominator = o.scale;
    s.DrawWidth = o.width;
    s.DrawHeight = o.height;
    scene::setAzimuth(s, o.azimuth);
    scene::setElevation(s, o.elevation);
    scene::setPhaseShift(s, o.phaseShift);
    s.Params.HorizontalAmplitude = o.horizontalAmplitude / 100.0;
    s.Params.VerticalAmplitude = o.verticalAmplitude / 100.0;
    s.CoordinateSystemCentered = o.centered;
    s.ShowHorizontalWave = o.showHorizontal;
    s.ShowVerticalWave = o.showVertical;
    s.ShowResultantWave = o.showResultant;
    s.ShowResultantVector = o.showVector;
}

bool writeSvg(scene::SceneState& s, const render::RenderOptions& o, QString& error)
{
    QSaveFile file(QString::fromStdString(o.output));
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(QSize(o.width, o.height));
    svg.setViewBox(QRect(0, 0, o.width, o.height));
    svg.setTitle(QStringLiteral("Ondulix"));
    // The physical size that keeps the true scale when printed: the screen's pixel pitch.
    svg.setResolution(qRound(s.ScreenPixelsPerMetre * 0.0254));
    {
        platform::PainterCanvas canvas(svg);
        scene::drawScene(s, 0, 0, o.width, o.height, canvas, 1.0);
        canvas.finish();
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool writePng(ImageHost& host, const render::RenderOptions& o, QString& error)
{
    QSaveFile file(QString::fromStdString(o.output));
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    QImage& image = host.image();
    // Records the screen's pixel pitch, so that the picture prints at the true scale.
    const int dotsPerMetre = qRound(1.0 / (o.screenWidth / o.desktopWidth));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        error = writer.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const std::string program = QFileInfo(QString::fromLocal8Bit(argv[0])).fileName().toStdString();
    const render::ParseResult parsed = render::parseRenderOptions(arguments);
    switch (parsed.action) {
    case render::ParseResult::Action::Help:
        std::fputs(render::renderUsage(program).c_str(), stdout);
        return 0;
    case render::ParseResult::Action::Version:
        std::printf("%s %s\n", program.c_str(), ONDULIX_VERSION);
        return 0;
    case render::ParseResult::Action::Error:
        std::fprintf(stderr, "%s: %s\n", program.c_str(), parsed.error.c_str());
        return 2;
    case render::ParseResult::Action::Render:
        break;
    }
    const render::RenderOptions& o = parsed.options;

    // Headless by default: a teacher may run this over ssh or from a script.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);

    auto state = std::make_unique<scene::SceneState>();
    scene::SceneState& s = *state;
    ImageHost host(o.width, o.height);
    s.Host = &host;
    configure(s, o);
    scene::startScene(s);
    if (o.timeStep != 0) {
        s.Params.TimeStep = o.timeStep;
        scene::computeWaveSamples(s, s.Params.TimeStep, s.Params.PhaseStep);
        scene::projectScene(s, s.DrawWidth, s.DrawHeight, s.PixelsPerUnit, 1.0);
        scene::drawScene(s, 0, 0, s.DrawWidth, s.DrawHeight, host.screenCanvas(), 1.0);
    }

    QString error;
    const bool written = o.format == render::OutputFormat::Svg ? writeSvg(s, o, error)
                                                               : writePng(host, o, error);
    if (!written) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", program.c_str(), o.output.c_str(),
                     error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
