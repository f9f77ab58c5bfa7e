// SPDX-License-Identifier: MIT
// The shell registration against the real registry and "Send to" folder (run under Wine). Every
// step is checked with the plain registry and shell functions, not through the code under test.
#include "core/shell/windows/RegistryAccess.h"
#include "core/shell/windows/ShellRegistration.h"
#include "core/shell/windows/win32/Win32Registry.h"
#include "core/shell/windows/win32/Win32ShellSystem.h"
#include "core/shell/windows/win32/Win32Text.h"

// clang-format off
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
// clang-format on

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace qp::winshell;

namespace {

// A program path outside any single-byte code page: it reaches the registry and the shortcut as it is.
const std::wstring kProgramFolder = L"C:\\Программы\\Quillpress Ü";
const std::wstring kProgram = kProgramFolder + L"\\quillpress.exe";
const std::wstring kCommand = L"\"" + kProgram + L"\" \"%1\"";
const std::wstring kGermanType = L"VLM Quillpress Konfiguration";
const std::wstring kEnglishType = L"VLM Quillpress Configuration";

std::u16string u16(const std::wstring& s)
{
    return fromWide(s.c_str(), s.size());
}

ShellNames names()
{
    return {u"VLMquillpress", u".qpcf",
            {u16(kGermanType), u"VLM Quillpress", u"Öffnen mit VLM Quillpress", u"Öffnen mit VLM Quillpress"},
            {u16(kEnglishType), u"VLM Quillpress", u"Open with Quillpress", u"Open with VLM Quillpress"}};
}

bool keyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::optional<std::wstring> defaultValue(const std::wstring& path)
{
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_CLASSES_ROOT, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

void setDefault(const std::wstring& path, const std::wstring& value)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void deleteTree(const std::wstring& path)
{
    RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
}

// Every key and default value below a key, one a line.
std::wstring dumpTree(const std::wstring& path)
{
    std::wstring out = path + L" = " + defaultValue(path).value_or(L"(none)") + L"\n";
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return out;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        out += dumpTree(path + L"\\" + name);
    }
    RegCloseKey(key);
    return out;
}

std::wstring sendToFolder()
{
    wchar_t path[MAX_PATH] = {};
    EXPECT_EQ(SHGetFolderPathW(nullptr, CSIDL_SENDTO, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
    return path;
}

struct LinkContents {
    std::wstring target, description, workingDirectory, arguments, iconFile;
    int iconIndex = 0;
};

std::optional<LinkContents> readLink(const std::wstring& path)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::optional<LinkContents> result;
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link)))
        && SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))
        && SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        wchar_t text[4][MAX_PATH] = {};
        wchar_t icon[MAX_PATH] = {};
        LinkContents c;
        // The item list keeps the target's every character (the path text is the code page's under Wine).
        PIDLIST_ABSOLUTE items = nullptr;
        if (link->GetIDList(&items) == S_OK) {
            SHGetPathFromIDListW(items, text[0]);
            CoTaskMemFree(items);
        }
        link->GetDescription(text[1], MAX_PATH);
        link->GetWorkingDirectory(text[2], MAX_PATH);
        link->GetArguments(text[3], MAX_PATH);
        link->GetIconLocation(icon, MAX_PATH, &c.iconIndex);
        c.target = text[0];
        c.description = text[1];
        c.workingDirectory = text[2];
        c.arguments = text[3];
        c.iconFile = icon;
        result = c;
    }
    if (file)
        file->Release();
    if (link)
        link->Release();
    CoUninitialize();
    return result;
}

bool fileExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The Windows shell functions, with the WOW64 answer chosen by the test, so that the 64-bit view
// branch runs in a 64-bit program too.
class TestShellSystem : public Win32ShellSystem {
public:
    bool wow64 = false;
    bool IsWow64() override { return wow64; }
};

