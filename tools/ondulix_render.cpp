// SPDX-License-Identifier: GPL-3.0-or-later
// ondulix-render: draws the scene without a window, for worksheets and figures.

#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "output/animation_export.h"
#include "output/export_formats.h"
#include "output/scene_picture.h"
#include "render_describe.h"
#include "render_options.h"
#include "render_settings.h"
#include "scene/geometry.h"
#include "scene/polarisation.h"
#include "scene/projection.h"
#include "scene/render.h"
#include "scene/scene.h"
#include "settings/scene_settings.h"

namespace {

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

// Messages are one line each, whatever a settings file's values hold.
void report(const std::string& program, const std::string& message)
{
    const std::string line = program + ": " + render::oneLine(message) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

// --describe: the scene as configured for a picture, so the phase has the very step it would be
// drawn with. Needs no toolkit.
int describe(const std::string& program, const render::RenderOptions& o)
{
    auto state = std::make_unique<scene::SceneState>();
    configure(*state, o);
    state->Params.TimeStep = o.timeStep;
    const std::string json = render::describeJson(
        scene::polarisationOf(scene::polarisationInput(state->Params), o.convention));
    errno = 0;
    if (std::fputs(json.c_str(), stdout) == EOF || std::fflush(stdout) != 0) {
        report(program, std::string("cannot write the description: ") +
                            (errno != 0 ? std::strerror(errno) : "write error"));
        return 1;
    }
    return 0;
}

// Qt warns on start when there is no runtime folder, which a picture never needs; any other
// message goes where it would have gone.
QtMessageHandler qtHandler = nullptr;
void quietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))) {
        return;
    }
    if (qtHandler != nullptr) {
        qtHandler(type, context, message);
    }
}

// Ctrl+C, a logout or a kill while an animation is written: the export stops after its frame
// and removes its temporary file, and the program then ends by the signal as it would have.
volatile std::sig_atomic_t stopSignal = 0;

void stopAtNextFrame(int signal)
{
    stopSignal = signal;
}

void catchStopSignals()
{
    struct sigaction action {};
    action.sa_handler = stopAtNextFrame;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
}

[[noreturn]] void endBy(int signal)
{
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal);
}

// One line that each frame overwrites, on a terminal only: a log or a pipe gets no progress.
bool showProgress(const std::string& program, std::int32_t done, std::int32_t total)
{
    std::fprintf(stderr, "\r%s: frame %d of %d", program.c_str(), static_cast<int>(done),
                 static_cast<int>(total));
    if (done == total) {
        std::fputc('\n', stderr);
    }
    std::fflush(stderr);
    return true;
}

int writeAnimation(const std::string& program, const render::RenderOptions& o,
                   const scene::SceneState& s)
{
    const output::AnimationDescription d = render::animationOf(o);
    for (const std::string& note : output::planNotes(output::planAnimation(o.animationFormat, d),
                                                     common::TLanguage::English)) {
        report(program, note);
    }
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    catchStopSignals();
    const output::AnimationResult result = output::exportAnimation(
        output::animationExporterFor(o.animationFormat), s, d, o.output, common::TLanguage::English,
        [&](std::int32_t done, std::int32_t total) {
            return stopSignal == 0 && (!terminal || showProgress(program, done, total));
        });
    if (result.outcome == output::AnimationOutcome::Cancelled) {
        if (terminal) {
            std::fputc('\n', stderr);
        }
        report(program, result.error.toStdString());
        endBy(stopSignal);
    }
    if (!result.ok()) {
        report(program, result.error.toStdString());
        return 1;
    }
    return 0;
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
            report(program, parsed.error);
            return 2;
        case render::ParseResult::Action::Render:
            break;
    }
    render::RenderOptions o = parsed.options;
    qtHandler = qInstallMessageHandler(quietMessages);

    // The file was written with the user's decimal separator, as the program writes it.
    std::optional<settings::TSettingsData> look;
    if (!o.settingsFile.empty()) {
        render::SettingsFileRead read = render::readSettingsFile(
            o.settingsFile, settings::TNumberFormat::forDecimalSeparator(
                                QLocale::system().decimalPoint().toStdString()));
        if (!read.ok) {
            report(program, "cannot read " + o.settingsFile + ": " + read.error);
            return 1;
        }
        for (const std::string& warning : read.warnings) {
            report(program, o.settingsFile + ": " + warning);
        }
        render::mergeSettings(o, read.data);
        look = std::move(read.data);
    }
    if (o.describe) {
        return describe(program, o);
    }

    // Refused before anything is drawn: a size on paper that the file cannot state.
    const double pixelsPerMetre = o.desktopWidth / o.screenWidth;
    const QString impossible = output::sizeProblem(
        o.format,
        {o.width / pixelsPerMetre * 1000.0, o.height / pixelsPerMetre * 1000.0, pixelsPerMetre},
        common::TLanguage::English);
    if (!o.animate && !impossible.isEmpty()) {
        report(program,
               "OUTPUT: " + impossible.toStdString() + "; see --screen-width and --desktop-width");
        return 2;
    }

    // Headless by default: a teacher may run this over ssh or from a script.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);

    auto state = std::make_unique<scene::SceneState>();
    scene::SceneState& s = *state;
    // Only a PNG is the screen picture itself; the vector formats and the animations, which
    // draw their own frames, measure their texts on a picture of a pixel, in the same fonts.
    const bool bitmap = o.format == output::PictureFormat::Png && !o.animate;
    output::PictureHost host(bitmap ? o.width : 1, bitmap ? o.height : 1);
    s.Host = &host;
    configure(s, o);
    if (look) {
        settings::applyLook(s, *look);
    }
    scene::startScene(s);
    if (o.timeStep != 0) {
        s.Params.TimeStep = o.timeStep;
        scene::computeWaveSamples(s, s.Params.TimeStep, s.Params.PhaseStep);
        scene::projectScene(s, s.DrawWidth, s.DrawHeight, s.PixelsPerUnit, 1.0);
        scene::drawScene(s, 0, 0, s.DrawWidth, s.DrawHeight, host.screenCanvas(), 1.0);
    }

    if (o.animate) {
        return writeAnimation(program, o, s);
    }

    // One device unit per pixel, the physical size that the screen's pixel pitch gives; the PNG
    // records the pitch as the renderer has always computed it.
    output::PictureDescription description = output::screenSizedPicture(s, o.width, o.height);
    description.pixelsPerMetre = 1.0 / (o.screenWidth / o.desktopWidth);
    const output::HostedPicture picture(s, host, description, QStringLiteral("ondulix-render"));
    QString error;
    QByteArray bytes;
    if (!output::exporterFor(o.format).render(picture, bytes, error) ||
        !output::storePicture(o.output, bytes, error)) {
        report(program, "cannot write " + o.output + ": " + error.toStdString());
        return 1;
    }
    return 0;
}
