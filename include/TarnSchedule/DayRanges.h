// A day's enabled time ranges as one validated value, the week as eight of them, and the
// HH:MM-HH:MM text form of a range. Hosts read and write whole days and weeks with these instead
// of the 64 time properties.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "TarnSchedule/Export.h"

namespace tarn {

/// The most regions a day holds: its properties have four Start/Stop pairs.
inline constexpr int kMaxRegions = 4;
/// Quarter hours in a day; a range's stop may equal it (24:00).
inline constexpr int kQuarterHoursPerDay = 96;

/// A range of quarter hours from midnight, start included, stop excluded (0 to 96).
struct TimeRange {
    int start = 0;
    int stop = 0;
    bool operator==(const TimeRange&) const = default;
};

/// A day's enabled ranges: sorted by start, apart from each other (touching ones are merged),
/// at most kMaxRegions of them. The only ways to get one are the empty day and Make().
class DayRanges {
public:
    /// No range: the day is off.
    DayRanges() = default;

    /// Sorts the ranges by start and merges touching ones. Refuses, with a message, a range
    /// outside the day, a stop not after its start, overlapping ranges, or more than
    /// kMaxRegions ranges once touching ones are merged.
    TARN_SCHEDULE_EXPORT static std::variant<DayRanges, std::string> Make(
        std::vector<TimeRange> ranges);

    const std::vector<TimeRange>& Ranges() const { return ranges_; }
    bool operator==(const DayRanges&) const = default;

private:
    std::vector<TimeRange> ranges_;
};

/// Monday to Sunday, then the Special day.
inline constexpr int kWeekDays = 8;
using WeekRanges = std::array<DayRanges, kWeekDays>;

/// "Monday" ... "Sunday", "Special" for 0 to 7.
TARN_SCHEDULE_EXPORT std::string_view DayName(int day);
/// The day a name stands for (exact spelling), or -1.
TARN_SCHEDULE_EXPORT int FindDay(std::string_view name);

/// True when text has the form HH:MM-HH:MM (two digits each), whatever the digits are.
TARN_SCHEDULE_EXPORT bool IsRangeText(std::string_view text);

/// Reads HH:MM-HH:MM. Refuses, with a message that quotes the text, another form, a time past
/// 24:00 or with minutes past 59, 24:00 as a start, a time not on a quarter hour and a stop not
/// after its start.
TARN_SCHEDULE_EXPORT std::variant<TimeRange, std::string> ParseRange(std::string_view text);

/// "08:00-12:15" for a range in the day; times outside it are written the same way ("25:00").
TARN_SCHEDULE_EXPORT std::string FormatRange(const TimeRange& range);

}  // namespace tarn
