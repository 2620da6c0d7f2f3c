// Judging a selection (one unbroken run or not) and applying it to a day: the rules of a save,
// the rebuilding of the day's regions from its blocks, and the write back into its properties.

#include "model/Arithmetic.h"
#include "model/ErrorStyles.h"
#include "model/Runs.h"
#include "model/Schedule.h"

namespace tarn {

bool Schedule::ValidateSelection() {
    bool result = false;
    Reporting(
        [&] {
            result =
                IsAtMostOneRun(kBlocksPerDay, [&](int b) { return state_.SelectionBlocks[b]; });
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to validate selection with error: ", error);
        });
    return result;
}

void Schedule::SaveSelections(bool EnableBlocks) {
    Reporting(
        [&] {
            const int day = state_.CurrentDay;
            if (day < 0 || day > 8) throw SubscriptOutOfRange();
            const auto& selected = state_.SelectionBlocks;
            auto& enabled = state_.BlockEnabled[day];
            auto& slots = state_.ScheduleRegions[day];

            if (EnableBlocks) {
                for (int b = 0; b < kBlocksPerDay; ++b) {
                    if (selected[b] && enabled[b]) {
                        ReportRule("Cannot enable overlapping regions");
                        return;
                    }
                }
                const auto runs =
                    FindRuns(kBlocksPerDay, [&](int b) { return selected[b] || enabled[b]; });
                if (static_cast<int>(runs.size()) > kMaxRegions) {
                    ReportRule("Cannot enable more than 4 regions");
                    return;
                }
            } else {
                // The properties hold four regions per day: a cut that would leave a fifth is
                // refused whole rather than losing regions.
                const auto runs =
                    FindRuns(kBlocksPerDay, [&](int b) { return enabled[b] && !selected[b]; });
                if (static_cast<int>(runs.size()) > kMaxRegions) {
                    ReportRule("Cannot disable: the day would have more than 4 regions");
                    return;
                }
                for (int b = 0; b <= kBlocksPerDay; ++b)
                    if (selected[b]) enabled[b] = false;
            }

            for (int slot = 0; slot < 4; ++slot)
                slots[slot][0] = slots[slot][1] = 0;

            if (EnableBlocks) {
                for (int b = 0; b <= kBlocksPerDay; ++b)
                    if (selected[b]) enabled[b] = true;
            }
            // One region per run of enabled blocks, in time order; the rules above leave at
            // most kMaxRegions runs.
            int slot = 0;
            for (const TimeRange& run :
                 FindRuns(kBlocksPerDay, [&](int b) { return enabled[b]; })) {
                if (slot > 4) throw SubscriptOutOfRange();
                slots[slot][0] = BlockQuantityToTime(static_cast<std::int16_t>(run.start));
                slots[slot][1] = BlockQuantityToTime(static_cast<std::int16_t>(run.stop));
                ++slot;
            }

            UpdateScheduleProperties();
            platform_.Host().RaiseScheduleUpdated();
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to save selections with error: ", error);
        });
}

}  // namespace tarn
