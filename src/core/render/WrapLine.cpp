// SPDX-License-Identifier: MIT
#include "core/render/WrapLine.h"

#include <algorithm>

namespace qp {

WrapPieces::WrapPieces(const QChar* text, qsizetype length, qsizetype k)
    : m_text(text), m_length(length), m_k(std::max<qsizetype>(k, 1))
{
}

bool WrapPieces::next(WrapPiece& piece)
{
    if (m_pos >= m_length)
        return false;
    const qsizetype i = m_pos;
    qsizetype last; // index of the last character of the untrimmed piece
    if (m_length - i <= m_k) {
        last = m_length - 1;
    } else {
        const qsizetype e = i + m_k - 1;
        qsizetype j = e;
        while (j > i && !isWrapBreakCharacter(m_text[j]))
            --j;
        last = wrapPieceLast(m_text, i, e, j);
    }
    m_pos = last + 1;

    qsizetype start = i;
    qsizetype end = last + 1;
    while (start < end && m_text[start].unicode() <= 32)
        ++start;
    while (end > start && m_text[end - 1].unicode() <= 32)
        --end;
    piece.start = start;
    piece.end = end;
    return true;
}

QString WrapLine(const QString& line, qsizetype k)
{
    QString result;
    result.reserve(line.size() + line.size() / std::max<qsizetype>(k, 1) * 2 + 2);
    WrapPieces pieces(line, k);
    WrapPiece piece;
    bool first = true;
    while (pieces.next(piece)) {
        if (!first)
            result += QLatin1String("\r\n");
        first = false;
        result.append(line.constData() + piece.start, piece.size());
    }
    return result;
}

} // namespace qp
