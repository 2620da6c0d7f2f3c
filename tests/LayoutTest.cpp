// Proportional layout: the geometry captured at creation, every widget scaled by the size ratios
// with truncation, always from the captured geometry, a rejected value kept only where it was
// rejected, and the pause that ends every resize.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "model/DesignData.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

using platform::memory::MemoryPlatform;

struct Geometry {
    int left, top, width, height;
    bool operator==(const Geometry&) const = default;
};

void PrintTo(const Geometry& g, std::ostream* os) {
    *os << "{" << g.left << ", " << g.top << ", " << g.width << ", " << g.height << "}";
}

Geometry Of(const platform::memory::MemoryGeometry& widget) {
    return {widget.left(), widget.top(), widget.width(), widget.height()};
}

/// The design geometry in pixels: day buttons, Enable, Disable, then the bars.
std::vector<Geometry> DesignGeometry() {
    std::vector<Geometry> widgets;
    for (int i = 0; i < 8; ++i)
        widgets.push_back({4, 32 + 36 * i, 83, 35});
    widgets.push_back({88, 322, 287, 35});
    widgets.push_back({378, 322, 289, 35});
    for (int i = 0; i < 8; ++i)
        widgets.push_back({88, 32 + 36 * i, 577, 35});
    return widgets;
}

std::vector<Geometry> CurrentGeometry(MemoryPlatform& platform) {
    std::vector<Geometry> widgets;
    for (int i = 0; i < 10; ++i)
        widgets.push_back(Of(platform.Button(i)));
    for (int i = 0; i < 8; ++i)
        widgets.push_back(Of(platform.Bar(i)));
    return widgets;
}

/// Fault-injection targets of the widgets.
constexpr int ButtonTarget(int i) {
    return MemoryPlatform::kButtonTargetBase + i;
}

class Layout : public ::testing::Test {
protected:
    void ResizeTo(int width, int height) {
        f.platform.SurfaceWidget().SetSize(width, height);
        f.schedule.Resize();
    }

    ScheduleFixture f;
};

TEST_F(Layout, CreationCapturesTheDesignGeometryInPixels) {
    EXPECT_EQ(CurrentGeometry(f.platform), DesignGeometry());
    const ScheduleState& state = f.schedule.State();
    EXPECT_EQ(state.ButtonPositions[9].Left, 378);
    EXPECT_EQ(state.ButtonPositions[9].Width, 289);
    EXPECT_EQ(state.PictureBoxPositions[7].Top, 32 + 36 * 7);
    EXPECT_EQ(state.DesignWidth, design::kControlWidth);
    EXPECT_EQ(state.DesignHeight, design::kControlHeight);
}

TEST_F(Layout, SizingBackToTheCreationSizeRestoresEveryWidgetExactly) {
    ResizeTo(1000, 500);
    ResizeTo(300, 123);
    ResizeTo(design::kControlWidth, design::kControlHeight);
    EXPECT_EQ(f.schedule.State().HeightRatio, 1.0);
    EXPECT_EQ(f.schedule.State().WidthRatio, 1.0);
    EXPECT_EQ(CurrentGeometry(f.platform), DesignGeometry());
}

struct ResizeCase {
    const char* name;
    int width, height;
    Geometry button0, bar0, enable, disable;
};

void PrintTo(const ResizeCase& c, std::ostream* os) {
    *os << c.name;
}

class LayoutSizes : public Layout, public ::testing::WithParamInterface<ResizeCase> {};

