// SPDX-License-Identifier: GPL-3.0-or-later
// How the program ends: after the main window's close, both writes are made, every failure is
// reported before the event loops end, and a signal ends it from under a modal window with the
// reports on standard error.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "app/program_end.h"
#include "mainwindow/form_main.h"
#include "settingsdialog/form_settings.h"

namespace {

class ProgramEndTest : public ::testing::Test {
public:
    QTemporaryDir folder;
    std::vector<std::string> events;  // what reached the user and the loops, in order
    std::unique_ptr<mainwindow::TFormMain> form;
    std::unique_ptr<settingsdialog::TFormSettings> dialog;
    std::unique_ptr<app::ProgramEnd> end;

    // settingsFile relative to the temporary folder.
    void start(const QString& settingsFile, app::ProgramEndServices services,
               bool hasArguments = false, bool saveSettings = true)
    {
        mainwindow::TFormMainEnvironment e;
        e.hasArguments = hasArguments;
        e.printerAvailable = false;
        e.executablePath = QStringLiteral("/opt/bin/ondulix");
        e.settingsFileName = folder.filePath(settingsFile).toStdString();
        settings::TSettingsData data = mainwindow::defaultFormMainSettings();
        data.App.SaveSettings = saveSettings;
        form = std::make_unique<mainwindow::TFormMain>(e, data);
        form->show();
        settingsdialog::TFormSettingsEnvironment dialogEnvironment;
        dialogEnvironment.printerAvailable = false;
        dialogEnvironment.stateFileName = e.settingsFileName;
        dialog =
            std::make_unique<settingsdialog::TFormSettings>(form->controller(), dialogEnvironment);
        services.quit = [this] { events.push_back("quit"); };
        end = std::make_unique<app::ProgramEnd>(*form, *dialog, std::move(services));
    }
    app::ProgramEndServices recording()
    {
        app::ProgramEndServices services;
        services.alert = [this](const QString& m) {
            events.push_back("alert: " + m.toStdString());
        };
        services.printError = [this](const QString& m) {
            events.push_back("stderr: " + m.toStdString());
        };
        services.closeModalWindows = [this] { events.push_back("modal windows closed"); };
        return services;
    }
    void TearDown() override
    {
        end.reset();
        dialog.reset();
        form.reset();
    }
};

TEST_F(ProgramEndTest, ReportsEveryFailedWriteOfACloseBeforeTheLoopsEnd)
{
    // A folder that cannot exist: a regular file stands where it would be, even for root.
    QFile blocker(folder.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    start(QStringLiteral("blocker/ondulix.ini"), recording());

    form->close();

    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].rfind("alert: ", 0), 0u) << events[0];  // the settings
    EXPECT_EQ(events[1].rfind("alert: ", 0), 0u) << events[1];  // the dialog's state
    EXPECT_NE(events[0].find("blocker/ondulix.ini"), std::string::npos) << events[0];
    EXPECT_EQ(events[2], "quit");
}

TEST_F(ProgramEndTest, ACloseWritesTheSettingsUnlessTheProgramWasStartedWithArguments)
{
    for (const bool arguments : {false, true}) {
        const QString name = arguments ? QStringLiteral("args.ini") : QStringLiteral("plain.ini");
        start(name, recording(), arguments);
        form->control<QSlider>("TrackBarAzimuth")->setValue(60);
        form->close();
        QFile file(folder.filePath(name));
        // The dialog's state goes there too, whatever the command line: only with arguments is
        // the window's part missing.
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << arguments;
        EXPECT_EQ(file.readAll().contains("Azimuth=60\r\n"), !arguments) << arguments;
        TearDown();
    }
}

TEST_F(ProgramEndTest, TheDialogsStateIsWrittenOnlyWithSaveSettings)
{
    for (const bool save : {true, false}) {
        const QString name = save ? QStringLiteral("save.ini") : QStringLiteral("nosave.ini");
        start(name, recording(), true, save);
        dialog->move(70, 50);
        form->close();
        QFile file(folder.filePath(name));
        const QByteArray text = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        EXPECT_EQ(text.contains("[FormSettings]\r\nLeft=70\r\nTop=50\r\n"), save) << text.data();
        TearDown();
    }
}

TEST_F(ProgramEndTest, AFailedWriteIsReportedInTheWindowsLanguage)
{
    QFile blocker(folder.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    start(QStringLiteral("blocker/ondulix.ini"), recording());
    form->setLanguage(common::TLanguage::German);
    form->close();
    ASSERT_EQ(events.size(), 3u);
    const settings::TFileResult failed = settings::writeFileAtomically(
        folder.filePath(QStringLiteral("blocker/x")).toStdString(), "");
    EXPECT_EQ(events[0].rfind("alert: ", 0), 0u);
    EXPECT_NE(events[0].find("Die Datei"), std::string::npos) << events[0];
    EXPECT_NE(events[0].find(failed.Reason), std::string::npos) << events[0];
}

TEST_F(ProgramEndTest, ASignalReportsOnStandardErrorAndASecondOneChangesNothing)
{
    QFile blocker(folder.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    start(QStringLiteral("blocker/ondulix.ini"), recording());

    end->endBySignal();
    end->endBySignal();

    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0], "modal windows closed");
    EXPECT_EQ(events[1].rfind("stderr: ", 0), 0u) << events[1];
    EXPECT_EQ(events[2].rfind("stderr: ", 0), 0u) << events[2];
    EXPECT_EQ(events[3], "quit");
    EXPECT_FALSE(form->isVisible());
}

TEST_F(ProgramEndTest, ASignalEndsAMessageBoxAndWritesTheSettings)
{
    start(QStringLiteral("ondulix.ini"), recording());
    end.reset();  // again, with the real modal windows
    app::ProgramEndServices services = app::ProgramEnd::desktopServices(*form);
    services.alert = [this](const QString& m) { events.push_back("alert: " + m.toStdString()); };
    services.quit = [this] { events.push_back("quit"); };
    end = std::make_unique<app::ProgramEnd>(*form, *dialog, std::move(services));

    bool boxReturned = false;
    QTimer::singleShot(0, form.get(), [this, &boxReturned] {
        QTimer::singleShot(50, form.get(), [this] { end->endBySignal(); });
        QMessageBox::warning(form.get(), QString(), QStringLiteral("start-up warning"));
        boxReturned = true;
    });
    QElapsedTimer clock;
    clock.start();
    while (!boxReturned && clock.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    EXPECT_TRUE(boxReturned);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("ondulix.ini"))));
    EXPECT_EQ(events, std::vector<std::string>{"quit"});
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
