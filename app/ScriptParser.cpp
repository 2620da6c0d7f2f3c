#include "app/ScriptParser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <utility>

#include "TarnSchedule/DayRanges.h"
#include "TarnSchedule/TimeProperties.h"
#include "storage/Echo.h"

namespace tarn::app {

namespace {

using storage::Echoed;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

/// A whole number written as optional '-' and digits; saturates far beyond any range we check.
std::optional<long long> ParseWholeNumber(std::string_view text) {
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) i = 1;
    if (i == text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i])) return std::nullopt;
        if (value < 1'000'000'000'000LL) value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

std::optional<int> FindWidget(std::string_view name) {
    for (int widget = 0; widget < 10; ++widget)
        if (WidgetName(widget) == name) return widget;
    return std::nullopt;
}

/// A widget that can hold the focus, by its script name.
std::optional<FocusWidget> FindFocusWidget(std::string_view name) {
    for (const FocusWidget widget : TabChain())
        if (FocusWidgetName(widget) == name) return widget;
    return std::nullopt;
}

constexpr std::string_view kKeyNames[] = {"Left",      "Right",  "Up",    "Down",  "Home",
                                          "End",       "Return", "Enter", "Space", "Delete",
                                          "Backspace", "Escape", "Tab",   "A"};

/// "Ctrl+Shift+Left": any of the modifiers Shift and Ctrl, each at most once and in any order,
/// joined by "+" before the key's name.
std::optional<script::KeyPress> FindKeyStroke(std::string_view text) {
    int modifiers = 0;
    for (;;) {
        const std::size_t plus = text.find('+');
        if (plus == std::string_view::npos) break;
        const std::string_view modifier = text.substr(0, plus);
        const int bit = modifier == "Shift" ? kShiftMask : modifier == "Ctrl" ? kCtrlMask : 0;
        if (bit == 0 || (modifiers & bit) != 0) return std::nullopt;
        modifiers |= bit;
        text.remove_prefix(plus + 1);
    }
    const std::optional<Key> key = FindKey(text);
    if (!key) return std::nullopt;
    return script::KeyPress{*key, modifiers};
}

std::optional<PropertyName> FindProperty(std::string_view name) {
    using Kind = PropertyName::Kind;
    if (const auto index = FindTimeProperty(name)) return PropertyName{Kind::Time, *index};
    if (name == "Enable") return PropertyName{Kind::Enable, 0};
    if (name == "SpecialDayEnabled") return PropertyName{Kind::SpecialDayEnabled, 0};
    if (name == "SpecialDayCaption") return PropertyName{Kind::SpecialDayCaption, 0};
    return std::nullopt;
}

/// Parses the words of one command; `tokens` starts with the command word.
class CommandParser {
public:
    /// `depth` is the number of `on ScheduleUpdated` around the command.
    CommandParser(std::span<const Token> tokens, std::int64_t line, int depth = 0)
        : tokens_(tokens), line_(line), depth_(depth) {}

