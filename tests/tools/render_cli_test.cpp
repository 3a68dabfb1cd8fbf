// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built ondulix-render as a user would and looks at what it leaves behind.

#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <webp/demux.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>

#include "scene/polarisation.h"
#include "scene_fixture.h"
#include "small_tmpfs.h"

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
    // As from cron or over ssh, where Qt finds no runtime folder and says so.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    process.setProcessEnvironment(environment);
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
        {path("a.wmf")},
        {},
        {"--animate", "time", "--frames", "100", path("a.gif")},
        {"--animate", "azimuth", "--fps", "101", path("a.webp")},
        {"--animate", "time", "--fps", "0", path("a.mp4")},
        {"--animate", "time", path("a.png")},
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

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(RenderCli, AFullDiskIsReportedInOneLineWithItsReasonAndTheOldFileStays)
{
    const testing_support::SmallTmpfs disk(path("disk").toStdString());
    if (!disk.mounted()) {
        GTEST_SKIP() << "mounting a tmpfs needs root, as the CI has";
    }
    const QString folder = QString::fromStdString(disk.folder());
    for (const char* name : {"old.png", "old.svg", "old.emf", "old.pdf"}) {
        const QString file = folder + QLatin1Char('/') + QLatin1String(name);
        {
            QFile old(file);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("last week's figure");
        }
        // Room for a few kilobytes; every picture of this size is larger.
        disk.fillBut(4096);
        const RunResult run = render({"--width", "1600", "--height", "1200", file});
        EXPECT_EQ(run.exitCode, 1) << name;
        EXPECT_EQ(run.errors, QStringLiteral("ondulix-render: cannot write %1: No space left on "
                                             "device\n")
                                  .arg(file))
            << name;
        EXPECT_EQ(contentsOf(file), QByteArray("last week's figure")) << name;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                  (QStringList{QStringLiteral("filler"), QLatin1String(name)}))
            << name;
        disk.emptyFiller();
        QFile::remove(file);
    }
}

struct ImpossibleSize {
    const char* name;
    QStringList arguments;
    const char* output;
};

TEST_F(RenderCli, APhysicalSizeTheFormatCannotStateIsABadCommandLine)
{
    const std::vector<ImpossibleSize> rows = {
        // 0.01 pixels per metre: 80 km wide, once an SVG of "infmm".
        {"Svg80Kilometres", {"--screen-width", "100", "--desktop-width", "1"}, "a.svg"},
        // 62.5 m, beyond the numbers of SVG Tiny.
        {"Svg62Metres", {"--screen-width", "100"}, "a.svg"},
        {"Pdf80Kilometres", {"--screen-width", "100", "--desktop-width", "1"}, "a.pdf"},
        // 8 micrometres, once a page of 0 x 0 points.
        {"Pdf8Micrometres", {"--screen-width", "0.01", "--desktop-width", "1000000"}, "a.pdf"},
        {"Emf8Micrometres", {"--screen-width", "0.01", "--desktop-width", "1000000"}, "a.emf"},
        // 6.4 m wide: a PDF page ends at 200 inches.
        {"PdfBeyond200Inches", {"--width", "16384", "--screen-width", "0.5"}, "a.pdf"},
        // A pixel of 100 m: less than one pixel per metre.
        {"PngAPixelOf100Metres", {"--screen-width", "100", "--desktop-width", "1"}, "a.png"},
    };
    for (const ImpossibleSize& row : rows) {
        const RunResult run = render(QStringList(row.arguments) << path(row.output));
        EXPECT_EQ(run.exitCode, 2) << row.name;
        EXPECT_EQ(run.errors.count('\n'), 1) << row.name << ": " << run.errors.toStdString();
        EXPECT_TRUE(run.errors.startsWith("ondulix-render: OUTPUT: a "))
            << run.errors.toStdString();
        EXPECT_TRUE(QDir(dir.path()).isEmpty()) << row.name;
    }
    // Next to the limits, inside them.
    EXPECT_EQ(render({"--width", "16384", "--screen-width", "0.2", path("a.pdf")}).exitCode, 0);
    EXPECT_EQ(
        render({"--screen-width", "0.01", "--desktop-width", "1000000", path("a.png")}).exitCode,
        0);
}

