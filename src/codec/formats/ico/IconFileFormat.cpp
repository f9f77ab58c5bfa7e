// SPDX-License-Identifier: MIT
#include "codec/formats/ico/IconFileFormat.h"

#include "codec/FormatRegistry.h"
#include "codec/ImagingError.h"

#include <algorithm>
#include <functional>

namespace imaging {

namespace {

constexpr int MaxIconHeight = 32768;
constexpr uint32_t InfoHeaderSize = 40;
constexpr uint32_t DirectorySize = 6 + 16;   // icon directory and its one entry
constexpr uint16_t ColourBitsPerPixel = 32;
// The directory entry holds a side of up to 255 pixels; 0 stands for 256 and more.
constexpr int LargestEntrySide = 255;

// A pixel as 0xAARRGGBB; in memory (little-endian) blue, green, red, alpha: the byte order of an
// A8R8G8B8 record.
using Argb = uint32_t;
constexpr Argb RgbMask = 0x00FFFFFFu;
inline uint8_t alphaOf(Argb p) { return static_cast<uint8_t>(p >> 24); }
inline uint8_t redOf(Argb p) { return static_cast<uint8_t>(p >> 16); }
inline uint8_t greenOf(Argb p) { return static_cast<uint8_t>(p >> 8); }
inline uint8_t blueOf(Argb p) { return static_cast<uint8_t>(p); }

Argb pixelAt(const TImageData& image, int x, int y)
{
    const uint8_t* p = image.Row(y) + 4 * static_cast<size_t>(x);
    return Argb(p[0]) | Argb(p[1]) << 8 | Argb(p[2]) << 16 | Argb(p[3]) << 24;
}

// An image with a side of 256 pixels or more is stored as a PNG stream inside the icon file (a
// form icon readers know): the colour and mask bits of the small form carry their size only in
// the header, and common readers take the size from the directory entry, which cannot hold it.
// Its pixels are those of the small form.
std::vector<uint8_t> largeIconImage(const TImageData& image, const std::function<Argb(Argb)>& stored)
{
    TImageData rgba;
    NewImageData(image.Width, image.Height, ifA8R8G8B8, rgba);
    for (int y = 0; y < image.Height; ++y) {
        uint8_t* out = rgba.Row(y);
        for (int x = 0; x < image.Width; ++x, out += 4) {
            const Argb p = stored(pixelAt(image, x, y));
            out[0] = blueOf(p);
            out[1] = greenOf(p);
            out[2] = redOf(p);
            out[3] = alphaOf(p);
        }
    }
    std::vector<uint8_t> png;
    TImageFileFormat* writer = FindWriterForFileName("icon.png");
    if (!writer || !writer->WriteImageToMemory({rgba}, png, true))
        throw EImagingError("Cannot store the icon image");
    return png;
}

} // namespace

std::vector<uint8_t> BuildIconFile(const TImageData& record)
{
    if (!TestImage(record))
        throw EImagingError("Invalid image size");
    TImageData copy;
    const TImageData* source = &record;
    if (record.Format != ifA8R8G8B8 && record.Format != ifX8R8G8B8) {
        CloneImageData(record, copy);
        ConvertImageData(copy, ifA8R8G8B8);
        source = &copy;
    }
    const TImageData& image = *source;
    const int width = image.Width;
    const int height = image.Height;
    if (width < 1 || height < 1 || height > MaxIconHeight)
        throw EImagingError("Invalid image size");

    // An image with an alpha channel of its own (drawn without a background) keeps it: the mask
    // shows through where alpha is 0. Otherwise the background is the bottom-left pixel's colour,
    // matched exactly on all three channels, and the rest is opaque.
    bool ownAlpha = false;
    for (int y = 0; y < height && !ownAlpha; ++y)
        for (int x = 0; x < width && !ownAlpha; ++x)
            ownAlpha = alphaOf(pixelAt(image, x, y)) != 255;
    const Argb background = pixelAt(image, 0, height - 1) & RgbMask;
    const auto transparent = [&](Argb pixel) {
        return ownAlpha ? alphaOf(pixel) == 0 : (pixel & RgbMask) == background;
    };
    // The colour bits of a pixel: all zero where the mask shows through.
    const auto stored = [&](Argb pixel) -> Argb {
        return transparent(pixel) ? 0 : ownAlpha ? pixel : (pixel | 0xFF000000u);
    };
    const bool large = width > LargestEntrySide || height > LargestEntrySide;
    const std::vector<uint8_t> png = large ? largeIconImage(image, stored) : std::vector<uint8_t>{};

    // Row lengths padded to a multiple of 4 bytes; 32-bit rows always are.
    const uint32_t colourRowBytes = static_cast<uint32_t>(width) * 4;
    const uint32_t maskRowBytes = (static_cast<uint32_t>(width) + 31) / 32 * 4;
    const uint32_t colourBytes = colourRowBytes * static_cast<uint32_t>(height);
    const uint32_t maskBytes = maskRowBytes * static_cast<uint32_t>(height);
    const uint32_t imageDataSize =
        large ? static_cast<uint32_t>(png.size()) : InfoHeaderSize + colourBytes + maskBytes;

    TMemoryStream w;
    std::vector<uint8_t>& out = w.Bytes();
    out.reserve(DirectorySize + imageDataSize);

    // Icon directory: reserved, resource type 1 (an icon, also for .cur names), one image.
    w.WriteU16LE(0);
    w.WriteU16LE(1);
    w.WriteU16LE(1);
    // Directory entry. A side of 256 or more is written as 0, "256 or more" (its low 8 bits
    // would make a 300-pixel side 44). The word after the sizes holds planes times bits per
    // pixel, and the two words after that stay zero.
    const auto entrySide = [](int side) { return side > LargestEntrySide ? uint8_t(0) : static_cast<uint8_t>(side); };
    w.WriteByte(entrySide(width));
    w.WriteByte(entrySide(height));
    w.WriteU16LE(1 * ColourBitsPerPixel);
    w.WriteU16LE(0);
    w.WriteU16LE(0);
    w.WriteU32LE(imageDataSize);
    w.WriteU32LE(DirectorySize);
    if (large) {
        w.Write(png.data(), png.size());
        return std::move(out);
    }

    // Header of the colour image; its height counts the mask too.
    w.WriteU32LE(InfoHeaderSize);
    w.WriteU32LE(static_cast<uint32_t>(width));
    w.WriteU32LE(static_cast<uint32_t>(height) * 2);
    w.WriteU16LE(1);                   // planes
    w.WriteU16LE(ColourBitsPerPixel);
    w.WriteU32LE(0);                   // no compression
    w.WriteU32LE(colourBytes);         // size of the colour bits alone
    w.WriteU32LE(0);                   // horizontal resolution
    w.WriteU32LE(0);                   // vertical resolution
    w.WriteU32LE(0);                   // colours used
    w.WriteU32LE(0);                   // important colours

    // Colour bits, bottom row first: blue, green, red and an alpha byte that agrees with the mask
    // (readers that take a 32-bit icon's fourth byte as alpha would otherwise show nothing);
    // all zero where the mask shows through.
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Argb p = stored(pixelAt(image, x, y));
            w.WriteByte(blueOf(p));
            w.WriteByte(greenOf(p));
            w.WriteByte(redOf(p));
            w.WriteByte(alphaOf(p));
        }
    }
    // Mask bits, bottom row first, leftmost pixel in the highest bit, 1 = transparent.
    for (int y = height - 1; y >= 0; --y) {
        const size_t start = out.size();
        out.resize(start + maskRowBytes, 0);
        for (int x = 0; x < width; ++x)
            if (transparent(pixelAt(image, x, y)))
                out[start + static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    return std::move(out);
}

TIconFileFormat::TIconFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "Windows Icon";
    m_canSave = true;
    m_supportedFormats = {ifA8R8G8B8, ifX8R8G8B8};
}

bool TIconFileFormat::CanWriteList(const TDynImageDataArray& images) const
{
    if (images.empty() || !TestImage(images.front()))
        throw EImagingError("Invalid image size");
    return true;
}

void TIconFileFormat::WriteImages(TMemoryStream& stream, const TDynImageDataArray& images)
{
    stream.Bytes() = BuildIconFile(images[static_cast<size_t>(m_firstIdx)]);
}

TCursorFileFormat::TCursorFileFormat(TOptionTable& options) : TIconFileFormat(options)
{
    m_name = "Windows Cursor";
}

} // namespace imaging
