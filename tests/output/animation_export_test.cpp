// SPDX-License-Identifier: GPL-3.0-or-later
// Animations written to their files and read back with readers of their own: giflib's reader,
// webpmux and libwebp's animation decoder, ffprobe and ffmpeg. Each frame must be the still
// picture of its step.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gif_lib.h>
#include <webp/demux.h>

#include <sys/mount.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>

#include "../tools/small_tmpfs.h"
#include "output/animation_export.h"
#include "output/animation_frames.h"
#include "output_fixture.h"
#include "scene/geometry.h"
#include "scene/projection.h"

namespace {

using output::AnimationDescription;
using output::AnimationFormat;
using output::AnimationMotion;
using output::AnimationOutcome;

constexpr int Width = 160;
constexpr int Height = 120;

AnimationDescription small(AnimationMotion motion = AnimationMotion::Time, int frames = 64)
{
    AnimationDescription d;
    d.motion = motion;
    d.frames = frames;
    d.width = Width;
    d.height = Height;
    return d;
}

// The window's scene moved to a step and drawn again, as a still picture of it.
QImage still(output_test::TestScene& scene, AnimationMotion motion, int value)
{
    scene::SceneState& s = scene.s();
    if (motion == AnimationMotion::Time) {
        s.Params.TimeStep = value;
        scene::computeWaveSamples(s, value, s.Params.PhaseStep);
    } else {
        scene::setAzimuth(s, value);
        scene::updateViewMatrix(s);
    }
    scene.redraw();
    return scene.host.picture().convertToFormat(QImage::Format_RGB32);
}

// The mean of |a - b| over every colour channel of every pixel, 0 .. 255.
double meanDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size()) {
        return 255.0;
    }
    double sum = 0.0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            sum += std::abs(qRed(p[x]) - qRed(q[x])) + std::abs(qGreen(p[x]) - qGreen(q[x])) +
                   std::abs(qBlue(p[x]) - qBlue(q[x]));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A program's standard output; empty when it is not installed or fails.
QByteArray run(const QString& program, const QStringList& arguments)
{
    if (QStandardPaths::findExecutable(program).isEmpty()) {
        return {};
    }
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        return {};
    }
    return process.readAllStandardOutput();
}

class AnimationExport : public ::testing::Test {
protected:
    QTemporaryDir dir;
    output_test::TestScene scene{Width, Height};

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    output::AnimationResult write(AnimationFormat format, const AnimationDescription& d,
                                  const QString& file,
                                  const output::AnimationProgress& progress = {})
    {
        return output::exportAnimation(output::animationExporterFor(format), scene.s(), d, file,
                                       common::TLanguage::English, progress);
    }
    QStringList entries() const
    {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

// The frames are drawn from a copy: the scene keeps its time, its view and its picture.
TEST_F(AnimationExport, FramesAreTheStillPicturesOfTheirStepsAndLeaveTheSceneAlone)
{
    struct Row {
        AnimationMotion motion;
        int frames;
        int k;
        int value;  // the time step or the azimuth of frame k
    };
    const Row rows[] = {
        {AnimationMotion::Time, 64, 0, 0},         {AnimationMotion::Time, 64, 5, 40},
        {AnimationMotion::Time, 512, 511, 511},    {AnimationMotion::Azimuth, 90, 1, -41},
        {AnimationMotion::Azimuth, 360, 225, 180}, {AnimationMotion::Azimuth, 360, 226, -179},
    };
    for (const Row& row : rows) {
        output_test::TestScene source(Width, Height);
        source.s().Params.TimeStep = 100;
        scene::computeWaveSamples(source.s(), 100, source.s().Params.PhaseStep);
        source.redraw();
        const QImage before = source.host.picture();
        const int eventRuns = source.host.eventRuns;

        output::AnimationFrames frames(source.s(), small(row.motion, row.frames));
        const QImage frame = frames.frame(row.k).copy();
        EXPECT_EQ(source.s().Params.TimeStep, 100);
        EXPECT_EQ(source.s().Params.Azimuth, -45);
        EXPECT_EQ(source.host.picture(), before);
        EXPECT_EQ(source.host.eventRuns, eventRuns) << "no event may run while a frame is drawn";

        output_test::TestScene reference(Width, Height);
        if (row.motion == AnimationMotion::Azimuth) {
            still(reference, AnimationMotion::Time, 100);
        }
        EXPECT_EQ(frame, still(reference, row.motion, row.value))
            << "frame " << row.k << " of " << row.frames;
    }
}

TEST_F(AnimationExport, AGifLoopsForEverWithWholeHundredthsAndFramesCloseToTheStills)
{
    AnimationDescription d = small();
    d.framesPerSecond = 30;
    const QString file = path("period.gif");
    const output::AnimationResult result = write(AnimationFormat::Gif, d, file);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.plan.delayHundredths, 3);

    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(file).constData(), &error);
    ASSERT_NE(gif, nullptr) << GifErrorString(error);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK) << GifErrorString(gif->Error);
    EXPECT_EQ(gif->SWidth, Width);
    EXPECT_EQ(gif->SHeight, Height);
    ASSERT_EQ(gif->ImageCount, 64);
    // NETSCAPE2.0 with a loop count of 0 before the first frame.
    bool loops = false;
    const SavedImage& first = gif->SavedImages[0];
    for (int i = 0; i + 1 < first.ExtensionBlockCount; ++i) {
        const ExtensionBlock& block = first.ExtensionBlocks[i];
        const ExtensionBlock& next = first.ExtensionBlocks[i + 1];
        if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
            std::string(reinterpret_cast<const char*>(block.Bytes), 11) == "NETSCAPE2.0" &&
            next.ByteCount == 3) {
            loops = next.Bytes[0] == 1 && next.Bytes[1] == 0 && next.Bytes[2] == 0;
        }
    }
    EXPECT_TRUE(loops);
    int duration = 0;
    for (int i = 0; i < gif->ImageCount; ++i) {
        GraphicsControlBlock control{};
        ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &control), GIF_OK) << i;
        duration += control.DelayTime;
    }
    EXPECT_EQ(duration, 64 * 3);

    for (const int k : {0, 21, 63}) {
        const SavedImage& image = gif->SavedImages[k];
        const ColorMapObject* map =
            image.ImageDesc.ColorMap != nullptr ? image.ImageDesc.ColorMap : gif->SColorMap;
        ASSERT_NE(map, nullptr);
        ASSERT_EQ(image.ImageDesc.Width, Width);
        QImage frame(Width, Height, QImage::Format_RGB32);
        for (int y = 0; y < Height; ++y) {
            for (int x = 0; x < Width; ++x) {
                const GifColorType& c = map->Colors[image.RasterBits[y * Width + x]];
                frame.setPixel(x, y, qRgb(c.Red, c.Green, c.Blue));
            }
        }
        EXPECT_LT(meanDifference(frame, still(scene, AnimationMotion::Time, 8 * k)), 1.0)
            << "frame " << k;
    }
    DGifCloseFile(gif, &error);
}

