// The ten command buttons: a day button selects its whole day, Enable and Disable apply the held
// selection, and the Enable property switches all ten on or off.

#include "model/ErrorStyles.h"
#include "core/Schedule.h"

namespace tarn {

void Schedule::cmdDay_Click(std::int16_t Index) {
    if (Index < 0 || Index > 7) return;
    model_.SetAnchor(-1);
    model_.SetHint(-1, 0, 0);
    DrawSchedule();
    model_.SetCurrentRow(Index);
    model_.MoveSelectionTo(Index);
    UpdateScheduleSelection(Index, 0.0f, 0.0f, true, false);
}

void Schedule::cmdEnable_Click() {
    model_.SetAnchor(-1);
    model_.SetHint(-1, 0, 0);
    ApplySelection(true);
    DrawSchedule();
    ForgetAppliedSelection();
}

void Schedule::cmdDisable_Click() {
    model_.SetAnchor(-1);
    model_.SetHint(-1, 0, 0);
    ApplySelection(false);
    DrawSchedule();
    ForgetAppliedSelection();
}

void Schedule::ForgetAppliedSelection() {
    // The redraw has wiped the marks, saved or refused: the selection goes with them, so that a
    // later click acts on nothing the screen does not show. Listeners of ScheduleUpdated, which
    // ran inside the save, still saw it held.
    model_.DropSelection();
}

void Schedule::ApplySelection(bool EnableBlocks) {
    // The held selection goes to the row it was made on, not to the row a redraw left current.
    if (model_.State().SelectionDay >= 0) model_.SetCurrentRow(model_.State().SelectionDay);
    const int row = model_.CurrentRow();
    // The day's properties are the one authoritative copy: a host write made since the row was
    // last drawn must not be overwritten by stale block states.
    SetBlockStates(row);
    SaveSelections(row, EnableBlocks);
}

void Schedule::ApplyEnabledState() {
    // The Special day's button follows SpecialDayEnabled as well, so that a read-only Special day
    // cannot be selected, and then wiped, by its button.
    for (int i = 0; i < 7; ++i)
        Silently([&] { platform_.DayButton(i).SetEnabled(model_.State().mEnable); });
    Silently([&] { platform_.DayButton(7).SetEnabled(model_.SpecialDayEditable()); });
    Silently([&] { platform_.EnableButton().SetEnabled(model_.State().mEnable); });
    Silently([&] { platform_.DisableButton().SetEnabled(model_.State().mEnable); });
}

}  // namespace tarn
