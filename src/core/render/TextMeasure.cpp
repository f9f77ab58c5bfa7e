// SPDX-License-Identifier: MIT
#include "core/render/TextMeasure.h"

#include <QImage>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace qp {

namespace {

// Metrics for drawing on a QImage (96 dpi), whatever the screen is.
const QPaintDevice* measuringDevice()
{
    static const QImage device(1, 1, QImage::Format_RGB32);
    return &device;
}

} // namespace

TextMeasure::TextMeasure(const QFont& font, qreal boldOutline)
    : m_metrics(font, measuringDevice()), m_font(font), m_boldOutline(std::max<qreal>(boldOutline, 0)),
      m_pixelSize(font.pixelSize())
{
    // A chunk's width stays below 2^24 pixels even if every character were four times as wide
    // as the widest glyph of the font (fallback fonts may be wider).
    constexpr qint64 kSafeWidth = qint64(1) << 24;
    const qint64 widest = std::max<qint64>({m_metrics.maxWidth(), font.pixelSize(), 1});
    m_chunkLength = std::max<qint64>(1, kSafeWidth / (4 * widest));
}

qsizetype TextMeasure::chunkEnd(const QChar* text, qsizetype length, qsizetype start) const
{
    qsizetype end = std::min(length, start + m_chunkLength);
    if (end < length && end > start + 1 && text[end - 1].isHighSurrogate() && text[end].isLowSurrogate())
        --end;
    return end;
}

TextMeasure::Ink TextMeasure::ink(const QChar* text, qsizetype length) const
{
    Ink all;
    qint64 x = 0;
    for (qsizetype start = 0; start < length;) {
        const qsizetype end = chunkEnd(text, length, start);
        const QString chunk = QString::fromRawData(text + start, end - start);
        QRect box = m_metrics.tightBoundingRect(chunk);
        if (m_boldOutline > 0) {
            // The outline pen reaches half its width beyond the glyphs' outlines.
            QPainterPath glyphs;
            glyphs.addText(0, 0, m_font, chunk);
            const QRectF outlined = glyphs.boundingRect().adjusted(-m_boldOutline / 2, -m_boldOutline / 2,
                                                                   m_boldOutline / 2, m_boldOutline / 2);
            if (!glyphs.isEmpty())
                box |= QRect(QPoint(int(std::floor(outlined.left())), int(std::floor(outlined.top()))),
                             QPoint(int(std::ceil(outlined.right())) - 1, int(std::ceil(outlined.bottom())) - 1));
        }
        if (!box.isEmpty()) {
            const Ink part{x + box.left(), box.top(), x + box.left() + box.width(), box.top() + box.height()};
            all = all.empty() ? part
                              : Ink{std::min(all.left, part.left), std::min(all.top, part.top),
                                    std::max(all.right, part.right), std::max(all.bottom, part.bottom)};
        }
        x += m_metrics.horizontalAdvance(chunk);
        start = end;
    }
    return all;
}

qint64 TextMeasure::width(const QChar* text, qsizetype length) const
{
    if (length <= 0)
        return 0;
    if (length <= m_chunkLength)
        return m_metrics.horizontalAdvance(QString::fromRawData(text, length));
    qint64 total = 0;
    for (qsizetype start = 0; start < length;) {
        const qsizetype end = chunkEnd(text, length, start);
        total += m_metrics.horizontalAdvance(QString::fromRawData(text + start, end - start));
        start = end;
    }
    return total;
}

} // namespace qp
