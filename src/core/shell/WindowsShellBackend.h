// SPDX-License-Identifier: MIT
#pragma once
// The shell registration on Windows: the registry algorithm on the real registry below
// HKEY_CLASSES_ROOT, the "Send to" shortcut through the Shell Link object, the administrator test
// and the restart through the "runas" verb.
#include "core/shell/ShellBackend.h"
#include "core/shell/windows/ShellRegistration.h"
#include "core/shell/windows/win32/Win32Registry.h"
#include "core/shell/windows/win32/Win32ShellSystem.h"

namespace qp {

class WindowsShellBackend : public ShellBackend {
public:
    explicit WindowsShellBackend(const QString& programPath);

    QString programPath() const override { return m_programPath; }
    bool isActive(ShellGroup group, const QStringList& extensions = {}) const override;
    bool registerGroup(ShellGroup group, const QStringList& extensions = {}) override;
    bool removeGroup(ShellGroup group, const QStringList& extensions = {}) override;
    bool isAdmin() const override;
    ElevationSupport elevationSupport() const override { return {true, {}}; }
    ElevatedStart* restartAsAdmin(QObject* parent) override;

private:
    QString m_programPath;
    // The registry and the shell are the system's; the status asks them from a const method.
    mutable winshell::Win32Registry m_registry;
    mutable winshell::Win32ShellSystem m_system;
    mutable winshell::ShellRegistration m_registration;
};

} // namespace qp
