// SPDX-License-Identifier: MIT
// Every format row: its extensions in the format list of both programs in both languages, and
// each image written under each of its extensions read back by an independent decoder.
#include "codec/FormatRow.h"
#include "codec/ImageData.h"
#include "core/i18n/FormatNames.h"
#include "core/output/BitmapExchange.h"
#include "core/output/EncoderOptions.h"
#include "core/output/StoreImage.h"
#include "core/render/Renderer.h"
#include "core/settings/SettingsModel.h"
#include "support/CliFixture.h"
#include "support/Decode.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qp;
using imaging::TFormatRow;

namespace {

enum class Expect { Exact, Gray, Palette, Icon, Lossy };

struct Expectation {
    const char* id;   // a row's id
    Expect expect;
    double meanLimit; // lossy formats: largest mean difference per channel
};

// How the images of a row must come back where that is not exactly.
const Expectation kNotExact[] = {
    {"jpeg", Expect::Lossy, 8.0}, {"jng", Expect::Lossy, 8.0},   {"jpeg2000", Expect::Lossy, 12.0},
    {"gif", Expect::Palette, 0},  {"pgm", Expect::Gray, 0},      {"ico", Expect::Icon, 0},
    {"cur", Expect::Icon, 0},
};

Expectation expectationOf(const TFormatRow& row)
{
    for (const Expectation& e : kNotExact)
        if (qstrcmp(e.id, row.Id) == 0)
            return e;
    return {row.Id, Expect::Exact, 0};
}

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

// Compares a decoded image with the one written, as the row's expectation says.
void check(const Expectation& c, const QImage& written, const QImage& decoded)
{
    switch (c.expect) {
    case Expect::Exact:
        EXPECT_EQ(test::compareRgb(written, decoded).maximum, 0);
        break;
    case Expect::Gray:
        EXPECT_EQ(test::compareRgb(toGray(written), decoded).maximum, 0);
        break;
    case Expect::Palette:
        if (countColours(written) <= 256)
            EXPECT_EQ(test::compareRgb(written, decoded).maximum, 0);
        else
            EXPECT_LT(test::compareRgb(written, decoded).mean, 6.0);
        break;
    case Expect::Lossy:
        EXPECT_LT(test::compareRgb(written, decoded).mean, c.meanLimit);
        break;
    case Expect::Icon: {
        // The colour of the bottom-left pixel is transparent; every other pixel keeps its colour.
        const QRgb key = written.pixel(0, written.height() - 1);
        int wrong = 0;
        for (int y = 0; y < written.height(); ++y)
            for (int x = 0; x < written.width(); ++x) {
                const QRgb src = written.pixel(x, y);
                const QRgb got = decoded.pixel(x, y);
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

class FormatLists : public qp::testing::CliFixture {};

class FormatRowRoundTrip : public ::testing::TestWithParam<const TFormatRow*> {};

std::vector<const TFormatRow*> allRows()
{
    std::vector<const TFormatRow*> rows;
    for (const TFormatRow& row : imaging::FormatRows())
        rows.push_back(&row);
    return rows;
}

} // namespace

// The format box of the desktop program shows outputFormatsForLanguage (its window test pins
// that); the command-line tool prints its list.
TEST_F(FormatLists, EveryListedExtensionIsInBothProgramsListsInBothLanguages)
{
    for (const QString& language : {QStringLiteral("de"), QStringLiteral("en")}) {
        SCOPED_TRACE(language.toStdString());
        const qp::testing::CliRun r = cli({"--language", language, "--list-formats"});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        const QStringList printed = r.out.split('\n', Qt::SkipEmptyParts);
        const QStringList box = outputFormatsForLanguage(language);
        int listed = 0;
        for (const TFormatRow& row : imaging::FormatRows()) {
            for (const imaging::TFormatExtension& e : row.Extensions) {
                SCOPED_TRACE(e.Extension);
                if (e.ListPlace == imaging::NotListed)
                    continue;
                ++listed;
                const QString name = formatName(row.NameKey, language);
                ASSERT_FALSE(name.isEmpty()) << "no name for the key " << row.NameKey;
                const QString entry = QStringLiteral("*.") + QLatin1String(e.Extension) + " - " + name;
                ASSERT_LT(e.ListPlace, printed.size());
                EXPECT_EQ(printed[e.ListPlace], entry);
                ASSERT_LT(e.ListPlace, box.size());
                EXPECT_EQ(box[e.ListPlace], entry);
            }
        }
        // Nothing in the lists without a row.
        EXPECT_EQ(printed.size(), listed);
        EXPECT_EQ(box.size(), listed);
    }
}

TEST_P(FormatRowRoundTrip, EveryExtensionThroughAnIndependentDecoder)
{
    const TFormatRow& row = *GetParam();
    if (!test::haveImageMagick())
        GTEST_SKIP() << "ImageMagick is not installed";
    const Expectation c = expectationOf(row);
    SettingsModel defaults;
    AusgabeWerteSetzen(defaults); // quality 100, progressive, as a run with default settings
    QTemporaryDir dir;

    // Rendered once for all formats: the fixtures need the application's fonts, so they are made
    // when the first case runs.
    static const std::vector<Fixture> all = fixtures();
    for (const imaging::TFormatExtension& e : row.Extensions)
        for (const Fixture& f : all) {
            imaging::TDynImageDataArray images(1);
            BitmapToImageData(f.image, images[0]);
            ASSERT_TRUE(imaging::ConvertImageData(images[0], imaging::ifR8G8B8));

            const QString path = dir.path() + "/" + f.name + "." + e.Extension;
            SCOPED_TRACE(path.toStdString());
            // A format that is not in the list is written only by name, and its writer may refuse.
            const bool stored = StoreImageFile(path, images);
            if (e.ListPlace == imaging::NotListed && !stored)
                continue;
            ASSERT_TRUE(stored);
            // The icon directory keeps the low 8 bits of each side, which is what ImageMagick
            // reads; larger icons are checked against a decoder that reads the header instead.
            if (c.expect == Expect::Icon && (f.image.width() > 255 || f.image.height() > 255))
                continue;
            const auto decoded = test::decodeWithImageMagick(path, c.expect == Expect::Icon);
            ASSERT_TRUE(decoded);
            ASSERT_EQ(decoded->size(), f.image.size());
            check(c, f.image, *decoded);
        }
}

INSTANTIATE_TEST_SUITE_P(Rows, FormatRowRoundTrip, ::testing::ValuesIn(allRows()),
                         [](const ::testing::TestParamInfo<const TFormatRow*>& info) {
                             return std::string(info.param->Id);
                         });
