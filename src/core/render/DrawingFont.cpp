// SPDX-License-Identifier: MIT
#include "core/render/DrawingFont.h"

#include "core/render/RenderError.h"
#include "core/render/Saturating.h"
#include "core/render/TextMeasure.h"
#include "core/settings/SettingsModel.h"

#include <QRawFont>
#include <algorithm>

namespace qp {

namespace {

[[noreturn]] void throwFontTooLarge(qint64 points)
{
    throw RenderError(QStringLiteral("The font size of %1 points is too large: at most %2 points can be drawn.")
                          .arg(points)
                          .arg(qint64(kMaxFontPixelSize) * 72 / kRenderDpi)
                          .toStdString());
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

} // namespace qp
