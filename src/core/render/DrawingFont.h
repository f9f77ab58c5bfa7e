// SPDX-License-Identifier: MIT
#pragma once
// The drawing font: its face, its size in points at a fixed 96 dpi, its quality, and the outline
// that emboldens glyphs the text engine does not draw bold.
#include <QFont>
#include <QString>

#include <optional>

namespace qp {

// The text engine measures fonts correctly up to about this many pixels per em; a larger font
// size is refused with a RenderError.
constexpr int kMaxFontPixelSize = 16384;
// Sizes are given in points and drawn at a fixed 96 dpi, so the output never depends on the display.
constexpr int kRenderDpi = 96;
// Size of a new drawing font, kept when FSize is no integer.
constexpr int kDefaultFontPoints = 8;

// Output quality of a drawing font: the engine's default, smoothed edges, or hard edges.
enum class FontQuality { Default, Antialiased, NonAntialiased };
// Sets the quality and keeps every other attribute of the font.
void SetFontQuality(QFont& font, FontQuality quality);

// Pixels per em for a size in points at 96 dpi, rounded to nearest (20 points give 27 pixels).
qint64 pointsToPixels(qint64 points);

// The drawing font before size, style and quality: `face`, else the default face (label2's
// default, Tahoma), at 8 points. The model's form takes label2 while an entry of the font list is
// selected.
QFont drawingFace(const std::optional<QString>& face);

// Font size step. A positive size is the character height without internal leading (pixels per
// em). A negative size gives the cell height instead, as the size field allows it in
// configuration files: the em size is scaled so that the font's height comes out at that cell
// height. Zero keeps the font's size. Throws RenderError when the size exceeds kMaxFontPixelSize.
void applyFontSize(QFont& font, qint64 points);

// Bold for a drawing font whose weight is bold: 0 when the text engine draws it heavier than the
// regular weight, by the face's bold style or by emboldening the regular one. Otherwise, when the
// engine draws the bold glyphs just as the regular ones (it emboldens a face without a bold style
// only up to a size, and a bold style may hold the regular outlines), the width of the pen that
// outlines every glyph to embolden it: a 24th of the em, about the weight the engine adds itself.
qreal boldOutlineWidth(const QFont& font);

} // namespace qp
