// SPDX-License-Identifier: MIT
#pragma once
// What the shell-settings window and the command-line tool ask of the platform: the status,
// registration and removal of each group, whether the program runs as administrator, and the
// restart with administrator rights. Names shown to the shell follow the current language at the
// moment of the call; the status knows both languages' names.
#include "core/shell/ShellGroups.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace qp {

// Whether the program can be started again as administrator here, and if not, why (a text of the
// current language for the button's tooltip).
struct ElevationSupport {
    bool available = false;
    QString reason;
};

// One try of the restart as administrator. It reports exactly once: started() when the elevated
// instance runs (then the current one may end), or failed() when the user declined the prompt or
// the elevated start failed (then the current one must go on).
class ElevatedStart : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void started();
    void failed(bool declined);
};

class ShellBackend {
public:
    virtual ~ShellBackend() = default;

    // The program file the entries start.
    virtual QString programPath() const = 0;

    // `extensions` (parsed beldateien) is used by ShellGroup::Types only: active when every one of
    // them carries the entry.
    virtual bool isActive(ShellGroup group, const QStringList& extensions = {}) const = 0;
    // Both return whether every file could be written or removed; the status tells the outcome.
    virtual bool registerGroup(ShellGroup group, const QStringList& extensions = {}) = 0;
    virtual bool removeGroup(ShellGroup group, const QStringList& extensions = {}) = 0;

    // The desktop entry file through which configuration files open with this program file when
    // that is the type's default (the own registration or another entry, such as the installed
    // package's); empty when they open with something else or nothing.
    virtual QString configurationEntry() const { return {}; }
    // That entry when it is the one installed with the program (its package's), which registration
    // neither writes nor removes: configuration files then open with this program also after
    // "Remove". Empty otherwise.
    virtual QString installedConfigurationEntry() const { return {}; }

    virtual bool isAdmin() const = 0;
    // Whether an ordinary user can register for themselves (an administrator then registers for
    // all users); otherwise registration needs administrator rights.
    virtual bool registersPerUser() const { return false; }
    virtual ElevationSupport elevationSupport() const = 0;
    // Starts the program again with administrator rights, without arguments. Null when it could
    // not even be tried (see elevationSupport).
    virtual ElevatedStart* restartAsAdmin(QObject* parent) = 0;
};

// The backend of this platform for `programPath`.
std::unique_ptr<ShellBackend> createShellBackend(const QString& programPath);

} // namespace qp
