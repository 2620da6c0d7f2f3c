// The redraw cycle where no script can see it: a pending redraw serves later requests without
// touching the timer, and Paint asks for nothing before the first redraw or after Terminate.

#include <gtest/gtest.h>

#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

TEST(RedrawCycle, RequestsBeforeTheTickCostOneRedraw) {
    Drawn f;
    f.schedule.Refresh();
    // A pending redraw serves the later requests: they leave the timer as it is.
    f.faults.Fail("SetTimerEnabled");
    EXPECT_NO_THROW(f.schedule.Refresh());
    EXPECT_NO_THROW(f.schedule.Paint());
    f.faults.Clear();
    EXPECT_EQ(f.Redraws(), 1u) << "Refresh draws nothing itself";
    EXPECT_TRUE(f.Tick());
    EXPECT_EQ(f.Redraws(), 2u);
    EXPECT_FALSE(f.Tick()) << "the tick disarms the timer";
}

TEST(RedrawCycle, PaintQueuesARedrawOnlyAfterTheFirstAndBeforeTerminate) {
    ScheduleFixture f;
    // Before the first redraw Paint must not even look at the timer.
    f.faults.Fail("TimerEnabled");
    f.faults.Fail("SetTimerEnabled");
    EXPECT_NO_THROW(f.schedule.Paint());
    f.faults.Clear();
    EXPECT_TRUE(f.Tick());
    EXPECT_FALSE(f.Tick());
    f.schedule.Paint();
    EXPECT_TRUE(f.Tick());
    f.schedule.Terminate();
    f.schedule.Paint();
    EXPECT_FALSE(f.Tick());
}

}  // namespace
}  // namespace tarn
