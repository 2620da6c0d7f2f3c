// The demo host: a library of named schedules kept in a SQLite file, the current one open in the
// control (app/demo/DemoWindow.h).
//
//   tarn-schedule demo [--quick] [--db PATH] [--quit-after-ms N] [--screenshot FILE]
//
// --quick shows the touch-first Qt Quick window (app/demo/quick/) in place of the widget window.
// --db picks the database (default: schedules.sqlite in the user's data folder). --screenshot
// writes the window to FILE once the control has drawn its rows, then exits; without --db it works
// on a temporary database, so a screenshot never touches the user's schedules or settings. With
// --screenshot or --quit-after-ms and no display, the window runs on Qt's off-screen platform. The
// command line is read before the toolkit starts, so a wrong one is refused (status 2) even without
// a display.
#include "app/Demo.h"

#include <QApplication>
#include <QBuffer>
#include <QCommandLineParser>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "TarnSchedule/ScheduleWidget.h"
#include "app/ToolkitMessages.h"
#include "app/demo/DemoWindow.h"
#ifdef TARN_HAVE_QUICK_DEMO
#include <QQuickWindow>

#include "TarnSchedule/ScheduleEditor.h"
#include "app/demo/quick/QuickDemo.h"
#include "frontends/quick/ScheduleEditorInternals.h"
#endif
#include "controller/ScheduleController.h"
#include "frontends/widgets/ScheduleWidgetInternals.h"
#include "storage/Echo.h"
#include "storage/SafeFile.h"

namespace tarn::app {

namespace {

constexpr const char* kDemoUsage =
    "usage: tarn-schedule demo [--quick] [--db PATH] [--quit-after-ms N] [--screenshot FILE]\n"
    "  --quick            the touch-first Qt Quick window, for an 800x480 panel\n"
    "  --db PATH          the database of schedules (default: schedules.sqlite in the user's\n"
    "                     data folder; with --screenshot, a temporary one)\n"
    "  --quit-after-ms N  close the window after N milliseconds (0 to 86400000)\n"
    "  --screenshot FILE  write the window to FILE as a PNG once the control has drawn, then exit\n"
    "  -h, --help         show this help\n";

/// The longest --quit-after-ms: a day.
constexpr int kMaxQuitAfterMs = 86400000;
/// How long --screenshot waits for the control's first drawing before it takes the window as it
/// is.
constexpr int kDrawingTimeoutMs = 10000;
constexpr int kDrawingPollMs = 50;

struct DemoOptions {
    bool help = false;
    bool quick = false;
    std::optional<int> quitAfterMs;
    std::optional<QString> screenshot;
    std::optional<QString> database;
};

void PrintLine(std::ostream& out, const QString& text) {
    out << text.toLocal8Bit().constData() << '\n';
}

/// Prints "demo: PROBLEM" and the usage on standard error.
void RefuseCommandLine(const QString& problem) {
    PrintLine(std::cerr, QStringLiteral("demo: ") + problem);
    std::cerr << kDemoUsage;
}

/// A whole number of milliseconds from 0 to kMaxQuitAfterMs, written in decimal digits only.
std::optional<int> ReadMilliseconds(const QString& text) {
    if (text.isEmpty() || text.size() > 9) return std::nullopt;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    const int value = text.toInt();
    if (value > kMaxQuitAfterMs) return std::nullopt;
    return value;
}

/// Reads the demo's command line (argv[0] is "demo"). Everything on it is the demo's own: an
/// unknown option, an extra argument or a wrong value is refused with the usage on standard
/// error. Runs before the application object exists.
std::optional<DemoOptions> ReadOptions(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    // "-platform" is refused as one unknown option, not as eight unknown letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption quitAfter(QStringLiteral("quit-after-ms"), QString(),
                                       QStringLiteral("N"));
    const QCommandLineOption screenshot(QStringLiteral("screenshot"), QString(),
                                        QStringLiteral("FILE"));
    const QCommandLineOption database(QStringLiteral("db"), QString(), QStringLiteral("PATH"));
    const QCommandLineOption quick(QStringLiteral("quick"));
    parser.addOptions({help, quitAfter, screenshot, database, quick});
    if (!parser.parse(arguments)) {
        // Qt's own sentence, in the style of the tool's other messages.
        QString problem = parser.errorText();
        if (problem.endsWith(QLatin1Char('.'))) problem.chop(1);
        if (!problem.isEmpty()) problem[0] = problem[0].toLower();
        RefuseCommandLine(problem);
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        RefuseCommandLine(QStringLiteral("unexpected argument '%1'")
                              .arg(parser.positionalArguments().constFirst()));
        return std::nullopt;
    }
    for (const QCommandLineOption* option : {&quitAfter, &screenshot, &database})
        if (parser.values(*option).size() > 1) {
            RefuseCommandLine(
                QStringLiteral("--%1 is given twice").arg(option->names().constFirst()));
            return std::nullopt;
        }

