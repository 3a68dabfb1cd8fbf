// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/aux_files.h"

#include <QProcess>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

namespace platform {

namespace {

bool isBlank(std::string_view s)
{
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
}

// A variable counts when it is set, not blank and an absolute path (a relative one would move
// the settings with the current folder).
std::optional<std::string> usableFolderVariable(const SystemEnvironment& env, const std::string& name)
{
    std::optional<std::string> value = env.variable(name);
    if (!value || isBlank(*value) || value->front() != '/') {
        return std::nullopt;
    }
    return value;
}

// a + "/" + b without doubling a separator that a already ends in.
std::string join(std::string_view a, std::string_view b)
{
    std::string out(a);
    if (out.empty() || out.back() != '/') {
        out += '/';
    }
    out += b;
    return out;
}

std::string withTrailingSlash(std::string folder)
{
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The Exec value as the desktop entry format defines it: first the string escapes (\s \n \t \r
// \\), then arguments separated by blanks, in double quotes where needed, inside which \" \` \$
// and \\ stand for the character.
std::vector<std::string> splitDesktopExec(std::string_view raw)
{
    std::string value;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + 1 < raw.size()) {
            const char next = raw[i + 1];
            const char* const from = "sntr\\";
            const char* const to = " \n\t\r\\";
            if (const char* hit = std::char_traits<char>::find(from, 5, next)) {
                value += to[hit - from];
                ++i;
                continue;
            }
        }
        value += raw[i];
    }
    std::vector<std::string> args;
    std::string current;
    bool inQuotes = false;
    bool started = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (inQuotes) {
            if (c == '\\' && i + 1 < value.size() &&
                std::string_view("\"`$\\").find(value[i + 1]) != std::string_view::npos) {
                current += value[++i];
            } else if (c == '"') {
                inQuotes = false;
            } else {
                current += c;
            }
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (started) {
                args.push_back(current);
                current.clear();
                started = false;
            }
        } else if (c == '"') {
            inQuotes = true;
            started = true;
        } else {
            current += c;
            started = true;
        }
    }
    if (started) {
        args.push_back(current);
    }
    return args;
}

// Quoted for QProcess::splitCommand: in double quotes when needed, a quote as three quotes.
std::string quoteForSplit(std::string_view arg)
{
    const bool plain = !arg.empty() && arg.find_first_of(" \t\n\r\v\f\"") == std::string_view::npos;
    if (plain) {
        return std::string(arg);
    }
    std::string out = "\"";
    for (const char c : arg) {
        if (c == '"') {
            out += "\"\"\"";
        } else {
            out += c;
        }
    }
    out += '"';
    return out;
}

constexpr char FileMarker = '\x01';  // stands for "%1" until the arguments are quoted

}  // namespace

TExecutablePath splitExecutablePath(std::string_view exePath)
{
    const std::size_t slash = exePath.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    TExecutablePath parts;
    parts.Folder = std::string(exePath.substr(0, nameStart));
    if (parts.Folder.empty()) {
        parts.Folder = "./";
    }
    const std::string_view name = exePath.substr(nameStart);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        parts.BaseName = std::string(name);
    } else {
        parts.BaseName = std::string(name.substr(0, dot));
        parts.Extension = std::string(name.substr(dot));
    }
    return parts;
}

std::string resolveSettingsFileName(SystemEnvironment& env, std::string_view makerFolder,
                                    std::string_view exePath, bool migrate)
{
    const TExecutablePath exe = splitExecutablePath(exePath);
    const std::string sideBySide = exe.Folder + exe.BaseName + ".ini";
    std::optional<std::string> config = usableFolderVariable(env, "XDG_CONFIG_HOME");
    if (!config) {
        if (const std::optional<std::string> home = usableFolderVariable(env, "HOME")) {
            config = join(*home, ".config");
        }
    }
    if (!config) {
        return sideBySide;
    }
    const std::string folder = join(join(*config, makerFolder), exe.BaseName);
    if (!env.isDirectory(folder) && !env.createDirectories(folder)) {
        return sideBySide;
    }
    if (!env.isDirectory(folder)) {
        return sideBySide;
    }
    const std::string result = join(folder, exe.BaseName + ".ini");
    if (migrate && !equalIgnoringCase(result, sideBySide) && !env.isFile(result) &&
        env.isFile(sideBySide)) {
        env.copyFile(sideBySide, result);
    }
    return result;
}

std::string resolvePersonalFolder(const SystemEnvironment& env, std::string_view fallback)
{
    std::string folder = env.documentsFolder();
    if (folder.empty()) {
        const std::optional<std::string> home = env.variable("HOME");
        if (home && !isBlank(*home)) {
            folder = *home;
        }
    }
    if (folder.empty()) {
        folder = std::string(fallback);
    }
    return withTrailingSlash(std::move(folder));
}

