// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Qt's own texts in the program's language: the buttons of message boxes, the file, print and
// page set-up dialogs, the key names of shortcuts ("Strg+C"). Debian ships them as
// qtbase_<language>.qm in Qt's translations folder (qt6-translations-l10n).
//
//   platform::QtTranslations qtTexts;       // after the QApplication
//   qtTexts.setLanguage(settings.App.Language);
//   window.onLanguageChanged = [&qtTexts](common::TLanguage l) { qtTexts.setLanguage(l); };

#include <QString>
#include <QTranslator>

#include <memory>

#include "common/globals.h"

namespace platform {

class QtTranslations {
public:
    // `folder` holds the .qm files; by default Qt's own translations folder.
    explicit QtTranslations(QString folder = defaultFolder());
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    // German installs the German texts, English removes them; every widget is told of the change.
    // False when the language's file could not be loaded: Qt then speaks English.
    bool setLanguage(common::TLanguage language);
    // The German texts are in force.
    bool installed() const { return m_translator != nullptr; }
    const QString& folder() const { return m_folder; }

    static QString defaultFolder();

private:
    void remove();

    QString m_folder;
    std::unique_ptr<QTranslator> m_translator;
};

}  // namespace platform
