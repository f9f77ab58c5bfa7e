// SPDX-License-Identifier: MIT
// TIFF writer: tags, the single strip, the compression option, library errors, the caller's
// pixels, and decoding by independent decoders (libtiff's tiffinfo, Pillow, ImageMagick).
#include "support/codec/CodecFixtures.h"
#include "support/codec/ExternalDecoders.h"

#include "codec/FormatRegistry.h"
#include "codec/ImagingError.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

using namespace imaging;
using namespace codectest;

namespace {

// Tag numbers.
enum : uint16_t {
    ImageWidth = 256, ImageLength = 257, BitsPerSample = 258, Compression = 259, Photometric = 262,
    StripOffsets = 273, Orientation = 274, SamplesPerPixel = 277, RowsPerStrip = 278, StripByteCounts = 279,
    PlanarConfig = 284, ColorMap = 320, ExtraSamples = 338, SampleFormat = 339,
};

// The tags of one directory; SHORT and LONG values only (all that the tests look at).
using Directory = std::map<uint16_t, std::vector<uint32_t>>;

// Every directory of a little-endian classic TIFF file.
std::vector<Directory> ParseTiff(const std::vector<uint8_t>& f)
{
    std::vector<Directory> directories;
    if (f.size() < 8 || f[0] != 'I' || f[1] != 'I' || f[2] != 42 || f[3] != 0) {
        ADD_FAILURE() << "not a little-endian TIFF header";
        return directories;
    }
    uint32_t offset = LE32(f, 4);
    while (offset != 0 && directories.size() < 100) {
        Directory directory;
        const uint16_t count = LE16(f, offset);
        for (uint16_t i = 0; i < count; ++i) {
            const size_t entry = offset + 2 + 12 * size_t(i);
            const uint16_t tag = LE16(f, entry);
            const uint16_t type = LE16(f, entry + 2);
            const uint32_t n = LE32(f, entry + 4);
            const size_t size = type == 3 ? 2 : type == 4 ? 4 : 0;
            std::vector<uint32_t>& values = directory[tag];
            if (size == 0)
                continue;
            const size_t at = n * size <= 4 ? entry + 8 : LE32(f, entry + 8);
            for (uint32_t k = 0; k < n; ++k)
                values.push_back(size == 2 ? LE16(f, at + 2 * k) : LE32(f, at + 4 * k));
        }
        directories.push_back(directory);
        offset = LE32(f, offset + 2 + 12 * size_t(count));
    }
    return directories;
}

// Pseudo-random bytes in a record of any format; float formats get values between 0 and 1.
TImageData RandomImage(TImageFormat format, int width, int height, unsigned seed)
{
    TImageData image;
    NewImageData(width, height, format, image);
    std::mt19937 random(seed);
    const TImageFormatInfo& info = *GetFormatInfo(format);
    if (info.IsFloatingPoint) {
        TImageData source = MakeRgbImage(width, height, seed);
        ConvertImageData(source, ifA8R8G8B8);
        for (uint8_t* p = source.Bits.data() + 3; p < source.Bits.data() + source.Bits.size(); p += 4)
            *p = static_cast<uint8_t>(random());
        ConvertImageData(source, format);
        return source;
    }
    for (uint8_t& b : image.Bits)
        b = static_cast<uint8_t>(random());
    for (TColor32Rec& c : image.Palette)
        c = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), 255};
    return image;
}

// Colours that change by a few levels from pixel to pixel, for the lossy JPEG compression.
TImageData Smooth(int width, int height)
{
    TImageData image;
    NewImageData(width, height, ifR8G8B8, image);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = image.Row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = static_cast<uint8_t>(40 + (x * 3) % 180);
            p[1] = static_cast<uint8_t>(200 - (y * 2) % 150);
            p[2] = static_cast<uint8_t>(90 + ((x + y) * 2) % 120);
        }
    }
    return image;
}

