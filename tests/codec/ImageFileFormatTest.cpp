// SPDX-License-Identifier: MIT
// The write driver shared by all writers: refusals, the caller's record, the forced pixel format,
// conversion for writing and the file variant.
#include "support/codec/CaseNames.h"
#include "support/codec/CodecFixtures.h"
#include "support/codec/ContainerReader.h"

#include "codec/FormatRegistry.h"
#include "codec/ImagingError.h"

#include <gtest/gtest.h>

using namespace imaging;
using namespace codectest;

namespace {

TImageData Converted(TImageData image, TImageFormat format)
{
    ConvertImageData(image, format);
    return image;
}

// IHDR colour type and bit depth of a PNG stream.
std::pair<int, int> PngTypeAndDepth(const std::vector<uint8_t>& png)
{
    const std::vector<uint8_t> header = Find(ReadChunks(png), "IHDR").data;
    return {header.at(9), header.at(8)};
}

} // namespace

TEST(ImageFileFormat, InvalidInputIsRefusedWithoutOutput)
{
    TImaging codec;
    TImageFileFormat* png = codec.Registry.FindWriterForFileName("a.png");
    TImageData broken = MakeRgbImage(3, 3);
    broken.Size = 5;
    const struct {
        const char* what;
        TDynImageDataArray images;
    } cases[] = {
        {"empty list", {}},
        {"invalid image", {broken}},
        {"empty record", {TImageData{}}},
        {"one invalid image among valid ones", {MakeRgbImage(2, 2), broken}},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> out{9};
        EXPECT_FALSE(png->WriteImageToMemory(c.images, out)) << c.what;
        EXPECT_EQ(out, std::vector<uint8_t>{9}) << c.what;
    }
}

namespace {

struct RecordCase {
    const char* file;
    TImageFormat source;
};

std::vector<RecordCase> RecordCases()
{
    std::vector<RecordCase> cases;
    for (const char* name : {"a.jpg", "a.png", "a.bmp"})
        for (TImageFormat format : {ifR8G8B8, ifA8R8G8B8, ifGray8, ifX1R5G5B5, ifA16B16G16R16F})
            if (!(std::string(name) == "a.bmp" && format == ifGray8))   // needs colour reduction, which comes later
                cases.push_back({name, format});
    return cases;
}

class WrittenRecords : public ::testing::TestWithParam<RecordCase> {};

} // namespace

TEST_P(WrittenRecords, WritersNeverChangeTheCallersRecord)
{
    TImaging codec;
    const TImageData source = Converted(MakeRgbImage(7, 5, 3), GetParam().source);
    TImageFileFormat* writer = codec.Registry.FindWriterForFileName(GetParam().file);
    const TDynImageDataArray images{source};
    std::vector<uint8_t> out;
    ASSERT_TRUE(writer->WriteImageToMemory(images, out));
    EXPECT_FALSE(out.empty());
    EXPECT_EQ(images[0].Format, source.Format);
    EXPECT_EQ(images[0].Size, source.Size);
    EXPECT_EQ(images[0].Bits, source.Bits);
    EXPECT_EQ(images[0].Palette, source.Palette);
}

INSTANTIATE_TEST_SUITE_P(Writers, WrittenRecords, ::testing::ValuesIn(RecordCases()),
                         [](const ::testing::TestParamInfo<RecordCase>& info) {
                             return CaseName(std::string(info.param.file) + " from " + GetFormatName(info.param.source));
                         });

TEST(ImageFileFormat, FormatsAreConvertedByEachWritersRule)
{
    TImaging codec;
    TImageFileFormat* png = codec.Registry.FindWriterForFileName("a.png");
    const TImageData rgb = MakeRgbImage(4, 4, 1);
    const struct {
        TImageFormat source;
        int colorType, depth;
    } cases[] = {
        {ifR8G8B8, 2, 8},         {ifX8R8G8B8, 2, 8},      {ifR5G6B5, 2, 8},
        {ifA8R8G8B8, 6, 8},       {ifA4R4G4B4, 6, 8},      {ifGray8, 0, 8},
        {ifGray32, 0, 16},        {ifA8Gray8, 4, 8},       {ifA16Gray16, 4, 16},
        {ifR16G16B16, 2, 16},     {ifA32R32G32B32F, 6, 16}, {ifR32F, 2, 16},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> out;
        ASSERT_TRUE(png->WriteImageToMemory({Converted(rgb, c.source)}, out)) << GetFormatName(c.source);
        EXPECT_EQ(PngTypeAndDepth(out), std::make_pair(c.colorType, c.depth)) << GetFormatName(c.source);
    }

    // Gray images go to the bitmap writer as Index8, through colour reduction.
    TImageFileFormat* bmp = codec.Registry.FindWriterForFileName("a.bmp");
    std::vector<uint8_t> out;
    ASSERT_TRUE(bmp->WriteImageToMemory({Converted(rgb, ifGray8)}, out));
    EXPECT_EQ(LE16(out, 28), 8);   // bits per pixel
}

