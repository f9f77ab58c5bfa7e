// SPDX-License-Identifier: MIT
#include "core/app/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
        f.installed = true;
        f.configFolder = clean(QDir(in.configHome).filePath(QStringLiteral("quillpress")));
        f.outputFolder = clean(picturesOutput(in.picturesDir));
        return f;
    }
    const bool besideProgram = !in.programDir.isEmpty() && QFileInfo(in.programDir).isWritable();
    f.configFolder = clean(besideProgram ? in.programDir : in.dataHome);
    f.outputFolder = outputIn(f.configFolder);
    return f;
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
#ifdef QP_INSTALL_BINDIR
    in.installBinDir = QStringLiteral(QP_INSTALL_BINDIR);
#endif
#ifdef QP_BIN_TO_DATADIR
    in.binToDataDir = QStringLiteral(QP_BIN_TO_DATADIR);
#endif
    in.configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    in.picturesDir = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    in.dataHome = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    ProgramFolders f = resolveProgramFolders(in);
    if (create)
        QDir().mkpath(f.configFolder);
    f.configFolder = QDir::toNativeSeparators(f.configFolder);
    f.outputFolder = QDir::toNativeSeparators(f.outputFolder);
    return f;
}

} // namespace qp
