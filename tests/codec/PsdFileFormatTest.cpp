// SPDX-License-Identifier: MIT
// Photoshop writer: PackBits rows, file layout with and without the layer, pixel formats, and
// decoding of the merged image and the layer by independent decoders.
#include "support/codec/CaseNames.h"
#include "support/codec/CodecFixtures.h"
#include "support/codec/ExternalDecoders.h"

#include "codec/FormatRegistry.h"
#include "codec/ImagingError.h"
#include "codec/formats/psd/PsdFileFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <random>

using namespace imaging;
using namespace codectest;

namespace {

std::vector<uint8_t> Pack(const std::vector<uint8_t>& row)
{
    TMemoryStream out;
    const size_t count = PackBitsRow(row.data(), row.size(), out);
    EXPECT_EQ(count, out.Bytes().size());
    return out.Bytes();
}

// Big-endian reader over a whole file; running past the end fails the test.
struct Reader {
    const std::vector<uint8_t>& b;
    size_t pos = 0;
    bool overrun = false;

    uint32_t Read(int bytes)
    {
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            if (pos >= b.size()) {
                overrun = true;
                return 0;
            }
            v = v << 8 | b[pos++];
        }
        return v;
    }
    uint8_t U8() { return static_cast<uint8_t>(Read(1)); }
    uint16_t U16() { return static_cast<uint16_t>(Read(2)); }
    int16_t I16() { return static_cast<int16_t>(Read(2)); }
    uint32_t U32() { return Read(4); }
    std::string Text(size_t n)
    {
        std::string s;
        for (size_t i = 0; i < n; ++i)
            s += static_cast<char>(U8());
        return s;
    }
};

// Decodes PackBits packets until count bytes came out; the packets must end exactly there.
std::vector<uint8_t> Unpack(Reader& r, size_t count)
{
    std::vector<uint8_t> out;
    while (out.size() < count && !r.overrun) {
        const auto n = static_cast<int8_t>(r.U8());
        if (n >= 0)
            for (int i = 0; i <= n; ++i)
                out.push_back(r.U8());
        else if (n != -128)
            out.insert(out.end(), static_cast<size_t>(1 - n), r.U8());
    }
    EXPECT_EQ(out.size(), count) << "a packet runs past the end of the row";
    return out;
}

// Channel data as planes of big-endian samples, one plane per channel.
using Planes = std::vector<std::vector<uint8_t>>;

// Rows of `channels` channels: compression field (when withCompression), then either packed rows
// with their byte counts in a table before them, or raw rows.
Planes ReadChannelData(Reader& r, int channels, int height, size_t rowBytes, uint16_t compression)
{
    Planes planes(static_cast<size_t>(channels));
    if (compression == 0) {
        for (auto& plane : planes)
            for (size_t i = 0; i < rowBytes * height; ++i)
                plane.push_back(r.U8());
        return planes;
    }
    EXPECT_EQ(compression, 1);
    std::vector<uint16_t> table;
    for (int i = 0; i < channels * height; ++i)
        table.push_back(r.U16());
    size_t row = 0;
    for (auto& plane : planes) {
        for (int y = 0; y < height; ++y, ++row) {
            const size_t start = r.pos;
            const std::vector<uint8_t> bytes = Unpack(r, rowBytes);
            EXPECT_EQ(r.pos - start, table[row]) << "row " << row;
            plane.insert(plane.end(), bytes.begin(), bytes.end());
        }
    }
    return planes;
}

struct PsdLayer {
    int16_t count = 0;
    uint32_t top = 0, left = 0, bottom = 0, right = 0;
    std::vector<int16_t> channelIds;
    std::string blendSignature, blendKey;
    int opacity = 0, clipping = 0, flags = 0;
    uint32_t extraLength = 0, maskLength = 0, blendingRangesLength = 0;
    std::string name;
    Planes planes;
};

struct PsdFile {
    std::string signature;
    int version = 0, channels = 0, depth = 0, mode = 0;
    uint32_t height = 0, width = 0;
    std::vector<uint8_t> colourModeData;
    uint32_t resourcesLength = 0;
    uint32_t sectionLength = 0;
    bool hasLayer = false;
    PsdLayer layer;
    uint16_t compression = 0;
    Planes merged;
};

