#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "settings/settings_io.h"

namespace {

namespace fs = std::filesystem;

class SettingsIo : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() /
                   ("ondulix-io-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }

    static std::string contents(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void put(const fs::path& path, const std::string& bytes)
    {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    // Only the named files: no temporary file may stay behind.
    std::size_t entries() const
    {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()));
    }

    fs::path m_folder;
};

TEST_F(SettingsIo, AMissingFileReadsAsEmptyAndIsNoError)
{
    const settings::TFileContent c = settings::readWholeFile((m_folder / "none.ini").string());
    EXPECT_FALSE(c.Exists);
    EXPECT_TRUE(c.Result.Ok);
    EXPECT_TRUE(c.Bytes.empty());
}

TEST_F(SettingsIo, AFileThatCannotBeReadIsReported)
{
    const settings::TFileContent c = settings::readWholeFile(m_folder.string());  // a folder
    EXPECT_FALSE(c.Result.Ok);
    EXPECT_NE(c.Result.Error.find(m_folder.string()), std::string::npos) << c.Result.Error;
}

TEST_F(SettingsIo, WriteReplacesTheFileAndKeepsItsPermissions)
{
    const fs::path file = m_folder / "Ondulix.ini";
    put(file, "old contents that are longer than the new ones");
    ::chmod(file.c_str(), 0640);
    const settings::TFileResult r = settings::writeFileAtomically(file.string(), "new\r\n");
    ASSERT_TRUE(r.Ok) << r.Error;
    EXPECT_EQ(contents(file), "new\r\n");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SettingsIo, WriteThroughASymbolicLinkKeepsTheLink)
{
    const fs::path real = m_folder / "real.ini";
    const fs::path link = m_folder / "link.ini";
    put(real, "old");
    fs::create_symlink(real, link);
    ASSERT_TRUE(settings::writeFileAtomically(link.string(), "new").Ok);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(contents(real), "new");
}

TEST_F(SettingsIo, AFailedWriteReportsWhyAndLeavesNothingBehind)
{
    struct Row {
        fs::path target;
        const char* reason;
    };
    fs::create_directories(m_folder / "a folder.ini");
    const Row rows[] = {
        {m_folder / "missing folder" / "x.ini", "No such file or directory"},
        {m_folder / "a folder.ini", "Is a directory"},
    };
    for (const Row& row : rows) {
        const settings::TFileResult r = settings::writeFileAtomically(row.target.string(), "x");
        EXPECT_FALSE(r.Ok);
        EXPECT_NE(r.Error.find(row.target.string()), std::string::npos) << r.Error;
        EXPECT_NE(r.Error.find(row.reason), std::string::npos) << r.Error;
    }
    EXPECT_EQ(entries(), 1u);
}

// A full disk, imitated with a file-size limit: the old file must stay as it was.
TEST_F(SettingsIo, AWriteThatRunsOutOfSpaceKeepsTheOldFile)
{
    const fs::path file = m_folder / "Ondulix.ini";
    put(file, "[General]\r\nSaveSettings=1\r\n");
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const settings::TFileResult r =
        settings::writeFileAtomically(file.string(), std::string(1000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(r.Ok);
    EXPECT_NE(r.Error.find("File too large"), std::string::npos) << r.Error;
    EXPECT_EQ(contents(file), "[General]\r\nSaveSettings=1\r\n");
    EXPECT_EQ(entries(), 1u);
}

}  // namespace
