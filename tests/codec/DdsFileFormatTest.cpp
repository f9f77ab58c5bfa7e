// SPDX-License-Identifier: MIT
// DirectDraw Surface writer: header fields, pixel formats, mipmaps, cube maps and volumes, and
// decoding by independent decoders.
#include "support/codec/CaseNames.h"
#include "support/codec/CodecFixtures.h"
#include "support/codec/ExternalDecoders.h"

#include "codec/FormatRegistry.h"

#include <gtest/gtest.h>

using namespace imaging;
using namespace codectest;

namespace {

class DdsWriter : public ::testing::Test {
protected:
    TImaging codec;
    TImageFileFormat* dds = codec.Registry.FindWriterForFileName("x.dds");

    std::vector<uint8_t> Write(const TDynImageDataArray& images, bool onlyFirst = true)
    {
        std::vector<uint8_t> out;
        EXPECT_TRUE(dds->WriteImageToMemory(images, out, onlyFirst));
        return out;
    }
};

// Header field offsets.
constexpr size_t Flags = 8, Height = 12, Width = 16, LinearSize = 20, Depth = 24, MipMapCount = 28;
constexpr size_t PfSize = 76, PfFlags = 80, PfFourCC = 84, PfBitCount = 88, PfMasks = 92;
constexpr size_t Caps = 108, Caps2 = 112;
constexpr size_t DataStart = 128;

std::vector<uint8_t> Concat(const TDynImageDataArray& images)
{
    std::vector<uint8_t> out;
    for (const TImageData& image : images)
        out.insert(out.end(), image.Bits.begin(), image.Bits.end());
    return out;
}

} // namespace

TEST_F(DdsWriter, HeaderOfAThreeByTwoImage)
{
    const TImageData image = MakeRgbImage(3, 2, 9);
    const std::vector<uint8_t> f = Write({image});
    ASSERT_EQ(f.size(), 128u + 18u);
    EXPECT_EQ(std::string(f.begin(), f.begin() + 4), "DDS ");
    EXPECT_EQ(LE32(f, 4), 124u);
    EXPECT_EQ(LE32(f, Flags), 0x81007u);
    EXPECT_EQ(LE32(f, Height), 2u);
    EXPECT_EQ(LE32(f, Width), 3u);
    EXPECT_EQ(LE32(f, LinearSize), 18u);
    EXPECT_EQ(LE32(f, Depth), 0u);
    EXPECT_EQ(LE32(f, MipMapCount), 0u);
    for (size_t pos = 32; pos < 76; pos += 4)
        EXPECT_EQ(LE32(f, pos), 0u) << "reserved at " << pos;
    EXPECT_EQ(LE32(f, PfSize), 32u);
    EXPECT_EQ(LE32(f, PfFlags), 0x40u);
    EXPECT_EQ(LE32(f, PfFourCC), 0u);
    EXPECT_EQ(LE32(f, PfBitCount), 24u);
    EXPECT_EQ(LE32(f, PfMasks), 0x00FF0000u);
    EXPECT_EQ(LE32(f, PfMasks + 4), 0x0000FF00u);
    EXPECT_EQ(LE32(f, PfMasks + 8), 0x000000FFu);
    EXPECT_EQ(LE32(f, PfMasks + 12), 0u);
    EXPECT_EQ(LE32(f, Caps), 0x1000u);
    for (size_t pos = Caps2; pos < DataStart; pos += 4)
        EXPECT_EQ(LE32(f, pos), 0u);
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + DataStart, f.end()), image.Bits);
}

namespace {

uint32_t FourCC(const char* s)
{
    return uint32_t(s[0]) | uint32_t(s[1]) << 8 | uint32_t(s[2]) << 16 | uint32_t(s[3]) << 24;
}

struct PixelFormatCase {
    TImageFormat input, written;
    uint32_t flags, fourCC, bitCount, r, g, b, a;
};

class DdsPixelFormats : public DdsWriter, public ::testing::WithParamInterface<PixelFormatCase> {};

} // namespace

