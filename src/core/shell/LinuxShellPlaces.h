// SPDX-License-Identifier: MIT
#pragma once
// Where the shell registration on a freedesktop system writes: per user under the user's data
// and configuration folders, system-wide when running as root, and the polkit actions folder.
#include <QString>

namespace qp {

struct LinuxShellPlaces {
    QString programPath;
    bool admin = false;       // effective user id 0: system-wide places
    QString dataHome;         // $XDG_DATA_HOME, else ~/.local/share
    QString configHome;       // $XDG_CONFIG_HOME, else ~/.config
    QString dataDirs;         // $XDG_DATA_DIRS, else /usr/local/share:/usr/share (where packages install)
    QString root;             // prefix of the system-wide places, empty for "/" ($QUILLPRESS_SHELL_ROOT)
    QString pkexec;           // the pkexec program, empty when missing
    bool updateCaches = true;

    static LinuxShellPlaces fromEnvironment(const QString& programPath);

    // Where entries and the MIME package go: the user's data folder, or /usr/local/share as root.
    QString dataDir() const;
    // Where mimeapps.list goes: the user's configuration folder, or /etc/xdg as root.
    QString configDir() const;
    // Where polkit reads its action files.
    QString polkitActionsDir() const;
};

} // namespace qp
