// SPDX-License-Identifier: MIT
#pragma once
// Shortens a path with "..." folders until it fits a pixel width.
#include <QChar>
#include <QDir>
#include <QString>
#include <functional>

namespace qp {

using TextWidthFunction = std::function<int(const QString&)>;

// Cuts leading folders of `path`, replacing them by "...", until textWidth(result) <= width or
// only the file name is left. `separator` is the platform's folder separator; with "\" a drive
// ("C:") is kept in front until the last step.
QString ShortenPathToWidth(const QString& path, const TextWidthFunction& textWidth, int width,
                           QChar separator = QDir::separator());

// `path` as the desktop shows it, in the platform's separators: on Linux with the user's home
// folder at its start written as "~"; on Windows, which has no such short form, whole.
QString HomeShortened(const QString& path);

} // namespace qp
