// SPDX-License-Identifier: MIT
#pragma once
// Text widths in a drawing font, safe for lines of any length.
#include <QFont>
#include <QFontMetrics>
#include <QString>

namespace qp {

class TextMeasure {
public:
    // `boldOutline`: the width of the pen that outlines the glyphs when they are drawn (the
    // renderer's emboldening); their ink reaches half that width beyond their outlines.
    explicit TextMeasure(const QFont& font, qreal boldOutline = 0);

    // Advance width of the text in pixels. The text engine keeps positions in a fixed-point
    // format that overflows at about 33 million pixels, so a text that could come near that is
    // measured in chunks (see chunkLength) and the chunk widths are added up.
    qint64 width(const QChar* text, qsizetype length) const;
    qint64 width(const QString& text) const { return width(text.constData(), text.size()); }

    // The box of the pixels a text covers when drawn with the left end of its baseline at (0, 0)
    // (top negative above the baseline; right and bottom exclusive). Empty for a text without ink.
    struct Ink {
        qint64 left = 0, top = 0, right = 0, bottom = 0;
        bool empty() const { return right <= left || bottom <= top; }
        qint64 width() const { return empty() ? 0 : right - left; }
    };
    Ink ink(const QChar* text, qsizetype length) const;
    Ink ink(const QString& text) const { return ink(text.constData(), text.size()); }

    // Line height (ascent plus descent) and ascent of the font.
    int height() const { return m_metrics.height(); }
    int ascent() const { return m_metrics.ascent(); }
    const QFontMetrics& metrics() const { return m_metrics; }
    // Pixels per em of the font.
    int pixelSize() const { return m_pixelSize; }

    // The longest run of characters measured or drawn at once; its width stays far below the
    // engine's limit.
    qsizetype chunkLength() const { return m_chunkLength; }
    // End of the chunk that starts at `start`: never inside a surrogate pair.
    qsizetype chunkEnd(const QChar* text, qsizetype length, qsizetype start) const;

private:
    QFontMetrics m_metrics;
    QFont m_font;
    qreal m_boldOutline;
    qsizetype m_chunkLength;
    int m_pixelSize;
};

} // namespace qp
