// The blocks of a day bar as they land in its pixel buffer: block edges from the rounded left-edge
// accumulator, the three bands, the state and background colours, and what stays on the bar when
// drawing fails part way.

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "model/DesignData.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

using platform::PixelOf;

constexpr std::uint32_t kWhite = PixelOf(0xFFFFFF);
constexpr std::uint32_t kLightRed = PixelOf(0xFF0000);
constexpr std::uint32_t kLightGreen = PixelOf(0x00FF00);
constexpr std::uint32_t kBlack = PixelOf(0x000000);
constexpr std::uint32_t kCleared = PixelOf(platform::kBackgroundColour);

/// The time value at the start of block b (b = 96: the end of the day).
std::int16_t TimeOfBlock(int b) {
    return static_cast<std::int16_t>(b / 4 * 100 + b % 4 * 15);
}

class BarRendering : public ::testing::Test {
protected:
    platform::memory::MemoryBar& Bar(int i) { return f.platform.Bar(i); }
    std::uint32_t Pixel(int bar, int x, int y) { return Bar(bar).context().PixelAt(x, y); }

    /// Gives bar i the inner size width x height.
    void SizeBar(int i, int width, int height) {
        Bar(i).SetWidth(static_cast<float>(width + 2 * design::kBarBorder));
        Bar(i).SetHeight(static_cast<float>(height + 2 * design::kBarBorder));
    }

    /// A full redraw on the timer, as after the host's Refresh.
    void Redraw() {
        f.schedule.Refresh();
        ASSERT_TRUE(f.Tick());
    }

    /// Paints only the background layer of bar i on a cleared bar.
    void DrawBackgroundOnly(int i) {
        Bar(i).Cls();
        f.access.SetCurrentDay(static_cast<std::int16_t>(i));
        f.access.InitializeScheduleBlocks();
    }

    /// Monday holds the one region from block first to block last.
    void SetMondayRegion(int first, int last) {
        // Start first: when it meets the old stop nothing redraws, and the stop then redraws once.
        f.schedule.SetSchedule_MondayStart1(TimeOfBlock(first));
        f.schedule.SetSchedule_MondayStop1(TimeOfBlock(last + 1));
    }

    ScheduleFixture f;
};

// --- the whole picture ----------------------------------------------------------------------

TEST_F(BarRendering, EveryPixelOfA576By33BarIsItsBandColourOrATickMark) {
    // At 576 x 33 every edge is exact: blocks of 6 columns, bands of 11 rows, marks every 6
    // columns of 11, 22 or 33 rows. The region 08:00 to 10:00 is blocks 32 to 39.
    SizeBar(0, 576, 33);
    f.schedule.SetSchedule_MondayStart1(800);
    f.schedule.SetSchedule_MondayStop1(1000);

    std::ostringstream wrong;
    int mismatches = 0;
    for (int y = 0; y < 33; ++y) {
        for (int x = 0; x < 576; ++x) {
            std::uint32_t expected;
            if (x % 24 == 0 || (x % 12 == 0 && y < 22) || (x % 6 == 0 && y < 11))
                expected = kBlack;
            else if (y < 11 || y >= 22)
                expected = kWhite;
            else
                expected = (x / 6 >= 32 && x / 6 <= 39) ? kLightGreen : kLightRed;
            if (Pixel(0, x, y) != expected && mismatches++ < 10)
                wrong << " (" << x << "," << y << ")=" << std::hex << Pixel(0, x, y) << std::dec;
        }
    }
    EXPECT_EQ(mismatches, 0) << wrong.str();
    EXPECT_TRUE(f.MessageTexts().empty());
}

// --- block edges ----------------------------------------------------------------------------

struct EdgeCase {
    int width;
    std::vector<int> leadingEdges;  // left edges of blocks 0, 1, 2, ...
};

void PrintTo(const EdgeCase& c, std::ostream* os) {
    *os << c.width << " wide";
}

class BlockEdges : public BarRendering, public ::testing::WithParamInterface<EdgeCase> {};

