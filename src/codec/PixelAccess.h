// SPDX-License-Identifier: MIT
#pragma once
// Reading and writing one pixel of any plain (not block-compressed) format, as 8-bit ARGB or as
// floating point. The conversions between formats are built from these.
#include "codec/ImageData.h"

namespace imaging {

// A pixel with floating-point channels, 0 to 1.
struct TColorFPRec {
    float A = 0, R = 0, G = 0, B = 0;
};

// The gray value of a colour: round(0.299 r + 0.587 g + 0.114 b) with single-precision weights.
uint8_t GrayOf(const TColor32Rec& c);

// palette is needed for indexed formats only (at least PaletteEntries entries).
TColor32Rec GetPixel32(const uint8_t* pixel, const TImageFormatInfo& info, const TColor32Rec* palette);
// Indexed formats cannot be written this way (they need colour reduction); nothing is written.
void SetPixel32(uint8_t* pixel, const TImageFormatInfo& info, const TColor32Rec& color);

TColorFPRec GetPixelFP(const uint8_t* pixel, const TImageFormatInfo& info, const TColor32Rec* palette);
void SetPixelFP(uint8_t* pixel, const TImageFormatInfo& info, const TColorFPRec& color);

// True for formats with more than 8 bits in a channel (16-bit integers, floating point); their
// conversions go through floating point so that no precision is lost on the way.
bool IsDeepFormat(const TImageFormatInfo& info);

// Where the channels of a byte-aligned format lie within one pixel, in the order files store
// them: red, green, blue, then alpha for colour formats; the gray value, palette index or single
// channel, then alpha for the others. Every channel takes ChannelBytes bytes (stored
// little-endian); the fourth byte of X8R8G8B8 is no channel. Packed and block-compressed formats
// have no byte-aligned channels: no offsets, ChannelBytes 0.
struct TChannelLayout {
    int ChannelBytes = 0;
    std::vector<int> Offsets;
};
TChannelLayout GetChannelLayout(const TImageFormatInfo& info);

// Row-wise conversions of the program's images, written so that the compiler vectorises them:
// 32-bit blue, green, red, x pixels to R8G8B8 (the fourth byte is dropped), and back with an
// opaque fourth byte.
void Bgrx32ToR8G8B8(const uint8_t* src, uint8_t* dst, size_t count);
void R8G8B8ToBgra32(const uint8_t* src, uint8_t* dst, size_t count);

// IEEE half precision.
float HalfToFloat(uint16_t h);
uint16_t FloatToHalf(float f);

} // namespace imaging
