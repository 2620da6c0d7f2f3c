// No drawing operation outlives its call: every pen made during a redraw, a press or a day
// button is deleted again, also when a platform call fails part way, and a full pen table makes
// the control draw nothing rather than fail.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

constexpr std::uint32_t kCleared = platform::PixelOf(platform::kBackgroundColour);

/// Runs every drawing path of the control once: the timer's full redraw, a press, a move, a
/// release and a day button.
void DrawEverything(ScheduleFixture& f) {
    f.schedule.Refresh();
    f.Tick();
    f.schedule.Schedule_MouseDown(2, 1, 0, 100.0f, 5.0f);
    f.schedule.Schedule_MouseMove(2, 1, 0, 130.0f, 5.0f);
    f.schedule.Schedule_MouseUp(2, 1, 0, 130.0f, 5.0f);
    f.schedule.cmdDay_Click(5);
}

TEST(DrawingResources, EveryPathDeletesThePensItMade) {
    ScheduleFixture f;
    f.schedule.SetSchedule_MondayStart1(800);
    f.schedule.SetSchedule_MondayStop1(1000);
    DrawEverything(f);
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
    EXPECT_TRUE(f.MessageTexts().empty());
}

class FailingDrawingCall : public ::testing::TestWithParam<const char*> {};

TEST_P(FailingDrawingCall, LeavesNoPenBehindWhereverItFails) {
    for (const int skip : {0, 1, 2, 3, 7, 30, 100}) {
        ScheduleFixture f;
        f.platform.Faults().Fail(GetParam(), platform::FaultInjector::kAnyTarget, skip, 1);
        DrawEverything(f);
        EXPECT_EQ(f.platform.Pens().LivePens(), 0) << "failing after " << skip << " calls";
        EXPECT_TRUE(f.schedule.State().ScheduleDrawn) << "failing after " << skip << " calls";
        if (skip == 0) {
            EXPECT_EQ(f.platform.Faults().Thrown(), 1);
        }
    }
    // And a call that fails every time.
    ScheduleFixture f;
    f.platform.Faults().Fail(GetParam());
    DrawEverything(f);
    EXPECT_EQ(f.platform.Pens().LivePens(), 0) << "failing every time";
}

INSTANTIATE_TEST_SUITE_P(Calls, FailingDrawingCall,
                         ::testing::Values("CreatePen", "SelectObject", "FillRect", "MoveToEx",
                                           "LineTo", "hDC", "ScaleWidth", "ScaleHeight", "DayBar",
                                           "Cls", "TextOutA", "SurfaceHDC", "ClearSurface", "Top",
                                           "Left", "Width"),
                         [](const auto& info) { return std::string(info.param); });

TEST(DrawingResources, AFullPenTableLeavesTheBarsClearedWithoutAnError) {
    ScheduleFixture f;
    platform::Gdi& gdi = f.platform.Drawing();
    std::vector<platform::GdiObject> taken;
    for (int i = 0; i < platform::PixelGdi::kPenCapacity; ++i)
        taken.push_back(gdi.CreatePen(0, 1, 0x808080));
    ASSERT_EQ(gdi.CreatePen(0, 1, 0x808080), 0u);

    DrawEverything(f);
    EXPECT_TRUE(f.MessageTexts().empty());
    EXPECT_TRUE(f.schedule.State().ScheduleDrawn);
    for (int i = 0; i < 8; ++i)
        for (const int x : {0, 100, 572})
            for (const int y : {0, 15, 30})
                EXPECT_EQ(f.platform.Bar(i).context().PixelAt(x, y), kCleared)
                    << "bar " << i << " (" << x << "," << y << ")";

    // Once the pens are given back the control draws again, and keeps none of them.
    for (const platform::GdiObject pen : taken)
        gdi.DeleteObject(pen);
    f.schedule.Refresh();
    ASSERT_TRUE(f.Tick());
    EXPECT_EQ(f.platform.Bar(0).context().PixelAt(100, 15), platform::PixelOf(0xFF0000));
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

}  // namespace
}  // namespace tarn
