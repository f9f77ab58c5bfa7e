// SPDX-License-Identifier: MIT
#pragma once
// The five groups of shell registration, their command-line names, and the parsing of the chosen
// extensions (the setting beldateien).
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace qp {

enum class ShellGroup {
    Config,   // configuration files (.qpcf) open with the program
    SendTo,   // the program in the file managers' "Send to"
    Folders,  // context menu of folders
    Files,    // context menu of all files
    Types,    // context menu of the files of the chosen extensions
};

inline constexpr std::array<ShellGroup, 5> allShellGroups = {ShellGroup::Config, ShellGroup::SendTo,
                                                             ShellGroup::Folders, ShellGroup::Files,
                                                             ShellGroup::Types};

// "config", "sendto", "folders", "files", "types".
QString shellGroupName(ShellGroup group);
std::optional<ShellGroup> shellGroupFromName(const QString& name);

// The extensions of a beldateien text (the same rule as the Windows registration's): split at
// commas; each part trimmed of blanks and control characters, "." prefixed when it holds no dot, and dropped when it is shorter than two
// characters, does not begin with ".", or holds one of < > \ / | : ? " * or a blank after its
// first character. "jpg, bmp ,png" gives ".jpg", ".bmp", ".png"; "a.b", "." and "j pg" are dropped.
QStringList parseChosenExtensions(const QString& text);

} // namespace qp
