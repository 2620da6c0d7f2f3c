// Hour numbers and AM/PM labels on the control's surface: their exact positions and texts, placed
// from bar 0 and the layout ratios, one fresh set per row drawn, and drawn on after a failure.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/DesignData.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

struct Label {
    int x, y;
    std::string text;
    bool operator==(const Label&) const = default;
};

void PrintTo(const Label& l, std::ostream* os) {
    *os << '"' << l.text << "\"@" << l.x << ',' << l.y;
}

/// Hour numbers at y, x from the list, then the AM, PM and AM labels at periodY.
std::vector<Label> LabelSet(int y, const std::vector<int>& hourX, int periodY,
                            const std::vector<int>& periodX) {
    const char* hours[] = {"12", "2", "4", "6", "8", "10", "12", "2", "4", "6", "8", "10", "12"};
    std::vector<Label> labels;
    for (int i = 0; i < 13; ++i)
        labels.push_back({hourX.at(i), y, hours[i]});
    labels.push_back({periodX.at(0), periodY, "AM"});
    labels.push_back({periodX.at(1), periodY, "PM"});
    labels.push_back({periodX.at(2), periodY, "AM"});
    return labels;
}

// Bar 0 at its design place (Left 88, Top 32, Width 577, inner width 573), both ratios 1.0: the
// hour step is 23.875 and the left offset 4.
const std::vector<Label> kDesignLabels = LabelSet(
    17, {84, 132, 180, 227, 275, 323, 370, 418, 466, 514, 562, 609, 649}, 7, {84, 372, 653});

class TimeLabels : public ::testing::Test {
protected:
    std::vector<Label> SurfaceLabels() {
        std::vector<Label> labels;
        for (const auto& text : f.platform.SurfaceWidget().context().texts)
            labels.push_back({text.x, text.y, text.text});
        return labels;
    }

    void Redraw() {
        f.schedule.Refresh();
        ASSERT_TRUE(f.Tick());
    }

    void DrawLabelsForRow(int row) {
        f.access.SetCurrentDay(static_cast<std::int16_t>(row));
        f.access.UpdateTimeLabels();
        f.access.UpdateTimePeriodLabels();
    }

    ScheduleFixture f;
};

TEST_F(TimeLabels, AtTheDesignSizeStandAboveBarZero) {
    Redraw();
    EXPECT_EQ(SurfaceLabels(), kDesignLabels);
    EXPECT_TRUE(f.MessageTexts().empty());
}

TEST_F(TimeLabels, RatiosScaleTheOffsetsAboveAndLeftButNotTheFixedOnes) {
    // Hours 30 and periods 50 rows above the bar; left offset 6. The last hour's 8 and the PM's
    // 3 and the right AM's 12 stay whole pixels. The periods land above the surface and are
    // drawn all the same.
    f.access.SetLayoutRatios(2.0, 1.5);
    DrawLabelsForRow(0);
    EXPECT_EQ(SurfaceLabels(),
              LabelSet(2, {82, 130, 178, 225, 273, 321, 368, 416, 464, 512, 560, 607, 647}, -18,
                       {82, 372, 653}));
}

TEST_F(TimeLabels, FollowBarZeroWhenTheControlIsResized) {
    // 722 rows is exactly twice the design height; the width ratio is 1018 / 679.
    f.platform.SurfaceWidget().SetSize(1018, design::kControlHeight * 2);
    f.schedule.Resize();
    ASSERT_TRUE(f.Tick());
    auto& bar = f.platform.Bar(0);
    const int left0 = bar.left();
    const int top0 = bar.top();
    const int width0 = bar.width();
    const int inner0 = bar.innerWidth();
    ASSERT_EQ(top0, 64);
    ASSERT_EQ(left0, 131);

    const std::vector<Label> labels = SurfaceLabels();
    ASSERT_EQ(labels.size(), 16u);
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(labels[i].y, top0 - 30) << labels[i].text;
    for (int i = 13; i < 16; ++i)
        EXPECT_EQ(labels[i].y, top0 - 50) << labels[i].text;
    EXPECT_EQ(labels[0].x, left0 - 6);
    EXPECT_EQ(labels[12].x, left0 - 6 + inner0 - 8);
    EXPECT_EQ(labels[13].x, left0 - 6);
    EXPECT_EQ(labels[14].x, 558);  // 861 / 2 + 131 - 3 = 558.5, to the even 558
    EXPECT_EQ(labels[15].x, width0 - 12 + left0);
}