// Reads the whole file and checks that every length field matches what follows it.
PsdFile ParsePsd(const std::vector<uint8_t>& bytes)
{
    PsdFile f;
    Reader r{bytes};
    f.signature = r.Text(4);
    f.version = r.U16();
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(r.U8(), 0);
    f.channels = r.U16();
    f.height = r.U32();
    f.width = r.U32();
    f.depth = r.U16();
    f.mode = r.U16();
    const size_t rowBytes = f.width * (f.depth / 8);
    const uint32_t colourModeLength = r.U32();
    for (uint32_t i = 0; i < colourModeLength; ++i)
        f.colourModeData.push_back(r.U8());
    f.resourcesLength = r.U32();
    r.pos += f.resourcesLength;

    f.sectionLength = r.U32();
    const size_t sectionEnd = r.pos + f.sectionLength;
    if (f.sectionLength != 0) {
        f.hasLayer = true;
        PsdLayer& l = f.layer;
        const uint32_t layerInfoLength = r.U32();
        EXPECT_EQ(r.pos + layerInfoLength, sectionEnd) << "layer info runs to the end of the section";
        l.count = r.I16();
        l.top = r.U32();
        l.left = r.U32();
        l.bottom = r.U32();
        l.right = r.U32();
        const int channels = r.U16();
        std::vector<uint32_t> lengths;
        for (int c = 0; c < channels; ++c) {
            l.channelIds.push_back(r.I16());
            lengths.push_back(r.U32());
        }
        l.blendSignature = r.Text(4);
        l.blendKey = r.Text(4);
        l.opacity = r.U8();
        l.clipping = r.U8();
        l.flags = r.U8();
        EXPECT_EQ(r.U8(), 0) << "filler";
        l.extraLength = r.U32();
        const size_t extraEnd = r.pos + l.extraLength;
        l.maskLength = r.U32();
        l.blendingRangesLength = r.U32();
        const size_t nameStart = r.pos;
        l.name = r.Text(r.U8());
        EXPECT_EQ(extraEnd - nameStart, (1 + l.name.size() + 3) / 4 * 4) << "name padded to 4 bytes";
        r.pos = extraEnd;
        for (int c = 0; c < channels; ++c) {
            const size_t start = r.pos;
            const uint16_t compression = r.U16();
            Planes plane = ReadChannelData(r, 1, static_cast<int>(l.bottom - l.top), rowBytes, compression);
            EXPECT_EQ(r.pos - start, lengths[static_cast<size_t>(c)]) << "channel " << c;
            l.planes.push_back(plane[0]);
        }
        EXPECT_EQ(r.U32(), 0u) << "global layer mask";
    }
    EXPECT_EQ(r.pos, sectionEnd);
    r.pos = sectionEnd;
    f.compression = r.U16();
    f.merged = ReadChannelData(r, f.channels, static_cast<int>(f.height), rowBytes, f.compression);
    EXPECT_FALSE(r.overrun) << "the file ends early";
    EXPECT_EQ(r.pos, bytes.size()) << "bytes after the merged image";
    return f;
}

// The planes the file should hold for an image of a format the writer takes: channels red,
// green, blue, alpha (or gray or index, alpha), samples big-endian.
Planes ExpectedPlanes(const TImageData& image)
{
    struct Layout {
        std::vector<int> offsets;
        int bytes;
    };
    Layout l;
    switch (image.Format) {
    case ifIndex8: case ifGray8: l = {{0}, 1}; break;
    case ifA8Gray8: l = {{0, 1}, 1}; break;
    case ifGray16: l = {{0}, 2}; break;
    case ifA16Gray16: l = {{0, 2}, 2}; break;
    case ifR8G8B8: l = {{2, 1, 0}, 1}; break;
    case ifA8R8G8B8: l = {{2, 1, 0, 3}, 1}; break;
    case ifR16G16B16: l = {{4, 2, 0}, 2}; break;
    case ifA16R16G16B16: l = {{4, 2, 0, 6}, 2}; break;
    case ifR32F: l = {{0}, 4}; break;
    case ifA32R32G32B32F: l = {{8, 4, 0, 12}, 4}; break;
    default: ADD_FAILURE() << "no layout for " << GetFormatName(image.Format); return {};
    }
    const size_t pixelBytes = static_cast<size_t>(GetFormatInfo(image.Format)->BytesPerPixel);
    Planes planes;
    for (int offset : l.offsets) {
        std::vector<uint8_t> plane;
        for (size_t p = 0; p < image.Bits.size(); p += pixelBytes)
            for (int k = l.bytes - 1; k >= 0; --k)
                plane.push_back(image.Bits[p + offset + k]);
        planes.push_back(plane);
    }
    return planes;
}

