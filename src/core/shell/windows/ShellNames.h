// SPDX-License-Identifier: MIT
#pragma once
// The names the shell registration hands to Windows. Each exists once per language: registering
// uses the current language's, removal and the status check know both.
#include <string>

namespace qp::winshell {

struct LanguageShellNames {
    std::u16string typeName;       // file type of the configuration files: key name and description
    std::u16string shortcutName;   // "Send to" shortcut, without ".lnk"
    std::u16string folderCaption;  // context-menu entry of folders
    std::u16string filesCaption;   // context-menu entry of all files and of the chosen extensions
};

struct ShellNames {
    std::u16string verb;                 // key name of the context-menu entries
    std::u16string configExtension;      // ".qpcf"
    LanguageShellNames german;
    LanguageShellNames english;

    // "de" gives the German names, any other code the English ones.
    const LanguageShellNames& forLanguage(const std::string& languageCode) const
    {
        return languageCode == "de" ? german : english;
    }
};

} // namespace qp::winshell
