// SPDX-License-Identifier: MIT
// Fuzzes line wrapping: every piece holds at most k characters (a surrogate pair counts whole), and
// the pieces, trimmed, are the line's characters in order.
#include "core/render/WrapLine.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int k = 1 + data[0] % 40;
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QString wrapped = qp::WrapLine(line, k);
    QString joined;
    for (const QString& piece : wrapped.split(QStringLiteral("\r\n"))) {
        if (piece.size() > k + 1) // one more unit only for a pair that cannot be split
            std::abort();
        joined += piece;
    }
    // Nothing but characters up to code 32 may be lost.
    QString kept;
    for (QChar c : line)
        if (c.unicode() > 32)
            kept += c;
    QString got;
    for (QChar c : joined)
        if (c.unicode() > 32)
            got += c;
    if (kept != got)
        std::abort();
    return 0;
}
