// Running host scripts against one hosted control: each command acts as the host, the window
// system or the user would, and prints what a host observes. Message boxes, pauses and raises of
// ScheduleUpdated are printed as they happen, in order with the commands' own output.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/HostedControl.h"
#include "app/ScriptCommand.h"
#include "app/ScriptFile.h"
#include "app/ScriptParser.h"

namespace tarn::app {

/// Why a script stops: exit status 2 for a wrong line, 1 for a file that could not be read or
/// written.
/// what() is the message without the "play: " prefix.
class ScriptFailure : public std::runtime_error {
public:
    ScriptFailure(int exitStatus, const std::string& message)
        : std::runtime_error(message), exitStatus_(exitStatus) {}
    int ExitStatus() const { return exitStatus_; }

private:
    int exitStatus_;
};

using ControlFactory = std::function<std::unique_ptr<HostedControl>(HostEvents)>;

class ScriptRunner {
public:
    /// Creates the control through makeControl (Initialize runs there). Screenshots are a line
    /// error unless the backend can take them.
    ScriptRunner(std::ostream& out, const ControlFactory& makeControl, bool screenshots);
    /// Runs Terminate if Finish has not.
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    /// Runs one command of the script; throws ScriptFailure. After a failure the runner prints
    /// nothing more and only Finish is useful.
    void Run(const Command& command);
    /// Runs Terminate; nothing is printed from then on.
    void Finish();

    /// Listeners of ScheduleUpdated that raise it again nest at most this deep.
    static constexpr int kMaxListenerDepth = app::kMaxListenerDepth;

private:
    void Execute(const Command& command);
    void CheckSupported(const Command& command) const;
    [[noreturn]] void Fail(const Command& command, int exitStatus, const std::string& what) const;

    void Do(const Command& command, const script::Set& set);
    void Do(const Command& command, const script::Get& get);
    void Do(const Command& command, const script::Call& call);
    void Do(const Command& command, const script::PrintSchedule&);
    void Do(const Command& command, const script::On& on);
    void Do(const Command& command, const script::Resize& resize);
    void Do(const Command& command, const script::Paint&);
    void Do(const Command& command, const script::Tick&);
    void Do(const Command& command, const script::Press& press);
    void Do(const Command& command, const script::Move& move);
    void Do(const Command& command, const script::Release& release);
    void Do(const Command& command, const script::Click& click);
    void Do(const Command& command, const script::State& state);
    void Do(const Command& command, const script::Marks& marks);
    void Do(const Command& command, const script::Row& row);
    void Do(const Command& command, const script::Buttons&);
    void Do(const Command& command, const script::Bars&);
    void Do(const Command& command, const script::Labels&);
    void Do(const Command& command, const script::Redraws&);
    void Do(const Command& command, const script::Screenshot& screenshot);
    void Do(const Command& command, const script::Day& day);
    void Do(const Command& command, const script::SetDay& setDay);
    void Do(const Command& command, const script::CopyDay& copy);
    void Do(const Command& command, const script::Import& import);
    void Do(const Command& command, const script::Export& exportCommand);
    void Do(const Command& command, const script::Focus& focus);
    void Do(const Command& command, const script::KeyPress& key);
    void Do(const Command& command, const script::Focused&);
    void Do(const Command& command, const script::Hint&);
    void Do(const Command& command, const script::Accessible& accessible);

    /// Prints `refused "MESSAGE"` for a refused call.
    void PrintRefusal(const std::optional<std::string>& refusal);

    void PrintBlocks(int bar, int band);

    // What the control tells its host.
    void OnMessageBox(std::string_view text, int style, std::string_view title);
    void OnSleep(int milliseconds);
    void OnScheduleUpdated();

    std::ostream& out_;
    bool screenshots_;
    std::unique_ptr<HostedControl> control_;
    std::shared_ptr<const Command> listener_;
    std::uint64_t redrawsSeen_ = 0;
    int listenerDepth_ = 0;
    std::int64_t topLine_ = 0;  // the script line being run, for messages from inside a listener
    bool silent_ = false;
    std::optional<ScriptFailure> failure_;  // raised inside a listener, reported after the line
};

/// Reads a script line by line, parsing and running each in turn. Prints the script's output on
/// out and a failure as "play: line N: WHAT" on err; returns the exit status (0, 1 or 2). A
/// stream that goes bad stops the script with status 1: the lines after a read error are not
/// known, and output that cannot be written is lost.
int PlayScript(std::istream& in, std::ostream& out, std::ostream& err,
               const ControlFactory& makeControl, bool screenshots);

/// The same, reading the script from `input` and printing on `output`: a read or write error is
/// reported with its reason ("play: cannot read standard input: Is a directory"), after
/// everything printed before it. A line cut short by a read error is not run.
int PlayScript(FileBuffer& input, FileBuffer& output, std::ostream& err,
               const ControlFactory& makeControl, bool screenshots);

}  // namespace tarn::app