class PsdWriter : public ::testing::Test {
protected:
    TImaging codec;
    TImageFileFormat* psd = codec.Registry.FindWriterForFileName("x.psd");

    std::vector<uint8_t> Write(const TImageData& image)
    {
        std::vector<uint8_t> out;
        EXPECT_TRUE(psd->WriteImageToMemory({image}, out));
        return out;
    }
};

std::vector<uint16_t> Samples(const std::string& raw)
{
    std::vector<uint16_t> out;
    for (char c : raw)
        out.push_back(static_cast<uint8_t>(c));
    return out;
}

} // namespace

TEST(PackBits, Rows)
{
    std::vector<uint8_t> distinct129(129), distinct257(257);
    for (size_t i = 0; i < distinct257.size(); ++i)
        distinct257[i] = static_cast<uint8_t>(i);
    std::copy(distinct257.begin(), distinct257.begin() + 129, distinct129.begin());
    const auto literal = [](const std::vector<uint8_t>& row, size_t from, size_t to) {
        std::vector<uint8_t> packet{static_cast<uint8_t>(to - from - 1)};
        packet.insert(packet.end(), row.begin() + from, row.begin() + to);
        return packet;
    };
    const auto join = [](std::initializer_list<std::vector<uint8_t>> parts) {
        std::vector<uint8_t> out;
        for (const auto& p : parts)
            out.insert(out.end(), p.begin(), p.end());
        return out;
    };
    const struct {
        const char* what;
        std::vector<uint8_t> row, packed;
    } cases[] = {
        {"two different bytes: the last one is a packet of its own", {1, 2}, {0, 1, 0, 2}},
        {"130 equal bytes: a run of 128, then two single bytes", std::vector<uint8_t>(130, 7), {0x81, 7, 0, 7, 0, 7}},
        {"one byte", {5}, {0, 5}},
        {"two equal bytes are no run", {9, 9}, {0, 9, 0, 9}},
        {"three equal bytes are a run", {4, 4, 4}, {0xFE, 4}},
        {"128 equal bytes", std::vector<uint8_t>(128, 3), {0x81, 3}},
        {"131 equal bytes: two runs", std::vector<uint8_t>(131, 3), {0x81, 3, 0xFE, 3}},
        {"a literal ends where three equal bytes follow", {1, 2, 2, 2}, {0, 1, 0xFE, 2}},
        {"a pair goes into the literal", {7, 7, 8, 8, 8}, {1, 7, 7, 0xFE, 8}},
        {"a pair at the end is split", {1, 2, 3, 3}, {2, 1, 2, 3, 0, 3}},
        {"run in the middle", {1, 5, 5, 5, 5, 2, 3}, {0, 1, 0xFD, 5, 0, 2, 0, 3}},
        {"129 different bytes: 128, then the last", distinct129, join({literal(distinct129, 0, 128), {0, 128}})},
        {"257 different bytes: two full literals, then the last", distinct257,
         join({literal(distinct257, 0, 128), literal(distinct257, 128, 256), {0, 0}})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Pack(c.row), c.packed) << c.what;
}

// Rows of random runs: they unpack to themselves, and every row ends with a run or a packet of
// one byte.
TEST(PackBits, RandomRowsUnpackToThemselves)
{
    std::mt19937 random(42);
    for (int trial = 0; trial < 500; ++trial) {
        std::vector<uint8_t> row;
        const size_t length = 1 + random() % 400;
        while (row.size() < length) {
            const size_t run = random() % 3 == 0 ? 1 + random() % 200 : 1 + random() % 3;
            row.insert(row.end(), std::min(run, length - row.size()), static_cast<uint8_t>(random() % 4));
        }
        SCOPED_TRACE(trial);
        const std::vector<uint8_t> packed = Pack(row);
        Reader r{packed};
        EXPECT_EQ(Unpack(r, row.size()), row);
        EXPECT_EQ(r.pos, packed.size());
        // Walk the packets again to check their kinds.
        size_t pos = 0, lastHeader = 0;
        while (pos < packed.size()) {
            lastHeader = pos;
            const auto n = static_cast<int8_t>(packed[pos]);
            ASSERT_NE(n, -128);
            if (n < 0) {
                EXPECT_LE(n, -2) << "runs are at least 3 bytes";
            }
            pos += n >= 0 ? 2 + static_cast<size_t>(n) : 2;
        }
        const auto last = static_cast<int8_t>(packed[lastHeader]);
        EXPECT_TRUE(last < 0 || last == 0) << "the last byte is taken by a literal of several bytes";
    }
}

TEST_F(PsdWriter, LayoutWithoutLayer)
{
    codec.Options.SetOption(ImagingPSDSaveAsLayer, 0);
    const TImageData image = MakeRgbImage(5, 3, 6);
    const std::vector<uint8_t> f = Write(image);
    const std::vector<uint8_t> header = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 3,
                                         0, 0, 0, 3, 0, 0, 0, 5, 0, 8, 0, 3};
    ASSERT_GT(f.size(), 40u);
    EXPECT_EQ(std::vector<uint8_t>(f.begin(), f.begin() + 26), header);
    EXPECT_EQ(BE32(f, 26), 0u);   // colour mode data
    EXPECT_EQ(BE32(f, 30), 0u);   // image resources
    EXPECT_EQ(BE32(f, 34), 0u);   // layer and mask section: empty
    const PsdFile psd = ParsePsd(f);
    EXPECT_FALSE(psd.hasLayer);
    EXPECT_EQ(psd.compression, 1);
    EXPECT_EQ(psd.merged, ExpectedPlanes(image));
}

