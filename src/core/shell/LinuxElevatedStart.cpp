// SPDX-License-Identifier: MIT
#include "core/shell/LinuxElevatedStart.h"

#include <QFile>
#include <QTimer>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace qp {

namespace {

QStringList commandLineOf(pid_t pid)
{
    QFile file(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList args;
    for (const QByteArray& arg : file.readAll().split('\0'))
        args << QString::fromLocal8Bit(arg);
    if (!args.isEmpty() && args.last().isEmpty())
        args.removeLast();
    return args;
}

} // namespace

LinuxElevatedStart* LinuxElevatedStart::start(const QString& pkexec, const QString& program, QObject* parent)
{
    const QByteArray tool = QFile::encodeName(pkexec);
    const QByteArray path = QFile::encodeName(program);
    char* argv[] = {const_cast<char*>(tool.constData()), const_cast<char*>(path.constData()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, tool.constData(), nullptr, nullptr, argv, environ) != 0)
        return nullptr;
    return new LinuxElevatedStart(pid, pkexec, program, parent);
}

LinuxElevatedStart::LinuxElevatedStart(pid_t pid, const QString& pkexec, const QString& program, QObject* parent)
    : ElevatedStart(parent), m_pid(pid), m_pkexec(pkexec), m_program(program), m_timer(new QTimer(this))
{
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &LinuxElevatedStart::poll);
    m_timer->start();
}

void LinuxElevatedStart::poll()
{
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        // Ended: pkexec's own codes say declined (126) or failed (127); any other code is the
        // program's, so it did run.
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (code == 126 || code == 127 || code == -1)
            finish(false, code == 126);
        else
            finish(true);
        return;
    }
    const QStringList now = commandLineOf(m_pid);
    // The program runs when pkexec has been replaced by it: its file is the first word, or the
    // second after the interpreter of a script (while pkexec itself runs, its own file is first).
    if (!now.isEmpty() && now.first() != m_pkexec &&
        (now.first() == m_program || (now.size() > 1 && now[1] == m_program)))
        finish(true);
}

void LinuxElevatedStart::finish(bool started, bool declined)
{
    if (m_done)
        return;
    m_done = true;
    m_timer->stop();
    if (started)
        emit this->started();
    else
        emit failed(declined);
}

} // namespace qp
