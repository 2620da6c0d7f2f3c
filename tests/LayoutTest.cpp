// Proportional layout: the geometry captured at creation, every widget scaled by the size ratios
// with truncation, always from the captured geometry, a rejected value kept only where it was
// rejected, and the pause that ends every resize.

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

TEST(Layout, SizingBackToTheCreationSizeRestoresEveryWidgetExactly) {
    ScheduleFixture f;
    EXPECT_EQ(Geometry(f.platform), DesignGeometry());
    ResizeTo(f, 1000, 500);
    ResizeTo(f, 300, 123);
    ResizeTo(f, design::kControlWidth, design::kControlHeight);
    EXPECT_EQ(Geometry(f.platform), DesignGeometry());
}

TEST(Layout, ScalesFromTheCapturedGeometryAndTruncates) {
    // Control width and height, then day button 0, Enable, Disable and bar 0.
    // clang-format off
    const std::tuple<int, int, std::vector<Values>> cases[] = {
        // Height ratio 181 / 361 = 0.501: bar 0's Height 35 x 0.501 = 17.5 becomes 17.
        {679, 181, {{4, 16, 83, 17}, {88, 161, 287, 17}, {378, 161, 289, 17}, {88, 16, 577, 17}}},
        // Height ratio 180 / 361: Top 32 x 0.4986 = 15.96 is truncated to 15, not rounded.
        {679, 180, {{4, 15, 83, 17}, {88, 160, 287, 17}, {378, 160, 289, 17}, {88, 15, 577, 17}}},
        // Width ratio 611 / 679 = 0.8999: 83 wide becomes 74 (74.7), 577 wide 519 (519.2).
        {611, 361, {{3, 32, 74, 35}, {79, 322, 258, 35}, {340, 322, 260, 35}, {79, 32, 519, 35}}},
        {1358, 722, {{8, 64, 166, 70}, {176, 644, 574, 70}, {756, 644, 578, 70},
                     {176, 64, 1154, 70}}},
        {0, 0, {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}}};
    // clang-format on
    for (const auto& [width, height, widgets] : cases) {
        ScheduleFixture f;
        ResizeTo(f, width, height);
        const std::vector<Values> g = Geometry(f.platform);
        EXPECT_EQ((std::vector<Values>{g[0], g[8], g[9], g[10]}), widgets)
            << width << "x" << height;
    }
}

TEST(Layout, EveryResizeMovesTheWidgetsAtOnceAndEndsWithAPauseBeforeTheRedrawIsQueued) {
    Drawn f;
    bool armedDuringPause = true;
    f.platform.Callbacks().sleep = [&, logSleep = f.platform.Callbacks().sleep](int ms) {
        armedDuringPause = f.platform.TimerWidget().armed();
        logSleep(ms);
    };
    ResizeTo(f, 1358, 722);
    ASSERT_EQ(f.Count(HostRecord::Sleep), 1);
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
        f.platform.Faults().Fail(operation, target);
        ResizeTo(f, design::kControlWidth, design::kControlHeight);
        EXPECT_EQ(Geometry(f.platform), expected) << operation << " of " << widget;
        EXPECT_EQ(f.Count(HostRecord::Sleep), 2);
        EXPECT_TRUE(f.MessageTexts().empty());
    }
}

TEST(Layout, AFailedCaptureIsReportedAndKeepsWhatWasCapturedBeforeIt) {
    ScheduleFixture f;
    ResizeTo(f, 1358, 722);
    // Day button 3 is read Top, Left, Height, Width: its Height fails.
    f.platform.Faults().Fail("Height", MemoryPlatform::kButtonTargetBase + 3);
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
