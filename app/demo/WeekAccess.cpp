#include "app/demo/WeekAccess.h"

#include <algorithm>
#include <array>
#include <variant>
#include <vector>

#include "TarnSchedule/ScheduleWidget.h"
#include "model/TimeProperties.h"

namespace tarn::app {

namespace {

/// HHMM to quarter hours from midnight, within the day.
int QuarterOf(int hhmm) {
    const int quarter = (hhmm / 100) * 4 + (hhmm % 100) / 15;
    return std::clamp(quarter, 0, kQuarterHoursPerDay);
}

int HhmmOf(int quarter) {
    return (quarter / 4) * 100 + (quarter % 4) * 15;
}

}  // namespace

WeekRanges ReadWeek(const ScheduleWidget& schedule) {
    WeekRanges week;
    for (int day = 0; day < kWeekDays; ++day) {
        std::vector<TimeRange> ranges;
        for (int region = 1; region <= kMaxRegions; ++region) {
            const TimeRange range{
                QuarterOf(schedule.timeValue(TimePropertyIndex(day, region, false))),
                QuarterOf(schedule.timeValue(TimePropertyIndex(day, region, true)))};
            if (range.stop > range.start) ranges.push_back(range);
        }
        // Slots a host wrote out of order or overlapping are read as the blocks they cover.
        auto made = DayRanges::Make(ranges);
        if (auto* day_ranges = std::get_if<DayRanges>(&made)) {
            week[static_cast<std::size_t>(day)] = *day_ranges;
            continue;
        }
        std::array<bool, kQuarterHoursPerDay> on{};
        for (const TimeRange& range : ranges)
            std::fill(on.begin() + range.start, on.begin() + range.stop, true);
        std::vector<TimeRange> runs;
        for (int q = 0; q < kQuarterHoursPerDay; ++q) {
            if (!on[static_cast<std::size_t>(q)]) continue;
            if (runs.empty() || runs.back().stop != q)
                runs.push_back({q, q + 1});
            else
                runs.back().stop = q + 1;
        }
        if (runs.size() > static_cast<std::size_t>(kMaxRegions)) runs.resize(kMaxRegions);
        auto merged = DayRanges::Make(runs);
        if (auto* merged_ranges = std::get_if<DayRanges>(&merged))
            week[static_cast<std::size_t>(day)] = *merged_ranges;
    }
    return week;
}

void WriteDay(ScheduleWidget& schedule, int day, const DayRanges& ranges) {
    const std::vector<TimeRange>& list = ranges.Ranges();
    for (int region = 1; region <= kMaxRegions; ++region) {
        const auto slot = static_cast<std::size_t>(region - 1);
        const TimeRange range = slot < list.size() ? list[slot] : TimeRange{};
        schedule.setTimeValue(TimePropertyIndex(day, region, false), HhmmOf(range.start));
        schedule.setTimeValue(TimePropertyIndex(day, region, true), HhmmOf(range.stop));
    }
}

void WriteWeek(ScheduleWidget& schedule, const WeekRanges& week) {
    for (int day = 0; day < kWeekDays; ++day)
        WriteDay(schedule, day, week[static_cast<std::size_t>(day)]);
}

}  // namespace tarn::app
