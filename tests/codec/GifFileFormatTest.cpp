// SPDX-License-Identifier: MIT
// GIF writer: the file layout byte for byte, the size limit, the LZW code stream, and decoding by
// independent decoders (Pillow, giflib's giftext, ImageMagick).
#include "support/codec/CaseNames.h"
#include "support/codec/CodecFixtures.h"
#include "support/codec/ExternalDecoders.h"

#include "codec/FormatRegistry.h"
#include "codec/ImagingError.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <unistd.h>

using namespace imaging;
using namespace codectest;
namespace fs = std::filesystem;

namespace {

class GifWriter : public ::testing::Test {
protected:
    TImaging codec;
    TImageFileFormat* gif = codec.Registry.FindWriterForFileName("x.gif");

    std::vector<uint8_t> Write(const TImageData& image)
    {
        std::vector<uint8_t> out;
        EXPECT_TRUE(gif->WriteImageToMemory({image}, out));
        return out;
    }
};

// ---------------------------------------------------------------------------------------------
// Running the decoders

bool HaveGiftext()
{
    return IsExecutable("/usr/bin/giftext");
}

// The first image of a GIF file as a decoder sees it: its 256 colours as red, green, blue and one
// index per pixel.
struct IndexedPicture {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Palette;
    std::vector<uint8_t> Indices;
};

std::optional<IndexedPicture> DecodeIndexedWithPillow(const fs::path& file)
{
    static const char* const script =
        "import sys\n"
        "from PIL import Image\n"
        "im = Image.open(sys.argv[1])\n"
        "im.load()\n"
        "assert im.mode == 'P'\n"
        "pal = bytes(im.getpalette('RGB'))\n"
        "pal += bytes(768 - len(pal))\n"
        "sys.stdout.buffer.write(b'%d %d\\n' % im.size + pal + im.tobytes())\n";
    const auto out = ToolOutput({PythonProgram, "-c", script, file.string()});
    if (!out)
        return std::nullopt;
    IndexedPicture p;
    const size_t newline = out->find('\n');
    if (newline == std::string::npos || std::sscanf(out->c_str(), "%d %d", &p.Width, &p.Height) != 2)
        return std::nullopt;
    const std::string data = out->substr(newline + 1);
    if (data.size() != 768 + static_cast<size_t>(p.Width) * p.Height)
        return std::nullopt;
    p.Palette.assign(data.begin(), data.begin() + 768);
    p.Indices.assign(data.begin() + 768, data.end());
    return p;
}

// giftext: -c lists the colour map ("  5: 8eh 53h 71h"), -r dumps the raw indices.
std::optional<IndexedPicture> DecodeIndexedWithGiflib(const fs::path& file)
{
    const auto listing = ToolOutput({"/usr/bin/giftext", "-c", file.string()});
    const auto raw = ToolOutput({"/usr/bin/giftext", "-r", file.string()});
    if (!listing || !raw)
        return std::nullopt;
    IndexedPicture p;
    std::istringstream lines(*listing);
    std::string line;
    while (std::getline(lines, line)) {
        if (std::sscanf(line.c_str(), " Image Size - Left = %*d, Top = %*d, Width = %d, Height = %d", &p.Width,
                        &p.Height) == 2)
            continue;
        const char* s = line.c_str();
        int index, r, g, b, used;
        while (std::sscanf(s, " %d: %xh %xh %xh%n", &index, &r, &g, &b, &used) == 4) {
            if (index != static_cast<int>(p.Palette.size() / 3))
                return std::nullopt;
            p.Palette.insert(p.Palette.end(), {uint8_t(r), uint8_t(g), uint8_t(b)});
            s += used;
        }
    }
    if (p.Palette.size() != 768 || raw->size() != static_cast<size_t>(p.Width) * p.Height)
        return std::nullopt;
    p.Indices.assign(raw->begin(), raw->end());
    return p;
}

// The LZW codes of the first image as giflib reads them (giftext -z), without the end code.
std::optional<std::vector<int>> CodesWithGiflib(const fs::path& file)
{
    const auto listing = ToolOutput({"/usr/bin/giftext", "-z", file.string()});
    if (!listing)
        return std::nullopt;
    std::vector<int> codes;
    std::istringstream lines(*listing);
    std::string line;
    while (std::getline(lines, line)) {
        unsigned offset;
        int used;
        if (std::sscanf(line.c_str(), "%5x:%n", &offset, &used) != 1 || line.size() < 6 || line[5] != ':')
            continue;
        std::istringstream words(line.substr(static_cast<size_t>(used)));
        std::string word;
        while (words >> word)
            codes.push_back(std::stoi(word, nullptr, 16));
    }
    return codes;
}

// ---------------------------------------------------------------------------------------------
// Images

TImageData Indexed(int width, int height, const std::vector<uint8_t>& indices)
{
    TImageData image;
    NewImageData(width, height, ifIndex8, image);
    image.Bits = indices;
    for (int i = 0; i < 256; ++i)
        image.Palette[static_cast<size_t>(i)] = {uint8_t(i), uint8_t(255 - i), uint8_t(i * 3), 255};
    return image;
}

// Pixels drawn from `colours` distinct colours.
TImageData FewColours(int width, int height, int colours, unsigned seed)
{
    TImageData image;
    NewImageData(width, height, ifR8G8B8, image);
    std::mt19937 random(seed);
    for (size_t i = 0; i < image.Bits.size(); i += 3) {
        const int c = static_cast<int>(random() % static_cast<unsigned>(colours));
        image.Bits[i] = static_cast<uint8_t>(c);
        image.Bits[i + 1] = static_cast<uint8_t>(c * 5);
        image.Bits[i + 2] = static_cast<uint8_t>(200 - c / 2);
    }
    return image;
}

std::vector<uint8_t> PaletteRgb(const TImageData& indexed)
{
    std::vector<uint8_t> out;
    for (const TColor32Rec& c : indexed.Palette)
        out.insert(out.end(), {c.R, c.G, c.B});
    return out;
}

} // namespace

