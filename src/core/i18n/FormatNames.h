// SPDX-License-Identifier: MIT
#pragma once
// The output-format names in both languages. The list of the format box holds German names; the
// English form of a name reads "Image" for every "Bild" ("*.jpg - JPEG-Bild" / "*.jpg - JPEG-Image").
// Only the part before " - " selects the format, and it is never changed.
#include <QString>
#include <QStringList>

namespace qp {

// The text of the format box in the given language ("de" German, anything else English).
// A text is split at its first " - " into the extension part and the name; the extension part is
// kept as it is. English turns every German name of the list into its English form; German turns
// every English form back into its German name, so an "Image" that belongs to a German name
// itself ("Tagged Image File Format") stays. A name that is none of the list's names in either
// form (a hand-written configuration value), and a text without " - ", is returned unchanged:
// the switch never alters what it does not know, and the extension still selects the format.
QString formatNameForLanguage(const QString& text, const QString& languageCode);

// The 28 entries of the format box in the given language, in list order.
QStringList outputFormatsForLanguage(const QString& languageCode);

} // namespace qp
