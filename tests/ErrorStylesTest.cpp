// How each operation treats an error, driven by failing platform operations: reporting ones show
// their own sentence and return, silent ones go on with the next step, and the rest let the error
// go to their caller. No error leaves a pen behind.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/FaultInjector.h"
#include "platform/PlatformError.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

using platform::ColourOf;
using platform::FaultInjector;
using platform::PlatformError;
using platform::QBColor;

constexpr int kSurface = 8;
constexpr int kButton = platform::memory::MemoryPlatform::kButtonTargetBase;

float BlockX(ScheduleFixture& f, int day, int block) {
    return static_cast<float>((block + 0.5) * f.platform.Bar(day).innerWidth() / 96.0);
}

platform::ColourRef MiddleBand(ScheduleFixture& f, int day, int block) {
    const auto& dc = f.platform.Bar(day).context();
    return ColourOf(
        dc.PixelAt(static_cast<int>((block + 0.5) * dc.width() / 96.0), dc.height() / 2));
}

struct Drawn : ScheduleFixture {
    Drawn() { Tick(); }
    void Drag(int day, int first, int last) {
        const auto d = static_cast<std::int16_t>(day);
        schedule.Schedule_MouseDown(d, 1, 0, BlockX(*this, day, first), 0);
        for (int b = first + 1; b <= last; ++b)
            schedule.Schedule_MouseMove(d, 1, 0, BlockX(*this, day, b), 0);
        schedule.Schedule_MouseUp(d, 1, 0, BlockX(*this, day, last), 0);
    }
};

// --- reporting -----------------------------------------------------------------------------------

