// A host's whole-day calls on the control: a day reads as its bar is drawn, writes store HHMM
// pairs in order and redraw once, and a copy takes the day as it reads.

#include <gtest/gtest.h>

#include <stdexcept>
#include <variant>

#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

DayRanges Ranges(std::vector<TimeRange> ranges) {
    return std::get<DayRanges>(DayRanges::Make(std::move(ranges)));
}

/// The enabled blocks of a day's ranges, '#' for enabled.
std::string Enabled(const DayRanges& day) {
    std::string blocks(96, '.');
    for (const TimeRange& range : day.Ranges())
        for (int b = range.start; b < range.stop; ++b)
            blocks[b] = '#';
    return blocks;
}

struct ReadCase {
    const char* name;
    Values properties;  // the day's eight, as the host wrote them
    std::vector<TimeRange> read;
};

// clang-format off
const ReadCase kReads[] = {
    {"DayOff", {0, 0, 0, 0, 0, 0, 0, 0}, {}},
    {"PairsInAnyOrder", {1300, 1730, 800, 1200, 0, 0, 0, 0}, {{32, 48}, {52, 70}}},
    {"TouchingPairsAreOneRange", {800, 1000, 1000, 1100, 0, 0, 0, 0}, {{32, 44}}},
    {"OverlappingPairsAreOneRange", {800, 1000, 900, 1100, 0, 0, 0, 0}, {{32, 44}}},
    {"BackwardsPairIsNothing", {1000, 900, 0, 0, 0, 0, 0, 0}, {}},
    // 960 reads as 9 hours 60 minutes: 10:00; 810 rounds to the block of 08:15.
    {"MinutesPast59ReadAsTheirText", {800, 960, 0, 0, 0, 0, 0, 0}, {{32, 40}}},
    {"OffQuarterRounds", {810, 1000, 0, 0, 0, 0, 0, 0}, {{33, 40}}},
    // "-12" does not convert: the start counts as block 0, as in the redraw.
    {"UnconvertibleStartIsMidnight", {-12, 100, 0, 0, 0, 0, 0, 0}, {{0, 4}}},
    {"PastMidnightIsCut", {2300, 3000, 0, 0, 0, 0, 0, 0}, {{92, 96}}},
};
// clang-format on

class ReadDay : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadDay, ReadsTheDayAsItsBarIsDrawn) {
    ScheduleFixture f;
    constexpr int kDay = 3;
    for (int i = 0; i < 8; ++i)
        f.schedule.SetTimeValue(kDay * 8 + i, static_cast<std::int16_t>(GetParam().properties[i]));
    ASSERT_TRUE(f.Redraw());
    f.log.clear();

    const DayRanges read = f.schedule.ReadDay(kDay);
    EXPECT_EQ(read.Ranges(), GetParam().read);
    std::string drawn = f.Blocks(kDay, 1);
    for (char& c : drawn)
        c = c == 'G' ? '#' : '.';
    EXPECT_EQ(Enabled(read), drawn);
    EXPECT_TRUE(f.log.empty()) << "a read shows nothing";
}

INSTANTIATE_TEST_SUITE_P(WholeDay, ReadDay, testing::ValuesIn(kReads),
                         [](const auto& info) { return std::string(info.param.name); });

struct WholeDayWrite : testing::Test {
    WholeDayWrite() {
        f.Redraw();
        f.SetRegion(1, 1, 600, 700);
        f.SetRegion(1, 3, 1800, 1900);
        f.log.clear();
    }
    ScheduleFixture f;
};

TEST_F(WholeDayWrite, StoresPairsInOrderRedrawsOnceAndRaisesNothing) {
    const auto before = f.Redraws();
    f.schedule.WriteDay(1, Ranges({{88, 96}, {0, 4}, {32, 48}}));
    EXPECT_EQ(f.Day(1), (Values{0, 100, 800, 1200, 2200, 2400, 0, 0}));
    EXPECT_EQ(f.Redraws(), before + 1);
    EXPECT_FALSE(f.platform.TimerWidget().armed());
    EXPECT_EQ(f.Blocks(1, 1).substr(30, 20), "RRGGGGGGGGGGGGGGGGRR");
    EXPECT_TRUE(f.log.empty());
}

TEST_F(WholeDayWrite, WeekReplacesEveryDayWithOneRedraw) {
    WeekRanges week;
    week[7] = Ranges({{0, 96}});
    const auto before = f.Redraws();
    f.schedule.WriteWeek(week);
    EXPECT_EQ(f.Redraws(), before + 1);
    for (int day = 0; day < 7; ++day)
        EXPECT_EQ(f.Day(day), Values(8, 0)) << day;
    EXPECT_EQ(f.Day(7), (Values{0, 2400, 0, 0, 0, 0, 0, 0}));
}

TEST_F(WholeDayWrite, CopyWritesTheDayAsItReads) {
    f.schedule.SetTimeValue(TimePropertyIndex(1, 4, false), 1900);  // touches 18:00-19:00
    f.schedule.SetTimeValue(TimePropertyIndex(1, 4, true), 2000);
    const auto before = f.Redraws();
    f.schedule.CopyDay(1, {4, 7});
    EXPECT_EQ(f.Redraws(), before + 1);
    const Values copied{600, 700, 1800, 2000, 0, 0, 0, 0};
    EXPECT_EQ(f.Day(4), copied);
    EXPECT_EQ(f.Day(7), copied);
    EXPECT_EQ(f.Day(1), (Values{600, 700, 0, 0, 1800, 1900, 1900, 2000})) << "the source stays";
}

TEST_F(WholeDayWrite, UnknownDayChangesNothing) {
    const auto values = f.State().TimeValues;
    const auto before = f.Redraws();
    EXPECT_THROW(f.schedule.WriteDay(8, DayRanges()), std::out_of_range);
    EXPECT_THROW(f.schedule.CopyDay(1, {0, 8}), std::out_of_range);
    EXPECT_THROW(f.schedule.CopyDay(-1, {0}), std::out_of_range);
    EXPECT_THROW(f.schedule.ReadDay(8), std::out_of_range);
    EXPECT_EQ(f.State().TimeValues, values);
    EXPECT_EQ(f.Redraws(), before);
}

}  // namespace
}  // namespace tarn
