// SPDX-License-Identifier: MIT
// The hand-off between two users of one machine: a start never hands its command line to a
// listener of another user, and a listener serves nobody but its own user. The victim runs the
// hand-off peer program as an unprivileged user id of its own (setpriv); the test itself, as
// root, plays the other user: it plants listening sockets where the victim might look and
// connects to the victim's listener. The tests need root and are skipped without it.
#include "support/WaitUntil.h"
#include "core/app/OneInstanceFunc.h"
#include "support/QStringPrinter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QUrl>
#include <QtEndian>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace qp {
namespace {

// Any user id without processes of its own: setpriv needs no account for it.
constexpr uid_t kVictim = 12345;
constexpr uid_t kNobody = 65534;

// Lets events through until `done` holds; false when `ms` pass first.
template <typename Pred>
bool eventually(Pred done, int ms = 30000)
{
    return ::qp::test::waitUntil(done, ms);
}

bool makeFolder(const QString& path, mode_t mode, uid_t owner)
{
    const QByteArray p = QFile::encodeName(path);
    return ::mkdir(p.constData(), mode) == 0 && ::chmod(p.constData(), mode) == 0
        && ::chown(p.constData(), owner, owner) == 0;
}

// A listener of another user under a name where the victim might look: it answers every
// connection at once with "handed over", as a planted socket would, and counts what arrives.
class PlantedListener {
public:
    explicit PlantedListener(const QString& path)
    {
        // Anyone may connect, as the one who plants it wants.
        m_server.setSocketOptions(QLocalServer::WorldAccessOption);
        QLocalServer::removeServer(path);
        EXPECT_TRUE(m_server.listen(path)) << path.toStdString();
        QObject::connect(&m_server, &QLocalServer::newConnection, &m_server, [this] {
            while (QLocalSocket* socket = m_server.nextPendingConnection()) {
                ++connections;
                socket->setParent(&m_server);
                QByteArray reply(4, Qt::Uninitialized);
                qToLittleEndian<quint32>(kHandOffAccepted, reply.data());
                socket->write(reply);
                auto take = [this, socket] { bytes += socket->readAll().size(); };
                QObject::connect(socket, &QLocalSocket::readyRead, socket, take);
                QObject::connect(socket, &QLocalSocket::disconnected, socket, [this, take] {
                    take();
                    ++closed;
                });
            }
        });
    }

    // Takes every connection that is waiting now (a start that has ended made all of its own).
    void takeWaiting()
    {
        QCoreApplication::processEvents();
        while (m_server.waitForNewConnection(0) && m_server.hasPendingConnections())
            QCoreApplication::processEvents();
    }

