// SPDX-License-Identifier: MIT
#include "core/output/SafeFileWriter.h"

#include "core/i18n/Language.h"
#include "core/i18n/SystemErrors.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#ifdef Q_OS_WIN
#include <windows.h>
#include <io.h>
#else
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <optional>
#endif

namespace qp {

namespace {

// The temporary files of the named way: hidden, and recognisable for the clean-up of leftovers.
const char* const kTemporaryPrefix = ".quillpress-";
const char* const kTemporarySuffix = ".part";
// A leftover is removed only when it is at least this old, so that a file another run has just
// created (and not yet locked) is never taken for one.
constexpr std::time_t kLeftoverAge = 60;

bool& unnamedTemporariesAllowed()
{
    static bool allowed = true;
    return allowed;
}

// What failed: the message and its cause are in the interface language, the cause from the
// program's own texts (the C library's follow the desktop's locale instead).
enum class Failure { CreateIn, Create, Write };

[[noreturn]] void fail(Failure failure, const QString& path, const QString& cause)
{
    QString text;
    switch (failure) {
    case Failure::CreateIn:
        text = tr2(QStringLiteral("Im Ordner \"%1\" kann keine Datei angelegt werden: %2"),
                   QStringLiteral("Cannot create a file in \"%1\": %2"));
        break;
    case Failure::Create:
        text = tr2(QStringLiteral("\"%1\" kann nicht angelegt werden: %2"), QStringLiteral("Cannot create \"%1\": %2"));
        break;
    case Failure::Write:
        text = tr2(QStringLiteral("\"%1\" kann nicht geschrieben werden: %2"), QStringLiteral("Cannot write \"%1\": %2"));
        break;
    }
    throw FileWriteError(text.arg(QDir::toNativeSeparators(path), cause).toStdString());
}

[[noreturn]] void fail(Failure failure, const QString& path, int err)
{
    fail(failure, path, systemErrorText(err));
}

#ifdef Q_OS_WIN
[[noreturn]] void failWindows(Failure failure, const QString& path, DWORD code)
{
    fail(failure, path, errnoFromWindowsError(code));
}

LPCWSTR wide(const QString& path)
{
    return reinterpret_cast<LPCWSTR>(path.utf16());
}

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE get() const { return m_handle; }
    // Closes now and tells whether that went through.
    bool close()
    {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return CloseHandle(handle) != 0;
    }

private:
    HANDLE m_handle;
};

// The Windows way: a hidden temporary file in the target folder, opened for this writer alone
// (no other process may open it meanwhile, so the clean-up of leftovers passes it by), written,
// flushed and closed, and only then moved to the image's name. Windows moves a closed file
// only; the move never replaces an existing file, and is written through to the disk.
WriteOutcome writeNamed(const QString& folder, const QString& path, const std::vector<unsigned char>& bytes)
{
    QString tempName;
    HANDLE opened = INVALID_HANDLE_VALUE;
    for (int attempt = 0; opened == INVALID_HANDLE_VALUE; ++attempt) {
        const QString random = QString::number(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFFFull, 36);
        tempName = QDir::toNativeSeparators(folder + QLatin1Char('/') + QLatin1String(kTemporaryPrefix) + random +
                                            QLatin1String(kTemporarySuffix));
        opened = CreateFileW(wide(tempName), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (opened == INVALID_HANDLE_VALUE) {
            const DWORD err = GetLastError();
            if ((err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) || attempt == 100)
                failWindows(Failure::CreateIn, folder, err);
        }
    }
    FileHandle file(opened);
    bool temporaryNamed = true;
    const auto removeTemporary = qScopeGuard([&] {
        if (temporaryNamed) {
            if (file.get() != INVALID_HANDLE_VALUE)
                file.close();
            DeleteFileW(wide(tempName));
        }
    });
    const unsigned char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const DWORD chunk = DWORD(std::min<size_t>(left, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.get(), data, chunk, &written, nullptr) || written == 0)
            failWindows(Failure::Write, path, written == 0 && GetLastError() == ERROR_SUCCESS ? ERROR_DISK_FULL
                                                                                               : GetLastError());
        data += written;
        left -= written;
    }
    if (!FlushFileBuffers(file.get()))
        failWindows(Failure::Write, path, GetLastError());
    if (!file.close())
        failWindows(Failure::Write, path, GetLastError());
    // The image is a normal file, not a hidden one, once it has its name.
    SetFileAttributesW(wide(tempName), FILE_ATTRIBUTE_NORMAL);
    if (!MoveFileExW(wide(tempName), wide(QDir::toNativeSeparators(path)), MOVEFILE_WRITE_THROUGH)) {
        const DWORD err = GetLastError();
        if (err == ERROR_ALREADY_EXISTS || err == ERROR_FILE_EXISTS)
            return WriteOutcome::NameTaken;
        failWindows(Failure::Create, path, err);
    }
    temporaryNamed = false;
    return WriteOutcome::Written;
}
#endif

#ifndef Q_OS_WIN
// The process's file-creation mask, read once when the program loads, before any thread runs:
// where the system reports it, without changing it; otherwise reading it means setting it for a
// moment, which no other thread may see.
mode_t readUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:")) {
                bool ok = false;
                const uint mask = line.mid(6).trimmed().toUInt(&ok, 8);
                if (ok)
                    return mode_t(mask);
            }
        }
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}
const mode_t g_umask = readUmask();

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
    fail(Failure::Create, path, err);
}

