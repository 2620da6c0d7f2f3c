#include "fuzz/WatchedRunner.h"

#include <algorithm>
#include <functional>
#include <utility>
#include <variant>

#include "controller/CoreAccess.h"
#include "core/Schedule.h"
#include "platform/Host.h"

namespace tarn::fuzz {

namespace {

/// The command's line, for the messages of broken invariants.
std::string Describe(const app::Command& command) {
    return "line " + std::to_string(command.line);
}

bool IsSave(const app::Command& command) {
    const auto* click = std::get_if<app::script::Click>(&command.action);
    return click && (click->widget == 8 || click->widget == 9);
}

/// Whether a key, pressed with `focus` having the focus, may save: Space on the Enable or Disable
/// button, or on a bar the keys that stand for them.
bool MaySaveByKey(const app::Command& command, std::optional<app::FocusWidget> focus) {
    const auto* key = std::get_if<app::script::KeyPress>(&command.action);
    if (!key || !focus) return false;
    if (focus->kind == app::FocusWidget::Kind::Button)
        return focus->index >= 8 && key->key == Key::Space;
    return key->key == Key::Return || key->key == Key::Enter || key->key == Key::Delete ||
           key->key == Key::Backspace;
}

}  // namespace

WatchedRunner::WatchedRunner(std::string backendName, const app::ControlFactory& makeControl)
    : backendName_(std::move(backendName)) {
    const app::ControlFactory watched = [&](app::HostEvents events) {
        runnerEvents_ = std::move(events);
        app::HostEvents ours;
        ours.messageBox = [this](std::string_view text, int style, std::string_view title) {
            OnMessageBox(text, style, title);
        };
        ours.sleep = runnerEvents_.sleep;
        ours.scheduleUpdated = [this] { OnScheduleUpdated(); };
        std::unique_ptr<app::HostedControl> control = makeControl(std::move(ours));
        control_ = control.get();
        return control;
    };
    // Creation is a level of its own: Initialize must neither raise nor refuse anything.
    RunQuiet([&] { runner_ = std::make_unique<app::ScriptRunner>(out_, watched, false); },
             "creating the control");
    expected_ = Current();
    CheckBlockStates("after creation");
    CheckRedraws();
}

WatchedRunner::~WatchedRunner() {
    Finish();
}

void WatchedRunner::Finish() {
    if (finished_) return;
    finished_ = true;
    const std::streamoff printedBefore = out_.tellp();
    RunQuiet([&] { runner_->Finish(); }, "Terminate");
    if (out_.tellp() != printedBefore) Record("something was printed after the end");
}

void WatchedRunner::RunQuiet(const std::function<void()>& step, const std::string& what) {
    PushFrame(nullptr);
    step();
    const Frame frame = frames_.back();
    frames_.pop_back();
    if (frame.raises != 0 || frame.refusals != 0)
        Record(what + " raised ScheduleUpdated or showed a refusal");
}

void WatchedRunner::Run(const app::Command& command) {
    if (stopped_ || finished_) return;
    topLine_ = command.line;
    PushFrame(&command);
    bool ran = true;
    try {
        runner_->Run(command);
    } catch (const app::ScriptFailure& failure) {
        stopped_ = "play: " + std::string(failure.what()) + "\n(exit status " +
                   std::to_string(failure.ExitStatus()) + ")\n";
        // A listener that failed leaves the line itself run; an `on` line that failed set
        // nothing.
        ran = !std::holds_alternative<app::script::On>(command.action);
    }
    const Frame frame = frames_.back();
    frames_.pop_back();
    AfterCommand(command, frame, ran);
    CheckRedraws();
}

std::string WatchedRunner::TakeOutput() {
    std::string text = out_.str();
    out_.str({});
    out_.clear();
    return text;
}

// What the control tells its host, seen before the runner prints it.

void WatchedRunner::OnMessageBox(std::string_view text, int style, std::string_view title) {
    if (!frames_.empty()) {
        if (style == platform::kStyleExclamation) ++frames_.back().refusals;
        if (style == platform::kStyleCritical && text.starts_with("Failed to save selections"))
            ++frames_.back().failedSaves;
    }
    if (runnerEvents_.messageBox) runnerEvents_.messageBox(text, style, title);
}

void WatchedRunner::OnScheduleUpdated() {
    if (frames_.empty())
        Record("ScheduleUpdated was raised outside any command");
    else
        ++frames_.back().raises;
    CheckBlockStates("inside a raise of ScheduleUpdated");

    // The save that raises has just written one day's properties: accept them.
    const TimeValues now = Current();
    int daysWritten = 0;
    for (int i = 0; i < kTimePropertyCount; i += 8)
        daysWritten += std::equal(&now[i], &now[i] + 8, &expected_[i]) ? 0 : 1;
    if (daysWritten > 1)
        Record("a save changed the properties of " + std::to_string(daysWritten) + " days");
    expected_ = now;

    // The runner runs its listener inside the raise unless the script has already failed or the
    // listeners nest too deep; it prints the event line first whenever it is still printing.
    const std::shared_ptr<const app::Command> listener = listener_;
    const bool mayRun = listener && listenerDepth_ < app::ScriptRunner::kMaxListenerDepth;
    const std::streamoff mark = out_.tellp();
    if (mayRun) {
        PushFrame(listener.get());
        ++listenerDepth_;
    }
    if (runnerEvents_.scheduleUpdated) runnerEvents_.scheduleUpdated();
    if (!mayRun) return;
    --listenerDepth_;
    const Frame frame = frames_.back();
    frames_.pop_back();
    const std::string printed = out_.str().substr(static_cast<std::size_t>(mark));
    AfterCommand(*listener, frame, printed.starts_with("event ScheduleUpdated\n"));
}

// The checks.

void WatchedRunner::PushFrame(const app::Command* command) {
    Frame frame;
    frame.enabledAtStart = control_ ? control_->Enable() : false;
    frame.maySaveByKey = command && control_ && MaySaveByKey(*command, control_->FocusedWidget());
    frames_.push_back(frame);
}

void WatchedRunner::AfterCommand(const app::Command& command, const Frame& frame, bool ran) {
    CheckSaveCount(command, frame);
    CheckProperties(command, ran);
    // The redraw after a click of Enable or Disable wipes every mark: nothing may stay selected.
    const ScheduleState& state = Core().State();
    if (IsSave(command) && frame.enabledAtStart && ran &&
        (state.SelectionDay >= 0 ||
         std::ranges::any_of(state.SelectionBlocks, [](bool b) { return b; })))
        Record(Describe(command) + " left a selection held that the screen no longer shows");
    if (ran)
        if (const auto* on = std::get_if<app::script::On>(&command.action)) listener_ = on->command;
    CheckBlockStates("after " + Describe(command));
}

void WatchedRunner::CheckSaveCount(const app::Command& command, const Frame& frame) {
    const std::string counts = " (raised " + std::to_string(frame.raises) + ", refused " +
                               std::to_string(frame.refusals) + ", failed " +
                               std::to_string(frame.failedSaves) + ")";
    const int outcomes = frame.raises + frame.refusals + (frame.failedSaves > 0 ? 1 : 0);
    if (frame.maySaveByKey) {
        // A bar in the middle of a drag ignores its keys; otherwise the key saves as a click.
        if (outcomes > 1)
            Record(Describe(command) + " must raise ScheduleUpdated at most once" + counts);
        return;
    }
    if (!IsSave(command)) {
        if (frame.raises != 0 || frame.refusals != 0)
            Record(Describe(command) + " saves nothing but raised or refused" + counts);
        return;
    }
    // A disabled button cannot be clicked: nothing at all happens.
    if (frame.enabledAtStart ? outcomes != 1 || frame.raises > 1 : outcomes != 0)
        Record(Describe(command) + " must raise ScheduleUpdated once or be refused once" + counts);
}

void WatchedRunner::CheckProperties(const app::Command& command, bool ran) {
    if (ran) {
        if (const auto* set = std::get_if<app::script::Set>(&command.action);
            set && set->property.kind == app::PropertyName::Kind::Time)
            expected_[set->property.timeIndex] = std::get<std::int16_t>(set->value);
        if (const auto* call = std::get_if<app::script::Call>(&command.action);
            call && call->method == app::script::Call::Method::Reset)
            expected_.fill(0);
        // A whole-day write replaces the days it names, and only those: what it stores there
        // is read back by the examples.
        const TimeValues now = Current();
        const auto accept = [&](int day) {
            std::copy_n(now.begin() + day * 8, 8, expected_.begin() + day * 8);
        };
        if (const auto* setDay = std::get_if<app::script::SetDay>(&command.action))
            accept(setDay->day);
        if (const auto* copy = std::get_if<app::script::CopyDay>(&command.action))
            std::for_each(copy->to.begin(), copy->to.end(), accept);
    }
    const TimeValues now = Current();
    for (int i = 0; i < kTimePropertyCount; ++i) {
        if (now[i] == expected_[i]) continue;
        Record(TimePropertyName(i) + " changed from " + std::to_string(expected_[i]) + " to " +
               std::to_string(now[i]) + " by " + Describe(command) +
               ", which is no host write, Reset or completed save");
        expected_ = now;  // one report per change
        return;
    }
}

void WatchedRunner::CheckBlockStates(std::string_view when) {
    const ScheduleState& state = Core().State();
    for (int day = 0; day < static_cast<int>(state.BlockEnabled.size()); ++day)
        if (state.BlockEnabled[day][kBlocksPerDay])
            Record("block 96 of row " + std::to_string(day) + " is enabled " + std::string(when));
    for (std::size_t b = kBlocksPerDay; b < state.SelectionBlocks.size(); ++b)
        if (state.SelectionBlocks[b])
            Record("block " + std::to_string(b) + " is selected " + std::string(when));
}

void WatchedRunner::CheckRedraws() {
    const Schedule& control = Core();
    if (control.DeepestRedrawDepth() > 1)
        Record("a full redraw started inside another (depth " +
               std::to_string(control.DeepestRedrawDepth()) + ")");
    if (control.RedrawDepth() != 0) Record("a full redraw is still running between commands");
}

const Schedule& WatchedRunner::Core() const {
    return qt::CoreOf(control_->Controller());
}

WatchedRunner::TimeValues WatchedRunner::Current() const {
    TimeValues values{};
    for (int i = 0; i < kTimePropertyCount; ++i)
        values[i] = control_->TimeValue(i);
    return values;
}

void WatchedRunner::Record(const std::string& what) {
    if (!violation_.empty()) return;
    violation_ = backendName_ + ", line " + std::to_string(topLine_) + ": " + what;
}

}  // namespace tarn::fuzz
