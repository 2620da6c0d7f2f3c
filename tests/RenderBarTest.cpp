// The blocks of a day bar as they land in its pixel buffer: block edges from the rounded left-edge
// accumulator at any width, down to bars narrower than the 96 blocks. The three bands at heights
// that do not divide by three are shown by the time-scale and mouse examples, and every pixel of a
// 576 x 33 bar by the time-scale example.

#include <gtest/gtest.h>

#include <utility>

#include "model/TimeConversion.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

TEST(BarRendering, BlocksTileTheBarFromColumnZeroToItsLastColumn) {
    // Bar width and the left edges of blocks 0, 1, 2, ...
    const std::pair<int, Values> cases[] = {
        {573, {0, 6, 12, 18}},  // w = 5.96875: the design bar
        {576, {0, 6, 12, 18, 24, 30}},
        // w = 1.5: halves of the accumulator round to the even neighbour.
        {144, {0, 2, 3, 4, 6, 8, 9, 10, 12}},
        // Narrower than 96 columns: one block covers no column at all.
        {95, {0, 1, 2, 3}},
        {1150, {0, 12, 24, 36}}};
    for (const auto& [width, edges] : cases) {
        ScheduleFixture f;
        f.SizeBar(0, width, 33);
        f.faults.Fail("LineTo", 0);  // no tick marks across the middle band
        // Enable one block at a time and read its green columns from the middle band.
        std::size_t end = 0;
        Values lefts;
        for (int b = 0; b < 96; ++b) {
            f.SetRegion(0, 1, BlockQuantityToTime(b), BlockQuantityToTime(b + 1));
            const std::string middle = f.Letters(0, 0, 16, 1, 0);
            // A block narrower than a pixel covers no column: it starts and ends where it began.
            const bool none = middle.find('G') == std::string::npos;
            const std::size_t left = none ? end : middle.find('G');
            const std::size_t right = none ? end : middle.rfind('G') + 1;
            EXPECT_EQ(middle, std::string(left, 'R') + std::string(right - left, 'G') +
                                  std::string(width - right, 'R'))
                << "block " << b << " is one run";
            EXPECT_EQ(left, end) << "gap or overlap before block " << b << ", " << width;
            lefts.push_back(static_cast<int>(left));
            end = right;
        }
        EXPECT_EQ(end, static_cast<std::size_t>(width));
        EXPECT_EQ(Values(lefts.begin(), lefts.begin() + edges.size()), edges);
    }
}

}  // namespace
}  // namespace tarn
