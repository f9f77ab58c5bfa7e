// SPDX-License-Identifier: MIT
// JPEG 2000 writer: the rate formula, the JP2 boxes and the bare code stream, the coding
// parameters, and decoding by independent decoders (OpenJPEG's opj_decompress, Pillow, ImageMagick).
#include "support/codec/CaseNames.h"
#include "support/codec/CodecFixtures.h"
#include "support/codec/ContainerReader.h"
#include "support/codec/ExternalDecoders.h"

#include "codec/FormatRegistry.h"
#include "codec/formats/jpeg2000/Jpeg2000FileFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>

using namespace imaging;
using namespace codectest;

namespace {

uint16_t BE16(const std::vector<uint8_t>& b, size_t pos)
{
    return static_cast<uint16_t>(b.at(pos) << 8 | b.at(pos + 1));
}

std::vector<uint8_t> Slice(const std::vector<uint8_t>& b, size_t pos, size_t count)
{
    return {b.begin() + pos, b.begin() + pos + count};
}

// The fields of a code stream's SIZ and COD marker segments that the writer decides.
struct CodeStream {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> componentDepths;   // Ssiz: bits - 1, high bit for signed samples
    int layers = 0, mct = -1, levels = -1, transform = -1;
};

CodeStream ParseCodeStream(const std::vector<uint8_t>& j2k)
{
    CodeStream c;
    EXPECT_EQ(Slice(j2k, 0, 4), (std::vector<uint8_t>{0xFF, 0x4F, 0xFF, 0x51})) << "SOC and SIZ";
    c.width = BE32(j2k, 8);
    c.height = BE32(j2k, 12);
    const uint16_t components = BE16(j2k, 40);
    for (uint16_t i = 0; i < components; ++i)
        c.componentDepths.push_back(j2k.at(42 + 3 * i));
    size_t pos = 4 + BE16(j2k, 4);
    if (BE16(j2k, pos) != 0xFF52) {
        ADD_FAILURE() << "no COD segment after SIZ";
        return c;
    }
    c.layers = BE16(j2k, pos + 6);
    c.mct = j2k.at(pos + 8);
    c.levels = j2k.at(pos + 9);
    c.transform = j2k.at(pos + 13);
    return c;
}

// A picture read from a PNM file (P5, P6 or the P7 that opj_decompress writes for alpha).
std::optional<Decoded> ReadPnm(const std::filesystem::path& path)
{
    const std::vector<uint8_t> file = ReadFile(path);
    const std::string text(file.begin(), file.end());
    std::istringstream in(text);
    std::string magic;
    in >> magic;
    Decoded d;
    int maxval = 0;
    const auto skipComments = [&] {
        in >> std::ws;
        while (in.peek() == '#') {
            std::string line;
            std::getline(in, line);
            in >> std::ws;
        }
    };
    if (magic == "P5" || magic == "P6") {
        skipComments();
        in >> d.Width;
        skipComments();
        in >> d.Height;
        skipComments();
        in >> maxval;
        in.get();
        d.Channels = magic == "P5" ? 1 : 3;
    } else if (magic == "P7") {
        std::string key;
        while (in >> key && key != "ENDHDR") {
            if (key == "#") {
                std::getline(in, key);
                continue;
            }
            if (key == "WIDTH") in >> d.Width;
            else if (key == "HEIGHT") in >> d.Height;
            else if (key == "DEPTH") in >> d.Channels;
            else if (key == "MAXVAL") in >> maxval;
            else std::getline(in, key);
        }
        in.get();
    } else {
        return std::nullopt;
    }
    const size_t count = static_cast<size_t>(d.Width) * d.Height * d.Channels;
    const size_t bytes = maxval > 255 ? 2 : 1;
    const size_t start = static_cast<size_t>(in.tellg());
    if (!in || maxval <= 0 || file.size() != start + count * bytes)
        return std::nullopt;
    for (size_t i = 0; i < count; ++i)
        d.Samples.push_back(bytes == 2 ? BE16(file, start + 2 * i) : file[start + i]);
    return d;
}

bool HaveOpjDecompress()
{
    static const bool have = [] {
        std::string out;
        RunTool({"opj_decompress", "-h"}, out);
        return !out.empty();
    }();
    return have;
}

std::optional<Decoded> DecodeWithOpenJpeg(const std::filesystem::path& file, const std::filesystem::path& pnm)
{
    std::string out;
    if (!RunTool({"opj_decompress", "-i", file.string(), "-o", pnm.string()}, out))
        return std::nullopt;
    return ReadPnm(pnm);
}

// The record's samples in component order (red, green, blue, or gray; alpha last), at their bits.
std::vector<uint16_t> ComponentSamples(const TImageData& image)
{
    const TImageFormatInfo& info = *GetFormatInfo(image.Format);
    const size_t sampleBytes = static_cast<size_t>(info.BytesPerPixel / info.ChannelCount);
    const std::vector<int> order = info.HasGrayChannel ? std::vector<int>{0, 1} : std::vector<int>{2, 1, 0, 3};
    std::vector<uint16_t> samples;
    for (size_t p = 0; p < image.Bits.size(); p += static_cast<size_t>(info.BytesPerPixel))
        for (int c = 0; c < info.ChannelCount; ++c) {
            const uint8_t* s = image.Bits.data() + p + static_cast<size_t>(order[c]) * sampleBytes;
            samples.push_back(sampleBytes == 2 ? static_cast<uint16_t>(s[0] | s[1] << 8) : s[0]);
        }
    return samples;
}

TImageData RandomImage(TImageFormat format, int width, int height, unsigned seed)
{
    TImageData image;
    NewImageData(width, height, format, image);
    std::mt19937 random(seed);
    for (uint8_t& b : image.Bits)
        b = static_cast<uint8_t>(random());
    return image;
}

// Colours that change by a few levels from pixel to pixel, as at antialiased text edges.
TImageData Smooth(int width, int height)
{
    const auto wave = [](int t, int span) { return t % (2 * span) < span ? t % (2 * span) : 2 * span - t % (2 * span); };
    TImageData image;
    NewImageData(width, height, ifR8G8B8, image);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = image.Row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = static_cast<uint8_t>(40 + wave(x * 3, 180));
            p[1] = static_cast<uint8_t>(200 - wave(y * 2, 150));
            p[2] = static_cast<uint8_t>(90 + wave((x + y) * 2, 120));
        }
    }
    return image;
}

