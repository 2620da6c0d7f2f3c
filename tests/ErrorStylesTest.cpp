// What an error leaves behind, driven by failing platform operations: a reporting operation keeps
// what it did before the error, a silent one still does every other step, and no error, however
// lasting, leaves a pen behind. FaultInjectionTest fails each call of a session once and checks
// what the host and the user see of it.

#include <gtest/gtest.h>

#include "tests/support/FaultInjector.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

using platform::FaultInjector;

constexpr int kButton = platform::memory::MemoryPlatform::kButtonTargetBase;

// --- reporting ----------------------------------------------------------------------------------

TEST(ErrorStyles, FailingSelectionUpdateIsReportedAndKeepsWhatItMarked) {
    Drawn f;
    f.Press(0, 10);
    f.faults.Fail("FillRect", 0);
    EXPECT_NO_THROW(f.Move(0, 12));
    EXPECT_EQ(f.MessageTexts(),
              Texts{"Failed to update schedule selection with error: FillRect failed on target 0"});
    EXPECT_EQ(f.Flags(), BlockRun(10, 12)) << "flags set before the error stay";
}

// --- silent -------------------------------------------------------------------------------------

TEST(ErrorStyles, PropertiesAreStoredAndEveryOtherButtonSetWhenAButtonFails) {
    ScheduleFixture f;
    f.faults.Fail("SetEnabled", kButton + 3);
    f.faults.Fail("SetCaption", kButton + 7);
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
    f.faults.Fail("Cls", 2);
    f.faults.Fail("DayBar", 3);
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
    f.faults.Fail("Cls", 0);
    f.faults.Fail("ClearPicture", 4);
    EXPECT_NO_THROW(f.schedule.Terminate());
    EXPECT_FALSE(f.State().ScheduleDrawn);
    for (int day = 0; day < 8; ++day)
        EXPECT_EQ(f.At(day, 300, 15), day == 0 ? 'R' : '-') << day;
    EXPECT_TRUE(f.log.empty());
}

// --- no pen outlives an error -------------------------------------------------------------------

// A call that fails once is covered call by call in FaultInjectionTest; here each drawing call
// fails for good, from its first use or from a later one.
TEST(ErrorStyles, NoPenOutlivesAPlatformCallThatKeepsFailing) {
    const char* operations[] = {"CreatePen",    "SelectObject", "FillRect",   "MoveToEx",
                                "LineTo",       "hDC",          "ScaleWidth", "ScaleHeight",
                                "DayBar",       "Cls",          "TextOutA",   "SurfaceHDC",
                                "ClearSurface", "Top",          "Left",       "Width"};
    for (const char* operation : operations) {
        for (const int skip : {0, 50}) {
            Drawn f;
            f.faults.Fail(operation, FaultInjector::kAnyTarget, skip,
                                     FaultInjector::kForever);
            // Every drawing path: a redraw, a press, a drag, a click, the buttons.
            EXPECT_NO_THROW({
                f.SetRegion(0, 1, 800, 1000);
                f.Drag(0, 44, 47);
                f.Press(1, 10);
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
