// The widget's public face: its children at the design geometry and in the design tab order, every
// property readable and writable by name, the refusal of values beyond 16 bits, the invokable
// methods and ScheduleUpdated after a real edit.
#include <QMetaProperty>
#include <QSignalSpy>
#include <QTest>

#include "WidgetTestSupport.h"
#include "model/DesignData.h"

using namespace tarn;
using namespace tarn::test;

class ScheduleWidgetInterfaceTest : public QObject {
    Q_OBJECT

private slots:
    void childrenStandAtTheDesignGeometry_data();
    void childrenStandAtTheDesignGeometry();
    void barsShowTheirPixelsInsideATwoPixelSunkenFrame();
    void tabOrderFollowsTheDesign();
    void mocSeesEveryProperty();
    void everyTimePropertyIsReadAndWrittenByName();
    void valuesBeyondSixteenBitsAreRefused_data();
    void valuesBeyondSixteenBitsAreRefused();
    void booleanAndCaptionPropertiesReachTheButtons();
    void refreshAndResetAreInvokableByName();
    void applyingASelectionEmitsScheduleUpdated();
    void listenerWritesTakeEffectInsideTheSignal();
};

void ScheduleWidgetInterfaceTest::childrenStandAtTheDesignGeometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("cmdDay(0)") << "cmdDay(0)" << QRect(4, 32, 83, 35);
    QTest::newRow("cmdDay(7)") << "cmdDay(7)" << QRect(4, 32 + 36 * 7, 83, 35);
    QTest::newRow("Schedule(0)") << "Schedule(0)" << QRect(88, 32, 577, 35);
    QTest::newRow("Schedule(5)") << "Schedule(5)" << QRect(88, 32 + 36 * 5, 577, 35);
    QTest::newRow("cmdEnable") << "cmdEnable" << QRect(88, 322, 287, 35);
    QTest::newRow("cmdDisable") << "cmdDisable" << QRect(378, 322, 289, 35);
}

void ScheduleWidgetInterfaceTest::childrenStandAtTheDesignGeometry() {
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    ScheduleWidget widget;
    QCOMPARE(widget.size(), QSize(679, 361));
    auto* child = widget.findChild<QWidget*>(name);
    QVERIFY(child != nullptr);
    QCOMPARE(child->geometry(), geometry);
}

void ScheduleWidgetInterfaceTest::barsShowTheirPixelsInsideATwoPixelSunkenFrame() {
    ScheduleWidget widget;
    qt::BarWidget& bar = Bar(widget, 3);
    QCOMPARE(bar.frameWidth(), 2);
    QCOMPARE(bar.frameShadow(), QFrame::Sunken);
    QCOMPARE(bar.contentsRect(), QRect(2, 2, 573, 31));
    QCOMPARE(bar.image().size(), QSize(573, 31));
    platform::PictureBox& box = Platform(widget).DayBar(3);
    QCOMPARE(box.ScaleWidth(), 573.0f);
    QCOMPARE(box.ScaleHeight(), 31.0f);
}

void ScheduleWidgetInterfaceTest::tabOrderFollowsTheDesign() {
    // The bars take no keyboard focus; the buttons follow the designed order.
    ScheduleWidget widget;
    QStringList expected;
    for (const design::WidgetDesign& design : design::WidgetsInTabOrder()) {
        switch (design.kind) {
            case design::WidgetKind::DayButton:
                expected << QStringLiteral("cmdDay(%1)").arg(design.index);
                break;
            case design::WidgetKind::DayBar:
                break;
            case design::WidgetKind::EnableButton:
                expected << "cmdEnable";
                break;
            case design::WidgetKind::DisableButton:
                expected << "cmdDisable";
                break;
        }
    }
    QStringList chain;
    QWidget* current = widget.findChild<QWidget*>(expected.first());
    for (int step = 0; step < 64 && chain.size() < expected.size(); ++step) {
        if (current->focusPolicy() & Qt::TabFocus) chain << current->objectName();
        current = current->nextInFocusChain();
    }
    QCOMPARE(chain, expected);
    for (int i = 0; i < 8; ++i)
        QCOMPARE(Bar(widget, i).focusPolicy(), Qt::NoFocus);
}

