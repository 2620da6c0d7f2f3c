// The demonstration window: the control embedded in a host window beside a live view of its 64
// time properties (editable, written by name) and a log of its events and of the host's calls.
//
//   tarn-schedule demo [--quit-after-ms N] [--screenshot FILE]
//
// --screenshot writes the window to FILE once the control has drawn its rows, then exits; with
// either option and no display, the window runs on Qt's off-screen platform. The command line is
// read before the toolkit starts, so a wrong one is refused (status 2) even without a display.
#include "app/Demo.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QCommandLineParser>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <iostream>
#include <optional>
#include <string_view>

#include "TarnSchedule/ScheduleWidget.h"
#include "app/ToolkitMessages.h"
#include "model/DesignData.h"
#include "model/Schedule.h"
#include "platform/qt/ScheduleWidgetInternals.h"

namespace tarn::app {

namespace {

constexpr const char* kDemoUsage =
    "usage: tarn-schedule demo [--quit-after-ms N] [--screenshot FILE]\n"
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
    std::optional<int> quitAfterMs;
    std::optional<QString> screenshot;
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
    parser.addOptions({help, quitAfter, screenshot});
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
    for (const QCommandLineOption* option : {&quitAfter, &screenshot})
        if (parser.values(*option).size() > 1) {
            RefuseCommandLine(
                QStringLiteral("--%1 is given twice").arg(option->names().constFirst()));
            return std::nullopt;
        }

    DemoOptions options;
    options.help = parser.isSet(help);
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
    return options;
}

/// The host window of the demonstration.
class DemoWindow final : public QMainWindow {
public:
    DemoWindow() {
        setWindowTitle(QStringLiteral("TarnSchedule demo"));
        auto* splitter = new QSplitter(Qt::Horizontal, this);
        setCentralWidget(splitter);

        auto* left = new QWidget(splitter);
        auto* leftLayout = new QVBoxLayout(left);
        schedule_ = new ScheduleWidget(left);
        leftLayout->addWidget(schedule_, 1);
        leftLayout->addLayout(MakeHostControls(left));

        auto* right = new QWidget(splitter);
        auto* rightLayout = new QVBoxLayout(right);
        rightLayout->addWidget(
            new QLabel(QStringLiteral("Time properties (edit to write by name)")));
        table_ = MakePropertyTable(right);
        rightLayout->addWidget(table_, 3);
        rightLayout->addWidget(new QLabel(QStringLiteral("Events and host calls")));
        log_ = new QPlainTextEdit(right);
        log_->setReadOnly(true);
        log_->setMaximumBlockCount(500);
        rightLayout->addWidget(log_, 2);
        splitter->setStretchFactor(0, 3);
        splitter->setStretchFactor(1, 2);

        connect(schedule_, &ScheduleWidget::ScheduleUpdated, this, [this] {
            Log(QStringLiteral("event ScheduleUpdated"));
            ShowProperties();
        });
        // A first schedule to look at: office hours on weekdays, a short Saturday.
        for (int day = 0; day < 5; ++day) {
            SetTime(TimePropertyIndex(day, 1, false), 800);
            SetTime(TimePropertyIndex(day, 1, true), day == 4 ? 1500 : 1730);
        }
        SetTime(TimePropertyIndex(5, 1, false), 1000);
        SetTime(TimePropertyIndex(5, 1, true), 1400);
        ShowProperties();
        resize(1320, 600);
    }

    ScheduleWidget& schedule() { return *schedule_; }

private:
    QLayout* MakeHostControls(QWidget* parent) {
        auto* row = new QHBoxLayout;
        auto* refresh = new QPushButton(QStringLiteral("Refresh"), parent);
        auto* reset = new QPushButton(QStringLiteral("Reset"), parent);
        auto* enable = new QCheckBox(QStringLiteral("Enable"), parent);
        auto* special = new QCheckBox(QStringLiteral("SpecialDayEnabled"), parent);
        auto* caption = new QLineEdit(schedule_->SpecialDayCaption(), parent);
        enable->setChecked(schedule_->Enable());
        special->setChecked(schedule_->SpecialDayEnabled());
        caption->setToolTip(QStringLiteral("SpecialDayCaption"));
        row->addWidget(refresh);
        row->addWidget(reset);
        row->addWidget(enable);
        row->addWidget(special);
        row->addWidget(new QLabel(QStringLiteral("SpecialDayCaption"), parent));
        row->addWidget(caption, 1);

        connect(refresh, &QPushButton::clicked, this, [this] {
            Log(QStringLiteral("call Refresh"));
            QMetaObject::invokeMethod(schedule_, "Refresh");
        });
        connect(reset, &QPushButton::clicked, this, [this] {
            Log(QStringLiteral("call Reset"));
            QMetaObject::invokeMethod(schedule_, "Reset");
            ShowProperties();
        });
        connect(enable, &QCheckBox::toggled, this, [this](bool on) {
            Log(QStringLiteral("set Enable %1").arg(on ? "True" : "False"));
            schedule_->setProperty("Enable", on);
        });
        connect(special, &QCheckBox::toggled, this, [this](bool on) {
            Log(QStringLiteral("set SpecialDayEnabled %1").arg(on ? "True" : "False"));
            schedule_->setProperty("SpecialDayEnabled", on);
        });
        connect(caption, &QLineEdit::editingFinished, this, [this, caption] {
            Log(QStringLiteral("set SpecialDayCaption \"%1\"").arg(caption->text()));
            schedule_->setProperty("SpecialDayCaption", caption->text());
        });
        return row;
    }

