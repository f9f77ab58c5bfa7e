// SPDX-License-Identifier: MIT
// The layout options of the Margins and Spaces page: justified lines, shrinking the font to fit a
// fixed image, and the box of the drawn glyphs.
#include "core/render/Renderer.h"
#include "core/render/TextMeasure.h"
#include "core/settings/SettingsModel.h"
#include "support/SettingPrinter.h"

#include <QFontMetrics>
#include <gtest/gtest.h>
#include <optional>

namespace qp {
namespace {

// DejaVu Sans with hard-edged glyphs, so that every pixel is exactly the text or the background.
class LayoutOptions {
protected:
    LayoutOptions()
    {
        settings.setText(Setting::label2, "DejaVu Sans");
        settings.setFontListSelected(true);
        settings.setChecked(Setting::cb_antialias, false);
    }

    // First and last column of a row band [top, bottom) that holds a pixel other than the
    // background (the top-left pixel); none for a blank band.
    static std::optional<std::pair<int, int>> inkColumns(const QImage& image, qint64 top, qint64 bottom)
    {
        const QRgb background = image.pixel(0, 0);
        std::optional<std::pair<int, int>> columns;
        for (int y = int(std::max<qint64>(top, 0)); y < std::min<qint64>(bottom, image.height()); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != background)
                    columns = columns ? std::pair(std::min(columns->first, x), std::max(columns->second, x))
                                      : std::pair(x, x);
        return columns;
    }
    static QImage band(const QImage& image, qint64 top, qint64 height)
    {
        return image.copy(0, int(top), image.width(), int(height));
    }

