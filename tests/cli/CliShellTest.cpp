// SPDX-License-Identifier: MIT
// quillpress-cli --shell-status, --shell-register and --shell-remove on a sandboxed desktop, in
// both languages, per user or system-wide as root (the test may run as either).
#include "support/DesktopSandbox.h"

#include <QProcess>
#include <gtest/gtest.h>
#include <unistd.h>

namespace qp {
namespace {

struct ShellRun {
    int status = -1;
    QStringList lines;
    QString err;
};

class CliShellTest : public ::testing::Test {
protected:
    ShellRun cli(QStringList args)
    {
        args.prepend(sandbox.program());
        args.prepend("--shell-program");
        QProcess p;
        QProcessEnvironment env = sandbox.environment(::geteuid() == 0);
        env.insert("QUILLPRESS_HOME", sandbox.path("home/program"));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(sandbox.path());
        p.start(QStringLiteral(QP_CLI_PATH), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts),
                QString::fromUtf8(p.readAllStandardError())};
    }
    test::DesktopSandbox sandbox;
};

TEST_F(CliShellTest, RegisterStatusAndRemoveInBothLanguages)
{
    ShellRun r = cli({"--shell-status"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.lines, (QStringList{"config: Not activated", "sendto: Not activated", "folders: Not activated",
                                    "files: Not activated", "types: Not activated"}));

    r = cli({"--shell-register", "config", "--shell-status"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.lines.value(0), "config: Activated");
    EXPECT_EQ(r.lines.value(1), "config: Activated");

    r = cli({"--language", "de", "--shell-status"});
    EXPECT_EQ(r.lines.value(0), "config: Aktiv");
    EXPECT_EQ(r.lines.value(2), "folders: Nicht aktiv");

    r = cli({"--language", "de", "--shell-remove", "config"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.lines, QStringList{"config: Nicht aktiv"});

    // Every group, and the chosen extensions as set on the command line.
    QStringList all;
    for (const char* group : {"config", "sendto", "folders", "files", "types"})
        all << "--shell-register" << group;
    r = cli(QStringList{"--set", "beldateien=gif, qpzz"} + all + QStringList{"--shell-status"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.lines.mid(5), (QStringList{"config: Activated", "sendto: Activated", "folders: Activated",
                                           "files: Activated", "types: Activated"}));
    // With the default extensions the types group is not active: only gif and qpzz carry it.
    r = cli({"--shell-status"});
    EXPECT_EQ(r.lines.value(4), "types: Not activated");

    // The user's or the system-wide places, never the other.
    const bool root = ::geteuid() == 0;
    EXPECT_TRUE(sandbox.filesBelow(root ? sandbox.path("home") : sandbox.root()).filter(".desktop").isEmpty());
    EXPECT_FALSE(sandbox.filesBelow(root ? sandbox.root() : sandbox.path("home")).filter(".desktop").isEmpty());

    r = cli({"--set", "beldateien=gif,qpzz", "--shell-remove", "types", "--shell-remove", "sendto"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.lines, (QStringList{"types: Not activated", "sendto: Not activated"}));
}

// A status query creates nothing, not even the program's folder; registering and removing every
// group leaves every place as it was (the data and configuration folders exist, as in any desktop
// session).
TEST_F(CliShellTest, StatusCreatesNothingAndRemovalLeavesEveryPlaceAsItWas)
{
    for (const QString& folder : {sandbox.dataHome(), sandbox.configHome(), sandbox.root() + "/usr/local/share",
                                  sandbox.root() + "/etc/xdg"})
        QDir().mkpath(folder);
    const QStringList before = sandbox.treeBelow(sandbox.path());
    ShellRun r = cli({"--shell-status"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(sandbox.treeBelow(sandbox.path()), before);

    QStringList registerAll, removeAll;
    for (const char* group : {"config", "sendto", "folders", "files", "types"}) {
        registerAll << "--shell-register" << group;
        removeAll << "--shell-remove" << group;
    }
    r = cli(QStringList{"--set", "beldateien=gif, qpzz"} + registerAll);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_NE(sandbox.treeBelow(sandbox.path()), before);
    r = cli(QStringList{"--set", "beldateien=gif, qpzz"} + removeAll);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(sandbox.treeBelow(sandbox.path()).join('\n').toStdString(), before.join('\n').toStdString());
}

// With the program's package installed, its entry opens configuration files: "Remove" cannot
// change that, says so in the tool's language, and ends as asked.
TEST_F(CliShellTest, RemovingConfigurationFilesOfAnInstalledProgramNamesThePackage)
{
    sandbox.installEntry();
    const QString installed = sandbox.systemData() + "/applications/quillpress.desktop";
    const struct {
        const char* language;
        const char* status;
        const char* note;
    } cases[] = {{"en", "config: Activated", "provided by the installed package"},
                 {"de", "config: Aktiv", "stellt das installierte Paket bereit"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        ShellRun r = cli({"--language", c.language, "--shell-register", "config", "--shell-remove", "config"});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(r.lines, (QStringList{c.status, c.status}));
        EXPECT_TRUE(r.err.contains(c.note) && r.err.contains(installed)) << r.err.toStdString();
    }
}

TEST_F(CliShellTest, AGroupThatCannotBeWrittenFailsAndAnUnknownGroupIsAUsageError)
{
    // The data folder is a file: nothing can be written below it.
    const bool root = ::geteuid() == 0;
    const QString data = root ? sandbox.root() + "/usr/local/share" : sandbox.dataHome();
    QDir().mkpath(QFileInfo(data).path());
    test::DesktopSandbox::writeScript(data, "not a folder");
    ShellRun r = cli({"--shell-register", "folders"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.lines, QStringList{"folders: Not activated"});

    r = cli({"--shell-register", "everything"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("config, sendto, folders, files or types")) << r.err.toStdString();
}

} // namespace
} // namespace qp
