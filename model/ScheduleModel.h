// The schedule model: the 64 time values, the regions and block states derived from them, the
// selection (its row and blocks), the keyboard cursor and the time hint, and the rules of a save.
// Its commands work on block numbers; it draws nothing and reaches no platform. Conversions that
// may fail are given by the caller, which decides how a failure is reported.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "TarnSchedule/DayRanges.h"
#include "model/ScheduleState.h"

namespace tarn {

class ScheduleModel {
public:
    /// What a change touched, for whoever shows it.
    enum class Change { Values, Selection, Focus, Cursor, Hint };
    using Listener = std::function<void(Change)>;
    /// A time value to the block it begins (isStart) or ends; may throw.
    using ToBlock = std::function<int(bool isStart, std::int16_t value)>;
    /// A block quantity (0 to 96) to its time value; may throw.
    using ToTime = std::function<std::int16_t(std::int16_t blockQuantity)>;

    const ScheduleState& State() const { return state_; }
    /// Called after each change, once the model is consistent again.
    void SetListener(Listener listener) { listener_ = std::move(listener); }

    // Settings.
    void SetEnable(bool enable) { state_.mEnable = enable; }
    void SetSpecialDayCaption(std::string caption) {
        state_.mSpecialDayCaption = std::move(caption);
    }
    void SetSpecialDayEnabled(bool enabled) { state_.mSpecialDayEnabled = enabled; }
    /// Whether the user may edit the Special day: Enable and SpecialDayEnabled both True. Its
    /// button is enabled, and its bar takes the focus, exactly then.
    bool SpecialDayEditable() const { return state_.mEnable && state_.mSpecialDayEnabled; }
    /// Whether bar row may take the keyboard focus now.
    bool RowTakesFocus(int row) const;
    /// The row's caption: the day's word, SpecialDayCaption for the eighth.
    std::string RowCaption(int row) const;

    // The 64 time values. An index outside 0 to 63 throws std::out_of_range.
    std::int16_t Value(int index) const;
    /// Stores any value as it is. True when the value's Start/Stop pair now runs forward.
    bool SetValue(int index, std::int16_t value);
    /// The day's enabled ranges as a redraw draws its eight values; a value that does not
    /// convert counts as block 0.
    DayRanges ReadDay(int day) const;
    /// Stores each day's ranges into its Start1/Stop1 ... Start4/Stop4 (HHMM, 0 in the pairs
    /// left over).
    void StoreDays(const std::vector<std::pair<int, DayRanges>>& days);

    // Regions and block states. Days 0 to 7 copy between values and regions; the region table
    // and block states have a spare ninth row.
    void LoadRegions(int day);
    void StoreRegions(int day);
    /// Rebuilds the day's block states from its regions, converting with toBlock. A day outside
    /// 0 to 8 throws "Subscript out of range".
    void RebuildBlockStates(int day, const ToBlock& toBlock);

    // The row the user's last bar event, or the last redraw, touched: a save with no held
    // selection applies to it.
    int CurrentRow() const { return state_.CurrentDay; }
    void SetCurrentRow(int row) { state_.CurrentDay = static_cast<std::int16_t>(row); }

    // The selection.
    /// A new, empty selection on row, with a drag under way when dragging.
    void BeginSelection(int row, bool dragging);
    /// Marks the block hit and, in a drag that marked before (extend), every block from the one
    /// marked last; returns the first and last block marked now.
    std::pair<int, int> MarkAtPointer(int hit, bool extend);
    /// The held selection now belongs to row, its blocks as they are (a day button's selection,
    /// which marks the whole day next).
    void MoveSelectionTo(int row);
    void SelectWholeDay();
    /// Exactly blocks first to last selected, none when first is -1.
    void SelectExactly(int first, int last);
    /// The drag ends; the selection stays held.
    void EndDrag();
    /// Forgets the held selection.
    void DropSelection();
    bool SelectionIsOneRun() const;
    /// The first and last selected block, or nothing.
    std::optional<std::pair<int, int>> SelectedSpan() const;

    /// Applies the held selection to day: enabling (or disabling) its blocks, rebuilding the
    /// day's regions in time order with toTime. Returns the broken rule's message and changes
    /// nothing when the save is refused. A day outside 0 to 8 throws "Subscript out of range".
    std::optional<std::string_view> Save(int day, bool enable, const ToTime& toTime);

    // The layout record: the design geometry captured at creation and the size ratios.
    void RecordButton(int index, const oCommandButton& geometry) {
        state_.ButtonPositions.at(static_cast<std::size_t>(index)) = geometry;
    }
    void RecordBar(int index, const oPictureBox& geometry) {
        state_.PictureBoxPositions.at(static_cast<std::size_t>(index)) = geometry;
    }
    void RecordDesignHeight(double height) { state_.DesignHeight = height; }
    void RecordDesignWidth(double width) { state_.DesignWidth = width; }
    void SetHeightRatio(double ratio) { state_.HeightRatio = ratio; }
    void SetWidthRatio(double ratio) { state_.WidthRatio = ratio; }
    /// True once a full redraw has run to its end, false while one runs.
    void SetDrawn(bool drawn) { state_.ScheduleDrawn = drawn; }

    // The keyboard and the hint.
    void SetFocusRow(int row);
    /// Moves the cursor (clamped to the day); shown says whether a key moved it.
    void SetCursor(int block, bool shown);
    void SetAnchor(int block) { state_.Anchor = block; }
    /// The hint shows blocks first to last of row, or nothing when row is -1.
    void SetHint(int row, int first, int last);

private:
    void Changed(Change change) {
        if (listener_) listener_(change);
    }

    ScheduleState state_;
    Listener listener_;
};

}  // namespace tarn
