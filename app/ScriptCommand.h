// One line of a host script, parsed and checked: what the host, the window system or the user does,
// or what is looked at. Every value is range-checked when the line is read, so running a command
// can only fail on what depends on the control at that moment (a row below a bar's height) or on
// the outside world (a file that cannot be written).
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/Keys.h"
#include "frontends/memory/FocusChain.h"

namespace tarn::app {

// The widgets that hold the keyboard focus, as the scripts name them; the in-memory frontend moves
// the focus among them as the widget's toolkit does.
using platform::memory::BarWidget;
using platform::memory::ButtonWidget;
using platform::memory::FocusWidget;
using platform::memory::FocusWidgetName;
using platform::memory::TabChain;

/// A line that is not a valid command; what() says why, without the line number.
class ScriptLineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// A public property of the control, as named in a script.
struct PropertyName {
    enum class Kind { Time, Enable, SpecialDayEnabled, SpecialDayCaption };
    Kind kind = Kind::Time;
    int timeIndex = 0;  // 0 to 63 for Kind::Time
};

struct Command;

namespace script {

struct Set {
    PropertyName property;
    std::variant<std::int16_t, bool, std::string> value;
};
struct Get {
    PropertyName property;
};
struct Call {
    enum class Method { Refresh, Reset };
    Method method;
};
struct PrintSchedule {};
/// Replaces the ScheduleUpdated listener; a null command removes it.
struct On {
    std::shared_ptr<const Command> command;
};
struct Resize {
    int width;
    int height;
};
struct Paint {};
struct Tick {};
struct Press {
    int bar;
    double x;
    int button;
    int shift;
};
struct Move {
    int bar;
    double x;
    int buttons;
};
struct Release {
    int bar;
    double x;
    int button;
};
struct Click {
    int widget;  // 0 to 7 day buttons, 8 Enable, 9 Disable
};
struct State {
    int bar;
};
struct Marks {
    int bar;
};
struct Row {
    int bar;
    int y;  // checked against the bar's height when the command runs
};
struct Buttons {};
struct Bars {};
struct Labels {};
struct Redraws {};
struct Screenshot {
    std::string file;
};
/// The whole-day calls; days 0 to 7, ranges in the form HH:MM-HH:MM (their values are checked
/// by the control when the command runs).
struct Day {
    int day;
};
struct SetDay {
    int day;
    std::vector<std::string> ranges;
};
struct CopyDay {
    int from;
    std::vector<int> to;
};
struct Import {
    std::string file;
};
struct Export {
    std::string file;
};
/// The keyboard: the focus moved by the host as Tab would, a key pressed and released on the
/// focused widget (modifiers kShiftMask, kCtrlMask), and what a user or a screen reader is shown.
struct Focus {
    FocusWidget widget;
};
struct KeyPress {
    Key key;
    int modifiers;
};
struct Focused {};
struct Hint {};
struct Accessible {
    int bar;
};

using Action =
    std::variant<Set, Get, Call, PrintSchedule, On, Resize, Paint, Tick, Press, Move, Release,
                 Click, State, Marks, Row, Buttons, Bars, Labels, Redraws, Screenshot, Day, SetDay,
                 CopyDay, Import, Export, Focus, KeyPress, Focused, Hint, Accessible>;

}  // namespace script

struct Command {
    std::int64_t line = 0;  // the script line the command was written on, from 1
    script::Action action;
};

/// The script name of widget 0 to 9: "cmdDay(0)" ... "cmdDay(7)", "cmdEnable", "cmdDisable".
std::string WidgetName(int widget);

/// A key as a script writes it: modifiers joined by "+", then the key ("Ctrl+Shift+Left").
std::string KeyName(Key key, int modifiers);

}  // namespace tarn::app
