#include "settings/settings_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace settings {

namespace {

std::string systemReason(int error) { return std::strerror(error); }

TFileResult failure(const std::string& what, const std::string& path, int error)
{
    return {false, what + " \"" + path + "\": " + systemReason(error)};
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor()
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int get() const { return m_fd; }
    // Closes now, so that a deferred write error is seen; returns 0 or an errno value.
    int close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

std::atomic<unsigned> temporaryCounter{0};

}  // namespace

TFileContent readWholeFile(const std::string& path)
{
    TFileContent content;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno != ENOENT) {
            content.Result = failure("Cannot read the file", path, errno);
        }
        return content;
    }
    content.Exists = true;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            content.Result = failure("Cannot read the file", path, errno);
            content.Bytes.clear();
            return content;
        }
        if (n == 0) {
            break;
        }
        content.Bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return content;
}

TFileResult writeFileAtomically(const std::string& path, std::string_view bytes)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(path);
    // Renaming over a symbolic link would replace the link; write where it points instead.
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) {
            target = resolved;
        }
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    struct stat old {};
    const bool hadFile = ::stat(target.c_str(), &old) == 0;
    if (hadFile && S_ISDIR(old.st_mode)) {
        return failure("Cannot write the file", path, EISDIR);
    }

    std::string temporary;
    int fdValue = -1;
    for (int attempt = 0; attempt < 100 && fdValue < 0; ++attempt) {
        temporary = (folder / ("." + target.filename().string() + ".tmp-" +
                               std::to_string(::getpid()) + "-" +
                               std::to_string(temporaryCounter.fetch_add(1))))
                        .string();
        fdValue = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fdValue < 0 && errno != EEXIST) {
            return failure("Cannot write the file", path, errno);
        }
    }
    if (fdValue < 0) {
        return failure("Cannot write the file", path, EEXIST);
    }
    FileDescriptor fd(fdValue);
    const auto discard = [&temporary](int error, const std::string& path) {
        ::unlink(temporary.c_str());
        return failure("Cannot write the file", path, error);
    };
    if (hadFile) {
        ::fchmod(fd.get(), old.st_mode & 07777);  // best effort: the umask mode is the fallback
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return discard(errno, path);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd.get()) != 0) {
        return discard(errno, path);
    }
    if (const int error = fd.close(); error != 0) {
        return discard(error, path);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return discard(errno, path);
    }
    // Make the rename itself durable; a failure here no longer endangers either file.
    FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
    return {};
}

}  // namespace settings
