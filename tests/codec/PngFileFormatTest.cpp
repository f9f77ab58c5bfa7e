// SPDX-License-Identifier: MIT
// PNG writer: chunk layout, filters, options and decoding by independent decoders.
#include "support/codec/CaseNames.h"
#include "support/codec/CodecFixtures.h"
#include "support/codec/ContainerReader.h"
#include "support/codec/ExternalDecoders.h"

#include "codec/FormatRegistry.h"
#include "codec/formats/png/NetworkGraphicsFileFormat.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <zlib.h>

using namespace imaging;
using namespace codectest;

namespace {

std::vector<uint8_t> Inflate(const std::vector<uint8_t>& data, size_t expectedSize)
{
    std::vector<uint8_t> out(expectedSize + 1);
    uLongf size = out.size();
    EXPECT_EQ(uncompress(out.data(), &size, data.data(), data.size()), Z_OK);
    out.resize(size);
    return out;
}

// The filter byte of every row of an image whose rows hold rowBytes bytes.
std::vector<int> FilterBytes(const std::vector<uint8_t>& png, size_t rowBytes, int height)
{
    std::vector<uint8_t> idat;
    for (const Chunk& c : ExpectChunks(png))
        if (c.type == "IDAT")
            idat = c.data;
    const std::vector<uint8_t> raw = Inflate(idat, (rowBytes + 1) * height);
    EXPECT_EQ(raw.size(), (rowBytes + 1) * height);
    std::vector<int> filters;
    for (size_t pos = 0; pos < raw.size(); pos += rowBytes + 1)
        filters.push_back(raw[pos]);
    return filters;
}

class PngWriter : public ::testing::Test {
protected:
    TImaging codec;
    TImageFileFormat* png = codec.Registry.FindWriterForFileName("x.png");

    std::vector<uint8_t> Write(const TImageData& image)
    {
        std::vector<uint8_t> out;
        EXPECT_TRUE(png->WriteImageToMemory({image}, out));
        return out;
    }
};

TImageData Uniform(int width, int height, uint8_t b, uint8_t g, uint8_t r)
{
    TImageData image;
    NewImageData(width, height, ifR8G8B8, image);
    for (size_t i = 0; i < image.Bits.size(); i += 3) {
        image.Bits[i] = b;
        image.Bits[i + 1] = g;
        image.Bits[i + 2] = r;
    }
    return image;
}

// A record of the format with pseudo-random bytes, and the samples every decoder should give for
// it as red, green, blue, alpha at 16 bits.
struct Sample {
    TImageData image;
    std::vector<uint16_t> rgba16;
};

Sample RandomSample(TImageFormat format, int width, int height, unsigned seed)
{
    Sample s;
    NewImageData(width, height, format, s.image);
    std::mt19937 random(seed);
    for (uint8_t& b : s.image.Bits)
        b = static_cast<uint8_t>(random());
    for (TColor32Rec& c : s.image.Palette)
        c = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
             static_cast<uint8_t>(random() % 3 == 0 ? random() : 255)};
    // Layout of each format: byte offsets of red, green, blue and alpha (-1: none), sample size.
    struct Layout {
        int r, g, b, a, bytes;
    };
    Layout l{};
    switch (format) {
    case ifGray8: l = {0, 0, 0, -1, 1}; break;
    case ifA8Gray8: l = {0, 0, 0, 1, 1}; break;
    case ifGray16: l = {0, 0, 0, -1, 2}; break;
    case ifA16Gray16: l = {0, 0, 0, 2, 2}; break;
    case ifR8G8B8: l = {2, 1, 0, -1, 1}; break;
    case ifA8R8G8B8: l = {2, 1, 0, 3, 1}; break;
    case ifR16G16B16: l = {4, 2, 0, -1, 2}; break;
    case ifA16R16G16B16: l = {4, 2, 0, 6, 2}; break;
    case ifB16G16R16: l = {0, 2, 4, -1, 2}; break;
    case ifA16B16G16R16: l = {0, 2, 4, 6, 2}; break;
    default: break;
    }
    const size_t bpp = static_cast<size_t>(GetFormatInfo(format)->BytesPerPixel);
    for (size_t p = 0; p < s.image.Bits.size(); p += bpp) {
        const uint8_t* px = s.image.Bits.data() + p;
        if (format == ifIndex8) {
            const TColor32Rec& c = s.image.Palette[px[0]];
            for (int v : {c.R, c.G, c.B, c.A})
                s.rgba16.push_back(static_cast<uint16_t>(v * 257));
            continue;
        }
        const auto at = [&](int offset) -> uint16_t {
            if (offset < 0)
                return 65535;
            return l.bytes == 1 ? static_cast<uint16_t>(px[offset] * 257)
                                : static_cast<uint16_t>(px[offset] | px[offset + 1] << 8);
        };
        for (int offset : {l.r, l.g, l.b, l.a})
            s.rgba16.push_back(at(offset));
    }
    return s;
}

} // namespace

