#include "app/ScriptParser.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>

namespace tarn::app {
namespace {

template <typename Action>
Action Parsed(const std::string& line) {
    const auto command = ParseLine(line, 7);
    EXPECT_TRUE(command.has_value()) << line;
    EXPECT_EQ(command->line, 7);
    const auto* action = std::get_if<Action>(&command->action);
    EXPECT_NE(action, nullptr) << line;
    return action ? *action : Action{};
}

std::string ErrorOf(const std::string& line) {
    try {
        ParseLine(line, 1);
    } catch (const ScriptLineError& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(Tokenize, WordsQuotedStringsAndComments) {
    const auto tokens = Tokenize("  set\tSpecialDayCaption \"a # \\\"b\\\" \\\\\" # comment \"x");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].text, "set");
    EXPECT_FALSE(tokens[0].quoted);
    EXPECT_EQ(tokens[2].text, "a # \"b\" \\");
    EXPECT_TRUE(tokens[2].quoted);
    EXPECT_TRUE(Tokenize("   # only a comment").empty());
    EXPECT_TRUE(Tokenize("\r").empty());
    EXPECT_EQ(Tokenize("tick#comment").size(), 1u);
    const auto empty = Tokenize("\"\"");
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].text, "");
}

TEST(Tokenize, MalformedQuotedStrings) {
    EXPECT_THROW(Tokenize("set SpecialDayCaption \"abc"), ScriptLineError);
    EXPECT_THROW(Tokenize("set SpecialDayCaption \"abc\\"), ScriptLineError);
    EXPECT_THROW(Tokenize("set SpecialDayCaption \"a\\nb\""), ScriptLineError);
    EXPECT_THROW(Tokenize("set SpecialDayCaption \"ab\"c"), ScriptLineError);
    EXPECT_THROW(Tokenize("set SpecialDayCaption a\"b\""), ScriptLineError);
}

TEST(ParseLine, BlankAndCommentLinesHoldNoCommand) {
    EXPECT_FALSE(ParseLine("", 1));
    EXPECT_FALSE(ParseLine("  \t ", 1));
    EXPECT_FALSE(ParseLine("# tick", 1));
}

TEST(ParseLine, HostCommands) {
    const auto time = Parsed<script::Set>("set Schedule_TuesdayStop2 -32768");
    EXPECT_EQ(time.property.kind, PropertyName::Kind::Time);
    EXPECT_EQ(time.property.timeIndex, 11);
    EXPECT_EQ(std::get<std::int16_t>(time.value), -32768);
    EXPECT_EQ(std::get<bool>(Parsed<script::Set>("set Enable False").value), false);
    EXPECT_EQ(std::get<bool>(Parsed<script::Set>("set SpecialDayEnabled True").value), true);
    EXPECT_EQ(std::get<std::string>(Parsed<script::Set>("set SpecialDayCaption \"\"").value), "");
    EXPECT_EQ(Parsed<script::Get>("get Schedule_SpecialStop4").property.timeIndex, 63);
    EXPECT_EQ(Parsed<script::Call>("call Reset").method, script::Call::Method::Reset);
    const auto resize = Parsed<script::Resize>("resize 0 32767");
    EXPECT_EQ(resize.width, 0);
    EXPECT_EQ(resize.height, 32767);
}

TEST(ParseLine, MouseCommandsTakeTheirDefaults) {
    const auto press = Parsed<script::Press>("press 7 5.5");
    EXPECT_EQ(press.bar, 7);
    EXPECT_DOUBLE_EQ(press.x, 5.5);
    EXPECT_EQ(press.button, 1);
    EXPECT_EQ(press.shift, 0);
    const auto right = Parsed<script::Press>("press 0 -3 2 7");
    EXPECT_DOUBLE_EQ(right.x, -3.0);
    EXPECT_EQ(right.button, 2);
    EXPECT_EQ(right.shift, 7);
    EXPECT_EQ(Parsed<script::Move>("move 1 12").buttons, 1);
    EXPECT_EQ(Parsed<script::Move>("move 1 12 0").buttons, 0);
    EXPECT_EQ(Parsed<script::Release>("release 1 12 4").button, 4);
    EXPECT_EQ(Parsed<script::Click>("click cmdDay(7)").widget, 7);
    EXPECT_EQ(Parsed<script::Click>("click cmdDisable").widget, 9);
}

