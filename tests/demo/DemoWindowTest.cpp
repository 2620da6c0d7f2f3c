// The demo host's window driven as a user drives it, against a real database file: edits on the
// control reach the database at once and can be undone, a file that is not a week changes nothing,
// a save that fails is shown and kept until it succeeds, a database held by another program never
// stalls the window, and two editors of one schedule never overwrite each other.
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QUndoStack>
#include <QtTest>
#include <memory>

#include "TarnSchedule/ScheduleWidget.h"
#include "app/demo/CopyDayDialog.h"
#include "app/demo/DemoWindow.h"
#include "app/demo/DeveloperView.h"
#include "controller/ScheduleController.h"
#include "frontends/widgets/ScheduleWidgetInternals.h"
#include "platform/DesignData.h"
#include "storage/ScheduleStore.h"

namespace {

using tarn::DayRanges;
using tarn::TimeRange;
using tarn::WeekRanges;
using tarn::app::DemoWindow;
using tarn::storage::ScheduleStore;

DayRanges Day(std::vector<TimeRange> ranges) {
    return std::get<DayRanges>(DayRanges::Make(std::move(ranges)));
}

/// Waits until every database call the window made has been answered.
void Settle(DemoWindow& window) {
    QTRY_VERIFY_WITH_TIMEOUT(!window.isBusy(), 20000);
}

QPushButton* Button(QWidget& window, const QString& text) {
    for (QPushButton* button : window.findChildren<QPushButton*>())
        if (button->text() == text) return button;
    return nullptr;
}

/// Shows the window and waits for its schedule and the control's first drawing.
void ShowDrawn(DemoWindow& window) {
    Settle(window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const tarn::qt::ScheduleController& control =
        tarn::ScheduleWidgetInternals::Controller(window.schedule());
    QTRY_VERIFY(control.CompletedRedraws() > 0 && !window.schedule().timerArmed());
}

}  // namespace

class DemoWindowTest : public QObject {
    Q_OBJECT

private:
    QString DatabasePath() const { return folder_->filePath(QStringLiteral("schedules.sqlite")); }

    static tarn::storage::StoreOptions Busy(std::chrono::milliseconds timeout) {
        tarn::storage::StoreOptions options;
        options.busyTimeout = timeout;
        return options;
    }

    /// Another program's connection to the window's database.
    std::unique_ptr<ScheduleStore> OpenStore() {
        auto store = ScheduleStore::Open(DatabasePath());
        if (!store) qFatal("cannot open the test database: %s", qPrintable(store.Error().message));
        return std::move(store).Value();
    }

    tarn::storage::StoredSchedule Stored(const QString& name) {
        auto stored = OpenStore()->Read(name);
        if (!stored)
            qFatal("cannot read %s: %s", qPrintable(name), qPrintable(stored.Error().message));
        return stored.Value();
    }
    WeekRanges StoredWeek(const QString& name) { return Stored(name).week; }

    QTemporaryDir settings_;
    std::unique_ptr<QTemporaryDir> folder_;

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(settings_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
    }

    void init() {
        folder_ = std::make_unique<QTemporaryDir>();
        QVERIFY(folder_->isValid());
    }

    // The sample fills only an empty library; the user's edits are saved, and the schedule last
    // opened on a database comes back on the next start with its Special row's caption and
    // setting. Where the control puts a dragged region is shown by the mouse examples.
    void firstStartOffersTheSampleAndTheLastScheduleComesBack() {
        {
            DemoWindow window(DatabasePath());
            Settle(window);
            QCOMPARE(window.scheduleNames(), QStringList{DemoWindow::SampleName()});
            QCOMPARE(window.currentName(), DemoWindow::SampleName());
            QCOMPARE(window.schedule().weekRanges(), DemoWindow::SampleWeek());
            QVERIFY(window.renameSchedule(QStringLiteral("Shop")));
            ShowDrawn(window);
            // The user's own edit on the control, saved like any other: Sunday, then Enable.
            for (const char* button : {"cmdDay(6)", "cmdEnable"})
                QTest::mouseClick(window.schedule().findChild<QPushButton*>(QLatin1String(button)),
                                  Qt::LeftButton);
            QTRY_COMPARE(window.schedule().weekRanges()[6], Day({{0, 96}}));
            QVERIFY(window.createSchedule(QStringLiteral("Winter")));
            Settle(window);
            window.setSpecialDay(false, QStringLiteral("Holidays"));
            QTRY_VERIFY(!window.hasPendingSave());
        }
        DemoWindow again(DatabasePath());
        Settle(again);
        QCOMPARE(again.scheduleNames(),
                 (QStringList{QStringLiteral("Shop"), QStringLiteral("Winter")}));
        QCOMPARE(again.currentName(), QStringLiteral("Winter"));
        QCOMPARE(again.schedule().SpecialDayCaption(), QStringLiteral("Holidays"));
        QVERIFY(!again.schedule().SpecialDayEnabled());
        QVERIFY(again.openSchedule(QStringLiteral("Shop")));
        Settle(again);
        WeekRanges sundayOn = DemoWindow::SampleWeek();
        sundayOn[6] = Day({{0, 96}});
        QCOMPARE(again.schedule().weekRanges(), sundayOn);
        QCOMPARE(again.schedule().SpecialDayCaption(), QStringLiteral("Special"));
        QVERIFY(again.schedule().SpecialDayEnabled());
    }