// Lines of dark strokes with half-tone edges on white, like rendered text.
TImageData Strokes(int width, int height)
{
    const auto ink = [](int x, int y) {
        const int line = y % 24, column = x % 9;   // 16-pixel text lines, 8 pixels apart; 9-pixel glyphs
        if (line >= 16 || column >= 7)
            return false;
        return column == 1 || column == 5 || line == 2 || (line == 8 && (x / 9) % 2 == 0) || line == 14;
    };
    TImageData image;
    NewImageData(width, height, ifR8G8B8, image);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = image.Row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            const int cover = ink(x, y) ? 2 : (ink(x + 1, y) || ink(x, y + 1)) ? 1 : 0;
            p[0] = static_cast<uint8_t>(255 - cover * (255 - 160) / 2);   // blue
            p[1] = static_cast<uint8_t>(255 - cover * (255 - 40) / 2);    // green
            p[2] = static_cast<uint8_t>(255 - cover * (255 - 20) / 2);    // red
        }
    }
    return image;
}

const std::vector<uint8_t> Jp2Signature = {0, 0, 0, 12, 'j', 'P', ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};

class Jpeg2000Writer : public ::testing::Test {
protected:
    TImaging codec;
    TImageFileFormat* jp2 = codec.Registry.FindWriterForFileName("x.jp2");

    std::vector<uint8_t> Write(const TImageData& image, TImageFileFormat* writer = nullptr)
    {
        std::vector<uint8_t> out;
        EXPECT_TRUE((writer ? writer : jp2)->WriteImageToMemory({image}, out));
        return out;
    }
    // The code stream of a JP2 file.
    std::vector<uint8_t> CodeStreamOf(const std::vector<uint8_t>& file) { return Find(ExpectBoxes(file), "jp2c").data; }
};

} // namespace

