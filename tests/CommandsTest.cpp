// The Enable and Disable commands: a held selection is applied to the row it was made on, however
// many redraws ran since, and against the day's properties as they stand at the click.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

float BlockX(ScheduleFixture& f, int day, int block) {
    return static_cast<float>((block + 0.5) * f.platform.Bar(day).innerWidth() / 96.0);
}

struct Drawn : ScheduleFixture {
    Drawn() { Tick(); }
    /// Presses on `first`, moves over every block up to `last`, releases.
    void Drag(int day, int first, int last) {
        const auto d = static_cast<std::int16_t>(day);
        schedule.Schedule_MouseDown(d, 1, 0, BlockX(*this, day, first), 0);
        const int step = last >= first ? 1 : -1;
        for (int b = first; b != last; b += step)
            schedule.Schedule_MouseMove(d, 1, 0, BlockX(*this, day, b + step), 0);
        schedule.Schedule_MouseUp(d, 1, 0, BlockX(*this, day, last), 0);
    }
    /// The eight time properties of a day, Start1, Stop1, ..., Stop4.
    std::vector<int> Day(int day) {
        std::vector<int> values;
        for (int i = 0; i < 8; ++i)
            values.push_back(schedule.TimeValue(day * 8 + i));
        return values;
    }
};

const std::vector<int> kEmptyDay(8, 0);

// --- the held selection belongs to its row -------------------------------------------------------

struct RedrawInBetween {
    const char* name;
    std::function<void(Drawn&)> run;
};

class SelectionThenRedraw : public testing::TestWithParam<RedrawInBetween> {};