class TiffWriter : public ::testing::Test {
protected:
    TImaging codec;
    TImageFileFormat* tiff = codec.Registry.FindWriterForFileName("x.tif");

    std::vector<uint8_t> Write(const TImageData& image)
    {
        std::vector<uint8_t> out;
        EXPECT_TRUE(tiff->WriteImageToMemory({image}, out));
        return out;
    }
    Directory WriteAndParse(const TImageData& image)
    {
        const std::vector<Directory> directories = ParseTiff(Write(image));
        EXPECT_EQ(directories.size(), 1u);
        return directories.empty() ? Directory{} : directories[0];
    }
};

using Values = std::vector<uint32_t>;

} // namespace

TEST_F(TiffWriter, RgbImageHasTheBasicTags)
{
    const Directory d = WriteAndParse(MakeRgbImage(37, 11));
    EXPECT_EQ(d.at(ImageWidth), Values{37});
    EXPECT_EQ(d.at(ImageLength), Values{11});
    EXPECT_EQ(d.at(BitsPerSample), (Values{8, 8, 8}));
    EXPECT_EQ(d.at(SamplesPerPixel), Values{3});
    EXPECT_EQ(d.at(SampleFormat), (Values{1, 1, 1}));
    EXPECT_EQ(d.at(Photometric), Values{2});
    EXPECT_EQ(d.at(PlanarConfig), Values{1});
    EXPECT_EQ(d.at(Orientation), Values{1});
    EXPECT_EQ(d.at(Compression), Values{5});   // LZW by default
    EXPECT_EQ(d.count(ExtraSamples), 0u);
    EXPECT_EQ(d.count(ColorMap), 0u);
}

TEST_F(TiffWriter, WholeImageIsOneStripAtAnyHeight)
{
    for (int height : {1, 2, 7, 8, 9, 64, 1000, 5000})
        for (int compression : {0, 1, 4}) {
            SCOPED_TRACE("height " + std::to_string(height) + " compression " + std::to_string(compression));
            codec.Options.SetOption(ImagingTiffCompression, compression);
            const Directory d = WriteAndParse(MakeRgbImage(13, height, 1));
            EXPECT_EQ(d.at(RowsPerStrip), Values{uint32_t(height)});
            EXPECT_EQ(d.at(StripOffsets).size(), 1u);
            EXPECT_EQ(d.at(StripByteCounts).size(), 1u);
        }
    // Uncompressed, the strip holds the rows top first in red, green, blue order.
    codec.Options.SetOption(ImagingTiffCompression, 0);
    const TImageData image = MakeRgbImage(5, 4, 2);
    const std::vector<uint8_t> file = Write(image);
    const Directory d = ParseTiff(file).at(0);
    const size_t offset = d.at(StripOffsets)[0];
    ASSERT_EQ(d.at(StripByteCounts), Values{5 * 4 * 3});
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + offset, file.begin() + offset + 60), RgbBytes(image));
}

namespace {

struct CompressionCase {
    int option;
    TImageFormat format;
    uint32_t compression;
};

class TiffCompression : public TiffWriter, public ::testing::WithParamInterface<CompressionCase> {};

} // namespace

// Option 65 picks none, LZW, PackBits, Deflate or JPEG; JPEG only for 8-bit images with one or
// three samples and no alpha or palette, LZW otherwise; values outside 0 to 4 mean LZW.
TEST_P(TiffCompression, FollowsTheOptionAndTheImage)
{
    const CompressionCase& c = GetParam();
    codec.Options.SetOption(ImagingTiffCompression, c.option);
    EXPECT_EQ(WriteAndParse(RandomImage(c.format, 9, 6, 3)).at(Compression), Values{c.compression});
}