TEST(Jpeg2000Rate, FollowsTheQualityFormula)
{
    // 100 x 100 RGB at quality 80: raw 30000, target 30000 * 100 / 1225 + 834 = 3282.98.
    EXPECT_NEAR(Jpeg2000Rate(100, 100, 3, 3, 80), 30000.0 / 3282.9796, 1e-4);
    EXPECT_NEAR(Jpeg2000Rate(100, 100, 3, 3, 80), 9.138, 0.001);
    const struct {
        int width, height, bytes, channels, quality;
        double target;
    } cases[] = {
        {100, 100, 3, 3, 100, 30000.0 * 100 / 225 + 834},
        {100, 100, 1, 1, 80, 10000.0 * 100 / 1225 + 550},
        {640, 480, 4, 4, 50, 1228800.0 * 100 / 4225 + 976},
        {1, 1, 3, 3, 80, 3.0 * 100 / 1225 + 834},
        {4000, 4000, 6, 3, 1, 96000000.0 * 100 / 12996 + 834},
    };
    for (const auto& c : cases) {
        const double raw = double(c.width) * c.height * c.bytes;
        EXPECT_NEAR(Jpeg2000Rate(c.width, c.height, c.bytes, c.channels, c.quality), raw / c.target,
                    raw / c.target * 1e-5)
            << c.width << "x" << c.height << " quality " << c.quality;
    }
    // Computed in single precision, as the formula says.
    const float raw = 30000.0f;
    EXPECT_EQ(Jpeg2000Rate(100, 100, 3, 3, 80), raw / (raw * 100.0f / (35.0f * 35.0f) + 550.0f + 284.0f));
    EXPECT_EQ(Jpeg2000Rate(100, 100, 3, 3, 115), 0.0f);   // no limit: lossless
}

TEST_F(Jpeg2000Writer, EveryExtensionGivesAJp2File)
{
    const TImageData image = MakeRgbImage(100, 60, 1);
    for (const char* name : {"a.jp2", "a.j2k", "a.j2c", "a.jpx", "a.jpc", "A.J2K"}) {
        SCOPED_TRACE(name);
        TImageFileFormat* writer = codec.Registry.FindWriterForFileName(name);
        ASSERT_EQ(writer, jp2);
        const std::vector<uint8_t> file = Write(image, writer);
        EXPECT_EQ(Slice(file, 0, 12), Jp2Signature);
        const std::vector<Box> boxes = ExpectBoxes(file);
        ASSERT_GE(boxes.size(), 4u);
        EXPECT_EQ(boxes[1].type, "ftyp");
        EXPECT_EQ(Slice(boxes[1].data, 0, 4), (std::vector<uint8_t>{'j', 'p', '2', ' '}));
        const std::vector<Box> header = ExpectBoxes(Find(boxes, "jp2h").data);
        // Height, width, 3 components, 8-bit unsigned, compression type 7, no unknown colour space, no IPR.
        EXPECT_EQ(Find(header, "ihdr").data, (std::vector<uint8_t>{0, 0, 0, 60, 0, 0, 0, 100, 0, 3, 7, 7, 0, 0}));
        EXPECT_EQ(Find(header, "colr").data, (std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 16}));   // sRGB
        EXPECT_EQ(boxes.back().type, "jp2c");
    }
}

namespace {

struct ComponentCase {
    TImageFormat format;
    std::vector<uint8_t> depths;   // Ssiz of each component: bits - 1
    uint8_t colourSpace;           // 16 sRGB, 17 gray
    bool alpha;
};

class Jpeg2000Components : public Jpeg2000Writer, public ::testing::WithParamInterface<ComponentCase> {};

} // namespace

