// SPDX-License-Identifier: MIT
#pragma once
// The renderer: lays a text out in lines, sizes the image, fills it with the background colour,
// draws the lines and turns the finished image. Reads the settings at the moment of the call and
// keeps nothing between calls. The steps: the drawing font (DrawingFont), the layout
// (TextLayout, with TextMeasure and WrapSearch), the drawing (TextDrawing) and the turning
// (RotateBitmap); this file reads the settings model for them.
#include "core/render/DrawingFont.h"
#include "core/render/RenderError.h"
#include "core/render/RotateBitmap.h"
#include "core/render/TextDrawing.h"
#include "core/render/TextLayout.h"
#include "core/render/WrapLine.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <functional>

namespace qp {

class SettingsModel;

// The layout's and the drawing's settings as the model holds them.
LayoutSettings readLayoutSettings(const SettingsModel& settings);
DrawSettings readDrawSettings(const SettingsModel& settings);

// The drawing face of the model's settings (see drawingFace in DrawingFont.h).
QFont drawingFace(const SettingsModel& settings);

// LayoutText with the settings of the model, read at the start.
TextLayout LayoutText(const QString& text, const SettingsModel& settings);

// Lays out and draws the text and turns the image as the settings say. The result is always
// QImage::Format_RGB32 (0xffRRGGBB: every pixel opaque, background and text colours exact), turned
// or not. Throws RenderError when the image would exceed the limits (TextLayout.h, DrawingFont.h)
// or cannot be allocated.
// "\nl" in the text stands for a line break; both CR LF and a lone LF end a line.
// `beforeDrawing`, when given, sees the image's width and height (before turning) once the layout
// is done and before the image is allocated; an exception it raises leaves CreateBitmap.
// The settings are read at the moments of the model's form: the layout's at the start, the
// drawing's once the image is allocated (a callback may have let the user change them).
QImage CreateBitmap(const QString& text, const SettingsModel& settings,
                    const std::function<void(qint64 width, qint64 height)>& beforeDrawing = {});
QImage CreateBitmap(const QString& text, const LayoutSettings& layout, const DrawSettings& drawing,
                    const std::function<void(qint64 width, qint64 height)>& beforeDrawing = {});

} // namespace qp
