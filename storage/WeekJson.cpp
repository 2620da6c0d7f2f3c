#include "storage/WeekJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QString>
#include <cmath>
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

#include "storage/Echo.h"
#include "storage/SafeFile.h"

namespace tarn::storage {

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStd(const QString& text) {
    return text.toStdString();
}

/// A JSON value's kind, for messages.
std::string KindOf(const QJsonValue& value) {
    switch (value.type()) {
        case QJsonValue::Null:
            return "null";
        case QJsonValue::Bool:
            return "a boolean";
        case QJsonValue::Double:
            return "a number";
        case QJsonValue::String:
            return "a string";
        case QJsonValue::Array:
            return "an array";
        case QJsonValue::Object:
            return "an object";
        case QJsonValue::Undefined:
            break;
    }
    return "missing";
}

/// Appends code point `code` to `text` in UTF-8 (a lone surrogate as its three bytes, so that
/// it compares equal only to itself).
void AppendUtf8(std::string& text, std::uint32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

/// Reads the JSON string that starts at json[i] (its opening quote) with its escapes resolved,
/// and moves i past its closing quote. The document is known to be well-formed; past its end
/// every character reads as a quote, which ends the string.
std::string ReadString(std::string_view json, std::size_t& i) {
    const auto at = [&](std::size_t k) { return k < json.size() ? json[k] : '"'; };
    const auto hex = [&](std::size_t from) {
        std::uint32_t value = 0;
        for (std::size_t k = from; k < from + 4; ++k) {
            const char c = at(k);
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                     : 0;
            value = value * 16 + static_cast<std::uint32_t>(digit);
        }
        return value;
    };
    std::string text;
    for (++i; at(i) != '"'; ++i) {
        if (json[i] != '\\') {
            text += json[i];
            continue;
        }
        const char escaped = at(++i);
        if (escaped != 'u') {
            constexpr std::string_view kFrom = "bfnrt", kTo = "\b\f\n\r\t";
            const std::size_t found = kFrom.find(escaped);
            text += found == std::string_view::npos ? escaped : kTo[found];
            continue;
        }
        std::uint32_t code = hex(i + 1);
        i += 4;
        if (code >= 0xD800 && code < 0xDC00 && at(i + 1) == '\\' && at(i + 2) == 'u') {
            const std::uint32_t low = hex(i + 3);
            if (low >= 0xDC00 && low < 0xE000) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                i += 6;
            }
        }
        AppendUtf8(text, code);
    }
    ++i;
    return text;
}

/// The first key given twice in one object of a well-formed JSON document, named by where it
/// is ("days.Monday"), or nothing. Walks the text with a stack of its own, as deep as the
/// document is.
std::optional<std::string> KeyGivenTwice(std::string_view json) {
    struct Level {
        bool object = false;
        std::string name;  // as messages show it: "days", "[2]"; empty for the document
        std::set<std::string> keys;
        std::string key;  // the member being read
        std::size_t index = 0;
    };
    std::vector<Level> levels;
    bool expectKey = false;
    const auto where = [&](const std::string& last) {
        std::string path;
        for (std::size_t k = 1; k < levels.size(); ++k)
            path += levels[k].name;
        return path + last;
    };
    const auto memberName = [&]() -> std::string {
        if (levels.empty()) return {};
        const Level& level = levels.back();
        if (!level.object) return "[" + std::to_string(level.index) + "]";
        return (levels.size() > 1 ? "." : "") + Echoed(level.key);
    };
    std::size_t i = 0;
    while (i < json.size()) {
        const char c = json[i];
        if (c == '{' || c == '[') {
            Level level;
            level.object = c == '{';
            level.name = memberName();
            levels.push_back(std::move(level));
            expectKey = c == '{';
            ++i;
        } else if (c == '}' || c == ']') {
            if (!levels.empty()) levels.pop_back();
            expectKey = false;
            ++i;
        } else if (c == ',') {
            if (!levels.empty()) {
                ++levels.back().index;
                expectKey = levels.back().object;
            }
            ++i;
        } else if (c == '"') {
            std::string text = ReadString(json, i);
            if (expectKey && !levels.empty()) {
                Level& level = levels.back();
                level.key = std::move(text);
                // A path through a deeply nested document is abridged as a whole too.
                if (!level.keys.insert(level.key).second)
                    return Echoed(where(memberName()), 3 * kEchoedCharacters);
                expectKey = false;
            }
        } else {
            ++i;  // blanks, ':', and the characters of numbers, true, false and null
        }
    }
    return std::nullopt;
}

/// Reads one day's array of ranges; where is "days.Monday".
std::variant<DayRanges, std::string> ReadDay(const QJsonValue& value, const std::string& where) {
    if (!value.isArray()) return where + ": is " + KindOf(value) + ", not an array of ranges";
    const QJsonArray array = value.toArray();
    std::vector<TimeRange> ranges;
    for (qsizetype i = 0; i < array.size(); ++i) {
        const std::string at = where + "[" + std::to_string(i) + "]";
        const QJsonValue item = array.at(i);
        if (!item.isString()) return at + ": is " + KindOf(item) + ", not a range \"HH:MM-HH:MM\"";
        const std::string text = ToStd(item.toString());
        // The range's own messages quote it whole: a text of another shape is shown abridged.
        if (!IsRangeText(text)) return at + ": \"" + Echoed(text) + "\" is not a range HH:MM-HH:MM";
        auto range = ParseRange(text);
        if (auto* message = std::get_if<std::string>(&range)) return at + ": " + *message;
        ranges.push_back(std::get<TimeRange>(range));
    }
    auto day = DayRanges::Make(std::move(ranges));
    if (auto* message = std::get_if<std::string>(&day)) return where + ": " + *message;
    return std::get<DayRanges>(std::move(day));
}

}  // namespace

