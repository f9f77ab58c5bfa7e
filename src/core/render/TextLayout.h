// SPDX-License-Identifier: MIT
#pragma once
// The layout step of the renderer: drawing font, line markers, lines, image size and wrapping,
// from the text and the layout settings as values.
#include "core/render/DrawingFont.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace qp {

// Limits of what the renderer makes. An image with more pixels, or with a longer side, is refused
// with a RenderError instead of exhausting memory; a 32-bit image at the pixel limit takes 1 GiB.
constexpr qint64 kMaxImagePixels = qint64(1) << 28;
constexpr qint64 kMaxImageSide = 1'000'000;
// Throws RenderError when an image of w x h pixels exceeds those limits.
void checkImageSize(qint64 w, qint64 h);

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

// The layout steps: drawing font, line markers, lines, image size and wrapping. Throws RenderError
// when the font size or the image size exceeds the limits above.
// With fitToBox and a fixed size, the font size is the largest one, not above the chosen one, at
// which the text fits (TextFits); it is found by a binary search over the sizes, since a smaller
// font never needs more room: advances, line height and the lines that wrapping makes all grow
// with the size. The sizes just above the one found are tried as well, so that a step where the
// text engine's rounding breaks that rule cannot hide a larger size that fits.
TextLayout LayoutText(const QString& text, const LayoutSettings& settings);

// A function the renderer calls between wrapping trials, after the first trial of a line and then
// at most every 10 ms, so that a long wrap keeps the program responsive without the calls
// dominating: the desktop program processes pending events there, the command-line tool sets
// none. It may re-enter CreateBitmap. An exception it throws leaves CreateBitmap.
void setRenderYield(std::function<void()> yield);

} // namespace qp