TEST_P(Jpeg2000Components, FollowThePixelFormat)
{
    const ComponentCase& c = GetParam();
    const std::vector<uint8_t> file = Write(RandomImage(c.format, 9, 7, 2));
    const std::vector<Box> header = ExpectBoxes(Find(ExpectBoxes(file), "jp2h").data);
    EXPECT_EQ(Find(header, "colr").data.at(6), c.colourSpace);
    bool hasChannelDefinition = false;
    for (const Box& b : header)
        hasChannelDefinition |= b.type == "cdef";
    EXPECT_EQ(hasChannelDefinition, c.alpha);
    EXPECT_EQ(ParseCodeStream(CodeStreamOf(file)).componentDepths, c.depths);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, Jpeg2000Components,
    ::testing::Values(ComponentCase{ifR8G8B8, {7, 7, 7}, 16, false}, ComponentCase{ifA8R8G8B8, {7, 7, 7, 7}, 16, true},
                      ComponentCase{ifGray8, {7}, 17, false}, ComponentCase{ifA8Gray8, {7, 7}, 17, true},
                      ComponentCase{ifGray16, {15}, 17, false}, ComponentCase{ifA16Gray16, {15, 15}, 17, true},
                      ComponentCase{ifR16G16B16, {15, 15, 15}, 16, false},
                      ComponentCase{ifA16R16G16B16, {15, 15, 15, 15}, 16, true},
                      // Converted first by the writer's rule.
                      ComponentCase{ifX8R8G8B8, {7, 7, 7}, 16, false}, ComponentCase{ifB16G16R16, {15, 15, 15}, 16, false},
                      ComponentCase{ifR32F, {15}, 17, false}, ComponentCase{ifA32B32G32R32F, {15, 15, 15, 15}, 16, true},
                      ComponentCase{ifGray32, {15}, 17, false}, ComponentCase{ifX1R5G5B5, {15, 15, 15}, 16, false}),
    [](const ::testing::TestParamInfo<ComponentCase>& info) { return std::string(GetFormatName(info.param.format)); });

// Option 56 writes the code stream alone. Lossless, it is the same code stream that a JP2 file
// carries (at a rate, OpenJPEG counts the JP2 boxes into the budget of a JP2 file).
TEST_F(Jpeg2000Writer, CodeStreamOnlyOptionWritesTheBareCodeStream)
{
    const TImageData image = MakeRgbImage(40, 30, 3);
    codec.Options.SetOption(ImagingJpeg2000LosslessCompression, 1);
    const std::vector<uint8_t> inJp2 = CodeStreamOf(Write(image));
    codec.Options.SetOption(ImagingJpeg2000CodeStreamOnly, 1);
    EXPECT_EQ(Write(image), inJp2);

    codec.Options.SetOption(ImagingJpeg2000LosslessCompression, 0);
    const std::vector<uint8_t> bare = Write(image);
    const CodeStream c = ParseCodeStream(bare);
    EXPECT_EQ(c.width, 40u);
    EXPECT_EQ(c.height, 30u);
    EXPECT_EQ(c.componentDepths, (std::vector<uint8_t>{7, 7, 7}));
    EXPECT_EQ(c.transform, 1);
    EXPECT_EQ(Slice(bare, bare.size() - 2, 2), (std::vector<uint8_t>{0xFF, 0xD9}));   // EOC
}

namespace {

struct LevelCase {
    int width, height, levels;
    bool lossless;
};

class Jpeg2000CodingParameters : public Jpeg2000Writer, public ::testing::WithParamInterface<LevelCase> {};

std::vector<LevelCase> LevelCases()
{
    const std::tuple<int, int, int> sizes[] = {{100, 100, 5}, {4000, 32, 5}, {32, 32, 5}, {31, 64, 4}, {300, 16, 4},
                                               {15, 15, 3},   {2, 2, 1},     {1, 1, 0},   {1, 100, 0}};
    std::vector<LevelCase> cases;
    for (bool lossless : {false, true})
        for (auto [width, height, levels] : sizes)
            cases.push_back({width, height, levels, lossless});
    return cases;
}

} // namespace

// One layer and six resolution levels (five decompositions), fewer where a side is too short for
// them; the library's default (reversible) wavelet, lossy or not.
TEST_P(Jpeg2000CodingParameters, OneLayerAndTheLevelsTheSidesAllow)
{
    const LevelCase& c = GetParam();
    codec.Options.SetOption(ImagingJpeg2000LosslessCompression, c.lossless ? 1 : 0);
    const CodeStream s = ParseCodeStream(CodeStreamOf(Write(MakeRgbImage(c.width, c.height, 4))));
    EXPECT_EQ(s.width, uint32_t(c.width));
    EXPECT_EQ(s.height, uint32_t(c.height));
    EXPECT_EQ(s.layers, 1);
    EXPECT_EQ(s.levels, c.levels);
    EXPECT_EQ(s.transform, 1);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Jpeg2000CodingParameters, ::testing::ValuesIn(LevelCases()),
                         [](const ::testing::TestParamInfo<LevelCase>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height) +
                                    (info.param.lossless ? "_lossless" : "");
                         });