    Command Parse() {
        if (tokens_[0].quoted) throw ScriptLineError("a command cannot be a quoted string");
        name_ = tokens_[0].text;
        return Command{line_, ParseAction()};
    }

private:
    script::Action ParseAction() {
        using namespace script;
        if (name_ == "set") {
            Arguments(2, 2, "set NAME VALUE");
            return ParseSet();
        }
        if (name_ == "get") {
            Arguments(1, 1, "get NAME");
            return Get{Property(1)};
        }
        if (name_ == "call") {
            Arguments(1, 1, "call Refresh|Reset");
            const std::string& method = Word(1, "the method");
            if (method == "Refresh") return Call{Call::Method::Refresh};
            if (method == "Reset") return Call{Call::Method::Reset};
            throw ScriptLineError("unknown method \"" + Echoed(method) + "\" (Refresh or Reset)");
        }
        if (name_ == "schedule") return Plain<PrintSchedule>("schedule");
        if (name_ == "on") return ParseOn();
        if (name_ == "resize") {
            Arguments(2, 2, "resize W H");
            return Resize{Integer(1, "W", 0, 32767), Integer(2, "H", 0, 32767)};
        }
        if (name_ == "paint") return Plain<Paint>("paint");
        if (name_ == "tick") return Plain<Tick>("tick");
        if (name_ == "press") {
            Arguments(2, 4, "press BAR X [BUTTON [SHIFT]]");
            return Press{Bar(1), Decimal(2, "X"), OptionalButton(3), Optional(4, "SHIFT", 0, 7, 0)};
        }
        if (name_ == "move") {
            Arguments(2, 3, "move BAR X [BUTTONS]");
            return Move{Bar(1), Decimal(2, "X"), Optional(3, "BUTTONS", 0, 7, 1)};
        }
        if (name_ == "release") {
            Arguments(2, 3, "release BAR X [BUTTON]");
            return Release{Bar(1), Decimal(2, "X"), OptionalButton(3)};
        }
        if (name_ == "click") {
            Arguments(1, 1, "click WIDGET");
            const std::string& name = Word(1, "WIDGET");
            if (const auto widget = FindWidget(name)) return Click{*widget};
            throw ScriptLineError("unknown widget \"" + Echoed(name) +
                                  "\" (cmdDay(0) ... cmdDay(7), cmdEnable, cmdDisable)");
        }
        if (name_ == "state") {
            Arguments(1, 1, "state BAR");
            return State{Bar(1)};
        }
        if (name_ == "marks") {
            Arguments(1, 1, "marks BAR");
            return Marks{Bar(1)};
        }
        if (name_ == "row") {
            Arguments(2, 2, "row BAR Y");
            return Row{Bar(1), Integer(2, "Y", 0, 32767)};
        }
        if (name_ == "buttons") return Plain<Buttons>("buttons");
        if (name_ == "bars") return Plain<Bars>("bars");
        if (name_ == "labels") return Plain<Labels>("labels");
        if (name_ == "redraws") return Plain<Redraws>("redraws");
        if (name_ == "screenshot") {
            Arguments(1, 1, "screenshot FILE");
            return Screenshot{FileArgument(1)};
        }
        if (name_ == "day") {
            Arguments(1, 1, "day DAY");
            return Day{DayArgument(1)};
        }
        if (name_ == "setday") {
            Arguments(1, std::numeric_limits<std::size_t>::max(), "setday DAY [RANGE ...]");
            SetDay setDay{DayArgument(1), {}};
            for (std::size_t i = 2; i < tokens_.size(); ++i)
                setDay.ranges.push_back(RangeArgument(i));
            return setDay;
        }
        if (name_ == "copyday") {
            Arguments(2, std::numeric_limits<std::size_t>::max(), "copyday FROM TO [TO ...]");
            CopyDay copy{DayArgument(1), {}};
            for (std::size_t i = 2; i < tokens_.size(); ++i)
                copy.to.push_back(DayArgument(i));
            return copy;
        }
        if (name_ == "import") {
            Arguments(1, 1, "import FILE");
            return Import{FileArgument(1)};
        }
        if (name_ == "export") {
            Arguments(1, 1, "export FILE");
            return Export{FileArgument(1)};
        }
        if (name_ == "focus") {
            Arguments(1, 1, "focus WIDGET");
            const std::string& name = Word(1, "WIDGET");
            if (const auto widget = FindFocusWidget(name)) return Focus{*widget};
            throw ScriptLineError("unknown widget \"" + Echoed(name) +
                                  "\" (Schedule(0) ... Schedule(7), cmdDay(0) ... cmdDay(7), "
                                  "cmdEnable, cmdDisable)");
        }
        if (name_ == "key") {
            Arguments(1, 1, "key KEY");
            const std::string& name = Word(1, "KEY");
            if (const auto stroke = FindKeyStroke(name)) return *stroke;
            throw ScriptLineError("unknown key \"" + Echoed(name) +
                                  "\" (Left, Right, Up, Down, Home, End, Return, Enter, Space, "
                                  "Delete, Backspace, Escape, Tab or A, after Shift+ or Ctrl+)");
        }
        if (name_ == "focused") return Plain<Focused>("focused");
        if (name_ == "hint") return Plain<Hint>("hint");
        if (name_ == "accessible") {
            Arguments(1, 1, "accessible BAR");
            return Accessible{Bar(1)};
        }
        throw ScriptLineError("unknown command \"" + Echoed(name_) + "\"");
    }

    int DayArgument(std::size_t i) const {
        const std::string& name = Word(i, "DAY");
        const int day = FindDay(name);
        if (day < 0)
            throw ScriptLineError("unknown day \"" + Echoed(name) +
                                  "\" (Monday ... Sunday, Special)");
        return day;
    }

