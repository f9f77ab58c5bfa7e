// SPDX-License-Identifier: MIT
#include "core/shell/LinuxShellBackend.h"

#include "core/shell/LinuxElevatedStart.h"
#include "core/shell/LinuxShellFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace qp {

namespace {

QString suffixOf(ShellGroup group)
{
    return shellGroupName(group);
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
        return {dataPath(QStringLiteral("applications/") + kShellConfigEntry), dataPath(kConfigPackage)};
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

QString LinuxShellBackend::mimeAppsList() const
{
    return m_places.configDir() + QLatin1String("/mimeapps.list");
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
    return removeFilesAndFolders(filesOf(group), m_places.dataDir()) && ok;
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
