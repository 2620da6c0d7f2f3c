// Reading the keyboard's script lines: every key name with its modifiers, the widgets by name,
// and what is wrong with a bad key, widget or bar. What the keys do is played in the examples on
// both backends.

#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "app/ScriptParser.h"
#include "frontends/memory/FocusChain.h"

namespace tarn::app {
namespace {

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

}  // namespace
}  // namespace tarn::app