TEST_P(BlockEdges, BlocksTileTheBarFromColumnZeroToItsLastColumn) {
    const EdgeCase& c = GetParam();
    SizeBar(0, c.width, 33);
    // Tick marks cross the middle band; without them the band shows the fills alone.
    f.platform.Faults().Fail("LineTo", 0);

    // Enable one block at a time and read its green columns from the middle band.
    std::vector<int> left(96), right(96);
    int end = 0;
    for (int b = 0; b < 96; ++b) {
        SetMondayRegion(b, b);
        int first = -1, last = -1;
        for (int x = 0; x < c.width; ++x) {
            const std::uint32_t pixel = Pixel(0, x, 16);
            ASSERT_TRUE(pixel == kLightGreen || pixel == kLightRed) << "column " << x;
            if (pixel != kLightGreen) continue;
            if (first < 0) first = x;
            ASSERT_TRUE(last < 0 || last == x - 1) << "block " << b << " is not one run";
            last = x;
        }
        // A block narrower than a pixel covers no column: it starts and ends where it began.
        left[b] = first < 0 ? end : first;
        right[b] = first < 0 ? end : last + 1;
        EXPECT_EQ(left[b], end) << "gap or overlap before block " << b;
        end = right[b];
    }
    EXPECT_EQ(left[0], 0);
    EXPECT_EQ(right[95], c.width);
    for (std::size_t b = 0; b < c.leadingEdges.size(); ++b)
        EXPECT_EQ(left[b], c.leadingEdges[b]) << "block " << b;
}

std::vector<int> EveryNth(int step, int count) {
    std::vector<int> edges;
    for (int b = 0; b < count; ++b)
        edges.push_back(b * step);
    return edges;
}

INSTANTIATE_TEST_SUITE_P(Widths, BlockEdges,
                         ::testing::Values(
                             // w = 5.96875: the design bar.
                             EdgeCase{573, {0, 6, 12, 18}},
                             // w = 6: every block exactly 6 columns.
                             EdgeCase{576, EveryNth(6, 96)},
                             // w = 1.5: halves of the accumulator round to the even neighbour.
                             EdgeCase{144, {0, 2, 3, 4, 6, 8, 9, 10, 12}},
                             // Narrower than 96 columns: one block covers no column at all.
                             EdgeCase{95, {0, 1, 2, 3}},
                             // The bar of a control twice its design width.
                             EdgeCase{1150, {0, 12, 24, 36}}),
                         [](const auto& info) { return std::to_string(info.param.width); });

// --- bands ----------------------------------------------------------------------------------

struct BandCase {
    int height;
    // Rows of each band, the end exclusive.
    int topEnd, middleBegin, middleEnd, bottomBegin;
};

void PrintTo(const BandCase& c, std::ostream* os) {
    *os << c.height << " high";
}

class BarBands : public BarRendering, public ::testing::WithParamInterface<BandCase> {
protected:
    bool InTop(int y) const { return y < GetParam().topEnd; }
    bool InMiddle(int y) const { return y >= GetParam().middleBegin && y < GetParam().middleEnd; }
    bool InBottom(int y) const { return y >= GetParam().bottomBegin; }

    // Columns inside blocks 33 (in the region 08:00 to 10:00) and 50, clear of every tick mark.
    static constexpr int kEnabledColumn = 33 * 6 + 3;
    static constexpr int kDisabledColumn = 50 * 6 + 3;
};

TEST_P(BarBands, BackgroundLayerPaintsWhiteRedWhiteWithTheBottomBandLast) {
    SizeBar(0, 576, GetParam().height);
    DrawBackgroundOnly(0);
    for (int y = 0; y < GetParam().height; ++y) {
        const std::uint32_t expected = InBottom(y)   ? kWhite
                                       : InMiddle(y) ? kLightRed
                                       : InTop(y)    ? kWhite
                                                     : kCleared;
        EXPECT_EQ(Pixel(0, kEnabledColumn, y), expected) << "row " << y;
    }
}