// A picture with no redundancy fills the target that the quality gives: OpenJPEG's rate control
// lands within 15 % of it. Lossless coding is not limited by it.
TEST_F(Jpeg2000Writer, FileSizeFollowsTheQuality)
{
    const TImageData image = MakeRgbImage(100, 100, 5);   // random
    for (int quality : {1, 50, 80, 95, 100}) {
        SCOPED_TRACE(quality);
        codec.Options.SetOption(ImagingJpeg2000Quality, quality);
        const double target = 30000.0 * 100 / ((115 - quality) * (115 - quality)) + 834;
        EXPECT_NEAR(double(Write(image).size()), target, 0.15 * target);
    }
    codec.Options.SetOption(ImagingJpeg2000Quality, 80);
    codec.Options.SetOption(ImagingJpeg2000LosslessCompression, 1);
    EXPECT_GT(Write(image).size(), 30000u);
}

TEST_F(Jpeg2000Writer, CallersRecordIsUnchanged)
{
    for (TImageFormat format : {ifR8G8B8, ifA8R8G8B8, ifGray16, ifB16G16R16, ifA32B32G32R32F}) {
        const TImageData original = RandomImage(format, 11, 7, 9);
        TImageData image = original;
        Write(image);
        EXPECT_EQ(image.Bits, original.Bits) << GetFormatName(format);
        EXPECT_EQ(image.Format, original.Format);
    }
}

namespace {

struct ReferenceCase {
    int width, height;
    bool lossless;
};

class Jpeg2000Reference : public Jpeg2000Writer, public ::testing::WithParamInterface<ReferenceCase> {};

} // namespace

// OpenJPEG's own command-line encoder, given the same parameters (six resolution levels, the
// default wavelet at the rate of the quality, no component transform, or lossless), writes
// the same bytes.
TEST_P(Jpeg2000Reference, SameFileAsOpenJpegsEncoderWithTheSameParameters)
{
    std::string out;
    RunTool({"opj_compress", "-h"}, out);
    if (out.empty())
        GTEST_SKIP() << "opj_compress is not installed";
    const auto [w, h, lossless] = GetParam();
    TempDir dir;
    const TImageData image = Strokes(w, h);
    std::vector<uint8_t> ppm;
    const std::string header = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    ppm.assign(header.begin(), header.end());
    const std::vector<uint8_t> rgb = RgbBytes(image);
    ppm.insert(ppm.end(), rgb.begin(), rgb.end());
    WriteFile(dir.File("in.ppm"), ppm);
    std::vector<std::string> args = {"opj_compress", "-i", dir.File("in.ppm").string(), "-o",
                                     dir.File("reference.jp2").string(), "-n", "6", "-mct", "0"};
    if (!lossless) {
        char rate[32];
        std::snprintf(rate, sizeof rate, "%.9g", Jpeg2000Rate(w, h, 3, 3, 80));
        args.insert(args.end(), {"-r", rate});
    }
    ASSERT_TRUE(RunTool(args, out)) << out;
    codec.Options.SetOption(ImagingJpeg2000LosslessCompression, lossless);
    EXPECT_EQ(Write(image), ReadFile(dir.File("reference.jp2")));
}

INSTANTIATE_TEST_SUITE_P(Pictures, Jpeg2000Reference,
                         ::testing::Values(ReferenceCase{100, 100, false}, ReferenceCase{257, 129, false},
                                           ReferenceCase{64, 40, true}),
                         [](const ::testing::TestParamInfo<ReferenceCase>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height) +
                                    (info.param.lossless ? "_lossless" : "");
                         });

