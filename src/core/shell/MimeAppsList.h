// SPDX-License-Identifier: MIT
#pragma once
// The [Default Applications] group of a mimeapps.list file. A type's value is a list of desktop
// entries in order of preference; the first that is installed is the default.
#include <QString>
#include <QStringList>

namespace qp {

QStringList defaultApplications(const QString& path, const QString& mimeType);
// Puts `desktopId` first in the type's list, keeping the entries other programs put there after
// it (so removing it again brings their default back). Every other line stays as it is.
bool addDefaultApplication(const QString& path, const QString& mimeType, const QString& desktopId);
// Takes `desktopId` out of the type's list; the line goes when nothing else is left in it.
bool removeDefaultApplication(const QString& path, const QString& mimeType, const QString& desktopId);

} // namespace qp
