#include "fuzz/PlayHarness.h"

#include <QApplication>
#include <QtGlobal>
#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "app/HostedControl.h"
#include "app/ScriptParser.h"
#include "app/ToolkitMessages.h"
#include "fuzz/WatchedRunner.h"
#include "storage/Echo.h"

namespace tarn::fuzz {

namespace {

/// Whether a command is left out of the run (on every backend alike): import and export work on
/// files, which nothing under test may touch.
bool LeftOut(const app::Command& command) {
    if (const auto* on = std::get_if<app::script::On>(&command.action))
        return on->command && LeftOut(*on->command);
    return std::holds_alternative<app::script::Import>(command.action) ||
           std::holds_alternative<app::script::Export>(command.action);
}

struct Line {
    int number = 0;
    std::string_view text;
    std::optional<app::Command> command;  // none for a line passed over
};

/// The script's lines as std::getline reads them (a last line without its newline still counts),
/// up to the last one played.
std::vector<Line> Lines(std::string_view script) {
    std::vector<Line> lines;
    std::size_t start = 0;
    for (int number = 1; start < script.size() && number <= kMaxLines; ++number) {
        const std::size_t end = std::min(script.find('\n', start), script.size());
        Line& line = lines.emplace_back();
        line.number = number;
        line.text = script.substr(start, end - start);
        start = end + 1;
        try {
            line.command = app::ParseLine(line.text, number);
        } catch (const app::ScriptLineError&) {
        }
        if (line.command && LeftOut(*line.command)) line.command.reset();
    }
    return lines;
}

using Runners = std::vector<std::unique_ptr<WatchedRunner>>;

/// Plays lines on runners side by side until the first runner stops (or, against a reference,
/// past its last line), and reports in outcome what goes wrong first: a broken invariant, or a
/// runner printing for a line (output, then the error line and exit status once it has stopped)
/// other than what the in-memory backend printed for it. reference holds that, a text a line;
/// when empty, the first runner is the in-memory one and fills it in.
void PlayTogether(const std::vector<Line>& lines, const Runners& runners,
                  std::vector<std::string>& reference, PlayOutcome& outcome) {
    const bool recording = reference.empty();
    const auto violation = [&] {
        for (const auto& runner : runners)
            if (!runner->Violation().empty()) return runner->Violation();
        return std::string();
    };
    const auto report = [&](const Line& line, const std::string& what) {
        if (outcome.violation.empty() && !what.empty())
            outcome.violation = "line " + std::to_string(line.number) + " `" +
                                storage::Echoed(line.text, storage::kWholeText) + "`: " + what;
    };
    WatchedRunner& first = *runners.front();
    const std::size_t count = recording ? lines.size() : reference.size();
    for (std::size_t index = 0; index < count && !first.Stopped(); ++index) {
        const Line& line = lines[index];
        if (line.command)
            for (const auto& runner : runners)
                runner->Run(*line.command);
        report(line, violation());
        for (std::size_t i = 0; i < runners.size(); ++i) {
            const std::string printed =
                runners[i]->TakeOutput() + runners[i]->Stopped().value_or("");
            if (recording && i == 0) {
                reference.push_back(printed);
                continue;
            }
            if (printed != reference[index])
                report(line, "memory printed\n" + reference[index] + "--- and " +
                                 runners[i]->BackendName() + " printed\n" + printed + "---");
        }
    }
    for (const auto& runner : runners)
        runner->Finish();
    if (outcome.violation.empty()) outcome.violation = violation();
}

}  // namespace

PlayOutcome PlayOnEach(std::string_view script, bool withQuick) {
    PlayOutcome outcome;
    if (script.size() > kMaxBytes) {
        outcome.skipped = true;
        return outcome;
    }
    const std::vector<Line> lines = Lines(script);
    std::vector<std::string> reference;
    {
        Runners runners;
        runners.push_back(std::make_unique<WatchedRunner>("memory", app::MakeMemoryControl));
        runners.push_back(std::make_unique<WatchedRunner>("qt", app::MakeQtControl));
        PlayTogether(lines, runners, reference, outcome);
        outcome.stop = runners.front()->Stopped().value_or("");
    }
#ifdef TARN_HAVE_QUICK
    // On its own: the keyboard focus is only in the active window, and a process has one.
    if (withQuick) {
        Runners runners;
        runners.push_back(std::make_unique<WatchedRunner>("quick", app::MakeQuickControl));
        PlayTogether(lines, runners, reference, outcome);
    }
#else
    (void)withQuick;
#endif
    return outcome;
}

void EnsureQtApplication(const char* programName) {
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app::InstallToolkitMessageHandler(programName);
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(programName), nullptr};
    // Lives until the process ends: Qt allows one application object per process.
    new QApplication(argc, argv);
}

}  // namespace tarn::fuzz
