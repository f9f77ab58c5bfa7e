// SPDX-License-Identifier: MIT
#include "core/run/FolderCheck.h"

#include "core/settings/IntegerTest.h"

#include <QStringList>

namespace qp {

namespace {

bool isDriveLetter(QChar c)
{
    return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool lastPartValid(const QString& last)
{
    if (last.isEmpty())
        return false;
    for (QChar c : last)
        if (isReservedCharacter(c))
            return false;
    return true;
}

} // namespace

bool IsValidWindowsFolderPath(const QString& text)
{
    const qsizetype n = text.size();
    if (n <= 1)
        return false;
    if (n == 2)
        return isDriveLetter(text[0]) && text[1] == QLatin1Char(':');
    if (n == 3)
        return isDriveLetter(text[0]) && text[1] == QLatin1Char(':') && text[2] == QLatin1Char('\\');
    QString rest = text;
    if (rest.endsWith(QLatin1Char('\\')))
        rest.chop(1);
    const QStringList parts = rest.split(QLatin1Char('\\'));
    const QString& first = parts.first();
    if (first.size() != 2 || !isDriveLetter(first[0]) || first[1] != QLatin1Char(':'))
        return false;
    return lastPartValid(parts.last());
}

bool IsValidFolderPath(const QString& text)
{
#ifdef Q_OS_WIN
    return IsValidWindowsFolderPath(text);
#else
    if (!text.startsWith(QLatin1Char('/')))
        return false;
    if (text == QLatin1String("/"))
        return true;
    QString rest = text;
    if (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);
    return lastPartValid(rest.mid(rest.lastIndexOf(QLatin1Char('/')) + 1));
#endif
}

} // namespace qp