    // Copy Day, Reset, an import and the Special row's setting reach the database at once, and
    // each is one step that Undo and Redo take back and forth, saved like any edit.
    void everyChangeIsSavedAndUndoable() {
        DemoWindow window(DatabasePath());
        Settle(window);
        const QString name = DemoWindow::SampleName();
        const QString path = folder_->filePath(QStringLiteral("office.json"));
        QVERIFY(window.exportTo(path));
        QVERIFY(window.copyDay(5, {0, 6, 7}));
        WeekRanges copied = DemoWindow::SampleWeek();
        copied[0] = copied[6] = copied[7] = copied[5];
        QTRY_VERIFY(!window.hasPendingSave());
        QCOMPARE(StoredWeek(name), copied);
        window.resetWeek();
        QTRY_VERIFY(!window.hasPendingSave());
        QCOMPARE(StoredWeek(name), WeekRanges{});
        // A file that is not a week changes nothing (no step, nothing saved); what the reader
        // refuses is shown by the week-files examples.
        QVERIFY(!window.importFrom(folder_->filePath(QStringLiteral("absent.json"))));
        QVERIFY2(window.statusText().startsWith(QLatin1String("Not imported: ")),
                 qPrintable(window.statusText()));
        QVERIFY(!window.hasPendingSave());
        QVERIFY(window.importFrom(path));
        window.setSpecialDay(false, QStringLiteral("Holidays"));
        QTRY_VERIFY(!window.hasPendingSave());
        QCOMPARE(StoredWeek(name), DemoWindow::SampleWeek());
        QCOMPARE(Stored(name).settings,
                 (tarn::storage::ScheduleSettings{QStringLiteral("Holidays"), false}));

        QUndoStack& undo = window.undoStack();
        QCOMPARE(undo.count(), 4);
        undo.undo();
        QVERIFY(window.schedule().SpecialDayEnabled());
        undo.undo();
        undo.undo();
        QTRY_VERIFY(!window.hasPendingSave());
        QCOMPARE(Stored(name).settings, tarn::storage::ScheduleSettings{});
        QCOMPARE(StoredWeek(name), copied);
        QCOMPARE(window.schedule().weekRanges(), copied);
        undo.redo();
        QTRY_VERIFY(!window.hasPendingSave());
        QCOMPARE(StoredWeek(name), WeekRanges{});
    }

