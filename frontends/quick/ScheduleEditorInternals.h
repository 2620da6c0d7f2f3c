// The editor's insides, for the programs and tests of this build that drive it as a user and a
// window system would and read back what they show. Not part of the installed API.
#pragma once

#include "TarnSchedule/ScheduleEditor.h"

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
    static void Terminate(ScheduleEditor& editor);
};

}  // namespace tarn
