// Saving a selection with Enable or Disable: the day's regions are rebuilt from its blocks in time
// order, the rules of the schedule refuse a save whole, and listeners of ScheduleUpdated may edit
// the schedule from inside the save.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

constexpr int kDay = 2;  // Wednesday
constexpr int kDayButton = -1;
constexpr int kNothing = -2;

constexpr const char* kOverlap = "Cannot enable overlapping regions";
constexpr const char* kTooMany = "Cannot enable more than 4 regions";
constexpr const char* kTooManyAfterDisable =
    "Cannot disable: the day would have more than 4 regions";

float BlockX(ScheduleFixture& f, int day, int block) {
    return static_cast<float>((block + 0.5) * f.platform.Bar(day).innerWidth() / 96.0);
}

struct Drawn : ScheduleFixture {
    Drawn() { Tick(); }
    /// Selects on the day: blocks first to last by a drag over each of them, the whole day by its
    /// button (kDayButton), or no block by a press beside the bar (kNothing).
    void Select(int day, int first, int last) {
        const auto d = static_cast<std::int16_t>(day);
        if (first == kDayButton) {
            schedule.cmdDay_Click(d);
            return;
        }
        if (first == kNothing) {
            schedule.Schedule_MouseDown(d, 1, 0, 600.0f, 0);
            schedule.Schedule_MouseUp(d, 1, 0, 600.0f, 0);
            return;
        }
        schedule.Schedule_MouseDown(d, 1, 0, BlockX(*this, day, first), 0);
        for (int b = first + 1; b <= last; ++b)
            schedule.Schedule_MouseMove(d, 1, 0, BlockX(*this, day, b), 0);
        schedule.Schedule_MouseUp(d, 1, 0, BlockX(*this, day, last), 0);
    }
    void SetRegions(int day, const std::vector<std::array<int, 3>>& regions) {
        for (const auto& [region, start, stop] : regions) {
            schedule.SetTimeValue(TimePropertyIndex(day, region, false),
                                  static_cast<std::int16_t>(start));
            schedule.SetTimeValue(TimePropertyIndex(day, region, true),
                                  static_cast<std::int16_t>(stop));
        }
    }
    std::vector<int> Day(int day) {
        std::vector<int> values;
        for (int i = 0; i < 8; ++i)
            values.push_back(schedule.TimeValue(day * 8 + i));
        return values;
    }
};

// --- one save ------------------------------------------------------------------------------------

struct SaveCase {
    const char* name;
    std::vector<std::array<int, 3>> regions;  // region number, start, stop
    int first;                                // first selected block, kDayButton or kNothing
    int last;
    bool enable;
    std::vector<int> expected;  // the day's eight properties after; empty: refused, unchanged
    const char* refusal = nullptr;
};

class Save : public testing::TestWithParam<SaveCase> {};

