// The demo host's window driven as a user drives it, against a real database file: edits on the
// control reach the database at once, a file that is not a week changes nothing, and a save that
// fails is shown and kept until it succeeds.
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>
#include <memory>

#include "TarnSchedule/ScheduleWidget.h"
#include "app/demo/CopyDayDialog.h"
#include "app/demo/DemoWindow.h"
#include "app/demo/DeveloperView.h"
#include "model/DesignData.h"
#include "model/Schedule.h"
#include "platform/qt/BarWidget.h"
#include "platform/qt/ScheduleWidgetInternals.h"
#include "storage/ScheduleStore.h"

Q_DECLARE_METATYPE(tarn::DayRanges)

namespace {

using tarn::DayRanges;
using tarn::TimeRange;
using tarn::WeekRanges;
using tarn::app::DemoWindow;
using tarn::storage::ScheduleStore;

DayRanges Day(std::vector<TimeRange> ranges) {
    return std::get<DayRanges>(DayRanges::Make(std::move(ranges)));
}

/// Shows the window and waits for the control's first drawing.
void ShowDrawn(DemoWindow& window) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    tarn::Schedule& control = tarn::ScheduleWidgetInternals::Control(window.schedule());
    QTRY_VERIFY(control.CompletedRedraws() > 0 && !window.schedule().timerArmed());
}

}  // namespace

class DemoWindowTest : public QObject {
    Q_OBJECT

private:
    QString DatabasePath() const { return folder_->filePath(QStringLiteral("schedules.sqlite")); }

    std::unique_ptr<ScheduleStore> OpenStore(
        std::chrono::milliseconds busy = std::chrono::milliseconds(2000)) {
        tarn::storage::StoreOptions options;
        options.busyTimeout = busy;
        auto store = ScheduleStore::Open(DatabasePath(), options);
        if (!store) qFatal("cannot open the test database: %s", qPrintable(store.Error().message));
        return std::move(store).Value();
    }

    WeekRanges StoredWeek(const QString& name) {
        auto stored = OpenStore()->Read(name);
        if (!stored)
            qFatal("cannot read %s: %s", qPrintable(name), qPrintable(stored.Error().message));
        return stored.Value().week;
    }

