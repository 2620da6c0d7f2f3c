// Proportional layout beyond what the layout example shows: the pause that ends every resize
// before the redraw is queued, a rejected value kept only where it was rejected, and a capture
// that fails part way.

#include <gtest/gtest.h>

#include <tuple>

#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

using platform::memory::MemoryPlatform;

/// Left, top, width and height of every widget: day buttons, Enable, Disable, then the bars.
std::vector<Values> Geometry(MemoryPlatform& platform) {
    std::vector<Values> widgets;
    for (int i = 0; i < 18; ++i) {
        const platform::memory::MemoryGeometry& w =
            i < 10 ? static_cast<platform::memory::MemoryGeometry&>(platform.Button(i))
                   : platform.Bar(i - 10);
        widgets.push_back({w.left(), w.top(), w.width(), w.height()});
    }
    return widgets;
}

/// The design geometry in pixels, in the same order.
std::vector<Values> DesignGeometry() {
    std::vector<Values> widgets;
    for (int i = 0; i < 8; ++i)
        widgets.push_back({4, 32 + 36 * i, 83, 35});
    widgets.push_back({88, 322, 287, 35});
    widgets.push_back({378, 322, 289, 35});
    for (int i = 0; i < 8; ++i)
        widgets.push_back({88, 32 + 36 * i, 577, 35});
    return widgets;
}

void ResizeTo(ScheduleFixture& f, int width, int height) {
    f.platform.SurfaceWidget().SetSize(width, height);
    f.schedule.Resize();
}

TEST(Layout, EveryResizeMovesTheWidgetsAtOnceAndEndsWithAPauseBeforeTheRedrawIsQueued) {
    Drawn f;
    bool armedDuringPause = true;
    f.platform.Callbacks().sleep = [&, logSleep = f.platform.Callbacks().sleep](int ms) {
        armedDuringPause = f.platform.TimerWidget().armed();
        logSleep(ms);
    };
    ResizeTo(f, 1358, 722);
    ASSERT_EQ(f.platform.Sleeps(), 1);
    EXPECT_EQ(f.log.back().milliseconds, 100);
    EXPECT_FALSE(armedDuringPause);
    EXPECT_EQ(f.Redraws(), 1u);
    ASSERT_TRUE(f.Tick());
    // The bars are drawn at their new inner size, 1150 x 66: the last column and row are painted.
    EXPECT_EQ(std::string({f.At(3, 1149, 30), f.At(3, 1000, 65)}), "RW");
}

TEST(Layout, ARejectedValueIsKeptOnlyWhereItWasRejected) {
    // Operation and fault-injection target, then the index into Geometry() and the value
    // (left, top, width, height) that is rejected.
    const std::tuple<const char*, int, int, int> cases[] = {
        {"SetTop", MemoryPlatform::kButtonTargetBase + 2, 2, 1},
        {"SetWidth", 3, 13, 2},
        {"SetHeight", 7, 17, 3}};
    for (const auto& [operation, target, widget, field] : cases) {
        // From twice the design size back to it: the widget that rejects keeps the doubled value
        // it had, every other value returns to the design.
        ScheduleFixture f;
        ResizeTo(f, 1358, 722);
        std::vector<Values> expected = DesignGeometry();
        expected[widget][field] *= 2;
        f.faults.Fail(operation, target);
        ResizeTo(f, design::kControlWidth, design::kControlHeight);
        EXPECT_EQ(Geometry(f.platform), expected) << operation << " of " << widget;
        EXPECT_EQ(f.platform.Sleeps(), 2);
        EXPECT_TRUE(f.MessageTexts().empty());
    }
}

TEST(Layout, AFailedCaptureIsReportedAndKeepsWhatWasCapturedBeforeIt) {
    ScheduleFixture f;
    ResizeTo(f, 1358, 722);
    // Day button 3 is read Top, Left, Height, Width: its Height fails.
    f.faults.Fail("Height", MemoryPlatform::kButtonTargetBase + 3);
    f.schedule.Initialize();
    EXPECT_EQ(f.MessageTexts(),
              Texts{"Failed to get current positions with error: Height failed on target 13"});
    const auto& p = f.State().ButtonPositions;
    EXPECT_EQ((Values{p[2].Height, p[3].Top, p[3].Left, p[3].Height, p[4].Top}),
              (Values{70, 280, 8, 35, 176}));
    EXPECT_TRUE(f.platform.TimerWidget().armed()) << "Initialize went on after the report";
}

}  // namespace
}  // namespace tarn
