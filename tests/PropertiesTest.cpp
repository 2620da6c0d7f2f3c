// The public properties: defaults of a new control, which time-property writes redraw at once,
// Reset, and what Enable, SpecialDayEnabled and SpecialDayCaption do to the buttons.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

constexpr int kEnableButton = 8;
constexpr int kDisableButton = 9;

std::string EnabledButtons(ScheduleFixture& f) {
    std::string states;
    for (int i = 0; i < 10; ++i)
        states += f.platform.Button(i).enabled() ? '1' : '0';
    return states;
}

TEST(Properties, NewControlHasItsDefaultsAndDrawsOnTheFirstTick) {
    ScheduleFixture f;
    EXPECT_TRUE(f.schedule.Enable());
    EXPECT_TRUE(f.schedule.SpecialDayEnabled());
    EXPECT_EQ(f.schedule.SpecialDayCaption(), "Special");
    for (int index = 0; index < kTimePropertyCount; ++index)
        EXPECT_EQ(f.schedule.TimeValue(index), 0) << TimePropertyName(index);
    EXPECT_EQ(EnabledButtons(f), "1111111111");
    EXPECT_EQ(f.platform.Button(7).caption(), "Special");
    EXPECT_EQ(f.platform.Button(kEnableButton).caption(), "Enable");
    EXPECT_EQ(f.platform.Button(kDisableButton).caption(), "Disable");

    EXPECT_EQ(f.schedule.CompletedRedraws(), 0u) << "Initialize only arms the timer";
    EXPECT_FALSE(f.schedule.State().ScheduleDrawn);
    ASSERT_TRUE(f.Tick());
    EXPECT_EQ(f.schedule.CompletedRedraws(), 1u);
    EXPECT_TRUE(f.schedule.State().ScheduleDrawn);
    EXPECT_TRUE(f.log.empty());
}

// --- the redraw rule of the time properties ----------------------------------------------------

struct LetStep {
    int index;
    std::int16_t value;
    bool redraws;
};

struct LetSequence {
    const char* name;
    std::vector<LetStep> steps;
};

class TimePropertyLets : public testing::TestWithParam<LetSequence> {};

TEST_P(TimePropertyLets, RedrawAtOnceExactlyWhenThePairsStopIsLaterThanItsStart) {
    ScheduleFixture f;
    f.Tick();
    for (const LetStep& step : GetParam().steps) {
        const auto before = f.schedule.CompletedRedraws();
        f.schedule.SetTimeValue(step.index, step.value);
        EXPECT_EQ(f.schedule.TimeValue(step.index), step.value);
        EXPECT_EQ(f.schedule.CompletedRedraws() - before, step.redraws ? 1u : 0u)
            << TimePropertyName(step.index) << " := " << step.value;
    }
    EXPECT_FALSE(f.platform.TimerWidget().armed()) << "a Let never defers its redraw";
    EXPECT_EQ(f.Count(HostRecord::ScheduleUpdated), 0);
}

constexpr int kMondayStart1 = TimePropertyIndex(0, 1, false);
constexpr int kMondayStop1 = TimePropertyIndex(0, 1, true);
constexpr int kTuesdayStart2 = TimePropertyIndex(1, 2, false);
constexpr int kSpecialStart4 = TimePropertyIndex(7, 4, false);
constexpr int kSpecialStop4 = TimePropertyIndex(7, 4, true);

INSTANTIATE_TEST_SUITE_P(
    Properties, TimePropertyLets,
    testing::Values(
        LetSequence{"StartFirst", {{kMondayStart1, 800, false}, {kMondayStop1, 1700, true}}},
        LetSequence{"StopFirst", {{kMondayStop1, 1700, true}, {kMondayStart1, 800, true}}},
        LetSequence{"EqualOrBackwards",
                    {{kSpecialStart4, 900, false},
                     {kSpecialStop4, 900, false},
                     {kSpecialStop4, 800, false}}},
        // Signed comparison: 0 is later than -5, and so is -1.
        LetSequence{"Signed", {{kSpecialStart4, -5, true}, {kSpecialStop4, -1, true}}},
        LetSequence{"ClearStopFirst",
                    {{kMondayStart1, 800, false},
                     {kMondayStop1, 1700, true},
                     {kMondayStop1, 0, false},
                     {kMondayStart1, 0, false}}},
        LetSequence{"ClearStartFirst",
                    {{kMondayStart1, 800, false},
                     {kMondayStop1, 1700, true},
                     {kMondayStart1, 0, true},
                     {kMondayStop1, 0, false}}},
        // Only the pair's own fields count: a region in the other slot changes nothing.
        LetSequence{"OtherPairIgnored",
                    {{kMondayStop1, 1700, true},
                     {kTuesdayStart2, 100, false},
                     {TimePropertyIndex(0, 2, false), 100, false}}},
        LetSequence{"Malformed",
                    {{kTuesdayStart2, -5, true},
                     {kTuesdayStart2, 2500, false},
                     {kTuesdayStart2, 810, false}}}),
    [](const testing::TestParamInfo<LetSequence>& info) { return info.param.name; });

