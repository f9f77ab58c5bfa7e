// SPDX-License-Identifier: MIT
#pragma once
// Breaking one line into pieces of at most k characters, preferring the break characters tab,
// space and hyphen.
#include <QString>

namespace qp {

// Whether c may end a piece: tab, space or hyphen. A character above 255 never does.
constexpr bool isWrapBreakCharacter(QChar c)
{
    const char16_t u = c.unicode();
    return u == 9 || u == 32 || u == 45;
}

// The last character of an untrimmed piece that starts at i and may reach e = i + k - 1 (with
// characters beyond e in the line), given j, the last break character in i..e or any j <= i when
// there is none: j itself, or else a hard cut at e that never separates a surrogate pair.
inline qsizetype wrapPieceLast(const QChar* text, qsizetype i, qsizetype e, qsizetype j)
{
    if (j > i)
        return j;
    if (text[e].isHighSurrogate() && text[e + 1].isLowSurrogate())
        return e > i ? e - 1 : e + 1;
    return e;
}

// One piece of a wrapped line, as the half-open index range [start, end) into the line after
// trimming characters with codes up to 32 from both ends (a trailing hyphen stays).
struct WrapPiece {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype size() const { return end - start; }
};

// Walks the pieces of a line for a piece length k without building any strings, so that a
// wrapping trial can stop at the first piece that does not fit.
class WrapPieces {
public:
    WrapPieces(const QChar* text, qsizetype length, qsizetype k);
    explicit WrapPieces(const QString& line, qsizetype k) : WrapPieces(line.constData(), line.size(), k) {}
    // The next piece; false when the line is used up.
    bool next(WrapPiece& piece);

private:
    const QChar* m_text;
    qsizetype m_length;
    qsizetype m_k;
    qsizetype m_pos = 0;
};

// The line broken into pieces of at most k characters (k below 1 counts as 1), each piece trimmed,
// joined by CR LF with none at the end. A piece ends after the last break character within its k
// characters (never at its first character); without one it is cut hard after k characters, with
// no hyphen added. A hard cut never separates the two halves of a surrogate pair: the piece ends
// one unit earlier, or one later when the pair is all it holds.
QString WrapLine(const QString& line, qsizetype k);

} // namespace qp
