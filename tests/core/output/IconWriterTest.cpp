// SPDX-License-Identifier: MIT
// Icon path: the file layout byte for byte, the transparency mask, .cur names, file names in full
// Unicode, size limits, and decoding by ImageMagick and Pillow.
#include "codec/ImageData.h"
#include "codec/ImagingError.h"
#include "codec/formats/ico/IconFileFormat.h"
#include "core/output/BitmapExchange.h"
#include "core/output/StoreImage.h"
#include "core/render/Renderer.h"
#include "core/settings/SettingsModel.h"
#include "support/codec/CodecFixtures.h"
#include "support/codec/ExternalDecoders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>

using namespace qp;
using imaging::BuildIconFile;
using imaging::TImageData;
using codectest::LE16;
using codectest::LE32;

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// An R8G8B8 record from rows of colours, top row first.
TImageData Picture(const std::vector<std::vector<Rgb>>& rows)
{
    TImageData image;
    imaging::NewImageData(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), imaging::ifR8G8B8,
                          image);
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x) {
            uint8_t* p = image.Row(static_cast<int>(y)) + 3 * x;
            p[0] = rows[y][x].b;
            p[1] = rows[y][x].g;
            p[2] = rows[y][x].r;
        }
    return image;
}

TImageData Uniform(int width, int height, Rgb c)
{
    return Picture(std::vector<std::vector<Rgb>>(static_cast<size_t>(height),
                                                 std::vector<Rgb>(static_cast<size_t>(width), c)));
}

std::vector<unsigned char> ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    return {bytes.begin(), bytes.end()};
}

// What an icon of the record shows: the colour, opaque, except where the bottom-left pixel's
// colour is, which is transparent (and reads back as all zero).
std::vector<unsigned char> ExpectedRgba(const TImageData& image)
{
    const uint8_t* corner = image.Row(image.Height - 1);
    std::vector<unsigned char> out;
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            const uint8_t* p = image.Row(y) + 3 * x;
            if (p[0] == corner[0] && p[1] == corner[1] && p[2] == corner[2])
                out.insert(out.end(), {0, 0, 0, 0});
            else
                out.insert(out.end(), {p[2], p[1], p[0], 255});
        }
    return out;
}

const Rgb White{255, 255, 255}, Black{0, 0, 0}, Red{255, 0, 0}, Blue{0, 0, 255}, NearWhite{254, 255, 255};

} // namespace

namespace {

struct SizeCase {
    int width, height;
    uint8_t entryWidth, entryHeight;
    uint32_t maskRowBytes;
};

std::string SizeName(const ::testing::TestParamInfo<SizeCase>& info)
{
    return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
}

class IconLayout : public ::testing::TestWithParam<SizeCase> {};
class LargeIcons : public ::testing::TestWithParam<SizeCase> {};

} // namespace

