// SPDX-License-Identifier: GPL-3.0-or-later
// The screen width of a start: stored in the settings file, reported by the display, or assumed.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "app/screen_width.h"

namespace {

namespace fs = std::filesystem;
using mainwindow::TScreenWidthSource;

class ScreenWidthTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() /
                   ("ondulix-screen-width-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        m_file = (m_folder / "ondulix.ini").string();
    }
    void TearDown() override { fs::remove_all(m_folder); }

    settings::TSettingsRead readFile() const
    {
        return settings::ReadSettings(m_file, {"/home/u/", {1920, 1040}, {}});
    }

    fs::path m_folder;
    std::string m_file;
};

TEST_F(ScreenWidthTest, AStoredWidthWinsOverTheDisplaysOverTheDefault)
{
    struct Row {
        const char* file;  // null: no settings file
        std::optional<int> display;
        double width;
        TScreenWidthSource source;
    };
    const Row rows[] = {
        {nullptr, 345, 0.345, TScreenWidthSource::Display},
        {nullptr, std::nullopt, 0.3, TScreenWidthSource::Default},
        {"[General]\r\nScreenWidth=0.25\r\n", 345, 0.25, TScreenWidthSource::Stored},
        {"[General]\r\nScreenWidth=0.3\r\n", 345, 0.3, TScreenWidthSource::Stored},
        {"[General]\r\nScreenWidth=0.25\r\n", std::nullopt, 0.25, TScreenWidthSource::Stored},
        // Written with SaveSettings off: no width stored.
        {"[General]\r\nSaveSettings=0\r\n", 345, 0.345, TScreenWidthSource::Display},
        // Reported as unusable with 0.3 put in its place, which stays.
        {"[General]\r\nScreenWidth=wide\r\n", 345, 0.3, TScreenWidthSource::Default},
        {"[General]\r\nScreenWidth=0\r\n", 345, 0.3, TScreenWidthSource::Default},
    };
    for (const Row& row : rows) {
        const std::string name = row.file != nullptr ? row.file : "no file";
        fs::remove(m_file);
        if (row.file != nullptr) {
            std::ofstream(m_file, std::ios::binary) << row.file;
        }
        settings::TSettingsRead read = readFile();
        EXPECT_EQ(app::takeScreenWidth(read, row.display), row.source) << name;
        EXPECT_DOUBLE_EQ(read.Data.App.ScreenWidth, row.width) << name;
    }
}

TEST_F(ScreenWidthTest, TheFirstStartsDisplayWidthIsStoredAndThenWins)
{
    settings::TSettingsRead first = readFile();
    ASSERT_EQ(app::takeScreenWidth(first, 345), TScreenWidthSource::Display);
    ASSERT_TRUE(settings::WriteSettings(m_file, first.Data, {}).Ok);
    settings::TSettingsRead next = readFile();  // now on a display that reports otherwise
    EXPECT_EQ(app::takeScreenWidth(next, 600), TScreenWidthSource::Stored);
    EXPECT_DOUBLE_EQ(next.Data.App.ScreenWidth, 0.345);
}

}  // namespace