void writeAll(int fd, const std::vector<unsigned char>& bytes, const QString& path)
{
    const unsigned char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(Failure::Write, path, n < 0 ? errno : ENOSPC);
        data += n;
        left -= static_cast<size_t>(n);
    }
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    // Closes now and tells whether the last writes reached the file.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

#ifdef O_TMPFILE
// Writes the bytes into a file without a name in the target folder and gives it its name only
// when complete, so that nothing can be left behind: a process killed at any moment leaves either
// no file or the finished one. Nothing when the file system cannot make such files.
std::optional<WriteOutcome> writeUnnamed(const QString& folder, const QString& path,
                                         const std::vector<unsigned char>& bytes)
{
    if (!unnamedTemporariesAllowed())
        return std::nullopt;
    // The mode passes through the file-creation mask like that of any new file.
    FileDescriptor fd(::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        const int err = errno;
        // A file system (or kernel) without nameless files: the named way.
        if (err == EOPNOTSUPP || err == EISDIR || err == EINVAL)
            return std::nullopt;
        fail(Failure::CreateIn, folder, err);
    }
    writeAll(fd.get(), bytes, path);
    const QByteArray target = QFile::encodeName(path);
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd.get());
    // Linking never replaces: an existing name gives EEXIST.
    if (::linkat(AT_FDCWD, self, AT_FDCWD, target.constData(), AT_SYMLINK_FOLLOW) != 0) {
        const int err = errno;
        if (err == EEXIST)
            return WriteOutcome::NameTaken;
        if (err == ENOENT && !QFileInfo::exists(QStringLiteral("/proc/self/fd")))
            return std::nullopt; // no /proc: the named way
        fail(Failure::Create, path, err);
    }
    if (!fd.close()) {
        const int err = errno;
        ::unlink(target.constData());
        fail(Failure::Write, path, err);
    }
    return WriteOutcome::Written;
}
#endif

// The way where nameless files are missing: a hidden temporary file in the target folder, locked
// while it is written (a later run removes such a file only when no one holds it), moved to its
// name when complete.
WriteOutcome writeNamed(const QString& folder, const QString& path, const std::vector<unsigned char>& bytes)
{
    QByteArray tempName;
    int opened = -1;
    for (int attempt = 0; opened < 0; ++attempt) {
        const QString random = QString::number(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFFFull, 36);
        tempName = QFile::encodeName(folder + QLatin1Char('/') + QLatin1String(kTemporaryPrefix) + random +
                                     QLatin1String(kTemporarySuffix));
        opened = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (opened < 0 && (errno != EEXIST || attempt == 100))
            fail(Failure::CreateIn, folder, errno);
    }
    FileDescriptor fd(opened);
    // The temporary name goes on every way out but the one that moves it to the image's name.
    bool temporaryNamed = true;
    const auto removeTemporary = qScopeGuard([&] {
        if (temporaryNamed)
            ::unlink(tempName.constData());
    });
    ::flock(fd.get(), LOCK_EX);
    writeAll(fd.get(), bytes, path);
    // Created private; the image gets the permissions of a normal new file, as the user's
    // file-creation mask makes them.
    ::fchmod(fd.get(), 0666 & ~g_umask);
    // Moved while still open and locked, so that no clean-up takes it on the way.
    const QByteArray target = QFile::encodeName(path);
    if (!moveWithoutReplacing(tempName, target, path))
        return WriteOutcome::NameTaken;
    temporaryNamed = false;
    // Closing is the last chance for the system to report that written bytes did not reach the
    // file (a network file system reports it only there): the image is then a failed one.
    if (!fd.close()) {
        const int err = errno;
        ::unlink(target.constData());
        fail(Failure::Write, path, err);
    }
    return WriteOutcome::Written;
}
#endif

} // namespace

