// The week as a JSON document, for files a host saves and loads:
// {"format": "tarn-schedule-week", "version": 1,
//  "days": {"Monday": ["08:00-12:00", "13:00-17:30"], "Tuesday": [], ..., "Special": []}}
#pragma once

#include <QByteArray>
#include <string>
#include <variant>

#include "TarnSchedule/DayRanges.h"

namespace tarn::storage {

/// The value of "format" in every week document.
inline constexpr char kWeekFormat[] = "tarn-schedule-week";
/// The version written, and the newest one read.
inline constexpr int kWeekVersion = 1;

/// The week as an indented JSON document, the days in order Monday to Special, each on a line.
QByteArray WeekToJson(const WeekRanges& week);

/// Reads a whole week, all or nothing: anything that is not a well-formed week document of a
/// known version is refused with a message that says where ("days.Monday[2]: ...").
std::variant<WeekRanges, std::string> WeekFromJson(const QByteArray& json);

}  // namespace tarn::storage
