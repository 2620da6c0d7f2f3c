// The Designer plugin as Designer and QUiLoader use it: the control is offered under its class
// name, and a form that holds it loads with every property applied. This test links no part of
// the control: the control comes from the plugin alone.
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
    void initTestCase();
    void pluginDescribesTheControl();
    void formHoldingTheControlLoadsWithItsProperties();

private:
    QString pluginPath_;
};

void DesignerPluginTest::initTestCase() {
    pluginPath_ = QStringLiteral(TARN_DESIGNER_PLUGIN_FILE);
    QVERIFY2(QFile::exists(pluginPath_), qPrintable(pluginPath_));
}

void DesignerPluginTest::pluginDescribesTheControl() {
    QPluginLoader loader(pluginPath_);
    QObject* instance = loader.instance();
    QVERIFY2(instance != nullptr, qPrintable(loader.errorString()));
    auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(instance);
    QVERIFY(plugin != nullptr);
    QCOMPARE(plugin->name(), QString("tarn::ScheduleWidget"));
    QCOMPARE(plugin->includeFile(), QString("TarnSchedule/ScheduleWidget.h"));
    QVERIFY(!plugin->isContainer());
    QVERIFY(plugin->domXml().contains("<width>679</width>"));

    std::unique_ptr<QWidget> widget(plugin->createWidget(nullptr));
    QVERIFY(widget != nullptr);
    QCOMPARE(widget->size(), QSize(679, 361));
    QCOMPARE(widget->property("Schedule_SundayStop2").toInt(), 0);
}

void DesignerPluginTest::formHoldingTheControlLoadsWithItsProperties() {
    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(QFileInfo(pluginPath_).absolutePath());
    QVERIFY(loader.availableWidgets().contains("tarn::ScheduleWidget"));

    QFile file(QStringLiteral(TARN_TEST_DATA_DIR "/schedule-form.ui"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    std::unique_ptr<QWidget> form(loader.load(&file));
    QVERIFY2(form != nullptr, qPrintable(loader.errorString()));

    QWidget* schedule = form->findChild<QWidget*>("schedule");
    QVERIFY(schedule != nullptr);
    QCOMPARE(QString(schedule->metaObject()->className()), QString("tarn::ScheduleWidget"));
    QCOMPARE(schedule->geometry(), QRect(10, 10, 679, 361));
    QCOMPARE(schedule->property("SpecialDayCaption").toString(), QString("Holiday"));
    QCOMPARE(schedule->property("SpecialDayEnabled").toBool(), false);
    QCOMPARE(schedule->property("Schedule_MondayStart1").toInt(), 800);
    QCOMPARE(schedule->property("Schedule_MondayStop1").toInt(), 1730);
    QCOMPARE(schedule->property("Schedule_SpecialStop4").toInt(), -5);
    QCOMPARE(schedule->property("Enable").toBool(), true);

    auto* special = schedule->findChild<QPushButton*>("cmdDay(7)");
    QVERIFY(special != nullptr);
    QCOMPARE(special->text(), QString("Holiday"));
    QVERIFY(!special->isEnabled());
}

QTEST_MAIN(DesignerPluginTest)
#include "DesignerPluginTest.moc"
