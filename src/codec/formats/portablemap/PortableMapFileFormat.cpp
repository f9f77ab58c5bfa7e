// SPDX-License-Identifier: MIT
#include "codec/formats/portablemap/PortableMapFileFormat.h"

#include "codec/CodecOptions.h"
#include "codec/ImagingError.h"
#include "codec/PixelAccess.h"

#include <string>

namespace imaging {

namespace {

// A text line of samples ends once it holds more than this many characters.
constexpr size_t TextLineLimit = 65;

void WriteLine(TMemoryStream& stream, const std::string& text)
{
    stream.WriteString(text);
    stream.WriteByte('\n');
}

// Decimal samples separated by blanks; a line ends (with a line feed) as soon as it holds more
// than 65 characters, and the last line ends with a line feed as well.
class TextSampleWriter {
public:
    explicit TextSampleWriter(TMemoryStream& stream) : m_stream(stream) {}
    void Add(unsigned value)
    {
        if (!m_line.empty())
            m_line += ' ';
        m_line += std::to_string(value);
        if (m_line.size() > TextLineLimit)
            Flush();
    }
    void Flush()
    {
        if (m_line.empty())
            return;
        WriteLine(m_stream, m_line);
        m_line.clear();
    }

private:
    TMemoryStream& m_stream;
    std::string m_line;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// Common base

TPortableMapFileFormat::TPortableMapFileFormat(TOptionTable& options) : TImageFileFormat(options) {}

void TPortableMapFileFormat::WriteClassicHeader(TMemoryStream& stream, const TImageData& image,
                                                const TImageFormatInfo& info)
{
    const int bits = 8 * GetChannelLayout(info).ChannelBytes;
    stream.WriteByte('P');
    WriteLine(stream, std::string(1, WritesBinary() ? m_binaryId : m_textId));
    WriteLine(stream, std::to_string(image.Width));
    WriteLine(stream, std::to_string(image.Height));
    WriteLine(stream, std::to_string((1u << bits) - 1));
}

void TPortableMapFileFormat::WriteImages(TMemoryStream& stream, const TDynImageDataArray& images)
{
    TImageData copy;
    const TImageData& image = MakeWritable(images[static_cast<size_t>(m_firstIdx)], copy);
    const TImageFormatInfo& info = *GetFormatInfo(image.Format);
    WriteHeader(stream, image, info);

    // Samples of every pixel in the order red, green, blue, alpha (or gray, alpha), first row first.
    const TChannelLayout layout = GetChannelLayout(info);
    const bool wide = layout.ChannelBytes == 2;
    const size_t pixelBytes = static_cast<size_t>(info.BytesPerPixel);
    const auto sample = [&](const uint8_t* pixel, int offset) -> unsigned {
        return wide ? pixel[offset] | pixel[offset + 1] << 8 : pixel[offset];
    };

    if (!WritesBinary()) {
        TextSampleWriter text(stream);
        for (int y = 0; y < image.Height; ++y) {
            const uint8_t* p = image.Row(y);
            for (int x = 0; x < image.Width; ++x, p += pixelBytes)
                for (int offset : layout.Offsets)
                    text.Add(sample(p, offset));
        }
        text.Flush();
        return;
    }

    std::vector<uint8_t> row(static_cast<size_t>(image.Width) * layout.Offsets.size() * layout.ChannelBytes);
    for (int y = 0; y < image.Height; ++y) {
        const uint8_t* p = image.Row(y);
        uint8_t* out = row.data();
        for (int x = 0; x < image.Width; ++x, p += pixelBytes) {
            for (int offset : layout.Offsets) {
                if (wide) {   // big-endian in the file
                    *out++ = p[offset + 1];
                    *out++ = p[offset];
                } else {
                    *out++ = p[offset];
                }
            }
        }
        stream.Write(row.data(), row.size());
    }
}

// ---------------------------------------------------------------------------------------------
// PBM

TPBMFileFormat::TPBMFileFormat(TOptionTable& options) : TPortableMapFileFormat(options)
{
    m_name = "Portable Bit Map";
}

// The target of the gray and pixel maps for other formats: 16 bits for floating-point images, for
// gray ones with more than one byte per channel and for colour ones with more than 4 bytes per
// pixel; 8 bits otherwise.
static TImageFormat ClassicMapTarget(const TImageFormatInfo& info, TImageFormat eightBit, TImageFormat sixteenBit)
{
    if (info.IsFloatingPoint)
        return sixteenBit;
    if (info.HasGrayChannel)
        return info.BytesPerPixel / info.ChannelCount > 1 ? sixteenBit : eightBit;
    return info.BytesPerPixel <= 4 ? eightBit : sixteenBit;
}

// ---------------------------------------------------------------------------------------------
// PGM

TPGMFileFormat::TPGMFileFormat(TOptionTable& options) : TPortableMapFileFormat(options)
{
    m_name = "Portable Gray Map";
    m_canSave = true;
    m_supportedFormats = {ifGray8, ifGray16};
    m_binaryId = '5';
    m_textId = '2';
    options.RegisterOption(ImagingPGMSaveBinary, &m_saveBinary);
}

void TPGMFileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    ConvertImageData(image, ClassicMapTarget(info, ifGray8, ifGray16));
}

// ---------------------------------------------------------------------------------------------
// PPM

TPPMFileFormat::TPPMFileFormat(TOptionTable& options) : TPortableMapFileFormat(options)
{
    m_name = "Portable Pixel Map";
    m_canSave = true;
    m_supportedFormats = {ifR8G8B8, ifR16G16B16};
    m_binaryId = '6';
    m_textId = '3';
    options.RegisterOption(ImagingPPMSaveBinary, &m_saveBinary);
}

void TPPMFileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    ConvertImageData(image, ClassicMapTarget(info, ifR8G8B8, ifR16G16B16));
}

// ---------------------------------------------------------------------------------------------
// PAM

TPAMFileFormat::TPAMFileFormat(TOptionTable& options) : TPortableMapFileFormat(options)
{
    m_name = "Portable Arbitrary Map";
    m_canSave = true;
    m_supportedFormats = {ifGray8, ifA8Gray8, ifGray16, ifA16Gray16,
                          ifR8G8B8, ifA8R8G8B8, ifR16G16B16, ifA16R16G16B16};
}

void TPAMFileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    TImageFormat target;
    if (info.IsFloatingPoint)
        target = info.HasAlphaChannel ? ifA16R16G16B16 : ifR16G16B16;
    else if (info.HasGrayChannel)
        target = info.HasAlphaChannel ? ifA16Gray16 : ifGray16;
    else if (info.BytesPerPixel <= 4)
        target = info.HasAlphaChannel ? ifA8R8G8B8 : ifR8G8B8;
    else
        target = info.HasAlphaChannel ? ifA16R16G16B16 : ifR16G16B16;
    ConvertImageData(image, target);
}

