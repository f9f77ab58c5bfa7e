// SPDX-License-Identifier: MIT
// Portable map writers (PGM, PPM, PAM, PFM): headers, binary and text samples, conversions and
// decoding by independent decoders.
#include "support/codec/CaseNames.h"
#include "support/codec/CodecFixtures.h"
#include "support/codec/ExternalDecoders.h"

#include "codec/FormatRegistry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

using namespace imaging;
using namespace codectest;

namespace {

class PortableMapWriter : public ::testing::Test {
protected:
    TImaging codec;

    std::vector<uint8_t> Write(const std::string& name, const TImageData& image)
    {
        std::vector<uint8_t> out;
        EXPECT_TRUE(codec.Registry.FindWriterForFileName(name)->WriteImageToMemory({image}, out));
        return out;
    }
};

TImageData FromBytes(TImageFormat format, int width, int height, std::vector<uint8_t> bytes)
{
    TImageData image;
    NewImageData(width, height, format, image);
    EXPECT_EQ(bytes.size(), image.Bits.size());
    image.Bits = std::move(bytes);
    return image;
}

std::vector<uint8_t> Bytes(const std::string& s)
{
    return {s.begin(), s.end()};
}

std::vector<uint8_t> Tail(const std::vector<uint8_t>& f, size_t from)
{
    return {f.begin() + static_cast<std::ptrdiff_t>(std::min(from, f.size())), f.end()};
}

} // namespace

TEST_F(PortableMapWriter, PpmOfATwoByOneImage)
{
    // Stored blue, green, red; written red, green, blue.
    const TImageData image = FromBytes(ifR8G8B8, 2, 1, {3, 2, 1, 252, 251, 250});
    const std::vector<uint8_t> f = Write("x.ppm", image);
    const std::string header = "P6\n2\n1\n255\n";
    ASSERT_GE(f.size(), header.size());
    EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + header.size()), Bytes(header));
    EXPECT_EQ(Tail(f, header.size()), (std::vector<uint8_t>{1, 2, 3, 250, 251, 252}));
}

TEST_F(PortableMapWriter, PgmHoldsTheGrayOfEachPixel)
{
    // Red, green, blue, white, black and a mixed colour (red 10, green 20, blue 30).
    const TImageData image = FromBytes(ifR8G8B8, 3, 2, {0, 0, 255, 0, 255, 0, 255, 0, 0,
                                                        255, 255, 255, 0, 0, 0, 30, 20, 10});
    const std::vector<uint8_t> f = Write("x.pgm", image);
    const std::string header = "P5\n3\n2\n255\n";
    ASSERT_GE(f.size(), header.size());
    EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + header.size()), Bytes(header));
    EXPECT_EQ(Tail(f, header.size()), (std::vector<uint8_t>{76, 150, 29, 255, 0, 18}));
}

namespace {

std::string Pam(int depth, int maxval, const char* tuple)
{
    return "P7\nWIDTH 2\nHEIGHT 1\nDEPTH " + std::to_string(depth) + "\nMAXVAL " + std::to_string(maxval) +
           "\nTUPLTYPE " + tuple + "\nENDHDR\n";
}

struct LayoutCase {
    const char* file;
    TImageFormat format;
    std::vector<uint8_t> stored;
    std::string header;
    std::vector<uint8_t> samples;
};

class PortableMapLayout : public PortableMapWriter, public ::testing::WithParamInterface<LayoutCase> {};

} // namespace

