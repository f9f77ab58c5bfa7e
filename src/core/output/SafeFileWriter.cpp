#include "output/SafeFileWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace qp {

namespace {

[[noreturn]] void fail(const QString& what, const QString& path, int err)
{
    throw FileWriteError(QStringLiteral("%1 \"%2\": %3")
                             .arg(what, QDir::toNativeSeparators(path),
                                  QString::fromLocal8Bit(std::strerror(err)))
                             .toStdString());
}

#ifndef Q_OS_WIN
// The process's file-creation mask (reading it means setting it; the program has one thread).
mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// Moves `from` to `to` unless `to` exists. True when moved; false when the name is taken.
bool moveWithoutReplacing(const QByteArray& from, const QByteArray& to, const QString& path)
{
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return true;
    }
    int err = errno;
    if (err == EEXIST)
        return false;
#ifdef RENAME_NOREPLACE
    // File systems without hard links (some removable media) may still rename without replacing.
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    err = errno;
    if (err == EEXIST)
        return false;
#endif
    fail(QStringLiteral("Cannot create"), path, err);
}
#endif

} // namespace

WriteOutcome writeNewFile(const QString& path, const std::vector<unsigned char>& bytes)
{
    const QFileInfo target(path);
    if (target.exists() || target.isSymLink())
        return WriteOutcome::NameTaken;

    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.quillpress-XXXXXX.part"));
    temp.setAutoRemove(true);
    if (!temp.open())
        throw FileWriteError(QStringLiteral("Cannot create a file in \"%1\": %2")
                                 .arg(QDir::toNativeSeparators(target.absolutePath()), temp.errorString())
                                 .toStdString());
    const char* data = reinterpret_cast<const char*>(bytes.data());
    qint64 left = static_cast<qint64>(bytes.size());
    while (left > 0) {
        const qint64 n = temp.write(data, left);
        if (n <= 0)
            throw FileWriteError(QStringLiteral("Cannot write \"%1\": %2")
                                     .arg(QDir::toNativeSeparators(path), temp.errorString())
                                     .toStdString());
        data += n;
        left -= n;
    }
    if (!temp.flush())
        throw FileWriteError(QStringLiteral("Cannot write \"%1\": %2")
                                 .arg(QDir::toNativeSeparators(path), temp.errorString())
                                 .toStdString());
    // Temporary files are created private; the image gets the permissions of a normal new file,
    // as the user's file-creation mask makes them.
#ifndef Q_OS_WIN
    ::fchmod(temp.handle(), 0666 & ~currentUmask());
#endif
    const QString tempName = temp.fileName();
    temp.close();

#ifdef Q_OS_WIN
    const bool moved = MoveFileExW(reinterpret_cast<LPCWSTR>(tempName.utf16()),
                                   reinterpret_cast<LPCWSTR>(path.utf16()), MOVEFILE_WRITE_THROUGH);
    if (!moved) {
        const DWORD err = GetLastError();
        if (err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS)
            return WriteOutcome::NameTaken;
        throw FileWriteError(QStringLiteral("Cannot create \"%1\" (error %2)")
                                 .arg(QDir::toNativeSeparators(path))
                                 .arg(err)
                                 .toStdString());
    }
    temp.setAutoRemove(false);
    return WriteOutcome::Written;
#else
    const bool moved = moveWithoutReplacing(QFile::encodeName(tempName), QFile::encodeName(path), path);
    if (moved)
        temp.setAutoRemove(false); // the temporary name is gone; nothing to remove
    return moved ? WriteOutcome::Written : WriteOutcome::NameTaken;
#endif
}

} // namespace qp