TEST_P(DdsPixelFormats, FieldsAndConversions)
{
    const PixelFormatCase& c = GetParam();
    TImageData image = MakeRgbImage(5, 3, 4);
    if (c.input == ifIndex8) {
        NewImageData(5, 3, ifIndex8, image);
        for (int i = 0; i < 256; ++i)
            image.Palette[i] = {static_cast<uint8_t>(i), 3, static_cast<uint8_t>(i / 2), 255};
        for (size_t i = 0; i < image.Bits.size(); ++i)
            image.Bits[i] = static_cast<uint8_t>(i * 17);
    } else {
        ConvertImageData(image, c.input);
    }
    TImageData expected = image;
    ConvertImageData(expected, c.written);
    const std::vector<uint8_t> f = Write({image});
    ASSERT_EQ(f.size(), DataStart + expected.Bits.size());
    EXPECT_EQ(LE32(f, LinearSize), expected.Bits.size());
    EXPECT_EQ(LE32(f, PfFlags), c.flags);
    EXPECT_EQ(LE32(f, PfFourCC), c.fourCC);
    EXPECT_EQ(LE32(f, PfBitCount), c.bitCount);
    EXPECT_EQ(LE32(f, PfMasks), c.r);
    EXPECT_EQ(LE32(f, PfMasks + 4), c.g);
    EXPECT_EQ(LE32(f, PfMasks + 8), c.b);
    EXPECT_EQ(LE32(f, PfMasks + 12), c.a);
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + DataStart, f.end()), expected.Bits);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DdsPixelFormats,
    ::testing::Values(
        PixelFormatCase{ifA8R8G8B8, ifA8R8G8B8, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
        PixelFormatCase{ifX8R8G8B8, ifX8R8G8B8, 0x40, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0},
        PixelFormatCase{ifR5G6B5, ifR5G6B5, 0x40, 0, 16, 0xF800, 0x07E0, 0x001F, 0},
        PixelFormatCase{ifA1R5G5B5, ifA1R5G5B5, 0x41, 0, 16, 0x7C00, 0x03E0, 0x001F, 0x8000},
        PixelFormatCase{ifR3G3B2, ifR3G3B2, 0x40, 0, 8, 0xE0, 0x1C, 0x03, 0},
        PixelFormatCase{ifGray8, ifGray8, 0x20000, 0, 8, 0xFF, 0, 0, 0},
        PixelFormatCase{ifA8Gray8, ifA8Gray8, 0x20001, 0, 16, 0xFF, 0, 0, 0xFF00},
        PixelFormatCase{ifGray16, ifGray16, 0x20000, 0, 16, 0xFFFF, 0, 0, 0},
        PixelFormatCase{ifA16B16G16R16, ifA16B16G16R16, 4, 36, 64, 0, 0, 0, 0},
        PixelFormatCase{ifR32F, ifR32F, 4, 114, 32, 0, 0, 0, 0},
        PixelFormatCase{ifA32B32G32R32F, ifA32B32G32R32F, 4, 116, 128, 0, 0, 0, 0},
        // Converted first.
        PixelFormatCase{ifIndex8, ifA8R8G8B8, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
        PixelFormatCase{ifR16G16B16, ifA16B16G16R16, 4, 36, 64, 0, 0, 0, 0},
        PixelFormatCase{ifA16R16G16B16F, ifA16B16G16R16F, 4, 113, 64, 0, 0, 0, 0},
        PixelFormatCase{ifA32R32G32B32F, ifA32B32G32R32F, 4, 116, 128, 0, 0, 0, 0},
        PixelFormatCase{ifGray32, ifGray16, 0x20000, 0, 16, 0xFFFF, 0, 0, 0},
        PixelFormatCase{ifA16Gray16, ifA8Gray8, 0x20001, 0, 16, 0xFF, 0, 0, 0xFF00},
        PixelFormatCase{ifX5R1G1B1, ifX8R8G8B8, 0x40, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0}),
    [](const ::testing::TestParamInfo<PixelFormatCase>& info) { return std::string(GetFormatName(info.param.input)); });

// Block-compressed data is written as it is, named by its code; the linear size counts blocks.
TEST_F(DdsWriter, BlockCompressedDataIsWrittenAsItIs)
{
    TImageData dxt;
    NewImageData(5, 3, ifDXT1, dxt);
    for (size_t i = 0; i < dxt.Bits.size(); ++i)
        dxt.Bits[i] = static_cast<uint8_t>(i + 1);
    const std::vector<uint8_t> f = Write({dxt});
    EXPECT_EQ(LE32(f, PfFlags), 4u);
    EXPECT_EQ(LE32(f, PfFourCC), FourCC("DXT1"));
    EXPECT_EQ(LE32(f, LinearSize), 16u);   // two blocks of 8 bytes
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + DataStart, f.end()), dxt.Bits);
}

