// The time scale: tick marks read back from a bar's pixels (one black column per mark hanging
// from row 0, a third of the height at quarter hours, two thirds at half hours, the full height at
// hours, the mark for 24:00 just outside the bar), and the hour numbers and AM/PM labels on the
// control's surface, placed from bar 0 and the layout ratios. Each reports its own failure.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

// --- tick marks ---------------------------------------------------------------------------------

struct Tickmarks : ScheduleFixture {
    /// Redraws the control with bar 0 of the inner size width x height.
    void DrawMarks(int width, int height) {
        SizeBar(0, width, height);
        Redraw();
    }
    /// Black rows of column x counted from row 0; -1 when they are not one run from the top.
    int MarkLength(int x) {
        const std::string column = Column(0, x);
        const std::size_t length = std::min(column.find_first_not_of('K'), column.size());
        return column.find('K', length) == std::string::npos ? static_cast<int>(length) : -1;
    }
};

TEST(Tickmarks, On576ColumnsEveryMarkStandsOnAnExactColumnWithItsLevelsLength) {
    Tickmarks f;
    f.DrawMarks(576, 33);
    for (int x = 0; x < 576; ++x) {
        const int expected = x % 24 == 0 ? 33 : x % 12 == 0 ? 22 : x % 6 == 0 ? 11 : 0;
        EXPECT_EQ(f.MarkLength(x), expected) << "column " << x;
    }
    EXPECT_TRUE(f.MessageTexts().empty());
    EXPECT_EQ(f.LivePens(), 0);
}

TEST(Tickmarks, On573ColumnsHalfwayMarksRoundToTheEvenColumn) {
    // Hour spacing 23.875: 04:00, 12:00 and 20:00 fall on 95.5, 286.5 and 477.5.
    Tickmarks f;
    f.DrawMarks(573, 33);
    for (const int x : {96, 286, 478}) {
        EXPECT_EQ(f.MarkLength(x), 33) << "column " << x;
        EXPECT_EQ(f.MarkLength(x - 1) + f.MarkLength(x + 1), 0) << "column " << x;
    }
    // The marks of the three levels share their columns wherever they stand for the same time,
    // and the marks for 24:00 lie just right of the last column.
    const auto marks = [&](int row) -> int { return std::ranges::count(f.Row(0, row), 'K'); };
    EXPECT_EQ((Values{marks(0), marks(21), marks(32)}), (Values{96, 48, 24}));
    EXPECT_EQ(f.MarkLength(0), 33);
    EXPECT_EQ(f.MarkLength(572), 0);
}

TEST(Tickmarks, EachLevelHangsItsRoundedShareOfTheHeight) {
    // Height, then the lengths of a minor, an intermediate and a major mark. 35: 11.67 and
    // 2 x 11.67 = 23.33; 31: 10.33 and 20.67.
    const Values cases[] = {{33, 11, 22, 33}, {35, 12, 23, 35}, {31, 10, 21, 31},
                            {2, 1, 1, 2},     {1, 0, 1, 1},     {0, 0, 0, 0}};
    for (const Values& c : cases) {
        Tickmarks f;
        f.DrawMarks(576, c[0]);
        EXPECT_EQ((Values{c[0], f.MarkLength(6), f.MarkLength(12), f.MarkLength(24)}), c);
        EXPECT_TRUE(f.MessageTexts().empty());
    }
}

