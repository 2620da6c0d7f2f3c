// The redraw cycle: requests from the window system and the host arm the one-shot timer, whose
// tick redraws all eight rows once; edits redraw at once.

#include <algorithm>

#include "model/ErrorStyles.h"
#include "core/Schedule.h"

namespace tarn {

void Schedule::QueueRedraw() {
    platform::Timer& timer = platform_.InitTimer();
    // An armed timer already owes one full redraw, which serves this request too.
    if (!timer.Enabled()) timer.SetEnabled(true);
}

void Schedule::InitTimer_Timer() {
    platform_.InitTimer().SetEnabled(false);
    DrawSchedule();
}

void Schedule::Resize() {
    ResizeControls();
    QueueRedraw();
}

void Schedule::Paint() {
    // Before the first full redraw, and while one runs, the pending redraw covers the request.
    if (model_.State().ScheduleDrawn) QueueRedraw();
}

void Schedule::DrawSchedule() {
    // Every step below is silent, so nothing leaves between the two depth updates.
    deepestRedrawDepth_ = std::max(deepestRedrawDepth_, ++redrawDepth_);
    model_.SetDrawn(false);
    for (std::int16_t day = 0; day < platform::kDayCount; ++day) {
        // The row last drawn stays the current one.
        model_.SetCurrentRow(day);
        Silently([&] { platform_.DayBar(day).Cls(); });
        Silently([&] { DrawScheduleBackground(day); });
        Silently([&] { UpdateScheduleBar(day); });
    }
    model_.SetDrawn(true);
    ++completedRedraws_;
    --redrawDepth_;
}

void Schedule::DrawScheduleBackground(int row) {
    InitializeScheduleBlocks(row);
    UpdateTimeLabels();
    UpdateTimePeriodLabels();
}

}  // namespace tarn
