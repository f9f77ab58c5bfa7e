// SPDX-License-Identifier: MIT
#pragma once
// Icon files (.ico, and .cur, which receives the same icon): one image whose background, the
// colour of its bottom-left pixel, is transparent, or that keeps an alpha channel of its own.
#include "codec/ImageData.h"

#include <stdexcept>
#include <vector>

namespace qp {

class IconError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The complete bytes of an icon file (resource type 1, one image) for `image`: a 32-bit colour
// image and a 1-bit mask that marks every pixel of exactly the bottom-left pixel's colour as
// transparent. Transparent pixels are all zero in the colour image (black, alpha 0), the others
// keep their colour with alpha 255. A record with an alpha channel of its own (any pixel's alpha
// below 255) keeps it instead: the mask marks the pixels of alpha 0, and the others keep their
// colour and alpha. An image with a side of 256 pixels or more is stored as a PNG stream (with the
// same colours and alpha) and has 0 for that side in the directory entry.
// Raises IconError("Invalid image size") for an empty record, a side below 1 or a height above
// 32768, and imaging::EImagingError when the record cannot be turned into a bitmap.
std::vector<unsigned char> BuildIconFile(const imaging::TImageData& image);

} // namespace qp
