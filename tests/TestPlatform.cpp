#include <gtest/gtest.h>

#include "model/Schedule.h"
#include "platform/memory/MemoryPlatform.h"

TEST(Smoke, CreatesAndDraws) {
    tarn::platform::memory::MemoryPlatform platform;
    tarn::Schedule schedule(platform);
    schedule.Initialize();
    schedule.InitTimer_Timer();
    EXPECT_EQ(schedule.CompletedRedraws(), 1u);
}
