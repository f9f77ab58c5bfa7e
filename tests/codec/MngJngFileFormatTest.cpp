// SPDX-License-Identifier: MIT
// MNG and JNG writers: chunk layout, header fields, options, the JPEG stream inside JNG, and
// decoding by independent decoders (pngcheck, ImageMagick).
#include "support/codec/CodecFixtures.h"
#include "support/codec/ContainerReader.h"
#include "support/codec/ExternalDecoders.h"

#include "codec/FormatRegistry.h"

#include <gtest/gtest.h>

#include <random>
#include <zlib.h>

using namespace imaging;
using namespace codectest;

namespace {

std::vector<uint8_t> Signature(const std::vector<uint8_t>& file)
{
    return {file.begin(), file.begin() + std::min<size_t>(8, file.size())};
}

std::vector<uint8_t> BE32Bytes(std::initializer_list<uint32_t> values)
{
    std::vector<uint8_t> out;
    for (uint32_t v : values)
        out.insert(out.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
    return out;
}

// The frame markers of a JPEG stream: 0xC0 baseline, 0xC2 progressive (0 when there is none).
int FrameMarker(const std::vector<uint8_t>& jpeg)
{
    size_t pos = 2;
    while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF && jpeg[pos + 1] != 0xDA) {
        if (jpeg[pos + 1] >= 0xC0 && jpeg[pos + 1] <= 0xC3)
            return jpeg[pos + 1];
        pos += 2 + (size_t(jpeg[pos + 2]) << 8 | jpeg[pos + 3]);
    }
    return 0;
}

bool IsCompleteJpeg(const std::vector<uint8_t>& jpeg)
{
    return jpeg.size() > 4 && jpeg[0] == 0xFF && jpeg[1] == 0xD8 && jpeg[jpeg.size() - 2] == 0xFF &&
           jpeg.back() == 0xD9;
}

// An image whose every byte is pseudo-random: colour and alpha alike.
TImageData RandomImage(TImageFormat format, int width, int height, unsigned seed)
{
    TImageData image;
    NewImageData(width, height, format, image);
    std::mt19937 random(seed);
    for (uint8_t& b : image.Bits)
        b = static_cast<uint8_t>(random());
    return image;
}

// Colours that change by a few levels from pixel to pixel, as at antialiased text edges, so that a
// JPEG stream of them stays close to the original.
TImageData Smooth(int width, int height, TImageFormat format = ifR8G8B8)
{
    const auto wave = [](int t, int span) { return t % (2 * span) < span ? t % (2 * span) : 2 * span - t % (2 * span); };
    TImageData image;
    NewImageData(width, height, ifA8R8G8B8, image);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = image.Row(y);
        for (int x = 0; x < width; ++x, p += 4) {
            p[0] = static_cast<uint8_t>(40 + wave(x * 3, 180));
            p[1] = static_cast<uint8_t>(200 - wave(y * 2, 150));
            p[2] = static_cast<uint8_t>(90 + wave((x + y) * 2, 120));
            p[3] = static_cast<uint8_t>((x * 37 + y * 11) % 256);   // alpha: anything, it is stored losslessly
        }
    }
    ConvertImageData(image, format);
    return image;
}

class NetworkGraphicsWriters : public ::testing::Test {
protected:
    TImaging codec;
    TImageFileFormat* png = codec.Registry.FindWriterForFileName("x.png");
    TImageFileFormat* mng = codec.Registry.FindWriterForFileName("x.mng");
    TImageFileFormat* jng = codec.Registry.FindWriterForFileName("x.jng");
    TImageFileFormat* jpeg = codec.Registry.FindWriterForFileName("x.jpg");

    std::vector<uint8_t> Write(TImageFileFormat* writer, const TImageData& image)
    {
        std::vector<uint8_t> out;
        EXPECT_TRUE(writer->WriteImageToMemory({image}, out)) << writer->Name();
        return out;
    }
    // The PNG writer's chunks for the image: what an MNG frame must hold.
    std::vector<uint8_t> PngChunks(const TImageData& image)
    {
        const std::vector<uint8_t> file = Write(png, image);
        return {file.begin() + 8, file.end()};
    }
    std::vector<uint8_t> JpegStream(const TImageData& image, int quality, bool progressive)
    {
        codec.Options.SetOption(ImagingJpegQuality, quality);
        codec.Options.SetOption(ImagingJpegProgressive, progressive ? 1 : 0);
        return Write(jpeg, image);
    }
};