    const std::string& RangeArgument(std::size_t i) const {
        const std::string& range = Word(i, "RANGE");
        if (!IsRangeText(range))
            throw ScriptLineError("RANGE \"" + Echoed(range) + "\" is not in the form HH:MM-HH:MM");
        return range;
    }

    const std::string& FileArgument(std::size_t i) const {
        if (tokens_[i].text.empty()) throw ScriptLineError("FILE must not be empty");
        return tokens_[i].text;
    }

    script::Action ParseSet() {
        using Kind = PropertyName::Kind;
        const PropertyName property = Property(1);
        const std::string propertyName = tokens_[1].text;
        switch (property.kind) {
            case Kind::Time:
                return script::Set{property,
                                   static_cast<std::int16_t>(Integer(2, "VALUE", -32768, 32767))};
            case Kind::Enable:
            case Kind::SpecialDayEnabled: {
                const Token& value = tokens_[2];
                if (!value.quoted && value.text == "True") return script::Set{property, true};
                if (!value.quoted && value.text == "False") return script::Set{property, false};
                throw ScriptLineError(propertyName + " must be True or False, not " + Shown(value));
            }
            case Kind::SpecialDayCaption:
                if (!tokens_[2].quoted)
                    throw ScriptLineError(propertyName + " must be a quoted string, not " +
                                          Shown(tokens_[2]));
                return script::Set{property, tokens_[2].text};
        }
        throw ScriptLineError("unknown property \"" + propertyName + "\"");
    }

    script::Action ParseOn() {
        if (tokens_.size() < 2)
            throw ScriptLineError(
                "wrong number of arguments; usage: on ScheduleUpdated [COMMAND ...]");
        const std::string& event = Word(1, "the event");
        if (event != "ScheduleUpdated")
            throw ScriptLineError("unknown event \"" + Echoed(event) + "\" (ScheduleUpdated)");
        if (tokens_.size() == 2) return script::On{nullptr};
        // Refused before parsing the listener: each level is a call of this parser.
        if (depth_ >= kMaxListenerDepth)
            throw ScriptLineError("listeners nest more than " + std::to_string(kMaxListenerDepth) +
                                  " deep");
        CommandParser listener(tokens_.subspan(2), line_, depth_ + 1);
        return script::On{std::make_shared<const Command>(listener.Parse())};
    }

    template <typename Action>
    Action Plain(std::string_view usage) {
        Arguments(0, 0, usage);
        return Action{};
    }

    void Arguments(std::size_t least, std::size_t most, std::string_view usage) const {
        const std::size_t count = tokens_.size() - 1;
        if (count < least || count > most)
            throw ScriptLineError("wrong number of arguments; usage: " + std::string(usage));
    }

    static std::string Shown(const Token& token) {
        return token.quoted ? "a quoted string" : "\"" + Echoed(token.text) + "\"";
    }

    const std::string& Word(std::size_t i, std::string_view what) const {
        if (tokens_[i].quoted)
            throw ScriptLineError(std::string(what) + " must be a word, not a quoted string");
        return tokens_[i].text;
    }

    PropertyName Property(std::size_t i) const {
        const std::string& name = Word(i, "NAME");
        if (const auto property = FindProperty(name)) return *property;
        throw ScriptLineError("unknown property \"" + Echoed(name) + "\"");
    }

    int Integer(std::size_t i, std::string_view what, int least, int most) const {
        const auto value = tokens_[i].quoted ? std::nullopt : ParseWholeNumber(tokens_[i].text);
        if (!value)
            throw ScriptLineError(std::string(what) + " must be an integer, not " +
                                  Shown(tokens_[i]));
        if (*value < least || *value > most)
            throw ScriptLineError(std::string(what) + " " + Echoed(tokens_[i].text) +
                                  " is out of range " + std::to_string(least) + " to " +
                                  std::to_string(most));
        return static_cast<int>(*value);
    }

    int Optional(std::size_t i, std::string_view what, int least, int most, int absent) const {
        return i < tokens_.size() ? Integer(i, what, least, most) : absent;
    }

    int Bar(std::size_t i) const { return Integer(i, "BAR", 0, 7); }

    int OptionalButton(std::size_t i) const {
        const int button = Optional(i, "BUTTON", -32768, 32767, 1);
        if (button != 1 && button != 2 && button != 4)
            throw ScriptLineError("BUTTON " + Echoed(tokens_[i].text) + " must be 1, 2 or 4");
        return button;
    }

