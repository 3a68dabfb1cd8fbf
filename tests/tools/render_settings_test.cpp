// SPDX-License-Identifier: GPL-3.0-or-later
// --settings FILE of ondulix-render: the file's look and scene, the command line's own options
// winning over it, and a file that cannot be used.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "render_options.h"
#include "render_settings.h"
#include "settings/scene_settings.h"
#include "settings/settings_file.h"

namespace {

render::RenderOptions parse(std::vector<std::string> arguments)
{
    const render::ParseResult r = render::parseRenderOptions(arguments);
    EXPECT_EQ(r.action, render::ParseResult::Action::Render) << r.error;
    return r.options;
}

// A lesson set up in the program: every scene value and switch away from its default.
settings::TSettingsData lesson()
{
    settings::TSettingsData d = settings::defaultSettingsData("/home/teacher/");
    d.Scene = {100, -20, 40, 70, 45};
    d.Scale = 20;
    d.App.ScreenWidth = 0.52;
    d.App.CoordinateSystemCentered = true;
    d.App.ShowHorizontalWave = false;
    d.App.ShowResultantVector = false;
    d.App.HandednessConvention = common::THandednessConvention::Ieee;
    d.App.PropagationAxisLabel = "z";
    d.App.ScreenFontName = "DejaVu Sans";
    d.Proportions.Wavelength = 2.0;
    d.Styles[1].Color = common::rgb(1, 2, 3);
    return d;
}

TEST(RenderSettings, TheFileGivesTheSceneWhereTheCommandLineGivesNone)
{
    render::RenderOptions o = parse({"out.png"});
    render::mergeSettings(o, lesson());
    EXPECT_EQ(o.azimuth, 100);
    EXPECT_EQ(o.elevation, -20);
    EXPECT_EQ(o.horizontalAmplitude, 40);
    EXPECT_EQ(o.verticalAmplitude, 70);
    EXPECT_EQ(o.phaseShift, 45);
    EXPECT_EQ(o.scale, 20);
    EXPECT_DOUBLE_EQ(o.screenWidth, 0.52);
    EXPECT_TRUE(o.centered);
    EXPECT_FALSE(o.showHorizontal);
    EXPECT_TRUE(o.showVertical && o.showResultant);
    EXPECT_FALSE(o.showVector);
    EXPECT_EQ(o.convention, common::THandednessConvention::Ieee);
    // What the file does not hold stays.
    EXPECT_EQ(o.width, 800);
    EXPECT_EQ(o.desktopWidth, 1280);
}

TEST(RenderSettings, OptionsGivenWinOverTheFile)
{
    render::RenderOptions o =
        parse({"--azimuth", "-45", "--scale=40", "--screen-width", "0.3", "--phase-shift", "-90",
               "--hide", "resultant", "--convention", "optics", "out.png"});
    settings::TSettingsData d = lesson();
    d.App.ShowResultantWave = true;
    render::mergeSettings(o, d);
    EXPECT_EQ(o.azimuth, -45);
    EXPECT_EQ(o.scale, 40);
    EXPECT_DOUBLE_EQ(o.screenWidth, 0.3);
    EXPECT_EQ(o.phaseShift, -90);
    EXPECT_FALSE(o.showResultant);
    EXPECT_EQ(o.convention, common::THandednessConvention::Optics);
    // Not named on the command line: from the file.
    EXPECT_EQ(o.elevation, -20);
    EXPECT_FALSE(o.showHorizontal);
    EXPECT_TRUE(o.centered);
}

// The window's animation interval is the animation's rate, unless --fps names one.
TEST(RenderSettings, TheFilesAnimationIntervalGivesTheFrameRate)
{
    settings::TSettingsData d = lesson();
    d.App.AnimationTimeInterval = 40;
    render::RenderOptions o = parse({"--animate", "time", "out.gif"});
    render::mergeSettings(o, d);
    EXPECT_EQ(o.framesPerSecond, 25);
    render::RenderOptions given = parse({"--animate", "time", "--fps", "10", "out.gif"});
    render::mergeSettings(given, d);
    EXPECT_EQ(given.framesPerSecond, 10);
}

TEST(RenderSettings, SceneValuesAreClampedAsTheTrackBarsClampThem)
{
    settings::TSettingsData d = lesson();
    d.Scene = {500, -95, 130, -4, 181};
    render::RenderOptions o = parse({"out.png"});
    render::mergeSettings(o, d);
    EXPECT_EQ(o.azimuth, 180);
    EXPECT_EQ(o.elevation, -90);
    EXPECT_EQ(o.horizontalAmplitude, 100);
    EXPECT_EQ(o.verticalAmplitude, 0);
    EXPECT_EQ(o.phaseShift, 180);
}

TEST(RenderSettings, TheLookGoesOntoTheScene)
{
    scene::SceneState s;
    settings::applyLook(s, lesson());
    EXPECT_EQ(s.PropagationAxisLabel, "z");
    EXPECT_EQ(s.ScreenFontName, "DejaVu Sans");
    EXPECT_DOUBLE_EQ(s.Proportions.Wavelength, 2.0);
    EXPECT_EQ(s.style(scene::TSceneObject::Background).Color, common::rgb(1, 2, 3));
}

class RenderSettingsFile : public ::testing::Test {
protected:
    QTemporaryDir dir;
    const settings::TNumberFormat format = settings::TNumberFormat::forDecimalSeparator(".");
    std::string path(const char* name) const
    {
        return dir.filePath(QString::fromLatin1(name)).toStdString();
    }
    std::string write(const settings::TSettingsData& d)
    {
        const std::string file = path("ondulix.ini");
        EXPECT_TRUE(settings::WriteSettings(file, d, format).Ok);
        return file;
    }
};

TEST_F(RenderSettingsFile, IsReadAsTheProgramWroteIt)
{
    const render::SettingsFileRead read = render::readSettingsFile(write(lesson()), format);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_TRUE(read.warnings.empty());
    EXPECT_EQ(read.data.Scale, 20);
    EXPECT_EQ(read.data.Scene.Azimuth, 100);
    EXPECT_EQ(read.data.App.PropagationAxisLabel, "z");
    EXPECT_EQ(read.data.Styles[1].Color, common::rgb(1, 2, 3));
}

TEST_F(RenderSettingsFile, AMissingFileIsAnError)
{
    const render::SettingsFileRead read = render::readSettingsFile(path("nothing.ini"), format);
    EXPECT_FALSE(read.ok);
    EXPECT_FALSE(read.error.empty());
}

TEST_F(RenderSettingsFile, AFileThatIsNoRegularFileIsRefusedWithItsReason)
{
    const std::string fifo = path("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string file;
        const char* reason;
    } rows[] = {{fifo, "FIFO"}, {"/dev/zero", "character device"}, {dir.path().toStdString(), ""}};
    for (const auto& row : rows) {
        const render::SettingsFileRead read = render::readSettingsFile(row.file, format);
        EXPECT_FALSE(read.ok) << row.file;
        EXPECT_EQ(read.error.find("no such file"), std::string::npos) << read.error;
        EXPECT_NE(read.error.find(row.reason), std::string::npos) << read.error;
    }
}

TEST_F(RenderSettingsFile, AValueThatCannotBeUsedIsAWarningAndGetsItsDefault)
{
    const std::string file = path("hand-edited.ini");
    QFile out(QString::fromStdString(file));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("[General]\r\nWavelength=three\r\nAzimuth=10\r\n");
    out.close();
    const render::SettingsFileRead read = render::readSettingsFile(file, format);
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(read.warnings.size(), 1u);
    EXPECT_NE(read.warnings.front().find("Wavelength"), std::string::npos) << read.warnings.front();
    EXPECT_DOUBLE_EQ(read.data.Proportions.Wavelength, scene::TProportions{}.Wavelength);
    EXPECT_EQ(read.data.Scene.Azimuth, 10);
}

// ---- The program itself

int render(const QStringList& arguments, QString* errors = nullptr)
{
    QProcess process;
    // As from cron or over ssh, where Qt finds no runtime folder and says so.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ONDULIX_RENDER_PATH), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    if (errors != nullptr) {
        *errors = QString::fromLocal8Bit(process.readAllStandardError());
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

TEST_F(RenderSettingsFile, ThePictureHasTheFilesLookAndScale)
{
    const QString file = QString::fromStdString(write(lesson()));
    const QString fromFile = dir.filePath(QStringLiteral("file.png"));
    const QString sameScale = dir.filePath(QStringLiteral("same.png"));
    const QString otherScale = dir.filePath(QStringLiteral("other.png"));
    ASSERT_EQ(render({QStringLiteral("--settings"), file, fromFile}), 0);
    ASSERT_EQ(render({QStringLiteral("--settings"), file, QStringLiteral("--scale"),
                      QStringLiteral("20"), sameScale}),
              0);
    ASSERT_EQ(render({QStringLiteral("--settings"), file, QStringLiteral("--scale"),
                      QStringLiteral("40"), otherScale}),
              0);
    const QImage picture(fromFile);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.pixel(0, 0), qRgb(1, 2, 3));
    EXPECT_TRUE(picture == QImage(sameScale));
    EXPECT_FALSE(picture == QImage(otherScale));
}

TEST_F(RenderSettingsFile, AMissingFileEndsWithOneAndWritesNothing)
{
    QString errors;
    const QString missing = dir.filePath(QStringLiteral("nothing.ini"));
    EXPECT_EQ(render({QStringLiteral("--settings"), missing, dir.filePath(QStringLiteral("a.png"))},
                     &errors),
              1);
    EXPECT_TRUE(errors.contains(missing)) << errors.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("a.png"))));
}