    DemoOptions options;
    options.help = parser.isSet(help);
    options.quick = parser.isSet(quick);
#ifndef TARN_HAVE_QUICK_DEMO
    if (options.quick) {
        RefuseCommandLine(
            QStringLiteral("--quick needs the Qt Quick item, which this build lacks"));
        return std::nullopt;
    }
#endif
    if (parser.isSet(quitAfter)) {
        const QString text = parser.value(quitAfter);
        options.quitAfterMs = ReadMilliseconds(text);
        if (!options.quitAfterMs) {
            RefuseCommandLine(
                QStringLiteral("--quit-after-ms needs a whole number of milliseconds from 0 to "
                               "%1, not '%2'")
                    .arg(kMaxQuitAfterMs)
                    .arg(text));
            return std::nullopt;
        }
    }
    if (parser.isSet(screenshot)) {
        options.screenshot = parser.value(screenshot);
        if (options.screenshot->isEmpty()) {
            RefuseCommandLine(QStringLiteral("--screenshot needs a file name"));
            return std::nullopt;
        }
    }
    if (parser.isSet(database)) {
        options.database = parser.value(database);
        if (options.database->isEmpty()) {
            RefuseCommandLine(QStringLiteral("--db needs a file name"));
            return std::nullopt;
        }
    }
    return options;
}

/// Checks, before the window exists, that the database the window works on can be opened: --db, a
/// temporary one for a screenshot, or the default in the user's data folder (whose folder is made
/// when missing). Returns its path; prints "demo: cannot open PATH: REASON" and returns nothing
/// when it fails. The window opens its own connection on a thread of its own.
std::optional<QString> CheckStore(const DemoOptions& options, const QTemporaryDir& scratch) {
    QString path;
    if (options.database)
        path = *options.database;
    else if (options.screenshot)
        path = scratch.filePath(QStringLiteral("schedules.sqlite"));
    else
        path = storage::ScheduleStore::DefaultPath();
    if (!options.database && !options.screenshot) QDir().mkpath(QFileInfo(path).absolutePath());
    if (options.screenshot && !options.database && !scratch.isValid()) {
        PrintLine(std::cerr, QStringLiteral("demo: cannot make a temporary database: %1")
                                 .arg(scratch.errorString()));
        return std::nullopt;
    }
    auto store = storage::ScheduleStore::Open(path);
    if (!store) {
        PrintLine(std::cerr,
                  QStringLiteral("demo: cannot open %1: %2").arg(path, store.Error().message));
        return std::nullopt;
    }
    return path;
}

/// Ends the event loop once drawn() says the window has read its schedule and the control has drawn
/// its rows and its redraw timer is idle again, or after kDrawingTimeoutMs with the window as far
/// as it got. The poll is the window's child and drawn() holds only what the window owns, so
/// nothing it touches ends before it does.
void QuitOnceDrawn(QObject& window, std::function<bool()> drawn) {
    auto* poll = new QTimer(&window);
    const QDeadlineTimer deadline(kDrawingTimeoutMs);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, deadline, drawn = std::move(drawn)] {
        if (!drawn() && !deadline.hasExpired()) return;
        poll->stop();
        QCoreApplication::quit();
    });
    poll->start(kDrawingPollMs);
}

/// Writes a picture of the window to `path` as a PNG, encoded in memory first, then written whole
/// or not at all. On failure prints "demo: cannot write PATH: REASON" and returns false.
bool WriteScreenshot(const QImage& picture, const QString& path) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    std::string reason;
    if (picture.isNull() || !picture.save(&buffer, "PNG"))
        reason = "the window could not be encoded as a PNG";
    else if (storage::WriteFileWhole(QFile::encodeName(path).toStdString(), png, reason))
        return true;
    PrintLine(std::cerr,
              QStringLiteral("demo: cannot write %1: %2")
                  .arg(storage::Echoed(path, storage::kWholeText), QString::fromStdString(reason)));
    return false;
}

#ifdef TARN_HAVE_QUICK_DEMO
/// The demo in its Qt Quick window, once the command line and the database are checked.
int RunQuickDemo(const DemoOptions& options, const QString& database) {
    QuickDemo demo(database);
    QQuickWindow* window = demo.window();
    if (window == nullptr) {
        PrintLine(std::cerr, QStringLiteral("demo: the Qt Quick window could not be made"));
        return 1;
    }
    window->show();
    if (options.screenshot) {
        ScheduleEditor& editor = *demo.editor();
        DemoSession& session = demo.session();
        QuitOnceDrawn(*window, [&editor, &session] {
            return !session.isBusy() &&
                   ScheduleEditorInternals::Controller(editor).CompletedRedraws() > 0 &&
                   !editor.timerArmed();
        });
    }
    if (options.quitAfterMs)
        QTimer::singleShot(*options.quitAfterMs, window, &QCoreApplication::quit);
    const int status = QCoreApplication::exec();
    if (options.screenshot && !WriteScreenshot(window->grabWindow(), *options.screenshot)) return 1;
    return status;
}
#endif

}  // namespace

int RunDemo(int argc, char** argv) {
    const std::optional<DemoOptions> options = ReadOptions(argc, argv);
    if (!options) return 2;
    if (options->help) {
        std::cout << kDemoUsage;
        return 0;
    }
    const bool unattended = options->quitAfterMs || options->screenshot;
    if (unattended && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    InstallToolkitMessageHandler("demo");
    // The arguments were the demo's own; the toolkit takes its settings from the environment.
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("tarn-schedule"));
    const QTemporaryDir scratch;
    const std::optional<QString> database = CheckStore(*options, scratch);
    if (!database) return 1;
    // A picture taken on a temporary database leaves the user's settings alone too.
    if (options->screenshot && !options->database)
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, scratch.path());
#ifdef TARN_HAVE_QUICK_DEMO
    if (options->quick) return RunQuickDemo(*options, *database);
#endif
    DemoWindow window(*database);
    window.show();

    if (options->screenshot)
        QuitOnceDrawn(window, [&window] {
            return !window.isBusy() &&
                   ScheduleWidgetInternals::Controller(window.schedule()).CompletedRedraws() > 0 &&
                   !window.schedule().timerArmed();
        });
    if (options->quitAfterMs)
        QTimer::singleShot(*options->quitAfterMs, &application, &QApplication::quit);
    const int status = application.exec();
    // Written after the loop, however it ended, so that the picture a user asked for is not lost.
    if (options->screenshot && !WriteScreenshot(window.grab().toImage(), *options->screenshot))
        return 1;
    return status;
}

}  // namespace tarn::app
