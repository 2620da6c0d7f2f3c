// Plays one host script on two backends at once, line by line, and reports the first thing that
// is wrong: an invariant of the control broken on either backend (see WatchedRunner), or the two
// backends printing differently for the same line (output, exit status or error message).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "app/ScriptRunner.h"

namespace tarn::fuzz {

struct Backend {
    std::string name;
    app::ControlFactory makeControl;
};

/// Bounds on the work of one input; anything beyond is not played.
struct PlayLimits {
    std::size_t maxBytes = 8192;
    int maxLines = 200;
    /// A line that does not parse stops a script, as `play` does, or is passed over. Parsing is
    /// the same for both backends, so passing over loses nothing to compare and lets a mutated
    /// input reach the lines after its broken one.
    bool skipWrongLines = true;
};

struct PlayOutcome {
    /// What went wrong first; empty when nothing did.
    std::string violation;
    /// What the first backend printed, with its error line, as `tarn-schedule play` would show.
    std::string transcript;
    /// Lines read (up to the limit or the line that stopped the script).
    int lines = 0;
    bool skipped = false;  // the input is larger than the limit and was not played
};

/// Plays `script` on both backends through ScriptRunner with every invariant checked.
PlayOutcome PlayOnBoth(std::string_view script, const Backend& first, const Backend& second,
                       const PlayLimits& limits = {});

/// The in-memory backend and the Qt widget on the off-screen platform (the QApplication must
/// exist: see EnsureQtApplication).
Backend MemoryBackend();
Backend QtBackend();

/// Creates the process's one QApplication on the off-screen platform (unless QT_QPA_PLATFORM
/// names another) with the toolkit's notes and warnings kept out of the output.
void EnsureQtApplication(const char* programName);

}  // namespace tarn::fuzz
