// The week as JSON: what is written reads back as the same week, and a reader that takes all or
// nothing, naming where a document goes wrong.

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "storage/WeekJson.h"

namespace tarn::storage {
namespace {

DayRanges Day(std::vector<TimeRange> ranges) {
    return std::get<DayRanges>(DayRanges::Make(std::move(ranges)));
}

/// A good week document with every day empty, for the cases to change.
const std::string kGood = R"({"format": "tarn-schedule-week", "version": 1, "days": {
    "Monday": [], "Tuesday": [], "Wednesday": [], "Thursday": [], "Friday": [],
    "Saturday": [], "Sunday": [], "Special": []}})";

/// `text` with the first `from` in it replaced by `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

TEST(WeekJson, WrittenWeekReadsBackTheSame) {
    WeekRanges week;
    week[0] = Day({{32, 48}, {52, 70}});
    week[4] = Day({{0, 96}});
    week[7] = Day({{0, 1}, {2, 3}, {4, 5}, {95, 96}});
    const QByteArray json = WeekToJson(week);
    EXPECT_EQ(json.toStdString(), R"({
    "format": "tarn-schedule-week",
    "version": 1,
    "days": {
        "Monday": ["08:00-12:00", "13:00-17:30"],
        "Tuesday": [],
        "Wednesday": [],
        "Thursday": [],
        "Friday": ["00:00-24:00"],
        "Saturday": [],
        "Sunday": [],
        "Special": ["00:00-00:15", "00:30-00:45", "01:00-01:15", "23:45-24:00"]
    }
}
)");
    const auto read = WeekFromJson(json);
    ASSERT_TRUE(std::holds_alternative<WeekRanges>(read)) << std::get<std::string>(read);
    EXPECT_EQ(std::get<WeekRanges>(read), week);
}

TEST(WeekJson, ReadingSortsAndMergesLikeEveryWrite) {
    const auto read = WeekFromJson(QByteArray::fromStdString(Replaced(
        kGood, R"("Monday": [])", R"("Monday": ["13:00-17:30", "12:00-13:00", "08:00-12:00"])")));
    ASSERT_TRUE(std::holds_alternative<WeekRanges>(read)) << std::get<std::string>(read);
    EXPECT_EQ(std::get<WeekRanges>(read)[0], Day({{32, 70}}));
}

struct BadCase {
    const char* name;
    std::string json;
    std::string message;
};

// clang-format off
const BadCase kBad[] = {
    {"NotAnObject", "[1, 2]", "the document is not a JSON object"},
    {"NoFormat", Replaced(kGood, R"("format": "tarn-schedule-week",)", ""),
     "format: not \"tarn-schedule-week\""},
    {"VersionZero", Replaced(kGood, R"("version": 1)", R"("version": 0)"),
     "version: is not a positive integer"},
    {"FractionalVersion", Replaced(kGood, R"("version": 1)", R"("version": 1.5)"),
     "version: is not a positive integer"},
    {"VersionAsText", Replaced(kGood, R"("version": 1)", R"("version": "1")"),
     "version: is not a positive integer"},
    {"UnknownField", Replaced(kGood, R"("version": 1)", R"("version": 1, "owner": "x")"),
     "owner: not a field of a week document"},
    {"VersionTwice", Replaced(kGood, R"("version": 1)", R"("version": 1, "version": 1)"),
     "version: given twice"},
    {"DayTwiceOnceEscaped", Replaced(kGood, R"("Tuesday": [])", R"("Tuesday": [], "Tu\u0065sday": [])"),
     "days.Tuesday: given twice"},
    {"KeyTwiceDeeper", Replaced(kGood, R"("Monday": [])", R"("Monday": [{"a": [{}, {"\ud83d\ude00": 1, "\ud83d\ude00": 2}]}])"),
     "days.Monday[0].a[1].\U0001F600: given twice"},
    {"DaysNotAnObject", R"({"format": "tarn-schedule-week", "version": 1, "days": []})",
     "days: is an array, not an object"},
    {"UnknownDay", Replaced(kGood, R"("Special": [])", R"("Special": [], "Holiday": [])"),
     "days.Holiday: not a day"},
    {"DayNotAnArray", Replaced(kGood, R"("Sunday": [])", R"("Sunday": "08:00-09:00")"),
     "days.Sunday: is a string, not an array of ranges"},
    {"RangeNotAString", Replaced(kGood, R"("Monday": [])", R"("Monday": [800])"),
     "days.Monday[0]: is a number, not a range \"HH:MM-HH:MM\""},
    {"RangeEchoedAbridgedAndEscaped",
     Replaced(kGood, R"("Monday": [])", R"("Monday": ["\u001b[2J\n)" + std::string(100, '8') + "\"]"),
     "days.Monday[0]: \"\\x1b[2J\\n" + std::string(35, '8') + "...\" is not a range HH:MM-HH:MM"},
    {"OverlappingRanges",
     Replaced(kGood, R"("Tuesday": [])", R"("Tuesday": ["09:00-11:00", "08:00-10:00"])"),
     "days.Tuesday: \"08:00-10:00\" overlaps \"09:00-11:00\""},
};
// clang-format on

class WeekJsonRefusal : public testing::TestWithParam<BadCase> {};

TEST_P(WeekJsonRefusal, RefusesTheWholeWeekSayingWhere) {
    const auto read = WeekFromJson(QByteArray::fromStdString(GetParam().json));
    ASSERT_TRUE(std::holds_alternative<std::string>(read));
    EXPECT_EQ(std::get<std::string>(read), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(WeekJson, WeekJsonRefusal, testing::ValuesIn(kBad),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarn::storage