TEST_P(BarBands, StateColourFillsTheWholeMiddleBand) {
    SizeBar(0, 576, GetParam().height);
    f.schedule.SetSchedule_MondayStart1(800);
    f.schedule.SetSchedule_MondayStop1(1000);
    for (int y = 0; y < GetParam().height; ++y) {
        const bool marked = InTop(y) || InBottom(y);
        EXPECT_EQ(Pixel(0, kEnabledColumn, y), InMiddle(y) ? kLightGreen
                                               : marked    ? kWhite
                                                           : kCleared)
            << "row " << y;
        EXPECT_EQ(Pixel(0, kDisabledColumn, y), InMiddle(y) ? kLightRed
                                                : marked    ? kWhite
                                                            : kCleared)
            << "row " << y;
    }
}

TEST_P(BarBands, SelectionMarksCoverTheTopAndBottomBandsEntirely) {
    SizeBar(0, 576, GetParam().height);
    f.schedule.SetSchedule_MondayStart1(800);
    f.schedule.SetSchedule_MondayStop1(1000);
    f.schedule.Schedule_MouseDown(0, 1, 0, static_cast<float>(kEnabledColumn), 0);
    for (int y = 0; y < GetParam().height; ++y) {
        const bool marked = InTop(y) || InBottom(y);
        EXPECT_EQ(Pixel(0, kEnabledColumn, y), marked        ? kBlack
                                               : InMiddle(y) ? kLightGreen
                                                             : kCleared)
            << "row " << y;
        EXPECT_EQ(Pixel(0, kDisabledColumn, y), marked        ? kWhite
                                                : InMiddle(y) ? kLightRed
                                                              : kCleared)
            << "row " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Heights, BarBands,
                         ::testing::Values(
                             // h = 11: three bands of 11 rows.
                             BandCase{33, 11, 11, 22, 22},
                             // h = 10.33: row 20 belongs to no band.
                             BandCase{31, 10, 10, 20, 21},
                             // h = 10.67: row 21 belongs to the middle and the bottom band.
                             BandCase{32, 11, 11, 22, 21}),
                         [](const auto& info) { return std::to_string(info.param.height); });

TEST_F(BarRendering, AtTheDesignSizeTheRowBetweenMiddleAndBottomBandKeepsTheClearedBackground) {
    // The design bar is 573 x 31: row 20 is painted only where a mark of two thirds or the full
    // height (21 or 31 rows) crosses it, at the 48 half-hour columns.
    Redraw();
    ASSERT_EQ(Bar(0).innerHeight(), 31);
    int marks = 0;
    for (int x = 0; x < 573; ++x) {
        const std::uint32_t pixel = Pixel(0, x, 20);
        EXPECT_TRUE(pixel == kCleared || pixel == kBlack) << "column " << x;
        marks += pixel == kBlack ? 1 : 0;
    }
    EXPECT_EQ(marks, 48);
}

// --- every size -----------------------------------------------------------------------------

struct BarSize {
    int width, height;
};

void PrintTo(const BarSize& s, std::ostream* os) {
    *os << s.width << "x" << s.height;
}

class BarCoverage : public BarRendering, public ::testing::WithParamInterface<BarSize> {};

TEST_P(BarCoverage, NoPixelKeepsTheClearedBackground) {
    // Heights of 3k or 3k + 2 rows leave no row between the bands.
    SizeBar(0, GetParam().width, GetParam().height);
    SetMondayRegion(10, 60);
    for (int y = 0; y < GetParam().height; ++y)
        for (int x = 0; x < GetParam().width; ++x) {
            const std::uint32_t pixel = Pixel(0, x, y);
            ASSERT_TRUE(pixel == kWhite || pixel == kLightRed || pixel == kLightGreen ||
                        pixel == kBlack)
                << "(" << x << "," << y << ")";
        }
}

INSTANTIATE_TEST_SUITE_P(Sizes, BarCoverage,
                         ::testing::Values(BarSize{573, 33}, BarSize{576, 32}, BarSize{144, 30},
                                           BarSize{577, 35}, BarSize{95, 5}, BarSize{1150, 66},
                                           BarSize{97, 2}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" +
                                    std::to_string(info.param.height);
                         });

TEST_F(BarRendering, AfterTheControlIsResizedTheBarsAreRedrawnAtTheirNewInnerSize) {
    f.platform.SurfaceWidget().SetSize(design::kControlWidth * 2, design::kControlHeight * 2);
    f.schedule.Resize();
    ASSERT_TRUE(f.Tick());
    for (int i = 0; i < 8; ++i) {
        ASSERT_EQ(Bar(i).innerWidth(), 1150);
        ASSERT_EQ(Bar(i).innerHeight(), 66);
        // The last column and the last row are painted: bands and blocks span the new size.
        EXPECT_EQ(Pixel(i, 1149, 30), kLightRed) << "bar " << i;
        EXPECT_EQ(Pixel(i, 1000, 65), kWhite) << "bar " << i;
    }
}

// --- failures -------------------------------------------------------------------------------

TEST_F(BarRendering, FailedBackgroundKeepsTheBlocksAlreadyFilledAndReportsOnce) {
    SizeBar(0, 576, 33);
    Bar(0).Cls();
    // The 31st fill is block 10's top band: blocks 0 to 9 are complete.
    f.platform.Faults().Fail("FillRect", 0, 30, 1);
    f.access.SetCurrentDay(0);
    f.access.InitializeScheduleBlocks();

    ASSERT_EQ(f.log.size(), 1u);
    EXPECT_EQ(f.log[0].text,
              "Failed to initialize schedule blocks with error: FillRect failed on target 0");
    EXPECT_EQ(f.log[0].style, 16);
    EXPECT_EQ(f.log[0].title, "System Message");
    for (int x = 0; x < 576; ++x) {
        const bool filled = x < 60;
        EXPECT_EQ(Pixel(0, x, 5), filled ? kWhite : kCleared) << "column " << x;
        EXPECT_EQ(Pixel(0, x, 16), filled ? kLightRed : kCleared) << "column " << x;
        EXPECT_EQ(Pixel(0, x, 27), filled ? kWhite : kCleared) << "column " << x;
    }
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

TEST_F(BarRendering, FailedStatePaintingKeepsTheBlocksAlreadyPaintedAndDrawsNoMarks) {
    SizeBar(0, 576, 33);
    f.schedule.SetSchedule_MondayStop1(2400);  // the whole day enabled
    DrawBackgroundOnly(0);
    f.platform.Faults().Fail("FillRect", 0, 40, 1);
    f.access.UpdateScheduleBar();

    EXPECT_EQ(f.MessageTexts(),
              std::vector<std::string>{
                  "Failed to update schedule bar with error: FillRect failed on target 0"});
    for (int x = 0; x < 576; ++x) {
        EXPECT_EQ(Pixel(0, x, 16), x < 240 ? kLightGreen : kLightRed) << "column " << x;
        // The operation ends at the error: the tick marks that follow the blocks never come.
        EXPECT_NE(Pixel(0, x, 0), kBlack) << "column " << x;
    }
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

TEST_F(BarRendering, ABarThatCannotBeMeasuredLeavesTheOtherBarsDrawn) {
    f.platform.Faults().Fail("ScaleWidth", 3);
    Redraw();
    const std::vector<std::string> texts = f.MessageTexts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0],
              "Failed to initialize schedule blocks with error: ScaleWidth failed on target 3");
    EXPECT_EQ(texts[1], "Failed to update schedule bar with error: ScaleWidth failed on target 3");
    for (int x = 0; x < 573; ++x)
        EXPECT_EQ(Pixel(3, x, 25), kCleared) << "column " << x;
    EXPECT_EQ(Pixel(2, 300, 15), kLightRed);
    EXPECT_EQ(Pixel(4, 300, 15), kLightRed);
    EXPECT_TRUE(f.schedule.State().ScheduleDrawn);
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

}  // namespace
}  // namespace tarn
