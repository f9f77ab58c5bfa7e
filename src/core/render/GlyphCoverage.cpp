// SPDX-License-Identifier: MIT
#include "core/render/GlyphCoverage.h"

#include "core/render/Renderer.h"
#include "core/settings/SettingsModel.h"

#include <QGlyphRun>
#include <QHash>
#include <QMutex>
#include <QRawFont>
#include <QSet>
#include <QTextLayout>

#include <algorithm>
#include <optional>

namespace qp {

namespace {

// The characters a note lists before it cuts them short with "…".
constexpr int kListedCharacters = 12;

// Stands for "no installed face has it": a line break is never a family name.
const QString kNoFace = QStringLiteral("\n");

QString fontKey(const QFont& font)
{
    return font.family() + QChar(0) + QString::number(font.weight()) + QChar(0)
           + QString::number(int(font.style()));
}

// The face that draws `c` in `font`: the font's own family when it has the character, the face the
// text engine falls back to otherwise, or empty when no face has it.
QString faceDrawing(char32_t c, const QFont& font, const QRawFont& own)
{
    if (own.isValid() && own.supportsCharacter(c))
        return QString();
    QTextLayout layout(QString::fromUcs4(&c, 1), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    for (const QGlyphRun& run : runs) {
        const QList<quint32> glyphs = run.glyphIndexes();
        if (glyphs.isEmpty() || glyphs.contains(0u) || !run.rawFont().supportsCharacter(c))
            continue;
        return run.rawFont().familyName();
    }
    return kNoFace;
}

} // namespace

GlyphCoverage glyphCoverage(const QString& text, const QFont& font)
{
    // Per face and style: character -> the face drawing it instead ("" when the face has it).
    static QMutex mutex;
    static QHash<QString, QHash<char32_t, QString>> known;

    GlyphCoverage coverage;
    QSet<char32_t> seen;
    const QList<uint> codePoints = text.toUcs4();
    const QMutexLocker lock(&mutex);
    QHash<char32_t, QString>& faces = known[fontKey(font)];
    std::optional<QRawFont> own;
    for (const uint u : codePoints) {
        const char32_t c = u;
        if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || seen.contains(c))
            continue;
        seen.insert(c);
        auto it = faces.constFind(c);
        if (it == faces.cend()) {
            if (!own)
                own = QRawFont::fromFont(font);
            it = faces.insert(c, faceDrawing(c, font, *own));
        }
        if (it->isEmpty())
            continue;
        const QString face = *it == kNoFace ? QString() : *it;
        auto sub = std::find_if(coverage.substitutes.begin(), coverage.substitutes.end(),
                                [&](const GlyphCoverage::Substitute& s) { return s.face == face; });
        if (sub == coverage.substitutes.end())
            sub = coverage.substitutes.insert(coverage.substitutes.end(), {face, {}, 0});
        sub->characters += QString::fromUcs4(&c, 1);
        ++sub->count;
    }
    return coverage;
}

QFont coverageFont(const SettingsModel& settings)
{
    const LayoutSettings layout = readLayoutSettings(settings);
    QFont font = drawingFace(layout.face);
    font.setWeight(layout.bold ? QFont::Bold : QFont::Normal);
    font.setItalic(layout.italic);
    return font;
}

QString glyphCoverageNote(const GlyphCoverage& coverage, const QString& languageCode)
{
    const bool german = languageCode == QLatin1String("de");
    QStringList lines;
    for (const GlyphCoverage::Substitute& s : coverage.substitutes) {
        QString listed = s.characters;
        if (s.count > kListedCharacters) {
            const QList<uint> all = listed.toUcs4();
            listed = QString::fromUcs4(reinterpret_cast<const char32_t*>(all.constData()), kListedCharacters)
                     + QStringLiteral("\u2026");
        }
        const bool one = s.count == 1;
        if (!s.face.isEmpty()) {
            const QString pattern =
                german ? (one ? QStringLiteral("%1 Zeichen wird in %2 gezeichnet: %3")
                              : QStringLiteral("%1 Zeichen werden in %2 gezeichnet: %3"))
                       : (one ? QStringLiteral("%1 character is drawn in %2: %3")
                              : QStringLiteral("%1 characters are drawn in %2: %3"));
            lines << pattern.arg(QString::number(s.count), s.face, listed);
        } else {
            const QString pattern =
                german ? (one ? QStringLiteral("%1 Zeichen fehlt in allen installierten Schriften und erscheint "
                                               "als leeres K\u00E4stchen: %2")
                              : QStringLiteral("%1 Zeichen fehlen in allen installierten Schriften und erscheinen "
                                               "als leere K\u00E4stchen: %2"))
                       : (one ? QStringLiteral("%1 character is in no installed face and appears as an empty "
                                               "box: %2")
                              : QStringLiteral("%1 characters are in no installed face and appear as empty "
                                               "boxes: %2"));
            lines << pattern.arg(QString::number(s.count), listed);
        }
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace qp
