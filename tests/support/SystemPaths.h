// SPDX-License-Identifier: MIT
#pragma once
// Paths in the form the program takes and shows them on the system the tests run on: "/" and
// absolute from the root on Linux, "\" and a drive letter on Windows.
#include <QDir>
#include <QString>

namespace qp::test {

// A path from Qt (a temporary folder, QDir) with the system's separators, as the program shows it.
inline QString nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// An absolute path written in the Linux form, as an absolute path of this system: itself on
// Linux, the same folders on drive C: on Windows ("/opt/qp" is "C:\opt\qp").
inline QString systemPath(const QString& linuxPath)
{
#ifdef Q_OS_WIN
    if (linuxPath.startsWith(u'/'))
        return QStringLiteral("C:") + QDir::toNativeSeparators(linuxPath);
#endif
    return linuxPath;
}

} // namespace qp::test
