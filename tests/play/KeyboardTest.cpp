// The keyboard in the scripted host: the focus rule the in-memory backend shares with the Qt
// widget's toolkit, reading `focus` and `key` lines, and the focus kept by the in-memory backend
// as keys, presses and the host's writes move it.

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/HostedControl.h"
#include "app/ScriptParser.h"
#include "app/ScriptRunner.h"
#include "platform/memory/FocusChain.h"

namespace tarn::app {
namespace {

std::string Name(std::optional<FocusWidget> widget) {
    return widget ? FocusWidgetName(*widget) : "none";
}

TEST(FocusChain, TabWrapsAroundTheWidgetsThatTakeTheFocus) {
    const auto all = [](FocusWidget) { return true; };
    EXPECT_EQ(Name(NextInChain(std::nullopt, true, all)), "cmdDay(0)");
    EXPECT_EQ(Name(NextInChain(std::nullopt, false, all)), "cmdDisable");
    EXPECT_EQ(Name(NextInChain(ButtonWidget(9), true, all)), "cmdDay(0)");
    EXPECT_EQ(Name(NextInChain(ButtonWidget(0), false, all)), "cmdDisable");
    EXPECT_EQ(Name(NextInChain(BarWidget(7), true, all)), "cmdEnable");
    EXPECT_EQ(Name(NextInChain(ButtonWidget(3), true, all)), "Schedule(3)");
    EXPECT_EQ(Name(NextInChain(ButtonWidget(3), false, all)), "Schedule(2)");

    // A disabled control: its buttons only, never its bars; the Special row switched off.
    const auto buttonsOnly = [](FocusWidget w) { return w.kind == FocusWidget::Kind::Button; };
    EXPECT_EQ(Name(NextInChain(ButtonWidget(7), true, buttonsOnly)), "cmdEnable");
    const auto noSpecial = [](FocusWidget w) { return w.index != 7; };
    EXPECT_EQ(Name(NextInChain(BarWidget(6), true, noSpecial)), "cmdEnable");
    EXPECT_EQ(Name(NextInChain(ButtonWidget(8), false, noSpecial)), "Schedule(6)");

    // A widget that has the focus and may no longer take it is still a place to start from.
    EXPECT_EQ(Name(NextInChain(BarWidget(7), false, noSpecial)), "Schedule(6)");
    // Nothing else can take it: the focus stays (and nowhere stays nowhere).
    const auto onlyEnable = [](FocusWidget w) { return w == ButtonWidget(8); };
    EXPECT_FALSE(NextInChain(ButtonWidget(8), true, onlyEnable));
    EXPECT_FALSE(NextInChain(ButtonWidget(8), false, onlyEnable));
    EXPECT_EQ(Name(NextInChain(std::nullopt, false, onlyEnable)), "cmdEnable");
    EXPECT_FALSE(NextInChain(std::nullopt, true, [](FocusWidget) { return false; }));
}

TEST(FocusChain, KeysGoWhereAPlainWindowSendsThem) {
    const std::optional<FocusWidget> none;
    const std::optional<FocusWidget> button = ButtonWidget(8);
    const std::optional<FocusWidget> bar = BarWidget(2);
    const int shift = kShiftMask;
    const int ctrl = kCtrlMask;
    const std::tuple<std::optional<FocusWidget>, Key, int, KeyRoute> cases[] = {
        {none, Key::Tab, 0, KeyRoute::FocusNext},
        {none, Key::Tab, shift, KeyRoute::FocusPrevious},
        {none, Key::Right, 0, KeyRoute::Nothing},
        {none, Key::Space, 0, KeyRoute::Nothing},
        {bar, Key::Tab, 0, KeyRoute::FocusNext},
        {bar, Key::Tab, shift, KeyRoute::FocusPrevious},
        // With Ctrl, Tab is an ordinary key: the bar gets it, a button ignores it.
        {bar, Key::Tab, ctrl | shift, KeyRoute::ToBar},
        {button, Key::Tab, ctrl, KeyRoute::Nothing},
        {bar, Key::Space, 0, KeyRoute::ToBar},
        {bar, Key::Right, shift, KeyRoute::ToBar},
        {button, Key::Space, ctrl | shift, KeyRoute::ClickButton},
        {button, Key::Return, 0, KeyRoute::Nothing},
        {button, Key::Enter, 0, KeyRoute::Nothing},
        {button, Key::Escape, 0, KeyRoute::Nothing},
        {button, Key::A, ctrl, KeyRoute::Nothing},
        {button, Key::Down, ctrl, KeyRoute::FocusNext},
        {button, Key::Left, shift, KeyRoute::FocusPrevious},
        {button, Key::Up, 0, KeyRoute::FocusPrevious},
    };
    for (const auto& [focus, key, modifiers, route] : cases)
        EXPECT_EQ(RouteKey(focus, key, modifiers), route)
            << Name(focus) << ' ' << KeyName(key, modifiers);
}

TEST(FocusChain, APressFocusesABarOnlyOnItsWholePixels) {
    // A bar 577 x 35 with a 2-pixel frame: inner X from -2 to 574 (exclusive) after rounding.
    EXPECT_TRUE(PressInsideBar(0, 2, 577, 35));
    EXPECT_TRUE(PressInsideBar(-2.5, 2, 577, 35));  // rounds up onto column 0
    EXPECT_FALSE(PressInsideBar(-2.51, 2, 577, 35));
    EXPECT_TRUE(PressInsideBar(574.49, 2, 577, 35));
    EXPECT_FALSE(PressInsideBar(574.5, 2, 577, 35));
    EXPECT_FALSE(PressInsideBar(1e30, 2, 577, 35));
    // Y is the frame's width below the top: a bar no taller than its frame has no such row.
    EXPECT_FALSE(PressInsideBar(10, 2, 577, 2));
    EXPECT_FALSE(PressInsideBar(-2, 2, 0, 35));
}

TEST(KeyboardLines, KeysAndWidgetsAreReadByTheirScriptNames) {
    for (int key = 0; key <= static_cast<int>(Key::A); ++key) {
        for (int modifiers = 0; modifiers < 4; ++modifiers) {
            const std::string name = KeyName(static_cast<Key>(key), modifiers);
            const auto command = ParseLine("key " + name, 1);
            ASSERT_TRUE(command) << name;
            const auto& press = std::get<script::KeyPress>(command->action);
            EXPECT_EQ(static_cast<int>(press.key), key) << name;
            EXPECT_EQ(press.modifiers, modifiers) << name;
        }
    }
    EXPECT_EQ(std::get<script::KeyPress>(ParseLine("key Shift+Ctrl+Left", 1)->action).modifiers,
              kShiftMask | kCtrlMask);
    for (const FocusWidget widget : TabChain()) {
        const auto command = ParseLine("focus " + FocusWidgetName(widget), 1);
        EXPECT_TRUE(std::get<script::Focus>(command->action).widget == widget);
    }
    EXPECT_EQ(std::get<script::Accessible>(ParseLine("accessible 7", 1)->action).bar, 7);
}

TEST(KeyboardLines, AWrongKeyWidgetOrBarSaysWhatIsWrong) {
    const auto errorOf = [](const std::string& line) -> std::string {
        try {
            ParseLine(line, 1);
        } catch (const ScriptLineError& error) {
            return error.what();
        }
        return "(no error)";
    };
    for (const char* key : {"left", "Shift+Shift+A", "Ctrl+Ctrl+Tab", "Shift+", "+Left", "Alt+A",
                            "Shift++A", "Shift+Left+Right", "B", "Shift"})
        EXPECT_EQ(errorOf(std::string("key ") + key).rfind(std::string("unknown key \"") + key, 0),
                  0u)
            << key;
    EXPECT_EQ(errorOf("key \"Left\""), "KEY must be a word, not a quoted string");
    EXPECT_EQ(errorOf("key Left Right"), "wrong number of arguments; usage: key KEY");
    EXPECT_EQ(errorOf("focus Schedule(8)").rfind("unknown widget \"Schedule(8)\" (Schedule(0)", 0),
              0u);
    EXPECT_EQ(errorOf("focus schedule(1)").rfind("unknown widget", 0), 0u);
    EXPECT_EQ(errorOf("accessible 8"), "BAR 8 is out of range 0 to 7");
    EXPECT_EQ(errorOf("accessible Schedule(1)"), "BAR must be an integer, not \"Schedule(1)\"");
    EXPECT_EQ(errorOf("focused now"), "wrong number of arguments; usage: focused");
    EXPECT_EQ(errorOf("hint 0"), "wrong number of arguments; usage: hint");
}

/// Plays a script on the in-memory backend; the output, then "status N" and the error.
std::string Played(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    const int status = PlayScript(in, out, err, MakeMemoryControl, false);
    return out.str() + "status " + std::to_string(status) + (err.str().empty() ? "" : " ") +
           err.str();
}

TEST(KeyboardFocus, TheControlHearsOfEachBarThatGetsOrLosesTheFocus) {
    auto control = MakeMemoryControl({});
    Schedule& core = control->Control();
    EXPECT_EQ(core.FocusedBar(), -1);
    control->PressKey(Key::Tab, 0);
    control->PressKey(Key::Tab, 0);
    EXPECT_EQ(core.FocusedBar(), 0);
    control->PressKey(Key::Tab, 0);  // on to Tuesday's button
    EXPECT_EQ(core.FocusedBar(), -1);
    EXPECT_TRUE(control->Focus(BarWidget(4)));
    EXPECT_EQ(core.FocusedBar(), 4);
    // A press on another bar moves the focus there; one beside its pixels does not.
    control->Press(5, 600, 1, 0);
    EXPECT_EQ(core.FocusedBar(), 4);
    control->Press(5, 10, 2, 0);
    EXPECT_EQ(core.FocusedBar(), 5);
    control->Release(5, 10, 2);
    // A click takes the focus off the bars.
    EXPECT_TRUE(control->Click(1));
    EXPECT_EQ(core.FocusedBar(), -1);
    EXPECT_EQ(Name(control->FocusedWidget()), "cmdDay(1)");
    control->Close();
}

TEST(KeyboardFocus, TheHostsWritesTakeTheFocusFromWhatCanNoLongerHaveIt) {
    auto control = MakeMemoryControl({});
    Schedule& core = control->Control();
    ASSERT_TRUE(control->Focus(BarWidget(7)));
    control->SetSpecialDayEnabled(true);  // no change: the focus stays
    EXPECT_EQ(core.FocusedBar(), 7);
    control->SetSpecialDayEnabled(false);
    EXPECT_EQ(Name(control->FocusedWidget()), "none");
    EXPECT_EQ(core.FocusedBar(), -1);
    // The Special day's switch leaves the other bars alone.
    ASSERT_TRUE(control->Focus(BarWidget(6)));
    control->SetSpecialDayEnabled(false);
    EXPECT_EQ(core.FocusedBar(), 6);
    control->SetEnable(false);
    EXPECT_EQ(Name(control->FocusedWidget()), "none");
    // Switched on again, nothing takes the focus by itself, and a press on a bar of a disabled
    // control gave it none.
    control->Press(2, 10, 1, 0);
    control->Release(2, 10, 1);
    control->SetEnable(true);
    EXPECT_EQ(Name(control->FocusedWidget()), "none");
    control->Close();
}

TEST(KeyboardFocus, ScriptsMoveTheFocusAndPrintIt) {
    // Up and Down cross to the neighbouring bar only when it takes the focus.
    EXPECT_EQ(Played("set SpecialDayEnabled False\nfocus Schedule(5)\nkey Right\nkey Down\n"
                     "focused\nkey Down\nfocused\nkey Up\nkey Up\nfocused\n"),
              "focused Schedule(6) 1\nfocused Schedule(6) 1\nfocused Schedule(4) 1\nstatus 0");
    // Space on a focused Enable button saves, with any modifiers; a key inside the
    // listener acts on the widget that has the focus then.
    EXPECT_EQ(Played("tick\nclick cmdDay(3)\non ScheduleUpdated key Tab\nfocus cmdEnable\n"
                     "key Shift+Space\nfocused\nday Thursday\n"),
              "event ScheduleUpdated\nfocused cmdDisable\nThursday 00:00-24:00\nstatus 0");
    // Keys with no focus do nothing; the refusals print and the script goes on.
    EXPECT_EQ(Played("key Return\nkey Space\nset Enable False\nfocus cmdDay(0)\n"
                     "focus Schedule(0)\nfocused\nhint\n"),
              "ignored cmdDay(0)\nignored Schedule(0)\nfocused none\nhint \"\"\nstatus 0");
    EXPECT_EQ(Played("focused\nkey Ctrl+Alt+Left\nfocused\n"),
              "focused none\nstatus 2 play: line 2: unknown key \"Ctrl+Alt+Left\" (Left, Right, "
              "Up, Down, Home, End, Return, Enter, Space, Delete, Backspace, Escape, Tab or A, "
              "after Shift+ or Ctrl+)\n");
}

}  // namespace
}  // namespace tarn::app