    // Another program holds the database while the user edits. The save waits on the lock with
    // the window answering (a 10 ms timer never late by more than a few ticks), then gives up:
    // shown with Retry and kept through further edits, switching away refused; a retry after the
    // lock is released saves every edit, in order.
    void aLockedDatabaseNeverStallsTheWindow() {
        DemoWindow window(DatabasePath(), Busy(std::chrono::milliseconds(1000)));
        QVERIFY(window.createSchedule(QStringLiteral("Winter")));
        QVERIFY(window.openSchedule(DemoWindow::SampleName()));
        ShowDrawn(window);
        QListWidget* list = window.findChild<QListWidget*>();
        QPushButton* retry = Button(window, QStringLiteral("Retry"));
        QVERIFY(retry);
        QElapsedTimer clock;
        qint64 last = 0;
        qint64 worst = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, this, [&] {
            worst = std::max(worst, clock.elapsed() - last);
            last = clock.elapsed();
        });
        {
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                           QStringLiteral("other program"));
            other.setDatabaseName(DatabasePath());
            QVERIFY(other.open());
            QSqlQuery lock(other);
            QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
            QVERIFY(window.copyDay(0, {6}));
            QTRY_VERIFY(!window.schedule().timerArmed());
            QTest::qWait(50);  // the control's drawing of that edit
            // While the save waits on the lock, the window waits on nothing, edits included.
            clock.start();
            tick.start(10);
            const auto caption = [&window](const char* text) {
                return [&window, text] { window.setSpecialDay(true, QString::fromLatin1(text)); };
            };
            QTimer::singleShot(100, &window, caption("Holidays"));
            QTimer::singleShot(300, &window, caption("Feasts"));
            QTest::qWait(700);
            tick.stop();
            worst = std::max(worst, clock.elapsed() - last);
            QVERIFY(window.hasPendingSave());
            qInfo("longest wait of the event loop: %lld ms", static_cast<long long>(worst));
            QVERIFY2(worst < 50, qPrintable(QString::number(worst)));

            QTRY_VERIFY2(window.statusText().startsWith(QLatin1String("Not saved: ")),
                         qPrintable(window.statusText()));
            QVERIFY(retry->isVisibleTo(&window));
            const QRect winter = list->visualItemRect(list->item(1));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, winter.center());
            QTRY_COMPARE(list->currentItem()->text(), DemoWindow::SampleName());
            QCOMPARE(window.currentName(), DemoWindow::SampleName());

