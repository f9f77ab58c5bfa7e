// SPDX-License-Identifier: MIT
// The image data record: creation, validity, cloning, release and its description.
#include "codec/ImageData.h"
#include "codec/ImagingError.h"

#include <gtest/gtest.h>

#include <limits>
#include <regex>

using namespace imaging;

namespace {

TImageData Rgb(int width, int height)
{
    TImageData image;
    NewImageData(width, height, ifR8G8B8, image);
    for (size_t i = 0; i < image.Bits.size(); ++i)
        image.Bits[i] = static_cast<uint8_t>(i * 7 + 1);
    return image;
}

bool IsEmpty(const TImageData& image)
{
    return image.Width == 0 && image.Height == 0 && image.Format == ifUnknown && image.Size == 0 &&
           image.Bits.empty() && image.Palette.empty();
}

std::string CreationError(int width, int height, TImageFormat format)
{
    TImageData image;
    try {
        NewImageData(width, height, format, image);
    } catch (const EImagingError& e) {
        return e.what();
    }
    return "no error";
}

} // namespace

TEST(ImageData, NewImageDataMakesAZeroFilledValidRecord)
{
    TImageData image;
    ASSERT_TRUE(NewImageData(3, 2, ifR8G8B8, image));
    EXPECT_EQ(image.Width, 3);
    EXPECT_EQ(image.Height, 2);
    EXPECT_EQ(image.Format, ifR8G8B8);
    EXPECT_EQ(image.Size, 18);
    EXPECT_EQ(image.Bits, std::vector<uint8_t>(18, 0));
    EXPECT_TRUE(image.Palette.empty());
    EXPECT_EQ(image.RowBytes(), 9u);
    EXPECT_EQ(image.Row(1), image.Bits.data() + 9);
    EXPECT_TRUE(TestImage(image));

    ASSERT_TRUE(NewImageData(5, 1, ifIndex8, image));   // replaces the earlier record
    EXPECT_EQ(image.Size, 5);
    EXPECT_EQ(image.Palette, std::vector<TColor32Rec>(256));
    EXPECT_TRUE(TestImage(image));
}

TEST(ImageData, ZeroWidthOrHeightLeavesTheRecordEmpty)
{
    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{0, 0}}) {
        TImageData image = Rgb(2, 2);
        EXPECT_FALSE(NewImageData(w, h, ifR8G8B8, image));
        EXPECT_TRUE(IsEmpty(image));
        EXPECT_FALSE(TestImage(image));
        EXPECT_FALSE(ConvertImageData(image, ifGray8));
        EXPECT_TRUE(IsEmpty(image));
    }
}

TEST(ImageData, InvalidParametersAndHugeSizesRaise)
{
    const int32_t max = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(CreationError(-1, 2, ifR8G8B8), "Error while creating image data with params: Width=-1 Height=2 Format=R8G8B8.");
    EXPECT_EQ(CreationError(2, -7, ifGray8), "Error while creating image data with params: Width=2 Height=-7 Format=Gray8.");
    EXPECT_EQ(CreationError(2, 2, 0), "Error while creating image data with params: Width=2 Height=2 Format=Unknown and unsupported format.");
    EXPECT_EQ(CreationError(2, 2, 226), "Error while creating image data with params: Width=2 Height=2 Format=Unknown and unsupported format.");
    // Sizes beyond 32 bits are refused before anything is allocated.
    EXPECT_EQ(CreationError(100000, 100000, ifR8G8B8),
              "Error while creating image data with params: Width=100000 Height=100000 Format=R8G8B8.");
    EXPECT_EQ(CreationError(max, max, ifA32B32G32R32F),
              "Error while creating image data with params: Width=2147483647 Height=2147483647 Format=A32B32G32R32F.");
    EXPECT_EQ(CreationError(65536, 32768, ifGray8),   // exactly 2^31 bytes
              "Error while creating image data with params: Width=65536 Height=32768 Format=Gray8.");

    // A failed creation leaves the record as it was.
    TImageData image = Rgb(2, 2);
    const TImageData before = image;
    EXPECT_THROW(NewImageData(100000, 100000, ifR8G8B8, image), EImagingError);
    EXPECT_EQ(image.Bits, before.Bits);
    EXPECT_EQ(image.Size, before.Size);
}

