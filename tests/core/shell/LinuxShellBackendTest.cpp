// SPDX-License-Identifier: MIT
// Registration with a freedesktop desktop in a sandbox: every group per user and system-wide,
// the status rule, the default application as the xdg tools and GLib see it, what xdg-open
// starts, and the restart as administrator through a stand-in for pkexec.
#include "support/DesktopSandbox.h"

#include "core/i18n/Language.h"
#include "core/shell/DesktopEntry.h"
#include "core/shell/MimeAppsList.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

namespace qp {
namespace {

// Known types and one that the MIME database does not know.
const QStringList kExtensions = {".jpg", ".bmp", ".png", ".qpzz"};

bool needsTool(const char* tool)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty();
}

class LinuxShellBackendTest : public ::testing::TestWithParam<bool> {
protected:
    void TearDown() override { Language::setCode("en"); }
    test::DesktopSandbox sandbox;
};

// Register and remove each group: the status follows, the files land only in the places of the
// mode (the user's folders, or the system-wide ones as root), and removal leaves nothing behind.
TEST_P(LinuxShellBackendTest, EveryGroupRegistersAndRemovesInItsOwnPlaces)
{
    const bool admin = GetParam();
    LinuxShellBackend backend(sandbox.places(admin));
    const QString own = admin ? sandbox.root() : sandbox.path("home");
    const QString other = admin ? sandbox.path("home") : sandbox.root();
    // The data and configuration folders exist, as in any desktop session; everything else in
    // the places is compared before registering and after removal.
    QDir().mkpath(backend.places().dataDir());
    QDir().mkpath(backend.places().configDir());
    const QStringList untouched = sandbox.treeBelow(own);
    for (ShellGroup group : allShellGroups) {
        SCOPED_TRACE(shellGroupName(group).toStdString());
        EXPECT_FALSE(backend.isActive(group, kExtensions));
        EXPECT_TRUE(backend.registerGroup(group, kExtensions));
        EXPECT_TRUE(backend.isActive(group, kExtensions));
        for (const QString& file : backend.filesOf(group)) {
            EXPECT_TRUE(QFile::exists(file) && file.startsWith(own)) << file.toStdString();
            // Every entry names its program in TryExec, so that the desktop passes over entries
            // that outlive the program.
            if (file.endsWith(".desktop")) {
                EXPECT_EQ(readDesktopGroup(file, "Desktop Entry").value("TryExec"), sandbox.program())
                    << file.toStdString();
            }
            // The entries every desktop reads follow the desktop entry rules (Dolphin's service
            // menus and Nemo's actions have formats of their own).
            if (file.endsWith(".desktop") && !file.contains("/kio/") && !needsTool("desktop-file-validate")) {
                EXPECT_EQ(sandbox.run("desktop-file-validate", {file}), "");
            }
        }
    }
    EXPECT_TRUE(sandbox.filesBelow(other).isEmpty()) << sandbox.filesBelow(other).join(' ').toStdString();
    EXPECT_EQ(defaultApplications(backend.places().configDir() + "/mimeapps.list", configurationMimeType),
              QStringList{"quillpress-shell-config.desktop"});
    if (admin) {
        EXPECT_TRUE(QFile::exists(sandbox.root() + "/usr/local/share/applications/quillpress-shell-files.desktop"));
        EXPECT_TRUE(QFile::exists(sandbox.root() + "/etc/xdg/mimeapps.list"));
    } else {
        EXPECT_TRUE(QFile::exists(sandbox.dataHome() + "/nautilus/scripts/VLM Quillpress"));
    }

    for (ShellGroup group : allShellGroups) {
        SCOPED_TRACE(shellGroupName(group).toStdString());
        EXPECT_TRUE(backend.removeGroup(group, kExtensions));
        EXPECT_FALSE(backend.isActive(group, kExtensions));
        for (const QString& file : backend.filesOf(group))
            EXPECT_FALSE(QFile::exists(file)) << file.toStdString();
    }
    // Nothing of the registration is left: no default list it made, no folder only it used.
    EXPECT_FALSE(QFile::exists(backend.places().configDir() + "/mimeapps.list"));
    for (const char* folder : {"kio", "nemo", "Thunar", "nautilus"})
        EXPECT_FALSE(QFileInfo::exists(backend.places().dataDir() + "/" + folder)) << folder;
    // Nor the desktop's caches made for it: the MIME database, which would go on naming *.qpcf,
    // and the applications folder's cache.
    EXPECT_EQ(sandbox.treeBelow(own).join('\n').toStdString(), untouched.join('\n').toStdString());
}

struct DoubleClickCase {
    const char* what;
    const char* viewerTypes; // what another installed program opens; empty: nothing, no file manager either
};

class ContextGroups : public ::testing::TestWithParam<DoubleClickCase> {};

// Registering the context groups adds context menus; what a double click or xdg-open opens stays
// as it was: for the types of the chosen extensions, for folders and for all files, also where
// nothing opens a type (xdg-mime then searches the desktop entries for the type's name), and
// after removal. The desktop sees only the sandbox's system folder, so nothing of this machine
// is started.
TEST_P(ContextGroups, NeverChangeWhatADoubleClickOrXdgOpenOpens)
{
    if (needsTool("xdg-mime") || needsTool("xdg-open") || needsTool("update-desktop-database"))
        GTEST_SKIP() << "xdg-utils missing";
    const DoubleClickCase& c = GetParam();
    test::DesktopSandbox sandbox(QStringLiteral("quillpress"));
    LinuxShellPlaces places = sandbox.places();
    places.dataDirs = sandbox.systemData();
    QProcessEnvironment env = sandbox.environment();
    env.insert("XDG_DATA_DIRS", sandbox.systemData());
    const auto run = [&env](const QString& program, const QStringList& arguments) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, arguments);
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    };
    // What opens a folder when no entry does (the desktop's fallback), and the other program: a
    // stand-in that records what it was given.
    const QString opener = sandbox.path("bin/opener");
    const QString opened = sandbox.path("opened");
    test::DesktopSandbox::writeScript(opener, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + opened + "'\n");
    const QString applications = sandbox.systemData() + "/applications";
    QDir().mkpath(applications);
    if (*c.viewerTypes)
        test::DesktopSandbox::writeScript(applications + "/viewer.desktop",
                                          "[Desktop Entry]\nType=Application\nName=Viewer\nExec=" + opener +
                                              " %F\nMimeType=" + c.viewerTypes + "\n");
    run("update-desktop-database", {applications});

    const QStringList types = {"image/png",       "image/jpeg",  "inode/directory", "text/plain",
                               "application/octet-stream", "application/x-extension-qpzz"};
    const auto defaults = [&] {
        QStringList answers;
        for (const QString& type : types)
            answers << type + ": " + run("xdg-mime", {"query", "default", type});
        return answers.join('\n').toStdString();
    };
    const QString folder = sandbox.path("a folder");
    QDir().mkpath(folder);
    // xdg-open looks for desktop entries only on a display (the stand-ins need none).
    const auto openFolder = [&] {
        QFile::remove(opened);
        run("env", {"DISPLAY=:0", "BROWSER=" + opener, "xdg-open", folder});
        QFile f(opened);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).trimmed() : QString();
    };
    const std::string before = defaults();
    ASSERT_EQ(openFolder(), folder);

    LinuxShellBackend backend(places);
    const QStringList extensions = {".jpg", ".png", ".bmp", ".txt", ".qpzz"};
    // Registering again changes nothing either.
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        for (ShellGroup group : allShellGroups)
            ASSERT_TRUE(backend.registerGroup(group, extensions)) << shellGroupName(group).toStdString();
        EXPECT_EQ(defaults(), before);
        EXPECT_EQ(openFolder(), folder);
        EXPECT_TRUE(sandbox.recorded().isEmpty());
    }
    // Of the types, only configuration files got a default.
    const QString list = sandbox.configHome() + "/mimeapps.list";
    for (const QString& type : types)
        EXPECT_TRUE(defaultApplications(list, type).isEmpty()) << type.toStdString();

    // A default the user sets meanwhile stays the user's; the others are as they were.
    ASSERT_TRUE(addDefaultApplication(list, "text/plain", "editor.desktop"));
    for (ShellGroup group : allShellGroups)
        ASSERT_TRUE(backend.removeGroup(group, extensions)) << shellGroupName(group).toStdString();
    EXPECT_EQ(defaultApplications(list, "text/plain"), QStringList{"editor.desktop"});
    ASSERT_TRUE(removeDefaultApplication(list, "text/plain", "editor.desktop"));
    EXPECT_EQ(defaults(), before);
    EXPECT_EQ(openFolder(), folder);
    EXPECT_TRUE(sandbox.recorded().isEmpty());
    EXPECT_FALSE(QFile::exists(list));
}