            QVERIFY(window.copyDay(0, {7}));  // saved with the next change: waits, fails again
            Settle(window);
            QVERIFY(window.hasPendingSave());
            QVERIFY(lock.exec(QStringLiteral("ROLLBACK")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other program"));
        QTest::mouseClick(retry, Qt::LeftButton);
        QTRY_VERIFY(!window.hasPendingSave());
        QVERIFY(!retry->isVisibleTo(&window));
        WeekRanges expected = DemoWindow::SampleWeek();
        expected[6] = expected[7] = expected[0];
        QCOMPARE(StoredWeek(DemoWindow::SampleName()), expected);
        QCOMPARE(Stored(DemoWindow::SampleName()).settings.specialCaption,
                 QStringLiteral("Feasts"));
    }

    // Another program saves the open schedule, and the window's next edit is made on the version
    // it showed before: the edit is kept in the window, unsaved and offered as a new schedule, and
    // the other program's stays stored. A schedule deleted elsewhere is never written back.
    void twoEditorsNeverOverwriteEachOther() {
        DemoWindow window(DatabasePath());
        Settle(window);
        const QString name = DemoWindow::SampleName();
        WeekRanges mondayOff = DemoWindow::SampleWeek();
        mondayOff[0] = DayRanges{};
        // Both in one turn of the event loop: the window cannot have noticed the other's save.
        auto other = OpenStore();
        QVERIFY(other->Save(name, mondayOff, {}, other->Revision(name).Value()));
        QVERIFY(window.copyDay(6, {1}));  // Tuesday off, on the week before
        QTRY_VERIFY(window.hasConflict());
        QVERIFY2(window.bannerText().contains(QLatin1String("changed by another program")),
                 qPrintable(window.bannerText()));
        QVERIFY(window.hasPendingSave());
        WeekRanges tuesdayOff = DemoWindow::SampleWeek();
        tuesdayOff[1] = DayRanges{};
        QCOMPARE(StoredWeek(name), mondayOff);
        QCOMPARE(window.schedule().weekRanges(), tuesdayOff);
        // Further edits stay in the window too, until the user keeps them as a new schedule.
        QVERIFY(window.copyDay(6, {2}));
        QVERIFY(!window.openSchedule(name + QStringLiteral(" 2")));
        QVERIFY(window.keepAsNewSchedule(QStringLiteral("Mine")));
        Settle(window);
        tuesdayOff[2] = DayRanges{};
        QCOMPARE(window.currentName(), QStringLiteral("Mine"));
        QVERIFY(!window.hasPendingSave());
        QVERIFY(window.bannerText().isEmpty());
        QCOMPARE(StoredWeek(QStringLiteral("Mine")), tuesdayOff);
        QCOMPARE(StoredWeek(name), mondayOff);

        // Deleted elsewhere, then edited here before the window noticed.
        QVERIFY(other->Delete(QStringLiteral("Mine")));
        QVERIFY(window.copyDay(6, {3}));
        QTRY_VERIFY(window.hasConflict());
        QVERIFY2(window.bannerText().contains(QLatin1String("deleted")),
                 qPrintable(window.bannerText()));
        Settle(window);
        QCOMPARE(OpenStore()->Read(QStringLiteral("Mine")).Error().kind,
                 tarn::storage::StoreError::Kind::UnknownName);
        // The way out without keeping them.
        QPushButton* discard = Button(window, QStringLiteral("Discard changes"));
        QVERIFY(discard && discard->isVisibleTo(&window));
        discard->click();
        Settle(window);
        QCOMPARE(window.currentName(), name);
        QVERIFY(!window.hasPendingSave());
    }

    // While idle, a window follows what other programs do: a newer version of its schedule is
    // shown, a rename shows in the list, and when its schedule is gone another one is opened.
    void changesElsewhereAreFollowedWhileIdle() {
        DemoWindow window(DatabasePath());
        Settle(window);
        const QString name = DemoWindow::SampleName();
        auto other = OpenStore();
        QVERIFY(other->Create(QStringLiteral("Winter"), WeekRanges{}));
        QVERIFY(other->Write(name, WeekRanges{}));
        QTRY_COMPARE(window.schedule().weekRanges(), WeekRanges{});
        QTRY_COMPARE(window.scheduleNames(), (QStringList{name, QStringLiteral("Winter")}));
        QVERIFY(!window.hasPendingSave());
        QVERIFY(window.copyDay(0, {1}));  // saved on the version it now shows: no conflict
        QTRY_VERIFY(!window.hasPendingSave());
        QVERIFY(!window.hasConflict());

        QVERIFY(other->Rename(QStringLiteral("Winter"), QStringLiteral("Cold")));
        QTRY_COMPARE(window.scheduleNames(), (QStringList{QStringLiteral("Cold"), name}));
        QVERIFY(other->Rename(name, QStringLiteral("Office")));
        QTRY_COMPARE(window.currentName(), QStringLiteral("Office"));
        QVERIFY(other->Delete(QStringLiteral("Office")));
        QTRY_COMPARE(window.currentName(), QStringLiteral("Cold"));
        QVERIFY2(window.statusText().contains(QLatin1String("deleted by another program")),
                 qPrintable(window.statusText()));
        QCOMPARE(window.scheduleNames(), QStringList{QStringLiteral("Cold")});
    }

    void libraryOperationsKeepTheListAndTheControlInStep() {
        DemoWindow window(DatabasePath());
        Settle(window);
        QVERIFY(window.duplicateSchedule(QStringLiteral("Winter")));
        Settle(window);
        QCOMPARE(window.currentName(), QStringLiteral("Winter"));
        QVERIFY(window.duplicateSchedule(DemoWindow::SampleName()));  // the name is taken
        QVERIFY(!window.renameSchedule(QString()));
        Settle(window);
        QCOMPARE(window.currentName(), QStringLiteral("Winter"));
        QVERIFY2(window.statusText().startsWith(QLatin1String("Not duplicated: ")),
                 qPrintable(window.statusText()));
        // A click on a name in the list opens it.
        window.show();
        QListWidget* list = window.findChild<QListWidget*>();
        QVERIFY(list);
        const QRect office = list->visualItemRect(list->item(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, office.center());
        QTRY_COMPARE(window.currentName(), DemoWindow::SampleName());
        QCOMPARE(list->currentItem()->text(), DemoWindow::SampleName());

        // A new schedule starts empty; deleting it opens the first one left.
        QVERIFY(window.createSchedule(QStringLiteral("Empty")));
        Settle(window);
        QCOMPARE(window.schedule().weekRanges(), WeekRanges{});
        QVERIFY(window.deleteSchedule());
        Settle(window);
        QCOMPARE(window.scheduleNames(),
                 (QStringList{DemoWindow::SampleName(), QStringLiteral("Winter")}));
        QCOMPARE(window.currentName(), DemoWindow::SampleName());
        QCOMPARE(window.schedule().weekRanges(), DemoWindow::SampleWeek());

        QVERIFY(window.deleteSchedule());
        Settle(window);
        QVERIFY(window.deleteSchedule());
        Settle(window);
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
        DemoWindow window(DatabasePath());
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
