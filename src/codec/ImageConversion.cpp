// Conversion of an image data record to another pixel format, in place.
#include "ColorReduction.h"
#include "FormatRegistry.h"
#include "ImageData.h"
#include "ImagingError.h"
#include "PixelAccess.h"

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

std::vector<uint8_t> ConvertPixels(const TImageData& image, const TImageFormatInfo& src,
                                   const TImageFormatInfo& dst, size_t destSize)
{
    std::vector<uint8_t> bits(destSize, 0);
    const size_t count = static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height);
    const uint8_t* s = image.Bits.data();
    uint8_t* d = bits.data();
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
