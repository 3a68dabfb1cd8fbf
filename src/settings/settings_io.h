// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Reading and storing whole files for the settings. A store never leaves a half-written file: the
// bytes go to a temporary file in the same folder, which is flushed to the disk and then renamed
// over the old file, so a crash, a kill or a full disk leaves either the old or the new file.

#include <cstddef>
#include <string>
#include <string_view>

namespace settings {

struct TFileResult {
    bool Ok = true;
    std::string Error;        // why it failed, for the user: names the file and the system's reason
    std::string GermanError;  // the same in German
    std::string Reason;       // the reason alone, without the file: "Permission denied"
    int SystemError = 0;      // the errno value behind Reason; 0 for a reason of the program's own
};

struct TFileContent {
    bool Exists = false;  // false for a missing file, which reads as empty
    std::string Bytes;
    TFileResult Result;  // not Ok when the file exists but cannot be read
};

// More than any settings file holds; a larger file is refused rather than read into memory.
inline constexpr std::size_t MaxReadFileSize = 16u << 20;

// Reads only a regular file of at most MaxReadFileSize bytes. Anything else that exists (a folder,
// a FIFO, a device that never ends) is reported without being read, and without waiting for a
// writer of a FIFO.
TFileContent readWholeFile(const std::string& path);

// Replaces the file (or the file a symbolic link points to) atomically. An existing file keeps its
// permissions; a new one gets the usual ones for the user's umask. On failure the old file is
// untouched and no temporary file is left behind. Only a regular file is replaced: an existing
// character device (a null device) or FIFO with a reader gets the bytes written into it, a FIFO
// without a reader is refused at once, and any other kind of file is refused.
TFileResult writeFileAtomically(const std::string& path, std::string_view bytes);

// A file written piece by piece and put in place only when it is complete, with the rules of
// writeFileAtomically: the pieces go to a temporary file beside the target, and commit() flushes
// it to the disk and renames it over the target. Until then the target is untouched; a writer
// discarded or destroyed before commit() removes its temporary file. A stream cannot be taken
// back out of a device or a FIFO, so only a regular file (or none) is replaced: open() refuses
// any other kind of file.
class TAtomicFileWriter {
public:
    TAtomicFileWriter() = default;
    ~TAtomicFileWriter();
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

    // Creates the temporary file for `path`; a writer opens once.
    TFileResult open(const std::string& path);
    bool isOpen() const { return m_fd >= 0; }
    // For a library that seeks in the file or reads it back by name.
    const std::string& temporaryPath() const { return m_temporary; }
    int descriptor() const { return m_fd; }
    // Appends at the file's offset. A failure sticks: later writes and commit() report it again.
    TFileResult write(std::string_view bytes);
    // Ok until a write failed.
    const TFileResult& status() const { return m_failure; }
    // Flushes the file to the disk and renames it over the target; on failure it is removed.
    TFileResult commit();
    // Removes the temporary file; the target stays as it was.
    void discard();

private:
    std::string m_path;  // as the caller named it, for the messages
    std::string m_target;
    std::string m_folder;
    std::string m_temporary;
    int m_fd = -1;
    TFileResult m_failure;
};

// Removes the temporary files that writes of this file left when their process was killed:
// ".<name>.tmp-<pid>-<n>" beside the file (beside the file a symbolic link points to), only
// regular files, and only those whose process no longer runs. Returns how many were removed.
std::size_t removeLeftoverTemporaryFiles(const std::string& path);

}  // namespace settings
