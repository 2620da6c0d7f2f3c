// The week as a JSON document, for files a host saves and loads:
// {"format": "tarn-schedule-week", "version": 1,
//  "days": {"Monday": ["08:00-12:00", "13:00-17:30"], "Tuesday": [], ..., "Special": []}}
#pragma once

#include <QByteArray>
#include <string>
#include <variant>

#include "TarnSchedule/DayRanges.h"
#include "TarnSchedule/storage/StorageExport.h"

namespace tarn::storage {

/// The value of "format" in every week document.
inline constexpr char kWeekFormat[] = "tarn-schedule-week";
/// The version written, and the newest one read.
inline constexpr int kWeekVersion = 1;

/// The week as an indented JSON document, the days in order Monday to Special, each on a line.
TARN_SCHEDULE_STORAGE_EXPORT QByteArray WeekToJson(const WeekRanges& week);

/// Reads a whole week, all or nothing: anything that is not a well-formed week document of a
/// known version is refused with a message that says where ("days.Monday[2]: ..."). Text from
/// the document shows in messages as storage::Echoed shows it.
TARN_SCHEDULE_STORAGE_EXPORT std::variant<WeekRanges, std::string> WeekFromJson(
    const QByteArray& json);

/// The most a week file can hold, far more than any week written by hand needs.
inline constexpr qsizetype kWeekFileLimit = 1024 * 1024;

/// Why a week file gave no week.
struct WeekFileError {
    bool unreadable = false;  // the file could not be read: `message` is the system's reason
    std::string message;      // otherwise why it is not a week, as WeekFromJson says
};

/// Reads the week file at `path` (bytes as the system takes them), or the one open as `fd`,
/// holding no more of it than kWeekFileLimit + 1 bytes: a larger file is refused unread.
TARN_SCHEDULE_STORAGE_EXPORT std::variant<WeekRanges, WeekFileError> ReadWeekFile(
    const std::string& path);
TARN_SCHEDULE_STORAGE_EXPORT std::variant<WeekRanges, WeekFileError> ReadWeekFile(int fd);

}  // namespace tarn::storage