std::string desktopExecToTemplate(std::string_view exec)
{
    bool haveFile = false;
    std::vector<std::string> args;
    for (const std::string& arg : splitDesktopExec(exec)) {
        std::string out;
        bool onlyCodes = !arg.empty();
        for (std::size_t i = 0; i < arg.size(); ++i) {
            if (arg[i] != '%' || i + 1 >= arg.size()) {
                out += arg[i];
                onlyCodes = false;
                continue;
            }
            const char code = arg[++i];
            if (code == '%') {
                out += '%';
                onlyCodes = false;
            } else if (std::string_view("fFuU").find(code) != std::string_view::npos && !haveFile) {
                out += FileMarker;
                haveFile = true;
                onlyCodes = false;
            }
            // Every other field code (%i %c %k, the deprecated ones, a second file code) expands to
            // nothing: the help page needs none of them.
        }
        if (!onlyCodes) {
            args.push_back(std::move(out));
        }
    }
    if (!haveFile) {
        return {};
    }
    std::string command;
    for (const std::string& arg : args) {
        if (!command.empty()) {
            command += ' ';
        }
        // The marker stays outside quotes, so the quoted file name forms one argument with the
        // text around it.
        const std::size_t marker = arg.find(FileMarker);
        if (marker == std::string::npos) {
            command += quoteForSplit(arg);
            continue;
        }
        const std::string_view before = std::string_view(arg).substr(0, marker);
        const std::string_view after = std::string_view(arg).substr(marker + 1);
        if (!before.empty()) {
            command += quoteForSplit(before);
        }
        command += "%1";
        if (!after.empty()) {
            command += quoteForSplit(after);
        }
    }
    return command;
}

std::string expandOneVariable(const std::string& command, const SystemEnvironment& env)
{
    const std::size_t first = command.find('%');
    if (first == std::string::npos) {
        return command;
    }
    const std::size_t second = command.find('%', first + 1);
    if (second == std::string::npos || second == first + 1) {
        return command;
    }
    const std::string name = command.substr(first + 1, second - first - 1);
    std::string expanded = command;
    // The reference found is itself the first occurrence of "%name%".
    expanded.replace(first, second - first + 1, env.variable(name).value_or(""));
    return expanded;
}

std::string helpOpenCommand(const SystemEnvironment& env)
{
    std::string command = desktopExecToTemplate(env.defaultHtmlViewerExec());
    const auto notBlank = std::find_if(command.begin(), command.end(),
                                       [](char c) { return static_cast<unsigned char>(c) > 0x20; });
    command.erase(command.begin(), notBlank);
    while (!command.empty() && static_cast<unsigned char>(command.back()) <= 0x20) {
        command.pop_back();
    }
    if (command.empty() || command.find("%1") == std::string::npos) {
        command = "xdg-open %1";
    }
    return expandOneVariable(command, env);
}

std::string helpFileName(const SystemEnvironment& env, const std::string& exeFolder,
                         common::TLanguage language, const std::string& installedHelpFolder)
{
    const auto index = static_cast<std::size_t>(language);
    const std::string name =
        std::string(common::LanguageNames[index < common::LanguageNames.size() ? index : 0]) +
        ".html";
    const std::string besideExe = withTrailingSlash(exeFolder) + name;
    const std::string candidates[] = {
        besideExe,
        std::filesystem::path(withTrailingSlash(exeFolder) + "../share/ondulix/help/" + name)
            .lexically_normal()
            .string(),
        installedHelpFolder.empty() ? std::string() : withTrailingSlash(installedHelpFolder) + name,
    };
    for (const std::string& candidate : candidates) {
        if (!candidate.empty() && env.isFile(candidate)) {
            return candidate;
        }
    }
    return besideExe;
}

std::string helpFileName(const SystemEnvironment& env, const std::string& exeFolder,
                         common::TLanguage language)
{
    return helpFileName(env, exeFolder, language, ONDULIX_INSTALLED_HELP_DIR);
}

std::string buildHelpCommand(const std::string& openCommand, const std::string& helpFile)
{
    const std::size_t at = openCommand.find("%1");
    if (openCommand.empty() || at == std::string::npos) {
        return openCommand;
    }
    std::string quoted = "\"";
    for (const char c : helpFile) {
        quoted += c == '"' ? std::string("\"\"\"") : std::string(1, c);
    }
    quoted += '"';
    std::string command = openCommand;
    command.replace(at, 2, quoted);
    return command;
}

std::string makeHelpCommand(const SystemEnvironment& env, const std::string& exeFolder,
                            common::TLanguage language)
{
    return buildHelpCommand(helpOpenCommand(env), helpFileName(env, exeFolder, language));
}

bool startHelpCommand(const std::string& helpCommand, ProcessLauncher& launcher)
{
    QStringList parts = QProcess::splitCommand(QString::fromStdString(helpCommand));
    if (parts.isEmpty()) {
        return false;
    }
    const QString program = parts.takeFirst();
    return launcher.startDetached(program, parts);
}

}  // namespace platform
