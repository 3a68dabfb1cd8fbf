#pragma once

// Reading and storing whole files for the settings. A store never leaves a half-written file: the
// bytes go to a temporary file in the same folder, which is flushed to the disk and then renamed
// over the old file, so a crash, a kill or a full disk leaves either the old or the new file.

#include <string>
#include <string_view>

namespace settings {

struct TFileResult {
    bool Ok = true;
    std::string Error;  // why it failed, for the user: names the file and the system's reason
};

struct TFileContent {
    bool Exists = false;  // false for a missing file, which reads as empty
    std::string Bytes;
    TFileResult Result;   // not Ok when the file exists but cannot be read
};

TFileContent readWholeFile(const std::string& path);

// Replaces the file (or the file a symbolic link points to) atomically. An existing file keeps its
// permissions; a new one gets the usual ones for the user's umask. On failure the old file is
// untouched and no temporary file is left behind.
TFileResult writeFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace settings
