#include "app/StoreCommand.h"

#include <QByteArray>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>
#include <algorithm>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <variant>

#include "TarnSchedule/DayRanges.h"
#include "app/PlayCommand.h"
#include "storage/ScheduleStore.h"
#include "storage/WeekJson.h"

namespace tarn::app {

namespace {

using storage::ScheduleStore;
using storage::StoreError;
using storage::StoreOptions;

constexpr const char* kUsage =
    "usage: tarn-schedule store [--db PATH] list\n"
    "       tarn-schedule store [--db PATH] show NAME\n"
    "       tarn-schedule store [--db PATH] revision NAME\n"
    "       tarn-schedule store [--db PATH] import NAME FILE [--expect-revision N]\n"
    "       tarn-schedule store [--db PATH] export NAME FILE\n"
    "       tarn-schedule store [--db PATH] rename OLD NEW\n"
    "       tarn-schedule store [--db PATH] duplicate NAME NEW\n"
    "       tarn-schedule store [--db PATH] delete NAME\n";

constexpr int kInputError = 2;
constexpr int kFailure = 1;

int UsageError(const std::string& what) {
    std::cerr << "store: " << what << '\n' << kUsage;
    return kInputError;
}

int Fail(int status, const QString& message) {
    std::cerr << "store: " << message.toStdString() << '\n';
    return status;
}

int Fail(const StoreError& error) {
    return Fail(error.IsInputError() ? kInputError : kFailure, error.message);
}

/// Writes `text` on standard output; 0, or 1 with the reason when it cannot.
int PrintOut(const std::string& text) {
    std::cout << text;
    std::cout.flush();
    if (std::cout) return 0;
    std::cerr << "store: cannot write standard output\n";
    return kFailure;
}

/// The words each subcommand takes after its name.
const std::map<QString, int>& ArgumentCounts() {
    static const std::map<QString, int> counts = {
        {QStringLiteral("list"), 0},   {QStringLiteral("show"), 1},
        {QStringLiteral("import"), 2}, {QStringLiteral("export"), 2},
        {QStringLiteral("rename"), 2}, {QStringLiteral("duplicate"), 2},
        {QStringLiteral("delete"), 1}, {QStringLiteral("revision"), 1},
    };
    return counts;
}

bool ReadsOnly(const QString& command) {
    return command == QStringLiteral("list") || command == QStringLiteral("show") ||
           command == QStringLiteral("export") || command == QStringLiteral("revision");
}

/// The week in FILE ("-" for standard input), or the exit status of the failure.
std::variant<WeekRanges, int> ReadWeekFile(const QString& name) {
    QFile file;
    const bool opened = name == QStringLiteral("-")
                            ? file.open(stdin, QIODevice::ReadOnly)
                            : (file.setFileName(name), file.open(QIODevice::ReadOnly));
    if (!opened) return Fail(kFailure, "cannot read " + name + ": " + file.errorString());
    const QByteArray json = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Fail(kFailure, "cannot read " + name + ": " + file.errorString());
    auto week = storage::WeekFromJson(json);
    if (auto* message = std::get_if<std::string>(&week))
        return Fail(kInputError, name + ": " + QString::fromStdString(*message));
    return std::get<WeekRanges>(week);
}

/// Writes `json` to FILE ("-" for standard output) whole or not at all; the exit status.
int WriteWeekFile(const QString& name, const QByteArray& json) {
    if (name == QStringLiteral("-")) return PrintOut(json.toStdString());
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit())
        return Fail(kFailure, "cannot write " + name + ": " + file.errorString());
    return 0;
}

std::string ShowWeek(const WeekRanges& week) {
    std::string text;
    for (int day = 0; day < kWeekDays; ++day) {
        text += DayName(day);
        for (const TimeRange& range : week[static_cast<std::size_t>(day)].Ranges())
            text += ' ' + FormatRange(range);
        text += '\n';
    }
    return text;
}

/// `bytes` for a message: printable ASCII as it is, every other byte as \xNN, at most 60 bytes.
std::string Escaped(const QByteArray& bytes) {
    constexpr qsizetype kShown = 60;
    std::string text;
    for (qsizetype i = 0; i < std::min(bytes.size(), kShown); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 0x20 && byte < 0x7f) {
            text += static_cast<char>(byte);
        } else {
            static constexpr char kHex[] = "0123456789abcdef";
            text += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xf]};
        }
    }
    if (bytes.size() > kShown) text += "...";
    return text;
}

/// The command line as text, each word decoded as strict UTF-8: a byte order mark is kept as a
/// character and a malformed sequence is refused rather than replaced, so that two different
/// words never become one name. The index of the first malformed word when there is one.
std::variant<QStringList, int> DecodeArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                         QStringConverter::Flag::Stateless);
        QString word = decoder.decode(QByteArrayView(argv[i]));
        if (decoder.hasError()) return i;
        arguments << word;
    }
    return arguments;
}

/// The revision that --expect-revision gives: a whole number from 1 on.
std::optional<qint64> ParseRevision(const QString& text) {
    bool ok = false;
    const qint64 revision = text.toLongLong(&ok);
    if (!ok || revision < 1 || text.startsWith(QLatin1Char('+')) || text.trimmed() != text)
        return std::nullopt;
    return revision;
}

