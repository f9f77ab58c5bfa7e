// SPDX-License-Identifier: MIT
// JPEG writer: markers, quality and progressive options, errors, and decoding by independent
// decoders within a stated error.
#include "support/codec/CodecFixtures.h"
#include "support/codec/ExternalDecoders.h"

#include "codec/FormatRegistry.h"
#include "codec/ImagingError.h"

#include <gtest/gtest.h>

using namespace imaging;
using namespace codectest;

namespace {

struct Segment {
    uint8_t marker;
    std::vector<uint8_t> data;
};

// The marker segments before the first scan's data.
std::vector<Segment> Segments(const std::vector<uint8_t>& jpeg)
{
    std::vector<Segment> out;
    size_t pos = 2;
    while (pos + 4 <= jpeg.size() && jpeg[pos] == 0xFF) {
        const uint8_t marker = jpeg[pos + 1];
        const size_t length = size_t(jpeg[pos + 2]) << 8 | jpeg[pos + 3];
        out.push_back({marker, std::vector<uint8_t>(jpeg.begin() + pos + 4, jpeg.begin() + pos + 2 + length)});
        if (marker == 0xDA)
            break;
        pos += 2 + length;
    }
    return out;
}

const Segment* Find(const std::vector<Segment>& segments, uint8_t marker)
{
    for (const Segment& s : segments)
        if (s.marker == marker)
            return &s;
    return nullptr;
}

// A smooth picture: every channel changes by a few levels from pixel to pixel, as in rendered
// text's antialiased edges rather than in noise, so the stated error holds at any size.
TImageData Smooth(int width, int height)
{
    // Up and down between 0 and span, without jumps.
    const auto wave = [](int t, int span) { return t % (2 * span) < span ? t % (2 * span) : 2 * span - t % (2 * span); };
    TImageData image;
    NewImageData(width, height, ifR8G8B8, image);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = image.Row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = static_cast<uint8_t>(40 + wave(x * 3, 180));          // blue
            p[1] = static_cast<uint8_t>(200 - wave(y * 2, 150));         // green
            p[2] = static_cast<uint8_t>(90 + wave((x + y) * 2, 120));    // red
        }
    }
    return image;
}

class JpegWriter : public ::testing::Test {
protected:
    TImaging codec;
    TImageFileFormat* jpeg = codec.Registry.FindWriterForFileName("x.jpg");

    std::vector<uint8_t> Write(const TImageData& image)
    {
        std::vector<uint8_t> out;
        EXPECT_TRUE(jpeg->WriteImageToMemory({image}, out));
        return out;
    }
    std::vector<uint8_t> WriteAtQuality(const TImageData& image, int quality)
    {
        codec.Options.SetOption(ImagingJpegQuality, quality);
        return Write(image);
    }
};

} // namespace

TEST_F(JpegWriter, BaselineAndProgressiveStreams)
{
    const TImageData image = MakeRgbImage(20, 10);
    const std::vector<uint8_t> baseline = Write(image);
    ASSERT_GE(baseline.size(), 4u);
    EXPECT_EQ(baseline[0], 0xFF);
    EXPECT_EQ(baseline[1], 0xD8);
    EXPECT_EQ(baseline[baseline.size() - 2], 0xFF);
    EXPECT_EQ(baseline[baseline.size() - 1], 0xD9);
    const auto segments = Segments(baseline);
    EXPECT_NE(Find(segments, 0xE0), nullptr);   // JFIF header of libjpeg's defaults
    const Segment* sof = Find(segments, 0xC0);
    ASSERT_NE(sof, nullptr);
    EXPECT_EQ(sof->data[1] << 8 | sof->data[2], 10);   // height
    EXPECT_EQ(sof->data[3] << 8 | sof->data[4], 20);   // width
    EXPECT_EQ(sof->data[5], 3);                        // components
    EXPECT_EQ(Find(segments, 0xC2), nullptr);

    codec.Options.SetOption(ImagingJpegProgressive, 1);
    const auto progressive = Segments(Write(image));
    EXPECT_EQ(Find(progressive, 0xC0), nullptr);
    ASSERT_NE(Find(progressive, 0xC2), nullptr);
    EXPECT_EQ(Find(progressive, 0xC2)->data[5], 3);

    // Gray images give one component.
    TImageData gray = image;
    ConvertImageData(gray, ifGray8);
    codec.Options.SetOption(ImagingJpegProgressive, 0);
    const auto graySegments = Segments(Write(gray));
    const Segment* graySof = Find(graySegments, 0xC0);
    ASSERT_NE(graySof, nullptr);
    EXPECT_EQ(graySof->data[5], 1);
}

TEST_F(JpegWriter, QualityOutsideOneToHundredWritesAsNinety)
{
    const TImageData image = MakeRgbImage(33, 17, 5);
    const std::vector<uint8_t> q90 = WriteAtQuality(image, 90);
    for (int quality : {0, 150, -7, 101}) {
        EXPECT_EQ(WriteAtQuality(image, quality), q90) << quality;
        EXPECT_EQ(codec.Options.GetOption(ImagingJpegQuality), 90);
    }
    EXPECT_NE(WriteAtQuality(image, 1), q90);
    EXPECT_NE(WriteAtQuality(image, 100), q90);
    EXPECT_NE(WriteAtQuality(image, 89), q90);
}

