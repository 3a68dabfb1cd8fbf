// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own texts follow the program's language: a message box's buttons and the key names of
// the shortcuts, as the user reads them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QMessageBox>
#include <QPushButton>

#include <memory>

#include "platform/qt_translations.h"

namespace {

using common::TLanguage;
using platform::QtTranslations;

QString cancelButtonText()
{
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Cancel);
    return box.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&'));
}

QString copyKeyName()
{
    return QKeySequence(Qt::CTRL | Qt::Key_C).toString(QKeySequence::NativeText);
}

TEST(QtTranslations, GermanAndBackToEnglishAndGoneAtTheEnd)
{
    auto texts = std::make_unique<QtTranslations>();
    if (!QFileInfo::exists(QDir(texts->folder()).filePath(QStringLiteral("qtbase_de.qm")))) {
        GTEST_SKIP() << "qtbase_de.qm is not in " << texts->folder().toStdString()
                     << " (Debian package qt6-translations-l10n)";
    }
    struct Row {
        TLanguage language;
        const char* cancel;
        const char* copy;
    };
    // Twice each way: switching to the language in force changes nothing.
    const Row rows[] = {
        {TLanguage::German, "Abbrechen", "Strg+C"}, {TLanguage::German, "Abbrechen", "Strg+C"},
        {TLanguage::English, "Cancel", "Ctrl+C"},   {TLanguage::English, "Cancel", "Ctrl+C"},
        {TLanguage::German, "Abbrechen", "Strg+C"},
    };
    for (const Row& row : rows) {
        EXPECT_TRUE(texts->setLanguage(row.language));
        EXPECT_EQ(texts->installed(), row.language == TLanguage::German);
        EXPECT_EQ(cancelButtonText(), QString::fromLatin1(row.cancel)) << row.cancel;
        EXPECT_EQ(copyKeyName(), QString::fromLatin1(row.copy)) << row.copy;
    }
    texts.reset();  // in German
    EXPECT_EQ(cancelButtonText(), QStringLiteral("Cancel"));
}

TEST(QtTranslations, AMissingFileLeavesEnglish)
{
    QtTranslations texts(QStringLiteral("/nonexistent/translations"));
    EXPECT_FALSE(texts.setLanguage(TLanguage::German));
    EXPECT_FALSE(texts.installed());
    EXPECT_EQ(cancelButtonText(), QStringLiteral("Cancel"));
    EXPECT_TRUE(texts.setLanguage(TLanguage::English));
}

}  // namespace