TEST(ImageFileFormat, ForcedPixelFormatIsUsedBeforeWriting)
{
    TImaging codec;
    TImageFileFormat* png = codec.Registry.FindWriterForFileName("a.png");
    const TDynImageDataArray images{MakeRgbImage(5, 3, 2)};
    std::vector<uint8_t> out;

    ASSERT_TRUE(codec.Options.SetOption(ImagingSaveOverrideFormat, ifGray8));
    ASSERT_TRUE(png->WriteImageToMemory(images, out));
    EXPECT_EQ(PngTypeAndDepth(out), std::make_pair(0, 8));

    // A forced format the writer cannot take goes on through its own conversion.
    ASSERT_TRUE(codec.Options.SetOption(ImagingSaveOverrideFormat, ifR5G6B5));
    ASSERT_TRUE(png->WriteImageToMemory(images, out));
    EXPECT_EQ(PngTypeAndDepth(out), std::make_pair(2, 8));

    ASSERT_TRUE(codec.Options.SetOption(ImagingSaveOverrideFormat, 0));
    ASSERT_TRUE(png->WriteImageToMemory(images, out));
    EXPECT_EQ(PngTypeAndDepth(out), std::make_pair(2, 8));
    EXPECT_EQ(images[0].Format, ifR8G8B8);
}

TEST(ImageFileFormat, WriteImageFileWritesTheEncodedBytes)
{
    TImaging codec;
    TempDir dir;
    TImageFileFormat* bmp = codec.Registry.FindWriterForFileName("a.bmp");
    const TDynImageDataArray images{MakeRgbImage(6, 4, 5), MakeRgbImage(2, 2, 6)};
    std::vector<uint8_t> expected;
    ASSERT_TRUE(bmp->WriteImageToMemory(images, expected));

    // An existing, longer file is overwritten completely.
    const auto file = dir.File("bild.bmp");
    WriteFile(file, std::vector<uint8_t>(5000, 0xAB));
    ASSERT_TRUE(bmp->WriteImageFile(file.string(), images));
    EXPECT_EQ(ReadFile(file), expected);

    EXPECT_THROW(bmp->WriteImageFile(dir.File("missing/x.bmp").string(), images), EImagingError);
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));

    // All images asked of a single-image writer: one file each, numbered before the extension;
    // in memory they have no place.
    std::vector<uint8_t> out;
    EXPECT_FALSE(bmp->WriteImageToMemory(images, out, false));
    ASSERT_TRUE(bmp->WriteImageFile(dir.File("serie.bmp").string(), images, false));
    EXPECT_EQ(ReadFile(dir.File("serie000.bmp")), expected);
    std::vector<uint8_t> second;
    ASSERT_TRUE(bmp->WriteImageToMemory({images[1]}, second));
    EXPECT_EQ(ReadFile(dir.File("serie001.bmp")), second);
    EXPECT_FALSE(std::filesystem::exists(dir.File("serie.bmp")));
}

namespace {

// A writer that records which images a call asks it to write.
class RecordingWriter : public TImageFileFormat {
public:
    RecordingWriter(TOptionTable& options, bool multiImage, bool implementsWriting)
        : TImageFileFormat(options), m_implementsWriting(implementsWriting)
    {
        m_name = "Recording";
        m_canSave = true;
        m_isMultiImageFormat = multiImage;
        m_supportedFormats = {ifR8G8B8};
    }
    int first = -1, last = -1;

protected:
    void WriteImages(TMemoryStream& stream, const TDynImageDataArray& images) override
    {
        if (!m_implementsWriting)
            TImageFileFormat::WriteImages(stream, images);
        first = m_firstIdx;
        last = m_lastIdx;
        stream.WriteByte(1);
    }

private:
    bool m_implementsWriting;
};

} // namespace

TEST(ImageFileFormat, ImagesToWriteFollowTheWriterKind)
{
    TOptionTable options;
    const TDynImageDataArray three{MakeRgbImage(1, 1), MakeRgbImage(2, 1), MakeRgbImage(1, 2)};
    std::vector<uint8_t> out;

    RecordingWriter multi(options, true, true);
    ASSERT_TRUE(multi.WriteImageToMemory(three, out, false));
    EXPECT_EQ(std::make_pair(multi.first, multi.last), std::make_pair(0, 2));
    ASSERT_TRUE(multi.WriteImageToMemory(three, out, true));
    EXPECT_EQ(std::make_pair(multi.first, multi.last), std::make_pair(0, 0));

    RecordingWriter single(options, false, true);
    ASSERT_TRUE(single.WriteImageToMemory(three, out, true));
    EXPECT_EQ(std::make_pair(single.first, single.last), std::make_pair(0, 0));
    ASSERT_TRUE(single.WriteImageToMemory({three[1]}, out, false));
    EXPECT_EQ(std::make_pair(single.first, single.last), std::make_pair(0, 0));

    RecordingWriter unfinished(options, false, false);
    try {
        unfinished.WriteImageToMemory(three, out);
        ADD_FAILURE() << "no error";
    } catch (const EImagingError& e) {
        EXPECT_STREQ(e.what(), "Image Format \"Recording\" does not support saving images.");
    }
}
