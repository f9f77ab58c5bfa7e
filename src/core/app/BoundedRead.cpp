// SPDX-License-Identifier: MIT
#include "core/app/BoundedRead.h"

#include "core/i18n/Language.h"
#include "core/i18n/SystemErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace qp {

namespace {

constexpr qint64 kStep = 64 * 1024;

BoundedRead failed(ReadProblem problem, qint64 limit, int error = 0)
{
    BoundedRead read;
    read.problem = problem;
    read.error = error;
    read.limit = limit;
    return read;
}

// Appends what `readSome` gives, step by step, until it reports the end (0) or a failure (-1), or
// until the limit is passed.
template <typename ReadSome>
BoundedRead readSteps(qint64 limit, ReadSome readSome)
{
    BoundedRead read;
    for (;;) {
        const qint64 room = std::min<qint64>(kStep, limit + 1 - read.bytes.size());
        const qsizetype had = read.bytes.size();
        read.bytes.resize(had + room);
        const qint64 n = readSome(read.bytes.data() + had, room);
        read.bytes.resize(had + std::max<qint64>(n, 0));
        if (n < 0)
            return failed(ReadProblem::Unreadable, limit, errno);
        if (n == 0)
            return read;
        if (read.bytes.size() > limit)
            return failed(ReadProblem::TooLarge, limit);
    }
}

} // namespace

ReadProblem regularFileProblem(const QString& path, qint64 limit)
{
    const QFileInfo info(path); // follows links, as opening does
    if (!info.exists())
        return ReadProblem::Missing;
    if (!info.isFile())
        return ReadProblem::NotAFile;
    if (info.size() > limit)
        return ReadProblem::TooLarge;
    return ReadProblem::None;
}

BoundedRead readRegularFile(const QString& path, qint64 limit)
{
#ifdef Q_OS_UNIX
    // Opening never waits (a named pipe without a writer would), and the kind is checked on what
    // was opened, so nothing can be swapped in between a check and the read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int err = errno;
        return failed(err == ENOENT ? ReadProblem::Missing : ReadProblem::Unreadable, limit, err);
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return failed(ReadProblem::Unreadable, limit, errno);
    if (!S_ISREG(st.st_mode))
        return failed(ReadProblem::NotAFile, limit);
    if (st.st_size > limit)
        return failed(ReadProblem::TooLarge, limit);
    return readSteps(limit, [fd](char* data, qint64 room) -> qint64 {
        for (;;) {
            const ssize_t n = ::read(fd, data, size_t(room));
            if (n < 0 && errno == EINTR)
                continue;
            return n;
        }
    });
#else
    const ReadProblem problem = regularFileProblem(path, limit);
    if (problem != ReadProblem::None)
        return failed(problem, limit);
    return readStream(path, limit);
#endif
}

BoundedRead readStream(QIODevice& device, qint64 limit)
{
    return readSteps(limit, [&device](char* data, qint64 room) {
        errno = 0;
        const qint64 n = device.read(data, room);
        // A read that fails without a system error (a device's own) still fails.
        if (n < 0 && errno == 0)
            errno = EIO;
        return n;
    });
}

BoundedRead readStream(const QString& path, qint64 limit)
{
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly)) {
        int err = errno;
#ifdef Q_OS_WIN
        // Files are opened through the Windows API, which leaves errno alone: a missing file is
        // told by looking, any other cause by the system's code for the failed open.
        if (err == 0) {
            const DWORD code = GetLastError();
            err = QFileInfo::exists(path) ? errnoFromWindowsError(code) : ENOENT;
        }
#endif
        return failed(err == ENOENT ? ReadProblem::Missing : ReadProblem::Unreadable, limit, err);
    }
    return readStream(file, limit);
}

QString readProblemText(const QString& path, ReadProblem problem, qint64 limit)
{
    BoundedRead read;
    read.problem = problem;
    read.limit = limit;
    return readProblemText(path, read);
}

QString readProblemText(const QString& path, const BoundedRead& read)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (read.problem) {
    case ReadProblem::None:
        return {};
    case ReadProblem::NotAFile:
        return tr2(QStringLiteral("\"%1\" ist keine gew\u00F6hnliche Datei"),
                   QStringLiteral("\"%1\" is not a regular file"))
            .arg(shown);
    case ReadProblem::TooLarge:
        return tr2(QStringLiteral("\"%1\" ist gr\u00F6\u00DFer als die erlaubten %2 MiB"),
                   QStringLiteral("\"%1\" is larger than the allowed %2 MiB"))
            .arg(shown)
            .arg(read.limit / (1024 * 1024));
    case ReadProblem::Missing:
    case ReadProblem::Unreadable:
        return tr2(QStringLiteral("\"%1\" kann nicht gelesen werden: %2"), QStringLiteral("Cannot read \"%1\": %2"))
            .arg(shown, systemErrorText(read.problem == ReadProblem::Missing ? ENOENT : read.error));
    }
    return {};
}

} // namespace qp