    int connections = 0;
    int closed = 0;
    qint64 bytes = 0;

private:
    QLocalServer m_server;
};

class TwoUsers : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (::geteuid() != 0)
            GTEST_SKIP() << "runs a process as another user: needs root";
        m_setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (m_setpriv.isEmpty())
            GTEST_SKIP() << "setpriv (util-linux) is missing";
        ASSERT_TRUE(m_sandbox.isValid());
        ASSERT_EQ(::chmod(QFile::encodeName(m_sandbox.path()).constData(), 0755), 0);
        // The peer program where the victim can run it, a temporary folder shared by all users
        // as /tmp is, and the victim's home.
        ASSERT_TRUE(makeFolder(path(u"bin"_qs), 0755, 0));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QP_HANDOFF_PEER_PATH), m_peer = path(u"bin/handoff_peer"_qs)));
        ASSERT_EQ(::chmod(QFile::encodeName(m_peer).constData(), 0755), 0);
        ASSERT_TRUE(makeFolder(m_tmp = path(u"tmp"_qs), 01777, 0));
        ASSERT_TRUE(makeFolder(m_home = path(u"h"_qs), 0700, kVictim));
    }

    void TearDown() override
    {
        for (auto& p : m_processes)
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
    }

    QString path(const QString& relative) const { return m_sandbox.filePath(relative); }

    // The victim's environment: its home, the shared temporary folder, no runtime folder.
    QProcessEnvironment victimEnvironment() const
    {
        QProcessEnvironment env;
        env.insert(u"PATH"_qs, u"/usr/bin:/bin"_qs);
        env.insert(u"HOME"_qs, m_home);
        env.insert(u"TMPDIR"_qs, m_tmp);
        env.insert(u"LC_ALL"_qs, u"C.UTF-8"_qs);
        return env;
    }

    // Starts the peer program as the victim.
    QProcess& asVictim(const QStringList& arguments, const QProcessEnvironment& env)
    {
        auto& p = m_processes.emplace_back(std::make_unique<QProcess>());
        p->setProgram(m_setpriv);
        p->setArguments(QStringList{u"--reuid=%1"_qs.arg(kVictim), u"--regid=%1"_qs.arg(kVictim),
                                    u"--clear-groups"_qs, u"--"_qs, m_peer} + arguments);
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(m_home);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start();
        EXPECT_TRUE(p->waitForStarted(10000));
        return *p;
    }

    // Waits, letting this test's sockets work, until `p` has written a line that starts with
    // `prefix`; the rest of the line, or nothing when none comes in time.
    std::optional<QString> lineFrom(QProcess& p, const QString& prefix)
    {
        QString& seen = m_output[&p];
        std::optional<QString> found;
        eventually([&] {
            seen += QString::fromLocal8Bit(p.readAllStandardOutput());
            for (const QString& line : seen.split(u'\n'))
                if (line.startsWith(prefix) && seen.contains(line + u'\n')) {
                    found = line.mid(prefix.size());
                    return true;
                }
            return p.state() == QProcess::NotRunning && p.bytesAvailable() == 0;
        });
        return found;
    }

    // The whole output of a victim process that has ended, its sockets served meanwhile.
    QString outputWhenEnded(QProcess& p)
    {
        EXPECT_TRUE(eventually([&] { return p.state() == QProcess::NotRunning; }));
        QString& seen = m_output[&p];
        seen += QString::fromLocal8Bit(p.readAllStandardOutput());
        return seen;
    }

    // A victim's start with a configuration: "handed-over" or "own-start".
    QString victimStarts(const QProcessEnvironment& env)
    {
        QProcess& start = asVictim({u"send"_qs, m_program, u"secret-plan.qpcf"_qs}, env);
        return outputWhenEnded(start).trimmed();
    }

    // Short, so that the victim's socket paths stay within the system's limit for them.
    QTemporaryDir m_sandbox{u"/tmp/qp-users-XXXXXX"_qs};
    QString m_setpriv, m_peer, m_tmp, m_home;
    const QString m_program = u"/opt/quillpress-users/quillpress"_qs;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    std::map<QProcess*, QString> m_output;
};

// Without XDG_RUNTIME_DIR (su, cron, ssh without a login manager) Qt offers a folder of the
// temporary folder named after the user. Another user made it first and listens there and in the
// temporary folder itself: the victim neither connects to those sockets nor listens there.
TEST_F(TwoUsers, FoldersPlantedByAnotherUserAreNeverUsed)
{
    const QProcessEnvironment env = victimEnvironment();
    // The name Qt gives the victim's runtime folder, learnt in a temporary folder of its own.
    ASSERT_TRUE(makeFolder(path(u"probe"_qs), 01777, 0));
    QProcessEnvironment probeEnv = env;
    probeEnv.insert(u"TMPDIR"_qs, path(u"probe"_qs));
    QProcess& probe = asVictim({u"runtime"_qs}, probeEnv);
    const std::optional<QString> probed = lineFrom(probe, u"runtime "_qs);
    ASSERT_TRUE(probed && !probed->isEmpty());
    const QString planted = QDir(m_tmp).filePath(QFileInfo(*probed).fileName());

    // The other user's folder, open to all, and its sockets under the names a start looked for.
    ASSERT_TRUE(makeFolder(planted, 0777, kNobody));
    const QString key = QString::fromLatin1(QUrl::toPercentEncoding(instanceKey(m_program)));
    PlantedListener inTemporary(QDir(m_tmp).filePath(key));
    PlantedListener inPlanted(QDir(planted).filePath(key));

    EXPECT_EQ(victimStarts(env), u"own-start"_qs);
    inTemporary.takeWaiting();
    inPlanted.takeWaiting();
    EXPECT_EQ(inTemporary.connections + inPlanted.connections, 0);
    EXPECT_EQ(inTemporary.bytes + inPlanted.bytes, 0);

    // The victim's instance listens in the program's folder in its own cache, made for it alone.
    QProcess& instance = asVictim({u"listen"_qs, m_program}, env);
    const std::optional<QString> name = lineFrom(instance, u"name "_qs);
    ASSERT_TRUE(name);
    EXPECT_EQ(lineFrom(instance, u"listening "_qs), u"1"_qs);
    const QString folder = QFileInfo(*name).path();
    EXPECT_EQ(folder, m_home + u"/.cache/quillpress/instance-"_qs + QString::number(kVictim));
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(folder).constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_uid, kVictim);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // ... and the victim's next start hands over to it, and only to it.
    EXPECT_EQ(victimStarts(env), u"handed-over"_qs);
    const std::optional<QString> received = lineFrom(instance, u"received "_qs);
    ASSERT_TRUE(received);
    EXPECT_TRUE(received->endsWith(u'"' + m_home + u"/secret-plan.qpcf\""_qs)) << received->toStdString();
    inTemporary.takeWaiting();
    inPlanted.takeWaiting();
    EXPECT_EQ(inTemporary.connections + inPlanted.connections, 0);
    instance.closeWriteChannel();
}

