// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A full disk for a test: a tmpfs of 64 KiB mounted over a folder while the object lives, and
// filled up to a little room. Mounting needs root (the CI runs the tests as root); where it is
// not permitted, mounted() is false and the test skips.

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace testing_support {

class SmallTmpfs {
public:
    explicit SmallTmpfs(std::string folder) : m_folder(std::move(folder))
    {
        ::mkdir(m_folder.c_str(), 0755);
        m_mounted =
            ::mount("tmpfs", m_folder.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") == 0;
    }
    ~SmallTmpfs()
    {
        if (m_mounted) {
            ::umount2(m_folder.c_str(), MNT_DETACH);
        }
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    bool mounted() const { return m_mounted; }
    const std::string& folder() const { return m_folder; }
    std::string filler() const { return m_folder + "/filler"; }

    // Fills the disk with the file filler() until no more than `room` bytes are free.
    void fillBut(std::size_t room) const
    {
        const int fd = ::open(filler().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0) {
            return;
        }
        const std::vector<char> block(4096, 'f');
        off_t size = 0;
        while (::write(fd, block.data(), block.size()) == static_cast<ssize_t>(block.size())) {
            size += static_cast<off_t>(block.size());
        }
        const int truncated =
            ::ftruncate(fd, size > static_cast<off_t>(room) ? size - static_cast<off_t>(room) : 0);
        static_cast<void>(truncated);
        ::close(fd);
    }
    void emptyFiller() const { ::unlink(filler().c_str()); }

private:
    std::string m_folder;
    bool m_mounted = false;
};

}  // namespace testing_support