TEST_F(TimeLabels, EachRowClearsTheSurfaceBeforeItsHourNumbers) {
    auto& surface = f.platform.SurfaceWidget().context();
    surface.texts.push_back({300, 100, "left over"});
    surface.Fill(platform::PixelOf(0x0000FF));
    f.access.SetCurrentDay(0);
    f.access.UpdateTimeLabels();
    ASSERT_EQ(surface.texts.size(), 13u);
    EXPECT_EQ(surface.texts.front().text, "12");
    EXPECT_EQ(surface.PixelAt(300, 100), platform::PixelOf(platform::kBackgroundColour));

    // A full redraw writes the set once per row, and each row's set replaces the last.
    Redraw();
    EXPECT_EQ(SurfaceLabels(), kDesignLabels);
}

TEST_F(TimeLabels, AreTheSameWhicheverRowIsDrawn) {
    // Another row's bar elsewhere and another size must not move the labels.
    auto& bar5 = f.platform.Bar(5);
    bar5.SetLeft(10);
    bar5.SetTop(300);
    bar5.SetWidth(200);
    for (const int row : {5, 7, 0}) {
        DrawLabelsForRow(row);
        EXPECT_EQ(SurfaceLabels(), kDesignLabels) << "row " << row;
    }
}

TEST_F(TimeLabels, DoNotDependOnTheSchedule) {
    f.schedule.SetSchedule_SundayStart1(600);
    f.schedule.SetSchedule_SundayStop1(1800);
    f.schedule.cmdDay_Click(2);
    EXPECT_EQ(SurfaceLabels(), kDesignLabels);
}

// --- failures -------------------------------------------------------------------------------

TEST_F(TimeLabels, AFailedHourNumberKeepsTheEarlierOnesAndThePeriodsAreStillDrawn) {
    // Each row writes 13 + 3 texts; the last row's fourth hour number fails.
    f.platform.Faults().Fail("TextOutA", platform::DeviceContext::kSurfaceTarget, 7 * 16 + 3, 1);
    Redraw();
    EXPECT_EQ(f.MessageTexts(),
              std::vector<std::string>{
                  "Failed to update time labels with error: TextOutA failed on target 8"});
    EXPECT_EQ(SurfaceLabels(), (std::vector<Label>{{84, 17, "12"},
                                                   {132, 17, "2"},
                                                   {180, 17, "4"},
                                                   {84, 7, "AM"},
                                                   {372, 7, "PM"},
                                                   {653, 7, "AM"}}));
}

TEST_F(TimeLabels, AFailedPeriodLabelKeepsTheLabelsBeforeIt) {
    f.platform.Faults().Fail("TextOutA", platform::DeviceContext::kSurfaceTarget, 7 * 16 + 14, 1);
    Redraw();
    EXPECT_EQ(f.MessageTexts(),
              std::vector<std::string>{
                  "Failed to update time period labels with error: TextOutA failed on target 8"});
    std::vector<Label> expected(kDesignLabels.begin(), kDesignLabels.begin() + 14);
    EXPECT_EQ(SurfaceLabels(), expected);
}

TEST_F(TimeLabels, AnUnreadableBarZeroStopsTheLabelsButNotTheBars) {
    f.platform.Faults().Fail("Left", 0);
    Redraw();
    const std::vector<std::string> texts = f.MessageTexts();
    ASSERT_EQ(texts.size(), 16u);
    EXPECT_EQ(texts[0], "Failed to update time labels with error: Left failed on target 0");
    EXPECT_EQ(texts[1], "Failed to update time period labels with error: Left failed on target 0");
    EXPECT_TRUE(SurfaceLabels().empty());
    // The bars themselves were drawn: bar 7's middle band is light red.
    EXPECT_EQ(f.platform.Bar(7).context().PixelAt(300, 15), platform::PixelOf(0xFF0000));
}

}  // namespace
}  // namespace tarn