    SettingsModel settings;
};

struct JustifyCase {
    const char* name;
    const char* text;
    bool fixedSize;
    int left, right;
};

class JustifiedLines : public LayoutOptions, public ::testing::TestWithParam<JustifyCase> {};

// Every line that wrapping broke off its paragraph reaches from the left margin to the right one
// (its first and last glyphs' own side bearings apart); every other line is drawn exactly as
// with the alignment of its reading direction.
TEST_P(JustifiedLines, ReachFromMarginToMarginExceptTheLastOfEachParagraph)
{
    const JustifyCase& c = GetParam();
    settings.setText(Setting::abs_l, QString::number(c.left));
    settings.setText(Setting::abs_r, QString::number(c.right));
    if (c.fixedSize) {
        settings.setChecked(Setting::abstand_fix, true);
        settings.setText(Setting::abs_b, "330");
        settings.setText(Setting::abs_h, "600");
    } else {
        settings.setText(Setting::abs_bmax, "310");
    }
    const QString text = QString::fromUtf8(c.text);
    const TextLayout layout = LayoutText(text, settings);
    const QFontMetrics fm = TextMeasure(layout.font).metrics();
    ASSERT_EQ(layout.wrapped.size(), size_t(layout.lines.size()));

    settings.setChecked(Setting::rb_aljustify, true);
    const QImage justified = CreateBitmap(text, settings);
    settings.setChecked(Setting::rb_alleft, true);
    const QImage left = CreateBitmap(text, settings);
    settings.setChecked(Setting::rb_alright, true);
    const QImage right = CreateBitmap(text, settings);

    int stretched = 0;
    for (qsizetype i = 0; i < layout.lines.size(); ++i) {
        const QString& line = layout.lines[i];
        const qint64 top = layout.top + i * (layout.lineHeight + layout.spacing);
        const bool rightToLeft = line.isRightToLeft();
        if (layout.wrapped[size_t(i)] && line.contains(u' ')) {
            ++stretched;
            const auto ink = inkColumns(justified, top, top + layout.lineHeight);
            ASSERT_TRUE(ink) << i;
            const QChar first = rightToLeft ? line.back() : line.front();
            const QChar last = rightToLeft ? line.front() : line.back();
            EXPECT_NEAR(ink->first, c.left + fm.leftBearing(first), 1) << c.name << " line " << i;
            EXPECT_NEAR(ink->second, layout.width - c.right - 1 - fm.rightBearing(last), 1)
                << c.name << " line " << i;
        } else {
            EXPECT_EQ(band(justified, top, layout.lineHeight), band(rightToLeft ? right : left, top, layout.lineHeight))
                << c.name << " line " << i;
        }
    }
    EXPECT_GE(stretched, 2) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Paragraphs, JustifiedLines,
    ::testing::Values(
        JustifyCase{"variable_size",
                    "Every wrapped line of this paragraph reaches the right margin, but not the last.\n"
                    "A second paragraph: it wraps as well, over two lines at least.\nShort.",
                    false, 10, 10},
        JustifyCase{"fixed_size_uneven_margins",
                    "Lines without a single space stay as they are: Donaudampfschifffahrtsgesellschaftskapitän "
                    "and the words around it are set from margin to margin.",
                    true, 25, 3},
        JustifyCase{"right_to_left",
                    "\u05D6\u05D4\u05D5 \u05D8\u05E7\u05E1\u05D8 \u05D1\u05E2\u05D1\u05E8\u05D9\u05EA "
                    "\u05E9\u05E0\u05E9\u05D1\u05E8 \u05DC\u05E9\u05D5\u05E8\u05D5\u05EA \u05E8\u05D1\u05D5\u05EA "
                    "\u05D5\u05DB\u05DC \u05E9\u05D5\u05E8\u05D4 \u05DE\u05EA\u05DE\u05EA\u05D7\u05EA "
                    "\u05DE\u05E7\u05E6\u05D4 \u05DC\u05E7\u05E6\u05D4 \u05D7\u05D5\u05E5 \u05DE\u05D4\u05D0\u05D7\u05E8\u05D5\u05E0\u05D4",
                    false, 10, 10}),
    [](const ::testing::TestParamInfo<JustifyCase>& info) { return std::string(info.param.name); });

struct FitCase {
    const char* name;
    const char* text;
    int width, height;
    int points;
    bool wrap;
    int margin;
};

class FitToBox : public LayoutOptions, public ::testing::TestWithParam<FitCase> {};

// The size the search finds is the one that trying every size from the chosen one downwards finds:
// it fits and the next size up does not. When not even 1 point fits, the text is drawn at 1 point
// and the image says so.
TEST_P(FitToBox, FindsTheLargestSizeThatFitsAsTryingEverySizeDoes)
{
    const FitCase& c = GetParam();
    settings.setChecked(Setting::abstand_fix, true);
    settings.setText(Setting::abs_b, QString::number(c.width));
    settings.setText(Setting::abs_h, QString::number(c.height));
    settings.setChecked(Setting::fix_wrap, c.wrap);
    for (const Setting margin : {Setting::abs_o, Setting::abs_u, Setting::abs_l, Setting::abs_r})
        settings.setText(margin, QString::number(c.margin));
    settings.setText(Setting::FSize, QString::number(c.points));
    const QString text = QString::fromUtf8(c.text);

    LayoutSettings plain = readLayoutSettings(settings);
    auto fitsAt = [&](int points) {
        plain.fontPoints = points;
        return TextFits(LayoutText(text, plain));
    };
    int reference = 0;
    for (int points = c.points; points >= 1 && reference == 0; --points)
        if (fitsAt(points))
            reference = points;

    settings.setChecked(Setting::cb_fitbox, true);
    const TextLayout fitted = LayoutText(text, settings);
    const QImage image = CreateBitmap(text, settings);
    EXPECT_EQ(image.size(), QSize(c.width, c.height)) << c.name;
    if (reference == 0) {
        EXPECT_TRUE(fitted.fitFailed) << c.name;
        EXPECT_EQ(fitted.fittedPoints, 1) << c.name;
        EXPECT_TRUE(fitFailed(image)) << c.name;
        return;
    }
    EXPECT_FALSE(fitted.fitFailed) << c.name;
    EXPECT_EQ(fitted.fittedPoints, reference) << c.name;
    EXPECT_EQ(fittedPoints(image), reference) << c.name;
    EXPECT_TRUE(fitsAt(reference)) << c.name;
    if (reference < c.points) {
        EXPECT_FALSE(fitsAt(reference + 1)) << c.name;
    }
    // Drawn as the plain layout at that size draws it.
    plain.fontPoints = reference;
    EXPECT_EQ(image, CreateBitmap(text, plain, readDrawSettings(settings))) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, FitToBox,
    ::testing::Values(
        FitCase{"wrapped_paragraph",
                "Fitting text into a fixed box is what a banner needs: the words wrap, the size shrinks "
                "until every line is inside the margins.",
                300, 120, 40, true, 10},
        FitCase{"one_word", "Headline", 200, 50, 72, true, 5},
        FitCase{"fits_at_the_chosen_size", "Small", 400, 100, 12, true, 10},
        FitCase{"hard_lines_without_wrapping", "First line\\nlSecond, longer line\\nlThird", 250, 200, 100, false, 8},
        FitCase{"many_lines", "a\\nlb\\nlc\\nld\\nle\\nlf\\nlg\\nlh", 60, 300, 144, true, 0},
        FitCase{"margins_leave_no_room", "No room", 100, 40, 20, true, 30}),
    [](const ::testing::TestParamInfo<FitCase>& info) { return std::string(info.param.name); });

struct InkCase {
    const char* name;
    const char* text;
    bool italic;
    bool fixedSize;
    Setting alignment;
    // Bold in a face without a bold style, at a size the renderer emboldens itself.
    bool emboldened = false;
};

class InkBox : public LayoutOptions, public ::testing::TestWithParam<InkCase> {};

// With the box of the drawn glyphs, overhangs, accents and descenders stay inside the image and
// every margin is measured from the ink: the ink's box lies exactly the margins inside the image
// (a fixed size keeps its size, and the ink box takes the alignment). Without it, today's image.
TEST_P(InkBox, MarginsCountFromTheInkAndNothingTouchesTheEdge)
{
    const InkCase& c = GetParam();
    const int o = 3, u = 4, l = 2, r = 5;
    settings.setText(Setting::abs_o, QString::number(o));
    settings.setText(Setting::abs_u, QString::number(u));
    settings.setText(Setting::abs_l, QString::number(l));
    settings.setText(Setting::abs_r, QString::number(r));
    settings.setText(Setting::FSize, "36");
    settings.setChecked(Setting::cb_italic, c.italic);
    settings.setChecked(c.alignment, true);
    if (c.emboldened) {
        settings.setText(Setting::label2, "DejaVu Math TeX Gyre");
        settings.setText(Setting::FSize, "100");
        settings.setChecked(Setting::cb_bold, true);
        if (LayoutText(QString::fromUtf8(c.text), settings).boldOutline <= 0)
            GTEST_SKIP() << "DejaVu Math TeX Gyre (fonts-dejavu-extra) is not installed, or the text engine emboldens it";
    }
    if (c.fixedSize) {
        settings.setChecked(Setting::abstand_fix, true);
        settings.setText(Setting::abs_b, "260");
        settings.setText(Setting::abs_h, "120");
    }
    const QString text = QString::fromUtf8(c.text);
    const QImage advanceBox = CreateBitmap(text, settings);

    settings.setChecked(Setting::cb_inkbox, true);
    const QImage image = CreateBitmap(text, settings);
    const auto columns = inkColumns(image, 0, image.height());
    ASSERT_TRUE(columns) << c.name;
    // First and last ink rows.
    int first = image.height(), last = -1;
    for (int y = 0; y < image.height(); ++y)
        if (inkColumns(image, y, y + 1)) {
            first = std::min(first, y);
            last = y;
        }
    EXPECT_NEAR(first, o, 1) << c.name;
    if (c.fixedSize) {
        EXPECT_EQ(image.size(), advanceBox.size()) << c.name;
        if (c.alignment == Setting::rb_alright) {
            EXPECT_NEAR(columns->second, image.width() - 1 - r, 1) << c.name;
        } else {
            EXPECT_NEAR(columns->first, l, 1) << c.name;
        }
    } else {
        EXPECT_NEAR(columns->first, l, 1) << c.name;
        EXPECT_NEAR(columns->second, image.width() - 1 - r, 1) << c.name;
        EXPECT_NEAR(last, image.height() - 1 - u, 1) << c.name;
    }
    EXPECT_GT(columns->first, 0) << c.name;
    EXPECT_GT(first, 0) << c.name;
    EXPECT_LT(columns->second, image.width() - 1) << c.name;
    EXPECT_LT(last, image.height() - 1) << c.name;

    settings.setChecked(Setting::cb_inkbox, false);
    EXPECT_EQ(CreateBitmap(text, settings), advanceBox) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Glyphs, InkBox,
    ::testing::Values(InkCase{"italic_f_at_the_line_end", "Half", true, false, Setting::rb_alleft},
                      InkCase{"accent_and_descender", "\u0176g", false, false, Setting::rb_alleft},
                      InkCase{"two_lines_centred", "\u0176 f\\nlgif", true, false, Setting::rb_alcenter},
                      InkCase{"fixed_size_right_aligned", "\u0176 of", true, true, Setting::rb_alright},
                      InkCase{"emboldened_face", "\u0176gf", false, false, Setting::rb_alleft, true},
                      InkCase{"emboldened_face_right_aligned", "of", false, true, Setting::rb_alright, true}),
    [](const ::testing::TestParamInfo<InkCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace qp
