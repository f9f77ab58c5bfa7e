// SPDX-License-Identifier: MIT
#include "core/shell/MimeAppsList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace qp {

namespace {

const QString kGroup = QStringLiteral("[Default Applications]");

struct ListFile {
    QStringList lines;
    qsizetype groupLine = -1;   // the group's header, -1 when missing
    qsizetype keyLine = -1;     // the type's line inside the group, -1 when missing
};

ListFile readList(const QString& path, const QString& mimeType)
{
    ListFile f;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        f.lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        if (!f.lines.isEmpty() && f.lines.last().isEmpty())
            f.lines.removeLast();
    }
    bool inGroup = false;
    for (qsizetype i = 0; i < f.lines.size(); ++i) {
        const QString line = f.lines[i].trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == kGroup;
            if (inGroup && f.groupLine < 0)
                f.groupLine = i;
        } else if (inGroup && f.keyLine < 0 && line.section(QLatin1Char('='), 0, 0).trimmed() == mimeType &&
                   line.contains(QLatin1Char('='))) {
            f.keyLine = i;
        }
    }
    return f;
}

QStringList valueOf(const ListFile& f)
{
    if (f.keyLine < 0)
        return {};
    return f.lines[f.keyLine].section(QLatin1Char('='), 1).trimmed().split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

bool writeList(const QString& path, const ListFile& f)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write((f.lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return file.commit();
}

} // namespace

QStringList defaultApplications(const QString& path, const QString& mimeType)
{
    return valueOf(readList(path, mimeType));
}

bool addDefaultApplication(const QString& path, const QString& mimeType, const QString& desktopId)
{
    ListFile f = readList(path, mimeType);
    QStringList value = valueOf(f);
    if (!value.isEmpty() && value.first() == desktopId)
        return true;
    value.removeAll(desktopId);
    value.prepend(desktopId);
    const QString line = mimeType + QLatin1Char('=') + value.join(QLatin1Char(';')) + QLatin1Char(';');
    if (f.keyLine >= 0) {
        f.lines[f.keyLine] = line;
    } else if (f.groupLine >= 0) {
        f.lines.insert(f.groupLine + 1, line);
    } else {
        if (!f.lines.isEmpty() && !f.lines.last().trimmed().isEmpty())
            f.lines << QString();
        f.lines << kGroup << line;
    }
    return writeList(path, f);
}

bool removeDefaultApplication(const QString& path, const QString& mimeType, const QString& desktopId)
{
    ListFile f = readList(path, mimeType);
    QStringList value = valueOf(f);
    if (!value.contains(desktopId))
        return true;
    value.removeAll(desktopId);
    if (value.isEmpty()) {
        f.lines.removeAt(f.keyLine);
        // A group left without keys goes too, and a file left empty.
        const bool groupEmpty = f.groupLine + 1 >= f.lines.size()
                                || f.lines[f.groupLine + 1].trimmed().startsWith(QLatin1Char('['));
        if (groupEmpty) {
            f.lines.removeAt(f.groupLine);
            if (f.groupLine > 0 && f.lines[f.groupLine - 1].trimmed().isEmpty()
                && (f.groupLine >= f.lines.size() || f.lines[f.groupLine].trimmed().startsWith(QLatin1Char('['))))
                f.lines.removeAt(f.groupLine - 1);
        }
        if (std::all_of(f.lines.cbegin(), f.lines.cend(), [](const QString& l) { return l.trimmed().isEmpty(); }))
            return QFile::remove(path);
    } else
        f.lines[f.keyLine] = mimeType + QLatin1Char('=') + value.join(QLatin1Char(';')) + QLatin1Char(';');
    return writeList(path, f);
}

} // namespace qp
