// Time values and the blocks they stand for: the conversions between HHMM values and 15-minute
// block quantities.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "model/TimeConversion.h"

namespace tarn {
namespace {

// --- conversions --------------------------------------------------------------------------------

TEST(Conversion, EveryQuantityOfADayReadsBackAsItsTime) {
    // Every quantity of a day converts to a time that reads back as it; 1311 is the largest
    // quantity whose text still fits 16 bits.
    for (std::int16_t q = 0; q <= 96; ++q)
        EXPECT_EQ(TimeToBlockQuantity(true, BlockQuantityToTime(q)), q) << "quantity " << q;
    EXPECT_EQ(BlockQuantityToTime(1311), 32745);
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
    for (int time = -32768; time <= 32767; ++time) {
        const auto value = static_cast<std::int16_t>(time);
        const std::optional<double> blocks = ExpectedBlocks(time);
        for (bool isStart : {true, false}) {
            if (!blocks) {
                ASSERT_ANY_THROW(TimeToBlockQuantity(isStart, value)) << time;
                continue;
            }
            ASSERT_EQ(TimeToBlockQuantity(isStart, value),
                      std::nearbyint(*blocks - (isStart ? 0 : 1)))
                << time << (isStart ? " as start" : " as stop");
        }
    }
}

}  // namespace
}  // namespace tarn
