// SPDX-License-Identifier: MIT
// Windows bitmap writer: byte layout and decoding by independent decoders.
#include "support/codec/CaseNames.h"
#include "support/codec/CodecFixtures.h"
#include "support/codec/ExternalDecoders.h"

#include "codec/FormatRegistry.h"

#include <gtest/gtest.h>

using namespace imaging;
using namespace codectest;

namespace {

class BitmapWriter : public ::testing::Test {
protected:
    TImaging codec;
    TImageFileFormat* bmp = codec.Registry.FindWriterForFileName("x.bmp");

    std::vector<uint8_t> Write(const TImageData& image)
    {
        std::vector<uint8_t> out;
        EXPECT_TRUE(bmp->WriteImageToMemory({image}, out));
        return out;
    }
};

// Red, green, blue of every pixel as the record means them.
std::vector<uint16_t> ExpectedRgb(const TImageData& image)
{
    TImageData rgb = image;
    ConvertImageData(rgb, ifR8G8B8);
    return Widen(RgbBytes(rgb));
}

// An Index8 image whose rows hold runs of many lengths and stretches without runs.
TImageData IndexedImage(int width, int height)
{
    TImageData image;
    NewImageData(width, height, ifIndex8, image);
    for (int i = 0; i < 256; ++i)
        image.Palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7), 255};
    for (int y = 0; y < height; ++y) {
        uint8_t* row = image.Row(y);
        int x = 0, value = y * 11, runLength = 1 + y % 5;
        while (x < width) {
            for (int k = 0; k < runLength && x < width; ++k)
                row[x++] = static_cast<uint8_t>(value);
            value = (value + 37) % 256;
            runLength = runLength >= 6 ? 1 : runLength + (y % 3 == 0 ? 0 : 1);
        }
    }
    if (width > 300)
        std::fill(image.Row(0), image.Row(0) + 300, uint8_t{3});   // a run longer than 255
    return image;
}

} // namespace

TEST_F(BitmapWriter, ThreeByTwoImageLayout)
{
    TImageData image = MakeRgbImage(3, 2, 9);
    const std::vector<uint8_t> f = Write(image);
    ASSERT_EQ(f.size(), 78u);
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(LE32(f, 2), 78u);      // file size
    EXPECT_EQ(LE32(f, 6), 0u);       // reserved
    EXPECT_EQ(LE32(f, 10), 54u);     // data offset
    EXPECT_EQ(LE32(f, 14), 40u);     // info header size
    EXPECT_EQ(LE32(f, 18), 3u);
    EXPECT_EQ(LE32(f, 22), 2u);      // positive height: bottom-up
    EXPECT_EQ(LE16(f, 26), 1u);      // planes
    EXPECT_EQ(LE16(f, 28), 24u);     // bits per pixel
    EXPECT_EQ(LE32(f, 30), 0u);      // no compression
    EXPECT_EQ(LE32(f, 34), 24u);     // image size with padding
    EXPECT_EQ(LE32(f, 38), 2835u);
    EXPECT_EQ(LE32(f, 42), 2835u);
    EXPECT_EQ(LE32(f, 46), 0u);
    EXPECT_EQ(LE32(f, 50), 0u);
    // Last row first, each 9 bytes of pixels and 3 bytes of padding.
    std::vector<uint8_t> expected(image.Row(1), image.Row(1) + 9);
    expected.insert(expected.end(), 3, 0);
    expected.insert(expected.end(), image.Row(0), image.Row(0) + 9);
    expected.insert(expected.end(), 3, 0);
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 54, f.end()), expected);
}

namespace {

struct HeaderCase {
    TImageFormat format;
    uint32_t headerSize, bits, compression, dataOffset, imageSize;
};

class BitmapHeaders : public BitmapWriter, public ::testing::WithParamInterface<HeaderCase> {};

} // namespace