// The largest resident size that the program reached, in KiB; -1 when it did not end normally.
long peakKilobytes(const QStringList& arguments)
{
    std::vector<std::string> words{ONDULIX_RENDER_PATH};
    for (const QString& a : arguments) {
        words.push_back(a.toStdString());
    }
    std::vector<char*> argv;
    for (std::string& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return -1;
    }
    return usage.ru_maxrss;
}

TEST_F(RenderCli, AVectorPictureMakesNoBitmapOfItsSize)
{
    // A bitmap of 16384 x 16384 pixels is 1 GiB.
    for (const char* name : {"large.svg", "large.emf", "large.pdf"}) {
        const long peak = peakKilobytes({"--width", "16384", "--height", "16384", path(name)});
        EXPECT_GT(peak, 0) << name;
        EXPECT_LT(peak, 512 * 1024) << name;
    }
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
    ASSERT_EQ(render({"--hide", "horizontal,vertical,resultant,vector", path("axes.png")}).exitCode,
              0);
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
                      path("small.png")})
                  .exitCode,
              0);
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
    // True scale: 800 x 600 pixels of a 1280-pixel, 0.3 m desktop are 187.5 x 140.625 mm.
    static const QRegularExpression sizeAttributes(
        QStringLiteral("<svg width=\"([0-9.]+)mm\" height=\"([0-9.]+)mm\""));
    const auto size = sizeAttributes.match(svg);
    ASSERT_TRUE(size.hasMatch());
    EXPECT_NEAR(size.captured(1).toDouble(), 187.5, 0.01);
    EXPECT_NEAR(size.captured(2).toDouble(), 140.625, 0.01);
}

TEST_F(RenderCli, PngRecordsTheScreensPixelPitch)
{
    ASSERT_EQ(
        render({"--screen-width", "0.5", "--desktop-width", "1920", path("pitch.png")}).exitCode,
        0);
    const QImage image(path("pitch.png"));
    EXPECT_EQ(image.dotsPerMeterX(), 3840);
    EXPECT_EQ(image.dotsPerMeterY(), 3840);
}

std::int32_t int32At(const QByteArray& bytes, qsizetype at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = v << 8 | static_cast<std::uint8_t>(bytes.at(at + i));
    }
    return static_cast<std::int32_t>(v);
}

struct ScaleCase {
    QStringList arguments;
    double widthMm, heightMm;  // the picture's pixels times the screen's pixel pitch
    std::int32_t width, height;
};

// 800 x 600 pixels of a 1280-pixel desktop 0.3 m wide; 400 x 900 of a 1920-pixel one 0.5 m wide.
const std::vector<ScaleCase> scaleCases = {
    {{}, 187.5, 140.625, 800, 600},
    {{"--width", "400", "--height", "900", "--screen-width", "0.5", "--desktop-width", "1920"},
     104.1667,
     234.375,
     400,
     900},
};

TEST_F(RenderCli, EmfStatesThePicturesPixelsAndItsTrueSize)
{
    for (const ScaleCase& c : scaleCases) {
        ASSERT_EQ(render(QStringList(c.arguments) << path("scene.emf")).exitCode, 0);
        const QByteArray emf = contentsOf(path("scene.emf"));
        ASSERT_GT(emf.size(), 108);
        EXPECT_EQ(int32At(emf, 0), 1);  // EMR_HEADER comes first
        EXPECT_EQ(emf.mid(40, 4), QByteArray(" EMF"));
        EXPECT_EQ(int32At(emf, 48), emf.size());
        // Bounds in pixels and frame in hundredths of a millimetre, both inclusive.
        EXPECT_EQ(int32At(emf, 16), c.width - 1);
        EXPECT_EQ(int32At(emf, 20), c.height - 1);
        EXPECT_NEAR(int32At(emf, 32) + 1, c.widthMm * 100, 1.0);
        EXPECT_NEAR(int32At(emf, 36) + 1, c.heightMm * 100, 1.0);
        EXPECT_EQ(int32At(emf, emf.size() - 20), 14);  // ends with EMR_EOF
    }
}

