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

QString Language::chooseStartLanguage(const QString& workingDir)
{
    const QDir dir(workingDir);
    QString code = QStringLiteral("en");
    // Marker files only: a folder of that name does not count.
    if (QFileInfo(dir.filePath(QStringLiteral("en"))).isFile())
        code = QStringLiteral("en");
    if (QFileInfo(dir.filePath(QStringLiteral("de"))).isFile())
        code = QStringLiteral("de");
    setCode(code);
    return code;
}

} // namespace qp
