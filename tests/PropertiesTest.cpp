// The public properties and the redraw cycle: defaults of a new control, which time-property
// writes redraw at once, Reset, the buttons' properties, and the requests that arm the one-shot
// timer and cost one full redraw on its tick however many arrive.

#include <gtest/gtest.h>

#include <tuple>

#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

std::string EnabledButtons(ScheduleFixture& f) {
    std::string states;
    for (int i = 0; i < 10; ++i)
        states += f.platform.Button(i).enabled() ? '1' : '0';
    return states;
}

TEST(Properties, NewControlHasItsDefaultsAndDrawsOnTheFirstTick) {
    ScheduleFixture f;
    EXPECT_TRUE(f.schedule.Enable() && f.schedule.SpecialDayEnabled());
    EXPECT_EQ(f.schedule.SpecialDayCaption(), "Special");
    EXPECT_TRUE(f.ScheduleIsEmpty());
    EXPECT_EQ(EnabledButtons(f), "1111111111");
    EXPECT_EQ(f.Redraws(), 0u) << "Initialize only arms the timer";
    ASSERT_TRUE(f.Tick());
    EXPECT_EQ(f.Redraws(), 1u);
    EXPECT_TRUE(f.log.empty());
}

TEST(Properties, TimePropertiesRedrawAtOnceExactlyWhenThePairsStopIsLaterThanItsStart) {
    // Sequences of writes: property index, value, and whether the write redraws at once.
    const int start = 0, stop = 1, other = TimePropertyIndex(7, 4, false);
    const std::vector<std::vector<std::tuple<int, std::int16_t, bool>>> sequences = {
        {{start, 800, false}, {stop, 1700, true}},
        {{stop, 1700, true}, {start, 800, true}},
        {{other, 900, false}, {other + 1, 900, false}, {other + 1, 800, false}},
        // Signed comparison: 0 is later than -5, and so is -1.
        {{other, -5, true}, {other + 1, -1, true}},
        {{start, 800, false}, {stop, 1700, true}, {stop, 0, false}, {start, 0, false}},
        {{start, 800, false}, {stop, 1700, true}, {start, 0, true}, {stop, 0, false}},
        // Only the pair's own fields count.
        {{stop, 1700, true}, {start + 2, 100, false}, {TimePropertyIndex(1, 1, false), 100, false}},
        {{other, 2500, false}, {other, 810, false}}};
    for (const auto& sequence : sequences) {
        Drawn f;
        for (const auto& [index, value, redraws] : sequence) {
            const auto before = f.Redraws();
            f.schedule.SetTimeValue(index, value);
            EXPECT_EQ(f.schedule.TimeValue(index), value);
            EXPECT_EQ(f.Redraws() - before, redraws ? 1u : 0u)
                << TimePropertyName(index) << " := " << value;
        }
        EXPECT_FALSE(f.Tick()) << "a Let never defers its redraw";
    }
}

TEST(Properties, ResetRedrawsOncePerRegionWithAStopAndOnceMoreOnTheTick) {
    Drawn f;
    f.SetRegion(0, 1, 800, 1700);
    f.SetRegion(1, 3, 900, 800);  // backwards, but its stop is above 0
    f.SetRegion(7, 4, 600, 2400);
    f.schedule.SetSchedule_FridayStart2(700);  // a start alone redraws nothing when cleared
    const auto before = f.Redraws();
    f.schedule.Reset();
    EXPECT_EQ(f.Redraws() - before, 3u);
    EXPECT_TRUE(f.ScheduleIsEmpty());
    // The last immediate redraw showed the Special region being cleared from 00:00 to its stop.
    EXPECT_TRUE(f.State().BlockEnabled[7][0]);
    ASSERT_TRUE(f.Tick());
    EXPECT_FALSE(f.State().BlockEnabled[7][0]);
    // Reset of the empty schedule only defers one redraw.
    f.schedule.Reset();
    EXPECT_EQ(f.Redraws() - before, 4u);
    EXPECT_TRUE(f.Tick());
    EXPECT_EQ(f.Count(HostRecord::ScheduleUpdated), 0);
}

// --- the redraw cycle ---------------------------------------------------------------------------

TEST(RedrawCycle, RequestsBeforeTheTickCostOneRedraw) {
    Drawn f;
    f.schedule.Refresh();
    // A pending redraw serves the later requests: they leave the timer as it is.
    f.platform.Faults().Fail("SetTimerEnabled");
    EXPECT_NO_THROW(f.schedule.Refresh());
    EXPECT_NO_THROW(f.schedule.Paint());
    f.platform.Faults().Clear();
    EXPECT_EQ(f.Redraws(), 1u) << "Refresh draws nothing itself";
    EXPECT_TRUE(f.Tick());
    EXPECT_EQ(f.Redraws(), 2u);
    EXPECT_FALSE(f.Tick()) << "the tick disarms the timer";
}

TEST(RedrawCycle, PaintQueuesARedrawOnlyAfterTheFirstAndBeforeTerminate) {
    ScheduleFixture f;
    // Before the first redraw Paint must not even look at the timer.
    f.platform.Faults().Fail("TimerEnabled");
    f.platform.Faults().Fail("SetTimerEnabled");
    EXPECT_NO_THROW(f.schedule.Paint());
    f.platform.Faults().Clear();
    EXPECT_TRUE(f.Tick());
    EXPECT_FALSE(f.Tick());
    f.schedule.Paint();
    EXPECT_TRUE(f.Tick());
    f.schedule.Terminate();
    f.schedule.Paint();
    EXPECT_FALSE(f.Tick());
    EXPECT_EQ(f.At(3, 300, 15), '-') << "Terminate clears the bars";
}

}  // namespace
}  // namespace tarn
