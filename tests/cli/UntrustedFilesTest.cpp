// SPDX-License-Identifier: MIT
// The command-line tool with files it must not trust or that fail under it: configurations and
// texts that are no regular files or never end, saves over devices and pipes, flushes and closes
// that fail, values outside their range, names that a folder holds.
#include "support/CliFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

using qp::testing::CliRun;
using qp::testing::CliSetup;

class UntrustedFilesTest : public qp::testing::CliFixture {
protected:
    CliRun run(const QStringList& args, const CliSetup& setup = {})
    {
        return cli(QStringList{"--no-start-config"} + args, {}, setup);
    }
    QStringList outputFiles() const
    {
        return QDir(output()).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::Dirs | QDir::NoDotAndDotDot);
    }
    // The tool with system calls that fail (see support/faults/failing_io.c).
    static CliSetup failing(const QString& calls, const QString& match = {})
    {
        CliSetup setup;
        setup.environment = {{"LD_PRELOAD", QP_FAILING_IO_PATH}, {"QP_FAIL", calls}, {"QP_FAIL_MATCH", match}};
        return setup;
    }
    QByteArray bytes(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    mode_t kind(const QString& path) const
    {
        struct stat st {};
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
    }
};

} // namespace

// A configuration is read and replaced only when it is a regular file of a configuration's size;
// anything else under the name is refused with the reason and left exactly as it was.
TEST_F(UntrustedFilesTest, ConfigurationsAreReadAndReplacedOnlyAsRegularFiles)
{
    const QString fifo = work.filePath("pipe.qpcf");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString folder = work.filePath("folder.qpcf");
    ASSERT_TRUE(QDir().mkdir(folder));
    // Larger than any configuration may be; sparse, so it costs no disk.
    const QString huge = work.filePath("huge.qpcf");
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(qint64(17) << 20));
    }
    struct Case {
        QString path;
        mode_t kind;
        const char* why;
    };
    std::vector<Case> cases = {
        {fifo, S_IFIFO, "is not a regular file"},
        {folder, S_IFDIR, "is not a regular file"},
        {huge, S_IFREG, "is larger than"},
    };
    // A device node, as `--save-config /dev/null` run by root would meet it (a copy of it here).
    if (::geteuid() == 0) {
        const QString device = work.filePath("null.qpcf");
        ASSERT_EQ(::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
        cases.push_back({device, S_IFCHR, "is not a regular file"});
    }

    // The pipe has a writer too: a reader would take what it gives as the file's content.
    const int writer = ::open(QFile::encodeName(fifo).constData(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    for (const Case& c : cases) {
        const std::string name = c.path.toStdString();
        const QByteArray before = c.kind == S_IFREG ? bytes(c.path) : QByteArray();
        CliRun r = run({"--save-config", c.path});
        EXPECT_EQ(r.status, 1) << name;
        EXPECT_TRUE(r.err.contains(c.path) && r.err.contains(c.why)) << name << ": " << r.err.toStdString();
        EXPECT_EQ(kind(c.path), c.kind) << name;
        if (c.kind == S_IFREG) {
            EXPECT_EQ(bytes(c.path), before) << name;
        }

        r = run({"-c", c.path, "--dry-run", "x"});
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_TRUE(r.err.contains(c.path) && r.err.contains(c.why)) << name << ": " << r.err.toStdString();
    }
    ::close(writer);
    // Nothing was left beside them either.
    EXPECT_EQ(QDir(work.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot).size(),
              qsizetype(cases.size()));
}

// A text that never ends stops the tool at the text limit with a message; nothing is written.
TEST_F(UntrustedFilesTest, EndlessTextStopsAtTheLimit)
{
    CliRun r = run({"--text-file", "/dev/zero"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("\"/dev/zero\" is larger than the allowed 64 MiB")) << r.err.toStdString();

    CliSetup fromZero;
    fromZero.inChild = [] {
        const int zero = ::open("/dev/zero", O_RDONLY);
        ::dup2(zero, STDIN_FILENO);
    };
    r = run({"--language=de", "-"}, fromZero);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("\"Standardeingabe\" ist gr\u00F6\u00DFer als die erlaubten 64 MiB")) << r.err.toStdString();
    EXPECT_TRUE(outputFiles().isEmpty());

    // A pipe that ends is read whole, as before.
    r = cli({"--no-start-config", "--text-file", "/dev/stdin", "-f", "png"}, "piped\n");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), output("piped.png"));
}