const std::vector<uint8_t> MngSignature = {0x8A, 'M', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
const std::vector<uint8_t> JngSignature = {0x8B, 'J', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

} // namespace

namespace {

struct SizeCase {
    int width, height;
    unsigned seed;
};

std::string SizeName(const ::testing::TestParamInfo<SizeCase>& info)
{
    return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
}

class MngFrames : public NetworkGraphicsWriters, public ::testing::WithParamInterface<SizeCase> {};

} // namespace

TEST_P(MngFrames, HeaderOnePngFrameAndEnd)
{
    const auto [w, h, seed] = GetParam();
    const TImageData image = MakeRgbImage(w, h, seed);   // random: a large stream
    const std::vector<uint8_t> file = Write(mng, image);
    EXPECT_EQ(Signature(file), MngSignature);
    const std::vector<Chunk> chunks = ExpectChunks(file);
    ASSERT_EQ(Types(chunks), (std::vector<std::string>{"MHDR", "IHDR", "IDAT", "IEND", "MEND"}));
    // Frame size, ticks per second, layer count, frame count, play time, simplicity profile.
    EXPECT_EQ(chunks[0].data, BE32Bytes({uint32_t(w), uint32_t(h), 0, 0, 1, 0, 473}));
    // The frame is exactly what the PNG writer stores after its signature.
    const std::vector<uint8_t> frame(file.begin() + 8 + 12 + 28, file.end() - 12);
    EXPECT_EQ(frame, PngChunks(image));
    EXPECT_TRUE(chunks.back().data.empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, MngFrames,
                         ::testing::Values(SizeCase{1, 1, 1u}, SizeCase{3, 2, 2u}, SizeCase{600, 400, 3u}), SizeName);

namespace {

struct FilterLevelCase {
    int filter, level;        // options 30 and 31
    int pngFilter, pngLevel;  // the PNG options that give the same frame
};

class MngFilterAndLevel : public NetworkGraphicsWriters, public ::testing::WithParamInterface<FilterLevelCase> {};

} // namespace

TEST_P(MngFilterAndLevel, FrameFollowsTheMngOptions)
{
    const FilterLevelCase& c = GetParam();
    const TImageData image = MakeRgbImage(40, 12, 0);
    codec.Options.SetOption(ImagingMNGPreFilter, c.filter);
    codec.Options.SetOption(ImagingMNGCompressLevel, c.level);
    codec.Options.SetOption(ImagingPNGPreFilter, 5);
    codec.Options.SetOption(ImagingPNGCompressLevel, 5);
    const std::vector<uint8_t> file = Write(mng, image);
    codec.Options.SetOption(ImagingPNGPreFilter, c.pngFilter);
    codec.Options.SetOption(ImagingPNGCompressLevel, c.pngLevel);
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 48, file.end() - 12), PngChunks(image));
}

INSTANTIATE_TEST_SUITE_P(Options, MngFilterAndLevel,
                         ::testing::Values(FilterLevelCase{0, 9, 0, 9}, FilterLevelCase{1, 0, 1, 0},
                                           FilterLevelCase{3, 5, 3, 5}, FilterLevelCase{6, 1, 6, 1},
                                           FilterLevelCase{7, 10, 5, 5}, FilterLevelCase{-1, -1, 5, 5}),
                         [](const ::testing::TestParamInfo<FilterLevelCase>& info) {
                             const auto number = [](int v) { return v < 0 ? "minus_" + std::to_string(-v) : std::to_string(v); };
                             return "filter_" + number(info.param.filter) + "_level_" + number(info.param.level);
                         });

// The program sets the MNG quality and progressive options from its JPEG settings; with lossless
// frames (option 28 off) they change nothing.
TEST_F(NetworkGraphicsWriters, MngBytesDoNotDependOnQualityOrProgressive)
{
    const TImageData image = MakeRgbImage(50, 30, 4);
    const std::vector<uint8_t> reference = Write(mng, image);
    for (int quality : {1, 50, 90, 100, 0, 150})
        for (int progressive : {0, 1}) {
            codec.Options.SetOption(ImagingMNGQuality, quality);
            codec.Options.SetOption(ImagingMNGProgressive, progressive);
            EXPECT_EQ(Write(mng, image), reference) << quality << " " << progressive;
        }
}

