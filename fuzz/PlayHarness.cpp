#include "fuzz/PlayHarness.h"

#include <QApplication>
#include <QtGlobal>
#include <type_traits>
#include <variant>

#include "app/HostedControl.h"
#include "app/ScriptParser.h"
#include "app/ToolkitMessages.h"
#include "fuzz/WatchedRunner.h"

namespace tarn::fuzz {

namespace {

template <typename Action>
constexpr bool kKnown = false;
#define TARN_KNOWN_COMMAND(Action) \
    template <>                    \
    constexpr bool kKnown<app::script::Action> = true;
TARN_KNOWN_COMMAND(Set)
TARN_KNOWN_COMMAND(Get)
TARN_KNOWN_COMMAND(Call)
TARN_KNOWN_COMMAND(PrintSchedule)
TARN_KNOWN_COMMAND(On)
TARN_KNOWN_COMMAND(Resize)
TARN_KNOWN_COMMAND(Paint)
TARN_KNOWN_COMMAND(Tick)
TARN_KNOWN_COMMAND(Press)
TARN_KNOWN_COMMAND(Move)
TARN_KNOWN_COMMAND(Release)
TARN_KNOWN_COMMAND(Click)
TARN_KNOWN_COMMAND(State)
TARN_KNOWN_COMMAND(Marks)
TARN_KNOWN_COMMAND(Row)
TARN_KNOWN_COMMAND(Buttons)
TARN_KNOWN_COMMAND(Bars)
TARN_KNOWN_COMMAND(Labels)
TARN_KNOWN_COMMAND(Redraws)
TARN_KNOWN_COMMAND(Screenshot)
TARN_KNOWN_COMMAND(Day)
TARN_KNOWN_COMMAND(SetDay)
TARN_KNOWN_COMMAND(CopyDay)
TARN_KNOWN_COMMAND(Focus)
TARN_KNOWN_COMMAND(KeyPress)
TARN_KNOWN_COMMAND(Focused)
TARN_KNOWN_COMMAND(Hint)
TARN_KNOWN_COMMAND(Accessible)
#undef TARN_KNOWN_COMMAND

/// Whether a command is left out of the run (on both backends alike).
bool LeftOut(const app::Command& command) {
    if (const auto* on = std::get_if<app::script::On>(&command.action))
        return on->command && LeftOut(*on->command);
    // Commands the watcher does not know (added to the script language later) may write
    // properties or files in ways it cannot account for: they are left out until it does.
    // import and export work on files, which nothing under test may touch.
    return std::visit([](const auto& action) { return !kKnown<std::decay_t<decltype(action)>>; },
                      command.action);
}

/// Quotes a line for a message, control characters shown as \xNN.
std::string Shown(std::string_view line) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string shown = "`";
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7f) {
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 15];
        } else {
            shown += c;
        }
    }
    return shown + "`";
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
