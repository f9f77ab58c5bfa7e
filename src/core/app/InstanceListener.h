// SPDX-License-Identifier: MIT
#pragma once
// The receiving side of an instance: the hand-off window (Windows) or the local server (Linux).
#include "core/app/HandOffMessage.h"

#include <QObject>
#include <QString>
#ifndef Q_OS_WIN
#include <QLocalServer>
#include <QTimer>
#endif

namespace qp {

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
