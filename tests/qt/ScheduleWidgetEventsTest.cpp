// The control's events on Qt: the 10 ms redraw timer coalesces requests and stops when idle,
// the window system's exposures ask for a repaint while the control's own repaints do not, a
// resize lays out at once, and a message box holds every other event of the control back.
#include <QAbstractButton>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "WidgetTestSupport.h"
#include "platform/qt/EventGate.h"

using namespace tarn;
using namespace tarn::test;

namespace {

std::uint64_t Redraws(ScheduleWidget& widget) {
    return Core(widget).CompletedRedraws();
}

/// Makes the next text on the control's surface fail, so the redraw reports it in a box.
void FailNextLabel(ScheduleWidget& widget) {
    Platform(widget).Faults().Fail("TextOutA", platform::DeviceContext::kSurfaceTarget, 0, 1);
}

}  // namespace

class ScheduleWidgetEventsTest : public QObject {
    Q_OBJECT

private slots:
    void timerCoalescesRequestsIntoOneRedraw();
    void idleControlDoesNoWork();
    void exposureAsksForARepaintButOwnRepaintsDoNot();
    void resizeLaysOutAtOnceAndRedrawsOnTheTick();
    void messageBoxDuringARedrawHoldsTheTimerAndTheMouseBack();
    void hostWritesDuringAMessageBoxWaitForIt();
    void realMessageBoxCarriesStyleAndTitle_data();
    void realMessageBoxCarriesStyleAndTitle();
};

void ScheduleWidgetEventsTest::timerCoalescesRequestsIntoOneRedraw() {
    HostLog log;
    ScheduleWidget widget(RecordingServices(log, false));
    QTimer* timer = widget.findChild<QTimer*>("InitTimer");
    QVERIFY(timer != nullptr);
    QCOMPARE(timer->interval(), 10);
    QVERIFY(timer->isActive());  // armed by Initialize
    QTRY_COMPARE(Redraws(widget), 1u);
    QVERIFY(!timer->isActive());

    widget.Refresh();
    widget.Refresh();
    widget.Refresh();
    QVERIFY(widget.timerArmed());
    QTRY_COMPARE(Redraws(widget), 2u);
    QVERIFY(!timer->isActive());
}

void ScheduleWidgetEventsTest::idleControlDoesNoWork() {
    HostLog log;
    ScheduleWidget widget(RecordingServices(log, false));
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QTRY_VERIFY(Redraws(widget) >= 1 && !widget.timerArmed());

    QSignalSpy ticks(widget.findChild<QTimer*>("InitTimer"), &QTimer::timeout);
    const std::uint64_t redraws = Redraws(widget);
    QTest::qWait(1000);
    QCOMPARE(ticks.count(), 0);
    QCOMPARE(Redraws(widget), redraws);
}

void ScheduleWidgetEventsTest::exposureAsksForARepaintButOwnRepaintsDoNot() {
    HostLog log;
    ScheduleWidget widget(RecordingServices(log));
    widget.deliverTimerTick();
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    // The exposure of the new window asked for one full redraw.
    QVERIFY(widget.timerArmed());
    QVERIFY(widget.deliverTimerTick());
    QCOMPARE(Redraws(widget), 2u);

    widget.repaint();
    Bar(widget, 3).repaint();
    widget.update();
    QCoreApplication::processEvents();
    QVERIFY(!widget.timerArmed());

    // Hidden and shown again: the window system exposes it anew.
    widget.hide();
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QTRY_VERIFY(widget.timerArmed());
}

void ScheduleWidgetEventsTest::resizeLaysOutAtOnceAndRedrawsOnTheTick() {
    HostLog log;
    ScheduleWidget widget(RecordingServices(log));
    widget.deliverTimerTick();
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    widget.deliverTimerTick();
    const std::uint64_t redraws = Redraws(widget);

    widget.resize(679, 180);
    QCOMPARE(Bar(widget, 0).geometry(), QRect(88, 15, 577, 17));
    QCOMPARE(Bar(widget, 0).image().size(), QSize(573, 13));
    QCOMPARE(log.sleeps, 1);
    QCOMPARE(Redraws(widget), redraws);
    QVERIFY(widget.deliverTimerTick());
    QCOMPARE(Redraws(widget), redraws + 1);
}

