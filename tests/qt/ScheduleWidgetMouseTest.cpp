// The user's mouse on the bars: Qt's buttons, modifiers and fractional positions become the
// control's codes and inner-pixel coordinates, and a drag keeps going to the bar it started on.
#include <QTest>
#include <QWindow>

#include "WidgetTestSupport.h"
#include "platform/qt/MouseMapping.h"

using namespace tarn;
using namespace tarn::test;

class ScheduleWidgetMouseTest : public QObject {
    Q_OBJECT

private slots:
    void eventsMapToTheControlsCodes_data();
    void eventsMapToTheControlsCodes();
    void fractionalXDecidesTheBlock_data();
    void fractionalXDecidesTheBlock();
    void onlyTheLeftButtonSelects_data();
    void onlyTheLeftButtonSelects();
    void barWithoutHeightStillTakesThePress();
    void dragLeavingTheBarStaysWithIt();
    void disabledControlIgnoresTheMouse();
};

void ScheduleWidgetMouseTest::eventsMapToTheControlsCodes_data() {
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("buttonCode");
    QTest::addColumn<int>("shiftCode");
    const int press = QEvent::MouseButtonPress;
    const int move = QEvent::MouseMove;
    const int release = QEvent::MouseButtonRelease;
    QTest::newRow("left press") << press << int(Qt::LeftButton) << int(Qt::LeftButton)
                                << int(Qt::NoModifier) << 1 << 0;
    QTest::newRow("right press, left held")
        << press << int(Qt::RightButton) << int(Qt::LeftButton | Qt::RightButton)
        << int(Qt::NoModifier) << 2 << 0;
    QTest::newRow("middle release")
        << release << int(Qt::MiddleButton) << 0 << int(Qt::NoModifier) << 4 << 0;
    QTest::newRow("move, nothing held") << move << 0 << 0 << int(Qt::NoModifier) << 0 << 0;
    QTest::newRow("move, left and middle held")
        << move << 0 << int(Qt::LeftButton | Qt::MiddleButton) << int(Qt::NoModifier) << 5 << 0;
    QTest::newRow("move, all three held")
        << move << 0 << int(Qt::LeftButton | Qt::RightButton | Qt::MiddleButton)
        << int(Qt::NoModifier) << 7 << 0;
    QTest::newRow("back button has no code")
        << press << int(Qt::BackButton) << int(Qt::BackButton) << int(Qt::NoModifier) << 0 << 0;
    QTest::newRow("shift") << press << int(Qt::LeftButton) << int(Qt::LeftButton)
                           << int(Qt::ShiftModifier) << 1 << 1;
    QTest::newRow("ctrl alt") << press << int(Qt::LeftButton) << int(Qt::LeftButton)
                              << int(Qt::ControlModifier | Qt::AltModifier) << 1 << 6;
    QTest::newRow("shift ctrl alt, meta ignored")
        << move << 0 << int(Qt::LeftButton)
        << int(Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier) << 1
        << 7;
}

void ScheduleWidgetMouseTest::eventsMapToTheControlsCodes() {
    QFETCH(int, type);
    QFETCH(int, button);
    QFETCH(int, buttons);
    QFETCH(int, modifiers);
    QFETCH(int, buttonCode);
    QFETCH(int, shiftCode);
    const QMouseEvent event(static_cast<QEvent::Type>(type), QPointF(14.25, 9.5),
                            QPointF(14.25, 9.5), static_cast<Qt::MouseButton>(button),
                            Qt::MouseButtons::fromInt(buttons),
                            Qt::KeyboardModifiers::fromInt(modifiers));
    const qt::MouseCodes codes = qt::MouseCodesOf(event, 2);
    QCOMPARE(int(codes.button), buttonCode);
    QCOMPARE(int(codes.shift), shiftCode);
    QCOMPARE(codes.x, 12.25f);
    QCOMPARE(codes.y, 7.5f);
    // The inverse mappings give the same codes back.
    QCOMPARE(int(qt::ButtonCodes(qt::ButtonsOfCodes(buttonCode))), buttonCode);
    QCOMPARE(int(qt::ShiftCodes(qt::ModifiersOfCodes(shiftCode))), shiftCode);
}

void ScheduleWidgetMouseTest::fractionalXDecidesTheBlock_data() {
    // Blocks of a 573-pixel bar are 5.96875 pixels wide.
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("block");
    QTest::newRow("0") << 0.0 << 0;
    QTest::newRow("just left of the boundary") << 5.96 << 0;
    QTest::newRow("on the boundary") << 5.96875 << 1;
    QTest::newRow("572.5") << 572.5 << 95;
    QTest::newRow("beyond the end") << 573.0 << -1;
    QTest::newRow("left of the bar") << -0.25 << -1;
}

