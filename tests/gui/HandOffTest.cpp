// SPDX-License-Identifier: MIT
// A second start of the desktop program hands its configuration files to the running one. The
// running instance is either the windows of this test (listening under the program's path) or
// the program itself; the second start is always the real program in a process of its own.
#include "support/WaitUntil.h"
#include "support/widgets/ProgramFixture.h"

#include "core/app/OneInstanceCheck.h"
#include "core/app/OneInstanceFunc.h"
#include "gui/run/Tsm_bearbeitung.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QSignalSpy>

#include <iostream>


namespace qp::testing {
namespace {

QString programPath()
{
    return QFileInfo(QStringLiteral(QP_APP_PATH)).canonicalFilePath();
}

using ::qp::test::waitUntil;

class HandOff : public ProgramFixture {
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        // Sockets of this test only: parallel tests and a running program never meet it.
        ASSERT_TRUE(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", m_runtime.path().toLocal8Bit());
    }

    void TearDown() override
    {
        for (auto& p : m_processes)
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(5000);
            }
        m_processes.clear();
        ProgramFixture::TearDown();
        qunsetenv("XDG_RUNTIME_DIR");
    }

    // Starts `program` (the desktop program by default) in the working folder.
    QProcess& launch(const QStringList& arguments, const QString& program = programPath())
    {
        auto& p = m_processes.emplace_back(std::make_unique<QProcess>());
        p->setProgram(program);
        p->setArguments(arguments);
        p->setWorkingDirectory(workPath(QString()));
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start();
        EXPECT_TRUE(p->waitForStarted(10000));
        return *p;
    }

