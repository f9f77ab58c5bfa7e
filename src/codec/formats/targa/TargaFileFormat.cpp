// SPDX-License-Identifier: MIT
#include "codec/formats/targa/TargaFileFormat.h"

#include "codec/CodecOptions.h"
#include "codec/ImagingError.h"

#include <cstring>

namespace imaging {

namespace {

constexpr uint8_t ImageTypeIndexed = 1;
constexpr uint8_t ImageTypeTrueColor = 2;
constexpr uint8_t ImageTypeGray = 3;
constexpr uint8_t ImageTypeRLEFlag = 8;
constexpr uint8_t DescriptorTopLeft = 0x20;
constexpr int MaxPacketPixels = 128;
constexpr int32_t MaxSide = 65535;   // width and height are 16-bit fields

// One row in run-length form. A packet never crosses the end of a row. Two or more equal pixels
// make a run packet (high bit set, count - 1, then the pixel once); other pixels are gathered
// into raw packets (count - 1, then the pixels) until two equal pixels start a run.
void EncodeRLERow(const uint8_t* row, int width, size_t pixelBytes, TMemoryStream& out)
{
    const auto same = [&](int a, int b) {
        return std::memcmp(row + a * pixelBytes, row + b * pixelBytes, pixelBytes) == 0;
    };
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < MaxPacketPixels && same(x, x + run))
            ++run;
        if (run >= 2) {
            out.WriteByte(static_cast<uint8_t>(0x80 | (run - 1)));
            out.Write(row + x * pixelBytes, pixelBytes);
            x += run;
            continue;
        }
        int end = x + 1;
        while (end < width && end - x < MaxPacketPixels && !(end + 1 < width && same(end, end + 1)))
            ++end;
        out.WriteByte(static_cast<uint8_t>(end - x - 1));
        out.Write(row + x * pixelBytes, static_cast<size_t>(end - x) * pixelBytes);
        x = end;
    }
}

} // namespace

TTargaFileFormat::TTargaFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "Truevision Targa Image";
    m_canSave = true;
    m_supportedFormats = {ifIndex8, ifGray8, ifA1R5G5B5, ifR8G8B8, ifA8R8G8B8};
    options.RegisterOption(ImagingTargaRLE, &m_useRLE);
}

void TTargaFileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    TImageFormat target;
    if (info.HasGrayChannel)
        target = info.HasAlphaChannel ? ifA8R8G8B8 : ifGray8;
    else if (info.IsIndexed)
        target = ifIndex8;
    else if (info.HasAlphaChannel)
        target = ifA8R8G8B8;
    else if (info.UsePixelFormat)
        target = ifA1R5G5B5;
    else
        target = ifR8G8B8;
    ConvertImageData(image, target);
}

void TTargaFileFormat::WriteImages(TMemoryStream& stream, const TDynImageDataArray& images)
{
    TImageData copy;
    const TImageData& image = MakeWritable(images[static_cast<size_t>(m_firstIdx)], copy);
    const TImageFormatInfo& info = *GetFormatInfo(image.Format);
    if (image.Width > MaxSide || image.Height > MaxSide)
        throw EImagingError(Format("A Targa image can be at most %d pixels wide and high, not %dx%d.",
                                   MaxSide, image.Width, image.Height));

    const bool rle = m_useRLE != 0;
    const bool hasPalette = info.IsIndexed;
    uint8_t imageType = hasPalette ? ImageTypeIndexed : info.HasGrayChannel ? ImageTypeGray : ImageTypeTrueColor;
    if (rle)
        imageType |= ImageTypeRLEFlag;
    uint8_t descriptor = DescriptorTopLeft;
    if (image.Format == ifA8R8G8B8)
        descriptor |= 8;   // alpha bits per pixel
    else if (image.Format == ifA1R5G5B5)
        descriptor |= 1;

    stream.WriteByte(0);   // no image ID
    stream.WriteByte(hasPalette ? 1 : 0);
    stream.WriteByte(imageType);
    stream.WriteU16LE(0);   // colour map origin
    stream.WriteU16LE(static_cast<uint16_t>(hasPalette ? info.PaletteEntries : 0));
    stream.WriteByte(hasPalette ? 24 : 0);
    stream.WriteU16LE(0);   // x origin
    stream.WriteU16LE(0);   // y origin
    stream.WriteU16LE(static_cast<uint16_t>(image.Width));
    stream.WriteU16LE(static_cast<uint16_t>(image.Height));
    stream.WriteByte(static_cast<uint8_t>(info.BytesPerPixel * 8));
    stream.WriteByte(descriptor);

    for (int i = 0; hasPalette && i < info.PaletteEntries; ++i) {
        // A palette shorter than the format's is padded with black.
        const TColor32Rec c = static_cast<size_t>(i) < image.Palette.size() ? image.Palette[static_cast<size_t>(i)] : TColor32Rec{};
        stream.WriteByte(c.B);
        stream.WriteByte(c.G);
        stream.WriteByte(c.R);
    }

    // The record's pixels are already in the file's byte order: blue, green, red (alpha), and
    // little-endian 16-bit words.
    if (!rle) {
        stream.Write(image.Bits.data(), image.Bits.size());
        return;
    }
    for (int y = 0; y < image.Height; ++y)
        EncodeRLERow(image.Row(y), image.Width, static_cast<size_t>(info.BytesPerPixel), stream);
}

} // namespace imaging
