// The 64 time properties of the control, Schedule_<Day>Start<n> and Schedule_<Day>Stop<n>, in
// their fixed order: day Monday to Special, and within a day Start1, Stop1, ..., Start4, Stop4.
// TARN_TIME_PROPERTIES(X) expands X(Day, Edge, n, index) once per property.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "TarnSchedule/Export.h"

#define TARN_TIME_PROPERTIES_OF_DAY(X, Day, base) \
    X(Day, Start, 1, (base) + 0)                  \
    X(Day, Stop, 1, (base) + 1)                   \
    X(Day, Start, 2, (base) + 2)                  \
    X(Day, Stop, 2, (base) + 3)                   \
    X(Day, Start, 3, (base) + 4)                  \
    X(Day, Stop, 3, (base) + 5)                   \
    X(Day, Start, 4, (base) + 6)                  \
    X(Day, Stop, 4, (base) + 7)

#define TARN_TIME_PROPERTIES(X)                   \
    TARN_TIME_PROPERTIES_OF_DAY(X, Monday, 0)     \
    TARN_TIME_PROPERTIES_OF_DAY(X, Tuesday, 8)    \
    TARN_TIME_PROPERTIES_OF_DAY(X, Wednesday, 16) \
    TARN_TIME_PROPERTIES_OF_DAY(X, Thursday, 24)  \
    TARN_TIME_PROPERTIES_OF_DAY(X, Friday, 32)    \
    TARN_TIME_PROPERTIES_OF_DAY(X, Saturday, 40)  \
    TARN_TIME_PROPERTIES_OF_DAY(X, Sunday, 48)    \
    TARN_TIME_PROPERTIES_OF_DAY(X, Special, 56)

namespace tarn {

inline constexpr int kTimePropertyCount = 64;

/// Index of a time property: day 0 to 7, region 1 to 4, start or stop.
constexpr int TimePropertyIndex(int day, int region, bool isStop) {
    return day * 8 + (region - 1) * 2 + (isStop ? 1 : 0);
}

/// "Schedule_MondayStart1" for index 0 ... "Schedule_SpecialStop4" for index 63.
TARN_SCHEDULE_EXPORT std::string TimePropertyName(int index);

/// The index of a property name, or nothing when it names no time property.
TARN_SCHEDULE_EXPORT std::optional<int> FindTimeProperty(std::string_view name);

}  // namespace tarn
