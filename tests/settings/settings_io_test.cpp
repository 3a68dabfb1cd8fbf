// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
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

    // A device node of the test's own, never one of the system's: a fault would replace it.
    bool makeNode(const fs::path& path, mode_t kind, unsigned major, unsigned minor) const
    {
        return ::mknod(path.c_str(), kind | 0666, makedev(major, minor)) == 0;
    }
    static mode_t kindOf(const fs::path& path)
    {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
    }

    fs::path m_folder;
};

// A FIFO without a writer must not make the test wait for ever.
class Deadline {
public:
    Deadline() { ::alarm(20); }
    ~Deadline() { ::alarm(0); }
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

// Only a regular file of a sane size is read: a FIFO would wait for a writer, a device like a
// zero device never ends, a huge file would be taken into memory whole.
TEST_F(SettingsIo, WhatIsNoRegularFileOfASaneSizeIsNotRead)
{
    const Deadline deadline;
    ASSERT_EQ(::mkfifo((m_folder / "fifo.ini").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", m_folder / "null.ini");  // only read, never written here
    fs::create_directories(m_folder / "folder.ini");
    {
        std::ofstream(m_folder / "huge.ini");
        std::ofstream(m_folder / "largest.ini");
    }
    fs::resize_file(m_folder / "huge.ini", settings::MaxReadFileSize + 1);
    fs::resize_file(m_folder / "largest.ini", settings::MaxReadFileSize);
    struct Row {
        const char* name;
        const char* reason;  // empty: read
        const char* germanReason;
    };
    const Row rows[] = {
        {"fifo.ini", "it is a FIFO, not a regular file", "sie ist eine FIFO"},
        {"null.ini", "it is a character device, not a regular file", "zeichenorientiertes Gerät"},
        {"folder.ini", "Is a directory", "Is a directory"},
        {"huge.ini", "it is larger than 16 MiB", "sie ist größer als 16 MiB"},
        {"largest.ini", "", ""},
    };
    for (const Row& row : rows) {
        const std::string path = (m_folder / row.name).string();
        const settings::TFileContent c = settings::readWholeFile(path);
        EXPECT_TRUE(c.Exists) << row.name;
        if (*row.reason == '\0') {
            EXPECT_TRUE(c.Result.Ok) << c.Result.Error;
            EXPECT_EQ(c.Bytes.size(), settings::MaxReadFileSize);
            continue;
        }
        EXPECT_FALSE(c.Result.Ok) << row.name;
        EXPECT_TRUE(c.Bytes.empty()) << row.name;
        EXPECT_EQ(c.Result.Reason, row.reason);
        EXPECT_EQ(c.Result.Error, "Cannot read the file \"" + path + "\": " + row.reason);
        EXPECT_NE(c.Result.GermanError.find("„" + path + "“ kann nicht gelesen werden"),
                  std::string::npos)
            << c.Result.GermanError;
        EXPECT_NE(c.Result.GermanError.find(row.germanReason), std::string::npos)
            << c.Result.GermanError;
    }
}

// Only a regular file is replaced; a device takes the bytes, a FIFO without a reader is refused
// at once, and the node stays what it was. Device nodes need root.
TEST_F(SettingsIo, WritingThroughALinkToANodeKeepsTheNode)
{
    const Deadline deadline;
    struct Row {
        const char* name;
        mode_t kind;
        unsigned major, minor;  // the null and full devices; 240 is for local use, unassigned
        const char* reason;     // empty: written
    };
    const Row rows[] = {
        {"null", S_IFCHR, 1, 3, ""},
        {"full", S_IFCHR, 1, 7, "No space left on device"},
        {"block", S_IFBLK, 240, 0, "it is a block device, not a regular file"},
        {"fifo", S_IFIFO, 0, 0, "it is a FIFO that no process reads"},
    };
    std::size_t made = 0;
    for (const Row& row : rows) {
        const fs::path node = m_folder / row.name;
        if (!makeNode(node, row.kind, row.major, row.minor)) {
            std::printf("skipped %s: %s\n", row.name, std::strerror(errno));
            continue;
        }
        ++made;
        const fs::path link = m_folder / (std::string(row.name) + ".ini");
        fs::create_symlink(node, link);
        const settings::TFileResult r =
            settings::writeFileAtomically(link.string(), "[General]\r\n");
        EXPECT_EQ(r.Ok, *row.reason == '\0') << row.name << ": " << r.Error;
        EXPECT_EQ(r.Reason, row.reason) << row.name;
        if (!r.Ok) {
            EXPECT_NE(r.Error.find(link.string()), std::string::npos) << r.Error;
        }
        EXPECT_EQ(kindOf(node), row.kind) << row.name;
        EXPECT_TRUE(fs::is_symlink(link)) << row.name;
    }
    EXPECT_EQ(entries(), 2 * made) << "a temporary file was left behind";
    if (made < std::size(rows)) {
        GTEST_SKIP() << "device nodes need root";
    }
}

TEST_F(SettingsIo, AFifoWithAReaderGetsTheBytes)
{
    const Deadline deadline;
    const fs::path fifo = m_folder / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const settings::TFileResult r = settings::writeFileAtomically(fifo.string(), "bytes");
    EXPECT_TRUE(r.Ok) << r.Error;
    char buffer[16] = {};
    EXPECT_EQ(::read(reader, buffer, sizeof buffer), 5);
    EXPECT_STREQ(buffer, "bytes");
    ::close(reader);
    EXPECT_EQ(kindOf(fifo), static_cast<mode_t>(S_IFIFO));
}

// A killed write leaves ".<name>.tmp-<pid>-<n>"; only such files of this settings file whose
// writer has gone are removed at the next start.
TEST_F(SettingsIo, OnlyLeftoversOfWritersThatAreGoneAreRemoved)
{
    const pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ASSERT_GT(gone, 0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const std::string dead = std::to_string(gone);
    const std::string alive = std::to_string(::getpid());

    const fs::path real = m_folder / "real";
    fs::create_directories(real);
    put(real / "Ondulix.ini", "[General]\r\n");
    fs::create_symlink(real / "Ondulix.ini", m_folder / "link.ini");
    struct Row {
        std::string name;
        bool removed;
    };
    const Row rows[] = {
        {".Ondulix.ini.tmp-" + dead + "-0", true},
        {".Ondulix.ini.tmp-" + dead + "-17", true},
        {".Ondulix.ini.tmp-" + alive + "-0", false},  // a write in progress
        {".Ondulix.ini.tmp-" + dead + "-0.bak", false},
        {".Ondulix.ini.tmp--0", false},
        {".Ondulix.ini.tmp-0" + dead + "-0", false},
        {".Other.ini.tmp-" + dead + "-0", false},
        {"Ondulix.ini.tmp-" + dead + "-0", false},
        {".link.ini.tmp-" + dead + "-0", false},  // the link's folder is not where writes go
    };
    for (const Row& row : rows) {
        put(real / row.name, "x");
    }
    fs::create_directories(real / (".Ondulix.ini.tmp-" + dead + "-1"));

    EXPECT_EQ(settings::removeLeftoverTemporaryFiles((m_folder / "link.ini").string()), 2u);
    for (const Row& row : rows) {
        EXPECT_EQ(fs::exists(real / row.name), !row.removed) << row.name;
    }
    EXPECT_TRUE(fs::is_directory(real / (".Ondulix.ini.tmp-" + dead + "-1")));
    EXPECT_EQ(settings::removeLeftoverTemporaryFiles((real / "missing" / "x.ini").string()), 0u);
}

}  // namespace

// A file written piece by piece: the target keeps its old bytes until commit, and a writer that
// is abandoned, or whose writes failed, leaves the folder as it was.
TEST_F(SettingsIo, AStreamedFileReplacesTheTargetOnlyWhenCommitted)
{
    const fs::path file = m_folder / "film.gif";
    put(file, "last week's film");
    ::chmod(file.c_str(), 0640);
    enum class End { Commit, Discard, Abandon };
    struct Row {
        const char* name;
        End end;
        const char* expected;
    };
    const Row rows[] = {
        {"discard", End::Discard, "last week's film"},
        {"abandon", End::Abandon, "last week's film"},
        {"commit", End::Commit, "GIF89a;"},
    };
    for (const Row& row : rows) {
        {
            settings::TAtomicFileWriter writer;
            ASSERT_TRUE(writer.open(file.string()).Ok) << row.name;
            ASSERT_TRUE(writer.write("GIF89a").Ok) << row.name;
            ASSERT_TRUE(writer.write(";").Ok) << row.name;
            EXPECT_EQ(contents(file), "last week's film") << row.name;
            EXPECT_EQ(contents(writer.temporaryPath()), "GIF89a;") << row.name;
            EXPECT_EQ(entries(), 2u) << row.name;
            if (row.end == End::Commit) {
                const settings::TFileResult r = writer.commit();
                EXPECT_TRUE(r.Ok) << r.Error;
            } else if (row.end == End::Discard) {
                writer.discard();
            }
        }
        EXPECT_EQ(contents(file), row.expected) << row.name;
        EXPECT_EQ(entries(), 1u) << row.name;
    }
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(SettingsIo, AStreamedWriteThatRunsOutOfSpaceFailsAtCommitAndKeepsTheOldFile)
{
    const fs::path file = m_folder / "film.mp4";
    put(file, "old");
    settings::TAtomicFileWriter writer;
    ASSERT_TRUE(writer.open(file.string()).Ok);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const settings::TFileResult first = writer.write(std::string(1000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(first.Ok);
    EXPECT_EQ(first.SystemError, EFBIG);
    EXPECT_NE(first.Error.find(file.string()), std::string::npos) << first.Error;
    // The failure sticks, though the next piece would fit.
    EXPECT_FALSE(writer.write("y").Ok);
    EXPECT_EQ(writer.status().SystemError, EFBIG);
    const settings::TFileResult r = writer.commit();
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Reason, "File too large");
    EXPECT_EQ(contents(file), "old");
    EXPECT_EQ(entries(), 1u);
}

// A stream cannot be poured into a node and taken back: only a regular file is replaced.
TEST_F(SettingsIo, AStreamedFileRefusesWhatIsNoRegularFile)
{
    const Deadline deadline;
    ASSERT_EQ(::mkfifo((m_folder / "fifo.webp").c_str(), 0600), 0);
    fs::create_directories(m_folder / "folder.webp");
    struct Row {
        const char* name;
        const char* reason;
        int systemError;
    };
    const Row rows[] = {
        {"fifo.webp", "it is a FIFO, not a regular file", 0},
        {"folder.webp", "Is a directory", EISDIR},
        {"missing/a.webp", "No such file or directory", ENOENT},
    };
    for (const Row& row : rows) {
        settings::TAtomicFileWriter writer;
        const settings::TFileResult r = writer.open((m_folder / row.name).string());
        EXPECT_FALSE(r.Ok) << row.name;
        EXPECT_FALSE(writer.isOpen()) << row.name;
        EXPECT_EQ(r.Reason, row.reason) << row.name;
        EXPECT_EQ(r.SystemError, row.systemError) << row.name;
    }
    EXPECT_EQ(kindOf(m_folder / "fifo.webp"), static_cast<mode_t>(S_IFIFO));
    EXPECT_EQ(entries(), 2u);
}
