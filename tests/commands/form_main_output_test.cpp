// SPDX-License-Identifier: GPL-3.0-or-later
// The main window with its output commands installed, driven by its keys and buttons.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

#include "app/output_wiring.h"
#include "commands_fixture.h"
#include "mainwindow/form_main.h"

namespace {

using namespace output_test;
using mainwindow::TFormMain;

platform::TPrinterDeviceValues a4(bool landscape)
{
    platform::TPrinterDeviceValues d;
    d.PHYSICALWIDTH = landscape ? 1169 : 827;
    d.PHYSICALHEIGHT = landscape ? 827 : 1169;
    d.HORZRES = d.PHYSICALWIDTH;
    d.VERTRES = d.PHYSICALHEIGHT;
    d.LOGPIXELSX = 100;
    d.LOGPIXELSY = 100;
    d.HORZSIZE = landscape ? 297 : 210;
    return d;
}

class FormMainOutputTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    std::unique_ptr<TFormMain> form;
    FakeClipboard clipboard;
    FakeSaveDialog saveDialog;
    FakeAlerts alerts;
    FakePrintDialogs printDialogs;
    FakePrinterDevice* device = nullptr;
    std::unique_ptr<platform::UnitPrinter> printer;
    std::unique_ptr<app::OutputWiring> wiring;

    void start(bool printerAvailable = true)
    {
        mainwindow::TFormMainEnvironment e;
        e.executablePath = QStringLiteral("/opt/bin/ondulix");
        e.printerAvailable = printerAvailable;
        settings::TSettingsData data =
            settings::defaultSettingsData(folder.path().toStdString() + "/");
        data.Printer.Orientation = 0;
        form = std::make_unique<TFormMain>(e, data);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        auto fake = std::make_unique<FakePrinterDevice>(a4(false), a4(true));
        device = fake.get();
        printer = std::make_unique<platform::UnitPrinter>(std::move(fake));
        wiring = std::make_unique<app::OutputWiring>(
            *form, app::OutputServices{clipboard, saveDialog, alerts, printDialogs}, *printer,
            1280);
    }
    void SetUp() override { start(); }
    void TearDown() override
    {
        wiring.reset();
        form.reset();
    }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        QWidget* target =
            QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : form.get();
        QKeyEvent down(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers);
        QApplication::sendEvent(target, &up);
    }
    QToolButton* saveButton() const { return form->control<QToolButton>("SpeedButtonSave"); }
};

TEST_F(FormMainOutputTest, CtrlSBeforeSaveAsBeepsAndCtrlUSavesAndEnablesSave)
{
    ASSERT_FALSE(saveButton()->isEnabled());
    press(Qt::Key_S);
    EXPECT_EQ(alerts.beeps, 1);

    const QString file = folder.filePath(QStringLiteral("lesson.bmp"));
    saveDialog.answer = platform::SaveDialogChoice{file, 2};
    press(Qt::Key_U);
    ASSERT_EQ(saveDialog.requests.size(), 1u);
    // The proposed name is the documents folder and the default name of the language.
    EXPECT_EQ(saveDialog.requests.front().fileName, folder.path() + QStringLiteral("/NoName"));
    EXPECT_TRUE(alerts.errors.empty());
    EXPECT_TRUE(saveButton()->isEnabled());
    EXPECT_EQ(form->programState(), mainwindow::TProgramState::Idle);
    EXPECT_EQ(form->graphFileName(), file.toStdString());
    const settings::TSettingsData written = form->currentSettings();
    EXPECT_EQ(written.App.GraphFilePath, folder.path().toStdString() + "/");
    EXPECT_EQ(written.App.GraphFileType, 2);

    QFile::remove(file);
    saveButton()->click();
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(saveDialog.requests.size(), 1u);
    EXPECT_EQ(alerts.beeps, 1);
}

TEST_F(FormMainOutputTest, CtrlCAndTheCopyButtonFillTheClipboard)
{
    press(Qt::Key_C);
    ASSERT_NE(clipboard.content, nullptr);
    EXPECT_TRUE(clipboard.content->hasImage());
    clipboard.content.reset();
    form->control<QToolButton>("SpeedButtonCopy")->click();
    ASSERT_NE(clipboard.content, nullptr);
    EXPECT_TRUE(clipboard.content->hasFormat(QStringLiteral("image/emf")));
    EXPECT_EQ(form->programState(), mainwindow::TProgramState::Idle);
}

TEST_F(FormMainOutputTest, CtrlPPrintsAndTheOrientationChosenIsWrittenAtClose)
{
    // Start-up asked for the page size of the stored orientation.
    EXPECT_EQ(printer->pageWidthMm(), 210);
    printDialogs.chooseOrientation = 1;
    press(Qt::Key_P);
    EXPECT_EQ(printDialogs.shown, 1);
    EXPECT_EQ(device->jobs, 1);
    EXPECT_EQ(device->page.size(), QSize(1169, 827));
    EXPECT_EQ(printer->pageWidthMm(), 297);
    EXPECT_EQ(form->currentSettings().Printer.Orientation, 1);
    EXPECT_EQ(form->programState(), mainwindow::TProgramState::Idle);
}

TEST_F(FormMainOutputTest, WithoutAPrinterCtrlPDoesNothing)
{
    wiring.reset();
    form.reset();
    start(false);
    press(Qt::Key_P);
    EXPECT_EQ(printDialogs.shown, 0);
    EXPECT_EQ(device->jobs, 0);
}

}  // namespace