TEST_P(LayoutSizes, ScalesFromTheCapturedGeometryAndTruncates) {
    const ResizeCase& c = GetParam();
    ResizeTo(c.width, c.height);
    EXPECT_EQ(Of(f.platform.Button(0)), c.button0);
    EXPECT_EQ(Of(f.platform.Bar(0)), c.bar0);
    EXPECT_EQ(Of(f.platform.Button(8)), c.enable);
    EXPECT_EQ(Of(f.platform.Button(9)), c.disable);
    // The bars' drawing area follows: inner size = outer size less the frame.
    EXPECT_EQ(f.platform.Bar(0).innerWidth(), std::max(c.bar0.width - 2 * design::kBarBorder, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, LayoutSizes,
    ::testing::Values(
        // Height ratio 181 / 361 = 0.501: bar 0's Height 35 x 0.501 = 17.5 becomes 17.
        ResizeCase{"HalfHeight",
                   679,
                   181,
                   {4, 16, 83, 17},
                   {88, 16, 577, 17},
                   {88, 161, 287, 17},
                   {378, 161, 289, 17}},
        // Height ratio 180 / 361: Top 32 x 0.4986 = 15.96 is truncated to 15, not rounded.
        ResizeCase{"JustUnderHalfHeight",
                   679,
                   180,
                   {4, 15, 83, 17},
                   {88, 15, 577, 17},
                   {88, 160, 287, 17},
                   {378, 160, 289, 17}},
        // Width ratio 611 / 679 = 0.8999: 83 wide becomes 74 (74.7), 577 wide 519 (519.2).
        ResizeCase{"NineTenthsWidth",
                   611,
                   361,
                   {3, 32, 74, 35},
                   {79, 32, 519, 35},
                   {79, 322, 258, 35},
                   {340, 322, 260, 35}},
        ResizeCase{"Doubled",
                   1358,
                   722,
                   {8, 64, 166, 70},
                   {176, 64, 1154, 70},
                   {176, 644, 574, 70},
                   {756, 644, 578, 70}},
        // A control of no size shrinks every widget to nothing.
        ResizeCase{"Empty", 0, 0, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Layout, RepeatedResizesDoNotAccumulateTruncation) {
    ResizeTo(611, 181);
    const std::vector<Geometry> once = CurrentGeometry(f.platform);
    for (int i = 0; i < 5; ++i)
        ResizeTo(611, 181);
    EXPECT_EQ(CurrentGeometry(f.platform), once);
    ResizeTo(400, 250);
    ResizeTo(611, 181);
    EXPECT_EQ(CurrentGeometry(f.platform), once);
}

TEST_F(Layout, EveryResizeEndsWithAPauseBeforeTheRedrawIsQueued) {
    ASSERT_TRUE(f.Tick());
    bool armedDuringPause = true;
    Geometry lastWidgetDuringPause{};
    f.platform.Callbacks().sleep = [&, logSleep = f.platform.Callbacks().sleep](int ms) {
        armedDuringPause = f.platform.TimerWidget().armed();
        lastWidgetDuringPause = Of(f.platform.Button(9));
        logSleep(ms);
    };
    ResizeTo(1358, 722);
    ASSERT_FALSE(f.log.empty());
    EXPECT_EQ(f.log.back().kind, HostRecord::Sleep);
    EXPECT_EQ(f.log.back().milliseconds, 100);
    EXPECT_EQ(f.Count(HostRecord::Sleep), 1);
    EXPECT_FALSE(armedDuringPause);
    EXPECT_EQ(lastWidgetDuringPause, (Geometry{756, 644, 578, 70}));
    // The widgets moved at once; the bars are repainted on the next tick.
    EXPECT_TRUE(f.platform.TimerWidget().armed());
    EXPECT_EQ(f.schedule.CompletedRedraws(), 1u);
    ASSERT_TRUE(f.Tick());
    EXPECT_EQ(f.schedule.CompletedRedraws(), 2u);
}

// --- rejected values ------------------------------------------------------------------------

struct Rejection {
    const char* name;
    const char* operation;
    int target;
    int widget;  // index into DesignGeometry()
};

void PrintTo(const Rejection& r, std::ostream* os) {
    *os << r.name;
}

class RejectedValue : public Layout, public ::testing::WithParamInterface<Rejection> {};

TEST_P(RejectedValue, KeepsOnlyThatValueAndLaysOutTheRest) {
    const Rejection& r = GetParam();
    // From twice the design size back to it: the widget that rejects keeps the doubled value it
    // had, every other value returns to the design.
    ResizeTo(1358, 722);
    std::vector<Geometry> expected = DesignGeometry();
    Geometry& kept = expected[r.widget];
    const std::string operation = r.operation;
    if (operation == "SetLeft") kept.left *= 2;
    if (operation == "SetTop") kept.top *= 2;
    if (operation == "SetWidth") kept.width *= 2;
    if (operation == "SetHeight") kept.height *= 2;

    f.platform.Faults().Fail(r.operation, r.target);
    ResizeTo(design::kControlWidth, design::kControlHeight);
    EXPECT_EQ(CurrentGeometry(f.platform), expected);
    EXPECT_EQ(f.Count(HostRecord::Sleep), 2);
    EXPECT_TRUE(f.MessageTexts().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Widgets, RejectedValue,
    ::testing::Values(Rejection{"TopOfDayButton2", "SetTop", ButtonTarget(2), 2},
                      Rejection{"LeftOfDayButton0", "SetLeft", ButtonTarget(0), 0},
                      Rejection{"WidthOfBar3", "SetWidth", 3, 13},
                      Rejection{"HeightOfBar7", "SetHeight", 7, 17},
                      Rejection{"WidthOfDisable", "SetWidth", ButtonTarget(9), 9}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Layout, EveryWidgetIsRefreshedOnceEvenWhenOneRejectsAValue) {
    f.platform.Faults().Fail("SetWidth", 3);
    // Every refresh fails silently, so the injector counts them.
    f.platform.Faults().Fail("Refresh");
    ResizeTo(1358, 722);
    EXPECT_EQ(f.platform.Faults().Thrown(), 1 + 18);
    EXPECT_EQ(f.Count(HostRecord::Sleep), 1);
}

TEST_F(Layout, AValueBeyondSixteenBitsIsRejectedByTheWidgetAlone) {
    // Sixty times the design width (and a tenth of its height): the bars' 577 x 60 = 34620 does
    // not fit a widget, their Left of 88 x 60 = 5280 does; the buttons fit entirely.
    ResizeTo(design::kControlWidth * 60, 36);
    EXPECT_EQ(Of(f.platform.Bar(4)), (Geometry{5280, 17, 577, 3}));
    EXPECT_EQ(Of(f.platform.Button(9)), (Geometry{22680, 32, 17340, 3}));
    EXPECT_EQ(f.Count(HostRecord::Sleep), 1);
    EXPECT_TRUE(f.MessageTexts().empty());
}

TEST_F(Layout, AFailedSizeReadKeepsTheRatioOfThatDirection) {
    ResizeTo(1358, 722);
    f.platform.Faults().Fail("ControlWidth");
    ResizeTo(679, 181);
    EXPECT_EQ(f.schedule.State().WidthRatio, 2.0);
    EXPECT_EQ(Of(f.platform.Bar(0)), (Geometry{176, 16, 1154, 17}));
    EXPECT_EQ(f.Count(HostRecord::Sleep), 2);
    EXPECT_TRUE(f.MessageTexts().empty());
}

// --- capture at creation --------------------------------------------------------------------

/// A control whose platform may be given faults before Initialize runs.
struct UninitialisedControl {
    UninitialisedControl()
        : platform(platform::memory::HostCallbacks{
              [this](std::string_view text, int, std::string_view) { messages.emplace_back(text); },
              {},
              {}}),
          schedule(platform) {}

    std::vector<std::string> messages;
    MemoryPlatform platform;
    Schedule schedule;
};

TEST(LayoutCapture, AFailedReadReportsAndKeepsWhatWasCapturedBeforeIt) {
    UninitialisedControl c;
    // Day button 3 is read Top, Left, Height, Width: its Height fails.
    c.platform.Faults().Fail("Height", ButtonTarget(3));
    c.schedule.Initialize();

    EXPECT_EQ(c.messages,
              std::vector<std::string>{
                  "Failed to get current positions with error: Height failed on target 13"});
    const ScheduleState& state = c.schedule.State();
    EXPECT_EQ(state.ButtonPositions[2].Height, 35);
    EXPECT_EQ(state.ButtonPositions[3].Top, 140);
    EXPECT_EQ(state.ButtonPositions[3].Left, 4);
    EXPECT_EQ(state.ButtonPositions[3].Height, 0);
    EXPECT_EQ(state.ButtonPositions[3].Width, 0);
    EXPECT_EQ(state.ButtonPositions[4].Top, 0);
    EXPECT_EQ(state.PictureBoxPositions[0].Width, 0);
    EXPECT_EQ(state.DesignHeight, 0.0);
    EXPECT_EQ(state.DesignWidth, 0.0);
    // Initialize went on after the report.
    EXPECT_TRUE(c.platform.TimerWidget().armed());
    EXPECT_EQ(c.schedule.SpecialDayCaption(), "Special");
    EXPECT_TRUE(c.schedule.SpecialDayEnabled());
}

TEST(LayoutCapture, WithoutADesignSizeTheRatiosKeepTheirValuesAndNothingIsReported) {
    UninitialisedControl c;
    c.platform.Faults().Fail("ControlHeight", platform::FaultInjector::kAnyTarget, 0, 1);
    c.schedule.Initialize();
    ASSERT_EQ(c.messages, std::vector<std::string>{
                              "Failed to get current positions with error: ControlHeight failed"});
    ASSERT_EQ(c.schedule.State().DesignHeight, 0.0);
    ASSERT_EQ(c.schedule.State().DesignWidth, 0.0);

    c.platform.SurfaceWidget().SetSize(1358, 722);
    c.schedule.Resize();
    EXPECT_EQ(c.schedule.State().HeightRatio, 1.0);
    EXPECT_EQ(c.schedule.State().WidthRatio, 1.0);
    EXPECT_EQ(c.messages.size(), 1u);
    // The widgets were all captured, so they stay at their design geometry.
    EXPECT_EQ(CurrentGeometry(c.platform), DesignGeometry());
    EXPECT_EQ(c.platform.Sleeps(), 1);
}

TEST(LayoutCapture, WithoutADesignWidthOnlyTheHeightFollowsTheControl) {
    UninitialisedControl c;
    c.platform.Faults().Fail("ControlWidth", platform::FaultInjector::kAnyTarget, 0, 1);
    c.schedule.Initialize();
    c.platform.SurfaceWidget().SetSize(1358, 722);
    c.schedule.Resize();
    EXPECT_EQ(c.schedule.State().HeightRatio, 2.0);
    EXPECT_EQ(c.schedule.State().WidthRatio, 1.0);
    EXPECT_EQ(Of(c.platform.Bar(0)), (Geometry{88, 64, 577, 70}));
    EXPECT_EQ(c.messages.size(), 1u);
}

}  // namespace
}  // namespace tarn
