// SPDX-License-Identifier: MIT
#pragma once
// Turning a finished image in steps of 90 degrees.
#include <QImage>

namespace qp {

// Turns the image 90 degrees clockwise in place: a W x H image becomes H x W, the old top-left
// corner lands at the top-right. An image with other than 32 bits per pixel is converted to
// 32 bits first. Throws RenderError when the turned image cannot be allocated.
void RotateBitmap90(QImage& image);

// Turns the image 180 degrees in place, with the same conversion to 32 bits per pixel.
void RotateBitmap180(QImage& image);

} // namespace qp
