// SPDX-License-Identifier: MIT
#pragma once
// Icon files (.ico, and .cur, which receives the same icon): one image whose background, the
// colour of its bottom-left pixel, is transparent, or that keeps an alpha channel of its own.
#include "codec/ImageFileFormat.h"

#include <vector>

namespace imaging {

// The complete bytes of an icon file (resource type 1, one image) for `image`: a 32-bit colour
// image and a 1-bit mask that marks every pixel of exactly the bottom-left pixel's colour as
// transparent. Transparent pixels are all zero in the colour image (black, alpha 0), the others
// keep their colour with alpha 255. A record with an alpha channel of its own (any pixel's alpha
// below 255) keeps it instead: the mask marks the pixels of alpha 0, and the others keep their
// colour and alpha. An image with a side of 256 pixels or more is stored as a PNG stream (with the
// same colours and alpha) and has 0 for that side in the directory entry. A record that is neither
// A8R8G8B8 nor X8R8G8B8 is converted to A8R8G8B8 first; X8R8G8B8 is taken as it is, its fourth
// byte as alpha.
// Raises EImagingError("Invalid image size") for an empty record, a side below 1 or a height
// above 32768.
std::vector<uint8_t> BuildIconFile(const TImageData& image);

// The icon writer: the first image of the list as BuildIconFile makes it. Unlike the other
// writers it raises "Invalid image size" for an empty list or an invalid first image instead of
// refusing it.
class TIconFileFormat : public TImageFileFormat {
public:
    explicit TIconFileFormat(TOptionTable& options);

protected:
    bool CanWriteList(const TDynImageDataArray& images) const override;
    void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images) override;
};

// Cursor names receive the same icon file.
class TCursorFileFormat : public TIconFileFormat {
public:
    explicit TCursorFileFormat(TOptionTable& options);
};

} // namespace imaging
