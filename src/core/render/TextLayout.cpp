// SPDX-License-Identifier: MIT
#include "core/render/TextLayout.h"

#include "core/render/RenderError.h"
#include "core/render/Saturating.h"
#include "core/render/TextMeasure.h"
#include "core/render/WrapLine.h"
#include "core/render/WrapSearch.h"

#include <algorithm>

namespace qp {

namespace {

std::function<void()>& yieldHook()
{
    static std::function<void()> hook;
    return hook;
}

void yieldAfterTrial()
{
    // A copy, so that the hook may replace itself while it runs.
    if (auto hook = yieldHook())
        hook();
}

QColor opaque(const QColor& c)
{
    return QColor(c.red(), c.green(), c.blue());
}

// Lines of a text: split at CR LF and also at a lone LF, which is what Qt's text widgets give.
// A lone CR stays part of its line. An empty text is one empty line.
QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\n')
            continue;
        const qsizetype end = (i > start && text[i - 1] == u'\r') ? i - 1 : i;
        lines.append(text.mid(start, end - start));
        start = i + 1;
    }
    lines.append(text.mid(start));
    return lines;
}

// Wraps one line that is too wide for the image width W: with the first piece length k, counting
// down from the line's length minus one, at which every piece fits (piece width + l + r <= W);
// when none fits, k = 1. With l + r >= W the first trial counts as fitting.
QString wrapLineToWidth(const QString& line, qint64 W, qint64 marginsLR, const TextMeasure& measure, bool ink)
{
    if (line.size() < 2)
        return line;
    WrapSearchOptions options;
    options.alwaysFits = marginsLR >= W;
    options.available = W - marginsLR;
    // Appending text changes only the glyphs next to the join; a few of the widest glyphs bound
    // how much narrower it can make the text.
    options.shrinkBound = 4 * std::max<qint64>({measure.metrics().maxWidth(), measure.pixelSize(), 1});
    options.yield = [] { yieldAfterTrial(); };
    const PieceWidth width = [&measure, ink](const QChar* text, qsizetype length) {
        return ink ? measure.ink(text, length).width() : measure.width(text, length);
    };
    return WrapLine(line, FindWrapCount(line, width, options));
}

// How many sizes above the largest fitting size that the binary search finds are tried as well.
constexpr qint64 kFitGuardSizes = 2;

// The ink box of the lines: each line's ink, and where the first line's cell goes so that the
// topmost ink lies at the top margin o. With a size that follows the text (`bottom` given), the
// height H becomes the ink's height plus the margins.
void placeInkBox(TextLayout& layout, const QStringList& lines, const TextMeasure& measure, qint64 h, qint64 o,
                 qint64 z, std::optional<qint64> bottom, qint64& H)
{
    layout.inkLeft.assign(size_t(lines.size()), 0);
    layout.inkWidth.assign(size_t(lines.size()), 0);
    std::optional<qint64> inkTop;
    qint64 inkBottom = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const TextMeasure::Ink box = measure.ink(lines[i]);
        if (box.empty())
            continue;
        layout.inkLeft[size_t(i)] = box.left;
        layout.inkWidth[size_t(i)] = box.width();
        const qint64 baseline = satAdd(satMul(i, satAdd(h, z)), measure.ascent());
        const qint64 top = satAdd(baseline, box.top);
        const qint64 end = satAdd(baseline, box.bottom);
        inkTop = inkTop ? std::min(*inkTop, top) : top;
        inkBottom = std::max(inkBottom, end);
    }
    if (!inkTop)
        return; // nothing is drawn: the cells keep their places
    layout.inkHeight = inkBottom - *inkTop;
    layout.firstTop = satAdd(o, -*inkTop);
    if (bottom)
        H = satAdd(satAdd(o, *bottom), layout.inkHeight);
}

