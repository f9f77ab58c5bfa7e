// SPDX-License-Identifier: MIT
#include "core/app/ProgramFolder.h"
#include "core/app/Version.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace qp;

namespace {

// Whether a folder without write permission refuses new files to this process: not to root, and
// not on Windows, whose folders have no write permission bits that Qt sets.
bool readOnlyFoldersRefuseFiles()
{
#ifdef Q_OS_WIN
    return false;
#else
    return geteuid() != 0;
#endif
}

// A prefix laid out as the install rules lay it out, and a portable folder beside it.
struct Layout {
    QTemporaryDir root;
    QString path(const QString& relative) const { return QDir(root.path()).filePath(relative); }
    void make(const QString& relative) const { QDir().mkpath(path(relative)); }
    void touch(const QString& relative) const
    {
        QFile f(path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ProgramFolderInputs inputs(const QString& programDir) const
    {
        ProgramFolderInputs in;
        in.programDir = path(programDir);
        in.installBinDir = path("configured/bin");
        in.binToDataDir = QStringLiteral("../share");
        in.configHome = path("home/.config");
        in.picturesDir = path("home/Bilder");
        in.dataHome = path("home/.local/share/quillpress");
        return in;
    }
};

// One row of the folder-rule tables: where the program lies, and which folders it must choose.
struct FolderCase {
    const char* what;
    QString programDir;
    QString override;
    bool installed;
    QString config;
    QString output;
};

} // namespace

TEST(ProgramFolder, InstalledPortableAndOverride)
{
    Layout l;
    l.make("configured/bin");
    l.make("usr/bin");
    l.make("usr/share/applications");
    l.touch("usr/share/applications/quillpress.desktop");
    l.make("unpacked");
    l.make("build/src");

    const FolderCase cases[] = {
        {"the configured binary folder", "configured/bin", {}, true, "home/.config/quillpress", "home/Bilder/Quillpress"},
        {"another prefix with the desktop entry beside it", "usr/bin", {}, true, "home/.config/quillpress",
         "home/Bilder/Quillpress"},
        {"an unpacked folder", "unpacked", {}, false, "unpacked", "unpacked/output"},
        {"the build tree", "build/src", {}, false, "build/src", "build/src/output"},
        {"QUILLPRESS_HOME over an installed program", "usr/bin", "portable", false, "portable", "portable/output"},
        {"QUILLPRESS_HOME over a portable one", "unpacked", "portable", false, "portable", "portable/output"},
    };
    for (const FolderCase& c : cases) {
        ProgramFolderInputs in = l.inputs(c.programDir);
        if (!c.override.isEmpty())
            in.homeOverride = l.path(c.override);
        const ProgramFolders f = resolveProgramFolders(in);
        EXPECT_EQ(f.installed, c.installed) << c.what;
        EXPECT_EQ(f.configFolder, l.path(c.config)) << c.what;
        EXPECT_EQ(f.outputFolder, l.path(c.output)) << c.what;
    }
}

TEST(ProgramFolder, PortableFolderThatIsNotWritableFallsBackToTheUserDataFolder)
{
    Layout l;
    l.make("readonly");
    QFile::setPermissions(l.path("readonly"), QFile::ReadOwner | QFile::ExeOwner);
    // Root may write anywhere: a folder that is gone cannot be written by anyone.
    for (const char* dir : {"gone", "readonly"}) {
        if (QByteArray(dir) == "readonly" && !readOnlyFoldersRefuseFiles())
            continue;
        const ProgramFolders f = resolveProgramFolders(l.inputs(dir));
        EXPECT_FALSE(f.installed) << dir;
        EXPECT_EQ(f.configFolder, l.path("home/.local/share/quillpress")) << dir;
        EXPECT_EQ(f.outputFolder, l.path("home/.local/share/quillpress/output")) << dir;
    }
    QFile::setPermissions(l.path("readonly"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(ProgramFolder, InstalledWithoutPicturesFolderUsesTheHomeFolder)
{
    Layout l;
    l.make("configured/bin");
    ProgramFolderInputs in = l.inputs("configured/bin");
    in.picturesDir.clear();
    EXPECT_EQ(resolveProgramFolders(in).outputFolder, QDir(QDir::homePath()).filePath("Quillpress"));
}

TEST(ProgramFolder, WindowsCopyIsPortableUnlessInstalledOrItsFolderTakesNoFile)
{
    Layout l;
    l.make("Program Files/Quillpress");
    l.touch(QStringLiteral("Program Files/Quillpress/") + QLatin1String(kInstalledMarkerName));
    l.make("unpacked");
    l.make("readonly");
    QFile::setPermissions(l.path("readonly"), QFile::ReadOwner | QFile::ExeOwner);

    const QString roaming = "home/AppData/Roaming/Quillpress";
    const FolderCase cases[] = {
        {"the installer's marker beside the program", "Program Files/Quillpress", {}, true, roaming,
         "home/Bilder/Quillpress"},
        {"an unpacked folder", "unpacked", {}, false, "unpacked", "unpacked/output"},
        {"a folder that is gone", "gone", {}, false, roaming, "home/Bilder/Quillpress"},
        {"a folder that takes no file", "readonly", {}, false, roaming, "home/Bilder/Quillpress"},
        {"QUILLPRESS_HOME over an installed copy", "Program Files/Quillpress", "portable", false, "portable",
         "portable/output"},
    };
    for (const FolderCase& c : cases) {
        if (c.programDir == "readonly" && !readOnlyFoldersRefuseFiles())
            continue;
        ProgramFolderInputs in = l.inputs(c.programDir);
        in.installBinDir.clear();
        in.binToDataDir.clear();
        in.configHome = l.path("home/AppData/Roaming");
        if (!c.override.isEmpty())
            in.homeOverride = l.path(c.override);
        const ProgramFolders f = resolveWindowsProgramFolders(in);
        EXPECT_EQ(f.installed, c.installed) << c.what;
        EXPECT_EQ(f.configFolder, l.path(c.config)) << c.what;
        EXPECT_EQ(f.outputFolder, l.path(c.output)) << c.what;
    }
    // Finding out that the folder takes files leaves nothing in it.
    EXPECT_TRUE(QDir(l.path("unpacked")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    QFile::setPermissions(l.path("readonly"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(Version, DesktopProgramAnswersHelpAndVersionOnly)
{
    EXPECT_EQ(desktopInformationRequest({"--help"}), desktopUsageText());
    EXPECT_EQ(desktopInformationRequest({"a.qpcf", "-h"}), desktopUsageText());
    const auto version = desktopInformationRequest({"--version", "--help"});
    ASSERT_TRUE(version);
    EXPECT_TRUE(version->startsWith("quillpress " + projectVersion() + "\n")) << version->toStdString();
    EXPECT_FALSE(projectVersion().isEmpty());
    for (const QStringList& args : {QStringList{}, QStringList{"a.qpcf"}, QStringList{"--HELP", "-version", "x"}})
        EXPECT_FALSE(desktopInformationRequest(args)) << args.join(' ').toStdString();
}
