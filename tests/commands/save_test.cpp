// SPDX-License-Identifier: GPL-3.0-or-later
// Save As and Save: the chosen type decides the content, the name only where it goes; a failed
// save leaves the file that was there.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <csignal>
#include <functional>

#include "../tools/small_tmpfs.h"
#include "commands/graphic_export.h"
#include "commands_fixture.h"
#include "output/export_formats.h"
#include "output/export_pictures.h"

namespace {

using namespace output_test;
using commands::TOutputState;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Page width and height in points as poppler's pdfinfo reads them.
QSizeF pdfPageSize(const QString& path)
{
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {path});
    if (!pdfinfo.waitForFinished(30000)) {
        return {};
    }
    const QString text = QString::fromUtf8(pdfinfo.readAllStandardOutput());
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Page size:\\s+([0-9.]+) x ([0-9.]+) pts")).match(text);
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

struct Saved {
    QByteArray bytes;
    QString path;
    const output::ExportPictures& pictures;
};

struct TypeRow {
    const char* name;
    int type;
    const char* fileName;
    std::function<void(const Saved&)> check;
};

void isEmf(const Saved& f)
{
    ASSERT_GT(f.bytes.size(), 88);
    EXPECT_EQ(le32(f.bytes, 0), 1);
    EXPECT_EQ(f.bytes.mid(40, 4), QByteArray(" EMF"));
    EXPECT_EQ(le32(f.bytes, 16), f.pictures.vectorSize().width - 1);
    EXPECT_EQ(le32(f.bytes, 32), f.pictures.vectorSize().frameWidth - 1);
}

void isBitmap(const Saved& f, const char* magic, const char* format)
{
    EXPECT_TRUE(f.bytes.startsWith(magic));
    const QImage image = QImage::fromData(f.bytes, format);
    EXPECT_EQ(image.size(), f.pictures.bitmap().size());
    EXPECT_TRUE(image.convertToFormat(QImage::Format_RGB32) == f.pictures.bitmap());
}

void isSvg(const Saved& f)
{
    EXPECT_TRUE(f.bytes.contains("<svg"));
    const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("width=\"([0-9.]+)mm\""))
                                          .match(QString::fromUtf8(f.bytes));
    ASSERT_TRUE(m.hasMatch());
    // The true size of the drawing, not the metafile's frame.
    EXPECT_NEAR(m.captured(1).toDouble(), f.pictures.vectorSize().widthMm, 0.01);
}

void isPdf(const Saved& f)
{
    EXPECT_TRUE(f.bytes.startsWith("%PDF-"));
    const QSizeF page = pdfPageSize(f.path);
    const output::VectorPictureSize& v = f.pictures.vectorSize();
    // The true size of the drawing, to a hundredth of a millimetre.
    EXPECT_NEAR(page.width() / 72.0 * 25.4, v.widthMm, 0.01);
    EXPECT_NEAR(page.height() / 72.0 * 25.4, v.heightMm, 0.01);
}

class SaveTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    TestScene scene{800, 600, [](scene::SceneState& s) { s.ScaleDenominator = 80; }};
    FakeWindow window{scene.s()};
    FakeClipboard clipboard;
    FakeSaveDialog dialog;
    FakeAlerts alerts;
    commands::GraphicExport commands{window, clipboard, dialog, alerts, 1280};

    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    void choose(const QString& file, int type)
    {
        dialog.answer = platform::SaveDialogChoice{file, type};
    }
};

class SaveAsEachType : public SaveTest, public ::testing::WithParamInterface<TypeRow> {};

