// Runs the built ondulix-render as a user would and looks at what it leaves behind.

#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <memory>

#include "scene_fixture.h"


namespace {

struct RunResult {
    int exitCode = -1;
    QString errors;
};

RunResult render(const QStringList& arguments)
{
    QProcess process;
    process.setProgram(QStringLiteral(ONDULIX_RENDER_PATH));
    process.setArguments(arguments);
    process.start();
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardError())};
}

class RenderCli : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

TEST_F(RenderCli, BadOptionsExitWithTwoAndWriteNothing)
{
    const QList<QStringList> cases = {
        {"--azimuth", "200", path("a.png")},
        {"--time", "-1", path("a.png")},
        {"--hide", "everything", path("a.png")},
        {"--frobnicate", path("a.png")},
        {path("a.gif")},
        {},
    };
    for (const QStringList& arguments : cases) {
        const RunResult run = render(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.errors.count('\n'), 1) << run.errors.toStdString();
        EXPECT_TRUE(QDir(dir.path()).isEmpty()) << arguments.join(' ').toStdString();
    }
    EXPECT_TRUE(render({"--elevation", "100", path("a.png")}).errors.contains("--elevation"));
}

TEST_F(RenderCli, AnUnwritableFileIsReportedAndNotLeftHalfDone)
{
    const RunResult run = render({path("missing-folder/a.png")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.errors.contains("cannot write")) << run.errors.toStdString();
}

TEST_F(RenderCli, HelpListsTheOptions)
{
    QProcess process;
    process.start(QStringLiteral(ONDULIX_RENDER_PATH), {"--help"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0);
    const QString text = QString::fromLocal8Bit(process.readAllStandardOutput());
    EXPECT_TRUE(text.contains("--phase-shift"));
    EXPECT_TRUE(text.contains("--screen-width"));
}

// The darkest grey level within a few pixels above and below (x, y).
int darkestNear(const QImage& image, int x, int y)
{
    int darkest = 255;
    for (int dy = -3; dy <= 3; ++dy) {
        darkest = std::min(darkest, qGray(image.pixel(x, y + dy)));
    }
    return darkest;
}

TEST_F(RenderCli, DefaultPictureShowsTheWholeScene)
{
    ASSERT_EQ(render({path("scene.png")}).exitCode, 0);
    const QImage image(path("scene.png"));
    ASSERT_EQ(image.size(), QSize(800, 600));
    EXPECT_EQ(image.pixelColor(3, 3), QColor(255, 255, 255));
    // Inside the reference surface, away from every line: corner (423, 87) is its top.
    EXPECT_EQ(image.pixelColor(430, 100), QColor(240, 240, 240));

    // Every object's colour is present: waves, vector, dots, axes, labels.
    int blue = 0, red = 0, violet = 0, black = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            blue += c == QColor(0, 0, 255);
            red += c == QColor(255, 0, 0);
            violet += c == QColor(128, 0, 255);
            black += c == QColor(0, 0, 0);
        }
    }
    EXPECT_GT(blue, 500);
    EXPECT_GT(red, 500);
    EXPECT_GT(violet, 20);
    EXPECT_GT(black, 500);
}

TEST_F(RenderCli, AxisBehindTheSurfaceIsDimmed)
{
    ASSERT_EQ(render({"--hide", "horizontal,vertical,resultant,vector", path("axes.png")}).exitCode, 0);
    const QImage image(path("axes.png"));
    ASSERT_FALSE(image.isNull());
    // The propagation axis runs from the origin (513, 243) to the front end (762, 119), behind
    // the surface up to its edge at (604, 198): y = 243 - (x - 513) * 124 / 249.
    const auto axisY = [](int x) { return 243 - (x - 513) * 124 / 249; };
    for (int x = 530; x <= 590; x += 10) {
        const int darkest = darkestNear(image, x, axisY(x));
        EXPECT_GT(darkest, 110) << "hidden stretch at x " << x;
        EXPECT_LT(darkest, 200) << "hidden stretch at x " << x;
    }
    for (int x = 620; x <= 740; x += 20) {
        EXPECT_LT(darkestNear(image, x, axisY(x)), 80) << "visible stretch at x " << x;
    }
    for (int x = 150; x <= 350; x += 50) {
        EXPECT_LT(darkestNear(image, x, axisY(x)), 80) << "back half at x " << x;
    }
}

