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
#include <QObject>
#include <QString>
#include <QStringList>
#ifndef Q_OS_WIN
#include <QLocalServer>
#include <QTimer>
#endif

#include <functional>
#include <optional>

namespace qp {

// Replies of the receiving instance.
inline constexpr quint32 kHandOffAccepted = 0xDA860081; // handed over: the new process ends
inline constexpr quint32 kHandOffRefused = 0xDA860080;  // refused: the new process starts normally

// The sender's wait for the reply.
// Long enough for a running window that is busy (starting up, or drawing a large image of a run)
// on a loaded machine: a start that gives up too early opens a second window.
inline constexpr int kHandOffTimeoutMs = 15000;

// "OneInstUtilWnd:" followed by the full path of the program file.
QString instanceKey(const QString& programPath);

// The longest class name the hand-off window is given as it is. The window system limits class
// names to 256 characters; a class name is kept as an atom, and atom names have at most 255.
inline constexpr qsizetype kMaxWindowClassName = 255;

// The class name of the hand-off window (Windows): the instance key while it fits a class name,
// so that the window carries the path in plain text. A longer key (a program file deep in
// folders, up to the 32767 characters of a long path) gives "OneInstUtilWnd-" and the SHA-256 of
// the key in hexadecimal (79 characters), so that such a program hands over like any other
// instead of opening a window for every start. The key is upper-cased character by character
// before it is hashed: the window system compares class names without regard to case, as the
// file system compares paths, and every spelling of one path must give one name. The key holds
// the path in UTF-16 as the system reports it, so two paths that differ only in characters
// outside the ANSI code page stay apart.
QString instanceWindowClass(const QString& programPath);

#ifndef Q_OS_WIN
// The folder of the sockets (Linux): the user's runtime folder when the system gives one, otherwise
// the folder "instance-<user id>" in the program's folder in the user's cache
// ($XDG_CACHE_HOME/quillpress, usually ~/.cache/quillpress), created with access for the user
// alone. Either is used only while it is a real folder (not a symbolic link), owned by this user,
// without any access for group or others; nothing when neither is.
std::optional<QString> handOffFolder();

// The local server's name (a socket path on Linux): the instance key, percent-encoded so that it
// is one file name, in handOffFolder(); the key's SHA-256 when the encoded key makes the socket
// path too long. Empty when there is no folder for it: then there is no hand-off.
QString instanceServerName(const QString& programPath);
#endif

// The full path of the running program file, as the system reports it; `argv0` is the fallback
// where the system reports none. Works before the application object exists.
QString runningProgramPath(const char* argv0);

// The arguments of this process after the program part; works before the application object
// exists. Windows: split from the UTF-16 command line as the system splits it, because `argv`
// holds them in the ANSI code page, which loses every other character of a file name. Elsewhere:
// `argv` in the local encoding.
QStringList startArguments(int argc, char** argv);

// The command line a start hands over: the program path and every argument, each in double
// quotes, separated by blanks; a relative path is made absolute against `workingDir`. Nothing when
// an argument holds a double quote, which the receiver could not tell from the quoting.
std::optional<QString> handOffCommandLine(const QString& programPath, const QStringList& arguments,
                                          const QString& workingDir);

// The double-quoted parts of `commandLine`, in order: a quote opens a part and the next one closes
// it (an empty pair gives an empty part); characters outside quotes are ignored and a part whose
// closing quote is missing is dropped. There is no escape for a quote inside a part.
QStringList ParseQuotedArguments(const QString& commandLine);

// One hand-off message.
struct HandOffMessage {
    quint32 processId = 0;
    QString commandLine;
};
QByteArray encodeHandOff(const HandOffMessage& message);
// The largest command line a receiver takes, in bytes; a longer one is refused unread (Windows: a
// start does not send it).
inline constexpr quint32 kMaxHandOffBytes = 4u * 1024 * 1024;
enum class HandOffDecode { Incomplete, Complete, Invalid };
// Decodes the message at the start of `data`; Incomplete while bytes are missing.
HandOffDecode decodeHandOff(const QByteArray& data, HandOffMessage& message);

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

#ifndef Q_OS_WIN
// What one listener takes at a time, so that no client can hold the program's memory or its file
// descriptors. A sender writes its whole message right after connecting and gives up after
// kHandOffTimeoutMs, so a message that is not complete by then has nobody waiting for the reply:
// its connection is dropped.
inline constexpr int kHandOffReceiveTimeoutMs = kHandOffTimeoutMs;
// Connections being served at once (a desktop passes all selected files to one start, so more
// than a few never come together); a connection beyond them is closed at once.
inline constexpr int kMaxHandOffConnections = 16;
// Bytes of incomplete messages held at once over all connections: room for one message of the
// largest size and more; a connection that would go beyond it is closed.
inline constexpr qint64 kMaxHandOffBufferedBytes = 2 * qint64(kMaxHandOffBytes);
// How often a listener that does not listen tries again, and a listening one checks that its
// socket is still there.
inline constexpr int kHandOffRetryMs = 2000;
#endif

// The receiving side of an instance.
//
// Windows: the hand-off window, a hidden top-level window of the class instanceWindowClass(),
// made when the listener is made and destroyed with it. Its window procedure runs on the thread
// that made it, whenever that thread takes window messages (the event loop, a modal dialog, a run
// that lets events through), and answers a hand-off with the receiver hook's decision. Several
// instances of one program file each have such a window; a start finds one of them.
//
// Linux: the local server. Under a lock file beside the socket, an instance tries the name: when a
// live instance answers there, it leaves the name to that one and tries again every
// kHandOffRetryMs, so that it takes over when that one ends and a later start always finds a
// running window; when nobody answers, the socket left there (by an instance that was killed) is
// removed and this instance listens. A listener whose server stopped (no file descriptor left to
// accept a connection) or whose socket file was removed listens again in the same way. Without a
// folder for the socket (handOffFolder()) it never listens.
class InstanceListener : public QObject {
    Q_OBJECT
public:
    explicit InstanceListener(const QString& programPath, QObject* parent = nullptr);
    ~InstanceListener() override;

#ifdef Q_OS_WIN
    bool isListening() const { return m_window != nullptr; }
    // The class name of the hand-off window.
    QString serverName() const { return m_className; }

    // Serves one hand-off that the window received: asks the receiver hook and returns the reply.
    quint32 receive(quint32 processId, const QString& commandLine);
    // The window is gone (destroyed by the window system, or by the listener).
    void windowDestroyed() { m_window = nullptr; }
#else
    bool isListening() const { return m_server.isListening(); }
    QString serverName() const { return m_name; }
    // The listening socket, so that a caller can wait for a pending connection without running
    // the event loop; -1 while not listening.
    qintptr socketDescriptor() const { return m_server.isListening() ? m_server.socketDescriptor() : -1; }
    // Connections being served, and the bytes of their incomplete messages held now.
    int connectionCount() const { return m_connections; }
    qint64 bufferedBytes() const { return m_bufferedBytes; }
#endif

signals:
    // A hand-off was answered with `reply`.
    void answered(quint32 processId, quint32 reply);

private:
#ifdef Q_OS_WIN
    QString m_className;
    void* m_window = nullptr; // HWND
#else
    void tryToListen();
    void checkListening();
    void serve(class QLocalSocket* socket);
    void drop(class QLocalSocket* socket);

    QString m_name;
    QString m_lockPath;
    QLocalServer m_server;
    QTimer m_retry;
    // Connections being served and the bytes of their incomplete messages.
    int m_connections = 0;
    qint64 m_bufferedBytes = 0;
#endif
};

} // namespace qp
