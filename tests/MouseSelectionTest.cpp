// Which block a pointer position hits, where the mouse and hit-blocks examples cannot reach: every
// boundary of bars of several widths compared in single precision, values no script can give, and
// that it is the block drawn under the pointer at every pixel ratio.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "render/BlockGeometry.h"

namespace tarn {
namespace {

// --- which block a pointer position hits --------------------------------------------------------

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

TEST(HitTest, NothingIsHitBesideTheBarOrForANonNumber) {
    // Bar width, X: values no pointer event of a script can carry. The hit-blocks example shows
    // the boundaries and the ends of bars.
    const std::pair<double, float> cases[] = {{573, -1e-30f},    {573, kNaN}, {573, kInfinity},
                                              {573, -kInfinity}, {0, 0.0f},   {-96, 0.0f}};
    for (const auto& [width, x] : cases)
        EXPECT_EQ(render::BlockUnder(width, x), -1) << "X=" << x << " on " << width;
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

}  // namespace
}  // namespace tarn
