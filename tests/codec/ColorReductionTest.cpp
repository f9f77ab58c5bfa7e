// SPDX-License-Identifier: MIT
// Median-cut colour reduction: exact colours for small palettes, the split and sort rules, the
// channel mask, and the relation between palette, indices and pixels for many colours.
#include "support/codec/CodecFixtures.h"

#include "codec/CodecOptions.h"
#include "codec/ColorReduction.h"
#include "codec/FormatRegistry.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace imaging;
using namespace codectest;

namespace {

struct Rgb {
    uint8_t r, g, b;
    auto operator<=>(const Rgb&) const = default;
};

// A one-row R8G8B8 image holding each colour `count` times, in the order given.
TImageData Row(const std::vector<std::pair<Rgb, int>>& colours)
{
    int width = 0;
    for (const auto& c : colours)
        width += c.second;
    TImageData image;
    NewImageData(width, 1, ifR8G8B8, image);
    uint8_t* p = image.Bits.data();
    for (const auto& [rgb, count] : colours)
        for (int i = 0; i < count; ++i, p += 3) {
            p[0] = rgb.b;
            p[1] = rgb.g;
            p[2] = rgb.r;
        }
    return image;
}

Rgb PixelAt(const TImageData& image, size_t i)
{
    const uint8_t* p = image.Bits.data() + 3 * i;
    return {p[2], p[1], p[0]};
}

Rgb ColourOf(const TColor32Rec& c)
{
    return {c.R, c.G, c.B};
}

struct Reduced {
    std::vector<TColor32Rec> palette;
    std::vector<uint8_t> indices;
};

Reduced Reduce(const TImageData& image, int maxColors, uint8_t mask = 255)
{
    Reduced r;
    r.indices.assign(static_cast<size_t>(image.Width) * image.Height, 0xEE);
    r.palette = ReduceColorsMedianCut(image, maxColors, mask, r.indices.data(), 1);
    return r;
}

const TColor32Rec OpaqueBlack{0, 0, 0, 255};

} // namespace

TEST(ColorReduction, FewColoursKeepTheirExactValuesMostFrequentFirst)
{
    // One colour: entry 0 is that colour, every other entry opaque black, every index 0.
    TImageData single = Row({{{12, 34, 56}, 7}});
    ASSERT_TRUE(ConvertImageData(single, ifIndex8));
    ASSERT_EQ(single.Palette.size(), 256u);
    EXPECT_EQ(single.Palette[0], (TColor32Rec{56, 34, 12, 255}));
    for (size_t i = 1; i < 256; ++i)
        EXPECT_EQ(single.Palette[i], OpaqueBlack) << i;
    EXPECT_EQ(single.Bits, std::vector<uint8_t>(7, 0));
    EXPECT_EQ(single.Size, 7);

    // Black text on white: white first, then black, then padding.
    TImageData text = Row({{{255, 255, 255}, 3}, {{0, 0, 0}, 2}, {{255, 255, 255}, 6}});
    ASSERT_TRUE(ConvertImageData(text, ifIndex8));
    EXPECT_EQ(text.Palette[0], (TColor32Rec{255, 255, 255, 255}));
    EXPECT_EQ(text.Palette[1], OpaqueBlack);
    EXPECT_EQ(text.Bits, (std::vector<uint8_t>{0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0}));

    // Exactly 256 distinct colours with distinct counts: every colour kept, sorted by frequency.
    std::vector<std::pair<Rgb, int>> colours;
    for (int i = 0; i < 256; ++i)
        colours.push_back({{static_cast<uint8_t>(i), static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i)},
                           1 + (i * 37) % 256});   // a permutation of the counts 1..256
    const TImageData many = Row(colours);
    TImageData indexed = many;
    ASSERT_TRUE(ConvertImageData(indexed, ifIndex8));
    std::map<Rgb, int> countOf;
    for (const auto& [rgb, count] : colours)
        countOf[rgb] = count;
    for (size_t i = 0; i < indexed.Bits.size(); ++i)
        ASSERT_EQ(ColourOf(indexed.Palette[indexed.Bits[i]]), PixelAt(many, i)) << i;
    for (size_t i = 0; i < 256; ++i)
        EXPECT_EQ(countOf[ColourOf(indexed.Palette[i])], 256 - static_cast<int>(i)) << i;
}

