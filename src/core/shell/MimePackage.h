// SPDX-License-Identifier: MIT
#pragma once
// The shared-mime-info packages the shell registration writes: the MIME types it declares, each
// with its globs, read back from and written as a package file.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace qp {

// The types of a package with their globs, in file order.
using MimePackage = QList<QPair<QString, QStringList>>;

// The types and globs of the package file at `path`; empty when it cannot be read.
MimePackage readPackage(const QString& path);
// The text of a package declaring `types`, each with `comment` when it is not empty.
QByteArray packageText(const MimePackage& types, const QString& comment);
// The part of a MIME type name made from an extension (".jpg"): lower case, characters outside
// the name's alphabet written as "_xx" (their hexadecimal code).
QString mimeNamePart(const QString& extension);

} // namespace qp
