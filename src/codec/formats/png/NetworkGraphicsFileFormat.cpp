// SPDX-License-Identifier: MIT
#include "codec/formats/png/NetworkGraphicsFileFormat.h"

#include "codec/CodecOptions.h"
#include "codec/ImagingError.h"
#include "codec/formats/jpeg/JpegFileFormat.h"
#include "codec/formats/png/PngChunks.h"

#include <algorithm>

namespace imaging {

namespace {

// Formats that PNG-style image data stores as they are.
const std::set<TImageFormat> PngFormats = {ifIndex8, ifGray8, ifA8Gray8, ifGray16, ifA16Gray16, ifR8G8B8,
                                           ifA8R8G8B8, ifR16G16B16, ifA16R16G16B16, ifB16G16R16, ifA16B16G16R16};
// Formats that a JNG stream stores: 8-bit gray or colour, each with or without alpha.
const std::set<TImageFormat> JngFormats = {ifGray8, ifA8Gray8, ifR8G8B8, ifA8R8G8B8};

TImageFormat PngTarget(const TImageFormatInfo& info)
{
    if (info.HasGrayChannel)
        return info.HasAlphaChannel ? (info.BytesPerPixel > 2 ? ifA16Gray16 : ifA8Gray8) : ifGray16;
    if (info.IsFloatingPoint)
        return info.HasAlphaChannel ? ifA16B16G16R16 : ifB16G16R16;
    if (info.HasAlphaChannel || info.IsSpecial)
        return ifA8R8G8B8;
    return ifR8G8B8;
}

TImageFormat JngTarget(const TImageFormatInfo& info)
{
    if (info.HasGrayChannel)
        return info.HasAlphaChannel ? ifA8Gray8 : ifGray8;
    return info.HasAlphaChannel ? ifA8R8G8B8 : ifR8G8B8;
}

struct TJngSettings {
    int Quality;        // JPEG quality of the colour (and lossy alpha) stream
    bool Progressive;   // colour stream only; the alpha stream is never progressive
    bool LossyAlpha;    // alpha as a JPEG stream (JDAA) instead of zlib-compressed gray (IDAT)
    int AlphaFilter;    // row filter option for IDAT alpha
    int AlphaLevel;     // zlib level for IDAT alpha
};

// A new record of `format` (one byte per channel) made of the bytes of every pixel of image that
// start at `offset`: the colour part or the alpha of an image with alpha.
TImageData ExtractChannels(const TImageData& image, size_t offset, TImageFormat format)
{
    TImageData part;
    NewImageData(image.Width, image.Height, format, part);
    const size_t from = static_cast<size_t>(GetFormatInfo(image.Format)->BytesPerPixel);
    const size_t to = static_cast<size_t>(GetFormatInfo(format)->BytesPerPixel);
    const size_t pixels = static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height);
    const uint8_t* s = image.Bits.data() + offset;
    uint8_t* d = part.Bits.data();
    for (size_t i = 0; i < pixels; ++i, s += from, d += to)
        std::copy(s, s + to, d);
    return part;
}

// JHDR, JDAT, the alpha channel for images with alpha, IEND. image is one of JngFormats.
void WriteJngImageChunks(TMemoryStream& out, const TImageData& image, const TJngSettings& settings)
{
    const TImageFormatInfo& info = *GetFormatInfo(image.Format);
    const bool gray = info.HasGrayChannel;
    const bool alpha = info.HasAlphaChannel;

    TMemoryStream header;
    header.WriteU32BE(static_cast<uint32_t>(image.Width));
    header.WriteU32BE(static_cast<uint32_t>(image.Height));
    header.WriteByte(gray ? (alpha ? 12 : 8) : (alpha ? 14 : 10));   // colour type
    header.WriteByte(8);                                             // image sample depth
    header.WriteByte(8);                                             // image compression: JPEG
    header.WriteByte(settings.Progressive ? 8 : 0);                  // image interlace
    header.WriteByte(alpha ? 8 : 0);                                 // alpha sample depth
    header.WriteByte(alpha && settings.LossyAlpha ? 8 : 0);          // alpha compression
    header.WriteByte(0);                                             // alpha filter method
    header.WriteByte(0);                                             // alpha interlace
    png::WriteChunk(out, "JHDR", header.Bytes());

    {
        TMemoryStream jpeg;
        if (alpha)
            EncodeJpeg(ExtractChannels(image, 0, gray ? ifGray8 : ifR8G8B8), settings.Quality,
                       settings.Progressive, jpeg);
        else
            EncodeJpeg(image, settings.Quality, settings.Progressive, jpeg);
        png::WriteChunk(out, "JDAT", jpeg.Bytes());
    }

    if (alpha) {
        const TImageData alphaImage = ExtractChannels(image, gray ? 1 : 3, ifGray8);
        if (settings.LossyAlpha) {
            TMemoryStream jpeg;
            EncodeJpeg(alphaImage, settings.Quality, false, jpeg);
            png::WriteChunk(out, "JDAA", jpeg.Bytes());
        } else {
            png::TPngLayout layout;
            png::GetPngLayout(ifGray8, layout);
            std::vector<uint8_t> compressed;
            {
                const std::vector<uint8_t> filtered = png::FilterImageRows(alphaImage, layout, settings.AlphaFilter);
                compressed = png::ZlibCompress(filtered, settings.AlphaLevel);
            }
            png::WriteChunk(out, "IDAT", compressed);
        }
    }
    png::WriteChunk(out, "IEND", nullptr, 0);
}

} // namespace

