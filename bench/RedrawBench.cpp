// The cost of the control's full redraw on the in-memory platform, each measurement beside its
// floor: writing the same final pixels straight into the eight bars' buffers once. A redraw
// clears and repaints every bar through pens and fills, and clears the control's surface once per
// row for the hour labels, so the ratio redraw / floor shows what that way of drawing costs.
//
// Every benchmark that draws first checks that the control really drew (light green where a region
// is, light red where none is, no message box, no pen left alive) and makes the program fail when
// it did not, so a broken control cannot be timed as a fast one. The counter `allocs` is the number
// of heap allocations per iteration inside the timed loop.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "bench/AllocationCount.h"
#include "core/Schedule.h"
#include "frontends/memory/MemoryPlatform.h"
#include "platform/Colour.h"

namespace {

using tarn::Schedule;
using tarn::TimePropertyIndex;
using tarn::platform::PixelOf;
using tarn::platform::PixelView;
using tarn::platform::QBColor;
using tarn::platform::memory::MemoryPlatform;

constexpr int kBars = 8;
constexpr int kBlocks = 96;

/// One region of one day: day 0 to 7, region 1 to 4, HHMM times.
struct Region {
    int day;
    int region;
    std::int16_t start;
    std::int16_t stop;
};

/// An office week: two or three regions on weekdays, one on Saturday and on the special day,
/// Sunday free.
std::vector<Region> OfficeWeek() {
    std::vector<Region> week;
    for (int day = 0; day < 5; ++day) {
        week.push_back({day, 1, 800, 1200});
        week.push_back({day, 2, 1300, 1730});
        if (day % 2 == 0) week.push_back({day, 3, 1900, 2100});
    }
    week.push_back({5, 1, 900, 1300});
    week.push_back({7, 1, 1000, 1400});
    return week;
}

/// Four regions on every day, 32 in all.
std::vector<Region> FullWeek() {
    std::vector<Region> week;
    for (int day = 0; day < kBars; ++day) {
        week.push_back({day, 1, 600, 800});
        week.push_back({day, 2, 900, 1200});
        week.push_back({day, 3, 1300, 1700});
        week.push_back({day, 4, 1800, 2215});
    }
    return week;
}

/// Loads the regions as a host does, start first: one full redraw per region.
void LoadStartFirst(Schedule& schedule, const std::vector<Region>& regions) {
    for (const Region& r : regions) {
        schedule.SetTimeValue(TimePropertyIndex(r.day, r.region, false), r.start);
        schedule.SetTimeValue(TimePropertyIndex(r.day, r.region, true), r.stop);
    }
}

/// Empties the regions stop first, which redraws nothing (a stop of 0 is never later than the
/// start, and then a start of 0 is not earlier than the stop).
void ClearStopFirst(Schedule& schedule, const std::vector<Region>& regions) {
    for (const Region& r : regions) {
        schedule.SetTimeValue(TimePropertyIndex(r.day, r.region, true), 0);
        schedule.SetTimeValue(TimePropertyIndex(r.day, r.region, false), 0);
    }
}

/// A control at its design size, initialised and drawn once by its first timer tick. The core is
/// driven as the controller drives it, without the controller's own bookkeeping, so that only the
/// redraw is measured.
struct Control {
    Control() : schedule(platform) {
        schedule.Initialize();
        Tick();
    }
    /// The timer's tick when it is armed, as the host's message loop delivers it.
    void Tick() {
        if (platform.TimerWidget().armed()) schedule.InitTimer_Timer();
    }
    /// The host's Refresh, then the tick it arms.
    void Redraw() {
        schedule.Refresh();
        Tick();
    }
    MemoryPlatform platform;
    Schedule schedule;
};

// --- checks ---------------------------------------------------------------------------------

/// Set when a check failed; main then exits with failure.
bool checkFailed = false;

bool Fail(benchmark::State& state, const std::string& message) {
    checkFailed = true;
    state.SkipWithError(message.c_str());
    return false;
}

/// The block of an HHMM time on a whole quarter hour.
int BlockOf(std::int16_t time) {
    return (time / 100) * 4 + (time % 100) / 15;
}

/// The middle-band pixel in the middle of block b of a bar, clear of every tick mark column.
std::uint32_t MiddlePixel(MemoryPlatform& platform, int bar, int block) {
    const auto& context = platform.Bar(bar).context();
    const int x = (2 * block + 1) * context.width() / (2 * kBlocks);
    return context.PixelAt(x, context.height() / 2);
}

/// Whether every bar shows exactly the given regions in its middle band, and the redraws left no
/// message box and no pen behind.
bool ShowsSchedule(benchmark::State& state, Control& control, const std::vector<Region>& regions) {
    const std::uint32_t green = PixelOf(QBColor(tarn::platform::kPaletteLightGreen));
    const std::uint32_t red = PixelOf(QBColor(tarn::platform::kPaletteLightRed));
    for (int bar = 0; bar < kBars; ++bar) {
        std::array<bool, kBlocks> enabled{};
        for (const Region& r : regions)
            if (r.day == bar)
                for (int b = BlockOf(r.start); b < BlockOf(r.stop); ++b)
                    enabled[b] = true;
        for (int b = 0; b < kBlocks; ++b) {
            if (MiddlePixel(control.platform, bar, b) != (enabled[b] ? green : red))
                return Fail(state, "bar " + std::to_string(bar) + " block " + std::to_string(b) +
                                       " does not show its state");
        }
    }
    if (control.platform.MessageBoxes() != 0) return Fail(state, "the redraw reported an error");
    if (control.platform.Pens().LivePens() != 0) return Fail(state, "the redraw leaked pens");
    return true;
}

/// Whether the loop did exactly the expected number of full redraws.
bool RedrewExactly(benchmark::State& state, const Schedule& schedule, std::uint64_t before,
                   std::uint64_t expected) {
    const std::uint64_t done = schedule.CompletedRedraws() - before;
    if (done == expected) return true;
    return Fail(state,
                std::to_string(done) + " full redraws instead of " + std::to_string(expected));
}

// --- the floor --------------------------------------------------------------------------------

/// The final image of every bar, copied out of a drawn control, and the buffers it goes back to.
class BarFrames {
public:
    explicit BarFrames(MemoryPlatform& platform) {
        for (int bar = 0; bar < kBars; ++bar) {
            targets_[bar] = platform.Bar(bar).context().Pixels();
            const PixelView& view = targets_[bar];
            const std::uint32_t* first = view.pixels;
            frames_[bar].assign(first,
                                first + static_cast<std::ptrdiff_t>(view.stride) * view.height);
            bytes_ += frames_[bar].size() * sizeof(std::uint32_t);
        }
    }

