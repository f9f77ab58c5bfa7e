// SPDX-License-Identifier: MIT
#include "core/run/NumberingMemo.h"

namespace qp {

namespace {

// Names remembered at most; beyond that the memo starts afresh (probing from the start number is
// always right, only slower), so memory stays bounded in a run of many different names.
constexpr qsizetype kMaxNames = 1 << 16;

} // namespace

QString NumberingMemo::key(const QString& stem, const QString& extension, qint64 start)
{
    // Extension and number never hold NUL, so a key splits back into its parts in one way only.
    return stem + QChar(0) + extension + QChar(0) + QString::number(start);
}

qint64 NumberingMemo::firstCandidate(const QString& stem, const QString& extension, qint64 start) const
{
    return m_next.value(key(stem, extension, start), start);
}

void NumberingMemo::remember(const QString& stem, const QString& extension, qint64 start, qint64 number)
{
    if (m_next.size() >= kMaxNames)
        m_next.clear();
    m_next.insert(key(stem, extension, start), number);
}

} // namespace qp
