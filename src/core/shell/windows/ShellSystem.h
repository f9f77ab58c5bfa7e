// SPDX-License-Identifier: MIT
#pragma once
// What the shell registration needs from Windows besides the registry: the "Send to" folder and
// its shortcut files, the notification that associations changed, and whether a 32-bit program
// runs on 64-bit Windows. Paths are UTF-16.
#include <optional>
#include <string>

namespace qp::winshell {

// A shortcut file as the Shell Link object writes it.
struct ShellLink {
    std::u16string linkPath;          // the .lnk file
    std::u16string target;
    std::u16string description;
    int iconIndex = -1;               // the icon is set only with an icon file and an index of 0 or more
    std::u16string iconFile;
    std::u16string arguments;
    std::u16string workingDirectory;
};

class ShellSystem {
public:
    virtual ~ShellSystem() = default;

    // The user's "Send to" folder; empty when it cannot be determined.
    virtual std::u16string GetSendToFolder() = 0;
    // Writes the shortcut file; false when nothing could be written.
    virtual bool CreateShellLink(const ShellLink& link) = 0;
    // The program a shortcut file starts; nullopt when there is no such file or it cannot be read.
    virtual std::optional<std::u16string> shellLinkTarget(const std::u16string& linkPath) = 0;
    virtual bool fileExists(const std::u16string& path) = 0;
    virtual bool deleteFile(const std::u16string& path) = 0;
    // Tells the shell that file associations changed.
    virtual void notifyAssociationsChanged() = 0;
    // True when the 32-bit program runs on 64-bit Windows; throws std::runtime_error when the
    // system cannot tell.
    virtual bool IsWow64() = 0;
};

} // namespace qp::winshell
