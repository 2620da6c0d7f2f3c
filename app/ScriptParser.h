// Reading host scripts: one command per line, words separated by blanks, "#" starting a comment
// outside a quoted string, quoted strings in double quotes with \" and \\ as the only escapes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ScriptCommand.h"

namespace tarn::app {

struct Token {
    std::string text;  // a quoted string without its quotes, escapes resolved
    bool quoted = false;
};

/// Splits a line into words and quoted strings, dropping a trailing comment. Throws
/// ScriptLineError for an unterminated string, a bad escape or a quote glued to a word.
std::vector<Token> Tokenize(std::string_view line);

/// How deep `on ScheduleUpdated` may nest in one line, and listeners that raise the event again
/// when they run.
inline constexpr int kMaxListenerDepth = 64;

/// Parses and checks one line; nothing for a blank or comment-only line. Throws ScriptLineError.
std::optional<Command> ParseLine(std::string_view line, std::int64_t lineNumber);

/// Text as a script writes it in double quotes: `"` and `\` escaped with a backslash.
std::string Quoted(std::string_view text);

/// A decimal number as a script writes it: an optional '-', digits, and optionally '.' and more
/// digits, with any number of leading zeros and of fraction digits. Nothing when the text is not
/// one; otherwise the nearest double, zero for a value too small to tell from zero, and infinity
/// for one beyond 1e40.
std::optional<double> ParseDecimal(std::string_view text);

}  // namespace tarn::app