TEST(Properties, EveryNamedPropertyReachesItsOwnBackingField) {
    ScheduleFixture f;
    f.schedule.SetSchedule_WednesdayStop3(1234);
    f.schedule.SetSchedule_SpecialStart1(-7);
    EXPECT_EQ(f.schedule.TimeValue(TimePropertyIndex(2, 3, true)), 1234);
    EXPECT_EQ(f.schedule.Schedule_WednesdayStop3(), 1234);
    EXPECT_EQ(f.schedule.TimeValue(TimePropertyIndex(7, 1, false)), -7);
    EXPECT_EQ(TimePropertyName(TimePropertyIndex(2, 3, true)), "Schedule_WednesdayStop3");
    EXPECT_EQ(FindTimeProperty("Schedule_SpecialStop4"), 63);
    EXPECT_EQ(FindTimeProperty("Schedule_SpecialStop5"), std::nullopt);
}

// --- Reset -------------------------------------------------------------------------------------

TEST(Properties, ResetRedrawsOncePerRegionWithAStopAndOnceMoreOnTheTick) {
    ScheduleFixture f;
    f.Tick();
    f.schedule.SetSchedule_MondayStart1(800);
    f.schedule.SetSchedule_MondayStop1(1700);
    f.schedule.SetSchedule_TuesdayStart3(900);  // backwards, but its stop is above 0
    f.schedule.SetSchedule_TuesdayStop3(800);
    f.schedule.SetSchedule_SpecialStart4(600);
    f.schedule.SetSchedule_SpecialStop4(2400);
    f.schedule.SetSchedule_FridayStart2(700);  // a start alone redraws nothing when cleared
    const auto before = f.schedule.CompletedRedraws();

    f.schedule.Reset();
    EXPECT_EQ(f.schedule.CompletedRedraws() - before, 3u);
    for (int index = 0; index < kTimePropertyCount; ++index)
        EXPECT_EQ(f.schedule.TimeValue(index), 0) << TimePropertyName(index);
    // The last immediate redraw showed the Special region being cleared from 00:00 to its stop.
    EXPECT_TRUE(f.schedule.State().BlockEnabled[7][0]);

    ASSERT_TRUE(f.Tick());
    EXPECT_EQ(f.schedule.CompletedRedraws() - before, 4u);
    EXPECT_FALSE(f.schedule.State().BlockEnabled[7][0]);
    EXPECT_FALSE(f.Tick());
    EXPECT_EQ(f.Count(HostRecord::ScheduleUpdated), 0);
}

TEST(Properties, ResetOfAnEmptyScheduleOnlyDefersOneRedraw) {
    ScheduleFixture f;
    f.Tick();
    f.schedule.Reset();
    EXPECT_EQ(f.schedule.CompletedRedraws(), 1u);
    EXPECT_TRUE(f.Tick());
    EXPECT_EQ(f.schedule.CompletedRedraws(), 2u);
}

// --- the button properties ---------------------------------------------------------------------

TEST(Properties, EnableSwitchesAllTenButtonsWhateverSpecialDayEnabledHolds) {
    ScheduleFixture f;
    f.schedule.SetSpecialDayEnabled(false);
    EXPECT_EQ(EnabledButtons(f), "1111111011");
    f.schedule.SetEnable(false);
    EXPECT_FALSE(f.schedule.Enable());
    EXPECT_EQ(EnabledButtons(f), "0000000000");
    f.schedule.SetEnable(true);
    EXPECT_EQ(EnabledButtons(f), "1111111111");
    EXPECT_FALSE(f.schedule.SpecialDayEnabled()) << "the property keeps its own value";
}

TEST(Properties, SpecialDayEnabledSetsTheSpecialButtonAloneWhateverEnableHolds) {
    ScheduleFixture f;
    f.schedule.SetEnable(false);
    f.schedule.SetSpecialDayEnabled(true);
    EXPECT_EQ(EnabledButtons(f), "0000000100");
    f.schedule.SetSpecialDayEnabled(false);
    EXPECT_EQ(EnabledButtons(f), "0000000000");
}

TEST(Properties, SpecialDayCaptionNamesTheSpecialButtonOnly) {
    ScheduleFixture f;
    f.schedule.SetSpecialDayCaption("Holiday");
    EXPECT_EQ(f.schedule.SpecialDayCaption(), "Holiday");
    EXPECT_EQ(f.platform.Button(7).caption(), "Holiday");
    f.schedule.SetSpecialDayCaption("");
    EXPECT_EQ(f.schedule.SpecialDayCaption(), "");
    EXPECT_EQ(f.platform.Button(7).caption(), "");
    EXPECT_EQ(f.platform.Button(6).caption(), "Sunday");
}

}  // namespace
}  // namespace tarn
