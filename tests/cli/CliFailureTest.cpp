// SPDX-License-Identifier: MIT
// The command-line tool under faults: causes of failed images, control characters in paths,
// kill -9 in the middle of a run, memory over long runs.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include "support/CliFixture.h"
#include "support/WaitUntil.h"
#include "support/codec/ContainerReader.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using qp::testing::CliRun;

class CliFailureTest : public qp::testing::CliFixture {
protected:
    // Every run here leaves the start configuration out.
    CliRun cli(const QStringList& args, const QByteArray& input = {},
               const std::function<void()>& inChild = {})
    {
        return CliFixture::cli(QStringList{"--no-start-config"} + args, input, {inChild, {}, {}, {}});
    }
    QStringList outputFiles() const
    {
        return QDir(output()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
};

// A PNG file that is complete: it ends with its IEND chunk and decodes.
bool completePng(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.readAll();
    const std::vector<uint8_t> file(bytes.begin(), bytes.end());
    size_t end = 0;
    const std::vector<codectest::Chunk> chunks = codectest::ReadChunks(file, &end);
    const bool ended = end == file.size() && !chunks.empty() && chunks.back().type == "IEND"
                       && chunks.back().data.empty() && chunks.back().crcOk;
    return bytes.startsWith("\x89PNG") && ended && !QImage::fromData(bytes, "PNG").isNull();
}

} // namespace

// The save error is followed by its cause on the next line of standard error.
TEST_F(CliFailureTest, TheCauseOfAFailedImageFollowsTheMessage)
{
    // Over the side cap.
    CliRun r = cli({"-f", "png", "--set", "FSize=10000", "--set", "max_breite=0", QString(100, u'W')});
    EXPECT_EQ(r.status, 1);
    QStringList lines = r.err.split('\n');
    qsizetype at = lines.indexOf("  Please use another file format.");
    ASSERT_GE(at, 0) << r.err.toStdString();
    ASSERT_LT(at + 1, lines.size());
    EXPECT_TRUE(lines[at + 1].contains("at most 1000000 pixels per side")) << r.err.toStdString();

    // A format without writer, in the chosen language.
    r = cli({"--language", "de", "--set", "out_format=*.xyz - Nichts", "x"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Benutzen Sie ein anderes Format.\n  Unter der Endung \".xyz\"")) << r.err.toStdString();

    // A file-size limit, as a full disk would: the write fails with the system's cause and no
    // file, hidden or not, is left behind.
    r = cli({"-f", "bmp", "--set", "abstand_fix=1", "--set", "abs_b=400", "--set", "abs_h=400", "limited"}, {}, [] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_EQ(r.status, 1);
    lines = r.err.split('\n');
    at = lines.indexOf("  Please use another file format.");
    ASSERT_GE(at, 0) << r.err.toStdString();
    ASSERT_LT(at + 1, lines.size());
    EXPECT_TRUE(lines[at + 1].contains(QString::fromLocal8Bit(std::strerror(EFBIG)))) << r.err.toStdString();
    EXPECT_TRUE(outputFiles().isEmpty()) << outputFiles().join(' ').toStdString();
}

// Names never hold control characters, and every printed path is one line, even when the output
// folder holds a line break.
TEST_F(CliFailureTest, ControlCharactersNeverSplitAPrintedPath)
{
    CliRun r = cli({"-f", "png", "--name", "a\nb\x1b[31m", "x"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, output("a_b_[31m.png") + "\n");

    const QString folder = work.path() + "/two\nlines";
    r = cli({"-f", "png", "-o", folder, "--per-line", "-"}, "one\ntwo\n");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.split('\n', Qt::SkipEmptyParts),
              QStringList({work.path() + "/two?lines/one.png", work.path() + "/two?lines/two.png"}));
    EXPECT_TRUE(QFile::exists(folder + "/one.png"));
}

// A run killed at any moment leaves only finished images under their final names: no hidden
// temporary file, no second name, no image without its name.
TEST_F(CliFailureTest, KillingARunAtRandomMomentsLeavesOnlyFinishedImages)
{
    // More lines than the paths of their images fit into a pipe (64 KiB at most): while the test
    // reads nothing, the run stops at the latest when the pipe is full and so cannot end before
    // the kill, however long the pause before it.
    QByteArray text;
    for (int i = 0; i < 4000; ++i)
        text += "line " + QByteArray::number(i) + "\n";
    QProcessEnvironment env = environment();
    QRandomGenerator random(20261210);
    QSet<QString> before;
    for (int round = 0; round < 50; ++round) {
        SCOPED_TRACE(round);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(QP_CLI_PATH),
                {"--no-start-config", "-q", "-f", "png", "--per-line", "--set", "FSize=40", "--set", "cb_buchst=0", "-"});
        ASSERT_TRUE(p.waitForStarted(qp::test::patienceMs));
        p.write(text);
        p.closeWriteChannel();
        // At a random moment after the first image (before it, nothing is written yet).
        qp::test::waitUntil([&] { return p.canReadLine() || p.state() != QProcess::Running; });
        ASSERT_TRUE(p.canReadLine()) << p.readAllStandardError().toStdString();
        QThread::msleep(random.bounded(300));
        p.kill();
        ASSERT_TRUE(p.waitForFinished(qp::test::patienceMs));
        EXPECT_EQ(p.exitStatus(), QProcess::CrashExit) << "the run ended before the kill";

        const QStringList files = outputFiles();
        for (const QString& name : files) {
            if (before.contains(name))
                continue;
            EXPECT_FALSE(name.startsWith('.')) << name.toStdString();
            EXPECT_TRUE(name.startsWith("line_") && name.endsWith(".png")) << name.toStdString();
            EXPECT_TRUE(completePng(output(name))) << name.toStdString();
        }
        EXPECT_GT(files.size(), before.size());
        before = QSet<QString>(files.begin(), files.end());
    }
}

namespace {

// Peak resident memory in kilobytes of one run of the tool with `input` on standard input.
long peakKilobytes(const QStringList& args, const QString& inputFile, const QString& home)
{
    std::vector<QByteArray> storage{QByteArray(QP_CLI_PATH)};
    for (const QString& a : args)
        storage.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : storage)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inputFile.toLocal8Bit().constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    qputenv("QUILLPRESS_HOME", home.toLocal8Bit());
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    qunsetenv("QUILLPRESS_HOME");
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return -1;
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss;
}

} // namespace

// Nothing is kept per written image: ten times the lines take no more memory beyond the text.
TEST_F(CliFailureTest, MemoryStaysFlatOverLongRuns)
{
    long peaks[2] = {};
    const int counts[2] = {2000, 20000};
    for (int i = 0; i < 2; ++i) {
        const QString input = work.path() + QStringLiteral("/lines%1.txt").arg(counts[i]);
        QFile f(input);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // Distinct names, so that the numbering does not have to look far.
        for (int line = 0; line < counts[i]; ++line)
            f.write("l" + QByteArray::number(line) + "\n");
        f.close();
        QTemporaryDir out;
        peaks[i] = peakKilobytes({"--no-start-config", "-q", "-o", out.path(), "-f", "pgm", "--per-line", "--set",
                                  "cb_buchst=0", "--set", "FSize=1", "-"},
                                 input, home.path());
        ASSERT_GT(peaks[i], 0);
    }
    // The text and its item list grow by well under 2 MB; anything kept per image would show.
    EXPECT_LT(peaks[1] - peaks[0], 2048) << peaks[0] << " KB, then " << peaks[1] << " KB";
}
