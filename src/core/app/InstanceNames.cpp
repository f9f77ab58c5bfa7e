// SPDX-License-Identifier: MIT
#include "core/app/InstanceNames.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QStandardPaths>
#include <QUrl>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>

namespace qp {

namespace {

#ifndef Q_OS_WIN
// The longest name made when there is room for it, below the longest socket path the system takes
// (Linux: 108 bytes with the terminating zero), which a name must never exceed.
constexpr qsizetype kMaxServerName = 100;
constexpr qsizetype kMaxSocketPath = 107;
#endif

#ifdef Q_OS_UNIX
// A folder that only this user can change: a real folder (lstat: a symbolic link is not followed),
// owned by the effective user, without any access for group or others.
bool isPrivateFolder(const QString& path)
{
    struct stat st {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

// The program's own folder for the sockets in the user's cache, made when missing.
QString ownSocketFolder()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty() || !QFileInfo(cache).isAbsolute())
        return {};
    const QString parent = QDir(cache).filePath(QStringLiteral("quillpress"));
    const QString folder = parent + QStringLiteral("/instance-") + QString::number(::geteuid());
    QDir().mkpath(parent);
    // Made for the user alone; one that exists already is taken only as the check below finds it.
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) == 0)
        ::chmod(QFile::encodeName(folder).constData(), 0700);
    return folder;
}
#endif

} // namespace

QString instanceKey(const QString& programPath)
{
    return QStringLiteral("OneInstUtilWnd:") + programPath;
}

QString instanceWindowClass(const QString& programPath)
{
    const QString key = instanceKey(programPath);
    if (key.size() <= kMaxWindowClassName)
        return key;
    // Simple case mapping, one character at a time, as the window system compares class names
    // (a full mapping would make "SS" of "ß" and let two different paths meet).
    QList<uint> characters = key.toUcs4();
    for (uint& c : characters)
        c = QChar::toUpper(char32_t(c));
    const QString upper = QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()),
                                            characters.size());
    return QStringLiteral("OneInstUtilWnd-")
           + QString::fromLatin1(QCryptographicHash::hash(upper.toUtf8(), QCryptographicHash::Sha256).toHex());
}

#ifndef Q_OS_WIN
std::optional<QString> handOffFolder()
{
    // Qt gives the runtime folder only after checks of its own; it is checked here all the same.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (isPrivateFolder(runtime))
        return runtime;
    const QString own = ownSocketFolder();
    if (isPrivateFolder(own))
        return own;
    return std::nullopt;
}

QString instanceServerName(const QString& programPath)
{
    const QString key = instanceKey(programPath);
    const std::optional<QString> place = handOffFolder();
    if (!place)
        return {};
    const QString& folder = *place;
    auto inFolder = [&folder](const QString& name) {
        return folder.isEmpty() ? name : folder + u'/' + name;
    };
    const QString readable = inFolder(QString::fromLatin1(QUrl::toPercentEncoding(key)));
    if (readable.toLocal8Bit().size() <= kMaxServerName)
        return readable;
    // Too long for a socket: the key's hash, shortened to the room that is left (at least 128 bits).
    const QString prefix = QStringLiteral("OneInstUtilWnd-");
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex());
    const qsizetype room = kMaxServerName - inFolder(prefix).toLocal8Bit().size();
    const QString hashed = inFolder(prefix + hash.left(std::max<qsizetype>(32, room)));
    // A folder so deep that even the shortened hash does not fit: no socket can have the name.
    if (hashed.toLocal8Bit().size() > kMaxSocketPath)
        return {};
    return hashed;
}
#endif

} // namespace qp
