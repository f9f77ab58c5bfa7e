// SPDX-License-Identifier: MIT
#include "core/render/Renderer.h"
#include "core/render/TextMeasure.h"
#include "core/render/WrapLine.h"
#include "core/render/WrapSearch.h"
#include "core/settings/SettingsModel.h"

#include <gtest/gtest.h>
#include <random>

namespace qp {
namespace {

// The wrapping trial loop as written: every k from size - 1 down, every piece measured.
qsizetype referenceCount(const QString& line, const PieceWidth& width, qint64 available, bool alwaysFits)
{
    const qsizetype c = line.size();
    if (c < 2)
        return c;
    for (qsizetype k = c - 1; k >= 1; --k) {
        if (alwaysFits)
            return k;
        bool fits = true;
        for (const QString& piece : WrapLine(line, k).split(QStringLiteral("\r\n")))
            fits = fits && width(piece.constData(), piece.size()) <= available;
        if (fits)
            return k;
    }
    return 1;
}

// A made-up text engine: per-character advances (some zero), pair kerning that never takes more
// than the advance it adjusts, and a wider final form of "x" that appending text takes away, so
// that a text may become up to 6 pixels narrower when it grows.
qint64 syntheticWidth(const QChar* text, qsizetype length)
{
    auto advance = [](QChar c) -> qint64 {
        const char16_t u = c.unicode();
        if (u == 0x200B || c.isLowSurrogate())
            return 0;
        return 3 + (u * 7) % 11;
    };
    qint64 w = 0;
    for (qsizetype i = 0; i < length; ++i) {
        const qint64 a = advance(text[i]);
        w += a;
        if (i > 0)
            w -= std::min<qint64>(a, (text[i - 1].unicode() + text[i].unicode()) % 3);
    }
    if (length > 0 && text[length - 1] == u'x')
        w += 6;
    return w;
}

QString randomLine(std::mt19937& rng, int maxLength)
{
    static const char16_t alphabet[] = u"aaabcdeeefghiiklmnoprstuWWxx   \t--.,\u200B\u00E9";
    std::uniform_int_distribution<int> length(0, maxLength);
    std::uniform_int_distribution<int> pick(0, int(std::size(alphabet)) - 2);
    std::uniform_int_distribution<int> percent(0, 99);
    QString line;
    const int n = length(rng);
    while (line.size() < n) {
        if (percent(rng) < 3)
            line += QString::fromUtf16(u"\U0001F600"); // a surrogate pair
        else
            line += QChar(alphabet[pick(rng)]);
    }
    return line;
}

TEST(WrapSearch, EqualsTheTrialLoopOnRandomLines)
{
    std::mt19937 rng(20261210);
    std::uniform_int_distribution<int> room(1, 260);
    const PieceWidth width = syntheticWidth;
    for (int n = 0; n < 600; ++n) {
        const QString line = randomLine(rng, n < 500 ? 120 : 700);
        WrapSearchOptions options;
        options.available = room(rng);
        options.alwaysFits = n % 50 == 0;
        options.shrinkBound = 6;
        ASSERT_EQ(FindWrapCount(line, width, options),
                  referenceCount(line, width, options.available, options.alwaysFits))
            << "line \"" << line.toStdString() << "\" room " << options.available;
    }
}

TEST(WrapSearch, LongLinesCostAboutLinearly)
{
    // A line of 20,000 characters: trying every trial in full would measure about 10^10
    // characters; the search measures a small multiple of the line's length.
    std::mt19937 rng(7);
    QString line;
    while (line.size() < 20000)
        line += randomLine(rng, 12) + QLatin1Char(' ');
    qint64 measured = 0;
    const PieceWidth width = [&](const QChar* text, qsizetype length) {
        measured += length;
        return syntheticWidth(text, length);
    };
    WrapSearchOptions options;
    options.available = 300;
    options.shrinkBound = 6;
    const qsizetype k = FindWrapCount(line, width, options);
    EXPECT_LT(measured, 200 * line.size());
    for (const QString& piece : WrapLine(line, k).split(QStringLiteral("\r\n")))
        EXPECT_LE(syntheticWidth(piece.constData(), piece.size()), 300);
}

TEST(WrapSearch, YieldsAfterTheFirstTrialAndThenAtTheChosenRate)
{
    const QString line = QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    const PieceWidth width = syntheticWidth;
    WrapSearchOptions options;
    options.available = 1; // nothing fits: every trial down to k = 1 is made
    int calls = 0;
    options.yield = [&calls] { ++calls; };
    options.yieldIntervalMs = 0;
    EXPECT_EQ(FindWrapCount(line, width, options), 1);
    EXPECT_EQ(calls, line.size() - 1);
    calls = 0;
    options.yieldIntervalMs = 1'000'000;
    EXPECT_EQ(FindWrapCount(line, width, options), 1);
    EXPECT_EQ(calls, 1);
}

// The renderer's wrapping with the real text engine equals the trial loop on random lines.
TEST(WrapSearch, RendererWrapsLikeTheTrialLoop)
{
    SettingsModel settings;
    settings.setText(Setting::label2, "DejaVu Sans");
    settings.setFontListSelected(true);
    settings.setText(Setting::abs_l, "10");
    settings.setText(Setting::abs_r, "10");
    settings.setChecked(Setting::max_breite, true);
    const TextMeasure measure(LayoutText(QString(), settings).font);
    const PieceWidth width = [&measure](const QChar* text, qsizetype length) { return measure.width(text, length); };
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> room(60, 500);
    for (int n = 0; n < 150; ++n) {
        const QString line = randomLine(rng, 160);
        const int maxWidth = room(rng);
        settings.setText(Setting::abs_bmax, QString::number(maxWidth));
        QStringList expected{line};
        if (measure.width(line) + 20 > maxWidth && measure.width(QStringLiteral("W")) + 10 < maxWidth)
            expected = WrapLine(line, referenceCount(line, width, maxWidth - 20, false)).split(QStringLiteral("\r\n"));
        ASSERT_EQ(LayoutText(line, settings).lines, expected) << line.toStdString() << " at " << maxWidth;
    }
}

} // namespace
} // namespace qp
