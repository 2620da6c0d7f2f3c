// The interactive demonstration of the control in a real window: `tarn-schedule demo`. It exists
// only when the program is built with the Qt widget (TARN_HAVE_QT).
#pragma once

namespace tarn::app {

/// Runs the demo window until it is closed and returns the exit status. argv[0] is "demo"; the
/// rest are the demo's own arguments (and the toolkit's, which it may read from them).
int RunDemo(int argc, char** argv);

}  // namespace tarn::app
