// The control's pauses when its host gives no sleep service: the control's own events wait in
// order while the rest of the application runs on, pauses in a row add up, a message box inside a
// pause keeps everything held until it closes, and a control destroyed mid-pause leaves nothing
// behind. A resized bar goes on showing its last picture, stretched, until it is drawn into,
// while its pixels read as background.
#include <QElapsedTimer>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

#include "WidgetTestSupport.h"
#include "controller/EventGate.h"
#include "platform/Colour.h"

using namespace tarn;
using namespace tarn::test;

namespace {

constexpr std::uint32_t kBackground = 0xFF000000u | platform::kBackgroundColour;

/// Host services with Qt's own pause; message boxes are noted, ticks come from the test.
ScheduleHostServices DefaultPause(QStringList* boxes) {
    ScheduleHostServices services;
    services.messageBox = [boxes](const QString& text, int, const QString&) { *boxes << text; };
    services.manualTimer = true;
    return services;
}

/// The inner pixels of a bar as the screen shows them.
QImage OnScreen(qt::BarWidget& bar) {
    return bar.grab(bar.contentsRect()).toImage().convertToFormat(QImage::Format_RGB32);
}

/// Whether shown is picture stretched to shown's size: each pixel must be the one of picture at
/// the matching place or up to two pixels off, whatever rounding the painter and the sample of a
/// very wide bar chose.
bool IsStretched(const QImage& picture, const QImage& shown) {
    if (picture.isNull() || shown.isNull()) return false;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            const int sx = int((x + 0.5) * picture.width() / shown.width());
            const int sy = int((y + 0.5) * picture.height() / shown.height());
            bool found = false;
            for (int dy = -2; dy <= 2 && !found; ++dy)
                for (int dx = -2; dx <= 2 && !found; ++dx) {
                    const QPoint p(sx + dx, sy + dy);
                    found = picture.valid(p) && picture.pixel(p) == shown.pixel(x, y);
                }
            if (!found) return false;
        }
    return true;
}

bool AllBackground(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != kBackground) return false;
    return true;
}

}  // namespace

class ScheduleWidgetPauseTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void resizingInStepsLetsTheEventLoopRunAndHoldsTheControlsEvents() {
        QStringList boxes;
        ScheduleWidget widget(DefaultPause(&boxes));
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        qt::EventGate& gate = ScheduleWidgetInternals::Gate(widget);
        const qt::ScheduleController& controller = ScheduleWidgetInternals::Controller(widget);
        qt::BarWidget& bar = ScheduleWidgetInternals::Platform(widget).Bar(4);
        QTRY_VERIFY(!gate.Holding() && gate.Waiting() == 0);

        // A timer of the application's own, which must go on ticking while the control pauses.
        int ticksWhileHeld = 0;
        QTimer appTimer;
        connect(&appTimer, &QTimer::timeout, this, [&] { ticksWhileHeld += gate.Holding(); });
        appTimer.start(1);
        QList<int> stopsSeen;
        connect(&widget, &ScheduleWidget::ScheduleChanged, this,
                [&] { stopsSeen << widget.timeValue(1) << widget.timeValue(3); });