INSTANTIATE_TEST_SUITE_P(
    Desktop, ContextGroups,
    ::testing::Values(DoubleClickCase{"nothing_opens_the_types", ""},
                      DoubleClickCase{"another_program_opens_them",
                                      "image/png;image/jpeg;inode/directory;text/plain;application/octet-stream;"}),
    [](const ::testing::TestParamInfo<DoubleClickCase>& info) { return std::string(info.param.what); });

// An entry of an earlier version offered its types and wrote down the default each had had, so
// as not to take it. Registering again or removing takes those defaults out of mimeapps.list (one
// the user has changed since stays); the registered types stay registered.
TEST(LinuxShellBackend, AnEarlierEntryGivesBackTheDefaultsItWroteDown)
{
    for (const bool removing : {false, true}) {
        SCOPED_TRACE(removing ? "removing" : "registering again");
        test::DesktopSandbox sandbox;
        LinuxShellPlaces places = sandbox.places();
        places.updateCaches = false;
        LinuxShellBackend backend(places);
        const QString entry = backend.filesOf(ShellGroup::Types)[0];
        QDir().mkpath(QFileInfo(entry).path());
        test::DesktopSandbox::writeScript(
            entry, "[Desktop Entry]\nType=Application\nName=Open with VLM Quillpress\nExec=" +
                       execCommand(sandbox.program(), "%F") +
                       "\nMimeType=image/png;text/plain;\nX-Quillpress-Types=image/png;text/plain;\n"
                       "X-Quillpress-Kept-Defaults=image/png=viewer.desktop;text/plain=viewer.desktop;\n"
                       "NoDisplay=true\n");
        const QString list = sandbox.configHome() + "/mimeapps.list";
        ASSERT_TRUE(addDefaultApplication(list, "image/png", "viewer.desktop"));
        ASSERT_TRUE(addDefaultApplication(list, "text/plain", "editor.desktop"));
        EXPECT_TRUE(backend.isActive(ShellGroup::Types, {".png", ".txt"}));

        if (removing) {
            ASSERT_TRUE(backend.removeGroup(ShellGroup::Types, {".png", ".txt"}));
            EXPECT_FALSE(QFile::exists(entry));
        } else {
            ASSERT_TRUE(backend.registerGroup(ShellGroup::Types, {".png"}));
            const auto keys = readDesktopGroup(entry, "Desktop Entry");
            EXPECT_FALSE(keys.contains("MimeType"));
            EXPECT_FALSE(keys.contains("X-Quillpress-Kept-Defaults"));
            EXPECT_EQ(keys.value("X-Quillpress-Types"), "image/png,text/plain");
            EXPECT_TRUE(backend.isActive(ShellGroup::Types, {".png", ".txt"}));
        }
        EXPECT_TRUE(defaultApplications(list, "image/png").isEmpty());
        EXPECT_EQ(defaultApplications(list, "text/plain"), QStringList{"editor.desktop"});
    }
}

