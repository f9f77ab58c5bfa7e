// SPDX-License-Identifier: MIT
#include "codec/formats/psd/PsdFileFormat.h"

#include "codec/CodecOptions.h"
#include "codec/ImagingError.h"
#include "codec/PixelAccess.h"

#include <limits>

namespace imaging {

namespace {

constexpr uint16_t CompressionRaw = 0;
constexpr uint16_t CompressionPackBits = 1;
constexpr uint16_t ModeGray = 1;
constexpr uint16_t ModeIndexed = 2;
constexpr uint16_t ModeRGB = 3;
constexpr int MaxPacket = 128;
constexpr int16_t AlphaChannelId = -1;
const char* const LayerName = "Layer 0";
// Version 1 of the format (the one written) allows at most this many pixels per side; larger
// sides need the large-document variant, which readers of ordinary documents reject.
constexpr int MaxSide = 30000;

// The rows of one channel as the file holds them: samples big-endian.
class ChannelRows {
public:
    ChannelRows(const TImageData& image, const TImageFormatInfo& info)
        : m_image(image), m_layout(GetChannelLayout(info)), m_pixelBytes(static_cast<size_t>(info.BytesPerPixel)),
          m_row(static_cast<size_t>(image.Width) * m_layout.ChannelBytes)
    {
    }
    int Channels() const { return static_cast<int>(m_layout.Offsets.size()); }
    int ChannelBytes() const { return m_layout.ChannelBytes; }
    const std::vector<uint8_t>& Row(int channel, int y)
    {
        const size_t size = static_cast<size_t>(m_layout.ChannelBytes);
        const uint8_t* p = m_image.Row(y) + m_layout.Offsets[static_cast<size_t>(channel)];
        uint8_t* out = m_row.data();
        for (int x = 0; x < m_image.Width; ++x, p += m_pixelBytes)
            for (size_t k = size; k-- > 0;)
                *out++ = p[k];
        return m_row;
    }

private:
    const TImageData& m_image;
    TChannelLayout m_layout;
    size_t m_pixelBytes;
    std::vector<uint8_t> m_row;
};

// The rows of the given channels compressed: each row's byte count goes into the table at
// tablePos (2 bytes per row, written beforehand as placeholders), the rows follow one another.
void WritePackedRows(TMemoryStream& stream, ChannelRows& rows, int firstChannel, int channelCount,
                     int height, size_t tablePos)
{
    for (int c = firstChannel; c < firstChannel + channelCount; ++c) {
        for (int y = 0; y < height; ++y, tablePos += 2) {
            const std::vector<uint8_t>& row = rows.Row(c, y);
            const size_t packed = PackBitsRow(row.data(), row.size(), stream);
            if (packed > std::numeric_limits<uint16_t>::max())
                throw EImagingError(Format("A compressed row of %zu bytes is too long for a Photoshop image.", packed));
            stream.PatchU16BE(tablePos, static_cast<uint16_t>(packed));
        }
    }
}

void WritePlaceholders(TMemoryStream& stream, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        stream.WriteU16BE(0);
}

} // namespace

size_t PackBitsRow(const uint8_t* row, size_t count, TMemoryStream& out)
{
    const size_t start = out.Position();
    size_t i = 0;
    while (i < count) {
        size_t run = 1;
        while (i + run < count && run < MaxPacket && row[i + run] == row[i])
            ++run;
        if (run >= 3) {
            out.WriteByte(static_cast<uint8_t>(1 - static_cast<int>(run)));
            out.WriteByte(row[i]);
            i += run;
            continue;
        }
        // A literal packet: at least the byte at i, then more until three equal bytes follow,
        // the packet is full, or only the row's last byte is left.
        size_t end = i + 1;
        while (end < count - 1 && end - i < MaxPacket &&
               !(end + 2 < count && row[end] == row[end + 1] && row[end] == row[end + 2]))
            ++end;
        out.WriteByte(static_cast<uint8_t>(end - i - 1));
        out.Write(row + i, end - i);
        i = end;
    }
    return out.Position() - start;
}

TPSDFileFormat::TPSDFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "Photoshop Image";
    m_canSave = true;
    m_supportedFormats = {ifIndex8, ifGray8, ifA8Gray8, ifGray16, ifA16Gray16, ifR8G8B8,
                          ifA8R8G8B8, ifR16G16B16, ifA16R16G16B16, ifR32F, ifA32R32G32B32F};
    options.RegisterOption(ImagingPSDSaveAsLayer, &m_saveAsLayer);
}

void TPSDFileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    TImageFormat target;
    if (info.IsFloatingPoint)
        target = info.ChannelCount == 1 ? ifR32F : ifA32R32G32B32F;
    else if (info.HasGrayChannel)
        target = info.HasAlphaChannel ? ifA16Gray16 : ifGray16;
    else if (info.RBSwapFormat != ifUnknown && m_supportedFormats.count(info.RBSwapFormat) != 0)
        target = info.RBSwapFormat;
    else
        target = info.HasAlphaChannel ? ifA8R8G8B8 : ifR8G8B8;
    ConvertImageData(image, target);
}

