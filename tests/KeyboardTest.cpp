// The keyboard on a focused bar (the cursor, Shift selections, the keys that stand for Enable,
// Disable and the day button, Escape) and the time hint.

#include <gtest/gtest.h>

#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

struct Keys : Drawn {
    Keys() { schedule.Schedule_GotFocus(bar); }
    KeyOutcome Key(tarn::Key key, std::int16_t modifiers = 0) {
        return schedule.Schedule_KeyDown(bar, key, modifiers);
    }
    /// Moves the cursor to block by plain movements from wherever it is.
    void CursorTo(int block) {
        Key(tarn::Key::Home);
        for (int b = 0; b < block; ++b)
            Key(tarn::Key::Right);
    }
    std::int16_t bar = 2;
};

std::string MarkedRun(int first, int last, char in = 'K', char out = 'W') {
    std::string text(96, out);
    for (int b = first; b <= last; ++b)
        text[b] = in;
    return text;
}

TEST(Keyboard, MovementsStayInTheDayAndDrawNothing) {
    Keys f;
    EXPECT_EQ(f.schedule.CursorBlock(), 0) << "the cursor starts on the first block";
    EXPECT_TRUE(f.schedule.CursorShown()) << "the focused bar shows its cursor at once";
    f.Key(Key::Left);
    EXPECT_EQ(f.schedule.CursorBlock(), 0);
    f.Key(Key::Right, kCtrlMask);
    f.Key(Key::Right);
    EXPECT_EQ(f.schedule.CursorBlock(), 5) << "Ctrl moves an hour";
    f.Key(Key::End);
    f.Key(Key::Right, kCtrlMask);
    EXPECT_EQ(f.schedule.CursorBlock(), 95);
    f.Key(Key::Left, kCtrlMask);
    EXPECT_EQ(f.schedule.CursorBlock(), 91);
    EXPECT_TRUE(f.schedule.CursorShown());
    EXPECT_EQ(f.Redraws(), 1u);
    EXPECT_EQ(f.Marks(f.bar), std::string(96, 'W')) << "a plain movement marks nothing";
    EXPECT_EQ(f.schedule.HintText(), "Wednesday 22:45-23:00");
}

