// SPDX-License-Identifier: MIT
#pragma once
// Which characters of a text the drawing face does not have, and which face draws them instead.
#include <QFont>
#include <QList>
#include <QString>

namespace qp {

class SettingsModel;

struct GlyphCoverage {
    // Characters drawn in a face other than the chosen one, by that face in the order of their
    // first appearance; `face` is empty for characters that no installed face has (they appear
    // as empty boxes).
    struct Substitute {
        QString face;
        QString characters; // each character once, in the order of the text
        int count = 0;      // how many different characters
    };
    QList<Substitute> substitutes;
    bool complete() const { return substitutes.isEmpty(); }
};

// The coverage of `text` in `font` (face and style; size does not matter). Line breaks, the line
// marker's characters and other control characters are not drawn and never count. Answers for a
// character are remembered per face and style, so that asking again while the text is typed costs
// one look-up per different character.
GlyphCoverage glyphCoverage(const QString& text, const QFont& font);

// The face and style the images of these settings are drawn in.
QFont coverageFont(const SettingsModel& settings);

// "5 characters are drawn in Noto Sans CJK JP: 漢字…", one line per face, in the given language
// ("de" German, else English); empty when the face has every character.
QString glyphCoverageNote(const GlyphCoverage& coverage, const QString& languageCode);

} // namespace qp