INSTANTIATE_TEST_SUITE_P(
    Options, TiffCompression,
    ::testing::Values(CompressionCase{0, ifR8G8B8, 1}, CompressionCase{1, ifR8G8B8, 5},
                      CompressionCase{2, ifR8G8B8, 32773}, CompressionCase{3, ifR8G8B8, 32946},
                      CompressionCase{4, ifR8G8B8, 7}, CompressionCase{5, ifR8G8B8, 5},
                      CompressionCase{-1, ifR8G8B8, 5}, CompressionCase{100, ifR8G8B8, 5},
                      CompressionCase{4, ifGray8, 7}, CompressionCase{4, ifA8R8G8B8, 5},
                      CompressionCase{4, ifA8Gray8, 5}, CompressionCase{4, ifIndex8, 5},
                      CompressionCase{4, ifR16G16B16, 5}, CompressionCase{4, ifGray16, 5},
                      CompressionCase{4, ifR32F, 5}, CompressionCase{2, ifA8R8G8B8, 32773},
                      CompressionCase{3, ifGray16, 32946}, CompressionCase{0, ifIndex8, 1}),
    [](const ::testing::TestParamInfo<CompressionCase>& info) {
        return std::string(GetFormatName(info.param.format)) + "_option_" +
               (info.param.option < 0 ? "minus_" + std::to_string(-info.param.option) : std::to_string(info.param.option));
    });

namespace {

struct TagCase {
    TImageFormat format;
    uint32_t photometric, samples, bits, sampleFormat;
    bool alpha;
};

class TiffTags : public TiffWriter, public ::testing::WithParamInterface<TagCase> {};

} // namespace

