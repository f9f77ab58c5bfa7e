// SPDX-License-Identifier: MIT
#include "core/run/PathShortening.h"

namespace qp {

namespace {

// Removes the first folder of `folder` and puts "...<sep>" in its place.
QString cutFirstFolder(QString folder, QChar sep)
{
    if (folder == QString(sep))
        return {};
    const bool leading = folder.startsWith(sep);
    if (leading)
        folder.remove(0, 1);
    if (folder.startsWith(QLatin1Char('.')))
        folder.remove(0, 4); // an earlier "...<sep>"
    const qsizetype at = folder.indexOf(sep);
    if (at >= 0)
        folder = QStringLiteral("...") + sep + folder.mid(at + 1);
    else
        folder.clear();
    if (leading)
        folder.prepend(sep);
    return folder;
}

} // namespace

QString ShortenPathToWidth(const QString& path, const TextWidthFunction& textWidth, int width,
                           QChar separator)
{
    QString result = path;
    qsizetype split = path.lastIndexOf(separator);
    if (separator == QLatin1Char('\\'))
        split = std::max(split, path.lastIndexOf(QLatin1Char(':')));
    QString folder = path.left(split + 1);
    const QString name = path.mid(split + 1);
    QString drive;
    if (separator == QLatin1Char('\\') && folder.size() >= 2 && folder[1] == QLatin1Char(':')) {
        drive = folder.left(2);
        folder.remove(0, 2);
    }
    const QString ellipsisOnly = separator + QStringLiteral("...") + separator;

    while (!folder.isEmpty() || !drive.isEmpty()) {
        if (textWidth(result) <= width)
            break;
        if (folder == ellipsisOnly) {
            drive.clear();
            folder = QStringLiteral("...") + separator;
        } else if (!folder.isEmpty()) {
            folder = cutFirstFolder(folder, separator);
        } else {
            drive.clear();
        }
        result = drive + folder + name;
    }
    return result;
}

QString HomeShortened(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(clean);
#else
    const QString home = QDir::cleanPath(QDir::homePath());
    if (home != u"/" && (clean == home || clean.startsWith(home + u'/')))
        return u'~' + QDir::toNativeSeparators(clean.mid(home.size()));
    return QDir::toNativeSeparators(clean);
#endif
}

} // namespace qp
