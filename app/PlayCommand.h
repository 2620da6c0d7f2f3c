// `tarn-schedule play [--backend qt|memory] [FILE]`: chooses the backend, opens the script and
// plays it.
#pragma once

namespace tarn::app {

/// argv[0] is "play"; returns the exit status.
int RunPlay(int argc, char** argv);

}  // namespace tarn::app