TEST_P(SaveAsEachType, WritesTheContentOfTheChosenType)
{
    const TypeRow& row = GetParam();
    choose(path(row.fileName), row.type);
    commands.SpeedButtonSaveAsOnClick();

    ASSERT_TRUE(window.errors.empty()) << window.errors.front().toStdString();
    const output::ExportPictures pictures(scene.s(), 1280);
    row.check(Saved{readAll(path(row.fileName)), path(row.fileName), pictures});
    EXPECT_EQ(window.fileName, path(row.fileName).toStdString());
    EXPECT_EQ(window.app.GraphFilePath, QDir(folder.path()).absolutePath().toStdString() + "/");
    EXPECT_EQ(window.app.GraphFileType, row.type);
    EXPECT_TRUE(window.saveButton);
    EXPECT_EQ(window.states, (std::vector{TOutputState::Saving, TOutputState::Copying,
                                          TOutputState::Idle, TOutputState::Idle}));
    EXPECT_EQ(clipboard.content, nullptr);
    // Nothing but the picture in the folder: no temporary file stays behind.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files),
              QStringList{QString::fromLatin1(row.fileName)});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SaveAsEachType,
    ::testing::Values(
        TypeRow{"EnhancedMetafile", 1, "figure.emf", isEmf},
        // The name's extension is not consulted.
        TypeRow{"BitmapNamedEmf", 2, "figure.emf",
                [](const Saved& f) { isBitmap(f, "BM", "BMP"); }},
        TypeRow{"Bitmap", 2, "figure.bmp", [](const Saved& f) { isBitmap(f, "BM", "BMP"); }},
        TypeRow{"Svg", 3, "figure.svg", isSvg},
        TypeRow{"Png", 4, "figure.png", [](const Saved& f) { isBitmap(f, "\x89PNG", "PNG"); }},
        TypeRow{"Pdf", 5, "figure.pdf", isPdf}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SaveTest, TheDialogOpensWithTheSettingsAndTheNameOfTheDrawing)
{
    window.app.GraphFilePath = folder.path().toStdString() + "/";
    window.app.GraphFileType = 2;
    window.app.Language = common::TLanguage::German;
    window.fileName = folder.path().toStdString() + "/Unbenannt";
    dialog.answer.reset();
    commands.SpeedButtonSaveAsOnClick();
    ASSERT_EQ(dialog.requests.size(), 1u);
    const platform::SaveDialogRequest& r = dialog.requests.front();
    EXPECT_EQ(r.title, QStringLiteral("Grafik-Datei speichern"));
    EXPECT_EQ(r.folder, folder.path() + QStringLiteral("/"));
    EXPECT_EQ(r.fileName, folder.path() + QStringLiteral("/Unbenannt"));
    EXPECT_EQ(r.type, 2);
    EXPECT_EQ(r.filters, (QStringList{QStringLiteral("Enhanced Metafile (*.emf)"),
                                      QStringLiteral("Bitmap (*.bmp)"),
                                      QStringLiteral("Scalable Vector Graphics (*.svg)"),
                                      QStringLiteral("Portable Network Graphics (*.png)"),
                                      QStringLiteral("Portable Document Format (*.pdf)")}));
    EXPECT_EQ(r.extensions,
              (QStringList{QStringLiteral("emf"), QStringLiteral("bmp"), QStringLiteral("svg"),
                           QStringLiteral("png"), QStringLiteral("pdf")}));
}

TEST_F(SaveTest, AStoredTypeThatIsNoneOfTheListOpensTheDialogOnTheFirst)
{
    window.app.GraphFileType = 9;
    commands.SpeedButtonSaveAsOnClick();
    ASSERT_EQ(dialog.requests.size(), 1u);
    EXPECT_EQ(dialog.requests.front().type, 1);
}

