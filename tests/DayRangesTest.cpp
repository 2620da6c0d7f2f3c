// A day's ranges as a value: the HH:MM-HH:MM text, and the rules every whole-day write meets
// (sorting, merging of touching ranges, refusals) before it reaches the control.

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "TarnSchedule/DayRanges.h"

namespace tarn {
namespace {

struct TextCase {
    const char* name;
    const char* text;
    TimeRange range;      // when accepted
    const char* refusal;  // nullptr: accepted
};

// clang-format off
const TextCase kTexts[] = {
    {"WholeDay", "00:00-24:00", {0, 96}, nullptr},
    {"QuarterPast", "08:15-12:45", {33, 51}, nullptr},
    {"MinutesPast59", "08:60-09:00", {}, "\"08:60-09:00\" is not within 00:00 to 24:00"},
    {"MidnightAsStart", "24:00-24:00", {}, "\"24:00-24:00\" does not end after it starts"},
    {"Empty", "09:00-09:00", {}, "\"09:00-09:00\" does not end after it starts"},
    {"OneDigitHour", "8:00-09:00", {}, "\"8:00-09:00\" is not a range HH:MM-HH:MM"},
    {"Sign", "+8:00-09:00", {}, "\"+8:00-09:00\" is not a range HH:MM-HH:MM"},
    {"Nothing", "", {}, "\"\" is not a range HH:MM-HH:MM"},
};
// clang-format on

class RangeText : public testing::TestWithParam<TextCase> {};

TEST_P(RangeText, ReadsOrRefusesWithTheTextQuoted) {
    const TextCase& c = GetParam();
    const auto parsed = ParseRange(c.text);
    if (c.refusal) {
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
        EXPECT_EQ(std::get<std::string>(parsed), c.refusal);
        EXPECT_EQ(IsRangeText(c.text), !std::string(c.refusal).ends_with("HH:MM-HH:MM"));
    } else {
        ASSERT_TRUE(std::holds_alternative<TimeRange>(parsed)) << std::get<std::string>(parsed);
        EXPECT_EQ(std::get<TimeRange>(parsed), c.range);
        EXPECT_EQ(FormatRange(c.range), c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(DayRanges, RangeText, testing::ValuesIn(kTexts),
                         [](const auto& info) { return std::string(info.param.name); });

struct MakeCase {
    const char* name;
    std::vector<TimeRange> given;
    std::vector<TimeRange> kept;  // when accepted
    const char* refusal;          // nullptr: accepted
};

// clang-format off
const MakeCase kMakes[] = {
    {"NoRangeIsADayOff", {}, {}, nullptr},
    {"AChainMergesIntoOne", {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}}, {{0, 5}}, nullptr},
    {"ContainedRefused", {{0, 96}, {40, 44}}, {}, "\"00:00-24:00\" overlaps \"10:00-11:00\""},
    {"PastTheDayRefused", {{90, 97}}, {}, "\"22:30-24:15\" is not within 00:00 to 24:00"},
    {"BeforeTheDayRefused", {{-1, 4}}, {}, "\"-00:15-01:00\" is not within 00:00 to 24:00"},
    {"EmptyRangeRefused", {{10, 10}}, {}, "\"02:30-02:30\" does not end after it starts"},
};
// clang-format on

class MakeDay : public testing::TestWithParam<MakeCase> {};

TEST_P(MakeDay, KeepsSortedMergedRangesOrRefuses) {
    const MakeCase& c = GetParam();
    const auto made = DayRanges::Make(c.given);
    if (c.refusal) {
        ASSERT_TRUE(std::holds_alternative<std::string>(made));
        EXPECT_EQ(std::get<std::string>(made), c.refusal);
    } else {
        ASSERT_TRUE(std::holds_alternative<DayRanges>(made)) << std::get<std::string>(made);
        EXPECT_EQ(std::get<DayRanges>(made).Ranges(), c.kept);
    }
}

INSTANTIATE_TEST_SUITE_P(DayRanges, MakeDay, testing::ValuesIn(kMakes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DayNames, RoundTripAndRefuseOtherSpellings) {
    for (int day = 0; day < kWeekDays; ++day)
        EXPECT_EQ(FindDay(DayName(day)), day);
    EXPECT_EQ(FindDay("monday"), -1);
    EXPECT_EQ(FindDay(""), -1);
    EXPECT_EQ(DayName(8), "");
}

}  // namespace
}  // namespace tarn