namespace {

struct SurfaceCase {
    std::string what;
    int cubeMap, volume, mipMaps, depth;
    TDynImageDataArray images;
    bool onlyFirst;
    uint32_t flags, depthField, mipMapCount, caps, caps2;
    TDynImageDataArray written;
};

std::vector<SurfaceCase> SurfaceCases()
{
    const TImageData level0 = MakeRgbImage(8, 4, 1), level1 = MakeRgbImage(4, 2, 2), level2 = MakeRgbImage(2, 1, 3);
    TImageData level1Argb = level1;   // other formats are converted to the first image's
    ConvertImageData(level1Argb, ifA8R8G8B8);
    const TImageData wrongSize = MakeRgbImage(5, 2, 4);
    TDynImageDataArray faces, slices;
    for (unsigned i = 0; i < 6; ++i)
        faces.push_back(MakeRgbImage(4, 4, 10 + i));
    for (unsigned i = 0; i < 4; ++i)
        slices.push_back(MakeRgbImage(4, 4, 20 + i));
    for (unsigned i = 0; i < 2; ++i)
        slices.push_back(MakeRgbImage(2, 2, 30 + i));
    return {
        {"three mipmaps", 0, 0, 3, 1, {level0, level1Argb, level2}, false,
         0xA1007, 0, 3, 0x401008, 0, {level0, level1, level2}},
        {"only the first image asked for", 0, 0, 3, 1, {level0, level1, level2}, true,
         0x81007, 0, 0, 0x1000, 0, {level0}},
        {"too few images", 0, 0, 3, 1, {level0, level1}, false, 0x81007, 0, 0, 0x1000, 0, {level0}},
        {"a mipmap of the wrong size", 0, 0, 2, 1, {level0, wrongSize}, false, 0x81007, 0, 0, 0x1000, 0, {level0}},
        {"cube map", 1, 0, 1, 6, faces, false, 0x81007, 0, 0, 0x1008, 0xFE00, faces},
        {"cube map wins over volume", 1, 1, 1, 6, faces, false, 0x81007, 0, 0, 0x1008, 0xFE00, faces},
        {"volume with two mipmap levels", 0, 1, 2, 4, slices, false, 0x8A1007, 4, 2, 0x401008, 0x200000, slices},
    };
}

class DdsSurfaces : public DdsWriter, public ::testing::WithParamInterface<SurfaceCase> {};

} // namespace

// Mipmaps, cube faces and volume slices come from the image list when the options ask for them
// and the list holds them all with fitting sizes; otherwise the first image is written alone.
TEST_P(DdsSurfaces, MipMapsCubeMapsAndVolumes)
{
    const SurfaceCase& c = GetParam();
    codec.Options.SetOption(ImagingDDSSaveCubeMap, c.cubeMap);
    codec.Options.SetOption(ImagingDDSSaveVolume, c.volume);
    codec.Options.SetOption(ImagingDDSSaveMipMapCount, c.mipMaps);
    codec.Options.SetOption(ImagingDDSSaveDepth, c.depth);
    const std::vector<uint8_t> f = Write(c.images, c.onlyFirst);
    ASSERT_GE(f.size(), DataStart);
    EXPECT_EQ(LE32(f, Flags), c.flags);
    EXPECT_EQ(LE32(f, Width), static_cast<uint32_t>(c.images[0].Width));
    EXPECT_EQ(LE32(f, LinearSize), c.images[0].Bits.size());
    EXPECT_EQ(LE32(f, Depth), c.depthField);
    EXPECT_EQ(LE32(f, MipMapCount), c.mipMapCount);
    EXPECT_EQ(LE32(f, Caps), c.caps);
    EXPECT_EQ(LE32(f, Caps2), c.caps2);
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + DataStart, f.end()), Concat(c.written));
}

INSTANTIATE_TEST_SUITE_P(Lists, DdsSurfaces, ::testing::ValuesIn(SurfaceCases()), CaseWhat());

namespace {

struct DecoderCase {
    std::string what;
    TDynImageDataArray images;
    int mipMaps;
};

std::vector<DecoderCase> DecoderCases()
{
    std::vector<DecoderCase> cases;
    for (auto [w, h, pattern] : {std::tuple{1, 1, 1u}, std::tuple{3, 2, 2u}, std::tuple{17, 5, 0u}, std::tuple{130, 67, 4u}})
        cases.push_back({"R8G8B8 " + std::to_string(w) + "x" + std::to_string(h), {MakeRgbImage(w, h, pattern)}, 1});
    TImageData argb = MakeRgbImage(23, 7, 8);
    ConvertImageData(argb, ifA8R8G8B8);
    for (size_t i = 3; i < argb.Bits.size(); i += 4)
        argb.Bits[i] = static_cast<uint8_t>(i * 13);
    cases.push_back({"A8R8G8B8", {argb}, 1});
    cases.push_back({"R8G8B8 with mipmaps", {MakeRgbImage(16, 8, 5), MakeRgbImage(8, 4, 6), MakeRgbImage(4, 2, 7)}, 3});
    return cases;
}

class DdsDecoders : public DdsWriter, public ::testing::WithParamInterface<DecoderCase> {};

} // namespace

TEST_P(DdsDecoders, ReadBackThePixels)
{
    if (!HaveImageMagick() && !HavePillow())
        GTEST_SKIP() << "neither ImageMagick nor Pillow is installed";
    const DecoderCase& c = GetParam();
    TempDir dir;
    codec.Options.SetOption(ImagingDDSSaveMipMapCount, c.mipMaps);
    const auto file = dir.File("image.dds");
    WriteFile(file, Write(c.images, false));
    const TImageData& image = c.images[0];
    const int channels = image.Format == ifA8R8G8B8 ? 4 : 3;
    ExpectDecodersReadBack(file, image.Width, image.Height, channels, ColourSamples(image));
}

INSTANTIATE_TEST_SUITE_P(Images, DdsDecoders, ::testing::ValuesIn(DecoderCases()), CaseWhat());