namespace {

struct PictureCase {
    std::string what;
    TImageData image;
    double meanLimit;   // 0: lossless, exact
    bool codeStream = false;
};

PictureCase Picture(const char* kind, TImageData image, double meanLimit, bool codeStream = false)
{
    const std::string what = std::string(kind) + " " + GetFormatName(image.Format) + " " + std::to_string(image.Width) + "x" +
                             std::to_string(image.Height) + (meanLimit == 0 ? " lossless" : " quality 80") +
                             (codeStream ? " code stream" : "");
    return {what, std::move(image), meanLimit, codeStream};
}

std::vector<PictureCase> PictureCases()
{
    std::vector<PictureCase> cases;
    for (auto [w, h] : {std::pair{1, 1}, std::pair{3, 2}, std::pair{17, 5}, std::pair{31, 33}, std::pair{257, 129}}) {
        cases.push_back(Picture("random", MakeRgbImage(w, h, static_cast<unsigned>(w)), 0));
        cases.push_back(Picture("smooth", Smooth(w, h), 0.5));
    }
    cases.push_back(Picture("smooth", Smooth(640, 480), 0.5));
    for (auto [w, h] : {std::pair{100, 100}, std::pair{640, 480}, std::pair{1000, 60}})
        cases.push_back(Picture("strokes", Strokes(w, h), 16));
    cases.push_back(Picture("random", MakeRgbImage(40, 30, 7), 0, true));
    cases.push_back(Picture("smooth", Smooth(120, 80), 0.5, true));
    for (TImageFormat format : {ifGray8, ifA8Gray8, ifA8R8G8B8, ifGray16, ifA16Gray16, ifR16G16B16, ifA16R16G16B16})
        cases.push_back(Picture("random", RandomImage(format, 19, 7, static_cast<unsigned>(format)), 0));
    return cases;
}

class Jpeg2000Decoders : public Jpeg2000Writer, public ::testing::WithParamInterface<PictureCase> {};

} // namespace

// Lossless files decode to exactly the samples written. At the default quality 80 the error
// depends on the picture: a mean of at most 0.5 levels per channel for smooth colours, and of at
// most 16 for dense text-like strokes (about 14 measured; the rate leaves about 2 bits per pixel
// for pictures of some size).
TEST_P(Jpeg2000Decoders, ReadBackThePictures)
{
    if (!HaveOpjDecompress() && !HavePillow() && !HaveImageMagick())
        GTEST_SKIP() << "no JPEG 2000 decoder is installed";
    const PictureCase& c = GetParam();
    TempDir dir;
    const TImageFormatInfo& info = *GetFormatInfo(c.image.Format);
    const bool lossless = c.meanLimit == 0;
    codec.Options.SetOption(ImagingJpeg2000LosslessCompression, lossless);
    codec.Options.SetOption(ImagingJpeg2000CodeStreamOnly, c.codeStream);
    const auto file = dir.File(c.codeStream ? "image.j2k" : "image.jp2");
    WriteFile(file, Write(c.image));
    const std::vector<uint16_t> expected = ComponentSamples(c.image);

    const auto check = [&](const std::optional<Decoded>& d, const char* who) {
        ASSERT_TRUE(d) << who << " could not read the file";
        EXPECT_EQ(d->Width, c.image.Width) << who;
        EXPECT_EQ(d->Height, c.image.Height) << who;
        const Difference diff = Compare(d->Samples, expected);
        if (lossless)
            EXPECT_EQ(diff.Max, 0) << who;
        else
            EXPECT_LE(diff.Mean, c.meanLimit) << who;
    };
    if (HaveOpjDecompress())
        check(DecodeWithOpenJpeg(file, dir.File(info.HasGrayChannel && !info.HasAlphaChannel ? "out.pgm" : "out.ppm")),
              "opj_decompress");
    // Pillow and ImageMagick read 8-bit colour pictures here; their conversions of gray,
    // alpha and 16-bit samples are their own.
    if (c.image.Format != ifR8G8B8)
        return;
    if (HavePillow())
        check(DecodeWithPillow(file), "Pillow");
    if (HaveImageMagick())
        check(DecodeWithImageMagick(file, 3), "ImageMagick");
}

INSTANTIATE_TEST_SUITE_P(Pictures, Jpeg2000Decoders, ::testing::ValuesIn(PictureCases()), CaseWhat());
