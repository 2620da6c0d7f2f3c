// The control object: creation and destruction, the public properties and methods, the whole-day
// calls, the model's operations that report their failures, and the reporting of errors and
// broken rules through the host's message box.

#include "core/Schedule.h"

#include <stdexcept>
#include <utility>

#include "model/Arithmetic.h"
#include "model/ErrorStyles.h"
#include "model/TimeConversion.h"

namespace tarn {

namespace {

constexpr std::string_view kSystemMessage = "System Message";
constexpr std::string_view kError = "Error";

void CheckDay(int day) {
    if (day < 0 || day >= kWeekDays) throw std::out_of_range("no day " + std::to_string(day));
}

}  // namespace

Schedule::Schedule(platform::Platform& platform) : platform_(platform) {
    model_.SetListener([this](ScheduleModel::Change change) {
        if (!viewListener_) return;
        switch (change) {
            case ScheduleModel::Change::Focus:
                viewListener_(ViewChange::Focus);
                break;
            case ScheduleModel::Change::Cursor:
                viewListener_(ViewChange::Cursor);
                break;
            case ScheduleModel::Change::Hint:
                viewListener_(ViewChange::Hint);
                break;
            case ScheduleModel::Change::Values:
            case ScheduleModel::Change::Selection:
                break;
        }
    });
}

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
    model_.SetHeightRatio(1.0);
    model_.SetWidthRatio(1.0);
    model_.SetEnable(true);
    model_.SetDrawn(false);
    GetCurrentPositions();
    platform_.InitTimer().SetEnabled(true);
    model_.SetSpecialDayCaption("Special");
    model_.SetSpecialDayEnabled(true);
}

void Schedule::Terminate() {
    model_.SetDrawn(false);
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
    model_.SetEnable(vData);
    Silently([&] { ApplyEnabledState(); });
}

void Schedule::SetSpecialDayCaption(const std::string& vData) {
    model_.SetSpecialDayCaption(vData);
    Silently([&] { platform_.DayButton(7).SetCaption(vData); });
}

void Schedule::SetSpecialDayEnabled(bool vData) {
    model_.SetSpecialDayEnabled(vData);
    Silently([&] { platform_.DayButton(7).SetEnabled(model_.SpecialDayEditable()); });
}

std::int16_t Schedule::TimeValue(int index) const {
    return model_.Value(index);
}

void Schedule::SetTimeValue(int index, std::int16_t vData) {
    // Any value is stored as it is; the drawing decides what it means. A pair that now runs
    // forward is shown at once; anything else waits for the next redraw.
    if (model_.SetValue(index, vData)) Silently([&] { DrawSchedule(); });
}

DayRanges Schedule::ReadDay(int day) const {
    return model_.ReadDay(day);
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
    // Straight into the values: one redraw below instead of one per property.
    model_.StoreDays(days);
    Silently([&] { DrawSchedule(); });
}

// --- the model's operations, each reporting its own failure ---------------------------------

std::int16_t Schedule::BlockQuantityToTime(std::int16_t BlockQuantity) {
    std::int16_t result = 0;
    Reporting([&] { result = tarn::BlockQuantityToTime(BlockQuantity); },
              [&](const std::exception& error) {
                  ReportFailure("Failed to covert block quantity to time value with error: ",
                                error);
              });
    return result;
}

std::int16_t Schedule::TimeToBlockQuantity(bool IsStart, std::int16_t TimeValue) {
    std::int16_t result = 0;
    Reporting([&] { result = tarn::TimeToBlockQuantity(IsStart, TimeValue); },
              [&](const std::exception& error) {
                  ReportFailure("Failed to get convert time to block quantity with error: ", error);
              });
    return result;
}

void Schedule::UpdateScheduleProperties(int row) {
    // Straight into the values: the copy itself neither redraws nor raises.
    Reporting([&] { model_.StoreRegions(row); },
              [&](const std::exception& error) {
                  ReportFailure("Failed to update schedule properties with error: ", error);
              });
}

void Schedule::SetBlockStates(int row) {
    Reporting(
        [&] {
            model_.RebuildBlockStates(row, [&](bool isStart, std::int16_t value) {
                return static_cast<int>(TimeToBlockQuantity(isStart, value));
            });
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to set block states with error: ", error);
        });
}

bool Schedule::ValidateSelection() {
    bool result = false;
    Reporting([&] { result = model_.SelectionIsOneRun(); },
              [&](const std::exception& error) {
                  ReportFailure("Failed to validate selection with error: ", error);
              });
    return result;
}

void Schedule::SaveSelections(int row, bool EnableBlocks) {
    Reporting(
        [&] {
            const auto broken = model_.Save(row, EnableBlocks, [&](std::int16_t quantity) {
                return BlockQuantityToTime(quantity);
            });
            if (broken) {
                ReportRule(*broken);
                return;
            }
            UpdateScheduleProperties(row);
            platform_.Host().RaiseScheduleUpdated();
        },
        [&](const std::exception& error) {
            ReportFailure("Failed to save selections with error: ", error);
        });
}

}  // namespace tarn