void ScheduleWidgetInterfaceTest::mocSeesEveryProperty() {
    const QMetaObject& meta = ScheduleWidget::staticMetaObject;
    QCOMPARE(meta.propertyCount() - meta.propertyOffset(), 3 + kTimePropertyCount);
    auto check = [&](const QString& name, QMetaType::Type type) {
        const int index = meta.indexOfProperty(name.toLatin1().constData());
        QVERIFY2(index >= meta.propertyOffset(), qPrintable(name));
        const QMetaProperty property = meta.property(index);
        QCOMPARE(property.metaType().id(), static_cast<int>(type));
        QVERIFY2(property.isReadable() && property.isWritable(), qPrintable(name));
        QVERIFY2(property.isDesignable(), qPrintable(name));
    };
    check("Enable", QMetaType::Bool);
    check("SpecialDayCaption", QMetaType::QString);
    check("SpecialDayEnabled", QMetaType::Bool);
    for (int index = 0; index < kTimePropertyCount; ++index)
        check(QString::fromStdString(TimePropertyName(index)), QMetaType::Int);
    QVERIFY(meta.indexOfMethod("Refresh()") >= meta.methodOffset());
    QVERIFY(meta.indexOfMethod("Reset()") >= meta.methodOffset());
    QVERIFY(meta.indexOfSignal("ScheduleUpdated()") >= meta.methodOffset());
}

void ScheduleWidgetInterfaceTest::everyTimePropertyIsReadAndWrittenByName() {
    HostLog log;
    ScheduleWidget widget(RecordingServices(log));
    for (int index = 0; index < kTimePropertyCount; ++index) {
        const QByteArray name = QByteArray::fromStdString(TimePropertyName(index));
        // Each value distinct, negative and malformed ones included: the control stores any.
        const int value = (index % 3 == 0 ? -1 : 1) * (100 * index + 7);
        QVERIFY(widget.setProperty(name.constData(), value));
        QCOMPARE(widget.property(name.constData()).toInt(), value);
        QCOMPARE(widget.timeValue(index), value);
        QCOMPARE(static_cast<int>(Core(widget).TimeValue(index)), value);
    }
    QCOMPARE(widget.Schedule_MondayStart1(), -7);
    QCOMPARE(widget.Schedule_SpecialStop4(), -6307);
    widget.setSchedule_WednesdayStop2(1745);
    QCOMPARE(widget.property("Schedule_WednesdayStop2").toInt(), 1745);
}

void ScheduleWidgetInterfaceTest::valuesBeyondSixteenBitsAreRefused_data() {
    QTest::addColumn<int>("value");
    QTest::newRow("32768") << 32768;
    QTest::newRow("-32769") << -32769;
    QTest::newRow("100000") << 100000;
}

void ScheduleWidgetInterfaceTest::valuesBeyondSixteenBitsAreRefused() {
    QFETCH(int, value);
    HostLog log;
    ScheduleWidget widget(RecordingServices(log));
    widget.setSchedule_FridayStart3(815);
    const std::uint64_t redraws = Core(widget).CompletedRedraws();

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Schedule_FridayStart3 refuses -?\\d+"));
    widget.setProperty("Schedule_FridayStart3", value);
    QCOMPARE(widget.Schedule_FridayStart3(), 815);

    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Schedule_FridayStop3 refuses"));
    widget.setSchedule_FridayStop3(value);
    QCOMPARE(widget.Schedule_FridayStop3(), 0);
    QCOMPARE(Core(widget).CompletedRedraws(), redraws);

    // The limits themselves are values like any other.
    widget.setProperty("Schedule_FridayStart3", 32767);
    QCOMPARE(widget.Schedule_FridayStart3(), 32767);
    widget.setProperty("Schedule_FridayStart3", -32768);
    QCOMPARE(widget.Schedule_FridayStart3(), -32768);
}

