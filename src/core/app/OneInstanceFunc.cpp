// SPDX-License-Identifier: MIT
#include "core/app/OneInstanceFunc.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QUrl>
#include <QtEndian>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <vector>

namespace qp {

namespace {

HandOffReceiver& receiverHook()
{
    static HandOffReceiver hook;
    return hook;
}

#ifndef Q_OS_WIN
// The longest name made when there is room for it, below the longest socket path the system takes
// (Linux: 108 bytes with the terminating zero), which a name must never exceed.
constexpr qsizetype kMaxServerName = 100;
constexpr qsizetype kMaxSocketPath = 107;
#endif

#ifdef Q_OS_UNIX
// A folder that only this user can change: a real folder (lstat: a symbolic link is not followed),
// owned by the effective user, without any access for group or others.
bool isPrivateFolder(const QString& path)
{
    struct stat st {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// The program's own folder for the sockets in the user's cache, made when missing.
QString ownSocketFolder()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty() || !QFileInfo(cache).isAbsolute())
        return {};
    const QString parent = QDir(cache).filePath(QStringLiteral("quillpress"));
    const QString folder = parent + QStringLiteral("/instance-") + QString::number(::geteuid());
    QDir().mkpath(parent);
    // Made for the user alone; one that exists already is taken only as the check below finds it.
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) == 0)
        ::chmod(QFile::encodeName(folder).constData(), 0700);
    return folder;
}
#endif

#ifndef Q_OS_WIN
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
#endif

#ifdef Q_OS_WIN
// Closes a handle of the system when it goes.
struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// The user of a process (its token's TOKEN_USER); empty when it cannot be read.
std::vector<BYTE> processUser(HANDLE process)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return {};
    const UniqueHandle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    if (size < sizeof(TOKEN_USER))
        return {};
    std::vector<BYTE> user(size);
    if (!GetTokenInformation(token, TokenUser, user.data(), size, &size))
        return {};
    return user;
}

// True when the process `processId` runs as the user of this process. A process of another user
// cannot be opened or its token not read: false.
bool runsAsThisUser(DWORD processId)
{
    const UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return false;
    const std::vector<BYTE> theirs = processUser(process.get());
    const std::vector<BYTE> ours = processUser(GetCurrentProcess());
    if (theirs.empty() || ours.empty())
        return false;
    return EqualSid(reinterpret_cast<const TOKEN_USER*>(theirs.data())->User.Sid,
                    reinterpret_cast<const TOKEN_USER*>(ours.data())->User.Sid);
}

// The hand-off window's procedure: WM_COPYDATA with wParam 0 and a data pointer is a hand-off,
// answered with the listener's reply; every other message goes to the default procedure.
LRESULT CALLBACK handOffWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* listener = reinterpret_cast<InstanceListener*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY && listener) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        listener->windowDestroyed();
    } else if (message == WM_COPYDATA && wParam == 0 && lParam != 0 && listener) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        // Any process of the desktop can send this message: its size is checked before a byte is
        // read, and what is not a UTF-16 text of the size of a command line is refused.
        if (data->cbData % 2 != 0 || data->cbData > kMaxHandOffBytes || (data->cbData > 0 && !data->lpData))
            return LRESULT(kHandOffRefused);
        // The system's copy of the data lives only while the message is served.
        QString commandLine(qsizetype(data->cbData / 2), Qt::Uninitialized);
        if (data->cbData > 0)
            std::memcpy(commandLine.data(), data->lpData, data->cbData);
        return LRESULT(listener->receive(quint32(data->dwData), commandLine));
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t* wide(const QString& text)
{
    return reinterpret_cast<const wchar_t*>(text.utf16());
}
#endif

} // namespace

QString instanceKey(const QString& programPath)
{
    return QStringLiteral("OneInstUtilWnd:") + programPath;
}

QString instanceWindowClass(const QString& programPath)
{
    const QString key = instanceKey(programPath);
    if (key.size() <= kMaxWindowClassName)
        return key;
    // Simple case mapping, one character at a time, as the window system compares class names
    // (a full mapping would make "SS" of "ß" and let two different paths meet).
    QList<uint> characters = key.toUcs4();
    for (uint& c : characters)
        c = QChar::toUpper(char32_t(c));
    const QString upper = QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()),
                                            characters.size());
    return QStringLiteral("OneInstUtilWnd-")
           + QString::fromLatin1(QCryptographicHash::hash(upper.toUtf8(), QCryptographicHash::Sha256).toHex());
}

