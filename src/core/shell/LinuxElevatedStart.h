// SPDX-License-Identifier: MIT
#pragma once
// The restart as administrator through pkexec. pkexec asks for the authorisation and then
// replaces itself by the program, or ends with 126 (declined) or 127 (not authorised, or failed).
// The watcher looks at the process every 100 ms: once its command line is the program's, the
// elevated instance runs; when the process ends with 126 or 127 before, the restart failed. The
// process is a child of this program and goes on running when this program ends.
#include "core/shell/ShellBackend.h"

#include <QStringList>
#include <sys/types.h>

class QTimer;

namespace qp {

class LinuxElevatedStart : public ElevatedStart {
    Q_OBJECT
public:
    // Null when pkexec could not be started at all.
    static LinuxElevatedStart* start(const QString& pkexec, const QString& program, QObject* parent);

private:
    LinuxElevatedStart(pid_t pid, const QString& pkexec, const QString& program, QObject* parent);
    void poll();
    void finish(bool started, bool declined = false);

    pid_t m_pid;
    QString m_pkexec;
    QString m_program;
    QTimer* m_timer;
    bool m_done = false;
};

} // namespace qp