TEST_F(NetworkGraphicsWriters, MngLossyOptionWritesJngFrames)
{
    const TImageData rgb = Smooth(24, 16);
    const TImageData argb = Smooth(24, 16, ifA8R8G8B8);
    // Lossless frames keep 16-bit samples; lossy ones take 8-bit colour.
    TImageData deep = rgb;
    ConvertImageData(deep, ifR16G16B16);
    EXPECT_EQ(ExpectChunks(Write(mng, deep))[1].data[8], 16);

    codec.Options.SetOption(ImagingMNGLossyCompression, 1);
    codec.Options.SetOption(ImagingMNGQuality, 60);
    std::vector<Chunk> chunks = ExpectChunks(Write(mng, rgb));
    ASSERT_EQ(Types(chunks), (std::vector<std::string>{"MHDR", "JHDR", "JDAT", "IEND", "MEND"}));
    EXPECT_EQ(Find(chunks, "JDAT").data, JpegStream(rgb, 60, false));
    EXPECT_EQ(Types(ExpectChunks(Write(mng, deep))), Types(chunks));
    EXPECT_EQ(Find(ExpectChunks(Write(mng, deep)), "JHDR").data[9], 8);

    codec.Options.SetOption(ImagingMNGProgressive, 1);
    chunks = ExpectChunks(Write(mng, argb));
    ASSERT_EQ(Types(chunks), (std::vector<std::string>{"MHDR", "JHDR", "JDAT", "IDAT", "IEND", "MEND"}));
    EXPECT_EQ(Find(chunks, "JHDR").data[11], 8);   // interlace
    EXPECT_EQ(FrameMarker(Find(chunks, "JDAT").data), 0xC2);

    codec.Options.SetOption(ImagingMNGLossyAlpha, 1);
    chunks = ExpectChunks(Write(mng, argb));
    ASSERT_EQ(Types(chunks), (std::vector<std::string>{"MHDR", "JHDR", "JDAT", "JDAA", "IEND", "MEND"}));
    EXPECT_EQ(FrameMarker(Find(chunks, "JDAA").data), 0xC0);   // alpha is never progressive
}

TEST_F(NetworkGraphicsWriters, MngOfSeveralImagesHasAFrameForEach)
{
    std::vector<uint8_t> file;
    ASSERT_TRUE(mng->WriteImageToMemory({MakeRgbImage(3, 5), MakeRgbImage(7, 2), MakeRgbImage(1, 1)}, file, false));
    const std::vector<Chunk> chunks = ExpectChunks(file);
    EXPECT_EQ(Types(chunks), (std::vector<std::string>{"MHDR", "IHDR", "IDAT", "IEND", "IHDR", "IDAT", "IEND", "IHDR",
                                                       "IDAT", "IEND", "MEND"}));
    EXPECT_EQ(chunks[0].data, BE32Bytes({7, 5, 0, 0, 3, 0, 473}));
}

namespace {

struct JngLayoutCase {
    TImageFormat format;
    bool progressive, lossyAlpha;
    std::vector<uint8_t> header;   // the eight bytes after width and height
    std::vector<std::string> types;
};

class JngLayout : public NetworkGraphicsWriters, public ::testing::WithParamInterface<JngLayoutCase> {};

} // namespace

