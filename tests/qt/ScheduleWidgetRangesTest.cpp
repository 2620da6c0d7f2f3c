// The widget's whole-day and whole-week calls, and ScheduleChanged: one signal per call that
// changed the time properties, whoever made the call, and none for a call that changed nothing.
#include <QSignalSpy>

#include "WidgetTestSupport.h"

using namespace tarn;
using namespace tarn::test;

class ScheduleWidgetRangesTest : public QObject {
    Q_OBJECT

private slots:
    // One after another on one control, which starts with Monday 08:00-10:00, drawn.
    // ScheduleUpdated is played by the examples.
    void everyChangeEmitsScheduleChangedOnce() {
        TestControl c;
        c.widget.setDayRanges(0, Ranges({{32, 40}}));
        c.widget.deliverTimerTick();
        int seen = 0;
        connect(&c.widget, &ScheduleWidget::ScheduleChanged, this, [&] { ++seen; });
        const auto changes = [&](const std::function<void()>& call) {
            seen = 0;
            call();
            return seen;
        };
        ScheduleWidget& w = c.widget;
        QCOMPARE(changes([&] { w.setSchedule_MondayStart1(800); }), 0);        // the same value
        QCOMPARE(changes([&] { w.setSchedule_MondayStart1(40000); }), 0);      // refused
        QCOMPARE(changes([&] { w.setDayRanges(0, Ranges({{32, 40}})); }), 0);  // the same day
        QCOMPARE(changes([&] { w.copyDay(0, {0}); }), 0);                      // onto itself
        QCOMPARE(changes([&] { w.copyDay(0, {1, 9}); }), 0);                   // refused
        QCOMPARE(changes([&] { w.copyDay(0, {1, 2, 3}); }), 1);
        QCOMPARE(changes([&] { w.setSchedule_TuesdayStart1(900); }), 1);
        QCOMPARE(changes([&] { w.setProperty("Schedule_SpecialStop4", 5); }), 1);
        QCOMPARE(changes([&] { w.setDayRanges(0, Ranges({{0, 4}})); }), 1);
        WeekRanges week;
        week[3] = Ranges({{0, 96}});
        QCOMPARE(changes([&] { w.setWeekRanges(week); }), 1);
        QCOMPARE(changes([&] { w.Reset(); }), 1);
        // The user's save refused (a whole day on one with a region), then one whose listener
        // writes: one signal for both writes.
        const auto clicks = [&](std::initializer_list<int> buttons) {
            for (int button : buttons)
                QTest::mouseClick(&c.button(button), Qt::LeftButton);
        };
        w.setDayRanges(0, Ranges({{0, 4}}));
        QCOMPARE(changes([&] { clicks({0, 8}); }), 0);
        connect(&w, &ScheduleWidget::ScheduleUpdated, &w, [&w] {
            w.setDayRanges(5, Ranges({{4, 8}}));
        });
        QCOMPARE(changes([&] { clicks({2, 8}); }), 1);
    }

    void refusedWriteChangesNothingAndSaysWhy_data() {
        // A text the reader refuses and a day that does not exist; ranges the day refuses are
        // played by the whole-days example, and the day value's own tests have the messages.
        QTest::addColumn<int>("day");
        QTest::addColumn<QStringList>("ranges");
        QTest::addColumn<QString>("message");
        QTest::newRow("another form")
            << 0 << QStringList{"8-9"} << "\"8-9\" is not a range HH:MM-HH:MM";
        QTest::newRow("no such day")
            << 8 << QStringList{} << "there is no day 8; days are 0 (Monday) to 7 (Special)";
    }

    void refusedWriteChangesNothingAndSaysWhy() {
        QFETCH(int, day);
        QFETCH(QStringList, ranges);
        QFETCH(QString, message);
        TestControl c;
        c.widget.setSchedule_MondayStart1(600);
        c.widget.setSchedule_MondayStop1(700);
        const auto before = c.redraws();
        QSignalSpy changed(&c.widget, &ScheduleWidget::ScheduleChanged);
        QCOMPARE(c.widget.setDayRanges(day, ranges), std::optional<QString>(message));
        QCOMPARE(c.redraws(), before);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(c.widget.dayRanges(0), Ranges({{24, 28}}));
    }

    void writeDuringAMessageBoxWaitsForItToClose() {
        TestControl c;
        c.widget.deliverTimerTick();
        bool appliedInside = true;
        c.onMessageBox = [&] {
            c.widget.setDayRanges(2, Ranges({{0, 4}}));
            appliedInside = c.widget.timeValue(16) != 0 || c.widget.timeValue(17) != 0;
        };
        QSignalSpy changed(&c.widget, &ScheduleWidget::ScheduleChanged);
        QTest::mouseClick(&c.button(0), Qt::LeftButton);
        QTest::mouseClick(&c.button(8), Qt::LeftButton);  // a whole day on an empty day is fine
        c.widget.setSchedule_MondayStart1(0);
        FailNextLabel(c.widget);
        c.widget.Refresh();
        c.widget.deliverTimerTick();  // the failed label shows a box
        QVERIFY(!c.messageBoxes.isEmpty());
        QVERIFY(!appliedInside);
        QTRY_COMPARE(c.widget.timeValue(17), 100);
    }
};

QTEST_MAIN(ScheduleWidgetRangesTest)
#include "ScheduleWidgetRangesTest.moc"
