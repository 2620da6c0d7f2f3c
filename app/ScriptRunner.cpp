#include "app/ScriptRunner.h"

#include <algorithm>
#include <cmath>
#include <istream>
#include <ostream>
#include <string>
#include <utility>
#include <variant>

#include "TarnSchedule/TimeProperties.h"
#include "app/BarReading.h"
#include "app/ScriptParser.h"
#include "platform/DesignData.h"
#include "render/BlockGeometry.h"
#include "storage/Echo.h"
#include "storage/SafeFile.h"
#include "storage/WeekJson.h"

namespace tarn::app {

namespace {

const char* BooleanText(bool value) {
    return value ? "True" : "False";
}

BarView BarAt(HostedControl& control, int bar) {
    return control.Bars().at(bar);
}

}  // namespace

ScriptRunner::ScriptRunner(std::ostream& out, const ControlFactory& makeControl, bool screenshots)
    : out_(out), screenshots_(screenshots) {
    HostEvents events;
    events.messageBox = [this](std::string_view text, int style, std::string_view title) {
        OnMessageBox(text, style, title);
    };
    events.sleep = [this](int milliseconds) { OnSleep(milliseconds); };
    events.scheduleUpdated = [this] { OnScheduleUpdated(); };
    control_ = makeControl(std::move(events));
}

ScriptRunner::~ScriptRunner() {
    Finish();
}

void ScriptRunner::Finish() {
    silent_ = true;
    if (control_) {
        control_->Close();
        control_.reset();
    }
}

void ScriptRunner::Run(const Command& command) {
    if (failure_ || !control_) return;
    topLine_ = command.line;
    Execute(command);
    if (failure_) {
        silent_ = true;
        throw *failure_;
    }
}

void ScriptRunner::Execute(const Command& command) {
    std::visit([&](const auto& action) { Do(command, action); }, command.action);
}

void ScriptRunner::Fail(const Command& command, int exitStatus, const std::string& what) const {
    std::string message = "line " + std::to_string(command.line) + ": " + what;
    if (listenerDepth_ > 0)
        message +=
            " (in the ScheduleUpdated listener, run from line " + std::to_string(topLine_) + ")";
    throw ScriptFailure(exitStatus, message);
}

void ScriptRunner::CheckSupported(const Command& command) const {
    if (std::holds_alternative<script::Screenshot>(command.action) && !screenshots_)
        Fail(command, 2, "screenshot needs the qt backend");
    if (const auto* on = std::get_if<script::On>(&command.action); on && on->command)
        CheckSupported(*on->command);
}

// The host's side.

void ScriptRunner::Do(const Command&, const script::Set& set) {
    switch (set.property.kind) {
        case PropertyName::Kind::Time:
            control_->SetTimeValue(set.property.timeIndex, std::get<std::int16_t>(set.value));
            break;
        case PropertyName::Kind::Enable:
            control_->SetEnable(std::get<bool>(set.value));
            break;
        case PropertyName::Kind::SpecialDayEnabled:
            control_->SetSpecialDayEnabled(std::get<bool>(set.value));
            break;
        case PropertyName::Kind::SpecialDayCaption:
            control_->SetSpecialDayCaption(std::get<std::string>(set.value));
            break;
    }
}

void ScriptRunner::Do(const Command&, const script::Get& get) {
    HostedControl& control = *control_;
    switch (get.property.kind) {
        case PropertyName::Kind::Time:
            out_ << TimePropertyName(get.property.timeIndex) << " = "
                 << control.TimeValue(get.property.timeIndex) << '\n';
            break;
        case PropertyName::Kind::Enable:
            out_ << "Enable = " << BooleanText(control.Enable()) << '\n';
            break;
        case PropertyName::Kind::SpecialDayEnabled:
            out_ << "SpecialDayEnabled = " << BooleanText(control.SpecialDayEnabled()) << '\n';
            break;
        case PropertyName::Kind::SpecialDayCaption:
            out_ << "SpecialDayCaption = " << Quoted(control.SpecialDayCaption()) << '\n';
            break;
    }
}

void ScriptRunner::Do(const Command&, const script::Call& call) {
    // The controller keeps the control's errors from its host on every backend.
    if (call.method == script::Call::Method::Refresh)
        control_->Refresh();
    else
        control_->Reset();
}

void ScriptRunner::Do(const Command&, const script::PrintSchedule&) {
    HostedControl& control = *control_;
    for (int day = 0; day < 8; ++day) {
        out_ << design::kDayWords[day];
        for (int i = 0; i < 8; ++i)
            out_ << ' ' << control.TimeValue(day * 8 + i);
        out_ << '\n';
    }
}

void ScriptRunner::Do(const Command&, const script::On& on) {
    if (on.command) CheckSupported(*on.command);
    listener_ = on.command;
}

void ScriptRunner::Do(const Command&, const script::Resize& resize) {
    control_->Resize(resize.width, resize.height);
}

void ScriptRunner::Do(const Command&, const script::Paint&) {
    control_->Paint();
}

void ScriptRunner::Do(const Command&, const script::Tick&) {
    control_->Tick();
}

// The user's side.

void ScriptRunner::Do(const Command&, const script::Press& press) {
    control_->Press(press.bar, press.x, press.button, press.shift);
}

void ScriptRunner::Do(const Command&, const script::Move& move) {
    control_->Move(move.bar, move.x, move.buttons);
}

void ScriptRunner::Do(const Command&, const script::Release& release) {
    control_->Release(release.bar, release.x, release.button);
}

void ScriptRunner::Do(const Command&, const script::Click& click) {
    if (!control_->Click(click.widget)) out_ << "ignored " << WidgetName(click.widget) << '\n';
}

// Looking.

void ScriptRunner::PrintBlocks(int bar, int band) {
    const BarView view = BarAt(*control_, bar);
    std::string letters(96, '?');
    if (view.innerWidth > 0 && view.innerHeight > 0) {
        const double ratio = control_->PixelRatio();
        const int row = BandCentreRow(view.innerHeight, band, ratio);
        const std::array<int, 96> columns = BlockCentreColumns(view.innerWidth, ratio);
        for (int block = 0; block < 96; ++block)
            letters[block] = ColourLetter(control_->BarPixel(bar, columns[block], row));
    }
    out_ << letters << '\n';
}

void ScriptRunner::Do(const Command&, const script::State& state) {
    PrintBlocks(state.bar, kStateBand);
}

void ScriptRunner::Do(const Command&, const script::Marks& marks) {
    PrintBlocks(marks.bar, kMarkBand);
}

void ScriptRunner::Do(const Command& command, const script::Row& row) {
    const BarView view = BarAt(*control_, row.bar);
    if (row.y >= view.innerHeight)
        Fail(command, 2,
             view.innerHeight == 0 ? "bar " + std::to_string(row.bar) + " has no pixel rows"
                                   : "Y " + std::to_string(row.y) + " is out of range 0 to " +
                                         std::to_string(view.innerHeight - 1) + " for bar " +
                                         std::to_string(row.bar));
    // The device row that holds the middle of logical row Y, every device column of it.
    const double ratio = control_->PixelRatio();
    const std::int32_t columns = render::DeviceLength(view.innerWidth, ratio);
    const std::int32_t rows = render::DeviceLength(view.innerHeight, ratio);
    const int y = std::min(static_cast<int>(std::floor((row.y + 0.5) * ratio)), rows - 1);
    std::string letters(static_cast<std::size_t>(columns), '?');
    for (int x = 0; x < columns; ++x)
        letters[static_cast<std::size_t>(x)] = ColourLetter(control_->BarPixel(row.bar, x, y));
    out_ << letters << '\n';
}

void ScriptRunner::Do(const Command&, const script::Buttons&) {
    for (const ButtonView& button : control_->Buttons())
        out_ << button.name << ' ' << Quoted(button.caption) << ' '
             << (button.enabled ? "enabled" : "disabled") << ' ' << button.left << ' ' << button.top
             << ' ' << button.width << ' ' << button.height << '\n';
}

void ScriptRunner::Do(const Command&, const script::Bars&) {
    int index = 0;
    for (const BarView& bar : control_->Bars())
        out_ << "Schedule(" << index++ << ") " << bar.left << ' ' << bar.top << ' ' << bar.width
             << ' ' << bar.height << ' ' << bar.innerWidth << ' ' << bar.innerHeight << '\n';
}

void ScriptRunner::Do(const Command&, const script::Labels&) {
    for (const LabelView& label : control_->Labels())
        out_ << label.x << ' ' << label.y << ' ' << Quoted(label.text) << '\n';
}

void ScriptRunner::Do(const Command&, const script::Redraws&) {
    const std::uint64_t total = control_->CompletedRedraws();
    out_ << "redraws " << total - redrawsSeen_ << '\n';
    redrawsSeen_ = total;
}

void ScriptRunner::Do(const Command& command, const script::Screenshot& screenshot) {
    CheckSupported(command);
    std::string error;
    if (!control_->Screenshot(screenshot.file, error))
        Fail(command, 1, "cannot write " + storage::Echoed(screenshot.file) + ": " + error);
}

// The whole-day calls.

void ScriptRunner::PrintRefusal(const std::optional<std::string>& refusal) {
    if (refusal) out_ << "refused " << Quoted(*refusal) << '\n';
}

void ScriptRunner::Do(const Command&, const script::Day& day) {
    out_ << DayName(day.day);
    const DayRanges ranges = control_->ReadDay(day.day);
    for (const TimeRange& range : ranges.Ranges())
        out_ << ' ' << FormatRange(range);
    out_ << '\n';
}

void ScriptRunner::Do(const Command&, const script::SetDay& setDay) {
    std::vector<TimeRange> ranges;
    for (const std::string& text : setDay.ranges) {
        auto range = ParseRange(text);
        if (const auto* message = std::get_if<std::string>(&range)) return PrintRefusal(*message);
        ranges.push_back(std::get<TimeRange>(range));
    }
    auto day = DayRanges::Make(std::move(ranges));
    if (const auto* message = std::get_if<std::string>(&day)) return PrintRefusal(*message);
    PrintRefusal(control_->WriteDay(setDay.day, std::get<DayRanges>(day)));
}

void ScriptRunner::Do(const Command&, const script::CopyDay& copy) {
    PrintRefusal(control_->CopyDay(copy.from, copy.to));
}

void ScriptRunner::Do(const Command& command, const script::Import& import) {
    auto week = storage::ReadWeekFile(import.file);
    if (const auto* error = std::get_if<storage::WeekFileError>(&week)) {
        if (error->unreadable)
            Fail(command, 1, "cannot read " + storage::Echoed(import.file) + ": " + error->message);
        return PrintRefusal(error->message);
    }
    PrintRefusal(control_->WriteWeek(std::get<WeekRanges>(week)));
}

void ScriptRunner::Do(const Command& command, const script::Export& exportCommand) {
    WeekRanges week;
    for (int day = 0; day < kWeekDays; ++day)
        week[day] = control_->ReadDay(day);
    std::string error;
    if (!storage::WriteFileWhole(exportCommand.file, storage::WeekToJson(week), error))
        Fail(command, 1, "cannot write " + storage::Echoed(exportCommand.file) + ": " + error);
}

// The keyboard.

void ScriptRunner::Do(const Command&, const script::Focus& focus) {
    if (!control_->Focus(focus.widget)) out_ << "ignored " << FocusWidgetName(focus.widget) << '\n';
}

void ScriptRunner::Do(const Command&, const script::KeyPress& key) {
    control_->PressKey(key.key, key.modifiers);
}

void ScriptRunner::Do(const Command&, const script::Focused&) {
    const std::optional<FocusWidget> widget = control_->FocusedWidget();
    if (!widget) {
        out_ << "focused none\n";
        return;
    }
    out_ << "focused " << FocusWidgetName(*widget);
    if (widget->kind == FocusWidget::Kind::Bar) out_ << ' ' << control_->CursorBlock();
    out_ << '\n';
}

void ScriptRunner::Do(const Command&, const script::Hint&) {
    out_ << "hint " << Quoted(control_->HintText()) << '\n';
}

void ScriptRunner::Do(const Command&, const script::Accessible& accessible) {
    const auto [name, description] = control_->AccessibleText(accessible.bar);
    out_ << "accessible " << FocusWidgetName(BarWidget(accessible.bar)) << ' ' << Quoted(name)
         << ' ' << Quoted(description) << '\n';
}

// What the control tells its host.

void ScriptRunner::OnMessageBox(std::string_view text, int style, std::string_view title) {
    if (silent_ || failure_) return;
    out_ << "msgbox " << style << ' ' << Quoted(title) << ' ' << Quoted(text) << '\n';
}

void ScriptRunner::OnSleep(int milliseconds) {
    if (silent_ || failure_) return;
    out_ << "sleep " << milliseconds << '\n';
}

void ScriptRunner::OnScheduleUpdated() {
    if (silent_ || failure_) return;
    out_ << "event ScheduleUpdated\n";
    // The listener may replace itself or raise the event again: run the one set now.
    const std::shared_ptr<const Command> listener = listener_;
    if (!listener) return;
    if (listenerDepth_ >= kMaxListenerDepth) {
        failure_.emplace(2, "line " + std::to_string(listener->line) +
                                ": the ScheduleUpdated listener raised the event again more than " +
                                std::to_string(kMaxListenerDepth) + " times (run from line " +
                                std::to_string(topLine_) + ")");
        return;
    }
    // A failure must not unwind through the control, which would take it for its own error:
    // it is kept and reported when the script line returns.
    ++listenerDepth_;
    try {
        Execute(*listener);
    } catch (const ScriptFailure& failure) {
        failure_.emplace(failure);
    }
    --listenerDepth_;
}

namespace {

/// Why a stream of the script failed; `buffer`, when there is one, knows the reason.
std::string StreamFailure(const FileBuffer* buffer, const char* generic) {
    return buffer && !buffer->Failure().empty() ? buffer->Failure() : generic;
}

int Play(std::istream& in, std::ostream& out, std::ostream& err, const ControlFactory& makeControl,
         bool screenshots, const FileBuffer* input, const FileBuffer* output) {
    const auto readFailed = [&] { return in.bad() || (input && !input->Failure().empty()); };
    const auto writeFailure = [&] { return StreamFailure(output, "cannot write the output"); };
    ScriptRunner runner(out, makeControl, screenshots);
    std::optional<ScriptFailure> failure;
    std::string line;
    std::int64_t lineNumber = 0;
    try {
        for (;;) {
            const bool haveLine = static_cast<bool>(std::getline(in, line));
            if (readFailed())
                throw ScriptFailure(1, StreamFailure(input, "cannot read the script"));
            if (!haveLine) break;
            ++lineNumber;
            std::optional<Command> command;
            try {
                command = ParseLine(line, lineNumber);
            } catch (const ScriptLineError& error) {
                throw ScriptFailure(2, "line " + std::to_string(lineNumber) + ": " + error.what());
            }
            if (command) runner.Run(*command);
            // Output that cannot be written is lost: running on would only lose more.
            if (out.bad()) throw ScriptFailure(1, writeFailure());
        }
    } catch (const ScriptFailure& stop) {
        failure = stop;
    }
    runner.Finish();
    // What was printed goes out before the message, so that both read in order.
    out.flush();
    int status = 0;
    if (failure) {
        err << "play: " << failure->what() << '\n';
        status = failure->ExitStatus();
    }
    // A write error found only now, by the last flush, is told too: the output is incomplete.
    if (out.bad() && !(failure && failure->what() == writeFailure())) {
        err << "play: " << writeFailure() << '\n';
        status = 1;
    }
    err.flush();
    return status;
}

}  // namespace

int PlayScript(std::istream& in, std::ostream& out, std::ostream& err,
               const ControlFactory& makeControl, bool screenshots) {
    return Play(in, out, err, makeControl, screenshots, nullptr, nullptr);
}

int PlayScript(FileBuffer& input, FileBuffer& output, std::ostream& err,
               const ControlFactory& makeControl, bool screenshots) {
    std::istream in(&input);
    std::ostream out(&output);
    // As with the standard streams, what was printed goes out before the next line is read: a
    // user typing a script sees each answer at once, and a write error is found at its line.
    in.tie(&out);
    return Play(in, out, err, makeControl, screenshots, &input, &output);
}

}  // namespace tarn::app
