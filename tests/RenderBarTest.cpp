// The blocks of a day bar as they land in its pixel buffer: block edges from the rounded left-edge
// accumulator at any width, and the three bands at heights that do not divide by three. Every
// pixel of a 576 x 33 bar is shown by the time-scale example.

#include <gtest/gtest.h>

#include <tuple>

#include "model/TimeConversion.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

/// Letters repeated: "W10R10-1W10" is ten W, ten R, one - and ten W.
std::string Stripes(const std::string& runs) {
    std::string letters;
    for (std::size_t i = 0; i < runs.size();) {
        const char letter = runs[i++];
        std::size_t digits = 0;
        letters.append(std::stoi(runs.substr(i), &digits), letter);
        i += digits;
    }
    return letters;
}

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
            const std::string middle = f.Row(0, 16);
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

TEST(BarRendering, BandsAreThirdsOfTheHeightRoundedFromTheRoundedTop) {
    // Height, then the column of an enabled block, top to bottom: background, state, marked.
    const std::tuple<int, const char*, const char*, const char*> cases[] = {
        {33, "W11R11W11", "W11G11W11", "K11G11K11"},
        // h = 10.33: row 20 belongs to no band and keeps the cleared background.
        {31, "W10R10-1W10", "W10G10-1W10", "K10G10-1K10"},
        // h = 10.67: row 21 belongs to the middle and the bottom band, whichever paints last.
        {32, "W11R11W10", "W11G11W10", "K11G10K11"}};
    constexpr int kColumn = 33 * 6 + 3;  // inside block 33, clear of every tick mark
    for (const auto& [height, background, state, marked] : cases) {
        ScheduleFixture f;
        f.SizeBar(0, 576, height);
        f.Redraw();
        EXPECT_EQ(f.Column(0, kColumn), Stripes(background)) << height;
        f.SetRegion(0, 1, 800, 1000);
        EXPECT_EQ(f.Column(0, kColumn), Stripes(state)) << height;
        f.schedule.Schedule_MouseDown(0, 1, 0, static_cast<float>(kColumn), 0);
        EXPECT_EQ(f.Column(0, kColumn), Stripes(marked)) << height;
    }
}

}  // namespace
}  // namespace tarn
