// A day's ranges as a value made from block numbers, which no text can give: the ranges that
// reach outside the day. The whole-days example shows the texts and the rules of every write.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "TarnSchedule/DayRanges.h"

namespace tarn {
namespace {

TEST(DayRanges, BlockNumbersOutsideTheDayAreRefused) {
    const std::pair<std::vector<TimeRange>, const char*> cases[] = {
        {{{90, 97}}, "\"22:30-24:15\" is not within 00:00 to 24:00"},
        {{{-1, 4}}, "\"-00:15-01:00\" is not within 00:00 to 24:00"},
        {{{10, 10}}, "\"02:30-02:30\" does not end after it starts"}};
    for (const auto& [given, refusal] : cases)
        EXPECT_EQ(std::get<std::string>(DayRanges::Make(given)), refusal);
    EXPECT_EQ(DayName(8), "");
    EXPECT_EQ(FindDay("monday"), -1);
}

}  // namespace
}  // namespace tarn
