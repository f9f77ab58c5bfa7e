// SPDX-License-Identifier: MIT
// One end of the hand-off in a process of its own, so that the tests can run it as another user
// (setpriv) with an environment of its own. Everything it learns goes to standard output, a line
// per fact:
//   handoff_peer runtime              the runtime folder Qt gives: "runtime <path>"
//   handoff_peer name PROGRAM         the server name of PROGRAM: "name <name>" (empty: none)
//   handoff_peer send PROGRAM ARGS... a start with ARGS: "handed-over" or "own-start"
//   handoff_peer listen PROGRAM       an instance: "name <name>", "listening 0|1", then
//                                     "received <process id> <command line>" for every hand-off
//                                     it takes; ends when its standard input closes
#include "core/app/OneInstanceFunc.h"

#include <QCoreApplication>
#include <QDir>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cstdio>
#include <unistd.h>

namespace {

void say(const QString& line)
{
    std::fputs((line + u'\n').toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const QString mode = args.value(0);
    const QString program = args.value(1);

    if (mode == u"runtime") {
        say(u"runtime "_qs + QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
        return 0;
    }
    if (mode == u"name") {
        say(u"name "_qs + qp::instanceServerName(program));
        return 0;
    }
    if (mode == u"send") {
        const bool handedOver = qp::HandOffToRunningInstance(program, args.mid(2), QDir::currentPath());
        say(handedOver ? u"handed-over"_qs : u"own-start"_qs);
        return 0;
    }
    if (mode == u"listen") {
        qp::setHandOffReceiver([](quint32 processId, const QString& commandLine) {
            say(u"received %1 %2"_qs.arg(processId).arg(commandLine));
            return false;
        });
        qp::InstanceListener listener(program);
        say(u"name "_qs + listener.serverName());
        say(u"listening "_qs + (listener.isListening() ? u'1' : u'0'));
        QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
        QObject::connect(&input, &QSocketNotifier::activated, &app, [&input] {
            char c;
            if (::read(STDIN_FILENO, &c, 1) <= 0) {
                input.setEnabled(false);
                QCoreApplication::quit();
            }
        });
        return app.exec();
    }
    std::fputs("usage: handoff_peer runtime | name PROGRAM | send PROGRAM ARGS... | listen PROGRAM\n", stderr);
    return 2;
}
