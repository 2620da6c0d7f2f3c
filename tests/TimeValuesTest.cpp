// Time values and the blocks they stand for: the conversions between HHMM values and 15-minute
// block quantities (pure, and as the control runs them, reporting a failure and going on with 0),
// the region table copied to and from a day's properties, and the block states, the union of the
// day's regions.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "model/TimeConversion.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

// --- conversions --------------------------------------------------------------------------------

TEST(Conversion, TimeValuesAreReadAsTheirDecimalText) {
    // A time value, then its block quantity as a start and as a stop.
    const std::array<std::int16_t, 3> rows[] = {
        {0, 0, -1},     {5, 0, -1},       {15, 1, 0},      {45, 3, 2},     {100, 4, 3},
        {807, 32, 31},  {808, 33, 32},    {815, 33, 32},   {960, 40, 39},  {1230, 50, 49},
        {2345, 95, 94}, {2400, 96, 95},   {2500, 100, 99}, {10000, 0, -1}, {-1000, 0, -1},
        {-5, 0, -1},    {-815, -31, -32}, {32767, 0, -1},  {-32768, 0, -1}};
    for (const auto& [time, asStart, asStop] : rows) {
        EXPECT_EQ(TimeToBlockQuantity(true, time), asStart) << time;
        EXPECT_EQ(TimeToBlockQuantity(false, time), asStop) << time;
    }
    // Every quantity of a day converts to a time that reads back as it; 1311 is the largest
    // quantity whose text still fits 16 bits.
    for (std::int16_t q = 0; q <= 96; ++q)
        EXPECT_EQ(TimeToBlockQuantity(true, BlockQuantityToTime(q)), q) << "quantity " << q;
    EXPECT_EQ(BlockQuantityToTime(1311), 32745);
}

TEST(Conversion, FailuresAreReportedWithTheirOwnSentenceAndGiveZero) {
    ScheduleFixture f;
    EXPECT_EQ(f.access.BlockQuantityToTime(1312), 0);        // the text overflows 16 bits
    EXPECT_EQ(f.access.TimeToBlockQuantity(false, -15), 0);  // the hours are a minus sign alone
    ASSERT_EQ(f.log.size(), 2u);
    EXPECT_EQ(f.log[0].text, "Failed to covert block quantity to time value with error: Overflow");
    EXPECT_EQ(f.log[1].text,
              "Failed to get convert time to block quantity with error: Type mismatch");
    EXPECT_EQ(f.log[1].style, platform::kStyleCritical);
    EXPECT_EQ(f.log[1].title, "System Message");
}

// What a time value means, worked out with arithmetic on the number rather than on its text:
// nothing (the conversion fails) for -99 to -10, else the block count before rounding.
std::optional<double> ExpectedBlocks(int time) {
    const int magnitude = std::abs(time);
    if (time >= -99 && time <= -10) return std::nullopt;
    if ((time >= 10 && time <= 99) || (time >= -9 && time <= -1)) return time / 15.0;
    if (time >= 100 && time <= 9999) return time % 100 / 15.0 + time / 100 * 4;
    // Four characters: the minus sign and the first digit are the hours.
    if (time >= -999 && time <= -100) return magnitude % 100 / 15.0 - magnitude / 100 * 4;
    return 0.0;
}

TEST(Conversion, EveryIntegerConvertsAsItsDecimalTextReads) {
    ScheduleFixture f;
    for (int time = -32768; time <= 32767; ++time) {
        const auto value = static_cast<std::int16_t>(time);
        const std::optional<double> blocks = ExpectedBlocks(time);
        for (bool isStart : {true, false}) {
            const double expected = blocks ? std::nearbyint(*blocks - (isStart ? 0 : 1)) : 0;
            ASSERT_EQ(f.access.TimeToBlockQuantity(isStart, value), expected)
                << time << (isStart ? " as start" : " as stop");
            ASSERT_EQ(blocks ? TimeToBlockQuantity(isStart, value) : 0, expected) << time;
        }
    }
    // Exactly the 90 values -99 to -10 fail, once per edge, and each failure shows one report.
    EXPECT_EQ(f.Count(HostRecord::MessageBox), 180);
}

