// SPDX-License-Identifier: MIT
#pragma once
// The start window's splash pictures, German and English, drawn by the program itself.
#include <QImage>

namespace qp {

// Size of the start window and of both pictures.
constexpr int kSplashWidth = 380;
constexpr int kSplashHeight = 235;

// The splash picture in German (`german`) or English.
QImage splashPicture(bool german);

} // namespace qp
