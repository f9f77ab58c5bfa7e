// SPDX-License-Identifier: MIT
#include "core/output/MemoryEstimate.h"

#include "codec/FormatRow.h"
#include "core/i18n/Language.h"
#include "core/output/StoreImage.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <limits>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace qp {

namespace {

qint64& budgetOverride()
{
    static qint64 bytes = 0;
    return bytes;
}

// Peak bytes per pixel from the drawn bitmap to the written file: the format row of the extension
// says.
int bytesPerPixel(const QString& fileName)
{
    const QString ext = upperExtension(fileName);
    const imaging::TFormatRow* row =
        ext.isEmpty() ? nullptr : imaging::FindFormatRowByExtension(ext.mid(1).toLower().toStdString());
    return row ? row->MemoryBytesPerPixel : imaging::DefaultMemoryBytesPerPixel;
}

qint64 physicalMemory()
{
#ifdef Q_OS_WIN
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) ? static_cast<qint64>(status.ullTotalPhys) : 0;
#else
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && pageSize > 0 ? qint64(pages) * pageSize : 0;
#endif
}

// The memory limit of the process's control group (a container, a service), 0 when none is set.
qint64 controlGroupLimit()
{
#ifdef Q_OS_LINUX
    QStringList candidates;
    QFile groups(QStringLiteral("/proc/self/cgroup"));
    if (groups.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : groups.readAll().split('\n')) {
            const QList<QByteArray> parts = line.split(':');
            if (parts.size() != 3)
                continue;
            const QString path = QString::fromUtf8(parts[2]);
            if (parts[0] == "0" && parts[1].isEmpty())
                candidates << QStringLiteral("/sys/fs/cgroup") + path + QStringLiteral("/memory.max");
            else if (parts[1].split(',').contains("memory"))
                candidates << QStringLiteral("/sys/fs/cgroup/memory") + path + QStringLiteral("/memory.limit_in_bytes");
        }
    }
    // Inside a container the group's own folder is the root of the mount.
    candidates << QStringLiteral("/sys/fs/cgroup/memory.max")
               << QStringLiteral("/sys/fs/cgroup/memory/memory.limit_in_bytes");
    qint64 limit = 0;
    for (const QString& candidate : candidates) {
        QFile f(candidate);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        bool ok = false;
        const qint64 value = f.readAll().trimmed().toLongLong(&ok);
        // "max", or a value near the largest number, means no limit.
        if (ok && value > 0 && value < (qint64(1) << 60))
            limit = limit == 0 ? value : std::min(limit, value);
    }
    return limit;
#else
    return 0;
#endif
}

QString megabytes(qint64 bytes)
{
    return QString::number((bytes + (1 << 20) - 1) >> 20);
}

} // namespace

qint64 estimatedImageMemory(qint64 width, qint64 height, const QString& fileName)
{
    const qint64 pixels = std::max<qint64>(width, 1) * std::max<qint64>(height, 1);
    const int need = bytesPerPixel(fileName);
    if (pixels > std::numeric_limits<qint64>::max() / need)
        return std::numeric_limits<qint64>::max();
    return pixels * need;
}

qint64 imageMemoryBudget()
{
    if (budgetOverride() > 0)
        return budgetOverride();
    qint64 memory = physicalMemory();
    const qint64 group = controlGroupLimit();
    if (group > 0 && (memory == 0 || group < memory))
        memory = group;
    // Unknown: no limit from here; a failed allocation is still reported for its image.
    return memory > 0 ? memory / 2 : std::numeric_limits<qint64>::max();
}

void setImageMemoryBudget(qint64 bytes)
{
    budgetOverride() = std::max<qint64>(bytes, 0);
}

void checkImageMemory(qint64 width, qint64 height, const QString& fileName)
{
    checkImageMemory(width, height, fileName, imageMemoryBudget());
}

void checkImageMemory(qint64 width, qint64 height, const QString& fileName, qint64 budget)
{
    const qint64 need = estimatedImageMemory(width, height, fileName);
    if (need <= budget)
        return;
    const QString ext = upperExtension(fileName).toLower();
    throw MemoryError(tr2(QStringLiteral("Das Bild von %1 x %2 Pixeln bräuchte als %3 etwa %4 MB Speicher, mehr als "
                                         "die %5 MB, die dieser Rechner einem Bild geben kann (die Hälfte seines "
                                         "Arbeitsspeichers)."),
                          QStringLiteral("The image of %1 x %2 pixels would need about %4 MB of memory as %3, more "
                                         "than the %5 MB this computer can give to one image (half of its memory)."))
                          .arg(width)
                          .arg(height)
                          .arg(ext.isEmpty() ? QStringLiteral("?") : ext, megabytes(need), megabytes(budget))
                          .toStdString());
}

} // namespace qp
