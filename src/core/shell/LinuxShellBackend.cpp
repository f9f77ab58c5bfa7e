// SPDX-License-Identifier: MIT
#include "core/shell/LinuxShellBackend.h"

#include "core/i18n/Catalog.h"
#include "core/shell/DefaultApplication.h"
#include "core/shell/DesktopEntry.h"
#include "core/shell/LinuxElevatedStart.h"
#include "core/shell/MimeAppsList.h"
#include "core/shell/MimePackage.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <algorithm>

namespace qp {

namespace {

const QString kConfigEntry = QStringLiteral("quillpress-shell-config.desktop");
// The desktop entry installed with the program.
const QString kInstalledEntry = QStringLiteral("quillpress.desktop");
const QString kConfigPackage = QStringLiteral("mime/packages/quillpress-shell.xml");
const QString kExtensionsPackage = QStringLiteral("mime/packages/quillpress-shell-extensions.xml");
const QString kIcon = QStringLiteral("quillpress");

QString shellText(const char* control)
{
    return catalogText(QStringLiteral("einstshortcuts"), QString::fromLatin1(control));
}

QString suffixOf(ShellGroup group)
{
    return shellGroupName(group);
}

bool writeFile(const QString& path, const QByteArray& bytes, bool executable = false)
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

// Removes `folder` and its parents up to `top` (not `top` itself) while they are empty: the
// folders registration made for its files go with the last of them.
void removeEmptyFolders(QString folder, const QString& top)
{
    const QString stop = QDir::cleanPath(top);
    while (folder.startsWith(stop + QLatin1Char('/')) && QDir().rmdir(folder))
        folder = QFileInfo(folder).absolutePath();
}

// A shell word for the send-to script: single-quoted, a quote inside closed and reopened.
QString shellQuoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QString sendToScript(const QString& program)
{
    return QStringLiteral("#!/bin/sh\n# Sends the selected files to VLM Quillpress.\nexec %1 \"$@\"\n")
        .arg(shellQuoted(program));
}

QString semicolonList(const QStringList& items)
{
    return items.isEmpty() ? QString() : items.join(QLatin1Char(';')) + QLatin1Char(';');
}

QStringList splitList(const QString& value)
{
    return value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

// Whether a polkit action file lets pkexec start `program` (its exec.path annotation).
bool actionAllows(const QString& policyFile, const QString& program)
{
    QFile file(policyFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("annotate") &&
            xml.attributes().value(QLatin1String("key")) == QLatin1String("org.freedesktop.policykit.exec.path")) {
            if (xml.readElementText().trimmed() == program)
                return true;
        }
    }
    return false;
}

// A Dolphin service menu for the files of `mimeTypes` with one action, `action`, that starts the
// program; `submenu`, when given, is the menu it stands in.
DesktopFile kdeServiceMenu(const QString& name, const QString& mimeTypes, const QString& submenu,
                           const QString& action, const QString& program, const QString& exec)
{
    DesktopFile kde;
    kde.add(QStringLiteral("Type"), QStringLiteral("Service"));
    kde.add(QStringLiteral("Name"), name);
    kde.add(QStringLiteral("TryExec"), program);
    kde.add(QStringLiteral("MimeType"), mimeTypes);
    kde.add(QStringLiteral("X-KDE-ServiceTypes"), QStringLiteral("KonqPopupMenu/Plugin"));
    if (!submenu.isEmpty())
        kde.add(QStringLiteral("X-KDE-Submenu"), submenu);
    kde.add(QStringLiteral("Actions"), action + u';');
    kde.addGroup(QStringLiteral("Desktop Action ") + action);
    kde.add(QStringLiteral("Name"), name);
    kde.add(QStringLiteral("Icon"), kIcon);
    kde.add(QStringLiteral("Exec"), exec);
    return kde;
}

} // namespace

LinuxShellBackend::LinuxShellBackend(LinuxShellPlaces places) : m_places(std::move(places)) {}

QString LinuxShellBackend::dataPath(const QString& relative) const
{
    return m_places.dataDir() + QLatin1Char('/') + relative;
}

QStringList LinuxShellBackend::filesOf(ShellGroup group) const
{
    const QString name = QStringLiteral("quillpress-shell-") + suffixOf(group);
    switch (group) {
    case ShellGroup::Config:
        return {dataPath(QStringLiteral("applications/") + kConfigEntry), dataPath(kConfigPackage)};
    case ShellGroup::SendTo: {
        QStringList files = {dataPath(QStringLiteral("Thunar/sendto/") + name + QLatin1String(".desktop")),
                             dataPath(QStringLiteral("kio/servicemenus/") + name + QLatin1String(".desktop"))};
        // Nautilus has scripts per user only.
        if (!m_places.admin)
            files << dataPath(QStringLiteral("nautilus/scripts/") + shellText("sendenan_name"));
        return files;
    }
    case ShellGroup::Folders:
    case ShellGroup::Files:
    case ShellGroup::Types: {
        QStringList files = {dataPath(QStringLiteral("applications/") + name + QLatin1String(".desktop")),
                             dataPath(QStringLiteral("kio/servicemenus/") + name + QLatin1String(".desktop")),
                             dataPath(QStringLiteral("nemo/actions/") + name + QLatin1String(".nemo_action"))};
        if (group == ShellGroup::Types)
            files << dataPath(kExtensionsPackage);
        return files;
    }
    }
    return {};
}

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
                    .contains(kConfigEntry)) ||
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

