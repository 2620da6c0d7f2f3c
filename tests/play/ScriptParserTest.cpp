// Reading script lines: words, quoted strings and comments, the commands with their defaults, and
// the message that says what is wrong with a bad line.

#include "app/ScriptParser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "storage/Echo.h"

namespace tarn::app {
namespace {

using storage::kEchoedCharacters;

template <typename Action>
Action Parsed(const std::string& line) {
    const auto command = ParseLine(line, 7);
    EXPECT_TRUE(command && command->line == 7) << line;
    const auto* action = command ? std::get_if<Action>(&command->action) : nullptr;
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

TEST(ScriptParser, TokensAreWordsAndQuotedStringsUpToAComment) {
    const auto tokens = Tokenize("  set\tSpecialDayCaption \"a # \\\"b\\\" \\\\\" # comment \"x");
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(tokens[0].text + "|" + tokens[2].text, "set|a # \"b\" \\");
    EXPECT_FALSE(tokens[0].quoted);
    EXPECT_TRUE(tokens[2].quoted);
    EXPECT_EQ(Tokenize("tick#comment").size(), 1u);
    for (const char* blank : {"", "  \t ", "\r", "# tick"})
        EXPECT_FALSE(ParseLine(blank, 1)) << blank;
    // Any UTF-8 text may be quoted, whatever its length in bytes.
    EXPECT_EQ(Tokenize("x \"f\xC3\xA9te \xE6\x97\xA5 \xF0\x9F\x98\x80\"")[1].text,
              "f\xC3\xA9te \xE6\x97\xA5 \xF0\x9F\x98\x80");
    for (const char* bad : {"x \"abc\\", "x \"ab\"c", "x a\"b\""})
        EXPECT_THROW(Tokenize(bad), ScriptLineError) << bad;
}

TEST(ScriptParser, CommandsTakeTheirArgumentsAndDefaults) {
    const auto time = Parsed<script::Set>("set Schedule_TuesdayStop2 -32768");
    EXPECT_EQ(time.property.timeIndex, 11);
    EXPECT_EQ(std::get<std::int16_t>(time.value), -32768);
    EXPECT_EQ(std::get<std::string>(Parsed<script::Set>("set SpecialDayCaption \"\"").value), "");
    const auto press = Parsed<script::Press>("press 7 5.5");
    EXPECT_EQ((std::vector<int>{press.bar, press.button, press.shift}),
              (std::vector<int>{7, 1, 0}));
    EXPECT_DOUBLE_EQ(press.x, 5.5);
    const auto right = Parsed<script::Press>("press 0 -3 2 7");
    EXPECT_EQ((std::vector<int>{right.button, right.shift}), (std::vector<int>{2, 7}));
    EXPECT_EQ(Parsed<script::Move>("move 1 12").buttons, 1);
    EXPECT_EQ(Parsed<script::Click>("click cmdDisable").widget, 9);
    const auto on = Parsed<script::On>("on ScheduleUpdated row 3 2 # look");
    ASSERT_NE(on.command, nullptr);
    EXPECT_EQ(std::get<script::Row>(on.command->action).bar, 3);
    EXPECT_EQ(Parsed<script::On>("on ScheduleUpdated").command, nullptr);
    EXPECT_EQ(Quoted("a\"b\\c#d"), "\"a\\\"b\\\\c#d\"");
}

TEST(ScriptParser, WholeDayCommandsKeepTheirDaysAndRangeTexts) {
    EXPECT_EQ(Parsed<script::Day>("day Special").day, 7);
    const auto cleared = Parsed<script::SetDay>("setday Sunday");
    EXPECT_EQ(cleared.day, 6);
    EXPECT_TRUE(cleared.ranges.empty());
    // Values are the control's to judge when the line runs: an off-quarter range parses.
    const auto set = Parsed<script::SetDay>("setday Monday 13:00-17:30 08:10-99:99");
    EXPECT_EQ(set.ranges, (std::vector<std::string>{"13:00-17:30", "08:10-99:99"}));
    EXPECT_EQ(Parsed<script::CopyDay>("copyday Monday Friday Monday").to, (std::vector<int>{4, 0}));
    EXPECT_EQ(Parsed<script::Import>("import \"my week.json\"").file, "my week.json");
    EXPECT_EQ(Parsed<script::Export>("export week.json").file, "week.json");
}

TEST(ScriptParser, ABadLineSaysWhatIsWrong) {
    const std::pair<const char*, const char*> lines[] = {
        {"frobnicate", "unknown command \"frobnicate\""},
        {"Tick", "unknown command \"Tick\""},
        {"\"tick\"", "a command cannot be a quoted string"},
        {"tick 1", "wrong number of arguments; usage: tick"},
        {"press 0", "wrong number of arguments; usage: press BAR X [BUTTON [SHIFT]]"},
        {"move 0 1 1 0", "wrong number of arguments; usage: move BAR X [BUTTONS]"},
        {"on", "wrong number of arguments; usage: on ScheduleUpdated [COMMAND ...]"},
        {"on Click tick", "unknown event \"Click\" (ScheduleUpdated)"},
        {"on ScheduleUpdated press 8 0", "BAR 8 is out of range 0 to 7"},
        {"state -1", "BAR -1 is out of range 0 to 7"},
        {"state 99999999999999999999", "BAR 99999999999999999999 is out of range 0 to 7"},
        {"state 1.0", "BAR must be an integer, not \"1.0\""},
        {"state +1", "BAR must be an integer, not \"+1\""},
        {"state \"1\"", "BAR must be an integer, not a quoted string"},
        {"press 0 .5", "X must be a decimal number, not \".5\""},
        {"press 0 5.", "X must be a decimal number, not \"5.\""},
        {"press 0 1e3", "X must be a decimal number, not \"1e3\""},
        {"press 0 1 3", "BUTTON 3 must be 1, 2 or 4"},
        {"press 0 1 1 8", "SHIFT 8 is out of range 0 to 7"},
        {"move 0 1 8", "BUTTONS 8 is out of range 0 to 7"},
        {"resize 679 -1", "H -1 is out of range 0 to 32767"},
        {"set Schedule_MondayStart1 32768", "VALUE 32768 is out of range -32768 to 32767"},
        {"set Schedule_MondayStart5 0", "unknown property \"Schedule_MondayStart5\""},
        {"set Enable true", "Enable must be True or False, not \"true\""},
        {"set SpecialDayCaption Holiday",
         "SpecialDayCaption must be a quoted string, not \"Holiday\""},
        {"call Paint", "unknown method \"Paint\" (Refresh or Reset)"},
        {"click cmdDay(8)",
         "unknown widget \"cmdDay(8)\" (cmdDay(0) ... cmdDay(7), cmdEnable, cmdDisable)"},
        {"row 0 -1", "Y -1 is out of range 0 to 32767"},
        {"screenshot \"\"", "FILE must not be empty"},
        {"set SpecialDayCaption \"x\\ty\"",
         "bad escape \"\\t\" in a quoted string (only \\\" and \\\\)"},
        {"get \"Enable", "unterminated quoted string"},
        {"set SpecialDayCaption \"Sa\xEF\"", "a quoted string must be UTF-8 text"},
        {"set SpecialDayCaption \"\xC0\xAF\"", "a quoted string must be UTF-8 text"},
        {"set SpecialDayCaption \"\xED\xA0\x80\"", "a quoted string must be UTF-8 text"},
        {"day", "wrong number of arguments; usage: day DAY"},
        {"day monday", "unknown day \"monday\" (Monday ... Sunday, Special)"},
        {"setday Holiday", "unknown day \"Holiday\" (Monday ... Sunday, Special)"},
        {"setday Monday 8:00-9:00", "RANGE \"8:00-9:00\" is not in the form HH:MM-HH:MM"},
        {"setday Monday 08:00-09:00 08:00", "RANGE \"08:00\" is not in the form HH:MM-HH:MM"},
        {"setday Monday \"08:00-09:00\"", "RANGE must be a word, not a quoted string"},
        {"copyday Monday", "wrong number of arguments; usage: copyday FROM TO [TO ...]"},
        {"import", "wrong number of arguments; usage: import FILE"},
        {"export \"\"", "FILE must not be empty"}};
    for (const auto& [line, message] : lines)
        EXPECT_EQ(ErrorOf(line), message) << line;
}

TEST(ScriptParser, AMessageEchoesAtMostFortyCharactersOfAWordWithControlsEscaped) {
    const std::string forty(kEchoedCharacters, 'x');
    const std::string huge(10'000'000, 'x');
    const std::string shown = forty + "...";
    const std::string digits(5000, '9');
    // "ä" is two bytes: forty of them are shown whole, and the cut never splits one.
    std::string umlauts;
    for (int i = 0; i < 50; ++i)
        umlauts += "\xc3\xa4";
    const std::pair<std::string, std::string> lines[] = {
        {forty, "unknown command \"" + forty + "\""},
        {forty + "y", "unknown command \"" + shown + "\""},
        {huge, "unknown command \"" + shown + "\""},
        {umlauts, "unknown command \"" + umlauts.substr(0, 80) + "...\""},
        {"call " + huge, "unknown method \"" + shown + "\" (Refresh or Reset)"},
        {"get " + huge, "unknown property \"" + shown + "\""},
        {"on " + huge, "unknown event \"" + shown + "\" (ScheduleUpdated)"},
        {"click " + huge,
         "unknown widget \"" + shown + "\" (cmdDay(0) ... cmdDay(7), cmdEnable, cmdDisable)"},
        {"set Enable " + huge, "Enable must be True or False, not \"" + shown + "\""},
        {"state " + digits, "BAR " + digits.substr(0, 40) + "... is out of range 0 to 7"},
        {"press 0 1 " + digits,
         "BUTTON " + digits.substr(0, 40) + "... is out of range -32768 to 32767"},
        {"press 0 " + digits, "X " + digits.substr(0, 40) + "... is out of range"},
        // Nothing echoed can act on the terminal or turn the line around: an escape sequence, a
        // right-to-left override, a byte that is not UTF-8 and a bad escape show as escapes.
        {"day \x1b[2J\x1b]0;x\x07",
         "unknown day \"\\x1b[2J\\x1b]0;x\\x07\" (Monday ... Sunday, Special)"},
        {"day A\xe2\x80\xae"
         "B\xff\x7f",
         "unknown day \"A\\u202eB\\xff\\x7f\" (Monday ... Sunday, Special)"},
        {"set SpecialDayCaption \"\\\x1b\"",
         "bad escape \"\\\\x1b\" in a quoted string (only \\\" and \\\\)"}};
    for (const auto& [line, message] : lines)
        EXPECT_EQ(ErrorOf(line), message) << line.substr(0, 60);
}

TEST(ScriptParser, DecimalsOfAnyLengthInsideTheRangeAreRead) {
    const std::string zeros(400, '0');
    const std::pair<std::string, std::optional<double>> numbers[] = {
        {"191." + zeros, 191.0},
        {"0000191", 191.0},
        {zeros + "191.5" + zeros, 191.5},
        {"-" + zeros + "5.25", -5.25},
        {"0." + zeros + "1", 0.0},  // far below what a double holds: zero, not out of range
        {"-0." + zeros + "1", -0.0},
        {"1" + std::string(30, '0') + "." + zeros, 1e30},
        {"2" + std::string(30, '0'), 2e30},
        {zeros + "1" + zeros, INFINITY},
        {"nan", std::nullopt},
        {"-inf", std::nullopt},
        {"1.", std::nullopt},
        {"-", std::nullopt},
        {"1.2.3", std::nullopt}};
    for (const auto& [text, value] : numbers) {
        const auto read = ParseDecimal(text);
        ASSERT_EQ(read.has_value(), value.has_value()) << text.substr(0, 60);
        if (value) {
            EXPECT_EQ(*read, *value) << text.substr(0, 60);
        }
    }
    EXPECT_DOUBLE_EQ(Parsed<script::Press>("press 0 191." + zeros).x, 191.0);
    EXPECT_DOUBLE_EQ(Parsed<script::Move>("move 0 0." + zeros + "1").x, 0.0);
    EXPECT_DOUBLE_EQ(Parsed<script::Release>("release 0 -1" + std::string(30, '0')).x, -1e30);
    EXPECT_EQ(ErrorOf("press 0 " + zeros + "2" + std::string(30, '0')),
              "X " + zeros.substr(0, 40) + "... is out of range");
}

TEST(ScriptParser, LineNumbersGoPastThirtyTwoBits) {
    constexpr std::int64_t kLine = (std::int64_t{1} << 31) + 1;
    const auto command = ParseLine("on ScheduleUpdated tick", kLine);
    ASSERT_TRUE(command);
    EXPECT_EQ(command->line, kLine);
    EXPECT_EQ(std::get<script::On>(command->action).command->line, kLine);
}

}  // namespace
}  // namespace tarn::app
