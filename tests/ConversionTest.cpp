// Conversions between time values (HHMM) and 15-minute block quantities: the pure functions, and
// the control's wrappers that report a failing conversion and carry on with 0.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "model/TimeConversion.h"
#include "platform/Host.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

constexpr std::string_view kToBlocksFailure =
    "Failed to get convert time to block quantity with error: ";
constexpr std::string_view kToTimeFailure =
    "Failed to covert block quantity to time value with error: ";

// --- block quantity to time value --------------------------------------------------------------

struct QuantityRow {
    std::int16_t quantity;
    std::int16_t time;
};

class BlockQuantityToTimeRows : public testing::TestWithParam<QuantityRow> {};

TEST_P(BlockQuantityToTimeRows, GivesTheBoundaryAtTheStartOfTheBlock) {
    EXPECT_EQ(BlockQuantityToTime(GetParam().quantity), GetParam().time);
}

INSTANTIATE_TEST_SUITE_P(Conversion, BlockQuantityToTimeRows,
                         testing::Values(QuantityRow{0, 0}, QuantityRow{1, 15}, QuantityRow{3, 45},
                                         QuantityRow{4, 100}, QuantityRow{33, 815},
                                         QuantityRow{48, 1200}, QuantityRow{95, 2345},
                                         QuantityRow{96, 2400},
                                         // The largest quantity whose text still fits 16 bits.
                                         QuantityRow{1311, 32745}));

TEST(Conversion, EveryBlockQuantityOfADayIsAQuarterHourAndConvertsBack) {
    for (std::int16_t q = 0; q <= 96; ++q) {
        const std::int16_t time = BlockQuantityToTime(q);
        EXPECT_EQ(time, 100 * (q / 4) + 15 * (q % 4)) << "quantity " << q;
        EXPECT_EQ(TimeToBlockQuantity(true, time), q) << "time " << time;
        EXPECT_EQ(TimeToBlockQuantity(false, time), q - 1) << "time " << time;
    }
}

TEST(Conversion, ReportedBlockQuantityOverflowShowsItsSentenceAndGivesZero) {
    ScheduleFixture f;
    EXPECT_EQ(f.access.BlockQuantityToTime(1312), 0);
    ASSERT_EQ(f.log.size(), 1u);
    EXPECT_EQ(f.log[0].style, platform::kStyleCritical);
    EXPECT_EQ(f.log[0].title, "System Message");
    EXPECT_TRUE(f.log[0].text.starts_with(kToTimeFailure)) << f.log[0].text;
    EXPECT_GT(f.log[0].text.size(), kToTimeFailure.size()) << "no error description";
}

// --- time value to block quantity --------------------------------------------------------------

struct TimeRow {
    std::int16_t time;
    std::int16_t asStart;
    std::int16_t asStop;
};

class TimeToBlockQuantityRows : public testing::TestWithParam<TimeRow> {};

TEST_P(TimeToBlockQuantityRows, ReadsTheDecimalTextAsHoursAndMinutes) {
    const TimeRow row = GetParam();
    EXPECT_EQ(TimeToBlockQuantity(true, row.time), row.asStart);
    EXPECT_EQ(TimeToBlockQuantity(false, row.time), row.asStop);
    // The control's wrapper gives the same and shows nothing.
    ScheduleFixture f;
    EXPECT_EQ(f.access.TimeToBlockQuantity(true, row.time), row.asStart);
    EXPECT_EQ(f.access.TimeToBlockQuantity(false, row.time), row.asStop);
    EXPECT_TRUE(f.log.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Conversion, TimeToBlockQuantityRows,
    testing::Values(TimeRow{0, 0, -1}, TimeRow{5, 0, -1}, TimeRow{15, 1, 0}, TimeRow{45, 3, 2},
                    TimeRow{100, 4, 3}, TimeRow{807, 32, 31}, TimeRow{808, 33, 32},
                    TimeRow{815, 33, 32}, TimeRow{960, 40, 39}, TimeRow{1230, 50, 49},
                    TimeRow{2345, 95, 94}, TimeRow{2400, 96, 95}, TimeRow{2500, 100, 99},
                    TimeRow{10000, 0, -1}, TimeRow{-1000, 0, -1}, TimeRow{-5, 0, -1},
                    TimeRow{-815, -31, -32}, TimeRow{32767, 0, -1}, TimeRow{-32768, 0, -1}));

TEST(Conversion, MinusSignAloneAsHoursIsReportedAndGivesZeroForEitherEdge) {
    for (std::int16_t time : {std::int16_t{-10}, std::int16_t{-15}, std::int16_t{-99}}) {
        EXPECT_THROW(TimeToBlockQuantity(true, time), std::exception) << time;
        ScheduleFixture f;
        EXPECT_EQ(f.access.TimeToBlockQuantity(true, time), 0) << time;
        EXPECT_EQ(f.access.TimeToBlockQuantity(false, time), 0) << time;
        ASSERT_EQ(f.log.size(), 2u) << time;
        for (const HostRecord& record : f.log) {
            EXPECT_EQ(record.kind, HostRecord::MessageBox);
            EXPECT_EQ(record.style, platform::kStyleCritical);
            EXPECT_EQ(record.title, "System Message");
            EXPECT_TRUE(record.text.starts_with(kToBlocksFailure)) << record.text;
            EXPECT_GT(record.text.size(), kToBlocksFailure.size()) << "no error description";
        }
    }
}

// What a time value means, worked out with arithmetic on the number rather than on its text:
// nothing (the conversion fails) for -99 to -10, else the block count before rounding.
std::optional<double> ExpectedBlocks(int time) {
    int hours = 0;
    int minutes = 0;
    const int magnitude = std::abs(time);
    if (time >= 10 && time <= 99) {
        minutes = time;
    } else if (time >= -9 && time <= -1) {
        minutes = time;
    } else if (time >= -99 && time <= -10) {
        return std::nullopt;
    } else if (magnitude >= 100 && magnitude <= 999 && time > 0) {
        hours = time / 100;
        minutes = time % 100;
    } else if ((time >= 1000 && time <= 9999) || (time >= -999 && time <= -100)) {
        // Four characters: the first two (a minus sign and a digit for negatives) are hours.
        hours = time < 0 ? -(magnitude / 100) : magnitude / 100;
        minutes = magnitude % 100;
    }
    return minutes / 15.0 + hours * 4;
}

TEST(Conversion, EveryIntegerConvertsAsItsDecimalTextReads) {
    ScheduleFixture f;
    int reports = 0;
    for (int time = -32768; time <= 32767; ++time) {
        const auto value = static_cast<std::int16_t>(time);
        const std::optional<double> blocks = ExpectedBlocks(time);
        for (bool isStart : {true, false}) {
            const std::int16_t reported = f.access.TimeToBlockQuantity(isStart, value);
            if (!blocks) {
                ++reports;
                ASSERT_EQ(reported, 0) << time;
                continue;
            }
            const double expected = std::nearbyint(*blocks - (isStart ? 0.0 : 1.0));
            ASSERT_EQ(reported, expected) << time << (isStart ? " as start" : " as stop");
            ASSERT_EQ(TimeToBlockQuantity(isStart, value), reported) << time;
        }
    }
    // Exactly the 90 values -99 to -10 fail, once per edge, and each failure shows one report.
    EXPECT_EQ(reports, 180);
    EXPECT_EQ(f.Count(HostRecord::MessageBox), 180);
}

}  // namespace
}  // namespace tarn
