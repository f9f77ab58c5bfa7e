// SPDX-License-Identifier: MIT
// The hand-off over a local server (Linux): the sending start and the listener.
#include "core/app/OneInstanceFunc.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QScopeGuard>
#include <QtEndian>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

namespace qp {

namespace {

// True when the process at the other end of the connected local socket `descriptor` runs as this
// process's effective user, as the system reports it for the connection.
bool peerIsThisUser(qintptr descriptor)
{
#if defined(Q_OS_LINUX)
    struct ucred peer {};
    socklen_t size = sizeof peer;
    if (descriptor < 0 || ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0
        || size != sizeof peer)
        return false;
    return peer.uid == ::geteuid();
#else
    // No way to learn the peer's user here: no hand-off.
    Q_UNUSED(descriptor);
    return false;
#endif
}

QString lockFilePath(const QString& serverName)
{
    if (QFileInfo(serverName).isAbsolute())
        return serverName + QStringLiteral(".lock");
    return QDir(QDir::tempPath()).filePath(serverName + QStringLiteral(".lock"));
}

} // namespace

bool HandOffToRunningInstance(const QString& programPath, const QStringList& arguments,
                              const QString& workingDir, int timeoutMs)
{
    const std::optional<QString> line = handOffCommandLine(programPath, arguments, workingDir);
    if (!line)
        return false;

    QElapsedTimer clock;
    clock.start();
    auto left = [&] { return std::max(0, timeoutMs - int(clock.elapsed())); };
    const QString name = instanceServerName(programPath);
    if (name.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(left()))
        return false;
    // Nothing goes to a listener of another user, not even the first byte.
    if (!peerIsThisUser(socket.socketDescriptor())) {
        socket.abort();
        return false;
    }
    socket.write(encodeHandOff({quint32(QCoreApplication::applicationPid()), *line}));
    while (socket.bytesToWrite() > 0)
        if (left() == 0 || !socket.waitForBytesWritten(left()))
            return false;
    QByteArray reply;
    while (reply.size() < 4) {
        if (left() == 0 || !socket.waitForReadyRead(left()))
            return false;
        reply += socket.readAll();
    }
    return qFromLittleEndian<quint32>(reply.constData()) == kHandOffAccepted;
}

InstanceListener::InstanceListener(const QString& programPath, QObject* parent)
    : QObject(parent), m_name(instanceServerName(programPath)), m_lockPath(lockFilePath(m_name))
{
    if (m_name.isEmpty()) {
        qWarning("quillpress: no private folder for the hand-off socket (or its path is too long); "
                 "later starts open windows of their own");
        return;
    }
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server.nextPendingConnection())
            serve(socket);
    });
    m_retry.setInterval(kHandOffRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &InstanceListener::checkListening);
    m_retry.start();
    tryToListen();
}

InstanceListener::~InstanceListener()
{
    // The connections go first, while the counts they release exist.
    qDeleteAll(findChildren<QLocalSocket*>(Qt::FindDirectChildrenOnly));
    // Closing removes the socket file; under the lock, so that it is never a successor's.
    if (!m_server.isListening())
        return;
    QLockFile lock(m_lockPath);
    lock.tryLock(1000);
    m_server.close();
}

void InstanceListener::tryToListen()
{
    // The folder may have changed hands since the start: no socket in a folder of another user.
    if (!handOffFolder())
        return;
    // Checking the name and taking it is one step for all instances of the program file.
    QLockFile lock(m_lockPath);
    if (!lock.tryLock(1000))
        return;
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(500)) {
        // A live instance listens: it takes the hand-offs, and this one takes over when it ends.
        probe.abort();
        return;
    }
    // Whatever socket is left under the name belongs to an instance that is gone.
    QLocalServer::removeServer(m_name);
    m_server.listen(m_name);
}

void InstanceListener::checkListening()
{
    // The server stops when it cannot accept a connection (no file descriptor left), or never
    // started: try again.
    if (!m_server.isListening()) {
        tryToListen();
        return;
    }
#ifdef Q_OS_UNIX
    // A removed socket file leaves the server listening where no start finds it: make it again.
    struct stat st {};
    if (::lstat(QFile::encodeName(m_server.fullServerName()).constData(), &st) == 0)
        return;
    {
        QLockFile lock(m_lockPath);
        if (!lock.tryLock(1000))
            return;
        if (::lstat(QFile::encodeName(m_server.fullServerName()).constData(), &st) != 0)
            m_server.close();
    }
    if (!m_server.isListening())
        tryToListen();
#endif
}

void InstanceListener::drop(QLocalSocket* socket)
{
    socket->abort();
    socket->deleteLater();
}

void InstanceListener::serve(QLocalSocket* socket)
{
    socket->setParent(this);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // Beyond the connections served at once, and from any other user, a connection is closed unread.
    if (m_connections >= kMaxHandOffConnections || !peerIsThisUser(socket->socketDescriptor())) {
        drop(socket);
        return;
    }
    ++m_connections;
    // What this connection holds of the listener's limits, given back when it goes.
    auto held = std::make_shared<qint64>(0);
    connect(socket, &QObject::destroyed, this, [this, held] {
        --m_connections;
        m_bufferedBytes -= *held;
    });
    // Qt's own buffer stays small: every read takes all it holds into the message buffer below.
    socket->setReadBufferSize(64 * 1024);
    auto* deadline = new QTimer(socket);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this, [this, socket] { drop(socket); });
    deadline->start(kHandOffReceiveTimeoutMs);

    connect(socket, &QLocalSocket::readyRead, this,
            [this, socket, deadline, held, buffer = QByteArray()]() mutable {
        const QByteArray more = socket->readAll();
        if (m_bufferedBytes + more.size() > kMaxHandOffBufferedBytes) {
            drop(socket);
            return;
        }
        buffer += more;
        m_bufferedBytes += more.size();
        *held += more.size();
        HandOffMessage message;
        switch (decodeHandOff(buffer, message)) {
        case HandOffDecode::Incomplete:
            return;
        case HandOffDecode::Invalid:
            drop(socket);
            return;
        case HandOffDecode::Complete:
            break;
        }
        // Complete: the connection holds no buffer any more and has no time limit while the
        // receiver works.
        m_bufferedBytes -= *held;
        *held = 0;
        buffer = QByteArray();
        deadline->stop();
        disconnect(socket, &QLocalSocket::readyRead, this, nullptr);

        // The reply goes out also when the receiver fails (its error is shown here, so the new
        // process has nothing left to do). The receiver may run nested event loops, in which the
        // sender can give up and its socket go away.
        QPointer<QLocalSocket> alive(socket);
        quint32 reply = kHandOffRefused;
        const auto answer = qScopeGuard([&] {
            emit answered(message.processId, reply);
            if (!alive)
                return;
            QByteArray bytes(4, Qt::Uninitialized);
            qToLittleEndian<quint32>(reply, bytes.data());
            alive->write(bytes);
            alive->flush();
            alive->disconnectFromServer();
        });
        if (const HandOffReceiver& receive = receiverHook()) {
            reply = kHandOffAccepted;
            reply = receive(message.processId, message.commandLine) ? kHandOffRefused : kHandOffAccepted;
        }
    });
}

} // namespace qp

// The meta-object code of the listener stays in the object file of its transport, so that a
// program that never starts the single-instance hand-off (the command-line tool) does not link it.
#include "moc_InstanceListener.cpp"