/// Runs the command; `week` is the week file that import has read, `expected` the revision it
/// must still find.
int Run(ScheduleStore& store, const QString& command, const QStringList& words,
        const std::optional<WeekRanges>& week, std::optional<qint64> expected) {
    if (command == QStringLiteral("list")) {
        auto entries = store.List();
        if (!entries) return Fail(entries.Error());
        std::string text;
        for (const auto& entry : entries.Value())
            text += entry.name.toUtf8().toStdString() + '\n';
        return PrintOut(text);
    }
    if (command == QStringLiteral("revision")) {
        auto revision = store.Revision(words[0]);
        if (!revision) return Fail(revision.Error());
        return PrintOut(std::to_string(revision.Value()) + '\n');
    }
    if (command == QStringLiteral("show") || command == QStringLiteral("export")) {
        auto schedule = store.Read(words[0]);
        if (!schedule) return Fail(schedule.Error());
        if (command == QStringLiteral("show")) return PrintOut(ShowWeek(schedule.Value().week));
        return WriteWeekFile(words[1], storage::WeekToJson(schedule.Value().week));
    }
    storage::StoreStatus status;
    if (command == QStringLiteral("import")) {
        status = expected ? storage::StoreStatus(store.WriteWeek(words[0], *week, *expected))
                          : storage::StoreStatus(store.Write(words[0], *week));
    } else if (command == QStringLiteral("rename")) {
        status = store.Rename(words[0], words[1]);
    } else if (command == QStringLiteral("duplicate")) {
        status = store.Duplicate(words[0], words[1]);
    } else {
        status = store.Delete(words[0]);
    }
    return status ? 0 : Fail(status.Error());
}

}  // namespace

int RunStore(int argc, char** argv) {
    auto decoded = DecodeArguments(argc, argv);
    if (const int* bad = std::get_if<int>(&decoded))
        return UsageError("\"" + Escaped(QByteArray(argv[*bad])) + "\" is not valid UTF-8");
    const QStringList arguments = std::get<QStringList>(std::move(decoded));
    QCommandLineParser parser;
    const QCommandLineOption dbOption(QStringLiteral("db"), QStringLiteral("database file"),
                                      QStringLiteral("path"));
    const QCommandLineOption expectOption(QStringLiteral("expect-revision"),
                                          QStringLiteral("import only while at this revision"),
                                          QStringLiteral("N"));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("usage"));
    parser.addOption(dbOption);
    parser.addOption(expectOption);
    parser.addOption(helpOption);
    if (!parser.parse(arguments)) {
        if (parser.unknownOptionNames().isEmpty() && parser.isSet(dbOption) &&
            parser.values(dbOption).isEmpty())
            return UsageError("--db needs a PATH");
        if (parser.unknownOptionNames().isEmpty() && parser.isSet(expectOption) &&
            parser.values(expectOption).isEmpty())
            return UsageError("--expect-revision needs a number");
        return UsageError(OptionError(parser, arguments));
    }
    if (parser.isSet(helpOption)) return PrintOut(kUsage);
    if (parser.values(dbOption).size() > 1) return UsageError("only one --db can be given");

    QStringList words = parser.positionalArguments();
    if (words.isEmpty()) return UsageError("no command given");
    const QString command = words.takeFirst();
    const auto count = ArgumentCounts().find(command);
    if (count == ArgumentCounts().end())
        return UsageError("unknown command \"" + command.toStdString() + "\"");
    if (words.size() != count->second)
        return UsageError(command.toStdString() + " takes " + std::to_string(count->second) +
                          (count->second == 1 ? " argument" : " arguments") + ", not " +
                          std::to_string(words.size()));
    std::optional<qint64> expected;
    if (parser.isSet(expectOption)) {
        if (command != QStringLiteral("import"))
            return UsageError("--expect-revision goes with import only");
        if (parser.values(expectOption).size() > 1)
            return UsageError("only one --expect-revision can be given");
        expected = ParseRevision(parser.value(expectOption));
        if (!expected)
            return UsageError("--expect-revision needs a revision (1 or more), not \"" +
                              Escaped(parser.value(expectOption).toUtf8()) + "\"");
    }

    // Qt SQL loads its SQLite driver as a plugin, and the data folder is named after the
    // application: both need the application object.
    static int qtArgc = 1;
    static char programName[] = "tarn-schedule";
    static char* qtArgv[] = {programName, nullptr};
    QCoreApplication::setApplicationName(QStringLiteral("tarn-schedule"));
    QCoreApplication application(qtArgc, qtArgv);

    QString path = parser.value(dbOption);
    if (path.isEmpty()) {
        path = ScheduleStore::DefaultPath();
        if (!ReadsOnly(command) && !QDir().mkpath(QFileInfo(path).absolutePath()))
            return Fail(kFailure, "cannot create the folder " + QFileInfo(path).absolutePath());
    }

    // The week file is read first: a wrong one changes nothing, not even a database to create.
    std::optional<WeekRanges> week;
    if (command == QStringLiteral("import")) {
        auto read = ReadWeekFile(words[1]);
        if (auto* failed = std::get_if<int>(&read)) return *failed;
        week = std::get<WeekRanges>(read);
    }

    // Reading never creates, migrates or writes the database: no file, or an empty one, is an
    // empty store.
    StoreOptions options;
    options.readOnly = ReadsOnly(command);
    const QFileInfo file(path);
    if (options.readOnly && (!file.exists() || (file.isFile() && file.size() == 0))) {
        if (command == QStringLiteral("list")) return 0;
        return Fail(kInputError, "no schedule named \"" + words[0] + "\"");
    }
    auto store = ScheduleStore::Open(path, options);
    if (!store) return Fail(store.Error());
    return Run(*store.Value(), command, words, week, expected);
}

}  // namespace tarn::app