namespace {

class PngTruecolour : public PngWriter, public ::testing::WithParamInterface<std::pair<int, int>> {};

} // namespace

TEST_P(PngTruecolour, StreamHoldsExactlyHeaderOneIdatAndEnd)
{
    const auto [w, h] = GetParam();
    const std::vector<uint8_t> f = Write(MakeRgbImage(w, h, 7));   // random: no small stream
    ASSERT_GE(f.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 8),
              (std::vector<uint8_t>{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}));
    const std::vector<Chunk> chunks = ExpectChunks(f);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(chunks[1].type, "IDAT");
    EXPECT_EQ(chunks[2].type, "IEND");
    for (const Chunk& c : chunks)
        EXPECT_TRUE(c.crcOk) << c.type;
    const std::vector<uint8_t> ihdr = {0, 0, uint8_t(w >> 8), uint8_t(w), 0, 0, uint8_t(h >> 8), uint8_t(h),
                                       8, 2, 0, 0, 0};
    EXPECT_EQ(chunks[0].data, ihdr);
    EXPECT_TRUE(chunks[2].data.empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, PngTruecolour,
                         ::testing::Values(std::pair{1, 1}, std::pair{3, 2}, std::pair{600, 400}),
                         [](const ::testing::TestParamInfo<std::pair<int, int>>& info) {
                             return std::to_string(info.param.first) + "x" + std::to_string(info.param.second);
                         });

TEST_F(PngWriter, RowFilterOption)
{
    const TImageData uniform = Uniform(13, 9, 10, 200, 30);
    // Default: Paeth on every row of a truecolour image.
    EXPECT_EQ(FilterBytes(Write(uniform), 39, 9), std::vector<int>(9, 4));
    // Other colour types take no filter by default.
    TImageData gray = uniform;
    ConvertImageData(gray, ifGray8);
    EXPECT_EQ(FilterBytes(Write(gray), 13, 9), std::vector<int>(9, 0));

    const TImageData random = MakeRgbImage(13, 9, 11);
    for (int filter = 0; filter <= 4; ++filter) {
        codec.Options.SetOption(ImagingPNGPreFilter, filter);
        EXPECT_EQ(FilterBytes(Write(random), 39, 9), std::vector<int>(9, filter));
    }
    // Adaptive: chosen per row; the smooth gradient picks a predicting filter.
    codec.Options.SetOption(ImagingPNGPreFilter, 6);
    for (int f : FilterBytes(Write(MakeRgbImage(64, 8, 0)), 192, 8))
        EXPECT_TRUE(f >= 1 && f <= 4) << f;
    // Out of range falls back to the default.
    codec.Options.SetOption(ImagingPNGPreFilter, 5);
    const std::vector<uint8_t> reference = Write(random);
    for (int value : {7, 100, -1}) {
        codec.Options.SetOption(ImagingPNGPreFilter, value);
        EXPECT_EQ(Write(random), reference) << value;
        EXPECT_EQ(codec.Options.GetOption(ImagingPNGPreFilter), 5);
    }
}