TEST_F(PsdWriter, LayerAndMergedImageHoldTheSamePixels)
{
    const TImageData image = MakeRgbImage(7, 4, 3);
    const PsdFile psd = ParsePsd(Write(image));
    ASSERT_TRUE(psd.hasLayer);
    const PsdLayer& l = psd.layer;
    EXPECT_EQ(l.count, 1);
    EXPECT_EQ(l.top, 0u);
    EXPECT_EQ(l.left, 0u);
    EXPECT_EQ(l.bottom, 4u);
    EXPECT_EQ(l.right, 7u);
    EXPECT_EQ(l.channelIds, (std::vector<int16_t>{0, 1, 2}));
    EXPECT_EQ(l.blendSignature, "8BIM");
    EXPECT_EQ(l.blendKey, "norm");
    EXPECT_EQ(l.opacity, 255);
    EXPECT_EQ(l.clipping, 0);
    EXPECT_EQ(l.flags, 0);
    EXPECT_EQ(l.extraLength, 16u);
    EXPECT_EQ(l.maskLength, 0u);
    EXPECT_EQ(l.blendingRangesLength, 0u);
    EXPECT_EQ(l.name, "Layer 0");
    EXPECT_EQ(psd.compression, 1);
    EXPECT_EQ(l.planes, ExpectedPlanes(image));
    EXPECT_EQ(psd.merged, ExpectedPlanes(image));
}

namespace {

struct PixelFormatCase {
    TImageFormat input, written;
    int channels, depth, mode;
    int16_t layerCount;   // 0: no layer
    std::vector<int16_t> ids;
};

class PsdPixelFormats : public PsdWriter, public ::testing::WithParamInterface<PixelFormatCase> {};

} // namespace

