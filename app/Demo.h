// The interactive demonstration of the control in a real window: `tarn-schedule demo`. It exists
// only when the program is built with the Qt widget (TARN_HAVE_QT).
#pragma once

namespace tarn::app {

/// Runs the demo window until it is closed and returns the exit status: 0 when it ran, 1 when the
/// Qt platform could not start or the screenshot could not be written, 2 when the command line is
/// wrong (refused before the toolkit starts). argv[0] is "demo"; every other argument is the
/// demo's own (the toolkit takes its settings from the environment, e.g. QT_QPA_PLATFORM).
int RunDemo(int argc, char** argv);

}  // namespace tarn::app
