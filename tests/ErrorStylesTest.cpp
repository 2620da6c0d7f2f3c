// How each operation treats an error, driven by failing platform operations: reporting ones show
// their own sentence and return, silent ones go on with the next step, and the rest let the error
// go to their caller. No error leaves a pen behind.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/FaultInjector.h"
#include "platform/PlatformError.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

using platform::FaultInjector;

constexpr int kButton = platform::memory::MemoryPlatform::kButtonTargetBase;

// --- reporting ----------------------------------------------------------------------------------

TEST(ErrorStyles, FailingSelectionUpdateIsReportedAndKeepsWhatItMarked) {
    Drawn f;
    f.Press(0, 10);
    f.platform.Faults().Fail("FillRect", 0);
    EXPECT_NO_THROW(f.Move(0, 12));
    EXPECT_EQ(f.MessageTexts(),
              Texts{"Failed to update schedule selection with error: FillRect failed on target 0"});
    EXPECT_EQ(f.log.back().style, platform::kStyleCritical);
    EXPECT_EQ(f.Flags(), BlockRun(10, 12)) << "flags set before the error stay";
    EXPECT_EQ(f.LivePens(), 0);
}

TEST(ErrorStyles, FailingSaveIsReportedAndTheClickStillRepaints) {
    Drawn f;
    f.Drag(1, 32, 35);
    f.platform.Faults().Fail("RaiseScheduleUpdated");
    const auto redraws = f.Redraws();
    EXPECT_NO_THROW(f.schedule.cmdEnable_Click());
    EXPECT_EQ(f.MessageTexts(), Texts{"Failed to save selections with error: "
                                      "RaiseScheduleUpdated failed"});
    EXPECT_EQ(f.Redraws(), redraws + 1);
}

// --- silent -------------------------------------------------------------------------------------

TEST(ErrorStyles, PropertiesAreStoredAndEveryOtherButtonSetWhenAButtonFails) {
    ScheduleFixture f;
    f.platform.Faults().Fail("SetEnabled", kButton + 3);
    f.platform.Faults().Fail("SetCaption", kButton + 7);
    EXPECT_NO_THROW(f.schedule.SetEnable(false));
    EXPECT_NO_THROW(f.schedule.SetSpecialDayCaption("Holiday"));
    EXPECT_FALSE(f.schedule.Enable());
    EXPECT_EQ(f.schedule.SpecialDayCaption(), "Holiday");
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(f.platform.Button(i).enabled(), i == 3) << i;
    EXPECT_EQ(f.platform.Button(7).caption(), "Special");
    EXPECT_TRUE(f.log.empty());
}

TEST(ErrorStyles, ABarThatCannotBeClearedOrDrawnDoesNotStopTheRedraw) {
    Drawn f;
    f.platform.Faults().Fail("Cls", 2);
    f.platform.Faults().Fail("DayBar", 3);
    f.SetRegion(6, 1, 1000, 1100);
    EXPECT_EQ(f.MessageTexts(),
              (Texts{"Failed to initialize schedule blocks with error: DayBar failed on target 3",
                     "Failed to update schedule bar with error: DayBar failed on target 3"}));
    EXPECT_TRUE(f.State().ScheduleDrawn);
    EXPECT_EQ(f.Redraws(), 2u);
    EXPECT_EQ(f.Blocks(6, 1)[40], 'G');
    EXPECT_EQ(f.Blocks(2, 1)[0], 'R');
    EXPECT_EQ(f.LivePens(), 0);
}

TEST(ErrorStyles, TerminateClearsEveryBarItCan) {
    Drawn f;
    f.platform.Faults().Fail("Cls", 0);
    f.platform.Faults().Fail("ClearPicture", 4);
    EXPECT_NO_THROW(f.schedule.Terminate());
    EXPECT_FALSE(f.State().ScheduleDrawn);
    for (int day = 0; day < 8; ++day)
        EXPECT_EQ(f.At(day, 300, 15), day == 0 ? 'R' : '-') << day;
    EXPECT_TRUE(f.log.empty());
}

// --- none: the error goes to the caller ---------------------------------------------------------

TEST(ErrorStyles, TimerFailuresGoToTheCallerOfTheMethodsAndLifeEvents) {
    const std::pair<const char*, void (Schedule::*)()> cases[] = {
        {"TimerEnabled", &Schedule::Refresh},      {"SetTimerEnabled", &Schedule::Refresh},
        {"SetTimerEnabled", &Schedule::Reset},     {"SetTimerEnabled", &Schedule::InitTimer_Timer},
        {"TimerEnabled", &Schedule::Resize},       {"TimerEnabled", &Schedule::Paint},
        {"SetTimerEnabled", &Schedule::Initialize}};
    for (const auto& [operation, call] : cases) {
        ScheduleFixture f;
        f.Tick();
        f.platform.Faults().Fail(operation);
        EXPECT_THROW((f.schedule.*call)(), platform::PlatformError) << operation;
        EXPECT_EQ(f.Count(HostRecord::MessageBox), 0);
    }
}

// --- no pen outlives an error -------------------------------------------------------------------

TEST(ErrorStyles, NoPenOutlivesAFailingPlatformCallWhereverItFails) {
    const char* operations[] = {"CreatePen",    "SelectObject", "FillRect",   "MoveToEx",
                                "LineTo",       "hDC",          "ScaleWidth", "ScaleHeight",
                                "DayBar",       "Cls",          "TextOutA",   "SurfaceHDC",
                                "ClearSurface", "Top",          "Left",       "Width"};
    for (const char* operation : operations) {
        for (const int skip : {-1, 0, 1, 2, 3, 7, 50, 400}) {
            Drawn f;
            f.platform.Faults().Fail(operation, FaultInjector::kAnyTarget, std::max(skip, 0),
                                     skip < 0 ? FaultInjector::kForever : 1);
            // Every drawing path: a redraw, a press, a drag, a release in pieces, the buttons.
            EXPECT_NO_THROW({
                f.SetRegion(0, 1, 800, 1000);
                f.Drag(0, 44, 47);
                f.Press(1, 10);
                f.access.State().SelectionBlocks[20] = true;
                f.Release(1, 10);
                f.schedule.cmdDay_Click(2);
                f.schedule.cmdEnable_Click();
                f.schedule.cmdDisable_Click();
                f.Redraw();
            });
            EXPECT_EQ(f.LivePens(), 0) << operation << " failing after " << skip << " calls";
            EXPECT_TRUE(f.State().ScheduleDrawn) << operation;
        }
    }
}

}  // namespace
}  // namespace tarn
