// The Qt bars hold exactly the pixels of the in-memory platform's bars after the same events: the
// same core draws both, and Qt's events must reach it as the in-memory host delivers them.
#include "WidgetTestSupport.h"
#include "platform/memory/MemoryPlatform.h"
#include "platform/qt/MouseMapping.h"

using namespace tarn;
using namespace tarn::test;

namespace {

/// One thing the host or the user does. Mouse: a is the bar, code the button codes. Time: a is the
/// property index, code the value. Click: a is the button, 8 Enable, 9 Disable. Resize: a x code.
struct Step {
    enum Kind { Tick, Time, Press, Move, Release, Click, Resize, SpecialDayOff } kind;
    int a = 0;
    double x = 0.0;
    int code = 0;
};
using Steps = QList<Step>;

const auto Tick = [] { return Step{Step::Tick}; };
const auto Start = [](int day, int region, int value) {
    return Step{Step::Time, TimePropertyIndex(day, region, false), 0.0, value};
};
const auto Stop = [](int day, int region, int value) {
    return Step{Step::Time, TimePropertyIndex(day, region, true), 0.0, value};
};
const auto Press = [](int bar, double x, int code = 1) { return Step{Step::Press, bar, x, code}; };
const auto Move = [](int bar, double x, int codes = 1) { return Step{Step::Move, bar, x, codes}; };
const auto Release = [](int bar, double x) { return Step{Step::Release, bar, x, 1}; };
const auto Click = [](int button) { return Step{Step::Click, button}; };
const auto Resize = [](int width, int height) { return Step{Step::Resize, width, 0.0, height}; };

QList<QImage> MemoryBars(const Steps& steps) {
    platform::memory::MemoryPlatform platform;
    Schedule control(platform);
    control.Initialize();
    for (const Step& s : steps) {
        const auto x = static_cast<float>(s.x);
        const bool click = s.kind == Step::Click && platform.Button(s.a).enabled();
        if (s.kind == Step::Tick && platform.TimerWidget().armed()) control.InitTimer_Timer();
        if (s.kind == Step::Time) control.SetTimeValue(s.a, static_cast<std::int16_t>(s.code));
        if (s.kind == Step::Press) control.Schedule_MouseDown(s.a, s.code, 0, x, 0);
        if (s.kind == Step::Move) control.Schedule_MouseMove(s.a, s.code, 0, x, 0);
        if (s.kind == Step::Release) control.Schedule_MouseUp(s.a, s.code, 0, x, 0);
        if (click && s.a < 8) control.cmdDay_Click(s.a);
        if (click && s.a == 8) control.cmdEnable_Click();
        if (click && s.a == 9) control.cmdDisable_Click();
        if (s.kind == Step::Resize) platform.SurfaceWidget().SetSize(s.a, s.code);
        if (s.kind == Step::Resize) control.Resize();
        if (s.kind == Step::SpecialDayOff) control.SetSpecialDayEnabled(false);
    }
    QList<QImage> bars;
    for (int bar = 0; bar < 8; ++bar) {
        const platform::memory::MemoryDeviceContext& context = platform.Bar(bar).context();
        QImage image(context.width(), context.height(), QImage::Format_RGB32);
        for (int y = 0; y < context.height(); ++y)
            for (int x = 0; x < context.width(); ++x)
                image.setPixel(x, y, context.PixelAt(x, y));
        bars << image;
    }
    return bars;
}

QList<QImage> QtBars(const Steps& steps) {
    TestControl c;
    if (!c.show()) return {};
    for (const Step& s : steps) {
        const Qt::MouseButtons buttons = qt::ButtonsOfCodes(s.code);
        const auto button = static_cast<Qt::MouseButton>(buttons.toInt());
        if (s.kind == Step::Tick) c.widget.deliverTimerTick();
        if (s.kind == Step::Time) c.widget.setTimeValue(s.a, s.code);
        if (s.kind == Step::Press) c.mouse(s.a, QEvent::MouseButtonPress, s.x, button, buttons);
        if (s.kind == Step::Move) c.mouse(s.a, QEvent::MouseMove, s.x, Qt::NoButton, buttons);
        if (s.kind == Step::Release) c.mouse(s.a, QEvent::MouseButtonRelease, s.x, button, {});
        if (s.kind == Step::Click) QTest::mouseClick(&c.button(s.a), Qt::LeftButton);
        if (s.kind == Step::Resize) c.widget.resize(s.a, s.code);
        if (s.kind == Step::SpecialDayOff) c.widget.setSpecialDayEnabled(false);
    }
    QList<QImage> bars;
    for (int bar = 0; bar < 8; ++bar)
        bars << c.bar(bar).image();
    return bars;
}

}  // namespace

class BarPixelsTest : public QObject {
    Q_OBJECT

private slots:
    void barsMatchTheInMemoryPlatform_data() {
        QTest::addColumn<Steps>("steps");
        QTest::newRow("regions from properties")
            << Steps{Tick(),           Start(0, 1, 800),  Stop(0, 1, 1700), Start(3, 2, 15),
                     Stop(3, 2, 2400), Start(7, 4, 1230), Stop(7, 4, 1245)};
        QTest::newRow("drag marks, leaving the bar")
            << Steps{Tick(), Press(2, 100.5), Move(2, 106.25), Move(2, 113), Move(2, 700)};
        QTest::newRow("right button, special day off, broken selection wiped")
            << Steps{Tick(),         {Step::SpecialDayOff}, Press(7, 40), Press(5, 60, 2),
                     Move(5, 70, 3), Press(5, 60),          Move(5, 84),  Release(5, 84)};
        QTest::newRow("applied by the buttons, then partly disabled")
            << Steps{Tick(),   Press(1, 191), Move(1, 203),  Release(1, 203), Click(8),
                     Click(6), Click(8),      Press(1, 197), Release(1, 197), Click(9)};
        QTest::newRow("grown to 900 x 500") << Steps{
            Tick(), Start(2, 1, 600), Stop(2, 1, 915), Resize(900, 500), Tick(), Press(2, 300)};
        QTest::newRow("shrunk before the first redraw")
            << Steps{Resize(400, 180), Tick(), Start(4, 1, 1100), Stop(4, 1, 1300)};
    }

    void barsMatchTheInMemoryPlatform() {
        QFETCH(Steps, steps);
        const QList<QImage> expected = MemoryBars(steps);
        const QList<QImage> actual = QtBars(steps);
        QCOMPARE(actual.size(), expected.size());
        for (int bar = 0; bar < expected.size(); ++bar) {
            QVERIFY(!expected[bar].isNull());
            QVERIFY2(actual[bar] == expected[bar], qPrintable(QStringLiteral("bar %1").arg(bar)));
        }
    }
};

QTEST_MAIN(BarPixelsTest)
#include "BarPixelsTest.moc"
