// SPDX-License-Identifier: MIT
#include "core/shell/windows/CatalogShellNames.h"
#include "core/shell/windows/InMemoryRegistry.h"
#include "core/shell/windows/RegistryAccess.h"
#include "core/shell/windows/ShellRegistration.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

using namespace qp::winshell;

namespace {

// "Send to" folder and files in memory.
class FakeShellSystem : public ShellSystem {
public:
    std::u16string sendTo = u"C:\\Users\\u\\AppData\\Roaming\\Microsoft\\Windows\\SendTo";
    std::map<std::u16string, ShellLink> files;
    bool wow64 = false;
    bool wow64Fails = false;
    int notifications = 0;

    std::u16string GetSendToFolder() override { return sendTo; }
    bool CreateShellLink(const ShellLink& link) override
    {
        files[link.linkPath] = link;
        return true;
    }
    std::optional<std::u16string> shellLinkTarget(const std::u16string& linkPath) override
    {
        const auto it = files.find(linkPath);
        return it == files.end() ? std::nullopt : std::optional(it->second.target);
    }
    bool fileExists(const std::u16string& path) override { return files.count(path) != 0; }
    bool deleteFile(const std::u16string& path) override { return files.erase(path) != 0; }
    void notifyAssociationsChanged() override { ++notifications; }
    bool IsWow64() override
    {
        if (wow64Fails)
            throw std::runtime_error("IsWow64: bad process handle");
        return wow64;
    }
};

// For failure messages.
std::string ascii(const std::u16string& s)
{
    std::string out;
    for (char16_t c : s)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

const std::u16string kProgram = u"C:\\Program Files\\Quillpress\\quillpress.exe";
const std::u16string kCommand = u"\"C:\\Program Files\\Quillpress\\quillpress.exe\" \"%1\"";
const std::u16string kGermanType = u"VLM Quillpress Konfiguration";
const std::u16string kEnglishType = u"VLM Quillpress Configuration";

class ShellRegistrationTest : public ::testing::Test {
protected:
    InMemoryRegistry registry;
    FakeShellSystem system;
    ShellRegistration shell{registry, system, shellNamesFromCatalog(), kProgram};

    ShellRegistration movedProgram() { return {registry, system, shellNamesFromCatalog(), u"D:\\quillpress.exe"}; }
    std::string dump() const { return ascii(registry.dump()); }
};

TEST_F(ShellRegistrationTest, ConfigFilesInBothLanguagesLeaveTwoTypesAndRemovalTakesTheLastOnly)
{
    shell.registerGroup(ShellGroup::ConfigFiles, "de");
    shell.registerGroup(ShellGroup::ConfigFiles, "en");
    EXPECT_EQ(registry.value(u".qpcf"), kEnglishType);
    for (const auto& type : {kGermanType, kEnglishType}) {
        EXPECT_EQ(registry.value(type), type) << dump();
        EXPECT_EQ(registry.value(type + u"\\DefaultIcon"), kProgram + u",0");
        EXPECT_EQ(registry.value(type + u"\\Shell\\Open\\Command"), kCommand);
    }
    EXPECT_TRUE(shell.CheckShortCuts().configFiles);

    // Active while either type carries this program's command.
    registry.set(kEnglishType + u"\\Shell\\Open\\Command", u"\"C:\\other.exe\" \"%1\"");
    EXPECT_TRUE(shell.CheckShortCuts().configFiles);

    shell.removeGroup(ShellGroup::ConfigFiles);
    EXPECT_FALSE(registry.exists(u".qpcf"));
    EXPECT_FALSE(registry.exists(kEnglishType));
    EXPECT_EQ(registry.value(kGermanType + u"\\Shell\\Open\\Command"), kCommand);
    EXPECT_FALSE(shell.CheckShortCuts().configFiles);
    EXPECT_EQ(system.notifications, 3);
}

TEST_F(ShellRegistrationTest, AnotherProgramsAssociationIsNeverDestroyed)
{
    shell.registerGroup(ShellGroup::ConfigFiles, "de");
    // Another program has taken the extension since.
    registry.set(u".qpcf", u"Other.Document");
    registry.set(u"Other.Document\\shell\\open\\command", u"\"C:\\other.exe\" \"%1\"");
    EXPECT_TRUE(shell.CheckShortCuts().configFiles);

    // Only this program's own type key, which nothing names any more, goes.
    EXPECT_TRUE(shell.UnregisterFileType(u"qpcf"));
    EXPECT_EQ(registry.value(u".qpcf"), u"Other.Document");
    EXPECT_EQ(registry.value(u"Other.Document\\shell\\open\\command"), u"\"C:\\other.exe\" \"%1\"");
    EXPECT_FALSE(registry.exists(kGermanType));
    EXPECT_FALSE(shell.CheckShortCuts().configFiles);

    // An extension without a type name, or naming a type that does not exist, deletes nothing.
    registry.set(u".qpcf", u"");
    shell.registerGroup(ShellGroup::ConfigFiles, "en");
    registry.set(u".qpcf", u"");
    const std::u16string before = registry.dump();
    EXPECT_FALSE(shell.UnregisterFileType(u".qpcf"));
    registry.set(u".qpcf", u"VLM Quillpress Konfiguration");
    EXPECT_FALSE(shell.UnregisterFileType(u".qpcf"));
    registry.set(u".qpcf", u"");
    EXPECT_EQ(registry.dump(), before);
}

TEST_F(ShellRegistrationTest, SendToWritesTheShortcutAndRemovalDeletesIt)
{
    shell.registerGroup(ShellGroup::SendTo, "de");
    const std::u16string link = system.sendTo + u"\\VLM Quillpress.lnk";
    ASSERT_EQ(system.files.count(link), 1u);
    const ShellLink& written = system.files[link];
    EXPECT_EQ(written.target, kProgram);
    EXPECT_EQ(written.description, u"VLM Quillpress");
    EXPECT_EQ(written.workingDirectory, u"C:\\Program Files\\Quillpress");
    EXPECT_EQ(written.arguments, u"");
    EXPECT_EQ(written.iconIndex, -1);
    EXPECT_TRUE(shell.CheckShortCuts().sendTo);

    shell.removeGroup(ShellGroup::SendTo);
    EXPECT_TRUE(system.files.empty());
    EXPECT_FALSE(shell.CheckShortCuts().sendTo);

    // Without a "Send to" folder nothing is written anywhere (no shortcut beside an empty folder name).
    system.sendTo.clear();
    shell.registerGroup(ShellGroup::SendTo, "en");
    EXPECT_TRUE(system.files.empty());
    EXPECT_FALSE(shell.CheckShortCuts().sendTo);
}

TEST_F(ShellRegistrationTest, FoldersAndAllFilesCarryTheCaptionOfTheLanguageAndTheCommand)
{
    registry.set(u"Folder\\shell\\explore\\command", u"explorer.exe");
    shell.registerGroup(ShellGroup::Folders, "en");
    shell.registerGroup(ShellGroup::AllFiles, "de");
    EXPECT_EQ(registry.value(u"Folder\\shell\\VLMquillpress"), u"Open with Quillpress");
    EXPECT_EQ(registry.value(u"Folder\\shell\\VLMquillpress\\command"), kCommand);
    EXPECT_EQ(registry.value(u"*\\shell\\VLMquillpress"), u"Öffnen mit VLM Quillpress");
    EXPECT_EQ(registry.value(u"*\\shell\\VLMquillpress\\command"), kCommand);
    const ShortcutStatus on = shell.CheckShortCuts();
    EXPECT_TRUE(on.folders);
    EXPECT_TRUE(on.allFiles);
    for (const auto& change : registry.changes())
        EXPECT_FALSE(change.view64);

    shell.removeGroup(ShellGroup::Folders);
    shell.removeGroup(ShellGroup::AllFiles);
    EXPECT_EQ(registry.dump(), u"Folder\nFolder\\shell\nFolder\\shell\\explore\n"
                               u"Folder\\shell\\explore\\command = explorer.exe\n*\n*\\shell\n");
    const ShortcutStatus off = shell.CheckShortCuts();
    EXPECT_FALSE(off.folders);
    EXPECT_FALSE(off.allFiles);
}

TEST_F(ShellRegistrationTest, A32BitProgramOn64BitWindowsWritesInThe64BitView)
{
    system.wow64 = true;
    registry.set(u".jpg", u"jpegfile");
    shell.registerGroup(ShellGroup::AllFiles, "en");
    shell.registerGroup(ShellGroup::ChosenExtensions, "en", u"jpg,xyz");
    EXPECT_EQ(registry.value(u"*\\shell\\VLMquillpress"), u"Open with VLM Quillpress");
    EXPECT_EQ(registry.value(u"*\\shell\\VLMquillpress\\command"), kCommand);
    EXPECT_EQ(registry.value(u"jpegfile\\shell\\VLMquillpress"), u"Open with VLM Quillpress");
    EXPECT_EQ(registry.value(u"jpegfile\\shell\\VLMquillpress\\command"), kCommand);
    EXPECT_EQ(registry.value(u".xyz\\shell\\VLMquillpress\\command"), kCommand);
    ASSERT_FALSE(registry.changes().empty());
    for (const auto& change : registry.changes())
        EXPECT_TRUE(change.view64) << ascii(change.path);
    EXPECT_TRUE(shell.CheckShortCuts().allFiles);

    // Keys that refuse changes are skipped without a message.
    InMemoryRegistry machine;
    machine.protect(u"*");
    ShellRegistration user{machine, system, shellNamesFromCatalog(), kProgram};
    EXPECT_NO_THROW(user.registerGroup(ShellGroup::AllFiles, "en"));
    EXPECT_EQ(machine.dump(), u"*\n");

    // When Windows cannot tell, the handler stops before writing or notifying.
    system.wow64Fails = true;
    const int notified = system.notifications;
    EXPECT_THROW(user.registerGroup(ShellGroup::AllFiles, "en"), std::runtime_error);
    EXPECT_EQ(system.notifications, notified);
}

TEST_F(ShellRegistrationTest, AllFilesOutsideThe64BitViewReportsARefusedWrite)
{
    registry.protect(u"*");
    try {
        shell.registerGroup(ShellGroup::AllFiles, "en");
        FAIL() << "no exception";
    } catch (const RegistryError& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for ''");
    }
    EXPECT_EQ(system.notifications, 0);
    EXPECT_EQ(registry.dump(), u"*\n");
}

TEST_F(ShellRegistrationTest, ChosenExtensionsLandOnTheirFileTypeAndRemovalClearsBothPlaces)
{
    registry.set(u".jpg", u"jpegfile");
    registry.set(u"jpegfile\\shell\\open\\command", u"viewer.exe");
    registry.set(u".bmp", u"Paint.Picture");
    registry.set(u"Paint.Picture", u"Bitmap");
    registry.set(u".png", u"");  // an extension without a file type
    shell.registerGroup(ShellGroup::ChosenExtensions, "de", u"jpg, ,a.b,b mp,.bmp,png");
    for (const auto& key : {u"jpegfile", u"Paint.Picture", u".png"}) {
        const std::u16string verb = std::u16string(key) + u"\\shell\\VLMquillpress";
        EXPECT_EQ(registry.value(verb), u"Öffnen mit VLM Quillpress") << dump();
        EXPECT_EQ(registry.value(verb + u"\\command"), kCommand);
    }
    EXPECT_FALSE(registry.exists(u".jpg\\shell"));
    EXPECT_FALSE(registry.exists(u".bmp\\shell"));
    EXPECT_FALSE(registry.exists(u"a.b"));
    EXPECT_FALSE(registry.exists(u".a.b"));

    // An entry left on the extension key too (say from before the extension had a type) goes as well.
    registry.set(u".jpg\\shell\\VLMquillpress\\command", kCommand);
    shell.removeGroup(ShellGroup::ChosenExtensions, u"jpg,bmp,png");
    EXPECT_EQ(registry.dump(), u".jpg = jpegfile\n.jpg\\shell\njpegfile\njpegfile\\shell\njpegfile\\shell\\open\n"
                               u"jpegfile\\shell\\open\\command = viewer.exe\n.bmp = Paint.Picture\n"
                               u"Paint.Picture = Bitmap\nPaint.Picture\\shell\n.png = \n.png\\shell\n");
}

TEST_F(ShellRegistrationTest, AFileTypeThatRefusesChangesFallsBackToTheExtensionKey)
{
    registry.set(u".jpg", u"jpegfile");
    registry.protect(u"jpegfile");
    shell.registerGroup(ShellGroup::ChosenExtensions, "en", u"jpg");
    EXPECT_EQ(registry.value(u".jpg\\shell\\VLMquillpress\\command"), kCommand);
    EXPECT_EQ(registry.value(u".jpg\\shell\\VLMquillpress"), u"Open with VLM Quillpress");
    EXPECT_FALSE(registry.exists(u"jpegfile\\shell"));
}

TEST_F(ShellRegistrationTest, RegisteringTwiceWritesNoDuplicates)
{
    registry.set(u".jpg", u"jpegfile");
    const auto registerAll = [this](const char* language) {
        for (auto group : {ShellGroup::ConfigFiles, ShellGroup::SendTo, ShellGroup::Folders, ShellGroup::AllFiles,
                           ShellGroup::ChosenExtensions})
            shell.registerGroup(group, language, u"jpg,bmp,png");
    };
    registerAll("en");
    const std::u16string once = registry.dump();
    const auto files = system.files.size();
    registerAll("en");
    EXPECT_EQ(registry.dump(), once);
    EXPECT_EQ(system.files.size(), files);
}

TEST_F(ShellRegistrationTest, AMovedProgramShowsItsEntriesAsInactive)
{
    for (auto group : {ShellGroup::ConfigFiles, ShellGroup::SendTo, ShellGroup::Folders, ShellGroup::AllFiles})
        shell.registerGroup(group, "en");
    const ShortcutStatus here = shell.CheckShortCuts();
    EXPECT_TRUE(here.configFiles && here.sendTo && here.folders && here.allFiles);

    // Every entry still exists but starts the old program file: the commands and the shortcut's
    // target compare character by character.
    const ShortcutStatus moved = movedProgram().CheckShortCuts();
    EXPECT_FALSE(moved.configFiles);
    EXPECT_FALSE(moved.sendTo);
    EXPECT_FALSE(moved.folders);
    EXPECT_FALSE(moved.allFiles);
    ShellRegistration otherCase{registry, system, shellNamesFromCatalog(),
                                u"c:\\program files\\quillpress\\quillpress.exe"};
    EXPECT_FALSE(otherCase.CheckShortCuts().folders);
}

TEST(ShellRegistrationPathsTest, CommandStringIconAndProgramFolder)
{
    InMemoryRegistry registry;
    FakeShellSystem system;
    struct Case {
        std::u16string program;
        std::u16string folder;
    };
    for (const Case& c : {Case{u"C:\\Tools\\q.exe", u"C:\\Tools"}, Case{u"C:\\q.exe", u"C:\\"},
                          Case{u"\\\\server\\share\\q.exe", u"\\\\server\\share"},
                          Case{u"C:\\Программы\\q.exe", u"C:\\Программы"}}) {
        ShellRegistration shell{registry, system, shellNamesFromCatalog(), c.program};
        EXPECT_EQ(shell.programFolder(), c.folder);
        EXPECT_EQ(shell.commandString(), u"\"" + c.program + u"\" \"%1\"");
        EXPECT_EQ(shell.iconReference(), c.program + u",0");
    }
}

} // namespace