struct MessageRow {
    const char* name;
    QByteArray content;  // of the settings file; empty for none
    int exitCode;
    const char* expected;  // in the one line, after the file's name
};

TEST_F(RenderSettingsFile, EachMessageIsOneWholeLine)
{
    const std::vector<MessageRow> rows = {
        // The text after a NUL is the user's too; a terminal's control sequence is shown, not run.
        {"NulInsideAValue", QByteArray("[General]\r\nWavelength=2\0.5\r\n", 28), 0, "2\\x00.5"},
        {"EscapeInsideAValue", "[General]\r\nWavelength=2\x1b[31m.5\r\n", 0, "2\\x1b[31m.5"},
        {"MissingFile", {}, 1, "cannot read "},
    };
    for (const MessageRow& row : rows) {
        const QString file = dir.filePath(QString::fromLatin1(row.name) + ".ini");
        if (!row.content.isEmpty()) {
            QFile out(file);
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(row.content);
        }
        QString errors;
        EXPECT_EQ(
            render({QStringLiteral("--settings"), file, dir.filePath(QStringLiteral("a.png"))},
                   &errors),
            row.exitCode)
            << row.name;
        EXPECT_EQ(errors.count(QLatin1Char('\n')), 1) << row.name << ": " << errors.toStdString();
        EXPECT_TRUE(errors.startsWith(QStringLiteral("ondulix-render: "))) << errors.toStdString();
        EXPECT_TRUE(errors.contains(QLatin1String(row.expected))) << errors.toStdString();
        EXPECT_TRUE(errors.contains(file)) << errors.toStdString();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