// A listener of another user under the very name the victim looks for (here root put it into the
// victim's runtime folder; in the old temporary folder anyone could): the victim checks who
// listens before it writes, sends nothing and starts on its own.
TEST_F(TwoUsers, StartSendsNothingToAListenerOfAnotherUser)
{
    QProcessEnvironment env = victimEnvironment();
    const QString runtime = path(u"h/run"_qs);
    ASSERT_TRUE(makeFolder(runtime, 0700, kVictim));
    env.insert(u"XDG_RUNTIME_DIR"_qs, runtime);

    QProcess& naming = asVictim({u"name"_qs, m_program}, env);
    const std::optional<QString> name = lineFrom(naming, u"name "_qs);
    ASSERT_TRUE(name && name->startsWith(runtime + u'/')) << name.value_or(QString()).toStdString();
    PlantedListener squatter(*name);

    EXPECT_EQ(victimStarts(env), u"own-start"_qs);
    squatter.takeWaiting();
    EXPECT_TRUE(eventually([&] { return squatter.closed == squatter.connections; }));
    EXPECT_EQ(squatter.bytes, 0);
}

// Another user connects to the victim's listener (only root can reach it through the private
// folder) with a complete message: the connection is closed unserved; the victim's own start is
// served as before.
TEST_F(TwoUsers, ListenerServesNoOtherUser)
{
    QProcessEnvironment env = victimEnvironment();
    const QString runtime = path(u"h/run"_qs);
    ASSERT_TRUE(makeFolder(runtime, 0700, kVictim));
    env.insert(u"XDG_RUNTIME_DIR"_qs, runtime);

    QProcess& instance = asVictim({u"listen"_qs, m_program}, env);
    const std::optional<QString> name = lineFrom(instance, u"name "_qs);
    ASSERT_TRUE(name);
    ASSERT_EQ(lineFrom(instance, u"listening "_qs), u"1"_qs);

    QLocalSocket intruder;
    intruder.connectToServer(*name);
    ASSERT_TRUE(intruder.waitForConnected(5000));
    intruder.write(encodeHandOff({4242, u"\"/opt/quillpress-users/quillpress\" \"/tmp/intruder.qpcf\""_qs}));
    QByteArray reply;
    EXPECT_TRUE(eventually([&] {
        reply += intruder.readAll();
        return intruder.state() == QLocalSocket::UnconnectedState;
    }));
    EXPECT_TRUE(reply.isEmpty());

    EXPECT_EQ(victimStarts(env), u"handed-over"_qs);
    ASSERT_TRUE(lineFrom(instance, u"received "_qs));
    instance.closeWriteChannel();
    EXPECT_FALSE(outputWhenEnded(instance).contains(u"intruder"_qs));
}

} // namespace
} // namespace qp