// PAM for every format it takes, PGM and PPM at 16 bits: header and samples (red, green, blue,
// alpha; 16-bit samples big-endian), also after conversion.
TEST_P(PortableMapLayout, HeadersAndSamples)
{
    const LayoutCase& c = GetParam();
    const std::vector<uint8_t> f = Write(c.file, FromBytes(c.format, 2, 1, c.stored));
    EXPECT_EQ(std::string(f.begin(), f.begin() + std::min(f.size(), c.header.size())), c.header);
    EXPECT_EQ(Tail(f, c.header.size()), c.samples);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PortableMapLayout,
    ::testing::Values(
        LayoutCase{"x.pam", ifR8G8B8, {3, 2, 1, 6, 5, 4}, Pam(3, 255, "RGB"), {1, 2, 3, 4, 5, 6}},
        LayoutCase{"x.pam", ifA8R8G8B8, {3, 2, 1, 9, 6, 5, 4, 8}, Pam(4, 255, "RGB_ALPHA"), {1, 2, 3, 9, 4, 5, 6, 8}},
        LayoutCase{"x.pam", ifGray8, {7, 200}, Pam(1, 255, "GRAYSCALE"), {7, 200}},
        LayoutCase{"x.pam", ifA8Gray8, {7, 1, 200, 2}, Pam(2, 255, "GRAYSCALE_ALPHA"), {7, 1, 200, 2}},
        LayoutCase{"x.pam", ifGray16, {0x34, 0x12, 0xCD, 0xAB}, Pam(1, 65535, "GRAYSCALE"), {0x12, 0x34, 0xAB, 0xCD}},
        LayoutCase{"x.pam", ifA16Gray16, {1, 2, 3, 4, 5, 6, 7, 8}, Pam(2, 65535, "GRAYSCALE_ALPHA"), {2, 1, 4, 3, 6, 5, 8, 7}},
        LayoutCase{"x.pam", ifR16G16B16, {1, 2, 3, 4, 5, 6, 11, 12, 13, 14, 15, 16}, Pam(3, 65535, "RGB"),
         {6, 5, 4, 3, 2, 1, 16, 15, 14, 13, 12, 11}},
        LayoutCase{"x.pam", ifA16R16G16B16, {1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 15, 16, 17, 18}, Pam(4, 65535, "RGB_ALPHA"),
         {6, 5, 4, 3, 2, 1, 8, 7, 16, 15, 14, 13, 12, 11, 18, 17}},
        // Converted first: the fourth byte of X8R8G8B8 is dropped, B16G16R16 becomes R16G16B16.
        LayoutCase{"x.pam", ifX8R8G8B8, {3, 2, 1, 0, 6, 5, 4, 0}, Pam(3, 255, "RGB"), {1, 2, 3, 4, 5, 6}},
        LayoutCase{"x.pam", ifB16G16R16, {1, 2, 3, 4, 5, 6, 11, 12, 13, 14, 15, 16}, Pam(3, 65535, "RGB"),
         {2, 1, 4, 3, 6, 5, 12, 11, 14, 13, 16, 15}},
        LayoutCase{"x.pgm", ifGray16, {0x34, 0x12, 0xCD, 0xAB}, "P5\n2\n1\n65535\n", {0x12, 0x34, 0xAB, 0xCD}},
        LayoutCase{"x.pgm", ifA8Gray8, {7, 1, 200, 2}, "P5\n2\n1\n255\n", {7, 200}},
        LayoutCase{"x.ppm", ifR16G16B16, {1, 2, 3, 4, 5, 6, 11, 12, 13, 14, 15, 16}, "P6\n2\n1\n65535\n",
         {6, 5, 4, 3, 2, 1, 16, 15, 14, 13, 12, 11}},
        LayoutCase{"x.ppm", ifA8R8G8B8, {3, 2, 1, 9, 6, 5, 4, 8}, "P6\n2\n1\n255\n", {1, 2, 3, 4, 5, 6}},
        LayoutCase{"x.ppm", ifGray8, {7, 200}, "P6\n2\n1\n255\n", {7, 7, 7, 200, 200, 200}}),
    [](const ::testing::TestParamInfo<LayoutCase>& info) {
        return CaseName(std::string(info.param.file) + " " + GetFormatName(info.param.format));
    });

namespace {

struct TextCase {
    const char* file;
    std::string header;
    std::vector<uint8_t> samples;   // of MakeRgbImage(37, 5, 3)
};

class PortableMapText : public PortableMapWriter, public ::testing::WithParamInterface<TextCase> {};

TImageData GrayOf(TImageData image)
{
    ConvertImageData(image, ifGray8);
    return image;
}

} // namespace

