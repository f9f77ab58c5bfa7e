// SPDX-License-Identifier: MIT
#include "core/shell/windows/ShellRegistration.h"

#include "core/shell/windows/ChosenExtensions.h"
#include "core/shell/windows/RegistryAccess.h"

namespace qp::winshell {

namespace {

const std::u16string kShell = u"\\shell\\";

std::u16string withDot(std::u16string extension)
{
    if (extension.empty() || extension.front() != u'.')
        extension.insert(extension.begin(), u'.');
    return extension;
}

} // namespace

ShellRegistration::ShellRegistration(Registry& registry, ShellSystem& system, ShellNames names,
                                     std::u16string programPath)
    : m_registry(registry), m_system(system), m_names(std::move(names)), m_programPath(std::move(programPath))
{
}

std::u16string ShellRegistration::commandString(const std::u16string& argument) const
{
    return u"\"" + m_programPath + u"\" \"" + argument + u"\"";
}

std::u16string ShellRegistration::programFolder() const
{
    const std::size_t slash = m_programPath.find_last_of(u"\\/");
    if (slash == std::u16string::npos)
        return {};
    std::u16string folder = m_programPath.substr(0, slash);
    // "C:" alone names the drive's current folder, not its root.
    if (folder.size() == 2 && folder[1] == u':')
        folder += u'\\';
    return folder;
}

std::u16string ShellRegistration::shortcutPath(const std::u16string& name)
{
    std::u16string folder = m_system.GetSendToFolder();
    if (folder.empty())
        return {};
    if (folder.back() != u'\\')
        folder += u'\\';
    return folder + name + u".lnk";
}

void ShellRegistration::registerGroup(ShellGroup group, const std::string& languageCode,
                                      const std::u16string& chosenExtensions)
{
    const LanguageShellNames& names = m_names.forLanguage(languageCode);
    switch (group) {
    case ShellGroup::ConfigFiles:
        registerConfigFiles(names);
        break;
    case ShellGroup::SendTo:
        registerSendTo(names);
        break;
    case ShellGroup::Folders:
        registerFolders(names);
        break;
    case ShellGroup::AllFiles:
        registerAllFiles(names);
        break;
    case ShellGroup::ChosenExtensions:
        for (const auto& extension : parseChosenExtensions(chosenExtensions))
            registerChosenExtension(extension, names);
        break;
    }
    m_system.notifyAssociationsChanged();
}

void ShellRegistration::removeGroup(ShellGroup group, const std::u16string& chosenExtensions)
{
    switch (group) {
    case ShellGroup::ConfigFiles:
        UnregisterFileType(m_names.configExtension);
        break;
    case ShellGroup::SendTo:
        removeSendTo();
        break;
    case ShellGroup::Folders:
        removeVerb(u"\\Folder\\shell");
        break;
    case ShellGroup::AllFiles:
        removeVerb(u"\\*\\shell");
        break;
    case ShellGroup::ChosenExtensions:
        for (const auto& extension : parseChosenExtensions(chosenExtensions))
            removeChosenExtension(extension);
        break;
    }
    m_system.notifyAssociationsChanged();
}

// Configuration files.

void ShellRegistration::registerConfigFiles(const LanguageShellNames& names)
{
    RegisterFileType(m_names.configExtension, names.typeName, names.typeName, u"%1");
}

bool ShellRegistration::RegisterFileType(std::u16string extension, const std::u16string& typeName,
                                         const std::u16string& description, const std::u16string& argument)
{
    extension = withDot(std::move(extension));
    RegistryAccess reg(m_registry);
    if (!reg.openKey(u"\\" + extension, true))
        return false;
    reg.writeString(typeName);
    if (!reg.openKey(u"\\" + typeName, true))
        return false;
    reg.writeString(description);
    if (!reg.openKey(u"DefaultIcon", true))
        return false;
    reg.writeString(iconReference());
    if (!reg.openKey(u"\\" + typeName + u"\\Shell\\Open\\Command", true))
        return false;
    reg.writeString(commandString(argument));
    return true;
}

bool ShellRegistration::UnregisterFileType(std::u16string extension)
{
    extension = withDot(std::move(extension));
    RegistryAccess reg(m_registry);
    if (!reg.openKey(u"\\" + extension, false))
        return false;
    const std::u16string owner = reg.readString().value_or(u"");
    reg.closeKey();
    if (owner.empty())
        return false;

    const std::u16string ownTypes[] = {m_names.german.typeName, m_names.english.typeName};
    const bool ours = sameKeyName(owner, ownTypes[0]) || sameKeyName(owner, ownTypes[1]);
    if (!ours) {
        // Another program owns the extension now: its association stays, and only this program's
        // own type keys, which nothing points to any more, are taken back.
        bool deleted = false;
        for (const auto& type : ownTypes)
            if (reg.keyExists(u"\\" + type))
                deleted = reg.deleteKey(u"\\" + type) || deleted;
        return deleted;
    }
    if (!reg.keyExists(u"\\" + owner))
        return false;
    if (!reg.deleteKey(u"\\" + extension))
        return false;
    return reg.deleteKey(u"\\" + owner);
}

bool ShellRegistration::configFilesActive(const std::u16string& typeName)
{
    RegistryAccess reg(m_registry);
    return reg.openKey(u"\\" + m_names.configExtension, false) && reg.openKey(u"\\" + typeName, false)
        && reg.openKey(u"DefaultIcon", false) && startsThisProgram(u"\\" + typeName + u"\\Shell\\Open\\Command");
}

// "Send to".

void ShellRegistration::registerSendTo(const LanguageShellNames& names)
{
    // Without the folder there is no place for the shortcut: nothing is written anywhere else.
    const std::u16string link = shortcutPath(names.shortcutName);
    if (link.empty())
        return;
    m_system.CreateShellLink({link, m_programPath, names.shortcutName, -1, {}, {}, programFolder()});
}

void ShellRegistration::removeSendTo()
{
    for (const auto* names : {&m_names.german, &m_names.english}) {
        const std::u16string link = shortcutPath(names->shortcutName);
        if (!link.empty() && m_system.fileExists(link))
            m_system.deleteFile(link);
    }
}

// Folders and all files.

void ShellRegistration::registerFolders(const LanguageShellNames& names)
{
    const std::u16string verbKey = u"Folder\\shell\\" + m_names.verb;
    const KeyMode write{KeyAccess::Write, false};
    if (auto key = m_registry.root().createSubKey(verbKey, write))
        key->writeDefault(names.folderCaption);
    if (auto key = m_registry.root().createSubKey(verbKey + u"\\command", write))
        key->writeDefault(commandString());
}

void ShellRegistration::writeIn64BitView(const std::u16string& path, const std::u16string& value)
{
    if (!m_registry.root().createSubKey(path, {KeyAccess::None, true}))
        return;
    RegistryAccess reg(m_registry, {KeyAccess::Full, true});
    if (reg.openKey(path, false))
        reg.writeString(value);
}

void ShellRegistration::registerAllFiles(const LanguageShellNames& names)
{
    const std::u16string verbKey = u"*\\shell\\" + m_names.verb;
    if (m_system.IsWow64()) {
        writeIn64BitView(verbKey, names.filesCaption);
        writeIn64BitView(verbKey + u"\\command", commandString());
        return;
    }
    // Written even when the key could not be opened: the refused write throws and stops the handler.
    RegistryAccess reg(m_registry);
    reg.openKey(verbKey, true);
    reg.writeString(names.filesCaption);
    reg.closeKey();
    reg.openKey(verbKey + u"\\command", true);
    reg.writeString(commandString());
}

void ShellRegistration::removeVerb(const std::u16string& parent)
{
    RegistryAccess reg(m_registry);
    if (reg.openKey(parent, false))
        reg.deleteKey(m_names.verb);
}

bool ShellRegistration::startsThisProgram(const std::u16string& commandKey)
{
    RegistryAccess reg(m_registry);
    return reg.openKey(commandKey, false) && reg.readString() == commandString();
}

// Chosen extensions.

std::u16string ShellRegistration::fileTypeOf(const std::u16string& extension)
{
    RegistryAccess reg(m_registry);
    if (!reg.openKey(u"\\" + extension, false))
        return {};
    return reg.readString().value_or(u"");
}

void ShellRegistration::registerChosenExtension(const std::u16string& extension, const LanguageShellNames& names)
{
    const std::u16string type = fileTypeOf(extension);
    if (m_system.IsWow64()) {
        const std::u16string verbKey = (type.empty() ? extension : type) + kShell + m_names.verb;
        if (!m_registry.root().createSubKey(verbKey + u"\\command", {KeyAccess::None, true}))
            return;
        for (const auto& [path, value] : {std::pair{verbKey + u"\\command", commandString()},
                                          std::pair{verbKey, names.filesCaption}}) {
            RegistryAccess reg(m_registry, {KeyAccess::Full, true});
            if (reg.openKey(path, false))
                reg.writeString(value);
        }
        return;
    }
    // The entry lands on the file type the extension points to, and so on all its extensions; on
    // the extension's own key only when it has no type or the type's key cannot be opened.
    RegistryAccess reg(m_registry);
    for (const std::u16string& base : {type, extension}) {
        if (base.empty())
            continue;
        const std::u16string verbKey = u"\\" + base + kShell + m_names.verb;
        if (!reg.openKey(verbKey + u"\\command", true))
            continue;
        reg.writeString(commandString());
        reg.closeKey();
        reg.openKey(verbKey, true);
        reg.writeString(names.filesCaption);
        return;
    }
}

void ShellRegistration::removeChosenExtension(const std::u16string& extension)
{
    const std::u16string type = fileTypeOf(extension);
    if (!type.empty()) {
        RegistryAccess reg(m_registry);
        if (reg.keyExists(u"\\" + type))
            removeVerb(u"\\" + type + kShell);
    }
    removeVerb(u"\\" + extension + kShell);
}

// Status.

bool ShellRegistration::chosenExtensionActive(const std::u16string& extension)
{
    const std::u16string dotted = withDot(extension);
    const std::u16string type = fileTypeOf(dotted);
    for (const std::u16string& base : {type, dotted}) {
        if (!base.empty() && startsThisProgram(u"\\" + base + kShell + m_names.verb + u"\\command"))
            return true;
    }
    return false;
}

ShortcutStatus ShellRegistration::CheckShortCuts()
{
    ShortcutStatus status;
    status.configFiles = configFilesActive(m_names.german.typeName) || configFilesActive(m_names.english.typeName);
    for (const auto* names : {&m_names.german, &m_names.english}) {
        const std::u16string link = shortcutPath(names->shortcutName);
        status.sendTo = status.sendTo || (!link.empty() && m_system.shellLinkTarget(link) == m_programPath);
    }
    status.folders = startsThisProgram(u"\\Folder\\shell\\" + m_names.verb + u"\\command");
    status.allFiles = startsThisProgram(u"\\*\\shell\\" + m_names.verb + u"\\command");
    return status;
}

} // namespace qp::winshell
