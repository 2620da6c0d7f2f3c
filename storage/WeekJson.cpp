#include "storage/WeekJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QString>
#include <cmath>

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

/// Reads one day's array of ranges; where is "days.Monday".
std::variant<DayRanges, std::string> ReadDay(const QJsonValue& value, const std::string& where) {
    if (!value.isArray()) return where + ": is " + KindOf(value) + ", not an array of ranges";
    const QJsonArray array = value.toArray();
    std::vector<TimeRange> ranges;
    for (qsizetype i = 0; i < array.size(); ++i) {
        const std::string at = where + "[" + std::to_string(i) + "]";
        const QJsonValue item = array.at(i);
        if (!item.isString()) return at + ": is " + KindOf(item) + ", not a range \"HH:MM-HH:MM\"";
        auto range = ParseRange(ToStd(item.toString()));
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
    const QJsonObject root = document.object();
    for (auto it = root.begin(); it != root.end(); ++it) {
        if (it.key() != "format" && it.key() != "version" && it.key() != "days")
            return ToStd(it.key()) + ": not a field of a week document";
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
        if (FindDay(ToStd(it.key())) < 0) return "days." + ToStd(it.key()) + ": not a day";
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
