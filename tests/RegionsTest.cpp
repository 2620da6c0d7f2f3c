// The region table and the block states: a day's eight time properties are copied into its row of
// the table unchanged and turned into 96 enabled-or-not blocks, the union of its regions.

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

void SetPair(Schedule& schedule, int day, int region, std::int16_t start, std::int16_t stop) {
    schedule.SetTimeValue(TimePropertyIndex(day, region, false), start);
    schedule.SetTimeValue(TimePropertyIndex(day, region, true), stop);
}

/// Recomputes the block states of one day and returns its enabled blocks as a 96-character
/// string of '#' (enabled) and '.'.
std::string BlocksOf(ScheduleFixture& f, int day) {
    f.access.SetCurrentDay(static_cast<std::int16_t>(day));
    f.access.SetBlockStates();
    std::string blocks;
    for (int b = 0; b < 96; ++b)
        blocks += f.schedule.State().BlockEnabled[day][b] ? '#' : '.';
    return blocks;
}

std::string Blocks(int first, int last) {
    std::string blocks(96, '.');
    for (int b = first; b <= last; ++b)
        blocks[b] = '#';
    return blocks;
}

const std::string kNone(96, '.');

// --- one region ---------------------------------------------------------------------------------

struct SlotRow {
    std::int16_t start;
    std::int16_t stop;
    int first;  // first and last enabled block; first > last for none
    int last;
};

class OneRegion : public testing::TestWithParam<SlotRow> {};