TEST_F(JpegWriter, LowQualityStaysWithinBaselineTables)
{
    const auto segments = Segments(WriteAtQuality(MakeRgbImage(16, 16, 1), 1));
    int tables = 0;
    for (const Segment& s : segments) {
        if (s.marker != 0xDB)
            continue;
        for (size_t pos = 0; pos < s.data.size(); pos += 65) {
            EXPECT_EQ(s.data[pos] >> 4, 0) << "16-bit quantisation table";
            ++tables;
        }
    }
    EXPECT_EQ(tables, 2);
}

TEST_F(JpegWriter, LibraryErrorsRaiseImagingErrors)
{
    TImageData tooWide;
    ASSERT_TRUE(NewImageData(70000, 1, ifR8G8B8, tooWide));
    std::vector<uint8_t> out;
    try {
        jpeg->WriteImageToMemory({tooWide}, out);
        ADD_FAILURE() << "no error";
    } catch (const EImagingError& e) {
        EXPECT_NE(std::string(e.what()).find("65500"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(out.empty());
    // The writer is usable again afterwards.
    EXPECT_FALSE(Write(MakeRgbImage(2, 2)).empty());
}

namespace {

struct PictureCase {
    int width, height, quality;
    bool progressive;
    double meanLimit;
};

class JpegDecoders : public JpegWriter, public ::testing::WithParamInterface<PictureCase> {};

} // namespace

// Decoded by ImageMagick and Pillow, the smooth picture differs from what was written by a mean of at
// most 1.5 levels per channel at quality 90 (and by 2 at quality 75).
TEST_P(JpegDecoders, ReadBackThePictureWithinTheStatedError)
{
    if (!HaveImageMagick() && !HavePillow())
        GTEST_SKIP() << "neither ImageMagick nor Pillow is installed";
    const PictureCase& c = GetParam();
    TempDir dir;
    codec.Options.SetOption(ImagingJpegQuality, c.quality);
    codec.Options.SetOption(ImagingJpegProgressive, c.progressive ? 1 : 0);
    const TImageData image = Smooth(c.width, c.height);
    const auto file = dir.File("image.jpg");
    WriteFile(file, Write(image));
    const std::vector<uint16_t> expected = Widen(RgbBytes(image));
    const auto check = [&](const std::optional<Decoded>& d, const char* who) {
        ASSERT_TRUE(d) << who << " could not read the file";
        EXPECT_EQ(d->Width, c.width) << who;
        EXPECT_EQ(d->Height, c.height) << who;
        const Difference diff = Compare(d->Samples, expected);
        EXPECT_LE(diff.Mean, c.meanLimit) << who;
        RecordProperty("mean_error", std::to_string(diff.Mean));
    };
    if (HaveImageMagick())
        check(DecodeWithImageMagick(file, 3), "ImageMagick");
    if (HavePillow())
        check(DecodeWithPillow(file), "Pillow");
}

INSTANTIATE_TEST_SUITE_P(Pictures, JpegDecoders,
                         ::testing::Values(PictureCase{1, 1, 90, false, 1.5}, PictureCase{3, 2, 90, false, 1.5},
                                           PictureCase{17, 5, 90, false, 1.5}, PictureCase{255, 97, 90, false, 1.5},
                                           PictureCase{255, 97, 90, true, 1.5}, PictureCase{120, 80, 75, false, 2.0}),
                         [](const ::testing::TestParamInfo<PictureCase>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height) + "_q" +
                                    std::to_string(info.param.quality) + (info.param.progressive ? "_progressive" : "");
                         });

// Decoded by ImageMagick or Pillow, pure colours keep their channel order and gray images stay gray.
TEST_F(JpegWriter, DecodersKeepChannelOrderAndGray)
{
    if (!HaveImageMagick() && !HavePillow())
        GTEST_SKIP() << "neither ImageMagick nor Pillow is installed";
    TempDir dir;
    // Pure colours keep their channel order.
    codec.Options.SetOption(ImagingJpegQuality, 90);
    codec.Options.SetOption(ImagingJpegProgressive, 0);
    for (int channel = 0; channel < 3; ++channel) {   // red, green, blue
        TImageData pure;
        NewImageData(16, 16, ifR8G8B8, pure);
        for (size_t i = 0; i < pure.Bits.size(); i += 3)
            pure.Bits[i + 2 - channel] = 255;
        const auto file = dir.File("pure.jpg");
        WriteFile(file, Write(pure));
        const auto d = HavePillow() ? DecodeWithPillow(file) : DecodeWithImageMagick(file, 3);
        ASSERT_TRUE(d);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(d->Samples[k], k == channel ? 255 : 0, 3) << "channel " << channel;
    }

    if (HavePillow()) {
        TImageData gray = Smooth(40, 30);
        ConvertImageData(gray, ifGray8);
        const auto file = dir.File("gray.jpg");
        WriteFile(file, Write(gray));
        const auto d = DecodeWithPillow(file, "L");
        ASSERT_TRUE(d);
        EXPECT_EQ(d->Mode, "L");
        EXPECT_LE(Compare(d->Samples, Widen(gray.Bits)).Mean, 1.5);
    }
}
