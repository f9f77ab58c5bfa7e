// SPDX-License-Identifier: MIT
#include "core/output/MemoryEstimate.h"

#include <gtest/gtest.h>

using namespace qp;

namespace {

// Restores the machine's budget however a test ends.
struct BudgetGuard {
    explicit BudgetGuard(qint64 bytes) { setImageMemoryBudget(bytes); }
    ~BudgetGuard() { setImageMemoryBudget(0); }
};

} // namespace

TEST(MemoryEstimate, FollowsTheFormatOfTheExtension)
{
    // The largest image the size cap allows, 16384 x 16384.
    const qint64 side = 16384, pixels = side * side;
    EXPECT_EQ(estimatedImageMemory(side, side, "/o/a.png"), 10 * pixels);
    EXPECT_EQ(estimatedImageMemory(side, side, "/o/a.JP2"), 24 * pixels);
    EXPECT_EQ(estimatedImageMemory(side, side, "/o/a.jpc"), 24 * pixels);
    EXPECT_EQ(estimatedImageMemory(side, side, "/o/a.pfm"), 50 * pixels);
    EXPECT_EQ(estimatedImageMemory(side, side, "/o/a.p"), 10 * pixels);   // not a prefix match
    EXPECT_EQ(estimatedImageMemory(side, side, "/o/noext"), 10 * pixels);
    EXPECT_EQ(estimatedImageMemory(0, 0, "/o/a.png"), 10);
    // The machine gives something, whatever it is.
    EXPECT_GT(imageMemoryBudget(), 0);
}

TEST(MemoryEstimate, RefusesWhatTheBudgetCannotHoldWithBothFigures)
{
    const BudgetGuard guard(100 << 20);
    EXPECT_NO_THROW(checkImageMemory(3000, 3000, "/o/a.png"));   // 90 MB
    try {
        checkImageMemory(3000, 3000, "/o/a.jp2");                // 216 MB
        ADD_FAILURE() << "not refused";
    } catch (const MemoryError& e) {
        const std::string what = e.what();
        EXPECT_NE(what.find("3000 x 3000"), std::string::npos) << what;
        EXPECT_NE(what.find("206 MB"), std::string::npos) << what;
        EXPECT_NE(what.find("100 MB"), std::string::npos) << what;
        EXPECT_NE(what.find(".jp2"), std::string::npos) << what;
    }
}
