// SPDX-License-Identifier: MIT
// The pixel-format catalogue: every entry, its sizes and the bit fields of the packed formats.
#include "codec/PixelAccess.h"
#include "codec/PixelFormats.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace imaging;

namespace {

struct CatalogueRow {
    TImageFormat id;
    const char* name;
    int bytes;
    int channels;
    const char* flags;   // g gray, a alpha, f float, p packed, s swapped, i indexed, x special
    TImageFormat twin;
    TImageFormat nearest;
};

const CatalogueRow Rows[] = {
    {10, "Index8", 1, 1, "i", 0, 0},
    {40, "Gray8", 1, 1, "g", 0, 0},
    {41, "A8Gray8", 2, 2, "ga", 0, 0},
    {42, "Gray16", 2, 1, "g", 0, 0},
    {43, "Gray32", 4, 1, "g", 0, 0},
    {44, "Gray64", 8, 1, "g", 0, 0},
    {45, "A16Gray16", 4, 2, "ga", 0, 0},
    {80, "X5R1G1B1", 1, 3, "p", 0, 0},
    {81, "R3G3B2", 1, 3, "p", 0, 0},
    {82, "R5G6B5", 2, 3, "p", 0, 0},
    {83, "A1R5G5B5", 2, 4, "pa", 0, 0},
    {84, "A4R4G4B4", 2, 4, "pa", 0, 0},
    {85, "X1R5G5B5", 2, 3, "p", 0, 0},
    {86, "X4R4G4B4", 2, 3, "p", 0, 0},
    {87, "R8G8B8", 3, 3, "", 0, 0},
    {88, "A8R8G8B8", 4, 4, "a", 0, 0},
    {89, "X8R8G8B8", 4, 3, "", 0, 0},
    {90, "R16G16B16", 6, 3, "", 92, 0},
    {91, "A16R16G16B16", 8, 4, "a", 93, 0},
    {92, "B16G16R16", 6, 3, "s", 90, 0},
    {93, "A16B16G16R16", 8, 4, "as", 91, 0},
    {170, "R32F", 4, 1, "f", 0, 0},
    {171, "A32R32G32B32F", 16, 4, "fa", 172, 0},
    {172, "A32B32G32R32F", 16, 4, "fas", 171, 0},
    {173, "R16F", 2, 1, "f", 0, 0},
    {174, "A16R16G16B16F", 8, 4, "fa", 175, 0},
    {175, "A16B16G16R16F", 8, 4, "fas", 174, 0},
    {220, "DXT1", 0, 4, "xa", 0, 88},
    {221, "DXT3", 0, 4, "xa", 0, 88},
    {222, "DXT5", 0, 4, "xa", 0, 88},
    {223, "BTC", 0, 1, "x", 0, 40},
    {224, "ATI1N", 0, 1, "x", 0, 40},
    {225, "ATI2N", 0, 2, "x", 0, 88},
};

bool Has(const char* flags, char flag)
{
    return std::string(flags).find(flag) != std::string::npos;
}

} // namespace

namespace {

class Catalogue : public ::testing::TestWithParam<CatalogueRow> {};

} // namespace

TEST_P(Catalogue, HoldsTheEntryWithItsLayoutAndFlags)
{
    const CatalogueRow& row = GetParam();
    const TImageFormatInfo* info = GetFormatInfo(row.id);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->Format, row.id);
    EXPECT_STREQ(info->Name, row.name);
    EXPECT_STREQ(GetFormatName(row.id), row.name);
    EXPECT_EQ(info->BytesPerPixel, row.bytes);
    EXPECT_EQ(info->ChannelCount, row.channels);
    EXPECT_EQ(info->HasGrayChannel, Has(row.flags, 'g'));
    EXPECT_EQ(info->HasAlphaChannel, Has(row.flags, 'a'));
    EXPECT_EQ(info->IsFloatingPoint, Has(row.flags, 'f'));
    EXPECT_EQ(info->UsePixelFormat, Has(row.flags, 'p'));
    EXPECT_EQ(info->IsRBSwapped, Has(row.flags, 's'));
    EXPECT_EQ(info->IsIndexed, Has(row.flags, 'i'));
    EXPECT_EQ(info->IsSpecial, Has(row.flags, 'x'));
    EXPECT_EQ(info->PaletteEntries, info->IsIndexed ? 256 : 0);
    EXPECT_EQ(info->RBSwapFormat, row.twin);
    EXPECT_EQ(info->SpecialNearestFormat, row.nearest);
}

INSTANTIATE_TEST_SUITE_P(Rows, Catalogue, ::testing::ValuesIn(Rows),
                         [](const ::testing::TestParamInfo<CatalogueRow>& info) { return std::string(info.param.name); });

TEST(PixelFormats, IdsWithoutAnEntryAreInvalid)
{
    int valid = 0;
    for (int id = -300; id <= 300; ++id)
        valid += IsValidFormat(id) ? 1 : 0;
    EXPECT_EQ(valid, static_cast<int>(std::size(Rows)));
    for (TImageFormat id : {0, 1, 11, 39, 46, 94, 169, 176, 219, 226, -87, std::numeric_limits<int32_t>::min()}) {
        EXPECT_EQ(GetFormatInfo(id), nullptr) << id;
        EXPECT_STREQ(GetFormatName(id), "Unknown and unsupported format") << id;
    }
}

