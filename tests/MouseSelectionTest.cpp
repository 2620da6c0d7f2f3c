// The mouse selection on a day bar: which block a press hits, the black marks in the top and
// bottom bands, how a drag grows the selection as one run, and which events are ignored.

#include <gtest/gtest.h>

#include <string>

#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

using platform::ColourOf;
using platform::QBColor;

constexpr std::int16_t kLeft = 1;
constexpr std::int16_t kRight = 2;
constexpr std::int16_t kLeftAndRight = 3;

/// One character per block of a day's bar: 'B' black marks in the top and bottom band, '.' white
/// ones, '?' anything else.
std::string Marks(ScheduleFixture& f, int day) {
    const auto& dc = f.platform.Bar(day).context();
    const double w = dc.width() / 96.0;
    const double h = dc.height() / 3.0;
    std::string marks;
    for (int b = 0; b < 96; ++b) {
        const int x = static_cast<int>((b + 0.5) * w);
        const auto top = ColourOf(dc.PixelAt(x, static_cast<int>(0.5 * h)));
        const auto bottom = ColourOf(dc.PixelAt(x, static_cast<int>(2.5 * h)));
        if (top == QBColor(platform::kPaletteBlack) && bottom == top)
            marks += 'B';
        else if (top == QBColor(platform::kPaletteBrightWhite) && bottom == top)
            marks += '.';
        else
            marks += '?';
    }
    return marks;
}

/// The selection flags, '#' for a selected block.
std::string Flags(ScheduleFixture& f) {
    std::string flags;
    for (int b = 0; b < 96; ++b)
        flags += f.schedule.State().SelectionBlocks[b] ? '#' : '.';
    return flags;
}

std::string Blocks(int first, int last, char mark) {
    std::string blocks(96, '.');
    for (int b = first; b <= last; ++b)
        blocks[b] = mark;
    return blocks;
}

float BlockX(ScheduleFixture& f, int day, int block) {
    return static_cast<float>((block + 0.5) * f.platform.Bar(day).innerWidth() / 96.0);
}

struct Drawn : ScheduleFixture {
    Drawn() { Tick(); }
    void Press(int day, int block, std::int16_t button = kLeft) {
        schedule.Schedule_MouseDown(static_cast<std::int16_t>(day), button, 0,
                                    BlockX(*this, day, block), 0);
    }
    void Move(int day, int block, std::int16_t button = kLeft) {
        schedule.Schedule_MouseMove(static_cast<std::int16_t>(day), button, 0,
                                    BlockX(*this, day, block), 0);
    }
    void Release(int day, int block, std::int16_t button = kLeft) {
        schedule.Schedule_MouseUp(static_cast<std::int16_t>(day), button, 0,
                                  BlockX(*this, day, block), 0);
    }
};

// --- which block a press hits -------------------------------------------------------------------

struct HitRow {
    float x;
    int block;  // -1: none
};

class PressOnTheDesignBar : public testing::TestWithParam<HitRow> {};

TEST_P(PressOnTheDesignBar, MarksTheBlockWhoseLeftBoundaryIsAtOrBeforeX) {
    Drawn f;
    ASSERT_EQ(f.platform.Bar(2).innerWidth(), 573);
    f.schedule.Schedule_MouseDown(2, kLeft, 0, GetParam().x, 0);
    const int block = GetParam().block;
    const std::string expected = block >= 0 ? Blocks(block, block, '#') : std::string(96, '.');
    EXPECT_EQ(Flags(f), expected);
    std::string marks = expected;
    for (char& c : marks)
        c = c == '#' ? 'B' : '.';
    EXPECT_EQ(Marks(f, 2), marks);
    EXPECT_TRUE(f.schedule.State().Selecting);
    EXPECT_EQ(f.schedule.State().CurrentDay, 2);
}

INSTANTIATE_TEST_SUITE_P(MouseSelection, PressOnTheDesignBar,
                         testing::Values(HitRow{0.0f, 0}, HitRow{5.96f, 0}, HitRow{6.0f, 1},
                                         HitRow{286.5f, 48}, HitRow{572.0f, 95},
                                         HitRow{572.99f, 95}, HitRow{573.0f, -1},
                                         HitRow{-0.01f, -1}, HitRow{10000.0f, -1}));