void ScheduleWidgetEventsTest::messageBoxDuringARedrawHoldsTheTimerAndTheMouseBack() {
    ScheduleWidget* control = nullptr;
    std::uint64_t redrawsBefore = 0;
    bool checkedInside = false;
    ScheduleHostServices services;
    services.sleep = [](int) {};
    services.messageBox = [&](const QString&, int, const QString&) {
        // The box is open in the middle of a redraw; the user presses on bar 2 and the armed
        // timer ticks a few times. None of it may reach the control yet.
        QSignalSpy ticks(&Platform(*control).RedrawTimer(), &QTimer::timeout);
        SendBarMouse(Bar(*control, 2), QEvent::MouseButtonPress, 50, 4, Qt::LeftButton,
                     Qt::LeftButton);
        QTRY_VERIFY(ticks.count() >= 2);
        QVERIFY(!Core(*control).State().Selecting);
        QCOMPARE(Redraws(*control), redrawsBefore);
        QCOMPARE(ScheduleWidgetInternals::Gate(*control).Waiting(), 2);  // the press, one tick
        checkedInside = true;
    };
    ScheduleWidget widget(services);
    control = &widget;
    QTRY_COMPARE(Redraws(widget), 1u);

    widget.Refresh();
    FailNextLabel(widget);
    redrawsBefore = Redraws(widget);
    widget.setSchedule_MondayStop1(1700);  // redraws at once; its first label fails
    QVERIFY(checkedInside);
    QCOMPARE(Redraws(widget), redrawsBefore + 1);

    // Once the redraw is over, the press and then the tick run, in that order.
    QTRY_COMPARE(Redraws(widget), redrawsBefore + 3);
    const ScheduleState& state = Core(widget).State();
    QVERIFY(state.Selecting);
    QVERIFY(state.SelectionBlocks[8]);
    QCOMPARE(int(state.CurrentDay), 7);  // the tick's redraw came last
}

void ScheduleWidgetEventsTest::hostWritesDuringAMessageBoxWaitForIt() {
    ScheduleWidget* control = nullptr;
    int valueInside = -1;
    ScheduleHostServices services;
    services.manualTimer = true;
    services.messageBox = [&](const QString&, int, const QString&) {
        control->setSchedule_ThursdayStart2(600);
        valueInside = control->Schedule_ThursdayStart2();
    };
    ScheduleWidget widget(services);
    control = &widget;
    widget.deliverTimerTick();
    FailNextLabel(widget);
    widget.Refresh();
    widget.deliverTimerTick();
    QCOMPARE(valueInside, 0);
    QTRY_COMPARE(widget.Schedule_ThursdayStart2(), 600);
}

void ScheduleWidgetEventsTest::realMessageBoxCarriesStyleAndTitle_data() {
    QTest::addColumn<bool>("ruleBroken");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("textStart");
    QTest::newRow("failure") << false << int(QMessageBox::Critical) << "System Message"
                             << "Failed to update time labels with error: ";
    QTest::newRow("broken rule") << true << int(QMessageBox::Warning) << "Error"
                                 << "";
}

void ScheduleWidgetEventsTest::realMessageBoxCarriesStyleAndTitle() {
    QFETCH(bool, ruleBroken);
    QFETCH(int, icon);
    QFETCH(QString, title);
    QFETCH(QString, textStart);
    ScheduleHostServices services;
    services.sleep = [](int) {};
    services.manualTimer = true;
    ScheduleWidget widget(services);
    widget.deliverTimerTick();

    int boxes = 0;
    int seenIcon = -1;
    QString seenTitle;
    QString seenText;
    QMessageBox::StandardButtons seenButtons;
    QTimer closer;
    closer.setInterval(5);
    connect(&closer, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) return;
        ++boxes;
        seenIcon = box->icon();
        seenTitle = box->windowTitle();
        seenText = box->text();
        seenButtons = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
    });
    closer.start();
    if (ruleBroken) {
        // The whole of Monday, enabled twice: the second time every block is enabled already.
        QTest::mouseClick(&Button(widget, 0), Qt::LeftButton);
        QTest::mouseClick(&Button(widget, 8), Qt::LeftButton);
        QCOMPARE(boxes, 0);
        QTest::mouseClick(&Button(widget, 8), Qt::LeftButton);
    } else {
        FailNextLabel(widget);
        widget.Refresh();
        widget.deliverTimerTick();
    }
    closer.stop();
    QCOMPARE(boxes, 1);
    QCOMPARE(seenIcon, icon);
    QCOMPARE(seenTitle, title);
    QCOMPARE(seenButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY2(seenText.startsWith(textStart), qPrintable(seenText));
}

QTEST_MAIN(ScheduleWidgetEventsTest)
#include "ScheduleWidgetEventsTest.moc"