TNetworkGraphicsFileFormat::TNetworkGraphicsFileFormat(TOptionTable& options) : TImageFileFormat(options) {}

void TNetworkGraphicsFileFormat::ValidateOptions()
{
    if (m_preFilter < 0 || m_preFilter > 6)
        m_preFilter = 5;
    if (m_compressLevel < 0 || m_compressLevel > 9)
        m_compressLevel = 5;
    if (m_quality < 1 || m_quality > 100)
        m_quality = 90;
}

// ---------------------------------------------------------------------------------------------

TPNGFileFormat::TPNGFileFormat(TOptionTable& options) : TNetworkGraphicsFileFormat(options)
{
    m_name = "Portable Network Graphics";
    m_canSave = true;
    m_supportedFormats = PngFormats;
    options.RegisterOption(ImagingPNGPreFilter, &m_preFilter);
    options.RegisterOption(ImagingPNGCompressLevel, &m_compressLevel);
}

bool TPNGFileFormat::EncodeBgrx32(const uint8_t* pixels, size_t stride, int width, int height, uint8_t* filtered,
                                  std::vector<uint8_t>& out, const std::function<void()>& rowsFiltered)
{
    ValidateOptions();
    if (IsValidFormat(m_options.GetOption(ImagingSaveOverrideFormat)) || !pixels || !filtered || width <= 0
        || height <= 0 || stride < 4 * static_cast<size_t>(width))
        return false;
    TMemoryStream stream;
    try {
        stream.Write(png::PngSignature.data(), png::PngSignature.size());
        png::WriteBgrx32PngChunks(stream, pixels, stride, width, height, m_preFilter, m_compressLevel, filtered,
                                  rowsFiltered);
    } catch (const std::bad_alloc&) {
        throw EImagingError(Format("Out of memory while writing an image as \"%s\".", m_name.c_str()));
    }
    out = std::move(stream.Bytes());
    return true;
}

void TPNGFileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    ConvertImageData(image, PngTarget(info));
}

void TPNGFileFormat::WriteImages(TMemoryStream& stream, const TDynImageDataArray& images)
{
    TImageData copy;
    const TImageData& image = MakeWritable(images[static_cast<size_t>(m_firstIdx)], copy);
    stream.Write(png::PngSignature.data(), png::PngSignature.size());
    png::WritePngImageChunks(stream, image, m_preFilter, m_compressLevel);
}

// ---------------------------------------------------------------------------------------------

