// SPDX-License-Identifier: MIT
#include "core/render/Renderer.h"

#include "core/i18n/FormatNames.h"
#include "core/render/TextMeasure.h"
#include "core/render/WrapSearch.h"
#include "core/settings/IntegerTest.h"
#include "core/settings/SettingsModel.h"

#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
#include <algorithm>
#include <cmath>
#include <limits>

namespace qp {

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

// Layout arithmetic saturates instead of wrapping, so absurd margins, sizes or line counts give an
// absurd (and refused) image size, never a small wrong one.
qint64 satAdd(qint64 a, qint64 b)
{
    if (b > 0 && a > kMax - b)
        return kMax;
    if (b < 0 && a < kMin - b)
        return kMin;
    return a + b;
}

qint64 satMul(qint64 a, qint64 b)
{
    if (a == 0 || b == 0)
        return 0;
    const bool negative = (a < 0) != (b < 0);
    const bool overflows = a > 0 ? (b > 0 ? a > kMax / b : b < kMin / a)
                                 : (b > 0 ? a < kMin / b : a < kMax / b);
    if (overflows)
        return negative ? kMin : kMax;
    return a * b;
}

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

[[noreturn]] void throwFontTooLarge(qint64 points)
{
    throw RenderError(QStringLiteral("The font size of %1 points is too large: at most %2 points can be drawn.")
                          .arg(points)
                          .arg(qint64(kMaxFontPixelSize) * 72 / kRenderDpi)
                          .toStdString());
}

// Font size step. A positive size is the character height without internal leading (pixels per
// em). A negative size gives the cell height instead, as the size field allows it in
// configuration files: the em size is scaled so that the font's height comes out at that cell
// height. Zero keeps the font's size.
void applyFontSize(QFont& font, qint64 points)
{
    if (points == 0)
        return;
    const qint64 pixels = pointsToPixels(points < 0 ? -points : points);
    if (pixels > kMaxFontPixelSize)
        throwFontTooLarge(points);
    if (points > 0) {
        font.setPixelSize(int(std::max<qint64>(1, pixels)));
        return;
    }
    QFont probe = font;
    probe.setPixelSize(int(std::max<qint64>(1, pixels)));
    const int cell = TextMeasure(probe).height();
    const qint64 em = cell > 0 ? (pixels * pixels + cell / 2) / cell : pixels;
    font.setPixelSize(int(std::clamp<qint64>(em, 1, kMaxFontPixelSize)));
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

} // namespace

void SetFontQuality(QFont& font, FontQuality quality)
{
    switch (quality) {
    case FontQuality::Default:
        font.setStyleStrategy(QFont::PreferDefault);
        break;
    case FontQuality::Antialiased:
        font.setStyleStrategy(QFont::PreferAntialias);
        break;
    case FontQuality::NonAntialiased:
        font.setStyleStrategy(QFont::NoAntialias);
        break;
    }
}

qint64 pointsToPixels(qint64 points)
{
    // points * 96 / 72 = points * 4 / 3; no exact halves occur.
    const qint64 scaled = satMul(points, 4);
    return scaled >= 0 ? satAdd(scaled, 1) / 3 : -(satAdd(-scaled, 1) / 3);
}

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

void setRenderYield(std::function<void()> yield)
{
    yieldHook() = std::move(yield);
}

LayoutSettings readLayoutSettings(const SettingsModel& settings)
{
    using enum Setting;
    LayoutSettings l;
    if (settings.fontListSelected())
        l.face = settings.text(label2);
    l.fontPoints = toInteger(settings.text(FSize));
    l.textColor = settings.fontColor();
    l.backgroundColor = settings.backgroundColor();
    l.bold = settings.checked(cb_bold);
    l.italic = settings.checked(cb_italic);
    l.underline = settings.checked(cb_underline);
    l.strikeOut = settings.checked(cb_strikeout);
    // Before the format options window exists, the engine's default quality applies.
    l.quality = !settings.optionsWindowExists() ? FontQuality::Default
                : settings.checked(cb_antialias) ? FontQuality::Antialiased
                                                 : FontQuality::NonAntialiased;
    l.top = integerOr(settings.text(abs_o), 0);
    l.bottom = integerOr(settings.text(abs_u), 0);
    l.left = integerOr(settings.text(abs_l), 0);
    l.right = integerOr(settings.text(abs_r), 0);
    l.spacing = integerOr(settings.text(abs_z), 0);
    l.fixedSize = settings.checked(abstand_fix);
    l.fixedWidth = integerOr(settings.text(abs_b), 500);
    l.fixedHeight = integerOr(settings.text(abs_h), 100);
    l.fixedWrap = settings.checked(fix_wrap);
    l.limitWidth = settings.checked(max_breite);
    l.maxWidth = toInteger(settings.text(abs_bmax));
    l.fitToBox = settings.checked(cb_fitbox);
    l.inkBox = settings.checked(cb_inkbox);
    const QString format = settings.text(out_format);
    l.transparent = settings.checked(cb_transparent) && formatStoresTransparency(format);
    l.oneTransparentColour = l.transparent && formatHasOneTransparentColour(format);
    return l;
}

DrawSettings readDrawSettings(const SettingsModel& settings)
{
    using enum Setting;
    DrawSettings d;
    if (settings.checked(rb_alright))
        d.alignment = LineAlignment::Right;
    else if (settings.checked(rb_alcenter))
        d.alignment = LineAlignment::Centre;
    else if (settings.checked(rb_aljustify))
        d.alignment = LineAlignment::Justify;
    if (settings.checked(rb_drehung_90))
        d.rotation = Rotation::Quarter;
    else if (settings.checked(rb_drehung_180))
        d.rotation = Rotation::Half;
    else if (settings.checked(rb_drehung_270))
        d.rotation = Rotation::ThreeQuarters;
    return d;
}

QFont drawingFace(const std::optional<QString>& face)
{
    // A new drawing font: the program's default face at 8 points, no style flags, default quality.
    // The default face is the one label2 starts with (Tahoma), so that the default look is the
    // same on every machine.
    QFont font(QString::fromUtf8(SettingsModel::definition(Setting::label2).defaultText));
    font.setPixelSize(int(pointsToPixels(kDefaultFontPoints)));
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setStyleStrategy(QFont::PreferDefault);
    if (face)
        font.setFamily(*face);
    return font;
}

QFont drawingFace(const SettingsModel& settings)
{
    return drawingFace(readLayoutSettings(settings).face);
}

qreal boldOutlineWidth(const QFont& font)
{
    if (font.weight() < QFont::Bold)
        return 0;
    QFont regularFont = font;
    regularFont.setWeight(QFont::Normal);
    const QRawFont bold = QRawFont::fromFont(font);
    const QRawFont regular = QRawFont::fromFont(regularFont);
    // Glyph boxes come in whole pixels, and an emboldened glyph grows by at least one.
    const QString sample = QStringLiteral("HOxo");
    const QList<quint32> boldGlyphs = bold.glyphIndexesForString(sample);
    const QList<quint32> regularGlyphs = regular.glyphIndexesForString(sample);
    bool compared = false;
    for (qsizetype i = 0; i < std::min(boldGlyphs.size(), regularGlyphs.size()); ++i) {
        if (boldGlyphs[i] == 0 || regularGlyphs[i] == 0)
            continue; // not in the face
        if (bold.boundingRect(boldGlyphs[i]) != regular.boundingRect(regularGlyphs[i]))
            return 0;
        compared = true;
    }
    if (!compared)
        return 0; // a face without those letters: drawn as the engine draws it
    constexpr qreal kLeastOutline = 0.5;
    return std::max(kLeastOutline, font.pixelSize() / 24.0);
}

TextLayout LayoutText(const QString& text, const SettingsModel& settings)
{
    return LayoutText(text, readLayoutSettings(settings));
}

namespace {

TextLayout layoutAtSize(const QString& text, const LayoutSettings& settings);

// Key of the image text that carries the size a fitted image was drawn at ("none": not even 1
// point fits). Image texts stay with the bitmap; the writers never see them.
const QString kFittedPointsKey = QStringLiteral("QuillpressFittedPoints");

// How many sizes above the largest fitting size that the binary search finds are tried as well.
constexpr qint64 kFitGuardSizes = 2;

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

TextLayout LayoutText(const QString& text, const LayoutSettings& settings)
{
    if (settings.fitToBox && settings.fixedSize && settings.fontPoints && *settings.fontPoints != 0)
        return fitLayout(text, settings);
    return layoutAtSize(text, settings);
}

namespace {

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

// The drawing step: allocates and fills the image, then asks for the drawing settings.
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

    switch (drawing.rotation) {
    case Rotation::None:
        break;
    case Rotation::Quarter:
        RotateBitmap90(image);
        break;
    case Rotation::Half:
        RotateBitmap180(image);
        break;
    case Rotation::ThreeQuarters:
        RotateBitmap90(image);
        RotateBitmap180(image);
        break;
    }
    if (layout.fitFailed)
        image.setText(kFittedPointsKey, QStringLiteral("none"));
    else if (layout.fittedPoints)
        image.setText(kFittedPointsKey, QString::number(*layout.fittedPoints));
    return image;
}

} // namespace

QImage CreateBitmap(const QString& text, const SettingsModel& settings,
                    const std::function<void(qint64 width, qint64 height)>& beforeDrawing)
{
    return drawLayout(LayoutText(text, readLayoutSettings(settings)), [&settings] { return readDrawSettings(settings); },
                      beforeDrawing);
}

QImage CreateBitmap(const QString& text, const LayoutSettings& layout, const DrawSettings& drawing,
                    const std::function<void(qint64 width, qint64 height)>& beforeDrawing)
{
    return drawLayout(LayoutText(text, layout), [&drawing] { return drawing; }, beforeDrawing);
}

} // namespace qp