namespace {

struct Fields {
    TImageFormat id;
    uint32_t a, r, g, b;
};

class PackedFormats : public ::testing::TestWithParam<Fields> {};

} // namespace

TEST_P(PackedFormats, DescribeTheirBitFields)
{
    const Fields& f = GetParam();
    const TImageFormatInfo& info = *GetFormatInfo(f.id);
    EXPECT_EQ(info.A.mask, f.a);
    EXPECT_EQ(info.R.mask, f.r);
    EXPECT_EQ(info.G.mask, f.g);
    EXPECT_EQ(info.B.mask, f.b);
    // Shift and width follow from each mask.
    for (const TPixelBitField* field : {&info.A, &info.R, &info.G, &info.B}) {
        if (field->mask == 0) {
            EXPECT_EQ(field->bits, 0);
            continue;
        }
        EXPECT_EQ(((1u << field->bits) - 1) << field->shift, field->mask);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PackedFormats,
    ::testing::Values(Fields{ifX5R1G1B1, 0, 0x04, 0x02, 0x01}, Fields{ifR3G3B2, 0, 0xE0, 0x1C, 0x03},
                      Fields{ifR5G6B5, 0, 0xF800, 0x07E0, 0x001F}, Fields{ifA1R5G5B5, 0x8000, 0x7C00, 0x03E0, 0x001F},
                      Fields{ifA4R4G4B4, 0xF000, 0x0F00, 0x00F0, 0x000F}, Fields{ifX1R5G5B5, 0, 0x7C00, 0x03E0, 0x001F},
                      Fields{ifX4R4G4B4, 0, 0x0F00, 0x00F0, 0x000F}),
    [](const ::testing::TestParamInfo<Fields>& info) { return std::string(GetFormatName(info.param.id)); });

TEST(PixelFormats, ShiftAndWidthOfASixBitField)
{
    EXPECT_EQ(GetFormatInfo(ifR5G6B5)->G.shift, 5);
    EXPECT_EQ(GetFormatInfo(ifR5G6B5)->G.bits, 6);
}

TEST(PixelFormats, PixelsSizeIsComputedIn64BitsWithoutOverflow)
{
    const TImageFormatInfo& rgb = *GetFormatInfo(ifR8G8B8);
    EXPECT_EQ(rgb.GetPixelsSize(3, 2), 18);
    EXPECT_EQ(rgb.GetPixelsSize(0, 5), 0);
    EXPECT_EQ(rgb.GetPixelsSize(-3, 2), 0);
    EXPECT_EQ(rgb.GetPixelsSize(100000, 100000), 30000000000LL);

    const int32_t max = std::numeric_limits<int32_t>::max();
    const TImageFormatInfo& widest = *GetFormatInfo(ifA32B32G32R32F);
    EXPECT_GT(widest.GetPixelsSize(max, max), int64_t{max});   // saturates instead of wrapping

    // Block-compressed formats count whole 4 x 4 blocks.
    EXPECT_EQ(GetFormatInfo(ifDXT1)->GetPixelsSize(4, 4), 8);
    EXPECT_EQ(GetFormatInfo(ifDXT1)->GetPixelsSize(5, 5), 32);
    EXPECT_EQ(GetFormatInfo(ifDXT5)->GetPixelsSize(8, 4), 32);
    EXPECT_EQ(GetFormatInfo(ifATI1N)->GetPixelsSize(1, 1), 8);
}

TEST(PixelFormats, HalfPrecisionConversion)
{
    struct Pair {
        float value;
        uint16_t half;
    };
    const Pair exact[] = {{0.0f, 0x0000}, {1.0f, 0x3C00}, {0.5f, 0x3800}, {-2.0f, 0xC000},
                          {65504.0f, 0x7BFF}, {5.9604645e-8f, 0x0001}, {6.1035156e-5f, 0x0400}};
    for (const Pair& p : exact) {
        EXPECT_EQ(FloatToHalf(p.value), p.half) << p.value;
        EXPECT_EQ(HalfToFloat(p.half), p.value) << p.half;
    }
    EXPECT_EQ(FloatToHalf(1.0f + 1.0f / 2048), 0x3C00);         // halfway: to even
    EXPECT_EQ(FloatToHalf(1.0f + 3.0f / 2048), 0x3C02);         // halfway: to even, upwards
    EXPECT_EQ(FloatToHalf(1.0e6f), 0x7C00);                     // overflow: infinity
    EXPECT_EQ(FloatToHalf(1.0e-9f), 0x0000);                    // underflow: zero
    for (int v = 0; v <= 255; ++v) {                            // every 8-bit level survives
        const float f = static_cast<float>(v) / 255.0f;
        EXPECT_NEAR(HalfToFloat(FloatToHalf(f)) * 255.0f, v, 0.2f);
    }
}