TEST_F(PngWriter, CompressionLevelOption)
{
    const TImageData image = MakeRgbImage(50, 40, 0);
    const std::vector<uint8_t> level5 = Write(image);
    codec.Options.SetOption(ImagingPNGCompressLevel, 0);
    const std::vector<uint8_t> stored = Write(image);
    EXPECT_GT(stored.size(), level5.size());
    for (int value : {10, -3}) {
        codec.Options.SetOption(ImagingPNGCompressLevel, value);
        EXPECT_EQ(Write(image), level5) << value;
        EXPECT_EQ(codec.Options.GetOption(ImagingPNGCompressLevel), 5);
    }
}

TEST_F(PngWriter, IndexedImagesCarryPaletteAndTransparency)
{
    Sample s = RandomSample(ifIndex8, 5, 4, 3);
    const std::vector<Chunk> chunks = ExpectChunks(Write(s.image));
    ASSERT_EQ(chunks.size(), 5u);
    EXPECT_EQ(chunks[1].type, "PLTE");
    EXPECT_EQ(chunks[1].data.size(), 768u);
    EXPECT_EQ(chunks[2].type, "tRNS");
    EXPECT_EQ(chunks[3].type, "IDAT");

    for (TColor32Rec& c : s.image.Palette)
        c.A = 255;
    const std::vector<Chunk> opaque = ExpectChunks(Write(s.image));
    ASSERT_EQ(opaque.size(), 4u);   // no transparency chunk when every entry is opaque
    EXPECT_EQ(opaque[2].type, "IDAT");
}

// Files of several sizes, every filter and every directly written format, read back by
// independent decoders with exactly the pixels written.
namespace {

struct DecoderCase {
    std::string what;
    Sample sample;
    int filter;
};

std::vector<DecoderCase> DecoderCases()
{
    std::vector<DecoderCase> cases;
    for (auto [w, h, pattern] : {std::tuple{1, 1, 1u}, std::tuple{3, 2, 2u}, std::tuple{17, 5, 0u},
                                 std::tuple{31, 33, 3u}, std::tuple{257, 129, 0u}}) {
        Sample s;
        s.image = MakeRgbImage(w, h, pattern);
        for (uint8_t v : RgbBytes(s.image))
            s.rgba16.push_back(static_cast<uint16_t>(v * 257));
        // Put an opaque alpha after every third sample.
        std::vector<uint16_t> rgba;
        for (size_t i = 0; i < s.rgba16.size(); i += 3)
            rgba.insert(rgba.end(), {s.rgba16[i], s.rgba16[i + 1], s.rgba16[i + 2], 65535});
        s.rgba16 = rgba;
        cases.push_back({"R8G8B8 " + std::to_string(w) + "x" + std::to_string(h), s, 5});
    }
    for (int filter : {0, 1, 2, 3, 4, 6})
        cases.push_back({"R8G8B8 filter " + std::to_string(filter), RandomSample(ifR8G8B8, 29, 11, 20 + filter), filter});
    for (TImageFormat format : {ifGray8, ifA8Gray8, ifGray16, ifA16Gray16, ifA8R8G8B8, ifR16G16B16,
                                ifA16R16G16B16, ifB16G16R16, ifA16B16G16R16, ifIndex8})
        for (int filter : {5, 6})
            cases.push_back({std::string(GetFormatName(format)) + " filter " + std::to_string(filter),
                             RandomSample(format, 19, 7, static_cast<unsigned>(format) * 10 + filter), filter});

    return cases;
}

class PngDecoders : public PngWriter, public ::testing::WithParamInterface<DecoderCase> {};

} // namespace