#ifndef Q_OS_WIN
std::optional<QString> handOffFolder()
{
    // Qt gives the runtime folder only after checks of its own; it is checked here all the same.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (isPrivateFolder(runtime))
        return runtime;
    const QString own = ownSocketFolder();
    if (isPrivateFolder(own))
        return own;
    return std::nullopt;
}

QString instanceServerName(const QString& programPath)
{
    const QString key = instanceKey(programPath);
    const std::optional<QString> place = handOffFolder();
    if (!place)
        return {};
    const QString& folder = *place;
    auto inFolder = [&folder](const QString& name) {
        return folder.isEmpty() ? name : folder + u'/' + name;
    };
    const QString readable = inFolder(QString::fromLatin1(QUrl::toPercentEncoding(key)));
    if (readable.toLocal8Bit().size() <= kMaxServerName)
        return readable;
    // Too long for a socket: the key's hash, shortened to the room that is left (at least 128 bits).
    const QString prefix = QStringLiteral("OneInstUtilWnd-");
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex());
    const qsizetype room = kMaxServerName - inFolder(prefix).toLocal8Bit().size();
    const QString hashed = inFolder(prefix + hash.left(std::max<qsizetype>(32, room)));
    // A folder so deep that even the shortened hash does not fit: no socket can have the name.
    if (hashed.toLocal8Bit().size() > kMaxSocketPath)
        return {};
    return hashed;
}
#endif

QString runningProgramPath(const char* argv0)
{
#if defined(Q_OS_LINUX)
    const QString exe = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
    if (!exe.isEmpty())
        return exe;
#elif defined(Q_OS_WIN)
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), DWORD(buffer.size()));
    if (n > 0 && n < buffer.size())
        return QString::fromWCharArray(buffer.data(), qsizetype(n));
#endif
    return QFileInfo(QString::fromLocal8Bit(argv0 ? argv0 : "")).absoluteFilePath();
}

QStringList startArguments(int argc, char** argv)
{
    QStringList arguments;
#ifdef Q_OS_WIN
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    struct LocalFreer {
        void operator()(LPWSTR* memory) const { LocalFree(memory); }
    };
    int count = 0;
    const std::unique_ptr<LPWSTR, LocalFreer> split(CommandLineToArgvW(GetCommandLineW(), &count));
    for (int i = 1; split && i < count; ++i)
        arguments << QString::fromWCharArray(split.get()[i]);
#else
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
#endif
    return arguments;
}

std::optional<QString> handOffCommandLine(const QString& programPath, const QStringList& arguments,
                                          const QString& workingDir)
{
    QStringList parts{programPath};
    for (const QString& argument : arguments) {
        if (argument.isEmpty() || !QFileInfo(argument).isRelative())
            parts << argument;
        else
            parts << QDir::toNativeSeparators(QDir::cleanPath(QDir(workingDir).absoluteFilePath(argument)));
    }
    for (const QString& part : parts)
        if (part.contains(u'"'))
            return std::nullopt;
    return u'"' + parts.join(QStringLiteral("\" \"")) + u'"';
}

QStringList ParseQuotedArguments(const QString& commandLine)
{
    QStringList list;
    QString collected;
    bool inside = false;
    for (const QChar c : commandLine) {
        if (c == u'"') {
            if (inside)
                list << collected;
            collected.clear();
            inside = !inside;
        } else if (inside) {
            collected += c;
        }
    }
    return list;
}

QByteArray encodeHandOff(const HandOffMessage& message)
{
    const qsizetype units = message.commandLine.size();
    QByteArray out(8 + 2 * units, Qt::Uninitialized);
    qToLittleEndian<quint32>(message.processId, out.data());
    qToLittleEndian<quint32>(quint32(2 * units), out.data() + 4);
    qToLittleEndian<quint16>(message.commandLine.utf16(), units, out.data() + 8);
    return out;
}