// Hand-worked reductions. Red spans 100 and green 60, but green's weight (1202 against 612)
// makes it the larger weighted extent, so green is split first, at (0 + 60) / 2 = 30.
TEST(ColorReduction, SplitsByWeightedExtentAveragesRoundDownAndSortsByCount)
{
    const TImageData image = Row({{{0, 0, 0}, 2}, {{100, 0, 0}, 1}, {{0, 60, 0}, 5}});
    struct Case {
        int maxColors;
        std::vector<TColor32Rec> palette;
        std::vector<uint8_t> indices;
    };
    const std::vector<Case> cases = {
        // Two boxes: {black x2, red x1} averages to red 100/3 = 33; green (5 pixels) comes first.
        {2, {{0, 60, 0, 255}, {0, 0, 33, 255}}, {1, 1, 1, 0, 0, 0, 0, 0}},
        // Three: the red box is split next; counts 5, 2, 1.
        {3, {{0, 60, 0, 255}, {0, 0, 0, 255}, {0, 0, 100, 255}}, {1, 1, 2, 0, 0, 0, 0, 0}},
        // More boxes than colours: splitting stops, the rest is opaque black.
        {6, {{0, 60, 0, 255}, {0, 0, 0, 255}, {0, 0, 100, 255}, OpaqueBlack, OpaqueBlack, OpaqueBlack},
         {1, 1, 2, 0, 0, 0, 0, 0}},
        // The count is limited to 2..4096.
        {1, {{0, 60, 0, 255}, {0, 0, 33, 255}}, {1, 1, 1, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.maxColors);
        const Reduced r = Reduce(image, c.maxColors);
        EXPECT_EQ(r.palette, c.palette);
        EXPECT_EQ(r.indices, c.indices);
    }

    // Equal weighted extents (red 39 * 612 = blue 102 * 234): the first channel in the order
    // alpha, red, green, blue is split.
    const TImageData tie = Row({{{0, 0, 0}, 1}, {{39, 0, 0}, 1}, {{0, 0, 102}, 3}});
    const Reduced r = Reduce(tie, 2);
    // Red split at 19: {black, blue} against {red}; a blue split would have kept black with red.
    EXPECT_EQ(r.palette[0], (TColor32Rec{76, 0, 0, 255}));   // blue (0 + 3 * 102) / 4
    EXPECT_EQ(r.palette[1], (TColor32Rec{0, 0, 39, 255}));
    EXPECT_EQ(r.indices, (std::vector<uint8_t>{0, 1, 0, 0, 0}));
}

TEST(ColorReduction, ChannelMaskMergesColoursAndWidensTheBoxes)
{
    // Masked with 0xF0, red 0x12 and 0x1F count as 0x10, and 0x25 as 0x20.
    const TImageData image = Row({{{0x12, 0x03, 0}, 1}, {{0x25, 0, 0}, 1}, {{0x1F, 0, 0x0E}, 1}});
    const Reduced r = Reduce(image, 256, 0xF0);
    // Palette entries are box averages of masked values, alpha included (255 & 0xF0).
    EXPECT_EQ(r.palette[0], (TColor32Rec{0, 0, 0x10, 0xF0}));
    EXPECT_EQ(r.palette[1], (TColor32Rec{0, 0, 0x20, 0xF0}));
    EXPECT_EQ(r.palette[2], OpaqueBlack);
    // The unmasked pixels fall into the widened boxes.
    EXPECT_EQ(r.indices, (std::vector<uint8_t>{0, 1, 0}));

    // ConvertImageData takes the mask from option 128 of the process-wide table.
    ASSERT_TRUE(SetCodecOption(ImagingColorReductionMask, 0xF0));
    TImageData converted = image;
    const bool ok = ConvertImageData(converted, ifIndex8);
    SetCodecOption(ImagingColorReductionMask, 255);
    ASSERT_TRUE(ok);
    EXPECT_EQ(converted.Palette[0], r.palette[0]);
    EXPECT_EQ(converted.Bits, r.indices);
}

namespace {

struct PictureCase {
    int width, height;
    unsigned pattern;
};

class ManyColours : public ::testing::TestWithParam<PictureCase> {};

} // namespace

// With more colours than entries every entry is used, entries are ordered by the number of
// pixels they take, and each is the rounded-down average of exactly the pixels mapped to it.
TEST_P(ManyColours, GiveBoxAveragesOfTheirPixels)
{
    const auto [w, h, pattern] = GetParam();
    const TImageData image = MakeRgbImage(w, h, pattern);
    TImageData indexed = image;
    ASSERT_TRUE(ConvertImageData(indexed, ifIndex8));
    ASSERT_EQ(indexed.Format, ifIndex8);

    std::vector<uint64_t> count(256), sumR(256), sumG(256), sumB(256);
    for (size_t i = 0; i < indexed.Bits.size(); ++i) {
        const uint8_t k = indexed.Bits[i];
        const Rgb p = PixelAt(image, i);
        ++count[k];
        sumR[k] += p.r;
        sumG[k] += p.g;
        sumB[k] += p.b;
    }
    for (size_t k = 0; k < 256; ++k) {
        ASSERT_GT(count[k], 0u) << k;
        if (k > 0) {
            EXPECT_LE(count[k], count[k - 1]) << k;
        }
        EXPECT_EQ(indexed.Palette[k], (TColor32Rec{static_cast<uint8_t>(sumB[k] / count[k]),
                                                   static_cast<uint8_t>(sumG[k] / count[k]),
                                                   static_cast<uint8_t>(sumR[k] / count[k]), 255}))
            << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, ManyColours,
                         ::testing::Values(PictureCase{257, 129, 0u}, PictureCase{64, 64, 5u}, PictureCase{300, 200, 0u}),
                         [](const ::testing::TestParamInfo<PictureCase>& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height) +
                                    "_pattern_" + std::to_string(info.param.pattern);
                         });
