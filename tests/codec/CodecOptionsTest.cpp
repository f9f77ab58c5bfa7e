// SPDX-License-Identifier: MIT
// The option table: defaults bound by the writers, clamps, growth and unbound ids.
#include "codec/CodecOptions.h"
#include "codec/FormatRegistry.h"

#include <gtest/gtest.h>

#include <map>

using namespace imaging;

TEST(CodecOptions, EveryOptionHasItsDefaultAndNoOtherIdIsBound)
{
    TImaging codec;
    const std::map<int32_t, int32_t> defaults = {
        {10, 90}, {11, 0}, {12, -1}, {13, 0}, {14, 0}, {15, 0}, {16, 0}, {17, 0}, {18, 0}, {19, 0},
        {20, 1}, {21, 1}, {25, 5}, {26, 5}, {28, 0}, {29, 0}, {30, 5}, {31, 5}, {32, 90}, {33, 0},
        {40, 0}, {41, 5}, {42, 5}, {43, 90}, {44, 0}, {50, -1}, {51, -1}, {55, 80},
        {56, 0},   // JPEG 2000's code-stream flag; the GIF writer's later binding of 56 failed
        {57, 0}, {65, 1}, {70, -1}, {128, 255}, {129, 0}, {130, 0}, {131, 1},
    };
    for (int32_t id = -5; id < 600; ++id) {
        const auto it = defaults.find(id);
        EXPECT_EQ(codec.Options.GetOption(id), it == defaults.end() ? InvalidOption : it->second) << "id " << id;
    }
    EXPECT_EQ(InvalidOption, -2147483647);
    EXPECT_EQ(codec.Options.Capacity(), 256u);
}

TEST(CodecOptions, CoreOptionsAreClampedWhenSet)
{
    TImaging codec;
    struct Case {
        int32_t id, value, stored;
    };
    const Case cases[] = {
        {128, 77, 77},  {128, -5, 0},   {128, 300, 255},
        {129, 87, 87},  {129, 11, 0},   {129, 999, 0},   {129, -1, 0},
        {130, 40, 40},  {130, 226, 0},
        {131, 4, 4},    {131, -1, 0},   {131, 10, 9},
        {10, 150, 150}, {10, 0, 0},     // writer options reach the table unchanged
        {56, 1, 1},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(codec.Options.SetOption(c.id, c.value));
        EXPECT_EQ(codec.Options.GetOption(c.id), c.stored) << c.id << " set to " << c.value;
    }
    EXPECT_EQ(codec.Registry.ColorReductionMask, 255);   // last value set for 128
    EXPECT_EQ(codec.Registry.SaveOverrideFormat, 0);
}

TEST(CodecOptions, UnboundIdsCannotBeSet)
{
    TImaging codec;
    for (int32_t id : {0, 9, 22, 127, 132, 255, 256, 5000, -1}) {
        EXPECT_FALSE(codec.Options.SetOption(id, 1)) << id;
        EXPECT_EQ(codec.Options.GetOption(id), InvalidOption) << id;
    }
}

TEST(CodecOptions, BindingGrowsTheTableAndKeepsTheFirstBinding)
{
    TOptionTable table;
    int32_t first = 7, second = 8, high = 3;
    EXPECT_TRUE(table.RegisterOption(10, &first));
    EXPECT_FALSE(table.RegisterOption(10, &second));
    EXPECT_EQ(table.GetOption(10), 7);
    EXPECT_TRUE(table.SetOption(10, 42));
    EXPECT_EQ(first, 42);
    EXPECT_EQ(second, 8);

    EXPECT_FALSE(table.RegisterOption(-1, &second));
    EXPECT_EQ(table.Capacity(), 256u);
    EXPECT_TRUE(table.RegisterOption(300, &high));
    EXPECT_EQ(table.Capacity(), 556u);
    EXPECT_EQ(table.GetOption(300), 3);
    EXPECT_EQ(table.GetOption(555), InvalidOption);
    EXPECT_TRUE(table.RegisterOption(555, &second));
    EXPECT_EQ(table.Capacity(), 556u);
    EXPECT_TRUE(table.RegisterOption(556, &second) && table.Capacity() == 812u);
}

TEST(CodecOptions, ProcessWideCodecCarriesTheOptions)
{
    const int32_t saved = GetCodecOption(ImagingJpegQuality);
    EXPECT_TRUE(SetCodecOption(ImagingJpegQuality, 55));
    EXPECT_EQ(GetCodecOption(ImagingJpegQuality), 55);
    EXPECT_TRUE(SetCodecOption(ImagingJpegQuality, saved));
    EXPECT_FALSE(SetCodecOption(1000, 1));
    EXPECT_EQ(&Imaging(), &Imaging());
}
