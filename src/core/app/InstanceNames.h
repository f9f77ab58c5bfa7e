// SPDX-License-Identifier: MIT
#pragma once
// The names under which an instance receives hand-offs: the instance key, the class name of the
// hand-off window (Windows), and the local server's name in its private folder (Linux).
#include <QString>

#include <optional>

namespace qp {

// "OneInstUtilWnd:" followed by the full path of the program file.
QString instanceKey(const QString& programPath);

// The longest class name the hand-off window is given as it is. The window system limits class
// names to 256 characters; a class name is kept as an atom, and atom names have at most 255.
inline constexpr qsizetype kMaxWindowClassName = 255;

// The class name of the hand-off window (Windows): the instance key while it fits a class name,
// so that the window carries the path in plain text. A longer key (a program file deep in
// folders, up to the 32767 characters of a long path) gives "OneInstUtilWnd-" and the SHA-256 of
// the key in hexadecimal (79 characters), so that such a program hands over like any other
// instead of opening a window for every start. The key is upper-cased character by character
// before it is hashed: the window system compares class names without regard to case, as the
// file system compares paths, and every spelling of one path must give one name. The key holds
// the path in UTF-16 as the system reports it, so two paths that differ only in characters
// outside the ANSI code page stay apart.
QString instanceWindowClass(const QString& programPath);

#ifndef Q_OS_WIN
// The folder of the sockets (Linux): the user's runtime folder when the system gives one, otherwise
// the folder "instance-<user id>" in the program's folder in the user's cache
// ($XDG_CACHE_HOME/quillpress, usually ~/.cache/quillpress), created with access for the user
// alone. Either is used only while it is a real folder (not a symbolic link), owned by this user,
// without any access for group or others; nothing when neither is.
std::optional<QString> handOffFolder();

// The local server's name (a socket path on Linux): the instance key, percent-encoded so that it
// is one file name, in handOffFolder(); the key's SHA-256 when the encoded key makes the socket
// path too long. Empty when there is no folder for it: then there is no hand-off.
QString instanceServerName(const QString& programPath);
#endif

} // namespace qp