QProcessEnvironment LinuxShellBackend::desktopEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    const QString dataDirs =
        m_places.dataDirs.isEmpty() ? QStringLiteral("/usr/local/share:/usr/share") : m_places.dataDirs;
    if (!m_places.admin) {
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_places.dataHome);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_places.configHome);
        env.insert(QStringLiteral("XDG_DATA_DIRS"), dataDirs);
        return env;
    }
    // For all users: the system-wide places this registration writes to come first.
    env.insert(QStringLiteral("XDG_DATA_DIRS"), m_places.dataDir() + QLatin1Char(':') + dataDirs);
    const QString configDirs = env.value(QStringLiteral("XDG_CONFIG_DIRS"), QStringLiteral("/etc/xdg"));
    env.insert(QStringLiteral("XDG_CONFIG_DIRS"), m_places.configDir() + QLatin1Char(':') + configDirs);
    return env;
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

bool LinuxShellBackend::registerGroup(ShellGroup group, const QStringList& extensions)
{
    bool ok = false;
    switch (group) {
    case ShellGroup::Config: ok = registerConfig(); break;
    case ShellGroup::SendTo: ok = registerSendTo(); break;
    case ShellGroup::Folders:
        ok = writeContextEntries(group, {QStringLiteral("inode/directory")}, shellText("kontext_ordner"));
        break;
    case ShellGroup::Files:
        ok = writeContextEntries(group, {QStringLiteral("all/allfiles"), QStringLiteral("application/octet-stream")},
                                 shellText("kontext_dateien"));
        break;
    case ShellGroup::Types: ok = registerTypes(extensions); break;
    }
    updateCaches();
    return ok;
}

bool LinuxShellBackend::removeGroup(ShellGroup group, const QStringList& extensions)
{
    bool ok = false;
    switch (group) {
    case ShellGroup::Config: ok = removeConfig(); break;
    case ShellGroup::Types: ok = removeTypes(extensions); break;
    default: ok = removeFiles(group); break;
    }
    updateCaches();
    return ok;
}

bool LinuxShellBackend::removeFiles(ShellGroup group)
{
    bool ok = true;
    if (group == ShellGroup::Folders || group == ShellGroup::Files || group == ShellGroup::Types)
        ok = releaseDefaults(keptDefaults(group));
    for (const QString& file : filesOf(group)) {
        ok = removeFile(file) && ok;
        removeEmptyFolders(QFileInfo(file).absolutePath(), m_places.dataDir());
    }
    return ok;
}

QString LinuxShellBackend::mimeAppsList() const
{
    return m_places.configDir() + QLatin1String("/mimeapps.list");
}

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
    DesktopFile entry;
    entry.add(QStringLiteral("Type"), QStringLiteral("Application"));
    entry.add(QStringLiteral("Name"), shellText("sendenan_name"));
    entry.add(QStringLiteral("Comment"), shellText("dateityp"));
    // TryExec: when the program is gone, the desktop passes over the entry.
    entry.add(QStringLiteral("TryExec"), m_places.programPath);
    entry.add(QStringLiteral("Exec"), execCommand(m_places.programPath, QStringLiteral("%F")));
    entry.add(QStringLiteral("Icon"), kIcon);
    entry.add(QStringLiteral("MimeType"), semicolonList({type}));
    entry.add(QStringLiteral("NoDisplay"), QStringLiteral("true"));
    entry.add(QStringLiteral("Terminal"), QStringLiteral("false"));
    bool ok = writeFile(files[0], entry.text().toUtf8());
    ok = ok && writeFile(files[1], packageText({{type, {QStringLiteral("*.qpcf")}}}, shellText("dateityp")));
    ok = ok && addDefaultApplication(list, type, kConfigEntry);
    return ok;
}

