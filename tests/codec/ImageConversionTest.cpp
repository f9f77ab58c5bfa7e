// SPDX-License-Identifier: MIT
// Conversions between pixel formats.
#include "codec/ImageData.h"
#include "codec/ImagingError.h"
#include "codec/PixelAccess.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace imaging;

namespace {

// A record of the given format holding the listed bytes in one row.
TImageData FromBytes(TImageFormat format, int width, std::vector<uint8_t> bytes)
{
    TImageData image;
    NewImageData(width, 1, format, image);
    EXPECT_EQ(bytes.size(), image.Bits.size());
    image.Bits = std::move(bytes);
    return image;
}

float FloatAt(const TImageData& image, size_t index)
{
    float f;
    std::memcpy(&f, image.Bits.data() + 4 * index, 4);
    return f;
}

// A8R8G8B8 test colours: primaries, gray levels, arbitrary values, alpha from 0 to 255.
TImageData ColourSamples()
{
    const std::vector<uint8_t> bgra = {
        0, 0, 255, 255,    0, 255, 0, 255,    255, 0, 0, 255,    0, 0, 0, 0,
        255, 255, 255, 128, 10, 20, 30, 40,   200, 100, 50, 255, 1, 254, 127, 1,
        128, 128, 128, 200, 77, 33, 201, 255, 18, 250, 99, 9,    64, 192, 3, 255,
    };
    return FromBytes(ifA8R8G8B8, static_cast<int>(bgra.size() / 4), bgra);
}

} // namespace

TEST(ImageConversion, ThirtyTwoBitFormatsToR8G8B8DropTheFourthByte)
{
    for (TImageFormat source : {ifA8R8G8B8, ifX8R8G8B8}) {
        TImageData image = FromBytes(source, 2, {1, 2, 3, 4, 250, 251, 252, 0});
        ASSERT_TRUE(ConvertImageData(image, ifR8G8B8));
        EXPECT_EQ(image.Format, ifR8G8B8);
        EXPECT_EQ(image.Size, 6);
        EXPECT_EQ(image.Bits, (std::vector<uint8_t>{1, 2, 3, 250, 251, 252}));
        EXPECT_TRUE(TestImage(image));
    }
}

TEST(ImageConversion, R8G8B8ToGray8UsesTheLuminanceWeights)
{
    // Pixels are stored blue, green, red.
    TImageData image = FromBytes(ifR8G8B8, 6, {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 0, 0, 0, 30, 20, 10});
    ASSERT_TRUE(ConvertImageData(image, ifGray8));
    EXPECT_EQ(image.Bits, (std::vector<uint8_t>{76, 150, 29, 255, 0, 18}));
    EXPECT_EQ(image.Size, 6);
}

TEST(ImageConversion, R8G8B8ToFloatIsValueOver255WithOpaqueAlpha)
{
    TImageData image = FromBytes(ifR8G8B8, 2, {0, 128, 255, 1, 2, 3});
    ASSERT_TRUE(ConvertImageData(image, ifA32B32G32R32F));
    ASSERT_EQ(image.Size, 32);
    // Channel order red, green, blue, alpha.
    const float expected[] = {255 * 257.0f / 65535.0f, 128 * 257.0f / 65535.0f, 0.0f, 1.0f,
                              3 * 257.0f / 65535.0f, 2 * 257.0f / 65535.0f, 1 * 257.0f / 65535.0f, 1.0f};
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(FloatAt(image, i), expected[i]) << i;
    EXPECT_EQ(FloatAt(image, 0), 1.0f);
    EXPECT_EQ(FloatAt(image, 1), 128.0f / 255.0f);
}