TEST(Tickmarks, AFailingLevelReportsOnceAndTheOtherLevelsAreStillDrawn) {
    // What stays of the mark lengths at columns 6, 12 and 24 when one level fails.
    const std::map<std::string, Values> kept = {
        {"minor", {0, 22, 33}}, {"intermediate", {11, 11, 33}}, {"major", {11, 22, 22}}};
    std::set<std::string> met;
    // Bar 0's height is read by its fills and by each level: fail each read in turn.
    for (int skip = 0; skip < 8; ++skip) {
        Tickmarks f;
        f.faults.Fail("ScaleHeight", 0, skip, 1);
        f.DrawMarks(576, 33);
        if (f.MessageTexts().empty()) continue;  // fewer reads than skip
        ASSERT_EQ(f.MessageTexts().size(), 1u) << skip;
        for (const auto& [level, lengths] : kept) {
            if (f.MessageTexts()[0] !=
                "Failed to draw " + level + " tickmarks with error: ScaleHeight failed on target 0")
                continue;
            met.insert(level);
            EXPECT_EQ((Values{f.MarkLength(6), f.MarkLength(12), f.MarkLength(24)}), lengths);
        }
    }
    EXPECT_EQ(met.size(), 3u);
}

// --- hour and AM/PM labels ----------------------------------------------------------------------

/// The surface's texts as "text@x,y", in the order they were written.
Texts SurfaceLabels(ScheduleFixture& f) {
    Texts labels;
    for (const auto& text : f.platform.SurfaceWidget().context().texts)
        labels.push_back(text.text + "@" + std::to_string(text.x) + "," + std::to_string(text.y));
    return labels;
}

/// Hour numbers at y with the x of each, then the AM, PM and AM labels at periodY.
Texts LabelSet(int y, const Values& hourX, int periodY, const Values& periodX) {
    const char* texts[] = {"12", "2", "4", "6",  "8",  "10", "12", "2",
                           "4",  "6", "8", "10", "12", "AM", "PM", "AM"};
    Texts labels;
    for (int i = 0; i < 16; ++i)
        labels.push_back(std::string(texts[i]) + "@" +
                         std::to_string(i < 13 ? hourX.at(i) : periodX.at(i - 13)) + "," +
                         std::to_string(i < 13 ? y : periodY));
    return labels;
}

// Bar 0 at its design place (Left 88, Top 32, Width 577, inner width 573), both ratios 1.0: the
// hour step is 23.875 and the left offset 4; the last hour number is pulled 8 pixels left.
const Texts kDesignLabels = LabelSet(
    17, {84, 132, 180, 227, 275, 323, 370, 418, 466, 514, 562, 609, 649}, 7, {84, 372, 653});

TEST(TimeLabels, AtTheDesignSizeStandAboveBarZeroOnceWhicheverRowIsDrawnLast) {
    ScheduleFixture f;
    ASSERT_TRUE(f.Redraw());
    EXPECT_EQ(SurfaceLabels(f), kDesignLabels);
    EXPECT_TRUE(f.MessageTexts().empty());
    // Another row's bar elsewhere and of another size must not move the labels.
    f.platform.Bar(5).SetLeft(10);
    f.platform.Bar(5).SetTop(300);
    f.platform.Bar(5).SetWidth(200);
    ASSERT_TRUE(f.Redraw());
    EXPECT_EQ(SurfaceLabels(f), kDesignLabels);
}

TEST(TimeLabels, AFailedLabelIsReportedAndKeepsTheLabelsBeforeIt) {
    // Each row writes 13 + 3 texts; the last row's fourth hour number fails, then its PM.
    const std::string failed = " with error: TextOutA failed on target 8";
    const std::tuple<int, std::string, Texts> cases[] = {
        {7 * 16 + 3,
         "Failed to update time labels" + failed,
         {"12@84,17", "2@132,17", "4@180,17", "AM@84,7", "PM@372,7", "AM@653,7"}},
        {7 * 16 + 14,
         "Failed to update time period labels" + failed,
         {kDesignLabels.begin(), kDesignLabels.begin() + 14}}};
    for (const auto& [skip, message, labels] : cases) {
        ScheduleFixture f;
        f.faults.Fail("TextOutA", platform::DeviceContext::kSurfaceTarget, skip, 1);
        f.Redraw();
        EXPECT_EQ(f.MessageTexts(), Texts{message});
        EXPECT_EQ(SurfaceLabels(f), labels);
    }
}

}  // namespace
}  // namespace tarn
