#include "app/PlayCommand.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "app/HostedControl.h"
#include "app/ScriptFile.h"
#include "app/ScriptRunner.h"
#include "storage/Echo.h"

#ifdef TARN_HAVE_QT
#include <QApplication>
#include <QtGlobal>

#include "app/ToolkitMessages.h"
#endif

namespace tarn::app {

namespace {

#ifdef TARN_HAVE_QT
constexpr std::string_view kDefaultBackend = "qt";
#else
constexpr std::string_view kDefaultBackend = "memory";
#endif

constexpr const char* kUsage =
    "usage: tarn-schedule play [--backend qt|memory|quick] [--scale F] [FILE]";

int UsageError(const std::string& what) {
    std::cerr << "play: " << what << '\n' << kUsage << '\n';
    return 2;
}

/// Standard input, output and error as play uses them. One that the caller left closed stays
/// closed for play (reading or writing it fails with EBADF, and says so), but /dev/null holds its
/// number, so that no file the program opens later, the script or one of the toolkit's, takes
/// it and receives the output.
struct StandardDescriptors {
    std::array<bool, 3> closed{};

    StandardDescriptors() {
        for (int fd = 0; fd < 3; ++fd) {
            if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
            closed[fd] = true;
            const int placeholder = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
            if (placeholder >= 0 && placeholder != fd) ::close(placeholder);
        }
    }

    int Usable(int fd) const { return closed[fd] ? -1 : fd; }
};

/// Writes `text` on standard output; false, with the reason on standard error, when it cannot.
bool PrintOut(const StandardDescriptors& standard, std::string_view text) {
    FileBuffer output(standard.Usable(1), FileBuffer::Direction::Write, "standard output");
    output.sputn(text.data(), static_cast<std::streamsize>(text.size()));
    output.pubsync();
    if (output.Failure().empty()) return true;
    std::cerr << "play: " << output.Failure() << '\n';
    return false;
}

/// The device pixel ratio written as a decimal from 1 to 4 (digits, at most one point, at most 8
/// characters); nothing for anything else.
std::optional<double> ParseScale(const std::string& text) {
    if (text.empty() || text.size() > 8 || text.front() == '.' || text.back() == '.') return {};
    int points = 0;
    for (const char c : text) {
        if (c == '.') {
            ++points;
        } else if (c < '0' || c > '9') {
            return {};
        }
    }
    if (points > 1) return {};
    const double scale = std::strtod(text.c_str(), nullptr);
    if (!(scale >= 1.0 && scale <= 4.0)) return {};
    return scale;
}

int Play(FileBuffer& input, FileBuffer& output, std::string_view backend, double scale) {
#ifdef TARN_HAVE_QT
    if (backend == "qt" || backend == "quick") {
        // No display is needed: the widget runs on the off-screen platform unless the user
        // chose another one.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        // The screen's device pixel ratio is the scale asked for, whatever the environment
        // would set.
        qputenv("QT_SCALE_FACTOR", QByteArray::number(scale, 'g', 17));
        qunsetenv("QT_SCREEN_SCALE_FACTORS");
        qunsetenv("QT_ENABLE_HIGHDPI_SCALING");
        InstallToolkitMessageHandler("play");
        static int qtArgc = 1;
        static char programName[] = "tarn-schedule";
        static char* qtArgv[] = {programName, nullptr};
        QApplication application(qtArgc, qtArgv);
#ifdef TARN_HAVE_QUICK
        if (backend == "quick") return PlayScript(input, output, std::cerr, MakeQuickControl, true);
#endif
        return PlayScript(input, output, std::cerr, MakeQtControl, true);
    }
#endif
    (void)backend;
    return PlayScript(
        input, output, std::cerr,
        [scale](HostEvents events) { return MakeMemoryControlAtRatio(std::move(events), scale); },
        false);
}

/// The bytes of the command-line argument that reads as `argument`. The parser sees arguments as
/// text; a file name is given back to the system exactly as it was typed, even when it is not
/// valid in the locale's encoding.
std::string RawArgument(int argc, char** argv, const QString& argument) {
    for (int i = argc - 1; i > 0; --i)
        if (QString::fromLocal8Bit(argv[i]) == argument) return argv[i];
    return argument.toLocal8Bit().toStdString();
}

}  // namespace

std::string OptionError(const QCommandLineParser& parser, const QStringList& arguments) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        // Named as it was written: "--x" is a long option however short its name.
        const QString name = unknown.first();
        const bool isLong = std::any_of(arguments.begin(), arguments.end(), [&](const QString& a) {
            return a == "--" + name || a.startsWith("--" + name + '=');
        });
        return "unknown option \"" + storage::Echoed(((isLong ? "--" : "-") + name).toStdString()) +
               "\"";
    }
    // "Unexpected value after '--help'." written as the tool's own messages are.
    QString what = parser.errorText();
    if (what.endsWith(QLatin1Char('.'))) what.chop(1);
    if (!what.isEmpty()) what[0] = what[0].toLower();
    return storage::Echoed(what.toStdString(), storage::kWholeText);
}

