// SPDX-License-Identifier: MIT
#pragma once
// The drawing step of the renderer: allocates the image of a layout, fills it, draws the lines in
// their alignment and turns the finished image.
#include "core/render/RotateBitmap.h"
#include "core/render/TextLayout.h"

#include <QImage>
#include <functional>
#include <optional>

namespace qp {

// Justify stretches every wrapped line but the last of its paragraph to the width between the
// margins by widening its spaces; other lines stay at the start of their reading direction.
enum class LineAlignment { Left, Right, Centre, Justify };
// Horizontal offset of a line inside the space between the left and right margins, given the
// free space (that space minus the line's width; may be negative). Centred lines take half of it,
// rounded to nearest with halves to the even neighbour. Justify gives the offset of a line that is
// not stretched: 0, or the free space for right-to-left text (`rightToLeft`).
qint64 LineOffset(LineAlignment alignment, qint64 freeWidth, bool rightToLeft = false);

// The settings of the drawing step, read once the image is laid out and allocated.
struct DrawSettings {
    LineAlignment alignment = LineAlignment::Left;
    Rotation rotation = Rotation::None;
};

// The font size a drawn image says it was fitted to (cb_fitbox), and whether it did not fit even
// at 1 point; an image drawn without fitting says neither.
std::optional<qint64> fittedPoints(const QImage& image);
bool fitFailed(const QImage& image);

// Allocates the image of `layout` (at least 1 x 1; RenderError beyond the size limits or when
// memory is short) and fills it, then asks `drawSettings` for the alignment and the rotation,
// draws the lines and turns the image. `beforeDrawing`, when given, sees the width and height
// before the image is allocated.
QImage drawLayout(const TextLayout& layout, const std::function<DrawSettings()>& drawSettings,
                  const std::function<void(qint64 width, qint64 height)>& beforeDrawing);

} // namespace qp
