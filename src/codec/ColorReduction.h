// SPDX-License-Identifier: MIT
#pragma once
// Median-cut colour reduction: turns the pixels of a plain image into palette indices.
#include "codec/ImageData.h"

#include <cstdint>
#include <vector>

namespace imaging {

// Reduces a valid plain (not block-compressed) image to at most maxColors colours (limited to
// 2..4096) and returns the palette, maxColors entries long. indices receives one index per pixel,
// rows top first, each indexBytes (1 or 2) bytes little-endian.
//
// Every channel of every pixel is ANDed with channelMask before colours are counted; the boxes
// are widened afterwards so that the unmasked pixels fall into them. An image with no more
// distinct (masked) colours than maxColors keeps them exactly; the most frequent colour gets
// index 0, and the palette entries left over are opaque black.
std::vector<TColor32Rec> ReduceColorsMedianCut(const TImageData& image, int maxColors, uint8_t channelMask,
                                               uint8_t* indices, int indexBytes);

// The pixels of a valid plain image as the indexed format `indexedFormat` (its palette size is
// the colour count): new Bits and Palette for the record.
void ReduceToIndexed(const TImageData& image, TImageFormat indexedFormat, uint8_t channelMask,
                     std::vector<uint8_t>& bits, std::vector<TColor32Rec>& palette);

// Option 128's value as a channel mask; a value outside 0..255 (an unbound option) masks nothing.
uint8_t ChannelMaskFromOption(int32_t value);

} // namespace imaging