void ScheduleWidgetInterfaceTest::booleanAndCaptionPropertiesReachTheButtons() {
    HostLog log;
    ScheduleWidget widget(RecordingServices(log));
    QCOMPARE(widget.property("Enable").toBool(), true);
    QCOMPARE(widget.property("SpecialDayEnabled").toBool(), true);
    QCOMPARE(widget.property("SpecialDayCaption").toString(), QString("Special"));

    widget.setProperty("SpecialDayCaption", QString("Holiday"));
    QCOMPARE(Button(widget, 7).text(), QString("Holiday"));
    QCOMPARE(widget.SpecialDayCaption(), QString("Holiday"));

    widget.setProperty("SpecialDayEnabled", false);
    QVERIFY(!Button(widget, 7).isEnabled());
    QVERIFY(Button(widget, 6).isEnabled());

    widget.setProperty("Enable", false);
    for (int i = 0; i < 10; ++i)
        QVERIFY(!Button(widget, i).isEnabled());
    widget.setEnable(true);
    for (int i = 0; i < 10; ++i)
        QVERIFY(Button(widget, i).isEnabled());
}

void ScheduleWidgetInterfaceTest::refreshAndResetAreInvokableByName() {
    HostLog log;
    ScheduleWidget widget(RecordingServices(log));
    QVERIFY(widget.deliverTimerTick());
    QVERIFY(!widget.timerArmed());

    QVERIFY(QMetaObject::invokeMethod(&widget, "Refresh"));
    QVERIFY(widget.timerArmed());
    QVERIFY(widget.deliverTimerTick());

    widget.setSchedule_TuesdayStart1(800);
    widget.setSchedule_TuesdayStop1(1700);
    QVERIFY(QMetaObject::invokeMethod(&widget, "Reset"));
    QCOMPARE(widget.Schedule_TuesdayStart1(), 0);
    QCOMPARE(widget.Schedule_TuesdayStop1(), 0);
    QVERIFY(widget.timerArmed());
}

void ScheduleWidgetInterfaceTest::applyingASelectionEmitsScheduleUpdated() {
    HostLog log;
    ScheduleWidget widget(RecordingServices(log));
    widget.deliverTimerTick();
    QSignalSpy updated(&widget, &ScheduleWidget::ScheduleUpdated);

    // 08:00 is block 32, whose left edge lies at 32 x 573 / 96 = 191.
    DragLeft(Bar(widget, 0), {191, 197, 203});
    QCOMPARE(updated.count(), 0);
    QTest::mouseClick(&Button(widget, 8), Qt::LeftButton);
    QCOMPARE(updated.count(), 1);
    QCOMPARE(widget.Schedule_MondayStart1(), 800);
    QCOMPARE(widget.Schedule_MondayStop1(), 845);
    QVERIFY(log.messageBoxes.isEmpty());
}

void ScheduleWidgetInterfaceTest::listenerWritesTakeEffectInsideTheSignal() {
    HostLog log;
    ScheduleWidget widget(RecordingServices(log));
    widget.deliverTimerTick();
    int seenInside = 0;
    connect(&widget, &ScheduleWidget::ScheduleUpdated, this, [&] {
        widget.setSchedule_SundayStart1(900);
        seenInside = widget.Schedule_SundayStart1();
    });
    QTest::mouseClick(&Button(widget, 2), Qt::LeftButton);
    QTest::mouseClick(&Button(widget, 8), Qt::LeftButton);
    QCOMPARE(seenInside, 900);
    QCOMPARE(widget.Schedule_WednesdayStop1(), 2400);
}

QTEST_MAIN(ScheduleWidgetInterfaceTest)
#include "ScheduleWidgetInterfaceTest.moc"