// --- regions and block states -------------------------------------------------------------------

/// Recomputes the block states of one day and returns them, '#' for an enabled block.
std::string BlocksOf(ScheduleFixture& f, int day) {
    f.access.State().CurrentDay = static_cast<std::int16_t>(day);
    f.access.SetBlockStates();
    std::string blocks;
    for (int b = 0; b < 96; ++b)
        blocks += f.State().BlockEnabled[day][b] ? '#' : '.';
    return blocks;
}

TEST(Regions, OneRegionEnablesTheBlocksFromItsFirstToItsLast) {
    const Values rows[] = {{815, 1230, 33, 49}, {0, 0, 0, -1},      {800, 800, 0, -1},
                           {0, 2400, 0, 95},    {900, 800, 0, -1},  {2200, 2500, 88, 95},
                           {2400, 2400, 0, -1}, {800, 810, 32, 32}, {800, 807, 0, -1},
                           {-815, 900, 0, -1}};  // start, stop, first and last enabled block
    // Every slot of every day behaves alike, the Special day's also while its button is off. Each
    // row replaces the last one's region, so stale blocks would show.
    for (int day : {1, 7}) {
        for (int region : {1, 4}) {
            ScheduleFixture f;
            f.schedule.SetSpecialDayEnabled(false);
            for (const Values& row : rows) {
                f.SetRegion(day, region, row[0], row[1]);
                EXPECT_EQ(BlocksOf(f, day), BlockRun(row[2], row[3]))
                    << row[0] << " to " << row[1] << ", day " << day << " region " << region;
            }
            EXPECT_TRUE(f.log.empty());
        }
    }
}

TEST(Regions, RegionsGiveTheUnionOfTheirBlocksAndFailuresAreReported) {
    ScheduleFixture f;
    f.SetRegion(2, 1, 900, 1100);
    f.SetRegion(2, 2, 800, 1000);
    f.SetRegion(2, 3, 2000, 2500);
    f.SetRegion(2, 4, 2000, 2500);
    EXPECT_EQ(BlocksOf(f, 2), BlockRun(32, 95).replace(44, 36, 36, '.'));
    EXPECT_FALSE(f.State().BlockEnabled[2][96]) << "no block past the end of the day";
    // Unconvertible times and rows are reported.
    f.SetRegion(3, 1, -20, -50);
    f.log.clear();
    EXPECT_EQ(BlocksOf(f, 3), BlockRun(0, 0)) << "both count as block 0";
    EXPECT_EQ(f.Count(HostRecord::MessageBox), 2);
    f.access.State().CurrentDay = -1;
    f.access.SetBlockStates();
    EXPECT_EQ(f.MessageTexts().back(),
              "Failed to set block states with error: Subscript out of range");
}

TEST(Regions, TheTableCopiesTheCurrentDaysPropertiesUnchangedBothWaysAndDrawsNothing) {
    Drawn f;
    f.SetRegion(3, 2, -5, 2500);  // drawn at once, which copies the day into its row
    ScheduleState& state = f.access.State();
    const auto redraws = f.Redraws();
    EXPECT_EQ(state.ScheduleRegions[3][1], (std::array<std::int16_t, 3>{-5, 2500, 0}));
    for (int slot = 0; slot < 5; ++slot)  // slot 4 is never copied
        state.ScheduleRegions[3][slot] = {static_cast<std::int16_t>(960 + slot), -815, 0};
    state.CurrentDay = 3;
    f.access.UpdateScheduleProperties();
    EXPECT_EQ(f.Day(3), (Values{960, -815, 961, -815, 962, -815, 963, -815}));
    EXPECT_TRUE(f.Day(2) == Values(8, 0) && f.Day(4) == Values(8, 0));
    EXPECT_EQ(f.Redraws(), redraws);
    EXPECT_TRUE(f.log.empty());
}

}  // namespace
}  // namespace tarn