// A program installed with an entry for configuration files (its package's): registering writes
// no entry of its own, which would outlive the package, and names the installed entry as the
// default only where another program's would open the files. "Remove" cannot take the installed
// entry away. Once the package is gone, a default naming its entry is passed over, and the files
// open with the other program instead of failing on a program that is gone.
TEST(LinuxShellBackend, TheEntryOfAnInstalledProgramServesConfigurationFiles)
{
    if (needsTool("xdg-mime") || needsTool("xdg-open") || needsTool("update-desktop-database"))
        GTEST_SKIP() << "xdg-utils missing";
    test::DesktopSandbox sandbox(QStringLiteral("quillpress"));
    QDir().mkpath(sandbox.dataHome());
    QDir().mkpath(sandbox.configHome());
    const QString home = sandbox.path("home");
    const QStringList emptyHome = sandbox.treeBelow(home);
    const QString type = configurationMimeType;
    const QString list = sandbox.configHome() + "/mimeapps.list";
    LinuxShellBackend backend(sandbox.places());

    // A registration made before the package was installed gives way to the installed entry.
    ASSERT_TRUE(backend.registerGroup(ShellGroup::Config));
    sandbox.installEntry();
    const QString installed = sandbox.systemData() + "/applications/quillpress.desktop";
    ASSERT_TRUE(backend.registerGroup(ShellGroup::Config));
    EXPECT_EQ(sandbox.treeBelow(home), emptyHome);
    EXPECT_EQ(sandbox.run("xdg-mime", {"query", "default", type}), "quillpress.desktop");
    EXPECT_TRUE(backend.isActive(ShellGroup::Config));
    EXPECT_EQ(backend.installedConfigurationEntry(), installed);
    ASSERT_TRUE(backend.removeGroup(ShellGroup::Config));
    EXPECT_TRUE(backend.isActive(ShellGroup::Config));
    EXPECT_EQ(backend.installedConfigurationEntry(), installed);
    EXPECT_EQ(sandbox.treeBelow(home), emptyHome);

    // Another program the user chose opens them: registering puts the installed entry first,
    // removing gives the other program its place back.
    const QString opened = sandbox.path("opened");
    test::DesktopSandbox::writeScript(sandbox.path("bin/editor"),
                                      "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + opened + "'\n");
    test::DesktopSandbox::writeScript(sandbox.systemData() + "/applications/editor.desktop",
                                      "[Desktop Entry]\nType=Application\nName=Editor\nExec=" +
                                          sandbox.path("bin/editor") + " %F\nMimeType=text/plain;" + type + ";\n");
    sandbox.run("update-desktop-database", {sandbox.systemData() + "/applications"});
    ASSERT_TRUE(addDefaultApplication(list, type, "editor.desktop"));
    ASSERT_TRUE(addDefaultApplication(list, "text/plain", "editor.desktop"));
    EXPECT_FALSE(backend.isActive(ShellGroup::Config));
    ASSERT_TRUE(backend.registerGroup(ShellGroup::Config));
    EXPECT_EQ(defaultApplications(list, type), (QStringList{"quillpress.desktop", "editor.desktop"}));
    EXPECT_EQ(backend.installedConfigurationEntry(), installed);
    ASSERT_TRUE(backend.removeGroup(ShellGroup::Config));
    EXPECT_EQ(defaultApplications(list, type), QStringList{"editor.desktop"});
    EXPECT_FALSE(backend.isActive(ShellGroup::Config));

    // Registered, then the package (entry and program) is removed.
    ASSERT_TRUE(backend.registerGroup(ShellGroup::Config));
    sandbox.uninstallEntry();
    QFile::remove(sandbox.program());
    EXPECT_EQ(sandbox.run("xdg-mime", {"query", "default", type}), "editor.desktop");
    const QString file = sandbox.path("settings.qpcf");
    test::DesktopSandbox::writeScript(file, "[prog]\n");
    sandbox.run("env", {"DISPLAY=:0", "xdg-open", file});
    QFile record(opened);
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(record.readAll()).trimmed(), file);
}

