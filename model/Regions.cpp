// Copies between a day's eight time properties and its row of the region table.

#include "model/ErrorStyles.h"
#include "model/Schedule.h"

namespace tarn {

void Schedule::UpdateInternalScheduleArrays() {
    Reporting(
        [&] {
            const int day = state_.CurrentDay;
            if (day < 0 || day > 7) return;
            for (int slot = 0; slot < 4; ++slot)
                for (int field = 0; field < 2; ++field)
                    state_.ScheduleRegions[day][slot][field] =
                        state_.TimeValues[day * 8 + slot * 2 + field];
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to update internal schedule arrays with error: ", error);
        });
}

void Schedule::UpdateScheduleProperties() {
    Reporting(
        [&] {
            const int day = state_.CurrentDay;
            if (day < 0 || day > 7) return;
            // Straight into the backing fields: the copy itself neither redraws nor raises.
            for (int slot = 0; slot < 4; ++slot)
                for (int field = 0; field < 2; ++field)
                    state_.TimeValues[day * 8 + slot * 2 + field] =
                        state_.ScheduleRegions[day][slot][field];
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to update schedule properties with error: ", error);
        });
}

}  // namespace tarn
