// What this project's own hosts and tests reach inside a ScheduleWidget: the control's core object,
// its Qt platform and its event gate. Not installed; embedding code uses the public interface.
#pragma once

#include "TarnSchedule/ScheduleWidget.h"

namespace tarn {

class Schedule;

namespace qt {
class EventGate;
class QtPlatform;
}  // namespace qt

class ScheduleWidgetInternals {
public:
    static Schedule& Control(ScheduleWidget& widget);
    static qt::QtPlatform& Platform(ScheduleWidget& widget);
    static qt::EventGate& Gate(ScheduleWidget& widget);
    /// Runs the control's Terminate now; the widget's destructor then leaves it out.
    static void Terminate(ScheduleWidget& widget);
};

}  // namespace tarn
