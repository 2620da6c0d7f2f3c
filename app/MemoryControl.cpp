// The control on the in-memory platform, driven as a host and a user would drive it. The mouse
// and the clicks go straight to the control's event handlers, with the guard a real button has: a
// disabled button cannot be clicked. The keyboard focus is kept here, moved as the Qt widget's
// toolkit moves it (FocusChain.h): by Tab, by a press on a widget that takes focus on a click, by
// the arrow keys of a push button and by the bars' own Up and Down; the bars are told when they
// get and lose it.
#include <utility>

#include "app/FocusChain.h"
#include "app/HostedControl.h"
#include "app/ScriptCommand.h"
#include "model/Arithmetic.h"
#include "model/DesignData.h"
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

    void SetEnable(bool enable) override {
        schedule_.SetEnable(enable);
        DropRefusedFocus();
    }

    void SetSpecialDayEnabled(bool enabled) override {
        schedule_.SetSpecialDayEnabled(enabled);
        DropRefusedFocus();
    }

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
        // A press gives the focus first, to a bar that takes it and only when the pressed point
        // lies on the bar; the bar sees the press after it has the focus.
        const auto& target = platform_.Bar(bar);
        if (CanTakeFocus(BarWidget(bar)) &&
            PressInsideBar(x, design::kBarBorder, target.width(), target.height()))
            MoveFocus(BarWidget(bar));
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
        const auto& button = platform_.Button(widget);
        if (!button.enabled()) return false;
        // The pointer presses the middle of the button, which takes the focus then; a button laid
        // out to no size is clicked with the space key and keeps the focus where it is.
        if (button.width() > 0 && button.height() > 0) MoveFocus(ButtonWidget(widget));
        ClickButton(widget);
        return true;
    }

    bool Focus(FocusWidget widget) override {
        if (!CanTakeFocus(widget)) return false;
        MoveFocus(widget);
        return true;
    }

    void PressKey(Key key, int modifiers) override {
        const KeyRoute route = RouteKey(focus_, key, modifiers);
        switch (route) {
            case KeyRoute::Nothing:
                return;
            case KeyRoute::FocusNext:
            case KeyRoute::FocusPrevious: {
                const bool forward = route == KeyRoute::FocusNext;
                const auto next =
                    NextInChain(focus_, forward, [this](FocusWidget w) { return CanTakeFocus(w); });
                if (next) MoveFocus(*next);
                return;
            }
            case KeyRoute::ClickButton:
                ClickButton(focus_->index);
                return;
            case KeyRoute::ToBar:
                return BarKey(focus_->index, key, modifiers);
        }
    }

    std::optional<FocusWidget> FocusedWidget() override { return focus_; }

    std::pair<std::string, std::string> AccessibleText(int bar) override {
        return {schedule_.BarName(bar), schedule_.BarDescription(bar)};
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

    /// What a click on an enabled button runs: the same handler whether the pointer or the space
    /// key clicks it.
    void ClickButton(int widget) {
        IgnoringControlErrors([&] {
            if (widget < 8)
                schedule_.cmdDay_Click(Int16(widget));
            else if (widget == 8)
                schedule_.cmdEnable_Click();
            else
                schedule_.cmdDisable_Click();
        });
    }

    /// A button takes the focus while it is enabled, a bar while the control lets it.
    bool CanTakeFocus(FocusWidget widget) {
        if (widget.kind == FocusWidget::Kind::Button)
            return platform_.Button(widget.index).enabled();
        return schedule_.BarTakesFocus(widget.index);
    }

    /// The widget losing the focus hears of it first, then the one getting it.
    void MoveFocus(std::optional<FocusWidget> to) {
        if (to == focus_) return;
        const std::optional<FocusWidget> from = focus_;
        focus_ = to;
        if (from && from->kind == FocusWidget::Kind::Bar)
            IgnoringControlErrors([&] { schedule_.Schedule_LostFocus(Int16(from->index)); });
        if (to && to->kind == FocusWidget::Kind::Bar)
            IgnoringControlErrors([&] { schedule_.Schedule_GotFocus(Int16(to->index)); });
    }

    void DropRefusedFocus() {
        if (focus_ && !CanTakeFocus(*focus_)) MoveFocus(std::nullopt);
    }

    /// A key on a focused bar goes to the control; Up and Down past the bar move the focus to the
    /// neighbouring bar when that one takes it.
    void BarKey(int bar, Key key, int modifiers) {
        KeyOutcome outcome = KeyOutcome::Ignored;
        IgnoringControlErrors(
            [&] { outcome = schedule_.Schedule_KeyDown(Int16(bar), key, Int16(modifiers)); });
        const int neighbour = outcome == KeyOutcome::FocusBarAbove   ? bar - 1
                              : outcome == KeyOutcome::FocusBarBelow ? bar + 1
                                                                     : -1;
        if (neighbour >= 0 && neighbour < 8 && CanTakeFocus(BarWidget(neighbour)))
            MoveFocus(BarWidget(neighbour));
    }

    MemoryPlatform platform_;
    Schedule schedule_;
    std::optional<FocusWidget> focus_;
    bool closed_ = false;
};

}  // namespace

std::unique_ptr<HostedControl> MakeMemoryControl(HostEvents events) {
    return std::make_unique<MemoryControl>(std::move(events));
}

}  // namespace tarn::app
