// SPDX-License-Identifier: MIT
#include "core/output/IconWriter.h"

#include "codec/FormatRegistry.h"
#include "codec/ImageFileFormat.h"
#include "core/output/BitmapExchange.h"

#include <QImage>
#include <algorithm>
#include <functional>

namespace qp {

namespace {

constexpr int MaxIconHeight = 32768;
constexpr uint32_t InfoHeaderSize = 40;
constexpr uint32_t DirectorySize = 6 + 16;   // icon directory and its one entry
constexpr uint16_t ColourBitsPerPixel = 32;
// The directory entry holds a side of up to 255 pixels; 0 stands for 256 and more.
constexpr int LargestEntrySide = 255;

// An image with a side of 256 pixels or more is stored as a PNG stream inside the icon file (a
// form icon readers know): the colour and mask bits of the small form carry their size only in
// the header, and common readers take the size from the directory entry, which cannot hold it.
// Its pixels are those of the small form.
std::vector<uint8_t> largeIconImage(const QImage& bitmap, const std::function<QRgb(QRgb)>& stored)
{
    imaging::TImageData rgba;
    imaging::NewImageData(bitmap.width(), bitmap.height(), imaging::ifA8R8G8B8, rgba);
    for (int y = 0; y < bitmap.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(bitmap.constScanLine(y));
        uint8_t* out = rgba.Row(y);
        for (int x = 0; x < bitmap.width(); ++x, out += 4) {
            const QRgb p = stored(row[x]);
            out[0] = static_cast<uint8_t>(qBlue(p));
            out[1] = static_cast<uint8_t>(qGreen(p));
            out[2] = static_cast<uint8_t>(qRed(p));
            out[3] = static_cast<uint8_t>(qAlpha(p));
        }
    }
    std::vector<uint8_t> png;
    imaging::TImageFileFormat* writer = imaging::FindWriterForFileName("icon.png");
    if (!writer || !writer->WriteImageToMemory({rgba}, png, true))
        throw IconError("Cannot store the icon image");
    return png;
}

} // namespace

std::vector<unsigned char> BuildIconFile(const imaging::TImageData& record)
{
    const QImage bitmap = ImageDataToBitmap(record);
    const int width = bitmap.width();
    const int height = bitmap.height();
    if (bitmap.isNull() || width < 1 || height < 1 || height > MaxIconHeight)
        throw IconError("Invalid image size");

    // An image with an alpha channel of its own (drawn without a background) keeps it: the mask
    // shows through where alpha is 0. Otherwise the background is the bottom-left pixel's colour,
    // matched exactly on all three channels, and the rest is opaque.
    bool ownAlpha = false;
    for (int y = 0; y < height && !ownAlpha; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(bitmap.constScanLine(y));
        ownAlpha = std::any_of(row, row + width, [](QRgb p) { return qAlpha(p) != 255; });
    }
    const QRgb background = bitmap.pixel(0, height - 1) & RGB_MASK;
    const auto transparent = [&](QRgb pixel) {
        return ownAlpha ? qAlpha(pixel) == 0 : (pixel & RGB_MASK) == background;
    };
    // The colour bits of a pixel: all zero where the mask shows through.
    const auto stored = [&](QRgb pixel) -> QRgb {
        return transparent(pixel) ? 0 : ownAlpha ? pixel : (pixel | 0xFF000000u);
    };
    const bool large = width > LargestEntrySide || height > LargestEntrySide;
    const std::vector<uint8_t> png = large ? largeIconImage(bitmap, stored) : std::vector<uint8_t>{};

    // Row lengths padded to a multiple of 4 bytes; 32-bit rows always are.
    const uint32_t colourRowBytes = static_cast<uint32_t>(width) * 4;
    const uint32_t maskRowBytes = (static_cast<uint32_t>(width) + 31) / 32 * 4;
    const uint32_t colourBytes = colourRowBytes * static_cast<uint32_t>(height);
    const uint32_t maskBytes = maskRowBytes * static_cast<uint32_t>(height);
    const uint32_t imageDataSize =
        large ? static_cast<uint32_t>(png.size()) : InfoHeaderSize + colourBytes + maskBytes;

    imaging::TMemoryStream w;
    std::vector<unsigned char>& out = w.Bytes();
    out.reserve(DirectorySize + imageDataSize);

    // Icon directory: reserved, resource type 1 (an icon, also for .cur names), one image.
    w.WriteU16LE(0);
    w.WriteU16LE(1);
    w.WriteU16LE(1);
    // Directory entry. A side of 256 or more is written as 0, "256 or more" (its low 8 bits
    // would make a 300-pixel side 44). The word after the sizes holds planes times bits per
    // pixel, and the two words after that stay zero.
    const auto entrySide = [](int side) { return side > LargestEntrySide ? 0u : static_cast<unsigned>(side); };
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
        const auto* row = reinterpret_cast<const QRgb*>(bitmap.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb p = stored(row[x]);
            w.WriteByte(qBlue(p));
            w.WriteByte(qGreen(p));
            w.WriteByte(qRed(p));
            w.WriteByte(qAlpha(p));
        }
    }
    // Mask bits, bottom row first, leftmost pixel in the highest bit, 1 = transparent.
    for (int y = height - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(bitmap.constScanLine(y));
        const size_t start = out.size();
        out.resize(start + maskRowBytes, 0);
        for (int x = 0; x < width; ++x)
            if (transparent(row[x]))
                out[start + static_cast<size_t>(x / 8)] |= static_cast<unsigned char>(0x80 >> (x % 8));
    }
    return std::move(out);
}

} // namespace qp