TEST_F(SaveTest, ACancelledDialogChangesNothing)
{
    const common::TAppSettings before = window.app;
    dialog.answer.reset();
    commands.SpeedButtonSaveAsOnClick();
    EXPECT_EQ(window.fileName, "/nowhere/NoName");
    EXPECT_EQ(window.app.GraphFilePath, before.GraphFilePath);
    EXPECT_EQ(window.app.GraphFileType, before.GraphFileType);
    EXPECT_FALSE(window.saveButton);
    EXPECT_EQ(window.states, (std::vector{TOutputState::Saving, TOutputState::Idle}));
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(SaveTest, SaveBeforeAnySaveAsOnlyBeeps)
{
    commands.SpeedButtonSaveOnClick();
    EXPECT_EQ(alerts.beeps, 1);
    EXPECT_TRUE(window.states.empty());
    EXPECT_TRUE(dialog.requests.empty());
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/nowhere/NoName")));
}

TEST_F(SaveTest, SaveWritesTheSameFileAgainInTheSameTypeWithoutADialog)
{
    choose(path("figure.emf"), 2);
    commands.SpeedButtonSaveAsOnClick();
    const QByteArray first = readAll(path("figure.emf"));
    ASSERT_TRUE(first.startsWith("BM"));

    // The drawing changes: half the scale, so a picture of another size.
    scene.s().ScaleDenominator = 40;
    scene.redraw();
    commands.SpeedButtonSaveOnClick();

    EXPECT_EQ(dialog.requests.size(), 1u);
    EXPECT_EQ(alerts.beeps, 0);
    const QByteArray second = readAll(path("figure.emf"));
    EXPECT_TRUE(second.startsWith("BM"));
    const output::ExportPictures now(scene.s(), 1280);
    EXPECT_EQ(QImage::fromData(second, "BMP").size(), now.bitmap().size());
    EXPECT_NE(second.size(), first.size());
    EXPECT_EQ(window.state(), TOutputState::Idle);
}

TEST_F(SaveTest, IntoAFolderThatIsGoneShowsTheErrorAndKeepsSaveDisabled)
{
    const QString file = path("gone/figure.emf");
    choose(file, 1);
    commands.SpeedButtonSaveAsOnClick();
    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_TRUE(window.errors.front().contains(file)) << window.errors.front().toStdString();
    EXPECT_FALSE(window.saveButton);
    EXPECT_EQ(window.state(), TOutputState::Idle);
    EXPECT_FALSE(QFileInfo::exists(file));
}

// Files may grow to `bytes` only while it lives; writing beyond fails as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

TEST_F(SaveTest, AFailedSaveLeavesTheExistingFileAsItWas)
{
    const QString file = path("figure.bmp");
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the picture of last week");
    }
    choose(file, 2);
    {
        // The bitmap is some hundred kilobytes; 4 KiB is not enough for it.
        const FileSizeLimit full(4096);
        commands.SpeedButtonSaveAsOnClick();
    }
    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_EQ(readAll(file), QByteArray("the picture of last week"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("figure.bmp")});
    EXPECT_FALSE(window.saveButton);
    EXPECT_EQ(window.state(), TOutputState::Idle);

    // With room again the same command writes it.
    commands.SpeedButtonSaveAsOnClick();
    EXPECT_TRUE(readAll(file).startsWith("BM"));
    EXPECT_TRUE(window.saveButton);
}

TEST_F(SaveTest, AFullDiskShowsTheSystemsReasonAndLeavesTheOldFileInEveryType)
{
    const testing_support::SmallTmpfs disk(path("disk").toStdString());
    if (!disk.mounted()) {
        GTEST_SKIP() << "mounting a tmpfs needs root, as the CI has";
    }
    const QString file = QString::fromStdString(disk.folder()) + QStringLiteral("/figure");
    for (int type = 1; type <= 5; ++type) {
        {
            QFile old(file);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("the picture of last week");
        }
        // Room for a few kilobytes; each of the pictures is larger.
        disk.fillBut(4096);
        window.errors.clear();
        choose(file, type);
        commands.SpeedButtonSaveAsOnClick();
        ASSERT_EQ(window.errors.size(), 1u) << type;
        EXPECT_TRUE(window.errors.front().endsWith(QStringLiteral(": No space left on device")))
            << window.errors.front().toStdString();
        EXPECT_EQ(readAll(file), QByteArray("the picture of last week")) << type;
        EXPECT_EQ(QDir(QString::fromStdString(disk.folder())).entryList(QDir::Files | QDir::Hidden),
                  (QStringList{QStringLiteral("figure"), QStringLiteral("filler")}))
            << type;
        EXPECT_FALSE(window.saveButton) << type;
        disk.emptyFiller();
    }
}

TEST_F(SaveTest, APictureTooSmallForAPdfPageIsNotWritten)
{
    // At 1 : 1000000 the drawing is a dot: a few hundredths of a millimetre, and a PDF page is
    // at least 3 points a side.
    scene.s().ScaleDenominator = 1000000;
    scene.redraw();
    const QString file = path("dot.pdf");
    for (const auto language : {common::TLanguage::English, common::TLanguage::German}) {
        window.app.Language = language;
        window.errors.clear();
        choose(file, 5);
        commands.SpeedButtonSaveAsOnClick();
        ASSERT_EQ(window.errors.size(), 1u);
        const QString expected = language == common::TLanguage::German
                                     ? QStringLiteral("lässt sich in PDF nicht angeben")
                                     : QStringLiteral("cannot be stated in PDF");
        EXPECT_TRUE(window.errors.front().contains(expected))
            << window.errors.front().toStdString();
        EXPECT_TRUE(window.errors.front().contains(file));
        EXPECT_FALSE(QFileInfo::exists(file));
        EXPECT_FALSE(window.saveButton);
    }
    // The same picture as an SVG states its size.
    choose(path("dot.svg"), 3);
    commands.SpeedButtonSaveAsOnClick();
    EXPECT_TRUE(QFileInfo::exists(path("dot.svg")));
}

}  // namespace
