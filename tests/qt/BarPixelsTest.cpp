// The Qt bars hold exactly the pixels of the in-memory platform's bars after the same events:
// the same core draws both, through the same pixel drawing calls, and the Qt events must reach it
// as the in-memory host delivers them.
#include <QTest>
#include <functional>
#include <vector>

#include "WidgetTestSupport.h"
#include "platform/memory/MemoryPlatform.h"
#include "platform/qt/MouseMapping.h"

using namespace tarn;
using namespace tarn::test;

namespace {

/// One control driven by a host and a user; the same steps run on both platforms.
class Side {
public:
    virtual ~Side() = default;
    virtual void Tick() = 0;
    virtual void SetTime(int index, int value) = 0;
    virtual void Press(int bar, double x, int button) = 0;
    virtual void Move(int bar, double x, int buttons) = 0;
    virtual void Release(int bar, double x, int button) = 0;
    virtual void Click(int widget) = 0;
    virtual void Resize(int width, int height) = 0;
    virtual void SetSpecialDayEnabled(bool enabled) = 0;
    /// The inner pixels of a bar, row by row, as 0xRRGGBB.
    virtual std::vector<std::uint32_t> Pixels(int bar) = 0;
};

class MemorySide final : public Side {
public:
    MemorySide() : control_(platform_) { control_.Initialize(); }
    void Tick() override {
        if (platform_.TimerWidget().armed()) control_.InitTimer_Timer();
    }
    void SetTime(int index, int value) override {
        control_.SetTimeValue(index, static_cast<std::int16_t>(value));
    }
    void Press(int bar, double x, int button) override {
        control_.Schedule_MouseDown(bar, button, 0, static_cast<float>(x), 0);
    }
    void Move(int bar, double x, int buttons) override {
        control_.Schedule_MouseMove(bar, buttons, 0, static_cast<float>(x), 0);
    }
    void Release(int bar, double x, int button) override {
        control_.Schedule_MouseUp(bar, button, 0, static_cast<float>(x), 0);
    }
    void Click(int widget) override {
        if (!platform_.Button(widget).enabled()) return;
        if (widget < 8) control_.cmdDay_Click(widget);
        if (widget == 8) control_.cmdEnable_Click();
        if (widget == 9) control_.cmdDisable_Click();
    }
    void Resize(int width, int height) override {
        platform_.SurfaceWidget().SetSize(width, height);
        control_.Resize();
    }
    void SetSpecialDayEnabled(bool enabled) override { control_.SetSpecialDayEnabled(enabled); }
    std::vector<std::uint32_t> Pixels(int bar) override {
        const platform::memory::MemoryDeviceContext& context = platform_.Bar(bar).context();
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < context.height(); ++y)
            for (int x = 0; x < context.width(); ++x)
                pixels.push_back(platform::ColourOf(context.PixelAt(x, y)));
        return pixels;
    }

private:
    platform::memory::MemoryPlatform platform_;
    Schedule control_;
};

class QtSide final : public Side {
public:
    QtSide() : widget_(RecordingServices(log_)) {
        widget_.show();
        if (!QTest::qWaitForWindowExposed(&widget_)) qWarning("the control was never exposed");
    }
    void Tick() override { widget_.deliverTimerTick(); }
    void SetTime(int index, int value) override { widget_.setTimeValue(index, value); }
    void Press(int bar, double x, int button) override {
        const auto qtButton = static_cast<Qt::MouseButton>(int(qt::ButtonsOfCodes(button)));
        SendBarMouse(Bar(widget_, bar), QEvent::MouseButtonPress, x, 0, qtButton, qtButton);
    }
    void Move(int bar, double x, int buttons) override {
        SendBarMouse(Bar(widget_, bar), QEvent::MouseMove, x, 0, Qt::NoButton,
                     qt::ButtonsOfCodes(buttons));
    }
    void Release(int bar, double x, int button) override {
        const auto qtButton = static_cast<Qt::MouseButton>(int(qt::ButtonsOfCodes(button)));
        SendBarMouse(Bar(widget_, bar), QEvent::MouseButtonRelease, x, 0, qtButton, Qt::NoButton);
    }
    void Click(int widget) override { QTest::mouseClick(&Button(widget_, widget), Qt::LeftButton); }
    void Resize(int width, int height) override { widget_.resize(width, height); }
    void SetSpecialDayEnabled(bool enabled) override { widget_.setSpecialDayEnabled(enabled); }
    std::vector<std::uint32_t> Pixels(int bar) override {
        const QImage& image = Bar(widget_, bar).image();
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                pixels.push_back(image.pixel(x, y) & 0xFFFFFFu);
        return pixels;
    }

private:
    HostLog log_;
    ScheduleWidget widget_;
};