// The page's size in points from its media box.
QSizeF pdfPageSize(const QByteArray& pdf)
{
    static const QRegularExpression box(
        QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
    const auto m = box.match(QString::fromLatin1(pdf));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

TEST_F(RenderCli, PdfIsOnePageOfTheTrueSize)
{
    for (const ScaleCase& c : scaleCases) {
        ASSERT_EQ(render(QStringList(c.arguments) << path("scene.pdf")).exitCode, 0);
        const QByteArray pdf = contentsOf(path("scene.pdf"));
        EXPECT_TRUE(pdf.startsWith("%PDF-"));
        const QSizeF points = pdfPageSize(pdf);
        // To a hundredth of a millimetre.
        EXPECT_NEAR(points.width() / 72 * 25.4, c.widthMm, 0.01);
        EXPECT_NEAR(points.height() / 72 * 25.4, c.heightMm, 0.01);
    }
}

TEST_F(RenderCli, PdfShowsTheSceneAtItsTrueScale)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) {
        GTEST_SKIP() << "pdftoppm is not installed (Debian package poppler-utils, which "
                        "scripts/setup.sh installs)";
    }
    ASSERT_EQ(render({path("scene.pdf")}).exitCode, 0);
    // Rasterised at the screen's resolution, the page is the PNG again, pixel for pixel.
    QProcess process;
    process.start(pdftoppm, {"-r", QString::number(1280 / 0.3 * 0.0254, 'f', 4), "-png",
                             "-singlefile", path("scene.pdf"), path("page")});
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QImage page(path("page.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(page.width(), 800, 1);
    EXPECT_NEAR(page.height(), 600, 1);
    EXPECT_EQ(page.pixelColor(3, 3), QColor(255, 255, 255));
    EXPECT_EQ(page.pixelColor(430, 100), QColor(240, 240, 240));  // inside the reference surface
    // The vertical axis runs down from the origin (513, 243) to (513, 382); the nearest other
    // line there is the ellipse, ten pixels to the left.
    for (int y = 300; y <= 370; y += 10) {
        int darkestX = 0;
        int darkest = 256;
        for (int x = 507; x <= 519; ++x) {
            if (qGray(page.pixel(x, y)) < darkest) {
                darkest = qGray(page.pixel(x, y));
                darkestX = x;
            }
        }
        EXPECT_LT(darkest, 128) << y;
        EXPECT_NEAR(darkestX, 513, 1) << y;
    }

    // On a coarse screen of 12.7 pixels per inch the PDF's whole-number resolution is 13, and
    // its device factor must make up the 2.4 %: the labels stand where the SVG, in pixels, has
    // them (without the factor the H would be 7 pixels off).
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    ASSERT_FALSE(pdftotext.isEmpty());
    const QStringList coarse = {"--desktop-width", "1000", "--screen-width", "2.0", "--scale", "4"};
    const double pixelsPerPoint = 1000 / 2.0 * 0.0254 / 72;
    ASSERT_EQ(render(QStringList(coarse) << path("coarse.svg")).exitCode, 0);
    ASSERT_EQ(render(QStringList(coarse) << path("coarse.pdf")).exitCode, 0);
    process.start(pdftotext, {"-bbox", path("coarse.pdf"), "-"});
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0);
    const QString words = QString::fromUtf8(process.readAllStandardOutput());
    const QString svg = QString::fromUtf8(contentsOf(path("coarse.svg")));
    for (const QString& label : {QStringLiteral("H"), QStringLiteral("V")}) {
        const QRegularExpression inSvg(
            QStringLiteral("<text [^>]* x=\"([0-9.]+)\"[^>]*>%1</text>").arg(label));
        const QRegularExpression inPdf(
            QStringLiteral("<word xMin=\"([0-9.]+)\"[^>]*>%1</word>").arg(label));
        const auto svgMatch = inSvg.match(svg);
        const auto pdfMatch = inPdf.match(words);
        ASSERT_TRUE(svgMatch.hasMatch() && pdfMatch.hasMatch()) << label.toStdString();
        // The glyph's ink starts a little right of the text's origin.
        EXPECT_NEAR(pdfMatch.captured(1).toDouble() * pixelsPerPoint,
                    svgMatch.captured(1).toDouble(), 1.5)
            << label.toStdString();
    }
}

struct Described {
    int exitCode = -1;
    QByteArray output;
    QString errors;
};

// --describe with the arguments; standard output into `outputFile` when one is named.
Described describe(const QStringList& arguments, const QString& outputFile = {})
{
    QProcess process;
    if (!outputFile.isEmpty()) {
        process.setStandardOutputFile(outputFile);
    }
    process.start(QStringLiteral(ONDULIX_RENDER_PATH), QStringList{"--describe"} << arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// A number of the object, null as NaN; compared with ==, since the text must carry every bit.
double jsonNumber(const QJsonValue& value)
{
    return value.isNull() ? std::nan("") : value.toDouble(std::nan(""));
}

void expectSame(const QJsonValue& actual, const std::optional<double>& expected, const char* what,
                const QString& row)
{
    if (!expected) {
        EXPECT_TRUE(actual.isNull()) << row.toStdString() << " " << what;
    } else {
        EXPECT_EQ(jsonNumber(actual), *expected) << row.toStdString() << " " << what;
    }
}

TEST_F(RenderCli, TheDefaultSceneIsDescribedAsRightHandedCircularInOptics)
{
    const Described run = describe({});
    EXPECT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_EQ(run.errors, QString());
    EXPECT_EQ(run.output,
              "{\"state\": \"circular\", \"handedness\": \"right\", \"convention\": \"optics\", "
              "\"psi_deg\": null, \"chi_deg\": 45.0, \"ratio\": 1.0, \"stokes\": [1.0, 0.0, 0.0, "
              "1.0], \"jones\": [[0.7071067811865476, 0.0], [0.0, 0.7071067811865476]], \"field\": "
              "[1.0, 0.0]}\n");
}

struct DescribeRow {
    QStringList arguments;
    scene::TPolarisationInput input;  // percent, percent, phase step, time step
    common::THandednessConvention convention;
    const char* state;
    const char* handedness;
};

TEST_F(RenderCli, DescribeGivesEveryValueAtFullPrecisionAndDrawsNothing)
{
    using common::THandednessConvention;
    const QString lesson = path("lesson.ini");
    {
        QFile file(lesson);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[General]\r\nHandednessConvention=IEEE\r\nPhaseShift=90\r\n");
    }
    const std::vector<DescribeRow> rows = {
        {{"--convention", "ieee"},
         {100, 100, -128, 0},
         THandednessConvention::Ieee,
         "circular",
         "left"},
        {{"--horizontal-amplitude", "60", "--vertical-amplitude", "80", "--phase-shift", "100",
          "--time", "7", "--width", "20"},
         {60, 80, 142, 7},
         THandednessConvention::Optics,
         "elliptical",
         "left"},
        {{"--vertical-amplitude", "0", "--phase-shift", "180"},
         {100, 0, 256, 0},
         THandednessConvention::Optics,
         "linear",
         "none"},
        {{"--horizontal-amplitude", "0", "--vertical-amplitude", "0", "--time", "300",
          "--convention", "ieee"},
         {0, 0, -128, 300},
         THandednessConvention::Ieee,
         "none",
         "none"},
        // The settings file's scene and convention, and the command line winning over them.
        {{"--settings", lesson},
         {100, 100, 128, 0},
         THandednessConvention::Ieee,
         "circular",
         "right"},
        {{"--settings", lesson, "--convention", "optics"},
         {100, 100, 128, 0},
         THandednessConvention::Optics,
         "circular",
         "left"},
    };
    for (const DescribeRow& row : rows) {
        const QString name = row.arguments.join(' ');
        const Described run = describe(row.arguments);
        ASSERT_EQ(run.exitCode, 0) << name.toStdString() << ": " << run.errors.toStdString();
        EXPECT_EQ(run.errors, QString()) << name.toStdString();
        EXPECT_TRUE(run.output.endsWith("}\n"));
        EXPECT_EQ(run.output.count('\n'), 1);
        QJsonParseError error{};
        const QJsonObject json = QJsonDocument::fromJson(run.output, &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << run.output.toStdString();

        const scene::TPolarisation p = scene::polarisationOf(row.input, row.convention);
        EXPECT_EQ(json.value("state").toString(), row.state) << name.toStdString();
        EXPECT_EQ(json.value("handedness").toString(), row.handedness) << name.toStdString();
        EXPECT_EQ(json.value("convention").toString(),
                  row.convention == THandednessConvention::Ieee ? "ieee" : "optics");
        expectSame(json.value("psi_deg"), p.PsiDegrees, "psi", name);
        expectSame(json.value("chi_deg"), p.ChiDegrees, "chi", name);
        expectSame(json.value("ratio"), p.AxialRatio, "ratio", name);
        const QJsonArray field = json.value("field").toArray();
        ASSERT_EQ(field.size(), 2);
        EXPECT_EQ(jsonNumber(field[0]), p.Field[0]) << name.toStdString();
        EXPECT_EQ(jsonNumber(field[1]), p.Field[1]) << name.toStdString();
        if (!p.Stokes) {
            EXPECT_TRUE(json.value("stokes").isNull());
            EXPECT_TRUE(json.value("jones").isNull());
            continue;
        }
        const QJsonArray stokes = json.value("stokes").toArray();
        ASSERT_EQ(stokes.size(), 4);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(jsonNumber(stokes[i]), (*p.Stokes)[static_cast<std::size_t>(i)])
                << name.toStdString() << " S" << i;
        }
        const QJsonArray jones = json.value("jones").toArray();
        ASSERT_EQ(jones.size(), 2);
        for (int k = 0; k < 2; ++k) {
            const QJsonArray component = jones[k].toArray();
            ASSERT_EQ(component.size(), 2);
            const std::complex<double> expected = (*p.Jones)[static_cast<std::size_t>(k)];
            EXPECT_EQ(jsonNumber(component[0]), expected.real()) << name.toStdString() << k;
            EXPECT_EQ(jsonNumber(component[1]), expected.imag()) << name.toStdString() << k;
        }
    }
    // No picture anywhere: only the settings file is in the folder.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"lesson.ini"});
}

TEST_F(RenderCli, DescribeFailuresAreOneLineWithTheirStatus)
{
    const struct {
        QStringList arguments;
        QString outputFile;
        int exitCode;
        const char* named;
    } rows[] = {
        {{path("a.png")}, {}, 2, "OUTPUT"},
        {{"--convention", "sideways"}, {}, 2, "--convention"},
        {{"--settings", path("missing.ini")}, {}, 1, "missing.ini"},
        // A description that does not reach its reader is no success.
        {{}, "/dev/full", 1, "No space left on device"},
    };
    for (const auto& row : rows) {
        const Described run = describe(row.arguments, row.outputFile);
        EXPECT_EQ(run.exitCode, row.exitCode) << row.named;
        EXPECT_EQ(run.errors.count('\n'), 1) << run.errors.toStdString();
        EXPECT_TRUE(run.errors.contains(row.named)) << run.errors.toStdString();
        EXPECT_TRUE(run.output.isEmpty()) << row.named;
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// The frames of the animation as still pictures: frame K of a WebP of N frames, which is
// lossless, is the PNG of --time K x 512 / N, with every other option the same.
QImage webpFrame(const QString& file, int k)
{
    const QByteArray bytes = contentsOf(file);
    const WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()),
                        static_cast<size_t>(bytes.size())};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_BGRA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    WebPAnimInfo info{};
    QImage frame;
    if (decoder != nullptr && WebPAnimDecoderGetInfo(decoder, &info)) {
        uint8_t* pixels = nullptr;
        int timestamp = 0;
        for (int i = 0; i <= k && WebPAnimDecoderGetNext(decoder, &pixels, &timestamp); ++i) {
            if (i == k) {
                frame = QImage(pixels, static_cast<int>(info.canvas_width),
                               static_cast<int>(info.canvas_height),
                               static_cast<int>(info.canvas_width) * 4, QImage::Format_ARGB32)
                            .convertToFormat(QImage::Format_RGB32);
            }
        }
    }
    WebPAnimDecoderDelete(decoder);
    return frame;
}

TEST_F(RenderCli, AnAnimationsFramesAreTheStillPicturesOfTheSameOptions)
{
    const QStringList scene = {"--width", "160",         "--height", "120",    "--phase-shift",
                               "30",      "--elevation", "10",       "--hide", "vertical"};
    struct Row {
        QStringList animation;
        int k;
        QStringList still;
    };
    const QList<Row> rows = {
        {{"--animate", "time", "--frames", "64"}, 21, {"--time", "168"}},
        {{"--animate", "azimuth", "--frames", "90", "--time", "100"},
         50,
         {"--time", "100", "--azimuth", "155"}},
    };
    for (const Row& row : rows) {
        const RunResult animated = render(QStringList(scene) << row.animation << path("a.webp"));
        ASSERT_EQ(animated.exitCode, 0) << animated.errors.toStdString();
        EXPECT_EQ(animated.errors, QString()) << "no progress where no terminal is";
        ASSERT_EQ(render(QStringList(scene) << row.still << path("still.png")).exitCode, 0);
        const QImage still = QImage(path("still.png")).convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(webpFrame(path("a.webp"), row.k), still) << row.animation.join(' ').toStdString();
    }
}

TEST_F(RenderCli, WhatAFormatChangesIsSaidOnStandardError)
{
    struct Row {
        QStringList arguments;
        const char* output;
        QString said;
    };
    const QList<Row> rows = {
        {{"--width", "161", "--height", "121"},
         "odd.mp4",
         "ondulix-render: MP4 needs even sides: 161 x 121 pixels are written as 162 x 122\n"},
        {{"--fps", "30"},
         "slow.gif",
         "ondulix-render: GIF delays are whole hundredths of a second: each frame shows for "
         "3/100 s, 33.33 frames per second\n"},
        {{"--fps", "30"}, "exact.webp", ""},
    };
    for (const Row& row : rows) {
        const RunResult run = render(
            QStringList{"--animate", "time", "--frames", "64", "--width", "80", "--height", "60"}
            << row.arguments << path(row.output));
        EXPECT_EQ(run.exitCode, 0) << row.output;
        EXPECT_EQ(run.errors, row.said) << row.output;
        EXPECT_TRUE(QFileInfo::exists(path(row.output))) << row.output;
    }
}

// Through a pseudo-terminal, as in an interactive shell.
TEST_F(RenderCli, ProgressIsShownOnATerminal)
{
    if (QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty()) {
        GTEST_SKIP() << "script (util-linux) is not installed";
    }
    const QString command =
        QStringLiteral("%1 --animate time --frames 64 --width 80 --height 60 %2")
            .arg(QStringLiteral(ONDULIX_RENDER_PATH), path("a.gif"));
    QProcess process;
    process.start(QStringLiteral("script"), {"-qec", command, "/dev/null"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0);
    const QString seen = QString::fromLocal8Bit(process.readAllStandardOutput());
    EXPECT_TRUE(seen.contains(QStringLiteral("\rondulix-render: frame 1 of 64")))
        << seen.toStdString();
    EXPECT_TRUE(seen.contains(QStringLiteral("\rondulix-render: frame 64 of 64")))
        << seen.toStdString();
}

TEST_F(RenderCli, AnAnimationThatCannotBeWrittenEndsWithOneAndLeavesNoFile)
{
    const QString file = path("missing-folder/a.mp4");
    const RunResult run = render({"--animate", "time", "--frames", "64", file});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.errors, QStringLiteral("ondulix-render: Cannot write the file \"%1\": No such "
                                         "file or directory\n")
                              .arg(file));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

// Stopped by a signal, as by Ctrl+C: the temporary file goes, the old file stays, and the
// program ends by the signal.
TEST_F(RenderCli, AnInterruptedAnimationLeavesTheOldFileAndNoOther)
{
    const QString file = path("film.gif");
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("last week's film");
    }
    QProcess process;
    process.start(QStringLiteral(ONDULIX_RENDER_PATH),
                  {"--animate", "time", "--width", "640", "--height", "480", file});
    ASSERT_TRUE(process.waitForStarted());
    QDir folder(dir.path());
    for (int i = 0; i < 600 && folder.entryList(QDir::Files | QDir::Hidden).size() < 2; ++i) {
        ::usleep(10000);
    }
    ASSERT_EQ(folder.entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary file";
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(QString::fromLocal8Bit(process.readAllStandardError()),
              QStringLiteral("ondulix-render: Cancelled: \"%1\" was not written\n").arg(file));
    EXPECT_EQ(contentsOf(file), QByteArray("last week's film"));
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden), QStringList{"film.gif"});
}

// The frames go to the encoder one at a time: four times as many frames take no more memory
// worth speaking of. Keeping them would take 256 x 75 KiB.
TEST_F(RenderCli, AnAnimationsMemoryDoesNotGrowWithItsFrames)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer holds freed memory back in its quarantine";
#endif
    for (const char* name : {"a.gif", "a.webp", "a.mp4"}) {
        const QStringList size = {"--animate", "time", "--width", "160", "--height", "120"};
        const long few = peakKilobytes(QStringList(size) << "--frames"
                                                         << "64" << path(name));
        const long many = peakKilobytes(QStringList(size) << "--frames"
                                                          << "256" << path(name));
        ASSERT_GT(few, 0) << name;
        EXPECT_LT(many - few, 8 * 1024) << name << ": " << few << " KiB, then " << many;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