// With options 50 and 51 off, PGM and PPM samples are decimal text: separated by blanks, a line
// ending as soon as it holds more than 65 characters.
TEST_P(PortableMapText, Encoding)
{
    const TextCase& c = GetParam();
    const TImageData image = MakeRgbImage(37, 5, 3);
    codec.Options.SetOption(ImagingPGMSaveBinary, 0);
    codec.Options.SetOption(ImagingPPMSaveBinary, 0);
    const std::vector<uint8_t> f = Write(c.file, image);
    ASSERT_EQ(std::string(f.begin(), f.begin() + c.header.size()), c.header);
    const std::string text(f.begin() + c.header.size(), f.end());
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::vector<uint8_t> values;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        SCOPED_TRACE(line);
        ASSERT_FALSE(line.empty());
        EXPECT_NE(line.front(), ' ');
        EXPECT_NE(line.back(), ' ');
        EXPECT_EQ(line.find("  "), std::string::npos);
        // Every line but the last has gone past 65 characters with its last value, not before.
        if (i + 1 < lines.size()) {
            EXPECT_GT(line.size(), 65u);
            EXPECT_LE(line.rfind(' '), 65u);
        } else {
            EXPECT_LE(line.size(), 65u);
        }
        std::istringstream numbers(line);
        for (int v; numbers >> v;)
            values.push_back(static_cast<uint8_t>(v));
    }
    EXPECT_EQ(values, c.samples);
}

INSTANTIATE_TEST_SUITE_P(Formats, PortableMapText,
                         ::testing::Values(TextCase{"x.pgm", "P2\n37\n5\n255\n", GrayOf(MakeRgbImage(37, 5, 3)).Bits},
                                           TextCase{"x.ppm", "P3\n37\n5\n255\n", RgbBytes(MakeRgbImage(37, 5, 3))}),
                         [](const ::testing::TestParamInfo<TextCase>& info) { return CaseName(info.param.file); });

// Float maps: "PF" with three floats per pixel (v / 255), "Pf" with one, scale -1 for
// little-endian; rows from the bottom up, as float map readers expect.
TEST_F(PortableMapWriter, PfmHeaderAndFloats)
{
    const TImageData image = FromBytes(ifR8G8B8, 2, 2, {3, 2, 1, 0, 128, 255,   // top row
                                                        51, 17, 200, 9, 8, 7});
    const std::vector<uint8_t> f = Write("x.pfm", image);
    const std::string header = "PF\n2\n2\n-1\n";
    ASSERT_EQ(f.size(), header.size() + 4 * 3 * 4);
    EXPECT_EQ(std::string(f.begin(), f.begin() + header.size()), header);
    const std::vector<int> expected = {200, 17, 51, 7, 8, 9, 1, 2, 3, 255, 128, 0};
    for (size_t i = 0; i < expected.size(); ++i) {
        float v;
        std::memcpy(&v, f.data() + header.size() + 4 * i, 4);
        EXPECT_EQ(v, static_cast<float>(expected[i]) * 257.0f / 65535.0f) << i;
        EXPECT_NEAR(v, expected[i] / 255.0, 1e-7) << i;
    }

    // One channel: gray and single floats are written as they are.
    const TImageData gray = FromBytes(ifGray8, 3, 1, {0, 51, 255});
    const std::vector<uint8_t> g = Write("x.pfm", gray);
    ASSERT_EQ(g.size(), 10u + 12u);
    EXPECT_EQ(std::string(g.begin(), g.begin() + 10), "Pf\n3\n1\n-1\n");
    float values[3];
    std::memcpy(values, g.data() + 10, 12);
    EXPECT_EQ(values[0], 0.0f);
    EXPECT_NEAR(values[1], 0.2f, 1e-6);
    EXPECT_EQ(values[2], 1.0f);
}

namespace {

struct MapFormat {
    const char* file;
    int binaryOption;   // 0: always binary
    bool binary;
    bool pillowReads;
};

struct DecoderCase {
    std::string what;
    MapFormat format;
    TImageData image;
};

std::vector<DecoderCase> DecoderCases()
{
    const MapFormat formats[] = {
        {"image.ppm", ImagingPPMSaveBinary, true, true},
        {"image.ppm", ImagingPPMSaveBinary, false, true},
        {"image.pgm", ImagingPGMSaveBinary, true, true},
        {"image.pgm", ImagingPGMSaveBinary, false, true},
        {"image.pam", 0, true, false},
        {"image.pfm", 0, true, false},
    };
    std::vector<DecoderCase> cases;
    for (const MapFormat& format : formats)
        for (auto [w, h, pattern] : {std::tuple{1, 1, 1u}, std::tuple{3, 2, 2u}, std::tuple{17, 5, 0u}, std::tuple{130, 67, 4u}})
            cases.push_back({std::string(format.file) + (format.binary ? " " : " text ") + std::to_string(w) + "x" +
                                 std::to_string(h),
                             format, MakeRgbImage(w, h, pattern)});
    return cases;
}

class PortableMapDecoders : public PortableMapWriter, public ::testing::WithParamInterface<DecoderCase> {};

} // namespace

