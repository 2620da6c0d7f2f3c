// The mouse selection on a day bar where the mouse example cannot reach: which block a pointer
// position hits (the left boundary belongs to the block, bounds compared in single precision,
// nothing outside the bar or for a non-number) on bars of any width, and that it is the block
// drawn under the pointer at every pixel ratio.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "render/BlockGeometry.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

// --- which block a pointer position hits --------------------------------------------------------

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

TEST(HitTest, BlockUnderHoldsItsLeftBoundaryButNotItsRight) {
    // Bar width, X and the block hit (-1: none). 573 wide: w = 5.96875, and the float just below a
    // boundary still lies in the block before.
    const std::tuple<double, float, int> cases[] = {
        {573, 0.0f, 0},        {573, 5.96875f, 1},   {573, 5.9687495f, 0}, {573, 572.99994f, 95},
        {573, 573.0f, -1},     {576, 11.999999f, 1}, {144, 4.0f, 2},       {144, 4.5f, 3},
        {573, -1e-30f, -1},    {573, 1e30f, -1},     {573, kNaN, -1},      {573, kInfinity, -1},
        {573, -kInfinity, -1}, {0, 0.0f, -1},        {-96, 0.0f, -1}};
    for (const auto& [width, x, block] : cases)
        EXPECT_EQ(render::BlockUnder(width, x), block) << "X=" << x << " on " << width;
}

TEST(HitTest, EveryBoundaryComparesInSinglePrecision) {
    // lo = i * W / 96 in double, then rounded to single precision. Where that rounding goes down,
    // X = float(lo) lies below the exact boundary and must still hit block i; the float just below
    // it hits block i - 1.
    for (const double width : {100.0, 573.0, 577.0, 1000.0, 7.0}) {
        const double w = width / 96.0;
        for (int i = 1; i <= 96; ++i) {
            const float lo = static_cast<float>(i * w);
            EXPECT_EQ(render::BlockUnder(width, lo), i < 96 ? i : -1) << width << ", " << i;
            EXPECT_EQ(render::BlockUnder(width, std::nextafter(lo, -kInfinity)), i - 1)
                << width << " wide, below block " << i;
        }
    }
}

TEST(HitTest, TheMiddleOfEveryDrawnBlockHitsThatBlockAtEveryRatio) {
    // A pointer over the middle of the device columns a block is drawn on picks that block, on
    // every bar whose blocks are at least a logical pixel wide.
    for (const double ratio : {1.0, 1.5, 2.0})
        for (int width = 96; width <= 4000; ++width) {
            const render::BarGeometry bar(width, 31, ratio);
            for (int block = 0; block < 96; ++block) {
                const double middle = (bar.BlockEdge(block) + bar.BlockEdge(block + 1)) / 2.0;
                ASSERT_EQ(render::BlockUnder(width, static_cast<float>(middle / ratio)), block)
                    << width << " wide at " << ratio;
            }
        }
}

TEST(HitTest, PressMarksTheBlockHitNotTheOwnerOfTheColumn) {
    // Bar width, X, the block hit, and the letters of the bar's bottom row from a column on.
    // 144 wide: block 2 spans column 3 alone and block 3 columns 4 and 5, but X = 4 lies in
    // block 2's bounds [3, 4.5).
    const std::tuple<int, float, int, int, std::string> cases[] = {
        {144, 4.0f, 2, 2, "WKWW"},
        {573, 572.0f, 95, 566, "WKKKKKK"},
        {576, 12.0f, 2, 11, "WKKKKKKW"}};
    for (const auto& [width, x, block, from, bottom] : cases) {
        ScheduleFixture f;
        f.SizeBar(0, width, 31);
        f.schedule.Schedule_MouseDown(0, 1, 0, x, 10.0f);
        EXPECT_EQ(f.Flags(), BlockRun(block, block)) << width;
        EXPECT_EQ(f.Row(0, 30).substr(from, bottom.size()), bottom) << width;
    }
}

}  // namespace
}  // namespace tarn
