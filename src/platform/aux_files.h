// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the program's files are on the user's machine: the settings file, the documents folder and
// the help page with the command that opens it. The lookups reach the environment, the file system
// and the process start only through the interfaces below, which tests replace; qt_system.h has
// the real ones.

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <string_view>

#include "common/globals.h"

namespace platform {

class SystemEnvironment {
public:
    virtual ~SystemEnvironment() = default;
    // Empty when the variable is not set.
    virtual std::optional<std::string> variable(const std::string& name) const = 0;
    // The desktop's documents folder (xdg-user-dirs) when it names one that exists, else empty.
    virtual std::string documentsFolder() const = 0;
    virtual bool isDirectory(const std::string& path) const = 0;
    virtual bool isFile(const std::string& path) const = 0;
    // Creates the folder with all missing parents; true when it exists afterwards.
    virtual bool createDirectories(const std::string& path) = 0;
    // Copies a file; never overwrites an existing one.
    virtual bool copyFile(const std::string& from, const std::string& to) = 0;
    // The Exec value, as written in its desktop file, of the desktop's default application for
    // text/html (xdg-mime); empty when there is none.
    virtual std::string defaultHtmlViewerExec() const = 0;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts the program without a shell and without waiting for it.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
};

inline constexpr const char* MakerFolderName = "Orvantic";

struct TExecutablePath {
    std::string Folder;     // ExeFolder, ending in "/"
    std::string BaseName;   // ExeBaseName: the file name without its extension
    std::string Extension;  // with its dot; empty for the usual Linux executable
};
TExecutablePath splitExecutablePath(std::string_view exePath);

// The settings file: <config>/<maker>/<base>/<base>.ini, where <config> is $XDG_CONFIG_HOME, else
// $HOME/.config (blank or relative values do not count). The folder is created with its parents.
// Without a config folder, or when the folder cannot be created, the file beside the executable
// (its path with the extension replaced by ".ini"). With migrate, a file beside the executable is
// copied to a per-user path that has none yet.
std::string resolveSettingsFileName(SystemEnvironment& env, std::string_view makerFolder,
                                    std::string_view exePath, bool migrate);

// The documents folder, else $HOME, else the fallback; always ending in "/".
std::string resolvePersonalFolder(const SystemEnvironment& env, std::string_view fallback);

// ---- Help ----

// A desktop file's Exec value as a command template: the first file or URL field code (%f, %F,
// %u, %U) becomes "%1", the other field codes go, "%%" becomes "%", and the arguments are quoted
// for QProcess::splitCommand. Empty when the value has no file or URL field code.
std::string desktopExecToTemplate(std::string_view exec);

// The one environment-variable expansion of a command template: the text between the first "%"
// and the next one, if not empty, names a variable, and the first "%name%" is replaced by its value
// (empty when unset). Nothing else is expanded.
std::string expandOneVariable(const std::string& command, const SystemEnvironment& env);

// HelpOpenCommand: the default HTML viewer's command template, else "xdg-open %1"; a template
// without "%1" counts as none.
std::string helpOpenCommand(const SystemEnvironment& env);

// English.html or German.html: beside the executable, else in <exe>/../share/ondulix/help, else
// in the installed help folder; the name beside the executable when none exists, so that the
// viewer reports the missing page. A language other than 0 and 1 uses English.
std::string helpFileName(const SystemEnvironment& env, const std::string& exeFolder,
                         common::TLanguage language);
std::string helpFileName(const SystemEnvironment& env, const std::string& exeFolder,
                         common::TLanguage language, const std::string& installedHelpFolder);

// HelpCommand: the first "%1" of the template replaced by the file name in double quotes (a quote
// inside the name is written as three quotes, which QProcess::splitCommand reads as one). Empty
// when the template is empty.
std::string buildHelpCommand(const std::string& openCommand, const std::string& helpFile);

// What SetLanguageFormMain rebuilds: buildHelpCommand(helpOpenCommand, helpFileName).
std::string makeHelpCommand(const SystemEnvironment& env, const std::string& exeFolder,
                            common::TLanguage language);

// Splits the command into program and arguments (quotes respected) and starts it detached, never
// through a shell. An empty command starts nothing. The result is whether a start was attempted
// and succeeded; callers need not examine it.
bool startHelpCommand(const std::string& helpCommand, ProcessLauncher& launcher);

}  // namespace platform
