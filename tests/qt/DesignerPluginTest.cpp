// The Designer plugin as Designer and QUiLoader use it: the control is offered under its class
// name and header, and a form that holds it loads with its properties applied. This test links no
// part of the control: the control comes from the plugin alone.
#include <QFile>
#include <QPluginLoader>
#include <QPushButton>
#include <QTest>
#include <QUiLoader>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <memory>

class DesignerPluginTest : public QObject {
    Q_OBJECT

private slots:
    void pluginOffersTheControl() {
        QPluginLoader loader(QStringLiteral(TARN_DESIGNER_PLUGIN_FILE));
        auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
        QVERIFY2(plugin != nullptr, qPrintable(loader.errorString()));
        QCOMPARE(plugin->name(), QString("tarn::ScheduleWidget"));
        QCOMPARE(plugin->includeFile(), QString("TarnSchedule/ScheduleWidget.h"));
        QVERIFY(!plugin->isContainer());
    }

    void formHoldingTheControlLoadsWithItsProperties() {
        QUiLoader loader;
        loader.clearPluginPaths();
        loader.addPluginPath(QFileInfo(QStringLiteral(TARN_DESIGNER_PLUGIN_FILE)).absolutePath());
        QFile file(QStringLiteral(TARN_TEST_DATA_DIR "/schedule-form.ui"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        std::unique_ptr<QWidget> form(loader.load(&file));
        QVERIFY2(form != nullptr, qPrintable(loader.errorString()));

        auto* schedule = form->findChild<QWidget*>("schedule");
        QVERIFY(schedule != nullptr);
        QCOMPARE(schedule->metaObject()->className(), "tarn::ScheduleWidget");
        QCOMPARE(schedule->geometry(), QRect(10, 10, 679, 361));
        QCOMPARE(schedule->property("SpecialDayCaption").toString(), QString("Holiday"));
        QCOMPARE(schedule->property("SpecialDayEnabled").toBool(), false);
        QCOMPARE(schedule->property("Schedule_MondayStart1").toInt(), 800);
        QCOMPARE(schedule->property("Schedule_MondayStop1").toInt(), 1730);
        QCOMPARE(schedule->property("Schedule_SpecialStop4").toInt(), -5);
        auto* special = schedule->findChild<QPushButton*>("cmdDay(7)");
        QVERIFY(special != nullptr && !special->isEnabled());
        QCOMPARE(special->text(), QString("Holiday"));
    }
};

QTEST_MAIN(DesignerPluginTest)
#include "DesignerPluginTest.moc"