TEST(MouseSelection, PressLeavesTheMiddleBandShowingTheBlockState) {
    Drawn f;
    f.schedule.SetSchedule_FridayStart1(800);
    f.schedule.SetSchedule_FridayStop1(1000);
    f.Press(4, 33);
    const auto& dc = f.platform.Bar(4).context();
    const int x = static_cast<int>(33.5 * dc.width() / 96.0);
    EXPECT_EQ(ColourOf(dc.PixelAt(x, dc.height() / 2)), QBColor(platform::kPaletteLightGreen));
    EXPECT_EQ(Marks(f, 4), Blocks(33, 33, 'B'));
}

TEST(MouseSelection, PressRedrawsEveryBarAndStartsANewSelection) {
    Drawn f;
    f.Press(0, 10);
    f.Move(0, 11);
    f.Release(0, 11);
    const auto redraws = f.schedule.CompletedRedraws();
    f.Press(5, 50);
    EXPECT_EQ(f.schedule.CompletedRedraws(), redraws + 1);
    EXPECT_EQ(Marks(f, 0), std::string(96, '.')) << "the old marks are gone";
    EXPECT_EQ(Flags(f), Blocks(50, 50, '#'));
    EXPECT_EQ(Marks(f, 5), Blocks(50, 50, 'B'));
}

// --- dragging ------------------------------------------------------------------------------------

TEST(MouseSelection, FastDragSelectsEveryBlockBetweenItsEvents) {
    Drawn f;
    f.Press(0, 10);
    f.Move(0, 14);
    f.Move(0, 18);
    f.Release(0, 18);
    EXPECT_EQ(Flags(f), Blocks(10, 18, '#'));
    EXPECT_EQ(Marks(f, 0), Blocks(10, 18, 'B'));
    EXPECT_EQ(f.Count(HostRecord::Sleep), 0) << "one run is a valid selection";

    f.schedule.cmdEnable_Click();
    EXPECT_EQ(f.schedule.Schedule_MondayStart1(), 230);
    EXPECT_EQ(f.schedule.Schedule_MondayStop1(), 445);
    EXPECT_EQ(f.schedule.Schedule_MondayStart2(), 0);
    EXPECT_EQ(f.schedule.Schedule_MondayStop2(), 0);
    EXPECT_TRUE(f.MessageTexts().empty());
}

TEST(MouseSelection, FastDragLeftwardsSelectsTheSameRun) {
    Drawn f;
    f.Press(6, 18);
    f.Move(6, 14);
    f.Move(6, 10);
    f.Release(6, 10);
    EXPECT_EQ(Flags(f), Blocks(10, 18, '#'));
    EXPECT_EQ(Marks(f, 6), Blocks(10, 18, 'B'));
}

TEST(MouseSelection, MoveOffTheBarMarksNothingAndTheDragGoesOnWhenItComesBack) {
    Drawn f;
    f.Press(1, 10);
    f.schedule.Schedule_MouseMove(1, kLeft, 0, -3.0f, 0);
    f.schedule.Schedule_MouseMove(1, kLeft, 0, 600.0f, 0);
    EXPECT_EQ(Flags(f), Blocks(10, 10, '#'));
    EXPECT_EQ(Marks(f, 1), Blocks(10, 10, 'B'));
    f.Move(1, 11);
    f.Release(1, 11);
    EXPECT_EQ(Flags(f), Blocks(10, 11, '#'));
    EXPECT_EQ(Marks(f, 1), Blocks(10, 11, 'B'));
}

TEST(MouseSelection, DraggingBackInsideKeepsTheRun) {
    Drawn f;
    f.Press(3, 10);
    f.Move(3, 18);
    f.Move(3, 12);
    f.Move(3, 11);
    f.Release(3, 11);
    EXPECT_EQ(Flags(f), Blocks(10, 18, '#'));
    EXPECT_EQ(Marks(f, 3), Blocks(10, 18, 'B'));
}

TEST(MouseSelection, MoveOverAnotherBarAddsNothingToTheSelection) {
    Drawn f;
    f.Press(0, 10);
    f.Move(1, 40);
    EXPECT_EQ(Flags(f), Blocks(10, 10, '#'));
    EXPECT_EQ(Marks(f, 1), std::string(96, '.'));
}

// --- a selection in pieces ----------------------------------------------------------------------

TEST(MouseSelection, BrokenSelectionIsDiscardedAtRelease) {
    Drawn f;
    f.Press(0, 10);
    f.Move(0, 11);
    f.access.SetSelection(20, true);
    f.Release(0, 11);

    EXPECT_EQ(Flags(f), std::string(96, '.'));
    EXPECT_EQ(Marks(f, 0), std::string(96, '.'));
    EXPECT_FALSE(f.schedule.State().Selecting);
    ASSERT_EQ(f.Count(HostRecord::Sleep), 1);
    EXPECT_EQ(f.log.back().milliseconds, 100);

    f.schedule.cmdEnable_Click();
    for (int index = 0; index < kTimePropertyCount; ++index)
        EXPECT_EQ(f.schedule.TimeValue(index), 0) << TimePropertyName(index);
    EXPECT_TRUE(f.MessageTexts().empty());
}

