// SPDX-License-Identifier: MIT
#include "gui/app/ToolkitLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace qp {

void applyToolkitLanguage(const QString& code)
{
    static QTranslator* installed = nullptr;
    static QString installedCode;
    if (code == installedCode)
        return;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    installedCode = code;
    if (code == QLatin1String("en"))
        return;
    auto* translator = new QTranslator;
    if (translator->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
        installed = translator;
    } else {
        delete translator;
    }
}

} // namespace qp