// A 3 x 2 image of white with one black pixel: the whole file, byte for byte.
TEST_F(GifWriter, TwoColourImageLayout)
{
    TImageData image;
    NewImageData(3, 2, ifR8G8B8, image);
    std::fill(image.Bits.begin(), image.Bits.end(), 255);
    std::fill(image.Bits.begin() + 6, image.Bits.begin() + 9, 0);   // third pixel of the top row

    std::vector<uint8_t> expected = {'G', 'I', 'F', '8', '9', 'a', 3, 0, 2, 0, 0x70, 0, 0,
                                     // graphic control extension: delay 65, no transparency
                                     0x21, 0xF9, 4, 0, 65, 0, 0, 0,
                                     // image descriptor: local table of 256 entries
                                     0x2C, 0, 0, 0, 0, 3, 0, 2, 0, 0x87};
    // White (four pixels) first, then black, then 254 entries of opaque black.
    expected.insert(expected.end(), {255, 255, 255});
    expected.insert(expected.end(), 255 * 3, 0);
    // Codes 256 (clear), 0, 0, 1, 258 (white white), 0, 257 (end), nine bits each.
    expected.insert(expected.end(), {8, 8, 0x00, 0x01, 0x00, 0x08, 0x20, 0x10, 0x40, 0x40, 0, 0x3B});
    EXPECT_EQ(Write(image), expected);
}

namespace {

struct SideCase {
    int width, height;
    bool fits;
};

class GifSides : public GifWriter, public ::testing::WithParamInterface<SideCase> {};

} // namespace

