// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_io.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <optional>

#include "common/texts.h"

namespace settings {

using common::messageText;
using common::TMessage;

namespace {

namespace fs = std::filesystem;
using common::TLanguage;

// A reason in both languages; the system's own reasons read the same in both.
struct TCause {
    std::string English;
    std::string German;
    int SystemError = 0;  // the errno value of a system's reason
};

TCause systemCause(int error)
{
    return {std::strerror(error), std::strerror(error), error};
}

TCause ownCause(TMessage message, std::initializer_list<std::string_view> values = {})
{
    return {messageText(message, TLanguage::English, values),
            messageText(message, TLanguage::German, values)};
}

TFileResult failure(TMessage what, const std::string& path, const TCause& cause)
{
    return {false, messageText(what, TLanguage::English, {path, cause.English}),
            messageText(what, TLanguage::German, {path, cause.German}), cause.English,
            cause.SystemError};
}

TFileResult failure(TMessage what, const std::string& path, int error)
{
    return failure(what, path, systemCause(error));
}

// Why a file that is not a regular file is neither read nor replaced.
TCause kindCause(mode_t mode)
{
    if (S_ISDIR(mode)) {
        return systemCause(EISDIR);
    }
    if (S_ISFIFO(mode)) {
        return ownCause(TMessage::IsAFifo);
    }
    if (S_ISCHR(mode)) {
        return ownCause(TMessage::IsACharacterDevice);
    }
    if (S_ISBLK(mode)) {
        return ownCause(TMessage::IsABlockDevice);
    }
    if (S_ISSOCK(mode)) {
        return ownCause(TMessage::IsASocket);
    }
    return ownCause(TMessage::IsNotARegularFile);
}

TCause tooLargeCause()
{
    return ownCause(TMessage::IsLargerThan, {std::to_string(MaxReadFileSize >> 20)});
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

// Where a write of path lands: renaming over a symbolic link would replace the link, so the file
// it points to.
fs::path writeTarget(const std::string& path)
{
    fs::path target(path);
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec) {
            target = resolved;
        }
    }
    return target;
}

fs::path folderOf(const fs::path& target)
{
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

std::string temporaryPrefix(const fs::path& target)
{
    return "." + target.filename().string() + ".tmp-";
}

// The pid of a temporary name's rest "<pid>-<n>", both written as std::to_string writes them.
std::optional<pid_t> temporaryPid(std::string_view rest)
{
    const std::size_t dash = rest.find('-');
    if (dash == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view pidText = rest.substr(0, dash);
    const std::string_view counterText = rest.substr(dash + 1);
    pid_t pid = 0;
    unsigned long long counter = 0;
    const auto [pidEnd, pidError] = std::from_chars(pidText.begin(), pidText.end(), pid);
    const auto [counterEnd, counterError] =
        std::from_chars(counterText.begin(), counterText.end(), counter);
    if (pidError != std::errc() || pidEnd != pidText.end() || counterError != std::errc() ||
        counterEnd != counterText.end() || pid <= 0 || std::to_string(pid) != pidText ||
        std::to_string(counter) != counterText) {
        return std::nullopt;
    }
    return pid;
}

// A process of another user answers EPERM, which still means that it runs.
bool processRuns(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno != ESRCH;
}

TFileResult writeAll(int fd, std::string_view bytes, const std::string& path)
{
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return failure(TMessage::CannotWriteFile, path, errno);
        }
        written += static_cast<std::size_t>(n);
    }
    return {};
}

// A character device or a FIFO takes the bytes as they come; it has nothing to replace. Opened
// without blocking, so that a FIFO without a reader fails at once instead of waiting for one.
// nullopt when the target has become a regular file meanwhile, which the caller replaces.
std::optional<TFileResult> writeIntoNode(const fs::path& target, const std::string& path,
                                         std::string_view bytes)
{
    FileDescriptor fd(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENXIO) {
            struct stat node {};
            if (::stat(target.c_str(), &node) == 0 && S_ISFIFO(node.st_mode)) {
                return failure(TMessage::CannotWriteFile, path,
                               ownCause(TMessage::FifoWithoutReader));
            }
        }
        return failure(TMessage::CannotWriteFile, path, errno);
    }
    struct stat node {};
    if (::fstat(fd.get(), &node) != 0) {
        return failure(TMessage::CannotWriteFile, path, errno);
    }
    if (S_ISREG(node.st_mode)) {
        return std::nullopt;
    }
    if (!S_ISCHR(node.st_mode) && !S_ISFIFO(node.st_mode)) {
        return failure(TMessage::CannotWriteFile, path, kindCause(node.st_mode));
    }
    // A reader is there: from now on wait for it like any writer into a pipe.
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    }
    if (TFileResult r = writeAll(fd.get(), bytes, path); !r.Ok) {
        return r;
    }
    if (const int error = fd.close(); error != 0) {
        return failure(TMessage::CannotWriteFile, path, error);
    }
    return TFileResult{};
}

}  // namespace

