// The user's mouse on the bars: Qt's buttons, modifiers and fractional positions become the
// control's codes and inner-pixel coordinates, and a drag keeps going to the bar it started on.
// Which block a press takes is played by the mouse and layout examples on the real widget.
#include <QWindow>

#include "WidgetTestSupport.h"
#include "controller/InputCodes.h"

using namespace tarn;
using namespace tarn::test;

class ScheduleWidgetMouseTest : public QObject {
    Q_OBJECT

private slots:
    void eventsMapToTheControlsCodes_data() {
        QTest::addColumn<QEvent::Type>("type");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<Qt::MouseButtons>("held");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("buttonCode");
        QTest::addColumn<int>("shiftCode");
        const Qt::MouseButtons none;
        QTest::newRow("left press, Shift")
            << QEvent::MouseButtonPress << Qt::LeftButton << Qt::MouseButtons(Qt::LeftButton)
            << Qt::KeyboardModifiers(Qt::ShiftModifier) << 1 << 1;
        QTest::newRow("right press with left held, Ctrl Alt")
            << QEvent::MouseButtonPress << Qt::RightButton << (Qt::LeftButton | Qt::RightButton)
            << (Qt::ControlModifier | Qt::AltModifier) << 2 << 6;
        QTest::newRow("middle release") << QEvent::MouseButtonRelease << Qt::MiddleButton << none
                                        << Qt::KeyboardModifiers() << 4 << 0;
        QTest::newRow("move, left and middle held, Meta ignored")
            << QEvent::MouseMove << Qt::NoButton << (Qt::LeftButton | Qt::MiddleButton)
            << (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier) << 5
            << 7;
        QTest::newRow("move, nothing held")
            << QEvent::MouseMove << Qt::NoButton << none << Qt::KeyboardModifiers() << 0 << 0;
        QTest::newRow("back button has no code")
            << QEvent::MouseButtonPress << Qt::BackButton << Qt::MouseButtons(Qt::BackButton)
            << Qt::KeyboardModifiers() << 0 << 0;
    }

    void eventsMapToTheControlsCodes() {
        QFETCH(QEvent::Type, type);
        QFETCH(Qt::MouseButton, button);
        QFETCH(Qt::MouseButtons, held);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, buttonCode);
        QFETCH(int, shiftCode);
        const QPointF position(14.25, 9.5);
        const QMouseEvent event(type, position, position, button, held, modifiers);
        const qt::MouseCodes codes = qt::MouseCodesOf(event, 2);
        QCOMPARE(codes.button, buttonCode);
        QCOMPARE(codes.shift, shiftCode);
        QCOMPARE(codes.x, 12.25f);
        QCOMPARE(codes.y, 7.5f);
        // The inverse mappings, which scripted hosts use, give the same codes back.
        QCOMPARE(qt::ButtonCodes(qt::ButtonsOfCodes(buttonCode)), buttonCode);
        QCOMPARE(qt::ShiftCodes(qt::ModifiersOfCodes(shiftCode)), shiftCode);
    }

    void dragLeavingTheBarStaysWithIt() {
        TestControl c;
        QVERIFY(c.show());
        c.widget.deliverTimerTick();
        QWindow* window = c.widget.windowHandle();
        const QPoint bar0 = c.bar(0).geometry().topLeft() + QPoint(2, 2);
        const QPoint bar1 = c.bar(1).geometry().topLeft() + QPoint(2, 2);
        // Through the window, as the window system delivers them: the press grabs the mouse for
        // bar 0, so the moves and the release over bar 1 and beyond it still go to bar 0.
        QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, bar0 + QPoint(100, 10));
        QTest::mouseMove(window, bar1 + QPoint(106, 10));
        QTest::mouseMove(window, bar1 + QPoint(700, 10));
        QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, bar1 + QPoint(106, 10));
        // Out past the right end: to 24:00, on bar 0.
        c.button(8).click();
        QCOMPARE(c.widget.Schedule_MondayStart1(), 400);
        QCOMPARE(c.widget.Schedule_MondayStop1(), 2400);
        QCOMPARE(c.widget.Schedule_TuesdayStart1(), 0);
        QVERIFY(c.messageBoxes.isEmpty());
    }
};

QTEST_MAIN(ScheduleWidgetMouseTest)
#include "ScheduleWidgetMouseTest.moc"
