// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_system.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace platform {

std::optional<std::string> QtSystemEnvironment::variable(const std::string& name) const
{
    const QByteArray key = QByteArray::fromStdString(name);
    if (!qEnvironmentVariableIsSet(key.constData())) {
        return std::nullopt;
    }
    return qgetenv(key.constData()).toStdString();
}

std::string QtSystemEnvironment::documentsFolder() const
{
    // Qt answers $HOME/Documents even where xdg-user-dirs names none; only a real folder counts.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        return {};
    }
    return folder.toStdString();
}

bool QtSystemEnvironment::isDirectory(const std::string& path) const
{
    return QFileInfo(QString::fromStdString(path)).isDir();
}

bool QtSystemEnvironment::isFile(const std::string& path) const
{
    return QFileInfo(QString::fromStdString(path)).isFile();
}

bool QtSystemEnvironment::createDirectories(const std::string& path)
{
    return QDir().mkpath(QString::fromStdString(path)) && isDirectory(path);
}

bool QtSystemEnvironment::copyFile(const std::string& from, const std::string& to)
{
    return QFile::copy(QString::fromStdString(from), QString::fromStdString(to));
}

std::string QtSystemEnvironment::defaultHtmlViewerExec() const
{
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                             QStringLiteral("text/html")});
    // A desktop without xdg-utils, or one that hangs, leaves the fallback command.
    if (!query.waitForFinished(3000) || query.exitStatus() != QProcess::NormalExit ||
        query.exitCode() != 0) {
        query.kill();
        query.waitForFinished(1000);
        return {};
    }
    const QString desktopId = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
    if (desktopId.isEmpty() || desktopId.contains(QLatin1Char('\n'))) {
        return {};
    }
    QString path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, desktopId);
    if (path.isEmpty()) {
        // A desktop file ID "vendor-app.desktop" may name applications/vendor/app.desktop.
        QString nested = desktopId;
        nested.replace(nested.indexOf(QLatin1Char('-')), 1, QLatin1Char('/'));
        if (nested != desktopId) {
            path = QStandardPaths::locate(QStandardPaths::ApplicationsLocation, nested);
        }
    }
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return desktopEntryExec(QString::fromUtf8(file.readAll()));
}

std::string desktopEntryExec(const QString& desktopFileText)
{
    bool inEntry = false;
    for (const QString& rawLine : desktopFileText.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inEntry || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && line.left(equals).trimmed() == QLatin1String("Exec")) {
            return line.mid(equals + 1).trimmed().toStdString();
        }
    }
    return {};
}

bool QtProcessLauncher::startDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

}  // namespace platform
