// The control on the in-memory platform, driven as a host and a user would drive it. The mouse
// and the clicks go straight to the control's event handlers, with the guard a real button has: a
// disabled button cannot be clicked.
#include <utility>

#include "app/HostedControl.h"
#include "app/ScriptCommand.h"
#include "model/Arithmetic.h"
#include "platform/Colour.h"
#include "platform/PlatformError.h"
#include "platform/memory/MemoryPlatform.h"

namespace tarn::app {

namespace {

using platform::memory::HostCallbacks;
using platform::memory::MemoryPlatform;

HostCallbacks ToCallbacks(HostEvents events) {
    HostCallbacks callbacks;
    callbacks.messageBox = std::move(events.messageBox);
    callbacks.sleep = std::move(events.sleep);
    callbacks.scheduleUpdated = std::move(events.scheduleUpdated);
    return callbacks;
}

class MemoryControl final : public HostedControl {
public:
    explicit MemoryControl(HostEvents events)
        : platform_(ToCallbacks(std::move(events))), schedule_(platform_) {
        IgnoringControlErrors([&] { schedule_.Initialize(); });
    }

    Schedule& Control() override { return schedule_; }

    DayRanges ReadDay(int day) override { return schedule_.ReadDay(day); }
    std::optional<std::string> WriteDay(int day, const DayRanges& ranges) override {
        schedule_.WriteDay(day, ranges);
        return std::nullopt;
    }
    std::optional<std::string> WriteWeek(const WeekRanges& week) override {
        schedule_.WriteWeek(week);
        return std::nullopt;
    }
    std::optional<std::string> CopyDay(int from, const std::vector<int>& to) override {
        schedule_.CopyDay(from, to);
        return std::nullopt;
    }

    void Resize(int width, int height) override {
        platform_.SurfaceWidget().SetSize(width, height);
        IgnoringControlErrors([&] { schedule_.Resize(); });
    }

    void Paint() override {
        IgnoringControlErrors([&] { schedule_.Paint(); });
    }

    bool Tick() override {
        if (!platform_.TimerWidget().armed()) return false;
        IgnoringControlErrors([&] { schedule_.InitTimer_Timer(); });
        return true;
    }

    void Press(int bar, double x, int button, int shift) override {
        schedule_.Schedule_MouseDown(Int16(bar), Int16(button), Int16(shift), static_cast<float>(x),
                                     0.0f);
    }

    void Move(int bar, double x, int buttons) override {
        schedule_.Schedule_MouseMove(Int16(bar), Int16(buttons), 0, static_cast<float>(x), 0.0f);
    }

    void Release(int bar, double x, int button) override {
        schedule_.Schedule_MouseUp(Int16(bar), Int16(button), 0, static_cast<float>(x), 0.0f);
    }

    bool Click(int widget) override {
        if (!platform_.Button(widget).enabled()) return false;
        IgnoringControlErrors([&] {
            if (widget < 8)
                schedule_.cmdDay_Click(Int16(widget));
            else if (widget == 8)
                schedule_.cmdEnable_Click();
            else
                schedule_.cmdDisable_Click();
        });
        return true;
    }

    std::uint32_t BarPixel(int bar, int x, int y) override {
        return platform::ColourOf(platform_.Bar(bar).context().PixelAt(x, y));
    }

    std::vector<ButtonView> Buttons() override {
        std::vector<ButtonView> views;
        for (int index = 0; index < 10; ++index) {
            const auto& button = platform_.Button(index);
            views.push_back(ButtonView{WidgetName(index), button.caption(), button.enabled(),
                                       button.left(), button.top(), button.width(),
                                       button.height()});
        }
        return views;
    }

    std::vector<BarView> Bars() override {
        std::vector<BarView> views;
        for (int index = 0; index < 8; ++index) {
            const auto& bar = platform_.Bar(index);
            views.push_back(BarView{bar.left(), bar.top(), bar.width(), bar.height(),
                                    bar.innerWidth(), bar.innerHeight()});
        }
        return views;
    }

    std::vector<LabelView> Labels() override {
        std::vector<LabelView> views;
        for (const auto& text : platform_.SurfaceWidget().context().texts)
            views.push_back(LabelView{text.x, text.y, text.text});
        return views;
    }

    bool Screenshot(const std::string&, std::string& error) override {
        error = "screenshots need the qt backend";
        return false;
    }

    void Close() override {
        if (closed_) return;
        closed_ = true;
        IgnoringControlErrors([&] { schedule_.Terminate(); });
    }

private:
    static std::int16_t Int16(int value) { return static_cast<std::int16_t>(value); }

    MemoryPlatform platform_;
    Schedule schedule_;
    bool closed_ = false;
};

}  // namespace

std::unique_ptr<HostedControl> MakeMemoryControl(HostEvents events) {
    return std::make_unique<MemoryControl>(std::move(events));
}

}  // namespace tarn::app