INSTANTIATE_TEST_SUITE_P(UserAndRoot, LinuxShellBackendTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "root" : "user"; });

TEST(LinuxShellBackend, OnlyEntriesThatStartThisVeryProgramAreActive)
{
    test::DesktopSandbox sandbox;
    LinuxShellPlaces places = sandbox.places();
    places.updateCaches = false;
    LinuxShellBackend installed(places);
    for (ShellGroup group : allShellGroups)
        installed.registerGroup(group, kExtensions);

    // The same program moved, or a name that differs only in case or by a trailing character.
    for (const QString& moved : {sandbox.path("elsewhere/quill press"), sandbox.program().toUpper(),
                                sandbox.program() + "x"}) {
        LinuxShellBackend other(sandbox.places(false, moved));
        for (ShellGroup group : allShellGroups)
            EXPECT_FALSE(other.isActive(group, kExtensions)) << shellGroupName(group).toStdString() << " "
                                                             << moved.toStdString();
    }
    // An entry of this program for other types does not make the chosen ones active.
    EXPECT_FALSE(installed.isActive(ShellGroup::Types, {".gif"}));
}

TEST(LinuxShellBackend, RegisteringTwiceOrInBothLanguagesLeavesOneOfEach)
{
    test::DesktopSandbox sandbox;
    LinuxShellPlaces places = sandbox.places();
    places.updateCaches = false;
    LinuxShellBackend backend(places);
    for (const char* language : {"de", "en", "en"}) {
        Language::setCode(language);
        for (ShellGroup group : allShellGroups)
            backend.registerGroup(group, kExtensions);
    }
    const QString list = sandbox.configHome() + "/mimeapps.list";
    EXPECT_EQ(defaultApplications(list, configurationMimeType), QStringList{"quillpress-shell-config.desktop"});
    const auto types = readDesktopGroup(backend.filesOf(ShellGroup::Types)[0], "Desktop Entry");
    EXPECT_EQ(types.value("X-Quillpress-Types"), "image/jpeg,image/bmp,image/png,application/x-extension-qpzz");
    EXPECT_EQ(types.value("Name"), "Open with VLM Quillpress");
    EXPECT_EQ(readDesktopGroup(backend.filesOf(ShellGroup::Folders)[0], "Desktop Entry").value("Name"),
              "Open with Quillpress");
    EXPECT_EQ(readDesktopGroup(backend.filesOf(ShellGroup::Files)[0], "Desktop Entry").value("X-Quillpress-Types"),
              "application/octet-stream");
    EXPECT_EQ(readDesktopGroup(backend.filesOf(ShellGroup::Files)[1], "Desktop Entry").value("MimeType"),
              "all/allfiles;application/octet-stream;");
    EXPECT_EQ(readDesktopGroup(backend.filesOf(ShellGroup::Folders)[2], "Nemo Action").value("Extensions"), "dir;");
    Language::setCode("de");
    backend.registerGroup(ShellGroup::Folders);
    EXPECT_EQ(readDesktopGroup(backend.filesOf(ShellGroup::Folders)[0], "Desktop Entry").value("Name"),
              QString::fromUtf8("Öffnen mit VLM Quillpress"));
    Language::setCode("en");
}

