// The redraw cycle: requests from the host and the window system arm the one-shot timer and cost
// one full redraw on its tick, however many arrive; a full redraw repaints every row from the
// properties and erases selection marks but not the selection.

#include <gtest/gtest.h>

#include "platform/FaultInjector.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

using platform::ColourOf;

/// The colour in the middle of block b's band (0 top, 1 middle, 2 bottom) on a day's bar.
platform::ColourRef BandColour(ScheduleFixture& f, int day, int block, int band) {
    const auto& dc = f.platform.Bar(day).context();
    const double w = dc.width() / 96.0;
    const double h = dc.height() / 3.0;
    return ColourOf(
        dc.PixelAt(static_cast<int>((block + 0.5) * w), static_cast<int>((band + 0.5) * h)));
}

float BlockX(ScheduleFixture& f, int day, int block) {
    return static_cast<float>((block + 0.5) * f.platform.Bar(day).innerWidth() / 96.0);
}

TEST(RedrawCycle, RefreshesBeforeTheTickCostOneRedraw) {
    ScheduleFixture f;
    f.Tick();
    f.schedule.Refresh();
    // A pending redraw serves the later requests: they leave the timer as it is.
    f.platform.Faults().Fail("SetTimerEnabled", platform::FaultInjector::kAnyTarget, 0, 1);
    EXPECT_NO_THROW(f.schedule.Refresh());
    EXPECT_NO_THROW(f.schedule.Refresh());
    f.platform.Faults().Clear();
    EXPECT_EQ(f.schedule.CompletedRedraws(), 1u) << "Refresh draws nothing itself";
    EXPECT_TRUE(f.Tick());
    EXPECT_EQ(f.schedule.CompletedRedraws(), 2u);
    EXPECT_FALSE(f.Tick()) << "the tick disarms the timer";
}

TEST(RedrawCycle, PaintBeforeTheFirstRedrawLeavesTheTimerAlone) {
    ScheduleFixture f;
    // Paint must not even look at the timer: a timer that cannot be read is no error here.
    f.platform.Faults().Fail("TimerEnabled");
    f.platform.Faults().Fail("SetTimerEnabled");
    EXPECT_NO_THROW(f.schedule.Paint());
    f.platform.Faults().Clear();
    EXPECT_TRUE(f.Tick());
    EXPECT_EQ(f.schedule.CompletedRedraws(), 1u);
    EXPECT_FALSE(f.Tick());
}

TEST(RedrawCycle, PaintAfterTheFirstRedrawQueuesOne) {
    ScheduleFixture f;
    f.Tick();
    f.schedule.Paint();
    f.schedule.Paint();
    EXPECT_EQ(f.schedule.CompletedRedraws(), 1u);
    EXPECT_TRUE(f.Tick());
    EXPECT_EQ(f.schedule.CompletedRedraws(), 2u);
    EXPECT_FALSE(f.Tick());
}

TEST(RedrawCycle, PaintAfterTerminateQueuesNothing) {
    ScheduleFixture f;
    f.Tick();
    f.schedule.Terminate();
    EXPECT_FALSE(f.schedule.State().ScheduleDrawn);
    f.schedule.Paint();
    EXPECT_FALSE(f.platform.TimerWidget().armed());
    EXPECT_EQ(BandColour(f, 3, 40, 1), platform::kBackgroundColour) << "Terminate clears the bars";
}

TEST(RedrawCycle, ResizeLaysOutAtOnceAndRepaintsOnTheTick) {
    ScheduleFixture f;
    f.Tick();
    const int width = f.platform.Bar(0).width();
    f.platform.SurfaceWidget().SetSize(2 * 679, 361);
    f.schedule.Resize();
    EXPECT_GT(f.platform.Bar(0).width(), width);
    EXPECT_EQ(f.schedule.CompletedRedraws(), 1u);
    EXPECT_TRUE(f.Tick());
    EXPECT_EQ(f.schedule.CompletedRedraws(), 2u);
    EXPECT_EQ(BandColour(f, 0, 95, 1), ColourOf(platform::QBColor(platform::kPaletteLightRed)));
}

TEST(RedrawCycle, FullRedrawShowsThePropertiesAsTheyStandNow) {
    ScheduleFixture f;
    f.Tick();
    f.schedule.SetSchedule_WednesdayStart1(800);
    f.schedule.SetSchedule_WednesdayStop1(1000);
    const auto green = ColourOf(platform::QBColor(platform::kPaletteLightGreen));
    const auto red = ColourOf(platform::QBColor(platform::kPaletteLightRed));
    ASSERT_EQ(BandColour(f, 2, 35, 1), green);
    // Cleared stop first: neither Let redraws, so the old region stays on the bar...
    f.schedule.SetSchedule_WednesdayStop1(0);
    f.schedule.SetSchedule_WednesdayStart1(0);
    EXPECT_EQ(BandColour(f, 2, 35, 1), green);
    // ...until the next full redraw.
    f.schedule.Refresh();
    f.Tick();
    EXPECT_EQ(BandColour(f, 2, 35, 1), red);
    EXPECT_EQ(f.schedule.State().CurrentDay, 7) << "a full redraw ends on the last row";
}

TEST(RedrawCycle, FullRedrawErasesTheMarksButKeepsTheSelection) {
    ScheduleFixture f;
    f.Tick();
    f.schedule.Schedule_MouseDown(4, 1, 0, BlockX(f, 4, 10), 0);
    f.schedule.Schedule_MouseUp(4, 1, 0, BlockX(f, 4, 10), 0);
    ASSERT_EQ(BandColour(f, 4, 10, 0), ColourOf(platform::QBColor(platform::kPaletteBlack)));
    f.schedule.Refresh();
    f.Tick();
    EXPECT_EQ(BandColour(f, 4, 10, 0), ColourOf(platform::QBColor(platform::kPaletteBrightWhite)));
    EXPECT_EQ(BandColour(f, 4, 10, 2), ColourOf(platform::QBColor(platform::kPaletteBrightWhite)));
    EXPECT_TRUE(f.schedule.State().SelectionBlocks[10]);
}

}  // namespace
}  // namespace tarn
