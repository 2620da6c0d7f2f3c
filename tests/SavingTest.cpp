// Saving a selection with Enable or Disable: the held selection goes to the row it was made on
// and meets the day's properties as they stand at the click; the day's regions are rebuilt from
// its blocks in time order, and the rules refuse a save whole. Listeners inside the save are in
// the listener example, a selection held across redraws in the held-selection example.

#include <gtest/gtest.h>

#include <array>

#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

constexpr int kDay = 2;  // Wednesday
constexpr int kDayButton = -1;
constexpr int kNothing = 96;  // a press beside the bar selects no block

constexpr const char* kOverlap = "Cannot enable overlapping regions";

// Host writes after the selection that redraw nothing: start 1000 with stop 999 covers 10:00 to
// 10:45, and a stop cleared before its start.
const std::vector<std::array<int, 2>> kWriteRegion2 = {{2, 1000}, {3, 999}};
const std::vector<std::array<int, 2>> kClearRegion1 = {{1, 0}, {0, 0}};

struct SaveCase {
    const char* name;
    std::vector<std::array<int, 3>> regions;  // region number, start, stop
    int first, last;                          // selected blocks, kDayButton or kNothing
    bool enable;
    Values expected;  // the day's eight properties after; empty: refused, unchanged
    const char* refusal = nullptr;
    std::vector<std::array<int, 2>> writes = {};  // after the selection: property of the day, value
};

// clang-format off
const SaveCase kSaves[] = {
    {"OnEmptyDay", {}, 32, 39, true, {800, 1000, 0, 0, 0, 0, 0, 0}},
    {"EndsAt2400", {}, 88, 95, true, {2200, 2400, 0, 0, 0, 0, 0, 0}},
    {"StartsAtMidnight", {}, 0, 3, true, {0, 100, 0, 0, 0, 0, 0, 0}},
    {"OneOverlappingBlockRefused", {{1, 800, 1000}}, 20, 32, true, {}, kOverlap},
    {"NothingSelectedDisablesNothing", {{1, 1000, 999}}, kNothing, kNothing, false,
     {1000, 1045, 0, 0, 0, 0, 0, 0}},
    {"DisableToFourRegions", {{1, 0, 100}, {2, 200, 300}, {3, 800, 1200}}, 40, 41, false,
     {0, 100, 200, 300, 800, 1000, 1030, 1200}},
    {"DayButtonDisableClearsTheDay", {{1, 800, 1000}, {2, 1200, 1400}}, kDayButton, 0, false,
     Values(8, 0)},
    {"DayButtonEnableOnEmptyDay", {}, kDayButton, 0, true, {0, 2400, 0, 0, 0, 0, 0, 0}},
    {"DayButtonEnableOverARegionRefused", {{4, 2345, 2400}}, kDayButton, 0, true, {}, kOverlap},
    // The click works on the properties as they stand, not on the row as it was last drawn.
    {"EnableKeepsARegionWrittenSince", {}, 60, 63, true, {1000, 1045, 1500, 1600, 0, 0, 0, 0},
     nullptr, kWriteRegion2},
    {"EnableOverARegionWrittenSinceRefused", {}, 40, 41, true, {}, kOverlap, kWriteRegion2},
    {"DisableForgetsARegionClearedSince", {{1, 800, 1000}, {2, 1200, 1400}}, 50, 51, false,
     {1200, 1230, 1300, 1400, 0, 0, 0, 0}, nullptr, kClearRegion1},
};
// clang-format on

TEST(Saving, RebuildsTheDayInTimeOrderOrRefusesItWhole) {
    for (const SaveCase& c : kSaves) {
        SCOPED_TRACE(c.name);
        Drawn f;
        for (const auto& [region, start, stop] : c.regions)
            f.SetRegion(kDay, region, start, stop);
        c.first == kDayButton ? f.schedule.cmdDay_Click(kDay) : f.Drag(kDay, c.first, c.last);
        const auto redraws = f.Redraws();
        for (const auto& [property, value] : c.writes)
            f.schedule.SetTimeValue(kDay * 8 + property, static_cast<std::int16_t>(value));
        ASSERT_EQ(f.Redraws(), redraws) << "the writes do not redraw the row";
        const Values before = f.Day(kDay);
        f.log.clear();
        c.enable ? f.schedule.cmdEnable_Click() : f.schedule.cmdDisable_Click();

        if (c.refusal) {
            ASSERT_EQ(f.log.size(), 1u);
            EXPECT_EQ(f.log[0].text, c.refusal);
            EXPECT_EQ(f.log[0].style, platform::kStyleExclamation);
            EXPECT_EQ(f.log[0].title, "Error");
            EXPECT_EQ(f.Day(kDay), before);
        } else {
            EXPECT_TRUE(f.MessageTexts().empty());
            EXPECT_EQ(f.Count(HostRecord::ScheduleUpdated), 1);
            EXPECT_EQ(f.Day(kDay), c.expected);
        }
        EXPECT_EQ(f.Flags(), std::string(96, '.')) << "the click's redraw took the selection";
        for (int day = 0; day < 8; ++day)
            EXPECT_EQ(f.Day(day), day == kDay ? f.Day(kDay) : Values(8, 0)) << "day " << day;
        EXPECT_EQ(f.LivePens(), 0);
    }
}

}  // namespace
}  // namespace tarn