TEST(ImageConversion, TwinsSwapRedAndBlueInPlace)
{
    TImageData image = FromBytes(ifR16G16B16, 1, {1, 2, 3, 4, 5, 6});
    const uint8_t* buffer = image.Bits.data();
    ASSERT_TRUE(ConvertImageData(image, ifB16G16R16));
    EXPECT_EQ(image.Bits, (std::vector<uint8_t>{5, 6, 3, 4, 1, 2}));
    EXPECT_EQ(image.Bits.data(), buffer);

    std::vector<uint8_t> floats(16);
    const float argb[] = {0.25f, 0.5f, 0.75f, 1.0f};   // blue, green, red, alpha
    std::memcpy(floats.data(), argb, 16);
    image = FromBytes(ifA32R32G32B32F, 1, floats);
    ASSERT_TRUE(ConvertImageData(image, ifA32B32G32R32F));
    EXPECT_EQ(FloatAt(image, 0), 0.75f);
    EXPECT_EQ(FloatAt(image, 2), 0.25f);
    EXPECT_EQ(FloatAt(image, 3), 1.0f);
}

TEST(ImageConversion, SameFormatIsLeftUntouched)
{
    TImageData image = FromBytes(ifR8G8B8, 1, {7, 8, 9});
    const uint8_t* buffer = image.Bits.data();
    EXPECT_TRUE(ConvertImageData(image, ifR8G8B8));
    EXPECT_EQ(image.Bits.data(), buffer);
    EXPECT_EQ(image.Bits, (std::vector<uint8_t>{7, 8, 9}));
}

TEST(ImageConversion, Index8MapsThroughItsPalette)
{
    TImageData image = FromBytes(ifIndex8, 3, {0, 2, 255});
    image.Palette[0] = {10, 20, 30, 255};
    image.Palette[2] = {40, 50, 60, 255};
    image.Palette[255] = {70, 80, 90, 0};
    TImageData argb = image;
    ASSERT_TRUE(ConvertImageData(image, ifR8G8B8));
    EXPECT_EQ(image.Bits, (std::vector<uint8_t>{10, 20, 30, 40, 50, 60, 70, 80, 90}));
    EXPECT_TRUE(image.Palette.empty());
    ASSERT_TRUE(ConvertImageData(argb, ifA8R8G8B8));
    EXPECT_EQ(argb.Bits[11], 0);   // the palette's alpha comes along
}

TEST(ImageConversion, FailuresRaiseAndLeaveTheRecordAsItWas)
{
    const TImageData original = FromBytes(ifR8G8B8, 2, {1, 2, 3, 4, 5, 6});
    // Block compression is not available at all.
    for (TImageFormat target : {ifDXT1, ifATI2N}) {
        TImageData image = original;
        try {
            ConvertImageData(image, target);
            ADD_FAILURE() << "no error for " << GetFormatName(target);
        } catch (const EImagingError& e) {
            const std::string prefix = std::string("Error while converting image to format \"") +
                                       GetFormatName(target) + "\". Image @";
            EXPECT_EQ(std::string(e.what()).rfind(prefix, 0), 0u) << e.what();
        }
        EXPECT_EQ(image.Format, ifR8G8B8);
        EXPECT_EQ(image.Bits, original.Bits);
    }
    // A format id without an entry raises; an invalid record gives false.
    TImageData image = original;
    EXPECT_THROW(ConvertImageData(image, 226), EImagingError);
    EXPECT_THROW(ConvertImageData(image, 0), EImagingError);
    image.Size = 5;
    EXPECT_FALSE(ConvertImageData(image, ifGray8));
    EXPECT_EQ(image.Format, ifR8G8B8);
}

namespace {

struct PrecisionCase {
    TImageFormat format;
    int tolerance;   // per colour channel
};

class PlainFormats : public ::testing::TestWithParam<PrecisionCase> {};

} // namespace

