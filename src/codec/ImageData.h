// SPDX-License-Identifier: MIT
#pragma once
// The image data record: one image in memory, owning its pixel and palette buffers.
#include "codec/PixelFormats.h"

#include <cstdint>
#include <string>
#include <vector>

namespace imaging {

// A palette entry: blue, green, red, alpha.
struct TColor32Rec {
    uint8_t B = 0, G = 0, R = 0, A = 0;
    bool operator==(const TColor32Rec&) const = default;
};

struct TImageData {
    int32_t Width = 0;
    int32_t Height = 0;
    TImageFormat Format = ifUnknown;
    int32_t Size = 0;                   // byte count of Bits
    std::vector<uint8_t> Bits;          // rows top first, packed without padding
    std::vector<TColor32Rec> Palette;   // indexed formats only

    uint8_t* Row(int y) { return Bits.data() + static_cast<size_t>(y) * RowBytes(); }
    const uint8_t* Row(int y) const { return Bits.data() + static_cast<size_t>(y) * RowBytes(); }
    size_t RowBytes() const;
};

using TDynImageDataArray = std::vector<TImageData>;

// Sets every field to zero. With value buffers nothing needs to be kept alive, so this also frees.
void ClearImageData(TImageData& image);
// True when the format is in the catalogue and Size matches it for Width x Height.
bool TestImage(const TImageData& image);
// Releases the record: a valid one is freed and cleared, an invalid one only cleared.
void ReleaseImageData(TImageData& image);
// Replaces the record by a zero-filled image (indexed formats get a zero-filled palette). A width
// or height of 0 leaves the record empty and gives false. Raises EImagingError ("Error while
// creating image data with params: ...") for a negative size, an unknown format, a byte size
// beyond 32 bits or a failed allocation; the record is then left as it was.
bool NewImageData(int32_t width, int32_t height, TImageFormat format, TImageData& image);
// Deep copy; false (dest untouched) when the source is not valid. Raises EImagingError ("Error
// while cloning image. ...") when memory runs out.
bool CloneImageData(const TImageData& source, TImageData& dest);
// Converts in place; true also when the record already has the format; false for an invalid
// record. Raises EImagingError ("Error while converting image to format ...") for an unknown
// target id and when the conversion fails (block-compressed formats); the record is then left as
// it was. Index8 as a target goes through median-cut colour reduction (ColorReduction.h).
bool ConvertImageData(TImageData& image, TImageFormat destFormat);
// "Image @%p info: Width = ..." as used in error messages.
std::string ImageToStr(const TImageData& image);

} // namespace imaging