bool LinuxShellBackend::removeOwnConfig()
{
    const bool ok = removeDefaultApplication(mimeAppsList(), QString::fromLatin1(configurationMimeType), kConfigEntry);
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

    DesktopFile thunar;
    thunar.add(QStringLiteral("Type"), QStringLiteral("Application"));
    thunar.add(QStringLiteral("Name"), name);
    thunar.add(QStringLiteral("TryExec"), m_places.programPath);
    thunar.add(QStringLiteral("Exec"), exec);
    thunar.add(QStringLiteral("Icon"), kIcon);
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
    DesktopFile record;
    record.add(QStringLiteral("Type"), QStringLiteral("Application"));
    record.add(QStringLiteral("Name"), caption);
    record.add(QStringLiteral("TryExec"), m_places.programPath);
    record.add(QStringLiteral("Exec"), exec);
    record.add(QStringLiteral("Icon"), kIcon);
    record.add(QStringLiteral("X-Quillpress-Types"), standardTypes.join(QLatin1Char(',')));
    record.add(QStringLiteral("NoDisplay"), QStringLiteral("true"));
    record.add(QStringLiteral("Terminal"), QStringLiteral("false"));
    ok = writeFile(files[0], record.text().toUtf8()) && ok;

    const DesktopFile kde =
        kdeServiceMenu(caption, semicolonList(mimeTypes), {}, QStringLiteral("open"), m_places.programPath, exec);
    ok = writeFile(files[1], kde.text().toUtf8(), true) && ok;

    DesktopFile nemo;
    nemo.addGroup(QStringLiteral("Nemo Action"));
    nemo.add(QStringLiteral("Name"), caption);
    nemo.add(QStringLiteral("Exec"), exec);
    nemo.add(QStringLiteral("Icon-Name"), kIcon);
    nemo.add(QStringLiteral("Selection"), QStringLiteral("any"));
    if (group == ShellGroup::Folders)
        nemo.add(QStringLiteral("Extensions"), QStringLiteral("dir;"));
    else if (group == ShellGroup::Files)
        nemo.add(QStringLiteral("Extensions"), QStringLiteral("nodirs;"));
    else
        nemo.add(QStringLiteral("Mimetypes"), semicolonList(mimeTypes));
    ok = writeFile(files[2], nemo.text().toUtf8()) && ok;
    return ok;
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
        for (const QString& file : filesOf(ShellGroup::Types).mid(0, 3)) {
            ok = removeFile(file) && ok;
            removeEmptyFolders(QFileInfo(file).absolutePath(), m_places.dataDir());
        }
    } else {
        ok = writeContextEntries(ShellGroup::Types, types, shellText("kontext_dateien"));
    }
    if (package.isEmpty())
        ok = removeFile(packagePath) && ok;
    else
        ok = writeFile(packagePath, packageText(package, {})) && ok;
    return ok;
}

void LinuxShellBackend::updateCaches() const
{
    if (!m_places.updateCaches)
        return;
    auto run = [](const QString& tool, const QStringList& arguments) {
        const QString program = QStandardPaths::findExecutable(tool);
        if (program.isEmpty())
            return false;
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(program, arguments);
        return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    };

    // The applications folder's cache of types: brought up to date while the folder holds desktop
    // entries; once none is left, it lists nothing, and it goes (with the folders it leaves empty).
    const QString applications = dataPath(QStringLiteral("applications"));
    if (QFileInfo(applications).isDir()) {
        QDirIterator entries(applications, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        if (entries.hasNext()) {
            run(QStringLiteral("update-desktop-database"), {QStringLiteral("-q"), applications});
        } else {
            QFile::remove(applications + QLatin1String("/mimeinfo.cache"));
            removeEmptyFolders(applications, m_places.dataDir());
        }
    }

    // The MIME database is built from the packages in mime/packages. Once the last package is
    // gone, it is built from none, and its files (all of them made by update-mime-database) go,
    // so that no stale database goes on naming a removed type; anything else keeps the folder.
    const QString mime = dataPath(QStringLiteral("mime"));
    const QString packages = mime + QLatin1String("/packages");
    if (!QFileInfo(mime).isDir())
        return;
    if (!QDir(packages).entryList({QStringLiteral("*.xml")}, QDir::Files).isEmpty()) {
        run(QStringLiteral("update-mime-database"), {mime});
        return;
    }
    QDir().mkpath(packages);
    if (!run(QStringLiteral("update-mime-database"), {mime})) {
        removeEmptyFolders(packages, m_places.dataDir());
        return;
    }
    // What the tool writes besides one file per type in the folder of its media type, which it
    // took away when it was given no package.
    static const char* const databaseFiles[] = {"XMLnamespaces", "aliases", "generic-icons", "globs", "globs2",
                                                "icons", "magic", "mime.cache", "subclasses", "treemagic",
                                                "types", "version"};
    for (const char* name : databaseFiles)
        QFile::remove(mime + QLatin1Char('/') + QLatin1String(name));
    for (const QString& folder : QDir(mime).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        QDir(mime).rmdir(folder);
    removeEmptyFolders(mime, m_places.dataDir());
}

ElevationSupport LinuxShellBackend::elevationSupport() const
{
    if (m_places.pkexec.isEmpty())
        return {false, shellText("admin_kein_pkexec")};
    QDirIterator it(m_places.polkitActionsDir(), {QStringLiteral("*.policy")}, QDir::Files);
    while (it.hasNext())
        if (actionAllows(it.next(), m_places.programPath))
            return {true, {}};
    return {false, shellText("admin_keine_aktion").arg(m_places.programPath)};
}

ElevatedStart* LinuxShellBackend::restartAsAdmin(QObject* parent)
{
    if (!elevationSupport().available)
        return nullptr;
    return LinuxElevatedStart::start(m_places.pkexec, m_places.programPath, parent);
}

std::unique_ptr<ShellBackend> createShellBackend(const QString& programPath)
{
    return std::make_unique<LinuxShellBackend>(LinuxShellPlaces::fromEnvironment(programPath));
}

} // namespace qp
