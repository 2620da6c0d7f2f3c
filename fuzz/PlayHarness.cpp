#include "fuzz/PlayHarness.h"

#include <QApplication>
#include <QtGlobal>
#include <algorithm>
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

}  // namespace

PlayOutcome PlayOnBoth(std::string_view script) {
    PlayOutcome outcome;
    if (script.size() > kMaxBytes) {
        outcome.skipped = true;
        return outcome;
    }
    WatchedRunner a("memory", app::MakeMemoryControl);
    WatchedRunner b("qt", app::MakeQtControl);
    const auto report = [&](int number, std::string_view line, const std::string& what) {
        if (outcome.violation.empty() && !what.empty())
            outcome.violation = "line " + std::to_string(number) + " `" +
                                storage::Echoed(line, storage::kWholeText) + "`: " + what;
    };

    std::size_t start = 0;
    for (int number = 1; start < script.size() && number <= kMaxLines && !a.Stopped(); ++number) {
        // Lines as std::getline reads them: a last line without its newline still counts.
        const std::size_t end = std::min(script.find('\n', start), script.size());
        const std::string_view line = script.substr(start, end - start);
        start = end + 1;
        std::optional<app::Command> command;
        try {
            command = app::ParseLine(line, number);
        } catch (const app::ScriptLineError&) {
        }
        if (command && !LeftOut(*command)) {
            a.Run(*command);
            b.Run(*command);
        }
        // What each printed, with the error line and exit status once it has stopped.
        const std::string printedA = a.TakeOutput() + a.Stopped().value_or("");
        const std::string printedB = b.TakeOutput() + b.Stopped().value_or("");
        report(number, line, a.Violation().empty() ? b.Violation() : a.Violation());
        if (printedA != printedB)
            report(number, line,
                   a.BackendName() + " printed\n" + printedA + "--- and " + b.BackendName() +
                       " printed\n" + printedB + "---");
    }
    outcome.stop = a.Stopped().value_or("");
    a.Finish();
    b.Finish();
    if (outcome.violation.empty())
        outcome.violation = a.Violation().empty() ? b.Violation() : a.Violation();
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
