// SPDX-License-Identifier: MIT
#include "core/render/GlyphCoverage.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QRawFont>
#include <gtest/gtest.h>

#include <optional>

using namespace qp;

namespace {

bool faceHas(const QString& family, char32_t c)
{
    return QRawFont::fromFont(QFont(family)).supportsCharacter(c);
}

// A character of `candidates` that `family` lacks and some other installed face has.
std::optional<char32_t> characterOfAnotherFace(const QString& family, const std::u32string& candidates)
{
    const QStringList families = QFontDatabase::families();
    for (const char32_t c : candidates) {
        if (faceHas(family, c))
            continue;
        for (const QString& other : families)
            if (faceHas(other, c))
                return c;
    }
    return std::nullopt;
}

} // namespace

TEST(GlyphCoverage, NamesTheFaceDrawingWhatTheChosenFaceLacks)
{
    const QFont font(QStringLiteral("DejaVu Sans"));
    if (QFontInfo(font).family() != QLatin1String("DejaVu Sans"))
        GTEST_SKIP() << "DejaVu Sans is not installed";
    EXPECT_TRUE(glyphCoverage(QStringLiteral("Hello, W\u00F6rld\r\n\\nl\t\u00C5"), font).complete());

    // Circled digits, mathematical operators and letters, dingbats: most machines have one of
    // them in a face other than DejaVu Sans.
    const auto other = characterOfAnotherFace(QStringLiteral("DejaVu Sans"),
                                              U"\u2460\u2A0B\u2A1B\U0001D4D0\U0001D538\u27C0\u2B50\u2E3A");
    ASSERT_TRUE(other) << "no installed face has a character that DejaVu Sans lacks";
    const QString c = QString::fromUcs4(&*other, 1);
    // Private-use characters belong to no face.
    const QString privateUse = QStringLiteral("\uE000\uE123");

    const GlyphCoverage coverage = glyphCoverage("a" + c + "b" + privateUse + c + "\uE000", font);
    ASSERT_EQ(coverage.substitutes.size(), 2);
    const GlyphCoverage::Substitute& drawn = coverage.substitutes[0];
    EXPECT_EQ(drawn.characters, c);
    EXPECT_EQ(drawn.count, 1);
    EXPECT_FALSE(drawn.face.isEmpty());
    EXPECT_NE(drawn.face, QStringLiteral("DejaVu Sans"));
    EXPECT_TRUE(faceHas(drawn.face, *other)) << drawn.face.toStdString();
    EXPECT_TRUE(coverage.substitutes[1].face.isEmpty());
    EXPECT_EQ(coverage.substitutes[1].characters, privateUse);
    EXPECT_EQ(coverage.substitutes[1].count, 2);

    EXPECT_EQ(glyphCoverageNote(coverage, QStringLiteral("en")).toStdString(),
              QString("1 character is drawn in " + drawn.face + ": " + c
                      + "\n2 characters are in no installed face and appear as empty boxes: " + privateUse)
                  .toStdString());
    EXPECT_EQ(glyphCoverageNote(coverage, QStringLiteral("de")).toStdString(),
              QString("1 Zeichen wird in " + drawn.face + " gezeichnet: " + c
                      + "\n2 Zeichen fehlen in allen installierten Schriften und erscheinen als leere K\u00E4stchen: "
                      + privateUse)
                  .toStdString());
}

TEST(GlyphCoverage, NoteListsTwelveCharactersAtMost)
{
    GlyphCoverage coverage;
    QString many;
    for (char32_t c = 0xE000; c < 0xE000 + 20; ++c)
        many += QString::fromUcs4(&c, 1);
    coverage.substitutes.append({QString(), many, 20});
    coverage.substitutes.append({QStringLiteral("Some Face"), QStringLiteral("x"), 1});
    EXPECT_EQ(glyphCoverageNote(coverage, QStringLiteral("en")).toStdString(),
              QString("20 characters are in no installed face and appear as empty boxes: " + many.left(12)
                      + "\u2026\n1 character is drawn in Some Face: x")
                  .toStdString());
    EXPECT_TRUE(glyphCoverageNote(GlyphCoverage{}, QStringLiteral("de")).isEmpty());
}
