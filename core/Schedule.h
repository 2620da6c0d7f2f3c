// The control: its public interface (properties, methods), its life events and the events of its
// child widgets, as a thin layer over the schedule model (model/ScheduleModel.h), which holds the
// state and its rules, and the bar painter (render/BarPainter.h), which draws. This layer adds
// what belongs to the control's operations: their order of steps, their error styles and
// messages, the redraw cycle and the pauses. It reaches the outside world only through the
// platform interfaces it is given.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "TarnSchedule/DayRanges.h"
#include "TarnSchedule/TimeProperties.h"
#include "core/Keys.h"
#include "model/ScheduleModel.h"
#include "platform/Platform.h"
#include "render/BarPainter.h"
#include "render/Theme.h"

namespace tarn {

class Schedule {
public:
    /// The platform must outlive the control; its widgets exist before Initialize().
    explicit Schedule(platform::Platform& platform);
    Schedule(const Schedule&) = delete;
    Schedule& operator=(const Schedule&) = delete;

    // Life events, delivered by the host.
    /// Sets the defaults, captures the design geometry and arms the first redraw.
    void Initialize();
    /// Clears the bars; the last event of the control.
    void Terminate();
    /// The control was resized: lays out the widgets and queues a redraw.
    void Resize();
    /// The window system asks for a repaint: queues a redraw once the first one has run.
    void Paint();

    // Methods.
    /// Queues one full redraw on the next timer tick. Throws when the timer fails.
    void Refresh();
    /// Sets all 64 time properties to 0, then queues a redraw. Raises no event.
    void Reset();

    // Properties.
    bool Enable() const { return model_.State().mEnable; }
    void SetEnable(bool vData);
    std::string SpecialDayCaption() const { return model_.State().mSpecialDayCaption; }
    void SetSpecialDayCaption(const std::string& vData);
    bool SpecialDayEnabled() const { return model_.State().mSpecialDayEnabled; }
    void SetSpecialDayEnabled(bool vData);

    /// Time property by index (0 to 63, the order of TimePropertyName); any value is stored.
    std::int16_t TimeValue(int index) const;
    void SetTimeValue(int index, std::int16_t vData);

#define TARN_DECLARE_TIME_PROPERTY(Day, Edge, n, index)   \
    std::int16_t Schedule_##Day##Edge##n() const {        \
        return TimeValue(index);                          \
    }                                                     \
    void SetSchedule_##Day##Edge##n(std::int16_t vData) { \
        SetTimeValue(index, vData);                       \
    }
    TARN_TIME_PROPERTIES(TARN_DECLARE_TIME_PROPERTY)
#undef TARN_DECLARE_TIME_PROPERTY

    // Whole days and weeks. Days are 0 to 7 (Monday to Sunday, Special); another day throws
    // std::out_of_range and changes nothing. A write stores each day's ranges into its Start1/Stop1
    // ... Start4/Stop4 in order (HHMM, 24:00 as 2400, 0 in the pairs left over), redraws all rows
    // once before it returns and raises no ScheduleUpdated: it is the host's write.
    /// The day's enabled ranges as a redraw draws its eight time properties now, so values that
    /// are not well-formed read the way they are drawn.
    DayRanges ReadDay(int day) const;
    void WriteDay(int day, const DayRanges& ranges);
    void WriteWeek(const WeekRanges& week);
    /// Writes the ranges of day from, as ReadDay reads them, to every day of to.
    void CopyDay(int from, const std::vector<int>& to);

    // Events of the child widgets.
    void InitTimer_Timer();
    void Schedule_MouseDown(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X,
                            float Y);
    void Schedule_MouseMove(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X,
                            float Y);
    void Schedule_MouseUp(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X,
                          float Y);
    void cmdDay_Click(std::int16_t Index);
    void cmdEnable_Click();
    void cmdDisable_Click();

    // The keyboard, focus and the time hint. Bars are 0 to 7; another index is ignored.
    /// True when bar Index may take keyboard focus now: Enable is True and, for the Special bar,
    /// SpecialDayEnabled is True too.
    bool BarTakesFocus(int Index) const;
    /// Bar Index took the keyboard focus (Tab, a press on it, Up or Down from a neighbour, or the
    /// host), or lost it. The cursor keeps its block across bars.
    void Schedule_GotFocus(std::int16_t Index);
    void Schedule_LostFocus(std::int16_t Index);
    /// A key pressed on bar Index, which has the focus. Shift: kShiftMask, kCtrlMask.
    KeyOutcome Schedule_KeyDown(std::int16_t Index, Key KeyCode, std::int16_t Shift);
    /// The pointer left the control: the hint goes.
    void Schedule_MouseLeave();
    /// The bar that has the focus, -1 when none has.
    int FocusedBar() const;
    /// The keyboard cursor's block, 0 to 95.
    int CursorBlock() const;
    /// True while a bar has the focus: the frontend shows the cursor on it.
    bool CursorShown() const;
    /// The time shown at the pointer or the cursor, "Monday 08:00-08:15"; empty when none.
    std::string HintText() const;
    /// What a screen reader reads for a bar: its caption, and its enabled ranges
    /// ("08:00-12:00, 13:00-17:30", or "none").
    std::string BarName(int Index) const;
    std::string BarDescription(int Index) const;
    /// The colours the bars are drawn in from the next drawing on.
    void SetTheme(const render::Theme& theme);
    const render::Theme& CurrentTheme() const;

    /// What changed beside the bars' pixels, for a frontend that shows it.
    enum class ViewChange { Focus, Cursor, Hint };
    /// Called after each such change, once the control's state is consistent.
    void SetViewListener(std::function<void(ViewChange)> listener);

    /// Every field, read-only.
    const ScheduleState& State() const {
        return model_.State();
    }
    const ScheduleModel& Model() const {
        return model_;
    }
    /// Full redraws of all eight rows run to their end since the control was created.
    std::uint64_t CompletedRedraws() const {
        return completedRedraws_;
    }
    /// Full redraws running right now: 0 between events, 1 inside one.
    int RedrawDepth() const {
        return redrawDepth_;
    }
    /// The greatest RedrawDepth() reached since the control was created; above 1 means a full
    /// redraw once started inside another.
    int DeepestRedrawDepth() const {
        return deepestRedrawDepth_;
    }

