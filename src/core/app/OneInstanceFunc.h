// SPDX-License-Identifier: MIT
#pragma once
// The hand-off between two starts of the same program file. Every instance listens on a local
// server whose name is derived from "OneInstUtilWnd:" and the full path of its program file, so
// copies of the program at different paths never meet. A start with at least one argument that
// finds a listening instance sends it its process id and its command line and waits for the
// reply: "handed over" ends the new process, anything else (a refusal, no server, no answer in
// time) lets it start normally.
//
// Message on the wire: the sender's process id (32 bits), the byte count of the command line
// (32 bits), then the command line as UTF-16 code units without a terminating zero; the reply is
// one 32-bit value. All numbers little-endian.
//
// Only the user's own processes take part (Linux): the sockets live in a folder that no other user
// can change, and both ends check the user id of the process at the other end of the connection
// before anything is exchanged. Where either fails, there is no hand-off and every start opens its
// own window.
#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

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

// The folder of the sockets (Linux): the user's runtime folder when the system gives one, otherwise
// the folder "instance-<user id>" in the program's folder in the user's cache
// ($XDG_CACHE_HOME/quillpress, usually ~/.cache/quillpress), created with access for the user
// alone. Either is used only while it is a real folder (not a symbolic link), owned by this user,
// without any access for group or others; nothing when neither is. Windows: empty, as pipe names
// are names, not paths.
std::optional<QString> handOffFolder();

// The local server's name (a socket path on Linux): the instance key, percent-encoded so that it
// is one file name, in handOffFolder(); the key's SHA-256 when the encoded key makes the socket
// path too long. Empty when there is no folder for it: then there is no hand-off.
QString instanceServerName(const QString& programPath);

// The full path of the running program file, as the system reports it; `argv0` is the fallback
// where the system reports none. Works before the application object exists.
QString runningProgramPath(const char* argv0);

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
// The largest command line a receiver takes, in bytes; a longer one is refused unread.
inline constexpr quint32 kMaxHandOffBytes = 4u * 1024 * 1024;
enum class HandOffDecode { Incomplete, Complete, Invalid };
// Decodes the message at the start of `data`; Incomplete while bytes are missing.
HandOffDecode decodeHandOff(const QByteArray& data, HandOffMessage& message);

// HandOffToRunningInstance: when `arguments` is not empty and an instance of `programPath` listens,
// sends it this process's id and command line and waits up to `timeoutMs` for its reply. True when
// the reply was "handed over": the caller ends at once with exit code 0.
bool HandOffToRunningInstance(const QString& programPath, const QStringList& arguments,
                              const QString& workingDir, int timeoutMs = kHandOffTimeoutMs);

// The receiver's hook: takes a received command line and the sender's process id and returns the
// let-run flag (true lets the new process start on its own). Without a hook every hand-off is
// refused, as before the main window exists.
using HandOffReceiver = std::function<bool(quint32 processId, const QString& commandLine)>;
void setHandOffReceiver(HandOffReceiver receiver);

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

// The receiving side of an instance: the local server. Under a lock file beside the socket, an
// instance tries the name: when a live instance answers there, it leaves the name to that one and
// tries again every kHandOffRetryMs, so that it takes over when that one ends and a later start
// always finds a running window; when nobody answers, the socket left there (by an instance that
// was killed) is removed and this instance listens. A listener whose server stopped (no file
// descriptor left to accept a connection) or whose socket file was removed listens again in the
// same way. Without a folder for the socket (handOffFolder()) it never listens.
class InstanceListener : public QObject {
    Q_OBJECT
public:
    explicit InstanceListener(const QString& programPath, QObject* parent = nullptr);
    ~InstanceListener() override;

    bool isListening() const { return m_server.isListening(); }
    QString serverName() const { return m_name; }
    // The listening socket, so that a caller can wait for a pending connection without running
    // the event loop; -1 while not listening.
    qintptr socketDescriptor() const { return m_server.isListening() ? m_server.socketDescriptor() : -1; }
    // Connections being served, and the bytes of their incomplete messages held now.
    int connectionCount() const { return m_connections; }
    qint64 bufferedBytes() const { return m_bufferedBytes; }

signals:
    // A hand-off was answered with `reply`.
    void answered(quint32 processId, quint32 reply);

private:
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
};

} // namespace qp
