// SPDX-License-Identifier: MIT
#pragma once
// The output-format names in both languages, keyed by the name keys of the format rows
// (codec/FormatRow.h). A name is German; its English form reads "Image" for every "Bild"
// ("*.jpg - JPEG-Bild" / "*.jpg - JPEG-Image"). Only the part before " - " selects the format,
// and it is never changed.
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

// The name of a format row's name key in the given language; empty for an unknown key.
QString formatName(const char* nameKey, const QString& languageCode);

// The entries of the format box in the given language, in list order: "*.<extension> - <name>"
// for each extension that has a place in the format list.
QStringList outputFormatsForLanguage(const QString& languageCode);

// Whether images written under `format` (an extension, ".png" or "tif" in any case, or an entry of
// the format box) keep a transparent background: the format row of the extension keeps alpha or
// one transparent colour.
bool formatStoresTransparency(const QString& format);
// Whether of these the format makes one palette colour transparent instead of an alpha channel.
bool formatHasOneTransparentColour(const QString& format);

// The name of an entry of the format box as a message names it: the part after " - ", without an
// "-Image" or "-Bild" at its end ("JPEG", "Windows Bitmap"); the entry itself when it has none.
QString formatShortName(const QString& formatText);

} // namespace qp
