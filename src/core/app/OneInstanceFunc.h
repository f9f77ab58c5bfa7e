// SPDX-License-Identifier: MIT
#pragma once
// The hand-off between two starts of the same program file. Every instance offers a receiving end
// named after "OneInstUtilWnd:" and the full path of its program file, so copies of the program at
// different paths never meet. A start with at least one argument that finds one sends it its
// process id and its command line and waits for the reply: "handed over" ends the new process,
// anything else (a refusal, nobody to receive it, no answer in time) lets it start normally.
//
// Windows: the receiving end is a hidden top-level window whose class name is the instance key
// (instanceWindowClass); the new process finds it with FindWindow and sends WM_COPYDATA with
// wParam 0, its process id in dwData and the command line as UTF-16 code units, without a
// terminating zero, in lpData and cbData. The reply is the message's result. FindWindow sees only
// the windows of the caller's desktop, so a start never meets an instance of another session; a
// window of another user on the same desktop (a program started with other credentials) is not
// sent anything either. The window system does not pass the message from a start to an instance
// that runs with higher rights (one restarted as administrator): such a start opens its own
// window.
//
// Linux: the receiving end is a local server. Message on the wire: the sender's process id
// (32 bits), the byte count of the command line (32 bits), then the command line as UTF-16 code
// units without a terminating zero; the reply is one 32-bit value. All numbers little-endian.
// Only the user's own processes take part: the sockets live in a folder that no other user can
// change, and both ends check the user id of the process at the other end of the connection
// before anything is exchanged. Where either fails, there is no hand-off and every start opens
// its own window.
//
// The parts: the message and the command line it carries (HandOffMessage), the names of the
// receiving end (InstanceNames), the receiving side (InstanceListener), and the two transports,
// the local socket (LinuxHandOff.cpp) and WM_COPYDATA (WindowsHandOff.cpp).
#include "core/app/HandOffMessage.h"
#include "core/app/InstanceListener.h"
#include "core/app/InstanceNames.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace qp {

// The full path of the running program file, as the system reports it; `argv0` is the fallback
// where the system reports none. Works before the application object exists.
QString runningProgramPath(const char* argv0);

// The arguments of this process after the program part; works before the application object
// exists. Windows: split from the UTF-16 command line as the system splits it, because `argv`
// holds them in the ANSI code page, which loses every other character of a file name. Elsewhere:
// `argv` in the local encoding.
QStringList startArguments(int argc, char** argv);

// HandOffToRunningInstance: when `arguments` is not empty and an instance of `programPath` takes
// hand-offs, sends it this process's id and command line and waits up to `timeoutMs` for its
// reply. True when the reply was "handed over": the caller ends at once with exit code 0.
bool HandOffToRunningInstance(const QString& programPath, const QStringList& arguments,
                              const QString& workingDir, int timeoutMs = kHandOffTimeoutMs);

// The receiver's hook: takes a received command line and the sender's process id and returns the
// let-run flag (true lets the new process start on its own). Without a hook every hand-off is
// refused, as before the main window exists.
using HandOffReceiver = std::function<bool(quint32 processId, const QString& commandLine)>;
void setHandOffReceiver(HandOffReceiver receiver);

// The hook setHandOffReceiver set last (empty: none), for the listeners of both transports.
const HandOffReceiver& receiverHook();

} // namespace qp