TEST_P(JngLayout, HeaderAndChunksFollowFormatAndOptions)
{
    const JngLayoutCase& c = GetParam();
    codec.Options.SetOption(ImagingJNGProgressive, c.progressive);
    codec.Options.SetOption(ImagingJNGLossyAlpha, c.lossyAlpha);
    const std::vector<uint8_t> file = Write(jng, Smooth(21, 13, c.format));
    EXPECT_EQ(Signature(file), JngSignature);
    const std::vector<Chunk> chunks = ExpectChunks(file);
    EXPECT_EQ(Types(chunks), c.types);
    std::vector<uint8_t> header = BE32Bytes({21, 13});
    header.insert(header.end(), c.header.begin(), c.header.end());
    EXPECT_EQ(chunks.at(0).data, header);
    const std::vector<uint8_t>& jdat = Find(chunks, "JDAT").data;
    EXPECT_TRUE(IsCompleteJpeg(jdat));
    EXPECT_EQ(FrameMarker(jdat), c.progressive ? 0xC2 : 0xC0);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, JngLayout,
    ::testing::Values(
        JngLayoutCase{ifR8G8B8, false, false, {10, 8, 8, 0, 0, 0, 0, 0}, {"JHDR", "JDAT", "IEND"}},
        JngLayoutCase{ifR8G8B8, true, false, {10, 8, 8, 8, 0, 0, 0, 0}, {"JHDR", "JDAT", "IEND"}},
        JngLayoutCase{ifR8G8B8, false, true, {10, 8, 8, 0, 0, 0, 0, 0}, {"JHDR", "JDAT", "IEND"}},
        JngLayoutCase{ifGray8, false, false, {8, 8, 8, 0, 0, 0, 0, 0}, {"JHDR", "JDAT", "IEND"}},
        JngLayoutCase{ifA8R8G8B8, false, false, {14, 8, 8, 0, 8, 0, 0, 0}, {"JHDR", "JDAT", "IDAT", "IEND"}},
        JngLayoutCase{ifA8R8G8B8, true, true, {14, 8, 8, 8, 8, 8, 0, 0}, {"JHDR", "JDAT", "JDAA", "IEND"}},
        JngLayoutCase{ifA8Gray8, false, false, {12, 8, 8, 0, 8, 0, 0, 0}, {"JHDR", "JDAT", "IDAT", "IEND"}},
        // Other formats are converted: 16-bit colour to R8G8B8, gray with alpha to A8Gray8.
        JngLayoutCase{ifR16G16B16, false, false, {10, 8, 8, 0, 0, 0, 0, 0}, {"JHDR", "JDAT", "IEND"}},
        JngLayoutCase{ifA16Gray16, false, false, {12, 8, 8, 0, 8, 0, 0, 0}, {"JHDR", "JDAT", "IDAT", "IEND"}}),
    [](const ::testing::TestParamInfo<JngLayoutCase>& info) {
        return std::string(GetFormatName(info.param.format)) + (info.param.progressive ? "_progressive" : "") +
               (info.param.lossyAlpha ? "_lossy_alpha" : "");
    });

// The JDAT chunk holds the JPEG writer's stream at the JNG quality and progressive options; a
// quality outside 1 to 100 writes at 90.
TEST_F(NetworkGraphicsWriters, JdatHoldsTheJpegStreamAtTheJngOptions)
{
    const TImageData rgb = MakeRgbImage(33, 17, 5);
    TImageData gray = rgb;
    ConvertImageData(gray, ifGray8);
    const struct {
        int quality, effective;
        bool progressive;
    } cases[] = {{90, 90, false}, {37, 37, false}, {100, 100, true}, {1, 1, false}, {0, 90, false}, {150, 90, true}};
    for (const TImageData* image : {&rgb, static_cast<const TImageData*>(&gray)})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(GetFormatName(image->Format)) + " quality " + std::to_string(c.quality));
            codec.Options.SetOption(ImagingJNGQuality, c.quality);
            codec.Options.SetOption(ImagingJNGProgressive, c.progressive);
            const std::vector<uint8_t> jdat = Find(ExpectChunks(Write(jng, *image)), "JDAT").data;
            EXPECT_EQ(jdat, JpegStream(*image, c.effective, c.progressive));
        }
}

TEST_F(NetworkGraphicsWriters, JngAlphaIsStoredAsFilteredGrayRows)
{
    const TImageData image = RandomImage(ifA8R8G8B8, 9, 4, 8);
    codec.Options.SetOption(ImagingJNGAlphaPreFilter, 0);
    const std::vector<uint8_t> idat = Find(ExpectChunks(Write(jng, image)), "IDAT").data;
    std::vector<uint8_t> raw(10 * 4 + 1);
    uLongf size = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &size, idat.data(), idat.size()), Z_OK);
    ASSERT_EQ(size, 10u * 4);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(raw[y * 10], 0);   // filter byte
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(raw[y * 10 + 1 + x], image.Row(y)[4 * x + 3]);
    }
}

namespace {

class MngDecoders : public NetworkGraphicsWriters, public ::testing::WithParamInterface<SizeCase> {};

struct JngPictureCase {
    int width, height;
    TImageFormat format;
    bool progressive;
};

class JngDecoders : public NetworkGraphicsWriters, public ::testing::WithParamInterface<JngPictureCase> {};

} // namespace