TEST_F(AnimationExport, AWebPIsLosslessAndLoopsWithTheFramesDurations)
{
    AnimationDescription d = small(AnimationMotion::Azimuth, 90);
    d.framesPerSecond = 30;
    const QString file = path("turn.webp");
    const output::AnimationResult result = write(AnimationFormat::WebP, d, file);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();

    const QString info = QString::fromLatin1(run(QStringLiteral("webpmux"), {"-info", file}));
    if (info.isEmpty()) {
        GTEST_SKIP() << "webpmux (package webp) is not installed";
    }
    EXPECT_TRUE(info.contains(QStringLiteral("Canvas size: 160 x 120"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Loop Count\\s*:\\s*0\\b"))));
    EXPECT_TRUE(info.contains(QStringLiteral("Number of frames: 90")));
    // No.: width height alpha x_offset y_offset duration ...: 90 frames of 3 s in all.
    int duration = 0;
    int frames = 0;
    const QRegularExpression row(QStringLiteral("^\\s*\\d+:(\\s+\\S+){5}\\s+(\\d+)\\s"),
                                 QRegularExpression::MultilineOption);
    for (auto m = row.globalMatch(info); m.hasNext(); ++frames) {
        const int ms = m.next().captured(2).toInt();
        EXPECT_TRUE(ms == 33 || ms == 34) << ms;
        duration += ms;
    }
    EXPECT_EQ(frames, 90);
    EXPECT_EQ(duration, 3000);

    const QByteArray bytes = contents(file);
    const WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()),
                        static_cast<size_t>(bytes.size())};
    WebPAnimDecoderOptions options;
    ASSERT_TRUE(WebPAnimDecoderOptionsInit(&options));
    options.color_mode = MODE_BGRA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    ASSERT_NE(decoder, nullptr);
    output_test::TestScene reference(Width, Height);
    for (int k = 0; WebPAnimDecoderHasMoreFrames(decoder); ++k) {
        uint8_t* pixels = nullptr;
        int timestamp = 0;
        ASSERT_TRUE(WebPAnimDecoderGetNext(decoder, &pixels, &timestamp));
        if (k == 0 || k == 44 || k == 89) {
            const QImage frame(pixels, Width, Height, Width * 4, QImage::Format_ARGB32);
            EXPECT_EQ(frame.convertToFormat(QImage::Format_RGB32),
                      still(reference, AnimationMotion::Azimuth, output::frameAzimuth(d, -45, k)))
                << "frame " << k;
        }
    }
    WebPAnimDecoderDelete(decoder);
}

// The top-level boxes of an MP4 file, in their order.
QStringList boxes(const QByteArray& file)
{
    QStringList names;
    for (qint64 at = 0; at + 8 <= file.size();) {
        const auto* p = reinterpret_cast<const unsigned char*>(file.constData() + at);
        const qint64 size = (qint64(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
        names << QString::fromLatin1(file.mid(at + 4, 4));
        if (size < 8) {
            break;
        }
        at += size;
    }
    return names;
}

TEST_F(AnimationExport, AnMp4IsH264InYuv420pOfEvenSidesWithTheIndexInFront)
{
    AnimationDescription d = small();
    d.width = Width + 1;
    d.height = Height + 1;
    d.framesPerSecond = 25;
    const QString file = path("period.mp4");
    const output::AnimationResult result = write(AnimationFormat::Mp4, d, file);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.plan.written.width, Width + 2);
    EXPECT_EQ(result.plan.written.height, Height + 2);

    const QStringList order = boxes(contents(file));
    ASSERT_TRUE(order.contains(QStringLiteral("moov")) && order.contains(QStringLiteral("mdat")))
        << order.join(' ').toStdString();
    EXPECT_LT(order.indexOf(QStringLiteral("moov")), order.indexOf(QStringLiteral("mdat")));

    const QString probe = QString::fromLatin1(
        run(QStringLiteral("ffprobe"),
            {"-v", "error", "-select_streams", "v:0", "-count_frames", "-show_entries",
             "stream=codec_name,pix_fmt,width,height,r_frame_rate,nb_read_frames:format=duration",
             "-of", "default=noprint_wrappers=1", file}));
    if (probe.isEmpty()) {
        GTEST_SKIP() << "ffprobe (package ffmpeg) is not installed";
    }
    for (const char* line : {"codec_name=h264", "pix_fmt=yuv420p", "width=162", "height=122",
                             "r_frame_rate=25/1", "nb_read_frames=64", "duration=2.560000"}) {
        EXPECT_TRUE(probe.contains(QLatin1String(line))) << line << "\n" << probe.toStdString();
    }

    output_test::TestScene reference(Width + 2, Height + 2);
    for (const int k : {0, 40}) {
        const QByteArray raw =
            run(QStringLiteral("ffmpeg"),
                {"-v", "error", "-i", file, "-vf", QStringLiteral("select=eq(n\\,%1)").arg(k),
                 "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "bgra", "-"});
        ASSERT_EQ(raw.size(), (Width + 2) * (Height + 2) * 4) << "frame " << k;
        const QImage frame(reinterpret_cast<const uchar*>(raw.constData()), Width + 2, Height + 2,
                           (Width + 2) * 4, QImage::Format_RGB32);
        // 4:2:0 halves the colour of thin saturated lines, which in so small a picture are
        // much of it: about 3; a neighbouring frame differs by about 20.
        EXPECT_LT(meanDifference(frame, still(reference, AnimationMotion::Time, 8 * k)), 4.0)
            << "frame " << k;
    }
}

// Cancelled halfway: no file, the old one as it was, and no temporary file left.
TEST_F(AnimationExport, ACancelledExportLeavesTheOldFileInEveryFormat)
{
    for (const AnimationFormat format :
         {AnimationFormat::Gif, AnimationFormat::WebP, AnimationFormat::Mp4}) {
        const QString file = path("film.") + output::animationExporterFor(format).extension();
        put(file, "last week's film");
        int calls = 0;
        const output::AnimationResult result =
            write(format, small(), file, [&calls](std::int32_t done, std::int32_t total) {
                ++calls;
                EXPECT_EQ(done, calls);
                EXPECT_EQ(total, 64);
                return done < 32;
            });
        const std::string name = file.toStdString();
        EXPECT_EQ(result.outcome, AnimationOutcome::Cancelled) << name;
        EXPECT_EQ(calls, 32) << name;
        EXPECT_EQ(result.error.toStdString(), "Cancelled: \"" + name + "\" was not written");
        EXPECT_EQ(contents(file), QByteArray("last week's film")) << name;
        EXPECT_EQ(entries(), QStringList{QFileInfo(file).fileName()}) << name;
        QFile::remove(file);
    }
}

TEST_F(AnimationExport, AFullDiskLeavesTheOldFileAndSaysSo)
{
    const testing_support::SmallTmpfs disk(path("disk").toStdString());
    if (!disk.mounted()) {
        GTEST_SKIP() << "mounting a tmpfs needs root, as the CI has";
    }
    struct Row {
        AnimationFormat format;
        common::TLanguage language;
        const char* reason;
    };
    const Row rows[] = {
        {AnimationFormat::Gif, common::TLanguage::English, "the disk is full"},
        {AnimationFormat::WebP, common::TLanguage::German, "der Datenträger ist voll"},
        {AnimationFormat::Mp4, common::TLanguage::English, "the disk is full"},
    };
    const QString folder = QString::fromStdString(disk.folder());
    for (const Row& row : rows) {
        const QString file = folder + QStringLiteral("/film");
        put(file, "last week's film");
        // Room for a few kilobytes; each of the animations is larger.
        disk.fillBut(4096);
        const output::AnimationResult result = output::exportAnimation(
            output::animationExporterFor(row.format), scene.s(), small(), file, row.language);
        EXPECT_EQ(result.outcome, AnimationOutcome::Failed);
        EXPECT_TRUE(result.error.contains(file)) << result.error.toStdString();
        EXPECT_TRUE(result.error.endsWith(QString::fromUtf8(row.reason)))
            << result.error.toStdString();
        EXPECT_EQ(contents(file), QByteArray("last week's film"));
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                  (QStringList{QStringLiteral("filler"), QStringLiteral("film")}));
        disk.emptyFiller();
    }
}

TEST_F(AnimationExport, AFolderThatTakesNoFileIsNamed)
{
    const testing_support::SmallTmpfs disk(path("disk").toStdString());
    if (!disk.mounted() ||
        ::mount(nullptr, disk.folder().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
        GTEST_SKIP() << "mounting a read-only tmpfs needs root, as the CI has";
    }
    const QString file = QString::fromStdString(disk.folder()) + QStringLiteral("/film.gif");
    const output::AnimationResult result = write(AnimationFormat::Gif, small(), file);
    EXPECT_EQ(result.outcome, AnimationOutcome::Failed);
    EXPECT_EQ(result.error.toStdString(), "Cannot write the file \"" + file.toStdString() +
                                              "\": the folder \"" + disk.folder() +
                                              "\" is not writable");
}

// An exporter whose encoder is missing, or fails on a frame.
class BrokenExporter : public output::AnimationExporter {
public:
    explicit BrokenExporter(bool available) : m_available(available) {}
    AnimationFormat format() const override { return AnimationFormat::WebP; }
    QString encoderName() const override { return QStringLiteral("B (libbroken)"); }
    bool available() const override { return m_available; }
    std::unique_ptr<output::FrameEncoder> start(const output::AnimationPlan&,
                                                settings::TAtomicFileWriter& file,
                                                output::EncoderError&) const override
    {
        return std::make_unique<Encoder>(file);
    }

private:
    class Encoder : public output::FrameEncoder {
    public:
        explicit Encoder(settings::TAtomicFileWriter& file) : m_file(file) {}
        bool add(const QImage&, output::EncoderError& error) override
        {
            m_file.write("a frame");
            if (++m_frames == 10) {
                error.message = "out of ideas";
                return false;
            }
            return true;
        }
        bool finish(output::EncoderError&) override { return true; }

    private:
        settings::TAtomicFileWriter& m_file;
        int m_frames = 0;
    };
    bool m_available;
};

TEST_F(AnimationExport, AMissingOrFailingEncoderLeavesNoFileAndIsNamed)
{
    struct Row {
        bool available;
        common::TLanguage language;
        const char* reason;
    };
    const Row rows[] = {
        {false, common::TLanguage::English, "the encoder B (libbroken) is not available"},
        {false, common::TLanguage::German, "der Encoder B (libbroken) ist nicht verfügbar"},
        {true, common::TLanguage::English, "the encoder B (libbroken) failed: out of ideas"},
    };
    for (const Row& row : rows) {
        const QString file = path("film.webp");
        const BrokenExporter exporter(row.available);
        const output::AnimationResult result =
            output::exportAnimation(exporter, scene.s(), small(), file, row.language);
        EXPECT_EQ(result.outcome, AnimationOutcome::Failed);
        EXPECT_TRUE(result.error.contains(file)) << result.error.toStdString();
        EXPECT_TRUE(result.error.endsWith(QString::fromUtf8(row.reason)))
            << result.error.toStdString();
        EXPECT_TRUE(entries().isEmpty()) << entries().join(' ').toStdString();
    }
}

TEST_F(AnimationExport, ARequestThatCannotBeMadeMakesNoFile)
{
    AnimationDescription d = small();
    d.framesPerSecond = 0;
    const output::AnimationResult result = write(AnimationFormat::Gif, d, path("film.gif"));
    EXPECT_EQ(result.outcome, AnimationOutcome::Failed);
    EXPECT_TRUE(result.error.endsWith(QStringLiteral("0 frames per second are outside 1 .. 100")))
        << result.error.toStdString();
    EXPECT_TRUE(entries().isEmpty());
}

}  // namespace
