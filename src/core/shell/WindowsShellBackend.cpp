// SPDX-License-Identifier: MIT
#include "core/shell/WindowsShellBackend.h"

#include "core/i18n/Language.h"
#include "core/shell/windows/CatalogShellNames.h"
#include "core/shell/windows/win32/AdminFunc.h"

#include <QDir>
#include <QTimer>

namespace qp {

namespace {

winshell::ShellGroup windowsGroup(ShellGroup group)
{
    switch (group) {
    case ShellGroup::Config:
        return winshell::ShellGroup::ConfigFiles;
    case ShellGroup::SendTo:
        return winshell::ShellGroup::SendTo;
    case ShellGroup::Folders:
        return winshell::ShellGroup::Folders;
    case ShellGroup::Files:
        return winshell::ShellGroup::AllFiles;
    case ShellGroup::Types:
        break;
    }
    return winshell::ShellGroup::ChosenExtensions;
}

// The start has happened (or not) by the time the verb returns; the outcome is told once the
// caller has connected to it.
class WindowsElevatedStart : public ElevatedStart {
public:
    WindowsElevatedStart(bool started, bool declined, QObject* parent) : ElevatedStart(parent)
    {
        QTimer::singleShot(0, this, [this, started, declined] {
            if (started)
                emit this->started();
            else
                emit failed(declined);
        });
    }
};

} // namespace

WindowsShellBackend::WindowsShellBackend(const QString& programPath)
    : m_programPath(QDir::toNativeSeparators(programPath)),
      m_registration(m_registry, m_system, winshell::shellNamesFromCatalog(), m_programPath.toStdU16String())
{
}

bool WindowsShellBackend::isActive(ShellGroup group, const QStringList& extensions) const
{
    if (group == ShellGroup::Types) {
        if (extensions.isEmpty())
            return false;
        for (const QString& extension : extensions)
            if (!m_registration.chosenExtensionActive(extension.toStdU16String()))
                return false;
        return true;
    }
    const winshell::ShortcutStatus status = m_registration.CheckShortCuts();
    switch (group) {
    case ShellGroup::Config:
        return status.configFiles;
    case ShellGroup::SendTo:
        return status.sendTo;
    case ShellGroup::Folders:
        return status.folders;
    case ShellGroup::Files:
        return status.allFiles;
    case ShellGroup::Types:
        break;
    }
    return false;
}

bool WindowsShellBackend::registerGroup(ShellGroup group, const QStringList& extensions)
{
    m_registration.registerGroup(windowsGroup(group), Language::code().toStdString(),
                                 extensions.join(QLatin1Char(',')).toStdU16String());
    return isActive(group, extensions);
}

bool WindowsShellBackend::removeGroup(ShellGroup group, const QStringList& extensions)
{
    m_registration.removeGroup(windowsGroup(group), extensions.join(QLatin1Char(',')).toStdU16String());
    if (group == ShellGroup::Types) {
        for (const QString& extension : extensions)
            if (m_registration.chosenExtensionActive(extension.toStdU16String()))
                return false;
        return true;
    }
    return !isActive(group, extensions);
}

bool WindowsShellBackend::isAdmin() const
{
    return winshell::IsAdmin();
}

ElevatedStart* WindowsShellBackend::restartAsAdmin(QObject* parent)
{
    const bool started = winshell::RestartAsAdmin(nullptr, m_programPath.toStdU16String());
    // The user's "No" at the elevation prompt is a cancelled operation.
    const bool declined = !started && GetLastError() == ERROR_CANCELLED;
    return new WindowsElevatedStart(started, declined, parent);
}

std::unique_ptr<ShellBackend> createShellBackend(const QString& programPath)
{
    return std::make_unique<WindowsShellBackend>(programPath);
}

} // namespace qp
