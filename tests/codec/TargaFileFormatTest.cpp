// SPDX-License-Identifier: MIT
// Targa writer: header layout, pixel formats, run-length encoding and decoding by independent
// decoders.
#include "support/codec/CaseNames.h"
#include "support/codec/CodecFixtures.h"
#include "support/codec/ExternalDecoders.h"

#include "codec/FormatRegistry.h"
#include "codec/ImagingError.h"

#include <gtest/gtest.h>

using namespace imaging;
using namespace codectest;

namespace {

class TargaWriter : public ::testing::Test {
protected:
    TImaging codec;
    TImageFileFormat* tga = codec.Registry.FindWriterForFileName("x.tga");

    std::vector<uint8_t> Write(const TImageData& image)
    {
        std::vector<uint8_t> out;
        EXPECT_TRUE(tga->WriteImageToMemory({image}, out));
        return out;
    }
};

// An Index8 image with a palette of distinct colours and pseudo-random indices.
TImageData IndexedImage(int width, int height)
{
    TImageData image;
    NewImageData(width, height, ifIndex8, image);
    for (int i = 0; i < 256; ++i)
        image.Palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7), 255};
    const TImageData random = MakeRgbImage(width, height, 5);
    for (size_t i = 0; i < image.Bits.size(); ++i)
        image.Bits[i] = random.Bits[3 * i];
    return image;
}

// R8G8B8 rows made of runs: single pixels, runs of 2 and 3, and runs longer than a packet.
TImageData RunsImage(int width, int height)
{
    TImageData image;
    NewImageData(width, height, ifR8G8B8, image);
    const int runLengths[] = {1, 2, 3, 200};
    for (int y = 0; y < height; ++y) {
        uint8_t* p = image.Row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            const unsigned block = static_cast<unsigned>(x / runLengths[y % 4]) * 2654435761u + static_cast<unsigned>(y);
            p[0] = static_cast<uint8_t>(block >> 8);
            p[1] = static_cast<uint8_t>(block >> 16);
            p[2] = static_cast<uint8_t>(block >> 24);
        }
    }
    return image;
}

} // namespace

TEST_F(TargaWriter, ThreeByTwoImageLayout)
{
    const TImageData image = MakeRgbImage(3, 2, 9);
    const std::vector<uint8_t> f = Write(image);
    ASSERT_EQ(f.size(), 18u + 18u);
    const std::vector<uint8_t> header = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 24, 0x20};
    EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 18), header);
    // Top row first, blue, green, red: the record's bytes as they are.
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 18, f.end()), image.Bits);
}

namespace {

struct PixelFormatCase {
    TImageFormat input, written;
    uint8_t colourMapType, imageType, depth, descriptor;
};

class TargaPixelFormats : public TargaWriter, public ::testing::WithParamInterface<PixelFormatCase> {};

} // namespace

TEST_P(TargaPixelFormats, AndConversions)
{
    const PixelFormatCase& c = GetParam();
    TImageData image = c.input == ifIndex8 ? IndexedImage(5, 3) : MakeRgbImage(5, 3, 4);
    ConvertImageData(image, c.input);
    TImageData expected = image;
    ConvertImageData(expected, c.written);
    const std::vector<uint8_t> f = Write(image);
    ASSERT_GE(f.size(), 18u);
    EXPECT_EQ(f[1], c.colourMapType);
    EXPECT_EQ(f[2], c.imageType);
    EXPECT_EQ(LE16(f, 5), c.colourMapType ? 256 : 0);   // colour map length
    EXPECT_EQ(f[7], c.colourMapType ? 24 : 0);           // colour map entry size
    EXPECT_EQ(LE16(f, 12), 5);
    EXPECT_EQ(LE16(f, 14), 3);
    EXPECT_EQ(f[16], c.depth);
    EXPECT_EQ(f[17], c.descriptor);
    size_t data = 18;
    if (c.colourMapType) {
        // Blue, green, red per entry.
        for (int i : {0, 9, 255}) {
            const TColor32Rec& e = image.Palette[i];
            EXPECT_EQ(std::vector<uint8_t>(f.begin() + 18 + 3 * i, f.begin() + 21 + 3 * i),
                      (std::vector<uint8_t>{e.B, e.G, e.R}));
        }
        data += 768;
    }
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + data, f.end()), expected.Bits);
}

INSTANTIATE_TEST_SUITE_P(Formats, TargaPixelFormats,
                         ::testing::Values(PixelFormatCase{ifA8R8G8B8, ifA8R8G8B8, 0, 2, 32, 0x28},
                                           PixelFormatCase{ifA1R5G5B5, ifA1R5G5B5, 0, 2, 16, 0x21},
                                           PixelFormatCase{ifGray8, ifGray8, 0, 3, 8, 0x20},
                                           PixelFormatCase{ifIndex8, ifIndex8, 1, 1, 8, 0x20},
                                           PixelFormatCase{ifX8R8G8B8, ifR8G8B8, 0, 2, 24, 0x20},
                                           PixelFormatCase{ifR16G16B16, ifR8G8B8, 0, 2, 24, 0x20},
                                           PixelFormatCase{ifR5G6B5, ifA1R5G5B5, 0, 2, 16, 0x21},     // packed
                                           PixelFormatCase{ifA4R4G4B4, ifA8R8G8B8, 0, 2, 32, 0x28},   // alpha comes before packed
                                           PixelFormatCase{ifGray16, ifGray8, 0, 3, 8, 0x20},
                                           PixelFormatCase{ifA8Gray8, ifA8R8G8B8, 0, 2, 32, 0x28},
                                           PixelFormatCase{ifA32B32G32R32F, ifA8R8G8B8, 0, 2, 32, 0x28}),
                         [](const ::testing::TestParamInfo<PixelFormatCase>& info) {
                             return std::string(GetFormatName(info.param.input));
                         });