TEST(Keyboard, ShiftSelectsTheRunFromTheAnchorAndReturnEnablesIt) {
    Keys f;
    f.CursorTo(32);
    f.Key(Key::Right, kShiftMask);
    EXPECT_EQ(f.Redraws(), 2u) << "the first Shift movement redraws as a press does";
    f.Key(Key::Right, kShiftMask | kCtrlMask);
    f.Key(Key::Left, kShiftMask);
    EXPECT_EQ(f.Redraws(), 2u) << "later ones redraw only the marks";
    EXPECT_EQ(f.Marks(f.bar), MarkedRun(32, 36));
    EXPECT_EQ(f.schedule.HintText(), "Wednesday 08:00-09:15");
    for (int i = 0; i < 5; ++i)
        f.Key(Key::Left, kShiftMask);
    EXPECT_EQ(f.Marks(f.bar), MarkedRun(31, 32))
        << "the run turns at the anchor; no old mark stays";
    f.Key(Key::Right, kShiftMask);
    f.Key(Key::Right, kShiftMask);
    EXPECT_EQ(f.Key(Key::Return), KeyOutcome::Handled);
    EXPECT_EQ(f.Day(2), (Values{800, 830, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(f.Count(HostRecord::ScheduleUpdated), 1);
    EXPECT_EQ(f.schedule.HintText(), "") << "Enable hides the hint";
    EXPECT_EQ(f.schedule.BarDescription(2), "08:00-08:30");

    // A plain movement ends the selection: the next Shift movement anchors where the cursor is.
    f.Key(Key::End);
    f.Key(Key::Left, kShiftMask);
    EXPECT_EQ(f.Marks(f.bar), MarkedRun(94, 95));
    f.Key(Key::Delete);
    EXPECT_EQ(f.Day(2), (Values{800, 830, 0, 0, 0, 0, 0, 0})) << "nothing enabled there";
    EXPECT_EQ(f.Count(HostRecord::ScheduleUpdated), 2);
}

TEST(Keyboard, TheKeysFollowTheButtonsRules) {
    Keys f;
    f.SetRegion(2, 1, 800, 900);
    f.CursorTo(34);
    f.Key(Key::Right, kShiftMask);
    f.Key(Key::Enter);
    EXPECT_EQ(f.MessageTexts(), Texts{"Cannot enable overlapping regions"});
    EXPECT_EQ(f.Day(2), (Values{800, 900, 0, 0, 0, 0, 0, 0}));
    f.Key(Key::Left, kShiftMask);  // the refused save took the selection: select 34-35 again
    f.Key(Key::Backspace);
    EXPECT_EQ(f.Day(2), (Values{800, 830, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(f.Count(HostRecord::ScheduleUpdated), 1);
}

TEST(Keyboard, EscapeWipesTheMarksOnTheSelectionsRowOnly) {
    Keys f;
    f.Drag(5, 10, 20);
    f.bar = 5;
    f.Key(Key::Escape);
    EXPECT_EQ(f.Marks(5), std::string(96, 'W'));
    EXPECT_EQ(f.Redraws(), 2u) << "the press redrew; Escape does not";
    EXPECT_EQ(f.Count(HostRecord::Sleep), 0);
    f.schedule.cmdEnable_Click();
    EXPECT_EQ(f.Day(5), (Values{0, 0, 0, 0, 0, 0, 0, 0})) << "nothing left to apply";
}

TEST(Keyboard, CtrlASelectsTheDayAndUpDownAskForTheNeighbour) {
    Keys f;
    f.Key(Key::A);
    EXPECT_EQ(f.Marks(f.bar), std::string(96, 'W')) << "A alone does nothing";
    f.Key(Key::A, kCtrlMask);
    EXPECT_EQ(f.Marks(f.bar), std::string(96, 'K'));
    EXPECT_EQ(f.schedule.HintText(), "Wednesday 00:00-24:00");
    EXPECT_EQ(f.Key(Key::Up), KeyOutcome::FocusBarAbove);
    EXPECT_EQ(f.Key(Key::Down), KeyOutcome::FocusBarBelow);

    f.schedule.SetSpecialDayEnabled(false);
    f.schedule.Schedule_GotFocus(6);
    EXPECT_EQ(f.schedule.Schedule_KeyDown(6, Key::Down, 0), KeyOutcome::Handled)
        << "the Special bar cannot take the focus";
    EXPECT_EQ(f.schedule.Schedule_KeyDown(0, Key::Up, 0), KeyOutcome::Handled);
    f.schedule.SetEnable(false);
    EXPECT_EQ(f.schedule.Schedule_KeyDown(6, Key::Right, 0), KeyOutcome::Ignored);
    EXPECT_FALSE(f.schedule.BarTakesFocus(0));
}

TEST(Hint, FollowsThePointerAndTheDrag) {
    Drawn f;
    f.Move(0, 32, 0);
    EXPECT_EQ(f.schedule.HintText(), "Monday 08:00-08:15");
    f.schedule.SetSpecialDayCaption("Holiday");
    f.Move(7, 95, 0);
    EXPECT_EQ(f.schedule.HintText(), "Holiday 23:45-24:00") << "the row's caption first";
    f.schedule.Schedule_MouseMove(7, 0, 0, -5.0f, 0);
    EXPECT_EQ(f.schedule.HintText(), "") << "off the blocks";
    f.Press(1, 40);
    EXPECT_EQ(f.schedule.CursorBlock(), 40) << "the cursor goes to the pressed block";
    f.Move(1, 44);
    f.Move(1, 38);
    EXPECT_EQ(f.schedule.HintText(), "Tuesday 09:30-11:15");
    f.Release(1, 38);
    EXPECT_EQ(f.schedule.HintText(), "");
    f.Move(3, 0, 0);
    f.schedule.Schedule_MouseLeave();
    EXPECT_EQ(f.schedule.HintText(), "");
}

}  // namespace
}  // namespace tarn
