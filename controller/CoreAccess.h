// The core behind a controller, read-only, for this project's own checks of the core's inner state
// (the fuzzer's invariants). Not installed, and not exported from the widget's library; a
// frontend never uses it.
#pragma once

namespace tarn {
class Schedule;
}

namespace tarn::qt {

class ScheduleController;

const Schedule& CoreOf(const ScheduleController& controller);

}  // namespace tarn::qt