    // Waits, letting this test's windows answer, until `p` ends; true when it ended with exit code 0.
    static bool endsWithExitCodeZero(QProcess& p, int ms = ::qp::test::patienceMs)
    {
        if (!waitUntil([&p] { return p.state() == QProcess::NotRunning; }, ms))
            return false;
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    // Waits until an instance of `program` listens.
    static bool someoneListens(const QString& program, int ms = ::qp::test::patienceMs)
    {
        return waitUntil([&program] {
            QLocalSocket probe;
            probe.connectToServer(instanceServerName(program));
            return probe.waitForConnected(100);
        }, ms);
    }

    QStringList entryPaths() const
    {
        QStringList paths;
        for (QAction* a : prog().configurationEntryActions())
            paths << a->data().toString();
        return paths;
    }

    QTemporaryDir m_runtime;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

TEST_F(HandOff, SecondStartLoadsItsConfigurationIntoTheRunningWindowAndEnds)
{
    create();
    InstanceListener listener(programPath());
    ASSERT_TRUE(listener.isListening());
    QSignalSpy answered(&listener, &InstanceListener::answered);
    const QString config = writeConfiguration(workPath(QStringLiteral("handed.qpcf")), "[PBED]\r\nabs_o=33\r\n");
    writeConfiguration(workPath(QStringLiteral("capitals.QPCF")), "[PBED]\r\nabs_u=44\r\n");
    prog().showMinimized();

    // Relative names: the second start makes them absolute against its own working folder.
    QElapsedTimer clock;
    clock.start();
    QProcess& second = launch({QStringLiteral("capitals.QPCF"), QStringLiteral("handed.qpcf")});
    const qint64 secondPid = second.processId();
    EXPECT_TRUE(endsWithExitCodeZero(second));
    std::cout << "second start ended after " << clock.elapsed() << " ms\n";

    ASSERT_EQ(answered.size(), 1);
    EXPECT_EQ(answered[0][0].toUInt(), quint32(secondPid));
    EXPECT_EQ(answered[0][1].toUInt(), kHandOffAccepted);
    EXPECT_EQ(settings().text(Setting::abs_o), QStringLiteral("33"));
    // The extension is compared with its case: ".QPCF" is no configuration.
    EXPECT_EQ(settings().text(Setting::abs_u), QStringLiteral("10"));
    EXPECT_EQ(entryPaths(), QStringList({config}));
    EXPECT_FALSE(prog().isMinimized());
}

TEST_F(HandOff, SecondStartWithoutArgumentsOpensAnInstanceOfItsOwn)
{
    create();
    InstanceListener listener(programPath());
    QSignalSpy answered(&listener, &InstanceListener::answered);
    QProcess& second = launch({});
    // Still running well after a hand-off would have ended it, and nothing was handed over.
    EXPECT_FALSE(waitUntil([&second] { return second.state() == QProcess::NotRunning; }, 3000));
    EXPECT_EQ(answered.size(), 0);
}

TEST_F(HandOff, CopiesAtDifferentPathsNeverMeet)
{
    create();
    InstanceListener listener(programPath());
    QSignalSpy answered(&listener, &InstanceListener::answered);
    const QString copy = homePath(QStringLiteral("copy/quillpress"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(copy).path()));
    ASSERT_TRUE(QFile::copy(programPath(), copy));
    writeConfiguration(workPath(QStringLiteral("c.qpcf")), "[PBED]\r\nabs_o=55\r\n");

    // The copy opens its own window although this one listens for the original program file ...
    QProcess& copyFirst = launch({QStringLiteral("c.qpcf")}, copy);
    ASSERT_TRUE(someoneListens(copy));
    EXPECT_EQ(copyFirst.state(), QProcess::Running);
    // ... and a second start of the copy hands over to the copy.
    QProcess& copySecond = launch({QStringLiteral("c.qpcf")}, copy);
    EXPECT_TRUE(endsWithExitCodeZero(copySecond));
    EXPECT_EQ(answered.size(), 0);
    EXPECT_EQ(settings().text(Setting::abs_o), QStringLiteral("10"));
}

TEST_F(HandOff, SocketOfAKilledInstanceDoesNotBlockTheNextStart)
{
    QProcess& killed = launch({});
    ASSERT_TRUE(someoneListens(programPath()));
    killed.kill(); // SIGKILL: the socket file stays behind
    ASSERT_TRUE(killed.waitForFinished(10000));
    ASSERT_TRUE(QFileInfo::exists(instanceServerName(programPath())));

    writeConfiguration(workPath(QStringLiteral("s.qpcf")), "[PBED]\r\nabs_o=66\r\n");
    QProcess& next = launch({QStringLiteral("s.qpcf")});
    ASSERT_TRUE(someoneListens(programPath()));
    EXPECT_EQ(next.state(), QProcess::Running);
    // The new instance took the name over: a further start hands over to it.
    QProcess& further = launch({QStringLiteral("s.qpcf")});
    EXPECT_TRUE(endsWithExitCodeZero(further));
    EXPECT_EQ(next.state(), QProcess::Running);
}

TEST_F(HandOff, DuringARunTheConfigurationIsLoadedBetweenImages)
{
    create();
    InstanceListener listener(programPath());
    QSignalSpy answered(&listener, &InstanceListener::answered);
    const QString out = homePath(QStringLiteral("out"));
    settings().setText(Setting::out_ordner, out);
    settings().setChecked(Setting::txt_line, true);
    settings().setText(Setting::out_format, QStringLiteral("*.jpg - JPEG-Image"));
    writeConfiguration(workPath(QStringLiteral("png.qpcf")),
                       "[PBCB]\r\nout_format=*.png - Portable Network Graphics\r\n");
    prog().memo()->setPlainText(QStringLiteral("a\nb\nc\nd\ne\nf"));

    // When the second image is done, the second start hands over; events are let through there,
    // between two images of the run, until the hand-off has been served (however slow the machine,
    // so the configuration always changes the format after the second image).
    QProcess* second = nullptr;
    auto* bar = windows().progress().findChild<QProgressBar*>(QStringLiteral("Progress"));
    ASSERT_NE(bar, nullptr);
    QObject::connect(bar, &QProgressBar::valueChanged, &listener, [&](int value) {
        if (value != 2 || second)
            return;
        second = &launch({QStringLiteral("png.qpcf")});
        QDeadlineTimer deadline(30000);
        while (answered.isEmpty() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    });
    prog().durchfuehrenClick();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(endsWithExitCodeZero(*second));
    ASSERT_EQ(answered.size(), 1);

    // Two JPEG images, then PNG images: the format changed between the second and third image.
    const QStringList files = QDir(out).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(files, QStringList({QStringLiteral("a.jpg"), QStringLiteral("b.jpg"), QStringLiteral("c.png"),
                                  QStringLiteral("d.png"), QStringLiteral("e.png"), QStringLiteral("f.png")}));
    // The summary in the bottom bar counts all six.
    EXPECT_TRUE(prog().runSummaryLabel()->isVisible());
    EXPECT_TRUE(prog().runSummaryLabel()->text().contains(QStringLiteral("6 images written to")));
}

TEST_F(HandOff, DuringTheSplashTheStartConfigurationComesFirst)
{
    writeConfiguration(homePath(QStringLiteral("Auto.qpcf")), "[PBED]\r\nabs_o=11\r\nabs_u=11\r\n");
    const QString config = writeConfiguration(workPath(QStringLiteral("h.qpcf")), "[PBED]\r\nabs_o=77\r\n");
    create({}, false);
    ASSERT_FALSE(prog().isVisible());
    ASSERT_NE(TOneInstanceCheck::instance(), nullptr);
    TOneInstanceCheck::instance()->dispatch(1, QStringLiteral("\"%1\" \"%2\"").arg(programPath(), config));
    EXPECT_TRUE(prog().isVisible());
    EXPECT_FALSE(start().isVisible());
    EXPECT_EQ(settings().text(Setting::abs_u), QStringLiteral("11"));
    EXPECT_EQ(settings().text(Setting::abs_o), QStringLiteral("77"));
}

} // namespace
} // namespace qp::testing
