// SPDX-License-Identifier: MIT
#include "core/render/WrapSearch.h"

#include "core/render/WrapLine.h"

#include <QElapsedTimer>
#include <unordered_map>
#include <vector>

namespace qp {

namespace {

// Pieces longer than this are first compared with the start's known limit (see Search::limit);
// shorter ones are measured directly, which costs less than finding the limit.
constexpr qsizetype kDirectMeasureLength = 256;
// The memo of measured pieces starts afresh when it holds this many, so that memory stays bounded
// however long the line is.
constexpr size_t kMemoLimit = size_t(1) << 20;

bool isSpace(QChar c)
{
    return c.unicode() <= 32;
}

// The same pieces as WrapPieces, found in constant time per piece from tables built once per line,
// so that the many trials of a long line never scan its text again.
class PieceTables {
public:
    explicit PieceTables(const QString& line) : m_text(line.constData()), m_length(line.size())
    {
        const qsizetype n = m_length;
        m_lastBreak.resize(size_t(n));
        m_firstNonSpace.resize(size_t(n) + 1);
        m_endNonSpace.resize(size_t(n) + 1);
        qsizetype lastBreak = -1;
        m_endNonSpace[0] = 0;
        for (qsizetype i = 0; i < n; ++i) {
            if (isWrapBreakCharacter(m_text[i]))
                lastBreak = i;
            m_lastBreak[size_t(i)] = lastBreak;
            m_endNonSpace[size_t(i) + 1] = isSpace(m_text[i]) ? m_endNonSpace[size_t(i)] : i + 1;
        }
        m_firstNonSpace[size_t(n)] = n;
        for (qsizetype i = n - 1; i >= 0; --i)
            m_firstNonSpace[size_t(i)] = isSpace(m_text[i]) ? m_firstNonSpace[size_t(i) + 1] : i;
    }

    // The piece that starts at untrimmed position i for the count k, trimmed; returns the
    // position after it.
    qsizetype piece(qsizetype i, qsizetype k, WrapPiece& piece) const
    {
        qsizetype last;
        if (m_length - i <= k) {
            last = m_length - 1;
        } else {
            const qsizetype e = i + k - 1;
            last = wrapPieceLast(m_text, i, e, m_lastBreak[size_t(e)]);
        }
        const qsizetype end = last + 1;
        const qsizetype start = std::min(m_firstNonSpace[size_t(i)], end);
        piece.start = start;
        piece.end = start == end ? end : m_endNonSpace[size_t(end)];
        return end;
    }

private:
    const QChar* m_text;
    qsizetype m_length;
    std::vector<qsizetype> m_lastBreak;     // last break character at or before i, or -1
    std::vector<qsizetype> m_firstNonSpace; // first character above 32 at or after i, or the length
    std::vector<qsizetype> m_endNonSpace;   // end of the text up to i without its trailing spaces
};

class Search {
public:
    Search(const QString& line, const PieceWidth& width, const WrapSearchOptions& options)
        : m_text(line.constData()), m_length(line.size()), m_width(width), m_options(options),
          m_limits(size_t(line.size()) + 1, kUnknown)
    {
    }

    bool fits(const WrapPiece& piece)
    {
        if (piece.size() <= 0)
            return 0 <= m_options.available;
        const qsizetype known = m_limits[size_t(piece.start)];
        if (known != kUnknown && piece.end >= known)
            return false;
        const quint64 key = quint64(piece.start) * quint64(m_length + 1) + quint64(piece.end);
        if (const auto it = m_memo.find(key); it != m_memo.end())
            return it->second;
        if (piece.size() > kDirectMeasureLength && piece.end >= limit(piece.start))
            return false;
        const bool result = m_width(m_text + piece.start, piece.size()) <= m_options.available;
        if (m_memo.size() >= kMemoLimit)
            m_memo.clear();
        m_memo.emplace(key, result);
        return result;
    }

private:
    static constexpr qsizetype kUnknown = -1;

    // A text end that does not split a surrogate pair.
    qsizetype wholeEnd(qsizetype end) const
    {
        if (end < m_length && end > 0 && m_text[end - 1].isHighSurrogate() && m_text[end].isLowSurrogate())
            ++end;
        return end;
    }

    bool tooWideForAnyExtension(qsizetype start, qsizetype end) const
    {
        return m_width(m_text + start, end - start) > m_options.available + m_options.shrinkBound;
    }

    // The start's limit: an end such that the text from start to it is wider than available plus
    // the shrink bound, so that no piece from start reaching that end can fit. Found with lengths
    // doubling from 1 and then halving the last step, so it costs a few measurements of about the
    // fitting length. The line's length plus one when even the rest of the line may fit.
    qsizetype limit(qsizetype start)
    {
        qsizetype& known = m_limits[size_t(start)];
        if (known != kUnknown)
            return known;
        qsizetype fitting = start; // an end at which the text was not too wide
        qsizetype tooWide = m_length + 1;
        for (qsizetype step = 1;; step *= 2) {
            const qsizetype end = wholeEnd(std::min(m_length, start + step));
            if (tooWideForAnyExtension(start, end)) {
                tooWide = end;
                break;
            }
            fitting = end;
            if (end >= m_length)
                break;
        }
        while (tooWide <= m_length && tooWide - fitting > 1) {
            const qsizetype middle = wholeEnd(fitting + (tooWide - fitting) / 2);
            if (middle >= tooWide)
                break;
            if (tooWideForAnyExtension(start, middle))
                tooWide = middle;
            else
                fitting = middle;
        }
        known = tooWide;
        return known;
    }

    const QChar* m_text;
    qsizetype m_length;
    const PieceWidth& m_width;
    const WrapSearchOptions& m_options;
    std::vector<qsizetype> m_limits;
    std::unordered_map<quint64, bool> m_memo;
};

} // namespace

qsizetype FindWrapCount(const QString& line, const PieceWidth& width, const WrapSearchOptions& options)
{
    const qsizetype c = line.size();
    if (c < 2)
        return c;

    QElapsedTimer sinceYield;
    bool yielded = false;
    auto afterTrial = [&] {
        if (!options.yield)
            return;
        if (yielded && sinceYield.isValid() && sinceYield.elapsed() < options.yieldIntervalMs)
            return;
        yielded = true;
        options.yield();
        sinceYield.start();
    };

    if (options.alwaysFits) {
        afterTrial();
        return c - 1;
    }

    const PieceTables tables(line);
    Search search(line, width, options);
    for (qsizetype k = c - 1; k >= 1; --k) {
        bool fits = true;
        WrapPiece piece;
        for (qsizetype i = 0; fits && i < c;) {
            i = tables.piece(i, k, piece);
            fits = search.fits(piece);
        }
        afterTrial();
        if (fits)
            return k;
    }
    return 1;
}

} // namespace qp
