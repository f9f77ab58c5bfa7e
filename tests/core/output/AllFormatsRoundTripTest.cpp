// SPDX-License-Identifier: MIT
// Every entry of the format list, written from rendered images through the output layer and read
// back by an independent decoder.
#include "codec/ImageData.h"
#include "core/output/BitmapExchange.h"
#include "core/output/EncoderOptions.h"
#include "core/output/StoreImage.h"
#include "core/render/Renderer.h"
#include "core/run/FileNaming.h"
#include "core/settings/SettingsModel.h"
#include "support/Decode.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qp;

namespace {

enum class Expect { Exact, Gray, Palette, Icon, Lossy };

struct FormatCase {
    const char* ext;
    Expect expect;
    double meanLimit; // lossy formats: largest mean difference per channel
};

// How each extension of the format list must come back.
const FormatCase kFormats[] = {
    {".jpg", Expect::Lossy, 8.0},   {".png", Expect::Exact, 0},      {".gif", Expect::Palette, 0},
    {".bmp", Expect::Exact, 0},     {".dib", Expect::Exact, 0},      {".ico", Expect::Icon, 0},
    {".cur", Expect::Icon, 0},      {".psd", Expect::Exact, 0},      {".pdd", Expect::Exact, 0},
    {".tif", Expect::Exact, 0},     {".tiff", Expect::Exact, 0},     {".jpeg", Expect::Lossy, 8.0},
    {".jfif", Expect::Lossy, 8.0},  {".jpe", Expect::Lossy, 8.0},    {".jif", Expect::Lossy, 8.0},
    {".mng", Expect::Exact, 0},     {".jng", Expect::Lossy, 8.0},    {".pgm", Expect::Gray, 0},
    {".ppm", Expect::Exact, 0},     {".pam", Expect::Exact, 0},      {".pfm", Expect::Exact, 0},
    {".jp2", Expect::Lossy, 12.0},  {".j2k", Expect::Lossy, 12.0},   {".j2c", Expect::Lossy, 12.0},
    {".jpx", Expect::Lossy, 12.0},  {".jpc", Expect::Lossy, 12.0},   {".dds", Expect::Exact, 0},
    {".tga", Expect::Exact, 0},
};

struct Fixture {
    const char* name;
    QImage image;
};

QImage render(SettingsModel& s, const QString& text)
{
    return CreateBitmap(text, s);
}

std::vector<Fixture> fixtures()
{
    std::vector<Fixture> out;
    SettingsModel s;
    s.setText(Setting::label2, "DejaVu Sans");
    s.setFontListSelected(true);

    s.setChecked(Setting::abstand_fix, true);
    s.setText(Setting::abs_b, "1");
    s.setText(Setting::abs_h, "1");
    out.push_back({"one_pixel", render(s, "")});

    s.setText(Setting::abs_b, "37");
    s.setText(Setting::abs_h, "23");
    s.setText(Setting::abs_o, "0");
    s.setText(Setting::abs_l, "2");
    out.push_back({"odd_size", render(s, "Ab")});

    s.setChecked(Setting::abstand_var, true);
    s.setText(Setting::abs_o, "10");
    out.push_back({"black_on_white", render(s, "Quillpress\\nrenders text")});

    s.setText(Setting::act_text_fontcolor, "#C8102E");
    s.setText(Setting::act_text_hintergrund, "#F0F8FF");
    s.setText(Setting::FSize, "23");
    s.setChecked(Setting::cb_italic, true);
    s.setChecked(Setting::rb_drehung_90, true);
    out.push_back({"coloured_rotated", render(s, "Rotated colour")});

    // Coloured text with the default margins: straight, turned with two lines, and empty.
    SettingsModel t;
    t.setText(Setting::label2, "DejaVu Sans");
    t.setFontListSelected(true);
    t.setText(Setting::act_text_fontcolor, "#1E90FF");
    t.setText(Setting::act_text_hintergrund, "#FAFAD2");
    t.setText(Setting::FSize, "17");
    out.push_back({"coloured", render(t, "Quillpress")});
    t.setChecked(Setting::rb_drehung_90, true);
    out.push_back({"two_lines_rotated", render(t, "Odd\\nsizes")});
    t.setChecked(Setting::rb_drehung_0, true);
    out.push_back({"empty_default_margins", render(t, "")});

    // More colours than a palette holds.
    QImage gradient(67, 45, QImage::Format_RGB32);
    for (int y = 0; y < gradient.height(); ++y)
        for (int x = 0; x < gradient.width(); ++x)
            gradient.setPixel(x, y, qRgb(x * 255 / 66, y * 255 / 44, (x + y) * 255 / 110));
    out.push_back({"many_colours", gradient});
    return out;
}

int countColours(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

// The gray of a pixel as the gray map stores it.
QImage toGray(const QImage& image)
{
    QImage out(image.size(), QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const float g = 0.299f * float(qRed(p)) + 0.587f * float(qGreen(p)) + 0.114f * float(qBlue(p));
            const int v = int(std::lround(g));
            out.setPixel(x, y, qRgb(v, v, v));
        }
    return out;
}

} // namespace

TEST(FormatTable, HoldsEveryEntryOfTheFormatListInItsOrder)
{
    ASSERT_EQ(std::size(kFormats), size_t(SettingsModel::outputFormats().size()));
    for (size_t i = 0; i < std::size(kFormats); ++i)
        EXPECT_EQ(formatExtension(SettingsModel::outputFormats()[int(i)]), kFormats[i].ext);
}

namespace {

class AllFormats : public ::testing::TestWithParam<FormatCase> {};

} // namespace

TEST_P(AllFormats, RoundTripThroughAnIndependentDecoder)
{
    if (!test::haveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    const FormatCase& c = GetParam();
    SettingsModel defaults;
    AusgabeWerteSetzen(defaults); // quality 100, progressive, as a run with default settings
    QTemporaryDir dir;

    // Rendered once for all formats: the fixtures need the application's fonts, so they are made
    // when the first case runs.
    static const std::vector<Fixture> all = fixtures();
    for (const Fixture& f : all) {
        imaging::TDynImageDataArray images(1);
        BitmapToImageData(f.image, images[0]);
        ASSERT_TRUE(imaging::ConvertImageData(images[0], imaging::ifR8G8B8));
        const bool fewColours = countColours(f.image) <= 256;

        const QString path = dir.path() + "/" + f.name + c.ext;
        SCOPED_TRACE(path.toStdString());
        ASSERT_TRUE(StoreImageFile(path, images));
        // The icon directory keeps the low 8 bits of each side, which is what ImageMagick
        // reads; larger icons are checked against a decoder that reads the header instead.
        if (c.expect == Expect::Icon && (f.image.width() > 255 || f.image.height() > 255))
            continue;
        const auto decoded = test::decodeWithImageMagick(path, c.expect == Expect::Icon);
        ASSERT_TRUE(decoded);
        ASSERT_EQ(decoded->size(), f.image.size());

        switch (c.expect) {
        case Expect::Exact:
            EXPECT_EQ(test::compareRgb(f.image, *decoded).maximum, 0);
            break;
        case Expect::Gray:
            EXPECT_EQ(test::compareRgb(toGray(f.image), *decoded).maximum, 0);
            break;
        case Expect::Palette:
            if (fewColours)
                EXPECT_EQ(test::compareRgb(f.image, *decoded).maximum, 0);
            else
                EXPECT_LT(test::compareRgb(f.image, *decoded).mean, 6.0);
            break;
        case Expect::Lossy:
            EXPECT_LT(test::compareRgb(f.image, *decoded).mean, c.meanLimit);
            break;
        case Expect::Icon: {
            // The colour of the bottom-left pixel is transparent; every other pixel keeps its colour.
            const QRgb key = f.image.pixel(0, f.image.height() - 1);
            int wrong = 0;
            for (int y = 0; y < f.image.height(); ++y)
                for (int x = 0; x < f.image.width(); ++x) {
                    const QRgb src = f.image.pixel(x, y);
                    const QRgb got = decoded->pixel(x, y);
                    const bool transparent = (src & 0xFFFFFF) == (key & 0xFFFFFF);
                    if (transparent ? qAlpha(got) != 0
                                    : (qAlpha(got) != 255 || (got & 0xFFFFFF) != (src & 0xFFFFFF)))
                        ++wrong;
                }
            EXPECT_EQ(wrong, 0);
            break;
        }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FormatList, AllFormats, ::testing::ValuesIn(kFormats),
                         [](const ::testing::TestParamInfo<FormatCase>& info) {
                             return std::string(info.param.ext + 1);
                         });
