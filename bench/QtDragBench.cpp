// Cost of one move of a drag on the Qt widget: a mouse move with the left button held over the bar
// being dragged on, delivered through Qt's event delivery, and the repaint of the bar that shows
// the new marks. The drag sweeps across the bar and back a few pixels a move, as a hand does.
// Beside it stands its floor: the same move events delivered to a bar with no drag under way,
// each followed by a repaint of the unchanged bar, so the difference is what the control's
// marking and drawing cost. The hover's move, with no button held, shows the time hint at the
// pointer: it should cost no more than a drag's. The Qt Quick item's drag move stands beside the
// widget's.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QObject>

#include "TarnSchedule/ScheduleWidget.h"
#include "bench/QtBenchSupport.h"
#ifdef TARN_BENCH_QUICK
#include "bench/QuickBenchSupport.h"
#include "frontends/quick/QuickItems.h"
#include "frontends/quick/QuickPlatform.h"
#endif
#include "frontends/widgets/BarWidget.h"
#include "frontends/widgets/QtPlatform.h"
#include "frontends/widgets/ScheduleOverlays.h"
#include "frontends/widgets/ScheduleWidgetInternals.h"
#include "tests/qt/PaintCounter.h"

namespace {

using tarn::ScheduleWidget;
using tarn::ScheduleWidgetInternals;

using tarn::bench::messageBoxes;
using tarn::bench::QuietServices;
using tarn::test::PaintCounter;

constexpr int kBar = 2;   // Wednesday
constexpr int kStep = 3;  // pixels a move

/// A shown control with office hours on its bars, the first redraw done.
struct Fixture {
    Fixture() : widget(QuietServices()) {
        widget.show();
        QCoreApplication::processEvents();
        widget.deliverTimerTick();
        for (int day = 0; day < 5; ++day) {
            widget.setTimeValue(tarn::TimePropertyIndex(day, 1, false), 800);
            widget.setTimeValue(tarn::TimePropertyIndex(day, 1, true), 1730);
        }
        QCoreApplication::processEvents();
        bar().installEventFilter(&counter);
        width = bar().innerSize().width();
    }

    tarn::qt::BarWidget& bar() { return ScheduleWidgetInternals::Platform(widget).Bar(kBar); }

    /// A mouse event at x in the bar's inner pixels, on its top inner row.
    void Send(QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons buttons) {
        const QPointF local(x + 2.0, 2.0);
        QMouseEvent event(type, local, bar().mapToGlobal(local), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&bar(), &event);
    }

    /// The next position of a sweep across the bar and back, 10 pixels in from each end.
    int NextX() {
        x += direction * kStep;
        if (x >= width - 10 || x <= 10) direction = -direction;
        return x;
    }