HandOffDecode decodeHandOff(const QByteArray& data, HandOffMessage& message)
{
    if (data.size() < 8)
        return HandOffDecode::Incomplete;
    const quint32 bytes = qFromLittleEndian<quint32>(data.constData() + 4);
    if (bytes % 2 != 0 || bytes > kMaxHandOffBytes)
        return HandOffDecode::Invalid;
    if (quint64(data.size()) < 8 + quint64(bytes))
        return HandOffDecode::Incomplete;
    message.processId = qFromLittleEndian<quint32>(data.constData());
    QString line(qsizetype(bytes / 2), Qt::Uninitialized);
    qFromLittleEndian<quint16>(data.constData() + 8, bytes / 2, line.data());
    message.commandLine = line;
    return HandOffDecode::Complete;
}

#ifdef Q_OS_WIN
bool HandOffToRunningInstance(const QString& programPath, const QStringList& arguments,
                              const QString& workingDir, int timeoutMs)
{
    if (arguments.isEmpty())
        return false;
    const std::optional<QString> line = handOffCommandLine(programPath, arguments, workingDir);
    if (!line || quint64(line->size()) * 2 > kMaxHandOffBytes)
        return false;
    const QString className = instanceWindowClass(programPath);
    HWND window = FindWindowW(wide(className), nullptr);
    DWORD owner = 0;
    if (!window || !GetWindowThreadProcessId(window, &owner) || !runsAsThisUser(owner))
        return false;
    // The running instance comes to the front when it takes the hand-off. This process was just
    // started by the user (from the desktop or a console), so it may pass that right on.
    AllowSetForegroundWindow(owner);
    COPYDATASTRUCT data{};
    data.dwData = GetCurrentProcessId();
    data.cbData = DWORD(line->size() * 2);
    data.lpData = const_cast<void*>(static_cast<const void*>(line->utf16()));
    // The wait is not cut short when the instance seems hung: one that draws a large image of a
    // run takes window messages only between images. A send that fails or is not answered in time
    // gives no reply, which counts as a refusal.
    DWORD_PTR reply = 0;
    if (!SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL,
                             UINT(std::max(0, timeoutMs)), &reply))
        return false;
    return quint32(reply) == kHandOffAccepted;
}
#else
bool HandOffToRunningInstance(const QString& programPath, const QStringList& arguments,
                              const QString& workingDir, int timeoutMs)
{
    if (arguments.isEmpty())
        return false;
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
#endif

void setHandOffReceiver(HandOffReceiver receiver)
{
    receiverHook() = std::move(receiver);
}

#ifdef Q_OS_WIN
InstanceListener::InstanceListener(const QString& programPath, QObject* parent)
    : QObject(parent), m_className(instanceWindowClass(programPath))
{
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = handOffWindowProcedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = wide(m_className);
    // The class is registered once per process; a further listener of the same program file uses
    // it as it is.
    if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        qWarning("quillpress: the hand-off window class cannot be registered; later starts open "
                 "windows of their own");
        return;
    }
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, wide(m_className), L"", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, module, nullptr);
    if (!window) {
        qWarning("quillpress: no hand-off window; later starts open windows of their own");
        return;
    }
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_window = window;
}

InstanceListener::~InstanceListener()
{
    if (m_window) {
        auto* window = static_cast<HWND>(m_window);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
    // Fails, and leaves the class, while another window of the class exists in the process.
    UnregisterClassW(wide(m_className), GetModuleHandleW(nullptr));
}

quint32 InstanceListener::receive(quint32 processId, const QString& commandLine)
{
    quint32 reply = kHandOffRefused;
    if (const HandOffReceiver& hook = receiverHook()) {
        // Also when the receiver fails, the new process has nothing left to do: its error is
        // shown here.
        reply = kHandOffAccepted;
        try {
            reply = hook(processId, commandLine) ? kHandOffRefused : kHandOffAccepted;
        } catch (...) {
            // No exception may pass through the window system's frames: it goes on to the event
            // loop, which reports it as every other error of the program.
            QMetaObject::invokeMethod(
                this, [error = std::current_exception()] { std::rethrow_exception(error); },
                Qt::QueuedConnection);
        }
    }
    emit answered(processId, reply);
    return reply;
}
#else
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
#endif

} // namespace qp

// The meta-object code of this file's classes stays in its own object file, so that a program
// that never starts the single-instance hand-off (the command-line tool) does not link it.
#include "moc_OneInstanceFunc.cpp"