void TPAMFileFormat::WriteHeader(TMemoryStream& stream, const TImageData& image, const TImageFormatInfo& info)
{
    const TChannelLayout layout = GetChannelLayout(info);
    const char* tupleType = info.HasGrayChannel ? (info.HasAlphaChannel ? "GRAYSCALE_ALPHA" : "GRAYSCALE")
                                                : (info.HasAlphaChannel ? "RGB_ALPHA" : "RGB");
    WriteLine(stream, "P7");
    WriteLine(stream, Format("%s %d", "WIDTH", image.Width));
    WriteLine(stream, Format("%s %d", "HEIGHT", image.Height));
    WriteLine(stream, Format("%s %d", "DEPTH", static_cast<int>(layout.Offsets.size())));
    WriteLine(stream, Format("%s %d", "MAXVAL", static_cast<int>((1u << (8 * layout.ChannelBytes)) - 1)));
    WriteLine(stream, Format("%s %s", "TUPLTYPE", tupleType));
    WriteLine(stream, "ENDHDR");
}

// ---------------------------------------------------------------------------------------------
// PFM

TPFMFileFormat::TPFMFileFormat(TOptionTable& options) : TPortableMapFileFormat(options)
{
    m_name = "Portable Float Map";
    m_canSave = true;
    m_supportedFormats = {ifR32F, ifA32B32G32R32F};
}

void TPFMFileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    ConvertImageData(image, info.ChannelCount > 1 || info.IsIndexed ? ifA32B32G32R32F : ifR32F);
}

void TPFMFileFormat::WriteHeader(TMemoryStream& stream, const TImageData& image, const TImageFormatInfo& info)
{
    WriteLine(stream, info.ChannelCount == 1 ? "Pf" : "PF");
    WriteLine(stream, std::to_string(image.Width));
    WriteLine(stream, std::to_string(image.Height));
    WriteLine(stream, "-1");   // negative scale: little-endian floats
}

void TPFMFileFormat::WriteImages(TMemoryStream& stream, const TDynImageDataArray& images)
{
    TImageData copy;
    const TImageData& image = MakeWritable(images[static_cast<size_t>(m_firstIdx)], copy);
    const TImageFormatInfo& info = *GetFormatInfo(image.Format);
    WriteHeader(stream, image, info);

    // Floats stay little-endian as stored. A colour pixel gives its first three floats (red,
    // green, blue); alpha is not written. Float maps run from the bottom row up.
    const size_t pixelBytes = static_cast<size_t>(info.BytesPerPixel);
    const size_t written = info.ChannelCount == 1 ? pixelBytes : 3 * sizeof(float);
    for (int y = image.Height - 1; y >= 0; --y) {
        const uint8_t* p = image.Row(y);
        if (written == pixelBytes) {
            stream.Write(p, image.RowBytes());
            continue;
        }
        for (int x = 0; x < image.Width; ++x, p += pixelBytes)
            stream.Write(p, written);
    }
}

} // namespace imaging
