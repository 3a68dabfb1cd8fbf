// SPDX-License-Identifier: GPL-3.0-or-later
// SaveDialog as the user meets it: Qt's file dialog set up from the request, whose file name
// follows the type the user picks.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "output/export_formats.h"
#include "platform/qt_services.h"
#include "platform/services.h"

namespace {

platform::SaveDialogRequest request(const QString& folder, const QString& name, int type)
{
    platform::SaveDialogRequest r;
    r.title = QStringLiteral("Save graphic to file");
    r.folder = folder + QStringLiteral("/");
    r.fileName = folder + QStringLiteral("/") + name;
    for (const auto& exporter : output::graphicExporters()) {
        r.filters.append(exporter->filter());
        r.extensions.append(exporter->extension());
    }
    r.type = type;
    return r;
}

class SaveDialogTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QFileDialog dialog;

    void open(const QString& name, int type)
    {
        platform::prepareSaveDialog(dialog, request(folder.path(), name, type));
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    QString typedName() const
    {
        return dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
    }
    // The user picks type k in the type box, with the keyboard as with the mouse.
    void pickType(int type)
    {
        auto* box = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(box, nullptr);
        box->setFocus();
        while (box->currentIndex() < type - 1) {
            QTest::keyClick(box, Qt::Key_Down);
        }
        while (box->currentIndex() > type - 1) {
            QTest::keyClick(box, Qt::Key_Up);
        }
    }
};

TEST_F(SaveDialogTest, OpensInTheFolderWithTheProposedNameAndType)
{
    open(QStringLiteral("NoName"), 2);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Save graphic to file"));
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_FALSE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_TRUE(dialog.isSizeGripEnabled());
    EXPECT_EQ(dialog.directory().absolutePath(), QDir(folder.path()).absolutePath());
    EXPECT_EQ(typedName(), QStringLiteral("NoName"));
    EXPECT_EQ(dialog.selectedNameFilter(), QStringLiteral("Bitmap (*.bmp)"));
    EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("bmp"));
    EXPECT_EQ(platform::chosenType(dialog, request(folder.path(), {}, 2)), 2);
}

TEST_F(SaveDialogTest, PickingATypeGivesTheNameItsExtension)
{
    open(QStringLiteral("NoName"), 1);
    const platform::SaveDialogRequest r = request(folder.path(), {}, 1);
    struct Step {
        int type;
        const char* name;
    };
    for (const Step& step : {Step{2, "NoName.bmp"}, Step{5, "NoName.pdf"}, Step{3, "NoName.svg"},
                             Step{1, "NoName.emf"}, Step{4, "NoName.png"}}) {
        pickType(step.type);
        EXPECT_EQ(typedName(), QString::fromLatin1(step.name)) << "type " << step.type;
        EXPECT_EQ(platform::chosenType(dialog, r), step.type);
        EXPECT_EQ(dialog.defaultSuffix(), r.extensions.at(step.type - 1));
    }
}

TEST_F(SaveDialogTest, ATypedNameKeepsAllButItsExtension)
{
    open(QStringLiteral("NoName"), 1);
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("wave.v2.emf"));
    pickType(2);
    EXPECT_EQ(typedName(), QStringLiteral("wave.v2.bmp"));
}

struct ExtensionRow {
    const char* fileName;
    const char* extension;
    const char* expected;
};

class ChangeExtension : public ::testing::TestWithParam<ExtensionRow> {};

TEST_P(ChangeExtension, ReplacesOrAppendsTheExtensionOnly)
{
    const ExtensionRow& row = GetParam();
    EXPECT_EQ(platform::changeExtension(QString::fromUtf8(row.fileName),
                                        QString::fromLatin1(row.extension)),
              QString::fromUtf8(row.expected));
}

INSTANTIATE_TEST_SUITE_P(Rows, ChangeExtension,
                         ::testing::Values(ExtensionRow{"NoName", "emf", "NoName.emf"},
                                           ExtensionRow{"figure.emf", "bmp", "figure.bmp"},
                                           ExtensionRow{"wave.2.emf", "svg", "wave.2.svg"},
                                           ExtensionRow{"/home/a.b/Unbenannt", "bmp",
                                                        "/home/a.b/Unbenannt.bmp"},
                                           ExtensionRow{".hidden", "png", ".hidden.png"},
                                           ExtensionRow{"trailing.", "pdf", "trailing.pdf"},
                                           ExtensionRow{"Grafik ä.bmp", "emf", "Grafik ä.emf"}));

}  // namespace