    ScheduleWidget widget;
    PaintCounter counter;
    int width = 0;
    int x = 10;
    int direction = 1;
};

/// A drag that did not mark, was repainted fewer than minPaints times, or reported an error,
/// must not pass as a fast one.
void CheckDrag(benchmark::State& state, Fixture& fixture, int paintsBefore,
               std::int64_t minPaints) {
    if (fixture.counter.paints - paintsBefore < minPaints)
        state.SkipWithError("the bar was not repainted as often as it changed");
    if (messageBoxes != 0) state.SkipWithError("the control showed a message box");
    if (ScheduleWidgetInternals::Platform(fixture.widget).Pens().LivePens() != 0)
        state.SkipWithError("pens were left alive");
}

void BM_QtDragMove(benchmark::State& state) {
    Fixture fixture;
    fixture.Send(QEvent::MouseButtonPress, fixture.x, Qt::LeftButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    const QImage pressed = fixture.bar().image();
    const int paintsBefore = fixture.counter.paints;
    for (auto _ : state) {
        const int direction = fixture.direction;
        const int x = fixture.NextX();
        fixture.Send(QEvent::MouseMove, x, Qt::NoButton, Qt::LeftButton);
        if (fixture.direction != direction) {
            // At an end of the sweep a fresh drag starts, so that the way back marks blocks
            // again: the marks of one drag only grow, and a move over marked blocks changes
            // nothing. One release and press per sweep of some 180 moves.
            fixture.Send(QEvent::MouseButtonRelease, x, Qt::LeftButton, Qt::NoButton);
            fixture.Send(QEvent::MouseButtonPress, x, Qt::LeftButton, Qt::LeftButton);
        }
        QCoreApplication::processEvents();
    }
    // Every move onto a new block repaints it: at least one move in three.
    CheckDrag(state, fixture, paintsBefore, state.iterations() / 3);
    // Any move past the block pressed on marks more blocks.
    if (state.iterations() * kStep > 20 && fixture.bar().image() == pressed)
        state.SkipWithError("the drag marked nothing");
    fixture.Send(QEvent::MouseButtonRelease, fixture.x, Qt::LeftButton, Qt::NoButton);
    QCoreApplication::processEvents();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_QtDragMove)->Unit(benchmark::kMicrosecond);

void BM_QtDragMoveFloor(benchmark::State& state) {
    Fixture fixture;
    const int paintsBefore = fixture.counter.paints;
    for (auto _ : state) {
        fixture.Send(QEvent::MouseMove, fixture.NextX(), Qt::NoButton, Qt::NoButton);
        fixture.bar().update(fixture.bar().contentsRect());
        QCoreApplication::processEvents();
    }
    CheckDrag(state, fixture, paintsBefore, state.iterations());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_QtDragMoveFloor)->Unit(benchmark::kMicrosecond);

/// A hover's move: the pointer moving over the bar with no button held, the time hint following
/// it. Its floor is the drag's.
void BM_QtHoverMove(benchmark::State& state) {
    Fixture fixture;
    const tarn::qt::HintLabel& hint = ScheduleWidgetInternals::Hint(fixture.widget);
    fixture.Send(QEvent::MouseMove, fixture.x, Qt::NoButton, Qt::NoButton);
    QCoreApplication::processEvents();
    const QPoint first = hint.pos();
    int moved = 0;
    for (auto _ : state) {
        fixture.Send(QEvent::MouseMove, fixture.NextX(), Qt::NoButton, Qt::NoButton);
        QCoreApplication::processEvents();
        if (hint.pos() != first) ++moved;
    }
    // A hover that showed no hint, or one that stayed where it first showed, did nothing.
    if (!hint.isVisible() || hint.text().isEmpty()) state.SkipWithError("no hint showed");
    if (state.iterations() * kStep > 40 && moved == 0) state.SkipWithError("the hint never moved");
    if (messageBoxes != 0) state.SkipWithError("the control showed a message box");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_QtHoverMove)->Unit(benchmark::kMicrosecond);

#ifdef TARN_BENCH_QUICK
/// The same drag on the Qt Quick item: moves delivered by its window to the bar that holds the
/// press's grab, the bar's new marks shown by the window's next frame.
void BM_QuickDragMove(benchmark::State& state) {
    tarn::bench::QuickFixture fixture;
    auto* bar = fixture.editor->findChild<QQuickItem*>(QStringLiteral("Schedule(2)"));
    if (bar == nullptr) return state.SkipWithError("no bar");
    const QPointF origin = bar->mapToScene(QPointF(2.0, 2.0));
    const int width = static_cast<int>(bar->width()) - 4;
    const auto at = [&origin](int x) { return origin + QPointF(x, 0); };
    const auto row = [&fixture] {
        QString text;
        for (int x = 0; x < 400; x += 4)
            text += QString::number(
                tarn::ScheduleEditorInternals::Platform(*fixture.editor).Bar(kBar).pixelAt(x, 1));
        return text;
    };
    int x = 10;
    int direction = 1;
    fixture.Send(QEvent::MouseButtonPress, at(x), Qt::LeftButton, Qt::LeftButton);
    fixture.ShowFrame();
    const QString pressed = row();
    const int framesBefore = fixture.frames;
    for (auto _ : state) {
        x += direction * kStep;
        fixture.Send(QEvent::MouseMove, at(x), Qt::NoButton, Qt::LeftButton);
        if (x >= width - 10 || x <= 10) {
            // A fresh drag at each end of the sweep, as for the widget.
            direction = -direction;
            fixture.Send(QEvent::MouseButtonRelease, at(x), Qt::LeftButton, Qt::NoButton);
            fixture.Send(QEvent::MouseButtonPress, at(x), Qt::LeftButton, Qt::LeftButton);
        }
        fixture.ShowFrame();
    }
    if (state.iterations() * kStep > 20 && row() == pressed)
        state.SkipWithError("the drag marked nothing");
    // Every move onto a new block shows it: at least one move in three.
    if (fixture.frames - framesBefore < state.iterations() / 3)
        state.SkipWithError("the window did not show the drag");
    if (messageBoxes != 0) state.SkipWithError("the control showed a message box");
    fixture.Send(QEvent::MouseButtonRelease, at(x), Qt::LeftButton, Qt::NoButton);
    fixture.ShowFrame();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_QuickDragMove)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace

int main(int argc, char** argv) {
    return tarn::bench::RunQtBenchmarks(argc, argv);
}
