// SPDX-License-Identifier: MIT
#pragma once
// What the main window takes when something is dropped on it: configuration files, which load as
// if chosen in the load dialog; one text file or dragged text, which becomes the text; nothing
// else.
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace qp {

struct DroppedContent {
    enum class Kind { Refused, Configurations, TextFile, Text };
    Kind kind = Kind::Refused;
    QStringList files; // the local files: the configurations in order, or the one text file
};

// Decides from what a drag carries: files (every one a local file whose extension is exactly
// ".qpcf", or a single local file whose type is text) or, without files, text. A mixture, a
// remote address, a folder or any other file is refused, so that the cursor tells before the
// drop.
DroppedContent classifyDrop(const QList<QUrl>& urls, bool hasText);

// The content of a dropped text file: UTF-8, or the encoding its byte-order mark names. Nothing
// when it cannot be read, is no regular file or is larger than the text limit.
std::optional<QString> readDroppedText(const QString& path);

} // namespace qp
