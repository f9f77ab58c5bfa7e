// SPDX-License-Identifier: MIT
#include "codec/formats/dds/DdsFileFormat.h"

#include "codec/CodecOptions.h"
#include "codec/ImagingError.h"

#include <algorithm>
#include <deque>

namespace imaging {

namespace {

constexpr uint32_t HeaderSize = 124;
constexpr uint32_t PixelFormatSize = 32;

// Header flags.
constexpr uint32_t FlagsRequired = 0x81007;   // caps, height, width, pixel format, linear size
constexpr uint32_t FlagMipMapCount = 0x20000;
constexpr uint32_t FlagDepth = 0x800000;
// Pixel format flags.
constexpr uint32_t PixelAlpha = 0x1;
constexpr uint32_t PixelFourCC = 0x4;
constexpr uint32_t PixelRGB = 0x40;
constexpr uint32_t PixelLuminance = 0x20000;
// Caps.
constexpr uint32_t CapsComplex = 0x8;
constexpr uint32_t CapsTexture = 0x1000;
constexpr uint32_t CapsMipMap = 0x400000;
constexpr uint32_t Caps2CubeMap = 0x200;
constexpr uint32_t Caps2FirstCubeFace = 0x400;   // +X; the other five faces follow bit by bit
constexpr uint32_t Caps2Volume = 0x200000;
constexpr int CubeFaces = 6;

constexpr uint32_t FourCC(char a, char b, char c, char d)
{
    return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}

struct PixelFormatFields {
    uint32_t flags = 0;
    uint32_t fourCC = 0;
    uint32_t bitCount = 0;
    uint32_t r = 0, g = 0, b = 0, a = 0;
};

PixelFormatFields PixelFormatOf(const TImageFormatInfo& info)
{
    PixelFormatFields f;
    f.bitCount = static_cast<uint32_t>(info.BytesPerPixel * 8);
    // Formats that the bit masks cannot describe are named by a four-character code (the
    // numeric codes of the floating-point and 16-bit formats are Direct3D format numbers).
    switch (info.Format) {
    case ifDXT1: f.fourCC = FourCC('D', 'X', 'T', '1'); break;
    case ifDXT3: f.fourCC = FourCC('D', 'X', 'T', '3'); break;
    case ifDXT5: f.fourCC = FourCC('D', 'X', 'T', '5'); break;
    case ifATI1N: f.fourCC = FourCC('A', 'T', 'I', '1'); break;
    case ifATI2N: f.fourCC = FourCC('A', 'T', 'I', '2'); break;
    case ifA16B16G16R16: f.fourCC = 36; break;
    case ifR16F: f.fourCC = 111; break;
    case ifA16B16G16R16F: f.fourCC = 113; break;
    case ifR32F: f.fourCC = 114; break;
    case ifA32B32G32R32F: f.fourCC = 116; break;
    default: break;
    }
    if (f.fourCC != 0) {
        f.flags = PixelFourCC;
        return f;
    }
    if (info.HasGrayChannel) {
        const uint32_t channelMask = info.BytesPerPixel / info.ChannelCount == 2 ? 0xFFFF : 0xFF;
        f.flags = PixelLuminance;
        f.r = channelMask;
        if (info.HasAlphaChannel) {
            f.flags |= PixelAlpha;
            f.a = channelMask << (8 * (info.BytesPerPixel / info.ChannelCount));
        }
        return f;
    }
    f.flags = PixelRGB | (info.HasAlphaChannel ? PixelAlpha : 0);
    if (info.UsePixelFormat) {
        f.r = info.R.mask;
        f.g = info.G.mask;
        f.b = info.B.mask;
        f.a = info.A.mask;
    } else {
        f.r = 0x00FF0000;
        f.g = 0x0000FF00;
        f.b = 0x000000FF;
        f.a = info.HasAlphaChannel ? 0xFF000000 : 0;
    }
    return f;
}

} // namespace

TDDSFileFormat::TDDSFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "DirectDraw Surface";
    m_canSave = true;
    m_isMultiImageFormat = true;   // mipmaps, cube faces and volume slices come from the list
    m_supportedFormats = {ifGray8, ifA8Gray8, ifGray16, ifR3G3B2, ifR5G6B5, ifA1R5G5B5, ifA4R4G4B4,
                          ifX1R5G5B5, ifX4R4G4B4, ifR8G8B8, ifA8R8G8B8, ifX8R8G8B8, ifA16B16G16R16,
                          ifR32F, ifA32B32G32R32F, ifR16F, ifA16B16G16R16F, ifDXT1, ifDXT3, ifDXT5,
                          ifATI1N, ifATI2N};
    options.RegisterOption(ImagingDDSLoadedCubeMap, &m_loadedCubeMap);
    options.RegisterOption(ImagingDDSLoadedVolume, &m_loadedVolume);
    options.RegisterOption(ImagingDDSLoadedMipMapCount, &m_loadedMipMapCount);
    options.RegisterOption(ImagingDDSLoadedDepth, &m_loadedDepth);
    options.RegisterOption(ImagingDDSSaveCubeMap, &m_saveCubeMap);
    options.RegisterOption(ImagingDDSSaveVolume, &m_saveVolume);
    options.RegisterOption(ImagingDDSSaveMipMapCount, &m_saveMipMapCount);
    options.RegisterOption(ImagingDDSSaveDepth, &m_saveDepth);
}

void TDDSFileFormat::ValidateOptions()
{
    // A cube map and a volume at once is not possible: the cube map wins.
    if (m_saveCubeMap != 0 && m_saveVolume != 0)
        m_saveVolume = 0;
    if (m_saveMipMapCount <= 0)
        m_saveMipMapCount = 1;
    if (m_saveDepth <= 0)
        m_saveDepth = 1;
}