TEST_P(IconLayout, DirectoryEntryAndHeader)
{
    const SizeCase& c = GetParam();
    const std::vector<unsigned char> f = BuildIconFile(Uniform(c.width, c.height, Red));
    const uint32_t colourBytes = static_cast<uint32_t>(c.width * c.height * 4);
    const uint32_t dataSize = 40 + colourBytes + c.maskRowBytes * static_cast<uint32_t>(c.height);
    ASSERT_EQ(f.size(), 22 + dataSize);
    // Directory and entry: the word after the sizes holds planes x bits (32), the next two are 0.
    const std::vector<unsigned char> head(f.begin(), f.begin() + 14);
    EXPECT_EQ(head, (std::vector<unsigned char>{0, 0, 1, 0, 1, 0, c.entryWidth, c.entryHeight, 32, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LE32(f, 14), dataSize);
    EXPECT_EQ(LE32(f, 18), 22u);
    // Colour header: height doubled, image size of the colour bits alone.
    EXPECT_EQ(LE32(f, 22), 40u);
    EXPECT_EQ(LE32(f, 26), static_cast<uint32_t>(c.width));
    EXPECT_EQ(LE32(f, 30), static_cast<uint32_t>(2 * c.height));
    EXPECT_EQ(LE16(f, 34), 1);
    EXPECT_EQ(LE16(f, 36), 32);
    EXPECT_EQ(LE32(f, 38), 0u);
    EXPECT_EQ(LE32(f, 42), colourBytes);
    for (size_t pos : {46, 50, 54, 58})
        EXPECT_EQ(LE32(f, pos), 0u) << pos;
}

// Mask rows are padded to 4 bytes.
INSTANTIATE_TEST_SUITE_P(Sizes, IconLayout,
                         ::testing::Values(SizeCase{1, 1, 1, 1, 4}, SizeCase{255, 255, 255, 255, 32},
                                           SizeCase{33, 2, 33, 2, 8}),
                         SizeName);

// A side of 256 or more is 0 in the entry (never its low 8 bits: 300 is not 44), and the image is
// a PNG stream that carries the true size.
TEST_P(LargeIcons, AreZeroInTheEntryAndStoredAsPng)
{
    const SizeCase& c = GetParam();
    const std::vector<unsigned char> f = BuildIconFile(Uniform(c.width, c.height, Red));
    const std::vector<unsigned char> head(f.begin(), f.begin() + 14);
    EXPECT_EQ(head, (std::vector<unsigned char>{0, 0, 1, 0, 1, 0, c.entryWidth, c.entryHeight, 32, 0, 0, 0, 0, 0}));
    EXPECT_EQ(LE32(f, 14), f.size() - 22);
    EXPECT_EQ(LE32(f, 18), 22u);
    const QImage png = QImage::fromData(f.data() + 22, static_cast<int>(f.size() - 22), "PNG");
    EXPECT_EQ(png.size(), QSize(c.width, c.height));
}

INSTANTIATE_TEST_SUITE_P(Sizes, LargeIcons,
                         ::testing::Values(SizeCase{300, 40, 0, 40, 0}, SizeCase{40, 300, 40, 0, 0},
                                           SizeCase{256, 256, 0, 0, 0}),
                         SizeName);

TEST(IconWriter, MaskMarksExactlyTheBottomLeftColour)
{
    // White background, white also inside the "letters": all of it transparent; a pixel one step
    // off white stays opaque. Rows are stored bottom-up.
    const TImageData onWhite = Picture({{White, Red, White, White, Black},
                                        {White, White, Blue, White, White},
                                        {White, White, White, NearWhite, White}});
    const std::vector<unsigned char> colour = {
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 254, 255, 0, 0, 0, 0,   // bottom row
        0, 0, 0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255,     // top row
    };
    const std::vector<unsigned char> mask = {0xE8, 0, 0, 0, 0xD8, 0, 0, 0, 0xB0, 0, 0, 0};

    // Text touching the corner: the glyph colour there becomes transparent, the background stays.
    const TImageData corner = Picture({{White, White}, {Red, White}});
    const std::vector<unsigned char> cornerColour = {0, 0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
    const std::vector<unsigned char> cornerMask = {0x80, 0, 0, 0, 0, 0, 0, 0};

    struct Case {
        const char* what;
        const TImageData& image;
        const std::vector<unsigned char>& colour;
        const std::vector<unsigned char>& mask;
    };
    for (const Case& c : {Case{"white background", onWhite, colour, mask},
                          Case{"glyph in the corner", corner, cornerColour, cornerMask}}) {
        SCOPED_TRACE(c.what);
        const std::vector<unsigned char> f = BuildIconFile(c.image);
        ASSERT_EQ(f.size(), 62 + c.colour.size() + c.mask.size());
        EXPECT_EQ(std::vector<unsigned char>(f.begin() + 62, f.begin() + 62 + c.colour.size()), c.colour);
        EXPECT_EQ(std::vector<unsigned char>(f.begin() + 62 + c.colour.size(), f.end()), c.mask);
    }
}

TEST(IconWriter, StoredUnderTheExactUnicodeNameAndCurIsTheSameIcon)
{
    QTemporaryDir dir;
    const TImageData image = Picture({{Red, White, Blue}, {White, Black, White}});
    const std::vector<unsigned char> icon = BuildIconFile(image);

    const QString names[] = {QString::fromUtf8("Grüße – 日本語 ✓.ico"), QString::fromUtf8("Ελληνικά.CUR"),
                             QStringLiteral("plain.Ico"), QStringLiteral("pointer.cur")};
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        QString written;
        EXPECT_TRUE(StoreImageFile(dir.path() + "/" + name, image, {}, &written));
        EXPECT_EQ(written, dir.path() + "/" + name);
        EXPECT_EQ(ReadAll(dir.path() + "/" + name), icon);
        // Looked up without Qt, by the name's UTF-16 (what a Windows path is made of).
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(dir.path().toStdU16String()) /
                                            std::filesystem::path(name.toStdU16String())));
    }
    QStringList expected(std::begin(names), std::end(names));
    QStringList listed = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
    expected.sort();
    listed.sort();
    EXPECT_EQ(listed, expected);

    // A taken name is never replaced: the next one is asked for.
    QString written;
    EXPECT_TRUE(StoreImageFile(dir.path() + "/plain.Ico", Uniform(2, 2, Blue),
                               [&] { return dir.path() + "/plain1.ico"; }, &written));
    EXPECT_EQ(written, dir.path() + "/plain1.ico");
    EXPECT_EQ(ReadAll(dir.path() + "/plain.Ico"), icon);
    EXPECT_THROW(StoreImageFile(dir.path() + "/plain.Ico", image), StoreError);
}

