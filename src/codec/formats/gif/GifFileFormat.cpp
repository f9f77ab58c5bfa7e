// SPDX-License-Identifier: MIT
#include "codec/formats/gif/GifFileFormat.h"

#include "codec/CodecOptions.h"
#include "codec/ColorReduction.h"
#include "codec/ImagingError.h"
#include "codec/ScratchPool.h"

#include <algorithm>

namespace imaging {

namespace {

constexpr int MaxSide = 65535;
constexpr int MinCodeSize = 8;
constexpr int ClearCode = 1 << MinCodeSize;   // 256
constexpr int EndCode = ClearCode + 1;        // 257
constexpr int FirstFreeCode = ClearCode + 2;  // 258
constexpr int LastAssignedCode = 4094;        // assigning it starts a fresh table
constexpr int MaxCodeBits = 12;
constexpr uint16_t DelayHundredths = 65;

// Codes packed least significant bit first.
class CodeWriter {
public:
    explicit CodeWriter(std::vector<uint8_t>& out) : m_out(out) {}

    void Put(int code, int bits)
    {
        m_buffer |= static_cast<uint32_t>(code) << m_used;
        m_used += bits;
        while (m_used >= 8) {
            m_out.push_back(static_cast<uint8_t>(m_buffer));
            m_buffer >>= 8;
            m_used -= 8;
        }
    }

    void Flush()
    {
        if (m_used > 0)
            m_out.push_back(static_cast<uint8_t>(m_buffer));
        m_buffer = 0;
        m_used = 0;
    }

private:
    std::vector<uint8_t>& m_out;
    uint32_t m_buffer = 0;
    int m_used = 0;
};

// The string table: the code of string (prefix code, next index), 0 where there is none. Only the
// entries assigned since the last clear are reset.
class StringTable {
public:
    StringTable() : m_codes(static_cast<size_t>(1 << MaxCodeBits) * 256, 0) { m_assigned.reserve(1 << MaxCodeBits); }

    uint16_t Find(int prefix, uint8_t next) const { return m_codes[Key(prefix, next)]; }

    void Assign(int prefix, uint8_t next, int code)
    {
        const size_t key = Key(prefix, next);
        m_codes[key] = static_cast<uint16_t>(code);
        m_assigned.push_back(static_cast<uint32_t>(key));
    }

    void Clear()
    {
        for (uint32_t key : m_assigned)
            m_codes[key] = 0;
        m_assigned.clear();
    }

private:
    static size_t Key(int prefix, uint8_t next) { return static_cast<size_t>(prefix) * 256 + next; }

    std::vector<uint16_t> m_codes;
    std::vector<uint32_t> m_assigned;
};

void CheckSize(const TImageData& image)
{
    if (image.Width > MaxSide || image.Height > MaxSide)
        throw EImagingError(Format("Range check error: an image of %d x %d pixels is larger than the "
                                   "%d x %d pixels a GIF image can describe.",
                                   image.Width, image.Height, MaxSide, MaxSide));
}

void WriteSubBlocks(TMemoryStream& stream, const std::vector<uint8_t>& data)
{
    for (size_t pos = 0; pos < data.size(); pos += 255) {
        const size_t n = std::min<size_t>(255, data.size() - pos);
        stream.WriteByte(static_cast<uint8_t>(n));
        stream.Write(data.data() + pos, n);
    }
    stream.WriteByte(0);
}

} // namespace

std::vector<uint8_t> EncodeGifLzw(const uint8_t* indices, size_t count)
{
    std::vector<uint8_t> out;
    out.reserve(count / 2 + 16);
    CodeWriter writer(out);
    // The table is large; it is kept for the next image, which resets only the entries a run
    // assigned.
    static ScratchPool<StringTable> tables;
    const auto lease = tables.take();
    StringTable& table = *lease;
    table.Clear();
    int bits = MinCodeSize + 1;
    int nextCode = FirstFreeCode;

    writer.Put(ClearCode, bits);
    int prefix = -1;   // code of the string being extended; none at the start and after a clear
    for (size_t i = 0; i < count; ++i) {
        const uint8_t pixel = indices[i];
        if (prefix < 0) {
            prefix = pixel;
            continue;
        }
        if (const uint16_t code = table.Find(prefix, pixel)) {
            prefix = code;
            continue;
        }
        writer.Put(prefix, bits);
        const int assigned = nextCode++;
        table.Assign(prefix, pixel, assigned);
        // A decoder adds its entry for a code only when it reads the following one, so the width
        // grows once the code after next no longer fits.
        if (nextCode > (1 << bits) && bits < MaxCodeBits)
            ++bits;
        if (assigned == LastAssignedCode) {
            // The current pixel goes out as a string of its own, then the table starts afresh.
            writer.Put(pixel, bits);
            writer.Put(ClearCode, bits);
            table.Clear();
            bits = MinCodeSize + 1;
            nextCode = FirstFreeCode;
            prefix = -1;
            continue;
        }
        prefix = pixel;
    }
    if (prefix >= 0) {
        writer.Put(prefix, bits);
        // The decoder's entry for this last code may widen the end code.
        if (nextCode + 1 > (1 << bits) && bits < MaxCodeBits)
            ++bits;
    }
    writer.Put(EndCode, bits);
    writer.Flush();
    return out;
}

TGIFFileFormat::TGIFFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "Graphics Interchange Format";
    m_canSave = true;
    m_isMultiImageFormat = true;
    m_supportedFormats = {ifIndex8};
    options.RegisterOption(56, &m_loadAnimated);
}

void TGIFFileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    // Block-compressed pixels have no per-pixel layout to reduce: go through their plain format
    // first (which raises the conversion error where that is not possible).
    if (info.IsSpecial)
        ConvertImageData(image, info.SpecialNearestFormat);
    std::vector<uint8_t> bits;
    std::vector<TColor32Rec> palette;
    ReduceToIndexed(image, ifIndex8, ChannelMaskFromOption(m_options.GetOption(ImagingColorReductionMask)),
                    bits, palette);
    image.Bits = std::move(bits);
    image.Palette = std::move(palette);
    image.Size = static_cast<int32_t>(image.Bits.size());
    image.Format = ifIndex8;
}

void TGIFFileFormat::WriteImages(TMemoryStream& stream, const TDynImageDataArray& images)
{
    int screenWidth = 0, screenHeight = 0;
    for (int i = m_firstIdx; i <= m_lastIdx; ++i) {
        const TImageData& image = images[static_cast<size_t>(i)];
        CheckSize(image);
        screenWidth = std::max(screenWidth, image.Width);
        screenHeight = std::max(screenHeight, image.Height);
    }

    stream.WriteString("GIF89a");
    stream.WriteU16LE(static_cast<uint16_t>(screenWidth));
    stream.WriteU16LE(static_cast<uint16_t>(screenHeight));
    stream.WriteByte(0x70);   // colour resolution 8 bits, no global colour table
    stream.WriteByte(0);      // background colour index
    stream.WriteByte(0);      // aspect ratio: none given

    for (int i = m_firstIdx; i <= m_lastIdx; ++i) {
        TImageData copy;
        const TImageData& image = MakeWritable(images[static_cast<size_t>(i)], copy);

        // Graphic control extension: no disposal, the frame delay, and the first palette entry
        // whose alpha is 0 (from an image with fully transparent pixels) as the transparent colour.
        int transparent = -1;
        for (int c = 0; c < 256 && transparent < 0; ++c)
            if (image.Palette[static_cast<size_t>(c)].A == 0)
                transparent = c;
        stream.WriteByte(0x21);
        stream.WriteByte(0xF9);
        stream.WriteByte(4);
        stream.WriteByte(transparent >= 0 ? 1 : 0);
        stream.WriteU16LE(DelayHundredths);
        stream.WriteByte(static_cast<uint8_t>(std::max(transparent, 0)));
        stream.WriteByte(0);

        // Image descriptor: at the origin, local colour table of 256 entries, not interlaced.
        stream.WriteByte(0x2C);
        stream.WriteU16LE(0);
        stream.WriteU16LE(0);
        stream.WriteU16LE(static_cast<uint16_t>(image.Width));
        stream.WriteU16LE(static_cast<uint16_t>(image.Height));
        stream.WriteByte(0x87);
        for (int c = 0; c < 256; ++c) {
            const TColor32Rec& color = image.Palette[static_cast<size_t>(c)];
            stream.WriteByte(color.R);
            stream.WriteByte(color.G);
            stream.WriteByte(color.B);
        }

        stream.WriteByte(MinCodeSize);
        WriteSubBlocks(stream, EncodeGifLzw(image.Bits.data(), image.Bits.size()));
    }
    stream.WriteByte(0x3B);
}

} // namespace imaging