TEST_P(GifSides, Above65535AreARangeError)
{
    const SideCase& c = GetParam();
    TImageData image;
    NewImageData(c.width, c.height, ifR8G8B8, image);
    std::vector<uint8_t> out;
    if (c.fits) {
        ASSERT_TRUE(gif->WriteImageToMemory({image}, out));
        EXPECT_EQ(LE16(out, 6), c.width);
        EXPECT_EQ(LE16(out, 8), c.height);
        EXPECT_EQ(LE16(out, 26), c.width);
        EXPECT_EQ(LE16(out, 28), c.height);
    } else {
        EXPECT_THROW(gif->WriteImageToMemory({image}, out), EImagingError);
        EXPECT_TRUE(out.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, GifSides,
                         ::testing::Values(SideCase{65535, 1, true}, SideCase{1, 65535, true},
                                           SideCase{65536, 1, false}, SideCase{1, 65536, false}),
                         [](const ::testing::TestParamInfo<SideCase>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

// Block-compressed pixels cannot be reduced directly; they go through their plain format, which is
// an error here rather than a silently black image.
TEST_F(GifWriter, BlockCompressedInputIsAnErrorNotABlackImage)
{
    TImageData image;
    ASSERT_TRUE(NewImageData(8, 8, ifDXT1, image));
    std::vector<uint8_t> out;
    EXPECT_THROW(gif->WriteImageToMemory({image}, out), EImagingError);
    EXPECT_TRUE(out.empty());
}

// giflib reports every code it reads: the stream starts with a clear code, and each time code
// 4094 has been assigned, that is after 3837 codes that assigned one plus the pixel that came
// with the last, a clear code follows and the table starts afresh.
TEST_F(GifWriter, TableStartsAfreshOnceCode4094IsAssigned)
{
    if (!HaveGiftext())
        GTEST_SKIP() << "giflib's giftext is not installed";
    TempDir dir;
    const auto file = dir.File("noise.gif");
    WriteFile(file, Write(MakeRgbImage(300, 200, 9)));
    const auto codes = CodesWithGiflib(file);
    ASSERT_TRUE(codes);
    ASSERT_FALSE(codes->empty());
    EXPECT_EQ(codes->front(), 256);
    std::vector<size_t> runs;   // codes between two clear codes
    for (size_t i = 1, start = 1; i <= codes->size(); ++i)
        if (i == codes->size() || (*codes)[i] == 256) {
            runs.push_back(i - start);
            start = i + 1;
        }
    ASSERT_GE(runs.size(), 3u);
    for (size_t i = 0; i + 1 < runs.size(); ++i)
        EXPECT_EQ(runs[i], 3838u) << "run " << i;
    EXPECT_LE(runs.back(), 3838u);
}

namespace {

struct DecoderCase {
    std::string what;
    TImageData image;
    bool atMost256Colours;
};

std::vector<DecoderCase> DecoderCases()
{
    std::vector<uint8_t> ramp(255);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<uint8_t>(i);
    return {
        {"1x1", MakeRgbImage(1, 1, 3), true},
        {"two colours", FewColours(31, 7, 2, 1), true},
        {"200 colours, odd size", FewColours(17, 5, 200, 2), true},
        {"256 colours", FewColours(97, 61, 256, 3), true},
        {"65535 wide", FewColours(65535, 1, 7, 6), true},
        {"gradient", MakeRgbImage(257, 129, 0), false},
        {"noise", MakeRgbImage(64, 64, 4), false},
        {"large noise: many fresh tables", MakeRgbImage(800, 600, 5), false},
        {"large gradient", MakeRgbImage(1500, 1000, 0), false},
        // Distinct pairs assign one code per pixel: the last code comes as code 511, 512 or 513
        // is due, where the end code may need the wider width.
        {"ramp 253", Indexed(253, 1, std::vector<uint8_t>(ramp.begin(), ramp.begin() + 253)), true},
        {"ramp 254", Indexed(254, 1, std::vector<uint8_t>(ramp.begin(), ramp.begin() + 254)), true},
        {"ramp 255", Indexed(255, 1, ramp), true},
    };
}

class GifDecoders : public GifWriter, public ::testing::WithParamInterface<DecoderCase> {};

} // namespace

// Every decoder reads back the palette and the indices of the reduction; an image with at most
// 256 colours comes back with exactly its pixels.
TEST_P(GifDecoders, ReadBackTheReducedImage)
{
    const bool pillow = HavePillow(), giflib = HaveGiftext(), magick = HaveImageMagick();
    if (!pillow && !giflib && !magick)
        GTEST_SKIP() << "no GIF decoder is installed";
    const DecoderCase& c = GetParam();
    TempDir dir;
    TImageData expected = c.image;
    ASSERT_TRUE(ConvertImageData(expected, ifIndex8));
    const std::vector<uint8_t> palette = PaletteRgb(expected);
    if (c.image.Format == ifR8G8B8 && c.atMost256Colours) {
        // The reduction itself is exact.
        std::vector<uint8_t> pixels;
        for (uint8_t k : expected.Bits)
            pixels.insert(pixels.end(), palette.begin() + 3 * k, palette.begin() + 3 * k + 3);
        ASSERT_EQ(pixels, RgbBytes(c.image));
    }
    const auto file = dir.File("image.gif");
    WriteFile(file, Write(c.image));

    if (pillow) {
        const auto decoded = DecodeIndexedWithPillow(file);
        ASSERT_TRUE(decoded) << "Pillow could not read the file";
        EXPECT_EQ(decoded->Width, c.image.Width);
        EXPECT_EQ(decoded->Palette, palette);
        EXPECT_TRUE(decoded->Indices == expected.Bits) << "Pillow: indices differ";
    }
    if (giflib) {
        const auto decoded = DecodeIndexedWithGiflib(file);
        ASSERT_TRUE(decoded) << "giflib could not read the file";
        EXPECT_EQ(decoded->Width, c.image.Width);
        EXPECT_EQ(decoded->Palette, palette);
        EXPECT_TRUE(decoded->Indices == expected.Bits) << "giflib: indices differ";
    }
    // Debian's ImageMagick policy refuses images wider than 16384 pixels.
    if (magick && c.image.Width <= 16384) {
        const auto decoded = DecodeWithImageMagick(file, 3);
        ASSERT_TRUE(decoded) << "ImageMagick could not read the file";
        std::vector<uint16_t> pixels;
        for (uint8_t k : expected.Bits)
            pixels.insert(pixels.end(), palette.begin() + 3 * k, palette.begin() + 3 * k + 3);
        EXPECT_EQ(Compare(decoded->Samples, pixels).Max, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Images, GifDecoders, ::testing::ValuesIn(DecoderCases()), CaseWhat());

// Option 128 of the writer's table masks the channels before counting colours.
TEST_F(GifWriter, ChannelMaskOptionReachesTheReduction)
{
    const TImageData image = MakeRgbImage(40, 30, 0);
    const std::vector<uint8_t> unmasked = Write(image);
    ASSERT_TRUE(codec.Options.SetOption(ImagingColorReductionMask, 0xC0));
    const std::vector<uint8_t> masked = Write(image);
    // Colour table at offset 13 + 8 + 10: with two bits per channel left, the image has at most
    // 64 colours, each a multiple of 64 and kept exactly.
    const size_t table = 31;
    std::set<std::vector<uint8_t>> used;
    for (size_t k = 0; k < 256; ++k) {
        const std::vector<uint8_t> entry(masked.begin() + table + 3 * k, masked.begin() + table + 3 * k + 3);
        used.insert(entry);
        for (uint8_t v : entry)
            EXPECT_EQ(v % 64, 0) << "entry " << k;
    }
    EXPECT_GT(used.size(), 8u);
    EXPECT_NE(masked, unmasked);
}
