// The demonstration window: the control embedded in a host window beside a live view of its 64
// time properties (editable, written by name) and a log of its events and of the host's calls.
//
//   tarn-schedule demo [--quit-after-ms N] [--screenshot FILE]
//
// --screenshot writes the window to FILE once the control has drawn its rows, then exits; with
// either option and no display, the window runs on Qt's off-screen platform.
#include "app/Demo.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
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
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "TarnSchedule/ScheduleWidget.h"
#include "app/ToolkitMessages.h"
#include "model/DesignData.h"
#include "model/Schedule.h"
#include "platform/qt/ScheduleWidgetInternals.h"

namespace tarn::app {

namespace {

constexpr const char* kDemoUsage =
    "usage: tarn-schedule demo [--quit-after-ms N] [--screenshot FILE]";

struct DemoOptions {
    std::optional<int> quitAfterMs;
    std::optional<std::string> screenshot;
};

/// Reads the demo's own options; Qt's options (such as -platform) are left to QApplication.
std::optional<DemoOptions> ReadOptions(int argc, char** argv, bool& help) {
    DemoOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            help = true;
            return options;
        }
        if (argument == "--quit-after-ms" || argument == "--screenshot") {
            if (i + 1 == argc) {
                std::cerr << "demo: " << argument << " needs a value\n" << kDemoUsage << '\n';
                return std::nullopt;
            }
            const std::string value = argv[++i];
            if (argument == "--screenshot") {
                options.screenshot = value;
                continue;
            }
            char* end = nullptr;
            const long milliseconds = std::strtol(value.c_str(), &end, 10);
            if (end == value.c_str() || *end != '\0' || milliseconds < 0 ||
                milliseconds > 86400000) {
                std::cerr << "demo: --quit-after-ms needs a number of milliseconds\n";
                return std::nullopt;
            }
            options.quitAfterMs = static_cast<int>(milliseconds);
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

}  // namespace

int RunDemo(int argc, char** argv) {
    bool help = false;
    const std::optional<DemoOptions> options = ReadOptions(argc, argv, help);
    if (!options) return 2;
    if (help) {
        std::cout << kDemoUsage << '\n';
        return 0;
    }
    const bool unattended = options->quitAfterMs || options->screenshot;
    if (unattended && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    InstallToolkitMessageHandler("demo");
    int qtArgc = argc;
    QApplication application(qtArgc, argv);
    DemoWindow window;
    window.show();

    int status = 0;
    if (options->screenshot) {
        // Written once the control has drawn its rows and its timer is idle again.
        auto* poll = new QTimer(&window);
        int waited = 0;
        QObject::connect(poll, &QTimer::timeout, &window, [&, poll] {
            waited += poll->interval();
            Schedule& control = ScheduleWidgetInternals::Control(window.schedule());
            const bool drawn = control.CompletedRedraws() > 0 && !window.schedule().timerArmed();
            if (!drawn && waited < 10000) return;
            poll->stop();
            if (!window.grab().save(QString::fromStdString(*options->screenshot), "PNG")) {
                std::cerr << "demo: cannot write " << *options->screenshot << '\n';
                status = 1;
            }
            QApplication::quit();
        });
        poll->start(50);
    }
    if (options->quitAfterMs)
        QTimer::singleShot(*options->quitAfterMs, &application, &QApplication::quit);
    const int result = application.exec();
    return status != 0 ? status : result;
}

}  // namespace tarn::app
