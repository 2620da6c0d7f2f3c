// The week shown by a ScheduleWidget as WeekRanges, read from and written to its 64 time
// properties (HHMM values, four Start/Stop slots a day).
#pragma once

#include <QString>
#include <optional>

#include "model/DayRanges.h"

namespace tarn {
class ScheduleWidget;
}

namespace tarn::app {

/// The week the control shows. A slot that holds no range (stop not after start) is left out; a
/// time off the quarter-hour grid is taken to the quarter hour it falls in.
WeekRanges ReadWeek(const ScheduleWidget& schedule);

/// Writes one day into its eight properties: the ranges in order, the unused slots 0.
void WriteDay(ScheduleWidget& schedule, int day, const DayRanges& ranges);

/// Writes all eight days.
void WriteWeek(ScheduleWidget& schedule, const WeekRanges& week);

}  // namespace tarn::app
