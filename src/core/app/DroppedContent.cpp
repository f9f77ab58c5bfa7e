// SPDX-License-Identifier: MIT
#include "core/app/DroppedContent.h"

#include "core/app/BoundedRead.h"
#include "core/settings/ConfigurationMenu.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStringDecoder>

#include <algorithm>

namespace qp {

namespace {

bool isTextFile(const QString& path)
{
    return QMimeDatabase().mimeTypeForFile(path).inherits(QStringLiteral("text/plain"));
}

} // namespace

DroppedContent classifyDrop(const QList<QUrl>& urls, bool hasText)
{
    if (urls.isEmpty())
        return hasText ? DroppedContent{DroppedContent::Kind::Text, {}} : DroppedContent{};
    QStringList files;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile() || !QFileInfo(url.toLocalFile()).isFile())
            return {};
        files << url.toLocalFile();
    }
    if (std::all_of(files.cbegin(), files.cend(), isConfigurationArgument))
        return {DroppedContent::Kind::Configurations, files};
    if (files.size() == 1 && isTextFile(files.front()))
        return {DroppedContent::Kind::TextFile, files};
    return {};
}

std::optional<QString> readDroppedText(const QString& path)
{
    // A regular file of at most the text limit: a pipe or device put under the name, or a huge
    // file, is not read.
    const BoundedRead read = readRegularFile(path, kMaxTextBytes);
    if (read.problem != ReadProblem::None)
        return std::nullopt;
    const QByteArray& data = read.bytes;
    // The byte-order mark itself is not part of the text.
    QStringDecoder decoder(QStringDecoder::encodingForData(data).value_or(QStringDecoder::Utf8));
    return decoder.decode(data);
}

} // namespace qp