int RunPlay(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    const QCommandLineOption backendOption(
        QStringLiteral("backend"), QStringLiteral("qt, memory or quick"), QStringLiteral("name"));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("usage"));
    const QCommandLineOption scaleOption(
        QStringLiteral("scale"), QStringLiteral("device pixel ratio, 1 to 4"), QStringLiteral("F"));
    parser.addOption(backendOption);
    parser.addOption(scaleOption);
    parser.addOption(helpOption);
    if (!parser.parse(arguments)) {
        if (parser.unknownOptionNames().isEmpty() && parser.isSet(backendOption) &&
            parser.values(backendOption).isEmpty())
            return UsageError("--backend needs qt, memory or quick");
        if (parser.unknownOptionNames().isEmpty() && parser.isSet(scaleOption) &&
            parser.values(scaleOption).isEmpty())
            return UsageError("--scale needs a number from 1 to 4");
        return UsageError(OptionError(parser, arguments));
    }

    const StandardDescriptors standard;
    if (parser.isSet(helpOption)) return PrintOut(standard, std::string(kUsage) + '\n') ? 0 : 1;

    std::string backend(kDefaultBackend);
    if (parser.isSet(backendOption)) backend = parser.values(backendOption).last().toStdString();
    if (backend != "qt" && backend != "memory" && backend != "quick")
        return UsageError("unknown backend \"" + storage::Echoed(backend) +
                          "\" (qt, memory or quick)");
#ifndef TARN_HAVE_QT
    if (backend == "qt") return UsageError("the qt backend is not available in this build");
#endif
#ifndef TARN_HAVE_QUICK
    if (backend == "quick") return UsageError("the quick backend is not available in this build");
#endif

    std::string scaleText = "1";
    if (parser.isSet(scaleOption)) scaleText = parser.values(scaleOption).last().toStdString();
    const std::optional<double> scale = ParseScale(scaleText);
    if (!scale)
        return UsageError("scale \"" + storage::Echoed(scaleText) +
                          "\" is not a number from 1 to 4");

    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) return UsageError("only one FILE can be played");

    // Writing to a pipe whose reader has gone ends the program by SIGPIPE, quietly, as for any
    // command in a pipeline (`play tour.tsch | head`); where SIGPIPE is ignored, the write fails
    // with EPIPE and play says so and exits with status 1.
    FileBuffer output(standard.Usable(1), FileBuffer::Direction::Write, "standard output");
    if (files.isEmpty() || files.first() == QStringLiteral("-")) {
        FileBuffer input(standard.Usable(0), FileBuffer::Direction::Read, "standard input");
        return Play(input, output, backend, *scale);
    }
    const std::string file = RawArgument(argc, argv, files.first());
    // A path on the command line is short enough to show whole, which a message about it needs.
    const std::string shown = storage::Echoed(file, storage::kWholeText);
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::cerr << "play: cannot read " << shown << ": " << std::strerror(errno) << '\n';
        return 1;
    }
    FileBuffer input(fd, FileBuffer::Direction::Read, shown, true);
    return Play(input, output, backend, *scale);
}

}  // namespace tarn::app
