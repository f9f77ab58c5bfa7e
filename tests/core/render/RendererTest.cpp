// SPDX-License-Identifier: MIT
#include "core/render/FontFaces.h"
#include "core/render/Renderer.h"
#include "core/render/TextMeasure.h"
#include "core/settings/SettingsModel.h"
#include "support/SettingPrinter.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QRect>
#include <QSet>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace qp {
namespace {

// Settings with the DejaVu Sans face at the default 20 points, margins 10, variable size with a
// maximum width of 400, black on white, hard-edged glyphs so that every pixel is exactly the
// text or the background colour.
class RendererTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        settings.setText(Setting::label2, "DejaVu Sans");
        settings.setFontListSelected(true);
        settings.setChecked(Setting::cb_antialias, false);
    }
    ~RendererTest() override { setRenderYield({}); }

    void setMargins(int o, int u, int l, int r, int z = 0)
    {
        settings.setText(Setting::abs_o, QString::number(o));
        settings.setText(Setting::abs_u, QString::number(u));
        settings.setText(Setting::abs_l, QString::number(l));
        settings.setText(Setting::abs_r, QString::number(r));
        settings.setText(Setting::abs_z, QString::number(z));
    }
    void setFixed(const QString& w, const QString& h)
    {
        settings.setChecked(Setting::abstand_fix, true);
        settings.setText(Setting::abs_b, w);
        settings.setText(Setting::abs_h, h);
    }
    // Metrics of the font the renderer uses with the current settings, measured independently.
    QFontMetrics metrics() const
    {
        QFont font("DejaVu Sans");
        font.setPixelSize(27);
        font.setStyleStrategy(QFont::NoAntialias);
        return QFontMetrics(font);
    }
    // Bounding box of every pixel that differs from the top-left pixel (the background).
    static QRect inkBox(const QImage& image)
    {
        QRect box;
        const QRgb background = image.pixel(0, 0);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != background)
                    box |= QRect(x, y, 1, 1);
        return box;
    }
    static QSet<QRgb> colours(const QImage& image)
    {
        QSet<QRgb> set;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                set.insert(image.pixel(x, y));
        return set;
    }

    SettingsModel settings;
};

