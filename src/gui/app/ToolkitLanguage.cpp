// SPDX-License-Identifier: MIT
#include "gui/app/ToolkitLanguage.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace qp {

namespace {

// The Windows program carries the toolkit's translations built in, as no system copy exists
// there; the Linux program loads the ones installed with the toolkit.
QString translationsFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral(":/quillpress/translations");
#else
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#endif
}

} // namespace

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
    if (translator->load(QStringLiteral("qtbase_") + code, translationsFolder())) {
        QCoreApplication::installTranslator(translator);
        installed = translator;
    } else {
        delete translator;
    }
}

} // namespace qp
