// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The real environment, file system and process start behind the interfaces of aux_files.h.

#include "platform/aux_files.h"

namespace platform {

class QtSystemEnvironment : public SystemEnvironment {
public:
    std::optional<std::string> variable(const std::string& name) const override;
    std::string documentsFolder() const override;
    bool isDirectory(const std::string& path) const override;
    bool isFile(const std::string& path) const override;
    bool createDirectories(const std::string& path) override;
    bool copyFile(const std::string& from, const std::string& to) override;
    // Asks xdg-mime for the default text/html application and reads its desktop file.
    std::string defaultHtmlViewerExec() const override;
};

class QtProcessLauncher : public ProcessLauncher {
public:
    bool startDetached(const QString& program, const QStringList& arguments) override;
};

// The Exec value of the [Desktop Entry] group of a desktop file's text; empty when it has none.
std::string desktopEntryExec(const QString& desktopFileText);

}  // namespace platform