void TDDSFileFormat::ConvertForWriting(TImageData& image, const TImageFormatInfo& info)
{
    TImageFormat target;
    if (info.IsIndexed || info.IsSpecial)
        target = ifA8R8G8B8;
    else if (info.IsFloatingPoint)
        target = info.Format == ifA16R16G16B16F ? ifA16B16G16R16F : ifA32B32G32R32F;
    else if (info.HasGrayChannel)
        target = info.HasAlphaChannel ? ifA8Gray8 : info.BytesPerPixel == 1 ? ifGray8 : ifGray16;
    else if (info.BytesPerPixel >= 5)
        target = ifA16B16G16R16;
    else if (info.HasAlphaChannel)
        target = ifA8R8G8B8;
    else
        target = ifX8R8G8B8;
    ConvertImageData(image, target);
}

void TDDSFileFormat::WriteImages(TMemoryStream& stream, const TDynImageDataArray& images)
{
    std::deque<TImageData> copies;   // converted surfaces, released when writing is done
    copies.emplace_back();
    const TImageData& main = MakeWritable(images[static_cast<size_t>(m_firstIdx)], copies.back());
    const TImageFormatInfo& info = *GetFormatInfo(main.Format);

    const int available = m_lastIdx - m_firstIdx + 1;
    int mipMaps = m_saveMipMapCount;
    const bool cubeMap = m_saveCubeMap != 0;
    const bool volume = m_saveVolume != 0;
    const int depth = cubeMap ? std::min(m_saveDepth, CubeFaces) : m_saveDepth;
    // Surfaces in file order: each cube face with its mipmaps, or each mipmap level with its
    // volume slices (halved from level to level), or the mipmap levels of a plain texture.
    struct Surface {
        int index, level;
    };
    std::vector<Surface> layout;
    const auto slicesAt = [&](int level) { return volume ? std::max(1, depth >> level) : 1; };
    if (cubeMap) {
        for (int face = 0; face < depth; ++face)
            for (int level = 0; level < mipMaps; ++level)
                layout.push_back({face * mipMaps + level, level});
    } else {
        int index = 0;
        for (int level = 0; level < mipMaps; ++level)
            for (int slice = 0; slice < slicesAt(level); ++slice)
                layout.push_back({index++, level});
    }

    std::vector<const TImageData*> surfaces;
    if (static_cast<int>(layout.size()) <= available) {
        for (const Surface& s : layout) {
            const TImageData& source = images[static_cast<size_t>(m_firstIdx + s.index)];
            if (source.Width != std::max(1, main.Width >> s.level) || source.Height != std::max(1, main.Height >> s.level))
                break;
            if (s.index == 0) {
                surfaces.push_back(&main);
                continue;
            }
            copies.emplace_back();
            const TImageData* surface = &MakeWritable(source, copies.back());
            if (surface->Format != main.Format) {
                if (surface != &copies.back())
                    CloneImageData(source, copies.back());
                ConvertImageData(copies.back(), main.Format);
                surface = &copies.back();
            }
            surfaces.push_back(surface);
        }
    }
    const bool complete = surfaces.size() == layout.size();
    if (!complete) {
        // The list does not hold what the options ask for: a plain texture of the first image.
        surfaces.assign(1, &main);
        mipMaps = 1;
    }
    const bool writeCube = complete && cubeMap;
    const bool writeVolume = complete && volume;

    uint32_t flags = FlagsRequired;
    uint32_t caps = CapsTexture;
    uint32_t caps2 = 0;
    if (mipMaps > 1) {
        flags |= FlagMipMapCount;
        caps |= CapsComplex | CapsMipMap;
    }
    if (writeCube) {
        caps |= CapsComplex;
        caps2 = Caps2CubeMap;
        for (int face = 0; face < depth; ++face)
            caps2 |= Caps2FirstCubeFace << face;
    } else if (writeVolume) {
        flags |= FlagDepth;
        caps |= CapsComplex;
        caps2 = Caps2Volume;
    }

    stream.WriteString("DDS ");
    stream.WriteU32LE(HeaderSize);
    stream.WriteU32LE(flags);
    stream.WriteU32LE(static_cast<uint32_t>(main.Height));
    stream.WriteU32LE(static_cast<uint32_t>(main.Width));
    stream.WriteU32LE(static_cast<uint32_t>(main.Size));   // linear size of the main image
    stream.WriteU32LE(writeVolume ? static_cast<uint32_t>(depth) : 0);
    stream.WriteU32LE(mipMaps > 1 ? static_cast<uint32_t>(mipMaps) : 0);
    for (int i = 0; i < 11; ++i)
        stream.WriteU32LE(0);   // reserved

    const PixelFormatFields pf = PixelFormatOf(info);
    stream.WriteU32LE(PixelFormatSize);
    stream.WriteU32LE(pf.flags);
    stream.WriteU32LE(pf.fourCC);
    stream.WriteU32LE(pf.bitCount);
    stream.WriteU32LE(pf.r);
    stream.WriteU32LE(pf.g);
    stream.WriteU32LE(pf.b);
    stream.WriteU32LE(pf.a);

    stream.WriteU32LE(caps);
    stream.WriteU32LE(caps2);
    stream.WriteU32LE(0);   // caps 3
    stream.WriteU32LE(0);   // caps 4
    stream.WriteU32LE(0);   // reserved

    // Rows top first without padding: exactly as the record holds them.
    for (const TImageData* surface : surfaces)
        stream.Write(surface->Bits.data(), surface->Bits.size());
}

} // namespace imaging