void ScheduleWidgetMouseTest::fractionalXDecidesTheBlock() {
    QFETCH(double, x);
    QFETCH(int, block);
    HostLog log;
    ScheduleWidget widget(RecordingServices(log));
    widget.deliverTimerTick();
    SendBarMouse(Bar(widget, 4), QEvent::MouseButtonPress, x, 3, Qt::LeftButton, Qt::LeftButton);
    const ScheduleState& state = Core(widget).State();
    QVERIFY(state.Selecting);
    QCOMPARE(int(state.CurrentDay), 4);
    for (int b = 0; b < kBlocksPerDay; ++b)
        QCOMPARE(state.SelectionBlocks[b], b == block);
}

void ScheduleWidgetMouseTest::onlyTheLeftButtonSelects_data() {
    QTest::addColumn<int>("button");
    QTest::newRow("right") << int(Qt::RightButton);
    QTest::newRow("middle") << int(Qt::MiddleButton);
}

void ScheduleWidgetMouseTest::onlyTheLeftButtonSelects() {
    QFETCH(int, button);
    const auto other = static_cast<Qt::MouseButton>(button);
    HostLog log;
    ScheduleWidget widget(RecordingServices(log));
    widget.deliverTimerTick();
    qt::BarWidget& bar = Bar(widget, 1);
    SendBarMouse(bar, QEvent::MouseButtonPress, 30, 3, other, other);
    QVERIFY(!Core(widget).State().Selecting);

    SendBarMouse(bar, QEvent::MouseButtonPress, 30, 3, Qt::LeftButton, Qt::LeftButton);
    // A move with a second button held adds nothing.
    SendBarMouse(bar, QEvent::MouseMove, 36, 3, Qt::NoButton, Qt::LeftButton | other);
    QVERIFY(!Core(widget).State().SelectionBlocks[6]);
    SendBarMouse(bar, QEvent::MouseMove, 36, 3, Qt::NoButton, Qt::LeftButton);
    QVERIFY(Core(widget).State().SelectionBlocks[6]);
    // Releasing another button leaves the drag going.
    SendBarMouse(bar, QEvent::MouseButtonRelease, 36, 3, other, Qt::LeftButton);
    QVERIFY(Core(widget).State().Selecting);
}

void ScheduleWidgetMouseTest::barWithoutHeightStillTakesThePress() {
    HostLog log;
    ScheduleWidget widget(RecordingServices(log));
    widget.show();  // a hidden widget gets its resize event only when shown
    widget.deliverTimerTick();
    widget.resize(679, 0);
    widget.deliverTimerTick();
    QCOMPARE(Bar(widget, 0).innerSize(), QSize(573, 0));
    QCOMPARE(Platform(widget).DayBar(0).ScaleWidth(), 573.0f);

    SendBarMouse(Bar(widget, 0), QEvent::MouseButtonPress, 100, 0, Qt::LeftButton, Qt::LeftButton);
    QVERIFY(Core(widget).State().SelectionBlocks[16]);
    QVERIFY(log.messageBoxes.isEmpty());
}

void ScheduleWidgetMouseTest::dragLeavingTheBarStaysWithIt() {
    HostLog log;
    ScheduleWidget widget(RecordingServices(log));
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    widget.deliverTimerTick();
    QWindow* window = widget.windowHandle();
    const QPoint bar0 = Bar(widget, 0).geometry().topLeft() + QPoint(2, 2);
    const QPoint bar1 = Bar(widget, 1).geometry().topLeft() + QPoint(2, 2);

    // Through the window, as the window system delivers them: the press grabs the mouse for
    // bar 0, so the move and the release over bar 1 still go to bar 0.
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, bar0 + QPoint(100, 10));
    QTest::mouseMove(window, bar1 + QPoint(106, 10));
    QTest::mouseMove(window, bar1 + QPoint(700, 10));
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, bar1 + QPoint(106, 10));

    const ScheduleState& state = Core(widget).State();
    QCOMPARE(int(state.CurrentDay), 0);
    QVERIFY(!state.Selecting);
    for (int b = 0; b < kBlocksPerDay; ++b)
        QCOMPARE(state.SelectionBlocks[b], b == 16 || b == 17);
    QVERIFY(log.messageBoxes.isEmpty());
}

void ScheduleWidgetMouseTest::disabledControlIgnoresTheMouse() {
    HostLog log;
    ScheduleWidget widget(RecordingServices(log));
    widget.deliverTimerTick();
    widget.setEnable(false);
    const std::uint64_t redraws = Core(widget).CompletedRedraws();
    DragLeft(Bar(widget, 2), {10, 20});
    QVERIFY(!Core(widget).State().Selecting);
    QCOMPARE(Core(widget).CompletedRedraws(), redraws);
}

QTEST_MAIN(ScheduleWidgetMouseTest)
#include "ScheduleWidgetMouseTest.moc"