TEST_F(TargaWriter, RunLengthPacketsStayWithinARow)
{
    TImageData image;
    NewImageData(6, 2, ifGray8, image);
    image.Bits = {5, 5, 5, 6, 7, 7,
                  7, 1, 2, 3, 4, 4};
    const std::vector<uint8_t> plain = Write(image);
    EXPECT_EQ(plain[2], 3);
    ASSERT_TRUE(codec.Options.SetOption(ImagingTargaRLE, 1));
    const std::vector<uint8_t> f = Write(image);
    EXPECT_EQ(f[2], 3 + 8);
    EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 2), std::vector<uint8_t>(plain.begin(), plain.begin() + 2));
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 3, f.begin() + 18), std::vector<uint8_t>(plain.begin() + 3, plain.begin() + 18));
    const std::vector<uint8_t> packets = {0x82, 5, 0x00, 6, 0x81, 7,    // run of 3, raw 1, run of 2
                                          0x03, 7, 1, 2, 3, 0x81, 4};   // raw 4, run of 2
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 18, f.end()), packets);

    // Long runs and long stretches without runs are split into packets of at most 128 pixels.
    NewImageData(300, 1, ifGray8, image);
    std::fill(image.Bits.begin(), image.Bits.begin() + 150, uint8_t{9});
    for (size_t i = 150; i < 300; ++i)
        image.Bits[i] = static_cast<uint8_t>(i);
    const std::vector<uint8_t> g = Write(image);
    ASSERT_EQ(g.size(), 18u + 2 + 2 + 1 + 128 + 1 + 22);
    EXPECT_EQ(g[18], 0xFF);         // 128 pixels of 9
    EXPECT_EQ(g[20], 0x80 | 21);    // the other 22
    EXPECT_EQ(g[22], 127);          // 128 single pixels
    EXPECT_EQ(g[22 + 129], 21);     // and the last 22
    EXPECT_EQ(g.back(), static_cast<uint8_t>(299));
}

TEST_F(TargaWriter, SidesBeyondSixteenBitsAreRefused)
{
    std::vector<uint8_t> out;
    EXPECT_THROW(tga->WriteImageToMemory({MakeRgbImage(65536, 1)}, out), EImagingError);
    EXPECT_THROW(tga->WriteImageToMemory({MakeRgbImage(1, 65536)}, out), EImagingError);
    ASSERT_TRUE(tga->WriteImageToMemory({MakeRgbImage(65535, 1)}, out));
    EXPECT_EQ(LE16(out, 12), 65535);
}

namespace {

struct DecoderCase {
    std::string what;
    TImageData image;
    bool rle;
};

std::vector<DecoderCase> DecoderCases()
{
    std::vector<std::pair<std::string, TImageData>> images;
    for (auto [w, h, pattern] : {std::tuple{1, 1, 1u}, std::tuple{3, 2, 2u}, std::tuple{17, 5, 0u}, std::tuple{130, 67, 4u}})
        images.emplace_back("R8G8B8 " + std::to_string(w) + "x" + std::to_string(h), MakeRgbImage(w, h, pattern));
    images.emplace_back("R8G8B8 runs", RunsImage(301, 8));
    TImageData argb = MakeRgbImage(23, 7, 8);
    ConvertImageData(argb, ifA8R8G8B8);
    for (size_t i = 3; i < argb.Bits.size(); i += 4)
        argb.Bits[i] = static_cast<uint8_t>(i * 13);
    images.emplace_back("A8R8G8B8", argb);
    TImageData gray = RunsImage(150, 8);
    ConvertImageData(gray, ifGray8);
    images.emplace_back("Gray8", gray);
    images.emplace_back("Index8", IndexedImage(31, 9));
    std::vector<DecoderCase> cases;
    for (const auto& [what, image] : images)
        for (bool rle : {false, true})
            cases.push_back({what + (rle ? " run-length" : ""), image, rle});
    return cases;
}

class TargaDecoders : public TargaWriter, public ::testing::WithParamInterface<DecoderCase> {};

} // namespace

TEST_P(TargaDecoders, ReadBackThePixels)
{
    if (!HaveImageMagick() && !HavePillow())
        GTEST_SKIP() << "neither ImageMagick nor Pillow is installed";
    const DecoderCase& c = GetParam();
    TempDir dir;
    codec.Options.SetOption(ImagingTargaRLE, c.rle ? 1 : 0);
    const auto file = dir.File("image.tga");
    WriteFile(file, Write(c.image));
    const int channels = c.image.Format == ifA8R8G8B8 ? 4 : 3;
    TImageData expectedImage = c.image;
    ConvertImageData(expectedImage, channels == 4 ? ifA8R8G8B8 : ifR8G8B8);
    ExpectDecodersReadBack(file, c.image.Width, c.image.Height, channels, ColourSamples(expectedImage));
}

INSTANTIATE_TEST_SUITE_P(Images, TargaDecoders, ::testing::ValuesIn(DecoderCases()), CaseWhat());
