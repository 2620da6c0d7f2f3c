// play_replay: the fuzz harness without the fuzzer. Plays host scripts on the in-memory backend
// and the Qt widget at once with every invariant checked, and fails on the first problem.
//
//   play_replay PATH...                       scripts, or folders of *.tsch scripts
//   play_replay --random COUNT [--seed S] [--lines N]
//                                             COUNT generated scripts from seeds S, S+1, ...
//   play_replay --print SEED [--lines N]      prints the generated script of one seed
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/PlayHarness.h"
#include "fuzz/ScriptGenerator.h"

namespace {

using tarn::fuzz::PlayOutcome;

constexpr int kDefaultLines = 40;
constexpr int kFailuresShown = 3;

int Usage() {
    std::cerr << "usage: play_replay PATH...\n"
                 "       play_replay --random COUNT [--seed S] [--lines N]\n"
                 "       play_replay --print SEED [--lines N]\n";
    return 2;
}

PlayOutcome Play(const std::string& script) {
    static const tarn::fuzz::Backend memory = tarn::fuzz::MemoryBackend();
    static const tarn::fuzz::Backend qt = tarn::fuzz::QtBackend();
    // Replays have no size limit beyond the fuzzer's: what it found must replay the same.
    return tarn::fuzz::PlayOnBoth(script, memory, qt);
}

std::vector<std::filesystem::path> Scripts(const std::vector<std::string>& paths) {
    std::vector<std::filesystem::path> scripts;
    for (const std::string& path : paths) {
        if (!std::filesystem::is_directory(path)) {
            scripts.emplace_back(path);
            continue;
        }
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::directory_iterator(path))
            if (entry.is_regular_file() && entry.path().extension() == ".tsch")
                found.push_back(entry.path());
        std::sort(found.begin(), found.end());
        scripts.insert(scripts.end(), found.begin(), found.end());
    }
    return scripts;
}

int ReplayFiles(const std::vector<std::string>& paths) {
    int failures = 0;
    int played = 0;
    for (const std::filesystem::path& file : Scripts(paths)) {
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::cerr << "play_replay: cannot read " << file.string() << '\n';
            ++failures;
            continue;
        }
        std::ostringstream text;
        text << in.rdbuf();
        const PlayOutcome outcome = Play(text.str());
        ++played;
        if (outcome.skipped) {
            std::cerr << file.string() << ": larger than an input of the fuzzer\n";
            ++failures;
        } else if (!outcome.violation.empty()) {
            std::cerr << file.string() << ": " << outcome.violation << "\n";
            ++failures;
        }
    }
    std::cout << "played " << played << " scripts on both backends, " << failures << " failed\n";
    return failures == 0 && played > 0 ? 0 : 1;
}

int ReplayGenerated(std::uint64_t firstSeed, int count, int lines) {
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        const std::uint64_t seed = firstSeed + static_cast<std::uint64_t>(i);
        const std::string script = tarn::fuzz::GenerateScript(seed, lines);
        const PlayOutcome outcome = Play(script);
        // A generated script runs to its end, unless a listener raises the event too often.
        const std::size_t stop = outcome.transcript.find("play: ");
        std::string text = outcome.violation;
        if (text.empty() && stop != std::string::npos &&
            outcome.transcript.find("raised the event again", stop) == std::string::npos)
            text = "the script stopped early: " + outcome.transcript.substr(stop);
        if (text.empty()) continue;
        // The first few in full, the others by their first line.
        std::cerr << "seed " << seed << " (play_replay --print " << seed << " --lines " << lines
                  << "): "
                  << (++failures <= kFailuresShown ? text : text.substr(0, text.find('\n')))
                  << "\n";
    }
    std::cout << "played " << count << " generated scripts of " << lines
              << " lines on both backends, " << failures << " failed\n";
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty()) return Usage();
    int lines = kDefaultLines;
    std::uint64_t seed = 1;
    int count = -1;
    bool print = false;
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if ((argument == "--random" || argument == "--print" || argument == "--seed" ||
             argument == "--lines") &&
            !hasValue)
            return Usage();
        try {
            if (argument == "--random") {
                count = std::stoi(arguments[++i]);
            } else if (argument == "--print") {
                print = true;
                seed = std::stoull(arguments[++i]);
            } else if (argument == "--seed") {
                seed = std::stoull(arguments[++i]);
            } else if (argument == "--lines") {
                lines = std::stoi(arguments[++i]);
            } else if (argument.starts_with("--")) {
                return Usage();
            } else {
                paths.push_back(argument);
            }
        } catch (const std::exception&) {
            return Usage();
        }
    }
    if (print) {
        std::cout << tarn::fuzz::GenerateScript(seed, lines);
        return 0;
    }
    tarn::fuzz::EnsureQtApplication("play_replay");
    if (count >= 0) return paths.empty() ? ReplayGenerated(seed, count, lines) : Usage();
    return paths.empty() ? Usage() : ReplayFiles(paths);
}