void useUnnamedTemporaryFiles(bool allowed)
{
    unnamedTemporariesAllowed() = allowed;
}

void removeLeftoverTemporaries(const QString& folder)
{
#ifndef Q_OS_WIN
    const std::time_t threshold = std::time(nullptr) - kLeftoverAge;
    const QString pattern = QLatin1String(kTemporaryPrefix) + QStringLiteral("*") + QLatin1String(kTemporarySuffix);
    QDirIterator it(folder, {pattern}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    while (it.hasNext()) {
        const QByteArray name = QFile::encodeName(it.next());
        FileDescriptor fd(::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat opened {};
        if (fd.get() < 0 || ::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode))
            continue;
        // A writer holds its temporary file locked until the file has its final name; the lock
        // goes with the writer's process, however it ends.
        if (opened.st_mtime >= threshold || ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        struct stat named {};
        if (::lstat(name.constData(), &named) == 0 && named.st_ino == opened.st_ino && named.st_dev == opened.st_dev)
            ::unlink(name.constData());
    }
#else
    // A writer holds its temporary file open for itself alone until it is complete; a file that
    // can be opened for deletion with no one else sharing it is no longer being written.
    const QDateTime threshold = QDateTime::currentDateTimeUtc().addSecs(-kLeftoverAge);
    const QString pattern = QLatin1String(kTemporaryPrefix) + QStringLiteral("*") + QLatin1String(kTemporarySuffix);
    QDirIterator it(folder, {pattern}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    while (it.hasNext()) {
        const QString name = it.next();
        if (QFileInfo(name).lastModified().toUTC() >= threshold)
            continue;
        const HANDLE handle = CreateFileW(wide(QDir::toNativeSeparators(name)), DELETE, 0, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
#endif
}

int syncFileData(int fd)
{
#ifdef Q_OS_WIN
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    return FlushFileBuffers(handle) ? 0 : errnoFromWindowsError(GetLastError());
#else
    while (::fdatasync(fd) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
#endif
}

int syncFolder(const QString& folder)
{
#ifdef Q_OS_WIN
    // Renames go through with write-through; a folder cannot be flushed on its own.
    Q_UNUSED(folder);
    return 0;
#else
    FileDescriptor fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0)
        return errno;
    while (::fsync(fd.get()) != 0) {
        // Some file systems cannot flush a folder; that is no failure of the file's.
        if (errno == EINVAL || errno == EROFS)
            return 0;
        if (errno != EINTR)
            return errno;
    }
    return 0;
#endif
}

FileSystemSync::~FileSystemSync()
{
#ifndef Q_OS_WIN
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void FileSystemSync::watch(const QString& folder)
{
    if (!m_folder.isEmpty())
        return;
    m_folder = folder;
#ifndef Q_OS_WIN
    m_fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#endif
}

int FileSystemSync::flush()
{
    if (m_folder.isEmpty())
        return 0;
#if defined(Q_OS_LINUX)
    if (m_fd < 0)
        return 0;
    // Reports a write-back failure of the file system since the folder was opened.
    return ::syncfs(m_fd) == 0 ? 0 : errno;
#elif defined(Q_OS_WIN)
    // Each file is flushed as it is moved into place (write-through).
    return 0;
#else
    ::sync();
    return 0;
#endif
}

WriteOutcome writeNewFile(const QString& path, const std::vector<unsigned char>& bytes)
{
    const QFileInfo target(path);
#ifdef Q_OS_UNIX
    // Anything under the name takes it, a dangling link too: one system call.
    struct stat existing {};
    if (::lstat(QFile::encodeName(path).constData(), &existing) == 0)
        return WriteOutcome::NameTaken;
#else
    if (target.exists() || target.isSymLink())
        return WriteOutcome::NameTaken;
#endif

#if !defined(Q_OS_WIN) && defined(O_TMPFILE)
    if (const auto outcome = writeUnnamed(target.absolutePath(), path, bytes))
        return *outcome;
#endif

    return writeNamed(target.absolutePath(), path, bytes);
}

} // namespace qp
