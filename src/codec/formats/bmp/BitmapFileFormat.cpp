// SPDX-License-Identifier: MIT
#include "codec/formats/bmp/BitmapFileFormat.h"

#include "codec/CodecOptions.h"
#include "codec/ImagingError.h"

#include <limits>

namespace imaging {

namespace {

constexpr uint32_t InfoHeaderSize = 40;
constexpr uint32_t V4HeaderSize = 108;
constexpr uint32_t CompressionNone = 0;
constexpr uint32_t CompressionRLE8 = 1;
constexpr uint32_t CompressionBitFields = 3;
constexpr int32_t PixelsPerMetre = 2835;   // 72 dpi
constexpr uint32_t ColorSpaceSRGB = 0x73524742;   // 'sRGB'

// One row of 8-bit indices in run-length form: runs of equal bytes as (count, value), longer
// stretches without runs as absolute packets (0, count, bytes, padded to an even length), and
// the end-of-line marker (0, 0), or the end-of-bitmap marker (0, 1) after the last row.
void EncodeRLE8Row(const uint8_t* row, size_t width, bool lastRow, TMemoryStream& out)
{
    size_t i = 0;
    while (i < width) {
        size_t run = 1;
        while (i + run < width && run < 255 && row[i + run] == row[i])
            ++run;
        if (run >= 2) {
            out.WriteByte(static_cast<uint8_t>(run));
            out.WriteByte(row[i]);
            i += run;
            continue;
        }
        // Gather bytes until three equal ones start a run worth encoding.
        size_t end = i;
        while (end < width && end - i < 255 &&
               !(end + 2 < width && row[end] == row[end + 1] && row[end] == row[end + 2]))
            ++end;
        const size_t count = end - i;
        if (count < 3) {
            // Absolute packets need at least three bytes; shorter stretches are runs of one.
            for (size_t k = i; k < end; ++k) {
                out.WriteByte(1);
                out.WriteByte(row[k]);
            }
        } else {
            out.WriteByte(0);
            out.WriteByte(static_cast<uint8_t>(count));
            out.Write(row + i, count);
            if (count % 2 != 0)
                out.WriteByte(0);
        }
        i = end;
    }
    out.WriteByte(0);
    out.WriteByte(lastRow ? 1 : 0);
}

} // namespace

TBitmapFileFormat::TBitmapFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "Windows Bitmap Image";
    m_canSave = true;
    m_supportedFormats = {ifIndex8, ifR5G6B5, ifA1R5G5B5, ifA4R4G4B4, ifX1R5G5B5,
                          ifX4R4G4B4, ifR8G8B8, ifA8R8G8B8, ifX8R8G8B8};
    options.RegisterOption(ImagingBitmapRLE, &m_useRLE);
}

void TBitmapFileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    TImageFormat target;
    if (info.IsFloatingPoint)
        target = info.HasAlphaChannel ? ifA8R8G8B8 : ifR8G8B8;
    else if (info.HasGrayChannel || info.IsIndexed)
        target = info.HasAlphaChannel ? ifA8R8G8B8 : ifIndex8;
    else if (info.HasAlphaChannel)
        target = ifA8R8G8B8;
    else
        target = info.UsePixelFormat ? ifX1R5G5B5 : ifR8G8B8;
    ConvertImageData(image, target);
}

void TBitmapFileFormat::WriteImages(TMemoryStream& stream, const TDynImageDataArray& images)
{
    TImageData copy;
    const TImageData& image = MakeWritable(images[static_cast<size_t>(m_firstIdx)], copy);
    const TImageFormatInfo& info = *GetFormatInfo(image.Format);

    const bool rle = image.Format == ifIndex8 && m_useRLE != 0;
    const bool twoBytes = info.BytesPerPixel == 2;
    const bool bitFields = twoBytes && image.Format != ifX1R5G5B5;
    const uint32_t headerSize = bitFields && info.HasAlphaChannel ? V4HeaderSize : InfoHeaderSize;
    const uint32_t compression = rle ? CompressionRLE8 : bitFields ? CompressionBitFields : CompressionNone;

    const size_t start = stream.Position();
    // File header; size and data offset are filled in at the end.
    stream.WriteString("BM");
    stream.WriteU32LE(0);
    stream.WriteU32LE(0);
    stream.WriteU32LE(0);

    const size_t infoStart = stream.Position();
    stream.WriteU32LE(headerSize);
    stream.WriteU32LE(static_cast<uint32_t>(image.Width));
    stream.WriteU32LE(static_cast<uint32_t>(image.Height));   // positive: rows bottom-up
    stream.WriteU16LE(1);
    stream.WriteU16LE(static_cast<uint16_t>(info.BytesPerPixel * 8));
    stream.WriteU32LE(compression);
    stream.WriteU32LE(0);   // image size, filled in at the end
    stream.WriteU32LE(static_cast<uint32_t>(PixelsPerMetre));
    stream.WriteU32LE(static_cast<uint32_t>(PixelsPerMetre));
    stream.WriteU32LE(0);   // colours used: all
    stream.WriteU32LE(0);   // important colours: all
    if (headerSize == V4HeaderSize) {
        stream.WriteU32LE(info.R.mask);
        stream.WriteU32LE(info.G.mask);
        stream.WriteU32LE(info.B.mask);
        stream.WriteU32LE(info.A.mask);
        stream.WriteU32LE(ColorSpaceSRGB);
        for (int i = 0; i < 9 + 3; ++i)   // end points and gamma: unused with sRGB
            stream.WriteU32LE(0);
    } else if (bitFields) {
        stream.WriteU32LE(info.R.mask);
        stream.WriteU32LE(info.G.mask);
        stream.WriteU32LE(info.B.mask);
    }
    if (info.IsIndexed) {
        for (int i = 0; i < info.PaletteEntries; ++i) {
            const TColor32Rec& c = image.Palette[static_cast<size_t>(i)];
            stream.WriteByte(c.B);
            stream.WriteByte(c.G);
            stream.WriteByte(c.R);
            stream.WriteByte(0);
        }
    }

    const size_t dataStart = stream.Position();
    const size_t rowBytes = image.RowBytes();
    const size_t width = static_cast<size_t>(image.Width);
    const size_t padding = (4 - rowBytes % 4) % 4;
    static const uint8_t zeros[4] = {};
    for (int y = image.Height - 1; y >= 0; --y) {
        if (rle) {
            EncodeRLE8Row(image.Row(y), width, y == 0, stream);
        } else {
            stream.Write(image.Row(y), rowBytes);
            stream.Write(zeros, padding);
        }
    }
    const size_t end = stream.Position();

    const size_t fileSize = end - start;
    if (fileSize > std::numeric_limits<uint32_t>::max())
        throw EImagingError(Format("The bitmap would take %zu bytes, more than a bitmap file can hold.", fileSize));
    stream.PatchU32LE(start + 2, static_cast<uint32_t>(fileSize));
    stream.PatchU32LE(start + 10, static_cast<uint32_t>(dataStart - start));
    stream.PatchU32LE(infoStart + 20, static_cast<uint32_t>(end - dataStart));
}

} // namespace imaging
