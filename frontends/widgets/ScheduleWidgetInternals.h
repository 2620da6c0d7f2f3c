// What this project's own hosts and tests reach inside a ScheduleWidget: its controller, its Qt
// platform, its event gate and what it shows over the bars. Not installed;
// embedding code uses the public interface.
#pragma once

#include "TarnSchedule/ScheduleWidget.h"

namespace tarn {

namespace qt {
class CursorOverlay;
class EventGate;
class HintLabel;
class QtPlatform;
class ScheduleController;
}  // namespace qt

class ScheduleWidgetInternals {
public:
    static qt::QtPlatform& Platform(ScheduleWidget& widget);
    static qt::EventGate& Gate(ScheduleWidget& widget);
    static qt::ScheduleController& Controller(ScheduleWidget& widget);
    /// The keyboard cursor's frame and the time hint's label, children of the control.
    static qt::CursorOverlay& Cursor(ScheduleWidget& widget);
    static qt::HintLabel& Hint(ScheduleWidget& widget);
    /// Runs the control's Terminate now; the widget's destructor then leaves it out.
    static void Terminate(ScheduleWidget& widget);
};

}  // namespace tarn