TEST_P(PortableMapDecoders, ReadBackThePixels)
{
    if (!HaveImageMagick() && !HavePillow())
        GTEST_SKIP() << "neither ImageMagick nor Pillow is installed";
    const DecoderCase& c = GetParam();
    const MapFormat& format = c.format;
    const TImageData& image = c.image;
    TempDir dir;
    if (format.binaryOption)
        codec.Options.SetOption(format.binaryOption, format.binary ? 1 : 0);
    const bool gray = std::string(format.file).ends_with(".pgm");
    const bool floats = std::string(format.file).ends_with(".pfm");
    const auto file = dir.File(format.file);
    WriteFile(file, Write(format.file, image));
    // Gray as the conversion gives it, repeated in red, green and blue.
    std::vector<uint16_t> expected = Widen(RgbBytes(image));
    if (gray) {
        TImageData g = image;
        ConvertImageData(g, ifGray8);
        expected.clear();
        for (uint8_t v : g.Bits)
            expected.insert(expected.end(), {v, v, v});
    }
    if (HaveImageMagick()) {
        // Float samples v / 255 come back at 16 bits as v * 257 exactly.
        const auto decoded = DecodeWithImageMagick(file, 3, floats ? 16 : 8);
        ASSERT_TRUE(decoded) << "ImageMagick could not read the file";
        EXPECT_EQ(decoded->Width, image.Width);
        EXPECT_EQ(decoded->Height, image.Height);
        std::vector<uint16_t> want = expected;
        if (floats)
            for (uint16_t& v : want)
                v = static_cast<uint16_t>(v * 257);
        EXPECT_EQ(Compare(decoded->Samples, want).Max, 0);
    }
    if (HavePillow() && format.pillowReads) {
        const auto decoded = DecodeWithPillow(file);
        ASSERT_TRUE(decoded) << "Pillow could not read the file";
        EXPECT_EQ(decoded->Mode, gray ? "L" : "RGB");
        EXPECT_EQ(decoded->Width, image.Width);
        EXPECT_EQ(decoded->Height, image.Height);
        EXPECT_EQ(Compare(decoded->Samples, expected).Max, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Images, PortableMapDecoders, ::testing::ValuesIn(DecoderCases()), CaseWhat());

// Alpha and 16-bit samples through ImageMagick.
TEST_F(PortableMapWriter, ImageMagickReadsAlphaAndSixteenBitSamples)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    TempDir dir;
    TImageData argb = MakeRgbImage(19, 6, 6);
    ConvertImageData(argb, ifA8R8G8B8);
    for (size_t i = 3; i < argb.Bits.size(); i += 4)
        argb.Bits[i] = static_cast<uint8_t>(i * 7);
    TImageData deep = MakeRgbImage(19, 6, 7);
    ConvertImageData(deep, ifR16G16B16);
    for (size_t i = 0; i < deep.Bits.size(); i += 2)
        deep.Bits[i] = static_cast<uint8_t>(i * 3);   // low bytes that 8 bits would lose
    for (const TImageData* image : {&argb, &deep}) {
        SCOPED_TRACE(GetFormatName(image->Format));
        const bool alpha = image == &argb;
        const auto file = dir.File("image.pam");
        WriteFile(file, Write("image.pam", *image));
        const auto decoded = DecodeWithImageMagick(file, alpha ? 4 : 3, 16);
        ASSERT_TRUE(decoded);
        std::vector<uint16_t> expected;
        for (size_t i = 0; i < image->Bits.size(); i += alpha ? 4 : 6) {
            const uint8_t* p = image->Bits.data() + i;
            if (alpha)
                for (int k : {2, 1, 0, 3})
                    expected.push_back(static_cast<uint16_t>(p[k] * 257));
            else
                for (int k : {4, 2, 0})
                    expected.push_back(static_cast<uint16_t>(p[k] | p[k + 1] << 8));
        }
        EXPECT_EQ(Compare(decoded->Samples, expected).Max, 0);
    }
}
