// The time scale of a day bar read back from its pixels: one black column per mark, hanging from
// row 0, a third of the height at quarter hours, two thirds at half hours and the full height at
// hours; the mark at the end of the day falls just outside the bar. Each level reports and
// survives its own failure.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/DesignData.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

constexpr std::uint32_t kBlack = platform::PixelOf(0x000000);

class Tickmarks : public ::testing::Test {
protected:
    platform::memory::MemoryBar& Bar() { return f.platform.Bar(0); }

    void SizeBar(int width, int height) {
        Bar().SetWidth(static_cast<float>(width + 2 * design::kBarBorder));
        Bar().SetHeight(static_cast<float>(height + 2 * design::kBarBorder));
    }

    /// Draws the three levels alone on cleared bar 0.
    void DrawMarks() {
        Bar().Cls();
        f.access.SetCurrentDay(0);
        f.access.DrawTickmarks();
    }

    /// Rows of column x that are black, counted from row 0; -1 when the black rows of the column
    /// do not form one run from the top.
    int MarkLength(int x) {
        const auto& dc = Bar().context();
        int length = 0;
        while (length < dc.height() && dc.PixelAt(x, length) == kBlack)
            ++length;
        for (int y = length; y < dc.height(); ++y)
            if (dc.PixelAt(x, y) == kBlack) return -1;
        return length;
    }

    /// Number of columns whose mark is at least `length` rows long.
    int ColumnsWithMarkOfAtLeast(int length) {
        int columns = 0;
        for (int x = 0; x < Bar().innerWidth(); ++x)
            columns += MarkLength(x) >= length ? 1 : 0;
        return columns;
    }

    ScheduleFixture f;
};

