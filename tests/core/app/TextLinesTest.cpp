// SPDX-License-Identifier: MIT
#include "core/app/TextLines.h"
#include "support/codec/CaseNames.h"

#include <gtest/gtest.h>

using namespace qp;

namespace {

struct Case {
    const char* what;
    const char* text;
    QStringList lines;
};

class TextLines : public ::testing::TestWithParam<Case> {};

TEST_P(TextLines, SplitsAtEveryKindOfBreak)
{
    EXPECT_EQ(textLines(QString::fromUtf8(GetParam().text)), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextLines,
    ::testing::Values(Case{"Empty", "", {}},
                      Case{"OneLine", "a", {"a"}},
                      Case{"BreakAtTheEndAddsNoLine", "a\n", {"a"}},
                      Case{"CrLfAtTheEndAddsNoLine", "a\r\n", {"a"}},
                      Case{"EmptyLineBeforeTheLastBreakStays", "a\n\n", {"a", ""}},
                      Case{"OnlyABreakIsOneEmptyLine", "\r\n", {""}},
                      Case{"CrLf", "a\r\nb", {"a", "b"}},
                      Case{"LoneCr", "a\rb", {"a", "b"}},
                      Case{"LfCrIsTwoBreaks", "a\n\rb", {"a", "", "b"}},
                      Case{"Mixed", "a\r\n\nb\rc", {"a", "", "b", "c"}}),
    codectest::CaseWhat());

} // namespace
