// ondulix-render: draws the scene without a window, for worksheets and figures.

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/emf_canvas.h"
#include "platform/painter_canvas.h"
#include "render_options.h"
#include "render_settings.h"
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

// The file is replaced only once it is complete: a failure leaves any old one as it was.
bool writeAtomically(const std::string& path, QString& error,
                     const std::function<bool(QIODevice& device, QString& error)>& write)
{
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    if (!write(file, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

bool writeSvg(scene::SceneState& s, const render::RenderOptions& o, QString& error)
{
    return writeAtomically(o.output, error, [&s, &o](QIODevice& file, QString&) {
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
        return true;
    });
}

bool writePng(ImageHost& host, const render::RenderOptions& o, QString& error)
{
    return writeAtomically(o.output, error, [&host, &o](QIODevice& file, QString& failure) {
        QImage& image = host.image();
        // Records the screen's pixel pitch, so that the picture prints at the true scale.
        const int dotsPerMetre = qRound(1.0 / (o.screenWidth / o.desktopWidth));
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        QImageWriter writer(&file, "png");
        if (!writer.write(image)) {
            failure = writer.errorString();
            return false;
        }
        return true;
    });
}

// Hundredths of a millimetre that `pixels` screen pixels cover.
std::int32_t frameLength(const scene::SceneState& s, std::int32_t pixels)
{
    const double length = std::round(pixels / s.ScreenPixelsPerMetre * 1e5);
    return static_cast<std::int32_t>(std::clamp(length, 1.0, 2147483647.0));
}

bool writeEmf(scene::SceneState& s, ImageHost& host, const render::RenderOptions& o, QString& error)
{
    // One device unit per pixel of the picture; texts are measured on the screen picture.
    platform::EmfCanvas canvas(o.width, o.height, frameLength(s, o.width), frameLength(s, o.height),
                               &host.screenCanvas());
    scene::drawScene(s, 0, 0, o.width, o.height, canvas, 1.0);
    std::string message;
    if (!canvas.save(o.output, message)) {
        error = QString::fromStdString(message);
        return false;
    }
    return true;
}

bool writePdf(scene::SceneState& s, const render::RenderOptions& o, QString& error)
{
    return writeAtomically(o.output, error, [&s, &o](QIODevice& file, QString& failure) {
        // The page is the picture's physical size. The writer's resolution is a whole number of
        // dots per inch near the screen's, so a PDF unit is about a pixel; the device factor makes
        // up the difference, so that the scene keeps its true scale.
        const double screenDpi = s.ScreenPixelsPerMetre * 0.0254;
        const int resolution = std::max(1, qRound(screenDpi));
        const double factor = resolution / screenDpi;
        const double mmPerPixel = 1000.0 / s.ScreenPixelsPerMetre;
        const QSizeF page(o.width * mmPerPixel, o.height * mmPerPixel);
        // Page sizes are portrait; a wide picture is a portrait page turned.
        const bool wide = page.width() > page.height();
        const QPageSize size(wide ? page.transposed() : page, QPageSize::Millimeter, QString(),
                             QPageSize::ExactMatch);
        QPdfWriter pdf(&file);
        pdf.setResolution(resolution);
        pdf.setCreator(QStringLiteral("ondulix-render"));
        pdf.setTitle(QStringLiteral("Ondulix"));
        if (!pdf.setPageLayout(QPageLayout(size,
                                           wide ? QPageLayout::Landscape : QPageLayout::Portrait,
                                           QMarginsF(0, 0, 0, 0)))) {
            failure = QStringLiteral("the page size is not possible");
            return false;
        }
        const std::int32_t width = pdf.width();
        const std::int32_t height = pdf.height();
        scene::projectScene(s, width, height, s.PixelsPerUnit, factor);
        {
            platform::PainterCanvas canvas(pdf);
            if (!canvas.isActive()) {
                failure = QStringLiteral("the PDF cannot be started");
                return false;
            }
            scene::drawScene(s, 0, 0, width, height, canvas, factor);
            canvas.finish();
        }
        return true;
    });
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
    render::RenderOptions o = parsed.options;

    // Headless by default: a teacher may run this over ssh or from a script.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);

    // The file was written with the user's decimal separator, as the program writes it.
    std::optional<settings::TSettingsData> look;
    if (!o.settingsFile.empty()) {
        render::SettingsFileRead read = render::readSettingsFile(
            o.settingsFile, settings::TNumberFormat::forDecimalSeparator(
                                QLocale::system().decimalPoint().toStdString()));
        if (!read.ok) {
            std::fprintf(stderr, "%s: cannot read %s: %s\n", program.c_str(),
                         o.settingsFile.c_str(), read.error.c_str());
            return 1;
        }
        for (const std::string& warning : read.warnings) {
            std::fprintf(stderr, "%s: %s: %s\n", program.c_str(), o.settingsFile.c_str(),
                         warning.c_str());
        }
        render::mergeSettings(o, read.data);
        look = std::move(read.data);
    }

    auto state = std::make_unique<scene::SceneState>();
    scene::SceneState& s = *state;
    ImageHost host(o.width, o.height);
    s.Host = &host;
    configure(s, o);
    if (look) {
        render::applyLook(s, *look);
    }
    scene::startScene(s);
    if (o.timeStep != 0) {
        s.Params.TimeStep = o.timeStep;
        scene::computeWaveSamples(s, s.Params.TimeStep, s.Params.PhaseStep);
        scene::projectScene(s, s.DrawWidth, s.DrawHeight, s.PixelsPerUnit, 1.0);
        scene::drawScene(s, 0, 0, s.DrawWidth, s.DrawHeight, host.screenCanvas(), 1.0);
    }

    QString error;
    bool written = false;
    switch (o.format) {
        case render::OutputFormat::Png:
            written = writePng(host, o, error);
            break;
        case render::OutputFormat::Svg:
            written = writeSvg(s, o, error);
            break;
        case render::OutputFormat::Emf:
            written = writeEmf(s, host, o, error);
            break;
        case render::OutputFormat::Pdf:
            written = writePdf(s, o, error);
            break;
    }
    if (!written) {
        std::fprintf(stderr, "%s: cannot write %s: %s\n", program.c_str(), o.output.c_str(),
                     error.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
