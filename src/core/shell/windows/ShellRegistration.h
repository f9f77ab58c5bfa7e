// SPDX-License-Identifier: MIT
#pragma once
// Registration of the program with the Windows shell, in five independent groups, and the status
// of the first four. Every entry starts the program with the command string
// "<program path>" "%1"; an entry counts as active only when its command is exactly that string,
// so the entries of a moved program show as inactive.
//
//   configuration files  .qpcf -> <type name>, <type name>\DefaultIcon, <type name>\Shell\Open\Command
//   "Send to"            <Send to folder>\<shortcut name>.lnk
//   folders              Folder\shell\<verb>, Folder\shell\<verb>\command
//   all files            *\shell\<verb>, *\shell\<verb>\command (64-bit view for a 32-bit program on 64-bit Windows)
//   chosen extensions    <file type of the extension>\shell\<verb>..., or <extension>\shell\<verb>... without a type
//
// The shortcut counts as active when it starts this program file, like the registry entries.
// Registering writes the current language's names; removal and the status know both languages'.
// Keys that cannot be opened are skipped silently and show in the status; the one exception is the
// "all files" entry outside the 64-bit view, whose refused write throws RegistryError.
#include "core/shell/windows/Registry.h"
#include "core/shell/windows/ShellNames.h"
#include "core/shell/windows/ShellSystem.h"

#include <string>

namespace qp::winshell {

enum class ShellGroup { ConfigFiles, SendTo, Folders, AllFiles, ChosenExtensions };

struct ShortcutStatus {
    bool configFiles = false;
    bool sendTo = false;
    bool folders = false;
    bool allFiles = false;
};

class ShellRegistration {
public:
    ShellRegistration(Registry& registry, ShellSystem& system, ShellNames names, std::u16string programPath);

    // The register and remove buttons of a group; chosenExtensions is the text of beldateien and
    // is used by the chosen-extension group only. Each tells the shell that associations changed.
    void registerGroup(ShellGroup group, const std::string& languageCode, const std::u16string& chosenExtensions = {});
    void removeGroup(ShellGroup group, const std::u16string& chosenExtensions = {});

    ShortcutStatus CheckShortCuts();
    // Whether the entry of a chosen extension (with or without its dot) starts this program: on
    // the extension's file type, or on the extension itself when it has no type.
    bool chosenExtensionActive(const std::u16string& extension);

    // Writes the association of an extension with a file type; true when the open command's key
    // could be opened.
    bool RegisterFileType(std::u16string extension, const std::u16string& typeName,
                          const std::u16string& description, const std::u16string& argument);
    // Removes the association the extension names when it is this program's (its German or English
    // type name): the extension key and that type key, not the other language's; true when the type
    // key was deleted. Another program's association is left alone; only this program's own type
    // keys, which the extension no longer names, are deleted.
    bool UnregisterFileType(std::u16string extension);

    // "<program path>" "<argument>"
    std::u16string commandString(const std::u16string& argument = u"%1") const;
    std::u16string iconReference() const { return m_programPath + u",0"; }
    // The program path without its file name and without a trailing backslash, except for a
    // drive root ("C:\").
    std::u16string programFolder() const;
    // <Send to folder>\<name>.lnk; empty when the folder is unknown.
    std::u16string shortcutPath(const std::u16string& name);

private:
    void registerConfigFiles(const LanguageShellNames& names);
    void registerSendTo(const LanguageShellNames& names);
    void removeSendTo();
    void registerFolders(const LanguageShellNames& names);
    void registerAllFiles(const LanguageShellNames& names);
    void registerChosenExtension(const std::u16string& extension, const LanguageShellNames& names);
    void removeChosenExtension(const std::u16string& extension);
    // Deletes <parent>\<verb> when <parent> can be opened.
    void removeVerb(const std::u16string& parent);
    // The default value of the extension's key, or empty.
    std::u16string fileTypeOf(const std::u16string& extension);
    // Whether the key's default value is this program's command string.
    bool startsThisProgram(const std::u16string& commandKey);
    bool configFilesActive(const std::u16string& typeName);
    // Creates the key in the 64-bit view asking for no rights, then opens it with full access in
    // that view and writes its default value; a key that cannot be created is skipped.
    void writeIn64BitView(const std::u16string& path, const std::u16string& value);

    Registry& m_registry;
    ShellSystem& m_system;
    ShellNames m_names;
    std::u16string m_programPath;
};

} // namespace qp::winshell
