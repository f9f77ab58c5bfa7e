// SPDX-License-Identifier: MIT
// Conversion of an image data record to another pixel format, in place.
#include "codec/ColorReduction.h"
#include "codec/FormatRegistry.h"
#include "codec/ImageData.h"
#include "codec/ImagingError.h"
#include "codec/PixelAccess.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

namespace imaging {

namespace {

// Exchanges the red and blue channels of every pixel: the formats that are each other's twins
// differ only in that.
void SwapRedBlue(TImageData& image, const TImageFormatInfo& info)
{
    const size_t channelBytes = static_cast<size_t>(info.BytesPerPixel / info.ChannelCount);
    const size_t pixelBytes = static_cast<size_t>(info.BytesPerPixel);
    uint8_t* p = image.Bits.data();
    uint8_t* const end = p + image.Bits.size();
    for (; p < end; p += pixelBytes)
        std::swap_ranges(p, p + channelBytes, p + 2 * channelBytes);
}

// The conversions every image of a run takes, row-wise: the renderer's 32-bit pixels to R8G8B8,
// and R8G8B8 back to 32 bits or to gray. The results equal those of the per-pixel routines. False
// for other pairs.
bool ConvertCommonPixels(const uint8_t* s, TImageFormat from, uint8_t* d, TImageFormat to,
                         size_t count)
{
    const bool from32 = from == ifA8R8G8B8 || from == ifX8R8G8B8;
    if (from32 && to == ifR8G8B8) {
        Bgrx32ToR8G8B8(s, d, count);
        return true;
    }
    if (from == ifR8G8B8 && (to == ifA8R8G8B8 || to == ifX8R8G8B8)) {
        R8G8B8ToBgra32(s, d, count);
        return true;
    }
    if (from == ifR8G8B8 && to == ifGray8) {
        for (size_t i = 0; i < count; ++i)
            d[i] = GrayOf({s[3 * i], s[3 * i + 1], s[3 * i + 2], 255});
        return true;
    }
    return false;
}

std::vector<uint8_t> ConvertPixels(const TImageData& image, const TImageFormatInfo& src,
                                   const TImageFormatInfo& dst, size_t destSize)
{
    std::vector<uint8_t> bits(destSize, 0);
    const size_t count = static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height);
    const uint8_t* s = image.Bits.data();
    uint8_t* d = bits.data();
    if (ConvertCommonPixels(s, src.Format, d, dst.Format, count))
        return bits;
    const TColor32Rec* palette = image.Palette.empty() ? nullptr : image.Palette.data();
    const size_t sStep = static_cast<size_t>(src.BytesPerPixel);
    const size_t dStep = static_cast<size_t>(dst.BytesPerPixel);
    if (IsDeepFormat(src) || IsDeepFormat(dst)) {
        for (size_t i = 0; i < count; ++i, s += sStep, d += dStep)
            SetPixelFP(d, dst, GetPixelFP(s, src, palette));
    } else {
        for (size_t i = 0; i < count; ++i, s += sStep, d += dStep)
            SetPixel32(d, dst, GetPixel32(s, src, palette));
    }
    return bits;
}

} // namespace

bool ConvertImageData(TImageData& image, TImageFormat destFormat)
{
    const TImageFormatInfo* dst = GetFormatInfo(destFormat);
    const auto failure = [&](const std::string& inner) {
        std::string message = Format("Error while converting image to format \"%s\". %s",
                                     GetFormatName(destFormat), ImageToStr(image).c_str());
        if (!inner.empty())
            message += " Exception Message: " + inner;
        return EImagingError(message);
    };
    if (!dst)
        throw failure("");
    if (!TestImage(image))
        return false;
    if (image.Format == destFormat)
        return true;

    const TImageFormatInfo& src = *GetFormatInfo(image.Format);
    if (src.RBSwapFormat == destFormat) {
        SwapRedBlue(image, src);
        image.Format = destFormat;
        return true;
    }
    if (src.IsSpecial || dst->IsSpecial)
        throw failure("Block-compressed pixel data cannot be converted.");

    const int64_t size = dst->GetPixelsSize(image.Width, image.Height);
    if (size > std::numeric_limits<int32_t>::max())
        throw failure("The converted image is too large.");
    std::vector<uint8_t> bits;
    std::vector<TColor32Rec> palette;
    try {
        if (dst->IsIndexed) {
            // Median-cut reduction with the process-wide channel mask (option 128).
            const uint8_t mask = ChannelMaskFromOption(GetCodecOption(ImagingColorReductionMask));
            ReduceToIndexed(image, destFormat, mask, bits, palette);
        } else {
            bits = ConvertPixels(image, src, *dst, static_cast<size_t>(size));
        }
    } catch (const std::bad_alloc&) {
        throw failure("Out of memory.");
    }
    // Only now the record changes: a failed conversion leaves it as it was.
    image.Bits = std::move(bits);
    image.Palette = std::move(palette);
    image.Palette.shrink_to_fit();
    image.Size = static_cast<int32_t>(size);
    image.Format = destFormat;
    return true;
}

} // namespace imaging
