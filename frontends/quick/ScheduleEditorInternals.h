// The editor's insides, for the programs and tests of this build that drive it as a user and a
// window system would and read back what they show. Not part of the installed API.
#pragma once

#include "TarnSchedule/ScheduleEditor.h"

class QObject;

namespace tarn {

namespace qt {
class ScheduleController;
}
namespace quick {
class QuickPlatform;
}

class ScheduleEditorInternals {
public:
    static quick::QuickPlatform& Platform(ScheduleEditor& editor);
    static qt::ScheduleController& Controller(ScheduleEditor& editor);
    /// The Accessible attached object of bar (role, name, description), null when Qt Quick's
    /// accessibility is not there to attach it.
    static QObject* Accessible(ScheduleEditor& editor, int bar);
    static void Terminate(ScheduleEditor& editor);
};

}  // namespace tarn
