#include "fuzz/PlayHarness.h"

#include <QApplication>
#include <QtGlobal>
#include <variant>

#include "app/HostedControl.h"
#include "app/ScriptParser.h"
#include "app/ToolkitMessages.h"
#include "fuzz/WatchedRunner.h"
#include "storage/Echo.h"

namespace tarn::fuzz {

namespace {

/// Whether a command is left out of the run (on both backends alike): import and export work on
/// files, which nothing under test may touch.
bool LeftOut(const app::Command& command) {
    if (const auto* on = std::get_if<app::script::On>(&command.action))
        return on->command && LeftOut(*on->command);
    return std::holds_alternative<app::script::Import>(command.action) ||
           std::holds_alternative<app::script::Export>(command.action);
}

/// Quotes a line for a message, with control characters escaped.
std::string Shown(std::string_view line) {
    return "`" + storage::Echoed(line, storage::kWholeText) + "`";
}

std::string Ending(const std::optional<ScriptStop>& stop) {
    if (!stop) return "went on";
    return "stopped with status " + std::to_string(stop->exitStatus) +
           " and \"play: " + stop->message + "\"";
}

}  // namespace

PlayOutcome PlayOnBoth(std::string_view script, const Backend& first, const Backend& second,
                       const PlayLimits& limits) {
    PlayOutcome outcome;
    if (script.size() > limits.maxBytes) {
        outcome.skipped = true;
        return outcome;
    }
    WatchedRunner a(first.name, first.makeControl);
    WatchedRunner b(second.name, second.makeControl);
    const auto violation = [&]() -> std::string {
        if (!a.Violation().empty()) return a.Violation();
        return b.Violation();
    };

    std::size_t start = 0;
    while (start < script.size() && outcome.lines < limits.maxLines) {
        // Lines as std::getline reads them: a last line without its newline still counts.
        std::size_t end = script.find('\n', start);
        if (end == std::string_view::npos) end = script.size();
        const std::string_view line = script.substr(start, end - start);
        start = end + 1;
        const int number = ++outcome.lines;

        std::optional<app::Command> command;
        try {
            command = app::ParseLine(line, number);
        } catch (const app::ScriptLineError& error) {
            if (!limits.skipWrongLines) {
                const ScriptStop stop{2, "line " + std::to_string(number) + ": " + error.what()};
                a.Stop(stop);
                b.Stop(stop);
            }
        }
        if (command && !LeftOut(*command)) {
            a.Run(*command);
            b.Run(*command);
        }

        const std::string printedA = a.TakeOutput();
        const std::string printedB = b.TakeOutput();
        outcome.transcript += printedA;
        if (outcome.violation.empty()) outcome.violation = violation();
        if (outcome.violation.empty() && a.Stopped() != b.Stopped())
            outcome.violation = "line " + std::to_string(number) + " " + Shown(line) + ": " +
                                a.BackendName() + " " + Ending(a.Stopped()) + ", " +
                                b.BackendName() + " " + Ending(b.Stopped());
        if (outcome.violation.empty() && printedA != printedB)
            outcome.violation = "line " + std::to_string(number) + " " + Shown(line) + ": " +
                                a.BackendName() + " printed\n" + printedA + "--- and " +
                                b.BackendName() + " printed\n" + printedB + "---";
        if (a.Stopped() || b.Stopped()) break;
    }
    if (a.Stopped()) outcome.transcript += "play: " + a.Stopped()->message + "\n";

    a.Finish();
    b.Finish();
    if (outcome.violation.empty()) outcome.violation = violation();
    return outcome;
}

Backend MemoryBackend() {
    return Backend{"memory", app::MakeMemoryControl};
}

Backend QtBackend() {
    return Backend{"qt", app::MakeQtControl};
}

void EnsureQtApplication(const char* programName) {
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app::InstallToolkitMessageHandler(programName);
    static int argc = 1;
    static char name[64] = {};
    qstrncpy(name, programName, sizeof name);
    static char* argv[] = {name, nullptr};
    // Lives until the process ends: Qt allows one application object per process.
    new QApplication(argc, argv);
}

}  // namespace tarn::fuzz
