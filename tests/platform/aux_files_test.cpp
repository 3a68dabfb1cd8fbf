// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/aux_files.h"
#include "platform/qt_system.h"

namespace {

using common::TLanguage;
using namespace platform;

// An environment and file system in memory.
class FakeEnvironment : public SystemEnvironment {
public:
    std::map<std::string, std::string> variables;
    std::string documents;
    std::set<std::string> folders;
    std::set<std::string> files;
    std::set<std::string> unwritable;  // folders that cannot be created
    std::string viewerExec;
    std::vector<std::pair<std::string, std::string>> copies;

    std::optional<std::string> variable(const std::string& name) const override
    {
        const auto it = variables.find(name);
        return it == variables.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    std::string documentsFolder() const override { return documents; }
    bool isDirectory(const std::string& path) const override { return folders.count(path) > 0; }
    bool isFile(const std::string& path) const override { return files.count(path) > 0; }
    bool createDirectories(const std::string& path) override
    {
        for (const std::string& bad : unwritable) {
            if (path.rfind(bad, 0) == 0) {
                return false;
            }
        }
        folders.insert(path);
        return true;
    }
    bool copyFile(const std::string& from, const std::string& to) override
    {
        copies.emplace_back(from, to);
        files.insert(to);
        return true;
    }
    std::string defaultHtmlViewerExec() const override { return viewerExec; }
};

class RecordingLauncher : public ProcessLauncher {
public:
    std::vector<QStringList> starts;  // program first
    bool startDetached(const QString& program, const QStringList& arguments) override
    {
        starts.push_back(QStringList{program} + arguments);
        return true;
    }
};

TEST(ExecutablePath, SplitsFolderBaseNameAndExtension)
{
    struct Row {
        const char* path;
        const char* folder;
        const char* base;
        const char* extension;
    };
    const Row rows[] = {
        {"/usr/bin/ondulix", "/usr/bin/", "ondulix", ""},
        {"/opt/x/Foo.exe", "/opt/x/", "Foo", ".exe"},
        {"/opt/my.tools/run.sh.bin", "/opt/my.tools/", "run.sh", ".bin"},
        {"/home/u/.hidden", "/home/u/", ".hidden", ""},
        {"ondulix", "./", "ondulix", ""},
    };
    for (const Row& row : rows) {
        const TExecutablePath p = splitExecutablePath(row.path);
        EXPECT_EQ(p.Folder, row.folder) << row.path;
        EXPECT_EQ(p.BaseName, row.base) << row.path;
        EXPECT_EQ(p.Extension, row.extension) << row.path;
    }
}

TEST(SettingsFileResolver, TheConfigFolderAndItsFallbacks)
{
    struct Row {
        const char* name;
        std::map<std::string, std::string> variables;
        const char* exe;
        const char* expected;
        const char* createdFolder;  // "" when none is created
    };
    const Row rows[] = {
        {"XDG_CONFIG_HOME", {{"XDG_CONFIG_HOME", "/cfg"}, {"HOME", "/home/u"}},
         "/usr/bin/ondulix", "/cfg/Orvantic/ondulix/ondulix.ini", "/cfg/Orvantic/ondulix"},
        {"trailing slash", {{"XDG_CONFIG_HOME", "/cfg/"}}, "/usr/bin/ondulix",
         "/cfg/Orvantic/ondulix/ondulix.ini", "/cfg/Orvantic/ondulix"},
        {"blank XDG_CONFIG_HOME", {{"XDG_CONFIG_HOME", "  \t"}, {"HOME", "/home/u"}},
         "/usr/bin/ondulix", "/home/u/.config/Orvantic/ondulix/ondulix.ini",
         "/home/u/.config/Orvantic/ondulix"},
        {"relative XDG_CONFIG_HOME", {{"XDG_CONFIG_HOME", "cfg"}, {"HOME", "/home/u"}},
         "/usr/bin/ondulix", "/home/u/.config/Orvantic/ondulix/ondulix.ini",
         "/home/u/.config/Orvantic/ondulix"},
        {"another name", {{"HOME", "/home/u"}}, "/opt/Foo.exe",
         "/home/u/.config/Orvantic/Foo/Foo.ini", "/home/u/.config/Orvantic/Foo"},
        {"blank HOME", {{"XDG_CONFIG_HOME", ""}, {"HOME", " "}}, "/opt/Foo.exe", "/opt/Foo.ini", ""},
        {"nothing set", {}, "/usr/bin/ondulix", "/usr/bin/ondulix.ini", ""},
    };
    for (const Row& row : rows) {
        FakeEnvironment env;
        env.variables = row.variables;
        EXPECT_EQ(resolveSettingsFileName(env, MakerFolderName, row.exe, false), row.expected)
            << row.name;
        if (*row.createdFolder != '\0') {
            EXPECT_TRUE(env.folders.count(row.createdFolder)) << row.name;
        } else {
            EXPECT_TRUE(env.folders.empty()) << row.name;
        }
        EXPECT_TRUE(env.copies.empty());
    }
}

TEST(SettingsFileResolver, AFolderThatCannotBeCreatedMeansTheFileBesideTheExecutable)
{
    FakeEnvironment env;
    env.variables = {{"HOME", "/home/u"}};
    env.unwritable = {"/home/u/.config"};
    EXPECT_EQ(resolveSettingsFileName(env, MakerFolderName, "/usr/bin/ondulix", false),
              "/usr/bin/ondulix.ini");
}

TEST(SettingsFileResolver, MigrationCopiesOnlyIntoAnEmptyPlace)
{
    struct Row {
        bool migrate;
        bool sideBySideExists;
        bool targetExists;
        bool copied;
    };
    const Row rows[] = {
        {true, true, false, true},
        {false, true, false, false},
        {true, false, false, false},
        {true, true, true, false},  // never overwrites
    };
    for (const Row& row : rows) {
        FakeEnvironment env;
        env.variables = {{"HOME", "/home/u"}};
        if (row.sideBySideExists) {
            env.files.insert("/usr/bin/ondulix.ini");
        }
        if (row.targetExists) {
            env.files.insert("/home/u/.config/Orvantic/ondulix/ondulix.ini");
        }
        resolveSettingsFileName(env, MakerFolderName, "/usr/bin/ondulix", row.migrate);
        EXPECT_EQ(env.copies.size(), row.copied ? 1u : 0u);
        if (row.copied) {
            EXPECT_EQ(env.copies[0].first, "/usr/bin/ondulix.ini");
            EXPECT_EQ(env.copies[0].second, "/home/u/.config/Orvantic/ondulix/ondulix.ini");
        }
    }
}

TEST(PersonalFolderResolver, DocumentsThenHomeThenFallbackAlwaysWithASlash)
{
    struct Row {
        const char* documents;
        std::map<std::string, std::string> variables;
        const char* fallback;
        const char* expected;
    };
    const Row rows[] = {
        {"/home/u/Dokumente", {{"HOME", "/home/u"}}, "/usr/bin/", "/home/u/Dokumente/"},
        {"/home/u/Docs/", {{"HOME", "/home/u"}}, "/usr/bin/", "/home/u/Docs/"},
        {"", {{"HOME", "/home/u"}}, "/usr/bin/", "/home/u/"},
        {"", {{"HOME", "  "}}, "/usr/bin/", "/usr/bin/"},
        {"", {}, "/usr/bin/", "/usr/bin/"},
        {"", {}, "/opt/x", "/opt/x/"},
    };
    for (const Row& row : rows) {
        FakeEnvironment env;
        env.documents = row.documents;
        env.variables = row.variables;
        EXPECT_EQ(resolvePersonalFolder(env, row.fallback), row.expected) << row.documents;
    }
}

TEST(HelpCommand, DesktopExecBecomesATemplate)
{
    struct Row {
        const char* exec;
        const char* expected;
    };
    const Row rows[] = {
        {"firefox-esr %u", "firefox-esr %1"},
        {"chromium %U", "chromium %1"},
        {"app --new-window %f --x", "app --new-window %1 --x"},
        {"app %i %c %k %u", "app %1"},
        {"app %u %f", "app %1"},  // only the first file code
        {"app --url=%u", "app --url=%1"},
        {"\"/opt/My Browser/run\" %u", "\"/opt/My Browser/run\" %1"},
        {"\"/opt/a\\\"q\\\\b\" %U", "\"/opt/a\"\"\"q\\b\" %1"},
        {"app\\sname %u", "app name %1"},  // "\s" is a blank, which separates arguments
        {"app 100%% %u", "app 100% %1"},
        {"viewer", ""},  // no file code: no usable registration
        {"", ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(desktopExecToTemplate(row.exec), row.expected) << row.exec;
    }
}

TEST(HelpCommand, ExpandsExactlyOneVariable)
{
    FakeEnvironment env;
    env.variables = {{"SystemRoot", "/sys root"}, {"A", "x"}};
    struct Row {
        const char* command;
        const char* expected;
    };
    const Row rows[] = {
        {"%SystemRoot%/hh %1", "/sys root/hh %1"},
        {"%SystemRoot%/a %SystemRoot%/b %1", "/sys root/a %SystemRoot%/b %1"},
        {"viewer %1", "viewer %1"},          // the first "%" is that of "%1": nothing
        {"viewer %1 %A%", "viewer A%"},      // "%1 %" names the unset variable "1 "
        {"%%A% %1", "%%A% %1"},              // nothing between the first two
        {"%Unset%x %1", "x %1"},
        {"%systemroot%/hh %1", "/hh %1"},    // names are case-sensitive
    };
    for (const Row& row : rows) {
        EXPECT_EQ(expandOneVariable(row.command, env), row.expected) << row.command;
    }
}

TEST(HelpCommand, TheDefaultViewerElseXdgOpen)
{
    struct Row {
        const char* exec;
        const char* expected;
    };
    const Row rows[] = {
        {"firefox-esr %u", "firefox-esr %1"},
        {"viewer", "xdg-open %1"},  // a registration without "%1" counts as none
        {"", "xdg-open %1"},
        {"%%HOME%%/bin/viewer %f", "/home/u/bin/viewer %1"},  // "%%" is a literal "%"
    };
    for (const Row& row : rows) {
        FakeEnvironment env;
        env.variables = {{"HOME", "/home/u"}};
        env.viewerExec = row.exec;
        EXPECT_EQ(helpOpenCommand(env), row.expected) << row.exec;
    }
}

TEST(HelpCommand, TheHelpPageIsLookedUpBesideTheExecutableThenInTheDataFolders)
{
    struct Row {
        std::set<std::string> files;
        TLanguage language;
        const char* expected;
    };
    const Row rows[] = {
        {{"/opt/o/bin/English.html", "/opt/o/share/ondulix/help/English.html"}, TLanguage::English,
         "/opt/o/bin/English.html"},
        {{"/opt/o/share/ondulix/help/German.html"}, TLanguage::German,
         "/opt/o/share/ondulix/help/German.html"},
        {{"/usr/share/ondulix/help/German.html"}, TLanguage::German,
         "/usr/share/ondulix/help/German.html"},
        {{}, TLanguage::German, "/opt/o/bin/German.html"},  // the viewer reports the missing page
        {{"/opt/o/bin/English.html"}, static_cast<TLanguage>(9), "/opt/o/bin/English.html"},
    };
    for (const Row& row : rows) {
        FakeEnvironment env;
        env.files = row.files;
        EXPECT_EQ(helpFileName(env, "/opt/o/bin/", row.language, "/usr/share/ondulix/help"),
                  row.expected);
    }
}

TEST(HelpCommand, SwitchingToGermanOpensTheGermanPage)
{
    FakeEnvironment env;
    env.viewerExec = "firefox-esr %u";
    env.files = {"/opt/o/bin/English.html", "/opt/o/bin/German.html"};
    EXPECT_EQ(makeHelpCommand(env, "/opt/o/bin/", TLanguage::English),
              "firefox-esr \"/opt/o/bin/English.html\"");
    EXPECT_EQ(makeHelpCommand(env, "/opt/o/bin/", TLanguage::German),
              "firefox-esr \"/opt/o/bin/German.html\"");
}

// Whatever the folder is called, the page is one argument and nothing in its name is run.
TEST(HelpCommand, StartsTheViewerWithTheFileAsOneArgumentNeverThroughAShell)
{
    const char* const names[] = {
        "/home/u/My Programs/English.html",
        "/home/u/a;rm -rf ~;/English.html",
        "/home/u/$(touch x)/`id`/English.html",
        "/home/u/say \"hi\"/English.html",
        "/home/u/\"/English.html",
        "\"/lead.html",
        "/trail\"",
        "/home/u/100%1%/English.html",
        "/home/u/tab\there/English.html",
    };
    const char* const templates[] = {"xdg-open %1", "\"/opt/My Browser/run\" --url=%1 --new"};
    for (const char* tmpl : templates) {
        for (const char* name : names) {
            RecordingLauncher launcher;
            const std::string command = buildHelpCommand(tmpl, name);
            ASSERT_TRUE(startHelpCommand(command, launcher));
            ASSERT_EQ(launcher.starts.size(), 1u);
            const QStringList& argv = launcher.starts[0];
            if (std::string(tmpl).rfind("xdg-open", 0) == 0) {
                EXPECT_EQ(argv, (QStringList{"xdg-open", QString::fromUtf8(name)})) << command;
            } else {
                EXPECT_EQ(argv, (QStringList{"/opt/My Browser/run",
                                             "--url=" + QString::fromUtf8(name), "--new"}))
                    << command;
            }
        }
    }
}

TEST(HelpCommand, AnEmptyCommandStartsNothing)
{
    RecordingLauncher launcher;
    EXPECT_EQ(buildHelpCommand("", "/x/English.html"), "");
    EXPECT_FALSE(startHelpCommand("", launcher));
    EXPECT_FALSE(startHelpCommand("   ", launcher));
    EXPECT_TRUE(launcher.starts.empty());
}

TEST(DesktopFile, ExecOfTheDesktopEntryGroupOnly)
{
    EXPECT_EQ(desktopEntryExec("[Desktop Action new]\nExec=wrong %u\n"
                               "[Desktop Entry]\nName=Browser\n# Exec=commented\n"
                               "Exec[de]=localised\nExec = browser %u\n"),
              "browser %u");
    EXPECT_EQ(desktopEntryExec("[Desktop Entry]\nName=No exec\n"), "");
}

// The pages are copied beside the built executables and found there by the real lookup.
TEST(HelpPages, BothPagesAreBesideTheExecutablesAndWellFormed)
{
    QtSystemEnvironment env;
    struct Row {
        TLanguage language;
        const char* lang;
        std::vector<const char*> mustMention;
    };
    const Row rows[] = {
        {TLanguage::English, "en",
         {"F1", "Ctrl+C", "Ctrl+S", "Ctrl+U", "Ctrl+P", "Ctrl+E", "Ctrl+H", "Ctrl+V", "Ctrl+R",
          "Ctrl+Z", "Alt+R", "Alt+V", "Esc", "Backspace", "Space", "Page Up", "Page Down",
          "mouse wheel", "linear", "circular", "elliptical", "phase shift", "amplitude"}},
        {TLanguage::German, "de",
         {"F1", "Strg+C", "Strg+S", "Strg+U", "Strg+P", "Strg+E", "Strg+H", "Strg+V", "Strg+R",
          "Strg+Z", "Alt+R", "Alt+V", "Esc", "Rücktaste", "Leertaste", "Bild", "Mausrad",
          "linear", "zirkular", "elliptisch", "Phasenverschiebung", "Amplitude"}},
    };
    for (const Row& row : rows) {
        const std::string file = helpFileName(env, ONDULIX_TEST_BIN_DIR, row.language, "");
        QFile page(QString::fromStdString(file));
        ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << file;
        const QByteArray bytes = page.readAll();
        QXmlStreamReader xml(bytes);
        QString htmlLang;
        while (!xml.atEnd()) {
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"html") {
                htmlLang = xml.attributes().value("lang").toString();
            }
        }
        EXPECT_FALSE(xml.hasError()) << file << ": " << xml.errorString().toStdString() << " at line "
                                     << xml.lineNumber();
        EXPECT_EQ(htmlLang.toStdString(), row.lang);
        const QString text = QString::fromUtf8(bytes);
        for (const char* word : row.mustMention) {
            EXPECT_TRUE(text.contains(QString::fromUtf8(word), Qt::CaseInsensitive))
                << file << " does not mention " << word;
        }
    }
}

}  // namespace
