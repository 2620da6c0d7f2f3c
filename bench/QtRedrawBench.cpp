// Redraw cost of the Qt backend: a full redraw of all eight rows at design size, labels included,
// and the load of a 32-region schedule, written start-first (32 full redraws) and as one week
// through the control's whole-week write (one full redraw), each beside its floor: writing the same
// pixels once, bars copied and labels drawn through the same text path. Every iteration ends with
// the repaint that shows the result (the control's pending paint events on the off-screen
// platform), in the measurement and in its floor alike, so the text that the surface rasterises
// when it is painted is counted. The Qt Quick item's full redraw stands beside the widget's, shown
// by the window's next frame.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <cstring>
#include <variant>
#include <vector>

#include "TarnSchedule/ScheduleWidget.h"
#include "bench/QtBenchSupport.h"
#ifdef TARN_BENCH_QUICK
#include "bench/QuickBenchSupport.h"
#endif
#include "controller/ScheduleController.h"
#include "frontends/widgets/BarWidget.h"
#include "frontends/widgets/QtPlatform.h"
#include "frontends/widgets/ScheduleWidgetInternals.h"

namespace {

using tarn::ScheduleWidget;
using tarn::ScheduleWidgetInternals;

using tarn::bench::messageBoxes;
using tarn::bench::QuietServices;

/// Four regions a day on all eight days: 08:00-09:00, 10:00-11:30, 13:00-15:15, 18:00-22:45.
constexpr int kRegions[4][2] = {{800, 900}, {1000, 1130}, {1300, 1515}, {1800, 2245}};

void LoadStartFirst(ScheduleWidget& widget) {
    for (int day = 0; day < 8; ++day)
        for (int region = 1; region <= 4; ++region) {
            widget.setTimeValue(tarn::TimePropertyIndex(day, region, false),
                                kRegions[region - 1][0]);
            widget.setTimeValue(tarn::TimePropertyIndex(day, region, true),
                                kRegions[region - 1][1]);
        }
}

/// Office hours: 08:00-17:30 on weekdays, 10:00-14:00 on Saturday.
void LoadOfficeHours(ScheduleWidget& widget) {
    for (int day = 0; day < 6; ++day) {
        widget.setTimeValue(tarn::TimePropertyIndex(day, 1, false), day < 5 ? 800 : 1000);
        widget.setTimeValue(tarn::TimePropertyIndex(day, 1, true), day < 5 ? 1730 : 1400);
    }
}

/// Clears the schedule without drawing: each stop goes to 0 before its start.
void ClearWithoutDrawing(ScheduleWidget& widget) {
    for (int index = 0; index < tarn::kTimePropertyCount; index += 2) {
        widget.setTimeValue(index + 1, 0);
        widget.setTimeValue(index, 0);
    }
}

/// A control on the off-screen platform, shown, its first redraw done, its bars drawn at ratio
/// (device pixels per logical pixel) as on a screen of that ratio.
struct Fixture {
    explicit Fixture(double ratio = 1.0) : widget(QuietServices()) {
        widget.show();
        QCoreApplication::processEvents();
        for (int bar = 0; bar < 8; ++bar)
            platform().Bar(bar).SetPixelRatio(ratio);
        widget.deliverTimerTick();
    }
    tarn::qt::QtPlatform& platform() { return ScheduleWidgetInternals::Platform(widget); }
    std::uint64_t redraws() {
        return ScheduleWidgetInternals::Controller(widget).CompletedRedraws();
    }