TEST_F(RenderCli, OptionsChangeThePicture)
{
    ASSERT_EQ(render({path("default.png")}).exitCode, 0);
    ASSERT_EQ(render({"--width", "321", "--height", "123", "--time", "128", "--scale", "80",
                      path("small.png")}).exitCode, 0);
    EXPECT_EQ(QImage(path("small.png")).size(), QSize(321, 123));
    ASSERT_EQ(render({"--phase-shift", "0", path("linear.png")}).exitCode, 0);
    EXPECT_NE(QImage(path("linear.png")), QImage(path("default.png")));
    ASSERT_EQ(render({"--hide", "horizontal", path("hidden.png")}).exitCode, 0);
    int blue = 0;
    const QImage hidden(path("hidden.png"));
    for (int y = 0; y < hidden.height(); ++y) {
        for (int x = 0; x < hidden.width(); ++x) {
            blue += hidden.pixelColor(x, y) == QColor(0, 0, 255);
        }
    }
    EXPECT_EQ(blue, 0);
}

// The engine's own projection of the default scene, as ondulix-render sets it up.
std::unique_ptr<scene::SceneState> defaultScene(testing_support::RecordingHost& host)
{
    auto state = std::make_unique<scene::SceneState>();
    state->Host = &host;
    state->DrawWidth = 800;
    state->DrawHeight = 600;
    scene::setAzimuth(*state, -45);
    scene::setElevation(*state, 30);
    scene::setPhaseShift(*state, -90);
    scene::startScene(*state);
    return state;
}

TEST_F(RenderCli, SvgKeepsThePixelCoordinatesOfThePicture)
{
    ASSERT_EQ(render({path("scene.svg")}).exitCode, 0);
    QFile file(path("scene.svg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(svg.contains(QStringLiteral("viewBox=\"0 0 800 600\"")));

    std::vector<std::vector<QPointF>> waves;
    static const QRegularExpression pointsAttribute(QStringLiteral("points=\"([^\"]*)\""));
    for (auto match = pointsAttribute.globalMatch(svg); match.hasNext();) {
        std::vector<QPointF> points;
        for (const QString& pair : match.next().captured(1).split(' ', Qt::SkipEmptyParts)) {
            const QStringList xy = pair.split(',');
            points.emplace_back(xy.value(0).toDouble(), xy.value(1).toDouble());
        }
        if (points.size() == scene::WaveSampleCount) {
            waves.push_back(std::move(points));
        }
    }
    ASSERT_EQ(waves.size(), 3u);

    testing_support::RecordingHost host;
    const auto state = defaultScene(host);
    const std::array<const std::array<scene::PixelPoint, scene::WaveSampleCount>*, 3> expected = {
        &state->Pix.HorizontalWavePix, &state->Pix.VerticalWavePix, &state->Pix.ResultantWavePix};
    for (std::size_t w = 0; w < 3; ++w) {
        for (int k = 0; k < scene::WaveSampleCount; ++k) {
            // Odd-width strokes sit on pixel centres, half a unit in.
            const scene::PixelPoint p = (*expected[w])[static_cast<std::size_t>(k)];
            ASSERT_LE(std::abs(waves[w][k].x() - p.x), 0.5) << w << " " << k;
            ASSERT_LE(std::abs(waves[w][k].y() - p.y), 0.5) << w << " " << k;
        }
    }
    // True scale: 800 pixels of a 1280-pixel, 0.3 m desktop are 187.5 mm.
    static const QRegularExpression widthAttribute(QStringLiteral("<svg width=\"([0-9.]+)mm\""));
    const auto width = widthAttribute.match(svg);
    ASSERT_TRUE(width.hasMatch());
    EXPECT_NEAR(width.captured(1).toDouble(), 187.5, 1.0);
}

TEST_F(RenderCli, PngRecordsTheScreensPixelPitch)
{
    ASSERT_EQ(render({"--screen-width", "0.5", "--desktop-width", "1920", path("pitch.png")}).exitCode, 0);
    const QImage image(path("pitch.png"));
    EXPECT_EQ(image.dotsPerMeterX(), 3840);
    EXPECT_EQ(image.dotsPerMeterY(), 3840);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
