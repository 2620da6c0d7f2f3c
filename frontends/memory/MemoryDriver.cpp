#include "frontends/memory/MemoryDriver.h"

#include <functional>
#include <utility>

#include "platform/DesignData.h"

namespace tarn::platform::memory {

namespace {

std::int16_t Int16(int value) {
    return static_cast<std::int16_t>(value);
}

}  // namespace

MemoryDriver::MemoryDriver(HostCallbacks callbacks, Delivery delivery)
    : platform_(std::move(callbacks)), schedule_(platform_), delivery_(std::move(delivery)) {}

template <typename Call>
void MemoryDriver::Deliver(Call&& call) {
    // A reference to the call fits in std::function without a heap allocation, so that the
    // benchmarks' allocation counts see only the control's own.
    if (delivery_)
        delivery_(std::ref(call));
    else
        call();
}

void MemoryDriver::Initialize() {
    Deliver([&] { schedule_.Initialize(); });
}

void MemoryDriver::Terminate() {
    Deliver([&] { schedule_.Terminate(); });
}

bool MemoryDriver::Tick() {
    if (!platform_.TimerWidget().armed()) return false;
    Deliver([&] { schedule_.InitTimer_Timer(); });
    return true;
}

bool MemoryDriver::Redraw() {
    Deliver([&] { schedule_.Refresh(); });
    return Tick();
}

void MemoryDriver::Resize(int width, int height) {
    platform_.SurfaceWidget().SetSize(width, height);
    Deliver([&] { schedule_.Resize(); });
}

void MemoryDriver::Paint() {
    Deliver([&] { schedule_.Paint(); });
}

void MemoryDriver::SetEnable(bool enable) {
    schedule_.SetEnable(enable);
    DropRefusedFocus();
}

void MemoryDriver::SetSpecialDayEnabled(bool enabled) {
    schedule_.SetSpecialDayEnabled(enabled);
    DropRefusedFocus();
}

void MemoryDriver::Press(int bar, double x, int button, int shift) {
    const auto& target = platform_.Bar(bar);
    if (CanTakeFocus(BarWidget(bar)) &&
        PressInsideBar(x, design::kBarBorder, target.width(), target.height()))
        MoveFocus(BarWidget(bar));
    MouseDown(bar, x, button, shift);
}

void MemoryDriver::MouseDown(int bar, double x, int button, int shift) {
    Deliver([&] {
        schedule_.Schedule_MouseDown(Int16(bar), Int16(button), Int16(shift), static_cast<float>(x),
                                     0.0f);
    });
}

void MemoryDriver::Move(int bar, double x, int buttons) {
    Deliver([&] {
        schedule_.Schedule_MouseMove(Int16(bar), Int16(buttons), 0, static_cast<float>(x), 0.0f);
    });
}

void MemoryDriver::Release(int bar, double x, int button) {
    Deliver([&] {
        schedule_.Schedule_MouseUp(Int16(bar), Int16(button), 0, static_cast<float>(x), 0.0f);
    });
}

bool MemoryDriver::Click(int widget) {
    const auto& button = platform_.Button(widget);
    if (!button.enabled()) return false;
    if (button.width() > 0 && button.height() > 0) MoveFocus(ButtonWidget(widget));
    ClickButton(widget);
    return true;
}

bool MemoryDriver::Focus(FocusWidget widget) {
    if (!CanTakeFocus(widget)) return false;
    MoveFocus(widget);
    return true;
}

void MemoryDriver::PressKey(Key key, int modifiers) {
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

bool MemoryDriver::CanTakeFocus(FocusWidget widget) {
    if (widget.kind == FocusWidget::Kind::Button) return platform_.Button(widget.index).enabled();
    return schedule_.BarTakesFocus(widget.index);
}

void MemoryDriver::ClickButton(int widget) {
    Deliver([&] {
        if (widget < 8)
            schedule_.cmdDay_Click(Int16(widget));
        else if (widget == 8)
            schedule_.cmdEnable_Click();
        else
            schedule_.cmdDisable_Click();
    });
}

void MemoryDriver::MoveFocus(std::optional<FocusWidget> to) {
    if (to == focus_) return;
    const std::optional<FocusWidget> from = focus_;
    focus_ = to;
    if (from && from->kind == FocusWidget::Kind::Bar)
        Deliver([&] { schedule_.Schedule_LostFocus(Int16(from->index)); });
    if (to && to->kind == FocusWidget::Kind::Bar)
        Deliver([&] { schedule_.Schedule_GotFocus(Int16(to->index)); });
}

void MemoryDriver::DropRefusedFocus() {
    if (focus_ && !CanTakeFocus(*focus_)) MoveFocus(std::nullopt);
}

void MemoryDriver::BarKey(int bar, Key key, int modifiers) {
    KeyOutcome outcome = KeyOutcome::Ignored;
    Deliver([&] { outcome = schedule_.Schedule_KeyDown(Int16(bar), key, Int16(modifiers)); });
    const int neighbour = FocusTargetOf(bar, outcome);
    if (neighbour >= 0) MoveFocus(BarWidget(neighbour));
}

}  // namespace tarn::platform::memory