using Steps = std::function<void(Side&)>;

}  // namespace

Q_DECLARE_METATYPE(Steps)

class BarPixelsTest : public QObject {
    Q_OBJECT

private slots:
    void barsMatchTheInMemoryPlatform_data();
    void barsMatchTheInMemoryPlatform();
};

void BarPixelsTest::barsMatchTheInMemoryPlatform_data() {
    QTest::addColumn<Steps>("steps");
    QTest::newRow("first redraw") << Steps([](Side& side) { side.Tick(); });
    QTest::newRow("regions from properties") << Steps([](Side& side) {
        side.Tick();
        side.SetTime(TimePropertyIndex(0, 1, false), 800);
        side.SetTime(TimePropertyIndex(0, 1, true), 1700);
        side.SetTime(TimePropertyIndex(3, 2, false), 15);
        side.SetTime(TimePropertyIndex(3, 2, true), 2400);
        side.SetTime(TimePropertyIndex(7, 4, false), 1230);
        side.SetTime(TimePropertyIndex(7, 4, true), 1245);
    });
    QTest::newRow("selection marks of a drag") << Steps([](Side& side) {
        side.Tick();
        side.Press(2, 100.5, 1);
        side.Move(2, 106.25, 1);
        side.Move(2, 113, 1);
        side.Move(2, 700, 1);
    });
    QTest::newRow("broken selection wiped on release") << Steps([](Side& side) {
        side.Tick();
        side.Press(5, 60, 1);
        side.Move(5, 84, 1);
        side.Release(5, 84, 1);
    });
    QTest::newRow("selection enabled, then part disabled") << Steps([](Side& side) {
        side.Tick();
        side.Press(1, 191, 1);
        side.Move(1, 197, 1);
        side.Move(1, 203, 1);
        side.Release(1, 203, 1);
        side.Click(8);
        side.Press(1, 197, 1);
        side.Release(1, 197, 1);
        side.Click(9);
    });
    QTest::newRow("whole day selected by its button") << Steps([](Side& side) {
        side.Tick();
        side.Click(6);
        side.Click(8);
        side.Click(4);
    });
    QTest::newRow("right button and special row ignored") << Steps([](Side& side) {
        side.Tick();
        side.SetSpecialDayEnabled(false);
        side.Press(7, 40, 1);
        side.Move(7, 50, 1);
        side.Press(0, 40, 2);
        side.Move(0, 50, 3);
    });
    QTest::newRow("grown to 900 x 500") << Steps([](Side& side) {
        side.Tick();
        side.SetTime(TimePropertyIndex(2, 1, false), 600);
        side.SetTime(TimePropertyIndex(2, 1, true), 915);
        side.Resize(900, 500);
        side.Tick();
        side.Press(2, 300, 1);
    });
    QTest::newRow("shrunk to half the height") << Steps([](Side& side) {
        side.Tick();
        side.Resize(679, 180);
        side.Tick();
        side.SetTime(TimePropertyIndex(4, 1, false), 1100);
        side.SetTime(TimePropertyIndex(4, 1, true), 1300);
    });
    QTest::newRow("resized before the first redraw") << Steps([](Side& side) {
        side.Resize(400, 300);
        side.Tick();
    });
}

void BarPixelsTest::barsMatchTheInMemoryPlatform() {
    QFETCH(Steps, steps);
    MemorySide memory;
    QtSide widget;
    steps(memory);
    steps(widget);
    for (int bar = 0; bar < 8; ++bar) {
        const std::vector<std::uint32_t> expected = memory.Pixels(bar);
        const std::vector<std::uint32_t> actual = widget.Pixels(bar);
        QVERIFY2(!expected.empty(), "the bar has pixels");
        QVERIFY2(expected == actual, qPrintable(QStringLiteral("bar %1 differs").arg(bar)));
    }
}

QTEST_MAIN(BarPixelsTest)
#include "BarPixelsTest.moc"
