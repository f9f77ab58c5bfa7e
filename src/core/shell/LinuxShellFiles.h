// SPDX-License-Identifier: MIT
#pragma once
// The files of the shell registration on a freedesktop system: the names it writes under, the
// texts of the shell settings it puts in them, and how they are written and taken away again.
#include "core/shell/DesktopEntry.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace qp {

// The desktop entry of the configuration files' registration.
inline const QString kShellConfigEntry = QStringLiteral("quillpress-shell-config.desktop");
// The desktop entry installed with the program.
inline const QString kInstalledEntry = QStringLiteral("quillpress.desktop");
// The MIME packages of the configuration files and of the chosen extensions (below the data folder).
inline const QString kConfigPackage = QStringLiteral("mime/packages/quillpress-shell.xml");
inline const QString kExtensionsPackage = QStringLiteral("mime/packages/quillpress-shell-extensions.xml");
// The icon every entry and action shows.
inline const QString kShellIcon = QStringLiteral("quillpress");

// A text of the shell settings window (einstshortcuts) in the interface language.
QString shellText(const char* control);

// Writes `bytes` to `path` through a temporary file, making its folders; readable by everyone,
// and executable when `executable` is set.
bool writeFile(const QString& path, const QByteArray& bytes, bool executable = false);
// Removes `path`; true when it is gone (or was never there).
bool removeFile(const QString& path);
// Removes `folder` and its parents up to `top` (not `top` itself) while they are empty: the
// folders registration made for its files go with the last of them.
void removeEmptyFolders(QString folder, const QString& top);
// Removes every file of `files` and then the folders they leave empty below `top`; true when
// all the files are gone.
bool removeFilesAndFolders(const QStringList& files, const QString& top);

// A desktop entry of type Application that starts `program` by `exec`: its Type, Name, Comment
// (when `comment` is not empty), TryExec, Exec and Icon, in that order. With TryExec the desktop
// passes over the entry once the program is gone.
DesktopFile applicationEntry(const QString& name, const QString& program, const QString& exec,
                             const QString& comment = {});

// A list value of a desktop entry: each item followed by ";" (empty for no item), and back.
QString semicolonList(const QStringList& items);
QStringList splitList(const QString& value);

} // namespace qp
