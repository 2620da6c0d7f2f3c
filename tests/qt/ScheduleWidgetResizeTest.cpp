// Resizing the control in a shown window: the control lays out its children inside its resize
// event, where the window may be resizing too, so nothing may be painted there (the window
// repaints the whole of itself once its resize is done); and a control shrunk in small steps
// shows, outside its children, only its background and the labels of its last redraw.
#include <QFontMetrics>
#include <QVBoxLayout>

#include "WidgetTestSupport.h"

using namespace tarn;
using namespace tarn::test;

class ScheduleWidgetResizeTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void layingOutPaintsNothingUntilTheEventLoopRuns_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("smaller") << QSize(669, 356);
        QTest::newRow("larger") << QSize(900, 500);
        QTest::newRow("narrower only") << QSize(600, 361);
        QTest::newRow("lower only") << QSize(679, 300);
    }
    void layingOutPaintsNothingUntilTheEventLoopRuns() {
        QFETCH(QSize, size);
        TestControl c;
        QVERIFY(c.show());
        c.widget.deliverTimerTick();
        QCoreApplication::processEvents();
        PaintCounter counter;
        for (int i = 0; i < 8; ++i)
            c.bar(i).installEventFilter(&counter);
        for (int i = 0; i < 10; ++i)
            c.button(i).installEventFilter(&counter);

        // The children are laid out at once and painted from the event loop: each of the ten
        // buttons and eight bars once.
        c.widget.resize(size);
        QCOMPARE(c.bar(7).height(), int(35 * size.height() / 361.0));
        QCOMPARE(counter.paints, 0);
        QTRY_VERIFY(counter.paints >= 18);
    }

    void shrinkingInStepsLeavesNoOldLabelOnTheSurface() {
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        TestControl c;  // declared after the window: gone before it
        ScheduleWidget* control = &c.widget;
        layout->addWidget(control, 1);
        window.resize(900, 500);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        control->deliverTimerTick();
        for (int step = 0; step < 30; ++step) {
            window.resize(window.width() - 10, window.height() - 5);
            QCoreApplication::processEvents();
            control->deliverTimerTick();
            QCoreApplication::processEvents();
        }

        // Every pixel outside the children and outside the last redraw's labels is background.
        qt::QtPlatform& platform = ScheduleWidgetInternals::Platform(*control);
        QRegion allowed;
        for (int i = 0; i < 8; ++i)
            allowed += platform.Bar(i).geometry();
        for (int i = 0; i < 10; ++i)
            allowed += platform.ButtonWidget(i).geometry();
        const QFontMetrics metrics(control->font());
        QCOMPARE(platform.SurfaceImage().texts().size(), std::size_t(16));
        for (const qt::QtSurface::Text& text : platform.SurfaceImage().texts())
            allowed += metrics.boundingRect(QString::fromStdString(text.text))
                           .translated(text.x, text.y + metrics.ascent())
                           .adjusted(-2, -2, 2, 2);
        const QImage shot = control->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRgb background = control->palette().color(control->backgroundRole()).rgb();
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (!allowed.contains(QPoint(x, y)) && shot.pixel(x, y) != background)
                    QFAIL(qPrintable(
                        QStringLiteral("pixel (%1, %2) is not background").arg(x).arg(y)));
    }
};

QTEST_MAIN(ScheduleWidgetResizeTest)
#include "ScheduleWidgetResizeTest.moc"