TEST(ParseLine, ListenerIsParsedWhenSet) {
    const auto on = Parsed<script::On>("on ScheduleUpdated row 3 2 # look");
    ASSERT_NE(on.command, nullptr);
    EXPECT_EQ(on.command->line, 7);
    EXPECT_EQ(std::get<script::Row>(on.command->action).bar, 3);
    EXPECT_EQ(Parsed<script::On>("on ScheduleUpdated").command, nullptr);
    const auto nested = Parsed<script::On>("on ScheduleUpdated on ScheduleUpdated tick");
    ASSERT_NE(nested.command, nullptr);
    EXPECT_NE(std::get<script::On>(nested.command->action).command, nullptr);
    EXPECT_NE(ErrorOf("on ScheduleUpdated press 8 0"), "(no error)");
    EXPECT_NE(ErrorOf("on ScheduleUpdated frobnicate"), "(no error)");
}

struct BadLine {
    const char* line;
    const char* message;
};

class ParseLineErrors : public testing::TestWithParam<BadLine> {};

TEST_P(ParseLineErrors, SayWhatIsWrong) {
    EXPECT_EQ(ErrorOf(GetParam().line), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseLineErrors,
    testing::Values(
        BadLine{"frobnicate", "unknown command \"frobnicate\""},
        BadLine{"Tick", "unknown command \"Tick\""},
        BadLine{"\"tick\"", "a command cannot be a quoted string"},
        BadLine{"tick 1", "wrong number of arguments; usage: tick"},
        BadLine{"press 0", "wrong number of arguments; usage: press BAR X [BUTTON [SHIFT]]"},
        BadLine{"move 0 1 1 0", "wrong number of arguments; usage: move BAR X [BUTTONS]"},
        BadLine{"on", "wrong number of arguments; usage: on ScheduleUpdated [COMMAND ...]"},
        BadLine{"on Click tick", "unknown event \"Click\" (ScheduleUpdated)"},
        BadLine{"state 8", "BAR 8 is out of range 0 to 7"},
        BadLine{"state -1", "BAR -1 is out of range 0 to 7"},
        BadLine{"state 99999999999999999999", "BAR 99999999999999999999 is out of range 0 to 7"},
        BadLine{"state 1.0", "BAR must be an integer, not \"1.0\""},
        BadLine{"state +1", "BAR must be an integer, not \"+1\""},
        BadLine{"state \"1\"", "BAR must be an integer, not a quoted string"},
        BadLine{"press 0 .5", "X must be a decimal number, not \".5\""},
        BadLine{"press 0 5.", "X must be a decimal number, not \"5.\""},
        BadLine{"press 0 1e3", "X must be a decimal number, not \"1e3\""},
        BadLine{"press 0 1 3", "BUTTON 3 must be 1, 2 or 4"},
        BadLine{"release 0 1 0", "BUTTON 0 must be 1, 2 or 4"},
        BadLine{"press 0 1 1 8", "SHIFT 8 is out of range 0 to 7"},
        BadLine{"move 0 1 8", "BUTTONS 8 is out of range 0 to 7"},
        BadLine{"resize 679 -1", "H -1 is out of range 0 to 32767"},
        BadLine{"set Schedule_MondayStart1 32768", "VALUE 32768 is out of range -32768 to 32767"},
        BadLine{"set Schedule_MondayStart5 0", "unknown property \"Schedule_MondayStart5\""},
        BadLine{"get enable", "unknown property \"enable\""},
        BadLine{"set Enable true", "Enable must be True or False, not \"true\""},
        BadLine{"set SpecialDayCaption Holiday",
                "SpecialDayCaption must be a quoted string, not \"Holiday\""},
        BadLine{"call Paint", "unknown method \"Paint\" (Refresh or Reset)"},
        BadLine{"click cmdDay(8)",
                "unknown widget \"cmdDay(8)\" (cmdDay(0) ... cmdDay(7), cmdEnable, cmdDisable)"},
        BadLine{"row 0 -1", "Y -1 is out of range 0 to 32767"},
        BadLine{"screenshot \"\"", "FILE must not be empty"},
        BadLine{"set SpecialDayCaption \"x\\ty\"",
                "bad escape \"\\t\" in a quoted string (only \\\" and \\\\)"},
        BadLine{"get \"Enable", "unterminated quoted string"}));

TEST(Quoted, EscapesQuotesAndBackslashesOnly) {
    EXPECT_EQ(Quoted("Special"), "\"Special\"");
    EXPECT_EQ(Quoted("a\"b\\c#d"), "\"a\\\"b\\\\c#d\"");
    EXPECT_EQ(Quoted(""), "\"\"");
}

}  // namespace
}  // namespace tarn::app