TEST(ImageData, TestImageRejectsInconsistentRecords)
{
    const TImageData good = Rgb(3, 2);
    ASSERT_TRUE(TestImage(good));
    struct Case {
        const char* what;
        void (*spoil)(TImageData&);
    };
    const Case cases[] = {
        {"size off by one", [](TImageData& i) { i.Size = 17; }},
        {"buffer shorter than size", [](TImageData& i) { i.Bits.pop_back(); }},
        {"buffer longer than size", [](TImageData& i) { i.Bits.push_back(0); }},
        {"unknown format", [](TImageData& i) { i.Format = 11; }},
        {"format of another size", [](TImageData& i) { i.Format = ifA8R8G8B8; }},
        {"negative width", [](TImageData& i) { i.Width = -3; i.Height = -2; }},
        {"zero height", [](TImageData& i) { i.Height = 0; i.Size = 0; i.Bits.clear(); }},
        {"indexed without palette", [](TImageData& i) { i.Format = ifIndex8; i.Width = 9; i.Height = 2; }},
    };
    for (const Case& c : cases) {
        TImageData image = good;
        c.spoil(image);
        EXPECT_FALSE(TestImage(image)) << c.what;
    }
}

TEST(ImageData, CloneIsADeepCopy)
{
    TImageData source;
    NewImageData(4, 3, ifIndex8, source);
    source.Bits[5] = 9;
    source.Palette[9] = {1, 2, 3, 255};

    TImageData copy = Rgb(1, 1);
    ASSERT_TRUE(CloneImageData(source, copy));
    EXPECT_EQ(copy.Width, 4);
    EXPECT_EQ(copy.Format, ifIndex8);
    EXPECT_EQ(copy.Bits, source.Bits);
    EXPECT_EQ(copy.Palette, source.Palette);
    EXPECT_NE(copy.Bits.data(), source.Bits.data());
    copy.Bits[5] = 0;
    copy.Palette[9].R = 0;
    EXPECT_EQ(source.Bits[5], 9);
    EXPECT_EQ(source.Palette[9].R, 3);

    EXPECT_TRUE(CloneImageData(source, source));   // a record cloned onto itself stays intact
    EXPECT_EQ(source.Bits[5], 9);

    TImageData invalid = source;
    invalid.Size = 1;
    TImageData dest = Rgb(2, 2);
    const TImageData before = dest;
    EXPECT_FALSE(CloneImageData(invalid, dest));
    EXPECT_EQ(dest.Bits, before.Bits);
}

TEST(ImageData, ReleaseAndClearEmptyValidAndInvalidRecords)
{
    TImageData image = Rgb(3, 3);
    ReleaseImageData(image);
    EXPECT_TRUE(IsEmpty(image));

    image = Rgb(3, 3);
    image.Size = 1;   // not valid: only cleared
    ReleaseImageData(image);
    EXPECT_TRUE(IsEmpty(image));

    image = Rgb(3, 3);
    ClearImageData(image);
    EXPECT_TRUE(IsEmpty(image));
}

TEST(ImageData, ImageToStrDescribesTheRecord)
{
    const std::string hex = "[0-9A-F]{" + std::to_string(sizeof(void*) * 2) + "}";
    TImageData small = Rgb(3, 2);
    EXPECT_TRUE(std::regex_match(
        ImageToStr(small),
        std::regex("Image @" + hex + " info: Width = 3px, Height = 2px, Format = R8G8B8, Size = 18 B, Bits @" +
                   hex + ", Palette @0+\\.")));

    TImageData edge;
    NewImageData(8192, 1, ifGray8, edge);   // 8192 bytes is still given in bytes
    EXPECT_NE(ImageToStr(edge).find("Size = 8,192 B,"), std::string::npos) << ImageToStr(edge);

    TImageData large;
    NewImageData(100, 100, ifR8G8B8, large);   // 30000 bytes
    EXPECT_NE(ImageToStr(large).find("Format = R8G8B8, Size = 29 KiB,"), std::string::npos) << ImageToStr(large);

    TImageData unknown;
    unknown.Format = 5;
    EXPECT_NE(ImageToStr(unknown).find("Format = Unknown and unsupported format"), std::string::npos);
}
