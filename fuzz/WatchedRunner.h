// One scripted host on one backend, with the control's invariants checked as it runs: the script
// runner plays the commands, and the host events it receives pass through this watcher first.
// What the watcher checks, after every command and inside every raise of ScheduleUpdated (the
// checks of the block states, the selection and the redraws read the core behind the backend's
// controller):
// - block 96 of every row is never enabled (nor selected);
// - the 64 time properties change only through a host write of a time property, `call Reset`,
//   a whole-day write (on the days it names) or a completed save (cmdEnable / cmdDisable), the
//   listener's own writes included;
// - a save raises ScheduleUpdated exactly once and a refused save (its message box) not at all,
//   counted per listener nesting level; nothing else raises it or shows a refusal;
// - no full redraw starts inside another, and none is left running between commands.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "TarnSchedule/TimeProperties.h"
#include "app/ScriptRunner.h"

namespace tarn {
class Schedule;
}

namespace tarn::fuzz {

class WatchedRunner {
public:
    /// Creates the control through makeControl (Initialize runs). Screenshots are always a line
    /// error, so that nothing under test writes files.
    WatchedRunner(std::string backendName, const app::ControlFactory& makeControl);
    ~WatchedRunner();

    /// Runs one line's command; does nothing once the script has stopped.
    void Run(const app::Command& command);
    /// Runs Terminate; nothing may be printed from then on.
    void Finish();

    /// What was printed since the previous call.
    std::string TakeOutput();
    /// How the script stopped early: its error line as `play` prints it, and the exit status.
    const std::optional<std::string>& Stopped() const { return stopped_; }
    /// The first invariant found broken, with the backend and the line; empty while none is.
    const std::string& Violation() const { return violation_; }
    const std::string& BackendName() const { return backendName_; }

private:
    /// The command running at one nesting level (the script line, or a listener inside a
    /// raise), with what the control told the host at that level.
    struct Frame {
        bool enabledAtStart = false;
        bool maySaveByKey = false;  // a key that saves as the Enable or Disable button does
        int raises = 0;
        int refusals = 0;     // exclamation boxes: a save the rules refused
        int failedSaves = 0;  // "Failed to save selections" boxes
    };

    using TimeValues = std::array<std::int16_t, kTimePropertyCount>;

    void OnMessageBox(std::string_view text, int style, std::string_view title);
    void OnScheduleUpdated();

    void PushFrame(const app::Command* command);
    /// Runs a step outside any line: it may neither raise ScheduleUpdated nor refuse a save.
    void RunQuiet(const std::function<void()>& step, const std::string& what);
    /// Checks what a finished command did; `ran` is false for a listener the runner skipped.
    void AfterCommand(const app::Command& command, const Frame& frame, bool ran);
    void CheckSaveCount(const app::Command& command, const Frame& frame);
    /// Accepts the property writes the command is allowed to make, then compares.
    void CheckProperties(const app::Command& command, bool ran);
    void CheckBlockStates(std::string_view when);
    void CheckRedraws();
    /// The core behind the control's controller, on either backend.
    const Schedule& Core() const;
    TimeValues Current() const;
    void Record(const std::string& what);

    std::string backendName_;
    std::ostringstream out_;
    app::HostEvents runnerEvents_;           // the runner's own handlers, called from ours
    app::HostedControl* control_ = nullptr;  // owned by the runner
    std::unique_ptr<app::ScriptRunner> runner_;

    std::vector<Frame> frames_;
    std::shared_ptr<const app::Command> listener_;  // as the runner holds it
    int listenerDepth_ = 0;
    TimeValues expected_{};  // the time properties as the allowed writes left them
    std::int64_t topLine_ = 0;
    std::optional<std::string> stopped_;
    bool finished_ = false;
    std::string violation_;
};

}  // namespace tarn::fuzz
