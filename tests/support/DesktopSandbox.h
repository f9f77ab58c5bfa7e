// SPDX-License-Identifier: MIT
#pragma once
// A desktop of its own for shell-registration tests: the user's data and configuration folders,
// the prefix of the system-wide places and a fake program that records the arguments it was
// started with, all in a temporary folder. `environment()` is what a desktop tool started in this
// sandbox sees (xdg-mime, gio, the command-line tool).
#include "core/shell/DesktopEntry.h"
#include "core/shell/LinuxShellBackend.h"
#include "support/WaitUntil.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace qp::test {

class DesktopSandbox {
public:
    explicit DesktopSandbox(const QString& programName = QStringLiteral("quill press"))
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("bin"));
        m_program = path(QStringLiteral("bin/") + programName);
        writeScript(m_program, QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$@\" >> '%1'\nsleep \"${QP_FAKE_SLEEP:-0}\"\n")
                                   .arg(recordPath()));
    }

    QString path(const QString& relative = {}) const { return QDir(m_dir.path()).filePath(relative); }
    QString program() const { return m_program; }
    QString dataHome() const { return path(QStringLiteral("home/.local/share")); }
    QString configHome() const { return path(QStringLiteral("home/.config")); }
    QString root() const { return path(QStringLiteral("root")); }
    // Where the sandbox's packages install (the first of its system data folders).
    QString systemData() const { return root() + QStringLiteral("/usr/share"); }
    QString recordPath() const { return path(QStringLiteral("record")); }

    LinuxShellPlaces places(bool admin = false, const QString& program = {}) const
    {
        LinuxShellPlaces p;
        p.programPath = program.isEmpty() ? m_program : program;
        p.admin = admin;
        p.dataHome = dataHome();
        p.configHome = configHome();
        p.dataDirs = systemData() + QStringLiteral(":/usr/share");
        p.root = root();
        return p;
    }

    // Places whose pkexec is a stand-in script (`pkexecScript`) and whose polkit actions allow this
    // sandbox's program.
    LinuxShellPlaces placesWithPkexec(const QString& pkexecScript) const
    {
        LinuxShellPlaces p = places();
        p.pkexec = path(QStringLiteral("bin/pkexec"));
        writeScript(p.pkexec, pkexecScript);
        QDir().mkpath(p.polkitActionsDir());
        writeScript(p.polkitActionsDir() + QStringLiteral("/quillpress.policy"),
                    QStringLiteral("<policyconfig><action><annotate key=\"org.freedesktop.policykit.exec.path\">%1"
                                   "</annotate></action></policyconfig>")
                        .arg(m_program));
        return p;
    }

    QProcessEnvironment environment(bool admin = false) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
        env.insert(QStringLiteral("XDG_DATA_DIRS"), (admin ? root() + QStringLiteral("/usr/local/share:") : QString()) +
                                                        systemData() + QStringLiteral(":/usr/share"));
        env.insert(QStringLiteral("XDG_CONFIG_DIRS"), root() + QStringLiteral("/etc/xdg"));
        env.insert(QStringLiteral("QUILLPRESS_SHELL_ROOT"), root());
        env.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
        env.remove(QStringLiteral("DISPLAY"));
        return env;
    }

    // Runs a tool in the sandbox; its standard output, trimmed.
    QString run(const QString& program, const QStringList& arguments, bool admin = false) const
    {
        QProcess p;
        p.setProcessEnvironment(environment(admin));
        p.setWorkingDirectory(path());
        p.start(program, arguments);
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

    // The arguments the fake program recorded, waiting up to `ms` for the first. The program
    // creates the file before it writes to it: a record is complete when it ends a line.
    QStringList recorded(int ms = 0) const
    {
        QByteArray bytes;
        waitUntil(
            [&] {
                QFile f(recordPath());
                bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
                return bytes.endsWith('\n');
            },
            ms);
        return QString::fromUtf8(bytes).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    // Every file below a folder of the sandbox, relative to it, sorted.
    QStringList filesBelow(const QString& folder) const
    {
        QStringList files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(folder).relativeFilePath(it.next());
        files.sort();
        return files;
    }

    // Every file and folder below a folder of the sandbox, relative to it (folders end in "/"),
    // sorted.
    QStringList treeBelow(const QString& folder) const
    {
        QStringList entries;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            entries << QDir(folder).relativeFilePath(file) + (it.fileInfo().isDir() ? QStringLiteral("/") : QString());
        }
        entries.sort();
        return entries;
    }

    // The desktop entry that a package of the program installs (its program, configuration
    // files), in the sandbox's system data folder with the desktop's cache of it.
    void installEntry() const
    {
        const QString applications = systemData() + QStringLiteral("/applications");
        QDir().mkpath(applications);
        writeScript(applications + QStringLiteral("/quillpress.desktop"),
                    QStringLiteral("[Desktop Entry]\nType=Application\nName=Quillpress\nExec=%1\n"
                                   "MimeType=application/x-quillpress-configuration;\n")
                        .arg(execCommand(m_program, QStringLiteral("%F"))));
        run(QStringLiteral("update-desktop-database"), {applications});
    }

    // Removes it again, as removing the package does.
    void uninstallEntry() const
    {
        const QString applications = systemData() + QStringLiteral("/applications");
        QFile::remove(applications + QStringLiteral("/quillpress.desktop"));
        run(QStringLiteral("update-desktop-database"), {applications});
    }

    static void writeScript(const QString& file, const QString& text)
    {
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        f.write(text.toUtf8());
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
    }

private:
    QTemporaryDir m_dir;
    QString m_program;
};

} // namespace qp::test