        const int initialThird = widget.timeValue(3);
        QSize size = widget.size();
        for (int step = 1; step <= 6; ++step) {
            size += QSize(40, 20);
            const QRect barBefore = bar.geometry();
            // The resize lays the control out and returns while its pause is still pending.
            widget.resize(size);
            QVERIFY(gate.Pausing());
            QVERIFY(bar.geometry() != barBefore);

            // Delivered during the pause: a press on bar 4, two writes of the host and a second
            // resize. The writes are the host's own calls and run at once; the control's events
            // wait.
            const QPointF at(30.0, 3.0);
            QMouseEvent press(QEvent::MouseButtonPress, at, bar.mapToGlobal(at), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&bar, &press);
            widget.setTimeValue(1, 900 + step);
            widget.setTimeValue(3, 1000 + step);
            const QRect barLaidOut = bar.geometry();
            widget.resize(size + QSize(10, 5));
            QCOMPARE(gate.Waiting(), 2);
            QVERIFY(controller.Hint().text.isEmpty());  // no press has run
            QCOMPARE(widget.timeValue(1), 900 + step);
            QCOMPARE(widget.timeValue(3), 1000 + step);
            QCOMPARE(bar.geometry(), barLaidOut);

            // Once the pause is over they run in their order; the second resize pauses again.
            QTRY_VERIFY(!controller.Hint().text.isEmpty());
            QTRY_VERIFY(bar.geometry() != barLaidOut);
            QTRY_VERIFY(!gate.Holding());
            QMouseEvent release(QEvent::MouseButtonRelease, at, bar.mapToGlobal(at), Qt::LeftButton,
                                Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&bar, &release);
            QTRY_VERIFY(!gate.Holding() && gate.Waiting() == 0);
            size += QSize(10, 5);
        }
        // In each step the first write ran before the second.
        QList<int> expected;
        for (int step = 1; step <= 6; ++step)
            expected << 900 + step << (step == 1 ? initialThird : 999 + step) << 900 + step
                     << 1000 + step;
        QCOMPARE(stopsSeen, expected);
        QVERIFY(ticksWhileHeld > 0);
        QVERIFY(boxes.isEmpty());
    }

    // The host's sleep runs in place of the control's pause, with the control's events held
    // while it sleeps (a host's sleep may run the event loop); the examples print it.
    void hostSleepServiceRunsWithTheEventsHeld() {
        QStringList boxes;
        ScheduleHostServices services = DefaultPause(&boxes);
        QList<bool> heldWhileAsleep;
        ScheduleWidget* widget = nullptr;
        services.sleep = [&](int) {
            heldWhileAsleep << ScheduleWidgetInternals::Gate(*widget).Holding();
        };
        ScheduleWidget control(services);
        widget = &control;
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));
        heldWhileAsleep.clear();
        control.resize(500, 300);
        QCOMPARE(heldWhileAsleep, QList<bool>{true});
        QVERIFY(!ScheduleWidgetInternals::Gate(control).Holding());
    }

    void messageBoxAnsweredLaterKeepsTheOrderAndHoldsEvents() {
        // One edit that shows several boxes before its ScheduleUpdated, with the boxes answered at
        // once and then answered later from the event loop: the host sees the same order, and a
        // write of the host made while a box is open waits until the last one is answered.
        const auto play = [this](bool later, QStringList& log) {
            std::deque<std::function<void()>> replies;
            bool answerLater = false;
            ScheduleHostServices services;
            services.manualTimer = true;
            services.sleep = [](int) {};
            services.messageRequest = [&](const QString& text, int, const QString&,
                                          std::function<void()> reply) {
                log << QStringLiteral("box ") + text;
                if (answerLater)
                    replies.push_back(std::move(reply));
                else
                    reply();
            };
            ScheduleWidget widget(services);
            connect(&widget, &ScheduleWidget::ScheduleUpdated, this, [&] { log << "updated"; });
            connect(&widget, &ScheduleWidget::ScheduleChanged, this,
                    [&] { log << QStringLiteral("changed %1").arg(widget.timeValue(0)); });
            widget.deliverTimerTick();
            widget.setSchedule_SundayStart1(-50);  // not a time: each conversion shows a box
            widget.setSchedule_SundayStop1(-20);
            log.clear();
            answerLater = later;
            qt::QtPlatform& platform = ScheduleWidgetInternals::Platform(widget);
            platform.ButtonWidget(6).click();
            platform.ButtonWidget(9).click();
            widget.setTimeValue(0, 700);
            while (!replies.empty()) {
                QCOMPARE(widget.timeValue(0), 0);
                QVERIFY(ScheduleWidgetInternals::Gate(widget).Holding());
                std::function<void()> reply = std::move(replies.front());
                replies.pop_front();
                reply();
                reply();  // a second answer changes nothing
                QCoreApplication::processEvents();
            }
            QTRY_COMPARE(widget.timeValue(0), 700);
        };
        QStringList atOnce;
        QStringList later;
        play(false, atOnce);
        play(true, later);
        QVERIFY(atOnce.indexOf("updated") > 1);
        QVERIFY(atOnce.first().startsWith("box "));
        QCOMPARE(later, atOnce);
    }

    // Events held by pauses in a row, and by a message box opened inside a pause, run in order once
    // every pause and the box are over; a pause of zero holds nothing.
    void heldEventsRunWhenEveryPauseAndBoxIsOver_data() {
        QTest::addColumn<QList<int>>("pauses");
        QTest::addColumn<int>("boxOpen");  // -1: no box
        QTest::newRow("zero pause") << QList<int>{0} << -1;
        QTest::newRow("pauses in a row add up") << QList<int>{60, 60} << -1;
        QTest::newRow("pause ends while the box is open") << QList<int>{20} << 200;
        QTest::newRow("box closes before the pause ends") << QList<int>{200} << 20;
    }
    void heldEventsRunWhenEveryPauseAndBoxIsOver() {
        QFETCH(QList<int>, pauses);
        QFETCH(int, boxOpen);
        QObject context;
        qt::EventGate gate(context);
        QElapsedTimer clock;
        clock.start();
        int total = 0;
        for (int pause : pauses) {
            gate.HoldFor(pause);
            total += pause;
        }
        const int longest = std::max(total, boxOpen);
        // The box is answered from the event loop, where the pause's end may come first.
        if (boxOpen >= 0) gate.BeginHold();
        QList<int> ran;
        qint64 ranAt = -1;
        gate.Deliver([&] {
            ranAt = clock.elapsed();
            ran << 1;
        });
        gate.Deliver([&] { ran << 2; });
        bool heldWhileOpen = true;
        if (boxOpen >= 0)
            QTimer::singleShot(boxOpen, &context, [&] {
                heldWhileOpen = ranAt == -1;
                gate.EndHold();
            });
        QCOMPARE(gate.Holding(), longest > 0);
        if (longest == 0) QCOMPARE(ran, (QList<int>{1, 2}));
        QTRY_COMPARE(ran, (QList<int>{1, 2}));
        QVERIFY(heldWhileOpen);
        QVERIFY2(ranAt >= longest, qPrintable(QString::number(ranAt)));
        QVERIFY(!gate.Pausing());
    }

    void destroyedDuringAPauseLeavesNothingToRun() {
        QStringList boxes;
        auto widget = std::make_unique<ScheduleWidget>(DefaultPause(&boxes));
        widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(widget.get()));
        widget->resize(600, 300);
        QVERIFY(ScheduleWidgetInternals::Gate(*widget).Pausing());
        // The second resize is held by the pause and goes with the control.
        widget->resize(650, 320);
        QCOMPARE(ScheduleWidgetInternals::Gate(*widget).Waiting(), 1);
        widget.reset();
        QTest::qWait(300);
    }

    void resizedBarShowsItsLastPictureStretchedUntilDrawn_data() {
        QTest::addColumn<QSize>("start");
        QTest::addColumn<QList<QSize>>("steps");
        QTest::newRow("grown") << QSize(679, 361) << QList<QSize>{{900, 480}};
        QTest::newRow("shrunk hard, then grown")
            << QSize(679, 361) << QList<QSize>{{160, 120}, {1000, 500}};
        QTest::newRow("wider than the sample kept")
            << QSize(2700, 361) << QList<QSize>{{2300, 300}};
    }
    void resizedBarShowsItsLastPictureStretchedUntilDrawn() {
        QFETCH(QSize, start);
        QFETCH(QList<QSize>, steps);
        QStringList boxes;
        ScheduleWidget widget(DefaultPause(&boxes));
        widget.resize(start);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        qt::EventGate& gate = ScheduleWidgetInternals::Gate(widget);
        qt::BarWidget& bar = ScheduleWidgetInternals::Platform(widget).Bar(2);
        QTRY_VERIFY(!gate.Holding());
        widget.setDayRanges(2, Ranges({{8, 20}, {50, 53}, {70, 90}}));
        widget.deliverTimerTick();
        QTRY_VERIFY(!gate.Holding() && !widget.timerArmed());
        const QImage before = bar.image();
        QVERIFY(!AllBackground(before));
        QCOMPARE(OnScreen(bar), before);

        for (const QSize& size : steps) {
            widget.resize(size);
            QCOMPARE(bar.innerSize(), bar.contentsRect().size());
            QVERIFY(bar.ShowsPictureBeforeResize());
            // The pixels the host reads start again from the background ...
            QVERIFY(AllBackground(bar.image()));
            QCOMPARE(bar.pixelAt(bar.innerSize().width() / 2, 1), kBackground);
            // ... while the screen shows the picture from before the first resize, stretched.
            QVERIFY(IsStretched(before, OnScreen(bar)));
            QTRY_VERIFY(!gate.Holding());
            QVERIFY(IsStretched(before, OnScreen(bar)));
        }

        // The redraw draws into the bar: from then on the screen shows its pixels.
        QVERIFY(widget.deliverTimerTick());
        QTRY_VERIFY(!widget.timerArmed());
        QVERIFY(!bar.ShowsPictureBeforeResize());
        QVERIFY(!AllBackground(bar.image()));
        QCOMPARE(OnScreen(bar), bar.image());
    }
};

QTEST_MAIN(ScheduleWidgetPauseTest)
#include "ScheduleWidgetPauseTest.moc"