    std::unique_ptr<QTemporaryDir> folder_;

private Q_SLOTS:
    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        QVERIFY(folder_->isValid());
    }

    void firstStartOffersTheSampleOnlyWhenTheLibraryIsEmpty() {
        {
            DemoWindow window(OpenStore());
            QCOMPARE(window.scheduleNames(), QStringList{DemoWindow::SampleName()});
            QCOMPARE(window.currentName(), DemoWindow::SampleName());
            QCOMPARE(window.schedule().weekRanges(), DemoWindow::SampleWeek());
            QVERIFY(window.renameSchedule(QStringLiteral("Shop")));
        }
        DemoWindow again(OpenStore());
        QCOMPARE(again.scheduleNames(), QStringList{QStringLiteral("Shop")});
        QCOMPARE(again.schedule().weekRanges(), DemoWindow::SampleWeek());
    }

    // A drag along a bar and a click of Enable: the new region is in the database when it is
    // opened again.
    void dragAndEnableIsSavedAtOnce_data() {
        QTest::addColumn<int>("day");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<DayRanges>("expected");
        QTest::newRow("empty Sunday, 09:00-12:00") << 6 << 36 << 47 << Day({{36, 48}});
        QTest::newRow("Saturday, right to left, touching its hours")
            << 5 << 63 << 56 << Day({{40, 64}});
        QTest::newRow("Monday evening to midnight") << 0 << 88 << 95 << Day({{32, 70}, {88, 96}});
    }

    void dragAndEnableIsSavedAtOnce() {
        QFETCH(int, day);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(DayRanges, expected);
        {
            DemoWindow window(OpenStore());
            ShowDrawn(window);
            auto* bar = window.schedule().findChild<tarn::qt::BarWidget*>(
                QStringLiteral("Schedule(%1)").arg(day));
            QVERIFY(bar);
            // The middle of a quarter hour's block on the bar.
            const auto block = [bar](int quarter) {
                const int x = bar->frameWidth() + (2 * quarter + 1) * bar->innerSize().width() /
                                                      (2 * tarn::kQuarterHoursPerDay);
                return QPoint(x, bar->height() / 2);
            };
            QTest::mousePress(bar, Qt::LeftButton, {}, block(from));
            QTest::mouseMove(bar, block(to));
            QTest::mouseRelease(bar, Qt::LeftButton, {}, block(to));
            auto* enable = window.schedule().findChild<QPushButton*>(QStringLiteral("cmdEnable"));
            QVERIFY(enable);
            QTest::mouseClick(enable, Qt::LeftButton);
            QVERIFY(!window.hasPendingSave());
        }
        QCOMPARE(StoredWeek(DemoWindow::SampleName())[static_cast<std::size_t>(day)], expected);
        DemoWindow reopened(OpenStore());
        QCOMPARE(reopened.schedule().weekRanges()[static_cast<std::size_t>(day)], expected);
    }

    void importOfABadFileChangesNothing_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("not JSON") << QByteArray("Monday 8-17") << QString();
        QTest::newRow("a range past midnight")
            << QByteArray(R"({"format": "tarn-schedule-week", "version": 1, "days": {)"
                          R"("Monday": ["22:00-25:00"], "Tuesday": [], "Wednesday": [],)"
                          R"("Thursday": [], "Friday": [], "Saturday": [], "Sunday": [],)"
                          R"("Special": []}})")
            << QStringLiteral("Monday");
        QTest::newRow("no such file") << QByteArray("(absent)") << QString();
    }

    void importOfABadFileChangesNothing() {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString path = folder_->filePath(QStringLiteral("week.json"));
        if (content != "(absent)") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        DemoWindow window(OpenStore());
        QVERIFY(!window.importFrom(path));
        QVERIFY2(window.statusText().startsWith(QLatin1String("Not imported: ")),
                 qPrintable(window.statusText()));
        QVERIFY2(window.statusText().contains(message), qPrintable(window.statusText()));
        QCOMPARE(window.schedule().weekRanges(), DemoWindow::SampleWeek());
        QVERIFY(!window.hasPendingSave());
        QCOMPARE(StoredWeek(DemoWindow::SampleName()), DemoWindow::SampleWeek());
    }

    // Copy Day and Reset reach the database at once; an exported week imports back as it was.
    void copiesResetsAndImportsAreSaved() {
        DemoWindow window(OpenStore());
        const QString path = folder_->filePath(QStringLiteral("office.json"));
        QVERIFY(window.exportTo(path));
        QVERIFY(window.copyDay(5, {0, 6, 7}));
        WeekRanges expected = DemoWindow::SampleWeek();
        expected[0] = expected[6] = expected[7] = expected[5];
        QCOMPARE(StoredWeek(DemoWindow::SampleName()), expected);
        window.resetWeek();
        QCOMPARE(StoredWeek(DemoWindow::SampleName()), WeekRanges{});
        QVERIFY(window.importFrom(path));
        QCOMPARE(StoredWeek(DemoWindow::SampleName()), DemoWindow::SampleWeek());
    }

    // Another program holds the database while the user edits: the failure is shown, the edit
    // stays in the control and pending through further edits, and a retry after the lock is
    // released saves all of it.
    void saveIntoALockedDatabaseStaysPendingUntilRetried() {
        DemoWindow window(OpenStore(std::chrono::milliseconds(50)));
        QVERIFY(window.createSchedule(QStringLiteral("Winter")));
        QVERIFY(window.openSchedule(DemoWindow::SampleName()));
        window.show();
        QListWidget* list = window.findChild<QListWidget*>();
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                           QStringLiteral("other program"));
            other.setDatabaseName(DatabasePath());
            QVERIFY(other.open());
            QSqlQuery lock(other);
            QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));

            QVERIFY(window.copyDay(0, {6}));
            QVERIFY(window.hasPendingSave());
            QVERIFY2(window.statusText().startsWith(QLatin1String("Not saved: ")),
                     qPrintable(window.statusText()));
            QPushButton* retry = nullptr;
            for (QPushButton* button : window.findChildren<QPushButton*>())
                if (button->text() == QLatin1String("Retry")) retry = button;
            QVERIFY(retry);
            QVERIFY(retry->isVisibleTo(&window));
            // Switching away would leave the edit behind: refused while it cannot be saved.
            QVERIFY(!window.createSchedule(QStringLiteral("Other")));
            QCOMPARE(window.currentName(), DemoWindow::SampleName());
            const QRect winter = list->visualItemRect(list->item(1));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, winter.center());
            QCOMPARE(window.currentName(), DemoWindow::SampleName());
            QTRY_COMPARE(list->currentItem()->text(), DemoWindow::SampleName());

            QVERIFY(window.copyDay(0, {7}));
            QVERIFY(window.hasPendingSave());
            QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
            other.close();

            QTest::mouseClick(retry, Qt::LeftButton);
            QVERIFY(!window.hasPendingSave());
            QVERIFY(!retry->isVisibleTo(&window));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other program"));
        WeekRanges expected = DemoWindow::SampleWeek();
        expected[6] = expected[7] = expected[0];
        QCOMPARE(StoredWeek(DemoWindow::SampleName()), expected);
    }

    void libraryOperationsKeepTheListAndTheControlInStep() {
        DemoWindow window(OpenStore());
        QVERIFY(window.duplicateSchedule(QStringLiteral("Winter")));
        QCOMPARE(window.currentName(), QStringLiteral("Winter"));
        QVERIFY(!window.duplicateSchedule(DemoWindow::SampleName()));  // the name is taken
        QVERIFY(!window.renameSchedule(QString()));
        QCOMPARE(window.currentName(), QStringLiteral("Winter"));
        // A click on a name in the list opens it.
        window.show();
        QListWidget* list = window.findChild<QListWidget*>();
        QVERIFY(list);
        const QRect office = list->visualItemRect(list->item(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, office.center());
        QCOMPARE(list->currentItem()->text(), DemoWindow::SampleName());

        // A new schedule starts empty; deleting it opens the first one left.
        QVERIFY(window.createSchedule(QStringLiteral("Empty")));
        QCOMPARE(window.schedule().weekRanges(), WeekRanges{});
        QVERIFY(window.deleteSchedule());
        QCOMPARE(window.scheduleNames(),
                 (QStringList{DemoWindow::SampleName(), QStringLiteral("Winter")}));
        QCOMPARE(window.currentName(), DemoWindow::SampleName());
        QCOMPARE(window.schedule().weekRanges(), DemoWindow::SampleWeek());

        QVERIFY(window.deleteSchedule());
        QVERIFY(window.deleteSchedule());
        QCOMPARE(window.currentName(), QString());
        QVERIFY(!window.schedule().isEnabled());
    }

    // The day being copied is never one of its own targets, also when it is chosen after the
    // targets were ticked; Copy needs a target.
    void copyDayDialogNeverCopiesADayOntoItself() {
        tarn::app::CopyDayDialog dialog(true);
        auto* copy = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        QCOMPARE(dialog.sourceDay(), 0);
        QVERIFY(!copy->isEnabled());
        dialog.setTargetDays({1, 6});
        QVERIFY(copy->isEnabled());
        dialog.setSourceDay(1);
        QCOMPARE(dialog.targetDays(), QList<int>{6});
        dialog.setSourceDay(6);
        QCOMPARE(dialog.targetDays(), QList<int>{1});
        dialog.setTargetDays({6});
        QCOMPARE(dialog.targetDays(), QList<int>());
        QVERIFY(!copy->isEnabled());

        tarn::app::CopyDayDialog withoutSpecial(false);
        withoutSpecial.setTargetDays({1, 7});
        QCOMPARE(withoutSpecial.targetDays(), QList<int>{1});
    }

    // The window shrinks well below the control's design width, and Tab leaves the developer
    // view's text boxes instead of being typed into them.
    void windowShrinksAndTabMovesOn() {
        DemoWindow window(OpenStore());
        window.developerView().setExpanded(true);
        ShowDrawn(window);
        QVERIFY2(window.minimumSizeHint().width() < 700,
                 qPrintable(QString::number(window.minimumSizeHint().width())));
        window.resize(window.minimumSizeHint());
        QTRY_VERIFY(!window.schedule().timerArmed());
        QVERIFY(window.schedule().width() < tarn::design::kControlWidth);

        // Every widget that Tab reaches hands the focus on with Tab.
        int reached = 0;
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisible() ||
                !widget->isEnabled() || widget->focusProxy())
                continue;
            widget->setFocus(Qt::TabFocusReason);
            QTRY_VERIFY(widget->hasFocus());
            QTest::keyClick(widget, Qt::Key_Tab);
            QVERIFY2(!widget->hasFocus(), widget->metaObject()->className());
            ++reached;
        }
        QVERIFY(reached >= 4);

        // The log shows each entry on one line, however narrow the window.
        window.copyDay(0, {6});
        const QPlainTextEdit& log = window.developerView().logText();
        QVERIFY(log.blockCount() > 1);
        for (QTextBlock block = log.document()->begin(); block.isValid(); block = block.next())
            QCOMPARE(block.layout()->lineCount(), 1);
    }
};

QTEST_MAIN(DemoWindowTest)
#include "DemoWindowTest.moc"
