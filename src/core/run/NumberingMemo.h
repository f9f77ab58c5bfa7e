// SPDX-License-Identifier: MIT
#pragma once
// What the numbering of file names has learnt during one run: for each numbered name, the lowest
// number that may still be free. Numbers below it were taken when they were probed, and files do
// not come free again unless someone deletes them, so probing can go on from there instead of
// from the start number; a run of many images with the same name then costs one probe per image.
#include <QHash>
#include <QString>

namespace qp {

class NumberingMemo {
public:
    // The number from which to probe for `stem` + number + `extension`, numbering from `start`.
    qint64 firstCandidate(const QString& stem, const QString& extension, qint64 start) const;
    // Probing from `start` found `number` free (it may be taken later, so it stays a candidate).
    void remember(const QString& stem, const QString& extension, qint64 start, qint64 number);
    void clear() { m_next.clear(); }

private:
    static QString key(const QString& stem, const QString& extension, qint64 start);
    QHash<QString, qint64> m_next;
};

} // namespace qp
