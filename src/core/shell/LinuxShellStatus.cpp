// SPDX-License-Identifier: MIT
// LinuxShellBackend: reading what is registered, from the files the registration writes and the
// desktop's own choices.
#include "core/shell/LinuxShellBackend.h"

#include "core/shell/DefaultApplication.h"
#include "core/shell/DesktopEntry.h"
#include "core/shell/LinuxFileManagers.h"
#include "core/shell/LinuxShellFiles.h"
#include "core/shell/MimeAppsList.h"
#include "core/shell/MimePackage.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRegularExpression>

namespace qp {

bool LinuxShellBackend::startsProgram(const QString& path, const QString& group, const QString& key) const
{
    const QStringList args = execArguments(readDesktopGroup(path, group).value(key));
    return !args.isEmpty() && args.first() == m_places.programPath;
}

bool LinuxShellBackend::isActive(ShellGroup group, const QStringList& extensions) const
{
    const QStringList files = filesOf(group);
    const QString entry = QStringLiteral("Desktop Entry");
    switch (group) {
    case ShellGroup::Config:
        return (startsProgram(files[0], entry) && QFileInfo::exists(files[1]) &&
                defaultApplications(mimeAppsList(), QString::fromLatin1(configurationMimeType))
                    .contains(kShellConfigEntry)) ||
               !configurationEntry().isEmpty();
    case ShellGroup::SendTo: {
        if (startsProgram(files[0], entry) ||
            startsProgram(files[1], QStringLiteral("Desktop Action sendto")))
            return true;
        if (files.size() > 2) {
            QFile script(files[2]);
            return script.open(QIODevice::ReadOnly) &&
                   QString::fromUtf8(script.readAll()) == sendToScript(m_places.programPath);
        }
        return false;
    }
    case ShellGroup::Folders:
    case ShellGroup::Files:
        return startsProgram(files[0], entry);
    case ShellGroup::Types: {
        if (!startsProgram(files[0], entry))
            return false;
        const QStringList registered = typesEntryMimeTypes();
        for (const QString& extension : extensions)
            if (!registered.contains(mimeTypeForExtension(extension)))
                return false;
        return true;
    }
    }
    return false;
}

QString LinuxShellBackend::configurationEntry() const
{
    const QProcessEnvironment env = desktopEnvironment();
    const QString file = defaultEntryFile(QString::fromLatin1(configurationMimeType), env);
    if (file.isEmpty())
        return {};
    return execStarts(readDesktopGroup(file, QStringLiteral("Desktop Entry")).value(QStringLiteral("Exec")),
                      m_places.programPath, env)
               ? file
               : QString();
}

QString LinuxShellBackend::installedEntry() const
{
    const QProcessEnvironment env = desktopEnvironment();
    const QString file = entryFileOfId(kInstalledEntry, env);
    const QMap<QString, QString> keys = readDesktopGroup(file, QStringLiteral("Desktop Entry"));
    const bool opensConfigurations =
        splitList(keys.value(QStringLiteral("MimeType"))).contains(QString::fromLatin1(configurationMimeType)) &&
        keys.value(QStringLiteral("Hidden")) != QLatin1String("true");
    return opensConfigurations && execStarts(keys.value(QStringLiteral("Exec")), m_places.programPath, env) ? file
                                                                                                          : QString();
}

QString LinuxShellBackend::installedConfigurationEntry() const
{
    const QString installed = installedEntry();
    return !installed.isEmpty() && configurationEntry() == installed ? installed : QString();
}

QString LinuxShellBackend::mimeTypeForExtension(const QString& extension) const
{
    const QString glob = QLatin1Char('*') + extension;
    // An extension this program gave a type of its own keeps it.
    for (const auto& [type, globs] : readPackage(filesOf(ShellGroup::Types).last()))
        if (globs.contains(glob, Qt::CaseInsensitive))
            return type;
    const QList<QMimeType> known = QMimeDatabase().mimeTypesForFileName(QStringLiteral("x") + extension);
    for (const QMimeType& type : known)
        if (!type.name().startsWith(QLatin1String("application/x-extension-")))
            return type.name();
    return QStringLiteral("application/x-extension-") + mimeNamePart(extension);
}

QStringList LinuxShellBackend::typesEntryMimeTypes() const
{
    const QMap<QString, QString> entry = readDesktopGroup(filesOf(ShellGroup::Types)[0], QStringLiteral("Desktop Entry"));
    // Earlier versions separated the types with ";", and before the key existed the entry offered
    // every registered type.
    const QString types = entry.value(QStringLiteral("X-Quillpress-Types"), entry.value(QStringLiteral("MimeType")));
    return types.split(QRegularExpression(QStringLiteral("[,;]")), Qt::SkipEmptyParts);
}

} // namespace qp
