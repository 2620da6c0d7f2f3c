// The control's events on Qt: the real redraw timer starts at creation and stops when idle, the
// control's own repaints ask for no redraw, a redraw repaints only the bars it changed, and a
// message box holds every other event of the control back until it is closed. Coalesced requests
// and the window system's exposures are played by the redraws example on the real widget.
#include <QAbstractButton>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTimer>

#include "WidgetTestSupport.h"
#include "controller/EventGate.h"

using namespace tarn;
using namespace tarn::test;

class ScheduleWidgetEventsTest : public QObject {
    Q_OBJECT

private slots:
    void idleControlDoesNoWorkEvenWhenRepainted() {
        TestControl c(/*manualTimer=*/false);
        QVERIFY(c.show());
        QTRY_VERIFY(c.redraws() >= 1 && !c.widget.timerArmed());
        QSignalSpy ticks(&c.platform().RedrawTimer(), &QTimer::timeout);
        const std::uint64_t redraws = c.redraws();
        // Repaints that the control or its host cause are no request of the window system.
        c.widget.repaint();
        c.bar(3).repaint();
        c.widget.update();
        QTest::qWait(1000);
        QCOMPARE(ticks.count(), 0);
        QCOMPARE(c.redraws(), redraws);
    }

    // A press redraws every row but changes one bar: the bars it left as they were are not
    // repainted.
    void pressRepaintsOnlyWhatItChanged() {
        TestControl c;
        QVERIFY(c.show());
        c.widget.deliverTimerTick();
        QCoreApplication::processEvents();
        PaintCounter lowerBars;
        for (int bar = 4; bar < 8; ++bar)
            c.bar(bar).installEventFilter(&lowerBars);
        const std::uint64_t redraws = c.redraws();
        c.mouse(1, QEvent::MouseButtonPress, 50, Qt::LeftButton, Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(c.redraws(), redraws + 1);
        QCOMPARE(lowerBars.paints, 0);
    }

    void messageBoxDuringARedrawHoldsEverythingBack() {
        TestControl c(/*manualTimer=*/false);
        QTRY_COMPARE(c.redraws(), 1u);
        bool checkedInside = false;
        c.onMessageBox = [&] {
            // The box is open in the middle of a redraw; the user presses on bar 2, the host writes
            // a property and the armed timer ticks a few times. None of it may reach the control.
            QSignalSpy ticks(&c.platform().RedrawTimer(), &QTimer::timeout);
            c.mouse(2, QEvent::MouseButtonPress, 50, Qt::LeftButton, Qt::LeftButton);
            c.widget.setSchedule_ThursdayStart2(600);
            QTRY_VERIFY(ticks.count() >= 2);
            QVERIFY(c.controller().Hint().text.isEmpty());
            QCOMPARE(c.widget.Schedule_ThursdayStart2(), 0);
            QCOMPARE(c.redraws(), 1u);
            // The press, the write and one tick wait.
            QCOMPARE(ScheduleWidgetInternals::Gate(c.widget).Waiting(), 3);
            checkedInside = true;
        };
        c.widget.Refresh();
        FailNextLabel(c.widget);
        c.widget.setSchedule_MondayStop1(1700);  // redraws at once; its first label fails
        QVERIFY(checkedInside);
        QCOMPARE(c.redraws(), 2u);
        // Once the redraw is over, the press, the write and the tick run, in that order.
        QTRY_COMPARE(c.widget.Schedule_ThursdayStart2(), 600);
        QTRY_VERIFY(!c.widget.timerArmed());
        // The press selected the block under it, which Enable saves.
        QCOMPARE(c.controller().Hint().text, QStringLiteral("Wednesday 02:00-02:15"));
        c.button(8).click();
        QCOMPARE(c.widget.Schedule_WednesdayStart1(), 200);
        QCOMPARE(c.widget.Schedule_WednesdayStop1(), 215);
    }

    void realMessageBoxHasTheStyleAndTitle_data() {
        QTest::addColumn<bool>("ruleBroken");
        QTest::addColumn<QString>("start");  // "ICON BUTTONS TITLE: TEXT"
        QTest::newRow("failure")
            << false
            << QStringLiteral("%1 %2 System Message: Failed to update time labels with error: ")
                   .arg(QMessageBox::Critical)
                   .arg(QMessageBox::Ok);
        QTest::newRow("broken rule")
            << true
            << QStringLiteral("%1 %2 Error: ").arg(QMessageBox::Warning).arg(QMessageBox::Ok);
    }

    void realMessageBoxHasTheStyleAndTitle() {
        QFETCH(bool, ruleBroken);
        QFETCH(QString, start);
        TestControl c;
        c.widget.setHostServices({{}, [](int) {}, true, {}});  // Qt's own message boxes
        c.widget.deliverTimerTick();
        QStringList boxes;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            boxes << QStringLiteral("%1 %2 %3: %4")
                         .arg(box->icon())
                         .arg(box->standardButtons().toInt())
                         .arg(box->windowTitle(), box->text());
            box->button(QMessageBox::Ok)->click();
        });
        closer.start(5);
        if (ruleBroken) {
            // The whole of Monday, enabled twice: the second time every block is enabled already.
            for (int button : {0, 8, 0, 8})
                QTest::mouseClick(&c.button(button), Qt::LeftButton);
        } else {
            FailNextLabel(c.widget);
            c.widget.Refresh();
            c.widget.deliverTimerTick();
        }
        // The box is opened, not run in a loop of its own: the call that asked has returned.
        QVERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr);
        QVERIFY(boxes.isEmpty());
        QTRY_COMPARE(boxes.size(), 1);
        QVERIFY2(boxes.first().startsWith(start), qPrintable(boxes.first()));
    }
};

QTEST_MAIN(ScheduleWidgetEventsTest)
#include "ScheduleWidgetEventsTest.moc"
