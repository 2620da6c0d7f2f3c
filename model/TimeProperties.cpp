#include "TarnSchedule/TimeProperties.h"

#include "platform/DesignData.h"

namespace tarn {

std::string TimePropertyName(int index) {
    if (index < 0 || index >= kTimePropertyCount) return {};
    const int day = index / 8;
    const int region = (index % 8) / 2 + 1;
    const bool isStop = (index % 2) == 1;
    return "Schedule_" + std::string(design::kDayWords[day]) + (isStop ? "Stop" : "Start") +
           std::to_string(region);
}

std::optional<int> FindTimeProperty(std::string_view name) {
    for (int index = 0; index < kTimePropertyCount; ++index)
        if (TimePropertyName(index) == name) return index;
    return std::nullopt;
}

}  // namespace tarn