TEST_F(Tickmarks, On576ColumnsEveryMarkStandsOnAnExactColumnWithItsLevelsLength) {
    SizeBar(576, 33);
    DrawMarks();
    for (int x = 0; x < 576; ++x) {
        const int expected = x % 24 == 0 ? 33 : x % 12 == 0 ? 22 : x % 6 == 0 ? 11 : 0;
        EXPECT_EQ(MarkLength(x), expected) << "column " << x;
    }
    EXPECT_TRUE(f.MessageTexts().empty());
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

TEST_F(Tickmarks, On573ColumnsHalfwayMarksRoundToTheEvenColumn) {
    // Hour spacing 23.875: 04:00, 12:00 and 20:00 fall on 95.5, 286.5 and 477.5.
    SizeBar(573, 33);
    DrawMarks();
    for (const int x : {96, 286, 478}) {
        EXPECT_EQ(MarkLength(x), 33) << "column " << x;
        EXPECT_EQ(MarkLength(x - 1), 0) << "column " << x - 1;
        EXPECT_EQ(MarkLength(x + 1), 0) << "column " << x + 1;
    }
    EXPECT_EQ(MarkLength(0), 33);
    // The marks of the three levels share their columns wherever they stand for the same time,
    // and the marks for 24:00 lie just right of the last column.
    EXPECT_EQ(ColumnsWithMarkOfAtLeast(33), 24);
    EXPECT_EQ(ColumnsWithMarkOfAtLeast(22), 48);
    EXPECT_EQ(ColumnsWithMarkOfAtLeast(1), 96);
    EXPECT_EQ(MarkLength(572), 0);
}

TEST_F(Tickmarks, TheMarksForTheEndOfTheDayAreClippedAway) {
    SizeBar(576, 33);
    DrawMarks();
    EXPECT_EQ(ColumnsWithMarkOfAtLeast(33), 24);
    EXPECT_EQ(ColumnsWithMarkOfAtLeast(22), 48);
    EXPECT_EQ(ColumnsWithMarkOfAtLeast(1), 96);
    EXPECT_EQ(MarkLength(575), 0);
}

struct LengthCase {
    int height;
    int minor, intermediate, major;
};

void PrintTo(const LengthCase& c, std::ostream* os) {
    *os << c.height << " high";
}

class TickmarkLengths : public Tickmarks, public ::testing::WithParamInterface<LengthCase> {};

TEST_P(TickmarkLengths, EachLevelHangsItsRoundedShareOfTheHeight) {
    SizeBar(576, GetParam().height);
    DrawMarks();
    EXPECT_EQ(MarkLength(6), GetParam().minor);
    EXPECT_EQ(MarkLength(12), GetParam().intermediate);
    EXPECT_EQ(MarkLength(24), GetParam().major);
}

INSTANTIATE_TEST_SUITE_P(Heights, TickmarkLengths,
                         ::testing::Values(LengthCase{33, 11, 22, 33},
                                           // 11.67 and 2 x 11.67 = 23.33
                                           LengthCase{35, 12, 23, 35},
                                           // 10.33 and 20.67
                                           LengthCase{31, 10, 21, 31}, LengthCase{2, 1, 1, 2},
                                           LengthCase{1, 0, 1, 1}),
                         [](const auto& info) { return std::to_string(info.param.height); });

TEST_F(Tickmarks, ABarWithoutHeightDrawsNothingAndReportsNothing) {
    SizeBar(576, 0);
    ASSERT_EQ(Bar().innerHeight(), 0);
    DrawMarks();
    // Nor does a full redraw of the flat bar.
    f.schedule.Refresh();
    ASSERT_TRUE(f.Tick());
    EXPECT_TRUE(f.MessageTexts().empty());
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

TEST_F(Tickmarks, MarksAreDrawnOverTheBlocksInAFullRedraw) {
    // Light green blocks all day long: every mark column is black over the blocks.
    SizeBar(576, 33);
    f.schedule.SetSchedule_MondayStop1(2400);
    for (int x = 0; x < 576; ++x) {
        const int expected = x % 24 == 0 ? 33 : x % 12 == 0 ? 22 : x % 6 == 0 ? 11 : 0;
        EXPECT_EQ(MarkLength(x), expected) << "column " << x;
    }
}

// --- failures -------------------------------------------------------------------------------

struct LevelFailure {
    const char* level;
    int skip;  // the level whose height read fails: 0 minor, 1 intermediate, 2 major
    const char* message;
    int quarter, half, hour;  // mark lengths left at columns 6, 12 and 24
};

void PrintTo(const LevelFailure& c, std::ostream* os) {
    *os << c.level;
}

class FailingLevel : public Tickmarks, public ::testing::WithParamInterface<LevelFailure> {};

TEST_P(FailingLevel, ReportsOnceAndTheOtherLevelsAreStillDrawn) {
    SizeBar(576, 33);
    f.platform.Faults().Fail("ScaleHeight", 0, GetParam().skip, 1);
    DrawMarks();
    ASSERT_EQ(f.log.size(), 1u);
    EXPECT_EQ(f.log[0].text, std::string(GetParam().message) + "ScaleHeight failed on target 0");
    EXPECT_EQ(f.log[0].style, 16);
    EXPECT_EQ(f.log[0].title, "System Message");
    EXPECT_EQ(MarkLength(6), GetParam().quarter);
    EXPECT_EQ(MarkLength(12), GetParam().half);
    EXPECT_EQ(MarkLength(24), GetParam().hour);
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, FailingLevel,
    ::testing::Values(
        LevelFailure{"minor", 0, "Failed to draw minor tickmarks with error: ", 0, 22, 33},
        LevelFailure{"intermediate", 1, "Failed to draw intermediate tickmarks with error: ", 11,
                     11, 33},
        LevelFailure{"major", 2, "Failed to draw major tickmarks with error: ", 11, 22, 22}),
    [](const auto& info) { return std::string(info.param.level); });

TEST_F(Tickmarks, AnErrorPartWayThroughALevelKeepsItsEarlierMarks) {
    // The 97 minor marks succeed; the intermediate level fails at its mark 10 (column 120).
    SizeBar(576, 33);
    f.platform.Faults().Fail("LineTo", 0, 97 + 10, 1);
    DrawMarks();
    EXPECT_EQ(f.MessageTexts(),
              std::vector<std::string>{
                  "Failed to draw intermediate tickmarks with error: LineTo failed on target 0"});
    for (int half = 1; half < 48; half += 2) {
        const int x = half * 12;  // a half hour that is no hour
        EXPECT_EQ(MarkLength(x), half < 10 ? 22 : 11) << "column " << x;
    }
    for (int hour = 0; hour < 24; ++hour)
        EXPECT_EQ(MarkLength(hour * 24), 33) << "hour " << hour;
    for (int quarter = 1; quarter < 96; quarter += 2)
        EXPECT_EQ(MarkLength(quarter * 6), 11) << "quarter " << quarter;
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

TEST_F(Tickmarks, ACurrentRowWithoutABarFailsEachLevelInTurn) {
    f.access.SetCurrentDay(8);
    f.access.DrawTickmarks();
    const std::string description = "Control array element does not exist";
    EXPECT_EQ(f.MessageTexts(),
              (std::vector<std::string>{
                  "Failed to draw minor tickmarks with error: " + description,
                  "Failed to draw intermediate tickmarks with error: " + description,
                  "Failed to draw major tickmarks with error: " + description}));
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

}  // namespace
}  // namespace tarn
