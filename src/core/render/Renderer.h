// SPDX-License-Identifier: MIT
#pragma once
// The renderer: lays a text out in lines, sizes the image, fills it with the background colour,
// draws the lines and turns the finished image. Reads the settings at the moment of the call and
// keeps nothing between calls.
#include "core/render/RenderError.h"
#include "core/render/RotateBitmap.h"
#include "core/render/WrapLine.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace qp {

class SettingsModel;

// Limits of what the renderer makes. An image with more pixels, or with a longer side, is refused
// with a RenderError instead of exhausting memory; a 32-bit image at the pixel limit takes 1 GiB.
constexpr qint64 kMaxImagePixels = qint64(1) << 28;
constexpr qint64 kMaxImageSide = 1'000'000;
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

// Justify stretches every wrapped line but the last of its paragraph to the width between the
// margins by widening its spaces; other lines stay at the start of their reading direction.
enum class LineAlignment { Left, Right, Centre, Justify };
// Horizontal offset of a line inside the space between the left and right margins, given the
// free space (that space minus the line's width; may be negative). Centred lines take half of it,
// rounded to nearest with halves to the even neighbour. Justify gives the offset of a line that is
// not stretched: 0, or the free space for right-to-left text (`rightToLeft`).
qint64 LineOffset(LineAlignment alignment, qint64 freeWidth, bool rightToLeft = false);

// The settings that shape a layout, as values: the renderer reads them all at the start of a
// layout, before any wrapping trial may let the user change a setting.
struct LayoutSettings {
    std::optional<QString> face;          // label2 while a font-list entry is selected; none: the default face
    std::optional<qint64> fontPoints;     // FSize, when it is an integer; none keeps 8 points
    QColor textColor{0, 0, 0};            // the last valid colour of each colour field
    QColor backgroundColor{255, 255, 255};
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    FontQuality quality = FontQuality::Default; // cb_antialias, once the format options window exists
    qint64 top = 0, bottom = 0, left = 0, right = 0; // abs_o, abs_u, abs_l, abs_r (0 when no integer)
    qint64 spacing = 0;                   // abs_z (0 when no integer)
    bool fixedSize = false;               // abstand_fix
    qint64 fixedWidth = 500;              // abs_b (500 when no integer)
    qint64 fixedHeight = 100;             // abs_h (100 when no integer)
    bool fixedWrap = false;               // fix_wrap: wrapping at the fixed size
    bool limitWidth = false;              // max_breite: the variable size's width limit, and wrapping
    std::optional<qint64> maxWidth;       // abs_bmax, when it is an integer
    bool fitToBox = false;                // cb_fitbox: with the fixed size, the font shrinks to fit
    bool inkBox = false;                  // cb_inkbox: the text's box is the box of its drawn pixels
    bool transparent = false;             // cb_transparent, for a format that keeps it: no background
    bool oneTransparentColour = false;    // the format keeps one transparent colour, no alpha (GIF)
};
LayoutSettings readLayoutSettings(const SettingsModel& settings);

// How the drawn image is turned (rb_drehung_*), clockwise.
enum class Rotation { None, Quarter, Half, ThreeQuarters };
// The settings of the drawing step, read once the image is laid out and allocated.
struct DrawSettings {
    LineAlignment alignment = LineAlignment::Left;
    Rotation rotation = Rotation::None;
};
DrawSettings readDrawSettings(const SettingsModel& settings);

