// The control object: creation and destruction, the public properties and methods, and the
// reporting of errors and broken rules through the host's message box.

#include "model/Schedule.h"

#include <stdexcept>
#include <utility>

#include "model/ErrorStyles.h"
#include "model/Runs.h"
#include "model/TimeConversion.h"

namespace tarn {

namespace {

constexpr std::string_view kSystemMessage = "System Message";
constexpr std::string_view kError = "Error";

void CheckDay(int day) {
    if (day < 0 || day >= kWeekDays) throw std::out_of_range("no day " + std::to_string(day));
}

}  // namespace

Schedule::Schedule(platform::Platform& platform) : platform_(platform) {}

void Schedule::ReportFailure(std::string_view sentence, const std::exception& error) {
    std::string text(sentence);
    text += error.what();
    try {
        platform_.Host().MessageBox(text, platform::kStyleCritical, kSystemMessage);
    } catch (const std::exception&) {
        // A host that cannot show the report leaves the user nothing to read; go on regardless.
    }
}

void Schedule::ReportRule(std::string_view text) {
    platform_.Host().MessageBox(text, platform::kStyleExclamation, kError);
}

void Schedule::Initialize() {
    state_.HeightRatio = 1.0;
    state_.WidthRatio = 1.0;
    state_.mEnable = true;
    state_.ScheduleDrawn = false;
    GetCurrentPositions();
    platform_.InitTimer().SetEnabled(true);
    state_.mSpecialDayCaption = "Special";
    state_.mSpecialDayEnabled = true;
}

void Schedule::Terminate() {
    state_.ScheduleDrawn = false;
    for (int i = 0; i < platform::kDayCount; ++i) {
        Silently([&] { platform_.DayBar(i).Cls(); });
        Silently([&] { platform_.DayBar(i).ClearPicture(); });
    }
}

void Schedule::Refresh() {
    QueueRedraw();
}

void Schedule::Reset() {
    ClearScheduleProperties();
    Refresh();
}

void Schedule::ClearScheduleProperties() {
    for (int index = 0; index < kTimePropertyCount; ++index)
        SetTimeValue(index, 0);
}

void Schedule::SetEnable(bool vData) {
    state_.mEnable = vData;
    Silently([&] { ApplyEnabledState(); });
}

void Schedule::SetSpecialDayCaption(const std::string& vData) {
    state_.mSpecialDayCaption = vData;
    Silently([&] { platform_.DayButton(7).SetCaption(vData); });
}

void Schedule::SetSpecialDayEnabled(bool vData) {
    state_.mSpecialDayEnabled = vData;
    Silently([&] { platform_.DayButton(7).SetEnabled(vData); });
}

std::int16_t Schedule::TimeValue(int index) const {
    if (index < 0 || index >= kTimePropertyCount)
        throw std::out_of_range("no time property with index " + std::to_string(index));
    return state_.TimeValues[index];
}

void Schedule::SetTimeValue(int index, std::int16_t vData) {
    if (index < 0 || index >= kTimePropertyCount)
        throw std::out_of_range("no time property with index " + std::to_string(index));
    // Any value is stored as it is; the drawing decides what it means.
    state_.TimeValues[index] = vData;
    // The pair's start is the even index, its stop the odd one. A pair that now runs forward is
    // shown at once; anything else waits for the next redraw.
    const int start = index & ~1;
    if (state_.TimeValues[start + 1] > state_.TimeValues[start]) Silently([&] { DrawSchedule(); });
}

DayRanges Schedule::ReadDay(int day) const {
    CheckDay(day);
    std::array<bool, kBlocksPerDay> blocks{};
    // The conversions of a redraw, without its report: a value whose text does not convert
    // counts as block 0 there too.
    MarkPairBlocks(
        [&](int slot, int field) { return state_.TimeValues[day * 8 + slot * 2 + field]; },
        [](bool isStart, std::int16_t value) -> int {
            try {
                return tarn::TimeToBlockQuantity(isStart, value);
            } catch (const std::exception&) {
                return 0;
            }
        },
        [&](int b) { blocks[b] = true; });
    // Four pairs enable at most four runs, so the day is always a valid one.
    return std::get<DayRanges>(
        DayRanges::Make(FindRuns(kBlocksPerDay, [&](int b) { return blocks[b]; })));
}

void Schedule::WriteDay(int day, const DayRanges& ranges) {
    CheckDay(day);
    StoreDays({{day, ranges}});
}

void Schedule::WriteWeek(const WeekRanges& week) {
    std::vector<std::pair<int, DayRanges>> days;
    for (int day = 0; day < kWeekDays; ++day)
        days.emplace_back(day, week[day]);
    StoreDays(days);
}

void Schedule::CopyDay(int from, const std::vector<int>& to) {
    const DayRanges ranges = ReadDay(from);
    std::vector<std::pair<int, DayRanges>> days;
    for (int day : to) {
        CheckDay(day);
        days.emplace_back(day, ranges);
    }
    StoreDays(days);
}

void Schedule::StoreDays(const std::vector<std::pair<int, DayRanges>>& days) {
    for (const auto& [day, ranges] : days) {
        std::array<std::int16_t, 8> values{};
        const auto& list = ranges.Ranges();
        for (std::size_t i = 0; i < list.size(); ++i) {
            values[i * 2] = tarn::BlockQuantityToTime(static_cast<std::int16_t>(list[i].start));
            values[i * 2 + 1] = tarn::BlockQuantityToTime(static_cast<std::int16_t>(list[i].stop));
        }
        // Straight into the backing fields: one redraw below instead of one per property.
        for (int i = 0; i < 8; ++i)
            state_.TimeValues[day * 8 + i] = values[i];
    }
    Silently([&] { DrawSchedule(); });
}

}  // namespace tarn
