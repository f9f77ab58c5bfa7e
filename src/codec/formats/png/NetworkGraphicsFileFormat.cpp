#include "NetworkGraphicsFileFormat.h"

#include "PngChunks.h"
#include "codec/CodecOptions.h"

namespace imaging {

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
    AddMasks("*.png");
    m_canSave = true;
    m_supportedFormats = {ifIndex8, ifGray8, ifA8Gray8, ifGray16, ifA16Gray16, ifR8G8B8,
                          ifA8R8G8B8, ifR16G16B16, ifA16R16G16B16, ifB16G16R16, ifA16B16G16R16};
    options.RegisterOption(ImagingPNGPreFilter, &m_preFilter);
    options.RegisterOption(ImagingPNGCompressLevel, &m_compressLevel);
}

void TPNGFileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    TImageFormat target;
    if (info.HasGrayChannel)
        target = info.HasAlphaChannel ? (info.BytesPerPixel > 2 ? ifA16Gray16 : ifA8Gray8) : ifGray16;
    else if (info.IsFloatingPoint)
        target = info.HasAlphaChannel ? ifA16B16G16R16 : ifB16G16R16;
    else if (info.HasAlphaChannel || info.IsSpecial)
        target = ifA8R8G8B8;
    else
        target = ifR8G8B8;
    ConvertImageData(image, target);
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
    AddMasks("*.mng");
    m_isMultiImageFormat = true;
    options.RegisterOption(ImagingMNGLossyCompression, &m_lossyCompression);
    options.RegisterOption(ImagingMNGLossyAlpha, &m_lossyAlpha);
    options.RegisterOption(ImagingMNGPreFilter, &m_preFilter);
    options.RegisterOption(ImagingMNGCompressLevel, &m_compressLevel);
    options.RegisterOption(ImagingMNGQuality, &m_quality);
    options.RegisterOption(ImagingMNGProgressive, &m_progressive);
}

// ---------------------------------------------------------------------------------------------

TJNGFileFormat::TJNGFileFormat(TOptionTable& options) : TNetworkGraphicsFileFormat(options)
{
    m_name = "JPEG Network Graphics";
    AddMasks("*.jng");
    options.RegisterOption(ImagingJNGLossyAlpha, &m_lossyAlpha);
    options.RegisterOption(ImagingJNGAlphaPreFilter, &m_preFilter);
    options.RegisterOption(ImagingJNGAlphaCompressLevel, &m_compressLevel);
    options.RegisterOption(ImagingJNGQuality, &m_quality);
    options.RegisterOption(ImagingJNGProgressive, &m_progressive);
}

} // namespace imaging
