// SPDX-License-Identifier: MIT
#include "core/app/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

#ifdef Q_OS_WIN
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
#endif

namespace qp {

namespace {

QString clean(const QString& path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

QString outputIn(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("output"));
}

bool isInstalled(const ProgramFolderInputs& in)
{
    if (in.programDir.isEmpty())
        return false;
    const QString dir = clean(in.programDir);
    if (!in.installBinDir.isEmpty() && dir == clean(in.installBinDir))
        return true;
    // A package may be installed under another prefix than the one configured (a Debian
    // package goes to /usr): the install rules' layout around the program file tells.
    if (in.binToDataDir.isEmpty())
        return false;
    const QString entry = QDir(dir).filePath(in.binToDataDir + QStringLiteral("/applications/quillpress.desktop"));
    return QFileInfo(QDir::cleanPath(entry)).isFile();
}

QString picturesOutput(const QString& picturesDir)
{
    return QDir(picturesDir.isEmpty() ? QDir::homePath() : picturesDir).filePath(QStringLiteral("Quillpress"));
}

// Whether a new file can be created in the folder: one is created and removed at once.
bool takesNewFiles(const QString& folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".quillpress-probe-XXXXXX")));
    return probe.open();
}

ProgramFolders userFolders(const ProgramFolderInputs& in, const QString& configName)
{
    ProgramFolders f;
    f.configFolder = clean(QDir(in.configHome).filePath(configName));
    f.outputFolder = clean(picturesOutput(in.picturesDir));
    return f;
}

#ifdef Q_OS_WIN
// %APPDATA%: the roaming application data folder, which follows the user from machine to machine.
QString roamingAppDataFolder()
{
    PWSTR path = nullptr;
    QString folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &path)))
        folder = QDir::fromNativeSeparators(QString::fromWCharArray(path));
    CoTaskMemFree(path);
    return folder;
}
#endif

} // namespace

ProgramFolders resolveProgramFolders(const ProgramFolderInputs& in)
{
    ProgramFolders f;
    if (!in.homeOverride.isEmpty()) {
        f.configFolder = clean(in.homeOverride);
        f.outputFolder = outputIn(f.configFolder);
        return f;
    }
    if (isInstalled(in)) {
        f = userFolders(in, QStringLiteral("quillpress"));
        f.installed = true;
        return f;
    }
    const bool besideProgram = !in.programDir.isEmpty() && QFileInfo(in.programDir).isWritable();
    f.configFolder = clean(besideProgram ? in.programDir : in.dataHome);
    f.outputFolder = outputIn(f.configFolder);
    return f;
}

ProgramFolders resolveWindowsProgramFolders(const ProgramFolderInputs& in)
{
    if (!in.homeOverride.isEmpty())
        return resolveProgramFolders(in);
    const QString marker = QDir(in.programDir).filePath(QLatin1String(kInstalledMarkerName));
    if (!in.programDir.isEmpty() && QFileInfo(marker).isFile()) {
        ProgramFolders f = userFolders(in, QStringLiteral("Quillpress"));
        f.installed = true;
        return f;
    }
    if (takesNewFiles(in.programDir)) {
        ProgramFolders f;
        f.configFolder = clean(in.programDir);
        f.outputFolder = outputIn(f.configFolder);
        return f;
    }
    return userFolders(in, QStringLiteral("Quillpress"));
}

QString userPicturesOutputFolder()
{
    return QDir::toNativeSeparators(
        clean(picturesOutput(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation))));
}

ProgramFolders programFolders(bool create)
{
    ProgramFolderInputs in;
    in.homeOverride = qEnvironmentVariable("QUILLPRESS_HOME");
    in.programDir = QCoreApplication::applicationDirPath();
    in.picturesDir = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
#ifdef Q_OS_WIN
    in.configHome = roamingAppDataFolder();
    ProgramFolders f = resolveWindowsProgramFolders(in);
#else
#ifdef QP_INSTALL_BINDIR
    in.installBinDir = QStringLiteral(QP_INSTALL_BINDIR);
#endif
#ifdef QP_BIN_TO_DATADIR
    in.binToDataDir = QStringLiteral(QP_BIN_TO_DATADIR);
#endif
    in.configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    in.dataHome = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    ProgramFolders f = resolveProgramFolders(in);
#endif
    if (create)
        QDir().mkpath(f.configFolder);
    f.configFolder = QDir::toNativeSeparators(f.configFolder);
    f.outputFolder = QDir::toNativeSeparators(f.outputFolder);
    return f;
}

} // namespace qp
