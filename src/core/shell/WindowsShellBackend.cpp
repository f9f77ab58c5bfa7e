// SPDX-License-Identifier: MIT
#include "core/shell/WindowsShellBackend.h"

#include "core/i18n/Language.h"
#include "core/shell/windows/CatalogShellNames.h"
#include "core/shell/windows/win32/AdminFunc.h"

#include <QDir>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

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
    WindowsElevatedStart(winshell::RestartOutcome outcome, QObject* parent) : ElevatedStart(parent)
    {
        QTimer::singleShot(0, this, [this, outcome] {
            if (outcome == winshell::RestartOutcome::Started)
                emit started();
            else
                emit failed(outcome == winshell::RestartOutcome::Declined);
        });
    }
};

// The window the elevation prompt belongs to: the one the user pressed the button in.
HWND promptOwner()
{
    const QWindow* window = QGuiApplication::focusWindow();
    return window ? reinterpret_cast<HWND>(window->winId()) : nullptr;
}

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
    return new WindowsElevatedStart(winshell::RestartAsAdmin(promptOwner(), m_programPath.toStdU16String()), parent);
}

std::unique_ptr<ShellBackend> createShellBackend(const QString& programPath)
{
    return std::make_unique<WindowsShellBackend>(programPath);
}

} // namespace qp