TEST_P(SelectionThenRedraw, EnableAppliesTheSelectionToTheRowItWasMadeOn) {
    Drawn f;
    f.schedule.SetSpecialDayEnabled(false);  // for the press on the Special row
    f.Drag(0, 32, 39);
    GetParam().run(f);
    ASSERT_EQ(f.schedule.State().CurrentDay, 7)
        << "the redraw in between left the last row current";

    f.schedule.cmdEnable_Click();
    EXPECT_EQ(f.Day(0), (std::vector<int>{800, 1000, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(f.Day(7), kEmptyDay);
    EXPECT_EQ(f.Count(HostRecord::ScheduleUpdated), 1);
    EXPECT_TRUE(f.MessageTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SelectionThenRedraw,
    testing::Values(RedrawInBetween{"Refresh",
                                    [](Drawn& f) {
                                        f.schedule.Refresh();
                                        f.Tick();
                                    }},
                    RedrawInBetween{"Paint",
                                    [](Drawn& f) {
                                        f.schedule.Paint();
                                        f.Tick();
                                    }},
                    RedrawInBetween{"HostWriteThatRedraws",
                                    [](Drawn& f) { f.schedule.SetSchedule_TuesdayStop1(100); }},
                    RedrawInBetween{"PressOnDisabledSpecialRow",
                                    [](Drawn& f) {
                                        f.schedule.Schedule_MouseDown(7, 1, 0, BlockX(f, 7, 5), 0);
                                        f.schedule.Schedule_MouseUp(7, 1, 0, BlockX(f, 7, 5), 0);
                                    }}),
    [](const testing::TestParamInfo<RedrawInBetween>& info) { return info.param.name; });

TEST(Commands, SecondEnableAppliesTheSameSelectionToTheSameRowAgain) {
    Drawn f;
    f.Drag(0, 32, 39);
    f.schedule.cmdEnable_Click();
    f.schedule.cmdEnable_Click();
    ASSERT_EQ(f.MessageTexts(), std::vector<std::string>{"Cannot enable overlapping regions"});
    EXPECT_EQ(f.log.back().style, platform::kStyleExclamation);
    EXPECT_EQ(f.log.back().title, "Error");
    EXPECT_EQ(f.Day(0), (std::vector<int>{800, 1000, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(f.Day(7), kEmptyDay);
    EXPECT_EQ(f.Count(HostRecord::ScheduleUpdated), 1);
}

TEST(Commands, EnableThenDisableTakesTheRegionBackOffTheSameRow) {
    Drawn f;
    f.schedule.SetSchedule_SpecialStart1(800);
    f.schedule.SetSchedule_SpecialStop1(1000);
    f.Drag(2, 32, 39);
    f.schedule.cmdEnable_Click();
    f.schedule.cmdDisable_Click();
    EXPECT_EQ(f.Day(2), kEmptyDay);
    EXPECT_EQ(f.Day(7), (std::vector<int>{800, 1000, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(f.Count(HostRecord::ScheduleUpdated), 2);
}

TEST(Commands, DayButtonSelectionBelongsToItsRow) {
    Drawn f;
    f.schedule.cmdDay_Click(3);
    EXPECT_EQ(f.schedule.State().CurrentDay, 3);
    f.schedule.Refresh();
    f.Tick();
    f.schedule.cmdEnable_Click();
    EXPECT_EQ(f.Day(3), (std::vector<int>{0, 2400, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(f.Day(7), kEmptyDay);
}

// --- the click works on the properties as they stand --------------------------------------------

TEST(Commands, EnableKeepsARegionTheHostWroteAfterTheSelection) {
    Drawn f;
    f.Drag(0, 60, 63);
    // Start 1000, stop 999 covers 10:00 to 10:45 and redraws nothing: the stop is not later.
    f.schedule.SetSchedule_MondayStart2(1000);
    f.schedule.SetSchedule_MondayStop2(999);
    ASSERT_FALSE(f.schedule.State().BlockEnabled[0][40]) << "the row was not redrawn";

    f.schedule.cmdEnable_Click();
    EXPECT_EQ(f.Day(0), (std::vector<int>{1000, 1045, 1500, 1600, 0, 0, 0, 0}));
    EXPECT_TRUE(f.MessageTexts().empty());
}

TEST(Commands, EnableDoesNotOverwriteARegionTheHostWroteOverTheSelection) {
    Drawn f;
    f.Drag(0, 40, 41);
    f.schedule.SetSchedule_MondayStart2(1000);
    f.schedule.SetSchedule_MondayStop2(999);

    f.schedule.cmdEnable_Click();
    EXPECT_EQ(f.MessageTexts(), std::vector<std::string>{"Cannot enable overlapping regions"});
    EXPECT_EQ(f.Day(0), (std::vector<int>{0, 0, 1000, 999, 0, 0, 0, 0}));
    EXPECT_EQ(f.Count(HostRecord::ScheduleUpdated), 0);
}

TEST(Commands, EnableDoesNotBringBackARegionTheHostClearedAfterTheSelection) {
    Drawn f;
    f.schedule.SetSchedule_MondayStart1(800);
    f.schedule.SetSchedule_MondayStop1(1000);
    f.Drag(0, 48, 51);
    // Stop first: neither Let redraws, so the row still shows 08:00 to 10:00.
    f.schedule.SetSchedule_MondayStop1(0);
    f.schedule.SetSchedule_MondayStart1(0);

    f.schedule.cmdEnable_Click();
    EXPECT_EQ(f.Day(0), (std::vector<int>{1200, 1300, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(f.MessageTexts().empty());
}

TEST(Commands, DisableDoesNotBringBackARegionTheHostCleared) {
    Drawn f;
    f.schedule.SetSchedule_MondayStart1(800);
    f.schedule.SetSchedule_MondayStop1(1000);
    f.schedule.SetSchedule_MondayStart2(1200);
    f.schedule.SetSchedule_MondayStop2(1400);
    f.Drag(0, 50, 51);
    f.schedule.SetSchedule_MondayStop1(0);
    f.schedule.SetSchedule_MondayStart1(0);

    f.schedule.cmdDisable_Click();
    EXPECT_EQ(f.Day(0), (std::vector<int>{1200, 1230, 1300, 1400, 0, 0, 0, 0}));
}

// --- after the click -----------------------------------------------------------------------------

TEST(Commands, ClickRepaintsEveryRowAndKeepsTheSelectionHeld) {
    Drawn f;
    f.Drag(5, 32, 35);
    const auto redraws = f.schedule.CompletedRedraws();
    f.schedule.cmdEnable_Click();
    EXPECT_EQ(f.schedule.CompletedRedraws(), redraws + 1);
    EXPECT_TRUE(f.schedule.State().BlockEnabled[5][32]);
    for (int b = 32; b <= 35; ++b)
        EXPECT_TRUE(f.schedule.State().SelectionBlocks[b]);

    // A refused save repaints too.
    f.schedule.cmdEnable_Click();
    EXPECT_EQ(f.schedule.CompletedRedraws(), redraws + 2);
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

}  // namespace
}  // namespace tarn