    /// Writes every bar's final image once.
    void Write() {
        for (int bar = 0; bar < kBars; ++bar)
            std::memcpy(targets_[bar].pixels, frames_[bar].data(),
                        frames_[bar].size() * sizeof(std::uint32_t));
        benchmark::ClobberMemory();
    }

    /// Bytes of one image of all eight bars.
    std::int64_t Bytes() const { return static_cast<std::int64_t>(bytes_); }

private:
    std::array<PixelView, kBars> targets_{};
    std::array<std::vector<std::uint32_t>, kBars> frames_;
    std::size_t bytes_ = 0;
};

/// Items are full redraws (or their floor's equivalents), bytes those of the bars' final images.
void SetCounters(benchmark::State& state, std::int64_t redrawsPerIteration,
                 std::int64_t bytesPerRedraw, std::int64_t allocations) {
    const std::int64_t redraws = redrawsPerIteration * state.iterations();
    state.SetItemsProcessed(redraws);
    state.SetBytesProcessed(redraws * bytesPerRedraw);
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
}

// --- benchmarks -------------------------------------------------------------------------------

/// One full redraw through the timer path: Refresh arms the timer, its tick redraws.
void BM_FullRedraw(benchmark::State& state) {
    Control control;
    const std::vector<Region> week = OfficeWeek();
    LoadStartFirst(control.schedule, week);
    control.Redraw();
    if (!ShowsSchedule(state, control, week)) return;
    const BarFrames frames(control.platform);

    const std::uint64_t redrawsBefore = control.schedule.CompletedRedraws();
    const std::int64_t allocationsBefore = tarn::bench::AllocationCount();
    for (auto _ : state)
        control.Redraw();
    const std::int64_t allocations = tarn::bench::AllocationCount() - allocationsBefore;

    if (!RedrewExactly(state, control.schedule, redrawsBefore,
                       static_cast<std::uint64_t>(state.iterations())))
        return;
    if (!ShowsSchedule(state, control, week)) return;
    SetCounters(state, 1, frames.Bytes(), allocations);
}
BENCHMARK(BM_FullRedraw)->Unit(benchmark::kMicrosecond);

/// The floor of one full redraw: its final image of the eight bars written once.
void BM_FullRedrawFloor(benchmark::State& state) {
    Control control;
    const std::vector<Region> week = OfficeWeek();
    LoadStartFirst(control.schedule, week);
    if (!ShowsSchedule(state, control, week)) return;
    BarFrames frames(control.platform);

    const std::int64_t allocationsBefore = tarn::bench::AllocationCount();
    for (auto _ : state)
        frames.Write();
    const std::int64_t allocations = tarn::bench::AllocationCount() - allocationsBefore;

    if (!ShowsSchedule(state, control, week)) return;
    SetCounters(state, 1, frames.Bytes(), allocations);
}
BENCHMARK(BM_FullRedrawFloor)->Unit(benchmark::kMicrosecond);

/// The part of one full redraw spent on the control's surface: the hour labels clear it once per
/// row, eight times in all. Shown to explain the ratio above, which counts only the bars.
void BM_FullRedrawSurfaceClears(benchmark::State& state) {
    Control control;
    tarn::platform::ControlSurface& surface = control.platform.Surface();
    for (auto _ : state) {
        for (int row = 0; row < kBars; ++row)
            surface.Clear();
        benchmark::ClobberMemory();
    }
    const PixelView view = control.platform.SurfaceWidget().context().Pixels();
    SetCounters(state, 1,
                kBars * static_cast<std::int64_t>(view.stride) * view.height *
                    static_cast<std::int64_t>(sizeof(std::uint32_t)),
                0);
}
BENCHMARK(BM_FullRedrawSurfaceClears)->Unit(benchmark::kMicrosecond);

/// A host loading a full schedule of 32 regions start first: 32 full redraws, each inside the
/// Let of a stop. The schedule is emptied between iterations, stop first, without a redraw.
void BM_LoadFullScheduleStartFirst(benchmark::State& state) {
    Control control;
    const std::vector<Region> week = FullWeek();
    const auto regionCount = static_cast<std::int64_t>(week.size());

    const std::uint64_t redrawsBefore = control.schedule.CompletedRedraws();
    const std::int64_t allocationsBefore = tarn::bench::AllocationCount();
    for (auto _ : state) {
        state.PauseTiming();
        ClearStopFirst(control.schedule, week);
        state.ResumeTiming();
        LoadStartFirst(control.schedule, week);
    }
    const std::int64_t allocations = tarn::bench::AllocationCount() - allocationsBefore;

    if (!RedrewExactly(state, control.schedule, redrawsBefore,
                       static_cast<std::uint64_t>(regionCount * state.iterations())))
        return;
    if (!ShowsSchedule(state, control, week)) return;
    const BarFrames frames(control.platform);
    SetCounters(state, regionCount, frames.Bytes(), allocations);
}
BENCHMARK(BM_LoadFullScheduleStartFirst)->Unit(benchmark::kMillisecond);

/// The floor of that load: the eight bars' final image written once per redraw, 32 times.
void BM_LoadFullScheduleFloor(benchmark::State& state) {
    Control control;
    const std::vector<Region> week = FullWeek();
    LoadStartFirst(control.schedule, week);
    if (!ShowsSchedule(state, control, week)) return;
    BarFrames frames(control.platform);
    const auto regionCount = static_cast<std::int64_t>(week.size());

    const std::int64_t allocationsBefore = tarn::bench::AllocationCount();
    for (auto _ : state)
        for (std::int64_t redraw = 0; redraw < regionCount; ++redraw)
            frames.Write();
    const std::int64_t allocations = tarn::bench::AllocationCount() - allocationsBefore;

    if (!ShowsSchedule(state, control, week)) return;
    SetCounters(state, regionCount, frames.Bytes(), allocations);
}
BENCHMARK(BM_LoadFullScheduleFloor)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (checkFailed) {
        std::fputs("redraw_bench: a check of the drawn bars failed\n", stderr);
        return 1;
    }
    return 0;
}