TEST_P(TiffTags, FollowThePixelFormat)
{
    const TagCase& c = GetParam();
    const Directory d = WriteAndParse(RandomImage(c.format, 6, 5, 4));
    EXPECT_EQ(d.at(Photometric), Values{c.photometric});
    EXPECT_EQ(d.at(SamplesPerPixel), Values{c.samples});
    EXPECT_EQ(d.at(BitsPerSample), Values(c.samples, c.bits));
    EXPECT_EQ(d.at(SampleFormat), Values(c.samples, c.sampleFormat));
    EXPECT_EQ(d.count(ExtraSamples) ? d.at(ExtraSamples) : Values{}, c.alpha ? Values{2} : Values{});
    EXPECT_EQ(d.count(ColorMap) ? d.at(ColorMap).size() : 0u, c.photometric == 3 ? 768u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, TiffTags,
    ::testing::Values(TagCase{ifIndex8, 3, 1, 8, 1, false}, TagCase{ifGray8, 1, 1, 8, 1, false},
                      TagCase{ifA8Gray8, 1, 2, 8, 1, true}, TagCase{ifGray16, 1, 1, 16, 1, false},
                      TagCase{ifGray32, 1, 1, 32, 1, false}, TagCase{ifA16Gray16, 1, 2, 16, 1, true},
                      TagCase{ifA8R8G8B8, 2, 4, 8, 1, true}, TagCase{ifR16G16B16, 2, 3, 16, 1, false},
                      TagCase{ifA16R16G16B16, 2, 4, 16, 1, true}, TagCase{ifR32F, 1, 1, 32, 3, false},
                      TagCase{ifA32R32G32B32F, 2, 4, 32, 3, true}, TagCase{ifR16F, 1, 1, 16, 3, false},
                      TagCase{ifA16R16G16B16F, 2, 4, 16, 3, true},
                      // Converted first: to the red/blue twin, or by the writer's rule.
                      TagCase{ifB16G16R16, 2, 3, 16, 1, false}, TagCase{ifA16B16G16R16, 2, 4, 16, 1, true},
                      TagCase{ifA32B32G32R32F, 2, 4, 32, 3, true}, TagCase{ifA16B16G16R16F, 2, 4, 16, 3, true},
                      TagCase{ifGray64, 1, 1, 32, 1, false}, TagCase{ifX1R5G5B5, 2, 3, 8, 1, false},
                      TagCase{ifA4R4G4B4, 2, 4, 8, 1, true}, TagCase{ifX8R8G8B8, 2, 3, 8, 1, false}),
    [](const ::testing::TestParamInfo<TagCase>& info) { return std::string(GetFormatName(info.param.format)); });

TEST_F(TiffWriter, SeveralImagesGiveOneDirectoryEach)
{
    std::vector<uint8_t> out;
    ASSERT_TRUE(tiff->WriteImageToMemory({MakeRgbImage(3, 5), MakeRgbImage(7, 2)}, out, false));
    const std::vector<Directory> directories = ParseTiff(out);
    ASSERT_EQ(directories.size(), 2u);
    EXPECT_EQ(directories[0].at(ImageWidth), Values{3});
    EXPECT_EQ(directories[1].at(ImageWidth), Values{7});
    EXPECT_EQ(directories[1].at(RowsPerStrip), Values{2});
}

// libtiff's errors come back as EImagingError with libtiff's message, and nothing is printed.
TEST_F(TiffWriter, LibraryErrorsRaiseImagingErrors)
{
    codec.Options.SetOption(ImagingTiffCompression, 4);
    TImageData tooWide;
    ASSERT_TRUE(NewImageData(70000, 1, ifGray8, tooWide));
    std::vector<uint8_t> out;
    testing::internal::CaptureStderr();
    try {
        tiff->WriteImageToMemory({tooWide}, out);
        ADD_FAILURE() << "no error";
    } catch (const EImagingError& e) {
        EXPECT_NE(std::string(e.what()).find("JPEG"), std::string::npos) << e.what();
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(WriteAndParse(MakeRgbImage(2, 2)).at(Compression), Values{7});   // usable again
}

// libtiff may change the buffer it is given while encoding; the writer gives it copies.
TEST_F(TiffWriter, CallersRecordIsUnchanged)
{
    for (int compression = 0; compression <= 4; ++compression)
        for (TImageFormat format : {ifR8G8B8, ifA8R8G8B8, ifGray8, ifR16G16B16, ifGray16, ifA32R32G32B32F,
                                    ifA16B16G16R16}) {
            codec.Options.SetOption(ImagingTiffCompression, compression);
            const TImageData original = RandomImage(format, 17, 9, 5);
            TImageData image = original;
            Write(image);
            EXPECT_EQ(image.Bits, original.Bits) << GetFormatName(format) << " " << compression;
            EXPECT_EQ(image.Format, original.Format);
        }
}

namespace {

struct PictureCase {
    int width, height;
    unsigned seed;
    int compression;
};

std::vector<PictureCase> PictureCases()
{
    std::vector<PictureCase> cases;
    for (auto [w, h, seed] : {std::tuple{1, 1, 1u}, std::tuple{3, 2, 2u}, std::tuple{17, 5, 0u},
                              std::tuple{31, 33, 3u}, std::tuple{257, 129, 4u}})
        for (int compression = 0; compression <= 4; ++compression)
            cases.push_back({w, h, seed, compression});
    return cases;
}

bool HaveTiffinfo()
{
    static const bool have = [] {
        std::string out;
        return RunTool({"tiffinfo", "-h"}, out) || !out.empty();
    }();
    return have;
}

class TiffDecoders : public TiffWriter, public ::testing::WithParamInterface<PictureCase> {};

class TiffFormatDecoders : public TiffWriter, public ::testing::WithParamInterface<TImageFormat> {};

} // namespace

// tiffinfo reads every file and finds one strip; Pillow and ImageMagick give back exactly the
// pixels written with the lossless compressions, and within a mean error of 2 levels with JPEG
// (libtiff's default JPEG quality, 75).
TEST_P(TiffDecoders, ReadBackThePixels)
{
    if (!HaveTiffinfo() && !HavePillow() && !HaveImageMagick())
        GTEST_SKIP() << "no TIFF decoder is installed";
    const auto [w, h, seed, compression] = GetParam();
    TempDir dir;
    const auto file = dir.File("image.tif");
    codec.Options.SetOption(ImagingTiffCompression, compression);
    const bool lossy = compression == 4;
    const TImageData image = lossy ? Smooth(w, h) : MakeRgbImage(w, h, seed);
    WriteFile(file, Write(image));
    std::string info;
    if (HaveTiffinfo()) {
        EXPECT_TRUE(RunTool({"tiffinfo", "-s", file.string()}, info)) << info;
        EXPECT_NE(info.find("Rows/Strip: " + std::to_string(h)), std::string::npos) << info;
        EXPECT_NE(info.find("  1 Strips:"), std::string::npos) << info;
    }
    const std::vector<uint16_t> expected = Widen(RgbBytes(image));
    const auto check = [&](const std::optional<Decoded>& d, const char* who) {
        ASSERT_TRUE(d) << who << " could not read the file";
        EXPECT_EQ(d->Width, w) << who;
        EXPECT_EQ(d->Height, h) << who;
        const Difference diff = Compare(d->Samples, expected);
        if (lossy)
            EXPECT_LE(diff.Mean, 2.0) << who;
        else
            EXPECT_EQ(diff.Max, 0) << who;
    };
    if (HavePillow())
        check(DecodeWithPillow(file), "Pillow");
    if (HaveImageMagick())
        check(DecodeWithImageMagick(file, 3), "ImageMagick");
}

INSTANTIATE_TEST_SUITE_P(Pictures, TiffDecoders, ::testing::ValuesIn(PictureCases()),
                         [](const ::testing::TestParamInfo<PictureCase>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height) +
                                    "_compression_" + std::to_string(info.param.compression);
                         });

// Other formats, written losslessly: gray, alpha, palette and 16-bit samples.
TEST_P(TiffFormatDecoders, ImageMagickReadsTheSamples)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    const TImageFormat format = GetParam();
    TempDir dir;
    const auto file = dir.File("image.tif");
    codec.Options.SetOption(ImagingTiffCompression, 1);
    const TImageData image = RandomImage(format, 19, 7, 6);
    WriteFile(file, Write(image));
    const auto d = DecodeWithImageMagick(file, 4, 16);
    ASSERT_TRUE(d) << "ImageMagick could not read the file";
    std::vector<uint16_t> expected;
    const TImageFormatInfo& info = *GetFormatInfo(format);
    const size_t bpp = static_cast<size_t>(info.BytesPerPixel);
    for (size_t i = 0; i < image.Bits.size(); i += bpp) {
        const uint8_t* p = image.Bits.data() + i;
        const auto sample = [&](int channel) -> uint16_t {
            if (info.BytesPerPixel / info.ChannelCount == 2)
                return static_cast<uint16_t>(p[2 * channel] | p[2 * channel + 1] << 8);
            return static_cast<uint16_t>(p[channel] * 257);
        };
        if (info.IsIndexed) {
            const TColor32Rec& c = image.Palette[p[0]];
            expected.insert(expected.end(), {uint16_t(c.R * 257), uint16_t(c.G * 257), uint16_t(c.B * 257), 65535});
        } else if (info.HasGrayChannel) {
            const uint16_t alpha = info.HasAlphaChannel ? sample(1) : 65535;
            expected.insert(expected.end(), {sample(0), sample(0), sample(0), alpha});
        } else {
            const uint16_t alpha = info.HasAlphaChannel ? sample(3) : 65535;
            expected.insert(expected.end(), {sample(2), sample(1), sample(0), alpha});
        }
    }
    EXPECT_EQ(Compare(d->Samples, expected).Max, 0);
}

INSTANTIATE_TEST_SUITE_P(Formats, TiffFormatDecoders,
                         ::testing::Values(ifGray8, ifA8Gray8, ifA8R8G8B8, ifIndex8, ifGray16, ifR16G16B16,
                                           ifA16R16G16B16),
                         [](const ::testing::TestParamInfo<TImageFormat>& info) {
                             return std::string(GetFormatName(info.param));
                         });
