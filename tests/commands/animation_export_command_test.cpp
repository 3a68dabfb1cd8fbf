// SPDX-License-Identifier: GPL-3.0-or-later
// The window's "Export animation" command: the dialog's choices and defaults, the export through
// the progress, a cancel that leaves the old file, and the window's scene left as it was.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <vector>

#include "commands/animation_export_command.h"
#include "commands_fixture.h"

namespace {

using commands::AnimationChoice;
using output::AnimationFormat;
using output::AnimationMotion;
using output_test::FakeSaveDialog;
using output_test::FakeWindow;
using output_test::TestScene;

// Answers every frame, cancelling after `cancelAfter` of them (never when negative).
class CountingProgress : public commands::ExportProgress {
public:
    explicit CountingProgress(int cancelAfter = -1) : m_cancelAfter(cancelAfter) {}
    void start(std::int32_t total, common::TLanguage, QWidget*) override { started = total; }
    bool step(std::int32_t done, std::int32_t) override
    {
        steps.push_back(done);
        return m_cancelAfter < 0 || done < m_cancelAfter;
    }
    void finish() override { finished = true; }

    std::int32_t started = 0;
    std::vector<std::int32_t> steps;
    bool finished = false;

private:
    int m_cancelAfter;
};

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(ExportAnimationDialog, OffersTheWindowsRateAndAreaAndTheFormatDecidesTheExtension)
{
    FakeSaveDialog saveDialog;
    commands::AnimationDefaults defaults;
    defaults.framesPerSecond = output::framesPerSecondOf(40);  // 25
    defaults.areaWidth = 640;
    defaults.areaHeight = 481;
    defaults.folder = QStringLiteral("/home/teacher/Documents");
    defaults.baseName = QStringLiteral("Animation");
    defaults.language = common::TLanguage::German;
    commands::TFormExportAnimation dialog(defaults, saveDialog, nullptr);
    AnimationChoice c = dialog.choice();
    EXPECT_EQ(c.description.motion, AnimationMotion::Time);
    EXPECT_EQ(c.description.frames, 512);
    EXPECT_EQ(c.description.framesPerSecond, 25);
    EXPECT_EQ(c.description.width, 640);
    EXPECT_EQ(c.description.height, 481);
    EXPECT_EQ(c.format, AnimationFormat::Gif);
    EXPECT_EQ(c.path, QStringLiteral("/home/teacher/Documents/Animation.gif"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Animation exportieren"));

    // The turn of the view has its own frame counts; MP4 rounds the odd height up and says so.
    auto* motion = dialog.findChild<QComboBox*>(QStringLiteral("ComboBoxAnimationMotion"));
    motion->setCurrentIndex(1);
    auto* frames = dialog.findChild<QComboBox*>(QStringLiteral("ComboBoxAnimationFrames"));
    ASSERT_EQ(frames->count(), 4);
    frames->setCurrentIndex(3);
    auto* format = dialog.findChild<QComboBox*>(QStringLiteral("ComboBoxAnimationFormat"));
    EXPECT_EQ(format->itemText(0), QStringLiteral("Animiertes GIF"));
    format->setCurrentIndex(2);
    c = dialog.choice();
    EXPECT_EQ(c.description.motion, AnimationMotion::Azimuth);
    EXPECT_EQ(c.description.frames, 90);
    EXPECT_EQ(c.format, AnimationFormat::Mp4);
    EXPECT_EQ(c.path, QStringLiteral("/home/teacher/Documents/Animation.mp4"));
    const auto* notes = dialog.findChild<QLabel*>(QStringLiteral("LabelAnimationNotes"));
    EXPECT_TRUE(notes->text().contains(QStringLiteral("482"))) << notes->text().toStdString();

    // The file chooser's type decides the format, as in Save As.
    saveDialog.answer = platform::SaveDialogChoice{QStringLiteral("/tmp/lesson"), 2};
    dialog.findChild<QPushButton*>(QStringLiteral("ButtonAnimationFile"))->click();
    ASSERT_EQ(saveDialog.requests.size(), 1u);
    EXPECT_EQ(saveDialog.requests[0].extensions, (QStringList{"gif", "webp", "mp4"}));
    EXPECT_EQ(saveDialog.requests[0].filters[2], QStringLiteral("MPEG-4-Video (*.mp4)"));
    EXPECT_EQ(saveDialog.requests[0].type, 3);
    c = dialog.choice();
    EXPECT_EQ(c.format, AnimationFormat::WebP);
    EXPECT_EQ(c.path, QStringLiteral("/tmp/lesson.webp"));
}

TEST(ExportAnimationCommand, WritesTheChosenFileAndLeavesTheWindowsSceneAsItWas)
{
    QTemporaryDir folder;
    TestScene t(160, 120);
    scene::SceneState& s = t.s();
    s.Params.TimeStep = 77;
    const scene::SceneState before = s;
    FakeWindow window(s);
    window.app.AnimationTimeInterval = 20;
    window.app.GraphFilePath = folder.path().toStdString() + "/";
    const QString path = folder.filePath(QStringLiteral("period.webp"));
    bool asked = false;
    const auto ask = [&](const commands::AnimationDefaults& d) -> std::optional<AnimationChoice> {
        asked = true;
        EXPECT_EQ(d.framesPerSecond, 50);
        EXPECT_EQ(d.areaWidth, 160);
        EXPECT_EQ(d.folder.toStdString(), window.app.GraphFilePath);
        AnimationChoice c;
        c.description = {AnimationMotion::Time, 64, 50, 160, 120};
        c.format = AnimationFormat::WebP;
        c.path = path;
        return c;
    };
    CountingProgress progress;
    const auto result = commands::SpeedButtonExportAnimationOnClick(window, ask, progress);
    ASSERT_TRUE(asked);
    ASSERT_TRUE(result.has_value());
    EXPECT_TRUE(result->ok()) << result->error.toStdString();
    EXPECT_EQ(progress.started, 64);
    EXPECT_EQ(progress.steps.back(), 64);
    EXPECT_TRUE(progress.finished);
    EXPECT_TRUE(contents(path).startsWith("RIFF"));
    EXPECT_TRUE(window.errors.empty());
    EXPECT_EQ(window.state(), commands::TOutputState::Idle);
    // The scene the window shows is where it was.
    EXPECT_EQ(s.Params.TimeStep, 77);
    EXPECT_EQ(s.Params.Azimuth, before.Params.Azimuth);
    EXPECT_EQ(s.Pix.ReferenceRectPix, before.Pix.ReferenceRectPix);
}

TEST(ExportAnimationCommand, ACancelHalfwayLeavesTheOldFileAndNoMessage)
{
    QTemporaryDir folder;
    TestScene t(160, 120);
    FakeWindow window(t.s());
    const QString path = folder.filePath(QStringLiteral("period.gif"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the old animation");
    }
    const auto ask = [&](const commands::AnimationDefaults&) -> std::optional<AnimationChoice> {
        AnimationChoice c;
        c.description = {AnimationMotion::Time, 64, 50, 160, 120};
        c.path = path;
        return c;
    };
    CountingProgress progress(32);
    const auto result = commands::SpeedButtonExportAnimationOnClick(window, ask, progress);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->outcome, output::AnimationOutcome::Cancelled);
    EXPECT_EQ(progress.steps.back(), 32);
    EXPECT_EQ(contents(path), QByteArray("the old animation"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 1);
    EXPECT_TRUE(window.errors.empty());

    // Cancelling the dialog itself exports nothing.
    const auto cancel = [](const commands::AnimationDefaults&) -> std::optional<AnimationChoice> {
        return std::nullopt;
    };
    EXPECT_FALSE(commands::SpeedButtonExportAnimationOnClick(window, cancel, progress));
}

}  // namespace