TEST_P(Save, RebuildsTheDayOrRefusesItWhole) {
    const SaveCase& c = GetParam();
    Drawn f;
    f.SetRegions(kDay, c.regions);
    const std::vector<int> before = f.Day(kDay);
    f.Select(kDay, c.first, c.last);
    const auto flags = f.schedule.State().SelectionBlocks;
    f.log.clear();

    if (c.enable)
        f.schedule.cmdEnable_Click();
    else
        f.schedule.cmdDisable_Click();

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
    EXPECT_EQ(f.schedule.State().SelectionBlocks, flags) << "a save never clears the selection";
    for (int day = 0; day < 8; ++day) {
        if (day == kDay) continue;
        EXPECT_EQ(f.Day(day), std::vector<int>(8, 0)) << "day " << day;
    }
    EXPECT_EQ(f.platform.Pens().LivePens(), 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Saving, Save,
    testing::Values(
        SaveCase{"OnEmptyDay", {}, 32, 39, true, {800, 1000, 0, 0, 0, 0, 0, 0}},
        SaveCase{"MergesWithATouchingRegion", {{1, 800, 1000}}, 40, 43, true,
                 {800, 1100, 0, 0, 0, 0, 0, 0}},
        SaveCase{"BridgesTwoRegions", {{1, 800, 1000}, {2, 1200, 1400}}, 40, 47, true,
                 {800, 1400, 0, 0, 0, 0, 0, 0}},
        SaveCase{"EndsAt2400", {}, 88, 95, true, {2200, 2400, 0, 0, 0, 0, 0, 0}},
        SaveCase{"StartsAtMidnight", {}, 0, 3, true, {0, 100, 0, 0, 0, 0, 0, 0}},
        SaveCase{"FourthRegionInTimeOrder", {{1, 2000, 2100}, {2, 0, 100}, {3, 1200, 1300}},
                 40, 43, true, {0, 100, 1000, 1100, 1200, 1300, 2000, 2100}},
        SaveCase{"FifthRegionRefused",
                 {{1, 0, 100}, {2, 200, 300}, {3, 400, 500}, {4, 2300, 2400}}, 40, 43, true,
                 {}, kTooMany},
        SaveCase{"OneOverlappingBlockRefused", {{1, 800, 1000}}, 20, 32, true, {}, kOverlap},
        SaveCase{"NothingSelectedRewritesTheDayInTimeOrder",
                 {{1, 1200, 1400}, {2, 800, 1000}, {3, 1000, 1100}, {4, 900, 800}}, kNothing, 0,
                 true, {800, 1100, 1200, 1400, 0, 0, 0, 0}},
        SaveCase{"NothingSelectedDisablesNothing", {{1, 1000, 999}}, kNothing, 0, false,
                 {1000, 1045, 0, 0, 0, 0, 0, 0}},
        SaveCase{"DisableSplitsARegion", {{1, 800, 1200}}, 40, 43, false,
                 {800, 1000, 1100, 1200, 0, 0, 0, 0}},
        SaveCase{"DisableTrimsTheEndOfTheDay", {{1, 2000, 2400}}, 92, 95, false,
                 {2000, 2300, 0, 0, 0, 0, 0, 0}},
        SaveCase{"DisableToFourRegions", {{1, 0, 100}, {2, 200, 300}, {3, 800, 1200}}, 40, 41,
                 false, {0, 100, 200, 300, 800, 1000, 1030, 1200}},
        SaveCase{"DisableToFiveRegionsRefused",
                 {{1, 0, 100}, {2, 200, 300}, {3, 400, 500}, {4, 800, 1200}}, 40, 41, false,
                 {}, kTooManyAfterDisable},
        SaveCase{"DayButtonDisableClearsTheDay", {{1, 800, 1000}, {2, 1200, 1400}}, kDayButton,
                 0, false, {0, 0, 0, 0, 0, 0, 0, 0}},
        SaveCase{"DayButtonEnableOnEmptyDay", {}, kDayButton, 0, true,
                 {0, 2400, 0, 0, 0, 0, 0, 0}},
        SaveCase{"DayButtonEnableOverARegionRefused", {{4, 2345, 2400}}, kDayButton, 0, true,
                 {}, kOverlap}),
    [](const testing::TestParamInfo<SaveCase>& info) { return info.param.name; });
// clang-format on

// --- selections in pieces ------------------------------------------------------------------------

TEST(Saving, SelectionWithGapsIsSavedAsSeveralRuns) {
    Drawn f;
    f.Select(kDay, 40, 41);
    f.access.SetSelection(10, true);
    f.schedule.cmdEnable_Click();
    EXPECT_EQ(f.Day(kDay), (std::vector<int>{230, 245, 1000, 1030, 0, 0, 0, 0}));
}

TEST(Saving, OverlapIsReportedBeforeTheRegionCount) {
    Drawn f;
    f.SetRegions(kDay, {{1, 0, 100}, {2, 200, 300}, {3, 400, 500}, {4, 2300, 2400}});
    f.Select(kDay, 40, 41);
    f.access.SetSelection(3, true);  // overlaps 00:45
    f.log.clear();
    f.schedule.cmdEnable_Click();
    EXPECT_EQ(f.MessageTexts(), std::vector<std::string>{kOverlap});
}

// --- listeners of ScheduleUpdated ----------------------------------------------------------------

TEST(Saving, ListenerSeesTheSavedPropertiesAndItsWritesRedrawInsideTheSave) {
    Drawn f;
    std::vector<int> seen;
    std::uint64_t redrawsInListener = 0;
    f.onUpdated = [&] {
        seen = f.Day(kDay);
        const auto before = f.schedule.CompletedRedraws();
        f.schedule.SetSchedule_FridayStart1(100);
        f.schedule.SetSchedule_FridayStop1(200);
        redrawsInListener = f.schedule.CompletedRedraws() - before;
    };
    f.Select(kDay, 32, 39);
    const auto before = f.schedule.CompletedRedraws();
    f.schedule.cmdEnable_Click();

    EXPECT_EQ(seen, (std::vector<int>{800, 1000, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(redrawsInListener, 1u);
    EXPECT_EQ(f.schedule.CompletedRedraws() - before, 2u) << "the listener's, then the click's";
    EXPECT_EQ(f.Day(4), (std::vector<int>{100, 200, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(f.schedule.State().BlockEnabled[kDay][32]);
    EXPECT_TRUE(f.schedule.State().BlockEnabled[4][4]);
}

TEST(Saving, ListenerMayRewriteTheSavedDay) {
    Drawn f;
    f.onUpdated = [&] { f.schedule.SetSchedule_WednesdayStop1(900); };
    f.Select(kDay, 32, 39);
    f.schedule.cmdEnable_Click();
    EXPECT_EQ(f.Day(kDay), (std::vector<int>{800, 900, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(f.schedule.State().BlockEnabled[kDay][35]);
    EXPECT_FALSE(f.schedule.State().BlockEnabled[kDay][36]);

    // The next save of the same selection starts from the listener's schedule.
    f.onUpdated = nullptr;
    f.schedule.cmdDisable_Click();
    EXPECT_EQ(f.Day(kDay), std::vector<int>(8, 0));
}

}  // namespace
}  // namespace tarn
