// SPDX-License-Identifier: MIT
#include "codec/PixelFormats.h"

#include <array>
#include <limits>

namespace imaging {

namespace {

constexpr TPixelBitField Field(uint32_t mask)
{
    TPixelBitField f;
    f.mask = mask;
    if (mask == 0)
        return f;
    while (((mask >> f.shift) & 1u) == 0)
        ++f.shift;
    while (f.shift + f.bits < 32 && ((mask >> (f.shift + f.bits)) & 1u) != 0)
        ++f.bits;
    return f;
}

// Builders that keep the catalogue table below readable.
struct Entry {
    TImageFormatInfo info;

    Entry(TImageFormat id, const char* name, int bytes, int channels)
    {
        info.Format = id;
        info.Name = name;
        info.BytesPerPixel = bytes;
        info.ChannelCount = channels;
    }
    Entry& Gray() { info.HasGrayChannel = true; return *this; }
    Entry& Alpha() { info.HasAlphaChannel = true; return *this; }
    Entry& Float() { info.IsFloatingPoint = true; return *this; }
    Entry& Indexed(int entries) { info.IsIndexed = true; info.PaletteEntries = entries; return *this; }
    Entry& Twin(TImageFormat twin) { info.RBSwapFormat = twin; return *this; }
    Entry& Swapped(TImageFormat twin) { info.IsRBSwapped = true; info.RBSwapFormat = twin; return *this; }
    Entry& Special(TImageFormat nearest) { info.IsSpecial = true; info.SpecialNearestFormat = nearest; return *this; }
    Entry& Packed(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
    {
        info.UsePixelFormat = true;
        info.A = Field(a);
        info.R = Field(r);
        info.G = Field(g);
        info.B = Field(b);
        return *this;
    }
};

const std::array<TImageFormatInfo, 33>& Catalogue()
{
    static const std::array<TImageFormatInfo, 33> catalogue = {
        Entry(ifIndex8, "Index8", 1, 1).Indexed(256).info,
        Entry(ifGray8, "Gray8", 1, 1).Gray().info,
        Entry(ifA8Gray8, "A8Gray8", 2, 2).Gray().Alpha().info,
        Entry(ifGray16, "Gray16", 2, 1).Gray().info,
        Entry(ifGray32, "Gray32", 4, 1).Gray().info,
        Entry(ifGray64, "Gray64", 8, 1).Gray().info,
        Entry(ifA16Gray16, "A16Gray16", 4, 2).Gray().Alpha().info,
        Entry(ifX5R1G1B1, "X5R1G1B1", 1, 3).Packed(0, 0x04, 0x02, 0x01).info,
        Entry(ifR3G3B2, "R3G3B2", 1, 3).Packed(0, 0xE0, 0x1C, 0x03).info,
        Entry(ifR5G6B5, "R5G6B5", 2, 3).Packed(0, 0xF800, 0x07E0, 0x001F).info,
        Entry(ifA1R5G5B5, "A1R5G5B5", 2, 4).Alpha().Packed(0x8000, 0x7C00, 0x03E0, 0x001F).info,
        Entry(ifA4R4G4B4, "A4R4G4B4", 2, 4).Alpha().Packed(0xF000, 0x0F00, 0x00F0, 0x000F).info,
        Entry(ifX1R5G5B5, "X1R5G5B5", 2, 3).Packed(0, 0x7C00, 0x03E0, 0x001F).info,
        Entry(ifX4R4G4B4, "X4R4G4B4", 2, 3).Packed(0, 0x0F00, 0x00F0, 0x000F).info,
        Entry(ifR8G8B8, "R8G8B8", 3, 3).info,
        Entry(ifA8R8G8B8, "A8R8G8B8", 4, 4).Alpha().info,
        Entry(ifX8R8G8B8, "X8R8G8B8", 4, 3).info,
        Entry(ifR16G16B16, "R16G16B16", 6, 3).Twin(ifB16G16R16).info,
        Entry(ifA16R16G16B16, "A16R16G16B16", 8, 4).Alpha().Twin(ifA16B16G16R16).info,
        Entry(ifB16G16R16, "B16G16R16", 6, 3).Swapped(ifR16G16B16).info,
        Entry(ifA16B16G16R16, "A16B16G16R16", 8, 4).Alpha().Swapped(ifA16R16G16B16).info,
        Entry(ifR32F, "R32F", 4, 1).Float().info,
        Entry(ifA32R32G32B32F, "A32R32G32B32F", 16, 4).Float().Alpha().Twin(ifA32B32G32R32F).info,
        Entry(ifA32B32G32R32F, "A32B32G32R32F", 16, 4).Float().Alpha().Swapped(ifA32R32G32B32F).info,
        Entry(ifR16F, "R16F", 2, 1).Float().info,
        Entry(ifA16R16G16B16F, "A16R16G16B16F", 8, 4).Float().Alpha().Twin(ifA16B16G16R16F).info,
        Entry(ifA16B16G16R16F, "A16B16G16R16F", 8, 4).Float().Alpha().Swapped(ifA16R16G16B16F).info,
        Entry(ifDXT1, "DXT1", 0, 4).Alpha().Special(ifA8R8G8B8).info,
        Entry(ifDXT3, "DXT3", 0, 4).Alpha().Special(ifA8R8G8B8).info,
        Entry(ifDXT5, "DXT5", 0, 4).Alpha().Special(ifA8R8G8B8).info,
        Entry(ifBTC, "BTC", 0, 1).Special(ifGray8).info,
        Entry(ifATI1N, "ATI1N", 0, 1).Special(ifGray8).info,
        Entry(ifATI2N, "ATI2N", 0, 2).Special(ifA8R8G8B8).info,
    };
    return catalogue;
}

// Bytes of one 4 x 4 block of the block-compressed formats.
int64_t BlockBytes(TImageFormat format)
{
    switch (format) {
    case ifDXT1: return 8;
    case ifDXT3: return 16;
    case ifDXT5: return 16;
    case ifBTC: return 4;
    case ifATI1N: return 8;
    case ifATI2N: return 16;
    default: return 0;
    }
}

// a * b * c, saturated at the largest 64-bit value (all factors non-negative).
int64_t SaturatingProduct(int64_t a, int64_t b, int64_t c)
{
    constexpr int64_t max = std::numeric_limits<int64_t>::max();
    if (a == 0 || b == 0 || c == 0)
        return 0;
    if (a > max / b)
        return max;
    const int64_t ab = a * b;
    if (ab > max / c)
        return max;
    return ab * c;
}

} // namespace

int64_t TImageFormatInfo::GetPixelsSize(int64_t width, int64_t height) const
{
    if (width <= 0 || height <= 0)
        return 0;
    if (IsSpecial) {
        // Blocks of 4 x 4 pixels; a partial block at the right or bottom edge takes a whole block.
        const int64_t blocksX = width / 4 + (width % 4 != 0);
        const int64_t blocksY = height / 4 + (height % 4 != 0);
        return SaturatingProduct(blocksX, blocksY, BlockBytes(Format));
    }
    return SaturatingProduct(width, height, BytesPerPixel);
}

bool TImageFormatInfo::CheckDimensions(int32_t width, int32_t height) const
{
    return width >= 0 && height >= 0;
}

const TImageFormatInfo* GetFormatInfo(TImageFormat format)
{
    if (format <= ifUnknown || format > ifATI2N)
        return nullptr;
    for (const TImageFormatInfo& info : Catalogue())
        if (info.Format == format)
            return &info;
    return nullptr;
}

bool IsValidFormat(TImageFormat format)
{
    return GetFormatInfo(format) != nullptr;
}

const char* GetFormatName(TImageFormat format)
{
    const TImageFormatInfo* info = GetFormatInfo(format);
    return info ? info->Name : "Unknown and unsupported format";
}

} // namespace imaging