TEST(ErrorStyles, FailingSelectionUpdateIsReportedAndKeepsWhatItMarked) {
    Drawn f;
    f.schedule.Schedule_MouseDown(0, 1, 0, BlockX(f, 0, 10), 0);
    f.log.clear();
    f.platform.Faults().Fail("FillRect", 0);
    EXPECT_NO_THROW(f.schedule.Schedule_MouseMove(0, 1, 0, BlockX(f, 0, 12), 0));
    ASSERT_EQ(f.log.size(), 1u);
    EXPECT_EQ(f.log[0].text,
              "Failed to update schedule selection with error: FillRect failed on target 0");
    EXPECT_EQ(f.log[0].style, platform::kStyleCritical);
    EXPECT_EQ(f.log[0].title, "System Message");
    EXPECT_TRUE(f.schedule.State().SelectionBlocks[12]) << "flags set before the error stay";
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

TEST(ErrorStyles, FailingSaveIsReportedAndTheClickStillRepaints) {
    Drawn f;
    f.Drag(1, 32, 35);
    f.log.clear();
    f.platform.Faults().Fail("RaiseScheduleUpdated");
    const auto redraws = f.schedule.CompletedRedraws();
    EXPECT_NO_THROW(f.schedule.cmdEnable_Click());
    ASSERT_EQ(f.log.size(), 1u);
    EXPECT_EQ(f.log[0].text, "Failed to save selections with error: RaiseScheduleUpdated failed");
    EXPECT_EQ(f.log[0].style, platform::kStyleCritical);
    EXPECT_EQ(f.schedule.CompletedRedraws(), redraws + 1);
}

TEST(ErrorStyles, SaveOnARowOutsideTheTableIsReported) {
    ScheduleFixture f;
    f.access.SetCurrentDay(9);
    f.access.SaveSelections(true);
    ASSERT_EQ(f.MessageTexts().size(), 1u);
    EXPECT_TRUE(f.MessageTexts()[0].starts_with("Failed to save selections with error: "));
    EXPECT_EQ(f.Count(HostRecord::ScheduleUpdated), 0);
}

TEST(ErrorStyles, BlockStatesOfARowOutsideTheTableAreReported) {
    ScheduleFixture f;
    f.access.SetCurrentDay(-1);
    f.access.SetBlockStates();
    ASSERT_EQ(f.MessageTexts().size(), 1u);
    EXPECT_TRUE(f.MessageTexts()[0].starts_with("Failed to set block states with error: "));
}

// --- silent --------------------------------------------------------------------------------------

TEST(ErrorStyles, EnableGoesOnPastAButtonThatCannotBeSet) {
    ScheduleFixture f;
    f.platform.Faults().Fail("SetEnabled", kButton + 3);
    EXPECT_NO_THROW(f.schedule.SetEnable(false));
    EXPECT_FALSE(f.schedule.Enable());
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(f.platform.Button(i).enabled(), i == 3) << i;
    EXPECT_TRUE(f.log.empty());
}

TEST(ErrorStyles, SpecialDayPropertiesAreStoredWhenTheButtonFails) {
    ScheduleFixture f;
    f.platform.Faults().Fail("SetCaption", kButton + 7);
    f.platform.Faults().Fail("SetEnabled", kButton + 7);
    EXPECT_NO_THROW(f.schedule.SetSpecialDayCaption("Holiday"));
    EXPECT_NO_THROW(f.schedule.SetSpecialDayEnabled(false));
    EXPECT_EQ(f.schedule.SpecialDayCaption(), "Holiday");
    EXPECT_FALSE(f.schedule.SpecialDayEnabled());
    EXPECT_EQ(f.platform.Button(7).caption(), "Special");
    EXPECT_TRUE(f.log.empty());
}

TEST(ErrorStyles, BarThatCannotBeClearedDoesNotStopTheRedraw) {
    Drawn f;
    f.platform.Faults().Fail("Cls", 2);
    f.schedule.SetSchedule_SundayStart1(1000);
    EXPECT_NO_THROW(f.schedule.SetSchedule_SundayStop1(1100));
    EXPECT_TRUE(f.log.empty());
    EXPECT_TRUE(f.schedule.State().ScheduleDrawn);
    EXPECT_EQ(f.schedule.CompletedRedraws(), 2u);
    EXPECT_EQ(MiddleBand(f, 6, 40), QBColor(platform::kPaletteLightGreen));
    for (int day = 0; day < 8; ++day)
        EXPECT_EQ(MiddleBand(f, day, 0), QBColor(platform::kPaletteLightRed)) << day;
}

TEST(ErrorStyles, FailingRowIsReportedByItsDrawingAndTheOtherRowsAreDrawn) {
    ScheduleFixture f;
    f.platform.Faults().Fail("DayBar", 3);
    EXPECT_NO_THROW(f.Tick());
    EXPECT_EQ(f.MessageTexts(),
              (std::vector<std::string>{
                  "Failed to initialize schedule blocks with error: DayBar failed on target 3",
                  "Failed to update schedule bar with error: DayBar failed on target 3"}));
    EXPECT_TRUE(f.schedule.State().ScheduleDrawn);
    EXPECT_EQ(MiddleBand(f, 3, 0), platform::kBackgroundColour);
    EXPECT_EQ(MiddleBand(f, 4, 0), QBColor(platform::kPaletteLightRed));
    EXPECT_EQ(MiddleBand(f, 7, 0), QBColor(platform::kPaletteLightRed));
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

TEST(ErrorStyles, TerminateClearsEveryBarItCan) {
    Drawn f;
    f.platform.Faults().Fail("Cls", 0);
    f.platform.Faults().Fail("ClearPicture", 4);
    EXPECT_NO_THROW(f.schedule.Terminate());
    EXPECT_FALSE(f.schedule.State().ScheduleDrawn);
    EXPECT_EQ(MiddleBand(f, 0, 0), QBColor(platform::kPaletteLightRed));
    for (int day = 1; day < 8; ++day)
        EXPECT_EQ(MiddleBand(f, day, 0), platform::kBackgroundColour);
    EXPECT_TRUE(f.log.empty());
}

TEST(ErrorStyles, ReleaseGoesOnWhenThePauseFails) {
    Drawn f;
    f.schedule.Schedule_MouseDown(0, 1, 0, BlockX(f, 0, 10), 0);
    f.access.SetSelection(20, true);
    f.platform.Faults().Fail("Sleep");
    EXPECT_NO_THROW(f.schedule.Schedule_MouseUp(0, 1, 0, BlockX(f, 0, 10), 0));
    EXPECT_FALSE(f.schedule.State().SelectionBlocks[10]);
    EXPECT_FALSE(f.schedule.State().SelectionBlocks[20]);
    EXPECT_FALSE(f.schedule.State().Selecting);
    EXPECT_TRUE(f.log.empty());
}

// --- none: the error goes to the caller
// -----------------------------------------------------------

struct Propagating {
    const char* name;
    const char* operation;
    std::function<void(ScheduleFixture&)> prepare;
    std::function<void(ScheduleFixture&)> call;
};

class ErrorGoesToTheCaller : public testing::TestWithParam<Propagating> {};

TEST_P(ErrorGoesToTheCaller, AsAPlatformError) {
    ScheduleFixture f;
    GetParam().prepare(f);
    f.platform.Faults().Fail(GetParam().operation);
    EXPECT_THROW(GetParam().call(f), PlatformError);
    EXPECT_EQ(f.Count(HostRecord::MessageBox), 0);
}

const auto kNothing = [](ScheduleFixture&) {};
const auto kFirstDraw = [](ScheduleFixture& f) { f.Tick(); };

INSTANTIATE_TEST_SUITE_P(
    ErrorStyles, ErrorGoesToTheCaller,
    testing::Values(Propagating{"RefreshReadingTheTimer", "TimerEnabled", kFirstDraw,
                                [](ScheduleFixture& f) { f.schedule.Refresh(); }},
                    Propagating{"RefreshArmingTheTimer", "SetTimerEnabled", kFirstDraw,
                                [](ScheduleFixture& f) { f.schedule.Refresh(); }},
                    Propagating{"Reset", "SetTimerEnabled", kFirstDraw,
                                [](ScheduleFixture& f) { f.schedule.Reset(); }},
                    Propagating{"Tick", "SetTimerEnabled", kNothing,
                                [](ScheduleFixture& f) { f.schedule.InitTimer_Timer(); }},
                    Propagating{"Resize", "TimerEnabled", kFirstDraw,
                                [](ScheduleFixture& f) { f.schedule.Resize(); }},
                    Propagating{"Paint", "TimerEnabled", kFirstDraw,
                                [](ScheduleFixture& f) { f.schedule.Paint(); }},
                    Propagating{"Initialize", "SetTimerEnabled", kNothing,
                                [](ScheduleFixture& f) { f.schedule.Initialize(); }}),
    [](const testing::TestParamInfo<Propagating>& info) { return info.param.name; });

TEST(ErrorStyles, FailingTickDrawsNothingAndStaysArmed) {
    ScheduleFixture f;
    f.platform.Faults().Fail("SetTimerEnabled", FaultInjector::kAnyTarget, 0, 1);
    EXPECT_THROW(f.schedule.InitTimer_Timer(), PlatformError);
    EXPECT_EQ(f.schedule.CompletedRedraws(), 0u);
    EXPECT_TRUE(f.Tick()) << "the next tick draws";
    EXPECT_EQ(f.schedule.CompletedRedraws(), 1u);
}

// --- no pen outlives an error
// ----------------------------------------------------------------------

struct Fault {
    const char* operation;
    int target;
    int skip;
    int times;
};

class PensAfterFault : public testing::TestWithParam<Fault> {};

TEST_P(PensAfterFault, EditingSessionLeavesNoPenAlive) {
    const Fault fault = GetParam();
    Drawn f;
    f.platform.Faults().Fail(fault.operation, fault.target, fault.skip, fault.times);
    EXPECT_NO_THROW({
        f.schedule.SetSchedule_MondayStart1(800);
        f.schedule.SetSchedule_MondayStop1(1000);
        f.Drag(0, 44, 47);
        f.schedule.Schedule_MouseDown(1, 1, 0, BlockX(f, 1, 10), 0);
        f.access.SetSelection(20, true);
        f.schedule.Schedule_MouseUp(1, 1, 0, BlockX(f, 1, 10), 0);
    });
    // The click handlers let errors through; none of their steps does.
    EXPECT_NO_THROW({
        f.schedule.cmdDay_Click(2);
        f.schedule.cmdEnable_Click();
        f.schedule.cmdDisable_Click();
    });
    EXPECT_NO_THROW(f.Tick());
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

std::vector<Fault> Faults() {
    std::vector<Fault> faults;
    const std::pair<const char*, int> operations[] = {{"CreatePen", FaultInjector::kAnyTarget},
                                                      {"SelectObject", 0},
                                                      {"FillRect", 0},
                                                      {"FillRect", 2},
                                                      {"MoveToEx", 1},
                                                      {"LineTo", 0},
                                                      {"TextOutA", kSurface},
                                                      {"hDC", 0},
                                                      {"hDC", 1},
                                                      {"ScaleWidth", 0},
                                                      {"ScaleHeight", 2},
                                                      {"DayBar", 0},
                                                      {"SurfaceHDC", FaultInjector::kAnyTarget},
                                                      {"ClearSurface", FaultInjector::kAnyTarget},
                                                      {"Top", 0},
                                                      {"Left", 0}};
    for (const auto& [operation, target] : operations) {
        faults.push_back({operation, target, 0, FaultInjector::kForever});
        for (int skip : {1, 2, 3, 7, 50, 400})
            faults.push_back({operation, target, skip, 1});
    }
    return faults;
}

INSTANTIATE_TEST_SUITE_P(ErrorStyles, PensAfterFault, testing::ValuesIn(Faults()));

}  // namespace
}  // namespace tarn
