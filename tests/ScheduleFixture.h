// The control's core on the in-memory platform, its handlers called as the controller calls them
// and their errors reaching the test, with everything it tells its host recorded, and the helpers
// every suite shares: the mouse on a bar, a day's eight properties, and the bars read back as one
// letter per pixel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/BarReading.h"
#include "core/Schedule.h"
#include "frontends/memory/MemoryPlatform.h"
#include "platform/DesignData.h"
#include "tests/support/FaultInjector.h"

namespace tarn {

/// One thing the control told its host, in order.
struct HostRecord {
    enum Kind { MessageBox, Sleep, ScheduleUpdated } kind;
    std::string text;
    int style = 0;
    std::string title;
    int milliseconds = 0;
};

using Values = std::vector<int>;
using Texts = std::vector<std::string>;

/// 96 characters, one per block: `mark` for blocks first to last, `other` for the rest.
inline std::string BlockRun(int first, int last, char mark = '#', char other = '.') {
    std::string blocks(96, other);
    for (int b = first; b <= last; ++b)
        blocks[b] = mark;
    return blocks;
}

/// A pixel as the scripted host prints it (W, R, G, K, ? other), except that the cleared
/// background reads - so that a test tells an empty bar from a wrong colour.
inline char Letter(std::uint32_t pixel) {
    if (platform::ColourOf(pixel) == platform::kBackgroundColour) return '-';
    return app::ColourLetter(pixel);
}

/// A created control, initialised unless told otherwise; `log` holds what it told the host.
struct ScheduleFixture {
    explicit ScheduleFixture(bool initialize = true)
        : platform(platform::memory::HostCallbacks{
              [this](std::string_view text, int style, std::string_view title) {
                  log.push_back(
                      {HostRecord::MessageBox, std::string(text), style, std::string(title), 0});
              },
              [this](int ms) {
                  log.push_back({HostRecord::Sleep, {}, 0, {}, ms});
              },
              [this] {
                  log.push_back({HostRecord::ScheduleUpdated, {}, 0, {}, 0});
              }}),
          schedule(platform) {
        platform.AttachFaults(&faults);
        if (initialize) schedule.Initialize();
    }

    /// Delivers the timer's tick when it is armed, as the host's message loop would.
    bool Tick() {
        if (!platform.TimerWidget().armed()) return false;
        schedule.InitTimer_Timer();
        return true;
    }
    /// A full redraw on the timer, as after the host's Refresh.
    bool Redraw() {
        schedule.Refresh();
        return Tick();
    }
    std::uint64_t Redraws() const { return schedule.CompletedRedraws(); }
    const ScheduleState& State() const { return schedule.State(); }
    int LivePens() const { return platform.Pens().LivePens(); }
    Texts MessageTexts() const {
        Texts texts;
        for (const HostRecord& record : log)
            if (record.kind == HostRecord::MessageBox) texts.push_back(record.text);
        return texts;
    }

    // The mouse, at the centre of a block of a day's bar. A press leaves the keyboard focus where
    // it is.
    float BlockX(int day, int block) {
        return static_cast<float>((block + 0.5) * platform.Bar(day).innerWidth() / 96.0);
    }
    void Press(std::int16_t day, int block, std::int16_t button = 1) {
        schedule.Schedule_MouseDown(day, button, 0, BlockX(day, block), 0);
    }
    void Move(std::int16_t day, int block, std::int16_t button = 1) {
        schedule.Schedule_MouseMove(day, button, 0, BlockX(day, block), 0);
    }
    void Release(std::int16_t day, int block, std::int16_t button = 1) {
        schedule.Schedule_MouseUp(day, button, 0, BlockX(day, block), 0);
    }
    /// Presses on `first`, moves over every block up to `last`, releases there.
    void Drag(std::int16_t day, int first, int last) {
        const int step = last >= first ? 1 : -1;
        Press(day, first);
        for (int b = first; b != last; b += step)
            Move(day, b + step);
        Release(day, last);
    }
    /// The selection flags, '#' for a selected block.
    std::string Flags() const {
        std::string flags;
        for (int b = 0; b < 96; ++b)
            flags += State().SelectionBlocks[b] ? '#' : '.';
        return flags;
    }

    // The schedule as the host sees it.
    void SetRegion(int day, int region, int start, int stop) {
        schedule.SetTimeValue(day * 8 + region * 2 - 2, static_cast<std::int16_t>(start));
        schedule.SetTimeValue(day * 8 + region * 2 - 1, static_cast<std::int16_t>(stop));
    }
    /// The eight time properties of a day, Start1, Stop1, ..., Stop4.
    Values Day(int day) const {
        Values values;
        for (int i = 0; i < 8; ++i)
            values.push_back(schedule.TimeValue(day * 8 + i));
        return values;
    }

    // The bars' pixels.
    /// Gives a bar the inner size width x height.
    void SizeBar(int bar, int width, int height) {
        platform.Bar(bar).SetWidth(static_cast<float>(width + 2 * design::kBarBorder));
        platform.Bar(bar).SetHeight(static_cast<float>(height + 2 * design::kBarBorder));
    }
    char At(int bar, int x, int y) { return Letter(platform.Bar(bar).context().PixelAt(x, y)); }
    /// The letters from (x, y) in steps of (dx, dy) to the edge of the bar.
    std::string Letters(int bar, int x, int y, int dx, int dy) {
        std::string letters;
        for (const auto& dc = platform.Bar(bar).context(); x < dc.width() && y < dc.height();
             x += dx, y += dy)
            letters += Letter(dc.PixelAt(x, y));
        return letters;
    }
    /// One letter per block, read at the centre of the block in band 0 (top), 1 or 2 (bottom).
    std::string Blocks(int bar, int band) {
        const auto& dc = platform.Bar(bar).context();
        std::string letters;
        for (int b = 0; b < 96; ++b)
            letters += At(bar, static_cast<int>((b + 0.5) * dc.width() / 96.0),
                          static_cast<int>((band + 0.5) * dc.height() / 3.0));
        return letters;
    }
    /// The selection marks of a bar: its top band's letters where the bottom band agrees, else '?'.
    std::string Marks(int bar) {
        std::string top = Blocks(bar, 0);
        const std::string bottom = Blocks(bar, 2);
        for (int b = 0; b < 96; ++b)
            top[b] = top[b] == bottom[b] ? top[b] : '?';
        return top;
    }

    std::vector<HostRecord> log;
    /// Arms failures of any platform operation; made before the control and gone after it.
    platform::FaultInjector faults;
    platform::memory::MemoryPlatform platform;
    Schedule schedule;
};

/// A fixture whose first full redraw has run.
struct Drawn : ScheduleFixture {
    Drawn() { Tick(); }
};

}  // namespace tarn