// The chosen extensions land on the types the MIME database gives them; an extension without a
// type gets a glob of its own in this program's package, which the MIME database then knows.
// Removing an extension takes its type (and its glob) out again and leaves the others.
TEST(LinuxShellBackend, ChosenExtensionsLandOnTheirTypes)
{
    if (needsTool("update-mime-database"))
        GTEST_SKIP() << "update-mime-database missing";
    test::DesktopSandbox sandbox;
    LinuxShellBackend backend(sandbox.places());
    const QStringList chosen = {".jpg", ".bmp", ".png", ".qpzz", ".JPEG"};
    ASSERT_TRUE(backend.registerGroup(ShellGroup::Types, chosen));
    const QString entry = backend.filesOf(ShellGroup::Types)[0];
    EXPECT_EQ(readDesktopGroup(entry, "Desktop Entry").value("X-Quillpress-Types"),
              "image/jpeg,image/bmp,image/png,application/x-extension-qpzz");
    EXPECT_EQ(readDesktopGroup(backend.filesOf(ShellGroup::Types)[2], "Nemo Action").value("Mimetypes"),
              "image/jpeg;image/bmp;image/png;application/x-extension-qpzz;");
    EXPECT_TRUE(backend.isActive(ShellGroup::Types, chosen));
    test::DesktopSandbox::writeScript(sandbox.path("x.qpzz"), "data");
    EXPECT_EQ(sandbox.run("xdg-mime", {"query", "filetype", sandbox.path("x.qpzz")}), "application/x-extension-qpzz");
    QFile globs(sandbox.dataHome() + "/mime/globs2");
    ASSERT_TRUE(globs.open(QIODevice::ReadOnly));
    EXPECT_TRUE(globs.readAll().contains(":application/x-extension-qpzz:*.qpzz"));

    ASSERT_TRUE(backend.removeGroup(ShellGroup::Types, {".qpzz", ".bmp"}));
    EXPECT_EQ(readDesktopGroup(entry, "Desktop Entry").value("X-Quillpress-Types"), "image/jpeg,image/png");
    EXPECT_FALSE(QFile::exists(backend.filesOf(ShellGroup::Types).last()));
    EXPECT_TRUE(backend.isActive(ShellGroup::Types, {".jpg", ".png"}));
    EXPECT_FALSE(backend.isActive(ShellGroup::Types, {".bmp"}));
}