TEST_P(PngDecoders, ReadBackExactPixels)
{
    if (!HaveImageMagick() && !HavePillow() && !HavePngcheck())
        GTEST_SKIP() << "no PNG decoder is installed";
    const DecoderCase& c = GetParam();
    TempDir dir;
    codec.Options.SetOption(ImagingPNGPreFilter, c.filter);
    const auto file = dir.File("image.png");
    WriteFile(file, Write(c.sample.image));
    if (HavePngcheck()) {
        std::string message;
        EXPECT_TRUE(PngcheckPasses(file, message)) << message;
    }
    if (HaveImageMagick()) {
        const auto decoded = DecodeWithImageMagick(file, 4, 16);
        ASSERT_TRUE(decoded) << "ImageMagick could not read the file";
        EXPECT_EQ(decoded->Width, c.sample.image.Width);
        EXPECT_EQ(decoded->Height, c.sample.image.Height);
        EXPECT_EQ(Compare(decoded->Samples, c.sample.rgba16).Max, 0);
    }
    // Pillow gives 8 bits per channel: the high byte of 16-bit samples. A 16-bit gray file
    // opens in its integer mode, whose conversion to colour clips instead of scaling.
    if (HavePillow() && c.sample.image.Format != ifGray16) {
        const auto decoded = DecodeWithPillow(file, "RGBA");
        ASSERT_TRUE(decoded) << "Pillow could not read the file";
        std::vector<uint16_t> expected;
        for (uint16_t v : c.sample.rgba16)
            expected.push_back(v >> 8);
        EXPECT_EQ(Compare(decoded->Samples, expected).Max, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Images, PngDecoders, ::testing::ValuesIn(DecoderCases()), CaseWhat());

// Undoing every row filter with the plain definitions gives back exactly the samples of random
// images, for every filter and every sample layout the writer stores.
TEST_F(PngWriter, RowFiltersUndoToTheSamples)
{
    const auto paeth = [](int a, int b, int c) {
        const int p = a + b - c;
        const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    };
    for (TImageFormat format : {ifR8G8B8, ifA8R8G8B8, ifGray8, ifA8Gray8, ifGray16, ifR16G16B16, ifA16B16G16R16}) {
        const Sample s = RandomSample(format, 23, 7, 5 + format);
        const size_t bpp = static_cast<size_t>(GetFormatInfo(format)->BytesPerPixel);
        const size_t samples = static_cast<size_t>(GetFormatInfo(format)->ChannelCount);
        const size_t rowBytes = 23 * bpp;
        for (int filter : {0, 1, 2, 3, 4, 5, 6}) {
            codec.Options.SetOption(ImagingPNGPreFilter, filter);
            std::vector<uint8_t> idat;
            for (const Chunk& c : ExpectChunks(Write(s.image)))
                if (c.type == "IDAT")
                    idat = c.data;
            const std::vector<uint8_t> raw = Inflate(idat, (rowBytes + 1) * 7);
            ASSERT_EQ(raw.size(), (rowBytes + 1) * 7);
            std::vector<uint8_t> prev(rowBytes, 0), row(rowBytes);
            std::vector<uint16_t> rgba16;
            for (size_t y = 0; y < 7; ++y) {
                const uint8_t* f = raw.data() + y * (rowBytes + 1);
                for (size_t i = 0; i < rowBytes; ++i) {
                    const int a = i >= bpp ? row[i - bpp] : 0, b = prev[i], c = i >= bpp ? prev[i - bpp] : 0;
                    const int predicted = f[0] == 1 ? a : f[0] == 2 ? b : f[0] == 3 ? (a + b) / 2 : f[0] == 4 ? paeth(a, b, c) : 0;
                    row[i] = static_cast<uint8_t>(f[1 + i] + predicted);
                }
                // Samples as red, green, blue, alpha at 16 bits, as RandomSample lists them.
                const size_t sampleBytes = bpp / samples;
                for (size_t x = 0; x < 23; ++x) {
                    std::vector<uint16_t> v;
                    for (size_t k = 0; k < samples; ++k) {
                        const uint8_t* p = row.data() + x * bpp + k * sampleBytes;
                        v.push_back(sampleBytes == 1 ? static_cast<uint16_t>(p[0] * 257) : static_cast<uint16_t>(p[0] << 8 | p[1]));
                    }
                    if (samples <= 2)
                        v = {v[0], v[0], v[0], samples == 2 ? v[1] : uint16_t{65535}};
                    else if (samples == 3)
                        v.push_back(65535);
                    rgba16.insert(rgba16.end(), v.begin(), v.end());
                }
                prev = row;
            }
            EXPECT_EQ(rgba16, s.rgba16) << GetFormatName(format) << " filter " << filter;
        }
    }
}

namespace {

// Width, height, bytes of padding after each row, and whether the rows are filtered in place.
struct Bgrx32Case {
    const char* name;
    int width, height;
    size_t padding;
    bool inPlace;
};

class PngFromBgrx32 : public PngWriter, public ::testing::WithParamInterface<Bgrx32Case> {};

} // namespace

// A 32-bit image written straight from its rows gives the very bytes of the same pixels written
// as a 24-bit record, for every row-filter option, in place or into a buffer of its own.
TEST_P(PngFromBgrx32, SameFileAsTheRecord)
{
    const Bgrx32Case c = GetParam();
    const size_t stride = 4 * static_cast<size_t>(c.width) + c.padding;
    std::mt19937 random(static_cast<unsigned>(c.width * 131 + c.height));
    std::vector<uint8_t> pixels(stride * static_cast<size_t>(c.height));
    // Long runs of one value between random bytes, as rendered text has: every filter and both
    // of the compressor's ways (short and worst-case buffer) get work.
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = random() % 4 == 0 ? static_cast<uint8_t>(random()) : pixels[i > 0 ? i - 1 : 0];
    TImageData record;
    NewImageData(c.width, c.height, ifR8G8B8, record);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            std::memcpy(record.Row(y) + 3 * x, pixels.data() + static_cast<size_t>(y) * stride + 4 * x, 3);

    auto* writer = dynamic_cast<TPNGFileFormat*>(png);
    ASSERT_NE(writer, nullptr);
    for (int filter : {0, 1, 2, 3, 4, 5, 6}) {
        codec.Options.SetOption(ImagingPNGPreFilter, filter);
        std::vector<uint8_t> image = pixels;
        std::vector<uint8_t> own((3 * static_cast<size_t>(c.width) + 1) * static_cast<size_t>(c.height));
        std::vector<uint8_t> direct;
        ASSERT_TRUE(writer->EncodeBgrx32(image.data(), stride, c.width, c.height,
                                         c.inPlace ? image.data() : own.data(), direct));
        EXPECT_EQ(direct, Write(record)) << "filter " << filter;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, PngFromBgrx32,
                         ::testing::Values(Bgrx32Case{"OnePixel", 1, 1, 0, false},
                                           Bgrx32Case{"OnePixelInPlace", 1, 1, 0, true},
                                           Bgrx32Case{"OneColumnInPlace", 1, 9, 0, true},
                                           Bgrx32Case{"PaddedRows", 37, 11, 12, false},
                                           Bgrx32Case{"PaddedRowsInPlace", 37, 11, 12, true},
                                           Bgrx32Case{"WideInPlace", 401, 64, 0, true}),
                         [](const ::testing::TestParamInfo<Bgrx32Case>& info) { return info.param.name; });

// Options that ask for another pixel format leave the direct way to the record's.
TEST_F(PngWriter, Bgrx32WayStepsAsideForAnOverrideFormat)
{
    auto* writer = dynamic_cast<TPNGFileFormat*>(png);
    ASSERT_NE(writer, nullptr);
    std::vector<uint8_t> pixels(4 * 3 * 2, 0x55), filtered(10 * 2), out;
    codec.Options.SetOption(ImagingSaveOverrideFormat, ifGray8);
    EXPECT_FALSE(writer->EncodeBgrx32(pixels.data(), 12, 3, 2, filtered.data(), out));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(pixels, std::vector<uint8_t>(4 * 3 * 2, 0x55));
}
