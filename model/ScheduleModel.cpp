// The schedule model's commands: values, regions and block states, the selection, the rules of a
// save, the cursor and the hint.

#include "model/ScheduleModel.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "model/Arithmetic.h"
#include "platform/DesignData.h"
#include "model/Runs.h"
#include "model/TimeConversion.h"

namespace tarn {

namespace {

void CheckIndex(int index) {
    if (index < 0 || index >= kTimePropertyCount)
        throw std::out_of_range("no time property with index " + std::to_string(index));
}

void CheckRegionRow(int day) {
    if (day < 0 || day > 8) throw SubscriptOutOfRange();
}

}  // namespace

bool ScheduleModel::RowTakesFocus(int row) const {
    if (row < 0 || row > 7) return false;
    return row == 7 ? SpecialDayEditable() : state_.mEnable;
}

std::string ScheduleModel::RowCaption(int row) const {
    if (row < 0 || row > 7) return {};
    if (row == 7) return state_.mSpecialDayCaption;
    return std::string(design::kDayWords[static_cast<std::size_t>(row)]);
}

std::int16_t ScheduleModel::Value(int index) const {
    CheckIndex(index);
    return state_.TimeValues[index];
}

bool ScheduleModel::SetValue(int index, std::int16_t value) {
    CheckIndex(index);
    state_.TimeValues[index] = value;
    Changed(Change::Values);
    // The pair's start is the even index, its stop the odd one.
    const int start = index & ~1;
    return state_.TimeValues[start + 1] > state_.TimeValues[start];
}

DayRanges ScheduleModel::ReadDay(int day) const {
    if (day < 0 || day >= kWeekDays) throw std::out_of_range("no day " + std::to_string(day));
    std::array<bool, kBlocksPerDay> blocks{};
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

void ScheduleModel::StoreDays(const std::vector<std::pair<int, DayRanges>>& days) {
    for (const auto& [day, ranges] : days) {
        std::array<std::int16_t, 8> values{};
        const auto& list = ranges.Ranges();
        for (std::size_t i = 0; i < list.size(); ++i) {
            values[i * 2] = tarn::BlockQuantityToTime(static_cast<std::int16_t>(list[i].start));
            values[i * 2 + 1] = tarn::BlockQuantityToTime(static_cast<std::int16_t>(list[i].stop));
        }
        for (int i = 0; i < 8; ++i)
            state_.TimeValues[day * 8 + i] = values[i];
    }
    Changed(Change::Values);
}

void ScheduleModel::LoadRegions(int day) {
    if (day < 0 || day > 7) return;
    for (int slot = 0; slot < 4; ++slot)
        for (int field = 0; field < 2; ++field)
            state_.ScheduleRegions[day][slot][field] =
                state_.TimeValues[day * 8 + slot * 2 + field];
}

void ScheduleModel::StoreRegions(int day) {
    if (day < 0 || day > 7) return;
    for (int slot = 0; slot < 4; ++slot)
        for (int field = 0; field < 2; ++field)
            state_.TimeValues[day * 8 + slot * 2 + field] =
                state_.ScheduleRegions[day][slot][field];
    Changed(Change::Values);
}

void ScheduleModel::RebuildBlockStates(int day, const ToBlock& toBlock) {
    CheckRegionRow(day);
    auto& blocks = state_.BlockEnabled[day];
    for (int b = 0; b < kBlocksPerDay; ++b)
        blocks[b] = false;
    LoadRegions(day);
    const auto& regions = state_.ScheduleRegions[day];
    MarkPairBlocks([&](int slot, int field) { return regions[slot][field]; }, toBlock,
                   [&](int b) { blocks[b] = true; });
}

void ScheduleModel::BeginSelection(int row, bool dragging) {
    if (dragging) state_.Selecting = true;
    for (int b = 0; b < kBlocksPerDay; ++b)
        state_.SelectionBlocks[b] = false;
    // The selection belongs to this row, whatever row a later redraw leaves current.
    state_.SelectionDay = static_cast<std::int16_t>(row);
    state_.LastMarkedBlock = -1;
    Changed(Change::Selection);
}

std::pair<int, int> ScheduleModel::MarkAtPointer(int hit, bool extend) {
    int first = hit;
    int last = hit;
    // In a drag, the run from the block marked last to the one hit, so a fast drag leaves no gaps.
    if (extend && state_.LastMarkedBlock >= 0) {
        first = std::min<int>(hit, state_.LastMarkedBlock);
        last = std::max<int>(hit, state_.LastMarkedBlock);
    }
    for (int b = first; b <= last; ++b)
        state_.SelectionBlocks[b] = true;
    state_.LastMarkedBlock = static_cast<std::int16_t>(hit);
    Changed(Change::Selection);
    return {first, last};
}

void ScheduleModel::MoveSelectionTo(int row) {
    state_.SelectionDay = static_cast<std::int16_t>(row);
    state_.LastMarkedBlock = -1;
    Changed(Change::Selection);
}

void ScheduleModel::SelectWholeDay() {
    for (int b = 0; b < kBlocksPerDay; ++b)
        state_.SelectionBlocks[b] = true;
    Changed(Change::Selection);
}

void ScheduleModel::SelectExactly(int first, int last) {
    for (int b = 0; b < kBlocksPerDay; ++b)
        state_.SelectionBlocks[b] = first >= 0 && first <= b && b <= last;
    Changed(Change::Selection);
}

void ScheduleModel::EndDrag() {
    state_.Selecting = false;
    state_.LastMarkedBlock = -1;
}

void ScheduleModel::DropSelection() {
    for (int b = 0; b < kBlocksPerDay; ++b)
        state_.SelectionBlocks[b] = false;
    state_.SelectionDay = -1;
    state_.LastMarkedBlock = -1;
    Changed(Change::Selection);
}

bool ScheduleModel::SelectionIsOneRun() const {
    return IsAtMostOneRun(kBlocksPerDay, [&](int b) { return state_.SelectionBlocks[b]; });
}

std::optional<std::pair<int, int>> ScheduleModel::SelectedSpan() const {
    int first = -1;
    int last = -1;
    for (int b = 0; b < kBlocksPerDay; ++b) {
        if (!state_.SelectionBlocks[b]) continue;
        if (first < 0) first = b;
        last = b;
    }
    if (first < 0) return std::nullopt;
    return std::pair{first, last};
}

std::optional<std::string_view> ScheduleModel::Save(int day, bool enable, const ToTime& toTime) {
    CheckRegionRow(day);
    const auto& selected = state_.SelectionBlocks;
    auto& enabled = state_.BlockEnabled[day];
    auto& slots = state_.ScheduleRegions[day];

    if (enable) {
        for (int b = 0; b < kBlocksPerDay; ++b)
            if (selected[b] && enabled[b]) return "Cannot enable overlapping regions";
        const auto runs = FindRuns(kBlocksPerDay, [&](int b) { return selected[b] || enabled[b]; });
        if (static_cast<int>(runs.size()) > kMaxRegions) return "Cannot enable more than 4 regions";
    } else {
        // The properties hold four regions per day: a cut that would leave a fifth is refused
        // whole rather than losing regions.
        const auto runs =
            FindRuns(kBlocksPerDay, [&](int b) { return enabled[b] && !selected[b]; });
        if (static_cast<int>(runs.size()) > kMaxRegions)
            return "Cannot disable: the day would have more than 4 regions";
    }

    for (int b = 0; b <= kBlocksPerDay; ++b)
        if (selected[b]) enabled[b] = enable;
    for (int slot = 0; slot < 4; ++slot)
        slots[slot][0] = slots[slot][1] = 0;
    // One region per run of enabled blocks, in time order; the rules above leave at most
    // kMaxRegions runs.
    int slot = 0;
    for (const TimeRange& run : FindRuns(kBlocksPerDay, [&](int b) { return enabled[b]; })) {
        if (slot > 4) throw SubscriptOutOfRange();
        slots[slot][0] = toTime(static_cast<std::int16_t>(run.start));
        slots[slot][1] = toTime(static_cast<std::int16_t>(run.stop));
        ++slot;
    }
    return std::nullopt;
}

void ScheduleModel::SetFocusRow(int row) {
    state_.FocusedBar = row;
    state_.Anchor = -1;
    Changed(Change::Focus);
}

void ScheduleModel::SetCursor(int block, bool shown) {
    state_.CursorBlock = std::clamp(block, 0, kBlocksPerDay - 1);
    state_.CursorShown = shown;
    Changed(Change::Cursor);
}

void ScheduleModel::SetHint(int row, int first, int last) {
    if (state_.HintRow == row &&
        (row < 0 || (state_.HintFirst == first && state_.HintLast == last)))
        return;
    state_.HintRow = row;
    state_.HintFirst = first;
    state_.HintLast = last;
    Changed(Change::Hint);
}

}  // namespace tarn
