// SPDX-License-Identifier: MIT
#include "core/settings/ConfigurationMenu.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsModel.h"
#include "support/SystemPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qp;
using qp::test::nativePath;

namespace {

// A configuration file that sets only ed_name (and abs_o when given).
void writeConfiguration(const QString& path, const QString& name, const QString& top = QString())
{
    IniFile ini(path);
    ini.WriteText("PBED", "ed_name", name);
    if (!top.isEmpty())
        ini.WriteText("PBED", "abs_o", top);
    ini.Flush();
}

QStringList entryPaths(const ConfigurationMenu& menu)
{
    QStringList paths;
    for (const ConfigurationEntry& e : menu.entries())
        paths << e.path;
    return paths;
}

} // namespace

TEST(ConfigurationArguments, OnlyTheExactExtensionCounts)
{
    struct Case {
        const char* argument;
        const char* extension;
        bool configuration;
    };
    const Case cases[] = {
        {"Work.qpcf", ".qpcf", true},
        {"/home/u/my.configs/Work.qpcf", ".qpcf", true},
        {"C:\\Users\\u\\Work.qpcf", ".qpcf", true},
        {"Work.QPCF", ".QPCF", false},
        {"Work.Qpcf", ".Qpcf", false},
        {"Work.qpcf.bak", ".bak", false},
        {"/home/u/my.qpcf/Work", "", false},
        {"C:\\my.qpcf\\Work", "", false},
        {"D:my.qpcf", ".qpcf", true},
        {"x.qpcf:stream", "", false},
        {".qpcf", ".qpcf", true},
        {"", "", false},
        {"--flag", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(argumentExtension(c.argument), c.extension) << c.argument;
        EXPECT_EQ(isConfigurationArgument(c.argument), c.configuration) << c.argument;
    }
    EXPECT_EQ(configurationArguments({"a.qpcf", "b.QPCF", "c.txt", "d.qpcf"}),
              (QStringList{"a.qpcf", "d.qpcf"}));
}

TEST(ConfigurationMenu, StartUpListsTheProgramFolderWithoutTheStartConfiguration)
{
    QTemporaryDir home;
    // The program folder as the program has it: in the system's form.
    const QString folder = nativePath(home.path());
    const auto in = [&](const char* name) { return nativePath(home.filePath(name)); };
    for (const char* name : {"Auto.qpcf", "b.qpcf", "a.qpcf", "notes.txt"})
        writeConfiguration(QDir(folder).filePath(name), name);
    QDir(folder).mkdir("sub");
    writeConfiguration(QDir(folder).filePath("sub/deep.qpcf"), "deep");

    SettingsModel s;
    ConfigurationMenu menu(s, folder);
    QSignalSpy added(&menu, &ConfigurationMenu::entryAdded);
    menu.startUpStepA();
    EXPECT_EQ(menu.startEntryPath(), in("Auto.qpcf"));
    EXPECT_EQ(entryPaths(menu), (QStringList{in("a.qpcf"), in("b.qpcf")}));
    EXPECT_EQ(added.count(), 2);

    // Exact comparison: the start configuration and a listed file get no second entry; the same
    // name in another case is another path.
    EXPECT_FALSE(menu.addEntry(in("Auto.qpcf")));
    EXPECT_FALSE(menu.addEntry(in("a.qpcf")));
    EXPECT_TRUE(menu.addEntry(in("A.qpcf")));
    EXPECT_EQ(added.count(), 3);
}

TEST(ConfigurationMenu, DialogsAddOneEntryPerPathAndMissingFilesLoadNothing)
{
    QTemporaryDir home;
    SettingsModel s;
    ConfigurationMenu menu(s, home.path());
    menu.startUpStepA();

    const QString path = home.filePath("Mine.qpcf");
    s.setText(Setting::ed_name, "saved");
    menu.saveWithDialog(path);
    s.setText(Setting::ed_name, "changed");
    menu.loadWithDialog(path);
    EXPECT_EQ(s.text(Setting::ed_name), "saved");
    EXPECT_EQ(entryPaths(menu), QStringList{path});

    // A name that does not exist: nothing changes, the entry is added, clicking it does nothing.
    const QString gone = home.filePath("Gone.qpcf");
    const QString before = s.text(Setting::ed_name);
    menu.loadWithDialog(gone);
    EXPECT_EQ(s.text(Setting::ed_name), before);
    EXPECT_EQ(entryPaths(menu), (QStringList{path, gone}));
    EXPECT_FALSE(menu.loadEntry(gone));
    EXPECT_TRUE(menu.loadEntry(path));

    // A failed save raises its error and adds no entry.
    const QString unwritable = home.filePath("no/folder/X.qpcf");
    EXPECT_THROW(menu.saveWithDialog(unwritable), IniFileError);
    EXPECT_EQ(menu.entries().size(), 2);
    menu.saveWithDialog(QString()); // a cancelled dialog
    EXPECT_EQ(menu.entries().size(), 2);
}

TEST(ConfigurationMenu, SavingANameWithoutExtensionAddsTheConfigurationExtension)
{
    QTemporaryDir home;
    SettingsModel s;
    ConfigurationMenu menu(s, home.path());
    s.setText(Setting::ed_name, "poster settings");

    // Written, listed and found again under the name with ".qpcf"; no file without it.
    EXPECT_EQ(menu.saveWithDialog(home.filePath("poster")), home.filePath("poster.qpcf"));
    EXPECT_TRUE(QFileInfo::exists(home.filePath("poster.qpcf")));
    EXPECT_FALSE(QFileInfo::exists(home.filePath("poster")));
    EXPECT_EQ(entryPaths(menu), QStringList{home.filePath("poster.qpcf")});
    EXPECT_EQ(configurationFilesIn(nativePath(home.path())), QStringList{nativePath(home.filePath("poster.qpcf"))});

    // A name with an extension of its own is written as given.
    for (const QString& given : {QString("kept.qpcf"), QString("kept.ini"), QString("dots.in.name.txt")})
        EXPECT_EQ(withConfigurationExtension(home.filePath(given)), home.filePath(given)) << given.toStdString();
    // A dot in a folder name is no extension of the file.
    EXPECT_EQ(withConfigurationExtension("/tmp/my.folder/poster"), "/tmp/my.folder/poster.qpcf");
    EXPECT_EQ(withConfigurationExtension(QString()), QString());
}

TEST(ConfigurationMenu, CaptionsAreShortenedToTwiceTheLabelWidthPlus30)
{
    SettingsModel s;
    ConfigurationMenu menu(s, test::systemPath("/nonexistent"));
    int labelWidth = 1000;
    menu.setCaptionMetrics([](const QString& t) { return int(t.size()) * 10; },
                           [&] { return labelWidth; });
    const QString path = test::systemPath("/home/user/Documents/configs/Work.qpcf");
    menu.addEntry(path);
    EXPECT_EQ(menu.entries().last().caption, path);

    // Exactly as wide as the shortened caption (23 characters on Linux: a label of 100 pixels).
    const QString shortened = test::systemPath("/.../configs/Other.qpcf");
    labelWidth = (int(shortened.size()) * 10 - 30) / 2;
    menu.addEntry(test::systemPath("/home/user/Documents/configs/Other.qpcf"));
    EXPECT_EQ(menu.entries().last().caption, shortened);
    labelWidth = 0; // 30 pixels: only the name is left, however wide
    menu.addEntry(test::systemPath("/home/user/Documents/configs/LongerName.qpcf"));
    EXPECT_EQ(menu.entries().last().caption, "LongerName.qpcf");
}

TEST(ConfigurationMenu, CommandLineFilesReplaceTheStartConfiguration)
{
    QTemporaryDir home;
    const QString folder = home.path();
    writeConfiguration(folder + "/Auto.qpcf", "auto", "5");
    writeConfiguration(folder + "/one.qpcf", "one", "1");
    writeConfiguration(folder + "/two.qpcf", "two");
    writeConfiguration(folder + "/caps.QPCF", "caps");
    {
        IniFile maximized(folder + "/one.qpcf");
        maximized.WriteFlag("SP", "PF", true);
        maximized.Flush();
    }

    struct Case {
        const char* what;
        QStringList arguments;
        const char* name;
        const char* top;
        int loaded;
        QStringList entries;
    };
    const Case cases[] = {
        {"two files, the second wins", {folder + "/one.qpcf", "--x", folder + "/two.qpcf"}, "two",
         "1", 2, {folder + "/one.qpcf", folder + "/two.qpcf"}},
        {"a missing file still counts", {folder + "/missing.qpcf"}, "quillpress", "10", 1,
         {folder + "/missing.qpcf"}},
        {"capital extension is no configuration", {folder + "/caps.QPCF"}, "auto", "5", 0, {}},
        {"no arguments", {}, "auto", "5", 0, {}},
    };
    for (const Case& c : cases) {
        SettingsModel s;
        ConfigurationMenu menu(s, folder);
        bool maximizeOnActivation = false;
        ConfigurationHooks hooks;
        hooks.currentPlacement = [] { return WindowPlacement{}; };
        hooks.applyPlacement = [&](const PlacementChange& p) {
            maximizeOnActivation |= p.maximizeOnActivation;
        };
        menu.setHooks(hooks);
        EXPECT_EQ(menu.startUpStepB(c.arguments), c.loaded) << c.what;
        EXPECT_EQ(s.text(Setting::ed_name), c.name) << c.what;
        EXPECT_EQ(s.text(Setting::abs_o), c.top) << c.what;
        EXPECT_EQ(entryPaths(menu), c.entries) << c.what;
        // Loaded with the start window as caller: a maximized placement waits for activation.
        EXPECT_EQ(maximizeOnActivation, c.name == QLatin1String("two")) << c.what;
    }

    // Without a start configuration nothing is loaded and nothing is said.
    QTemporaryDir empty;
    SettingsModel s;
    ConfigurationMenu menu(s, empty.path());
    QSignalSpy changed(&s, &SettingsModel::changed);
    EXPECT_EQ(menu.startUpStepB({}), 0);
    EXPECT_EQ(changed.count(), 0);

    // A hand-off skips the program path and ignores the start configuration.
    SettingsModel handed;
    ConfigurationMenu running(handed, folder);
    running.handOff({folder + "/two.qpcf", folder + "/one.qpcf"});
    EXPECT_EQ(handed.text(Setting::ed_name), "one");
    EXPECT_EQ(entryPaths(running), QStringList{folder + "/one.qpcf"});
}

TEST(ConfigurationMenu, StartConfigurationAndAutoSave)
{
    QTemporaryDir home;
    const QString start = nativePath(home.filePath("Auto.qpcf"));
    SettingsModel s;
    ConfigurationMenu menu(s, nativePath(home.path()));

    EXPECT_FALSE(menu.loadStartConfiguration()); // F3 without a file: "keinestartkonfig"

    // The auto-save choice: the clicked entry alone is checked.
    menu.chooseAutoSave(ConfigurationMenu::AutoSave::All);
    EXPECT_FALSE(s.autoSaveNever());
    EXPECT_TRUE(s.autoSaveAll());
    menu.chooseAutoSave(ConfigurationMenu::AutoSave::Never);
    EXPECT_TRUE(s.autoSaveNever());
    EXPECT_FALSE(s.autoSaveAll());

    menu.autoSaveOnClose();
    EXPECT_FALSE(QFile::exists(start));

    menu.chooseAutoSave(ConfigurationMenu::AutoSave::All);
    s.setText(Setting::ed_name, "on close");
    menu.autoSaveOnClose();
    ASSERT_TRUE(QFile::exists(start));
    EXPECT_EQ(menu.startEntryPath(), start);
    const IniFile ini(start);
    EXPECT_EQ(ini.ReadText("PBED", "ed_name", ""), "on close");
    EXPECT_TRUE(ini.ReadFlag("AS", "A", false));
    EXPECT_FALSE(ini.ReadFlag("AS", "N", true));

    // The saved choice comes back with the start configuration.
    menu.chooseAutoSave(ConfigurationMenu::AutoSave::Never);
    s.setText(Setting::ed_name, "x");
    EXPECT_TRUE(menu.loadStartConfiguration());
    EXPECT_EQ(s.text(Setting::ed_name), "on close");
    EXPECT_TRUE(s.autoSaveAll());

    // A program folder that cannot take the file: the close request gets the error.
    const QString blocked = home.filePath("blocked");
    writeConfiguration(blocked, "a file where the folder should be");
    ConfigurationMenu failing(s, blocked);
    EXPECT_THROW(failing.autoSaveOnClose(), IniFileError);
}