TFileContent readWholeFile(const std::string& path)
{
    TFileContent content;
    // Looked at before it is opened, so that no device is opened at all.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            content.Exists = true;
            content.Result = failure(TMessage::CannotReadFile, path, errno);
        }
        return content;
    }
    content.Exists = true;
    if (!S_ISREG(st.st_mode)) {
        content.Result = failure(TMessage::CannotReadFile, path, kindCause(st.st_mode));
        return content;
    }
    // Without blocking, and checked again: the name may have become a FIFO meanwhile.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        content.Exists = errno != ENOENT;
        if (content.Exists) {
            content.Result = failure(TMessage::CannotReadFile, path, errno);
        }
        return content;
    }
    if (::fstat(fd.get(), &st) != 0) {
        content.Result = failure(TMessage::CannotReadFile, path, errno);
        return content;
    }
    if (!S_ISREG(st.st_mode)) {
        content.Result = failure(TMessage::CannotReadFile, path, kindCause(st.st_mode));
        return content;
    }
    if (st.st_size > static_cast<off_t>(MaxReadFileSize)) {
        content.Result = failure(TMessage::CannotReadFile, path, tooLargeCause());
        return content;
    }
    // One byte beyond the limit tells a file that grew while it was read.
    char buffer[65536];
    while (content.Bytes.size() <= MaxReadFileSize) {
        const std::size_t wanted =
            std::min(sizeof buffer, MaxReadFileSize + 1 - content.Bytes.size());
        const ssize_t n = ::read(fd.get(), buffer, wanted);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            content.Result = failure(TMessage::CannotReadFile, path, errno);
            content.Bytes.clear();
            return content;
        }
        if (n == 0) {
            return content;
        }
        content.Bytes.append(buffer, static_cast<std::size_t>(n));
    }
    content.Result = failure(TMessage::CannotReadFile, path, tooLargeCause());
    content.Bytes.clear();
    return content;
}

TFileResult writeFileAtomically(const std::string& path, std::string_view bytes)
{
    const fs::path target = writeTarget(path);
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && (S_ISCHR(old.st_mode) || S_ISFIFO(old.st_mode))) {
        if (std::optional<TFileResult> r = writeIntoNode(target, path, bytes)) {
            return *r;
        }
    }
    TAtomicFileWriter file;
    if (TFileResult r = file.open(path); !r.Ok) {
        return r;
    }
    if (TFileResult r = file.write(bytes); !r.Ok) {
        return r;
    }
    return file.commit();
}

TAtomicFileWriter::~TAtomicFileWriter()
{
    discard();
}

TFileResult TAtomicFileWriter::open(const std::string& path)
{
    if (isOpen() || !m_temporary.empty()) {
        return failure(TMessage::CannotWriteFile, path, EBUSY);
    }
    m_path = path;
    const fs::path target = writeTarget(path);
    const fs::path folder = folderOf(target);
    m_target = target.string();
    m_folder = folder.string();
    struct stat old {};
    const bool hadFile = ::stat(target.c_str(), &old) == 0;
    if (hadFile && !S_ISREG(old.st_mode)) {
        return failure(TMessage::CannotWriteFile, path, kindCause(old.st_mode));
    }
    std::string temporary;
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        temporary = (folder / (temporaryPrefix(target) + std::to_string(::getpid()) + "-" +
                               std::to_string(temporaryCounter.fetch_add(1))))
                        .string();
        m_fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST) {
            return failure(TMessage::CannotWriteFile, path, errno);
        }
    }
    if (m_fd < 0) {
        return failure(TMessage::CannotWriteFile, path, EEXIST);
    }
    m_temporary = temporary;
    if (hadFile) {
        ::fchmod(m_fd, old.st_mode & 07777);  // best effort: the umask mode is the fallback
    }
    return {};
}

TFileResult TAtomicFileWriter::write(std::string_view bytes)
{
    if (!m_failure.Ok) {
        return m_failure;
    }
    if (!isOpen()) {
        return failure(TMessage::CannotWriteFile, m_path, EBADF);
    }
    m_failure = writeAll(m_fd, bytes, m_path);
    return m_failure;
}

TFileResult TAtomicFileWriter::commit()
{
    if (!m_failure.Ok) {
        discard();
        return m_failure;
    }
    if (!isOpen()) {
        return failure(TMessage::CannotWriteFile, m_path, EBADF);
    }
    const auto discarded = [this](int error) {
        discard();
        return failure(TMessage::CannotWriteFile, m_path, error);
    };
    if (::fsync(m_fd) != 0) {
        return discarded(errno);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        return discarded(errno);
    }
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        return discarded(errno);
    }
    m_temporary.clear();
    // Make the rename itself durable; a failure here no longer endangers either file.
    FileDescriptor dir(::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
    return {};
}

void TAtomicFileWriter::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}

std::size_t removeLeftoverTemporaryFiles(const std::string& path)
{
    const fs::path target = writeTarget(path);
    const std::string prefix = temporaryPrefix(target);
    std::size_t removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(prefix)) {
            continue;
        }
        const std::optional<pid_t> pid = temporaryPid(std::string_view(name).substr(prefix.size()));
        std::error_code kind;
        if (!pid || processRuns(*pid) || !fs::is_regular_file(it->symlink_status(kind))) {
            continue;
        }
        if (::unlink(it->path().c_str()) == 0) {
            ++removed;
        }
    }
    return removed;
}

}  // namespace settings