// pngcheck accepts the files and ImageMagick gives back MNG pixels exactly.
TEST_P(MngDecoders, ReadBackTheFile)
{
    if (!HavePngcheck() && !HaveImageMagick())
        GTEST_SKIP() << "neither pngcheck nor ImageMagick is installed";
    const auto [w, h, seed] = GetParam();
    TempDir dir;
    const TImageData image = MakeRgbImage(w, h, seed);
    const auto file = dir.File("image.mng");
    WriteFile(file, Write(mng, image));
    if (HavePngcheck()) {
        std::string message;
        EXPECT_TRUE(PngcheckPasses(file, message)) << message;
    }
    if (HaveImageMagick()) {
        const auto decoded = DecodeWithImageMagick(file, 3);
        ASSERT_TRUE(decoded) << "ImageMagick could not read the file";
        EXPECT_EQ(decoded->Width, w);
        EXPECT_EQ(decoded->Height, h);
        EXPECT_EQ(Compare(decoded->Samples, Widen(RgbBytes(image))).Max, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MngDecoders,
                         ::testing::Values(SizeCase{1, 1, 1u}, SizeCase{3, 2, 2u}, SizeCase{31, 33, 0u},
                                           SizeCase{257, 129, 3u}),
                         SizeName);

// pngcheck accepts the files; ImageMagick gives back JNG colours within a mean error of 1.5 levels
// at quality 90, with the alpha channel exact.
TEST_P(JngDecoders, ReadBackTheFile)
{
    if (!HavePngcheck() && !HaveImageMagick())
        GTEST_SKIP() << "neither pngcheck nor ImageMagick is installed";
    const JngPictureCase& c = GetParam();
    TempDir dir;
    codec.Options.SetOption(ImagingJNGQuality, 90);
    codec.Options.SetOption(ImagingJNGProgressive, c.progressive);
    const TImageData image = Smooth(c.width, c.height, c.format);
    const auto file = dir.File("image.jng");
    WriteFile(file, Write(jng, image));
    if (HavePngcheck()) {
        std::string message;
        EXPECT_TRUE(PngcheckPasses(file, message)) << message;
    }
    if (!HaveImageMagick())
        return;
    const auto decoded = DecodeWithImageMagick(file, 4);
    ASSERT_TRUE(decoded) << "ImageMagick could not read the file";
    EXPECT_EQ(decoded->Width, c.width);
    EXPECT_EQ(decoded->Height, c.height);
    std::vector<uint16_t> colour, alpha, expectedColour, expectedAlpha;
    const TImageFormatInfo& info = *GetFormatInfo(image.Format);
    for (size_t i = 0; i < decoded->Samples.size(); i += 4) {
        colour.insert(colour.end(), decoded->Samples.begin() + i, decoded->Samples.begin() + i + 3);
        alpha.push_back(decoded->Samples[i + 3]);
        const uint8_t* p = image.Bits.data() + i / 4 * info.BytesPerPixel;
        if (info.HasGrayChannel)
            expectedColour.insert(expectedColour.end(), {p[0], p[0], p[0]});
        else
            expectedColour.insert(expectedColour.end(), {p[2], p[1], p[0]});
        expectedAlpha.push_back(info.HasAlphaChannel ? p[3] : 255);
    }
    const Difference diff = Compare(colour, expectedColour);
    EXPECT_LE(diff.Mean, 1.5);
    RecordProperty("mean_error", std::to_string(diff.Mean));
    EXPECT_EQ(Compare(alpha, expectedAlpha).Max, 0);
}

INSTANTIATE_TEST_SUITE_P(Pictures, JngDecoders,
                         ::testing::Values(JngPictureCase{1, 1, ifR8G8B8, false}, JngPictureCase{3, 2, ifR8G8B8, false},
                                           JngPictureCase{255, 97, ifR8G8B8, false},
                                           JngPictureCase{255, 97, ifR8G8B8, true},
                                           JngPictureCase{40, 30, ifA8R8G8B8, false},
                                           JngPictureCase{40, 30, ifGray8, false}),
                         [](const ::testing::TestParamInfo<JngPictureCase>& info) {
                             return std::string(GetFormatName(info.param.format)) + "_" +
                                    std::to_string(info.param.width) + "x" + std::to_string(info.param.height) +
                                    (info.param.progressive ? "_progressive" : "");
                         });

TEST_F(NetworkGraphicsWriters, CallersRecordIsUnchanged)
{
    codec.Options.SetOption(ImagingMNGLossyCompression, 0);
    for (TImageFormat format : {ifR8G8B8, ifA8R8G8B8, ifGray8, ifR16G16B16, ifA32B32G32R32F}) {
        const TImageData original = RandomImage(format, 11, 7, 9);
        TImageData image = original;
        for (TImageFileFormat* writer : {mng, jng}) {
            Write(writer, image);
            EXPECT_EQ(image.Bits, original.Bits) << writer->Name() << " " << GetFormatName(format);
            EXPECT_EQ(image.Format, original.Format);
        }
    }
}
