// SPDX-License-Identifier: MIT
#pragma once
// Turning a finished image in steps of 90 degrees.
#include <QImage>

namespace qp {

// How the drawn image is turned (rb_drehung_*), clockwise.
enum class Rotation { None, Quarter, Half, ThreeQuarters };

// Turns the image 90 degrees clockwise in place: a W x H image becomes H x W, the old top-left
// corner lands at the top-right. An image with other than 32 bits per pixel is converted to
// 32 bits first. Throws RenderError when the turned image cannot be allocated.
void RotateBitmap90(QImage& image);

// Turns the image 180 degrees in place, with the same conversion to 32 bits per pixel.
void RotateBitmap180(QImage& image);

// Turns the image in place as `rotation` says: three quarters are a quarter and then a half.
void rotateImage(QImage& image, Rotation rotation);

} // namespace qp
