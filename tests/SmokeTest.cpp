#include <gtest/gtest.h>

#include "tests/ScheduleFixture.h"

namespace tarn {

TEST(Smoke, DragAndEnableSavesOneRegion) {
    ScheduleFixture f;
    ASSERT_TRUE(f.Tick());
    f.schedule.Schedule_MouseDown(0, 1, 0, 191, 0);
    f.schedule.Schedule_MouseMove(0, 1, 0, 197, 0);
    f.schedule.Schedule_MouseMove(0, 1, 0, 203, 0);
    f.schedule.Schedule_MouseUp(0, 1, 0, 203, 0);
    f.schedule.cmdEnable_Click();
    EXPECT_EQ(f.schedule.Schedule_MondayStart1(), 800);
    EXPECT_EQ(f.schedule.Schedule_MondayStop1(), 845);
    EXPECT_EQ(f.Count(HostRecord::ScheduleUpdated), 1);
    EXPECT_TRUE(f.MessageTexts().empty());
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

}  // namespace tarn