TEST_P(OneRegion, SetsTheBlocksFromItsFirstToItsLast) {
    const SlotRow row = GetParam();
    // Every slot of every day behaves alike: try the first and the last slot of two days.
    for (int day : {1, 7}) {
        for (int region : {1, 4}) {
            ScheduleFixture f;
            SetPair(f.schedule, day, region, row.start, row.stop);
            const std::string expected =
                row.first <= row.last ? Blocks(row.first, row.last) : kNone;
            EXPECT_EQ(BlocksOf(f, day), expected) << "day " << day << " region " << region;
            EXPECT_TRUE(f.log.empty());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Regions, OneRegion,
                         testing::Values(SlotRow{0, 0, 0, -1}, SlotRow{800, 800, 0, -1},
                                         SlotRow{900, 800, 0, -1}, SlotRow{0, 2400, 0, 95},
                                         SlotRow{815, 1230, 33, 49}, SlotRow{2200, 2500, 88, 95},
                                         SlotRow{2400, 2400, 0, -1}, SlotRow{800, 810, 32, 32},
                                         SlotRow{800, 807, 0, -1}, SlotRow{-815, 900, 0, -1}));

// --- several regions ----------------------------------------------------------------------------

TEST(Regions, OverlappingOutOfOrderAndDuplicateRegionsGiveTheirUnion) {
    ScheduleFixture f;
    SetPair(f.schedule, 2, 1, 900, 1100);
    SetPair(f.schedule, 2, 2, 800, 1000);
    SetPair(f.schedule, 2, 3, 2000, 2100);
    SetPair(f.schedule, 2, 4, 2000, 2100);
    std::string expected = Blocks(32, 43);
    for (int b = 80; b <= 83; ++b)
        expected[b] = '#';
    EXPECT_EQ(BlocksOf(f, 2), expected);
    EXPECT_TRUE(f.log.empty());
}

TEST(Regions, RecomputingClearsBlocksOfARegionThatWasRemoved) {
    ScheduleFixture f;
    SetPair(f.schedule, 0, 1, 800, 1000);
    ASSERT_EQ(BlocksOf(f, 0), Blocks(32, 39));
    SetPair(f.schedule, 0, 1, 0, 0);
    EXPECT_EQ(BlocksOf(f, 0), kNone);
}

TEST(Regions, UnconvertibleStartAndStopAreReportedAndCountAsBlockZero) {
    ScheduleFixture f;
    SetPair(f.schedule, 3, 1, -20, -50);
    f.log.clear();
    EXPECT_EQ(BlocksOf(f, 3), Blocks(0, 0));
    EXPECT_EQ(f.Count(HostRecord::MessageBox), 2);
}

TEST(Regions, TheSpecialDayIsFilledWhileItsButtonIsDisabled) {
    ScheduleFixture f;
    f.schedule.SetSpecialDayEnabled(false);
    SetPair(f.schedule, 7, 2, 1200, 1300);
    EXPECT_EQ(BlocksOf(f, 7), Blocks(48, 51));
    // A full redraw fills it the same way.
    f.schedule.Refresh();
    f.Tick();
    EXPECT_TRUE(f.schedule.State().BlockEnabled[7][48]);
}

TEST(Regions, BlockPastTheEndOfTheDayIsNeverEnabled) {
    ScheduleFixture f;
    SetPair(f.schedule, 4, 1, 0, 2400);
    SetPair(f.schedule, 4, 2, 2200, 2500);
    SetPair(f.schedule, 4, 3, 100, 9999);
    f.Tick();
    for (int day = 0; day < 9; ++day)
        EXPECT_FALSE(f.schedule.State().BlockEnabled[day][96]);
    EXPECT_EQ(BlocksOf(f, 4), Blocks(0, 95));
    EXPECT_FALSE(f.schedule.State().BlockEnabled[4][96]);
}

// --- region table -------------------------------------------------------------------------------

TEST(Regions, MalformedTimeValuesAreStoredAndCopiedUnchangedBothWays) {
    ScheduleFixture f;
    for (std::int16_t value : {std::int16_t{-5}, std::int16_t{2500}, std::int16_t{810},
                               std::int16_t{960}, std::int16_t{-32768}}) {
        f.schedule.SetSchedule_TuesdayStart2(value);
        EXPECT_EQ(f.schedule.Schedule_TuesdayStart2(), value);
        f.access.SetCurrentDay(1);
        f.access.UpdateInternalScheduleArrays();
        EXPECT_EQ(f.schedule.State().ScheduleRegions[1][1][0], value);
    }

    f.access.SetRegion(1, 2, 1, 960);
    f.access.SetRegion(1, 3, 0, -815);
    f.access.UpdateScheduleProperties();
    EXPECT_EQ(f.schedule.Schedule_TuesdayStop3(), 960);
    EXPECT_EQ(f.schedule.Schedule_TuesdayStart4(), -815);
}

TEST(Regions, CopyingTheTableIntoThePropertiesTouchesOnlyTheCurrentDayAndDrawsNothing) {
    ScheduleFixture f;
    SetPair(f.schedule, 0, 1, 800, 900);
    SetPair(f.schedule, 7, 4, 100, 200);
    const auto redraws = f.schedule.CompletedRedraws();

    f.access.SetCurrentDay(3);
    for (int slot = 0; slot < 4; ++slot) {
        f.access.SetRegion(3, slot, 0, static_cast<std::int16_t>(100 * slot + 100));
        f.access.SetRegion(3, slot, 1, static_cast<std::int16_t>(100 * slot + 145));
    }
    f.access.SetRegion(3, 4, 0, 1234);  // slot 4 is never copied
    f.access.UpdateScheduleProperties();

    for (int region = 1; region <= 4; ++region) {
        EXPECT_EQ(f.schedule.TimeValue(TimePropertyIndex(3, region, false)), 100 * region);
        EXPECT_EQ(f.schedule.TimeValue(TimePropertyIndex(3, region, true)), 100 * region + 45);
    }
    EXPECT_EQ(f.schedule.Schedule_MondayStart1(), 800);
    EXPECT_EQ(f.schedule.Schedule_SpecialStop4(), 200);
    for (int index = 0; index < kTimePropertyCount; ++index) {
        if (index / 8 == 3 || index == 0 || index == 1 || index == 62 || index == 63) continue;
        EXPECT_EQ(f.schedule.TimeValue(index), 0) << TimePropertyName(index);
    }
    EXPECT_EQ(f.schedule.CompletedRedraws(), redraws);
    EXPECT_TRUE(f.log.empty());
}

}  // namespace
}  // namespace tarn
