// Block states of a day, rebuilt from its stored regions, and the two time conversions as the
// control runs them: a conversion that fails reports itself and yields 0.

#include "model/Arithmetic.h"
#include "model/ErrorStyles.h"
#include "model/Runs.h"
#include "model/Schedule.h"
#include "model/TimeConversion.h"

namespace tarn {

std::int16_t Schedule::BlockQuantityToTime(std::int16_t BlockQuantity) {
    std::int16_t result = 0;
    Reporting([&] { result = tarn::BlockQuantityToTime(BlockQuantity); },
              [&](const std::exception& error) {
                  ReportFailure("Failed to covert block quantity to time value with error: ",
                                error);
              });
    return result;
}

std::int16_t Schedule::TimeToBlockQuantity(bool IsStart, std::int16_t TimeValue) {
    std::int16_t result = 0;
    Reporting([&] { result = tarn::TimeToBlockQuantity(IsStart, TimeValue); },
              [&](const std::exception& error) {
                  ReportFailure("Failed to get convert time to block quantity with error: ", error);
              });
    return result;
}

void Schedule::SetBlockStates() {
    Reporting(
        [&] {
            const int day = state_.CurrentDay;
            if (day < 0 || day > 8) throw SubscriptOutOfRange();
            auto& blocks = state_.BlockEnabled[day];
            for (int b = 0; b < kBlocksPerDay; ++b)
                blocks[b] = false;
            UpdateInternalScheduleArrays();
            const auto& regions = state_.ScheduleRegions[day];
            MarkPairBlocks([&](int slot, int field) { return regions[slot][field]; },
                           [&](bool isStart, std::int16_t value) -> int {
                               return TimeToBlockQuantity(isStart, value);
                           },
                           [&](int b) { blocks[b] = true; });
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to set block states with error: ", error);
        });
}

}  // namespace tarn
