// Which block a pointer position hits: the left boundary belongs to the block, the right one to
// its neighbour, bounds compared in single precision, and anything outside the bar (or not a
// number) hits nothing. A press shows the block it hit, which need not be the block that owns the
// pixel column under the pointer.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "model/DesignData.h"
#include "render/BlockGeometry.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

struct HitCase {
    double width;
    float x;
    int block;  // -1: none
};

void PrintTo(const HitCase& c, std::ostream* os) {
    *os << "X=" << c.x << " on " << c.width << " -> " << c.block;
}

class BlockUnderPointer : public ::testing::TestWithParam<HitCase> {};

TEST_P(BlockUnderPointer, HitsTheBlockWhoseBoundsHoldX) {
    EXPECT_EQ(render::BlockUnder(GetParam().width, GetParam().x), GetParam().block);
}

INSTANTIATE_TEST_SUITE_P(
    DesignBar, BlockUnderPointer,
    ::testing::Values(HitCase{573, 0.0f, 0}, HitCase{573, 572.0f, 95}, HitCase{573, 6.0f, 1},
                      // w = 5.96875: the boundary itself belongs to the block on its right.
                      HitCase{573, 5.96875f, 1}, HitCase{573, 5.9687495f, 0},
                      HitCase{573, 572.99994f, 95}, HitCase{573, 573.0f, -1}));

INSTANTIATE_TEST_SUITE_P(ExactBlocks, BlockUnderPointer,
                         ::testing::Values(HitCase{576, 12.0f, 2}, HitCase{576, 11.999999f, 1},
                                           HitCase{576, 575.5f, 95}, HitCase{576, 576.0f, -1}));

INSTANTIATE_TEST_SUITE_P(HalfPixelBlocks, BlockUnderPointer,
                         ::testing::Values(HitCase{144, 4.0f, 2}, HitCase{144, 4.5f, 3},
                                           HitCase{144, 3.0f, 2}, HitCase{144, 1.5f, 1}));

INSTANTIATE_TEST_SUITE_P(Outside, BlockUnderPointer,
                         ::testing::Values(HitCase{573, -0.5f, -1}, HitCase{573, -1e-30f, -1},
                                           HitCase{573, 1e30f, -1}, HitCase{573, kNaN, -1},
                                           HitCase{573, kInfinity, -1},
                                           HitCase{573, -kInfinity, -1}, HitCase{0, 0.0f, -1},
                                           HitCase{-96, 0.0f, -1}));

TEST(BlockUnderPointer, EveryBoundaryComparesInSinglePrecision) {
    // lo = i * W / 96 in double, then rounded to single precision. Where that rounding goes down,
    // X = float(lo) lies below the exact boundary and must still hit block i; the float just below
    // it hits block i - 1.
    for (const double width : {100.0, 573.0, 577.0, 1000.0, 7.0}) {
        const double w = width / 96.0;
        for (int i = 1; i < 96; ++i) {
            const float lo = static_cast<float>(i * w);
            EXPECT_EQ(render::BlockUnder(width, lo), i) << width << " wide, block " << i;
            EXPECT_EQ(render::BlockUnder(width, std::nextafter(lo, -kInfinity)), i - 1)
                << width << " wide, below block " << i;
        }
        const float end = static_cast<float>(96 * w);
        EXPECT_EQ(render::BlockUnder(width, std::nextafter(end, -kInfinity)), 95) << width;
        EXPECT_EQ(render::BlockUnder(width, end), -1) << width;
    }
}

// --- through a press on a bar ---------------------------------------------------------------

constexpr std::uint32_t kBlack = platform::PixelOf(0x000000);
constexpr std::uint32_t kWhite = platform::PixelOf(0xFFFFFF);

class PressOnBar : public ::testing::Test {
protected:
    void SizeBar(int width) {
        f.platform.Bar(0).SetWidth(static_cast<float>(width + 2 * design::kBarBorder));
    }
    /// The bottom row lies in the bottom band, crossed only by the hour marks.
    std::uint32_t Bottom(int x) {
        const auto& bar = f.platform.Bar(0);
        return bar.context().PixelAt(x, bar.innerHeight() - 1);
    }
    std::vector<int> Selected() const {
        std::vector<int> blocks;
        for (int b = 0; b < 101; ++b)
            if (f.schedule.State().SelectionBlocks[b]) blocks.push_back(b);
        return blocks;
    }

    ScheduleFixture f;
};

TEST_F(PressOnBar, OnAHalfPixelBarMarksTheBlockHitNotTheOwnerOfTheColumn) {
    // 144 wide: block 2 spans columns 3 to 3 and block 3 columns 4 to 5, but X = 4 lies in
    // block 2's bounds [3, 4.5).
    SizeBar(144);
    f.schedule.Schedule_MouseDown(0, 1, 0, 4.0f, 10.0f);
    EXPECT_EQ(Selected(), std::vector<int>{2});
    EXPECT_EQ(Bottom(2), kWhite);
    EXPECT_EQ(Bottom(3), kBlack);
    EXPECT_EQ(Bottom(4), kWhite);
    EXPECT_EQ(Bottom(5), kWhite);
}

TEST_F(PressOnBar, OnTheLastColumnOfTheDesignBarMarksTheLastBlock) {
    f.schedule.Schedule_MouseDown(0, 1, 0, 572.0f, 10.0f);
    EXPECT_EQ(Selected(), std::vector<int>{95});
    EXPECT_EQ(Bottom(566), kWhite);
    for (int x = 567; x < 573; ++x)
        EXPECT_EQ(Bottom(x), kBlack) << "column " << x;
}

TEST_F(PressOnBar, OnABoundaryOfExactBlocksMarksTheBlockToItsRight) {
    SizeBar(576);
    f.schedule.Schedule_MouseDown(0, 1, 0, 12.0f, 10.0f);
    EXPECT_EQ(Selected(), std::vector<int>{2});
    EXPECT_EQ(Bottom(11), kWhite);
    for (int x = 12; x < 18; ++x)
        EXPECT_EQ(Bottom(x), kBlack) << "column " << x;
    EXPECT_EQ(Bottom(18), kWhite);
}

class PressOutside : public PressOnBar, public ::testing::WithParamInterface<float> {};

TEST_P(PressOutside, MarksNothingAndReportsNothing) {
    f.schedule.Schedule_MouseDown(0, 1, 0, GetParam(), 10.0f);
    EXPECT_TRUE(Selected().empty());
    // Only the hour marks cross the bottom band.
    int black = 0;
    for (int x = 0; x < 573; ++x)
        black += Bottom(x) == kBlack ? 1 : 0;
    EXPECT_EQ(black, 24);
    EXPECT_TRUE(f.MessageTexts().empty());
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

INSTANTIATE_TEST_SUITE_P(Positions, PressOutside,
                         ::testing::Values(-1.0f, -0.001f, 573.0f, 1e9f, kNaN, kInfinity,
                                           -kInfinity),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

}  // namespace
}  // namespace tarn
