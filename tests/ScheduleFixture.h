// A control on the in-memory platform with everything it tells its host recorded, and read access
// to its private operations for the tests that need to drive one directly.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "model/Schedule.h"
#include "platform/memory/MemoryPlatform.h"

namespace tarn {

/// Reaches the control's private operations from tests.
class ScheduleTestAccess {
public:
    explicit ScheduleTestAccess(Schedule& schedule) : s_(schedule) {}
    std::int16_t BlockQuantityToTime(std::int16_t q) { return s_.BlockQuantityToTime(q); }
    std::int16_t TimeToBlockQuantity(bool isStart, std::int16_t t) {
        return s_.TimeToBlockQuantity(isStart, t);
    }
    void SetCurrentDay(std::int16_t day) { s_.state_.CurrentDay = day; }
    void SetBlockStates() { s_.SetBlockStates(); }
    void UpdateInternalScheduleArrays() { s_.UpdateInternalScheduleArrays(); }
    void UpdateScheduleProperties() { s_.UpdateScheduleProperties(); }
    void SetRegion(int day, int slot, int field, std::int16_t value) {
        s_.state_.ScheduleRegions[day][slot][field] = value;
    }
    void SetSelection(int block, bool selected) { s_.state_.SelectionBlocks[block] = selected; }
    void SetBlockEnabled(int day, int block, bool enabled) {
        s_.state_.BlockEnabled[day][block] = enabled;
    }
    bool ValidateSelection() { return s_.ValidateSelection(); }
    void SaveSelections(bool enable) { s_.SaveSelections(enable); }
    void DrawSchedule() { s_.DrawSchedule(); }
    void DrawTickmarks() { s_.DrawTickmarks(); }
    void InitializeScheduleBlocks() { s_.InitializeScheduleBlocks(); }
    void UpdateScheduleBar() { s_.UpdateScheduleBar(); }
    void UpdateTimeLabels() { s_.UpdateTimeLabels(); }
    void UpdateTimePeriodLabels() { s_.UpdateTimePeriodLabels(); }
    void ResizeControls() { s_.ResizeControls(); }
    void GetCurrentPositions() { s_.GetCurrentPositions(); }
    void SetLayoutRatios(double heightRatio, double widthRatio) {
        s_.state_.HeightRatio = heightRatio;
        s_.state_.WidthRatio = widthRatio;
    }

private:
    Schedule& s_;
};

/// One thing the control told its host, in order.
struct HostRecord {
    enum Kind { MessageBox, Sleep, ScheduleUpdated } kind;
    std::string text;
    int style = 0;
    std::string title;
    int milliseconds = 0;
};

/// A created and initialised control; `log` holds what it told the host.
struct ScheduleFixture {
    ScheduleFixture()
        : platform(platform::memory::HostCallbacks{
              [this](std::string_view text, int style, std::string_view title) {
                  log.push_back({HostRecord::MessageBox, std::string(text), style,
                                 std::string(title), 0});
              },
              [this](int ms) { log.push_back({HostRecord::Sleep, {}, 0, {}, ms}); },
              [this] {
                  log.push_back({HostRecord::ScheduleUpdated, {}, 0, {}, 0});
                  if (onUpdated) onUpdated();
              }}),
          schedule(platform),
          access(schedule) {
        schedule.Initialize();
    }

    /// Delivers the timer's tick when it is armed, as the host's message loop would.
    bool Tick() {
        if (!platform.TimerWidget().armed()) return false;
        schedule.InitTimer_Timer();
        return true;
    }

    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const HostRecord& record : log)
            if (record.kind == HostRecord::MessageBox) texts.push_back(record.text);
        return texts;
    }

    int Count(HostRecord::Kind kind) const {
        int count = 0;
        for (const HostRecord& record : log) count += record.kind == kind ? 1 : 0;
        return count;
    }

    std::vector<HostRecord> log;
    std::function<void()> onUpdated;
    platform::memory::MemoryPlatform platform;
    Schedule schedule;
    ScheduleTestAccess access;
};

}  // namespace tarn
