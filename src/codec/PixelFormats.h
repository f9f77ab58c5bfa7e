// SPDX-License-Identifier: MIT
#pragma once
// The pixel-format catalogue: every format the codec knows, with its layout and flags.
#include <cstdint>

namespace imaging {

using TImageFormat = int32_t;

enum : TImageFormat {
    ifUnknown = 0,
    ifIndex8 = 10,
    ifGray8 = 40, ifA8Gray8 = 41, ifGray16 = 42, ifGray32 = 43, ifGray64 = 44, ifA16Gray16 = 45,
    ifX5R1G1B1 = 80, ifR3G3B2 = 81, ifR5G6B5 = 82, ifA1R5G5B5 = 83, ifA4R4G4B4 = 84,
    ifX1R5G5B5 = 85, ifX4R4G4B4 = 86,
    ifR8G8B8 = 87, ifA8R8G8B8 = 88, ifX8R8G8B8 = 89,
    ifR16G16B16 = 90, ifA16R16G16B16 = 91, ifB16G16R16 = 92, ifA16B16G16R16 = 93,
    ifR32F = 170, ifA32R32G32B32F = 171, ifA32B32G32R32F = 172, ifR16F = 173,
    ifA16R16G16B16F = 174, ifA16B16G16R16F = 175,
    ifDXT1 = 220, ifDXT3 = 221, ifDXT5 = 222, ifBTC = 223, ifATI1N = 224, ifATI2N = 225,
};

// Bit-field layout of a packed channel.
struct TPixelBitField {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
};

struct TImageFormatInfo {
    TImageFormat Format = ifUnknown;
    const char* Name = "";
    int BytesPerPixel = 0;   // 0 for block-compressed formats
    int ChannelCount = 0;
    int PaletteEntries = 0;
    bool HasGrayChannel = false;
    bool HasAlphaChannel = false;
    bool IsFloatingPoint = false;
    bool UsePixelFormat = false;   // packed bit fields
    bool IsRBSwapped = false;
    bool IsIndexed = false;
    bool IsSpecial = false;        // block-compressed
    TImageFormat RBSwapFormat = ifUnknown;
    TImageFormat SpecialNearestFormat = ifUnknown;
    TPixelBitField A, R, G, B;     // packed formats only

    // Byte size of an image of this format with the given dimensions (64-bit: callers check the range).
    int64_t GetPixelsSize(int64_t width, int64_t height) const;
    bool CheckDimensions(int32_t width, int32_t height) const;
};

// The catalogue entry of a format, or nullptr for an invalid id.
const TImageFormatInfo* GetFormatInfo(TImageFormat format);
bool IsValidFormat(TImageFormat format);
const char* GetFormatName(TImageFormat format);

} // namespace imaging