class WineShellTest : public ::testing::TestWithParam<bool> {
protected:
    static void SetUpTestSuite()
    {
        CreateDirectoryW(L"C:\\Программы", nullptr);
        CreateDirectoryW(kProgramFolder.c_str(), nullptr);
        const HANDLE file = CreateFileW(kProgram.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    void SetUp() override { system.wow64 = GetParam(); }
    void TearDown() override
    {
        for (const auto& key : {L".qpcf", L"VLM Quillpress Konfiguration", L"VLM Quillpress Configuration",
                                L"Folder\\shell\\VLMquillpress", L"*\\shell\\VLMquillpress", L".qptesta",
                                L".qptestb", L"QpTest.TypeA", L"Other.Document"})
            deleteTree(key);
        DeleteFileW(link().c_str());
    }
    std::wstring link() const { return sendToFolder() + L"\\VLM Quillpress.lnk"; }

    Win32Registry registry;
    TestShellSystem system;
    ShellRegistration shell{registry, system, names(), u16(kProgram)};
};

INSTANTIATE_TEST_SUITE_P(Views, WineShellTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Wow64" : "Native"; });

TEST_P(WineShellTest, ConfigFilesInBothLanguagesAndRemovalOfTheLast)
{
    shell.registerGroup(ShellGroup::ConfigFiles, "de");
    EXPECT_EQ(defaultValue(L".qpcf"), kGermanType);
    EXPECT_EQ(defaultValue(kGermanType), kGermanType);
    EXPECT_EQ(defaultValue(kGermanType + L"\\DefaultIcon"), kProgram + L",0");
    EXPECT_EQ(defaultValue(kGermanType + L"\\Shell\\Open\\Command"), kCommand);
    EXPECT_TRUE(shell.CheckShortCuts().configFiles);

    shell.registerGroup(ShellGroup::ConfigFiles, "en");
    EXPECT_EQ(defaultValue(L".qpcf"), kEnglishType);
    EXPECT_EQ(defaultValue(kEnglishType + L"\\shell\\open\\command"), kCommand);
    EXPECT_TRUE(keyExists(kGermanType));

    // A moved program finds its old entries inactive.
    ShellRegistration moved{registry, system, names(), u"C:\\elsewhere\\quillpress.exe"};
    EXPECT_FALSE(moved.CheckShortCuts().configFiles);

    shell.removeGroup(ShellGroup::ConfigFiles);
    EXPECT_FALSE(keyExists(L".qpcf"));
    EXPECT_FALSE(keyExists(kEnglishType));
    EXPECT_EQ(defaultValue(kGermanType + L"\\Shell\\Open\\Command"), kCommand);
    EXPECT_FALSE(shell.CheckShortCuts().configFiles);
}

TEST_P(WineShellTest, AnotherProgramsAssociationStays)
{
    shell.registerGroup(ShellGroup::ConfigFiles, "en");
    setDefault(L".qpcf", L"Other.Document");
    setDefault(L"Other.Document\\shell\\open\\command", L"other.exe \"%1\"");
    shell.removeGroup(ShellGroup::ConfigFiles);
    EXPECT_EQ(defaultValue(L".qpcf"), L"Other.Document");
    EXPECT_EQ(defaultValue(L"Other.Document\\shell\\open\\command"), L"other.exe \"%1\"");
    EXPECT_FALSE(keyExists(kEnglishType));
}

TEST_P(WineShellTest, SendToShortcut)
{
    shell.registerGroup(ShellGroup::SendTo, "en");
    const auto contents = readLink(link());
    ASSERT_TRUE(contents) << "no shortcut in the Send to folder";
    EXPECT_EQ(contents->target, kProgram);
    EXPECT_EQ(contents->description, L"VLM Quillpress");
    EXPECT_EQ(contents->workingDirectory, kProgramFolder);
    EXPECT_EQ(contents->arguments, L"");
    EXPECT_EQ(contents->iconFile, L"");
    const auto status = shell.CheckShortCuts();
    EXPECT_TRUE(status.sendTo);
    ShellRegistration moved{registry, system, names(), u"C:\\elsewhere\\quillpress.exe"};
    EXPECT_FALSE(moved.CheckShortCuts().sendTo);

    shell.removeGroup(ShellGroup::SendTo);
    EXPECT_FALSE(fileExists(link()));
    EXPECT_FALSE(shell.CheckShortCuts().sendTo);
}

TEST_P(WineShellTest, FoldersAndAllFiles)
{
    const std::wstring folderShell = dumpTree(L"Folder\\shell");
    shell.registerGroup(ShellGroup::Folders, "en");
    shell.registerGroup(ShellGroup::AllFiles, "de");
    EXPECT_EQ(defaultValue(L"Folder\\shell\\VLMquillpress"), L"Open with Quillpress");
    EXPECT_EQ(defaultValue(L"Folder\\shell\\VLMquillpress\\command"), kCommand);
    EXPECT_EQ(defaultValue(L"*\\shell\\VLMquillpress"), L"Öffnen mit VLM Quillpress");
    EXPECT_EQ(defaultValue(L"*\\shell\\VLMquillpress\\command"), kCommand);
    auto status = shell.CheckShortCuts();
    EXPECT_TRUE(status.folders);
    EXPECT_TRUE(status.allFiles);

    // Pressing Register again changes nothing.
    const std::wstring once = dumpTree(L"Folder\\shell") + dumpTree(L"*\\shell");
    shell.registerGroup(ShellGroup::Folders, "en");
    shell.registerGroup(ShellGroup::AllFiles, "de");
    EXPECT_EQ(dumpTree(L"Folder\\shell") + dumpTree(L"*\\shell"), once);

    shell.removeGroup(ShellGroup::Folders);
    shell.removeGroup(ShellGroup::AllFiles);
    EXPECT_FALSE(keyExists(L"Folder\\shell\\VLMquillpress"));
    EXPECT_FALSE(keyExists(L"*\\shell\\VLMquillpress"));
    EXPECT_EQ(dumpTree(L"Folder\\shell"), folderShell);
    status = shell.CheckShortCuts();
    EXPECT_FALSE(status.folders);
    EXPECT_FALSE(status.allFiles);
}

TEST_P(WineShellTest, ChosenExtensionsOnTheirTypeOrTheirOwnKey)
{
    setDefault(L".qptesta", L"QpTest.TypeA");
    setDefault(L"QpTest.TypeA\\shell\\open\\command", L"viewer.exe \"%1\"");
    shell.registerGroup(ShellGroup::ChosenExtensions, "en", u"qptesta, a.b ,.qptestb");
    EXPECT_EQ(defaultValue(L"QpTest.TypeA\\shell\\VLMquillpress"), L"Open with VLM Quillpress");
    EXPECT_EQ(defaultValue(L"QpTest.TypeA\\shell\\VLMquillpress\\command"), kCommand);
    EXPECT_FALSE(keyExists(L".qptesta\\shell"));
    EXPECT_EQ(defaultValue(L".qptestb\\shell\\VLMquillpress"), L"Open with VLM Quillpress");
    EXPECT_EQ(defaultValue(L".qptestb\\shell\\VLMquillpress\\command"), kCommand);

    setDefault(L".qptesta\\shell\\VLMquillpress\\command", kCommand);
    shell.removeGroup(ShellGroup::ChosenExtensions, u"qptesta,qptestb");
    EXPECT_FALSE(keyExists(L"QpTest.TypeA\\shell\\VLMquillpress"));
    EXPECT_FALSE(keyExists(L".qptesta\\shell\\VLMquillpress"));
    EXPECT_FALSE(keyExists(L".qptestb\\shell\\VLMquillpress"));
    EXPECT_EQ(defaultValue(L"QpTest.TypeA\\shell\\open\\command"), L"viewer.exe \"%1\"");
}

TEST(WineShellSystemTest, ProgramPathAndWow64)
{
    const std::u16string path = currentProgramPath();
    EXPECT_TRUE(path.size() > 30 && path.substr(path.size() - 29) == u"\\quillpress_windows_tests.exe");
    EXPECT_FALSE(Win32ShellSystem().IsWow64()); // a 64-bit program
}

TEST(WineShellSystemTest, RegistryAccessPathRules)
{
    Win32Registry registry;
    RegistryAccess reg(registry);
    ASSERT_TRUE(reg.openKey(u"QpTest.TypeA", true));
    ASSERT_TRUE(reg.openKey(u"DefaultIcon", true));
    reg.writeString(u"icon");
    ASSERT_TRUE(reg.openKey(u"\\QpTest.TypeA\\Shell\\", true));
    reg.writeString(u"shell");
    EXPECT_EQ(defaultValue(L"QpTest.TypeA\\DefaultIcon"), L"icon");
    EXPECT_EQ(defaultValue(L"QpTest.TypeA\\shell"), L"shell");
    EXPECT_TRUE(reg.deleteKey(u"\\qptest.typea"));
    EXPECT_FALSE(keyExists(L"QpTest.TypeA"));
    reg.closeKey();
    EXPECT_THROW(reg.writeString(u"x"), RegistryError);
}

} // namespace