TEST_P(PsdPixelFormats, AndConversions)
{
    const PixelFormatCase& c = GetParam();
    TImageData image = MakeRgbImage(6, 3, 8);
    if (c.input == ifIndex8) {
        NewImageData(6, 3, ifIndex8, image);
        for (int i = 0; i < 256; ++i)
            image.Palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i / 3), static_cast<uint8_t>(255 - i), 255};
        for (size_t i = 0; i < image.Bits.size(); ++i)
            image.Bits[i] = static_cast<uint8_t>(i * 29);
    } else {
        ConvertImageData(image, c.input);
        if (GetFormatInfo(c.input)->HasAlphaChannel && !GetFormatInfo(c.input)->IsFloatingPoint) {
            // Vary the alpha samples: fill the image with a pattern of its own bytes.
            for (size_t i = 0; i < image.Bits.size(); ++i)
                image.Bits[i] = static_cast<uint8_t>(i * 37 + 11);
        }
    }
    TImageData written = image;
    ConvertImageData(written, c.written);
    const PsdFile psd = ParsePsd(Write(image));
    EXPECT_EQ(psd.signature, "8BPS");
    EXPECT_EQ(psd.version, 1);
    EXPECT_EQ(psd.channels, c.channels);
    EXPECT_EQ(psd.depth, c.depth);
    EXPECT_EQ(psd.mode, c.mode);
    EXPECT_EQ(psd.width, 6u);
    EXPECT_EQ(psd.height, 3u);
    if (c.input == ifIndex8) {
        ASSERT_EQ(psd.colourModeData.size(), 768u);
        for (int i : {0, 100, 255}) {
            EXPECT_EQ(psd.colourModeData[i], image.Palette[i].R);
            EXPECT_EQ(psd.colourModeData[256 + i], image.Palette[i].G);
            EXPECT_EQ(psd.colourModeData[512 + i], image.Palette[i].B);
        }
    } else {
        EXPECT_TRUE(psd.colourModeData.empty());
    }
    const bool floating = c.depth == 32;
    EXPECT_EQ(psd.compression, floating ? 0 : 1);
    EXPECT_EQ(psd.merged, ExpectedPlanes(written));
    EXPECT_EQ(psd.hasLayer, c.layerCount != 0);
    if (psd.hasLayer) {
        EXPECT_EQ(psd.layer.count, c.layerCount);
        EXPECT_EQ(psd.layer.channelIds, c.ids);
        EXPECT_EQ(psd.layer.planes, psd.merged);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PsdPixelFormats,
    ::testing::Values(
        PixelFormatCase{ifA8R8G8B8, ifA8R8G8B8, 4, 8, 3, -1, {0, 1, 2, -1}},
        PixelFormatCase{ifGray8, ifGray8, 1, 8, 1, 1, {0}},
        PixelFormatCase{ifA8Gray8, ifA8Gray8, 2, 8, 1, -1, {0, -1}},
        PixelFormatCase{ifGray16, ifGray16, 1, 16, 1, 1, {0}},
        PixelFormatCase{ifA16Gray16, ifA16Gray16, 2, 16, 1, -1, {0, -1}},
        PixelFormatCase{ifR16G16B16, ifR16G16B16, 3, 16, 3, 1, {0, 1, 2}},
        PixelFormatCase{ifA16R16G16B16, ifA16R16G16B16, 4, 16, 3, -1, {0, 1, 2, -1}},
        PixelFormatCase{ifIndex8, ifIndex8, 1, 8, 2, 1, {0}},
        // Floating point: raw merged data and no layer.
        PixelFormatCase{ifR32F, ifR32F, 1, 32, 1, 0, {}},
        PixelFormatCase{ifA32R32G32B32F, ifA32R32G32B32F, 4, 32, 3, 0, {}},
        // Converted first.
        PixelFormatCase{ifX8R8G8B8, ifR8G8B8, 3, 8, 3, 1, {0, 1, 2}},
        PixelFormatCase{ifR5G6B5, ifR8G8B8, 3, 8, 3, 1, {0, 1, 2}},
        PixelFormatCase{ifA4R4G4B4, ifA8R8G8B8, 4, 8, 3, -1, {0, 1, 2, -1}},
        PixelFormatCase{ifB16G16R16, ifR16G16B16, 3, 16, 3, 1, {0, 1, 2}},
        PixelFormatCase{ifA16B16G16R16, ifA16R16G16B16, 4, 16, 3, -1, {0, 1, 2, -1}},
        PixelFormatCase{ifGray32, ifGray16, 1, 16, 1, 1, {0}},
        PixelFormatCase{ifA32B32G32R32F, ifA32R32G32B32F, 4, 32, 3, 0, {}},
        PixelFormatCase{ifR16F, ifR32F, 1, 32, 1, 0, {}}),
    [](const ::testing::TestParamInfo<PixelFormatCase>& info) { return std::string(GetFormatName(info.param.input)); });

