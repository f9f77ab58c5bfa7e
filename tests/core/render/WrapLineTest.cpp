// SPDX-License-Identifier: MIT
#include "core/render/WrapLine.h"

#include <gtest/gtest.h>

namespace qp {
namespace {

struct WrapCase {
    const char16_t* line;
    int k;
    const char16_t* expected;
};

void PrintTo(const WrapCase& c, std::ostream* os)
{
    *os << '"' << QString::fromUtf16(c.line).toStdString() << "\" k=" << c.k;
}

class WrapLineTable : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WrapLineTable, BreaksAndTrimsPieces)
{
    const WrapCase& c = GetParam();
    EXPECT_EQ(WrapLine(QString::fromUtf16(c.line), c.k), QString::fromUtf16(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WrapLineTable,
    ::testing::Values(
        // Break after the last space within k characters; the space is trimmed away.
        WrapCase{u"Hello World", 10, u"Hello\r\nWorld"},
        // A hyphen stays at the end of its piece; the last character forms a piece of its own.
        WrapCase{u"abc-d", 4, u"abc-\r\nd"},
        // Tab is a break character too.
        WrapCase{u"ab\tcd", 3, u"ab\r\ncd"},
        // No break character: hard cuts after k characters, no hyphen added.
        WrapCase{u"abcdefgh", 3, u"abc\r\ndef\r\ngh"},
        WrapCase{u"abc", 1, u"a\r\nb\r\nc"},
        // The first character of a piece is never its break point.
        WrapCase{u"ab cdef", 2, u"ab\r\nc\r\nde\r\nf"},
        // A piece of spaces becomes an empty line; control characters are trimmed like spaces.
        WrapCase{u"ab      cd", 3, u"ab\r\n\r\n\r\ncd"},
        WrapCase{u"\x01" u"ab\x1f" u"cd", 4, u"ab\r\ncd"},
        // Characters above 255 never break, even when they look like spaces or hyphens.
        WrapCase{u"ab\u2010cd\u3000ef", 4, u"ab\u2010c\r\nd\u3000ef"},
        // The whole line fits: one piece, trimmed.
        WrapCase{u" a b ", 5, u"a b"},
        WrapCase{u"", 3, u""},
        // k below 1 counts as 1.
        WrapCase{u"ab", 0, u"a\r\nb"}),
    [](const ::testing::TestParamInfo<WrapCase>& info) { return "case" + std::to_string(info.index); });

TEST(WrapLine, HardCutKeepsSurrogatePairsWhole)
{
    const QString face = QString::fromUtf16(u"\U0001F600");
    // The cut would fall inside the pair: the piece ends one unit earlier.
    EXPECT_EQ(WrapLine("ab" + face + "cd", 3), "ab\r\n" + face + "c\r\nd");
    // A pair alone in a one-unit piece stays whole.
    EXPECT_EQ(WrapLine(face + face, 1), face + "\r\n" + face);
}

} // namespace
} // namespace qp