// After "Register" the desktop opens configuration files with this program; after "Remove" it
// no longer does, and what another program set stays as it was.
TEST(LinuxShellBackend, DesktopOpensConfigurationFilesWithTheProgramUntilRemoved)
{
    if (needsTool("xdg-mime") || needsTool("gio") || needsTool("update-desktop-database"))
        GTEST_SKIP() << "xdg-utils or gio missing";
    for (const char* programName : {"quillpress", "quill press"}) {
        const QString name = QString::fromLatin1(programName);
        SCOPED_TRACE(programName);
        test::DesktopSandbox sandbox(name);
        // Another program: the default for text files, and an entry that also opens configurations.
        // It notes each file it is started with, one a line.
        QDir().mkpath(sandbox.dataHome() + "/applications");
        const QString editor = sandbox.path("bin/editor"), editorRecord = sandbox.path("editor-record");
        test::DesktopSandbox::writeScript(editor, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> '" + editorRecord + "'\n");
        test::DesktopSandbox::writeScript(sandbox.dataHome() + "/applications/editor.desktop",
                                          "[Desktop Entry]\nType=Application\nName=Editor\nExec=" + editor + " %F\n"
                                          "MimeType=text/plain;application/x-quillpress-configuration;\n");
        const QString list = sandbox.configHome() + "/mimeapps.list";
        ASSERT_TRUE(addDefaultApplication(list, "text/plain", "editor.desktop"));
        ASSERT_TRUE(addDefaultApplication(list, configurationMimeType, "editor.desktop"));

        LinuxShellBackend backend(sandbox.places());
        ASSERT_TRUE(backend.registerGroup(ShellGroup::Config));
        const QString file = sandbox.path("some settings.qpcf");
        test::DesktopSandbox::writeScript(file, "[prog]\n");
        EXPECT_EQ(sandbox.run("xdg-mime", {"query", "filetype", file}), configurationMimeType);
        // xdg-mime without a known desktop takes the first word of Exec as the program without
        // unquoting it, so it passes over an entry whose program path needs quotes; GLib does not.
        if (!name.contains(' ')) {
            EXPECT_EQ(sandbox.run("xdg-mime", {"query", "default", configurationMimeType}),
                      "quillpress-shell-config.desktop");
            // xdg-open looks for desktop entries only on a display (the fake program needs none).
            sandbox.run("env", {"DISPLAY=:0", "xdg-open", file});
            EXPECT_EQ(sandbox.recorded(test::patienceMs), QStringList{file});
            QFile(sandbox.recordPath()).remove();
        }
        EXPECT_EQ(defaultApplications(list, configurationMimeType),
                  (QStringList{"quillpress-shell-config.desktop", "editor.desktop"}));
        sandbox.run("gio", {"open", file});
        EXPECT_EQ(sandbox.recorded(test::patienceMs), QStringList{file});

        ASSERT_TRUE(backend.removeGroup(ShellGroup::Config));
        EXPECT_EQ(sandbox.run("xdg-mime", {"query", "default", configurationMimeType}), "editor.desktop");
        EXPECT_EQ(sandbox.run("xdg-mime", {"query", "default", "text/plain"}), "editor.desktop");
        EXPECT_EQ(defaultApplications(list, "text/plain"), QStringList{"editor.desktop"});
        QFile(sandbox.recordPath()).remove();
        sandbox.run("gio", {"open", file});
        if (!name.contains(' '))
            sandbox.run("env", {"DISPLAY=:0", "xdg-open", file});
        // Both opens have gone to the editor once it has noted the file as often; only then is
        // the program's empty record final.
        const int opens = name.contains(' ') ? 1 : 2;
        EXPECT_TRUE(test::waitUntil([&] {
            QFile notes(editorRecord);
            return notes.open(QIODevice::ReadOnly) && notes.readAll().count('\n') >= opens;
        }));
        EXPECT_TRUE(sandbox.recorded().isEmpty());
    }
}

TEST(LinuxShellBackend, ElevationNeedsPkexecAndAnActionForThisProgram)
{
    test::DesktopSandbox sandbox;
    LinuxShellPlaces places = sandbox.places();
    EXPECT_FALSE(LinuxShellBackend(places).elevationSupport().available);
    EXPECT_EQ(LinuxShellBackend(places).elevationSupport().reason,
              "The restart as an Administrator needs pkexec, which is not installed here.");

    places.pkexec = "/usr/bin/pkexec";
    const QString actions = places.polkitActionsDir();
    QDir().mkpath(actions);
    auto writeAction = [&](const QString& program) {
        test::DesktopSandbox::writeScript(
            actions + "/quillpress.policy",
            "<policyconfig><action id=\"quillpress.run-as-administrator\">"
            "<annotate key=\"org.freedesktop.policykit.exec.path\">" + program + "</annotate>"
            "<annotate key=\"org.freedesktop.policykit.exec.allow_gui\">true</annotate></action></policyconfig>");
    };
    writeAction("/usr/bin/quillpress");
    Language::setCode("de");
    const ElevationSupport missing = LinuxShellBackend(places).elevationSupport();
    EXPECT_FALSE(missing.available);
    EXPECT_EQ(missing.reason, QString::fromUtf8("Für dieses Programm (%1) ist keine polkit-Aktion installiert.")
                                  .arg(sandbox.program()));
    Language::setCode("en");
    writeAction(sandbox.program());
    EXPECT_TRUE(LinuxShellBackend(places).elevationSupport().available);

    // The action installed with the program, for the program at its installed path.
    QFile packaged(QStringLiteral(QP_SOURCE_DIR) + "/packaging/polkit/quillpress.policy.in");
    ASSERT_TRUE(packaged.open(QIODevice::ReadOnly));
    const QString action = QString::fromUtf8(packaged.readAll());
    EXPECT_TRUE(action.contains("<annotate key=\"org.freedesktop.policykit.exec.allow_gui\">true</annotate>"));
    QFile::remove(actions + "/quillpress.policy");
    test::DesktopSandbox::writeScript(actions + "/quillpress.policy",
                                      QString(action).replace("@QP_INSTALLED_PROGRAM@", sandbox.program()));
    EXPECT_TRUE(LinuxShellBackend(places).elevationSupport().available);
    test::DesktopSandbox::writeScript(actions + "/quillpress.policy",
                                      QString(action).replace("@QP_INSTALLED_PROGRAM@", "/usr/bin/quillpress"));
    EXPECT_FALSE(LinuxShellBackend(places).elevationSupport().available);
}

struct PkexecCase {
    const char* what;
    const char* script;
    bool started;
    bool declined;
};

class ElevatedRestart : public ::testing::TestWithParam<PkexecCase> {};

// The stand-in for pkexec declines (126), fails (127) or starts the program; only the last counts
// as started, also when the program runs on for a while.
TEST_P(ElevatedRestart, ReportsWhetherTheProgramRuns)
{
    const PkexecCase& c = GetParam();
    test::DesktopSandbox sandbox;
    const LinuxShellPlaces places = sandbox.placesWithPkexec({});
    test::DesktopSandbox::writeScript(places.pkexec, c.script);
    LinuxShellBackend backend(places);
    ElevatedStart* attempt = backend.restartAsAdmin(nullptr);
    ASSERT_NE(attempt, nullptr);
    QSignalSpy started(attempt, &ElevatedStart::started);
    QSignalSpy failed(attempt, &ElevatedStart::failed);
    EXPECT_TRUE(test::waitUntil([&] { return started.count() + failed.count() > 0; }));
    // One report and no second: nothing is bound to follow, so a short look is all there is to
    // wait for (a slow machine can only make this miss a fault, never fail).
    EXPECT_FALSE(test::waitUntil([&] { return started.count() + failed.count() > 1; }, 300));
    EXPECT_EQ(started.count(), c.started ? 1 : 0);
    EXPECT_EQ(failed.count(), c.started ? 0 : 1);
    if (!c.started) {
        EXPECT_EQ(failed.at(0).at(0).toBool(), c.declined);
    }
    delete attempt;
    // Only the program's file was handed over, without arguments. After a failure pkexec has
    // ended without starting the program, so there is no start to wait for.
    EXPECT_EQ(sandbox.recorded(c.started ? test::patienceMs : 0), QStringList{});
}

INSTANTIATE_TEST_SUITE_P(
    Pkexec, ElevatedRestart,
    ::testing::Values(PkexecCase{"declines", "#!/bin/sh\nexit 126\n", false, true},
                      PkexecCase{"fails", "#!/bin/sh\nsleep 0.3; exit 127\n", false, false},
                      PkexecCase{"starts_a_program_that_runs_on", "#!/bin/sh\nsleep 0.3; QP_FAKE_SLEEP=3 exec \"$@\"\n", true, false},
                      PkexecCase{"starts", "#!/bin/sh\nexec \"$@\"\n", true, false}),
    [](const ::testing::TestParamInfo<PkexecCase>& info) { return std::string(info.param.what); });

} // namespace
} // namespace qp