private:
    // Operations on the model that report a failure (Schedule.cpp).
    void ClearScheduleProperties();
    std::int16_t BlockQuantityToTime(std::int16_t BlockQuantity);
    std::int16_t TimeToBlockQuantity(bool IsStart, std::int16_t TimeValue);
    // Each works on the row it is given.
    void UpdateScheduleProperties(int row);
    void SetBlockStates(int row);
    bool ValidateSelection();
    void SaveSelections(int row, bool EnableBlocks);
    /// Stores the ranges of the given days and redraws once; the days are checked by the caller.
    void StoreDays(const std::vector<std::pair<int, DayRanges>>& days);

    // Editing.
    /// ExtendRun: a drag's move, which marks the run from the block marked last to the one hit.
    void UpdateScheduleSelection(int row, float X, float Y, bool EraseOthers, bool AtPointer,
                                 bool ExtendRun = false);
    /// How MarkSelection picks the blocks it marks: the block under X, the run from the block
    /// marked last to the one under X, the whole day, or exactly the run given.
    enum class MarkKind { Pointer, PointerRun, WholeDay, Run };
    /// Marks blocks of row as selected and draws the marks; EraseOthers also draws every other
    /// block's marks as not selected.
    void MarkSelection(int row, MarkKind kind, float X, int runFirst, int runLast,
                       bool EraseOthers);
    /// Wipes the held selection's marks on its own row and forgets it.
    void DiscardSelection();
    void QueueRedraw();
    void DrawSchedule();
    void DrawScheduleBackground(int row);
    void ApplyEnabledState();
    void ApplySelection(bool EnableBlocks);
    /// After Enable or Disable and their redraw: no selection is held any more.
    void ForgetAppliedSelection();

    // Drawing through the bar painter, each with its own report (Drawing.cpp).
    void InitializeScheduleBlocks(int row);
    void UpdateScheduleBar(int row);
    void DrawTickmarks(int row);
    void DrawMinorTickmarks(int row);
    void DrawIntermediateTickmarks(int row);
    void DrawMajorTickmarks(int row);
    void DrawTickmarkLevel(int row, render::TickLevel level, std::string_view failure);
    void UpdateTimeLabels();
    void UpdateTimePeriodLabels();

    // Layout (Layout.cpp).
    void GetCurrentPositions();
    void ResizeControls();

    /// Shows the critical "Failed to ... with error: " box for a caught error.
    void ReportFailure(std::string_view sentence, const std::exception& error);
    /// Shows the exclamation box of a refused save.
    void ReportRule(std::string_view text);

    platform::Platform& platform_;
    ScheduleModel model_;
    render::Theme theme_ = render::ClassicTheme();
    std::function<void(ViewChange)> viewListener_;
    /// The next bar to get the focus shows the cursor's time in the hint: the focus came by Up or
    /// Down.
    bool showCursorOnFocus_ = false;
    std::uint64_t completedRedraws_ = 0;
    int redrawDepth_ = 0;
    int deepestRedrawDepth_ = 0;
};

}  // namespace tarn
