// SPDX-License-Identifier: MIT
// Runs the command-line tool as its own process with a program folder and a working folder of
// its own, and collects its exit status and output.
#pragma once

#include "support/SystemPaths.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace qp::testing {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

// How the tool's process is set up beyond arguments and standard input.
struct CliSetup {
    std::function<void()> inChild;   // runs in the child process before the tool starts
    QString standardOutputFile;      // standard output goes to this file
    std::optional<QString> term;     // TERM; empty: unset
    QList<QPair<QString, QString>> environment; // further variables of the tool's environment
};

class CliFixture : public ::testing::Test {
protected:
    // The tool's output as text with "\n" between lines: a Windows program's standard streams end
    // their lines with CR LF.
    static QString lines(const QByteArray& bytes)
    {
        QString text = QString::fromUtf8(bytes);
#ifdef Q_OS_WIN
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
#endif
        return text;
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUILLPRESS_HOME", home.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        return env;
    }

    CliRun cli(const QStringList& args, const QByteArray& input = {}, const CliSetup& setup = {})
    {
        QProcess p;
        QProcessEnvironment env = environment();
        if (setup.term) {
            env.remove("TERM");
            if (!setup.term->isEmpty())
                env.insert("TERM", *setup.term);
        }
        for (const auto& [name, value] : setup.environment)
            env.insert(name, value);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(work.path());
#ifdef Q_OS_UNIX
        if (setup.inChild)
            p.setChildProcessModifier(setup.inChild);
#endif
        if (!setup.standardOutputFile.isEmpty())
            p.setStandardOutputFile(setup.standardOutputFile);
        p.start(QStringLiteral(QP_CLI_PATH), args);
        p.write(input);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(120000));
        return {p.exitCode(), lines(p.readAllStandardOutput()), lines(p.readAllStandardError())};
    }

    // The default output folder, or a file in it, as the tool prints it: in the system's form.
    QString output(const QString& name = {}) const { return test::nativePath(home.path() + "/output/" + name); }

    QTemporaryDir home;
    QTemporaryDir work;
};

} // namespace qp::testing