// Sides over 30,000 pixels are outside the format version written: refused with the cause, never
// written as a file that readers reject. 30,000 itself is written.
TEST_F(PsdWriter, SidesOver30000PixelsAreRefused)
{
    std::vector<uint8_t> out;
    for (auto [w, h] : {std::pair{30001, 1}, std::pair{1, 30001}}) {
        TImageData image;
        NewImageData(w, h, ifR8G8B8, image);
        try {
            psd->WriteImageToMemory({image}, out);
            ADD_FAILURE() << w << "x" << h << " was written";
        } catch (const EImagingError& e) {
            EXPECT_NE(std::string(e.what()).find("at most 30000 pixels"), std::string::npos) << e.what();
        }
    }
    const TImageData widest = MakeRgbImage(30000, 2, 3);
    ASSERT_TRUE(psd->WriteImageToMemory({widest}, out));
    EXPECT_EQ(ParsePsd(out).merged, ExpectedPlanes(widest));
}

namespace {

struct DecoderCase {
    std::string what;
    TImageData image;
    bool layer;
};

std::vector<DecoderCase> DecoderCases()
{
    std::vector<std::pair<std::string, TImageData>> images;
    for (auto [w, h, pattern] : {std::tuple{1, 1, 1u}, std::tuple{3, 2, 2u}, std::tuple{17, 5, 0u}, std::tuple{130, 67, 4u}})
        images.push_back({"R8G8B8 " + std::to_string(w) + "x" + std::to_string(h), MakeRgbImage(w, h, pattern)});
    TImageData runs;   // long runs and stretches without runs
    NewImageData(300, 4, ifR8G8B8, runs);
    for (size_t i = 0; i < runs.Bits.size(); ++i)
        runs.Bits[i] = static_cast<uint8_t>(i % 900 < 400 ? i / 300 : i * 7);
    images.push_back({"R8G8B8 runs", runs});
    TImageData argb = MakeRgbImage(23, 7, 8);
    ConvertImageData(argb, ifA8R8G8B8);
    for (size_t i = 3; i < argb.Bits.size(); i += 4)
        argb.Bits[i] = static_cast<uint8_t>(i * 13);
    images.push_back({"A8R8G8B8", argb});

    std::vector<DecoderCase> cases;
    for (bool layer : {false, true})
        for (const auto& [what, image] : images)
            cases.push_back({what + (layer ? " with layer" : " without layer"), image, layer});
    return cases;
}

// Pillow shows the layers as frames 1, 2, ...
const char* const PillowLayerScript = "import sys\n"
                                      "from PIL import Image\n"
                                      "im = Image.open(sys.argv[1])\n"
                                      "im.seek(1)\n"
                                      "sys.stdout.buffer.write(im.convert(sys.argv[2]).tobytes())\n";

class PsdDecoders : public PsdWriter, public ::testing::WithParamInterface<DecoderCase> {};

} // namespace