TEST_P(BitmapHeaders, OfTheOtherPixelFormats)
{
    const HeaderCase& c = GetParam();
    TImageData image = MakeRgbImage(5, 3, 4);
    ConvertImageData(image, c.format);
    const std::vector<uint8_t> f = Write(image);
    EXPECT_EQ(LE32(f, 2), f.size());
    EXPECT_EQ(LE32(f, 10), c.dataOffset);
    EXPECT_EQ(LE32(f, 14), c.headerSize);
    EXPECT_EQ(LE16(f, 28), c.bits);
    EXPECT_EQ(LE32(f, 30), c.compression);
    EXPECT_EQ(LE32(f, 34), c.imageSize);
    EXPECT_EQ(f.size(), c.dataOffset + c.imageSize);
    if (c.compression == 3) {
        const TImageFormatInfo& info = *GetFormatInfo(c.format);
        EXPECT_EQ(LE32(f, 54), info.R.mask);
        EXPECT_EQ(LE32(f, 58), info.G.mask);
        EXPECT_EQ(LE32(f, 62), info.B.mask);
        if (c.headerSize == 108) {
            EXPECT_EQ(LE32(f, 66), info.A.mask);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, BitmapHeaders,
                         ::testing::Values(HeaderCase{ifA8R8G8B8, 40, 32, 0, 54, 60},
                                           HeaderCase{ifX8R8G8B8, 40, 32, 0, 54, 60},
                                           HeaderCase{ifX1R5G5B5, 40, 16, 0, 54, 36},
                                           // red, green and blue masks after the header
                                           HeaderCase{ifR5G6B5, 40, 16, 3, 66, 36},
                                           HeaderCase{ifX4R4G4B4, 40, 16, 3, 66, 36},
                                           // masks inside the larger header
                                           HeaderCase{ifA1R5G5B5, 108, 16, 3, 122, 36},
                                           HeaderCase{ifA4R4G4B4, 108, 16, 3, 122, 36}),
                         [](const ::testing::TestParamInfo<HeaderCase>& info) {
                             return std::string(GetFormatName(info.param.format));
                         });

TEST_F(BitmapWriter, IndexedImagesAreRunLengthEncodedWhenTheOptionIsOn)
{
    const TImageData image = IndexedImage(40, 6);
    const std::vector<uint8_t> rle = Write(image);
    EXPECT_EQ(LE16(rle, 28), 8u);
    EXPECT_EQ(LE32(rle, 30), 1u);
    EXPECT_EQ(LE32(rle, 10), 54u + 1024u);
    EXPECT_EQ(LE32(rle, 34), rle.size() - 1078);
    EXPECT_EQ(rle[rle.size() - 2], 0);   // end of bitmap
    EXPECT_EQ(rle[rle.size() - 1], 1);
    // Palette entries: blue, green, red, reserved.
    EXPECT_EQ(std::vector<uint8_t>(rle.begin() + 54 + 4 * 9, rle.begin() + 54 + 4 * 10),
              (std::vector<uint8_t>{9, 246, 63, 0}));

    ASSERT_TRUE(codec.Options.SetOption(ImagingBitmapRLE, 0));
    const std::vector<uint8_t> plain = Write(image);
    EXPECT_EQ(LE32(plain, 30), 0u);
    EXPECT_EQ(plain.size(), 1078u + 40 * 6);
}

namespace {

struct DecoderCase {
    std::string what;
    TImageData image;
    bool pillowReads;   // Pillow knows no 4-bit bit fields
    int ignoredBits;    // low bits of each 8-bit channel that the file does not hold
    bool rle;
};

std::vector<DecoderCase> DecoderCases()
{
    std::vector<DecoderCase> cases;
    for (auto [w, h, pattern] : {std::tuple{1, 1, 1u}, std::tuple{3, 2, 2u}, std::tuple{17, 5, 0u},
                                 std::tuple{2, 9, 3u}, std::tuple{130, 67, 4u}, std::tuple{64, 31, 0u}})
        cases.push_back({"R8G8B8 " + std::to_string(w) + "x" + std::to_string(h), MakeRgbImage(w, h, pattern), true, 0, true});
    const TImageData sample = MakeRgbImage(23, 7, 8);
    for (TImageFormat format : {ifA8R8G8B8, ifX8R8G8B8, ifX1R5G5B5, ifR5G6B5, ifA1R5G5B5, ifX4R4G4B4, ifA4R4G4B4}) {
        TImageData image = sample;
        ConvertImageData(image, format);
        if (format == ifA1R5G5B5 || format == ifA4R4G4B4) {   // fully opaque, so no decoder blends
            TImageData opaque = image;
            for (size_t i = 1; i < opaque.Bits.size(); i += 2)
                opaque.Bits[i] |= format == ifA1R5G5B5 ? 0x80 : 0xF0;
            image = opaque;
        }
        const bool packed = GetFormatInfo(format)->UsePixelFormat;
        const bool fourBit = format == ifX4R4G4B4 || format == ifA4R4G4B4;
        cases.push_back({GetFormatName(format), image, !fourBit, fourBit ? 4 : packed ? 3 : 0, true});
    }
    for (auto [w, h] : {std::pair{1, 1}, std::pair{40, 6}, std::pair{333, 5}, std::pair{7, 3}}) {
        cases.push_back({"Index8 RLE " + std::to_string(w) + "x" + std::to_string(h), IndexedImage(w, h), true, 0, true});
        cases.push_back({"Index8 " + std::to_string(w) + "x" + std::to_string(h), IndexedImage(w, h), true, 0, false});
    }
    return cases;
}

class BitmapDecoders : public BitmapWriter, public ::testing::WithParamInterface<DecoderCase> {};

// Every written format is read back by ImageMagick and Pillow with the same pixels. Decoders
// scale the 4-, 5- and 6-bit fields of the 16-bit formats to 8 bits in different ways, so those
// are compared in the bits the field holds.
TEST_P(BitmapDecoders, ReadBackThePixels)
{
    if (!HaveImageMagick() && !HavePillow())
        GTEST_SKIP() << "neither ImageMagick nor Pillow is installed";
    const DecoderCase& c = GetParam();
    TempDir dir;
    codec.Options.SetOption(ImagingBitmapRLE, c.rle ? 1 : 0);
    const auto file = dir.File("image.bmp");
    WriteFile(file, Write(c.image));
    const auto significant = [&](std::vector<uint16_t> samples) {
        for (uint16_t& v : samples)
            v = static_cast<uint16_t>(v >> c.ignoredBits);
        return samples;
    };
    ExpectDecodersReadBack(file, c.image.Width, c.image.Height, 3, significant(ExpectedRgb(c.image)), c.pillowReads,
                           significant);
}

INSTANTIATE_TEST_SUITE_P(Images, BitmapDecoders, ::testing::ValuesIn(DecoderCases()), CaseWhat());

} // namespace