// Everything the drawing step needs, as laid out from the text and the settings.
struct TextLayout {
    QFont font;
    // Bold that the text engine does not draw (see boldOutlineWidth): the width of the pen that
    // outlines every glyph in the text colour; 0 when the font is drawn as it is.
    qreal boldOutline = 0;
    QColor textColor;
    QColor backgroundColor;
    bool transparent = false; // the image has no background: text colour with the glyphs' coverage as alpha
    bool oneTransparentColour = false; // ... or, for GIF, the untouched pixels are the background, alpha 0
    QStringList lines;       // after line markers, line breaks and wrapping
    std::vector<bool> wrapped; // per line: wrapping broke it off its paragraph (the next line goes on)
    int lineHeight = 0;      // h: height of the text extent of "Wg"
    int ascent = 0;
    qint64 top = 0, bottom = 0, left = 0, right = 0; // margins o, u, l, r
    qint64 spacing = 0;      // z: extra space between lines
    qint64 firstTop = 0;     // y of the first line's cell: o, or where the ink box starts at o
    qint64 width = 0;        // W before rotation; may be below 1 (the image is at least 1 wide)
    qint64 height = 0;       // H before rotation; may be below 1
    bool fixedSize = false;
    // Shrinking to fit (cb_fitbox with a fixed size): the size in points the layout took, and
    // whether not even 1 point fits (the text is then laid out at 1 point).
    std::optional<qint64> fittedPoints;
    bool fitFailed = false;
    // The box of the drawn glyphs (cb_inkbox): per line, the left edge of its ink from the pen
    // position and the ink's width (0 for a line without ink); the height of all lines' ink.
    // Empty vectors when the advance box is the text's box.
    std::vector<qint64> inkLeft;
    std::vector<qint64> inkWidth;
    qint64 inkHeight = 0;
};

// Whether a layout's text, with its margins, lies inside its fixed image: every line at most as
// wide as the room between the side margins, all lines at most as high as the room between the
// top and bottom margins (the ink's widths and height when the layout uses the ink box).
bool TextFits(const TextLayout& layout);

// The font size a drawn image says it was fitted to (cb_fitbox), and whether it did not fit even
// at 1 point; an image drawn without fitting says neither.
std::optional<qint64> fittedPoints(const QImage& image);
bool fitFailed(const QImage& image);

// The drawing font before size, style and quality: `face`, else the default face (label2's
// default, Tahoma), at 8 points. The model's form takes label2 while an entry of the font list is
// selected.
QFont drawingFace(const std::optional<QString>& face);
QFont drawingFace(const SettingsModel& settings);

// Bold for a drawing font whose weight is bold: 0 when the text engine draws it heavier than the
// regular weight, by the face's bold style or by emboldening the regular one. Otherwise, when the
// engine draws the bold glyphs just as the regular ones (it emboldens a face without a bold style
// only up to a size, and a bold style may hold the regular outlines), the width of the pen that
// outlines every glyph to embolden it: a 24th of the em, about the weight the engine adds itself.
qreal boldOutlineWidth(const QFont& font);

// The layout steps: drawing font, line markers, lines, image size and wrapping. Throws RenderError
// when the font size or the image size exceeds the limits above. The model's form reads the
// settings at the start.
// With fitToBox and a fixed size, the font size is the largest one, not above the chosen one, at
// which the text fits (TextFits); it is found by a binary search over the sizes, since a smaller
// font never needs more room: advances, line height and the lines that wrapping makes all grow
// with the size. The sizes just above the one found are tried as well, so that a step where the
// text engine's rounding breaks that rule cannot hide a larger size that fits.
TextLayout LayoutText(const QString& text, const LayoutSettings& settings);
TextLayout LayoutText(const QString& text, const SettingsModel& settings);

// Lays out and draws the text and turns the image as the settings say. The result is always
// QImage::Format_RGB32 (0xffRRGGBB: every pixel opaque, background and text colours exact), turned
// or not. Throws RenderError when the image would exceed the limits above or cannot be allocated.
// "\nl" in the text stands for a line break; both CR LF and a lone LF end a line.
// `beforeDrawing`, when given, sees the image's width and height (before turning) once the layout
// is done and before the image is allocated; an exception it raises leaves CreateBitmap.
// The settings are read at the moments of the model's form: the layout's at the start, the
// drawing's once the image is allocated (a callback may have let the user change them).
QImage CreateBitmap(const QString& text, const SettingsModel& settings,
                    const std::function<void(qint64 width, qint64 height)>& beforeDrawing = {});
QImage CreateBitmap(const QString& text, const LayoutSettings& layout, const DrawSettings& drawing,
                    const std::function<void(qint64 width, qint64 height)>& beforeDrawing = {});

// A function the renderer calls between wrapping trials, after the first trial of a line and then
// at most every 10 ms, so that a long wrap keeps the program responsive without the calls
// dominating: the desktop program processes pending events there, the command-line tool sets
// none. It may re-enter CreateBitmap. An exception it throws leaves CreateBitmap.
void setRenderYield(std::function<void()> yield);

} // namespace qp
