// SPDX-License-Identifier: MIT
#include "codec/ImageData.h"

#include "codec/ImagingError.h"

#include <cinttypes>
#include <limits>
#include <new>

namespace imaging {

namespace {

constexpr int64_t MaxImageSize = std::numeric_limits<int32_t>::max();

std::string PointerText(const void* p)
{
    return Format("%0*" PRIXPTR, static_cast<int>(sizeof(void*) * 2), reinterpret_cast<uintptr_t>(p));
}

// A whole number with "," between groups of three digits.
std::string GroupedNumber(int64_t value)
{
    std::string digits = std::to_string(value < 0 ? -value : value);
    std::string out;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return value < 0 ? "-" + out : out;
}

} // namespace

size_t TImageData::RowBytes() const
{
    const TImageFormatInfo* info = GetFormatInfo(Format);
    if (!info || Width <= 0)
        return 0;
    return static_cast<size_t>(Width) * static_cast<size_t>(info->BytesPerPixel);
}

void ClearImageData(TImageData& image)
{
    image = TImageData{};
}

bool TestImage(const TImageData& image)
{
    const TImageFormatInfo* info = GetFormatInfo(image.Format);
    if (!info || image.Width <= 0 || image.Height <= 0)
        return false;
    const int64_t size = info->GetPixelsSize(image.Width, image.Height);
    if (size > MaxImageSize || size != image.Size || image.Bits.size() != static_cast<size_t>(size))
        return false;
    if (info->IsIndexed && image.Palette.size() < static_cast<size_t>(info->PaletteEntries))
        return false;
    return true;
}

void ReleaseImageData(TImageData& image)
{
    // The buffers are owned values: clearing the record frees them, valid or not.
    ClearImageData(image);
}

bool NewImageData(int32_t width, int32_t height, TImageFormat format, TImageData& image)
{
    const TImageFormatInfo* info = GetFormatInfo(format);
    const auto failure = [&](const char* inner) {
        std::string message = Format("Error while creating image data with params: Width=%d Height=%d Format=%s.",
                                     width, height, GetFormatName(format));
        if (inner)
            message += std::string(" Exception Message: ") + inner;
        return EImagingError(message);
    };
    if (!info || width < 0 || height < 0)
        throw failure(nullptr);

    const int64_t size = info->GetPixelsSize(width, height);
    if (size == 0) {
        ReleaseImageData(image);
        return false;
    }
    if (size > MaxImageSize)
        throw failure(nullptr);

    // The new buffers are made before the record is touched, so a failure leaves it as it was.
    TImageData fresh;
    try {
        fresh.Bits.assign(static_cast<size_t>(size), 0);
        if (info->IsIndexed)
            fresh.Palette.assign(static_cast<size_t>(info->PaletteEntries), TColor32Rec{});
    } catch (const std::bad_alloc&) {
        throw failure("Out of memory.");
    }
    fresh.Width = width;
    fresh.Height = height;
    fresh.Format = format;
    fresh.Size = static_cast<int32_t>(size);
    image = std::move(fresh);
    return true;
}

bool CloneImageData(const TImageData& source, TImageData& dest)
{
    if (!TestImage(source))
        return false;
    if (&source == &dest)
        return true;
    try {
        TImageData copy = source;
        dest = std::move(copy);
    } catch (const std::bad_alloc&) {
        throw EImagingError(Format("Error while cloning image. %s", ImageToStr(source).c_str()) +
                            " Exception Message: Out of memory.");
    }
    return true;
}

std::string ImageToStr(const TImageData& image)
{
    const bool inKiB = image.Size > 8192;
    const int64_t shownSize = inKiB ? (static_cast<int64_t>(image.Size) + 512) / 1024 : image.Size;
    return Format("Image @%s info: Width = %dpx, Height = %dpx, Format = %s, Size = %s %s, Bits @%s, Palette @%s.",
                  PointerText(&image).c_str(), image.Width, image.Height, GetFormatName(image.Format),
                  GroupedNumber(shownSize).c_str(), inKiB ? "KiB" : "B",
                  PointerText(image.Bits.empty() ? nullptr : image.Bits.data()).c_str(),
                  PointerText(image.Palette.empty() ? nullptr : image.Palette.data()).c_str());
}

} // namespace imaging
