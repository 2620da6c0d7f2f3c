#include "TarnSchedule/DayRanges.h"

#include <algorithm>

#include "model/Runs.h"

namespace tarn {

namespace {

constexpr std::array<std::string_view, kWeekDays> kDayNames = {
    "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday", "Special"};

constexpr int kMinutesPerDay = 24 * 60;

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    quoted += text;
    quoted += '"';
    return quoted;
}

std::string FormatMinutes(int minutes) {
    std::string text;
    if (minutes < 0) {
        text += '-';
        minutes = -minutes;
    }
    const int hours = minutes / 60;
    const int rest = minutes % 60;
    if (hours < 10) text += '0';
    text += std::to_string(hours);
    text += ':';
    if (rest < 10) text += '0';
    text += std::to_string(rest);
    return text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int TwoDigits(std::string_view text, std::size_t at) {
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

}  // namespace

std::string_view DayName(int day) {
    return day >= 0 && day < kWeekDays ? kDayNames[day] : std::string_view();
}

int FindDay(std::string_view name) {
    for (int day = 0; day < kWeekDays; ++day)
        if (kDayNames[day] == name) return day;
    return -1;
}

bool IsRangeText(std::string_view text) {
    static constexpr std::string_view kShape = "00:00-00:00";
    if (text.size() != kShape.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (kShape[i] == '0' ? !IsDigit(text[i]) : text[i] != kShape[i]) return false;
    }
    return true;
}

std::variant<TimeRange, std::string> ParseRange(std::string_view text) {
    if (!IsRangeText(text)) return Quoted(text) + " is not a range HH:MM-HH:MM";
    const int startHours = TwoDigits(text, 0);
    const int startMinutes = TwoDigits(text, 3);
    const int stopHours = TwoDigits(text, 6);
    const int stopMinutes = TwoDigits(text, 9);
    const int start = startHours * 60 + startMinutes;
    const int stop = stopHours * 60 + stopMinutes;
    if (startMinutes > 59 || stopMinutes > 59 || start > kMinutesPerDay || stop > kMinutesPerDay)
        return Quoted(text) + " is not within 00:00 to 24:00";
    if (start % 15 != 0 || stop % 15 != 0) return Quoted(text) + " is not on a quarter hour";
    if (stop <= start) return Quoted(text) + " does not end after it starts";
    return TimeRange{start / 15, stop / 15};
}

std::string FormatRange(const TimeRange& range) {
    return FormatMinutes(range.start * 15) + "-" + FormatMinutes(range.stop * 15);
}

std::variant<DayRanges, std::string> DayRanges::Make(std::vector<TimeRange> ranges) {
    for (const TimeRange& range : ranges) {
        if (range.start < 0 || range.start > kQuarterHoursPerDay || range.stop < 0 ||
            range.stop > kQuarterHoursPerDay)
            return Quoted(FormatRange(range)) + " is not within 00:00 to 24:00";
        if (range.stop <= range.start)
            return Quoted(FormatRange(range)) + " does not end after it starts";
    }
    std::stable_sort(ranges.begin(), ranges.end(),
                     [](const TimeRange& a, const TimeRange& b) { return a.start < b.start; });
    // Sorted by start, two ranges overlap exactly when one of them overlaps the one before it.
    std::array<bool, kQuarterHoursPerDay> blocks{};
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        if (i > 0 && ranges[i].start < ranges[i - 1].stop)
            return Quoted(FormatRange(ranges[i - 1])) + " overlaps " +
                   Quoted(FormatRange(ranges[i]));
        for (int b = ranges[i].start; b < ranges[i].stop; ++b)
            blocks[b] = true;
    }
    // The regions are the runs of enabled blocks, exactly as a save by the user finds them, so
    // touching ranges merge here as they do there.
    DayRanges day;
    day.ranges_ = FindRuns(kQuarterHoursPerDay, [&](int b) { return blocks[b]; });
    if (static_cast<int>(day.ranges_.size()) > kMaxRegions)
        return "a day holds at most " + std::to_string(kMaxRegions) + " ranges; these make " +
               std::to_string(day.ranges_.size()) + " once touching ones are merged";
    return day;
}

}  // namespace tarn
