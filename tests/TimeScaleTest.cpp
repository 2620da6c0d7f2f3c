// The time scale when a drawing call fails: each level of tick marks and each kind of label
// reports its own failure and keeps what was drawn before it. The time-scale example shows the
// marks and labels as drawn.

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
    /// Black rows of column x counted from row 0; -1 when they are not one run from the top.
    int MarkLength(int x) {
        const std::string column = Letters(0, x, 0, 0, 1);
        const std::size_t length = std::min(column.find_first_not_of('K'), column.size());
        return column.find('K', length) == std::string::npos ? static_cast<int>(length) : -1;
    }
};

TEST(Tickmarks, AFailingLevelReportsOnceAndTheOtherLevelsAreStillDrawn) {
    // What stays of the mark lengths at columns 6, 12 and 24 when one level fails.
    const std::map<std::string, Values> kept = {
        {"minor", {0, 22, 33}}, {"intermediate", {11, 11, 33}}, {"major", {11, 22, 22}}};
    std::set<std::string> met;
    // Bar 0's height is read by its fills and by each level: fail each read in turn.
    for (int skip = 0; skip < 8; ++skip) {
        Tickmarks f;
        f.faults.Fail("ScaleHeight", 0, skip, 1);
        f.SizeBar(0, 576, 33);
        f.Redraw();
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
