// SPDX-License-Identifier: MIT
#include "core/render/TextDrawing.h"

#include "core/render/RenderError.h"
#include "core/render/Saturating.h"
#include "core/render/TextMeasure.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace qp {

namespace {

// Key of the image text that carries the size a fitted image was drawn at ("none": not even 1
// point fits). Image texts stay with the bitmap; the writers never see them.
const QString kFittedPointsKey = QStringLiteral("QuillpressFittedPoints");

// Draws a run of text with the left end of its baseline at `at`; with a bold outline, each glyph is
// filled once more from its outline and outlined with a pen of that width, in the pen's colour.
void drawRun(QPainter& painter, const QPointF& at, const QString& text, qreal boldOutline)
{
    painter.drawText(at, text);
    if (boldOutline <= 0)
        return;
    QPainterPath glyphs;
    glyphs.addText(at, painter.font(), text);
    const QColor colour = painter.pen().color();
    painter.fillPath(glyphs, colour);
    painter.strokePath(glyphs, QPen(colour, boldOutline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

// Draws one line with the left end of its baseline at (x, baseline). Parts far outside the image
// are skipped; a line longer than the measuring chunk is drawn chunk by chunk, so that no
// position handed to the text engine leaves its fixed-point range.
void drawLine(QPainter& painter, const TextMeasure& measure, const QString& line, qint64 x, qint64 baseline,
              qint64 imageWidth, qint64 slack, qreal boldOutline)
{
    constexpr qint64 kChunkWidthBound = qint64(1) << 24;
    if (line.size() <= measure.chunkLength()) {
        if (x > imageWidth + slack || x + kChunkWidthBound + slack < 0)
            return;
        drawRun(painter, QPointF(double(x), double(baseline)), line, boldOutline);
        return;
    }
    const QChar* text = line.constData();
    for (qsizetype start = 0; start < line.size() && x <= imageWidth + slack;) {
        const qsizetype end = measure.chunkEnd(text, line.size(), start);
        const qint64 w = measure.width(text + start, end - start);
        if (x + w + slack >= 0)
            drawRun(painter, QPointF(double(x), double(baseline)), line.mid(start, end - start), boldOutline);
        x += w;
        start = end;
    }
}

// Draws a line stretched to `between` pixels from x by widening its spaces, each space taking an
// equal share (to a pixel) of the room the line leaves. False, drawing nothing, when the line has
// no space or is too wide to stretch. Right-to-left lines run their words from the right.
bool drawJustified(QPainter& painter, const TextMeasure& measure, const QString& line, qint64 x, qint64 baseline,
                   qint64 between, qint64 imageWidth, qint64 slack, qreal boldOutline)
{
    const qsizetype spaces = line.count(u' ');
    const qint64 extra = between - measure.width(line);
    if (spaces == 0 || extra <= 0)
        return false;
    const bool rightToLeft = line.isRightToLeft();
    qsizetype start = 0;
    for (qsizetype gap = 0; gap <= spaces; ++gap) {
        qsizetype end = line.indexOf(u' ', start);
        if (end < 0)
            end = line.size();
        if (end > start) {
            const QString word = line.mid(start, end - start);
            const qint64 before = measure.width(line.constData(), start) + extra * gap / spaces;
            const qint64 wordX = rightToLeft ? x + between - before - measure.width(word) : x + before;
            drawLine(painter, measure, word, wordX, baseline, imageWidth, slack, boldOutline);
        }
        start = end + 1;
    }
    return true;
}

// Turns an image of white glyphs drawn on black into the transparent image: every pixel has the
// text colour, and the glyphs' coverage is its alpha, so that the edges blend into any background
// without a fringe. The colour stays the same where nothing is drawn too, so that formats that
// compress with losses keep it exact. For a format that can make only one colour transparent,
// the pixels the glyphs do not touch at all are the transparent background colour and the others
// are opaque, their edges blended into the background colour as in the opaque image.
void makeTransparent(QImage& image, QColor text, QColor background, bool oneTransparentColour)
{
    const QRgb ink = text.rgb() & 0x00FFFFFFu;
    const QRgb none = background.rgb() & 0x00FFFFFFu;
    const auto blend = [](int t, int b, uint cover) { return (t * int(cover) + b * int(255 - cover) + 127) / 255; };
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = row[x];
            // Grey smoothing leaves the three the same; the largest keeps any colour smoothing.
            const uint cover = std::max({qRed(p), qGreen(p), qBlue(p)});
            if (!oneTransparentColour)
                row[x] = ink | (cover << 24);
            else if (cover == 0)
                row[x] = none;
            else
                row[x] = qRgba(blend(text.red(), background.red(), cover), blend(text.green(), background.green(), cover),
                               blend(text.blue(), background.blue(), cover), 255);
        }
    }
    image.reinterpretAsFormat(QImage::Format_ARGB32);
}

} // namespace

qint64 LineOffset(LineAlignment alignment, qint64 freeWidth, bool rightToLeft)
{
    switch (alignment) {
    case LineAlignment::Left:
        return 0;
    case LineAlignment::Justify:
        return rightToLeft ? freeWidth : 0;
    case LineAlignment::Right:
        return freeWidth;
    case LineAlignment::Centre: {
        // Floor division, then a remaining half goes to the even neighbour.
        qint64 half = freeWidth / 2;
        if (freeWidth % 2 != 0 && freeWidth < 0)
            --half;
        if (freeWidth % 2 != 0 && half % 2 != 0)
            ++half;
        return half;
    }
    }
    return 0;
}

std::optional<qint64> fittedPoints(const QImage& image)
{
    bool ok = false;
    const qint64 points = image.text(kFittedPointsKey).toLongLong(&ok);
    if (ok)
        return points;
    return std::nullopt;
}

bool fitFailed(const QImage& image)
{
    return image.text(kFittedPointsKey) == QLatin1String("none");
}

QImage drawLayout(const TextLayout& layout, const std::function<DrawSettings()>& drawSettings,
                  const std::function<void(qint64 width, qint64 height)>& beforeDrawing)
{
    const qint64 W = std::max<qint64>(layout.width, 1);
    const qint64 H = std::max<qint64>(layout.height, 1);
    checkImageSize(W, H);
    if (beforeDrawing)
        beforeDrawing(W, H);

    QImage image(int(W), int(H), QImage::Format_RGB32);
    if (image.isNull())
        throw RenderError(QStringLiteral("Not enough memory for an image of %1 x %2 pixels.")
                              .arg(W)
                              .arg(H)
                              .toStdString());
    // A transparent image is drawn as the glyphs' coverage first: white on black.
    image.fill(layout.transparent ? QColor(Qt::black) : layout.backgroundColor);

    const DrawSettings drawing = drawSettings();
    const LineAlignment alignment = drawing.alignment;
    {
        QPainter painter(&image);
        painter.setFont(layout.font);
        painter.setPen(layout.transparent ? QColor(Qt::white) : layout.textColor);
        // Only the glyphs are painted, never their cells: overlapping lines show through each other.
        painter.setBackgroundMode(Qt::TransparentMode);
        // The outlines of emboldened glyphs are smoothed as the glyphs are.
        painter.setRenderHint(QPainter::Antialiasing, !(layout.font.styleStrategy() & QFont::NoAntialias));
        const TextMeasure measure(layout.font, layout.boldOutline);
        const qint64 h = layout.lineHeight;
        const qint64 step = satAdd(h, layout.spacing);
        // Glyphs may reach beyond their cells (accents, italics); this much beyond the image a
        // line can no longer touch it.
        const qint64 slack = 4 * h + 64;
        const qint64 between = layout.width - layout.left - layout.right;
        const bool ink = !layout.inkWidth.empty();
        for (qsizetype i = 0; i < layout.lines.size(); ++i) {
            const qint64 y = satAdd(layout.firstTop, satMul(i, step));
            if (y > H + slack || satAdd(y, h + slack) < 0)
                continue;
            const QString& line = layout.lines[i];
            // With the ink box, the line's ink takes the place of its advance box.
            const qint64 shift = ink ? -layout.inkLeft[size_t(i)] : 0;
            if (alignment == LineAlignment::Justify && layout.wrapped[size_t(i)]) {
                const qint64 stretch = ink ? between - layout.inkWidth[size_t(i)] + measure.width(line) : between;
                if (drawJustified(painter, measure, line, layout.left + shift, y + layout.ascent, stretch, W, slack,
                                  layout.boldOutline))
                    continue;
            }
            const bool rightToLeft = alignment == LineAlignment::Justify && line.isRightToLeft();
            const qint64 tw = alignment == LineAlignment::Left || (alignment == LineAlignment::Justify && !rightToLeft)
                                  ? 0
                              : ink ? layout.inkWidth[size_t(i)]
                                    : measure.width(line);
            const qint64 x = layout.left + LineOffset(alignment, between - tw, rightToLeft) + shift;
            drawLine(painter, measure, line, x, y + layout.ascent, W, slack, layout.boldOutline);
        }
    }
    if (layout.transparent)
        makeTransparent(image, layout.textColor, layout.backgroundColor, layout.oneTransparentColour);

    rotateImage(image, drawing.rotation);
    if (layout.fitFailed)
        image.setText(kFittedPointsKey, QStringLiteral("none"));
    else if (layout.fittedPoints)
        image.setText(kFittedPointsKey, QString::number(*layout.fittedPoints));
    return image;
}

} // namespace qp
