// SPDX-License-Identifier: MIT
#pragma once
// The default face and faces that are not installed.
#include <QString>

namespace qp {

class SettingsModel;

// Where Debian's Windows-compatible fonts (with a metric-compatible Tahoma) are installed; a
// folder that fontconfig does not scan.
QString compatibilityFontFolder();

// Adds the Tahoma faces found in `folder` to this process's fonts when no installed family is
// called Tahoma, so that the default face is drawn as it is meant to look. A heavier style whose
// glyphs draw no heavier than the regular ones is left out, so that bold text is the emboldened
// regular face instead of regular glyphs at bold spacing. Needs a running QGuiApplication.
// Returns true when a face was added.
bool addDefaultFaceWhenMissing(const QString& folder = compatibilityFontFolder());

// The entry of the system's font list that `name` selects: the family itself, or, where several
// foundries make a family and the list names them ("C059 [urw]", "C059 [UKWN]"), the first of
// those for the bare family name as the system's own tools print it. Empty when none is installed.
QString installedFamily(const QString& name);

// The face drawn instead of the configured one (label2) when that face is not installed; empty
// when it is installed (or no face is configured).
QString substituteFace(const SettingsModel& settings);

// "Tahoma is not installed: drawn in DejaVu Sans", in the given language ("de" German, else English).
QString missingFaceNote(const QString& configured, const QString& drawn, const QString& languageCode);

} // namespace qp
