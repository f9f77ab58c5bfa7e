// SPDX-License-Identifier: MIT
// LinuxShellBackend: writing and removing the files of each group (desktop entries, MIME packages,
// the file managers' send-to and context-menu files) and the defaults in mimeapps.list.
#include "core/shell/LinuxShellBackend.h"

#include "core/shell/DesktopEntry.h"
#include "core/shell/LinuxFileManagers.h"
#include "core/shell/LinuxShellFiles.h"
#include "core/shell/MimeAppsList.h"
#include "core/shell/MimePackage.h"

#include <QFileInfo>

#include <algorithm>

namespace qp {

QMap<QString, QString> LinuxShellBackend::keptDefaults(ShellGroup group) const
{
    QMap<QString, QString> kept;
    const QString value = readDesktopGroup(filesOf(group)[0], QStringLiteral("Desktop Entry"))
                              .value(QStringLiteral("X-Quillpress-Kept-Defaults"));
    for (const QString& pair : splitList(value)) {
        const QString type = pair.section(QLatin1Char('='), 0, 0);
        const QString entry = pair.section(QLatin1Char('='), 1);
        if (!type.isEmpty() && !entry.isEmpty())
            kept.insert(type, entry);
    }
    return kept;
}

bool LinuxShellBackend::releaseDefaults(const QMap<QString, QString>& kept)
{
    // A default the user changed since stays as the user set it.
    bool ok = true;
    const QString list = mimeAppsList();
    for (auto it = kept.cbegin(); it != kept.cend(); ++it)
        if (defaultApplications(list, it.key()) == QStringList{it.value()})
            ok = removeDefaultApplication(list, it.key(), it.value()) && ok;
    return ok;
}

bool LinuxShellBackend::registerConfig()
{
    const QString type = QString::fromLatin1(configurationMimeType);
    const QString list = mimeAppsList();
    if (!installedEntry().isEmpty()) {
        // The program was installed with an entry for its configuration files (the package's):
        // that entry serves. An entry of this registration would outlive the package, and
        // xdg-open, which does not look at TryExec, would then fail on a program that is gone. A
        // default that names the installed entry is passed over once the entry is gone.
        const QStringList own = filesOf(ShellGroup::Config);
        const bool hadOwn = QFileInfo::exists(own[0]) || QFileInfo::exists(own[1]);
        bool ok = removeOwnConfig();
        if (hadOwn)
            updateCaches();
        if (installedConfigurationEntry().isEmpty())
            ok = addDefaultApplication(list, type, kInstalledEntry) && ok;
        return ok;
    }
    const QStringList files = filesOf(ShellGroup::Config);
    DesktopFile entry = applicationEntry(shellText("sendenan_name"), m_places.programPath,
                                         execCommand(m_places.programPath, QStringLiteral("%F")), shellText("dateityp"));
    entry.add(QStringLiteral("MimeType"), semicolonList({type}));
    entry.add(QStringLiteral("NoDisplay"), QStringLiteral("true"));
    entry.add(QStringLiteral("Terminal"), QStringLiteral("false"));
    bool ok = writeFile(files[0], entry.text().toUtf8());
    ok = ok && writeFile(files[1], packageText({{type, {QStringLiteral("*.qpcf")}}}, shellText("dateityp")));
    ok = ok && addDefaultApplication(list, type, kShellConfigEntry);
    return ok;
}

bool LinuxShellBackend::removeOwnConfig()
{
    const bool ok = removeDefaultApplication(mimeAppsList(), QString::fromLatin1(configurationMimeType), kShellConfigEntry);
    return removeFiles(ShellGroup::Config) && ok;
}

bool LinuxShellBackend::removeConfig()
{
    // Also the default that registration wrote for the installed entry; the installed entry
    // itself goes only with the package.
    const bool ok =
        removeDefaultApplication(mimeAppsList(), QString::fromLatin1(configurationMimeType), kInstalledEntry);
    return removeOwnConfig() && ok;
}

bool LinuxShellBackend::registerSendTo()
{
    const QStringList files = filesOf(ShellGroup::SendTo);
    const QString name = shellText("sendenan_name");
    const QString exec = execCommand(m_places.programPath, QStringLiteral("%F"));

    const DesktopFile thunar = applicationEntry(name, m_places.programPath, exec);
    bool ok = writeFile(files[0], thunar.text().toUtf8());

    const DesktopFile kde = kdeServiceMenu(name, QStringLiteral("all/all;"), shellText("gb2"),
                                           QStringLiteral("sendto"), m_places.programPath, exec);
    // Dolphin runs service menus of the user's folders only when they are executable.
    ok = writeFile(files[1], kde.text().toUtf8(), true) && ok;

    if (files.size() > 2)
        ok = writeFile(files[2], sendToScript(m_places.programPath).toUtf8(), true) && ok;
    return ok;
}

bool LinuxShellBackend::writeContextEntries(ShellGroup group, const QStringList& mimeTypes, const QString& caption)
{
    const QStringList files = filesOf(group);
    const QString exec = execCommand(m_places.programPath, QStringLiteral("%F"));

    // Defaults that an earlier version wrote down for the types its entry offered go again: the
    // entry offers none any more.
    bool ok = releaseDefaults(keptDefaults(group));

    // The context menus are the file managers' action files below. The entry in the applications
    // folder only records the group (its program and types, for the status and a later removal)
    // and claims no type: no MimeType key, and no type followed by ";" anywhere in it, since for
    // a type without a default xdg-mime takes any entry holding that text, and xdg-open starts it
    // (without looking at TryExec). "all/allfiles" is a name of Dolphin's only.
    QStringList standardTypes = mimeTypes;
    standardTypes.removeAll(QStringLiteral("all/allfiles"));
    DesktopFile record = applicationEntry(caption, m_places.programPath, exec);
    record.add(QStringLiteral("X-Quillpress-Types"), standardTypes.join(QLatin1Char(',')));
    record.add(QStringLiteral("NoDisplay"), QStringLiteral("true"));
    record.add(QStringLiteral("Terminal"), QStringLiteral("false"));
    ok = writeFile(files[0], record.text().toUtf8()) && ok;

    const DesktopFile kde =
        kdeServiceMenu(caption, semicolonList(mimeTypes), {}, QStringLiteral("open"), m_places.programPath, exec);
    ok = writeFile(files[1], kde.text().toUtf8(), true) && ok;

    ok = writeFile(files[2], nemoAction(group, caption, exec, mimeTypes).text().toUtf8()) && ok;
    return ok;
}

bool LinuxShellBackend::registerTypes(const QStringList& extensions)
{
    const QString packagePath = filesOf(ShellGroup::Types).last();
    MimePackage package = readPackage(packagePath);
    QStringList types = typesEntryMimeTypes();
    for (const QString& extension : extensions) {
        const QString type = mimeTypeForExtension(extension);
        if (!types.contains(type))
            types << type;
        if (!type.startsWith(QLatin1String("application/x-extension-")))
            continue;
        const QString glob = QLatin1Char('*') + extension;
        auto it = std::find_if(package.begin(), package.end(), [&](const auto& t) { return t.first == type; });
        if (it == package.end())
            package.append({type, {glob}});
        else if (!it->second.contains(glob))
            it->second << glob;
    }
    if (types.isEmpty())
        return true;
    bool ok = writeContextEntries(ShellGroup::Types, types, shellText("kontext_dateien"));
    if (!package.isEmpty())
        ok = writeFile(packagePath, packageText(package, {})) && ok;
    return ok;
}

bool LinuxShellBackend::removeTypes(const QStringList& extensions)
{
    const QString packagePath = filesOf(ShellGroup::Types).last();
    MimePackage package = readPackage(packagePath);
    QStringList types = typesEntryMimeTypes();
    for (const QString& extension : extensions) {
        types.removeAll(mimeTypeForExtension(extension));
        const QString glob = QLatin1Char('*') + extension;
        for (auto& entry : package)
            entry.second.removeAll(glob);
    }
    package.removeIf([](const auto& entry) { return entry.second.isEmpty(); });

    bool ok = true;
    if (types.isEmpty()) {
        ok = releaseDefaults(keptDefaults(ShellGroup::Types));
        ok = removeFilesAndFolders(filesOf(ShellGroup::Types).mid(0, 3), m_places.dataDir()) && ok;
    } else {
        ok = writeContextEntries(ShellGroup::Types, types, shellText("kontext_dateien"));
    }
    if (package.isEmpty())
        ok = removeFile(packagePath) && ok;
    else
        ok = writeFile(packagePath, packageText(package, {})) && ok;
    return ok;
}

} // namespace qp