TextLayout layoutAtSize(const QString& text, const LayoutSettings& settings)
{
    TextLayout layout;
    QFont font = drawingFace(settings.face);

    // The marker "\nl" (case-sensitive) becomes a line break, scanning left to right.
    QString source = text;
    source.replace(QLatin1String("\\nl"), QLatin1String("\r\n"));

    if (settings.fontPoints)
        applyFontSize(font, *settings.fontPoints);

    layout.textColor = opaque(settings.textColor);
    layout.backgroundColor = opaque(settings.backgroundColor);
    layout.transparent = settings.transparent;
    layout.oneTransparentColour = settings.oneTransparentColour;

    font.setWeight(settings.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(settings.italic);
    font.setUnderline(settings.underline);
    font.setStrikeOut(settings.strikeOut);
    // Quality after face, size and style.
    SetFontQuality(font, settings.quality);
    const qreal boldOutline = settings.bold ? boldOutlineWidth(font) : 0;

    const TextMeasure measure(font, boldOutline);
    if (measure.height() <= 0 || measure.ascent() < 0)
        throw RenderError("The text engine cannot measure the chosen font at this size.");

    // With the ink box, a line's width is that of its drawn pixels.
    const bool ink = settings.inkBox;
    QStringList lines = splitLines(source);
    std::vector<qint64> widths;
    widths.reserve(size_t(lines.size()));
    qint64 maxw = 0;
    for (const QString& line : lines) {
        widths.push_back(ink ? measure.ink(line).width() : measure.width(line));
        maxw = std::max(maxw, widths.back());
    }

    const qint64 h = measure.height();

    const qint64 o = settings.top;
    const qint64 u = settings.bottom;
    const qint64 l = settings.left;
    const qint64 r = settings.right;
    const qint64 z = settings.spacing;

    auto textHeight = [&](qint64 n) { return satAdd(satAdd(o, u), satAdd(satMul(h, n), satMul(n - 1, z))); };

    const bool fixed = settings.fixedSize;
    qint64 W;
    qint64 H;
    if (fixed) {
        H = settings.fixedHeight;
        W = settings.fixedWidth;
        checkImageSize(std::max<qint64>(W, 1), std::max<qint64>(H, 1));
    } else {
        W = satAdd(maxw, l + r);
        if (settings.limitWidth && settings.maxWidth)
            W = std::min<qint64>(W, *settings.maxWidth);
        H = textHeight(lines.size());
        // Wrapping never changes the width: refuse an impossible one before any wrapping trial.
        checkImageSize(std::max<qint64>(W, 1), 1);
    }

    std::vector<bool> broken(size_t(lines.size()), false);
    const bool wrap = fixed ? settings.fixedWrap : settings.limitWidth;
    if (wrap && measure.width(QStringLiteral("W")) + 10 < W) {
        QStringList wrapped;
        wrapped.reserve(lines.size());
        broken.clear();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (widths[size_t(i)] + l + r > W) {
                const QStringList pieces =
                    wrapLineToWidth(lines[i], W, l + r, measure, ink).split(QLatin1String("\r\n"));
                wrapped.append(pieces);
                broken.insert(broken.end(), size_t(pieces.size()), true);
                broken.back() = false;
            } else {
                wrapped.append(lines[i]);
                broken.push_back(false);
            }
        }
        lines = std::move(wrapped);
        if (!fixed)
            H = textHeight(lines.size());
    }

    layout.firstTop = o;
    if (ink)
        placeInkBox(layout, lines, measure, h, o, z, fixed ? std::nullopt : std::optional<qint64>(u), H);

    layout.font = font;
    layout.boldOutline = boldOutline;
    layout.lines = std::move(lines);
    layout.wrapped = std::move(broken);
    layout.lineHeight = int(h);
    layout.ascent = measure.ascent();
    layout.top = o;
    layout.bottom = u;
    layout.left = l;
    layout.right = r;
    layout.spacing = z;
    layout.width = W;
    layout.height = H;
    layout.fixedSize = fixed;
    return layout;
}

TextLayout fitLayout(const QString& text, const LayoutSettings& settings)
{
    // A negative size gives the cell height; its magnitude shrinks the same way.
    const qint64 chosen = *settings.fontPoints;
    const qint64 sign = chosen < 0 ? -1 : 1;
    const qint64 largest = chosen < 0 ? -chosen : chosen;
    auto at = [&](qint64 size) {
        LayoutSettings s = settings;
        s.fontPoints = sign * size;
        TextLayout layout = layoutAtSize(text, s);
        layout.fittedPoints = sign * size;
        return layout;
    };

    TextLayout best = at(largest);
    if (TextFits(best))
        return best;
    // Sizes from `fits` down fit, sizes from `tooLarge` up do not (as far as tried).
    qint64 fits = 0;
    qint64 tooLarge = largest;
    for (;;) {
        while (tooLarge - fits > 1) {
            const qint64 middle = fits + (tooLarge - fits) / 2;
            TextLayout layout = at(middle);
            if (TextFits(layout)) {
                fits = middle;
                best = std::move(layout);
            } else {
                tooLarge = middle;
            }
        }
        bool larger = false;
        for (qint64 size = tooLarge + 1; size < largest && size <= tooLarge + kFitGuardSizes; ++size) {
            TextLayout layout = at(size);
            if (TextFits(layout)) {
                fits = size;
                tooLarge = largest;
                best = std::move(layout);
                larger = true;
                break;
            }
        }
        if (!larger)
            break;
    }
    if (fits == 0) {
        best = at(1);
        best.fitFailed = true;
    }
    return best;
}

} // namespace

void checkImageSize(qint64 w, qint64 h)
{
    if (w > kMaxImageSide || h > kMaxImageSide || w * h > kMaxImagePixels)
        throw RenderError(QStringLiteral("The image would be %1 x %2 pixels, which is too large: "
                                         "at most %3 pixels per side and %4 pixels in all can be made.")
                              .arg(w)
                              .arg(h)
                              .arg(kMaxImageSide)
                              .arg(kMaxImagePixels)
                              .toStdString());
}

void setRenderYield(std::function<void()> yield)
{
    yieldHook() = std::move(yield);
}

bool TextFits(const TextLayout& layout)
{
    const qint64 n = layout.lines.size();
    const qint64 room = satAdd(layout.height, -satAdd(layout.top, layout.bottom));
    const qint64 across = satAdd(layout.width, -satAdd(layout.left, layout.right));
    if (!layout.inkWidth.empty())
        return layout.inkHeight <= room &&
               std::ranges::all_of(layout.inkWidth, [&](qint64 width) { return width <= across; });
    if (satAdd(satMul(layout.lineHeight, n), satMul(n - 1, layout.spacing)) > room)
        return false;
    const TextMeasure measure(layout.font);
    return std::ranges::all_of(layout.lines, [&](const QString& line) { return measure.width(line) <= across; });
}

TextLayout LayoutText(const QString& text, const LayoutSettings& settings)
{
    if (settings.fitToBox && settings.fixedSize && settings.fontPoints && *settings.fontPoints != 0)
        return fitLayout(text, settings);
    return layoutAtSize(text, settings);
}

} // namespace qp