    ScheduleWidget widget;
};

/// What a finished redraw leaves: the bars' pixels and the labels.
struct Picture {
    std::vector<QImage> bars;
    std::vector<tarn::qt::QtSurface::Text> labels;
};

Picture Capture(Fixture& fixture) {
    Picture picture;
    for (int bar = 0; bar < 8; ++bar)
        picture.bars.push_back(fixture.platform().Bar(bar).image().copy());
    picture.labels = fixture.platform().SurfaceImage().texts();
    return picture;
}

/// Copies every bar pixel of the picture into the bars.
void WriteBarPixels(Fixture& fixture, const Picture& picture) {
    for (int bar = 0; bar < 8; ++bar) {
        const tarn::platform::PixelView view = fixture.platform().Bar(bar).DrawingView();
        const QImage& source = picture.bars[bar];
        for (int y = 0; y < view.height; ++y)
            std::memcpy(view.pixels + static_cast<std::ptrdiff_t>(y) * view.stride,
                        source.constScanLine(y), static_cast<std::size_t>(view.width) * 4);
    }
}

/// Writes the picture once: every bar pixel copied, the labels cleared and drawn once.
void WriteOnce(Fixture& fixture, const Picture& picture) {
    WriteBarPixels(fixture, picture);
    tarn::platform::ControlSurface& surface = fixture.platform().Surface();
    surface.Clear();
    for (const tarn::qt::QtSurface::Text& label : picture.labels)
        surface.hDC().DrawText(label.x, label.y, label.text);
}

/// A timed control that did not draw, or reported an error, must not pass as a fast one.
void CheckDrew(benchmark::State& state, Fixture& fixture, std::uint64_t before,
               std::uint64_t expected) {
    if (fixture.redraws() - before != expected) state.SkipWithError("the control did not redraw");
    if (messageBoxes != 0) state.SkipWithError("the control showed a message box");
    if (fixture.platform().Pens().LivePens() != 0) state.SkipWithError("pens were left alive");
    if (fixture.platform().SurfaceImage().texts().size() != 16)
        state.SkipWithError("the labels were not drawn");
    if (!fixture.platform().SurfaceImage().UpToDate())
        state.SkipWithError("the control was not painted");
}

/// Full redraws of office hours, each shown by the repaint that follows it when show is set, the
/// bars drawn at ratio.
void FullRedraws(benchmark::State& state, bool show, double ratio = 1.0) {
    Fixture fixture(ratio);
    LoadOfficeHours(fixture.widget);
    const std::uint64_t before = fixture.redraws();
    for (auto _ : state) {
        fixture.widget.Refresh();
        fixture.widget.deliverTimerTick();
        if (show) QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    CheckDrew(state, fixture, before, state.iterations());
    state.SetItemsProcessed(state.iterations());
}

void BM_QtFullRedraw(benchmark::State& state) {
    FullRedraws(state, true);
}
BENCHMARK(BM_QtFullRedraw)->Unit(benchmark::kMicrosecond);

/// The floors of the full redraws: the same final picture written once, each time shown by the
/// repaint that follows it when show is set, else the bars' pixels alone, at ratio.
void Floors(benchmark::State& state, bool show, double ratio = 1.0) {
    Fixture fixture(ratio);
    LoadOfficeHours(fixture.widget);
    const Picture picture = Capture(fixture);
    for (auto _ : state) {
        if (show) {
            WriteOnce(fixture, picture);
            QCoreApplication::processEvents();
        } else {
            WriteBarPixels(fixture, picture);
            benchmark::ClobberMemory();
        }
    }
    QCoreApplication::processEvents();
    if (show) CheckDrew(state, fixture, fixture.redraws(), 0);
    state.SetItemsProcessed(state.iterations());
}

void BM_QtFullRedrawFloor(benchmark::State& state) {
    Floors(state, true);
}
BENCHMARK(BM_QtFullRedrawFloor)->Unit(benchmark::kMicrosecond);

/// The control's drawing alone: a full redraw of the eight bars and the labels into the widget's
/// pixels, without the repaint that shows them, at the device pixel ratio given times 100.
void BM_QtFullRedrawDrawingOnly(benchmark::State& state) {
    FullRedraws(state, false, static_cast<double>(state.range(0)) / 100.0);
}
BENCHMARK(BM_QtFullRedrawDrawingOnly)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMicrosecond);

/// Its floor: the eight bars' pixels written once, nothing shown, at the same ratio.
void BM_QtBarPixelsFloor(benchmark::State& state) {
    Floors(state, false, static_cast<double>(state.range(0)) / 100.0);
}
BENCHMARK(BM_QtBarPixelsFloor)->Arg(100)->Arg(150)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_QtLoad32RegionsStartFirst(benchmark::State& state) {
    Fixture fixture;
    const std::uint64_t before = fixture.redraws();
    for (auto _ : state) {
        state.PauseTiming();
        ClearWithoutDrawing(fixture.widget);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        LoadStartFirst(fixture.widget);
        QCoreApplication::processEvents();
    }
    CheckDrew(state, fixture, before, 32 * state.iterations());
}
BENCHMARK(BM_QtLoad32RegionsStartFirst)->Unit(benchmark::kMillisecond);

/// The same 32 regions as one week, for the control's whole-week write.
tarn::WeekRanges RegionsWeek() {
    const auto quarter = [](int time) { return time / 100 * 4 + time % 100 / 15; };
    std::vector<tarn::TimeRange> ranges;
    for (const auto& region : kRegions)
        ranges.push_back({quarter(region[0]), quarter(region[1])});
    const tarn::DayRanges day = std::get<tarn::DayRanges>(tarn::DayRanges::Make(ranges));
    tarn::WeekRanges week;
    week.fill(day);
    return week;
}

void BM_QtLoad32RegionsThroughWeekApi(benchmark::State& state) {
    Fixture fixture;
    const tarn::WeekRanges week = RegionsWeek();
    const std::uint64_t before = fixture.redraws();
    for (auto _ : state) {
        state.PauseTiming();
        ClearWithoutDrawing(fixture.widget);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        if (fixture.widget.setWeekRanges(week)) state.SkipWithError("the week was refused");
        QCoreApplication::processEvents();
    }
    CheckDrew(state, fixture, before, state.iterations());
}
BENCHMARK(BM_QtLoad32RegionsThroughWeekApi)->Unit(benchmark::kMicrosecond);

void BM_QtLoad32RegionsFloor(benchmark::State& state) {
    Fixture fixture;
    LoadStartFirst(fixture.widget);
    const Picture picture = Capture(fixture);
    for (auto _ : state) {
        WriteOnce(fixture, picture);
        QCoreApplication::processEvents();
    }
    CheckDrew(state, fixture, fixture.redraws(), 0);
}
BENCHMARK(BM_QtLoad32RegionsFloor)->Unit(benchmark::kMicrosecond);

#ifdef TARN_BENCH_QUICK
/// The same full redraw of office hours on the Qt Quick item, shown by the window's next frame.
void BM_QuickFullRedraw(benchmark::State& state) {
    tarn::bench::QuickFixture fixture;
    const std::uint64_t before = fixture.redraws();
    const int framesBefore = fixture.frames;
    for (auto _ : state) {
        fixture.editor->Refresh();
        fixture.editor->deliverTimerTick();
        fixture.ShowFrame();
    }
    if (fixture.redraws() - before != static_cast<std::uint64_t>(state.iterations()))
        state.SkipWithError("the control did not redraw");
    if (fixture.frames - framesBefore < state.iterations())
        state.SkipWithError("the window did not show every redraw");
    if (messageBoxes != 0) state.SkipWithError("the control showed a message box");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_QuickFullRedraw)->Unit(benchmark::kMicrosecond);
#endif

}  // namespace

int main(int argc, char** argv) {
    return tarn::bench::RunQtBenchmarks(argc, argv);
}