    QTableWidget* MakePropertyTable(QWidget* parent) {
        auto* table = new QTableWidget(8, 8, parent);
        QStringList columns;
        for (int region = 1; region <= 4; ++region)
            columns << QStringLiteral("Start%1").arg(region)
                    << QStringLiteral("Stop%1").arg(region);
        table->setHorizontalHeaderLabels(columns);
        QStringList rows;
        for (std::string_view day : design::kDayWords)
            rows << QString::fromLatin1(day.data(), static_cast<qsizetype>(day.size()));
        table->setVerticalHeaderLabels(rows);
        table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        table->horizontalHeader()->setMinimumSectionSize(52);
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 8; ++column) {
                auto* item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                item->setToolTip(QString::fromStdString(TimePropertyName(row * 8 + column)));
                table->setItem(row, column, item);
            }
        connect(table, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
            if (showing_) return;
            const int index = item->row() * 8 + item->column();
            const QByteArray name = QByteArray::fromStdString(TimePropertyName(index));
            bool ok = false;
            const int value = item->text().toInt(&ok);
            if (ok) SetTime(index, value);
            ShowProperties();
        });
        return table;
    }

    /// Writes a time property by name, as a form or a script does.
    void SetTime(int index, int value) {
        const QByteArray name = QByteArray::fromStdString(TimePropertyName(index));
        Log(QStringLiteral("set %1 %2").arg(QString::fromLatin1(name)).arg(value));
        schedule_->setProperty(name.constData(), value);
    }

    /// Reads every time property back by name.
    void ShowProperties() {
        showing_ = true;
        for (int index = 0; index < kTimePropertyCount; ++index) {
            const QByteArray name = QByteArray::fromStdString(TimePropertyName(index));
            table_->item(index / 8, index % 8)
                ->setText(QString::number(schedule_->property(name.constData()).toInt()));
        }
        showing_ = false;
    }

    void Log(const QString& line) {
        log_->appendPlainText(
            QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss.zzz  ")) + line);
    }

    ScheduleWidget* schedule_ = nullptr;
    QTableWidget* table_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
    bool showing_ = false;
};

/// Ends the event loop once the control has drawn its rows and its redraw timer is idle again, or
/// after kDrawingTimeoutMs with the window as far as it got. The poll is the window's child and its
/// handler holds only the window and the poll itself, so nothing it touches ends before it does.
void QuitOnceDrawn(DemoWindow& window) {
    auto* poll = new QTimer(&window);
    const QDeadlineTimer deadline(kDrawingTimeoutMs);
    QObject::connect(poll, &QTimer::timeout, poll, [&window, poll, deadline] {
        Schedule& control = ScheduleWidgetInternals::Control(window.schedule());
        const bool drawn = control.CompletedRedraws() > 0 && !window.schedule().timerArmed();
        if (!drawn && !deadline.hasExpired()) return;
        poll->stop();
        QApplication::quit();
    });
    poll->start(kDrawingPollMs);
}

/// Writes the window to `path` as a PNG. The picture is encoded in memory first and written in
/// one go to the file itself (never through a temporary file renamed over it, which would replace
/// a device or a named pipe); a regular file that could not be written whole is removed. On
/// failure prints "demo: cannot write PATH: REASON" and returns false.
bool WriteScreenshot(QWidget& window, const QString& path) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QString reason;
    QFile file(path);
    if (!window.grab().save(&buffer, "PNG"))
        reason = QStringLiteral("the window could not be encoded as a PNG");
    else if (!file.open(QIODevice::WriteOnly))
        reason = file.errorString();
    else if (file.write(png) != png.size() || !file.flush()) {
        reason = file.errorString();
        file.close();
        if (QFileInfo(path).isFile()) file.remove();
    }
    if (reason.isEmpty()) return true;
    PrintLine(std::cerr, QStringLiteral("demo: cannot write %1: %2").arg(path, reason));
    return false;
}

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
    DemoWindow window;
    window.show();

    if (options->screenshot) QuitOnceDrawn(window);
    if (options->quitAfterMs)
        QTimer::singleShot(*options->quitAfterMs, &application, &QApplication::quit);
    const int status = application.exec();
    // Written after the loop, however it ended, so that the picture a user asked for is not lost.
    if (options->screenshot && !WriteScreenshot(window, *options->screenshot)) return 1;
    return status;
}

}  // namespace tarn::app