// "Saved" and "written" hold only when the data reached the disk: a flush or a close that fails
// is a failed save or image, reported with its cause, and leaves no half-made file.
TEST_F(UntrustedFilesTest, FlushesAndClosesThatFailAreFailures)
{
    // A configuration save whose flush fails leaves the previous file as it was.
    const QString config = work.filePath("keep.qpcf");
    ASSERT_EQ(run({"--save-config", config}).status, 0);
    const QByteArray saved = bytes(config);
    CliRun r = run({"--set", "FSize=33", "--save-config", config}, failing("fdatasync"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Unable to write to " + config)) << r.err.toStdString();
    EXPECT_EQ(bytes(config), saved);
    EXPECT_EQ(QDir(work.path()).entryList(QDir::Files | QDir::Hidden), QStringList("keep.qpcf"));
    // ... and the folder flush after the replace, too.
    r = run({"--set", "FSize=34", "--save-config", config}, failing("fsync"));
    EXPECT_EQ(r.status, 1);

    // The run's one flush at its end fails: the run fails, naming the cause.
    r = run({"-f", "png", "flushed"}, failing("syncfs"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Input/output error")) << r.err.toStdString();

    // Without nameless temporary files, the image whose close fails is not left under its name.
    // (The temporary file keeps its first name for the system: the hidden one.)
    r = run({"-f", "png", "closed"}, failing("tmpfile,close", "/.quillpress-"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Input/output error")) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(output("closed.png")));
    // The same way with every call working writes the image.
    r = run({"-f", "png", "closed"}, failing("tmpfile"));
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), output("closed.png"));
    EXPECT_FALSE(outputFiles().join(' ').contains(".part"));
}

// A numeric setting outside its range is refused by name and range, before anything is drawn.
TEST_F(UntrustedFilesTest, ValuesOutsideTheirRangeAreRefused)
{
    const struct {
        const char* setting;
        const char* range;
    } cases[] = {
        {"FSize=NaN", "for FSize: a whole number from 1 to 12288"},
        {"FSize=inf", "for FSize: a whole number from 1 to 12288"},
        {"FSize=-5", "for FSize: a whole number from 1 to 12288"},
        {"abs_b=-100", "for abs_b: a whole number from 1 to 1000000"},
        {"abs_z=99999", "for abs_z: a whole number from -10000 to 10000"},
    };
    for (const auto& c : cases) {
        const CliRun r = run({"--set", "abstand_fix=1", "--set", c.setting, "x"});
        EXPECT_EQ(r.status, 2) << c.setting;
        EXPECT_TRUE(r.err.contains(c.range)) << c.setting << ": " << r.err.toStdString();
    }
    EXPECT_TRUE(outputFiles().isEmpty());
    // The edges themselves are taken.
    EXPECT_EQ(run({"--dry-run", "--set", "FSize=1", "--set", "abs_z=-10000", "x"}).status, 0);
}

// A folder under the next image's name takes that name like a file: the image gets the next
// number, in the run and in the dry run alike.
TEST_F(UntrustedFilesTest, AFolderTakesItsNameLikeAFile)
{
    ASSERT_TRUE(QDir().mkpath(output("hello.png")));
    CliRun r = run({"--dry-run", "-f", "png", "hello"});
    EXPECT_EQ(r.out.trimmed(), output("hello1.png"));
    r = run({"-f", "png", "hello"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), output("hello1.png"));
    EXPECT_TRUE(QFileInfo(output("hello1.png")).isFile());
}
