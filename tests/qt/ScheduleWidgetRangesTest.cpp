// The widget's whole-day and whole-week calls, and ScheduleChanged: one signal per call that
// changed the time properties, whoever made the call, and none for a call that changed nothing.
#include <QSignalSpy>
#include <vector>

#include "WidgetTestSupport.h"

using namespace tarn;
using namespace tarn::test;

namespace {

struct ChangeCase {
    const char* name;
    std::function<void(TestControl&)> call;
    int changed;  // ScheduleChanged emitted; ScheduleUpdated is played by the examples
};

/// Before each case Monday holds 08:00-10:00 and the control has drawn itself.
const std::vector<ChangeCase>& ChangeCases() {
    static const std::vector<ChangeCase> cases = {
        {"setter", [](TestControl& c) { c.widget.setSchedule_TuesdayStart1(900); }, 1},
        {"setter of the same value", [](TestControl& c) { c.widget.setSchedule_MondayStart1(800); },
         0},
        {"refused setter", [](TestControl& c) { c.widget.setSchedule_MondayStart1(40000); }, 0},
        {"setProperty", [](TestControl& c) { c.widget.setProperty("Schedule_SpecialStop4", 5); },
         1},
        {"Reset", [](TestControl& c) { c.widget.Reset(); }, 1},
        {"day write",
         [](TestControl& c) {
             c.widget.setDayRanges(0, Ranges({{0, 4}}));
         },
         1},
        {"day write of the same day",
         [](TestControl& c) {
             c.widget.setDayRanges(0, Ranges({{32, 40}}));
         },
         0},
        {"week write",
         [](TestControl& c) {
             WeekRanges week;
             week[3] = Ranges({{0, 96}});
             c.widget.setWeekRanges(week);
         },
         1},
        {"copy",
         [](TestControl& c) {
             c.widget.copyDay(0, {1, 2, 3});
         },
         1},
        {"copy onto itself", [](TestControl& c) { c.widget.copyDay(0, {0}); }, 0},
        {"refused copy",
         [](TestControl& c) {
             c.widget.copyDay(0, {1, 9});
         },
         0},
        {"user's save with a listener that writes",
         [](TestControl& c) {
             QObject::connect(&c.widget, &ScheduleWidget::ScheduleUpdated, &c.widget, [&c] {
                 c.widget.setDayRanges(5, Ranges({{4, 8}}));
             });
             QTest::mouseClick(&c.button(2), Qt::LeftButton);
             QTest::mouseClick(&c.button(8), Qt::LeftButton);
         },
         1},
        {"user's refused save",
         [](TestControl& c) {
             QTest::mouseClick(&c.button(0), Qt::LeftButton);
             QTest::mouseClick(&c.button(8), Qt::LeftButton);
         },
         0},
    };
    return cases;
}

}  // namespace

class ScheduleWidgetRangesTest : public QObject {
    Q_OBJECT

private slots:
    void everyChangeEmitsScheduleChangedOnce_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < static_cast<int>(ChangeCases().size()); ++i)
            QTest::newRow(ChangeCases()[i].name) << i;
    }

    void everyChangeEmitsScheduleChangedOnce() {
        QFETCH(int, index);
        const ChangeCase& test = ChangeCases()[index];
        TestControl c;
        c.widget.setDayRanges(0, Ranges({{32, 40}}));
        c.widget.deliverTimerTick();
        QSignalSpy changed(&c.widget, &ScheduleWidget::ScheduleChanged);
        test.call(c);
        QCOMPARE(changed.count(), test.changed);
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