TEST_F(RendererTest, SizeFollowsTheText)
{
    const QFontMetrics fm = metrics();
    const int h = fm.height();
    settings.setChecked(Setting::max_breite, false);
    struct Case {
        QString text;
        int o, u, l, r, z;
        QStringList lines;
    };
    const Case cases[] = {
        {"Hello", 10, 10, 10, 10, 0, {"Hello"}},
        {"ab\r\ncdef\nx", 3, 4, 5, 6, 7, {"ab", "cdef", "x"}},
        // The line marker is case-sensitive; it mixes with real line breaks.
        {"A\\nlB", 0, 0, 0, 0, 0, {"A", "B"}},
        {"A\\NLB", 0, 0, 0, 0, 0, {"A\\NLB"}},
        {"a\r\nb\\nlc", 0, 0, 0, 0, -5, {"a", "b", "c"}},
        {"end\r\n", 1, 1, 1, 1, 0, {"end", ""}},
        // An empty text is one empty line; a width below 1 becomes 1.
        {"", 10, 10, 10, 10, 0, {""}},
        {"", 0, 0, 0, 0, 0, {""}},
        {"Hi", -20, -20, -30, -30, 0, {"Hi"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        setMargins(c.o, c.u, c.l, c.r, c.z);
        const TextLayout layout = LayoutText(c.text, settings);
        EXPECT_EQ(layout.lines, c.lines);
        EXPECT_EQ(layout.lineHeight, h);
        int maxw = 0;
        for (const QString& line : c.lines)
            maxw = std::max(maxw, fm.horizontalAdvance(line));
        const qsizetype n = c.lines.size();
        const int W = maxw + c.l + c.r;
        const int H = c.o + c.u + int(n) * h + int(n - 1) * c.z;
        const QImage image = CreateBitmap(c.text, settings);
        EXPECT_EQ(image.size(), QSize(std::max(W, 1), std::max(H, 1)));
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        if (c.text.isEmpty()) {
            EXPECT_EQ(colours(image), QSet<QRgb>{qRgb(255, 255, 255)});
        }
    }
}

TEST_F(RendererTest, FontSizeAndStyleFromTheSettings)
{
    struct Case {
        const char* size;
        int pixels;
    };
    // 20 points at 96 dpi are 27 pixels; no integer keeps the default of 8 points.
    for (const Case& c : {Case{"20", 27}, Case{"1", 1}, Case{"2", 3}, Case{" $1F", 41}, Case{"abc", 11},
                          Case{"", 11}, Case{"0", 11}}) {
        settings.setText(Setting::FSize, c.size);
        EXPECT_EQ(LayoutText("x", settings).font.pixelSize(), c.pixels) << c.size;
    }
    // A negative size is the cell height: the font is scaled so that its height comes out at it.
    settings.setText(Setting::FSize, "-20");
    EXPECT_NEAR(LayoutText("x", settings).lineHeight, 27, 1);

    settings.setChecked(Setting::cb_bold, true);
    settings.setChecked(Setting::cb_underline, true);
    QFont font = LayoutText("x", settings).font;
    EXPECT_EQ(font.weight(), QFont::Bold);
    EXPECT_TRUE(font.underline());
    EXPECT_FALSE(font.italic());
    EXPECT_FALSE(font.strikeOut());

    // The face of label2 applies only while a font-list entry is selected.
    settings.setText(Setting::label2, "DejaVu Serif");
    EXPECT_EQ(LayoutText("x", settings).font.family(), "DejaVu Serif");
    settings.setFontListSelected(false);
    EXPECT_EQ(LayoutText("x", settings).font.family(), "Tahoma"); // the default face
}

TEST_F(RendererTest, QualityFollowsTheOptionsWindow)
{
    EXPECT_EQ(LayoutText("x", settings).font.styleStrategy(), QFont::NoAntialias);
    settings.setChecked(Setting::cb_antialias, true);
    EXPECT_EQ(LayoutText("x", settings).font.styleStrategy(), QFont::PreferAntialias);
    // Smoothed glyphs have edge pixels between text and background colour.
    EXPECT_GT(colours(CreateBitmap("Wg", settings)).size(), 2);
    settings.setOptionsWindowExists(false);
    EXPECT_EQ(LayoutText("x", settings).font.styleStrategy(), QFont::PreferDefault);
}

// Bold draws the configured face heavier, at every size: in the face's own bold style, or
// emboldened where the face has none (the default face as the programs add it where it is not
// installed, with its regular style only; a face installed without a bold style). The text engine
// emboldens only up to a size, so the sizes reach beyond it. Bold never switches to another face:
// every glyph comes from the configured family; a bold style is drawn as with the family forced, no
// other face allowed to stand in, and an emboldened face covers every pixel of its regular glyphs.
TEST_F(RendererTest, BoldIsHeavierInTheConfiguredFace)
{
    addDefaultFaceWhenMissing();
    const auto ink = [](const QImage& image) {
        qint64 sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                sum += 255 - qGray(image.pixel(x, y));
        return double(sum) / 255;
    };
    // Share of the text pixels of `inner` that are text pixels of `outer` too (same size, black on white).
    const auto covered = [](const QImage& inner, const QImage& outer) {
        qint64 text = 0;
        qint64 both = 0;
        for (int y = 0; y < inner.height(); ++y)
            for (int x = 0; x < inner.width(); ++x)
                if (inner.pixel(x, y) != qRgb(255, 255, 255)) {
                    ++text;
                    both += outer.pixel(x, y) != qRgb(255, 255, 255);
                }
        return text > 0 ? double(both) / double(text) : 0.0;
    };
    struct Case {
        const char* family;
        bool defaultFace; // drawn as the default face, without a font-list entry
        bool boldStyle;   // the family has a bold style of its own
    };
    const Case cases[] = {
        {"Tahoma", true, false},
        {"DejaVu Sans", false, true},
        {"DejaVu Math TeX Gyre", false, false}, // fonts-dejavu-extra
    };
    const QString text = QStringLiteral("Quillpress Bold?");
    settings.setChecked(Setting::max_breite, false); // one line
    setMargins(8, 8, 8, 8);
    QStringList missing;
    for (const Case& c : cases) {
        if (installedFamily(c.family).isEmpty()) {
            missing.append(c.family);
            continue;
        }
        settings.setText(Setting::label2, c.family);
        settings.setFontListSelected(!c.defaultFace);
        for (const char* points : {"8", "20", "36", "48", "100"}) {
            SCOPED_TRACE(std::string(c.family) + " at " + points + " points");
            settings.setText(Setting::FSize, points);
            settings.setChecked(Setting::cb_bold, false);
            const QImage regular = CreateBitmap(text, settings);
            settings.setChecked(Setting::cb_bold, true);
            const QImage bold = CreateBitmap(text, settings);
            EXPECT_GT(ink(bold), 1.25 * ink(regular)) << "regular " << ink(regular) << ", bold " << ink(bold);

            const TextLayout layout = LayoutText(text, settings);
            EXPECT_EQ(QFontInfo(layout.font).family(), c.family);
            QTextLayout shaped(text, layout.font);
            shaped.beginLayout();
            shaped.createLine();
            shaped.endLayout();
            for (const QGlyphRun& run : shaped.glyphRuns())
                EXPECT_EQ(run.rawFont().familyName(), c.family);

            if (c.boldStyle) {
                QFont forced = layout.font;
                forced.setStyleStrategy(QFont::StyleStrategy(forced.styleStrategy() | QFont::NoFontMerging));
                QImage expected(bold.size(), QImage::Format_RGB32);
                expected.fill(Qt::white);
                QPainter painter(&expected);
                painter.setFont(forced);
                painter.setPen(Qt::black);
                painter.drawText(QPointF(8, 8 + layout.ascent), text);
                painter.end();
                EXPECT_TRUE(expected == bold);
            } else {
#ifndef Q_OS_WIN
                // Emboldening leaves the advances as they are, so the glyphs stay in place. Hinting
                // may move an edge of a small glyph by a pixel; another face covers about a third.
                EXPECT_EQ(bold.size(), regular.size());
                if (bold.size() == regular.size()) {
                    EXPECT_GE(covered(regular, bold), 0.95);
                }
#else
                // Windows' font engine emboldens such a face itself and widens every glyph as it
                // does so, as in every Windows program: only the ink and the face are checked.
                (void)covered;
#endif
            }
        }
    }
    if (!missing.isEmpty())
        GTEST_SKIP() << "not installed: " << missing.join(", ").toStdString();
}

TEST_F(RendererTest, FixedSizeAndFallbacks)
{
    struct Case {
        const char* w;
        const char* h;
        QSize size;
    };
    for (const Case& c : {Case{"300", "40", {300, 40}}, Case{"abc", "", {500, 100}},
                          Case{"0", "-5", {1, 1}}}) {
        setFixed(c.w, c.h);
        EXPECT_EQ(CreateBitmap("Some text that is longer than the image", settings).size(), c.size) << c.w;
    }
    // Without fix_wrap an over-long line is clipped; with it the line is wrapped at the fixed
    // width and lines below the fixed height are cut off.
    setFixed("200", "40");
    settings.setChecked(Setting::fix_wrap, false);
    EXPECT_EQ(LayoutText("one two three four", settings).lines.size(), 1);
    settings.setChecked(Setting::fix_wrap, true);
    const TextLayout layout = LayoutText("one two three four", settings);
    EXPECT_GT(layout.lines.size(), 1);
    EXPECT_EQ(layout.width, 200);
    EXPECT_EQ(layout.height, 40);
}

TEST_F(RendererTest, WrapsAtTheMaximumWidth)
{
    const QFontMetrics fm = metrics();
    const int h = fm.height();
    const int words = std::max(fm.horizontalAdvance("Hello"), fm.horizontalAdvance("World"));
    const int w = fm.horizontalAdvance("W");
    struct Case {
        QString text;
        int l, r;
        int maxWidth;
        QStringList lines;
        int trials; // the yield function runs after the first one and then at a bounded rate
    };
    const Case cases[] = {
        // Only one word fits: the first trial (k = 10) breaks after the space.
        {"Hello World", 10, 10, words + 20, {"Hello", "World"}, 1},
        // Single characters wider than the room: every character is a line of its own.
        {"WWW", 20, 20, 60, {"W", "W", "W"}, 2},
        // A one-character line wider than the image stays unchanged.
        {"W", 20, 20, 60, {"W"}, 0},
        // Margins fill the width: the first trial counts as fitting.
        {"abcdef", 60, 60, 100, {"abcde", "f"}, 1},
        // "W" plus 10 is not less than the width: no wrapping, the line is clipped.
        {"Hello World", 0, 0, w + 10, {"Hello World"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        setMargins(10, 10, c.l, c.r);
        settings.setText(Setting::abs_bmax, QString::number(c.maxWidth));
        int yields = 0;
        setRenderYield([&yields] { ++yields; });
        const TextLayout layout = LayoutText(c.text, settings);
        EXPECT_EQ(layout.lines, c.lines);
        EXPECT_EQ(yields > 0, c.trials > 0);
        EXPECT_LE(yields, c.trials);
        // The width stays the maximum width; the height is recounted with the wrapped lines.
        EXPECT_EQ(layout.width, c.maxWidth);
        EXPECT_EQ(layout.height, 20 + h * c.lines.size());
    }
}

TEST_F(RendererTest, LongWordIsCutAtTheLargestFittingCount)
{
    const QFontMetrics fm = metrics();
    setMargins(0, 0, 10, 10);
    settings.setText(Setting::abs_bmax, "150");
    const QString word = "abcdefghijklmnopqrstuvwxyz";
    const QStringList lines = LayoutText("go " + word, settings).lines;
    // Every line fits, and the next larger count would not fit somewhere.
    qsizetype k = 0;
    for (const QString& line : lines) {
        EXPECT_LE(fm.horizontalAdvance(line) + 20, 150) << line.toStdString();
        k = std::max(k, line.size());
    }
    bool largerFits = true;
    for (const QString& piece : WrapLine("go " + word, k + 1).split("\r\n"))
        largerFits = largerFits && fm.horizontalAdvance(piece) + 20 <= 150;
    EXPECT_FALSE(largerFits);
    EXPECT_EQ(lines.join(""), "go" + word);
    EXPECT_EQ(lines.first(), "go");
}

TEST_F(RendererTest, LongLineWrapsIntoFittingLines)
{
    QString text;
    for (int i = 0; text.size() < 5000; ++i)
        text += QStringLiteral("word%1 ").arg(i % 97);
    const TextLayout layout = LayoutText(text, settings);
    const QFontMetrics fm = metrics();
    for (const QString& line : layout.lines)
        EXPECT_LE(fm.horizontalAdvance(line) + 20, 400) << line.toStdString();
    EXPECT_EQ(layout.lines.join(" "), text.trimmed());
    EXPECT_EQ(CreateBitmap(text, settings).width(), 400);
}

TEST_F(RendererTest, YieldMayReenterTheRenderer)
{
    settings.setText(Setting::abs_bmax, "150");
    const QImage expected = CreateBitmap("a line that needs wrapping", settings);
    int depth = 0;
    setRenderYield([&] {
        if (depth++ == 0)
            CreateBitmap("another line that needs wrapping too", settings);
    });
    EXPECT_EQ(CreateBitmap("a line that needs wrapping", settings), expected);
}

TEST(LineOffset, CentreRoundsHalvesToEven)
{
    struct Case {
        LineAlignment alignment;
        qint64 free;
        qint64 offset;
    };
    for (const Case& c : {Case{LineAlignment::Centre, 5, 2}, Case{LineAlignment::Centre, 7, 4},
                          Case{LineAlignment::Centre, 6, 3}, Case{LineAlignment::Centre, -1, 0},
                          Case{LineAlignment::Centre, -3, -2}, Case{LineAlignment::Centre, -4, -2},
                          Case{LineAlignment::Right, -9, -9}, Case{LineAlignment::Left, 9, 0}}) {
        EXPECT_EQ(LineOffset(c.alignment, c.free), c.offset) << c.free;
    }
}

TEST_F(RendererTest, AlignmentShiftsEachLine)
{
    const QFontMetrics fm = metrics();
    const int tw = fm.horizontalAdvance("Hi");
    setMargins(0, 0, 10, 10);
    settings.setChecked(Setting::fix_wrap, false);
    struct Case {
        Setting button;
        int free;
        int shift;
    };
    for (const Case& c : {Case{Setting::rb_alcenter, 5, 2}, Case{Setting::rb_alcenter, 7, 4}, Case{Setting::rb_alright, 7, 7},
                          Case{Setting::rb_alcenter, -7, -4}}) {
        setFixed(QString::number(tw + 20 + c.free), "40");
        settings.setChecked(Setting::rb_alleft, true);
        const QRect left = inkBox(CreateBitmap("Hi", settings));
        settings.setChecked(c.button, true);
        const QRect aligned = inkBox(CreateBitmap("Hi", settings));
        EXPECT_EQ(aligned.left() - left.left(), c.shift) << c.button << " " << c.free;
        EXPECT_EQ(aligned.top(), left.top());
    }
}

TEST_F(RendererTest, ColoursAreExactAndOverlappingLinesShowThrough)
{
    settings.setText(Setting::act_text_fontcolor, "#123456");
    settings.setText(Setting::act_text_hintergrund, "#FEDCBA");
    const QFontMetrics fm = metrics();
    // z = -h puts both lines at the same place; neither line's cells hide the other.
    setMargins(5, 5, 5, 5, -fm.height());
    setFixed("80", "50");
    const QImage both = CreateBitmap("o\\nl|", settings);
    const QImage first = CreateBitmap("o", settings);
    const QImage second = CreateBitmap("|", settings);
    const QRgb background = qRgb(0xFE, 0xDC, 0xBA);
    const QRgb ink = qRgb(0x12, 0x34, 0x56);
    EXPECT_EQ(colours(both), (QSet<QRgb>{background, ink}));
    for (int y = 0; y < both.height(); ++y)
        for (int x = 0; x < both.width(); ++x) {
            const bool expected = first.pixel(x, y) == ink || second.pixel(x, y) == ink;
            ASSERT_EQ(both.pixel(x, y) == ink, expected) << x << "," << y;
        }
    settings.setChecked(Setting::rb_drehung_270, true);
    EXPECT_EQ(colours(CreateBitmap("o\\nl|", settings)), (QSet<QRgb>{background, ink}));
}

TEST_F(RendererTest, RotationTurnsTheImageWithItsMargins)
{
    // A large top margin and distinct others: after turning, the ink box must sit where the
    // margins were carried.
    setMargins(40, 5, 15, 25);
    const QImage upright = CreateBitmap("Hg", settings);
    const QRect ink = inkBox(upright);
    const int W = upright.width();
    const int H = upright.height();
    ASSERT_GE(ink.top(), 40);
    struct Case {
        Setting button;
        QSize size;
        QRect box;
    };
    const Case cases[] = {
        // 90°: the top margin ends up on the right edge, the left margin on the top edge.
        {Setting::rb_drehung_90, {H, W}, QRect(QPoint(H - 1 - ink.bottom(), ink.left()), QPoint(H - 1 - ink.top(), ink.right()))},
        {Setting::rb_drehung_180, {W, H},
         QRect(QPoint(W - 1 - ink.right(), H - 1 - ink.bottom()), QPoint(W - 1 - ink.left(), H - 1 - ink.top()))},
        // 270°: the top margin on the left edge, the left margin on the bottom edge.
        {Setting::rb_drehung_270, {H, W},
         QRect(QPoint(ink.top(), W - 1 - ink.right()), QPoint(ink.bottom(), W - 1 - ink.left()))},
    };
    for (const Case& c : cases) {
        settings.setChecked(c.button, true);
        const QImage turned = CreateBitmap("Hg", settings);
        EXPECT_EQ(turned.size(), c.size) << c.button;
        EXPECT_EQ(inkBox(turned), c.box) << c.button;
        EXPECT_EQ(turned.format(), QImage::Format_RGB32);
    }
    // A fixed size W x H becomes H x W.
    setFixed("300", "50");
    settings.setChecked(Setting::rb_drehung_90, true);
    EXPECT_EQ(CreateBitmap("Hg", settings).size(), QSize(50, 300));
}

TEST_F(RendererTest, RefusesImagesBeyondTheLimits)
{
    struct Case {
        Setting name;
        const char* value;
    };
    // Each case alone would make an image too large, also where 32-bit arithmetic would wrap
    // around to a small or negative size.
    const Case cases[] = {
        {Setting::abs_o, "2147483647"},
        {Setting::abs_u, "1000000"},
        {Setting::abs_l, "2147483647"},
        {Setting::abs_r, "2000000"},
        {Setting::abs_z, "2147483647"},
        {Setting::FSize, "99999"},
    };
    for (const Case& c : cases) {
        SettingsModel s;
        s.setText(Setting::label2, "DejaVu Sans");
        s.setFontListSelected(true);
        s.setChecked(Setting::max_breite, false);
        s.setText(c.name, c.value);
        EXPECT_THROW(CreateBitmap("a\r\nb", s), RenderError) << c.name;
    }
    setFixed("2000000000", "10");
    EXPECT_THROW(CreateBitmap("a", settings), RenderError);
    setFixed("100000", "100000");
    EXPECT_THROW(CreateBitmap("a", settings), RenderError);
    try {
        CreateBitmap("a", settings);
    } catch (const RenderError& e) {
        EXPECT_NE(std::string(e.what()).find("100000 x 100000"), std::string::npos) << e.what();
    }
    // Many lines add up beyond the side limit.
    settings.setChecked(Setting::abstand_var, true);
    EXPECT_THROW(CreateBitmap(QString("\r\n").repeated(40000), settings), RenderError);
    // Huge negative margins give a 1-pixel side, not an error.
    setMargins(0, 0, -2147483647 - 1, -2147483647 - 1);
    EXPECT_EQ(CreateBitmap("a", settings).width(), 1);
}

TEST(TextMeasure, VeryLongTextsAreMeasuredWithoutOverflow)
{
    QFont font("DejaVu Sans");
    font.setPixelSize(27);
    const TextMeasure measure(font);
    const double w = QFontMetricsF(font).horizontalAdvance("W");
    // 2,000,000 glyphs of about 27 pixels are 53 million pixels: beyond the engine's fixed-point
    // range. Each chunk's width is rounded on its own.
    const qint64 n = 2'000'000;
    EXPECT_NEAR(double(measure.width(QString(n, 'W'))), double(n) * w, double(n / measure.chunkLength() + 1));
}

// The layout from plain values, without a settings model: the size rules of both size modes.
TEST(LayoutSettings, SizeAndWrappingFromPlainValues)
{
    LayoutSettings base;
    base.face = QStringLiteral("DejaVu Sans");
    base.fontPoints = 20;
    base.quality = FontQuality::NonAntialiased;
    base.top = 3;
    base.bottom = 4;
    base.left = 5;
    base.right = 6;
    base.spacing = 2;
    QFont font("DejaVu Sans");
    font.setPixelSize(27);
    font.setStyleStrategy(QFont::NoAntialias);
    const QFontMetrics fm(font);
    const int h = fm.height();
    const QString text = QStringLiteral("one two three four\r\nfive");
    const int longest = fm.horizontalAdvance(QStringLiteral("one two three four"));

    struct Case {
        const char* what;
        void (*adjust)(LayoutSettings&);
        qint64 width;  // -1: the longest line plus the side margins
        qint64 height; // -1: the lines' height plus the top and bottom margins
        int lines;
    };
    const Case cases[] = {
        {"variable", [](LayoutSettings&) {}, -1, -1, 2},
        {"limit off", [](LayoutSettings& l) { l.maxWidth = 60; }, -1, -1, 2},
        {"limit without a number", [](LayoutSettings& l) { l.limitWidth = true; }, -1, -1, 2},
        {"limit wraps", [](LayoutSettings& l) { l.limitWidth = true; l.maxWidth = 120; }, 120, -1, 0},
        {"fixed", [](LayoutSettings& l) { l.fixedSize = true; l.fixedWidth = 90; l.fixedHeight = 30; }, 90, 30, 2},
        {"fixed wraps",
         [](LayoutSettings& l) { l.fixedSize = true; l.fixedWidth = 120; l.fixedHeight = 30; l.fixedWrap = true; },
         120, 30, 0},
    };
    for (const Case& c : cases) {
        LayoutSettings settings = base;
        c.adjust(settings);
        const TextLayout layout = LayoutText(text, settings);
        const qint64 width = c.width < 0 ? longest + 11 : c.width;
        EXPECT_EQ(layout.width, width) << c.what;
        EXPECT_EQ(layout.font.pixelSize(), 27) << c.what;
        if (c.lines > 0) {
            EXPECT_EQ(layout.lines.size(), c.lines) << c.what;
        } else {
            // Wrapped: more lines, each within the width between the margins.
            EXPECT_GT(layout.lines.size(), 2) << c.what;
            for (const QString& line : layout.lines)
                EXPECT_LE(fm.horizontalAdvance(line) + 11, width) << c.what << ": " << line.toStdString();
        }
        const qint64 n = layout.lines.size();
        EXPECT_EQ(layout.height, c.height < 0 ? 7 + n * h + (n - 1) * 2 : c.height) << c.what;
    }

    // Drawing settings as values: a quarter turn swaps the sides.
    LayoutSettings fixed = base;
    fixed.fixedSize = true;
    fixed.fixedWidth = 80;
    fixed.fixedHeight = 30;
    EXPECT_EQ(CreateBitmap("x", fixed, DrawSettings{}).size(), QSize(80, 30));
    EXPECT_EQ(CreateBitmap("x", fixed, DrawSettings{LineAlignment::Right, Rotation::Quarter}).size(), QSize(30, 80));
}

} // namespace
} // namespace qp
