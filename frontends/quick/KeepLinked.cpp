// Compiled into every program that links TarnSchedule::Quick. A program whose QML alone names
// ScheduleEditor has no call into the editor's library, and a linker that drops unused shared
// libraries (--as-needed, the default on Debian and Ubuntu) or takes only the used objects of a
// static one would leave out the library and the registration of `import TarnSchedule` with it.
// This call, made as the program starts, keeps both.
#include <TarnSchedule/ScheduleEditor.h>

namespace {
[[maybe_unused]] const bool tarnScheduleEditorLinked = (tarn::ScheduleEditor::keepLinked(), true);
}  // namespace
