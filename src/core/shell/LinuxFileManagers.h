// SPDX-License-Identifier: MIT
#pragma once
// The send-to and context-menu files of the file managers that the shell registration serves
// beside the desktop entries: Dolphin's service menus, Nemo's actions and Nautilus's scripts.
// (Thunar's send-to files are plain application entries.)
#include "core/shell/DesktopEntry.h"
#include "core/shell/ShellGroups.h"

#include <QString>
#include <QStringList>

namespace qp {

// The Nautilus script that sends the selected files to `program`.
QString sendToScript(const QString& program);

// A Dolphin service menu for the files of `mimeTypes` with one action, `action`, that starts the
// program; `submenu`, when given, is the menu it stands in.
DesktopFile kdeServiceMenu(const QString& name, const QString& mimeTypes, const QString& submenu,
                           const QString& action, const QString& program, const QString& exec);

// A Nemo action for the context menu of a group: of folders, of all files but folders, or of the
// files of `mimeTypes`.
DesktopFile nemoAction(ShellGroup group, const QString& name, const QString& exec, const QStringList& mimeTypes);

} // namespace qp
