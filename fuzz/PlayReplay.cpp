// play_replay: the fuzz harness without the fuzzer. Plays host scripts on the in-memory backend,
// the Qt widget and the Qt Quick item at once with every invariant checked, and fails on the
// first problem.
//
//   play_replay PATH...             scripts, or folders of *.tsch scripts
//   play_replay --random COUNT      COUNT generated scripts of 40 lines, from seeds 1, 2, ...;
//                                   a failing one is printed whole
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/PlayHarness.h"

namespace {

/// The first problem of a script, or an empty text.
std::string Problem(const std::string& script, bool mustRunToEnd) {
    const tarn::fuzz::PlayOutcome outcome = tarn::fuzz::PlayOnEach(script, true);
    if (outcome.skipped) return "larger than an input of the fuzzer";
    // A generated script runs to its end, unless a listener raises the event too often.
    if (outcome.violation.empty() && mustRunToEnd && !outcome.stop.empty() &&
        outcome.stop.find("raised the event again") == std::string::npos)
        return "the script stopped early: " + outcome.stop;
    return outcome.violation;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const bool generated = arguments.size() == 2 && arguments[0] == "--random";
    if (arguments.empty() || (!generated && arguments[0].starts_with("--"))) {
        std::cerr << "usage: play_replay PATH... | play_replay --random COUNT\n";
        return 2;
    }
    tarn::fuzz::EnsureQtApplication("play_replay");
    int played = 0;
    int failures = 0;
    const auto check = [&](const std::string& name, const std::string& problem) {
        ++played;
        if (problem.empty()) return;
        std::cerr << name << ": " << problem << "\n";
        ++failures;
    };
    if (generated) {
        const int count = std::atoi(arguments[1].c_str());
        for (std::uint64_t seed = 1; seed <= static_cast<std::uint64_t>(count); ++seed) {
            const std::string script = tarn::fuzz::GenerateScript(seed, 40);
            const std::string problem = Problem(script, true);
            check("seed " + std::to_string(seed),
                  problem.empty() || failures >= 3 ? problem : problem + "\nin\n" + script);
        }
    } else {
        for (const std::string& path : arguments) {
            // A script, or a folder's *.tsch scripts in the order of their names.
            std::vector<std::filesystem::path> files{path};
            if (std::filesystem::is_directory(path)) {
                files.clear();
                for (const auto& entry : std::filesystem::directory_iterator(path))
                    if (entry.is_regular_file() && entry.path().extension() == ".tsch")
                        files.push_back(entry.path());
                std::sort(files.begin(), files.end());
            }
            for (const std::filesystem::path& file : files) {
                std::ifstream in(file, std::ios::binary);
                std::ostringstream text;
                text << in.rdbuf();
                check(file.string(), in ? Problem(text.str(), false) : "cannot be read");
            }
        }
    }
    std::cout << "played " << played << " scripts on every backend, " << failures << " failed\n";
    return failures == 0 && played > 0 ? 0 : 1;
}
