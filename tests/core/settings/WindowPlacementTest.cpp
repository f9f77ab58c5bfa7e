// SPDX-License-Identifier: MIT
// Keeping a restored window reachable: a window whose title strip lies on a screen stays where it
// is; one that would be above, beside or below every screen comes back onto one.
#include "core/settings/WindowPlacement.h"

#include <gtest/gtest.h>

#include <string>

namespace qp {
namespace {

struct OnScreenCase {
    std::string name;
    QRect window;
    QList<QRect> screens;
    QPoint expected;
};

class KeepOnScreen : public ::testing::TestWithParam<OnScreenCase> {};

TEST_P(KeepOnScreen, PlacesTheWindowWhereItCanBeReached)
{
    const OnScreenCase& c = GetParam();
    EXPECT_EQ(keepOnScreen(c.window, c.screens), c.expected);
}

const QRect kScreen(0, 0, 1280, 900);
const QRect kRightScreen(1280, 100, 1024, 768);

INSTANTIATE_TEST_SUITE_P(
    Placements, KeepOnScreen,
    ::testing::Values(
        OnScreenCase{"Inside", QRect(62, 80, 594, 670), {kScreen}, QPoint(62, 80)},
        OnScreenCase{"PartlyOutsideBelowAndRight", QRect(1000, 600, 594, 670), {kScreen}, QPoint(1000, 600)},
        OnScreenCase{"LargerThanTheScreen", QRect(10, 10, 2000, 1500), {kScreen}, QPoint(10, 10)},
        // The window that crept upwards until its menus were gone.
        OnScreenCase{"AboveTheTop", QRect(57, -20, 594, 670), {kScreen}, QPoint(57, 0)},
        OnScreenCase{"TitleStripBelowTheBottom", QRect(300, 880, 594, 670), {kScreen}, QPoint(300, 230)},
        OnScreenCase{"LeftOfEveryScreen", QRect(-600, 100, 594, 670), {kScreen}, QPoint(0, 100)},
        OnScreenCase{"OnlyASliverOnTheLeft", QRect(-550, 100, 594, 670), {kScreen}, QPoint(0, 100)},
        OnScreenCase{"FarAwayGoesToThePrimary", QRect(9000, 9000, 594, 670), {kScreen, kRightScreen},
                     QPoint(686, 230)},
        OnScreenCase{"OnTheSecondScreen", QRect(1400, 200, 594, 670), {kScreen, kRightScreen}, QPoint(1400, 200)},
        OnScreenCase{"AboveTheSecondScreen", QRect(1500, 50, 594, 670), {kScreen, kRightScreen},
                     QPoint(1500, 100)},
        OnScreenCase{"OnAScreenLeftAbove", QRect(-700, -600, 594, 670), {QRect(-1024, -768, 1024, 768), kScreen},
                     QPoint(-700, -600)},
        OnScreenCase{"StraddlingGoesToTheLargerPart", QRect(-50, -100, 594, 670),
                     {QRect(-1024, -768, 1024, 768), kScreen}, QPoint(0, 0)},
        OnScreenCase{"LargerWindowOffScreenGoesToTheCorner", QRect(-3000, 50, 2000, 1500), {kScreen}, QPoint(0, 0)},
        OnScreenCase{"NoScreenKnown", QRect(-3000, -3000, 594, 670), {}, QPoint(-3000, -3000)}),
    [](const ::testing::TestParamInfo<OnScreenCase>& info) { return info.param.name; });

TEST(CascadePosition, ASecondWindowOpensOffsetFromTheFirst)
{
    const QSize size(594, 670);
    // Nobody there, or others away from it: where it was going to open.
    EXPECT_EQ(cascadePosition({100, 80}, size, {}, kScreen), QPoint(100, 80));
    EXPECT_EQ(cascadePosition({100, 80}, size, {{400, 80}, {100, 300}}, kScreen), QPoint(100, 80));
    // Exactly over another, or within a few pixels of it: one step on; over two: two steps.
    EXPECT_EQ(cascadePosition({100, 80}, size, {{100, 80}}, kScreen), QPoint(132, 112));
    EXPECT_EQ(cascadePosition({100, 80}, size, {{103, 78}}, kScreen), QPoint(132, 112));
    EXPECT_EQ(cascadePosition({100, 80}, size, {{132, 112}, {100, 80}}, kScreen), QPoint(164, 144));
    // At the screen's bottom the way starts again at its top-left corner.
    EXPECT_EQ(cascadePosition({600, 230}, size, {{600, 230}}, kScreen), QPoint(0, 0));
    EXPECT_EQ(cascadePosition({600, 230}, size, {{600, 230}, {0, 0}}, kScreen), QPoint(32, 32));
}

} // namespace
} // namespace qp