TEST(MouseSelection, BrokenSelectionReleasedOverAnotherBarIsWipedFromItsOwnBar) {
    Drawn f;
    f.Press(0, 10);
    f.access.SetSelection(20, true);
    f.Release(1, 10);
    EXPECT_EQ(Flags(f), std::string(96, '.'));
    EXPECT_EQ(Marks(f, 0), std::string(96, '.')) << "marks of a discarded selection stay shown";
}

TEST(MouseSelection, ReleaseWithoutPressValidatesTheHeldFlags) {
    Drawn f;
    f.Press(0, 10);
    f.Release(0, 10);
    f.Release(0, 10);
    EXPECT_EQ(Flags(f), Blocks(10, 10, '#')) << "one run stays held";
    EXPECT_EQ(f.Count(HostRecord::Sleep), 0);

    f.access.SetSelection(30, true);
    f.Release(0, 30);
    EXPECT_EQ(Flags(f), std::string(96, '.'));
    EXPECT_EQ(f.Count(HostRecord::Sleep), 1);
}

// --- ignored events -----------------------------------------------------------------------------

TEST(MouseSelection, OtherButtonsAreIgnored) {
    Drawn f;
    f.Press(0, 10);
    f.Move(0, 11);
    f.Move(0, 12);
    const auto redraws = f.schedule.CompletedRedraws();
    f.Press(0, 40, kRight);
    f.Move(0, 14, kLeftAndRight);
    f.Move(0, 16, kRight);
    f.Release(0, 16, kRight);
    EXPECT_EQ(f.schedule.CompletedRedraws(), redraws);
    EXPECT_EQ(Flags(f), Blocks(10, 12, '#'));
    EXPECT_TRUE(f.schedule.State().Selecting);
    f.Move(0, 13);
    EXPECT_EQ(Flags(f), Blocks(10, 13, '#'));
}

TEST(MouseSelection, DisabledControlIgnoresTheMouse) {
    Drawn f;
    f.Press(0, 10);
    f.schedule.SetEnable(false);
    const auto redraws = f.schedule.CompletedRedraws();
    f.Move(0, 12);
    f.Release(0, 12);
    f.Press(2, 40);
    f.Release(2, 40);
    EXPECT_EQ(f.schedule.CompletedRedraws(), redraws);
    EXPECT_EQ(Flags(f), Blocks(10, 10, '#'));
    EXPECT_EQ(Marks(f, 2), std::string(96, '.'));
    EXPECT_TRUE(f.schedule.State().Selecting) << "the ignored release does not end the drag";

    f.schedule.SetEnable(true);
    f.Move(0, 11);
    f.Release(0, 11);
    EXPECT_EQ(Flags(f), Blocks(10, 11, '#'));
    EXPECT_FALSE(f.schedule.State().Selecting);
}

TEST(MouseSelection, PressOnTheDisabledSpecialRowRedrawsButKeepsTheSelection) {
    Drawn f;
    f.schedule.SetSpecialDayEnabled(false);
    f.Press(0, 10);
    f.Move(0, 11);
    f.Move(0, 12);
    f.Release(0, 12);
    const auto redraws = f.schedule.CompletedRedraws();
    f.Press(7, 40);
    EXPECT_EQ(f.schedule.CompletedRedraws(), redraws + 1);
    EXPECT_EQ(f.schedule.State().CurrentDay, 7);
    EXPECT_FALSE(f.schedule.State().Selecting);
    EXPECT_EQ(Flags(f), Blocks(10, 12, '#'));
    EXPECT_EQ(Marks(f, 7), std::string(96, '.'));
    EXPECT_EQ(Marks(f, 0), std::string(96, '.')) << "the redraw erased the old marks";
    f.Move(7, 42);
    EXPECT_EQ(Flags(f), Blocks(10, 12, '#'));
}

TEST(MouseSelection, DayButtonMarksTheWholeBarWithoutTouchingTheDrag) {
    Drawn f;
    f.schedule.cmdDay_Click(3);
    EXPECT_EQ(Flags(f), std::string(96, '#'));
    EXPECT_EQ(Marks(f, 3), std::string(96, 'B'));
    EXPECT_FALSE(f.schedule.State().Selecting);
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

}  // namespace
}  // namespace tarn
