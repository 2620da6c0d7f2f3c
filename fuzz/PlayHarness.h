// Plays one host script on several backends at once, line by line, and reports the first thing
// that is wrong: an invariant of the control broken on any backend (see WatchedRunner), or a
// backend printing differently from the in-memory one for the same line (output, exit status or
// error message).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarn::fuzz {

/// Bounds on the work of one input: a larger one is not played, lines past the last are not.
constexpr std::size_t kMaxBytes = 8192;
constexpr int kMaxLines = 200;

struct PlayOutcome {
    /// What went wrong first; empty when nothing did.
    std::string violation;
    /// The error message of the first backend when the script stopped early.
    std::string stop;
    bool skipped = false;  // the input is larger than the limit and was not played
};

/// Plays `script` on the in-memory backend, the Qt widget and, with withQuick in a build that has
/// it, the Qt Quick item (the QApplication must exist: see EnsureQtApplication) through
/// ScriptRunner with every invariant checked. A line that does not parse is passed over: parsing
/// is the same for every backend, so this loses nothing to compare and lets a mutated input reach
/// the lines after its broken one.
PlayOutcome PlayOnEach(std::string_view script, bool withQuick);

/// Creates the process's one QApplication on the off-screen platform (unless QT_QPA_PLATFORM
/// names another) with the toolkit's notes and warnings kept out of the output; the name must
/// live as long as the process.
void EnsureQtApplication(const char* programName);

/// A random well-formed script of `lines` lines drawn from `seed` (always the same for a seed):
/// every line parses, and the lines reach far into the control (drags across bars, saves,
/// listeners, resizes to odd and unchanged sizes, the Special day switched off and on).
std::string GenerateScript(std::uint64_t seed, int lines);

}  // namespace tarn::fuzz