void TPSDFileFormat::WriteImages(TMemoryStream& stream, const TDynImageDataArray& images)
{
    const TImageData& source = images[static_cast<size_t>(m_firstIdx)];
    if (source.Width > MaxSide || source.Height > MaxSide)
        throw EImagingError(Format("A Photoshop image can be at most %d pixels wide and high, not %dx%d.",
                                   MaxSide, source.Width, source.Height));
    TImageData copy;
    const TImageData& image = MakeWritable(images[static_cast<size_t>(m_firstIdx)], copy);
    const TImageFormatInfo& info = *GetFormatInfo(image.Format);
    ChannelRows rows(image, info);
    const int channels = rows.Channels();
    const int height = image.Height;
    const uint16_t mode = info.IsIndexed ? ModeIndexed
                          : info.HasGrayChannel || info.ChannelCount == 1 ? ModeGray : ModeRGB;

    // Header.
    stream.WriteString("8BPS");
    stream.WriteU16BE(1);
    for (int i = 0; i < 6; ++i)
        stream.WriteByte(0);
    stream.WriteU16BE(static_cast<uint16_t>(channels));
    stream.WriteU32BE(static_cast<uint32_t>(image.Height));
    stream.WriteU32BE(static_cast<uint32_t>(image.Width));
    stream.WriteU16BE(static_cast<uint16_t>(rows.ChannelBytes() * 8));
    stream.WriteU16BE(mode);

    // Colour mode data: the palette as all reds, all greens, all blues.
    if (info.IsIndexed) {
        stream.WriteU32BE(3 * 256);
        for (int channel = 0; channel < 3; ++channel) {
            for (int i = 0; i < 256; ++i) {
                // A palette shorter than the format's is padded with black.
                const TColor32Rec c = static_cast<size_t>(i) < image.Palette.size() ? image.Palette[static_cast<size_t>(i)] : TColor32Rec{};
                stream.WriteByte(channel == 0 ? c.R : channel == 1 ? c.G : c.B);
            }
        }
    } else {
        stream.WriteU32BE(0);
    }

    stream.WriteU32BE(0);   // image resources

    // Layer and mask section: one layer holding the whole image, or nothing.
    const size_t sectionPos = stream.Position();
    stream.WriteU32BE(0);
    if (m_saveAsLayer != 0 && rows.ChannelBytes() < 4) {
        const size_t layerInfoPos = stream.Position();
        stream.WriteU32BE(0);
        // A negative count tells that the first alpha channel holds the transparency.
        stream.WriteU16BE(static_cast<uint16_t>(info.HasAlphaChannel ? -1 : 1));
        stream.WriteU32BE(0);   // top
        stream.WriteU32BE(0);   // left
        stream.WriteU32BE(static_cast<uint32_t>(image.Height));
        stream.WriteU32BE(static_cast<uint32_t>(image.Width));
        stream.WriteU16BE(static_cast<uint16_t>(channels));
        std::vector<size_t> lengthPos;
        for (int c = 0; c < channels; ++c) {
            const bool alpha = info.HasAlphaChannel && c == channels - 1;
            stream.WriteU16BE(static_cast<uint16_t>(alpha ? AlphaChannelId : c));
            lengthPos.push_back(stream.Position());
            stream.WriteU32BE(0);
        }
        stream.WriteString("8BIM");
        stream.WriteString("norm");
        stream.WriteByte(255);   // opacity
        stream.WriteByte(0);     // clipping: base
        stream.WriteByte(0);     // flags
        stream.WriteByte(0);     // filler
        const size_t extraPos = stream.Position();
        stream.WriteU32BE(0);
        stream.WriteU32BE(0);   // layer mask data
        stream.WriteU32BE(0);   // blending ranges
        const std::string name = LayerName;
        stream.WriteByte(static_cast<uint8_t>(name.size()));
        stream.WriteString(name);
        for (size_t n = 1 + name.size(); n % 4 != 0; ++n)
            stream.WriteByte(0);
        stream.PatchU32BE(extraPos, static_cast<uint32_t>(stream.Position() - extraPos - 4));

        for (int c = 0; c < channels; ++c) {
            const size_t start = stream.Position();
            stream.WriteU16BE(CompressionPackBits);
            const size_t tablePos = stream.Position();
            WritePlaceholders(stream, static_cast<size_t>(height));
            WritePackedRows(stream, rows, c, 1, height, tablePos);
            stream.PatchU32BE(lengthPos[static_cast<size_t>(c)], static_cast<uint32_t>(stream.Position() - start));
        }
        stream.WriteU32BE(0);   // global layer mask
        // The layer info length runs to the end of the section, global mask field included.
        stream.PatchU32BE(layerInfoPos, static_cast<uint32_t>(stream.Position() - layerInfoPos - 4));
    }
    stream.PatchU32BE(sectionPos, static_cast<uint32_t>(stream.Position() - sectionPos - 4));

    // Merged image: every row of every channel, channel by channel.
    if (info.IsFloatingPoint) {
        // Raw samples have no row table.
        stream.WriteU16BE(CompressionRaw);
        for (int c = 0; c < channels; ++c)
            for (int y = 0; y < height; ++y) {
                const std::vector<uint8_t>& row = rows.Row(c, y);
                stream.Write(row.data(), row.size());
            }
        return;
    }
    stream.WriteU16BE(CompressionPackBits);
    const size_t tablePos = stream.Position();
    WritePlaceholders(stream, static_cast<size_t>(channels) * height);
    WritePackedRows(stream, rows, 0, channels, height, tablePos);
}

} // namespace imaging
