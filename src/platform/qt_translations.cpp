// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include <utility>

namespace platform {

QtTranslations::QtTranslations(QString folder) : m_folder(std::move(folder)) {}

QtTranslations::~QtTranslations()
{
    remove();
}

QString QtTranslations::defaultFolder()
{
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
}

bool QtTranslations::setLanguage(common::TLanguage language)
{
    if (language != common::TLanguage::German) {
        remove();
        return true;
    }
    if (installed()) {
        return true;
    }
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_de"), m_folder) ||
        !QCoreApplication::installTranslator(translator.get())) {
        return false;
    }
    m_translator = std::move(translator);
    return true;
}

void QtTranslations::remove()
{
    if (m_translator) {
        QCoreApplication::removeTranslator(m_translator.get());
        m_translator.reset();
    }
}

}  // namespace platform
