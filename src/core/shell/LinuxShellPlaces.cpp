// SPDX-License-Identifier: MIT
#include "core/shell/LinuxShellPlaces.h"

#include <QDir>
#include <QStandardPaths>

#include <unistd.h>

namespace qp {

LinuxShellPlaces LinuxShellPlaces::fromEnvironment(const QString& programPath)
{
    LinuxShellPlaces p;
    p.programPath = programPath;
    p.admin = ::geteuid() == 0;
    const QString home = QDir::homePath();
    p.dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (p.dataHome.isEmpty() || QDir::isRelativePath(p.dataHome))
        p.dataHome = home + QLatin1String("/.local/share");
    p.configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (p.configHome.isEmpty() || QDir::isRelativePath(p.configHome))
        p.configHome = home + QLatin1String("/.config");
    p.dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (p.dataDirs.isEmpty())
        p.dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    p.root = qEnvironmentVariable("QUILLPRESS_SHELL_ROOT");
    while (p.root.endsWith(QLatin1Char('/')))
        p.root.chop(1);
    p.pkexec = QStandardPaths::findExecutable(QStringLiteral("pkexec"));
    return p;
}

QString LinuxShellPlaces::dataDir() const
{
    return admin ? root + QLatin1String("/usr/local/share") : dataHome;
}

QString LinuxShellPlaces::configDir() const
{
    return admin ? root + QLatin1String("/etc/xdg") : configHome;
}

QString LinuxShellPlaces::polkitActionsDir() const
{
    return root + QLatin1String("/usr/share/polkit-1/actions");
}

} // namespace qp