TEST_P(PsdDecoders, ReadTheMergedImageAndTheLayer)
{
    if (!HaveImageMagick() && !HavePillow())
        GTEST_SKIP() << "neither ImageMagick nor Pillow is installed";
    const DecoderCase& c = GetParam();
    const TImageData& image = c.image;
    const bool layer = c.layer;
    TempDir dir;
    codec.Options.SetOption(ImagingPSDSaveAsLayer, layer ? 1 : 0);
    const auto file = dir.File("image.psd");
    WriteFile(file, Write(image));
    const bool alpha = image.Format == ifA8R8G8B8;
    const int channels = alpha ? 4 : 3;
    const std::vector<uint16_t> expected = ColourSamples(image);
    if (HaveImageMagick()) {
        const auto decoded = DecodeWithImageMagick(file, channels);
        ASSERT_TRUE(decoded) << "ImageMagick could not read the file";
        EXPECT_EQ(decoded->Width, image.Width);
        EXPECT_EQ(decoded->Height, image.Height);
        if (!alpha) {
            EXPECT_EQ(Compare(decoded->Samples, expected).Max, 0);
        } else {
            // ImageMagick takes merged colours as blended with white where they are
            // transparent, so with the layer colours are compared where the pixel is
            // opaque; without a layer nothing marks the fourth channel as transparency
            // and it reads the colours as they are, fully opaque.
            std::vector<uint16_t> want = expected, got = decoded->Samples;
            for (size_t i = 0; i < want.size(); i += 4) {
                if (!layer) {
                    EXPECT_EQ(got[i + 3], 255);
                    got[i + 3] = want[i + 3];
                } else if (want[i + 3] != 255) {
                    std::copy(want.begin() + i, want.begin() + i + 3, got.begin() + i);
                }
            }
            EXPECT_EQ(Compare(got, want).Max, 0);
        }
        if (layer) {
            const auto layerImage = DecodeWithImageMagick(file, alpha ? 4 : 3, 8, 1);
            ASSERT_TRUE(layerImage) << "ImageMagick could not read the layer";
            EXPECT_EQ(Compare(layerImage->Samples, expected).Max, 0);
        }
    }
    if (HavePillow()) {
        const auto decoded = DecodeWithPillow(file, alpha ? "RGBA" : "RGB");
        ASSERT_TRUE(decoded) << "Pillow could not read the file";
        EXPECT_EQ(decoded->Width, image.Width);
        EXPECT_EQ(decoded->Height, image.Height);
        EXPECT_EQ(Compare(decoded->Samples, expected).Max, 0);
        if (layer) {
            const auto raw = ToolOutput({PythonProgram, "-c", PillowLayerScript, file.string(), alpha ? "RGBA" : "RGB"});
            ASSERT_TRUE(raw) << "Pillow could not read the layer";
            EXPECT_EQ(Compare(Samples(*raw), expected).Max, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Images, PsdDecoders, ::testing::ValuesIn(DecoderCases()), CaseWhat());

// Gray and 16-bit channels through ImageMagick, merged image and layer.
TEST_F(PsdWriter, ImageMagickReadsGrayAndSixteenBitChannels)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    TempDir dir;
    codec.Options.SetOption(ImagingPSDSaveAsLayer, 1);
    TImageData gray = MakeRgbImage(29, 6, 9);
    ConvertImageData(gray, ifGray8);
    TImageData deep = MakeRgbImage(29, 6, 10);
    ConvertImageData(deep, ifR16G16B16);
    for (size_t i = 0; i < deep.Bits.size(); i += 2)
        deep.Bits[i] = static_cast<uint8_t>(i * 3);   // low bytes that 8 bits would lose
    for (const TImageData* image : {&gray, &deep}) {
        SCOPED_TRACE(GetFormatName(image->Format));
        const auto file = dir.File("image.psd");
        WriteFile(file, Write(*image));
        std::vector<uint16_t> expected;
        if (image == &gray) {
            for (uint8_t v : gray.Bits)
                expected.insert(expected.end(), {uint16_t(v * 257), uint16_t(v * 257), uint16_t(v * 257)});
        } else {
            for (size_t i = 0; i < deep.Bits.size(); i += 6)
                for (int k : {4, 2, 0})
                    expected.push_back(static_cast<uint16_t>(deep.Bits[i + k] | deep.Bits[i + k + 1] << 8));
        }
        for (int scene : {0, 1}) {
            SCOPED_TRACE(scene == 0 ? "merged image" : "layer");
            const auto decoded = DecodeWithImageMagick(file, 3, 16, scene);
            ASSERT_TRUE(decoded) << "ImageMagick could not read the file";
            EXPECT_EQ(Compare(decoded->Samples, expected).Max, 0);
        }
    }
}
