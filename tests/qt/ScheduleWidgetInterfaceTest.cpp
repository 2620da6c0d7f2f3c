// The widget's public face: its children at the design geometry, every property readable and
// writable by name, the refusal of values beyond 16 bits, the invokable
// methods and ScheduleUpdated after a real edit.
#include <QMetaProperty>
#include <QRegularExpression>
#include <QSignalSpy>

#include "WidgetTestSupport.h"
#include "platform/qt/QtWidgets.h"

using namespace tarn;
using namespace tarn::test;

class ScheduleWidgetInterfaceTest : public QObject {
    Q_OBJECT

private slots:
    void childrenStandAtTheDesignGeometry_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::newRow("first day button") << "cmdDay(0)" << QRect(4, 32, 83, 35);
        QTest::newRow("special day button") << "cmdDay(7)" << QRect(4, 284, 83, 35);
        QTest::newRow("sixth bar") << "Schedule(5)" << QRect(88, 212, 577, 35);
        QTest::newRow("Enable") << "cmdEnable" << QRect(88, 322, 287, 35);
        QTest::newRow("Disable") << "cmdDisable" << QRect(378, 322, 289, 35);
    }

    void childrenStandAtTheDesignGeometry() {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        ScheduleWidget widget;
        QCOMPARE(widget.size(), QSize(679, 361));
        auto* child = widget.findChild<QWidget*>(name);
        QVERIFY(child != nullptr);
        QCOMPARE(child->geometry(), geometry);
        // A bar shows its pixels inside a two-pixel frame, on the inner size the hit test uses.
        if (name.startsWith("Schedule")) {
            auto* bar = qobject_cast<QFrame*>(child);
            QVERIFY(bar != nullptr);
            QCOMPARE(bar->contentsRect(), QRect(2, 2, 573, 31));
        }
    }

    void mocSeesEveryPropertyAndItsNotifySignal() {
        QStringList expected{"Enable bool", "SpecialDayCaption QString", "SpecialDayEnabled bool",
                             "ColorScheme tarn::ScheduleWidget::ColorScheme"};
        for (int index = 0; index < kTimePropertyCount; ++index)
            expected << QString::fromStdString(TimePropertyName(index)) + " int";
        const QMetaObject& meta = ScheduleWidget::staticMetaObject;
        const QMetaMethod changed = QMetaMethod::fromSignal(&ScheduleWidget::ScheduleChanged);
        QStringList walked;
        for (int index = meta.propertyOffset(); index < meta.propertyCount(); ++index) {
            const QMetaProperty property = meta.property(index);
            QVERIFY2(property.isWritable() && property.isDesignable(), property.name());
            // A time property's change is announced by ScheduleChanged, for bindings and Designer.
            if (QByteArray(property.name()).startsWith("Schedule_"))
                QVERIFY2(property.notifySignal() == changed, property.name());
            walked << QStringLiteral("%1 %2").arg(property.name(), property.typeName());
        }
        expected.sort();
        walked.sort();
        QCOMPARE(walked, expected);
    }

    void timePropertiesTakeSixteenBitValuesByName_data() {
        QTest::addColumn<int>("refused");
        QTest::newRow("just above") << 32768;
        QTest::newRow("just below") << -32769;
    }

    void timePropertiesTakeSixteenBitValuesByName() {
        QFETCH(int, refused);
        // Every value distinct, the limits and malformed times included: the control stores any.
        const auto value = [](int index) {
            if (index < 2) return index == 0 ? 32767 : -32768;
            return (index % 3 == 0 ? -1 : 1) * (100 * index + 7);
        };
        TestControl c;
        for (int index = 0; index < kTimePropertyCount; ++index) {
            const std::string name = TimePropertyName(index);
            QVERIFY(c.widget.setProperty(name.c_str(), value(index)));
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QString::fromStdString(name) + " refuses"));
            c.widget.setProperty(name.c_str(), refused);
        }
        for (int index = 0; index < kTimePropertyCount; ++index)
            QCOMPARE(c.widget.property(TimePropertyName(index).c_str()).toInt(), value(index));
    }

    void buttonPropertiesReachTheButtons() {
        TestControl c;
        QCOMPARE(c.widget.property("SpecialDayCaption").toString(), QString("Special"));
        c.widget.setProperty("SpecialDayCaption", QString("Holiday"));
        QCOMPARE(c.button(7).text(), QString("Holiday"));
        // A caption too long for its button ends in an ellipsis; the button keeps it whole.
        const QString longCaption("Public holidays and closures");
        c.widget.setSpecialDayCaption(longCaption);
        const auto& shown = static_cast<qt::CaptionButton&>(c.button(7));
        QVERIFY(shown.ShownCaption().endsWith(QChar(0x2026)));
        QVERIFY(longCaption.startsWith(shown.ShownCaption().chopped(1)));
        QCOMPARE(c.button(7).text(), longCaption);
        QCOMPARE(static_cast<qt::CaptionButton&>(c.button(6)).ShownCaption(), QString("Sunday"));

        QVERIFY(c.widget.property("SpecialDayEnabled").toBool());
        c.widget.setProperty("SpecialDayEnabled", false);
        QVERIFY(!c.button(7).isEnabled() && c.button(6).isEnabled());

        QVERIFY(c.widget.property("Enable").toBool());
        c.widget.setProperty("Enable", false);
        for (int i = 0; i < 10; ++i)
            QVERIFY(!c.button(i).isEnabled());
    }

    void refreshAndResetAreInvokableByName() {
        TestControl c;
        QVERIFY(c.widget.deliverTimerTick());
        QVERIFY(QMetaObject::invokeMethod(&c.widget, "Refresh"));
        QVERIFY(c.widget.deliverTimerTick());
        c.widget.setSchedule_TuesdayStop1(1700);
        QVERIFY(QMetaObject::invokeMethod(&c.widget, "Reset"));
        QCOMPARE(c.widget.Schedule_TuesdayStop1(), 0);
        QVERIFY(c.widget.timerArmed());
    }

    void applyingASelectionEmitsScheduleUpdated() {
        TestControl c;
        c.widget.deliverTimerTick();
        QSignalSpy updated(&c.widget, &ScheduleWidget::ScheduleUpdated);
        // A directly connected listener's write takes effect before the control goes on.
        int seenInside = 0;
        connect(&c.widget, &ScheduleWidget::ScheduleUpdated, this, [&] {
            c.widget.setSchedule_SundayStart1(900);
            seenInside = c.widget.Schedule_SundayStart1();
        });
        QTest::mouseClick(&c.button(2), Qt::LeftButton);  // the whole of Wednesday
        QCOMPARE(updated.count(), 0);
        QTest::mouseClick(&c.button(8), Qt::LeftButton);
        QCOMPARE(updated.count(), 1);
        QCOMPARE(c.widget.Schedule_WednesdayStop1(), 2400);
        QCOMPARE(seenInside, 900);
        QVERIFY(c.messageBoxes.isEmpty());
    }
};

QTEST_MAIN(ScheduleWidgetInterfaceTest)
#include "ScheduleWidgetInterfaceTest.moc"