TEST(IconWriter, InvalidSizesAreRefusedAndNothingIsWritten)
{
    QTemporaryDir dir;
    struct Case {
        const char* what;
        TImageData image;
        bool valid;
    };
    const Case cases[] = {
        {"empty record", TImageData{}, false},
        {"height 32769", Uniform(1, 32769, Red), false},
        {"height 32768", Uniform(1, 32768, Red), true},
        {"wide", Uniform(40000, 1, Red), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.path() + "/image.ico";
        QFile::remove(path);
        if (c.valid) {
            EXPECT_TRUE(StoreImageFile(path, c.image));
            EXPECT_TRUE(QFileInfo::exists(path));
            continue;
        }
        try {
            StoreImageFile(path, c.image);
            ADD_FAILURE() << "no error";
        } catch (const imaging::EImagingError& e) {
            EXPECT_STREQ(e.what(), "Invalid image size");
        }
        EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
}

// Rendered text, rotated too (so that it keeps many exact colours), read back by ImageMagick and
// Pillow: the pixels, and transparency exactly where the bottom-left colour was.
TEST(IconWriter, DecodersShowThePixelsThroughTheMask)
{
    const bool magick = codectest::HaveImageMagick();
    std::string ignored;
    const bool pillow = codectest::RunTool({codectest::PythonProgram, "-c", "import PIL.IcoImagePlugin"}, ignored);
    if (!magick && !pillow)
        GTEST_SKIP() << "neither ImageMagick nor Pillow is installed";
    QTemporaryDir dir;
    SettingsModel s;
    s.setText(Setting::label2, "DejaVu Sans");
    s.setFontListSelected(true);
    s.setText(Setting::act_text_fontcolor, "#C0306A");
    s.setText(Setting::act_text_hintergrund, "#FFFFFF");
    s.setText(Setting::FSize, "15");

    std::vector<std::pair<std::string, TImageData>> images = {
        {"1x1", Uniform(1, 1, Blue)},
        {"odd size", Picture({{Red, White, Blue}, {White, Black, White}, {Blue, Blue, Red}})},
    };
    for (const Setting rotation : {Setting::rb_drehung_0, Setting::rb_drehung_90}) {
        s.setChecked(rotation, true);
        TImageData record;
        BitmapToImageData(CreateBitmap(QStringLiteral("Icon text"), s), record);
        ASSERT_TRUE(imaging::ConvertImageData(record, imaging::ifR8G8B8));
        images.emplace_back(SettingsModel::nameOf(rotation).toStdString(), record);
    }
    s.setChecked(Setting::rb_drehung_180, true);
    s.setText(Setting::FSize, "40");
    TImageData wide;
    BitmapToImageData(CreateBitmap(QStringLiteral("A wider icon text"), s), wide);
    ASSERT_TRUE(imaging::ConvertImageData(wide, imaging::ifR8G8B8));
    ASSERT_GT(wide.Width, 256);
    images.emplace_back("wider than 256", wide);
    // 300 x 40: a 300-pixel side was once read as 44 pixels.
    std::vector<std::vector<Rgb>> stripes(40, std::vector<Rgb>(300, White));
    for (int y = 0; y < 39; ++y)
        for (int x = 0; x < 300; ++x)
            if ((x / 7 + y / 5) % 3 == 0)
                stripes[static_cast<size_t>(y)][static_cast<size_t>(x)] = Blue;
    images.emplace_back("300x40", Picture(stripes));

    for (const auto& [what, image] : images) {
        SCOPED_TRACE(what);
        const QString path = dir.path() + "/" + QString::fromStdString(what) + ".ico";
        ASSERT_TRUE(StoreImageFile(path, image));
        const std::vector<uint16_t> expected = codectest::Widen(ExpectedRgba(image));
        // Both read the whole image, also where a side is 256 or more.
        if (magick) {
            const auto decoded = codectest::DecodeWithImageMagick(path.toStdString(), 4);
            ASSERT_TRUE(decoded) << "ImageMagick could not read the file";
            EXPECT_TRUE(decoded->Samples == expected) << "ImageMagick: pixels differ";
        }
        if (pillow) {
            const auto decoded = codectest::DecodeWithPillow(path.toStdString(), "RGBA");
            ASSERT_TRUE(decoded) << "Pillow could not read the file";
            EXPECT_TRUE(decoded->Samples == expected) << "Pillow: pixels differ";
        }
    }
}
