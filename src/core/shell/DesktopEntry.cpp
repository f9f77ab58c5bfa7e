// SPDX-License-Identifier: MIT
#include "core/shell/DesktopEntry.h"

#include <QFile>

namespace qp {

namespace {

QString escapeValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\t': out += QLatin1String("\\t"); break;
        case '\r': out += QLatin1String("\\r"); break;
        default: out += c;
        }
    }
    return out;
}

QString unescapeValue(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case 's': out += QLatin1Char(' '); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 't': out += QLatin1Char('\t'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case '\\': out += QLatin1Char('\\'); break;
        default: out += QLatin1Char('\\'); out += next;
        }
    }
    return out;
}

} // namespace

QString execCommand(const QString& program, const QString& fieldCode)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString path = program;
    path.replace(QLatin1Char('%'), QLatin1String("%%"));
    bool quote = false;
    for (QChar c : path)
        quote = quote || reserved.contains(c);
    if (quote) {
        QString quoted = QStringLiteral("\"");
        for (QChar c : path) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        path = quoted + QLatin1Char('"');
    }
    return fieldCode.isEmpty() ? path : path + QLatin1Char(' ') + fieldCode;
}

QStringList execArguments(const QString& exec)
{
    QStringList args;
    QString current;
    bool inArgument = false, inQuotes = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (inQuotes) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size()) {
                current += exec[++i];
            } else if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else {
                current += c;
            }
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (inArgument)
                args << current;
            current.clear();
            inArgument = false;
        } else if (c == QLatin1Char('"')) {
            inQuotes = inArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        args << current;
    for (QString& a : args)
        a.replace(QLatin1String("%%"), QLatin1String("%"));
    return args;
}

void DesktopFile::add(const QString& key, const QString& value)
{
    if (m_groups.isEmpty())
        addGroup(QStringLiteral("Desktop Entry"));
    m_groups.last().second.append({key, escapeValue(value)});
}

QString DesktopFile::text() const
{
    QString out;
    for (const auto& [name, keys] : m_groups) {
        if (!out.isEmpty())
            out += QLatin1Char('\n');
        out += QLatin1Char('[') + name + QLatin1String("]\n");
        for (const auto& [key, value] : keys)
            out += key + QLatin1Char('=') + value + QLatin1Char('\n');
    }
    return out;
}

QMap<QString, QString> readDesktopGroup(const QString& path, const QString& group)
{
    QMap<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return keys;
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    bool inGroup = false;
    for (const QString& raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == header;
            continue;
        }
        if (!inGroup || line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        if (!keys.contains(key))
            keys.insert(key, unescapeValue(line.mid(eq + 1).trimmed()));
    }
    return keys;
}

} // namespace qp
