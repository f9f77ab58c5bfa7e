// SPDX-License-Identifier: MIT
#include "core/i18n/Language.h"

#include <QDir>
#include <QFileInfo>

namespace qp {

namespace {
QString& currentCode()
{
    static QString code = QStringLiteral("en");
    return code;
}
} // namespace

QString Language::code()
{
    return currentCode();
}

void Language::setCode(const QString& code)
{
    currentCode() = code == QLatin1String("de") ? QStringLiteral("de") : QStringLiteral("en");
}

QString Language::desktopLanguage(const QProcessEnvironment& environment)
{
    // The order in which the C library looks for the language of messages.
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = environment.value(QString::fromLatin1(name));
        if (!value.isEmpty())
            return value.startsWith(QLatin1String("de")) ? QStringLiteral("de") : QStringLiteral("en");
    }
    return QStringLiteral("en");
}

QString Language::chooseStartLanguage(const QString& workingDir, const QProcessEnvironment& environment)
{
    const QDir dir(workingDir);
    QString code;
    // Marker files only: a folder of that name does not count. "de" wins when both exist.
    if (QFileInfo(dir.filePath(QStringLiteral("de"))).isFile())
        code = QStringLiteral("de");
    else if (QFileInfo(dir.filePath(QStringLiteral("en"))).isFile())
        code = QStringLiteral("en");
    else
        code = desktopLanguage(environment);
    setCode(code);
    return code;
}

} // namespace qp
