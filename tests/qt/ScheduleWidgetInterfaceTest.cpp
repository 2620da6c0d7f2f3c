// The widget's public face by name, as Designer and bindings reach it: every property readable
// and writable, the refusal of values beyond 16 bits, and the invokable methods. Its layout and
// ScheduleUpdated are played by the examples on the real widget.
#include <QMetaProperty>
#include <QRegularExpression>

#include "WidgetTestSupport.h"
#include "frontends/widgets/QtWidgets.h"

using namespace tarn;
using namespace tarn::test;

class ScheduleWidgetInterfaceTest : public QObject {
    Q_OBJECT

private slots:
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
        // What Refresh and Reset do is played by the examples; here, that they are reachable by
        // name.
        QVERIFY(meta.indexOfMethod("Refresh()") >= 0);
        QVERIFY(meta.indexOfMethod("Reset()") >= 0);
    }

    void timePropertiesTakeSixteenBitValuesByName() {
        // Every value distinct, the limits and malformed times included: the control stores any.
        const auto value = [](int index) {
            if (index < 2) return index == 0 ? 32767 : -32768;
            return (index % 3 == 0 ? -1 : 1) * (100 * index + 7);
        };
        TestControl c;
        for (int index = 0; index < kTimePropertyCount; ++index) {
            const std::string name = TimePropertyName(index);
            QVERIFY(c.widget.setProperty(name.c_str(), value(index)));
            for (int refused : {32768, -32769}) {
                QTest::ignoreMessage(QtWarningMsg,
                                     QRegularExpression(QString::fromStdString(name) + " refuses"));
                c.widget.setProperty(name.c_str(), refused);
            }
        }
        for (int index = 0; index < kTimePropertyCount; ++index)
            QCOMPARE(c.widget.property(TimePropertyName(index).c_str()).toInt(), value(index));
    }

    // A caption too long for its button ends in an ellipsis; the button keeps it whole. The
    // buttons' captions and switches are played by the examples and loaded by the Designer test.
    void longCaptionEndsInAnEllipsis() {
        TestControl c;
        const QString longCaption("Public holidays and closures");
        c.widget.setProperty("SpecialDayCaption", longCaption);
        const auto& shown = static_cast<qt::CaptionButton&>(c.button(7));
        QVERIFY(shown.ShownCaption().endsWith(QChar(0x2026)));
        QVERIFY(longCaption.startsWith(shown.ShownCaption().chopped(1)));
        QCOMPARE(c.button(7).text(), longCaption);
        QCOMPARE(static_cast<qt::CaptionButton&>(c.button(6)).ShownCaption(), QString("Sunday"));
    }
};

QTEST_MAIN(ScheduleWidgetInterfaceTest)
#include "ScheduleWidgetInterfaceTest.moc"