    double Decimal(std::size_t i, std::string_view what) const {
        const Token& token = tokens_[i];
        const auto value = token.quoted ? std::nullopt : ParseDecimal(token.text);
        if (!value)
            throw ScriptLineError(std::string(what) + " must be a decimal number, not " +
                                  Shown(token));
        if (std::abs(*value) > 1e30)
            throw ScriptLineError(std::string(what) + " " + Echoed(token.text) +
                                  " is out of range");
        return *value;
    }

    std::span<const Token> tokens_;
    std::int64_t line_;
    int depth_;
    std::string name_;
};

}  // namespace

std::string WidgetName(int widget) {
    if (widget >= 0 && widget < 8) return "cmdDay(" + std::to_string(widget) + ")";
    if (widget == 8) return "cmdEnable";
    if (widget == 9) return "cmdDisable";
    return {};
}

std::string KeyName(Key key, int modifiers) {
    std::string name;
    if ((modifiers & kCtrlMask) != 0) name += "Ctrl+";
    if ((modifiers & kShiftMask) != 0) name += "Shift+";
    return name.append(kKeyNames[static_cast<int>(key)]);
}

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::optional<double> ParseDecimal(std::string_view text) {
    const bool negative = !text.empty() && text[0] == '-';
    std::string_view digits = text.substr(negative ? 1 : 0);
    const std::size_t point = digits.find('.');
    std::string_view whole = digits.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : digits.substr(point + 1);
    const auto allDigits = [](std::string_view part) {
        return std::all_of(part.begin(), part.end(), IsDigit);
    };
    if (whole.empty() || !allDigits(whole)) return std::nullopt;
    if (point != std::string_view::npos && (fraction.empty() || !allDigits(fraction)))
        return std::nullopt;

    // Zeros that do not change the value are dropped before conversion, so that a long but
    // ordinary number converts like its short form and only the significant digits count.
    whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
    fraction = fraction.substr(0, fraction.find_last_not_of('0') + 1);
    const double sign = negative ? -1.0 : 1.0;
    if (whole.size() > 40) return sign * std::numeric_limits<double>::infinity();
    std::string canonical = whole.empty() ? "0" : std::string(whole);
    if (!fraction.empty()) canonical.append(".").append(fraction);
    double value = 0.0;
    const char* first = canonical.data();
    const char* last = first + canonical.size();
    const auto [end, error] = std::from_chars(first, last, value);
    // With at most 40 whole digits a value out of range can only be too small for a double.
    if (error == std::errc::result_out_of_range) return sign * 0.0;
    if (error != std::errc() || end != last) return std::nullopt;
    return sign * value;
}

std::vector<Token> Tokenize(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (IsBlank(c)) {
            ++i;
        } else if (c == '#') {
            break;
        } else if (c == '"') {
            Token token{{}, true};
            for (++i;; ++i) {
                if (i >= line.size()) throw ScriptLineError("unterminated quoted string");
                if (line[i] == '"') break;
                if (line[i] == '\\') {
                    if (i + 1 >= line.size()) throw ScriptLineError("unterminated quoted string");
                    const char escaped = line[++i];
                    if (escaped != '"' && escaped != '\\')
                        throw ScriptLineError("bad escape \"\\" + Echoed(line.substr(i, 1)) +
                                              "\" in a quoted string (only \\\" and \\\\)");
                    token.text += escaped;
                } else {
                    token.text += line[i];
                }
            }
            // A caption reaches the widget as text: bytes that are not UTF-8 would arrive as
            // replacement characters there and as themselves in memory, so they are refused.
            if (!storage::IsUtf8(token.text))
                throw ScriptLineError("a quoted string must be UTF-8 text");
            ++i;  // the closing quote
            if (i < line.size() && !IsBlank(line[i]) && line[i] != '#')
                throw ScriptLineError("a quoted string must be followed by a blank");
            tokens.push_back(std::move(token));
        } else {
            const std::size_t start = i;
            while (i < line.size() && !IsBlank(line[i]) && line[i] != '#') {
                if (line[i] == '"')
                    throw ScriptLineError("a quoted string must start after a blank");
                ++i;
            }
            tokens.push_back(Token{std::string(line.substr(start, i - start)), false});
        }
    }
    return tokens;
}

std::optional<Command> ParseLine(std::string_view line, std::int64_t lineNumber) {
    const std::vector<Token> tokens = Tokenize(line);
    if (tokens.empty()) return std::nullopt;
    return CommandParser(tokens, lineNumber).Parse();
}

}  // namespace tarn::app
