// SPDX-License-Identifier: MIT
#include "core/shell/LinuxShellFiles.h"

#include "core/i18n/Catalog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qp {

QString shellText(const char* control)
{
    return catalogText(QStringLiteral("einstshortcuts"), QString::fromLatin1(control));
}

bool writeFile(const QString& path, const QByteArray& bytes, bool executable)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(bytes);
    if (!file.commit())
        return false;
    QFileDevice::Permissions permissions =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (executable)
        permissions |= QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    return QFile::setPermissions(path, permissions);
}

bool removeFile(const QString& path)
{
    return !QFileInfo::exists(path) || QFile::remove(path);
}

void removeEmptyFolders(QString folder, const QString& top)
{
    const QString stop = QDir::cleanPath(top);
    while (folder.startsWith(stop + QLatin1Char('/')) && QDir().rmdir(folder))
        folder = QFileInfo(folder).absolutePath();
}

bool removeFilesAndFolders(const QStringList& files, const QString& top)
{
    bool ok = true;
    for (const QString& file : files) {
        ok = removeFile(file) && ok;
        removeEmptyFolders(QFileInfo(file).absolutePath(), top);
    }
    return ok;
}

DesktopFile applicationEntry(const QString& name, const QString& program, const QString& exec,
                             const QString& comment)
{
    DesktopFile entry;
    entry.add(QStringLiteral("Type"), QStringLiteral("Application"));
    entry.add(QStringLiteral("Name"), name);
    if (!comment.isEmpty())
        entry.add(QStringLiteral("Comment"), comment);
    entry.add(QStringLiteral("TryExec"), program);
    entry.add(QStringLiteral("Exec"), exec);
    entry.add(QStringLiteral("Icon"), kShellIcon);
    return entry;
}

QString semicolonList(const QStringList& items)
{
    return items.isEmpty() ? QString() : items.join(QLatin1Char(';')) + QLatin1Char(';');
}

QStringList splitList(const QString& value)
{
    return value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

} // namespace qp