QByteArray WeekToJson(const WeekRanges& week) {
    // Written by hand rather than through QJsonObject, which would sort the days by name: the
    // days stay in week order and each day's ranges on one line. Nothing here needs escaping.
    std::string json = "{\n    \"format\": \"";
    json += kWeekFormat;
    json += "\",\n    \"version\": " + std::to_string(kWeekVersion) + ",\n    \"days\": {\n";
    for (int day = 0; day < kWeekDays; ++day) {
        json += "        \"";
        json += DayName(day);
        json += "\": [";
        const auto& ranges = week[day].Ranges();
        for (std::size_t i = 0; i < ranges.size(); ++i) {
            if (i > 0) json += ", ";
            json += '"' + FormatRange(ranges[i]) + '"';
        }
        json += day + 1 < kWeekDays ? "],\n" : "]\n";
    }
    json += "    }\n}\n";
    return QByteArray::fromStdString(json);
}

std::variant<WeekRanges, std::string> WeekFromJson(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        return "not JSON at offset " + std::to_string(error.offset) + ": " +
               ToStd(error.errorString());
    if (!document.isObject()) return "the document is not a JSON object";
    // A key given twice would be read as its last value, silently: it is refused.
    if (const auto twice = KeyGivenTwice(std::string_view(json.constData(), json.size())))
        return *twice + ": given twice";
    const QJsonObject root = document.object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        if (it.key() != "format" && it.key() != "version" && it.key() != "days")
            return Echoed(ToStd(it.key())) + ": not a field of a week document";
    }

    const QJsonValue format = root.value("format");
    if (!format.isString() || format.toString() != QLatin1String(kWeekFormat))
        return std::string("format: not \"") + kWeekFormat + "\"";

    const QJsonValue version = root.value("version");
    const double number = version.toDouble(-1);
    if (!version.isDouble() || number < 1 || number != std::floor(number))
        return "version: is not a positive integer";
    if (number > kWeekVersion)
        return "version: " + std::to_string(static_cast<long long>(std::min(number, 1e15))) +
               " is newer than " + std::to_string(kWeekVersion) + ", the newest this reads";

    const QJsonValue daysValue = root.value("days");
    if (!daysValue.isObject()) return "days: is " + KindOf(daysValue) + ", not an object";
    const QJsonObject days = daysValue.toObject();
    for (auto it = days.begin(); it != days.end(); ++it) {
        if (FindDay(ToStd(it.key())) < 0) return "days." + Echoed(ToStd(it.key())) + ": not a day";
    }

    WeekRanges week;
    for (int day = 0; day < kWeekDays; ++day) {
        const std::string where = "days." + std::string(DayName(day));
        const QJsonValue value = days.value(ToQString(DayName(day)));
        if (value.isUndefined()) return where + ": missing";
        auto ranges = ReadDay(value, where);
        if (auto* message = std::get_if<std::string>(&ranges)) return *message;
        week[day] = std::get<DayRanges>(std::move(ranges));
    }
    return week;
}

namespace {

std::variant<WeekRanges, WeekFileError> WeekFromFile(const FileContent& content) {
    switch (content.status) {
        case FileContent::Status::Failed:
            return WeekFileError{true, content.reason};
        case FileContent::Status::TooLarge:
            return WeekFileError{false, "the file holds more than 1 MiB, the most a week file can"};
        case FileContent::Status::Read:
            break;
    }
    auto week = WeekFromJson(content.bytes);
    if (auto* message = std::get_if<std::string>(&week))
        return WeekFileError{false, std::move(*message)};
    return std::get<WeekRanges>(week);
}

}  // namespace

std::variant<WeekRanges, WeekFileError> ReadWeekFile(const std::string& path) {
    return WeekFromFile(ReadFileWhole(path, kWeekFileLimit));
}

std::variant<WeekRanges, WeekFileError> ReadWeekFile(int fd) {
    return WeekFromFile(ReadFileWhole(fd, kWeekFileLimit));
}

}  // namespace tarn::storage