// Every plain format keeps the test colours within its precision, through the generic path and
// back.
TEST_P(PlainFormats, RoundTripWithinTheirPrecision)
{
    const PrecisionCase& c = GetParam();
    const TImageFormatInfo& info = *GetFormatInfo(c.format);
    const TImageData source = ColourSamples();
    TImageData image = source;
    ASSERT_TRUE(ConvertImageData(image, c.format));
    EXPECT_EQ(image.Format, c.format);
    EXPECT_TRUE(TestImage(image));
    ASSERT_TRUE(ConvertImageData(image, ifA8R8G8B8));
    for (size_t p = 0; p < source.Bits.size(); p += 4) {
        TColor32Rec in{source.Bits[p], source.Bits[p + 1], source.Bits[p + 2], source.Bits[p + 3]};
        if (info.HasGrayChannel || info.ChannelCount == 1)
            in.R = in.G = in.B = GrayOf(in);
        const uint8_t expected[3] = {in.B, in.G, in.R};
        for (size_t k = 0; k < 3; ++k)
            EXPECT_NEAR(image.Bits[p + k], expected[k], c.tolerance) << "pixel " << p / 4 << " channel " << k;
        if (!info.HasAlphaChannel)
            EXPECT_EQ(image.Bits[p + 3], 255) << "pixel " << p / 4;
        else if (info.Format == ifA1R5G5B5)
            EXPECT_EQ(image.Bits[p + 3], in.A >= 128 ? 255 : 0) << "pixel " << p / 4;
        else
            EXPECT_NEAR(image.Bits[p + 3], in.A, info.Format == ifA4R4G4B4 ? 8 : 0) << "pixel " << p / 4;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PlainFormats,
    ::testing::Values(
        PrecisionCase{ifR8G8B8, 0}, PrecisionCase{ifX8R8G8B8, 0}, PrecisionCase{ifA8R8G8B8, 0}, PrecisionCase{ifR16G16B16, 0}, PrecisionCase{ifA16R16G16B16, 0},
        PrecisionCase{ifB16G16R16, 0}, PrecisionCase{ifA16B16G16R16, 0}, PrecisionCase{ifA32R32G32B32F, 0}, PrecisionCase{ifA32B32G32R32F, 0},
        PrecisionCase{ifA16R16G16B16F, 0}, PrecisionCase{ifA16B16G16R16F, 0},
        PrecisionCase{ifR5G6B5, 4}, PrecisionCase{ifA1R5G5B5, 4}, PrecisionCase{ifX1R5G5B5, 4}, PrecisionCase{ifA4R4G4B4, 8}, PrecisionCase{ifX4R4G4B4, 8},
        PrecisionCase{ifR3G3B2, 42}, PrecisionCase{ifX5R1G1B1, 127},
        // Gray formats keep the gray value of each colour.
        PrecisionCase{ifGray8, 0}, PrecisionCase{ifA8Gray8, 0}, PrecisionCase{ifGray16, 1}, PrecisionCase{ifA16Gray16, 1}, PrecisionCase{ifGray32, 1}, PrecisionCase{ifGray64, 1},
        PrecisionCase{ifR32F, 1}, PrecisionCase{ifR16F, 1}),
    [](const ::testing::TestParamInfo<PrecisionCase>& info) { return std::string(GetFormatName(info.param.format)); });

// The row-wise conversions of the program's images give what the per-pixel routines give.
TEST(ImageConversion, FastConversionsEqualThePerPixelRoutines)
{
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::pair<TImageFormat, TImageFormat> pairs[] = {
        {ifA8R8G8B8, ifR8G8B8}, {ifX8R8G8B8, ifR8G8B8}, {ifR8G8B8, ifA8R8G8B8},
        {ifR8G8B8, ifX8R8G8B8}, {ifR8G8B8, ifGray8}};
    for (const auto& [from, to] : pairs) {
        TImageData image;
        NewImageData(37, 5, from, image);
        for (uint8_t& b : image.Bits)
            b = static_cast<uint8_t>(byte(rng));
        const TImageFormatInfo& src = *GetFormatInfo(from);
        const TImageFormatInfo& dst = *GetFormatInfo(to);
        std::vector<uint8_t> expected(static_cast<size_t>(dst.GetPixelsSize(37, 5)), 0);
        for (size_t i = 0; i < 37 * 5; ++i)
            SetPixel32(expected.data() + i * dst.BytesPerPixel, dst,
                       GetPixel32(image.Bits.data() + i * src.BytesPerPixel, src, nullptr));
        ASSERT_TRUE(ConvertImageData(image, to));
        EXPECT_EQ(image.Bits, expected) << GetFormatName(from) << " to " << GetFormatName(to);
    }
}
