// SPDX-License-Identifier: MIT
// The hand-off between two starts of the program: the command line a start sends, how the
// receiver splits it, the message on the wire, the server's name, and one exchange between a
// sender and a listener in another thread.
#include "support/WaitUntil.h"
#include "core/app/OneInstanceCheck.h"
#include "core/app/OneInstanceFunc.h"
#include "support/QStringPrinter.h"

#include <QCoreApplication>
#include <QScopeGuard>
#include <QDir>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace qp {
namespace {

TEST(OneInstance, ParseQuotedArgumentsTakesOnlyClosedQuotedParts)
{
    const struct {
        QString line;
        QStringList parts;
    } cases[] = {
        {u"\"/usr/bin/quillpress\" \"/home/a/b.qpcf\""_qs, {u"/usr/bin/quillpress"_qs, u"/home/a/b.qpcf"_qs}},
        {u"\"\" \"x\""_qs, {QString(), u"x"_qs}},                           // an empty pair is an entry
        {u"/usr/bin/quillpress \"a b.qpcf\" c.qpcf"_qs, {u"a b.qpcf"_qs}},  // unquoted parts unseen
        {u"\"a\" \"unclosed"_qs, {u"a"_qs}},                                 // a missing close drops it
        {u"x\"a\"y\"b\"z"_qs, {u"a"_qs, u"b"_qs}},
        {QString(), {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseQuotedArguments(c.line), c.parts) << c.line.toStdString();
}

TEST(OneInstance, SenderQuotesEveryArgumentAndMakesRelativePathsAbsolute)
{
    const QString work = QDir::cleanPath(QDir::tempPath() + u"/data"_qs);
    const std::optional<QString> line = handOffCommandLine(
        u"/opt/qp/quillpress"_qs, {u"a b.qpcf"_qs, u"../up.qpcf"_qs, u"/abs/c.qpcf"_qs, QString()}, work);
    ASSERT_TRUE(line);
    const QStringList parts = ParseQuotedArguments(*line);
    EXPECT_EQ(parts, QStringList({u"/opt/qp/quillpress"_qs, QDir::toNativeSeparators(work + u"/a b.qpcf"_qs),
                                  QDir::toNativeSeparators(QDir::tempPath() + u"/up.qpcf"_qs),
                                  u"/abs/c.qpcf"_qs, QString()}));

    // A quote inside an argument cannot travel: no hand-off, the start goes on by itself.
    EXPECT_FALSE(handOffCommandLine(u"/p"_qs, {u"/x/we\"ird.qpcf"_qs}, work));
    EXPECT_FALSE(handOffCommandLine(u"/p"_qs, {}, work)); // a start without files keeps its own window
    EXPECT_FALSE(HandOffToRunningInstance(u"/p"_qs, {u"/x/we\"ird.qpcf"_qs}, work, 100));
    // Without arguments nothing is sent.
    EXPECT_FALSE(HandOffToRunningInstance(QCoreApplication::applicationFilePath(), {}, work, 100));
}

TEST(OneInstance, MessageRoundTripAndDamagedMessages)
{
    const HandOffMessage sent{4242, u"\"/p\" \"/ä/€.qpcf\""_qs};
    const QByteArray bytes = encodeHandOff(sent);
    ASSERT_EQ(bytes.size(), 8 + 2 * sent.commandLine.size());
    EXPECT_EQ(bytes.left(4), QByteArray("\x92\x10\x00\x00", 4)); // little-endian process id

    HandOffMessage got;
    for (qsizetype n = 0; n < bytes.size(); ++n)
        EXPECT_EQ(decodeHandOff(bytes.left(n), got), HandOffDecode::Incomplete) << n;
    ASSERT_EQ(decodeHandOff(bytes, got), HandOffDecode::Complete);
    EXPECT_EQ(got.processId, 4242u);
    EXPECT_EQ(got.commandLine, sent.commandLine);

    QByteArray odd = bytes;
    odd[4] = 3; // an odd byte count is no UTF-16 text
    EXPECT_EQ(decodeHandOff(odd, got), HandOffDecode::Invalid);
    QByteArray huge = bytes;
    huge[7] = char(0x7F); // far beyond any command line: refused before it is read
    EXPECT_EQ(decodeHandOff(huge, got), HandOffDecode::Invalid);
}

TEST(OneInstance, ServerNamesSeparateProgramPathsAndFitASocketAddress)
{
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const auto restore = qScopeGuard([] { qunsetenv("XDG_RUNTIME_DIR"); });
    const QString a = instanceServerName(u"/opt/a/quillpress"_qs);
    const QString b = instanceServerName(u"/opt/b/quillpress"_qs);
    EXPECT_NE(a, b);
    EXPECT_EQ(a, instanceServerName(u"/opt/a/quillpress"_qs));
    EXPECT_TRUE(QFileInfo(a).fileName().startsWith(u"OneInstUtilWnd%3A%2Fopt%2Fa"_qs)) << a.toStdString();

    // Long paths are hashed; two that differ only at their end still get two names.
    const QString deep = u"/home/someone/"_qs + QString(200, u'x');
    const QString longA = instanceServerName(deep + u"/a/quillpress"_qs);
    const QString longB = instanceServerName(deep + u"/b/quillpress"_qs);
    EXPECT_NE(longA, longB);
    EXPECT_LE(longA.toLocal8Bit().size(), 100);
    EXPECT_TRUE(QFileInfo(longA).fileName().startsWith(u"OneInstUtilWnd-"_qs));
}

TEST(OneInstance, OnlyOneComponentPerProcess)
{
    TOneInstanceCheck first;
    EXPECT_EQ(TOneInstanceCheck::instance(), &first);
    try {
        TOneInstanceCheck second;
        ADD_FAILURE() << "a second component was created";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Nur ein TOneInstanceCheck-Objekt möglich");
    }
    EXPECT_EQ(TOneInstanceCheck::instance(), &first);
}

// A listener in a thread of its own answers a sender of this thread.
class ListenerThread : public QThread {
public:
    explicit ListenerThread(QString programPath) : m_path(std::move(programPath)) {}
    std::atomic<bool> listening{false};

protected:
    void run() override
    {
        InstanceListener listener(m_path);
        listening = listener.isListening();
        exec();
    }

private:
    QString m_path;
};

TEST(OneInstance, SenderEndsOnlyOnTheHandedOverReply)
{
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    const QString program = u"/opt/quillpress-test/quillpress"_qs;

    // Nobody listens: the start goes on.
    EXPECT_FALSE(HandOffToRunningInstance(program, {u"/a.qpcf"_qs}, QDir::tempPath(), 2000));

    ListenerThread thread(program);
    thread.start();
    while (!thread.isFinished() && !thread.listening)
        QThread::msleep(5);
    ASSERT_TRUE(thread.listening);

    // Before a component exists every hand-off is refused.
    EXPECT_FALSE(HandOffToRunningInstance(program, {u"/a.qpcf"_qs}, QDir::tempPath(), 5000));

    std::atomic<quint32> pid{0};
    QString received;
    {
        TOneInstanceCheck check;
        check.OnNewInstance = [&](TOneInstanceCheck&, quint32 processId, const QStringList& params, bool&) {
            pid = processId;
            received = params.join(u'|');
        };
        EXPECT_TRUE(HandOffToRunningInstance(program, {u"b.qpcf"_qs}, u"/data"_qs, 5000));
        EXPECT_EQ(pid, quint32(QCoreApplication::applicationPid()));
        EXPECT_EQ(received, program + u"|/data/b.qpcf"_qs);

        // A receiver that lets the new process run.
        check.OnNewInstance = [](TOneInstanceCheck&, quint32, const QStringList&, bool& allow) { allow = true; };
        EXPECT_FALSE(HandOffToRunningInstance(program, {u"/c.qpcf"_qs}, u"/data"_qs, 5000));

        // A receiver that does not answer in time counts as a refusal.
        check.OnNewInstance = [](TOneInstanceCheck&, quint32, const QStringList&, bool&) { QThread::msleep(800); };
        EXPECT_FALSE(HandOffToRunningInstance(program, {u"/d.qpcf"_qs}, u"/data"_qs, 300));
        QThread::msleep(600); // the slow receiver finishes before the component goes
    }
    thread.quit();
    thread.wait();
    qunsetenv("XDG_RUNTIME_DIR");
}

// Lets events through until `done` holds; false when `ms` pass first.
template <typename Pred>
bool eventually(Pred done, int ms = 30000)
{
    return ::qp::test::waitUntil(done, ms);
}

// The environment variables a test changes, restored when it ends.
class EnvironmentGuard {
public:
    explicit EnvironmentGuard(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            m_saved.push_back({name, qEnvironmentVariableIsSet(name), qgetenv(name)});
    }
    ~EnvironmentGuard()
    {
        for (const auto& [name, set, value] : m_saved)
            set ? qputenv(name, value) : qunsetenv(name);
    }

private:
    struct Saved {
        const char* name;
        bool set;
        QByteArray value;
    };
    std::vector<Saved> m_saved;
};

struct stat statOf(const QString& path)
{
    struct stat st {};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st;
}

// Without a usable runtime folder the sockets go to a folder of the program's own in the user's
// cache; when that one is not private either, nothing listens and nothing is sent.
TEST(OneInstance, SocketsLiveOnlyInAFolderNoOtherUserCanChange)
{
    EnvironmentGuard env{"XDG_RUNTIME_DIR", "TMPDIR", "XDG_CACHE_HOME"};
    QTemporaryDir sandbox;
    ASSERT_TRUE(sandbox.isValid());
    const QString tmp = sandbox.filePath(u"tmp"_qs);
    const QString cache = sandbox.filePath(u"cache"_qs);
    ASSERT_TRUE(QDir().mkpath(tmp));
    qputenv("TMPDIR", tmp.toLocal8Bit());
    qputenv("XDG_CACHE_HOME", cache.toLocal8Bit());
    const QString program = u"/opt/quillpress-folders/quillpress"_qs;

    // A private runtime folder is taken as it is.
    const QString runtime = sandbox.filePath(u"run"_qs);
    ASSERT_EQ(::mkdir(QFile::encodeName(runtime).constData(), 0700), 0);
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    EXPECT_EQ(handOffFolder(), runtime);
    EXPECT_EQ(QFileInfo(instanceServerName(program)).path(), runtime);

    // Without XDG_RUNTIME_DIR Qt offers a folder of the temporary folder; once anybody can write
    // there (it is then not the user's own), Qt declines it and the cache folder is used, made for
    // the user alone.
    qunsetenv("XDG_RUNTIME_DIR");
    const QString qtRuntime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    ASSERT_TRUE(qtRuntime.startsWith(tmp + u'/')) << qtRuntime.toStdString();
    ASSERT_EQ(::chmod(QFile::encodeName(qtRuntime).constData(), 0777), 0);
    const QString own = cache + u"/quillpress/instance-"_qs + QString::number(::geteuid());
    EXPECT_EQ(handOffFolder(), own);
    const struct stat made = statOf(own);
    EXPECT_TRUE(S_ISDIR(made.st_mode));
    EXPECT_EQ(made.st_mode & 0777, 0700u);
    EXPECT_EQ(made.st_uid, ::geteuid());
    const QString name = instanceServerName(program);
    EXPECT_EQ(QFileInfo(name).path(), own);
    {
        InstanceListener listener(program);
        EXPECT_TRUE(listener.isListening());
        EXPECT_EQ(listener.serverName(), name);
    }

    // A cache folder that is not private, however it came about: no folder, no hand-off.
    const QString elsewhere = sandbox.filePath(u"elsewhere"_qs);
    ASSERT_EQ(::mkdir(QFile::encodeName(elsewhere).constData(), 0700), 0);
    const struct {
        const char* what;
        std::function<void()> spoil;
    } spoiled[] = {
        {"open to the group", [&] { ::chmod(QFile::encodeName(own).constData(), 0770); }},
        {"readable by others", [&] { ::chmod(QFile::encodeName(own).constData(), 0705); }},
        {"a symbolic link to a private folder",
         [&] { QDir(own).removeRecursively(); QFile::link(elsewhere, own); }},
        {"a file, not a folder", [&] {
             QDir(own).removeRecursively();
             QFile file(own);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         }},
    };
    for (const auto& c : spoiled) {
        QFile::remove(own);
        QDir(own).removeRecursively();
        ASSERT_EQ(::mkdir(QFile::encodeName(own).constData(), 0700), 0) << c.what;
        c.spoil();
        EXPECT_EQ(handOffFolder(), std::nullopt) << c.what;
        EXPECT_EQ(instanceServerName(program), QString()) << c.what;
        EXPECT_FALSE(HandOffToRunningInstance(program, {u"/a.qpcf"_qs}, QDir::tempPath(), 2000)) << c.what;
        InstanceListener listener(program);
        EXPECT_FALSE(listener.isListening()) << c.what;
    }

    // Owned by another user (only root can make that here).
    if (::geteuid() == 0) {
        QFile::remove(own);
        QDir(own).removeRecursively();
        ASSERT_EQ(::mkdir(QFile::encodeName(own).constData(), 0700), 0);
        ASSERT_EQ(::chown(QFile::encodeName(own).constData(), 65534, 65534), 0);
        EXPECT_EQ(handOffFolder(), std::nullopt);
        EXPECT_EQ(instanceServerName(program), QString());
    }
}

// The listener's limits, with the listener in this thread and raw clients beside it; a real
// sender runs in a thread of its own, as its calls block.
class ListenerLimits : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    }
    void TearDown() override { qunsetenv("XDG_RUNTIME_DIR"); }

    // A hand-off as a second start makes it, while this thread lets the listener work: true when
    // it was handed over.
    bool handOff(const QString& argument)
    {
        std::atomic<int> result{-1};
        std::unique_ptr<QThread> sender(QThread::create([&] {
            result = HandOffToRunningInstance(m_program, {argument}, QDir::tempPath(), 10000) ? 1 : 0;
        }));
        sender->start();
        EXPECT_TRUE(eventually([&] { return sender->isFinished(); }));
        sender->wait();
        return result == 1;
    }

    // A client that connects and stays; `bytes` of a message are sent at once.
    std::unique_ptr<QLocalSocket> client(const QByteArray& bytes = {})
    {
        auto socket = std::make_unique<QLocalSocket>();
        socket->connectToServer(instanceServerName(m_program));
        EXPECT_TRUE(socket->waitForConnected(5000));
        if (!bytes.isEmpty())
            socket->write(bytes);
        return socket;
    }

    // The start of a message that announces `announced` bytes of command line and brings `sent`.
    static QByteArray partialMessage(quint32 announced, qsizetype sent)
    {
        QByteArray bytes(8, Qt::Uninitialized);
        qToLittleEndian<quint32>(7, bytes.data());
        qToLittleEndian<quint32>(announced, bytes.data() + 4);
        return bytes + QByteArray(sent, 'q');
    }

    QTemporaryDir m_runtime;
    const QString m_program = u"/opt/quillpress-limits/quillpress"_qs;
};

TEST_F(ListenerLimits, IdleAndSurplusConnectionsAreDroppedAndAHandOffStillWorks)
{
    InstanceListener listener(m_program);
    ASSERT_TRUE(listener.isListening());
    TOneInstanceCheck check;
    QStringList received;
    check.OnNewInstance = [&](TOneInstanceCheck&, quint32, const QStringList& params, bool&) {
        received << params.value(1);
    };

    // Connections that never finish: some say nothing, some begin a message of 1 MiB.
    QElapsedTimer clock;
    clock.start();
    std::vector<std::unique_ptr<QLocalSocket>> idle;
    for (int i = 0; i < kMaxHandOffConnections; ++i)
        idle.push_back(client(i % 2 ? partialMessage(1024 * 1024, 64 * 1024) : QByteArray()));
    ASSERT_TRUE(eventually([&] { return listener.connectionCount() == kMaxHandOffConnections; }));

    // Beyond the limit a connection is closed at once, a real sender's too (it starts on its own).
    std::vector<std::unique_ptr<QLocalSocket>> surplus;
    for (int i = 0; i < 4; ++i)
        surplus.push_back(client(partialMessage(1024, 16)));
    EXPECT_TRUE(eventually([&] {
        return std::all_of(surplus.begin(), surplus.end(),
                           [](const auto& s) { return s->state() == QLocalSocket::UnconnectedState; });
    }));
    EXPECT_FALSE(handOff(u"/while-full.qpcf"_qs));
    EXPECT_LT(clock.elapsed(), kHandOffReceiveTimeoutMs) << "the machine was too slow to tell the limits apart";
    for (const auto& s : idle)
        EXPECT_EQ(s->state(), QLocalSocket::ConnectedState);
    EXPECT_EQ(listener.connectionCount(), kMaxHandOffConnections);

    // The time limit frees every idle connection, and the memory its partial message held.
    EXPECT_TRUE(eventually([&] {
        return std::all_of(idle.begin(), idle.end(),
                           [](const auto& s) { return s->state() == QLocalSocket::UnconnectedState; });
    }, kHandOffReceiveTimeoutMs + 30000));
    // (Qt's coarse timers may fire up to 5 % early.)
    EXPECT_GE(clock.elapsed(), kHandOffReceiveTimeoutMs * 9 / 10);
    EXPECT_TRUE(eventually([&] { return listener.connectionCount() == 0; }));
    EXPECT_EQ(listener.bufferedBytes(), 0);

    EXPECT_TRUE(handOff(u"/after.qpcf"_qs));
    EXPECT_EQ(received, QStringList({u"/after.qpcf"_qs}));
}

TEST_F(ListenerLimits, IncompleteMessagesTogetherHoldNoMoreThanTheCap)
{
    InstanceListener listener(m_program);
    ASSERT_TRUE(listener.isListening());
    const qsizetype part = 3 * 1024 * 1024;

    // Two large messages, each incomplete: both are held.
    auto first = client(partialMessage(kMaxHandOffBytes, part));
    auto second = client(partialMessage(kMaxHandOffBytes, part));
    ASSERT_TRUE(eventually([&] { return listener.bufferedBytes() == 2 * (8 + part); }));

    // A third that would take the listener beyond the cap is dropped; the others stay.
    auto third = client(partialMessage(kMaxHandOffBytes, kMaxHandOffBufferedBytes - 2 * (8 + part)));
    EXPECT_TRUE(eventually([&] { return third->state() == QLocalSocket::UnconnectedState; }));
    EXPECT_EQ(first->state(), QLocalSocket::ConnectedState);
    EXPECT_EQ(second->state(), QLocalSocket::ConnectedState);
    EXPECT_LE(listener.bufferedBytes(), kMaxHandOffBufferedBytes);

    // A message of the largest size is still answered when it is complete (refused: no receiver).
    first->write(QByteArray(qsizetype(kMaxHandOffBytes) - part, 'q'));
    QByteArray reply;
    EXPECT_TRUE(eventually([&] {
        reply += first->readAll();
        return reply.size() >= 4;
    }));
    ASSERT_EQ(reply.size(), 4);
    EXPECT_EQ(qFromLittleEndian<quint32>(reply.constData()), kHandOffRefused);
}

TEST_F(ListenerLimits, ListensAgainWhenItsSocketFileIsRemoved)
{
    InstanceListener listener(m_program);
    ASSERT_TRUE(listener.isListening());
    TOneInstanceCheck check;
    check.OnNewInstance = [](TOneInstanceCheck&, quint32, const QStringList&, bool&) {};
    const QString name = instanceServerName(m_program);
    ASSERT_TRUE(QFile::remove(name));
    EXPECT_TRUE(eventually([&] { return QFileInfo::exists(name) && listener.isListening(); }));
    EXPECT_TRUE(handOff(u"/back.qpcf"_qs));
}

TEST_F(ListenerLimits, ListensAgainAfterRunningOutOfFileDescriptors)
{
    InstanceListener listener(m_program);
    ASSERT_TRUE(listener.isListening());
    TOneInstanceCheck check;
    check.OnNewInstance = [](TOneInstanceCheck&, quint32, const QStringList&, bool&) {};
    const QString name = instanceServerName(m_program);

    // A low limit, every descriptor under it taken but one, which a client takes to connect: the
    // listener finds no descriptor to accept it with.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    const int open = int(QDir(u"/proc/self/fd"_qs).entryList(QDir::Files | QDir::System).size());
    struct rlimit low = saved;
    low.rlim_cur = std::min<rlim_t>(saved.rlim_cur, rlim_t(open + 64));
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> taken;
    auto releaseAll = [&] {
        for (int fd : taken)
            ::close(fd);
        taken.clear();
        ::setrlimit(RLIMIT_NOFILE, &saved);
    };
    const auto release = qScopeGuard(releaseAll);
    const int null = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(null, 0);
    taken.push_back(null);
    for (int fd; (fd = ::dup(null)) >= 0;)
        taken.push_back(fd);
    ASSERT_GT(taken.size(), 1u);
    ::close(taken.back());
    taken.pop_back();
    const int client = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(client, 0);
    taken.push_back(client);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(name);
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_TRUE(eventually([&] { return !listener.isListening(); }, 10000));

    // Once descriptors are free again, the listener listens again and takes hand-offs.
    releaseAll();
    EXPECT_TRUE(eventually([&] { return QFileInfo::exists(name) && listener.isListening(); }));
    EXPECT_TRUE(handOff(u"/back.qpcf"_qs));
}

} // namespace
} // namespace qp