TMNGFileFormat::TMNGFileFormat(TOptionTable& options) : TNetworkGraphicsFileFormat(options)
{
    m_name = "Multiple Network Graphics";
    m_canSave = true;
    m_isMultiImageFormat = true;
    m_supportedFormats = PngFormats;
    options.RegisterOption(ImagingMNGLossyCompression, &m_lossyCompression);
    options.RegisterOption(ImagingMNGLossyAlpha, &m_lossyAlpha);
    options.RegisterOption(ImagingMNGPreFilter, &m_preFilter);
    options.RegisterOption(ImagingMNGCompressLevel, &m_compressLevel);
    options.RegisterOption(ImagingMNGQuality, &m_quality);
    options.RegisterOption(ImagingMNGProgressive, &m_progressive);
}

void TMNGFileFormat::ValidateOptions()
{
    TNetworkGraphicsFileFormat::ValidateOptions();
    // Runs before every write, so the formats taken directly always match the kind of frame.
    m_supportedFormats = m_lossyCompression ? JngFormats : PngFormats;
}

void TMNGFileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    ConvertImageData(image, m_lossyCompression ? JngTarget(info) : PngTarget(info));
}

void TMNGFileFormat::WriteImages(TMemoryStream& stream, const TDynImageDataArray& images)
{
    const auto first = images.begin() + m_firstIdx;
    const auto last = images.begin() + m_lastIdx + 1;
    int32_t frameWidth = 0, frameHeight = 0;
    for (auto it = first; it != last; ++it) {
        frameWidth = std::max(frameWidth, it->Width);
        frameHeight = std::max(frameHeight, it->Height);
    }

    stream.Write(png::MngSignature.data(), png::MngSignature.size());
    TMemoryStream header;
    header.WriteU32BE(static_cast<uint32_t>(frameWidth));
    header.WriteU32BE(static_cast<uint32_t>(frameHeight));
    header.WriteU32BE(0);                                    // ticks per second
    header.WriteU32BE(0);                                    // nominal layer count
    header.WriteU32BE(static_cast<uint32_t>(last - first));  // nominal frame count
    header.WriteU32BE(0);                                    // nominal play time
    header.WriteU32BE(473);                                  // simplicity profile
    png::WriteChunk(stream, "MHDR", header.Bytes());

    const TJngSettings lossy{m_quality, m_progressive != 0, m_lossyAlpha != 0, m_preFilter, m_compressLevel};
    for (auto it = first; it != last; ++it) {
        TImageData copy;
        const TImageData& image = MakeWritable(*it, copy);
        if (m_lossyCompression)
            WriteJngImageChunks(stream, image, lossy);
        else
            png::WritePngImageChunks(stream, image, m_preFilter, m_compressLevel);
    }
    png::WriteChunk(stream, "MEND", nullptr, 0);
}

// ---------------------------------------------------------------------------------------------

TJNGFileFormat::TJNGFileFormat(TOptionTable& options) : TNetworkGraphicsFileFormat(options)
{
    m_name = "JPEG Network Graphics";
    m_canSave = true;
    m_supportedFormats = JngFormats;
    options.RegisterOption(ImagingJNGLossyAlpha, &m_lossyAlpha);
    options.RegisterOption(ImagingJNGAlphaPreFilter, &m_preFilter);
    options.RegisterOption(ImagingJNGAlphaCompressLevel, &m_compressLevel);
    options.RegisterOption(ImagingJNGQuality, &m_quality);
    options.RegisterOption(ImagingJNGProgressive, &m_progressive);
}

void TJNGFileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    ConvertImageData(image, JngTarget(info));
}

void TJNGFileFormat::WriteImages(TMemoryStream& stream, const TDynImageDataArray& images)
{
    TImageData copy;
    const TImageData& image = MakeWritable(images[static_cast<size_t>(m_firstIdx)], copy);
    stream.Write(png::JngSignature.data(), png::JngSignature.size());
    WriteJngImageChunks(stream, image,
                        {m_quality, m_progressive != 0, m_lossyAlpha != 0, m_preFilter, m_compressLevel});
}

} // namespace imaging
