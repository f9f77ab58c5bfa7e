// SPDX-License-Identifier: MIT
#pragma once
// Finds the piece length at which a too-wide line is wrapped: the first k, counting down from the
// line's length minus one, at which every piece of WrapLine(line, k) fits the available width.
#include <QString>
#include <functional>

namespace qp {

// Width in pixels of `length` characters starting at `text`.
using PieceWidth = std::function<qint64(const QChar* text, qsizetype length)>;

struct WrapSearchOptions {
    // Room for a piece: a piece fits when its width is at most this.
    qint64 available = 0;
    // The first trial fits whatever its pieces measure (the margins alone fill the image).
    bool alwaysFits = false;
    // How much narrower a text can become when characters are appended to it (kerning, ligatures
    // and contextual forms change only the glyphs next to the join). A piece wider than
    // available + shrinkBound therefore proves that every longer piece from the same start does
    // not fit either, and such pieces are never measured.
    qint64 shrinkBound = 0;
    // Called after the first trial and then at most every yieldIntervalMs milliseconds between
    // trials, so that a long search keeps the program responsive without the hook dominating.
    std::function<void()> yield;
    int yieldIntervalMs = 10;
};

// The piece length wrapping takes for `line`: the largest k from size - 1 down to 1 at which every
// piece fits, or 1 when none does; the line's size when it has fewer than two characters. The
// result equals trying every k in turn and measuring all its pieces, but each piece width is
// measured at most once, a trial stops at its first piece that does not fit, and pieces that are
// known to be too wide are skipped, so that the cost grows about linearly with the line's length.
qsizetype FindWrapCount(const QString& line, const PieceWidth& width, const WrapSearchOptions& options);

} // namespace qp
